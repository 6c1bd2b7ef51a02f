#include "support/statementfixture.h"

#include <QtCore>
#include <QtSql>
#include <QtTest>

#include <cmath>

namespace {

// The rows, in SQL Server's dialect, amounts quoted as the forms write them.
const char *const fixtureRows[] = {
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (101,'打印纸','箱','12.50','5.00','办公')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (102,'签字笔','盒','8.00','3.20','办公')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (103,'矿泉水','箱','30.00','18.00','食品')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (104,'咖啡豆','袋','95.00','60.00',NULL)",

    "insert into supplier (supplier_id,supplier_name,short_name,category) values (11,'华联纸业','华联','办公用品')",
    "insert into supplier (supplier_id,supplier_name,short_name,category) values (12,'晨光文具','晨光','办公用品')",
    "insert into supplier (supplier_id,supplier_name,short_name,category) values (13,'农夫山泉','农夫','食品')",

    "insert into customer (customer_id,customer_name,short_name,area) values (21,'东方超市','东方','A')",
    "insert into customer (customer_id,customer_name,short_name,area) values (22,'西城商店',NULL,'C')",
    "insert into customer (customer_id,customer_name,short_name,area) values (23,'南山配送站','南山','E')",
    "insert into customer (customer_id,customer_name,short_name,area) values (24,'北湖酒店','北湖','A')",

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
};

// The finance side of the books, for the account forms and reports.
const char *const accountRows[] = {
    "insert into category (name) values ('销售回款'),('采购付款'),('其他费用'),('备用金')",
    "insert into category_supplier (name) values ('办公用品'),('食品')",
    "insert into category_customer (name) values ('零售客户'),('配送客户'),('酒店客户')",
    "insert into employee (employee_id,employee_name) values ('001','张三'),('002','李四'),('003','赵六')",

    "update supplier set cycle=30,accoutant='李会计',cooperate=1 where supplier_id=11",
    "update supplier set cycle=45,accoutant='王会计',cooperate=1 where supplier_id=12",
    "update supplier set cycle=30,accoutant=NULL,cooperate=0 where supplier_id=13",
    "update customer set category='零售客户',salesman='张三',salesman1='张三',salesman2='李四',commision1='2.000',commision2='0.500',invoice=1,cycle=30,accoutant='王会计',cooperate=1 where customer_id=21",
    "update customer set category='零售客户',salesman='李四',salesman1='李四',salesman2='张三',commision1='1.500',commision2='0.125',invoice=0,cycle=45,accoutant='李会计',cooperate=1 where customer_id=22",
    "update customer set category='配送客户',salesman='',salesman1='',salesman2='',commision1='0',commision2='0',invoice=0,cycle=30,accoutant='王会计',cooperate=0 where customer_id=23",
    "update customer set category='酒店客户',salesman='张三',salesman1='张三',salesman2='',commision1='3.000',commision2='0',invoice=0,cycle=30,accoutant=NULL,cooperate=1 where customer_id=24",

    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-05','FP001','1000.00','21-东方超市','销项','clerk','manager')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-05','FP002','560.50','22-西城商店','销项','clerk','')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-05','JX001','110.00','11-华联纸业','进项','clerk','')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-12','JX002','210.00','12-晨光文具','进项','manager','manager')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-20','FP003','100.75','21-东方超市','销项','clerk','')",
    "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-03-25','FP004','100.40','24-北湖酒店','销项','clerk','')",

    "insert into info (date,company,summary,income,pay,category) values ('2024-04-16','21-东方超市','货款回款','1000.00','0','销售回款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-03-28','22-西城商店','三月回款','300.00','0','销售回款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-03-20','11-华联纸业','支付纸款','0','110.00','采购付款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-10','21-东方超市','尾款','80.50','0','销售回款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-15','12-晨光文具','支付文具款','0','200.00','采购付款')",
    "insert into info (date,company,summary,income,pay,category) values ('2024-04-01','24-北湖酒店','调整','0','0','其他费用')",

    "insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,date_commision,inout_category,operator,checker) values ('2024-03-01','2024-03-15','21-东方超市','1000.00','0',1,1,'','2024-03-20','货款','clerk','manager')",
    "insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,inout_category,operator) values ('2024-03-16','2024-03-31','21-东方超市','500.00','20.00',5,4,'12-晨光文具','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,date_commision,inout_category,operator) values ('2024-03-01','2024-03-31','22-西城商店','300.00','8.00',2,2,'','2024-04-02','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-02-01','2024-02-29','24-北湖酒店','800.00','货款','manager')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-01','2024-01-31','22-西城商店','5000.00','投标保证金','manager')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-04-01','2024-04-30','21-东方超市','700.00','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-03-01','2024-03-31','23-南山配送站','0','货款','clerk')",

    "insert into payment (date_begin,date_end,company,money,invoice_id,info_id,remarks,inout_category,operator,checker) values ('2024-03-01','2024-03-15','11-华联纸业','110.00',3,3,'','货款','clerk','manager')",
    "insert into payment (date_begin,date_end,company,money,invoice_id,info_id,remarks,inout_category,operator) values ('2024-03-01','2024-03-31','12-晨光文具','210.00',4,5,'','货款','clerk')",
    "insert into payment (date_begin,date_end,company,money,inout_category,operator) values ('2024-02-01','2024-02-29','13-农夫山泉','175.00','货款','manager')",
    "insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('2024-03-16','2024-03-31','12-晨光文具','20.00','21-东方超市','公司往来','clerk')",
};

