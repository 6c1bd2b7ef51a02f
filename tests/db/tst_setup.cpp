#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QtSql>
#include <QtTest>

namespace {

// Rows of sql on one database of the data folder, each value as text: read
// through the embedded driver as the program reads, or in SQLite's own
// dialect for checks that depend on the data only.
QList<QStringList> rowsOf(const QString &database, const QString &sql, bool sqlite = false, bool *ok = nullptr)
{
    QList<QStringList> rows;
    const QString name = QStringLiteral("tst_setup");
    {
        QSqlDatabase db = sqlite ? Engine::addSqliteDialectConnection(name) : Engine::addConnection(name);
        db.setDatabaseName(Engine::databaseNameFor(database));
        QSqlQuery query(db);
        const bool done = db.open() && query.exec(sql);
        if (!done) {
            qWarning() << db.lastError().text() << query.lastError().text() << sql;
        }
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i) {
                row << query.value(i).toString();
            }
            rows << row;
        }
        if (ok) {
            *ok = done;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QString scalarOf(const QString &database, const QString &sql)
{
    return rowsOf(database, sql).value(0).value(0);
}

bool execOn(const QString &database, const QString &sql)
{
    bool ok = false;
    rowsOf(database, sql, false, &ok);
    return ok;
}

bool create(const QString &companyName, const QString &databaseName, bool withDemo = false)
{
    QString error;
    const bool ok = Setup::createCompany(companyName, databaseName, withDemo, &error);
    if (!ok) {
        qWarning() << error;
    }
    return ok;
}

QByteArray fingerprint(const QString &database)
{
    QFile f(Engine::embeddedFile(database));
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1) : QByteArray();
}

QStringList dataFiles()
{
    return QDir(DbSettings::current().dataDir).entryList(QDir::Files);
}

} // namespace

class tst_setup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void companiesAreCreatedWithTheirUsersAndListed();
    void refusedCompanyLeavesEverythingAsItWas_data();
    void refusedCompanyLeavesEverythingAsItWas();
    void failedCompanyLeavesNoFileBehind();
    void firstStartCreatesTheDemoOnce();
    void firstStartWithASettingsFileMakesNoDemo();
    void companyDatabaseAloneIsNotListed();
    void demoDataIsConsistent_data();
    void demoDataIsConsistent();

private:
    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_setup::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    DbSettings settings;
    settings.engine = QStringLiteral("sqlite");
    // A folder that does not exist yet: the setup makes it.
    settings.dataDir = QDir(m_dir->path()).filePath(QStringLiteral("data"));
    DbSettings::setCurrent(settings);
}

void tst_setup::cleanup()
{
    QVERIFY2(QSqlDatabase::connectionNames().isEmpty(), qPrintable(QSqlDatabase::connectionNames().join(',')));
    m_dir.reset();
}

