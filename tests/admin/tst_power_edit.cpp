#include "admin/power_edit.h"
#include "app/loginstate.h"
#include "app/permissioncheck.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "rawsqlite.h"
#include "tablehelpers.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

const QString editRights = QStringLiteral("权限编辑");
const QString editCategories = QStringLiteral("资产类别编辑");
const QString enterInvoices = QStringLiteral("发票录入");
const QString auditInvoices = QStringLiteral("发票审核");

} // namespace

class tst_power_edit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheRightsAndTheUsers();
    void choosingAUserTicksExactlyTheRightsHeHolds_data();
    void choosingAUserTicksExactlyTheRightsHeHolds();
    void choosingNoUserClearsEveryBox();
    void savingStoresTheTickedRightsInListOrder_data();
    void savingStoresTheTickedRightsInListOrder();
    void savingNoRightTakesEveryRightAway();
    void savingWithoutAUserAsksForOne();
    void savingIsRefusedWithoutTheRight_data();
    void savingIsRefusedWithoutTheRight();
    void failedSaveIsReportedInsteadOfSuccess();

private:
    struct Form
    {
        QComboBox *users;
        QTableWidget *table;
        QPushButton *save;
    };
    Form partsOf(power_edit &window);
    QString storedRights(const QString &user);

    std::unique_ptr<TestDb> m_db;
};

void tst_power_edit::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from power")));
    for (const QString &right : {editRights, editCategories, enterInvoices, auditInvoices}) {
        QVERIFY(m_db->exec(QStringLiteral("insert into power (name) values ('%1')").arg(right)));
    }
    QVERIFY(m_db->exec(QStringLiteral("delete from [user]")));
    const QList<QStringList> users = {
        {QStringLiteral("manager"), QStringLiteral("权限编辑,资产类别编辑,发票录入,发票审核")},
        {QStringLiteral("alice"), QStringLiteral("发票审核,发票录入")},
        {QStringLiteral("bob"), QString()},
        {QStringLiteral("dave"), QStringLiteral("发票审核, 权限编辑")},
    };
    for (const QStringList &user : users) {
        QVERIFY(m_db->exec(QStringLiteral("insert into [user] (name,power) values ('%1','%2')")
                               .arg(user.at(0), user.at(1))));
    }
    LoginState::userName = QStringLiteral("manager");
    LoginState::rights = editRights;
}

void tst_power_edit::cleanup()
{
    m_db.reset();
}

tst_power_edit::Form tst_power_edit::partsOf(power_edit &window)
{
    Form form{window.findChild<QComboBox *>(QStringLiteral("comboBox")),
              window.findChild<QTableWidget *>(QStringLiteral("tableWidget")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton"))};
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        QTest::qFail("the window was not exposed", __FILE__, __LINE__);
    }
    return form;
}

QString tst_power_edit::storedRights(const QString &user)
{
    return m_db->scalar(QStringLiteral("select power from [user] where name='%1'").arg(user));
}

void tst_power_edit::opensWithTheRightsAndTheUsers()
{
    power_edit window;
    const Form form = partsOf(window);
    QVERIFY(form.users && form.table && form.save);

    QCOMPARE(window.windowTitle(), QStringLiteral("权限设置"));
    QVERIFY(window.isWindow());
    QCOMPARE(window.minimumSize(), QSize(400, 300));
    QCOMPARE(window.maximumSize(), QSize(400, 300));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("用    户："));
    QCOMPARE(form.save->text(), QStringLiteral("确定"));
    QCOMPARE(form.users->styleSheet(),
             QStringLiteral("QComboBox QAbstractItemView{selection-color:blue;}"));

    QCOMPARE(headerTexts(form.table), QStringList({QStringLiteral("选择"), QStringLiteral("权限")}));
    QCOMPARE(form.table->columnWidth(0), 30);
    QCOMPARE(form.table->columnWidth(1), 200);
    QVERIFY(form.table->horizontalHeader()->height() >= 30);
    QCOMPARE(columnTexts(form.table, 1),
             QStringList({editRights, editCategories, enterInvoices, auditInvoices}));
    QVERIFY(tickedNames(form.table).isEmpty());
    QVERIFY(!(form.table->item(0, 1)->flags() & Qt::ItemIsEditable));

    QStringList users;
    for (int i = 0; i < form.users->count(); ++i) {
        users << form.users->itemText(i);
    }
    // The users follow the placeholder in the order the database lists them.
    QStringList expected = {QStringLiteral("--请选择--")};
    for (const QStringList &row : m_db->rows(QStringLiteral("select name from [user]"))) {
        expected << row.first();
    }
    QCOMPARE(users, expected);
    QCOMPARE(users.size(), 5);
    QCOMPARE(form.users->currentText(), QStringLiteral("--请选择--"));
}

void tst_power_edit::choosingAUserTicksExactlyTheRightsHeHolds_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("ticked");

    QTest::newRow("every right")
        << QStringLiteral("manager")
        << QStringList({editRights, editCategories, enterInvoices, auditInvoices});
    QTest::newRow("rights stored in another order")
        << QStringLiteral("alice") << QStringList({enterInvoices, auditInvoices});
    QTest::newRow("empty right list") << QStringLiteral("bob") << QStringList();
    QTest::newRow("a right after a blank does not count")
        << QStringLiteral("dave") << QStringList({auditInvoices});
}

