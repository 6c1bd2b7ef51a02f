#include "master/goods.h"

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/filedialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using FormTest::cell;
using FormTest::rowTexts;
using FormTest::tableTexts;

namespace {

enum GoodsColumn { Code = 0, Name, Unit, SalePrice, PurchasePrice, Category, Id, Tick };

QString insertGoods(int code, const QString &name, const QString &unit = QStringLiteral("箱"),
                    const QString &category = QStringLiteral("饮料"),
                    const QString &price = QStringLiteral("1"))
{
    return QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,"
                          "purchar_price,category) values (%1,'%2','%3','%4','%4','%5')")
        .arg(code)
        .arg(name, unit, price, category);
}

// Watches the statements the embedded engine runs on its file. Inside the
// form's transaction the engine runs each execution of several statements
// under a savepoint of its own, so savepoints count the executions.
class EngineWatch
{
public:
    explicit EngineWatch(const QSqlDatabase &db)
        : m_db(FormTest::engineHandle(db))
    {
        if (m_db) {
            sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &EngineWatch::trace, this);
        }
    }
    ~EngineWatch()
    {
        if (m_db) {
            sqlite3_trace_v2(m_db, 0, nullptr, nullptr);
        }
    }
    bool isValid() const { return m_db != nullptr; }

    int executions = 0;
    int inserts = 0;

private:
    static int trace(unsigned, void *context, void *statement, void *text)
    {
        // A trigger program reports itself with its statement's text and a
        // "-- TRIGGER" note; only statements sent by the form count.
        if (text && qstrncmp(static_cast<const char *>(text), "--", 2) == 0) {
            return 0;
        }
        auto *watch = static_cast<EngineWatch *>(context);
        const QByteArray sql = QByteArray(sqlite3_sql(static_cast<sqlite3_stmt *>(statement)))
                                   .trimmed()
                                   .toUpper();
        if (sql.startsWith("SAVEPOINT")) {
            ++watch->executions;
        } else if (sql.startsWith("INSERT INTO FOOD_INFO")) {
            ++watch->inserts;
        }
        return 0;
    }

    sqlite3 *m_db = nullptr;
};

void click(goods &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_goods : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithEveryRecordInCategoryAndCodeOrder();
    void opensTheDemoCompany();
    void search_data();
    void search();
    void searchOnceUsedHidesNullNames();
    void addRowChecks_data();
    void addRowChecks();
    void addRowAppendsAnUnsavedRow();
    void returnInTheNameBoxAddsTheRow();
    void unitBoxSwallowsReturn();
    void saveWritesNewRowsAndShowsTheirIds();
    void savePrices_data();
    void savePrices();
    void saveOfAnEmptyTableSucceeds();
    void saveTakesTheTextOfAnOpenCellEditor();
    void saveSendsBlocksOfHundredStatements();
    void saveRefusesAnUncleanCell_data();
    void saveRefusesAnUncleanCell();
    void failingSaveKeepsDatabaseAndTable();
    void cellCheck_data();
    void cellCheck();
    void checkAllTicksAndUnticks();
    void deleteKeepsReferencedGoods_data();
    void deleteKeepsReferencedGoods();
    void deleteOfUnsavedRowsTouchesNoRecord();
    void aRefusedDeleteIsReportedNotCounted();
    void deleteWithNothingRemoved_data();
    void deleteWithNothingRemoved();
    void exportWritesTheTable();

private:
    void addRow(goods &form, const QString &code, const QString &name,
                const QString &unit = QStringLiteral("箱"),
                const QString &category = QStringLiteral("饮料"));

    TestDb *m_db = nullptr;
};

void tst_goods::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
}

void tst_goods::cleanup()
{
    delete m_db;
    m_db = nullptr;
}

void tst_goods::addRow(goods &form, const QString &code, const QString &name,
                       const QString &unit, const QString &category)
{
    auto *codeBox = form.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    auto *nameBox = form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"));
    auto *unitBox = form.findChild<QComboBox *>(QStringLiteral("comboBox"));
    auto *categoryBox = form.findChild<QComboBox *>(QStringLiteral("comboBox_2"));
    codeBox->setText(code);
    nameBox->setText(name);
    unitBox->setEditText(unit);
    categoryBox->setEditText(category);
    click(form, "pushButton");
}

