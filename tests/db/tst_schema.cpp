#include "db/engine.h"
#include "db/setup.h"
#include "db/sqltext.h"
#include "support/testdb.h"

#include <QRegularExpression>
#include <QScopedPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

// What a script defines, read from its text: enough SQL parsing to compare
// the SQL Server script with its SQLite twin.
struct TableDef
{
    QString name;
    QStringList columns;
};

QString normalizedName(QString name)
{
    name.remove(QLatin1Char('['));
    name.remove(QLatin1Char(']'));
    name.remove(QLatin1Char('"'));
    return name.trimmed().toLower();
}

QString withoutComments(const QString &script)
{
    QStringList kept;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        bool inQuote = false;
        int cut = line.size();
        for (int i = 0; i < line.size(); ++i) {
            if (line.at(i) == QLatin1Char('\'')) {
                inQuote = !inQuote;
            } else if (!inQuote && line.midRef(i, 2) == QLatin1String("--")) {
                cut = i;
                break;
            }
        }
        kept << line.left(cut);
    }
    return kept.join(QLatin1Char('\n'));
}

// Splits at commas that are neither inside parentheses nor inside quotes.
QStringList splitTopLevel(const QString &text)
{
    QStringList parts;
    int depth = 0;
    bool inQuote = false;
    QString current;
    for (const QChar c : text) {
        if (c == QLatin1Char('\'')) {
            inQuote = !inQuote;
        } else if (!inQuote && c == QLatin1Char('(')) {
            ++depth;
        } else if (!inQuote && c == QLatin1Char(')')) {
            --depth;
        } else if (!inQuote && depth == 0 && c == QLatin1Char(',')) {
            parts << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty()) {
        parts << current.trimmed();
    }
    return parts;
}

// The text between the parenthesis at open and its partner.
QString parenthesized(const QString &text, int open)
{
    int depth = 0;
    bool inQuote = false;
    for (int i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'')) {
            inQuote = !inQuote;
        } else if (!inQuote && c == QLatin1Char('(')) {
            ++depth;
        } else if (!inQuote && c == QLatin1Char(')') && --depth == 0) {
            return text.mid(open + 1, i - open - 1);
        }
    }
    return QString();
}

QList<TableDef> tablesOf(const QString &script)
{
    static const QStringList tableConstraints = {
        QStringLiteral("primary"), QStringLiteral("unique"), QStringLiteral("check"),
        QStringLiteral("constraint"), QStringLiteral("foreign")};
    static const QRegularExpression createTable(QStringLiteral("create\\s+table\\s+([\\[\\]\"\\w]+)\\s*\\("),
                                                QRegularExpression::CaseInsensitiveOption);
    const QString code = withoutComments(script);
    QList<TableDef> tables;
    auto it = createTable.globalMatch(code);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        TableDef table;
        table.name = normalizedName(m.captured(1));
        const QStringList parts = splitTopLevel(parenthesized(code, m.capturedEnd(0) - 1));
        for (const QString &part : parts) {
            const QString first = normalizedName(part.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0));
            if (!tableConstraints.contains(first)) {
                table.columns << first;
            }
        }
        tables << table;
    }
    return tables;
}

