#include "admin/power_edit.h"
#include "admin/user_edit.h"
#include "app/loginstate.h"
#include "app/passwordhash.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "tablehelpers.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

class tst_user_edit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheAccountsOfLogin();
    void refusesEmptyOrTakenNames_data();
    void refusesEmptyOrTakenNames();
    void addedUserGetsTheDefaultPasswordAndNoRights();
    void failedAddIsReportedAndLeavesNoAccount();
    void nameWithAQuoteIsAddedAndDeletedAsTyped();
    void deletesTickedUsersButKeepsProtectedOnes_data();
    void deletesTickedUsersButKeepsProtectedOnes();
    void failedDeleteKeepsEveryTickedUser();

private:
    struct Form
    {
        QTableWidget *table;
        QLineEdit *name;
        QPushButton *add;
        QPushButton *remove;
    };
    Form partsOf(user_edit &window);
    // The first column of sql's rows.
    QStringList names(const QString &sql)
    {
        QStringList names;
        for (const QStringList &row : m_db->rows(sql)) {
            names << row.first();
        }
        return names;
    }
    QStringList accounts() { return names(QStringLiteral("select name from login order by name")); }
    // The list shows the accounts in the order the database returns them.
    QStringList accountsInListOrder() { return names(QStringLiteral("select name from login")); }

    std::unique_ptr<TestDb> m_db;
};

void tst_user_edit::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from login")));
    QVERIFY(m_db->exec(QStringLiteral("delete from [user]")));
    QVERIFY(m_db->exec(QStringLiteral("delete from operator")));
    const QStringList users = {"manager", "test001", "alice", "bob"};
    for (const QString &user : users) {
        QVERIFY(m_db->exec(QStringLiteral("insert into login (name,password) values ('%1','pw')").arg(user)));
        QVERIFY(m_db->exec(QStringLiteral("insert into [user] (name,power) values ('%1','发票录入')").arg(user)));
    }
    LoginState::userName = QStringLiteral("manager");
    LoginState::rights = QStringLiteral("权限编辑");
}

void tst_user_edit::cleanup()
{
    m_db.reset();
}

tst_user_edit::Form tst_user_edit::partsOf(user_edit &window)
{
    Form form{window.findChild<QTableWidget *>(QStringLiteral("tableWidget")),
              window.findChild<QLineEdit *>(QStringLiteral("lineEdit")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton_2"))};
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        QTest::qFail("the window was not exposed", __FILE__, __LINE__);
    }
    return form;
}

void tst_user_edit::opensWithTheAccountsOfLogin()
{
    user_edit window;
    const Form form = partsOf(window);
    QVERIFY(form.table && form.name && form.add && form.remove);

    QCOMPARE(window.windowTitle(), QStringLiteral("用户管理"));
    QCOMPARE(window.minimumSize(), QSize(400, 300));
    QCOMPARE(window.maximumSize(), QSize(400, 300));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral(" 用  户"));
    QCOMPARE(form.add->text(), QStringLiteral("添加"));
    QCOMPARE(form.remove->text(), QStringLiteral("删除"));

    QCOMPARE(FormTest::headers(form.table), QStringList({"选择", "用户"}));
    QCOMPARE(columnTexts(form.table, 1), accountsInListOrder());
    QCOMPARE(accounts(), QStringList({"alice", "bob", "manager", "test001"}));
    QVERIFY(tickedNames(form.table).isEmpty());
    QVERIFY(form.table->item(0, 0)->flags() & Qt::ItemIsUserCheckable);
    QVERIFY(!(form.table->item(0, 1)->flags() & Qt::ItemIsEditable));
    QCOMPARE(m_db->rows(QStringLiteral("select user_name,operator from operator")),
             (QList<QStringList>{{"manager", "用户管理"}}));
}

void tst_user_edit::refusesEmptyOrTakenNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    const QString empty = QStringLiteral("输入提示/内容不能为空！");
    const QString taken = QStringLiteral("输入提示/用户名重复！");
    QTest::newRow("nothing typed") << QString() << empty;
    QTest::newRow("only blanks") << "   " << empty;
    QTest::newRow("existing name") << "alice" << taken;
    QTest::newRow("existing name between blanks") << " alice " << taken;
    QTest::newRow("protected name") << "manager" << taken;
}

void tst_user_edit::refusesEmptyOrTakenNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);

    user_edit window;
    const Form form = partsOf(window);
    MessageRecorder messages;
    QTest::keyClicks(form.name, typed);
    QTest::mouseClick(form.add, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(message));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from login")), QStringLiteral("4"));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from [user]")), QStringLiteral("4"));
    QCOMPARE(form.table->rowCount(), 4);
}

