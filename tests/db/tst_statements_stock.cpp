// The statements of the stock documents and stock reports (purchar, sell,
// printdb1, printdb2, inventory, erp, profit, purchar_info), run on the
// embedded engine against the rows of StatementFixture.

#include "db/sqltext.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QTest>

using namespace StatementText;

class tst_statements_stock : public QObject
{
    Q_OBJECT

private slots:
    void orders_data();
    void orders();
    void reports_data();
    void reports();
    void writes_data();
    void writes();

private:
    void addColumns();
    void compareRows();

    FixtureDb m_fixture;
};

void tst_statements_stock::addColumns()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("ordered");
}

void tst_statements_stock::compareRows()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    QFETCH(bool, ordered);
    const QString failure = ResultRows::checkRead(m_fixture, statement, expected, ordered);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

// Purchase orders, delivery notes and their printed forms.
void tst_statements_stock::orders_data()
{
    addColumns();

    // purchar: numbering counts the supplier's lines and orders of the day.
    const QString lineCount = QStringLiteral("select count(0) from purchar where date='%1' and supplier_id=%2 ");
    QTest::newRow("purchar: lines of the supplier on the day")
        << lineCount.arg(q("2024-03-05"), n(11)) << QStringList{"4"} << true;
    QTest::newRow("purchar: no line on the day")
        << lineCount.arg(q("2024-03-06"), n(11)) << QStringList{"0"} << true;
    QTest::newRow("purchar: order numbers of the day")
        << QStringLiteral("select purchar_no from purchar where date='%1' and supplier_id=%2 group by purchar_no").arg(q("2024-03-05"), n(11))
        << QStringList{"cgd20240305-11-1", "cgd20240305-11-2", "cgd20240305-11-5"} << false;

    // purchar: the order list, its totals rounded half away from zero
    // (1.50 x 3.35 = 5.025 gives 5.03), the clerk the greatest of the lines',
    // no supplier text for a supplier that is not in the master table.
    const QString allOrders = QStringLiteral("select t1.purchar_no,t1.date,cast(t1.supplier_id as varchar)+'-'+t2.supplier_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select purchar_no,convert(varchar(10),max(date),20) as date,max(supplier_id) as supplier_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from purchar where date between '%1' and '%2' group by purchar_no) t1 left join supplier t2 on t1.supplier_id=t2.supplier_id");
    const QString supplierOrders = QStringLiteral("select t1.purchar_no,t1.date,cast(t1.supplier_id as varchar)+'-'+t2.supplier_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select purchar_no,convert(varchar(10),max(date),20) as date,max(supplier_id) as supplier_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from purchar where date between '%1' and '%2' and supplier_id=%3 group by purchar_no) t1 left join supplier t2 on t1.supplier_id=t2.supplier_id");
    QTest::newRow("purchar: orders of all suppliers")
        << allOrders.arg(q("2024-03-01"), q("2024-03-10"))
        << QStringList{"cgd20240301-13-1|2024-03-01|13-农夫山泉|1|175.00|clerk",
                       "cgd20240305-11-1|2024-03-05|11-华联纸业|2|110.00|manager",
                       "cgd20240305-11-2|2024-03-05|11-华联纸业|1|36.00|clerk",
                       "cgd20240305-11-5|2024-03-05|11-华联纸业|1|2.00|clerk",
                       "cgd20240305-12-1|2024-03-05|12-晨光文具|1|210.00|clerk",
                       "cgd20240310-12-1|2024-03-10|12-晨光文具|2|12.50|manager"}
        << false;
    QTest::newRow("purchar: order of an unknown supplier, total rounded half up")
        << allOrders.arg(q("2024-03-11"), q("2024-03-12"))
        << QStringList{"cgd20240312-99-1|2024-03-12|<NULL>|1|5.03|clerk"} << false;
    QTest::newRow("purchar: orders of one supplier")
        << supplierOrders.arg(q("2024-02-01"), q("2024-03-31"), n(11))
        << QStringList{"cgd20240225-11-1|2024-02-25|11-华联纸业|1|100.00|clerk",
                       "cgd20240305-11-1|2024-03-05|11-华联纸业|2|110.00|manager",
                       "cgd20240305-11-2|2024-03-05|11-华联纸业|1|36.00|clerk",
                       "cgd20240305-11-5|2024-03-05|11-华联纸业|1|2.00|clerk"}
        << false;
    QTest::newRow("purchar: no order in the period")
        << supplierOrders.arg(q("2024-03-06"), q("2024-03-09"), n(11)) << QStringList{} << false;

    const QString orderLines = QStringLiteral("select t1.food_id,t2.food_name,t2.unit,t1.quantity,t1.price,t1.quantity*t1.price,t1.remarks,t1.id from purchar t1 left join food_info t2 on t1.food_id=t2.food_id where t1.purchar_no='%1'");
    QTest::newRow("purchar: lines of an order")
        << orderLines.arg(q("cgd20240305-11-1"))
        << QStringList{"101|打印纸|箱|10|5|50|首批|1", "102|签字笔|盒|20|3|60||2"} << false;
    QTest::newRow("purchar: line of goods missing from the master table")
        << orderLines.arg(q("cgd20240305-11-5"))
        << QStringList{"999|<NULL>|<NULL>|2|1|2|样品|9"} << false;

    // sell
    QTest::newRow("sell: lines of the customer on the day")
        << QStringLiteral("select count(0) from sell where date='%1' and customer_id=%2 ").arg(q("2024-03-05"), n(21))
        << QStringList{"2"} << true;
    QTest::newRow("sell: note numbers of the day")
        << QStringLiteral("select sell_no from sell where date='%1' and customer_id=%2 group by sell_no").arg(q("2024-03-05"), n(21))
        << QStringList{"shd20240305-21-1"} << false;
    const QString allNotes = QStringLiteral("select t1.sell_no,t1.date,cast(t1.customer_id as varchar)+'-'+t2.customer_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select sell_no,convert(varchar(10),max(date),20) as date,max(customer_id) as customer_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from sell where date between '%1' and '%2' group by sell_no) t1 left join customer t2 on t1.customer_id=t2.customer_id");
    const QString customerNotes = QStringLiteral("select t1.sell_no,t1.date,cast(t1.customer_id as varchar)+'-'+t2.customer_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select sell_no,convert(varchar(10),max(date),20) as date,max(customer_id) as customer_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from sell where date between '%1' and '%2' and customer_id=%3 group by sell_no) t1 left join customer t2 on t1.customer_id=t2.customer_id");
    QTest::newRow("sell: notes of all customers")
        << allNotes.arg(q("2024-03-01"), q("2024-03-31"))
        << QStringList{"shd20240305-21-1|2024-03-05|21-东方超市|2|120.00|clerk",
                       "shd20240306-22-1|2024-03-06|22-西城商店|1|40.00|manager",
                       "shd20240310-98-1|2024-03-10|<NULL>|1|16.00|clerk",
                       "shd20240320-24-1|2024-03-20|24-北湖酒店|1|50.00|clerk"}
        << false;
    QTest::newRow("sell: notes of one customer")
        << customerNotes.arg(q("2024-02-01"), q("2024-03-31"), n(21))
        << QStringList{"shd20240228-21-1|2024-02-28|21-东方超市|1|27.00|clerk",
                       "shd20240305-21-1|2024-03-05|21-东方超市|2|120.00|clerk"}
        << false;
    QTest::newRow("sell: lines of a note")
        << QStringLiteral("select t1.food_id,t2.food_name,t2.unit,t1.quantity,t1.price,t1.quantity*t1.price,t1.remarks,t1.id from sell t1 left join food_info t2 on t1.food_id=t2.food_id where t1.sell_no='%1'").arg(q("shd20240305-21-1"))
        << QStringList{"101|打印纸|箱|10|9|90||1", "103|矿泉水|箱|1|30|30|赠品|2"} << false;

    // printdb2, printdb1
    const QString printPurchase = QStringLiteral("select t1.food_id,t2.food_name,t1.quantity,t1.quantity,t2.unit,t1.price,t1.quantity*t1.price,remarks from purchar t1 left join food_info t2 on t1.food_id=t2.food_id  where t1.purchar_no='%1'");
    QTest::newRow("printdb2: lines of an order")
        << printPurchase.arg(q("cgd20240312-99-1")) << QStringList{"102|签字笔|1.5|1.5|盒|3.35|5.025|"} << false;
    QTest::newRow("printdb2: line of missing goods")
        << printPurchase.arg(q("cgd20240305-11-5")) << QStringList{"999|<NULL>|2|2|<NULL>|1|2|样品"} << false;
    QTest::newRow("printdb2: order never saved")
        << printPurchase.arg(q("cgd20240305-11-6")) << QStringList{} << false;
    QTest::newRow("printdb1: lines of a note")
        << QStringLiteral("select t1.food_id,t2.food_name,t1.quantity,t1.quantity,t2.unit,t1.price,t1.quantity*t1.price,remarks from sell t1 left join food_info t2 on t1.food_id=t2.food_id  where t1.sell_no='%1'").arg(q("shd20240305-21-1"))
        << QStringList{"101|打印纸|10|10|箱|9|90|", "103|矿泉水|1|1|箱|30|30|赠品"} << false;
}