void tst_goods::opensWithEveryRecordInCategoryAndCodeOrder()
{
    QVERIFY(m_db->exec(insertGoods(30, QStringLiteral("橙汁"), QStringLiteral("瓶"),
                                   QStringLiteral("饮料"), QStringLiteral("12.5"))));
    QVERIFY(m_db->exec(insertGoods(20, QStringLiteral("苹果"), QStringLiteral("斤"),
                                   QStringLiteral("水果"), QStringLiteral("3"))));
    QVERIFY(m_db->exec(insertGoods(10, QStringLiteral("可乐"), QStringLiteral("瓶"),
                                   QStringLiteral("饮料"), QStringLiteral("2.345"))));

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QCOMPARE(form.windowTitle(), QStringLiteral("商品明细"));
    QVERIFY(form.windowFlags() & Qt::Window);
    QCOMPARE(FormTest::headers(table),
             QStringList({"商品编码", "商品名称", "单位", "销售价格", "采购价格", "类别", "流水号",
                          "选择"}));
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->columnWidth(Name), 200);
    QCOMPARE(table->columnWidth(Tick), 30);

    const QString appleId = m_db->scalar(QStringLiteral("select id from food_info where food_id=20"));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(rowTexts(table, 0),
             QStringList({"20", "苹果", "斤", "3.00", "3.00", "水果", appleId}));
    QCOMPARE(cell(table, 1, Code), QStringLiteral("10"));
    QCOMPARE(cell(table, 1, SalePrice), QStringLiteral("2.35"));
    QCOMPARE(cell(table, 2, SalePrice), QStringLiteral("12.50"));
    QVERIFY(FormTest::isReadOnly(table, 0, Code));
    QVERIFY(FormTest::isReadOnly(table, 0, Id));
    QVERIFY(!FormTest::isReadOnly(table, 0, Name));
    QCOMPARE(table->item(0, Tick)->checkState(), Qt::Unchecked);

    FIND_CHILD(QComboBox, unitBox, form, "comboBox");
    FIND_CHILD(QComboBox, categoryBox, form, "comboBox_2");
    QVERIFY(unitBox->isEditable());
    QCOMPARE(unitBox->count(), 2);
    QCOMPARE(categoryBox->count(), 2);
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    QCOMPARE(search->placeholderText(), QStringLiteral("输入关键字搜索"));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator where operator='商品资料'")),
             QStringLiteral("1"));
}

void tst_goods::opensTheDemoCompany()
{
    delete m_db;
    m_db = new TestDb(true);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    const QString count = m_db->scalar(QStringLiteral("select count(*) from food_info"));
    QVERIFY(count.toInt() > 0);
    QCOMPARE(QString::number(table->rowCount()), count);
}

void tst_goods::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("digits match codes and names") << "12" << QStringList{"120", "7"};
    QTest::newRow("a name fragment") << "苹" << QStringList{"8"};
    QTest::newRow("nothing matches") << "无此物" << QStringList{};
    QTest::newRow("a quote is searched as typed") << "'" << QStringList{"9"};
    QTest::newRow("a percent sign is no wildcard") << "5%" << QStringList{"10"};
    QTest::newRow("an underscore is no wildcard") << "a_b" << QStringList{"11"};
}

void tst_goods::search()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);

    QVERIFY(m_db->exec(insertGoods(120, QStringLiteral("可乐"))));
    QVERIFY(m_db->exec(insertGoods(7, QStringLiteral("矿泉水12瓶"))));
    QVERIFY(m_db->exec(insertGoods(8, QStringLiteral("苹果"))));
    // Names the add-row check would refuse, but a record may hold anyway.
    QVERIFY(m_db->exec(insertGoods(9, QStringLiteral("老''字号"))));
    QVERIFY(m_db->exec(insertGoods(10, QStringLiteral("酒精5%"))));
    QVERIFY(m_db->exec(insertGoods(11, QStringLiteral("a_b"))));
    QVERIFY(m_db->exec(insertGoods(13, QStringLiteral("axb"))));

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    QCOMPARE(table->rowCount(), 7);
    FormTest::type(search, typed);

    QStringList shown;
    for (int row = 0; row < table->rowCount(); ++row) {
        shown << cell(table, row, Code);
    }
    shown.sort();
    codes.sort();
    QCOMPARE(shown, codes);
}

