// The statements of the finance forms (invoice, receivable, payment,
// commision) and of their cell editors (Cus_SupDelegate, CashNo_CusDelegate,
// CashNo_SupDelegate, InvoiceNo_CusDelegate, InvoiceNo_SupDelegate), and the
// filters and edits the registers send through their table models, run on
// the embedded engine against the rows of StatementFixture.

#include "db/sqltext.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTest>

using namespace StatementText;

class tst_statements_finance : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void commission_data();
    void commission();
    void registerFilters_data();
    void registerFilters();
    void writes_data();
    void writes();
    void refusedWrites_data();
    void refusedWrites();

    void invoiceAddedInTheRegisterIsStored();
    void auditStampsEveryRowShown();
    void receivableAppendedInTheRegisterTakesTheDefaults();
    void bindingEditedInTheRegisterIsWrittenToItsRow();
    void rowDeletedInTheRegisterIsRemoved();

private:
    void compareRows();
    bool openModel(QSqlTableModel &model, const QString &table, const QString &filter);
    static int rowOfId(const QSqlTableModel &model, int id);

    FixtureDb m_fixture;
};

namespace {

const char *const receivableColumns =
    "select date_begin,date_end,company,money,discount,invoice_id,info_id,interest,remarks,"
    "date_commision,inout_category,operator,checker,id from receivable";

} // namespace