QStringList indexesOf(const QString &script)
{
    static const QRegularExpression createIndex(
        QStringLiteral("create\\s+(unique\\s+)?index\\s+(\\w+)\\s+on\\s+([\\[\\]\\w]+)\\s*\\(([^)]*)\\)"
                       "(?:\\s*include\\s*\\(([^)]*)\\))?"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList indexes;
    auto it = createIndex.globalMatch(withoutComments(script));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QStringList columns;
        // The server keeps the columns a report only reads in the index's
        // leaf level ("include"); SQLite has no such clause and lists them as
        // trailing key columns. Both cover the same columns in the same order.
        QString keyColumns = m.captured(4);
        if (!m.captured(5).isEmpty()) {
            keyColumns += QLatin1Char(',') + m.captured(5);
        }
        for (const QString &column : keyColumns.split(QLatin1Char(','))) {
            columns << normalizedName(column);
        }
        indexes << QStringLiteral("%1%2 on %3(%4)")
                       .arg(m.captured(1).isEmpty() ? QString() : QStringLiteral("unique "),
                            m.captured(2).toLower(), normalizedName(m.captured(3)),
                            columns.join(QLatin1Char(',')));
    }
    return indexes;
}

// Seed rows as "table(column=value,...)", the values without quotes or the
// N prefix of SQL Server's Unicode literals.
QStringList seedRowsOf(const QString &script)
{
    static const QRegularExpression insert(
        QStringLiteral("insert\\s+into\\s+([\\[\\]\\w]+)\\s*\\(([^)]*)\\)\\s*values\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    const QString code = withoutComments(script);
    QStringList rows;
    auto it = insert.globalMatch(code);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QStringList columns = m.captured(2).split(QLatin1Char(','));
        const QStringList values = splitTopLevel(parenthesized(code, m.capturedEnd(0) - 1));
        QStringList pairs;
        for (int i = 0; i < columns.size(); ++i) {
            QString value = values.value(i).trimmed();
            if (value.startsWith(QLatin1String("N'"), Qt::CaseInsensitive)) {
                value.remove(0, 1);
            }
            if (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))) {
                value = value.mid(1, value.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
            }
            pairs << normalizedName(columns.at(i)) + QLatin1Char('=') + value;
        }
        rows << QStringLiteral("%1(%2)").arg(normalizedName(m.captured(1)), pairs.join(QLatin1Char(',')));
    }
    return rows;
}

QStringList seededNames(const QString &script, const QString &table)
{
    QStringList names;
    const QString prefix = table + QStringLiteral("(name=");
    for (const QString &row : seedRowsOf(script)) {
        if (row.startsWith(prefix)) {
            names << row.mid(prefix.size(), row.size() - prefix.size() - 1);
        }
    }
    return names;
}

const QStringList &twelveRights()
{
    static const QStringList rights = {
        QStringLiteral("权限编辑"), QStringLiteral("资产类别编辑"), QStringLiteral("员工编辑"),
        QStringLiteral("供应商类别编辑"), QStringLiteral("客户类别编辑"), QStringLiteral("发票审核"),
        QStringLiteral("发票录入"), QStringLiteral("应付审核"), QStringLiteral("应付录入"),
        QStringLiteral("应收审核"), QStringLiteral("应收录入"), QStringLiteral("应收导入")};
    return rights;
}

const QString kPurcharInsert = QStringLiteral(
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
    "values ('%1','%2',%3,%4,'%5','%6','%7','%8');");

} // namespace

class tst_schema : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void scriptsDefineTheSameTables_data();
    void scriptsDefineTheSameTables();
    void scriptsDefineTheSameIndexes_data();
    void scriptsDefineTheSameIndexes();
    void scriptsSeedTheSameRows();
    void seedRowsAreTheRightsAndAccountKinds();
    void serverScriptIsSentInBatches();

    void embeddedDatabaseHasEveryScriptTable();
    void registersSeeTheirColumnsInOrder_data();
    void registersSeeTheirColumnsInOrder();
    void insertWithoutIdGetsNewKey_data();
    void insertWithoutIdGetsNewKey();
    void duplicateBusinessCodeIsRefused_data();
    void duplicateBusinessCodeIsRefused();
    void partialInsertTakesDefaults_data();
    void partialInsertTakesDefaults();
    void averagePriceKeepsDecimals_data();
    void averagePriceKeepsDecimals();
    void valuesTheServerRefusesAreRefused_data();
    void valuesTheServerRefusesAreRefused();
    void decimalsAreStoredToTheirPlaces_data();
    void decimalsAreStoredToTheirPlaces();
    void textComparesWithoutLetterCase_data();
    void textComparesWithoutLetterCase();
    void textRoundTripsExactly_data();
    void textRoundTripsExactly();

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

void tst_schema::scriptsDefineTheSameTables_data()
{
    QTest::addColumn<QString>("serverScript");
    QTest::addColumn<QString>("embeddedScript");
    QTest::newRow("company database") << "schema_mssql.sql" << "schema_sqlite.sql";
    QTest::newRow("directory database") << "directory_mssql.sql" << "directory_sqlite.sql";
}

