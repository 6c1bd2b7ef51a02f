#include "app/loginstate.h"
#include "app/permissioncheck.h"

#include <QtTest>

class tst_permissioncheck : public QObject
{
    Q_OBJECT

private slots:
    void grantsOnlyExactNames_data();
    void grantsOnlyExactNames();
};

void tst_permissioncheck::grantsOnlyExactNames_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("granted");

    QTest::newRow("no rights at all") << QString() << QStringLiteral("发票录入") << false;
    QTest::newRow("first of two") << QStringLiteral("发票录入,发票审核") << QStringLiteral("发票录入") << true;
    QTest::newRow("second of two") << QStringLiteral("发票录入,发票审核") << QStringLiteral("发票审核") << true;
    QTest::newRow("blank after the comma keeps the first")
        << QStringLiteral("发票录入, 发票审核") << QStringLiteral("发票录入") << true;
    QTest::newRow("blank after the comma loses the second")
        << QStringLiteral("发票录入, 发票审核") << QStringLiteral("发票审核") << false;
    QTest::newRow("a part of a name is not the name")
        << QStringLiteral("应收录入审核") << QStringLiteral("应收录入") << false;
    QTest::newRow("a longer name is not the name")
        << QStringLiteral("应收录入") << QStringLiteral("应收录入审核") << false;
    QTest::newRow("letters compare with case") << QStringLiteral("Admin") << QStringLiteral("admin") << false;
    QTest::newRow("single right") << QStringLiteral("权限编辑") << QStringLiteral("权限编辑") << true;
    QTest::newRow("empty parts are skipped over")
        << QStringLiteral(",,员工编辑,") << QStringLiteral("员工编辑") << true;
}

void tst_permissioncheck::grantsOnlyExactNames()
{
    QFETCH(QString, rights);
    QFETCH(QString, right);
    QFETCH(bool, granted);

    LoginState::rights = rights;

    QCOMPARE(PermissionCheck(right), granted);
}

QTEST_APPLESS_MAIN(tst_permissioncheck)
#include "tst_permissioncheck.moc"