void tst_goods::searchOnceUsedHidesNullNames()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    QVERIFY(m_db->exec(QStringLiteral("insert into food_info (food_id,unit) values (2,'箱')")));

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    QCOMPARE(table->rowCount(), 2);

    FormTest::type(search, QStringLiteral("可"));
    QCOMPARE(table->rowCount(), 1);
    search->clear();
    // The emptied box keeps its clause, which no NULL name matches.
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(table, 0, Code), QStringLiteral("1"));
}

void tst_goods::addRowChecks_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("message");

    const QString empty = QStringLiteral("录入提示/内容不能为空");
    const QString notNumber = QStringLiteral("录入提示/产品编码只能为数字！");
    const QString badName = QStringLiteral("录入提示/品名不能包含 - , ' 等特殊符号");
    const QString taken = QStringLiteral("录入提示/产品编码重复！");

    QTest::newRow("empty code") << "" << "可乐" << "瓶" << "饮料" << empty;
    QTest::newRow("blank name") << "5" << "  " << "瓶" << "饮料" << empty;
    QTest::newRow("empty unit") << "5" << "可乐" << "" << "饮料" << empty;
    QTest::newRow("empty category") << "5" << "可乐" << "瓶" << " " << empty;
    QTest::newRow("empty before not a number") << "abc" << "可乐" << "" << "饮料" << empty;
    QTest::newRow("letters") << "abc" << "可乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("zero") << "0" << "可乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("signed") << "-5" << "可乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("not a number before a bad name") << "x1" << "可-乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("hyphen in name") << "5" << "可-乐" << "瓶" << "饮料" << badName;
    QTest::newRow("comma in name") << "5" << "可,乐" << "瓶" << "饮料" << badName;
    QTest::newRow("quote in name") << "5" << "可'乐" << "瓶" << "饮料" << badName;
    QTest::newRow("bad name before a taken code") << "1" << "可-乐" << "瓶" << "饮料" << badName;
    QTest::newRow("code shown in the table") << "1" << "雪碧" << "瓶" << "饮料" << taken;
    QTest::newRow("same code written otherwise") << "01" << "雪碧" << "瓶" << "饮料" << taken;
}

void tst_goods::addRowChecks()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(QString, category);
    QFETCH(QString, message);

    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    MessageRecorder messages;
    addRow(form, code, name, unit, category);
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(table->rowCount(), 1);
}

void tst_goods::addRowAppendsAnUnsavedRow()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, codeBox, form, "lineEdit");
    FIND_CHILD(QLineEdit, nameBox, form, "lineEdit_2");
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    FormTest::type(search, QStringLiteral("可"));

    MessageRecorder messages;
    addRow(form, QStringLiteral("15"), QStringLiteral("雪碧"), QStringLiteral("听"),
           QStringLiteral("汽水"));
    QVERIFY(messages.isEmpty());
    QVERIFY(search->text().isEmpty());
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(rowTexts(table, 1), QStringList({"15", "雪碧", "听", "0", "0", "汽水", "0"}));
    QVERIFY(FormTest::isReadOnly(table, 1, Code));
    QVERIFY(FormTest::isReadOnly(table, 1, Id));
    QCOMPARE(table->item(1, Tick)->checkState(), Qt::Unchecked);
    QVERIFY(codeBox->text().isEmpty());
    QVERIFY(nameBox->text().isEmpty());
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from food_info")), QStringLiteral("1"));
}