void tst_power_edit::choosingAUserTicksExactlyTheRightsHeHolds()
{
    QFETCH(QString, user);
    QFETCH(QStringList, ticked);

    power_edit window;
    const Form form = partsOf(window);
    // Start from somebody else's ticks: the choice must also untick.
    form.users->setCurrentText(QStringLiteral("manager"));
    form.users->setCurrentText(user);
    QCOMPARE(tickedNames(form.table), ticked);
}

void tst_power_edit::choosingNoUserClearsEveryBox()
{
    power_edit window;
    const Form form = partsOf(window);
    form.users->setCurrentText(QStringLiteral("manager"));
    QCOMPARE(tickedNames(form.table).size(), 4);
    form.users->setCurrentIndex(0);
    QCOMPARE(form.users->currentText(), QStringLiteral("--请选择--"));
    QVERIFY(tickedNames(form.table).isEmpty());
}

void tst_power_edit::savingStoresTheTickedRightsInListOrder_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QList<int>>("clicks");   // rows clicked, in this order
    QTest::addColumn<QString>("stored");

    QTest::newRow("ticked bottom up, stored top down")
        << QStringLiteral("bob") << QList<int>({3, 0}) << QStringLiteral("权限编辑,发票审核");
    QTest::newRow("every right")
        << QStringLiteral("bob") << QList<int>({0, 1, 2, 3})
        << QStringLiteral("权限编辑,资产类别编辑,发票录入,发票审核");
    QTest::newRow("unchanged rights are rewritten in list order")
        << QStringLiteral("alice") << QList<int>() << QStringLiteral("发票录入,发票审核");
    QTest::newRow("unticking one right")
        << QStringLiteral("alice") << QList<int>({2}) << QStringLiteral("发票审核");
    QTest::newRow("the right after a blank is repaired")
        << QStringLiteral("dave") << QList<int>({0}) << QStringLiteral("权限编辑,发票审核");
}

void tst_power_edit::savingStoresTheTickedRightsInListOrder()
{
    QFETCH(QString, user);
    QFETCH(QList<int>, clicks);
    QFETCH(QString, stored);

    {
        power_edit window;
        const Form form = partsOf(window);
        form.users->setCurrentText(user);
        for (const int row : clicks) {
            clickTick(form.table, row);
        }
        MessageRecorder messages;
        QTest::mouseClick(form.save, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList(QStringLiteral("操作提示/保存成功！")));
        QCOMPARE(messages.last().icon, QMessageBox::Information);
    }
    QCOMPARE(storedRights(user), stored);

    // A new window reads back what was stored.
    power_edit window;
    const Form form = partsOf(window);
    form.users->setCurrentText(user);
    QCOMPARE(tickedNames(form.table).join(QLatin1Char(',')), stored);
}

void tst_power_edit::savingNoRightTakesEveryRightAway()
{
    power_edit window;
    const Form form = partsOf(window);
    form.users->setCurrentText(QStringLiteral("alice"));
    clickTick(form.table, 2);
    clickTick(form.table, 3);
    QVERIFY(tickedNames(form.table).isEmpty());
    MessageRecorder messages;
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(QStringLiteral("操作提示/保存成功！")));
    QCOMPARE(m_db->rows(QStringLiteral("select power from [user] where name='alice'")),
             QList<QStringList>({{QString()}}));

    // At alice's next login her empty list grants nothing.
    LoginState::rights = storedRights(QStringLiteral("alice"));
    QVERIFY(!PermissionCheck(enterInvoices));
    QVERIFY(!PermissionCheck(auditInvoices));
    QVERIFY(!PermissionCheck(editRights));
}

void tst_power_edit::savingWithoutAUserAsksForOne()
{
    power_edit window;
    const Form form = partsOf(window);
    clickTick(form.table, 0);
    MessageRecorder messages;
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(QStringLiteral("操作提示/先选择一位用户！")));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(storedRights(QStringLiteral("bob")), QString());
}

void tst_power_edit::savingIsRefusedWithoutTheRight_data()
{
    QTest::addColumn<QString>("rights");

    QTest::newRow("no rights") << QString();
    QTest::newRow("other rights only") << QStringLiteral("发票录入,资产类别编辑");
    QTest::newRow("the right after a blank") << QStringLiteral("发票录入, 权限编辑");
}

void tst_power_edit::savingIsRefusedWithoutTheRight()
{
    QFETCH(QString, rights);
    LoginState::rights = rights;

    power_edit window;
    const Form form = partsOf(window);
    form.users->setCurrentText(QStringLiteral("bob"));
    clickTick(form.table, 0);
    MessageRecorder messages;
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(QStringLiteral("权限提示/无此权限")));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(storedRights(QStringLiteral("bob")), QString());
}

void tst_power_edit::failedSaveIsReportedInsteadOfSuccess()
{
    power_edit window;
    const Form form = partsOf(window);
    form.users->setCurrentText(QStringLiteral("bob"));
    clickTick(form.table, 0);
    QCOMPARE(execRawSqlite(QStringLiteral("drop table [user]")), QString());
    MessageRecorder messages;
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(!messages.last().text.isEmpty());
}

QTEST_MAIN(tst_power_edit)
#include "tst_power_edit.moc"
