#include "db/engine.h"
#include "db/setup.h"
#include "db/sqltext.h"
#include "support/testdb.h"

#include <QtSql>
#include <QtTest>

namespace {

// Enough reading of a script's text to compare the SQL Server script with
// its SQLite twin. Each column, index and seed row stands on a line of its own.
QString withoutComments(const QString &script)
{
    static const QRegularExpression comment(QStringLiteral("--[^\\n]*"));
    return QString(script).remove(comment);
}

// The statement in one spelling: lower case, identifiers unbracketed, no N
// prefix on literals, and an index's "include" columns as trailing key
// columns, which is how SQLite, lacking "include", covers the same columns.
QString normalized(QString statement)
{
    static const QList<QPair<QRegularExpression, QString>> rules = {
        {QRegularExpression(QStringLiteral("[\\[\\]\"]")), QString()},
        {QRegularExpression(QStringLiteral("\\bn'")), QStringLiteral("'")},
        {QRegularExpression(QStringLiteral("\\)\\s*include\\s*\\(")), QStringLiteral(",")},
        {QRegularExpression(QStringLiteral("\\s*([(),])\\s*")), QStringLiteral("\\1")},
        {QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")},
        {QRegularExpression(QStringLiteral("\\s*;$")), QString()}};
    statement = statement.trimmed().toLower();
    for (const auto &rule : rules) {
        statement.replace(rule.first, rule.second);
    }
    return statement;
}

// The lines of a script that start with pattern, normalized.
QStringList statementsOf(const QString &script, const QString &pattern)
{
    const QRegularExpression line(QStringLiteral("^\\s*%1\\b.*$").arg(pattern),
                                  QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    QStringList found;
    auto it = line.globalMatch(withoutComments(script));
    while (it.hasNext()) {
        found << normalized(it.next().captured(0));
    }
    return found;
}

// Each table as "name(column,column,...)".
QStringList tablesOf(const QString &script)
{
    static const QRegularExpression createTable(
        QStringLiteral("create\\s+table\\s+([\\[\\]\"\\w]+)\\s*\\((.*?)\\n\\s*\\)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QStringList constraints = {QStringLiteral("primary"), QStringLiteral("unique"),
                                            QStringLiteral("check"), QStringLiteral("constraint"),
                                            QStringLiteral("foreign")};
    QStringList tables;
    auto it = createTable.globalMatch(withoutComments(script));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QStringList columns;
        for (const QString &line : m.captured(2).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString first = normalized(line).section(QLatin1Char(' '), 0, 0);
            if (!first.isEmpty() && !constraints.contains(first)) {
                columns << first;
            }
        }
        tables << QStringLiteral("%1(%2)").arg(normalized(m.captured(1)), columns.join(QLatin1Char(',')));
    }
    return tables;
}

// A purchase line of goods 1001 on 2024-03-05.
QString purchar(const QString &quantity, const QString &price, const QString &remarks = QString(),
                const QString &number = QStringLiteral("cgd20240305-12-1"))
{
    return QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
                          "values ('%1','2024-03-05',12,1001,'%2','%3','%4','test001');")
        .arg(number, quantity, price, remarks);
}

} // namespace

class tst_schema : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void scriptsDefineTheSameTablesIndexesAndSeeds_data();
    void scriptsDefineTheSameTablesIndexesAndSeeds();
    void newCompanyHoldsTheSeedRowsInOrder();
    void serverScriptIsSentInBatches();
    void insertsGetKeysAndDefaults_data();
    void insertsGetKeysAndDefaults();
    void readsAsOnTheServer_data();
    void readsAsOnTheServer();

private:
    QScopedPointer<TestDb> m_db;
};

void tst_schema::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
}

void tst_schema::cleanup()
{
    m_db.reset();
}

void tst_schema::scriptsDefineTheSameTablesIndexesAndSeeds_data()
{
    QTest::addColumn<QString>("script"); // the SQL Server one; its twin is *_sqlite.sql
    QTest::addColumn<QString>("database");
    QTest::newRow("company database") << "schema" << "testdb";
    QTest::newRow("directory database") << "directory" << "sqldb";
}

