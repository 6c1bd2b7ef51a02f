// Accounts are protected: hashed passwords, a forced change of the initial
// password, slowed guessing, rights granted by exact name, the rights to
// manage users; a login that cannot read its company says why instead of
// "无此用户！"; a clerk set up from the main window holds what was given; and
// the operation log names the user as typed.

#include "admin/power_edit.h"
#include "admin/tablehelpers.h"
#include "admin/user_edit.h"
#include "app/loginstate.h"
#include "app/operationlog.h"
#include "app/passwordhash.h"
#include "app/permissioncheck.h"
#include "app/shell/login.h"
#include "app/shell/tarnix.h"
#include "db/engine.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

#include <unistd.h>

namespace {

// The program has no log-out; a new start has no connection and no state.
void closeCompany()
{
    LoginState::databaseName.clear();
    LoginState::companyName.clear();
    LoginState::userName.clear();
    LoginState::rights.clear();
    const QString name = QString::fromLatin1(QSqlDatabase::defaultConnection);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

void submit(login &dialog, const QString &user, const QString &password)
{
    dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(user);
    dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(password);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
}

bool logIn(const QString &user, const QString &password)
{
    closeCompany();
    login dialog;
    submit(dialog, user, password);
    return dialog.result() == QDialog::Accepted;
}

// Triggers the main window's entry, which must be enabled, and returns the
// form it opened.
template <class Form>
Form *choose(tarnix &window, const QString &entry)
{
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->text() == entry && action->isEnabled()) {
            action->trigger();
        }
    }
    return window.findChild<Form *>();
}

} // namespace

class tst_accounts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void loginRules_data();
    void loginRules();
    void guessingIsSlowedDown();
    void damagedCompanyIsReported_data();
    void damagedCompanyIsReported();
    void rightsAreGrantedByExactName_data();
    void rightsAreGrantedByExactName();
    void managingUsersNeedsTheRight_data();
    void managingUsersNeedsTheRight();
    void companyFilesAreTheOwnersOnly();
    void managerSetsUpAClerkWhoMustChangeThePassword();
    void eachLogRowHoldsTheUserNameAsTyped();
    void aFailedLogWriteIsSilent();
};

void tst_accounts::cleanup()
{
    login::setNewPasswordAsker(login::NewPasswordAsker());
    login::setWaiter(login::Waiter());
    closeCompany();
}

void tst_accounts::loginRules_data()
{
    QTest::addColumn<bool>("hashed");       // the stored password is a hash
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("newPassword"); // the answer to the forced change
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("nowValid");    // the password that logs in afterwards
    const QStringList none;
    const QString mustChange = QStringLiteral("密码提示/您的密码仍是初始密码，请先修改密码！");
    QTest::newRow("plain text is hashed at login") << false << "pw1" << "zhang" << "pw1" << "" << none << "pw1";
    QTest::newRow("hash logs in") << true << "pw1" << "zhang" << "pw1" << "" << none << "pw1";
    QTest::newRow("wrong password") << true << "pw1" << "zhang" << "pw2" << ""
                                    << QStringList{"错误提示/密码错误"} << "pw1";
    QTest::newRow("initial password changed") << true << "123" << "zhang" << "123" << "newpw"
                                              << QStringList{mustChange} << "newpw";
    QTest::newRow("initial password kept") << true << "123" << "zhang" << "123" << ""
                                           << QStringList{mustChange, "密码提示/未修改初始密码，不能登录！"}
                                           << "123";
}

