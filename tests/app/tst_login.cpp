#include "app/shell/login.h"
#include "app/loginstate.h"
#include "db/engine.h"
#include "db/settings.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

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
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The program starts without any connection and with an empty login state;
// the test database leaves its company open as the default connection and
// fills the state, so both are undone first.
void startFresh(const TestDb &db)
{
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    LoginState::databaseName.clear();
    LoginState::companyName.clear();
    LoginState::userName.clear();
    LoginState::rights.clear();
    if (!QSqlDatabase::contains(defaultConnection)) {
        return;
    }
    {
        QSqlDatabase company = QSqlDatabase::database(defaultConnection, false);
        company.close();
    }
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

} // namespace

class tst_login : public QObject
{
    Q_OBJECT

private slots:
    void showsTheFixedDialog();
    void demoLoginIsFilledInOnlyAtStart_data();
    void demoLoginIsFilledInOnlyAtStart();
    void loginCheck_data();
    void loginCheck();
    void afterAnUnknownUserAnotherCompanyCanBeTried();
    void anEmptyDirectoryOffersNoCompany();
    void anUnreachableDirectoryIsReported();
    void aMissingCompanyDatabaseIsReportedNotAsUnknownUser();
    void returnKeys_data();
    void returnKeys();
    void cancelRejects();
};

void tst_login::showsTheFixedDialog()
{
    TestDb db;
    startFresh(db);
    MessageRecorder messages;
    login dialog;

    QCOMPARE(dialog.windowTitle(), QStringLiteral("用户登录"));
    QCOMPARE(dialog.minimumSize(), QSize(400, 190));
    QCOMPARE(dialog.maximumSize(), QSize(400, 190));
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        labels << label->text();
    }
    QVERIFY(labels.contains(QStringLiteral("   公司名称")));
    QVERIFY(labels.contains(QStringLiteral("   用 户 名")));
    QVERIFY(labels.contains(QStringLiteral("   密    码")));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("pushButton"))->text(), QStringLiteral("确定"));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("pushButton_2"))->text(), QStringLiteral("取消"));
    QCOMPARE(field(dialog, "lineEdit_2")->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.focusWidget(), field(dialog, "lineEdit"));
    QVERIFY(messages.isEmpty());
    // The directory stays open; no company is connected before the check.
    QVERIFY(QSqlDatabase::database(QStringLiteral("sqldb"), false).isOpen());
    QVERIFY(!QSqlDatabase::contains(defaultConnection));
}

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
    QVERIFY2(db.isValid(), qPrintable(db.error()));
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
    QTest::addColumn<QStringList>("expectedMessages");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expectedRights");

    const QStringList none;
    const QStringList empty{"输入提示/不能有为空内容！"};
    QTest::newRow("no user name") << QString() << "pw1" << empty << false << QString();
    QTest::newRow("blank user name") << "   " << "pw1" << empty << false << QString();
    QTest::newRow("no password") << "zhang" << QString() << empty << false << QString();
    QTest::newRow("blank password") << "zhang" << "  " << empty << false << QString();
    QTest::newRow("user with rights") << "zhang" << "pw1" << none << true << "发票录入,发票审核";
    QTest::newRow("the state holds the name as stored")
        << "  zhang  " << "pw1" << none << true
        << "发票录入,发票审核";
    QTest::newRow("blanks around the password are ignored")
        << "zhang" << " pw1 " << none << true
        << "发票录入,发票审核";
    QTest::newRow("user without a rights row holds none") << "li" << "pw2" << none << true << QString();
    QTest::newRow("a quote in the name is only a character") << "o'neil" << "pw3" << none << true << "发票录入";
    QTest::newRow("password differs in case")
        << "zhang" << "PW1"
        << QStringList{"错误提示/密码错误"} << false << QString();
    QTest::newRow("unknown user") << "wang" << "pw1" << QStringList{"错误提示/无此用户！"} << false << QString();
}