void tst_setup::companiesAreCreatedWithTheirUsersAndListed()
{
    QVERIFY(create(QStringLiteral("甲公司"), QStringLiteral("jia")));
    QCOMPARE(dataFiles(), (QStringList{"jia.db", "sqldb.db"}));
    QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select count(*) from food_info")), QStringLiteral("0"));
    // Both users log in and hold every right, read by the statements of the
    // login and of the permission editor.
    QStringList rights;
    for (const QStringList &row : rowsOf(QStringLiteral("jia"), QStringLiteral("select name from power"))) {
        rights << row.value(0);
    }
    for (const QStringList &user : {QStringList{"test001", "305716"}, QStringList{"manager", "888888"}}) {
        const QString where = QStringLiteral(" where name='%1'").arg(user[0]);
        QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select password from login") + where), user[1]);
        QCOMPARE(scalarOf(QStringLiteral("jia"), QStringLiteral("select power from [user]") + where).split(','), rights);
    }

    // A second company starts from its own seed rows, not from the first's data.
    QVERIFY(execOn(QStringLiteral("jia"), QStringLiteral("insert into category (name) values ('只在甲公司')")));
    QVERIFY(create(QStringLiteral("乙公司"), QStringLiteral("yi")));
    QCOMPARE(rowsOf(QStringLiteral("sqldb"), QStringLiteral("select name,db_name from erpdb")),
             (QList<QStringList>{{"甲公司", "jia"}, {"乙公司", "yi"}}));
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
    QVERIFY(create(QStringLiteral("甲公司"), QStringLiteral("jia")));
    QVERIFY(execOn(QStringLiteral("jia"), QStringLiteral("insert into customer (customer_id,customer_name,short_name,"
                                                         "area) values (1,'华联超市','华联','A')")));
    const QByteArray company = fingerprint(QStringLiteral("jia"));
    const QByteArray directory = fingerprint(QStringLiteral("sqldb"));

    QString error;
    QVERIFY(!Setup::createCompany(companyName, databaseName, false, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fingerprint(QStringLiteral("jia")), company);
    QCOMPARE(fingerprint(QStringLiteral("sqldb")), directory);
    QCOMPARE(dataFiles(), (QStringList{"jia.db", "sqldb.db"}));
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
    const QByteArray before = fingerprint(QStringLiteral("sqldb"));

    QString error;
    QVERIFY(!Setup::createCompany(QStringLiteral("甲公司"), QStringLiteral("jia"), true, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fingerprint(QStringLiteral("sqldb")), before);
    QCOMPARE(dataFiles(), QStringList{"sqldb.db"});
}

void tst_setup::firstStartCreatesTheDemoOnce()
{
    QString error;
    QVERIFY2(Setup::ensureFirstStart(&error), qPrintable(error));
    const QList<QStringList> companies =
        rowsOf(QStringLiteral("sqldb"), QStringLiteral("select name,db_name from erpdb"));
    QCOMPARE(companies.size(), 1);
    QVERIFY(companies.first().value(0).contains(QStringLiteral("试用")));
    const QString database = companies.first().value(1);
    QCOMPARE(scalarOf(database, QStringLiteral("select password from login where name='test001'")),
             QStringLiteral("305716"));
    QVERIFY(scalarOf(database, QStringLiteral("select count(*) from sell")).toInt() > 0);

    const QByteArray demo = fingerprint(database);
    const QByteArray directory = fingerprint(QStringLiteral("sqldb"));
    QVERIFY2(Setup::ensureFirstStart(&error), qPrintable(error));
    QCOMPARE(fingerprint(database), demo);
    QCOMPARE(fingerprint(QStringLiteral("sqldb")), directory);
}

// A settings file names where the databases are: a folder without them is a
// mistake to show, not a place for a demo company.
void tst_setup::firstStartWithASettingsFileMakesNoDemo()
{
    DbSettings settings = DbSettings::current();
    settings.sourceFile = QDir(m_dir->path()).filePath(QStringLiteral("jxc.ini"));
    DbSettings::setCurrent(settings);
    QString error;
    QVERIFY2(Setup::ensureFirstStart(&error), qPrintable(error));
    QCOMPARE(dataFiles(), QStringList());
}

void tst_setup::companyDatabaseAloneIsNotListed()
{
    QString error;
    QVERIFY2(Setup::createCompanyDatabase(QStringLiteral("alone"), false, &error), qPrintable(error));
    QCOMPARE(dataFiles(), QStringList{"alone.db"});
    QCOMPARE(scalarOf(QStringLiteral("alone"), QStringLiteral("select count(*) from login")), QStringLiteral("2"));
    QVERIFY(!Setup::createCompanyDatabase(QStringLiteral("alone"), false, &error));
    QVERIFY(!Setup::createCompanyDatabase(QStringLiteral("../alone"), false, &error));
    QCOMPARE(dataFiles(), QStringList{"alone.db"});
}

void tst_setup::demoDataIsConsistent_data()
{
    QTest::addColumn<QString>("violations"); // each row: 0, or the rows that break the rule
    const QString customers = QStringLiteral("(select cast(customer_id as text)||'-'||customer_name from customer)");
    const QString suppliers = QStringLiteral("(select cast(supplier_id as text)||'-'||supplier_name from supplier)");

    QTest::newRow("documents name existing goods and partners, their numbers date and partner")
        << "select count(*) from purchar where food_id not in (select food_id from food_info) or supplier_id not in"
           " (select supplier_id from supplier) or purchar_no not like 'cgd'||replace(date,'-','')||'-'||supplier_id||'-%'"
           " union all select count(*) from sell where food_id not in (select food_id from food_info) or customer_id"
           " not in (select customer_id from customer) or sell_no not like 'shd'||replace(date,'-','')||'-'||customer_id||'-%'"
           " union all select count(*) from inventory where food_id not in (select food_id from food_info)";
    QTest::newRow("invoices come in from suppliers or go out to customers other than delivery customers")
        << QStringLiteral("select count(*) from invoice where not (jin_xiao='进项' and company in %1) and not"
                          " (jin_xiao='销项' and company in (select cast(customer_id as text)||'-'||customer_name"
                          " from customer where category<>'配送客户'))").arg(suppliers);
    QTest::newRow("receivables name customers")
        << QStringLiteral("select count(*) from receivable where company not in %1").arg(customers);
    QTest::newRow("payables and cash entries name partners")
        << QStringLiteral("select count(*) from (select company from payment union all select company from info)"
                          " where company not in %1 and company not in %2").arg(suppliers, customers);
    QTest::newRow("receivables bind output invoices and receipts of their customer")
        << "select count(*) from receivable r where (invoice_id<>0 and not exists (select 1 from invoice i"
           " where i.id=r.invoice_id and i.company=r.company and i.jin_xiao='销项')) or (info_id<>0 and not exists"
           " (select 1 from info i where i.id=r.info_id and i.company=r.company and i.income>0))";
    QTest::newRow("payables bind input invoices and payments of their supplier")
        << "select count(*) from payment p where (invoice_id<>0 and not exists (select 1 from invoice i"
           " where i.id=p.invoice_id and i.company=p.company and i.jin_xiao='进项')) or (info_id<>0 and not exists"
           " (select 1 from info i where i.id=p.info_id and i.company=p.company and i.pay>0))";
    QTest::newRow("an invoice is bound once")
        << "select count(*) from (select invoice_id from receivable where invoice_id<>0 "
           "union all select invoice_id from payment where invoice_id<>0) group by invoice_id having count(*)>1";
    QTest::newRow("cash and partner categories are listed")
        << "select (select count(*) from info where category not in (select name from category))"
           "+(select count(*) from customer where category not in (select name from category_customer))"
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
    // The forms split "code-name" texts at '-', lists at ',' and quote text.
    QStringList names;
    for (const char *column : {"food_info.food_name", "food_info.unit", "customer.customer_name", "customer.short_name",
                               "customer.area", "supplier.supplier_name", "supplier.short_name",
                               "employee.employee_name", "category.name", "category_customer.name",
                               "category_supplier.name", "info.summary"}) {
        const QStringList parts = QString::fromLatin1(column).split(QLatin1Char('.'));
        names << QStringLiteral("select %1 as n from %2").arg(parts[1], parts[0]);
    }
    QTest::newRow("names hold no hyphen, comma or quote")
        << QStringLiteral("select count(*) from (%1) where n like '%-%' or n like '%,%' or instr(n,'''')>0")
               .arg(names.join(QStringLiteral(" union all ")));

    // The reports of the last days have something to show.
    QTest::newRow("delivery notes, some of the last week")
        << "select count(distinct sell_no)<5 or sum(date>=date('now','localtime','-7 days'))=0 from sell";
}

void tst_setup::demoDataIsConsistent()
{
    QFETCH(QString, violations);
    QVERIFY(create(QStringLiteral("演示(试用)"), QStringLiteral("demo"), true));
    bool ok = false;
    const QList<QStringList> rows = rowsOf(QStringLiteral("demo"), violations, true, &ok);
    QVERIFY(ok);
    for (const QStringList &row : rows) {
        QCOMPARE(row.value(0), QStringLiteral("0"));
    }
}

QTEST_MAIN(tst_setup)
#include "tst_setup.moc"
