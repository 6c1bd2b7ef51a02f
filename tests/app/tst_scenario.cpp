#include "admin/power_edit.h"
#include "admin/tablehelpers.h"
#include "admin/user_edit.h"
#include "app/shell/login.h"
#include "app/loginstate.h"
#include "app/permissioncheck.h"
#include "app/shell/tarnix.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QtTest>

// A manager sets up a new clerk from the main window; the clerk logs in with
// the default password, must change it, and holds only the rights given.
class tst_scenario : public QObject
{
    Q_OBJECT

private slots:
    void managerSetsUpAClerkWhoChangesThePassword();

private:
    static bool logIn(const QString &user, const QString &password);
    static void logOut();
    static void choose(tarnix &window, const QString &entry);
};

bool tst_scenario::logIn(const QString &user, const QString &password)
{
    login dialog;
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit")), user);
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_2")), password);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    return dialog.result() == QDialog::Accepted;
}

// The program has no log-out; a new start has no connection and no state.
void tst_scenario::logOut()
{
    LoginState::databaseName.clear();
    LoginState::companyName.clear();
    LoginState::userName.clear();
    LoginState::rights.clear();
    const QString name = QString::fromLatin1(QSqlDatabase::defaultConnection);
    {
        QSqlDatabase company = QSqlDatabase::database(name, false);
        company.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void tst_scenario::choose(tarnix &window, const QString &entry)
{
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->text() == entry) {
            QVERIFY2(action->isEnabled(), qPrintable(entry));
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no entry %1").arg(entry)));
}

void tst_scenario::managerSetsUpAClerkWhoChangesThePassword()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    logOut();
    MessageRecorder messages;

    QVERIFY(logIn(QStringLiteral("manager"), QStringLiteral("888888")));
    {
        tarnix window;
        choose(window, QStringLiteral("用户管理"));
        auto *users = window.findChild<user_edit *>();
        QVERIFY(users);
        QTest::keyClicks(users->findChild<QLineEdit *>(QStringLiteral("lineEdit")), QStringLiteral("clerk"));
        QTest::mouseClick(users->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);

        choose(window, QStringLiteral("权限管理"));
        auto *rights = window.findChild<power_edit *>();
        QVERIFY(rights);
        rights->findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(QStringLiteral("clerk"));
        clickTicks(rights->findChild<QTableWidget *>(QStringLiteral("tableWidget")),
                   {QStringLiteral("发票录入"), QStringLiteral("应收录入")});
        QTest::mouseClick(rights->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    }
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/保存成功！")});
    logOut();
    messages.clear();

    // The initial password is replaced at the first login.
    login::setNewPasswordAsker([](QWidget *) { return QStringLiteral("first"); });
    QVERIFY(logIn(QStringLiteral("clerk"), QStringLiteral("123")));
    login::setNewPasswordAsker(login::NewPasswordAsker());
    QCOMPARE(LoginState::rights, QStringLiteral("发票录入,应收录入"));
    QVERIFY(PermissionCheck(QStringLiteral("应收录入")));
    QVERIFY(!PermissionCheck(QStringLiteral("权限编辑")));
    logOut();

    QVERIFY(!logIn(QStringLiteral("clerk"), QStringLiteral("123")));
    logOut();
    QVERIFY(logIn(QStringLiteral("clerk"), QStringLiteral("first")));
    QCOMPARE(db.rows(QStringLiteral("select user_name,operator from operator order by id")),
             (QList<QStringList>{{QStringLiteral("manager"), QStringLiteral("用户管理")}}));
}

QTEST_MAIN(tst_scenario)
#include "tst_scenario.moc"
