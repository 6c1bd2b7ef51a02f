#include "admin/pwd_update.h"
#include "app/loginstate.h"
#include "app/passwordhash.h"
#include "support/testdb.h"
#include "tablehelpers.h"

#include <QLineEdit>

#include <memory>

// The window with the old password, the new one and its confirmation typed.
struct Form : ShownForm<pwd_update>
{
    Form(const QString &oldPassword, const QString &newPassword, const QString &confirmation)
    {
        QTest::keyClicks(fields[0], oldPassword);
        QTest::keyClicks(fields[1], newPassword);
        QTest::keyClicks(fields[2], confirmation);
    }
    QLineEdit *fields[3] = {child<QLineEdit>("lineEdit"), child<QLineEdit>("lineEdit_2"), child<QLineEdit>("lineEdit_3")};
};

class tst_pwd_update : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void refusesAndKeepsThePassword_data();
    void refusesAndKeepsThePassword();
    void storesTheTrimmedNewPasswordAndCancelCloses();

private:
    QString storedPassword(const QString &table = QStringLiteral("login"))
    {
        return m_db->scalar(QStringLiteral("select password from %1 where name='test001'").arg(table));
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_pwd_update::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from login")));
    QVERIFY(m_db->exec(QStringLiteral("insert into login (name,password) values ('test001','old-pw')")));
    QVERIFY(m_db->exec(QStringLiteral("insert into login (name,password) values ('manager','boss')")));
    LoginState::userName = QStringLiteral("test001");
}

void tst_pwd_update::refusesAndKeepsThePassword_data()
{
    QTest::addColumn<QString>("loginName");
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QByteArray>("sabotage"); // SQLite run on the file first
    QTest::addColumn<QString>("message");     // how the one message starts

    const QString user = QStringLiteral("test001");
    const QString old = QStringLiteral("old-pw");
    const QString empty = QStringLiteral("输入提示/不能有内容为空！");
    const QString wrongOld = QStringLiteral("输入提示/旧密码错误！");
    QTest::newRow("everything empty") << user << QString() << QString() << QString() << QByteArray() << empty;
    QTest::newRow("confirmation only blanks") << user << old << "new-pw" << "   " << QByteArray() << empty;
    QTest::newRow("confirmation differs")
        << user << old << "new-pw" << "new-PW" << QByteArray() << "输入提示/两次密码输入不一致！";
    QTest::newRow("old password empty is just wrong") << user << QString() << "new-pw" << "new-pw" << QByteArray() << wrongOld;
    QTest::newRow("old password is compared as typed, blanks included")
        << user << "old-pw " << "new-pw" << "new-pw" << QByteArray() << wrongOld;
    QTest::newRow("another user's password") << user << "boss" << "new-pw" << "new-pw" << QByteArray() << wrongOld;
    QTest::newRow("login name typed with leading blanks is not found")
        << "  test001" << old << "new-pw" << "new-pw" << QByteArray() << wrongOld;
    QTest::newRow("read but no longer changed: reported instead of success")
        << user << old << "new-pw" << "new-pw"
        << QByteArray("create trigger login_locked before update on login begin select raise(abort, 'login is locked'); end")
        << "错误提示/login is locked";
    QTest::newRow("not read at all: said as a database fault, not as a wrong password")
        << user << old << "new-pw" << "new-pw" << QByteArray("alter table login rename to login_away")
        << "错误提示/";
}

void tst_pwd_update::refusesAndKeepsThePassword()
{
    QFETCH(QString, loginName);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, confirmation);
    QFETCH(QByteArray, sabotage);
    QFETCH(QString, message);
    LoginState::userName = loginName;

    QVERIFY(sabotage.isEmpty() || FormTest::runOnFile(m_db->db(), sabotage.constData()));
    Form form(oldPassword, newPassword, confirmation);
    const QStringList said = form.click("pushButton");
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().startsWith(message), qPrintable(said.first()));
    QCOMPARE(storedPassword(sabotage.contains("rename") ? QStringLiteral("login_away") : QStringLiteral("login")),
             QStringLiteral("old-pw"));
}

void tst_pwd_update::storesTheTrimmedNewPasswordAndCancelCloses()
{
    Form form(QStringLiteral("old-pw"), QStringLiteral("  new-pw "), QStringLiteral("new-pw"));
    for (const QLineEdit *field : form.fields) {
        QCOMPARE(field->echoMode(), QLineEdit::Password);
    }
    QCOMPARE(form.click("pushButton"), QStringList(QStringLiteral("成功提示/修改密码成功！")));
    QVERIFY(PasswordHash::matches(storedPassword(), QStringLiteral("new-pw")));
    QCOMPARE(m_db->scalar(QStringLiteral("select password from login where name='manager'")), QStringLiteral("boss"));
    // The window stays as it was.
    QVERIFY(form.isVisible());
    QCOMPARE(form.fields[1]->text(), QStringLiteral("  new-pw "));

    form.click("pushButton_2");
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(tst_pwd_update)
#include "tst_pwd_update.moc"