void tst_statements_finance::compareRows()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    QFETCH(bool, ordered);
    const QString failure = ResultRows::checkRead(m_fixture, statement, expected, ordered);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_finance::reads_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("ordered");

    // invoice: a day of one kind closes when any of its invoices is audited.
    const QString auditedDay = QStringLiteral("select checker from invoice where date='%1' and jin_xiao='%2' and checker<>''");
    QTest::newRow("invoice: audited day")
        << auditedDay.arg(q("2024-03-05"), q("销项")) << QStringList{"manager"} << false;
    QTest::newRow("invoice: same day, other kind still open")
        << auditedDay.arg(q("2024-03-05"), q("进项")) << QStringList{} << false;
    QTest::newRow("invoice: day without audited invoices")
        << auditedDay.arg(q("2024-03-20"), q("销项")) << QStringList{} << false;

    // The partner pick lists: suppliers and customers sorted together, the
    // delivery customers left out.
    const QStringList partners = {"11-华联纸业", "12-晨光文具", "13-农夫山泉",
                                  "21-东方超市", "22-西城商店", "24-北湖酒店"};
    QTest::newRow("Cus_SupDelegate: partners")
        << QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name as ps from supplier union all select cast(customer_id as varchar)+'-'+customer_name as ps from customer where category<>'配送客户' order by ps")
        << partners << true;
    QTest::newRow("payment: company pick list")
        << QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name as ps from supplier  union all select cast(customer_id as varchar)+'-'+customer_name as ps from customer where category<>'配送客户' order by ps ")
        << partners << true;

    // Cash and invoice pick lists, newest first, amounts to the cent.
    const QString receipts = QStringLiteral("select cast(id as varchar)+'-'+summary+'-'+cast(income as varchar) from info where company='%1' order by id desc");
    const QString payments = QStringLiteral("select cast(id as varchar)+'-'+summary+'-'+cast(pay as varchar) from info where company='%1' order by id desc");
    const QString invoices = QStringLiteral("select cast(id as varchar)+'-'+convert(varchar(10),date,20)+'-'+invoice_no+'-'+cast(money as varchar) from invoice where company='%1' order by id desc");
    QTest::newRow("CashNo_CusDelegate: receipts of a customer")
        << receipts.arg(q("21-东方超市")) << QStringList{"4-尾款-80.50", "1-货款回款-1000.00"} << true;
    QTest::newRow("CashNo_CusDelegate: entry without income")
        << receipts.arg(q("24-北湖酒店")) << QStringList{"6-调整-0.00"} << true;
    QTest::newRow("CashNo_CusDelegate: no party chosen yet")
        << receipts.arg(QString()) << QStringList{} << true;
    QTest::newRow("CashNo_SupDelegate: payments to a supplier")
        << payments.arg(q("12-晨光文具")) << QStringList{"5-支付文具款-200.00"} << true;
    QTest::newRow("InvoiceNo_CusDelegate: invoices of a customer")
        << invoices.arg(q("21-东方超市"))
        << QStringList{"5-2024-03-20-FP003-100.75", "1-2024-03-05-FP001-1000.00"} << true;
    QTest::newRow("InvoiceNo_SupDelegate: invoices of a supplier")
        << invoices.arg(q("12-晨光文具")) << QStringList{"4-2024-03-12-JX002-210.00"} << true;

    // receivable and payment
    QTest::newRow("receivable: account kinds")
        << QStringLiteral("select name from inout_category order by id")
        << QStringList{"货款", "投标保证金", "履约保证金", "公司往来"} << true;
    const QString paidOn = QStringLiteral("select date from info where id=%1");
    QTest::newRow("receivable: day of a receipt") << paidOn.arg(n(1)) << QStringList{"2024-04-16"} << true;
    QTest::newRow("payment: day of a payment") << paidOn.arg(n(5)) << QStringList{"2024-04-15"} << true;
    QTest::newRow("receivable: bound invoices")
        << QStringLiteral("select invoice_id from receivable where invoice_id<>0") << QStringList{"1", "5", "2"} << false;
    QTest::newRow("receivable: bound receipts")
        << QStringLiteral("select info_id from receivable where info_id<>0") << QStringList{"1", "4", "2"} << false;
    QTest::newRow("payment: bound invoices")
        << QStringLiteral("select invoice_id from payment where invoice_id<>0") << QStringList{"3", "4"} << false;
    QTest::newRow("payment: bound payments")
        << QStringLiteral("select info_id from payment where info_id<>0") << QStringList{"3", "5"} << false;
    const QString receivablePeriods = QStringLiteral("select date_begin,date_end from receivable where inout_category='%1' and company='%2'");
    QTest::newRow("receivable: periods of a customer and kind")
        << receivablePeriods.arg(q("货款"), q("21-东方超市"))
        << QStringList{"2024-03-01|2024-03-15", "2024-03-16|2024-03-31", "2024-04-01|2024-04-30"} << false;
    QTest::newRow("receivable: no period of the other kind")
        << receivablePeriods.arg(q("投标保证金"), q("21-东方超市")) << QStringList{} << false;
    const QString paymentPeriods = QStringLiteral("select date_begin,date_end from payment where inout_category='%1' and company='%2'");
    QTest::newRow("payment: periods of a supplier and kind")
        << paymentPeriods.arg(q("货款"), q("12-晨光文具")) << QStringList{"2024-03-01|2024-03-31"} << false;
    QTest::newRow("payment: period created from a discount")
        << paymentPeriods.arg(q("公司往来"), q("12-晨光文具")) << QStringList{"2024-03-16|2024-03-31"} << false;
}

void tst_statements_finance::reads()
{
    compareRows();
}

