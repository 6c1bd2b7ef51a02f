#include "support/statementfixture.h"

#include "support/testdb.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTest>
#include <QVector>

#include <cmath>

namespace {

// The rows, in SQL Server's dialect, amounts quoted as the forms write them.
const char *const fixtureRows[] = {
    // Users: the setup's accounts are replaced, so that the lists below are
    // all there is.
    "delete from login",
    "delete from [user]",
    "insert into login (name,password) values ('test001','111')",
    "insert into login (name,password) values ('manager','222')",
    "insert into login (name,password) values ('clerk','333')",
    "insert into [user] (name,power) values ('test001','发票录入,发票审核')",
    "insert into [user] (name,power) values ('manager','')",
    "insert into [user] (name,power) values ('clerk','应收录入')",

    "insert into operator (ip,date,user_name,operator) values ('192.168.1.10','2024-03-05 09:30:00','clerk','采购单')",
    "insert into operator (ip,date,user_name,operator) values ('192.168.1.11','2024-03-05 17:45:10','manager','商品资料')",
    "insert into operator (ip,date,user_name,operator) values ('192.168.1.10','2024-03-06 08:00:00','clerk','送货单')",

    "insert into category (name) values ('销售回款')",
    "insert into category (name) values ('采购付款')",
    "insert into category (name) values ('其他费用')",
    "insert into category (name) values ('备用金')",
    "insert into category_supplier (name) values ('办公用品')",
    "insert into category_supplier (name) values ('食品')",
    "insert into category_customer (name) values ('零售客户')",
    "insert into category_customer (name) values ('配送客户')",
    "insert into category_customer (name) values ('酒店客户')",

    "insert into employee (employee_id,employee_name) values ('001','张三')",
    "insert into employee (employee_id,employee_name) values ('002','李四')",
    "insert into employee (employee_id,employee_name) values ('003','赵六')",

    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (101,'打印纸','箱','12.50','5.00','办公')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (102,'签字笔','盒','8.00','3.20','办公')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (103,'矿泉水','箱','30.00','18.00','食品')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (104,'咖啡豆','袋','95.00','60.00',NULL)",

    "insert into supplier (supplier_id,supplier_name,short_name,category,cycle,accoutant,cooperate) values (11,'华联纸业','华联','办公用品',30,'李会计',1)",
    "insert into supplier (supplier_id,supplier_name,short_name,category,cycle,accoutant,cooperate) values (12,'晨光文具','晨光','办公用品',45,'王会计',1)",
    "insert into supplier (supplier_id,supplier_name,short_name,category,cycle,accoutant,cooperate) values (13,'农夫山泉','农夫','食品',30,NULL,0)",

    "insert into customer (customer_id,customer_name,short_name,area,category,salesman,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate) values (21,'东方超市','东方','A','零售客户','张三','张三','李四','2.000','0.500',1,30,'王会计',1)",
    "insert into customer (customer_id,customer_name,short_name,area,category,salesman,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate) values (22,'西城商店',NULL,'C','零售客户','李四','李四','张三','1.500','0.125',0,45,'李会计',1)",
    "insert into customer (customer_id,customer_name,short_name,area,category,salesman,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate) values (23,'南山配送站','南山','E','配送客户','','','','0','0',0,30,'王会计',0)",
    "insert into customer (customer_id,customer_name,short_name,area,category,salesman,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate) values (24,'北湖酒店','北湖','A','酒店客户','张三','张三','','3.000','0',0,30,NULL,1)",

    // Purchase order lines, ids 1 to 10.
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-1','2024-03-05',11,101,'10.00','5.00','首批','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-1','2024-03-05',11,102,'20.00','3.00','','manager')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-12-1','2024-03-05',12,101,'30.00','7.00','加急','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-2','2024-03-05',11,103,'2.00','18.00','','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240310-12-1','2024-03-10',12,102,'3.00','2.50','','manager')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240310-12-1','2024-03-10',12,101,'4.00','1.25','','manager')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240301-13-1','2024-03-01',13,103,'10.00','17.50','','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240312-99-1','2024-03-12',99,102,'1.50','3.35','','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-5','2024-03-05',11,999,'2.00','1.00','样品','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240225-11-1','2024-02-25',11,101,'20.00','5.00','','clerk')",

    // Delivery note lines, ids 1 to 6.
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240305-21-1','2024-03-05',21,101,'10.00','9.00','','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240305-21-1','2024-03-05',21,103,'1.00','30.00','赠品','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240306-22-1','2024-03-06',22,102,'5.00','8.00','','manager')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240320-24-1','2024-03-20',24,101,'4.00','12.50','','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240228-21-1','2024-02-28',21,101,'3.00','9.00','','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240310-98-1','2024-03-10',98,102,'2.00','8.00','','clerk')",

    // Stock gains and losses, ids 1 to 4.
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-05',101,'-2','破损','clerk')",
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-08',102,'5','盘盈','clerk')",
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-02-20',103,'-1','','manager')",
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-10',101,'1','','manager')",

    // Invoices, ids 1 to 6; the output invoices of 2024-03-05 are audited.
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-05','FP001','1000.00','21-东方超市','销项','clerk','manager')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-05','FP002','560.50','22-西城商店','销项','clerk','')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-05','JX001','110.00','11-华联纸业','进项','clerk','')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-12','JX002','210.00','12-晨光文具','进项','manager','manager')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-20','FP003','100.75','21-东方超市','销项','clerk','')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-25','FP004','100.40','24-北湖酒店','销项','clerk','')",

    // Cash journal, ids 1 to 6.
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-16','21-东方超市','货款回款','1000.00','0','销售回款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-03-28','22-西城商店','三月回款','300.00','0','销售回款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-03-20','11-华联纸业','支付纸款','0','110.00','采购付款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-10','21-东方超市','尾款','80.50','0','销售回款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-15','12-晨光文具','支付文具款','0','200.00','采购付款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-01','24-北湖酒店','调整','0','0','其他费用')",

    // Receivables, ids 1 to 7. The first three are bound to invoices and
    // receipts; the others keep the defaults (unbound, commission not settled,
    // no remark).
    "insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,date_commision,inout_category,operator,checker) values ('2024-03-01','2024-03-15','21-东方超市','1000.00','0',1,1,'','2024-03-20','货款','clerk','manager')",
    "insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,inout_category,operator) values ('2024-03-16','2024-03-31','21-东方超市','500.00','20.00',5,4,'12-晨光文具','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,date_commision,inout_category,operator) values ('2024-03-01','2024-03-31','22-西城商店','300.00','8.00',2,2,'','2024-04-02','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-02-01','2024-02-29','24-北湖酒店','800.00','货款','manager')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-01','2024-01-31','22-西城商店','5000.00','投标保证金','manager')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-04-01','2024-04-30','21-东方超市','700.00','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-03-01','2024-03-31','23-南山配送站','0','货款','clerk')",

    // Payables, ids 1 to 4; the last one is the discount of receivable 2,
    // owed to supplier 12.
    "insert into payment (date_begin,date_end,company,money,invoice_id,info_id,remarks,inout_category,operator,checker) values ('2024-03-01','2024-03-15','11-华联纸业','110.00',3,3,'','货款','clerk','manager')",
    "insert into payment (date_begin,date_end,company,money,invoice_id,info_id,remarks,inout_category,operator) values ('2024-03-01','2024-03-31','12-晨光文具','210.00',4,5,'','货款','clerk')",
    "insert into payment (date_begin,date_end,company,money,inout_category,operator) values ('2024-02-01','2024-02-29','13-农夫山泉','175.00','货款','manager')",
    "insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('2024-03-16','2024-03-31','12-晨光文具','20.00','21-东方超市','公司往来','clerk')",
};

