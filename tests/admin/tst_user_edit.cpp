#include "admin/user_edit.h"
#include "app/loginstate.h"
#include "app/passwordhash.h"
#include "support/testdb.h"
#include "tablehelpers.h"

#include <QLineEdit>

#include <memory>

using Form = ShownForm<user_edit>;

class tst_user_edit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void adding_data();
    void adding();
    void deletesTickedUsersButKeepsProtectedOnes_data();
    void deletesTickedUsersButKeepsProtectedOnes();

private:
    // Without [user] the second half of an addition or deletion fails.
    void breakIf(bool dropUsers) { QVERIFY(!dropUsers || FormTest::runOnFile(m_db->db(), "drop table [user]")); }
    // Whether said is that one message, or begins so where it ends in "/".
    static bool saidOnly(const QStringList &said, const QString &message)
    {
        return message.endsWith(QLatin1Char('/')) ? said.size() == 1 && said.first().startsWith(message)
                                                  : said.value(0) == message;
    }
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
    for (const char *sql : {"delete from login", "delete from [user]", "delete from operator"}) {
        QVERIFY(m_db->exec(QString::fromLatin1(sql)));
    }
    for (const QString user : {"manager", "test001", "alice", "bob"}) {
        QVERIFY(m_db->exec(QStringLiteral("insert into login (name,password) values ('%1','pw')").arg(user)));
        QVERIFY(m_db->exec(QStringLiteral("insert into [user] (name,power) values ('%1','发票录入')").arg(user)));
    }
    LoginState::userName = QStringLiteral("manager");
    LoginState::rights = QStringLiteral("权限编辑");
}

void tst_user_edit::adding_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");    // as stored
    QTest::addColumn<QString>("refusal"); // empty: added
    QTest::addColumn<bool>("dropUsers");
    QTest::newRow("only blanks") << "   " << QString() << "输入提示/内容不能为空！" << false;
    QTest::newRow("existing name between blanks") << " alice " << "alice" << "输入提示/用户名重复！" << false;
    QTest::newRow("failed write: the login row written first goes too") << "carol" << "carol" << "错误提示/" << true;
    QTest::newRow("blanks around the name") << " carol " << "carol" << QString() << false;
    QTest::newRow("a quote is only a character") << "o'neil" << "o'neil" << QString() << false;
}

// An added user gets the default password and no rights, and can be
// deleted again as typed.
void tst_user_edit::adding()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    QFETCH(bool, dropUsers);
    Form form;
    QCOMPARE(columnTexts(form.table(), 1), accountsInListOrder());
    QVERIFY(tickedNames(form.table()).isEmpty());
    QVERIFY(!(form.table()->item(0, 1)->flags() & Qt::ItemIsEditable));
    QCOMPARE(m_db->rows(QStringLiteral("select user_name,operator from operator")),
             (QList<QStringList>{{"manager", "用户管理"}}));
    QTest::keyClicks(form.child<QLineEdit>("lineEdit"), typed);
    breakIf(dropUsers);
    if (!refusal.isEmpty()) {
        QVERIFY(saidOnly(form.click("pushButton"), refusal));
        QCOMPARE(accounts().size(), 4);
        QVERIFY(dropUsers || m_db->scalar(QStringLiteral("select count(*) from [user]")) == QLatin1String("4"));
        QCOMPARE(form.table()->rowCount(), 4);
        return;
    }
    const QString quoted = QString(name).replace(QLatin1Char('\''), QLatin1String("''"));
    // Rights left under the name by an earlier account are not inherited.
    QVERIFY(m_db->exec(QStringLiteral("insert into [user] (name,power) values ('%1','权限编辑')").arg(quoted)));
    QCOMPARE(form.click("pushButton"), QStringList());
    QVERIFY(PasswordHash::matches(m_db->scalar(QStringLiteral("select password from login where name='%1'").arg(quoted)),
                                  QStringLiteral("123")));
    QCOMPARE(m_db->rows(QStringLiteral("select power from [user] where name='%1'").arg(quoted)),
             QList<QStringList>({{QString()}}));
    QCOMPARE(columnTexts(form.table(), 1), accountsInListOrder());
    QVERIFY(accounts().contains(name));
    QCOMPARE(form.child<QLineEdit>("lineEdit")->text(), typed);
    QCOMPARE(form.click("pushButton"), QStringList(QStringLiteral("输入提示/用户名重复！")));

    // And it goes again as it came.
    clickTicks(form.table(), {name});
    QCOMPARE(form.click("pushButton_2"), QStringList(QStringLiteral("操作提示/删除成功！")));
    QVERIFY(!accounts().contains(name));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from [user] where name='%1'").arg(quoted)), QStringLiteral("0"));
}

void tst_user_edit::deletesTickedUsersButKeepsProtectedOnes_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("dropUsers");

    const QString done = QStringLiteral("操作提示/删除成功！");
    QTest::newRow("manager stays, the other ticked user goes")
        << QStringList({"manager", "alice"}) << QStringList({"bob", "manager", "test001"}) << done << false;
    QTest::newRow("test001 stays, the other ticked user goes")
        << QStringList({"test001", "bob"}) << QStringList({"alice", "manager", "test001"}) << done << false;
    QTest::newRow("only protected users ticked are refused by name")
        << QStringList({"manager", "test001"}) << QStringList({"alice", "bob", "manager", "test001"})
        << "操作提示/[manager、test001]是受保护的用户，不能删除！" << false;
    QTest::newRow("nothing ticked asks for a choice")
        << QStringList() << QStringList({"alice", "bob", "manager", "test001"}) << "操作提示/请先选择一项！" << false;
    QTest::newRow("a failed write keeps every ticked user")
        << QStringList({"alice", "bob"}) << QStringList({"alice", "bob", "manager", "test001"}) << "错误提示/" << true;
}

void tst_user_edit::deletesTickedUsersButKeepsProtectedOnes()
{
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, remaining);
    QFETCH(QString, message);
    QFETCH(bool, dropUsers);

    Form form;
    clickTicks(form.table(), ticked);
    QCOMPARE(tickedNames(form.table()).size(), ticked.size());
    breakIf(dropUsers);
    // A ticked protected user is named in a second message.
    QVERIFY(saidOnly(form.click("pushButton_2"), message));
    QCOMPARE(accounts(), remaining);
    QCOMPARE(columnTexts(form.table(), 1), accountsInListOrder());
    if (dropUsers) {
        QCOMPARE(tickedNames(form.table()), ticked);
    } else {
        // The rights of a deleted account go with it.
        QCOMPARE(names(QStringLiteral("select name from [user] order by name")), remaining);
    }
}

QTEST_MAIN(tst_user_edit)
#include "tst_user_edit.moc"
