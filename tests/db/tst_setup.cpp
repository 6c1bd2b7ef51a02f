#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList &twelveRights()
{
    static const QStringList rights = {
        QStringLiteral("权限编辑"), QStringLiteral("资产类别编辑"), QStringLiteral("员工编辑"),
        QStringLiteral("供应商类别编辑"), QStringLiteral("客户类别编辑"), QStringLiteral("发票审核"),
        QStringLiteral("发票录入"), QStringLiteral("应付审核"), QStringLiteral("应付录入"),
        QStringLiteral("应收审核"), QStringLiteral("应收录入"), QStringLiteral("应收导入")};
    return rights;
}

// Rows of sql on one database of the data folder, each value as text: read
// through the embedded driver as the program reads, or from the SQLite file
// directly for checks written in SQLite's own dialect.
QList<QStringList> rowsOf(const QString &database, const QString &sql, bool throughDriver = true)
{
    QList<QStringList> rows;
    const QString name = QStringLiteral("tst_setup_read");
    {
        QSqlDatabase db = throughDriver ? Engine::addConnection(name)
                                        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(throughDriver ? Engine::databaseNameFor(database)
                                         : Engine::embeddedFile(database));
        QString error;
        if (db.open() && (throughDriver || Engine::installEmbeddedFunctions(db, &error))) {
            QSqlQuery query(db);
            if (!query.exec(sql)) {
                qWarning() << query.lastError().text() << sql;
            }
            while (query.next()) {
                QStringList row;
                for (int i = 0; i < query.record().count(); ++i) {
                    row << query.value(i).toString();
                }
                rows << row;
            }
        } else {
            qWarning() << db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QString scalarOf(const QString &database, const QString &sql, bool throughDriver = true)
{
    const QList<QStringList> rows = rowsOf(database, sql, throughDriver);
    return rows.isEmpty() ? QString() : rows.first().value(0);
}

bool execOn(const QString &database, const QString &sql)
{
    const QString name = QStringLiteral("tst_setup_write");
    bool ok = false;
    {
        QSqlDatabase db = Engine::addConnection(name);
        db.setDatabaseName(Engine::databaseNameFor(database));
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QByteArray fingerprint(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// The codes-and-names texts the finance tables use for partners.
const char kCustomerTexts[] = "(select cast(customer_id as text)||'-'||customer_name from customer)";
const char kSupplierTexts[] = "(select cast(supplier_id as text)||'-'||supplier_name from supplier)";

} // namespace

class tst_setup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void createCompanyMakesDirectoryAndCompany();
    void initialUsersLogInWithEveryRight_data();
    void initialUsersLogInWithEveryRight();
    void secondCompanyJoinsTheDirectory();
    void refusedCompanyLeavesEverythingAsItWas_data();
    void refusedCompanyLeavesEverythingAsItWas();
    void failedCompanyLeavesNoFileBehind();
    void firstStartCreatesTheDemoOnce();
    void firstStartKeepsAnExistingDirectory();
    void demoDataIsConsistent_data();
    void demoDataIsConsistent();
    void demoDataShowsEveryReport_data();
    void demoDataShowsEveryReport();

private:
    QString dataFile(const QString &name) const { return QDir(m_dir->path()).filePath(name); }

    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_setup::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    DbSettings settings;
    settings.engine = QStringLiteral("sqlite");
    // A folder that does not exist yet: the setup makes it.
    settings.dataDir = dataFile(QStringLiteral("data"));
    DbSettings::setCurrent(settings);
}

void tst_setup::cleanup()
{
    QVERIFY2(QSqlDatabase::connectionNames().isEmpty(),
             qPrintable(QSqlDatabase::connectionNames().join(QLatin1Char(','))));
    m_dir.reset();
}

void tst_setup::createCompanyMakesDirectoryAndCompany()
{
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), false, &error),
             qPrintable(error));
    QVERIFY(QFileInfo::exists(Engine::embeddedFile(QStringLiteral("sqldb"))));
    QVERIFY(QFileInfo::exists(Engine::embeddedFile(QStringLiteral("jia"))));
    const QList<QStringList> companies = rowsOf(QStringLiteral("sqldb"), QStringLiteral("select name,db_name from erpdb"));
    QCOMPARE(companies, (QList<QStringList>{{QStringLiteral("甲公司"), QStringLiteral("jia")}}));
    // Without the demo the company starts empty, apart from its seed rows.
    QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select count(*) from food_info")), QStringLiteral("0"));
    QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select count(*) from power")), QStringLiteral("12"));
}

void tst_setup::initialUsersLogInWithEveryRight_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("the clerk the demo login fills in") << "test001" << "305716";
    QTest::newRow("the manager") << "manager" << "888888";
}