// Tables whose ids the expectations name, with the number of rows above.
const struct
{
    const char *table;
    int rows;
} numberedTables[] = {
    {"operator", 3},  {"category", 4}, {"employee", 3}, {"food_info", 4},
    {"supplier", 3},  {"customer", 4}, {"purchar", 10}, {"sell", 6},
    {"inventory", 4}, {"invoice", 6},  {"info", 6},     {"receivable", 7},
    {"payment", 4},
};

QString valueText(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("<NULL>") : value.toString();
}

bool isPlainNumber(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?$"));
    return plain.match(text).hasMatch();
}

bool rowMatches(const QStringList &actual, const QStringList &expected)
{
    if (actual.size() != expected.size()) {
        return false;
    }
    for (int i = 0; i < actual.size(); ++i) {
        if (!ResultRows::cellMatches(actual.at(i), expected.at(i))) {
            return false;
        }
    }
    return true;
}

QString listing(const QList<QStringList> &rows)
{
    if (rows.isEmpty()) {
        return QStringLiteral("    (no rows)\n");
    }
    QString text;
    for (const QStringList &row : rows) {
        text += QStringLiteral("    ") + row.join(QLatin1Char('|')) + QLatin1Char('\n');
    }
    return text;
}

} // namespace

namespace StatementFixture {

bool load(TestDb &db, QString *error)
{
    if (!db.isValid()) {
        *error = db.error();
        return false;
    }
    // One transaction: the rows are many and each commit would go to disk.
    const bool inTransaction = db.db().transaction();
    for (const char *row : fixtureRows) {
        const QString sql = QString::fromUtf8(row);
        if (!db.exec(sql)) {
            *error = QStringLiteral("%1\n  -> %2").arg(sql, db.lastError());
            if (inTransaction) {
                db.db().rollback();
            }
            return false;
        }
    }
    if (inTransaction && !db.db().commit()) {
        *error = QStringLiteral("commit failed");
        return false;
    }
    for (const auto &numbered : numberedTables) {
        const QString table = QString::fromLatin1(numbered.table);
        const QList<QStringList> ids = db.rows(
            QStringLiteral("select count(*),min(id),max(id) from %1").arg(table));
        const QStringList wanted = {QString::number(numbered.rows), QStringLiteral("1"),
                                    QString::number(numbered.rows)};
        if (ids.size() != 1 || !rowMatches(ids.first(), wanted)) {
            *error = QStringLiteral("%1: expected ids 1 to %2, found %3 %4")
                         .arg(table)
                         .arg(numbered.rows)
                         .arg(ids.isEmpty() ? QStringLiteral("nothing")
                                            : ids.first().join(QLatin1Char('|')),
                              db.lastError());
            return false;
        }
    }
    return true;
}

} // namespace StatementFixture