void tst_schema::scriptsDefineTheSameTables()
{
    QFETCH(QString, serverScript);
    QFETCH(QString, embeddedScript);
    const QList<TableDef> server = tablesOf(Setup::scriptText(serverScript));
    const QList<TableDef> embedded = tablesOf(Setup::scriptText(embeddedScript));
    QVERIFY(!server.isEmpty());

    QStringList serverNames, embeddedNames;
    for (const TableDef &t : server) {
        serverNames << t.name;
    }
    for (const TableDef &t : embedded) {
        embeddedNames << t.name;
    }
    QCOMPARE(embeddedNames, serverNames);
    for (int i = 0; i < server.size(); ++i) {
        QVERIFY2(!server.at(i).columns.isEmpty(), qPrintable(server.at(i).name));
        QCOMPARE(embedded.at(i).columns.join(QLatin1Char(',')),
                 server.at(i).columns.join(QLatin1Char(',')));
    }
}

void tst_schema::scriptsDefineTheSameIndexes_data()
{
    scriptsDefineTheSameTables_data();
}

void tst_schema::scriptsDefineTheSameIndexes()
{
    QFETCH(QString, serverScript);
    QFETCH(QString, embeddedScript);
    const QStringList server = indexesOf(Setup::scriptText(serverScript));
    QVERIFY(!server.isEmpty());
    QCOMPARE(indexesOf(Setup::scriptText(embeddedScript)), server);
}

void tst_schema::scriptsSeedTheSameRows()
{
    const QStringList server = seedRowsOf(Setup::scriptText(QStringLiteral("schema_mssql.sql")));
    QVERIFY(!server.isEmpty());
    QCOMPARE(seedRowsOf(Setup::scriptText(QStringLiteral("schema_sqlite.sql"))), server);
}

void tst_schema::seedRowsAreTheRightsAndAccountKinds()
{
    const QString script = Setup::scriptText(QStringLiteral("schema_sqlite.sql"));
    QCOMPARE(seededNames(script, QStringLiteral("power")), twelveRights());
    const QStringList kinds = {QStringLiteral("货款"), QStringLiteral("投标保证金"),
                               QStringLiteral("履约保证金"), QStringLiteral("公司往来")};
    QCOMPARE(seededNames(script, QStringLiteral("inout_category")), kinds);

    // And that is what a new company holds, in that order.
    QStringList stored;
    for (const QStringList &row : m_db->rows(QStringLiteral("select name from inout_category order by id"))) {
        stored << row.value(0);
    }
    QCOMPARE(stored, kinds);
    stored.clear();
    for (const QStringList &row : m_db->rows(QStringLiteral("select name from power"))) {
        stored << row.value(0);
    }
    QCOMPARE(stored, twelveRights());
}

void tst_schema::serverScriptIsSentInBatches()
{
    const QStringList batches = Setup::scriptStatements(QStringLiteral("schema_mssql.sql"));
    const QList<TableDef> tables = tablesOf(Setup::scriptText(QStringLiteral("schema_mssql.sql")));
    QVERIFY(batches.size() > tables.size());
    static const QRegularExpression goLine(QStringLiteral("^\\s*go\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption
                                               | QRegularExpression::MultilineOption);
    static const QRegularExpression createTable(QStringLiteral("create\\s+table"),
                                                QRegularExpression::CaseInsensitiveOption);
    for (const QString &batch : batches) {
        QVERIFY2(!goLine.match(batch).hasMatch(), qPrintable(batch));
        // SQL Server wants a create statement alone in its batch.
        QVERIFY2(withoutComments(batch).count(createTable) <= 1, qPrintable(batch));
    }
}

void tst_schema::embeddedDatabaseHasEveryScriptTable()
{
    // Read with plain SQLite, so that what is checked is the file itself.
    QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("schema_file"));
    file.setDatabaseName(Engine::embeddedFile(QStringLiteral("testdb")));
    QVERIFY(file.open());
    const QList<TableDef> tables = tablesOf(Setup::scriptText(QStringLiteral("schema_sqlite.sql")));
    for (const TableDef &table : tables) {
        QStringList columns;
        const QSqlRecord record = file.record(table.name);
        for (int i = 0; i < record.count(); ++i) {
            columns << record.fieldName(i).toLower();
        }
        QCOMPARE(columns, table.columns);
    }
    file.close();
}