void tst_schema::scriptsDefineTheSameTablesIndexesAndSeeds()
{
    QFETCH(QString, script);
    QFETCH(QString, database);
    const QString server = Setup::scriptText(script + QStringLiteral("_mssql.sql"));
    const QString embedded = Setup::scriptText(script + QStringLiteral("_sqlite.sql"));

    const QStringList tables = tablesOf(server);
    QVERIFY(!tables.isEmpty());
    QVERIFY(tables.filter(QStringLiteral("()")).isEmpty());
    QCOMPARE(tablesOf(embedded), tables);
    const QString index = QStringLiteral("create\\s+(unique\\s+)?index");
    QVERIFY(!statementsOf(server, index).isEmpty());
    QCOMPARE(statementsOf(embedded, index), statementsOf(server, index));
    const QString insert = QStringLiteral("insert\\s+into");
    QCOMPARE(statementsOf(embedded, insert), statementsOf(server, insert));

    // The database made from the script has those tables and columns, in
    // that order (the registers' models address columns by position).
    QStringList made;
    {
        QSqlDatabase file = Engine::addConnection(QStringLiteral("schema_file"));
        file.setDatabaseName(Engine::databaseNameFor(database));
        QVERIFY(file.open());
        for (const QString &table : tables) {
            const QString name = table.section(QLatin1Char('('), 0, 0);
            const QSqlRecord record = file.record(name);
            QStringList columns;
            for (int i = 0; i < record.count(); ++i) {
                columns << record.fieldName(i).toLower();
            }
            made << QStringLiteral("%1(%2)").arg(name, columns.join(QLatin1Char(',')));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("schema_file"));
    QCOMPARE(made, tables);
}

// The permission editor and the account kind lists read without an order:
// a new company must give the seed rows back in the order the script has them.
void tst_schema::newCompanyHoldsTheSeedRowsInOrder()
{
    QStringList stored;
    for (const QString &table : {QStringLiteral("power"), QStringLiteral("inout_category")}) {
        for (const QStringList &row : m_db->rows(QStringLiteral("select name from %1").arg(table))) {
            stored << normalized(QStringLiteral("insert into %1 (name) values ('%2')").arg(table, row.value(0)));
        }
    }
    const QString script = Setup::scriptText(QStringLiteral("schema_mssql.sql"));
    QCOMPARE(stored, statementsOf(script, QStringLiteral("insert\\s+into")));
}

void tst_schema::serverScriptIsSentInBatches()
{
    const QStringList batches = Setup::scriptStatements(QStringLiteral("schema_mssql.sql"));
    QVERIFY(batches.size() > tablesOf(Setup::scriptText(QStringLiteral("schema_mssql.sql"))).size());
    static const QRegularExpression goLine(QStringLiteral("^\\s*go\\s*$"), QRegularExpression::CaseInsensitiveOption
                                                                             | QRegularExpression::MultilineOption);
    static const QRegularExpression createTable(QStringLiteral("create\\s+table"),
                                                QRegularExpression::CaseInsensitiveOption);
    for (const QString &batch : batches) {
        QVERIFY2(!goLine.match(batch).hasMatch(), qPrintable(batch));
        // SQL Server wants a create statement alone in its batch.
        QVERIFY2(withoutComments(batch).count(createTable) <= 1, qPrintable(batch));
    }
}

void tst_schema::insertsGetKeysAndDefaults_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("codeKeyed"); // a second insert of the same business code is refused
    QTest::addColumn<QString>("left");   // columns the insert leaves to their defaults
    QTest::addColumn<QStringList>("defaults");

    QTest::newRow("purchase order line") << "purchar" << purchar("10.00", "5.00") << false << "" << QStringList{};
    QTest::newRow("receivable from a billing period or an import") << "receivable"
        << "insert into receivable (date_begin,date_end,company,money,inout_category,operator) "
           "values ('2024-01-01','2024-01-31','1-华联超市','1200.50','货款','test001')"
        << false << "date_commision,discount,invoice_id,info_id,interest,checker"
        << QStringList{"2001-01-01", "0", "0", "0", "0", ""};
    QTest::newRow("payable from a discount") << "payment"
        << "insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) "
           "values ('2024-01-01','2024-01-31','4-乐享食品','150','5-四季火锅城','公司往来','test001')"
        << false << "invoice_id,info_id,interest,checker" << QStringList{"0", "0", "0", ""};
    QTest::newRow("invoice entered, not audited") << "invoice"
        << "insert into invoice (date,invoice_no,money,company,jin_xiao,input) "
           "values ('2024-01-05','00000001','100.00','1-华联超市','销项','test001')"
        << false << "checker" << QStringList{""};
    QTest::newRow("customer from the customer form") << "customer"
        << "insert into customer (customer_id,customer_name,short_name,area) values (9,'华联超市','华联','A');"
        << true << "category,salesman,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate"
        << QStringList{"", "", "", "", "0", "0", "0", "30", "", "1"};
    QTest::newRow("supplier from the supplier form") << "supplier"
        << "insert into supplier (supplier_id,supplier_name,short_name,category) values (9,'康源饮品','康源','饮料');"
        << true << "cycle,accoutant,cooperate" << QStringList{"30", "", "1"};
}

