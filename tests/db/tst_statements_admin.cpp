// The statements of the login, the user and permission administration, the
// operation log and the cash categories (login, user_edit, power_edit,
// pwd_update, OperationLog, rizhi, category_cash), run on the embedded engine
// against the rows of StatementFixture.

#include "db/engine.h"
#include "db/sqltext.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace StatementText;

class tst_statements_admin : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void companyDirectory();

private:
    FixtureDb m_fixture;
};

void tst_statements_admin::reads_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("ordered");

    // login
    const QString password = QStringLiteral("select password from login where name='%1'");
    QTest::newRow("login: password of a user") << password.arg(q("clerk")) << QStringList{"333"} << true;
    QTest::newRow("login: unknown user has no row") << password.arg(q("nobody")) << QStringList{} << true;
    // SQL Server pads the shorter text with blanks before comparing, and the
    // company databases use a case-insensitive collation (Chinese_PRC_CI_AS).
    QTest::newRow("login: trailing blanks do not count")
        << password.arg(q("clerk  ")) << QStringList{"333"} << true;
    QTest::newRow("login: leading blanks do") << password.arg(q(" clerk")) << QStringList{} << true;
    QTest::newRow("login: letter case does not count")
        << password.arg(q("Clerk")) << QStringList{"333"} << true;

    // user_edit
    QTest::newRow("user_edit: count") << QStringLiteral("select count(*) from login") << QStringList{"3"} << true;
    QTest::newRow("user_edit: names")
        << QStringLiteral("select name from login")
        << QStringList{"test001", "manager", "clerk"} << false;
    const QString taken = QStringLiteral("select count(*) from login where name='%1'");
    QTest::newRow("user_edit: name taken") << taken.arg(q("manager")) << QStringList{"1"} << true;
    QTest::newRow("user_edit: name free") << taken.arg(q("新用户")) << QStringList{"0"} << true;
    QTest::newRow("user_edit: name taken in other letter case")
        << taken.arg(q("MANAGER")) << QStringList{"1"} << true;

    // power_edit
    QTest::newRow("power_edit: count of rights")
        << QStringLiteral("select count(*) from power") << QStringList{"13"} << true;
    QTest::newRow("power_edit: rights")
        << QStringLiteral("select name from power")
        << QStringList{"权限编辑", "资产类别编辑", "员工编辑", "供应商类别编辑",
                       "客户类别编辑", "发票审核", "发票录入", "应付审核",
                       "应付录入", "应收审核", "应收录入", "应收导入", "资金录入"}
        << false;
    QTest::newRow("power_edit: users")
        << QStringLiteral("select name from [user]")
        << QStringList{"test001", "manager", "clerk"} << false;
    const QString power = QStringLiteral("select power from [user] where name='%1'");
    QTest::newRow("power_edit: rights of a user")
        << power.arg(q("test001")) << QStringList{"发票录入,发票审核"} << true;
    QTest::newRow("power_edit: user without rights")
        << power.arg(q("manager")) << QStringList{""} << true;
    QTest::newRow("power_edit: --请选择-- has no row")
        << power.arg(q("--请选择--")) << QStringList{} << true;

    // rizhi: the span is inclusive at both ends, to the second.
    const QString log =
        QStringLiteral("select ip,date,user_name,operator,id from operator where date between '%1' and '%2'");
    QTest::newRow("rizhi: one day")
        << log.arg(q("2024-03-05 00:00:00"), q("2024-03-05 23:59:59"))
        << QStringList{"192.168.1.10|2024-03-05 09:30:00|clerk|采购单|1",
                       "192.168.1.11|2024-03-05 17:45:10|manager|商品资料|2"}
        << false;
    QTest::newRow("rizhi: ends of the span are included")
        << log.arg(q("2024-03-05 17:45:10"), q("2024-03-06 08:00:00"))
        << QStringList{"192.168.1.11|2024-03-05 17:45:10|manager|商品资料|2",
                       "192.168.1.10|2024-03-06 08:00:00|clerk|送货单|3"}
        << false;
    QTest::newRow("rizhi: start after end")
        << log.arg(q("2024-03-06 00:00:00"), q("2024-03-05 00:00:00")) << QStringList{} << false;
    QTest::newRow("rizhi: a span of zero seconds between entries")
        << log.arg(q("2024-03-05 12:00:00"), q("2024-03-05 12:00:00")) << QStringList{} << false;

    // category_cash
    QTest::newRow("category_cash: count")
        << QStringLiteral("select count(*) from category") << QStringList{"4"} << true;
    QTest::newRow("category_cash: names")
        << QStringLiteral("select name from category")
        << QStringList{"销售回款", "采购付款", "其他费用", "备用金"} << false;
    const QString cashTaken = QStringLiteral("select count(*) from category where name='%1'");
    QTest::newRow("category_cash: name taken") << cashTaken.arg(q("备用金")) << QStringList{"1"} << true;
    QTest::newRow("category_cash: name free") << cashTaken.arg(q("差旅费")) << QStringList{"0"} << true;
    const QString cashUsed = QStringLiteral("select id from info where category='%1'");
    QTest::newRow("category_cash: category used by receipts")
        << cashUsed.arg(q("销售回款")) << QStringList{"1", "2", "4"} << false;
    QTest::newRow("category_cash: category used by nothing")
        << cashUsed.arg(q("备用金")) << QStringList{} << false;
}

