#include "master/goods.h"

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using FormTest::cell;
using FormTest::rowTexts;

namespace {

enum GoodsColumn { Code = 0, Name, Unit, SalePrice, PurchasePrice, Category, Id, Tick };

const QString saved = QStringLiteral("保存提示/保存成功！");

void click(goods &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

void addRow(goods &form, const QString &code, const QString &name, const QString &unit = "箱",
            const QString &category = "饮料")
{
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(code);
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(name);
    form.findChild<QComboBox *>(QStringLiteral("comboBox"))->setEditText(unit);
    form.findChild<QComboBox *>(QStringLiteral("comboBox_2"))->setEditText(category);
    click(form, "pushButton");
}

} // namespace

class tst_goods : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithEveryRecordInCategoryAndCodeOrder();
    void search_data();
    void search();
    void addRowChecks_data();
    void addRowChecks();
    void addRowAppendsAnUnsavedRowThatDeleteDrops();
    void returnKeys();
    void saveWritesEveryRowAndShowsTheirIds();
    void savePrices_data();
    void savePrices();
    void saveTakesTheTextOfAnOpenCellEditor();
    void cellChecks_data();
    void cellChecks();
    void failingSaveKeepsDatabaseAndTable();
    void deleteKeepsReferencedGoods_data();
    void deleteKeepsReferencedGoods();
    void aRefusedDeleteIsReportedNotCounted();
    void deleteWithNothingRemoved();

private:
    void seed(int code, const QString &name, const QString &unit = "箱",
              const QString &category = "饮料", const QString &price = "1")
    {
        QVERIFY2(m_db->exec(QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,"
                                           "purchar_price,category) values (%1,'%2','%3','%4','%4','%5')")
                                .arg(code).arg(name, unit, price, category)),
                 qPrintable(m_db->lastError()));
    }
    // Goods 1, 2, … named names.
    void seed(const QStringList &names)
    {
        for (int i = 0; i < names.size(); ++i) {
            seed(i + 1, names.at(i));
        }
    }
    QString count() { return m_db->scalar(QStringLiteral("select count(*) from food_info")); }

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

void tst_goods::opensWithEveryRecordInCategoryAndCodeOrder()
{
    seed(30, "橙汁", "瓶", "饮料", "12.5");
    seed(20, "苹果", "斤", "水果", "3");
    seed(10, "可乐", "瓶", "饮料", "2.345");

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");

    const QString appleId = m_db->scalar(QStringLiteral("select id from food_info where food_id=20"));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(rowTexts(table, 0), QStringList({"20", "苹果", "斤", "3.00", "3.00", "水果", appleId}));
    QCOMPARE(cell(table, 1, SalePrice), QStringLiteral("2.35"));
    QCOMPARE(cell(table, 2, SalePrice), QStringLiteral("12.50"));
    QVERIFY(FormTest::isReadOnly(table, 0, Code));
    QVERIFY(FormTest::isReadOnly(table, 0, Id));
    QCOMPARE(form.findChild<QComboBox *>(QStringLiteral("comboBox"))->count(), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator where operator='商品资料'")),
             QStringLiteral("1"));
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

    seed(120, "可乐");
    seed(7, "矿泉水12瓶");
    seed(8, "苹果");
    // Names the add-row check would refuse, but a record may hold anyway.
    seed(9, "老''字号");
    seed(10, "酒精5%");
    seed(11, "a_b");
    seed(13, "axb");
    QVERIFY(m_db->exec(QStringLiteral("insert into food_info (food_id,unit) values (2,'箱')")));

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    QCOMPARE(table->rowCount(), 8);
    FormTest::type(search, typed);

    QStringList shown;
    for (int row = 0; row < table->rowCount(); ++row) {
        shown << cell(table, row, Code);
    }
    shown.sort();
    codes.sort();
    QCOMPARE(shown, codes);
    // The emptied box keeps its clause, which no NULL name matches.
    search->clear();
    QCOMPARE(table->rowCount(), 7);
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
    QTest::newRow("empty before not a number") << "abc" << "可乐" << "" << "饮料" << empty;
    QTest::newRow("letters") << "abc" << "可乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("zero") << "0" << "可乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("signed") << "-5" << "可乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("not a number before a bad name") << "x1" << "可-乐" << "瓶" << "饮料" << notNumber;
    QTest::newRow("hyphen in name") << "5" << "可-乐" << "瓶" << "饮料" << badName;
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

    seed(1, "可乐");
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    MessageRecorder messages;
    addRow(form, code, name, unit, category);
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(table->rowCount(), 1);
}