// The commission report of one salesman: paid-out lines of the range with
// their commission, open lines with their rate and no commission.
void tst_statements_finance::commission_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("ordered");

    const QString report =
        QStringLiteral("select receivable.date_end,receivable.company,convert(decimal(10,2),receivable.money),convert(decimal(10,2),receivable.discount),convert(decimal(10,2),isnull(info.income,0)),convert(decimal(10,2),case customer.invoice when 1 then 0.94 else 1 end),convert(decimal(10,3),customer.commision1),0,convert(decimal(10,2),(info.income-receivable.discount)*(case customer.invoice when 1 then 0.94 else 1 end)*customer.commision1/100) from receivable,customer,info where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name) and receivable.info_id=info.id and customer.salesman1='%1' and receivable.date_commision between '%2' and '%3'")
        + QStringLiteral(" union all select receivable.date_end,receivable.company,receivable.money,receivable.discount,isnull(info.income,0),case customer.invoice when 1 then 0.94 else 1 end,0,customer.commision2,convert(decimal(10,2),(info.income-receivable.discount)*(case customer.invoice when 1 then 0.94 else 1 end)*customer.commision2/100) from receivable,customer,info where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name) and receivable.info_id=info.id and customer.salesman2='%1' and receivable.date_commision between '%2' and '%3'")
        + QStringLiteral(" union all select receivable.date_end,receivable.company,receivable.money,receivable.discount,0,case customer.invoice when 1 then 0.94 else 1 end,customer.commision1,0,0 from receivable,customer where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name)  and customer.salesman1='%1' and receivable.date_commision = '2001-01-01'")
        + QStringLiteral(" union all select receivable.date_end,receivable.company,receivable.money,receivable.discount,0,case customer.invoice when 1 then 0.94 else 1 end,0,customer.commision2,0 from receivable,customer where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name)  and customer.salesman2='%1' and receivable.date_commision = '2001-01-01'")
        + QStringLiteral(" order by receivable.date_end,receivable.company");

    // 张三 is salesman 1 of 21 (invoiced, 2 %) and 24 (3 %), salesman 2 of
    // 22 (0.125 %). (1000 - 0) x 0.94 x 2 % = 18.80; (300 - 8) x 0.125 % =
    // 0.365, rounded half away from zero to 0.37.
    QTest::newRow("commision: personal and team lines, paid and open")
        << report.arg(q("张三"), q("2024-03-01"), q("2024-04-30"))
        << QStringList{"2024-01-31|22-西城商店|5000|0|0|1|0|0.125|0",
                       "2024-02-29|24-北湖酒店|800|0|0|1|3|0|0",
                       "2024-03-15|21-东方超市|1000.00|0.00|1000.00|0.94|2.000|0|18.80",
                       "2024-03-31|21-东方超市|500|20|0|0.94|2|0|0",
                       "2024-03-31|22-西城商店|300|8|300|1|0|0.125|0.37",
                       "2024-04-30|21-东方超市|700|0|0|0.94|2|0|0"}
        << true;
    // 李四 is salesman 1 of 22 (1.5 %) and salesman 2 of 21 (0.5 %):
    // (300 - 8) x 1.5 % = 4.38; 1000 x 0.94 x 0.5 % = 4.70.
    QTest::newRow("commision: the other salesman of the same customers")
        << report.arg(q("李四"), q("2024-03-01"), q("2024-04-30"))
        << QStringList{"2024-01-31|22-西城商店|5000|0|0|1|1.5|0|0",
                       "2024-03-15|21-东方超市|1000|0|1000|0.94|0|0.5|4.7",
                       "2024-03-31|21-东方超市|500|20|0|0.94|0|0.5|0",
                       "2024-03-31|22-西城商店|300.00|8.00|300.00|1.00|1.500|0|4.38",
                       "2024-04-30|21-东方超市|700|0|0|0.94|0|0.5|0"}
        << true;
    QTest::newRow("commision: settled outside the range is not listed")
        << report.arg(q("李四"), q("2024-03-01"), q("2024-03-31"))
        << QStringList{"2024-01-31|22-西城商店|5000|0|0|1|1.5|0|0",
                       "2024-03-15|21-东方超市|1000|0|1000|0.94|0|0.5|4.7",
                       "2024-03-31|21-东方超市|500|20|0|0.94|0|0.5|0",
                       "2024-04-30|21-东方超市|700|0|0|0.94|0|0.5|0"}
        << true;
    QTest::newRow("commision: salesman without customers")
        << report.arg(q("赵六"), q("2024-03-01"), q("2024-04-30")) << QStringList{} << true;
}