void tst_setup::initialUsersLogInWithEveryRight()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), false, &error),
             qPrintable(error));
    // The statements of the login and of the permission editor.
    QCOMPARE(scalarOf(QStringLiteral("jia"),
                      QStringLiteral("select password from login where name='%1'").arg(user)),
             password);
    QCOMPARE(scalarOf(QStringLiteral("jia"),
                      QStringLiteral("select power from [user] where name='%1'").arg(user))
                 .split(QLatin1Char(',')),
             twelveRights());
}

void tst_setup::secondCompanyJoinsTheDirectory()
{
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), false, &error),
             qPrintable(error));
    QVERIFY(execOn(QStringLiteral("jia"), QStringLiteral("insert into category (name) values ('只在甲公司')")));
    QVERIFY2(Setup::createCompany(QStringLiteral("乙公司"), QStringLiteral("yi"), false, &error),
             qPrintable(error));

    const QList<QStringList> companies = rowsOf(QStringLiteral("sqldb"), QStringLiteral("select name,db_name from erpdb"));
    QCOMPARE(companies, (QList<QStringList>{{QStringLiteral("甲公司"), QStringLiteral("jia")},
                                            {QStringLiteral("乙公司"), QStringLiteral("yi")}}));
    QCOMPARE(scalarOf(QStringLiteral("yi"), QStringLiteral("select password from login where name='test001'")),
             QStringLiteral("305716"));
    QCOMPARE(scalarOf(QStringLiteral("yi"), QStringLiteral("select count(*) from category")), QStringLiteral("0"));
    QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select count(*) from category")), QStringLiteral("1"));
}

void tst_setup::refusedCompanyLeavesEverythingAsItWas_data()
{
    QTest::addColumn<QString>("companyName");
    QTest::addColumn<QString>("databaseName");
    QTest::newRow("database that exists") << "另一个名称" << "jia";
    QTest::newRow("database listed in other letter case") << "另一个名称" << "JIA";
    QTest::newRow("company name listed for another database") << "甲公司" << "bing";
    QTest::newRow("database name with a blank") << "丙公司" << "bing gongsi";
    QTest::newRow("database name leaving the folder") << "丙公司" << "../bing";
    QTest::newRow("database name starting with a digit") << "丙公司" << "1bing";
    QTest::newRow("the directory's own name") << "丙公司" << "sqldb";
    QTest::newRow("empty company name") << "  " << "bing";
}

void tst_setup::refusedCompanyLeavesEverythingAsItWas()
{
    QFETCH(QString, companyName);
    QFETCH(QString, databaseName);
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), false, &error),
             qPrintable(error));
    QVERIFY(execOn(QStringLiteral("jia"),
                   QStringLiteral("insert into customer (customer_id,customer_name,short_name,area) "
                                  "values (1,'华联超市','华联','A')")));
    const QByteArray company = fingerprint(Engine::embeddedFile(QStringLiteral("jia")));
    const QByteArray directory = fingerprint(Engine::embeddedFile(QStringLiteral("sqldb")));
    const QStringList filesBefore = QDir(DbSettings::current().dataDir).entryList(QDir::Files);

    error.clear();
    QVERIFY(!Setup::createCompany(companyName, databaseName, false, &error));
    QVERIFY(!error.isEmpty());

    QCOMPARE(fingerprint(Engine::embeddedFile(QStringLiteral("jia"))), company);
    QCOMPARE(fingerprint(Engine::embeddedFile(QStringLiteral("sqldb"))), directory);
    QCOMPARE(QDir(DbSettings::current().dataDir).entryList(QDir::Files), filesBefore);
    QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select customer_name from customer")),
             QStringLiteral("华联超市"));
}