void tst_schema::registersSeeTheirColumnsInOrder_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("invoice register") << "invoice"
        << QStringList{"date", "invoice_no", "money", "company", "jin_xiao", "input", "checker", "id"};
    QTest::newRow("receivables") << "receivable"
        << QStringList{"date_begin", "date_end", "company", "money", "discount", "invoice_id", "info_id",
                       "interest", "remarks", "date_commision", "inout_category", "operator", "checker", "id"};
    QTest::newRow("payables") << "payment"
        << QStringList{"date_begin", "date_end", "company", "money", "invoice_id", "info_id", "interest",
                       "remarks", "inout_category", "operator", "checker", "id"};
}

// The registers' table models address these columns by position, through
// the embedded driver.
void tst_schema::registersSeeTheirColumnsInOrder()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    const QSqlRecord record = m_db->db().record(table);
    QStringList seen;
    for (int i = 0; i < record.count(); ++i) {
        seen << record.fieldName(i).toLower();
    }
    QCOMPARE(seen, columns);
}

void tst_schema::insertWithoutIdGetsNewKey_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("insert");
    QTest::newRow("purchase order line") << "purchar"
        << kPurcharInsert.arg("cgd20240305-12-1", "2024-03-05", "12", "1001", "10.00", "5.00", "", "test001");
    QTest::newRow("delivery note line") << "sell"
        << "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) "
           "values ('shd20240601-7-1','2024-06-01',7,1001,'2.00','9.00','','test001');";
    QTest::newRow("stock correction") << "inventory"
        << "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-10',1001,'-1','','test001');";
    QTest::newRow("operation log") << "operator"
        << "insert into operator (ip,date,user_name,operator) values ('192.168.1.20','2024-03-10 08:00:00','test001','采购单')";
    QTest::newRow("cash category") << "category" << "insert into category (name) values ('现金')";
    QTest::newRow("supplier category") << "category_supplier" << "insert into category_supplier (name) values ('饮料')";
    QTest::newRow("customer category") << "category_customer" << "insert into category_customer (name) values ('超市')";
    QTest::newRow("employee") << "employee"
        << "insert into employee (employee_id,employee_name) values ('001','张伟')";
    QTest::newRow("receivable") << "receivable"
        << "insert into receivable (date_begin,date_end,company,money,inout_category,operator) "
           "values ('2024-01-01','2024-01-31','1-华联超市','100','货款','test001')";
    QTest::newRow("payable") << "payment"
        << "insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) "
           "values ('2024-01-01','2024-01-31','1-康源饮品','100','','货款','test001')";
    QTest::newRow("invoice") << "invoice"
        << "insert into invoice (date,invoice_no,money,company,jin_xiao,input) "
           "values ('2024-01-05','00000001','100.00','1-华联超市','销项','test001')";
    QTest::newRow("cash entry") << "info"
        << "insert into info (date,company,summary,income,pay,category) "
           "values ('2024-01-05','1-华联超市','货款','100.00','0','销售回款')";
}

void tst_schema::insertWithoutIdGetsNewKey()
{
    QFETCH(QString, table);
    QFETCH(QString, insert);
    const int before = m_db->scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
    const int maxBefore = m_db->scalar(QStringLiteral("select max(id) from %1").arg(table)).toInt();
    QVERIFY2(m_db->exec(insert), qPrintable(m_db->lastError()));
    QVERIFY2(m_db->exec(insert), qPrintable(m_db->lastError()));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt(), before + 2);
    const QList<QStringList> ids =
        m_db->rows(QStringLiteral("select id from %1 where id>%2 order by id").arg(table).arg(maxBefore));
    QCOMPARE(ids.size(), 2);
    QVERIFY(ids.at(0).value(0).toInt() > maxBefore);
    QVERIFY(ids.at(1).value(0).toInt() > ids.at(0).value(0).toInt());
}

void tst_schema::duplicateBusinessCodeIsRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("insert");
    QTest::newRow("customer code") << "customer"
        << "insert into customer (customer_id,customer_name,short_name,area) values (9,'华联超市','华联','A');";
    QTest::newRow("supplier code") << "supplier"
        << "insert into supplier (supplier_id,supplier_name,short_name,category) values (9,'康源饮品','康源','饮料');";
    QTest::newRow("goods code") << "food_info"
        << "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) "
           "values (1001,'矿泉水','箱','30.00','24.00','饮料')";
}