void tst_goods::addRowAppendsAnUnsavedRowThatDeleteDrops()
{
    seed(1, "可乐");
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, codeBox, form, "lineEdit");
    FIND_CHILD(QLineEdit, nameBox, form, "lineEdit_2");
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    FormTest::type(search, QStringLiteral("可"));

    MessageRecorder messages;
    // The code is checked trimmed and shown as typed.
    addRow(form, " 15", "雪碧", "听", "汽水");
    QVERIFY(messages.isEmpty());
    QVERIFY(search->text().isEmpty());
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(rowTexts(table, 1), QStringList({" 15", "雪碧", "听", "0", "0", "汽水", "0"}));
    QVERIFY(FormTest::isReadOnly(table, 1, Code));
    QVERIFY(FormTest::isReadOnly(table, 1, Id));
    QVERIFY(codeBox->text().isEmpty());
    QVERIFY(nameBox->text().isEmpty());

    addRow(form, "16", "芬达");
    FormTest::tick(table, 1, Tick);
    FormTest::tick(table, 2, Tick);
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/删除成功！"});
    QCOMPARE(FormTest::tableTexts(table),
             (QList<QStringList>{{"1", "可乐", "箱", "1.00", "1.00", "饮料", cell(table, 0, Id)}}));
    QCOMPARE(count(), QStringLiteral("1"));
}

void tst_goods::returnKeys()
{
    seed(1, "可乐", "瓶");
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, codeBox, form, "lineEdit");
    FIND_CHILD(QLineEdit, nameBox, form, "lineEdit_2");
    FIND_CHILD(QComboBox, unitBox, form, "comboBox");
    QCOMPARE(unitBox->count(), 1);

    // The unit box swallows Return and Enter instead of adding an item.
    unitBox->setEditText(QString());
    FormTest::type(unitBox, QStringLiteral("箱"));
    QTest::keyClick(unitBox, Qt::Key_Return);
    QTest::keyClick(unitBox, Qt::Key_Enter);
    QCOMPARE(unitBox->count(), 1);
    QCOMPARE(unitBox->currentText(), QStringLiteral("箱"));

    // Return in the name box adds the row, once there is a name.
    FormTest::type(codeBox, QStringLiteral("3"));
    QTest::keyClick(nameBox, Qt::Key_Return);
    QCOMPARE(table->rowCount(), 1);
    FormTest::type(nameBox, QStringLiteral("雪碧"));
    QTest::keyClick(nameBox, Qt::Key_Return);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(cell(table, 1, Name), QStringLiteral("雪碧"));
}

void tst_goods::saveWritesEveryRowAndShowsTheirIds()
{
    seed(1, "可乐");
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    table->item(0, Name)->setText(QStringLiteral("百事可乐"));
    for (int code = 2; code <= 250; ++code) {
        addRow(form, QString::number(code), QStringLiteral("商品%1").arg(code));
    }

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{saved});
    QCOMPARE(count(), QStringLiteral("250"));
    QCOMPARE(m_db->rows(QStringLiteral("select food_id,food_name from food_info where food_id<3 order by food_id")),
             (QList<QStringList>{{"1", "百事可乐"}, {"2", "商品2"}}));
    QCOMPARE(FormTest::rowOf(table, Id, QStringLiteral("0")), -1);
    const int row = FormTest::rowOf(table, Code, QStringLiteral("2"));
    QVERIFY(row >= 0);
    QCOMPARE(cell(table, row, Id), m_db->scalar(QStringLiteral("select id from food_info where food_id=2")));
}

void tst_goods::savePrices_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("three decimals round to two") << "3.456" << "3.46";
    QTest::newRow("letters save as zero") << "abc" << "0.00";
    QTest::newRow("blank saves as zero") << "" << "0.00";
    QTest::newRow("seven digits keep every digit") << "1234567" << "1234567.00";
    QTest::newRow("half a cent rounds up") << "5.025" << "5.03";
    QTest::newRow("ten billion gains no cent") << "10000000000" << "10000000000.00";
    QTest::newRow("half a cent of a billion rounds up") << "123456789.125" << "123456789.13";
}

void tst_goods::savePrices()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    addRow(form, "5", "雪碧");
    table->item(0, SalePrice)->setText(typed);
    table->item(0, PurchasePrice)->setText(typed);

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{saved});
    QCOMPARE(cell(table, 0, SalePrice), shown);
    QCOMPARE(cell(table, 0, PurchasePrice), shown);
}

void tst_goods::saveTakesTheTextOfAnOpenCellEditor()
{
    seed(1, "可乐");
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
    QCOMPARE(messages.texts(), QStringList{saved});
    QCOMPARE(m_db->scalar(QStringLiteral("select food_name from food_info")), QStringLiteral("百事可乐"));
}