// Every table numbers its rows itself, as an identity column does on the server.
void tst_schema::insertsGetKeysAndDefaults()
{
    QFETCH(QString, table);
    QFETCH(QString, insert);
    QFETCH(bool, codeKeyed);
    QFETCH(QString, left);
    QFETCH(QStringList, defaults);

    const QString lastId = m_db->scalar(QStringLiteral("select isnull(max(id),0) from %1").arg(table));
    QVERIFY2(m_db->exec(insert), qPrintable(m_db->lastError()));
    if (!left.isEmpty()) {
        QCOMPARE(m_db->rows(QStringLiteral("select %1 from %2 where id>%3").arg(left, table, lastId)),
                 QList<QStringList>{defaults});
    }
    QCOMPARE(m_db->exec(insert), !codeKeyed);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(distinct id) from %1 where id>%2").arg(table, lastId)),
             codeKeyed ? QStringLiteral("1") : QStringLiteral("2"));
}

void tst_schema::readsAsOnTheServer_data()
{
    QTest::addColumn<QString>("statements");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("read"); // without a select: whether the statements are "stored" or "refused"
    const QString line = QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
        "values ('cgd20240305-12-1','%1',12,%2,'%3','%4','','test001')");
    const QString bound = QStringLiteral("insert into receivable (date_begin,date_end,company,money,%1) "
                                         "values ('2024-01-01','2024-01-31','1-华联超市','100','%2')");
    const QString employee = QStringLiteral("insert into employee (employee_id,employee_name) values ('001','%1')");
    QTest::newRow("a well-formed line is stored") << line.arg("2024-03-05", "1001", "10.00", "5.00") << "" << "stored";
    QTest::newRow("29 February of a leap year") << line.arg("2024-02-29", "1001", "10.00", "5.00") << "" << "stored";
    QTest::newRow("text as quantity") << line.arg("2024-03-05", "1001", "abc", "5.00") << "" << "refused";
    QTest::newRow("text as price") << line.arg("2024-03-05", "1001", "10.00", "abc") << "" << "refused";
    QTest::newRow("text as goods code") << line.arg("2024-03-05", "'abc'", "10.00", "5.00") << "" << "refused";
    QTest::newRow("30 February") << line.arg("2024-02-30", "1001", "10.00", "5.00") << "" << "refused";
    QTest::newRow("text as invoice amount")
        << "insert into invoice (date,invoice_no,money,company,jin_xiao,input) "
           "values ('2024-01-05','1','abc','1-华联超市','销项','test001')" << "" << "refused";
    QTest::newRow("text as receivable discount") << bound.arg("discount", "abc") << "" << "refused";
    QTest::newRow("text as bound invoice id") << bound.arg("invoice_id", "abc") << "" << "refused";
    QTest::newRow("bound invoice id given as digits") << bound.arg("invoice_id", "12") << "" << "stored";
    QTest::newRow("text as commission rate")
        << "insert into customer (customer_id,customer_name,commision1) values (9,'华联超市','abc')" << "" << "refused";
    QTest::newRow("text as cash income")
        << "insert into info (date,company,income) values ('2024-01-05','1-华联超市','abc')" << "" << "refused";
    QTest::newRow("text as stock correction")
        << "insert into inventory (date,food_id,quantity) values ('2024-01-05',1001,'abc')" << "" << "refused";
    QTest::newRow("name wider than the server column") << employee.arg(QString(51, QChar(0x5F20))) << "" << "refused";
    QTest::newRow("name as wide as the server column") << employee.arg(QString(50, QChar(0x5F20))) << "" << "stored";
    QTest::newRow("a user name taken in other letter case")
        << "insert into login (name,password) values ('Manager','123')" << "" << "refused";


    const QString average = QStringLiteral(
        "select sum(quantity*price)/sum(quantity) from purchar where date='2024-03-05' and food_id=1001");
    QTest::newRow("average of 10 at 5.00 and 30 at 7.00")
        << purchar("10.00", "5.00") + purchar("30.00", "7.00", QString(), "cgd20240305-12-2") << average << "6.5";
    QTest::newRow("average of whole prices keeps its fraction")
        << purchar("2.00", "3.00") + purchar("1.00", "4.00", QString(), "cgd20240305-12-2") << average
        << "3.33333333333";
    QTest::newRow("half a cent rounds away from zero")
        << purchar("10.00", "2.675") << "select price from purchar" << "2.68";
    QTest::newRow("negative half a cent rounds away from zero")
        << purchar("-2.675", "1.00") << "select quantity from purchar" << "-2.68";
    QTest::newRow("a corrected price is rounded as well")
        << purchar("10.00", "5.00") + "update purchar set quantity='10.00',price='1.234',remarks='' where id=1;"
        << "select price from purchar" << "1.23";
    QTest::newRow("commission rates keep three places")
        << "insert into customer (customer_id,customer_name,commision1) values (9,'华联超市','2.0005')"
        << "select commision1 from customer" << "2.001";
    QTest::newRow("an imported amount")
        << "insert into receivable (date_begin,date_end,company,money,inout_category,operator) "
           "values ('2024-01-01','2024-01-31','1-华联超市','100.005','货款','test001')"
        << "select money from receivable" << "100.01";
    QTest::newRow("sums of rounded amounts")
        << purchar("1.00", "0.105") + purchar("1.00", "0.105") + purchar("1.00", "0.105")
        << "select sum(quantity*price) from purchar" << "0.33";

    QTest::newRow("a user name in capitals finds the user")
        << QString() << "select count(*) from login where name='MANAGER'" << "1";
    QTest::newRow("areas that differ in letter case group together")
        << "insert into customer (customer_id,customer_name,short_name,area) values (1,'甲','甲','a');"
           "insert into customer (customer_id,customer_name,short_name,area) values (2,'乙','乙','A');"
        << "select count(*) from (select area from customer group by area) t" << "1";
    QTest::newRow("letter case of an order number does not count")
        << purchar("1.00", "1.00") << "select count(*) from purchar where purchar_no='CGD20240305-12-1'" << "1";

    // Texts come back as typed, and a search for them finds them.
    QString thousand;
    while (thousand.size() < 1000) {
        thousand += QStringLiteral("第%1箱完好;").arg(thousand.size());
    }
    for (const QString &text : {QStringLiteral("O'Brien 的'加急'单"), QStringLiteral("先送一半;余下周五; drop table purchar;"),
                                QStringLiteral("满100%减5% %1 %%"), QStringLiteral("备注 -- 不是注释"),
                                QStringLiteral("C:\\单据\\2024\\"), thousand.left(1000)}) {
        const QString quoted = SqlText::quoted(text);
        QTest::newRow(qPrintable("text: " + text.left(20)))
            << purchar("1.00", "1.00", quoted) << QStringLiteral("select remarks from purchar where remarks='%1'").arg(quoted)
            << text;
    }
}

void tst_schema::readsAsOnTheServer()
{
    QFETCH(QString, statements);
    QFETCH(QString, select);
    QFETCH(QString, read);
    if (select.isEmpty()) {
        QCOMPARE(m_db->exec(statements), read == QLatin1String("stored"));
        return;
    }
    QVERIFY2(statements.isEmpty() || m_db->exec(statements), qPrintable(m_db->lastError()));
    bool number = false;
    const QString value = m_db->scalar(select);
    const double figure = value.toDouble(&number);
    QCOMPARE(number ? QString::number(figure, 'g', 12) : value, read);
}

QTEST_MAIN(tst_schema)
#include "tst_schema.moc"