void tst_statements_finance::commission()
{
    compareRows();
}

bool tst_statements_finance::openModel(QSqlTableModel &model, const QString &table, const QString &filter)
{
    model.setTable(table);
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    model.setFilter(filter);
    if (!model.select()) {
        qWarning("%s: %s", qPrintable(model.query().lastQuery()), qPrintable(model.lastError().text()));
        return false;
    }
    while (model.canFetchMore()) {
        model.fetchMore();
    }
    return true;
}

int tst_statements_finance::rowOfId(const QSqlTableModel &model, int id)
{
    const int idColumn = model.record().count() - 1;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.record(row).value(idColumn).toInt() == id) {
            return row;
        }
    }
    return -1;
}

// The registers show their table through a QSqlTableModel: the filter is the
// WHERE clause, the query forms sort by the first column.
void tst_statements_finance::registerFilters_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<QStringList>("expected");

    const QStringList invoices = {
        "2024-03-05|FP001|1000|21-东方超市|销项|clerk|manager|1",
        "2024-03-05|FP002|560.5|22-西城商店|销项|clerk||2",
        "2024-03-05|JX001|110|11-华联纸业|进项|clerk||3",
        "2024-03-12|JX002|210|12-晨光文具|进项|manager|manager|4",
        "2024-03-20|FP003|100.75|21-东方超市|销项|clerk||5",
        "2024-03-25|FP004|100.4|24-北湖酒店|销项|clerk||6",
    };
    QTest::newRow("invoice: the day when opened")
        << "invoice" << QStringLiteral("date = '%1'").arg(q("2024-03-05")) << false
        << QStringList(invoices.mid(0, 3));
    QTest::newRow("invoice: the entry day after a save")
        << "invoice" << QStringLiteral("date='%1'").arg(q("2024-03-12")) << false
        << QStringList(invoices.mid(3, 1));
    const QString invoicePeriod = QStringLiteral("date between '%1' and '%2'").arg(q("2024-03-01"), q("2024-03-31"));
    const QString invoiceKind = QStringLiteral(" and jin_xiao = '%1'");
    QTest::newRow("invoice: query a period")
        << "invoice" << invoicePeriod << true << invoices;
    QTest::newRow("invoice: query a kind")
        << "invoice" << invoicePeriod + invoiceKind.arg(q("进项")) << true << QStringList(invoices.mid(2, 2));
    QTest::newRow("invoice: query a company")
        << "invoice" << invoicePeriod + invoiceKind.arg(q("销项")) + QStringLiteral(" and company = '%1'").arg(q("21-东方超市"))
        << true << QStringList{invoices.at(0), invoices.at(4)};
    QTest::newRow("invoice: query an amount by its whole part")
        << "invoice" << invoicePeriod + QStringLiteral(" and cast(money as int) = %1").arg(n(100))
        << true << QStringList(invoices.mid(4, 2));

    const QStringList receivables = {
        "2024-03-01|2024-03-15|21-东方超市|1000|0|1|1|0||2024-03-20|货款|clerk|manager|1",
        "2024-03-16|2024-03-31|21-东方超市|500|20|5|4|0|12-晨光文具|2001-01-01|货款|clerk||2",
        "2024-03-01|2024-03-31|22-西城商店|300|8|2|2|0||2024-04-02|货款|clerk||3",
        "2024-02-01|2024-02-29|24-北湖酒店|800|0|0|0|0|<NULL>|2001-01-01|货款|manager||4",
        "2024-01-01|2024-01-31|22-西城商店|5000|0|0|0|0|<NULL>|2001-01-01|投标保证金|manager||5",
        "2024-04-01|2024-04-30|21-东方超市|700|0|0|0|0|<NULL>|2001-01-01|货款|clerk||6",
        "2024-03-01|2024-03-31|23-南山配送站|0|0|0|0|0|<NULL>|2001-01-01|货款|clerk||7",
    };
    const QString receivableQuery = QStringLiteral("date_end between '%1' and '%2'").arg(q("2024-03-01"), q("2024-03-31"))
        + QStringLiteral(" and inout_category = '%1'").arg(q("货款"));
    QTest::newRow("receivable: periods ending in the range, of the kind")
        << "receivable" << receivableQuery << true
        << QStringList{receivables.at(0), receivables.at(1), receivables.at(2), receivables.at(6)};
    QTest::newRow("receivable: query a company")
        << "receivable" << receivableQuery + QStringLiteral(" and company = '%1'").arg(q("21-东方超市")) << true
        << QStringList(receivables.mid(0, 2));
    QTest::newRow("receivable: query an amount")
        << "receivable" << receivableQuery + QStringLiteral(" and cast(money as int) = %1").arg(n(300)) << true
        << QStringList(receivables.mid(2, 1));
    QTest::newRow("receivable: query the unsettled commission")
        << "receivable" << receivableQuery + QStringLiteral(" and date_commision = '%1'").arg(q("2001-01-01")) << true
        << QStringList{receivables.at(1), receivables.at(6)};
    QTest::newRow("receivable: the entry period after a save")
        << "receivable"
        << QStringLiteral("inout_category='%1' and date_begin='%2' and date_end='%3'").arg(q("货款"), q("2024-03-01"), q("2024-03-31"))
        << false << QStringList{receivables.at(2), receivables.at(6)};

    const QStringList payments = {
        "2024-03-01|2024-03-15|11-华联纸业|110|3|3|0||货款|clerk|manager|1",
        "2024-03-01|2024-03-31|12-晨光文具|210|4|5|0||货款|clerk||2",
        "2024-02-01|2024-02-29|13-农夫山泉|175|0|0|0|<NULL>|货款|manager||3",
        "2024-03-16|2024-03-31|12-晨光文具|20|0|0|0|21-东方超市|公司往来|clerk||4",
    };
    const QString paymentPeriod = QStringLiteral("date_end between '%1' and '%2'").arg(q("2024-03-01"), q("2024-03-31"));
    const QString paymentKind = QStringLiteral(" and inout_category = '%1'");
    QTest::newRow("payment: periods ending in the range, of the kind")
        << "payment" << paymentPeriod + paymentKind.arg(q("货款")) << true << QStringList(payments.mid(0, 2));
    QTest::newRow("payment: rows made from discounts")
        << "payment" << paymentPeriod + paymentKind.arg(q("公司往来")) << true << QStringList(payments.mid(3, 1));
    QTest::newRow("payment: query a company")
        << "payment" << paymentPeriod + paymentKind.arg(q("货款")) + QStringLiteral(" and company = '%1'").arg(q("12-晨光文具"))
        << true << QStringList(payments.mid(1, 1));
    QTest::newRow("payment: query an amount")
        << "payment" << paymentPeriod + paymentKind.arg(q("货款")) + QStringLiteral(" and cast(money as int) = %1").arg(n(110))
        << true << QStringList(payments.mid(0, 1));
    QTest::newRow("payment: the entry period after a save")
        << "payment"
        << QStringLiteral("inout_category='%1' and date_begin='%2' and date_end='%3'").arg(q("货款"), q("2024-03-01"), q("2024-03-31"))
        << false << QStringList(payments.mid(1, 1));
}