void tst_accounts::loginRules()
{
    QFETCH(bool, hashed);
    QFETCH(QString, stored);
    QFETCH(QString, typedName);
    QFETCH(QString, typed);
    QFETCH(QString, newPassword);
    QFETCH(QStringList, messages);
    QFETCH(QString, nowValid);

    TestDb db;
    QVERIFY(db.exec(QStringLiteral("insert into login (name,password) values ('zhang','%1')")
                        .arg(hashed ? PasswordHash::make(stored) : stored)));
    closeCompany();
    login::setNewPasswordAsker([&newPassword](QWidget *) { return newPassword; });
    MessageRecorder shown;
    login dialog;
    submit(dialog, typedName, typed);
    QCOMPARE(shown.texts(), messages);
    const bool accepted = dialog.result() == QDialog::Accepted;
    QCOMPARE(accepted, messages.isEmpty() || (messages.size() == 1 && !newPassword.isEmpty()));
    if (accepted) {
        QCOMPARE(LoginState::userName, QStringLiteral("zhang"));
    }
    // What is stored now is a hash that takes the password that should work.
    QSqlDatabase check = Engine::addConnection(QStringLiteral("tst_accounts_check"));
    check.setDatabaseName(Engine::databaseNameFor(QStringLiteral("testdb")));
    QVERIFY(check.open());
    {
        QSqlQuery query(check);
        QVERIFY(query.exec(QStringLiteral("select password from login where name='zhang'")) && query.next());
        const QString now = query.value(0).toString();
        QCOMPARE(PasswordHash::isHash(now), hashed || accepted);
        QVERIFY(PasswordHash::matches(now, nowValid));
    }
    check.close();
    check = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("tst_accounts_check"));
}

void tst_accounts::guessingIsSlowedDown()
{
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("insert into login (name,password) values ('zhang','%1')")
                        .arg(PasswordHash::make(QStringLiteral("pw1")))));
    closeCompany();
    QList<int> waits;
    login::setWaiter([&waits](int milliseconds) { waits << milliseconds; });
    MessageRecorder shown;
    login dialog;
    for (int attempt = 0; attempt < 4; ++attempt) {
        submit(dialog, QStringLiteral("zhang"), QStringLiteral("guess"));
    }
    QCOMPARE(waits, QList<int>{login::WaitMilliseconds});
    submit(dialog, QStringLiteral("zhang"), QStringLiteral("pw1"));
    QCOMPARE(waits.size(), 2);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_accounts::damagedCompanyIsReported_data()
{
    QTest::addColumn<int>("keptBytes"); // -1: the header overwritten
    QTest::newRow("empty file") << 0;
    QTest::newRow("truncated file") << 3000;
    QTest::newRow("damaged header") << -1;
}

void tst_accounts::damagedCompanyIsReported()
{
    QFETCH(int, keptBytes);
    TestDb db;
    closeCompany();
    QFile file(Engine::embeddedFile(QStringLiteral("testdb")));
    QVERIFY(file.exists());
    if (keptBytes >= 0) {
        QVERIFY(file.resize(keptBytes));
    } else {
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(100, 'x'));
        file.close();
    }
    MessageRecorder shown;
    login dialog;
    submit(dialog, QStringLiteral("test001"), QStringLiteral("305716"));
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.last().title, QStringLiteral("错误提示"));
    QVERIFY2(shown.last().text.startsWith(QStringLiteral("数据库文件已损坏")), qPrintable(shown.last().text));
    QVERIFY(dialog.result() != QDialog::Accepted);
}

void tst_accounts::rightsAreGrantedByExactName_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("granted");

    QTest::newRow("no rights at all") << QString() << "发票录入" << false;
    QTest::newRow("first of two") << "发票录入,发票审核" << "发票录入" << true;
    QTest::newRow("second of two") << "发票录入,发票审核" << "发票审核" << true;
    QTest::newRow("blank after the comma keeps the first") << "发票录入, 发票审核" << "发票录入" << true;
    QTest::newRow("blank after the comma loses the second") << "发票录入, 发票审核" << "发票审核" << false;
    QTest::newRow("a part of a name is not the name") << "应收录入审核" << "应收录入" << false;
    QTest::newRow("a longer name is not the name") << "应收录入" << "应收录入审核" << false;
    QTest::newRow("letters compare with case") << "Admin" << "admin" << false;
    QTest::newRow("empty parts are skipped over") << ",,员工编辑," << "员工编辑" << true;
}

void tst_accounts::rightsAreGrantedByExactName()
{
    QFETCH(QString, rights);
    QFETCH(QString, right);
    QFETCH(bool, granted);
    LoginState::rights = rights;
    QCOMPARE(PermissionCheck(right), granted);
}