void tst_schema::duplicateBusinessCodeIsRefused()
{
    QFETCH(QString, table);
    QFETCH(QString, insert);
    QVERIFY2(m_db->exec(insert), qPrintable(m_db->lastError()));
    QVERIFY(!m_db->scalar(QStringLiteral("select id from %1").arg(table)).isEmpty());
    QVERIFY(!m_db->exec(insert));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt(), 1);
}

void tst_schema::partialInsertTakesDefaults_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("receivable from a billing period or an import")
        << QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) "
                          "values ('%1','%2','%3','%4','%5','%6')")
               .arg("2024-01-01", "2024-01-31", "1-华联超市", "1200.50", "货款", "test001")
        << "select date_commision,discount,invoice_id,info_id,interest,checker from receivable"
        << QStringList{"2001-01-01", "0", "0", "0", "0", ""};
    QTest::newRow("payable from a discount")
        << QStringLiteral("insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) "
                          "values ('%1','%2','%3','%4','%5','%6','%7')")
               .arg("2024-01-01", "2024-01-31", "4-乐享食品", "150", "5-四季火锅城", "公司往来", "test001")
        << "select invoice_id,info_id,interest,checker from payment"
        << QStringList{"0", "0", "0", ""};
    QTest::newRow("invoice entered, not audited")
        << "insert into invoice (date,invoice_no,money,company,jin_xiao,input) "
           "values ('2024-01-05','00000001','100.00','1-华联超市','销项','test001')"
        << "select checker from invoice" << QStringList{""};
    QTest::newRow("customer from the customer form")
        << "insert into customer (customer_id,customer_name,short_name,area) values (9,'华联超市','华联','A');"
        << "select category,salesman,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate from customer"
        << QStringList{"", "", "", "", "0", "0", "0", "30", "", "1"};
    QTest::newRow("supplier from the supplier form")
        << "insert into supplier (supplier_id,supplier_name,short_name,category) values (9,'康源饮品','康源','饮料');"
        << "select cycle,accoutant,cooperate from supplier" << QStringList{"30", "", "1"};
}

void tst_schema::partialInsertTakesDefaults()
{
    QFETCH(QString, insert);
    QFETCH(QString, select);
    QFETCH(QStringList, expected);
    QVERIFY2(m_db->exec(insert), qPrintable(m_db->lastError()));
    const QList<QStringList> rows = m_db->rows(select);
    QCOMPARE(rows.size(), 1);
    QStringList actual = rows.first();
    // Numbers compare as numbers: 0 may come back as "0" or "0.0".
    for (int i = 0; i < actual.size(); ++i) {
        bool isNumber = false;
        const double value = actual.at(i).toDouble(&isNumber);
        if (isNumber && !expected.value(i).isEmpty()) {
            actual[i] = QString::number(value);
        }
    }
    QCOMPARE(actual, expected);
}

void tst_schema::averagePriceKeepsDecimals_data()
{
    QTest::addColumn<QStringList>("quantities");
    QTest::addColumn<QStringList>("prices");
    QTest::addColumn<QString>("average");
    QTest::newRow("10 at 5.00 and 30 at 7.00")
        << QStringList{"10.00", "30.00"} << QStringList{"5.00", "7.00"} << "6.50";
    QTest::newRow("whole prices, fractional average")
        << QStringList{"2.00", "1.00"} << QStringList{"3.00", "4.00"} << "3.33";
    QTest::newRow("3 at 2.50 and 4 at 1.25")
        << QStringList{"3.00", "4.00"} << QStringList{"2.50", "1.25"} << "1.79";
    QTest::newRow("one line") << QStringList{"7.00"} << QStringList{"0.35"} << "0.35";
}