void tst_goods::returnInTheNameBoxAddsTheRow()
{
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, codeBox, form, "lineEdit");
    FIND_CHILD(QLineEdit, nameBox, form, "lineEdit_2");
    form.findChild<QComboBox *>(QStringLiteral("comboBox"))->setEditText(QStringLiteral("箱"));
    form.findChild<QComboBox *>(QStringLiteral("comboBox_2"))->setEditText(QStringLiteral("饮料"));

    FormTest::type(codeBox, QStringLiteral("3"));
    QTest::keyClick(nameBox, Qt::Key_Return);
    QCOMPARE(table->rowCount(), 0); // an empty name adds nothing
    FormTest::type(nameBox, QStringLiteral("雪碧"));
    QTest::keyClick(nameBox, Qt::Key_Return);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(table, 0, Name), QStringLiteral("雪碧"));
}

void tst_goods::unitBoxSwallowsReturn()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"), QStringLiteral("瓶"))));
    goods form;
    FIND_CHILD(QComboBox, unitBox, form, "comboBox");
    FIND_CHILD(QComboBox, categoryBox, form, "comboBox_2");
    QCOMPARE(unitBox->count(), 1);

    unitBox->setEditText(QString());
    FormTest::type(unitBox, QStringLiteral("箱"));
    QTest::keyClick(unitBox, Qt::Key_Return);
    QTest::keyClick(unitBox, Qt::Key_Enter);
    QCOMPARE(unitBox->count(), 1);
    QCOMPARE(unitBox->currentText(), QStringLiteral("箱"));

    // Only the unit box is guarded.
    categoryBox->setEditText(QString());
    FormTest::type(categoryBox, QStringLiteral("汽水"));
    QTest::keyClick(categoryBox, Qt::Key_Return);
    QCOMPARE(categoryBox->count(), 2);
}

void tst_goods::saveWritesNewRowsAndShowsTheirIds()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    addRow(form, QStringLiteral("2"), QStringLiteral("雪碧"));
    table->item(0, Name)->setText(QStringLiteral("百事可乐"));

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});

    QCOMPARE(m_db->rows(QStringLiteral("select food_id,food_name from food_info order by food_id")),
             (QList<QStringList>{{"1", "百事可乐"}, {"2", "雪碧"}}));
    const int row = FormTest::rowOf(table, Code, QStringLiteral("2"));
    QVERIFY(row >= 0);
    QCOMPARE(cell(table, row, Id),
             m_db->scalar(QStringLiteral("select id from food_info where food_id=2")));
    QVERIFY(cell(table, row, Id) != QStringLiteral("0"));
}

void tst_goods::savePrices_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("three decimals round to two") << "3.456" << "3.46";
    QTest::newRow("letters save as zero") << "abc" << "0.00";
    QTest::newRow("one decimal") << "12.5" << "12.50";
    QTest::newRow("blank saves as zero") << "" << "0.00";
    QTest::newRow("seven digits keep every digit") << "1234567" << "1234567.00";
    QTest::newRow("half a cent rounds up") << "5.025" << "5.03";
}

void tst_goods::savePrices()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    addRow(form, QStringLiteral("5"), QStringLiteral("雪碧"));
    table->item(0, SalePrice)->setText(typed);
    table->item(0, PurchasePrice)->setText(typed);

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(cell(table, 0, SalePrice), shown);
    QCOMPARE(cell(table, 0, PurchasePrice), shown);
}

void tst_goods::saveOfAnEmptyTableSucceeds()
{
    goods form;
    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
}

void tst_goods::saveTakesTheTextOfAnOpenCellEditor()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    table->editItem(table->item(0, Name));
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    FormTest::type(editor, QStringLiteral("百事可乐"));

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(m_db->scalar(QStringLiteral("select food_name from food_info")),
             QStringLiteral("百事可乐"));
}

void tst_goods::saveSendsBlocksOfHundredStatements()
{
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    for (int code = 1; code <= 250; ++code) {
        addRow(form, QString::number(code), QStringLiteral("商品%1").arg(code));
    }
    QCOMPARE(table->rowCount(), 250);

    MessageRecorder messages;
    EngineWatch watch(m_db->db());
    QVERIFY(watch.isValid());
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(watch.executions, 3);
    QCOMPARE(watch.inserts, 250);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from food_info")), QStringLiteral("250"));
    QCOMPARE(FormTest::rowOf(table, Id, QStringLiteral("0")), -1);
}