void tst_statements_stock::orders()
{
    compareRows();
}

// The profit/loss register and the three stock reports. Cost prices: 打印纸
// 6.50 on 2024-03-05 (10 at 5.00 and 30 at 7.00), 1.25 on 2024-03-10, else
// 5.00; 签字笔 2.50 on 2024-03-10, else 3.20; 矿泉水 18.00 on 2024-03-05
// (bought at 18.00), 17.50 on 2024-03-01.
void tst_statements_stock::reports_data()
{
    addColumns();

    // inventory: cost price of a new correction.
    const QString costPrice = QStringLiteral("select isnull(t2.price,t1.purchar_price) from (select food_id,purchar_price from food_info where food_id=%2) t1 left join (select food_id,sum(quantity*price)/sum(quantity) as price from purchar where date='%1' and food_id=%2 group by food_id) t2 on t1.food_id=t2.food_id");
    QTest::newRow("inventory: weighted average of the day's purchases")
        << costPrice.arg(q("2024-03-05"), n(101)) << QStringList{"6.5"} << true;
    QTest::newRow("inventory: single purchase of the day")
        << costPrice.arg(q("2024-03-10"), n(101)) << QStringList{"1.25"} << true;
    QTest::newRow("inventory: purchase price on a day without purchases")
        << costPrice.arg(q("2024-03-06"), n(101)) << QStringList{"5"} << true;
    QTest::newRow("inventory: goods never bought")
        << costPrice.arg(q("2024-03-05"), n(104)) << QStringList{"60"} << true;
    QTest::newRow("inventory: goods missing from the master table")
        << costPrice.arg(q("2024-03-05"), n(999)) << QStringList{} << true;

    // inventory: loading the corrections of a period.
    const QString corrections = QStringLiteral("select convert(varchar(10),t1.date,20),t1.food_id,t4.food_name,t4.unit,t1.quantity,isnull(t3.price,t2.purchar_price),t1.quantity*isnull(t3.price,t2.purchar_price),t1.remarks,t1.input,t1.id  from (select date,food_id,quantity,remarks,input,id from inventory where date between '%1' and '%2') t1  left join (select food_id,purchar_price from food_info ) t2 on t1.food_id=t2.food_id left join (select date,food_id,sum(quantity*price)/sum(quantity) as price from purchar  group by date,food_id) t3 on convert(varchar(10),t1.date,20)+cast(t1.food_id as varchar)=convert(varchar(10),t3.date,20)+cast(t3.food_id as varchar) left join food_info t4 on t1.food_id=t4.food_id order by t1.date,t1.food_id");
    QTest::newRow("inventory: corrections of March")
        << corrections.arg(q("2024-03-01"), q("2024-03-31"))
        << QStringList{"2024-03-05|101|打印纸|箱|-2|6.5|-13|破损|clerk|1",
                       "2024-03-08|102|签字笔|盒|5|3.2|16|盘盈|clerk|2",
                       "2024-03-10|101|打印纸|箱|1|1.25|1.25||manager|4"}
        << true;
    QTest::newRow("inventory: period holding one correction, no purchase that day")
        << corrections.arg(q("2024-02-01"), q("2024-02-29"))
        << QStringList{"2024-02-20|103|矿泉水|箱|-1|18|-18||manager|3"} << true;

    // erp: opening stock, purchases, deliveries, gains/losses, closing stock.
    const QString stock = QStringLiteral("select t1.food_id,t1.food_name,t1.unit,isnull(t2.quantity,0)-isnull(t3.quantity,0)+isnull(t4.quantity,0),isnull(t5.quantity,0),isnull(t6.quantity,0),isnull(t7.quantity,0),isnull(t2.quantity,0)-isnull(t3.quantity,0)+isnull(t4.quantity,0)+isnull(t5.quantity,0)-isnull(t6.quantity,0)+isnull(t7.quantity,0) from food_info t1 left join (select food_id,sum(quantity) as quantity from purchar where date<'%1' group by food_id) t2 on t1.food_id=t2.food_id left join (select food_id,sum(quantity) as quantity from sell where date<'%1' group by food_id) t3 on t1.food_id=t3.food_id left join (select food_id,sum(quantity) as quantity from inventory where date<'%1' group by food_id) t4 on t1.food_id=t4.food_id     left join (select food_id,sum(quantity) as quantity from purchar where date between '%1' and '%2' group by food_id) t5 on t1.food_id=t5.food_id left join (select food_id,sum(quantity) as quantity from sell where date between '%1' and '%2' group by food_id) t6 on t1.food_id=t6.food_id left join (select food_id,sum(quantity) as quantity from inventory where date between '%1' and '%2' group by food_id) t7 on t1.food_id=t7.food_id where 1=1 %3 %4  order by t1.food_id");
    const QString stockCategory = QStringLiteral(" and t1.category='%1'");
    const QString stockGoods = QStringLiteral(" and t1.food_id=%1");
    QTest::newRow("erp: every goods item, also without movement")
        << stock.arg(q("2024-03-05"), q("2024-03-31"), QString(), QString())
        << QStringList{"101|打印纸|箱|17|44|14|-1|46", "102|签字笔|盒|0|24.5|7|5|22.5",
                       "103|矿泉水|箱|9|2|1|0|10", "104|咖啡豆|袋|0|0|0|0|0"}
        << true;
    QTest::newRow("erp: category filter")
        << stock.arg(q("2024-03-05"), q("2024-03-31"), stockCategory.arg(q("食品")), QString())
        << QStringList{"103|矿泉水|箱|9|2|1|0|10"} << true;
    QTest::newRow("erp: goods filter")
        << stock.arg(q("2024-03-05"), q("2024-03-31"), QString(), stockGoods.arg(n(102)))
        << QStringList{"102|签字笔|盒|0|24.5|7|5|22.5"} << true;
    QTest::newRow("erp: goods outside the category")
        << stock.arg(q("2024-03-05"), q("2024-03-31"), stockCategory.arg(q("食品")), stockGoods.arg(n(101)))
        << QStringList{} << true;
    QTest::newRow("erp: reversed period keeps the closing stock at the opening stock")
        << stock.arg(q("2024-03-31"), q("2024-03-05"), QString(), QString())
        << QStringList{"101|打印纸|箱|46|0|0|0|46", "102|签字笔|盒|22.5|0|0|0|22.5",
                       "103|矿泉水|箱|10|0|0|0|10", "104|咖啡豆|袋|0|0|0|0|0"}
        << true;

    // profit: deliveries with sales and cost price.
    const QString profit = QStringLiteral("select convert(varchar(10),t1.date,20),cast(t1.customer_id as varchar)+'-'+t5.customer_name,t1.food_id,t4.food_name,t4.unit,t1.quantity,t1.price,isnull(t3.price,t2.purchar_price)  from (select date,customer_id,food_id,quantity,price from sell where date between '%1' and '%2') t1  left join (select food_id,purchar_price from food_info ) t2 on t1.food_id=t2.food_id left join (select date,food_id,sum(quantity*price)/sum(quantity) as price from purchar  group by date,food_id) t3 on convert(varchar(10),t1.date,20)+cast(t1.food_id as varchar)=convert(varchar(10),t3.date,20)+cast(t3.food_id as varchar) left join food_info t4 on t1.food_id=t4.food_id left join customer t5 on t1.customer_id=t5.customer_id where 1=1 %3 %4 %5 %6 order by t1.food_id,t1.customer_id,t1.date");
    const QString profitCustomer = QStringLiteral(" and t1.customer_id=%1");
    const QString profitGoods = QStringLiteral(" and t1.food_id=%1");
    const QString profitCategory = QStringLiteral(" and t4.category='%1'");
    const QString profitArea = QStringLiteral(" and t5.area='%1'");
    QTest::newRow("profit: deliveries of March")
        << profit.arg(q("2024-03-01"), q("2024-03-31"), QString(), QString(), QString(), QString())
        << QStringList{"2024-03-05|21-东方超市|101|打印纸|箱|10|9|6.5",
                       "2024-03-20|24-北湖酒店|101|打印纸|箱|4|12.5|5",
                       "2024-03-06|22-西城商店|102|签字笔|盒|5|8|3.2",
                       "2024-03-10|<NULL>|102|签字笔|盒|2|8|2.5",
                       "2024-03-05|21-东方超市|103|矿泉水|箱|1|30|18"}
        << true;
    QTest::newRow("profit: customer filter")
        << profit.arg(q("2024-03-01"), q("2024-03-31"), profitCustomer.arg(n(21)), QString(), QString(), QString())
        << QStringList{"2024-03-05|21-东方超市|101|打印纸|箱|10|9|6.5",
                       "2024-03-05|21-东方超市|103|矿泉水|箱|1|30|18"}
        << true;
    QTest::newRow("profit: goods filter")
        << profit.arg(q("2024-03-01"), q("2024-03-31"), QString(), profitGoods.arg(n(102)), QString(), QString())
        << QStringList{"2024-03-06|22-西城商店|102|签字笔|盒|5|8|3.2",
                       "2024-03-10|<NULL>|102|签字笔|盒|2|8|2.5"}
        << true;
    QTest::newRow("profit: category filter")
        << profit.arg(q("2024-03-01"), q("2024-03-31"), QString(), QString(), profitCategory.arg(q("食品")), QString())
        << QStringList{"2024-03-05|21-东方超市|103|矿泉水|箱|1|30|18"} << true;
    QTest::newRow("profit: area and category filters leave out unknown customers")
        << profit.arg(q("2024-03-01"), q("2024-03-31"), QString(), QString(), profitCategory.arg(q("办公")), profitArea.arg(q("A")))
        << QStringList{"2024-03-05|21-东方超市|101|打印纸|箱|10|9|6.5",
                       "2024-03-20|24-北湖酒店|101|打印纸|箱|4|12.5|5"}
        << true;

    // purchar_info: purchase lines of a period.
    const QString purchases = QStringLiteral("select convert(varchar(10),t1.date,20),cast(t1.supplier_id as varchar)+'-'+t5.supplier_name,t1.food_id,t4.food_name,t4.unit,t1.quantity,t1.price,t1.quantity*t1.price  from (select date,supplier_id,food_id,quantity,price from purchar where date between '%1' and '%2') t1   left join food_info t4 on t1.food_id=t4.food_id left join supplier t5 on t1.supplier_id=t5.supplier_id where 1=1 %3 %4 %5 %6 order by t1.food_id,t1.supplier_id,t1.date");
    const QString purchasesSupplier = QStringLiteral(" and t1.supplier_id=%1");
    const QString purchasesGoods = QStringLiteral(" and t1.food_id=%1");
    const QString purchasesCategory = QStringLiteral(" and t4.category='%1'");
    const QString purchasesSupplierCategory = QStringLiteral(" and t5.category='%1'");
    QTest::newRow("purchar_info: purchases of March")
        << purchases.arg(q("2024-03-01"), q("2024-03-31"), QString(), QString(), QString(), QString())
        << QStringList{"2024-03-05|11-华联纸业|101|打印纸|箱|10|5|50",
                       "2024-03-05|12-晨光文具|101|打印纸|箱|30|7|210",
                       "2024-03-10|12-晨光文具|101|打印纸|箱|4|1.25|5",
                       "2024-03-05|11-华联纸业|102|签字笔|盒|20|3|60",
                       "2024-03-10|12-晨光文具|102|签字笔|盒|3|2.5|7.5",
                       "2024-03-12|<NULL>|102|签字笔|盒|1.5|3.35|5.025",
                       "2024-03-05|11-华联纸业|103|矿泉水|箱|2|18|36",
                       "2024-03-01|13-农夫山泉|103|矿泉水|箱|10|17.5|175",
                       "2024-03-05|11-华联纸业|999|<NULL>|<NULL>|2|1|2"}
        << true;
    QTest::newRow("purchar_info: supplier filter")
        << purchases.arg(q("2024-03-01"), q("2024-03-31"), purchasesSupplier.arg(n(12)), QString(), QString(), QString())
        << QStringList{"2024-03-05|12-晨光文具|101|打印纸|箱|30|7|210",
                       "2024-03-10|12-晨光文具|101|打印纸|箱|4|1.25|5",
                       "2024-03-10|12-晨光文具|102|签字笔|盒|3|2.5|7.5"}
        << true;
    QTest::newRow("purchar_info: goods filter")
        << purchases.arg(q("2024-03-01"), q("2024-03-31"), QString(), purchasesGoods.arg(n(103)), QString(), QString())
        << QStringList{"2024-03-05|11-华联纸业|103|矿泉水|箱|2|18|36",
                       "2024-03-01|13-农夫山泉|103|矿泉水|箱|10|17.5|175"}
        << true;
    QTest::newRow("purchar_info: supplier category leaves out unknown suppliers")
        << purchases.arg(q("2024-03-01"), q("2024-03-31"), QString(), QString(), QString(), purchasesSupplierCategory.arg(q("办公用品")))
        << QStringList{"2024-03-05|11-华联纸业|101|打印纸|箱|10|5|50",
                       "2024-03-05|12-晨光文具|101|打印纸|箱|30|7|210",
                       "2024-03-10|12-晨光文具|101|打印纸|箱|4|1.25|5",
                       "2024-03-05|11-华联纸业|102|签字笔|盒|20|3|60",
                       "2024-03-10|12-晨光文具|102|签字笔|盒|3|2.5|7.5",
                       "2024-03-05|11-华联纸业|103|矿泉水|箱|2|18|36",
                       "2024-03-05|11-华联纸业|999|<NULL>|<NULL>|2|1|2"}
        << true;
    QTest::newRow("purchar_info: supplier and goods category leave out unknown goods")
        << purchases.arg(q("2024-03-01"), q("2024-03-31"), purchasesSupplier.arg(n(11)), QString(), purchasesCategory.arg(q("办公")), QString())
        << QStringList{"2024-03-05|11-华联纸业|101|打印纸|箱|10|5|50",
                       "2024-03-05|11-华联纸业|102|签字笔|盒|20|3|60"}
        << true;
}

