#include "admin/category_cash.h"
#include "app/loginstate.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "rawsqlite.h"
#include "tablehelpers.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

const QString cash = QStringLiteral("现金");
const QString bank = QStringLiteral("银行");
const QString bills = QStringLiteral("票据");

} // namespace

class tst_category_cash : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheCategories();
    void changesAreRefusedWithoutTheRight_data();
    void changesAreRefusedWithoutTheRight();
    void refusesEmptyOrDuplicateNames_data();
    void refusesEmptyOrDuplicateNames();
    void addsTheTrimmedName();
    void failedAddIsReported();
    void deletesTheTickedUnusedCategoriesOnceThereAreAny();
    void aCategoryInUseStopsTheWholeDeletion_data();
    void aCategoryInUseStopsTheWholeDeletion();
    void failedDeleteKeepsEveryTickedCategory();

private:
    struct Form
    {
        QLineEdit *name;
        QPushButton *add;
        QPushButton *remove;
        QTableWidget *table;
    };
    Form partsOf(category_cash &window);
    QStringList categories()
    {
        QStringList names;
        for (const QStringList &row : m_db->rows(QStringLiteral("select name from category order by id"))) {
            names << row.first();
        }
        return names;
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_category_cash::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from category")));
    QVERIFY(m_db->exec(QStringLiteral("delete from info")));
    for (const QString &name : {cash, bank, bills}) {
        QVERIFY(m_db->exec(QStringLiteral("insert into category (name) values ('%1')").arg(name)));
    }
    QVERIFY2(m_db->exec(QStringLiteral("insert into info (date,company,summary,income,pay,category) "
                                       "values ('2024-03-01','1-甲公司','货款','100.00','0','票据')")),
             qPrintable(m_db->lastError()));
    LoginState::rights = QStringLiteral("发票录入,资产类别编辑");
}

void tst_category_cash::cleanup()
{
    m_db.reset();
}

tst_category_cash::Form tst_category_cash::partsOf(category_cash &window)
{
    Form form{window.findChild<QLineEdit *>(QStringLiteral("lineEdit")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton_2")),
              window.findChild<QTableWidget *>(QStringLiteral("tableWidget"))};
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        QTest::qFail("the window was not exposed", __FILE__, __LINE__);
    }
    return form;
}

void tst_category_cash::opensWithTheCategories()
{
    category_cash window;
    const Form form = partsOf(window);
    QVERIFY(form.name && form.add && form.remove && form.table);

    QCOMPARE(window.windowTitle(), QStringLiteral("资金分类"));
    QVERIFY(window.isWindow());
    QCOMPARE(window.minimumSize(), QSize(400, 300));
    QCOMPARE(window.maximumSize(), QSize(400, 300));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral(" 资 金 分 类"));
    QCOMPARE(form.add->text(), QStringLiteral("添加"));
    QCOMPARE(form.remove->text(), QStringLiteral("删除"));

    QCOMPARE(FormTest::headers(form.table), QStringList({"选择", "资金分类"}));
    QVERIFY(form.table->horizontalHeader()->height() >= 30);
    QCOMPARE(columnTexts(form.table, 1), QStringList({cash, bank, bills}));
    QVERIFY(tickedNames(form.table).isEmpty());
    QVERIFY(!(form.table->item(0, 1)->flags() & Qt::ItemIsEditable));
}

void tst_category_cash::changesAreRefusedWithoutTheRight_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("button");

    QTest::newRow("adding with no rights") << QString() << "pushButton";
    QTest::newRow("deleting with no rights") << QString() << "pushButton_2";
    QTest::newRow("adding with the right after a blank") << "发票录入, 资产类别编辑" << "pushButton";
    QTest::newRow("deleting with other rights only") << "权限编辑" << "pushButton_2";
}

void tst_category_cash::changesAreRefusedWithoutTheRight()
{
    QFETCH(QString, rights);
    QFETCH(QString, button);
    LoginState::rights = rights;

    category_cash window;
    const Form form = partsOf(window);
    typeText(form.name, QStringLiteral("支票"));
    clickTick(form.table, 0);
    MessageRecorder messages;
    QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(QStringLiteral("权限提示/无此权限")));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(categories(), QStringList({cash, bank, bills}));
    QCOMPARE(form.table->rowCount(), 3);
}