void tst_goods::saveRefusesAnUncleanCell_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty name") << int(Name) << ""
                                << "输入提示/第2行“商品名称”的内容不能为空！";
    QTest::newRow("hyphen in unit") << int(Unit) << "箱-12"
                                    << "输入提示/第2行“单位”的内容不能含有 - , ' 等特殊符号";
    QTest::newRow("quote in category") << int(Category) << "O'Neil"
                                       << "输入提示/第2行“类别”的内容不能含有 - , ' 等特殊符号";
}

void tst_goods::saveRefusesAnUncleanCell()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);

    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    QVERIFY(m_db->exec(insertGoods(2, QStringLiteral("雪碧"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    table->item(0, Name)->setText(QStringLiteral("百事可乐"));
    MessageRecorder messages;
    table->item(1, column)->setText(text);
    messages.clear();

    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(table->currentRow(), 1);
    QCOMPARE(table->currentColumn(), column);
    // Nothing was written, and the edits are still on screen.
    QCOMPARE(m_db->scalar(QStringLiteral("select food_name from food_info where food_id=1")),
             QStringLiteral("可乐"));
    QCOMPARE(cell(table, 0, Name), QStringLiteral("百事可乐"));
}

void tst_goods::failingSaveKeepsDatabaseAndTable()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    table->item(0, Name)->setText(QStringLiteral("百事可乐"));
    for (int code = 2; code <= 150; ++code) {
        addRow(form, QString::number(code), QStringLiteral("商品%1").arg(code));
    }
    // Longer than the column holds: the database refuses the second block.
    table->item(140, Name)->setText(QString(300, QLatin1Char('x')));

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(!messages.last().text.isEmpty());
    QVERIFY(!messages.texts().contains(QStringLiteral("保存提示/保存成功！")));

    QCOMPARE(m_db->rows(QStringLiteral("select food_id,food_name from food_info")),
             (QList<QStringList>{{"1", "可乐"}}));
    QCOMPARE(table->rowCount(), 150);
    QCOMPARE(cell(table, 0, Name), QStringLiteral("百事可乐"));
}

void tst_goods::cellCheck_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");

    const QString empty = QStringLiteral("输入提示/内容不能为空！");
    const QString special = QStringLiteral("输入提示/内容不能含有 - , ' 等特殊符号");
    QTest::newRow("name emptied") << int(Name) << " " << QStringList{empty};
    QTest::newRow("unit with comma") << int(Unit) << "箱,盒" << QStringList{special};
    QTest::newRow("category with hyphen") << int(Category) << "a-b" << QStringList{special};
    QTest::newRow("a clean name") << int(Name) << "雪碧" << QStringList{};
    QTest::newRow("prices are not examined") << int(SalePrice) << "" << QStringList{};
}

void tst_goods::cellCheck()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QStringList, messages);

    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    MessageRecorder recorder;
    table->item(0, column)->setText(text);
    QCOMPARE(recorder.texts(), messages);
    QCOMPARE(cell(table, 0, column), text); // the cell keeps what was typed
}