// A directory file that is no database makes the last step fail after the
// company file was made: that file must go again, the directory stay as it was.
void tst_setup::failedCompanyLeavesNoFileBehind()
{
    QVERIFY(QDir().mkpath(DbSettings::current().dataDir));
    QFile broken(Engine::embeddedFile(QStringLiteral("sqldb")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(4096, 'x'));
    broken.close();
    const QByteArray before = fingerprint(broken.fileName());

    QString error;
    QVERIFY(!Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), true, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(Engine::embeddedFile(QStringLiteral("jia"))));
    QCOMPARE(fingerprint(broken.fileName()), before);
    QCOMPARE(QDir(DbSettings::current().dataDir).entryList(QDir::Files), QStringList{"sqldb.db"});
}

void tst_setup::firstStartCreatesTheDemoOnce()
{
    QString error;
    QVERIFY2(Setup::ensureFirstStart(&error), qPrintable(error));
    const QList<QStringList> companies = rowsOf(QStringLiteral("sqldb"), QStringLiteral("select name,db_name from erpdb"));
    QCOMPARE(companies.size(), 1);
    QVERIFY(companies.first().value(0).contains(QStringLiteral("试用")));
    const QString database = companies.first().value(1);
    QVERIFY(QFileInfo::exists(Engine::embeddedFile(database)));
    QCOMPARE(scalarOf(database, QStringLiteral("select password from login where name='test001'")),
             QStringLiteral("305716"));
    QVERIFY(scalarOf(database, QStringLiteral("select count(*) from sell")).toInt() > 0);

    const QByteArray demo = fingerprint(Engine::embeddedFile(database));
    const QByteArray directory = fingerprint(Engine::embeddedFile(QStringLiteral("sqldb")));
    QVERIFY2(Setup::ensureFirstStart(&error), qPrintable(error));
    QCOMPARE(fingerprint(Engine::embeddedFile(database)), demo);
    QCOMPARE(fingerprint(Engine::embeddedFile(QStringLiteral("sqldb"))), directory);
}

void tst_setup::firstStartKeepsAnExistingDirectory()
{
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), false, &error),
             qPrintable(error));
    QVERIFY2(Setup::ensureFirstStart(&error), qPrintable(error));
    QCOMPARE(QDir(DbSettings::current().dataDir).entryList(QDir::Files),
             (QStringList{"jia.db", "sqldb.db"}));
}

