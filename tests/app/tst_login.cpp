#include "app/shell/login.h"
#include "app/loginstate.h"
#include "db/engine.h"
#include "db/settings.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString defaultConnection = QString::fromLatin1(QSqlDatabase::defaultConnection);

// Runs statements on a database of the current data folder through a
// connection of its own, as an administrator would beside the program.
void execOn(const QString &databaseName, const QStringList &statements)
{
    const QString name = QStringLiteral("tst_login_side");
    {
        QSqlDatabase db = Engine::addConnection(name);
        db.setDatabaseName(Engine::databaseNameFor(databaseName));
        QVERIFY2(db.open(), qPrintable(databaseName));
        for (const QString &sql : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(sql), qPrintable(sql));
        }
    }
    QSqlDatabase::removeDatabase(name);
}

// The program starts without a company connection and with an empty login
// state; the test database leaves both behind.
void startFresh(const TestDb &db)
{
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    LoginState::databaseName = LoginState::companyName = LoginState::userName = LoginState::rights = QString();
    QSqlDatabase::database(defaultConnection, false).close();
    QSqlDatabase::removeDatabase(defaultConnection);
}

QLineEdit *field(login &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QLatin1String(name));
}

// Types user and password and presses "确定".
void submit(login &dialog, const QString &user, const QString &password)
{
    QTest::keyClicks(field(dialog, "lineEdit"), user);
    QTest::keyClicks(field(dialog, "lineEdit_2"), password);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
}

// What a login of the demo user into company (if named) showed: the
// messages on opening, "确定", those after it, and how it ended. It runs in
// a child process that fault sets up first (a write limit, another user),
// so that the fault ends with it.
QStringList attempt(const QString &company, const std::function<void()> &fault)
{
    int channel[2];
    if (pipe(channel) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        fault();
        MessageRecorder messages;
        login dialog;
        if (!company.isEmpty()) {
            dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(company);
        }
        const int opening = messages.count();
        submit(dialog, QStringLiteral("test001"), QStringLiteral("305716"));
        QStringList said = messages.texts();
        said.insert(opening, QStringLiteral("确定"));
        const bool refused = dialog.result() != QDialog::Accepted && !QSqlDatabase::contains(defaultConnection);
        const QByteArray bytes = (said << QString::fromLatin1(refused ? "refused" : "connected")).join(QChar(0)).toUtf8();
        // A pipe knows no file size limit.
        _exit(write(channel[1], bytes.constData(), size_t(bytes.size())) == bytes.size() ? 0 : 1);
    }
    close(channel[1]);
    QFile fromChild;
    fromChild.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray said = fromChild.readAll();
    waitpid(child, nullptr, 0);
    return QString::fromUtf8(said.constData(), said.size()).split(QChar(0));
}

} // namespace

class tst_login : public QObject
{
    Q_OBJECT

private slots:
    void demoLoginIsFilledInOnlyAtStart_data();
    void demoLoginIsFilledInOnlyAtStart();
    void loginCheck_data();
    void loginCheck();
    void afterAnUnknownUserAnotherCompanyCanBeTried();
    void databaseThatCannotBeUsedIsNamedWithTheCause_data();
    void databaseThatCannotBeUsedIsNamedWithTheCause();
    void returnKeysAndCancel_data();
    void returnKeysAndCancel();
};

void tst_login::demoLoginIsFilledInOnlyAtStart_data()
{
    QTest::addColumn<QString>("firstCompany");
    QTest::addColumn<QString>("secondCompany");
    QTest::addColumn<QString>("expectedUser");
    QTest::addColumn<QString>("expectedPassword");
    QTest::newRow("demo company preselected") << "澜拓商贸(试用)" << "正式公司" << "test001" << "305716";
    QTest::newRow("demo company chosen later") << "正式公司" << "澜拓商贸(试用)" << QString() << QString();
}

void tst_login::demoLoginIsFilledInOnlyAtStart()
{
    QFETCH(QString, firstCompany);
    QFETCH(QString, secondCompany);
    QFETCH(QString, expectedUser);
    QFETCH(QString, expectedPassword);

    TestDb db(false, firstCompany, QStringLiteral("first"));
    QVERIFY2(db.addCompany(secondCompany, QStringLiteral("second")), qPrintable(db.lastError()));
    startFresh(db);
    MessageRecorder messages;
    login dialog;
    auto *company = dialog.findChild<QComboBox *>(QStringLiteral("comboBox"));
    QCOMPARE(company->currentText(), firstCompany);
    company->setCurrentText(secondCompany);
    QCOMPARE(field(dialog, "lineEdit")->text(), expectedUser);
    QCOMPARE(field(dialog, "lineEdit_2")->text(), expectedPassword);
}