void tst_goods::checkAllTicksAndUnticks()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    QVERIFY(m_db->exec(insertGoods(2, QStringLiteral("雪碧"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QCheckBox, checkAll, form, "checkBox");
    QCOMPARE(checkAll->text(), QStringLiteral("全选"));

    QTest::mouseClick(checkAll, Qt::LeftButton);
    QCOMPARE(table->item(0, Tick)->checkState(), Qt::Checked);
    QCOMPARE(table->item(1, Tick)->checkState(), Qt::Checked);
    QTest::mouseClick(checkAll, Qt::LeftButton);
    QCOMPARE(table->item(0, Tick)->checkState(), Qt::Unchecked);
    QCOMPARE(table->item(1, Tick)->checkState(), Qt::Unchecked);
}

void tst_goods::deleteKeepsReferencedGoods_data()
{
    QTest::addColumn<QString>("reference");

    QTest::newRow("a delivery note") << QStringLiteral(
        "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) "
        "values ('shd1','2024-01-02',1,2,'1','1','','test001')");
    QTest::newRow("a purchase order") << QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
        "values ('cgd1','2024-01-02',1,2,'1','1','','test001')");
    QTest::newRow("a profit/loss record") << QStringLiteral(
        "insert into inventory (date,food_id,quantity,remarks,input) "
        "values ('2024-01-02',2,'-1','','test001')");
}

void tst_goods::deleteKeepsReferencedGoods()
{
    QFETCH(QString, reference);

    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    QVERIFY(m_db->exec(insertGoods(2, QStringLiteral("雪碧"))));
    QVERIFY(m_db->exec(insertGoods(3, QStringLiteral("芬达"))));
    QVERIFY2(m_db->exec(reference), qPrintable(m_db->lastError()));

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QCheckBox, checkAll, form, "checkBox");
    QTest::mouseClick(checkAll, Qt::LeftButton);

    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList({"操作提示/删除成功！",
                                            "操作提示/[2]已有单据使用，不能删除！"}));
    QCOMPARE(m_db->rows(QStringLiteral("select food_id from food_info")),
             QList<QStringList>{{"2"}});
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(table, 0, Code), QStringLiteral("2"));
}

void tst_goods::deleteOfUnsavedRowsTouchesNoRecord()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    addRow(form, QStringLiteral("2"), QStringLiteral("雪碧"));
    addRow(form, QStringLiteral("3"), QStringLiteral("芬达"));
    FormTest::tick(table, 1, Tick);
    FormTest::tick(table, 2, Tick);

    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/删除成功！")});
    QCOMPARE(tableTexts(table), (QList<QStringList>{{"1", "可乐", "箱", "1.00", "1.00", "饮料",
                                                     cell(table, 0, Id)}}));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from food_info")), QStringLiteral("1"));
}

void tst_goods::aRefusedDeleteIsReportedNotCounted()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    QVERIFY(FormTest::runOnFile(m_db->db(), "create trigger keep_goods before delete on food_info "
                                            "begin select raise(abort, 'goods are locked'); end"));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FormTest::tick(table, 0, Tick);

    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("goods are locked")),
             qPrintable(messages.last().text));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from food_info")), QStringLiteral("1"));
}

void tst_goods::deleteWithNothingRemoved_data()
{
    QTest::addColumn<bool>("withRows");
    QTest::newRow("an empty table") << false;
    QTest::newRow("nothing ticked") << true;
}

void tst_goods::deleteWithNothingRemoved()
{
    QFETCH(bool, withRows);
    if (withRows) {
        QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"))));
    }
    goods form;
    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/请先选择一项！")});
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from food_info")),
             QString::number(withRows ? 1 : 0));
}

void tst_goods::exportWritesTheTable()
{
    QVERIFY(m_db->exec(insertGoods(1, QStringLiteral("可乐"), QStringLiteral("瓶"),
                                   QStringLiteral("饮料"), QStringLiteral("12.5"))));
    QVERIFY(m_db->exec(insertGoods(2, QStringLiteral("雪碧"))));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("goods.csv"));
    FileDialogs::setHandler([&](FileDialogs::Kind, QWidget *, const QString &, const QString &,
                                const QString &) { return fileName; });
    MessageRecorder messages;
    click(form, "pushButton_4");
    FileDialogs::setHandler(FileDialogs::Handler());

    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 4); // three lines, each ending in a line feed
    QCOMPARE(QString::fromLocal8Bit(lines.at(0)),
             QStringLiteral("商品编码,商品名称,单位,销售价格,采购价格,类别,流水号,选择"));
    QCOMPARE(QString::fromLocal8Bit(lines.at(1)),
             QStringLiteral("1,可乐,瓶,12.50,12.50,饮料,%1,").arg(cell(table, 0, Id)));
    QVERIFY(messages.isEmpty());
}

QTEST_MAIN(tst_goods)
#include "tst_goods.moc"
