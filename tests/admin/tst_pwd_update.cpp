#include "admin/pwd_update.h"
#include "app/loginstate.h"
#include "app/passwordhash.h"
#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class tst_pwd_update : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithThreeHiddenFields();
    void refusesAndKeepsThePassword_data();
    void refusesAndKeepsThePassword();
    void storesTheTrimmedNewPasswordAndCancelCloses();
    void failedUpdateIsReportedInsteadOfSuccess();
    void unreadableAccountIsAWrongOldPassword();

private:
    struct Form
    {
        QLineEdit *oldPassword;
        QLineEdit *newPassword;
        QLineEdit *confirmation;
        QPushButton *confirm;
        QPushButton *cancel;
    };
    Form partsOf(pwd_update &window);
    void type(const Form &form, const QString &oldPassword, const QString &newPassword, const QString &confirmation);
    QString storedPassword();

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

void tst_pwd_update::cleanup()
{
    m_db.reset();
}

tst_pwd_update::Form tst_pwd_update::partsOf(pwd_update &window)
{
    Form form{window.findChild<QLineEdit *>(QStringLiteral("lineEdit")),
              window.findChild<QLineEdit *>(QStringLiteral("lineEdit_2")),
              window.findChild<QLineEdit *>(QStringLiteral("lineEdit_3")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton_2"))};
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        QTest::qFail("the window was not exposed", __FILE__, __LINE__);
    }
    return form;
}

void tst_pwd_update::type(const Form &form, const QString &oldPassword,
                          const QString &newPassword, const QString &confirmation)
{
    QTest::keyClicks(form.oldPassword, oldPassword);
    QTest::keyClicks(form.newPassword, newPassword);
    QTest::keyClicks(form.confirmation, confirmation);
}

QString tst_pwd_update::storedPassword()
{
    return m_db->scalar(QStringLiteral("select password from login where name='test001'"));
}

void tst_pwd_update::opensWithThreeHiddenFields()
{
    pwd_update window;
    const Form form = partsOf(window);
    QVERIFY(form.oldPassword && form.newPassword && form.confirmation && form.confirm && form.cancel);

    QCOMPARE(window.windowTitle(), QStringLiteral("修改密码"));
    QCOMPARE(window.minimumSize(), QSize(300, 180));
    QCOMPARE(window.maximumSize(), QSize(300, 180));
    QCOMPARE(form.oldPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(form.newPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(form.confirmation->echoMode(), QLineEdit::Password);
    QCOMPARE(form.confirm->text(), QStringLiteral("确认"));
    QCOMPARE(form.cancel->text(), QStringLiteral("取消"));

    QStringList labels;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        labels << label->text();
    }
    labels.sort();
    QStringList expected = {"  新密码", "确认密码", "  旧密码"};
    expected.sort();
    QCOMPARE(labels, expected);
}

void tst_pwd_update::refusesAndKeepsThePassword_data()
{
    QTest::addColumn<QString>("loginName");
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");

    const QString user = QStringLiteral("test001");
    const QString old = QStringLiteral("old-pw");
    const QString empty = QStringLiteral("输入提示/不能有内容为空！");
    const QString wrongOld = QStringLiteral("输入提示/旧密码错误！");
    QTest::newRow("everything empty") << user << QString() << QString() << QString() << empty;
    QTest::newRow("new password empty") << user << old << QString() << "new-pw" << empty;
    QTest::newRow("confirmation only blanks") << user << old << "new-pw" << "   " << empty;
    QTest::newRow("confirmation differs") << user << old << "new-pw" << "new-PW" << "输入提示/两次密码输入不一致！";
    QTest::newRow("wrong old password") << user << "guess" << "new-pw" << "new-pw" << wrongOld;
    QTest::newRow("old password empty is just wrong") << user << QString() << "new-pw" << "new-pw" << wrongOld;
    QTest::newRow("old password is compared as typed, blanks included")
        << user << "old-pw " << "new-pw"
        << "new-pw" << wrongOld;
    QTest::newRow("another user's password") << user << "boss" << "new-pw" << "new-pw" << wrongOld;
    QTest::newRow("login name typed with leading blanks is not found")
        << "  test001" << old << "new-pw"
        << "new-pw" << wrongOld;
}

void tst_pwd_update::refusesAndKeepsThePassword()
{
    QFETCH(QString, loginName);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);
    LoginState::userName = loginName;

    pwd_update window;
    const Form form = partsOf(window);
    type(form, oldPassword, newPassword, confirmation);
    MessageRecorder messages;
    QTest::mouseClick(form.confirm, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(message));
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(storedPassword(), QStringLiteral("old-pw"));
}

void tst_pwd_update::storesTheTrimmedNewPasswordAndCancelCloses()
{
    pwd_update window;
    const Form form = partsOf(window);
    type(form, QStringLiteral("old-pw"), QStringLiteral("  new-pw "), QStringLiteral("new-pw"));
    MessageRecorder messages;
    QTest::mouseClick(form.confirm, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(QStringLiteral("成功提示/修改密码成功！")));
    QCOMPARE(messages.last().icon, QMessageBox::Information);
    QVERIFY(PasswordHash::matches(storedPassword(), QStringLiteral("new-pw")));
    QCOMPARE(m_db->scalar(QStringLiteral("select password from login where name='manager'")), QStringLiteral("boss"));
    // The window stays as it was.
    QVERIFY(window.isVisible());
    QCOMPARE(form.oldPassword->text(), QStringLiteral("old-pw"));
    QCOMPARE(form.newPassword->text(), QStringLiteral("  new-pw "));
    QCOMPARE(form.confirmation->text(), QStringLiteral("new-pw"));

    QTest::mouseClick(form.cancel, Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void tst_pwd_update::failedUpdateIsReportedInsteadOfSuccess()
{
    // The account can be read but no longer changed.
    QVERIFY(FormTest::runOnFile(m_db->db(), "create trigger login_locked before update on login "
                                       "begin select raise(abort, 'login is locked'); end"));
    pwd_update window;
    const Form form = partsOf(window);
    type(form, QStringLiteral("old-pw"), QStringLiteral("new-pw"), QStringLiteral("new-pw"));
    MessageRecorder messages;
    QTest::mouseClick(form.confirm, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("login is locked")), qPrintable(messages.last().text));
    QCOMPARE(storedPassword(), QStringLiteral("old-pw"));
}

void tst_pwd_update::unreadableAccountIsAWrongOldPassword()
{
    // The stored password cannot be read at all: the old one is not
    // confirmed, and nothing else is said.
    QVERIFY(FormTest::runOnFile(m_db->db(), "alter table login rename to login_away"));
    pwd_update window;
    const Form form = partsOf(window);
    type(form, QStringLiteral("old-pw"), QStringLiteral("new-pw"), QStringLiteral("new-pw"));
    MessageRecorder messages;
    QTest::mouseClick(form.confirm, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList(QStringLiteral("输入提示/旧密码错误！")));
    QCOMPARE(m_db->scalar(QStringLiteral("select password from login_away where name='test001'")),
             QStringLiteral("old-pw"));
}

QTEST_MAIN(tst_pwd_update)
#include "tst_pwd_update.moc"