void tst_setup::demoDataIsConsistent_data()
{
    // Each query counts rows that break the rule; the checks read the file
    // in SQLite's own dialect so that they depend on the data only.
    QTest::addColumn<QString>("violations");
    const QString customers = QString::fromLatin1(kCustomerTexts);
    const QString suppliers = QString::fromLatin1(kSupplierTexts);

    QTest::newRow("purchase lines name existing goods")
        << "select count(*) from purchar where food_id not in (select food_id from food_info)";
    QTest::newRow("purchase lines name existing suppliers")
        << "select count(*) from purchar where supplier_id not in (select supplier_id from supplier)";
    QTest::newRow("delivery lines name existing goods")
        << "select count(*) from sell where food_id not in (select food_id from food_info)";
    QTest::newRow("delivery lines name existing customers")
        << "select count(*) from sell where customer_id not in (select customer_id from customer)";
    QTest::newRow("stock corrections name existing goods")
        << "select count(*) from inventory where food_id not in (select food_id from food_info)";
    QTest::newRow("order numbers are cgd, date, supplier, sequence")
        << "select count(*) from purchar where purchar_no not like "
           "'cgd'||replace(date,'-','')||'-'||supplier_id||'-%'";
    QTest::newRow("note numbers are shd, date, customer, sequence")
        << "select count(*) from sell where sell_no not like "
           "'shd'||replace(date,'-','')||'-'||customer_id||'-%'";
    QTest::newRow("input invoices come from suppliers")
        << QStringLiteral("select count(*) from invoice where jin_xiao='进项' and company not in %1").arg(suppliers);
    QTest::newRow("output invoices go to customers other than delivery customers")
        << QStringLiteral("select count(*) from invoice where jin_xiao='销项' and company not in "
                          "(select cast(customer_id as text)||'-'||customer_name from customer "
                          "where category<>'配送客户')");
    QTest::newRow("invoices are of one of the two kinds")
        << "select count(*) from invoice where jin_xiao not in ('进项','销项')";
    QTest::newRow("receivables name customers")
        << QStringLiteral("select count(*) from receivable where company not in %1").arg(customers);
    QTest::newRow("payables name partners")
        << QStringLiteral("select count(*) from payment where company not in %1 and company not in %2")
               .arg(suppliers, customers);
    QTest::newRow("cash entries name partners")
        << QStringLiteral("select count(*) from info where company not in %1 and company not in %2")
               .arg(suppliers, customers);
    QTest::newRow("receivables bind output invoices of their customer")
        << "select count(*) from receivable r where invoice_id<>0 and not exists "
           "(select 1 from invoice i where i.id=r.invoice_id and i.company=r.company and i.jin_xiao='销项')";
    QTest::newRow("receivables bind receipts of their customer")
        << "select count(*) from receivable r where info_id<>0 and not exists "
           "(select 1 from info i where i.id=r.info_id and i.company=r.company and i.income>0)";
    QTest::newRow("payables bind input invoices of their supplier")
        << "select count(*) from payment p where invoice_id<>0 and not exists "
           "(select 1 from invoice i where i.id=p.invoice_id and i.company=p.company and i.jin_xiao='进项')";
    QTest::newRow("payables bind payments to their supplier")
        << "select count(*) from payment p where info_id<>0 and not exists "
           "(select 1 from info i where i.id=p.info_id and i.company=p.company and i.pay>0)";
    QTest::newRow("an invoice or receipt is bound once")
        << "select count(*) from (select invoice_id from receivable where invoice_id<>0 "
           "union all select invoice_id from payment where invoice_id<>0) group by invoice_id having count(*)>1";
    QTest::newRow("account kinds are seeded kinds")
        << "select count(*) from (select inout_category from receivable union all "
           "select inout_category from payment) where inout_category not in (select name from inout_category)";
    QTest::newRow("cash categories are listed")
        << "select count(*) from info where category not in (select name from category)";
    QTest::newRow("partner categories are listed")
        << "select (select count(*) from customer where category not in (select name from category_customer))"
           "+(select count(*) from supplier where category not in (select name from category_supplier))";
    QTest::newRow("salesmen and accountants are employees")
        << "select count(*) from customer where salesman not in (select employee_name from employee) "
           "or salesman1 not in (select employee_name from employee) "
           "or (salesman2<>'' and salesman2 not in (select employee_name from employee)) "
           "or accoutant not in (select employee_name from employee)";
    QTest::newRow("no stock goes below zero")
        << "select count(*) from food_info f where "
           "ifnull((select sum(quantity) from purchar p where p.food_id=f.food_id),0)"
           "-ifnull((select sum(quantity) from sell s where s.food_id=f.food_id),0)"
           "+ifnull((select sum(quantity) from inventory i where i.food_id=f.food_id),0)<0";
    QTest::newRow("an audited invoice day of one kind holds no unaudited invoice")
        << "select count(*) from invoice a where checker<>'' and exists (select 1 from invoice b "
           "where b.date=a.date and b.jin_xiao=a.jin_xiao and b.checker='')";

    const QString badName = QStringLiteral(
        "select count(*) from %1 where %2 like '%-%' or %2 like '%,%' or instr(%2,'''')>0");
    QTest::newRow("goods names") << badName.arg("food_info", "food_name");
    QTest::newRow("units") << badName.arg("food_info", "unit");
    QTest::newRow("customer names") << badName.arg("customer", "customer_name");
    QTest::newRow("customer short names") << badName.arg("customer", "short_name");
    QTest::newRow("areas") << badName.arg("customer", "area");
    QTest::newRow("supplier names") << badName.arg("supplier", "supplier_name");
    QTest::newRow("supplier short names") << badName.arg("supplier", "short_name");
    QTest::newRow("employee names") << badName.arg("employee", "employee_name");
    QTest::newRow("cash categories") << badName.arg("category", "name");
    QTest::newRow("customer categories") << badName.arg("category_customer", "name");
    QTest::newRow("supplier categories") << badName.arg("category_supplier", "name");
    QTest::newRow("cash summaries") << badName.arg("info", "summary");
}