void tst_category_cash::refusesEmptyOrDuplicateNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    const QString empty = QStringLiteral("输入提示/内容不能为空！");
    const QString duplicate = QStringLiteral("输入提示/用户名重复！");
    QTest::newRow("nothing typed") << QString() << empty;
    QTest::newRow("only blanks") << "  " << empty;
    QTest::newRow("existing name") << cash << duplicate;
    QTest::newRow("existing name between blanks") << " 现金  " << duplicate;
}

void tst_category_cash::refusesEmptyOrDuplicateNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);

    category_cash window;
    const Form form = partsOf(window);
    typeText(form.name, typed);
    MessageRecorder messages;
    QTest::mouseClick(form.add, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(message));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(categories(), QStringList({cash, bank, bills}));
}

void tst_category_cash::addsTheTrimmedName()
{
    category_cash window;
    const Form form = partsOf(window);
    typeText(form.name, QStringLiteral(" 支票 "));
    MessageRecorder messages;
    QTest::mouseClick(form.add, Qt::LeftButton);

    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
    QCOMPARE(categories(), QStringList({cash, bank, bills, "支票"}));
    QCOMPARE(columnTexts(form.table, 1), QStringList({cash, bank, bills, "支票"}));
    QVERIFY(tickedNames(form.table).isEmpty());
}

void tst_category_cash::failedAddIsReported()
{
    category_cash window;
    const Form form = partsOf(window);
    QCOMPARE(execRawSqlite(QStringLiteral("drop table category")), QString());
    typeText(form.name, QStringLiteral("支票"));
    MessageRecorder messages;
    QTest::mouseClick(form.add, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(!messages.last().text.isEmpty());
}

void tst_category_cash::deletesTheTickedUnusedCategoriesOnceThereAreAny()
{
    category_cash window;
    const Form form = partsOf(window);
    MessageRecorder messages;
    QTest::mouseClick(form.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(QStringLiteral("操作提示/没有任何选择！")));
    QCOMPARE(messages.last().icon, QMessageBox::Information);
    QCOMPARE(categories(), QStringList({cash, bank, bills}));

    messages.clear();
    clickTicks(form.table, {cash, bank});
    QTest::mouseClick(form.remove, Qt::LeftButton);

    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
    QCOMPARE(categories(), QStringList({bills}));
    QCOMPARE(columnTexts(form.table, 1), QStringList({bills}));
}

void tst_category_cash::aCategoryInUseStopsTheWholeDeletion_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("message");

    QTest::newRow("the second of two ticked is in use")
        << QStringList({cash, bills}) << "操作提示/[票据]类别已经使用，不能删除！";
    QTest::newRow("only the used one ticked") << QStringList({bills}) << "操作提示/[票据]类别已经使用，不能删除！";
}

void tst_category_cash::aCategoryInUseStopsTheWholeDeletion()
{
    QFETCH(QStringList, ticked);
    QFETCH(QString, message);

    category_cash window;
    const Form form = partsOf(window);
    clickTicks(form.table, ticked);
    MessageRecorder messages;
    QTest::mouseClick(form.remove, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(message));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(categories(), QStringList({cash, bank, bills}));
    QCOMPARE(columnTexts(form.table, 1), QStringList({cash, bank, bills}));
}

void tst_category_cash::failedDeleteKeepsEveryTickedCategory()
{
    // The second deletion fails; the first one must be undone with it.
    QCOMPARE(execRawSqlite(QStringLiteral("create trigger bank_kept before delete on category "
                                       "when old.name = '银行' "
                                       "begin select raise(abort, 'bank is kept'); end")), QString());
    category_cash window;
    const Form form = partsOf(window);
    clickTicks(form.table, {cash, bank});
    MessageRecorder messages;
    QTest::mouseClick(form.remove, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("bank is kept")), qPrintable(messages.last().text));
    QCOMPARE(categories(), QStringList({cash, bank, bills}));
    QCOMPARE(tickedNames(form.table), QStringList({cash, bank}));
}

QTEST_MAIN(tst_category_cash)
#include "tst_category_cash.moc"
