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

    QTest::newRow("no rights at all") << QString() << "发票录入" << false;
    QTest::newRow("first of two") << "发票录入,发票审核" << "发票录入" << true;
    QTest::newRow("second of two") << "发票录入,发票审核" << "发票审核" << true;
    QTest::newRow("blank after the comma keeps the first") << "发票录入, 发票审核" << "发票录入" << true;
    QTest::newRow("blank after the comma loses the second") << "发票录入, 发票审核" << "发票审核" << false;
    QTest::newRow("a part of a name is not the name") << "应收录入审核" << "应收录入" << false;
    QTest::newRow("a longer name is not the name") << "应收录入" << "应收录入审核" << false;
    QTest::newRow("letters compare with case") << "Admin" << "admin" << false;
    QTest::newRow("single right") << "权限编辑" << "权限编辑" << true;
    QTest::newRow("empty parts are skipped over") << ",,员工编辑," << "员工编辑" << true;
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