void tst_schema::averagePriceKeepsDecimals()
{
    QFETCH(QStringList, quantities);
    QFETCH(QStringList, prices);
    QFETCH(QString, average);
    for (int i = 0; i < quantities.size(); ++i) {
        QVERIFY2(m_db->exec(kPurcharInsert.arg(QStringLiteral("cgd20240305-12-%1").arg(i + 1),
                                               "2024-03-05", "12", "1001", quantities.at(i), prices.at(i),
                                               "", "test001")),
                 qPrintable(m_db->lastError()));
    }
    const QString value = m_db->scalar(QStringLiteral(
        "select sum(quantity*price)/sum(quantity) from purchar where date='2024-03-05' and food_id=1001"));
    QCOMPARE(QString::number(value.toDouble(), 'f', 2), average);
}

void tst_schema::valuesTheServerRefusesAreRefused_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("accepted");

    const QString line = QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
        "values ('cgd20240305-12-1','%1',%2,%3,'%4','%5','','test001')");
    QTest::newRow("a well-formed line is stored") << line.arg("2024-03-05", "12", "1001", "10.00", "5.00") << true;
    QTest::newRow("negative quantity is stored") << line.arg("2024-03-05", "12", "1001", "-3.00", "5.00") << true;
    QTest::newRow("text as quantity") << line.arg("2024-03-05", "12", "1001", "abc", "5.00") << false;
    QTest::newRow("text as price") << line.arg("2024-03-05", "12", "1001", "10.00", "abc") << false;
    QTest::newRow("text as goods code") << line.arg("2024-03-05", "12", "'abc'", "10.00", "5.00") << false;
    QTest::newRow("month 13") << line.arg("2024-13-05", "12", "1001", "10.00", "5.00") << false;
    QTest::newRow("30 February") << line.arg("2024-02-30", "12", "1001", "10.00", "5.00") << false;
    QTest::newRow("date that is no date") << line.arg("abc", "12", "1001", "10.00", "5.00") << false;
    QTest::newRow("29 February of a leap year") << line.arg("2024-02-29", "12", "1001", "10.00", "5.00") << true;

    QTest::newRow("text as invoice amount")
        << "insert into invoice (date,invoice_no,money,company,jin_xiao,input) "
           "values ('2024-01-05','1','abc','1-华联超市','销项','test001')" << false;
    QTest::newRow("text as receivable discount")
        << "insert into receivable (date_begin,date_end,company,money,discount) "
           "values ('2024-01-01','2024-01-31','1-华联超市','100','abc')" << false;
    QTest::newRow("text as bound invoice id")
        << "insert into receivable (date_begin,date_end,company,money,invoice_id) "
           "values ('2024-01-01','2024-01-31','1-华联超市','100','abc')" << false;
    QTest::newRow("bound invoice id given as digits")
        << "insert into receivable (date_begin,date_end,company,money,invoice_id) "
           "values ('2024-01-01','2024-01-31','1-华联超市','100','12')" << true;
    QTest::newRow("text as commission rate")
        << "insert into customer (customer_id,customer_name,commision1) values (9,'华联超市','abc')" << false;
    QTest::newRow("text as cash income")
        << "insert into info (date,company,income) values ('2024-01-05','1-华联超市','abc')" << false;
    QTest::newRow("text as stock correction")
        << "insert into inventory (date,food_id,quantity) values ('2024-01-05',1001,'abc')" << false;
    QTest::newRow("name wider than the server column")
        << QStringLiteral("insert into employee (employee_id,employee_name) values ('001','%1')")
               .arg(QString(51, QChar(0x5F20)))
        << false;
    QTest::newRow("name as wide as the server column")
        << QStringLiteral("insert into employee (employee_id,employee_name) values ('001','%1')")
               .arg(QString(50, QChar(0x5F20)))
        << true;
}

void tst_schema::valuesTheServerRefusesAreRefused()
{
    QFETCH(QString, insert);
    QFETCH(bool, accepted);
    QCOMPARE(m_db->exec(insert), accepted);
}

