// The statements of the tracking reports receivable_info and payment_info,
// with their optional clauses, run on the embedded engine against the rows of
// StatementFixture.
//
// Receivables of the kind 货款 on 2024-03-31: customer 21 has 500.00 open
// since 2024-03-31 (80.50 received), 24 has 800.00 open since 2024-02-29
// (31 days, over its 30-day cycle); the periods of 22 and 23 are settled.
// Payables: supplier 12 has 10.00 open, 13 has 175.00 open since 2024-02-29.

#include "db/sqltext.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QTest>

using namespace StatementText;

class tst_statements_tracking : public QObject
{
    Q_OBJECT

private slots:
    void receivableInfo_data();
    void receivableInfo();
    void paymentInfo_data();
    void paymentInfo();

private:
    void compareRows();

    FixtureDb m_fixture;
};

void tst_statements_tracking::compareRows()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    const QString failure = ResultRows::checkRead(m_fixture, statement, expected, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_tracking::receivableInfo_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");

    const QString summary = QStringLiteral("select cast(t4.customer_id as varchar)+'-'+t4.customer_name,ISNULL(t5.hz,0),ISNULL(t5.zq,t4.cycle),ISNULL(t5.ts,0),ISNULL(t5.zc,'正常'),isnull(t5.mx,''),isnull(t6.date,'2001-01-01'),isnull((case  when datediff(day,isnull(t6.date,'2001-01-01'),'%2')>30 then '否' else '是' end),'否'),isnull(t5.category,''),isnull(t4.accoutant,''),isnull(t4.area,'') from customer t4 left join  (select cast(t1.customer_id as varchar)+'-'+t1.customer_name as name,sum(isnull(t2.money,0)-isnull(t3.income,0)) as hz,max(t1.cycle) as zq,datediff(day,MIN(t2.date_end),'%1') as ts,cast(MIN(t2.date_begin) as varchar)+'至'+cast(MAX(t2.date_end) as varchar) as mx,(case  when (max(t1.cycle)-datediff(day,MIN(t2.date_end),'%2'))>0 then '正常' else '逾期' end) as zc,max(t2.inout_category) as category,max(t1.accoutant) as accoutant from customer t1 left join receivable t2 on (cast(t1.customer_id as varchar)+'-'+t1.customer_name)=t2.company left join info t3 on t2.info_id=t3.id where t2.inout_category='%3' and t2.date_end<='%4' and (isnull(t2.money,0)-isnull(t3.income,0))<>0 group by cast(t1.customer_id as varchar)+'-'+t1.customer_name) t5 on (cast(t4.customer_id as varchar)+'-'+t4.customer_name)=t5.name left join (select max(date) as date,company from info where income>0 group by company) t6 on (cast(t4.customer_id as varchar)+'-'+t4.customer_name)=t6.company where 1=1");
    const QString detail = QStringLiteral("select t1.company as company,t1.date_begin as date_begin,t1.date_end as date_end,t1.money as money,t1.discount,isnull(t2.money,0) as inv,isnull(t3.income,0) as cas,isnull(t3.date,'2001-01-01'),(case when datediff(day,t1.date_end,isnull(t3.date,'2001-01-01'))>=0 then datediff(day,t1.date_end,isnull(t3.date,'2001-01-01')) else 0 end),(case when (t1.money-isnull(t3.income,0))=0 then '是' else '否' end),t1.remarks,t1.inout_category as inout_category,t1.operator as operator from receivable t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id left join customer t4 on t1.company=(cast(t4.customer_id as varchar)+'-'+t4.customer_name) where t1.date_end <='%1' and t1.inout_category='%2'");
    const QString month = QStringLiteral("select CAST(t4.customer_id as varchar)+'-'+t4.customer_name,ISNULL(t5.date_begin,''),ISNULL(t5.date_end,''),ISNULL(t5.money,0),ISNULL(t5.inv,0),ISNULL(t5.cas,0),ISNULL(t5.inout_category,''),ISNULL(t5.operator,'') from customer t4 left join  (select t1.company as company,min(t1.date_begin) as date_begin,max(t1.date_end) as date_end,sum(t1.money) as money,isnull(sum(t2.money),0) as inv,isnull(sum(t3.income),0) as cas,max(t1.inout_category) as inout_category,max(t1.operator) as operator from receivable t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id where t1.date_end between '%1' and '%2' and t1.inout_category='%3' group by t1.company) t5 on (CAST(t4.customer_id as varchar)+'-'+t4.customer_name)=t5.company where 1=1");

    const QString cooperating = QStringLiteral(" and t4.cooperate=1");
    const QString notCooperating = QStringLiteral(" and t4.cooperate=0");
    const QString normal = QStringLiteral(" and ISNULL(t5.zc,'正常')='正常'");
    const QString overdue = QStringLiteral(" and ISNULL(t5.zc,'正常')='逾期'");
    const QString positiveBalance = QStringLiteral(" and ISNULL(t5.hz,0)>0");
    const QString positiveAmount = QStringLiteral(" and t1.money>0");
    const QString positiveReceipt = QStringLiteral(" and isnull(t3.income,0)>0");
    const QString area = QStringLiteral(" and t4.area='%1'");
    const QString customer = QStringLiteral(" and cast(t4.customer_id as varchar)+'-'+t4.customer_name = '%1'");
    const QString category = QStringLiteral(" and t4.category='%1'");
    const QString accountant = QStringLiteral(" and t4.accoutant='%1'");
    const QString settled = QStringLiteral(" and (case when (t1.money-isnull(t3.income,0))=0 then '是' else '否' end)='%1'");
    const QString byCustomer = QStringLiteral(" order by t4.customer_id");
    const QString byCustomerAndEnd = QStringLiteral(" order by t4.customer_id,t1.date_end");

    const QString day = QStringLiteral("2024-03-31");
    const QString kind = QStringLiteral("货款");
    const QString onDay = summary.arg(q(day), q(day), q(kind), q(day));

    // Summary
    const QStringList everyCustomer = {
        "21-东方超市|419.5|30|0|正常|2024-03-16至2024-03-31|2024-04-16|是|货款|王会计|A",
        "22-西城商店|0|45|0|正常||2024-03-28|是||李会计|C",
        "23-南山配送站|0|30|0|正常||2001-01-01|否||王会计|E",
        "24-北湖酒店|800|30|31|逾期|2024-02-01至2024-02-29|2001-01-01|否|货款||A",
    };
    QTest::newRow("summary: every customer, with or without open periods")
        << onDay + byCustomer << everyCustomer;
    QTest::newRow("summary: cooperating")
        << onDay + cooperating + byCustomer
        << QStringList{everyCustomer.at(0), everyCustomer.at(1), everyCustomer.at(3)};
    QTest::newRow("summary: not cooperating") << onDay + notCooperating + byCustomer << QStringList(everyCustomer.mid(2, 1));
    QTest::newRow("summary: normal") << onDay + normal + byCustomer << QStringList(everyCustomer.mid(0, 3));
    QTest::newRow("summary: overdue") << onDay + overdue + byCustomer << QStringList(everyCustomer.mid(3, 1));
    QTest::newRow("summary: outstanding above zero")
        << onDay + positiveBalance + byCustomer << QStringList{everyCustomer.at(0), everyCustomer.at(3)};
    QTest::newRow("summary: area")
        << onDay + area.arg(q("A")) + byCustomer << QStringList{everyCustomer.at(0), everyCustomer.at(3)};
    QTest::newRow("summary: customer") << onDay + customer.arg(q("22-西城商店")) + byCustomer << QStringList(everyCustomer.mid(1, 1));
    QTest::newRow("summary: customer text that names no customer")
        << onDay + customer.arg(q("22")) + byCustomer << QStringList{};
    QTest::newRow("summary: customer category") << onDay + category.arg(q("配送客户")) + byCustomer << QStringList(everyCustomer.mid(2, 1));
    QTest::newRow("summary: accountant")
        << onDay + accountant.arg(q("王会计")) + byCustomer << QStringList{everyCustomer.at(0), everyCustomer.at(2)};
    QTest::newRow("summary: clauses together")
        << onDay + cooperating + normal + positiveBalance + area.arg(q("A")) + accountant.arg(q("王会计")) + byCustomer
        << QStringList(everyCustomer.mid(0, 1));
    // A period that ended 30 days before the statistics date is overdue on a
    // 30-day cycle; 29 days is still normal.
    QTest::newRow("summary: 30 days open on a 30-day cycle is overdue")
        << summary.arg(q("2024-03-30"), q("2024-03-30"), q(kind), q("2024-03-30")) + overdue + byCustomer
        << QStringList{"24-北湖酒店|800|30|30|逾期|2024-02-01至2024-02-29|2001-01-01|否|货款||A"};
    QTest::newRow("summary: 29 days open on a 30-day cycle is normal")
        << summary.arg(q("2024-03-29"), q("2024-03-29"), q(kind), q("2024-03-29")) + customer.arg(q("24-北湖酒店")) + byCustomer
        << QStringList{"24-北湖酒店|800|30|29|正常|2024-02-01至2024-02-29|2001-01-01|否|货款||A"};
    // The last receipt of 22 came on 2024-03-28.
    QTest::newRow("summary: receipt 30 days before counts as recent")
        << summary.arg(q("2024-04-27"), q("2024-04-27"), q(kind), q("2024-04-27")) + customer.arg(q("22-西城商店")) + byCustomer
        << QStringList{"22-西城商店|0|45|0|正常||2024-03-28|是||李会计|C"};
    QTest::newRow("summary: receipt 31 days before does not")
        << summary.arg(q("2024-04-28"), q("2024-04-28"), q(kind), q("2024-04-28")) + customer.arg(q("22-西城商店")) + byCustomer
        << QStringList{"22-西城商店|0|45|0|正常||2024-03-28|否||李会计|C"};
    QTest::newRow("summary: another kind")
        << summary.arg(q("2024-03-31"), q("2024-03-31"), q("投标保证金"), q("2024-03-31")) + customer.arg(q("22-西城商店")) + byCustomer
        << QStringList{"22-西城商店|5000|45|60|逾期|2024-01-01至2024-01-31|2024-03-28|是|投标保证金|李会计|C"};

    // Detail
    const QStringList everyPeriod = {
        "21-东方超市|2024-03-01|2024-03-15|1000|0|1000|1000|2024-04-16|32|是||货款|clerk",
        "21-东方超市|2024-03-16|2024-03-31|500|20|100.75|80.5|2024-04-10|10|否|12-晨光文具|货款|clerk",
        "22-西城商店|2024-03-01|2024-03-31|300|8|560.5|300|2024-03-28|0|是||货款|clerk",
        "23-南山配送站|2024-03-01|2024-03-31|0|0|0|0|2001-01-01|0|是|<NULL>|货款|clerk",
        "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|0|2001-01-01|0|否|<NULL>|货款|manager",
    };
    const QString periods = detail.arg(q(day), q(kind));
    QTest::newRow("detail: every period ended by the date")
        << periods + byCustomerAndEnd << everyPeriod;
    QTest::newRow("detail: cooperating")
        << periods + cooperating + byCustomerAndEnd
        << QStringList{everyPeriod.at(0), everyPeriod.at(1), everyPeriod.at(2), everyPeriod.at(4)};
    QTest::newRow("detail: amount above zero")
        << periods + positiveAmount + byCustomerAndEnd
        << QStringList{everyPeriod.at(0), everyPeriod.at(1), everyPeriod.at(2), everyPeriod.at(4)};
    QTest::newRow("detail: receipt above zero") << periods + positiveReceipt + byCustomerAndEnd << QStringList(everyPeriod.mid(0, 3));
    QTest::newRow("detail: area")
        << periods + area.arg(q("A")) + byCustomerAndEnd
        << QStringList{everyPeriod.at(0), everyPeriod.at(1), everyPeriod.at(4)};
    QTest::newRow("detail: customer") << periods + customer.arg(q("22-西城商店")) + byCustomerAndEnd << QStringList(everyPeriod.mid(2, 1));
    QTest::newRow("detail: customer category") << periods + category.arg(q("配送客户")) + byCustomerAndEnd << QStringList(everyPeriod.mid(3, 1));
    QTest::newRow("detail: accountant")
        << periods + accountant.arg(q("王会计")) + byCustomerAndEnd
        << QStringList{everyPeriod.at(0), everyPeriod.at(1), everyPeriod.at(3)};
    QTest::newRow("detail: not settled")
        << periods + settled.arg(q("否")) + byCustomerAndEnd << QStringList{everyPeriod.at(1), everyPeriod.at(4)};
    QTest::newRow("detail: settled")
        << periods + settled.arg(q("是")) + byCustomerAndEnd
        << QStringList{everyPeriod.at(0), everyPeriod.at(2), everyPeriod.at(3)};
    QTest::newRow("detail: clauses together")
        << periods + cooperating + positiveAmount + area.arg(q("A")) + settled.arg(q("否")) + byCustomerAndEnd
        << QStringList{everyPeriod.at(1), everyPeriod.at(4)};
    QTest::newRow("detail: periods ending later are left out")
        << detail.arg(q("2024-03-15"), q(kind)) + byCustomerAndEnd
        << QStringList{everyPeriod.at(0), everyPeriod.at(4)};

    // Month: customers without periods in the month show empty dates.
    const QStringList march = {
        "21-东方超市|2024-03-01|2024-03-31|1500|1100.75|1080.5|货款|clerk",
        "22-西城商店|2024-03-01|2024-03-31|300|560.5|300|货款|clerk",
        "23-南山配送站|2024-03-01|2024-03-31|0|0|0|货款|clerk",
        "24-北湖酒店|||0|0|0||",
    };
    QTest::newRow("month: every customer")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + byCustomer << march;
    QTest::newRow("month: February of a leap year")
        << month.arg(q("2024-02-01"), q("2024-02-29"), q(kind)) + byCustomer
        << QStringList{"21-东方超市|||0|0|0||", "22-西城商店|||0|0|0||", "23-南山配送站|||0|0|0||",
                       "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|货款|manager"};
    QTest::newRow("month: not cooperating")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + notCooperating + byCustomer << QStringList(march.mid(2, 1));
    QTest::newRow("month: area, customer category and accountant")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + area.arg(q("C")) + category.arg(q("零售客户"))
               + accountant.arg(q("李会计")) + byCustomer
        << QStringList(march.mid(1, 1));
    QTest::newRow("month: customer")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + customer.arg(q("24-北湖酒店")) + byCustomer
        << QStringList(march.mid(3, 1));
}