void tst_accounts::managingUsersNeedsTheRight_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("add without the right") << "用户管理" << "pushButton" << "权限提示/无此权限";
    QTest::newRow("delete without the right") << "" << "pushButton_2" << "权限提示/无此权限";
}

void tst_accounts::managingUsersNeedsTheRight()
{
    QFETCH(QString, rights);
    QFETCH(QString, button);
    QFETCH(QString, message);
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("delete from login where name<>'manager'")));
    LoginState::userName = QStringLiteral("manager");
    LoginState::rights = rights;
    user_edit form;
    auto *table = form.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QCOMPARE(table->rowCount(), 1);
    table->item(0, 0)->setCheckState(Qt::Checked);
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("eve"));
    MessageRecorder shown;
    QTest::mouseClick(form.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(shown.texts(), QStringList{message});
    QCOMPARE(db.scalar(QStringLiteral("select count(0) from login")), QStringLiteral("1"));
}

void tst_accounts::companyFilesAreTheOwnersOnly()
{
    TestDb db;
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther;
    for (const QString &name : {QStringLiteral("testdb"), QStringLiteral("sqldb")}) {
        const QFileDevice::Permissions permissions = QFile::permissions(Engine::embeddedFile(name));
        QVERIFY(permissions & QFileDevice::ReadOwner);
        QCOMPARE(permissions & others, QFileDevice::Permissions());
    }
}

void tst_accounts::managerSetsUpAClerkWhoMustChangeThePassword()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    MessageRecorder messages;

    QVERIFY(logIn(QStringLiteral("manager"), QStringLiteral("888888")));
    {
        tarnix window;
        auto *users = choose<user_edit>(window, QStringLiteral("用户管理"));
        QVERIFY(users);
        QTest::keyClicks(users->findChild<QLineEdit *>(QStringLiteral("lineEdit")), QStringLiteral("clerk"));
        QTest::mouseClick(users->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);

        auto *rights = choose<power_edit>(window, QStringLiteral("权限管理"));
        QVERIFY(rights);
        rights->findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(QStringLiteral("clerk"));
        clickTicks(rights->findChild<QTableWidget *>(QStringLiteral("tableWidget")),
                   {QStringLiteral("发票录入"), QStringLiteral("应收录入")});
        QTest::mouseClick(rights->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    }
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/保存成功！")});

    // The initial password is replaced at the first login.
    login::setNewPasswordAsker([](QWidget *) { return QStringLiteral("first"); });
    QVERIFY(logIn(QStringLiteral("clerk"), QStringLiteral("123")));
    login::setNewPasswordAsker(login::NewPasswordAsker());
    QCOMPARE(LoginState::rights, QStringLiteral("发票录入,应收录入"));
    QVERIFY(!logIn(QStringLiteral("clerk"), QStringLiteral("123")));
    QVERIFY(logIn(QStringLiteral("clerk"), QStringLiteral("first")));
    QCOMPARE(db.rows(QStringLiteral("select user_name,operator from operator order by id")),
             (QList<QStringList>{{QStringLiteral("manager"), QStringLiteral("用户管理")}}));
}

void tst_accounts::eachLogRowHoldsTheUserNameAsTyped()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("delete from operator")));
    LoginState::userName = QStringLiteral(" test001 ");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    OperationLog(QStringLiteral("用户管理"));
    OperationLog(QStringLiteral("用户管理"));

    const QList<QStringList> rows = db.rows(
        QStringLiteral("select ip,convert(varchar(19),date,20),user_name,operator from operator order by id"));
    QCOMPARE(rows.size(), 2);
    for (const QStringList &row : rows) {
        const QDateTime at = QDateTime::fromString(row.at(1), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        QVERIFY2(at >= before.addSecs(-1) && at <= QDateTime::currentDateTime().addSecs(1), qPrintable(row.at(1)));
        QCOMPARE(row, (QStringList{workstationAddress(), row.at(1), " test001 ", "用户管理"}));
    }
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(workstationAddress()).hasMatch());
}

void tst_accounts::aFailedLogWriteIsSilent()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("drop table operator")));

    OperationLog(QStringLiteral("商品资料"));

    QVERIFY(db.isValid());
}

QTEST_MAIN(tst_accounts)
#include "tst_accounts.moc"