// Figures match to the tenth of a cent, for the forms format them
// themselves: 6.5, 6.50 and 6.500000 are one price, 5.02 and 5.03 are not.
// Texts that merely look like numbers, such as "001", compare as text.
bool cellMatches(const QString &actual, const QString &expected)
{
    static const QRegularExpression plain(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?$"));
    if (actual == expected) {
        return true;
    }
    bool ok = false;
    const double value = actual.trimmed().toDouble(&ok);
    return ok && plain.match(expected).hasMatch() && std::fabs(value - expected.toDouble()) < 0.0005;
}

bool rowMatches(const QStringList &actual, const QString &expected)
{
    const QStringList cells = expected.split(QLatin1Char('|'));
    bool same = actual.size() == cells.size();
    for (int i = 0; same && i < cells.size(); ++i) {
        same = cellMatches(actual.at(i), cells.at(i));
    }
    return same;
}

QStringList rowTexts(const QSqlRecord &record)
{
    QStringList row;
    for (int c = 0; c < record.count(); ++c) {
        row << (record.isNull(c) ? QStringLiteral("<NULL>") : record.value(c).toString());
    }
    return row;
}

} // namespace

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
    if (!m_db->isValid()) {
        *error = m_db->error();
        m_db.reset();
        return nullptr;
    }
    QList<const char *> rows(std::begin(fixtureRows), std::end(fixtureRows));
    if (m_books == WithAccounts) {
        rows.append(QList<const char *>(std::begin(accountRows), std::end(accountRows)));
    }
    for (const char *row : rows) {
        if (!m_db->exec(QString::fromUtf8(row))) {
            *error = QStringLiteral("%1\n  -> %2").arg(QString::fromUtf8(row), m_db->lastError());
            m_db.reset();
            return nullptr;
        }
    }
    return m_db.get();
}

namespace ResultRows {

QList<QStringList> query(const QString &sql, QString *error)
{
    error->clear();
    QList<QStringList> rows;
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(sql)) {
        *error = query.lastError().text();
        return rows;
    }
    while (query.next()) {
        rows << rowTexts(query.record());
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
        rows << rowTexts(model->record(r));
    }
    return rows;
}

QString mismatch(const QList<QStringList> &actual, const QStringList &expected, bool ordered)
{
    // Each expected row takes the first actual row it matches that no
    // earlier one has taken; in order, that must be the row in its place.
    bool same = actual.size() == expected.size();
    QVector<bool> taken(actual.size(), false);
    for (int e = 0; same && e < expected.size(); ++e) {
        same = false;
        for (int a = ordered ? e : 0; !same && a < (ordered ? e + 1 : actual.size()); ++a) {
            same = !taken.at(a) && rowMatches(actual.at(a), expected.at(e));
            taken[a] = taken.at(a) || same;
        }
    }
    if (same) {
        return QString();
    }
    QString text = QStringLiteral("  expected%1:\n    %2\n  actual:\n")
                       .arg(ordered ? QStringLiteral(" in this order") : QString(),
                            expected.join(QStringLiteral("\n    ")));
    for (const QStringList &row : actual) {
        text += QStringLiteral("    ") + row.join(QLatin1Char('|')) + QLatin1Char('\n');
    }
    return text;
}

} // namespace ResultRows

QString FixtureDb::check(const QString &sql, const QStringList &expected, bool ordered)
{
    QString error;
    const QList<QStringList> actual = ResultRows::query(sql, &error);
    const QString difference = ResultRows::mismatch(actual, expected, ordered);
    if (error.isEmpty() && difference.isEmpty()) {
        return QString();
    }
    QString text = QStringLiteral("statement: %1\n").arg(sql);
    if (!error.isEmpty()) {
        text += QStringLiteral("  error: %1\n").arg(error);
    }
    return text + difference;
}

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