void tst_login::loginCheck_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expectedRights"); // when accepted
    QTest::addColumn<bool>("rightsGone");        // [user] unreadable

    const QString empty = QStringLiteral("输入提示/不能有为空内容！");
    const QString zhangsRights = QStringLiteral("发票录入,发票审核");
    QTest::newRow("no user name") << QString() << "pw1" << empty << QString() << false;
    QTest::newRow("blank password") << "zhang" << "  " << empty << QString() << false;
    QTest::newRow("the state holds the name as stored") << "  zhang  " << "pw1" << QString() << zhangsRights << false;
    QTest::newRow("user with rights, blanks around the password ignored") << "zhang" << " pw1 " << QString() << zhangsRights << false;
    QTest::newRow("user without a rights row holds none") << "li" << "pw2" << QString() << QString() << false;
    QTest::newRow("a quote in the name is only a character") << "o'neil" << "pw3" << QString() << "发票录入" << false;
    QTest::newRow("password differs in case") << "zhang" << "PW1" << "错误提示/密码错误" << QString() << false;
    QTest::newRow("rights that cannot be read refuse the login, not give none")
        << "zhang" << "pw1" << "错误提示/" << QString() << true;
}

void tst_login::loginCheck()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(QString, expectedRights);
    QFETCH(bool, rightsGone);

    TestDb db(false, QStringLiteral("测试公司"), QStringLiteral("testdb"));
    for (const char *sql : {"insert into login (name,password) values ('zhang','pw1')",
                            "insert into login (name,password) values ('li','pw2')",
                            "insert into login (name,password) values ('o''neil','pw3')",
                            "insert into [user] (name,power) values ('zhang','发票录入,发票审核')",
                            "insert into [user] (name,power) values ('o''neil','发票录入')"}) {
        QVERIFY(db.exec(QString::fromUtf8(sql)));
    }
    QVERIFY(!rightsGone || db.exec(QStringLiteral("alter table [user] rename to user_away")));
    startFresh(db);
    MessageRecorder messages;
    login dialog;
    submit(dialog, user, password);

    const bool accepted = message.isEmpty();
    QCOMPARE(messages.count(), accepted ? 0 : 1);
    QVERIFY(accepted || messages.texts().first().startsWith(message));
    QVERIFY(!rightsGone || messages.texts().first().size() > message.size()); // the engine's text follows
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    // A failed attempt leaves no company connected, so the next one starts
    // afresh; a successful one leaves the company open for every form.
    QCOMPARE(QSqlDatabase::database(defaultConnection, false).isOpen(), accepted);
    QCOMPARE(LoginState::userName, accepted ? user.trimmed() : QString());
    QCOMPARE(LoginState::rights, expectedRights);
    if (accepted) {
        QCOMPARE(LoginState::companyName, QStringLiteral("测试公司"));
        QCOMPARE(LoginState::databaseName, QStringLiteral("testdb"));
    }
}

void tst_login::afterAnUnknownUserAnotherCompanyCanBeTried()
{
    TestDb db(false, QStringLiteral("甲公司"), QStringLiteral("jia"));
    QVERIFY(db.addCompany(QStringLiteral("乙公司"), QStringLiteral("yi")));
    execOn(QStringLiteral("yi"), {"insert into login (name,password) values ('zhao','pw')",
                                  "insert into [user] (name,power) values ('zhao','应收录入')"});
    startFresh(db);
    MessageRecorder messages;
    login dialog;
    submit(dialog, QStringLiteral("zhao"), QStringLiteral("pw"));
    QCOMPARE(messages.texts(), QStringList{"错误提示/无此用户！"});

    dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(QStringLiteral("乙公司"));
    submit(dialog, QString(), QString());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(LoginState::rights, QStringLiteral("应收录入"));
    QCOMPARE(QSqlDatabase::database().databaseName(), Engine::databaseNameFor(QStringLiteral("yi")));
}

void tst_login::databaseThatCannotBeUsedIsNamedWithTheCause_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<int>("saidOnOpening");
    QTest::addColumn<QString>("message"); // how the last report starts

    QTest::newRow("an empty directory offers no company") << "empty" << 0 << "无法打开数据库";
    QTest::newRow("an unreachable directory") << "unreachable" << 1 << "无法打开数据库“sqldb”";
    QTest::newRow("a missing company database") << "missing" << 0 << "无法打开数据库“ghost”：";
    QTest::newRow("a read-only data folder") << "read-only" << 1 << "数据库文件或其文件夹只读，无法打开数据库“sqldb”";
    QTest::newRow("a full disk") << "full" << 1 << "磁盘已满，无法打开数据库“sqldb”";
}