void tst_statements_admin::reads()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    QFETCH(bool, ordered);
    const QString failure = ResultRows::checkRead(m_fixture, statement, expected, ordered);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_admin::writes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QStringList>("expected");

    // user_edit gives a new account a fixed default password.
    const QString addUser = QStringLiteral("insert into login (name,password) values ('%1',") + QStringLiteral("'123')");
    QTest::newRow("user_edit: add")
        << addUser.arg(q("新用户"))
        << QStringLiteral("select name,password from login where name='新用户'")
        << QStringList{"新用户|123"};
    QTest::newRow("user_edit: add a name holding a quote")
        << addUser.arg(q("o'brien"))
        << QStringLiteral("select name from login where password='123'")
        << QStringList{"o'brien"};
    QTest::newRow("user_edit: delete")
        << QStringLiteral("delete from login where name='%1'").arg(q("clerk"))
        << QStringLiteral("select name from login order by name")
        << QStringList{"manager", "test001"};

    QTest::newRow("pwd_update: change the own password")
        << QStringLiteral("update login set password='%1' where name='%2'").arg(q("s3cret"), q("clerk"))
        << QStringLiteral("select name,password from login order by name")
        << QStringList{"clerk|s3cret", "manager|222", "test001|111"};

    QTest::newRow("power_edit: save rights")
        << QStringLiteral("update [user] set power='%1' where name='%2'").arg(q("权限编辑,发票录入"), q("manager"))
        << QStringLiteral("select name,power from [user] order by name")
        << QStringList{"clerk|应收录入", "manager|权限编辑,发票录入", "test001|发票录入,发票审核"};
    QTest::newRow("power_edit: save no right")
        << QStringLiteral("update [user] set power='%1' where name='%2'").arg(q(""), q("test001"))
        << QStringLiteral("select power from [user] where name='test001'")
        << QStringList{""};

    QTest::newRow("OperationLog: log row")
        << QStringLiteral("insert into operator (ip,date,user_name,operator) values ('%1','%2','%3','%4')")
               .arg(q("10.0.0.7"), q("2024-05-06 07:08:09"), q(" test001 "), q("毛利统计"))
        << QStringLiteral("select ip,date,user_name,operator,id from operator where id>3")
        << QStringList{"10.0.0.7|2024-05-06 07:08:09| test001 |毛利统计|4"};

    QTest::newRow("category_cash: add")
        << QStringLiteral("insert into category (name) values ('%1')").arg(q("差旅费"))
        << QStringLiteral("select name,id from category where id>4")
        << QStringList{"差旅费|5"};
    QTest::newRow("category_cash: delete")
        << QStringLiteral("delete from category where name='%1'").arg(q("其他费用"))
        << QStringLiteral("select name from category order by id")
        << QStringList{"销售回款", "采购付款", "备用金"};
}

void tst_statements_admin::writes()
{
    QFETCH(QString, statement);
    QFETCH(QString, readBack);
    QFETCH(QStringList, expected);

    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    ResultRows::query(statement, &error);
    QVERIFY2(error.isEmpty(), qPrintable(statement + QStringLiteral("\n  -> ") + error));
    const QString failure = ResultRows::check(readBack, expected, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

// The login lists the companies of the directory database "sqldb".
void tst_statements_admin::companyDirectory()
{
    QString error;
    TestDb *db = m_fixture.forWriting(&error);
    QVERIFY2(db, qPrintable(error));
    QVERIFY2(db->addCompany(QStringLiteral("澜拓试用公司"), QStringLiteral("demo2")),
             qPrintable(db->lastError()));

    QList<QStringList> rows;
    {
        QSqlDatabase directory = Engine::addConnection(QStringLiteral("sqldb"));
        directory.setDatabaseName(Engine::databaseNameFor(QStringLiteral("sqldb")));
        QVERIFY(directory.open());
        QSqlQuery query(directory);
        QVERIFY(query.exec(QStringLiteral("select name,db_name from erpdb")));
        while (query.next()) {
            rows << QStringList{query.value(0).toString(), query.value(1).toString()};
        }
        query.finish();
        directory.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("sqldb"));
    const QString failure = ResultRows::mismatch(
        rows, QStringList{"测试公司|testdb", "澜拓试用公司|demo2"}, false);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_MAIN(tst_statements_admin)
#include "tst_statements_admin.moc"