void tst_statements_tracking::receivableInfo()
{
    compareRows();
}

void tst_statements_tracking::paymentInfo_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");

    const QString summary = QStringLiteral("select cast(t4.supplier_id as varchar)+'-'+t4.supplier_name,ISNULL(t5.hz,0),ISNULL(t5.zq,t4.cycle),ISNULL(t5.ts,0),ISNULL(t5.zc,'正常'),isnull(t5.category,''),isnull(t4.accoutant,'') from supplier t4 left join  (select cast(t1.supplier_id as varchar)+'-'+t1.supplier_name as name,sum(isnull(t2.money,0)-isnull(t3.pay,0)) as hz,max(t1.cycle) as zq,datediff(day,MIN(t2.date_end),'%1') as ts,(case  when (max(t1.cycle)-datediff(day,MIN(t2.date_end),'%2'))>0 then '正常' else '逾期' end) as zc,max(t2.inout_category) as category,max(t1.accoutant) as accoutant from supplier t1 left join payment t2 on (cast(t1.supplier_id as varchar)+'-'+t1.supplier_name)=t2.company left join info t3 on t2.info_id=t3.id where t2.inout_category='%3' and t2.date_end<='%4' and (isnull(t2.money,0)-isnull(t3.pay,0))<>0 group by cast(t1.supplier_id as varchar)+'-'+t1.supplier_name) t5 on (cast(t4.supplier_id as varchar)+'-'+t4.supplier_name)=t5.name where 1=1");
    const QString detail = QStringLiteral("select t1.company as company,t1.date_begin as date_begin,t1.date_end as date_end,t1.money as money,isnull(t2.money,0) as inv,isnull(t3.pay,0) as cas,t1.inout_category as inout_category,t1.operator as operator from payment t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id left join supplier t4 on t1.company=(cast(t4.supplier_id as varchar)+'-'+t4.supplier_name) where t1.date_end <='%1' and t1.inout_category='%2'");
    const QString month = QStringLiteral("select CAST(t4.supplier_id as varchar)+'-'+t4.supplier_name,ISNULL(t5.date_begin,''),ISNULL(t5.date_end,''),ISNULL(t5.money,0),ISNULL(t5.inv,0),ISNULL(t5.cas,0),ISNULL(t5.inout_category,''),ISNULL(t5.operator,'') from supplier t4 left join  (select t1.company as company,min(t1.date_begin) as date_begin,max(t1.date_end) as date_end,sum(t1.money) as money,isnull(sum(t2.money),0) as inv,isnull(sum(t3.pay),0) as cas,max(t1.inout_category) as inout_category,max(t1.operator) as operator from payment t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id where t1.date_end between '%1' and '%2' and t1.inout_category='%3' group by t1.company) t5 on (CAST(t4.supplier_id as varchar)+'-'+t4.supplier_name)=t5.company where 1=1");

    const QString cooperating = QStringLiteral(" and t4.cooperate=1");
    const QString notCooperating = QStringLiteral(" and t4.cooperate=0");
    const QString normal = QStringLiteral(" and ISNULL(t5.zc,'正常')='正常'");
    const QString overdue = QStringLiteral(" and ISNULL(t5.zc,'正常')='逾期'");
    const QString positiveBalance = QStringLiteral(" and ISNULL(t5.hz,0)>0");
    const QString category = QStringLiteral(" and t4.category='%1'");
    const QString supplier = QStringLiteral(" and cast(supplier_id as varchar)+'-'+t4.supplier_name = '%1'");
    const QString bySupplier = QStringLiteral(" order by t4.supplier_id");
    const QString bySupplierAndEnd = QStringLiteral(" order by t4.supplier_id,t1.date_end");

    const QString day = QStringLiteral("2024-03-31");
    const QString kind = QStringLiteral("货款");
    const QString onDay = summary.arg(q(day), q(day), q(kind), q(day));

    const QStringList everySupplier = {
        "11-华联纸业|0|30|0|正常||李会计",
        "12-晨光文具|10|45|0|正常|货款|王会计",
        "13-农夫山泉|175|30|31|逾期|货款|",
    };
    QTest::newRow("summary: every supplier, with or without open periods")
        << onDay + bySupplier << everySupplier;
    QTest::newRow("summary: cooperating") << onDay + cooperating + bySupplier << QStringList(everySupplier.mid(0, 2));
    QTest::newRow("summary: not cooperating") << onDay + notCooperating + bySupplier << QStringList(everySupplier.mid(2, 1));
    QTest::newRow("summary: normal") << onDay + normal + bySupplier << QStringList(everySupplier.mid(0, 2));
    QTest::newRow("summary: overdue") << onDay + overdue + bySupplier << QStringList(everySupplier.mid(2, 1));
    QTest::newRow("summary: outstanding above zero") << onDay + positiveBalance + bySupplier << QStringList(everySupplier.mid(1, 2));
    QTest::newRow("summary: supplier category") << onDay + category.arg(q("食品")) + bySupplier << QStringList(everySupplier.mid(2, 1));
    QTest::newRow("summary: supplier") << onDay + supplier.arg(q("12-晨光文具")) + bySupplier << QStringList(everySupplier.mid(1, 1));
    QTest::newRow("summary: payables made from discounts")
        << summary.arg(q(day), q(day), q("公司往来"), q(day)) + bySupplier
        << QStringList{"11-华联纸业|0|30|0|正常||李会计", "12-晨光文具|20|45|0|正常|公司往来|王会计",
                       "13-农夫山泉|0|30|0|正常||"};

    const QStringList everyPeriod = {
        "11-华联纸业|2024-03-01|2024-03-15|110|110|110|货款|clerk",
        "12-晨光文具|2024-03-01|2024-03-31|210|210|200|货款|clerk",
        "13-农夫山泉|2024-02-01|2024-02-29|175|0|0|货款|manager",
    };
    const QString periods = detail.arg(q(day), q(kind));
    QTest::newRow("detail: every period ended by the date") << periods + bySupplierAndEnd << everyPeriod;
    QTest::newRow("detail: cooperating") << periods + cooperating + bySupplierAndEnd << QStringList(everyPeriod.mid(0, 2));
    QTest::newRow("detail: supplier category") << periods + category.arg(q("办公用品")) + bySupplierAndEnd << QStringList(everyPeriod.mid(0, 2));
    QTest::newRow("detail: supplier") << periods + supplier.arg(q("13-农夫山泉")) + bySupplierAndEnd << QStringList(everyPeriod.mid(2, 1));

    const QStringList march = {
        "11-华联纸业|2024-03-01|2024-03-15|110|110|110|货款|clerk",
        "12-晨光文具|2024-03-01|2024-03-31|210|210|200|货款|clerk",
        "13-农夫山泉|||0|0|0||",
    };
    QTest::newRow("month: every supplier")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + bySupplier << march;
    QTest::newRow("month: supplier category")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + category.arg(q("食品")) + bySupplier << QStringList(march.mid(2, 1));
    QTest::newRow("month: cooperating supplier")
        << month.arg(q("2024-03-01"), q("2024-03-31"), q(kind)) + cooperating + supplier.arg(q("11-华联纸业")) + bySupplier
        << QStringList(march.mid(0, 1));
}

void tst_statements_tracking::paymentInfo()
{
    compareRows();
}

JXC_STATEMENT_TEST_MAIN(tst_statements_tracking)
#include "tst_statements_tracking.moc"