void tst_statements_finance::registerFilters()
{
    QFETCH(QString, table);
    QFETCH(QString, filter);
    QFETCH(bool, sorted);
    QFETCH(QStringList, expected);

    QString error;
    QVERIFY2(m_fixture.forReading(&error), qPrintable(error));
    QSqlTableModel model(nullptr, QSqlDatabase::database());
    model.setTable(table);
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    model.setFilter(filter);
    if (sorted) {
        model.setSort(0, Qt::AscendingOrder);
    }
    QVERIFY2(model.select(), qPrintable(model.query().lastQuery() + QStringLiteral("\n  -> ") + model.lastError().text()));
    const QString failure = ResultRows::mismatch(ResultRows::fromModel(&model), expected, false);
    QVERIFY2(failure.isEmpty(), qPrintable(model.query().lastQuery() + QLatin1Char('\n') + failure));
}

void tst_statements_finance::writes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QStringList>("expected");

    // The import's insert names only the period, the company, the amount and
    // the kind; the rest are the defaults the registers rely on.
    QTest::newRow("receivable: imported row")
        << QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('%1','%2','%3','%4','%5','%6')")
               .arg(q("2024-05-01"), q("2024-05-31"), q("22-西城商店"), q("0"), q("货款"), q("clerk"))
        << QString::fromLatin1(receivableColumns) + QStringLiteral(" where id>7")
        << QStringList{"2024-05-01|2024-05-31|22-西城商店|0|0|0|0|0|<NULL>|2001-01-01|货款|clerk||8"};
    QTest::newRow("receivable: discount turned into a payable")
        << QStringLiteral("insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('%1','%2','%3','%4','%5','%6','%7')")
               .arg(q("2024-03-01"), q("2024-03-31"), q("13-农夫山泉"), q("8.00"), q("22-西城商店"), q("公司往来"), q("clerk"))
        << QStringLiteral("select date_begin,date_end,company,money,invoice_id,info_id,interest,remarks,inout_category,operator,checker,id from payment where id>4")
        << QStringList{"2024-03-01|2024-03-31|13-农夫山泉|8|0|0|0|22-西城商店|公司往来|clerk||5"};
}