void tst_login::databaseThatCannotBeUsedIsNamedWithTheCause()
{
    QFETCH(QString, broken);
    QFETCH(int, saidOnOpening);
    QFETCH(QString, message);

    TestDb db;
    startFresh(db);
    QTemporaryDir emptyFolder;
    std::function<void()> fault = [] {};
    if (broken == QLatin1String("empty")) {
        execOn(QStringLiteral("sqldb"), {"delete from erpdb"});
    } else if (broken == QLatin1String("missing")) {
        execOn(QStringLiteral("sqldb"), {"insert into erpdb (name,db_name) values ('已停用公司','ghost')"});
    } else if (broken == QLatin1String("unreachable")) {
        DbSettings settings = DbSettings::current();
        settings.dataDir = emptyFolder.path();
        DbSettings::setCurrent(settings);
    } else if (broken == QLatin1String("full")) {
        // A write limit of nothing: not even the engine's index beside the
        // file can be made, as on a disk without room.
        fault = [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit none{0, 0};
            setrlimit(RLIMIT_FSIZE, &none);
        };
    } else {
        // The test database's folder. Root may write anywhere, so as root
        // the attempt runs as the user "nobody", who owns the files.
        const passwd *nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (geteuid() == 0 && !nobody) {
            QSKIP("running as root without a user \"nobody\" to drop to");
        }
        const QDir folder(db.dataDir());
        const QStringList names = folder.entryList(QDir::Files) << QString();
        for (const QString &name : names) {
            QVERIFY(!nobody || chown(QFile::encodeName(folder.filePath(name)).constData(), nobody->pw_uid, nobody->pw_gid) == 0);
        }
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        fault = [nobody] {
            if (nobody && (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)) {
                _exit(2);
            }
        };
    }
    const QStringList said = attempt(broken == QLatin1String("missing") ? QStringLiteral("已停用公司") : QString(), fault);
    QFile::setPermissions(db.dataDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(said.indexOf(QStringLiteral("确定")), saidOnOpening);
    QCOMPARE(said.last(), QStringLiteral("refused"));
    QVERIFY2(said.size() > saidOnOpening + 2 && said.at(said.size() - 2).startsWith(QStringLiteral("错误提示/") + message),
             qPrintable(said.join(QLatin1Char('\n'))));
    QCOMPARE(said.filter(QRegularExpression(QStringLiteral("^错误提示/(?!无此用户！)"))).size(), said.size() - 2);
}

void tst_login::returnKeysAndCancel_data()
{
    QTest::addColumn<QString>("pressedIn"); // a field takes Return, a button a click
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("focusAfter"); // empty: closed
    QTest::addColumn<bool>("accepted");

    QTest::newRow("name typed: on to the password") << "lineEdit" << "test001" << QString() << "lineEdit_2" << false;
    QTest::newRow("blank name: stays") << "lineEdit" << "  " << QString() << "lineEdit" << false;
    QTest::newRow("name and password typed: name return does not log in")
        << "lineEdit" << "test001" << "305716" << "lineEdit_2" << false;
    QTest::newRow("blank password: back to the name") << "lineEdit_2" << "test001" << "   " << "lineEdit" << false;
    QTest::newRow("password typed: logs in") << "lineEdit_2" << "test001" << "305716" << QString() << true;
    QTest::newRow("cancel: nobody logs in") << "pushButton_2" << "test001" << "305716" << QString() << false;
}

void tst_login::returnKeysAndCancel()
{
    QFETCH(QString, pressedIn);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, focusAfter);
    QFETCH(bool, accepted);

    TestDb db;
    startFresh(db);
    MessageRecorder messages;
    login dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.focusWidget(), field(dialog, "lineEdit"));
    QCOMPARE(field(dialog, "lineEdit_2")->echoMode(), QLineEdit::Password);
    // The directory stays open; no company is connected before the check.
    QVERIFY(QSqlDatabase::database(QStringLiteral("sqldb"), false).isOpen());
    QVERIFY(!QSqlDatabase::contains(defaultConnection));
    QTest::keyClicks(field(dialog, "lineEdit"), user);
    QTest::keyClicks(field(dialog, "lineEdit_2"), password);
    if (auto *target = dialog.findChild<QLineEdit *>(pressedIn)) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
    } else {
        QTest::mouseClick(dialog.findChild<QPushButton *>(pressedIn), Qt::LeftButton);
    }

    QVERIFY(messages.isEmpty());
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(LoginState::userName.isEmpty(), !accepted);
    QCOMPARE(dialog.isVisible(), !focusAfter.isEmpty());
    if (!focusAfter.isEmpty()) {
        QCOMPARE(dialog.focusWidget(), dialog.findChild<QLineEdit *>(focusAfter));
    }
}

QTEST_MAIN(tst_login)
#include "tst_login.moc"