void tst_setup::demoDataIsConsistent()
{
    QFETCH(QString, violations);
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("演示(试用)"), QStringLiteral("demo"), true, &error),
             qPrintable(error));
    const QList<QStringList> rows = rowsOf(QStringLiteral("demo"), violations, false);
    for (const QStringList &row : rows) {
        QCOMPARE(row.value(0), QStringLiteral("0"));
    }
}

void tst_setup::demoDataShowsEveryReport_data()
{
    // Each query counts rows that a form or report needs to have something
    // to show.
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("atLeast");
    QTest::newRow("goods") << "select count(*) from food_info" << 15;
    QTest::newRow("goods categories") << "select count(distinct category) from food_info" << 3;
    QTest::newRow("customers") << "select count(*) from customer" << 6;
    QTest::newRow("a delivery customer") << "select count(*) from customer where category='配送客户'" << 1;
    QTest::newRow("customers not cooperating") << "select count(*) from customer where cooperate=0" << 1;
    QTest::newRow("invoiced customers") << "select count(*) from customer where invoice=1" << 1;
    QTest::newRow("suppliers") << "select count(*) from supplier" << 5;
    QTest::newRow("employees") << "select count(*) from employee" << 3;
    QTest::newRow("purchase orders") << "select count(distinct purchar_no) from purchar" << 5;
    QTest::newRow("a second order of a supplier on one day")
        << "select count(*) from purchar where purchar_no like '%-2'" << 1;
    QTest::newRow("orders with several lines")
        << "select count(*) from (select purchar_no from purchar group by purchar_no having count(*)>1)" << 3;
    QTest::newRow("delivery notes") << "select count(distinct sell_no) from sell" << 5;
    QTest::newRow("stock gains") << "select count(*) from inventory where quantity>0" << 1;
    QTest::newRow("stock losses") << "select count(*) from inventory where quantity<0" << 1;
    QTest::newRow("input invoices") << "select count(*) from invoice where jin_xiao='进项'" << 1;
    QTest::newRow("output invoices") << "select count(*) from invoice where jin_xiao='销项'" << 1;
    QTest::newRow("audited invoices") << "select count(*) from invoice where checker<>''" << 1;
    QTest::newRow("invoices open for audit") << "select count(*) from invoice where checker=''" << 1;
    QTest::newRow("receipts") << "select count(*) from info where income>0" << 1;
    QTest::newRow("payments") << "select count(*) from info where pay>0" << 1;
    QTest::newRow("receivable kinds") << "select count(distinct inout_category) from receivable" << 3;
    QTest::newRow("payable kinds") << "select count(distinct inout_category) from payment" << 2;
    QTest::newRow("receivables bound to an invoice") << "select count(*) from receivable where invoice_id<>0" << 1;
    QTest::newRow("receivables bound to a receipt") << "select count(*) from receivable where info_id<>0" << 1;
    QTest::newRow("open receivables") << "select count(*) from receivable where info_id=0" << 1;
    QTest::newRow("audited receivables") << "select count(*) from receivable where checker<>''" << 1;
    QTest::newRow("commission paid out") << "select count(*) from receivable where date_commision<>'2001-01-01'" << 1;
    QTest::newRow("commission still open")
        << "select count(*) from receivable where date_commision='2001-01-01' and info_id<>0" << 1;
    QTest::newRow("late interest") << "select count(*) from receivable where interest>0" << 1;
    QTest::newRow("payables bound to a payment") << "select count(*) from payment where info_id<>0" << 1;
    QTest::newRow("audited payables") << "select count(*) from payment where checker<>''" << 1;
    QTest::newRow("documents of the last week")
        << "select count(*) from sell where date>=date('now','localtime','-7 days')" << 1;
}

void tst_setup::demoDataShowsEveryReport()
{
    QFETCH(QString, count);
    QFETCH(int, atLeast);
    QString error;
    QVERIFY2(Setup::createCompany(QStringLiteral("演示(试用)"), QStringLiteral("demo"), true, &error),
             qPrintable(error));
    const int found = scalarOf(QStringLiteral("demo"), count, false).toInt();
    QVERIFY2(found >= atLeast, qPrintable(QStringLiteral("%1 < %2").arg(found).arg(atLeast)));
}

QTEST_MAIN(tst_setup)
#include "tst_setup.moc"