void tst_goods::cellChecks_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("onEdit");
    QTest::addColumn<QString>("onSave");

    const QString special = QStringLiteral("输入提示/内容不能含有 - , ' 等特殊符号");
    QTest::newRow("name emptied") << int(Name) << "" << "输入提示/内容不能为空！"
                                  << "输入提示/第2行“商品名称”的内容不能为空！";
    QTest::newRow("name blanked") << int(Name) << " " << "输入提示/内容不能为空！"
                                  << "输入提示/第2行“商品名称”的内容不能为空！";
    QTest::newRow("hyphen in unit") << int(Unit) << "箱-12" << special
                                    << "输入提示/第2行“单位”的内容不能含有 - , ' 等特殊符号";
    QTest::newRow("quote in category") << int(Category) << "O'Neil" << special
                                       << "输入提示/第2行“类别”的内容不能含有 - , ' 等特殊符号";
    QTest::newRow("a clean name") << int(Name) << "芬达" << "" << "";
    QTest::newRow("prices are not examined") << int(SalePrice) << "" << "" << "";
}

// A cell is checked as it is edited, and every cell again on saving, which
// stops at the first unclean one and writes nothing.
void tst_goods::cellChecks()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, onEdit);
    QFETCH(QString, onSave);

    seed({"可乐", "雪碧"});
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    table->item(0, Name)->setText(QStringLiteral("百事可乐"));
    MessageRecorder messages;
    table->item(1, column)->setText(text);
    QCOMPARE(messages.texts(), onEdit.isEmpty() ? QStringList() : QStringList{onEdit});
    QCOMPARE(cell(table, 1, column), text);
    messages.clear();

    click(form, "pushButton_3");
    if (onSave.isEmpty()) {
        QCOMPARE(messages.texts(), QStringList{saved});
        QCOMPARE(m_db->scalar(QStringLiteral("select food_name from food_info where food_id=1")),
                 QStringLiteral("百事可乐"));
        return;
    }
    QCOMPARE(messages.texts(), QStringList{onSave});
    QCOMPARE(table->currentRow(), 1);
    QCOMPARE(table->currentColumn(), column);
    QCOMPARE(m_db->scalar(QStringLiteral("select food_name from food_info where food_id=1")), QStringLiteral("可乐"));
    QCOMPARE(cell(table, 0, Name), QStringLiteral("百事可乐"));
}

void tst_goods::failingSaveKeepsDatabaseAndTable()
{
    seed(1, "可乐");
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
    QCOMPARE(m_db->rows(QStringLiteral("select food_id,food_name from food_info")),
             (QList<QStringList>{{"1", "可乐"}}));
    QCOMPARE(table->rowCount(), 150);
    QCOMPARE(cell(table, 0, Name), QStringLiteral("百事可乐"));
}

void tst_goods::deleteKeepsReferencedGoods_data()
{
    QTest::addColumn<QString>("reference");

    QTest::newRow("a delivery note")
        << "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) "
           "values ('shd1','2024-01-02',1,2,'1','1','','test001')";
    QTest::newRow("a purchase order")
        << "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
           "values ('cgd1','2024-01-02',1,2,'1','1','','test001')";
    QTest::newRow("a profit/loss record")
        << "insert into inventory (date,food_id,quantity,remarks,input) " "values ('2024-01-02',2,'-1','','test001')";
}

void tst_goods::deleteKeepsReferencedGoods()
{
    QFETCH(QString, reference);

    seed({"可乐", "雪碧", "芬达"});
    QVERIFY2(m_db->exec(reference), qPrintable(m_db->lastError()));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QCheckBox, checkAll, form, "checkBox");
    QTest::mouseClick(checkAll, Qt::LeftButton);

    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList({"操作提示/删除成功！", "操作提示/[2]已有单据使用，不能删除！"}));
    QCOMPARE(m_db->rows(QStringLiteral("select food_id from food_info")), QList<QStringList>{{"2"}});
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(table, 0, Code), QStringLiteral("2"));
}

void tst_goods::aRefusedDeleteIsReportedNotCounted()
{
    seed(1, "可乐");
    QVERIFY(FormTest::runOnFile(m_db->db(), "create trigger keep_goods before delete on food_info "
                                            "begin select raise(abort, 'goods are locked'); end"));
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FormTest::tick(table, 0, Tick);

    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("goods are locked")), qPrintable(messages.last().text));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(count(), QStringLiteral("1"));
}

void tst_goods::deleteWithNothingRemoved()
{
    seed({"可乐", "雪碧"});
    goods form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QCheckBox, checkAll, form, "checkBox");
    for (const Qt::CheckState state : {Qt::Checked, Qt::Unchecked}) {
        QTest::mouseClick(checkAll, Qt::LeftButton);
        for (int row = 0; row < table->rowCount(); ++row) {
            QCOMPARE(table->item(row, Tick)->checkState(), state);
        }
    }

    MessageRecorder messages;
    click(form, "pushButton_2");
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList({"操作提示/请先选择一项！", saved}));
    QCOMPARE(count(), QStringLiteral("2"));
}

QTEST_MAIN(tst_goods)
#include "tst_goods.moc"