void tst_schema::decimalsAreStoredToTheirPlaces_data()
{
    QTest::addColumn<QString>("statements");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("stored");

    const QString line = kPurcharInsert.arg("cgd20240305-12-1", "2024-03-05", "12", "1001", "%1", "%2", "", "test001");
    QTest::newRow("price with three decimals is stored to the cent")
        << line.arg("10.00", "3.456") << "select price from purchar" << "3.46";
    QTest::newRow("half a cent rounds away from zero")
        << line.arg("10.00", "2.675") << "select price from purchar" << "2.68";
    QTest::newRow("negative half a cent rounds away from zero")
        << line.arg("-2.675", "1.00") << "select quantity from purchar" << "-2.68";
    QTest::newRow("a corrected price is rounded as well")
        << line.arg("10.00", "5.00") + "update purchar set quantity='10.00',price='1.234',remarks='' where id=1;"
        << "select price from purchar" << "1.23";
    QTest::newRow("commission rates keep three places")
        << "insert into customer (customer_id,customer_name,commision1) values (9,'华联超市','2.0005')"
        << "select commision1 from customer" << "2.001";
    QTest::newRow("an imported amount")
        << "insert into receivable (date_begin,date_end,company,money,inout_category,operator) "
           "values ('2024-01-01','2024-01-31','1-华联超市','100.005','货款','test001')"
        << "select money from receivable" << "100.01";
    QTest::newRow("sums of rounded amounts")
        << line.arg("1.00", "0.105") + line.arg("1.00", "0.105") + line.arg("1.00", "0.105")
        << "select sum(quantity*price) from purchar" << "0.33";
}

void tst_schema::decimalsAreStoredToTheirPlaces()
{
    QFETCH(QString, statements);
    QFETCH(QString, select);
    QFETCH(QString, stored);
    QVERIFY2(m_db->exec(statements), qPrintable(m_db->lastError()));
    QCOMPARE(QString::number(m_db->scalar(select).toDouble(), 'g', 12), stored);
}

void tst_schema::textComparesWithoutLetterCase_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("result");

    QTest::newRow("a user name in capitals finds the user")
        << QString() << true << "select count(*) from login where name='MANAGER'" << "1";
    QTest::newRow("a user name taken in other letter case is refused")
        << "insert into login (name,password) values ('Manager','123')" << false
        << "select count(*) from login" << "2";
    QTest::newRow("areas that differ in letter case group together")
        << "insert into customer (customer_id,customer_name,short_name,area) values (1,'甲','甲','a');"
           "insert into customer (customer_id,customer_name,short_name,area) values (2,'乙','乙','A');"
        << true << "select count(*) from (select area from customer group by area) t" << "1";
    QTest::newRow("letter case of an order number does not count")
        << kPurcharInsert.arg("cgd20240305-12-1", "2024-03-05", "12", "1001", "1.00", "1.00", "", "test001")
        << true << "select count(*) from purchar where purchar_no='CGD20240305-12-1'" << "1";
}

void tst_schema::textComparesWithoutLetterCase()
{
    QFETCH(QString, statement);
    QFETCH(bool, accepted);
    QFETCH(QString, select);
    QFETCH(QString, result);
    if (!statement.isEmpty()) {
        QCOMPARE(m_db->exec(statement), accepted);
    }
    QCOMPARE(m_db->scalar(select), result);
}

void tst_schema::textRoundTripsExactly_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("single quotes") << QStringLiteral("O'Brien 的'加急'单");
    QTest::newRow("semicolons") << QStringLiteral("先送一半;余下周五; drop table purchar;");
    QTest::newRow("percent signs") << QStringLiteral("满100%减5% %1 %%");
    QTest::newRow("double dash") << QStringLiteral("备注 -- 不是注释");
    QTest::newRow("Chinese") << QStringLiteral("鲜源乳业有限公司（华东区）");
    QTest::newRow("backslashes") << QStringLiteral("C:\\单据\\2024\\");
    QString thousand;
    while (thousand.size() < 1000) {
        thousand += QStringLiteral("第%1箱完好;").arg(thousand.size());
    }
    QTest::newRow("1000 characters") << thousand.left(1000);
}

void tst_schema::textRoundTripsExactly()
{
    QFETCH(QString, value);
    const QString quoted = SqlText::quoted(value);
    QVERIFY2(m_db->exec(kPurcharInsert.arg("cgd20240305-12-1", "2024-03-05", "12", "1001", "1.00", "1.00",
                                           quoted, "test001")),
             qPrintable(m_db->lastError()));
    QCOMPARE(m_db->scalar(QStringLiteral("select remarks from purchar")), value);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from purchar where remarks='%1'").arg(quoted)),
             QStringLiteral("1"));
}

QTEST_MAIN(tst_schema)
#include "tst_schema.moc"