FixtureDb::FixtureDb() = default;
FixtureDb::~FixtureDb() = default;

TestDb *FixtureDb::forReading(QString *error)
{
    if (m_db && !m_written) {
        return m_db.get();
    }
    m_written = false;
    return reload(error);
}

TestDb *FixtureDb::forWriting(QString *error)
{
    m_written = true;
    return reload(error);
}

TestDb *FixtureDb::reload(QString *error)
{
    m_db.reset();
    m_db.reset(new TestDb);
    if (!StatementFixture::load(*m_db, error)) {
        m_db.reset();
        return nullptr;
    }
    return m_db.get();
}

namespace ResultRows {

QList<QStringList> parse(const QStringList &rows)
{
    QList<QStringList> parsed;
    for (const QString &row : rows) {
        parsed << row.split(QLatin1Char('|'));
    }
    return parsed;
}

QList<QStringList> query(const QString &sql, QString *error)
{
    error->clear();
    QList<QStringList> rows;
    QSqlQuery q(QSqlDatabase::database());
    if (!q.exec(sql)) {
        *error = q.lastError().text();
        return rows;
    }
    while (q.next()) {
        const int columns = q.record().count();
        QStringList row;
        for (int c = 0; c < columns; ++c) {
            row << valueText(q.value(c));
        }
        rows << row;
    }
    return rows;
}

QList<QStringList> fromModel(QSqlQueryModel *model)
{
    while (model->canFetchMore()) {
        model->fetchMore();
    }
    QList<QStringList> rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QSqlRecord record = model->record(r);
        QStringList row;
        for (int c = 0; c < record.count(); ++c) {
            row << valueText(record.value(c));
        }
        rows << row;
    }
    return rows;
}