void tst_statements_finance::writes()
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

// Writes that SQL Server refuses must fail here too, leaving the table as it
// was, or a form that works on the embedded engine would fail on the server.
void tst_statements_finance::refusedWrites_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("count");

    // The import takes the dates from the file as they stand.
    QTest::newRow("receivable: imported row with an impossible date")
        << QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('%1','%2','%3','%4','%5','%6')")
               .arg(q("2024-02-01"), q("2024-02-30"), q("22-西城商店"), q("10"), q("货款"), q("clerk"))
        << QStringLiteral("select count(*) from receivable where company='22-西城商店' and money=10");
    QTest::newRow("receivable: imported row with an amount that is not a number")
        << QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('%1','%2','%3','%4','%5','%6')")
               .arg(q("2024-02-01"), q("2024-02-29"), q("22-西城商店"), q("12,5"), q("货款"), q("clerk"))
        << QStringLiteral("select count(*) from receivable where company='22-西城商店' and date_end='2024-02-29'");
}

void tst_statements_finance::refusedWrites()
{
    QFETCH(QString, statement);
    QFETCH(QString, count);

    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    ResultRows::query(statement, &error);
    QVERIFY2(!error.isEmpty(), qPrintable(QStringLiteral("accepted: ") + statement));
    const QString failure = ResultRows::check(count, QStringList{"0"}, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_finance::invoiceAddedInTheRegisterIsStored()
{
    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    QSqlTableModel model(nullptr, QSqlDatabase::database());
    QVERIFY(openModel(model, QStringLiteral("invoice"), QStringLiteral("date = '2024-03-26'")));

    const int row = model.rowCount();
    QVERIFY(model.insertRow(row));
    const QStringList values = {"2024-03-26", "FP005", "88.80", "22-西城商店", "销项", "clerk"};
    for (int column = 0; column < values.size(); ++column) {
        QVERIFY(model.setData(model.index(row, column), values.at(column)));
    }
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));

    const QString failure = ResultRows::check(
        QStringLiteral("select date,invoice_no,money,company,jin_xiao,input,checker,id from invoice where id>6"),
        QStringList{"2024-03-26|FP005|88.8|22-西城商店|销项|clerk||7"}, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_finance::auditStampsEveryRowShown()
{
    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    QSqlTableModel model(nullptr, QSqlDatabase::database());
    QVERIFY(openModel(model, QStringLiteral("invoice"),
                      QStringLiteral("date between '2024-03-01' and '2024-03-31' and jin_xiao = '销项'")));
    QCOMPARE(model.rowCount(), 4);

    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.data(model.index(row, 6)).toString().isEmpty()) {
            QVERIFY(model.setData(model.index(row, 6), QStringLiteral("auditor")));
        }
    }
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));

    const QString failure = ResultRows::check(
        QStringLiteral("select id,checker from invoice order by id"),
        QStringList{"1|manager", "2|auditor", "3|", "4|manager", "5|auditor", "6|auditor"}, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_finance::receivableAppendedInTheRegisterTakesTheDefaults()
{
    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    QSqlTableModel model(nullptr, QSqlDatabase::database());
    QVERIFY(openModel(model, QStringLiteral("receivable"),
                      QStringLiteral("date_end between '2024-05-01' and '2024-05-31' and inout_category = '货款'")));

    // The columns the generate action fills: period, customer, amount,
    // remark, kind and the clerk.
    const int row = model.rowCount();
    QVERIFY(model.insertRow(row));
    const QList<QPair<int, QString>> values = {
        {0, "2024-05-01"}, {1, "2024-05-31"}, {2, "21-东方超市"}, {3, "650.00"},
        {8, "五月"},       {10, "货款"},      {11, "clerk"},
    };
    for (const auto &value : values) {
        QVERIFY(model.setData(model.index(row, value.first), value.second));
    }
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));

    const QString failure = ResultRows::check(
        QString::fromLatin1(receivableColumns) + QStringLiteral(" where id>7"),
        QStringList{"2024-05-01|2024-05-31|21-东方超市|650|0|0|0|0|五月|2001-01-01|货款|clerk||8"}, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_finance::bindingEditedInTheRegisterIsWrittenToItsRow()
{
    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    QSqlTableModel model(nullptr, QSqlDatabase::database());
    QVERIFY(openModel(model, QStringLiteral("receivable"),
                      QStringLiteral("inout_category='货款' and date_begin='2024-03-01' and date_end='2024-03-31'")));
    const int row = rowOfId(model, 7);
    QVERIFY(row >= 0);

    // Discount, invoice and receipt bound, interest worked out, commission
    // settled: the cells a clerk edits before the audit.
    const QList<QPair<int, QVariant>> values = {
        {4, QStringLiteral("0.50")}, {5, 6}, {6, 6}, {7, 12.34}, {9, QStringLiteral("2024-04-20")},
    };
    for (const auto &value : values) {
        QVERIFY(model.setData(model.index(row, value.first), value.second));
    }
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));

    const QString failure = ResultRows::check(
        QString::fromLatin1(receivableColumns) + QStringLiteral(" where id in (3,7) order by id"),
        QStringList{"2024-03-01|2024-03-31|22-西城商店|300|8|2|2|0||2024-04-02|货款|clerk||3",
                    "2024-03-01|2024-03-31|23-南山配送站|0|0.5|6|6|12.34|<NULL>|2024-04-20|货款|clerk||7"},
        true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_finance::rowDeletedInTheRegisterIsRemoved()
{
    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    QSqlTableModel model(nullptr, QSqlDatabase::database());
    QVERIFY(openModel(model, QStringLiteral("invoice"), QStringLiteral("date = '2024-03-05'")));
    const int row = rowOfId(model, 2);
    QVERIFY(row >= 0);

    QVERIFY(model.removeRow(row));
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));

    const QString failure = ResultRows::check(QStringLiteral("select id from invoice order by id"),
                                              QStringList{"1", "3", "4", "5", "6"}, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

JXC_STATEMENT_TEST_MAIN(tst_statements_finance)
#include "tst_statements_finance.moc"