void tst_login::loginCheck()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QStringList, expectedMessages);
    QFETCH(bool, accepted);
    QFETCH(QString, expectedRights);

    TestDb db(false, QStringLiteral("测试公司"), QStringLiteral("testdb"));
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("insert into login (name,password) values ('zhang','pw1')")));
    QVERIFY(db.exec(QStringLiteral("insert into login (name,password) values ('li','pw2')")));
    QVERIFY(db.exec(QStringLiteral("insert into login (name,password) values ('o''neil','pw3')")));
    QVERIFY(db.exec(QStringLiteral("insert into [user] (name,power) values ('zhang','发票录入,发票审核')")));
    QVERIFY(db.exec(QStringLiteral("insert into [user] (name,power) values ('o''neil','发票录入')")));
    startFresh(db);
    MessageRecorder messages;
    login dialog;
    submit(dialog, user, password);

    QCOMPARE(messages.texts(), expectedMessages);
    if (expectedMessages == QStringList{"输入提示/不能有为空内容！"}) {
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
    }
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    // A failed attempt leaves no company connected, so the next one starts
    // afresh; a successful one leaves the company open for every form.
    QCOMPARE(QSqlDatabase::database(defaultConnection, false).isOpen(), accepted);
    if (accepted) {
        QCOMPARE(LoginState::userName, user.trimmed());
        QCOMPARE(LoginState::companyName, QStringLiteral("测试公司"));
        QCOMPARE(LoginState::databaseName, QStringLiteral("testdb"));
        QCOMPARE(LoginState::rights, expectedRights);
    } else {
        QVERIFY(LoginState::userName.isEmpty());
        QVERIFY(LoginState::rights.isEmpty());
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
    QTest::keyClicks(field(dialog, "lineEdit"), QStringLiteral("zhao"));
    QTest::keyClicks(field(dialog, "lineEdit_2"), QStringLiteral("pw"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));

    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"错误提示/无此用户！"});

    dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(QStringLiteral("乙公司"));
    QTest::mouseClick(ok, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(LoginState::companyName, QStringLiteral("乙公司"));
    QCOMPARE(LoginState::databaseName, QStringLiteral("yi"));
    QCOMPARE(LoginState::rights, QStringLiteral("应收录入"));
    QCOMPARE(QSqlDatabase::database().databaseName(), Engine::databaseNameFor(QStringLiteral("yi")));
}

void tst_login::anEmptyDirectoryOffersNoCompany()
{
    TestDb db;
    startFresh(db);
    execOn(QStringLiteral("sqldb"), {"delete from erpdb"});
    MessageRecorder messages;
    login dialog;

    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->count(), 0);
    QCOMPARE(LoginState::databaseName, QString());
    QVERIFY(messages.isEmpty());

    submit(dialog, QStringLiteral("test001"), QStringLiteral("305716"));

    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(messages.last().text.startsWith(QStringLiteral("无法打开数据库")));
}

void tst_login::anUnreachableDirectoryIsReported()
{
    TestDb db;
    startFresh(db);
    QTemporaryDir emptyFolder;
    DbSettings settings = DbSettings::current();
    settings.dataDir = emptyFolder.path();
    DbSettings::setCurrent(settings);
    MessageRecorder messages;
    login dialog;

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.startsWith(QStringLiteral("无法打开数据库“sqldb”")),
             qPrintable(messages.last().text));
    QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->count(), 0);

    submit(dialog, QStringLiteral("test001"), QStringLiteral("305716"));

    QCOMPARE(messages.count(), 2);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("无法打开数据库“sqldb”")));
    QVERIFY(!messages.texts().contains(QStringLiteral("错误提示/无此用户！")));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void tst_login::aMissingCompanyDatabaseIsReportedNotAsUnknownUser()
{
    TestDb db;
    startFresh(db);
    execOn(QStringLiteral("sqldb"), {"insert into erpdb (name,db_name) values ('已停用公司','ghost')"});
    MessageRecorder messages;
    login dialog;
    dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(QStringLiteral("已停用公司"));
    QCOMPARE(LoginState::databaseName, QStringLiteral("ghost"));
    submit(dialog, QStringLiteral("test001"), QStringLiteral("305716"));

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.startsWith(QStringLiteral("无法打开数据库“ghost”：")),
             qPrintable(messages.last().text));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!QSqlDatabase::contains(defaultConnection));

    // The company that does exist can still be chosen.
    dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(QStringLiteral("测试公司"));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_login::returnKeys_data()
{
    QTest::addColumn<QString>("pressedIn");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("name typed: on to the password") << "lineEdit" << "test001" << QString() << "lineEdit_2" << false;
    QTest::newRow("no name: stays") << "lineEdit" << QString() << QString() << "lineEdit" << false;
    QTest::newRow("blank name: stays") << "lineEdit" << "  " << QString() << "lineEdit" << false;
    QTest::newRow("name and password typed: name return does not log in")
        << "lineEdit" << "test001" << "305716" << "lineEdit_2" << false;
    QTest::newRow("no password: back to the name") << "lineEdit_2" << "test001" << QString() << "lineEdit" << false;
    QTest::newRow("blank password: back to the name") << "lineEdit_2" << "test001" << "   " << "lineEdit" << false;
    QTest::newRow("password typed: logs in") << "lineEdit_2" << "test001" << "305716" << QString() << true;
}

void tst_login::returnKeys()
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
    QTest::keyClicks(field(dialog, "lineEdit"), user);
    QTest::keyClicks(field(dialog, "lineEdit_2"), password);
    auto *target = dialog.findChild<QLineEdit *>(pressedIn);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);

    QVERIFY(messages.isEmpty());
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    if (!accepted) {
        QCOMPARE(dialog.focusWidget(), dialog.findChild<QLineEdit *>(focusAfter));
        QVERIFY(dialog.isVisible());
    }
}

void tst_login::cancelRejects()
{
    TestDb db;
    startFresh(db);
    MessageRecorder messages;
    login dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton_2")), Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(messages.isEmpty());
    QVERIFY(LoginState::userName.isEmpty());
}

QTEST_MAIN(tst_login)
#include "tst_login.moc"