void tst_user_edit::addedUserGetsTheDefaultPasswordAndNoRights()
{
    // Rights left under the name by an earlier account are not inherited.
    QVERIFY(m_db->exec(QStringLiteral("insert into [user] (name,power) values ('carol','权限编辑')")));
    user_edit window;
    const Form form = partsOf(window);
    MessageRecorder messages;
    QTest::keyClicks(form.name, QStringLiteral(" carol "));
    QTest::mouseClick(form.add, Qt::LeftButton);

    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
    QVERIFY(PasswordHash::matches(m_db->scalar(QStringLiteral("select password from login where name='carol'")),
                                  QStringLiteral("123")));
    QCOMPARE(user_edit::defaultPassword(), QStringLiteral("123"));
    QCOMPARE(m_db->rows(QStringLiteral("select power from [user] where name='carol'")),
             QList<QStringList>({{QString()}}));
    QCOMPARE(columnTexts(form.table, 1), accountsInListOrder());
    QVERIFY(columnTexts(form.table, 1).contains(QStringLiteral("carol")));
    QCOMPARE(form.table->rowCount(), 5);
    QCOMPARE(form.name->text(), QStringLiteral(" carol "));

    // The permission editor can offer the new user at once.
    power_edit rights;
    auto *users = rights.findChild<QComboBox *>(QStringLiteral("comboBox"));
    QVERIFY(users->findText(QStringLiteral("carol")) > 0);
}

void tst_user_edit::failedAddIsReportedAndLeavesNoAccount()
{
    user_edit window;
    const Form form = partsOf(window);
    // Without [user] the second half of the addition fails; the login row
    // written before it must go too.
    QVERIFY(FormTest::runOnFile(m_db->db(), "drop table [user]"));
    MessageRecorder messages;
    QTest::keyClicks(form.name, QStringLiteral("carol"));
    QTest::mouseClick(form.add, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QVERIFY(!messages.last().text.isEmpty());
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from login where name='carol'")), QStringLiteral("0"));
    QCOMPARE(form.table->rowCount(), 4);
}

void tst_user_edit::nameWithAQuoteIsAddedAndDeletedAsTyped()
{
    const QString name = QStringLiteral("o'neil");
    user_edit window;
    const Form form = partsOf(window);
    MessageRecorder messages;
    QTest::keyClicks(form.name, name);
    QTest::mouseClick(form.add, Qt::LeftButton);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
    QVERIFY(accounts().contains(name));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from [user] where name='o''neil'")), QStringLiteral("1"));

    QTest::mouseClick(form.add, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(QStringLiteral("输入提示/用户名重复！")));

    messages.clear();
    clickTicks(form.table, {name});
    QTest::mouseClick(form.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList(QStringLiteral("操作提示/删除成功！")));
    QVERIFY(!accounts().contains(name));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from [user] where name='o''neil'")), QStringLiteral("0"));
}

void tst_user_edit::deletesTickedUsersButKeepsProtectedOnes_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("message");

    const QString done = QStringLiteral("操作提示/删除成功！");
    const QString manager = QStringLiteral("manager");
    const QString test001 = QStringLiteral("test001");
    const QString alice = QStringLiteral("alice");
    const QString bob = QStringLiteral("bob");
    QTest::newRow("manager stays, the other ticked user goes")
        << QStringList({manager, alice}) << QStringList({manager, test001, bob}) << done;
    QTest::newRow("test001 stays, the other ticked user goes")
        << QStringList({test001, bob}) << QStringList({manager, test001, alice}) << done;
    QTest::newRow("only protected users ticked are refused by name")
        << QStringList({manager, test001}) << QStringList({manager, test001, alice, bob})
        << "操作提示/[manager、test001]是受保护的用户，不能删除！";
    QTest::newRow("several users go together") << QStringList({alice, bob}) << QStringList({manager, test001}) << done;
    QTest::newRow("nothing ticked asks for a choice")
        << QStringList() << QStringList({manager, test001, alice, bob})
        << "操作提示/请先选择一项！";
}

void tst_user_edit::deletesTickedUsersButKeepsProtectedOnes()
{
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, remaining);
    QFETCH(QString, message);

    user_edit window;
    const Form form = partsOf(window);
    clickTicks(form.table, ticked);
    QCOMPARE(tickedNames(form.table).size(), ticked.size());
    MessageRecorder messages;
    QTest::mouseClick(form.remove, Qt::LeftButton);

    // A ticked protected user is named in a second message.
    QCOMPARE(messages.texts().value(0), message);
    QCOMPARE(messages.shown().first().icon,
             message.contains(QStringLiteral("受保护")) ? QMessageBox::Warning : QMessageBox::Information);
    QStringList stored = remaining;
    stored.sort();
    QCOMPARE(accounts(), stored);
    QCOMPARE(columnTexts(form.table, 1), accountsInListOrder());
    // The rights of a deleted account go with it.
    QCOMPARE(names(QStringLiteral("select name from [user] order by name")), stored);
}

void tst_user_edit::failedDeleteKeepsEveryTickedUser()
{
    user_edit window;
    const Form form = partsOf(window);
    clickTicks(form.table, {"alice", "bob"});
    QVERIFY(FormTest::runOnFile(m_db->db(), "drop table [user]"));
    MessageRecorder messages;
    QTest::mouseClick(form.remove, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QCOMPARE(accounts(), QStringList({"alice", "bob", "manager", "test001"}));
    QCOMPARE(form.table->rowCount(), 4);
    QCOMPARE(tickedNames(form.table), QStringList({"alice", "bob"}));
}

QTEST_MAIN(tst_user_edit)
#include "tst_user_edit.moc"
