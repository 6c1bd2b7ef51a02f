#include "admin/power_edit.h"
#include "app/loginstate.h"
#include "app/permissioncheck.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
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
    void savingStoresTheTickedRightsInListOrder_data();
    void savingStoresTheTickedRightsInListOrder();
    void savingIsRefused_data();
    void savingIsRefused();
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
        {"manager", "权限编辑,资产类别编辑,发票录入,发票审核"},
        {"alice", "发票审核,发票录入"},
        {"bob", QString()},
        {"dave", "发票审核, 权限编辑"},
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

    QCOMPARE(columnTexts(form.table, 1), QStringList({editRights, editCategories, enterInvoices, auditInvoices}));
    QVERIFY(tickedNames(form.table).isEmpty());
    QVERIFY(!(form.table->item(0, 1)->flags() & Qt::ItemIsEditable));

    QStringList users;
    for (int i = 0; i < form.users->count(); ++i) {
        users << form.users->itemText(i);
    }
    // The users follow the placeholder in the order the database lists them.
    QStringList expected = {"--请选择--"};
    for (const QStringList &row : m_db->rows(QStringLiteral("select name from [user]"))) {
        expected << row.first();
    }
    QCOMPARE(users, expected);
    QCOMPARE(form.users->currentText(), QStringLiteral("--请选择--"));
}

void tst_power_edit::choosingAUserTicksExactlyTheRightsHeHolds_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("ticked");

    QTest::newRow("every right")
        << "manager"
        << QStringList({editRights, editCategories, enterInvoices, auditInvoices});
    QTest::newRow("rights stored in another order") << "alice" << QStringList({enterInvoices, auditInvoices});
    QTest::newRow("empty right list") << "bob" << QStringList();
    QTest::newRow("a right after a blank does not count") << "dave" << QStringList({auditInvoices});
    QTest::newRow("no user clears every box") << "--请选择--" << QStringList();
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

void tst_power_edit::savingStoresTheTickedRightsInListOrder_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QList<int>>("clicks");   // rows clicked, in this order
    QTest::addColumn<QString>("stored");

    QTest::newRow("ticked bottom up, stored top down") << "bob" << QList<int>({3, 0}) << "权限编辑,发票审核";
    QTest::newRow("every right") << "bob" << QList<int>({0, 1, 2, 3}) << "权限编辑,资产类别编辑,发票录入,发票审核";
    QTest::newRow("unchanged rights are rewritten in list order") << "alice" << QList<int>() << "发票录入,发票审核";
    QTest::newRow("unticking one right") << "alice" << QList<int>({2}) << "发票审核";
    QTest::newRow("the right after a blank is repaired") << "dave" << QList<int>({0}) << "权限编辑,发票审核";
    QTest::newRow("unticking every right takes them away") << "alice" << QList<int>({2, 3}) << QString();
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

void tst_power_edit::savingIsRefused_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("message");

    const QString refused = QStringLiteral("权限提示/无此权限");
    QTest::newRow("no user chosen") << editRights << QString() << "操作提示/先选择一位用户！";
    QTest::newRow("no rights") << QString() << "bob" << refused;
    QTest::newRow("other rights only") << "发票录入,资产类别编辑" << "bob" << refused;
    QTest::newRow("the right after a blank") << "发票录入, 权限编辑" << "bob" << refused;
}

void tst_power_edit::savingIsRefused()
{
    QFETCH(QString, rights);
    QFETCH(QString, user);
    QFETCH(QString, message);
    LoginState::rights = rights;

    power_edit window;
    const Form form = partsOf(window);
    if (!user.isEmpty()) {
        form.users->setCurrentText(user);
    }
    clickTick(form.table, 0);
    MessageRecorder messages;
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(message));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(storedRights(QStringLiteral("bob")), QString());
}

void tst_power_edit::failedSaveIsReportedInsteadOfSuccess()
{
    power_edit window;
    const Form form = partsOf(window);
    form.users->setCurrentText(QStringLiteral("bob"));
    clickTick(form.table, 0);
    QVERIFY(FormTest::runOnFile(m_db->db(), "drop table [user]"));
    MessageRecorder messages;
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(!messages.last().text.isEmpty());
}

QTEST_MAIN(tst_power_edit)
#include "tst_power_edit.moc"