bool cellMatches(const QString &actual, const QString &expected)
{
    if (actual == expected) {
        return true;
    }
    if (!isPlainNumber(expected)) {
        return false;
    }
    bool ok = false;
    const double value = actual.trimmed().toDouble(&ok);
    return ok && std::fabs(value - expected.toDouble()) < 0.0005;
}

QString mismatch(const QList<QStringList> &actual, const QStringList &expected, bool ordered)
{
    const QList<QStringList> wanted = parse(expected);
    bool same = actual.size() == wanted.size();
    if (same && ordered) {
        for (int i = 0; same && i < actual.size(); ++i) {
            same = rowMatches(actual.at(i), wanted.at(i));
        }
    } else if (same) {
        // Each expected row takes the first actual row it matches that no
        // earlier expected row has taken.
        QVector<bool> taken(actual.size(), false);
        for (const QStringList &row : wanted) {
            int found = -1;
            for (int i = 0; found < 0 && i < actual.size(); ++i) {
                if (!taken.at(i) && rowMatches(actual.at(i), row)) {
                    found = i;
                }
            }
            if (found < 0) {
                same = false;
                break;
            }
            taken[found] = true;
        }
    }
    if (same) {
        return QString();
    }
    return QStringLiteral("rows differ%1\n  expected:\n%2  actual:\n%3")
        .arg(ordered ? QStringLiteral(" (in this order)") : QString(), listing(wanted),
             listing(actual));
}

QString check(const QString &sql, const QStringList &expected, bool ordered)
{
    QString error;
    const QList<QStringList> actual = query(sql, &error);
    const QString difference = mismatch(actual, expected, ordered);
    if (error.isEmpty() && difference.isEmpty()) {
        return QString();
    }
    QString text = QStringLiteral("statement: %1\n").arg(sql);
    if (!error.isEmpty()) {
        text += QStringLiteral("  error: %1\n").arg(error);
    }
    return text + difference;
}

QString checkRead(FixtureDb &fixture, const QString &sql, const QStringList &expected, bool ordered)
{
    QString error;
    if (!fixture.forReading(&error)) {
        return error;
    }
    return check(sql, expected, ordered);
}

} // namespace ResultRows

namespace {

// Stands for the SQL Server run when no server is configured, so that the
// test log says it was skipped and how to have it run.
class SqlServerRun : public QObject
{
    Q_OBJECT

private slots:
    void onSqlServer()
    {
        QSKIP("no SQL Server configured: set JXC_TEST_MSSQL_CONFIG to a settings file with "
              "engine=odbc to run these statements on one");
    }
};

} // namespace

int runOnEveryEngine(int argc, char **argv, const std::function<QObject *()> &make)
{
    TestDb::setTarget(TestDb::Target::Embedded);
    int failures = 0;
    {
        const std::unique_ptr<QObject> embedded(make());
        failures += QTest::qExec(embedded.get(), argc, argv);
    }
    if (TestDb::serverConfig().isEmpty()) {
        // Only when the whole class runs: a chosen test function would not
        // be found in the stand-in.
        if (argc <= 1) {
            SqlServerRun skipped;
            QTest::qExec(&skipped, argc, argv);
        } else {
            qInfo("SQL Server run skipped: JXC_TEST_MSSQL_CONFIG is not set");
        }
        return failures;
    }
    TestDb::setTarget(TestDb::Target::SqlServer);
    {
        const std::unique_ptr<QObject> onServer(make());
        failures += QTest::qExec(onServer.get(), argc, argv);
    }
    TestDb::setTarget(TestDb::Target::Embedded);
    return failures;
}

#include "statementfixture.moc"