void tst_statements_stock::reports()
{
    compareRows();
}

void tst_statements_stock::writes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QStringList>("expected");

    const QString purcharInsert = QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('%1','%2',%3,%4,'%5','%6','%7','%8');");
    const QString purcharUpdate = QStringLiteral("update purchar set quantity='%1',price='%2',remarks='%3' where id=%4;");
    QTest::newRow("purchar: save a new order")
        << purcharInsert.arg(q("cgd20240305-11-6"), q("2024-03-05"), n(11), n(104), q("2.00"), q("60.00"), q("说明'引号"), q("clerk"))
               + purcharInsert.arg(q("cgd20240305-11-6"), q("2024-03-05"), n(11), n(101), q("-3.00"), q("5.00"), q(""), q("clerk"))
        << QStringLiteral("select purchar_no,date,supplier_id,food_id,quantity,price,remarks,input,id from purchar where id>10 order by id")
        << QStringList{"cgd20240305-11-6|2024-03-05|11|104|2|60|说明'引号|clerk|11",
                       "cgd20240305-11-6|2024-03-05|11|101|-3|5||clerk|12"};
    QTest::newRow("purchar: save new and changed lines of a stored order")
        << purcharUpdate.arg(q("12.00"), q("5.50"), q("改过"), n(1))
               + purcharInsert.arg(q("cgd20240305-11-1"), q("2024-03-05"), n(11), n(103), q("1.00"), q("18.00"), q(""), q("manager"))
        << QStringLiteral("select food_id,quantity,price,remarks,input,id from purchar where purchar_no='cgd20240305-11-1' order by id")
        << QStringList{"101|12|5.5|改过|clerk|1", "102|20|3||manager|2", "103|1|18||manager|11"};
    // decimal(18,2) rounds a written value half away from zero, also where
    // the binary double lies just below the half (2.005, 5.555).
    QTest::newRow("purchar: changed quantity and price are stored to the cent")
        << purcharUpdate.arg(q("2.005"), q("5.555"), q(""), n(1))
        << QStringLiteral("select quantity,price from purchar where id=1")
        << QStringList{"2.01|5.56"};
    QTest::newRow("purchar: delete a line")
        << QStringLiteral("delete from purchar where id=%1").arg(n(9))
        << QStringLiteral("select purchar_no from purchar where date='2024-03-05' and supplier_id=11 group by purchar_no order by purchar_no")
        << QStringList{"cgd20240305-11-1", "cgd20240305-11-2"};

    const QString sellInsert = QStringLiteral("insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('%1','%2',%3,%4,'%5','%6','%7','%8');");
    const QString sellUpdate = QStringLiteral("update sell set quantity='%1',price='%2',remarks='%3' where id=%4;");
    QTest::newRow("sell: save a new note")
        << sellInsert.arg(q("shd20240305-21-2"), q("2024-03-05"), n(21), n(102), q("6.00"), q("8.00"), q("补货"), q("clerk"))
        << QStringLiteral("select sell_no,date,customer_id,food_id,quantity,price,remarks,input,id from sell where id>6")
        << QStringList{"shd20240305-21-2|2024-03-05|21|102|6|8|补货|clerk|7"};
    QTest::newRow("sell: save new and changed lines of a stored note")
        << sellUpdate.arg(q("11.00"), q("9.50"), q("补一箱"), n(1))
               + sellInsert.arg(q("shd20240305-21-1"), q("2024-03-05"), n(21), n(104), q("1.00"), q("95.00"), q(""), q("manager"))
        << QStringLiteral("select food_id,quantity,price,remarks,id from sell where sell_no='shd20240305-21-1' order by id")
        << QStringList{"101|11|9.5|补一箱|1", "103|1|30|赠品|2", "104|1|95||7"};
    QTest::newRow("sell: delete a line")
        << QStringLiteral("delete from sell where id=%1").arg(n(2))
        << QStringLiteral("select id from sell where sell_no='shd20240305-21-1'")
        << QStringList{"1"};

    const QString inventoryInsert = QStringLiteral("insert into inventory (date,food_id,quantity,remarks,input) values ('%1',%2,'%3','%4','%5');");
    const QString inventoryUpdate = QStringLiteral("update inventory set quantity='%2',remarks='%3' where id=%1;");
    QTest::newRow("inventory: save new and loaded rows in one execution")
        << inventoryInsert.arg(q("2024-03-09"), n(102), q("-2"), q("丢失"), q("clerk"))
               + inventoryUpdate.arg(n(1), q("-3.00"), q("破损三箱"))
        << QStringLiteral("select date,food_id,quantity,remarks,input,id from inventory where id in (1,5) order by id")
        << QStringList{"2024-03-05|101|-3|破损三箱|clerk|1", "2024-03-09|102|-2|丢失|clerk|5"};
    QTest::newRow("inventory: delete")
        << QStringLiteral("delete from inventory where id=%1").arg(n(2))
        << QStringLiteral("select id from inventory order by id")
        << QStringList{"1", "3", "4"};
}

void tst_statements_stock::writes()
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

JXC_STATEMENT_TEST_MAIN(tst_statements_stock)
#include "tst_statements_stock.moc"
