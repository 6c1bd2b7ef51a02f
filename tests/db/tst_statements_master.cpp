// The statements of the master data forms (goods, customer, supplier,
// employee, category_supplier, category_customer) and the party and goods
// pick lists that the stock and report forms fill when they open, run on the
// embedded engine against the rows of StatementFixture.

#include "db/sqltext.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QTest>

using namespace StatementText;

class tst_statements_master : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void refusedWrites_data();
    void refusedWrites();

private:
    FixtureDb m_fixture;
};

void tst_statements_master::reads_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("ordered");

    // employee
    QTest::newRow("employee: count") << QStringLiteral("select count(*) from employee") << QStringList{"3"} << true;
    QTest::newRow("employee: list keeps the leading zeros of the numbers")
        << QStringLiteral("select employee_id,employee_name from employee")
        << QStringList{"001|张三", "002|李四", "003|赵六"} << false;
    const QString employeeTaken =
        QStringLiteral("select count(*) from employee where employee_id='%1' or employee_name='%2'");
    QTest::newRow("employee: name taken under another number")
        << employeeTaken.arg(q("004"), q("张三")) << QStringList{"1"} << true;
    QTest::newRow("employee: number taken")
        << employeeTaken.arg(q("001"), q("钱七")) << QStringList{"1"} << true;
    QTest::newRow("employee: number and name of two employees")
        << employeeTaken.arg(q("001"), q("李四")) << QStringList{"2"} << true;
    QTest::newRow("employee: number compared as text")
        << employeeTaken.arg(q("1"), q("钱七")) << QStringList{"0"} << true;
    const QString salesman = QStringLiteral("select salesman from customer where salesman='%1'");
    QTest::newRow("employee: salesman of two customers")
        << salesman.arg(q("张三")) << QStringList{"张三", "张三"} << false;
    QTest::newRow("employee: nobody's salesman") << salesman.arg(q("赵六")) << QStringList{} << false;
    QTest::newRow("commision: salesmen")
        << QStringLiteral("select employee_name from employee")
        << QStringList{"张三", "李四", "赵六"} << false;
    QTest::newRow("receivable_info: accountants in list order")
        << QStringLiteral("select employee_name from employee order by id")
        << QStringList{"张三", "李四", "赵六"} << true;

    // category_supplier, category_customer
    QTest::newRow("category_supplier: count")
        << QStringLiteral("select count(*) from category_supplier") << QStringList{"2"} << true;
    QTest::newRow("category_supplier: list")
        << QStringLiteral("select name from category_supplier") << QStringList{"办公用品", "食品"} << false;
    QTest::newRow("payment_info: supplier categories in list order")
        << QStringLiteral("select name from category_supplier order by id")
        << QStringList{"办公用品", "食品"} << true;
    const QString supplierCategoryTaken = QStringLiteral("select count(*) from category_supplier where name='%1'");
    QTest::newRow("category_supplier: name taken")
        << supplierCategoryTaken.arg(q("食品")) << QStringList{"1"} << true;
    QTest::newRow("category_supplier: name free")
        << supplierCategoryTaken.arg(q("文具")) << QStringList{"0"} << true;
    const QString supplierCategoryUsed = QStringLiteral("select id from supplier where category='%1'");
    QTest::newRow("category_supplier: used by two suppliers")
        << supplierCategoryUsed.arg(q("办公用品")) << QStringList{"1", "2"} << false;
    QTest::newRow("category_supplier: used by none")
        << supplierCategoryUsed.arg(q("文具")) << QStringList{} << false;

    QTest::newRow("category_customer: count")
        << QStringLiteral("select count(*) from category_customer") << QStringList{"3"} << true;
    QTest::newRow("category_customer: list")
        << QStringLiteral("select name from category_customer")
        << QStringList{"零售客户", "配送客户", "酒店客户"} << false;
    QTest::newRow("receivable_info: customer categories in list order")
        << QStringLiteral("select name from category_customer order by id")
        << QStringList{"零售客户", "配送客户", "酒店客户"} << true;
    const QString customerCategoryTaken = QStringLiteral("select count(*) from category_customer where name='%1'");
    QTest::newRow("category_customer: name taken")
        << customerCategoryTaken.arg(q("配送客户")) << QStringList{"1"} << true;
    QTest::newRow("category_customer: name free")
        << customerCategoryTaken.arg(q("批发客户")) << QStringList{"0"} << true;
    const QString customerCategoryUsed = QStringLiteral("select id from customer where category='%1'");
    QTest::newRow("category_customer: used by two customers")
        << customerCategoryUsed.arg(q("零售客户")) << QStringList{"1", "2"} << false;
    QTest::newRow("category_customer: used by none")
        << customerCategoryUsed.arg(q("批发客户")) << QStringList{} << false;

    // goods: unit and category boxes; a NULL category is a group of its own.
    QTest::newRow("goods: units")
        << QStringLiteral("select max(unit) from food_info group by unit")
        << QStringList{"箱", "盒", "袋"} << false;
    QTest::newRow("goods: categories")
        << QStringLiteral("select max(category) from food_info group by category")
        << QStringList{"<NULL>", "办公", "食品"} << false;

    // goods: count and list, fresh and with the search clause.
    const QString goodsCount = QStringLiteral("select count(0) from food_info where 1=1");
    const QString goodsList = QStringLiteral("select food_id,food_name,unit,customer_price,purchar_price,category,id from food_info where 1=1 ");
    const QString goodsOrder = QStringLiteral(" order by category,food_id");
    const QString goodsSearch = QStringLiteral(" and cast(food_id as varchar)+food_name like '%%%1%%'");
    QTest::newRow("goods: count when opened") << goodsCount << QStringList{"4"} << true;
    QTest::newRow("goods: count, emptied search box")
        << goodsCount + goodsSearch.arg(QString()) << QStringList{"4"} << true;
    QTest::newRow("goods: count, text within the codes")
        << goodsCount + goodsSearch.arg(q("10")) << QStringList{"4"} << true;
    QTest::newRow("goods: count, text across code and name")
        << goodsCount + goodsSearch.arg(q("3矿")) << QStringList{"1"} << true;
    QTest::newRow("goods: count, nothing found")
        << goodsCount + goodsSearch.arg(q("手机")) << QStringList{"0"} << true;
    QTest::newRow("goods: list when opened, no category first")
        << goodsList + goodsOrder
        << QStringList{"104|咖啡豆|袋|95|60|<NULL>|4", "101|打印纸|箱|12.5|5|办公|1",
                       "102|签字笔|盒|8|3.2|办公|2", "103|矿泉水|箱|30|18|食品|3"}
        << true;
    QTest::newRow("goods: list, search by name")
        << goodsList + goodsSearch.arg(q("纸")) + goodsOrder
        << QStringList{"101|打印纸|箱|12.5|5|办公|1"} << true;

    // goods: an item is kept while any stock document names it.
    QTest::newRow("goods: delivered item")
        << QStringLiteral("select count(0) from sell where food_id=%1 ").arg(n(101)) << QStringList{"3"} << true;
    QTest::newRow("goods: purchased item")
        << QStringLiteral("select count(0) from purchar where food_id=%1 ").arg(n(101)) << QStringList{"4"} << true;
    QTest::newRow("goods: corrected item")
        << QStringLiteral("select count(0) from inventory where food_id=%1 ").arg(n(101)) << QStringList{"2"} << true;
    QTest::newRow("goods: unused item, deliveries")
        << QStringLiteral("select count(0) from sell where food_id=%1 ").arg(n(104)) << QStringList{"0"} << true;
    QTest::newRow("goods: unused item, purchases")
        << QStringLiteral("select count(0) from purchar where food_id=%1 ").arg(n(104)) << QStringList{"0"} << true;
    QTest::newRow("goods: unused item, corrections")
        << QStringLiteral("select count(0) from inventory where food_id=%1 ").arg(n(104)) << QStringList{"0"} << true;

    // customer: the search covers code, name and short name; a customer
    // without short name drops out of every search.
    QTest::newRow("customer: areas")
        << QStringLiteral("select area from customer group by area order by area")
        << QStringList{"A", "C", "E"} << true;
    const QString customerCount = QStringLiteral("select count(0) from customer where 1=1");
    const QString customerList = QStringLiteral("select customer_id,customer_name,short_name,area,id from customer where 1=1 ");
    const QString customerSearch = QStringLiteral(" and cast(customer_id as varchar)+customer_name+short_name like '%%%1%%'");
    QTest::newRow("customer: count when opened") << customerCount << QStringList{"4"} << true;
    QTest::newRow("customer: count, emptied search box leaves out the one without short name")
        << customerCount + customerSearch.arg(QString()) << QStringList{"3"} << true;
    QTest::newRow("customer: count, name of the one without short name")
        << customerCount + customerSearch.arg(q("西城")) << QStringList{"0"} << true;
    QTest::newRow("customer: list when opened")
        << customerList
        << QStringList{"21|东方超市|东方|A|1", "22|西城商店|<NULL>|C|2", "23|南山配送站|南山|E|3",
                       "24|北湖酒店|北湖|A|4"}
        << false;
    QTest::newRow("customer: list, search by short name")
        << customerList + customerSearch.arg(q("店北湖")) << QStringList{"24|北湖酒店|北湖|A|4"} << false;
    const QString customerGuard = QStringLiteral("select count(0) from sell where customer_id=%1 ");
    QTest::newRow("customer: customer with deliveries")
        << customerGuard.arg(n(21)) << QStringList{"3"} << true;
    QTest::newRow("customer: customer without deliveries")
        << customerGuard.arg(n(23)) << QStringList{"0"} << true;
    QTest::newRow("customer: reference check of the schema")
        << QStringLiteral("select count(0) from sell where customer_id=%1").arg(n(22)) << QStringList{"1"} << true;

    // supplier
    QTest::newRow("supplier: categories")
        << QStringLiteral("select category from supplier group by category order by category")
        << QStringList{"办公用品", "食品"} << true;
    const QString supplierCount = QStringLiteral("select count(0) from supplier where 1=1");
    const QString supplierList = QStringLiteral("select supplier_id,supplier_name,short_name,category,id from supplier where 1=1 ");
    const QString supplierSearch = QStringLiteral(" and cast(supplier_id as varchar)+supplier_name+short_name like '%%%1%%'");
    QTest::newRow("supplier: count when opened") << supplierCount << QStringList{"3"} << true;
    QTest::newRow("supplier: count, code digit") << supplierCount + supplierSearch.arg(q("1")) << QStringList{"3"} << true;
    QTest::newRow("supplier: count, short name") << supplierCount + supplierSearch.arg(q("晨光")) << QStringList{"1"} << true;
    QTest::newRow("supplier: list when opened")
        << supplierList
        << QStringList{"11|华联纸业|华联|办公用品|1", "12|晨光文具|晨光|办公用品|2", "13|农夫山泉|农夫|食品|3"}
        << false;
    QTest::newRow("supplier: list, search")
        << supplierList + supplierSearch.arg(q("泉农")) << QStringList{"13|农夫山泉|农夫|食品|3"} << false;
    const QString supplierGuard = QStringLiteral("select count(0) from purchar where supplier_id=%1 ");
    QTest::newRow("supplier: supplier with orders") << supplierGuard.arg(n(11)) << QStringList{"5"} << true;
    QTest::newRow("supplier: supplier with one order line") << supplierGuard.arg(n(13)) << QStringList{"1"} << true;

    // Pick lists of the stock, report and finance forms.
    QTest::newRow("pick list: customers")
        << QStringLiteral("select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id")
        << QStringList{"21-东方超市", "22-西城商店", "23-南山配送站", "24-北湖酒店"} << true;
    QTest::newRow("pick list: suppliers")
        << QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name from supplier order by supplier_id")
        << QStringList{"11-华联纸业", "12-晨光文具", "13-农夫山泉"} << true;
    QTest::newRow("pick list: goods")
        << QStringLiteral("select cast(food_id as varchar)+'-'+food_name from food_info order by food_id")
        << QStringList{"101-打印纸", "102-签字笔", "103-矿泉水", "104-咖啡豆"} << true;
    QTest::newRow("pick list: goods categories, no category first")
        << QStringLiteral("select category from food_info group by category order by category")
        << QStringList{"<NULL>", "办公", "食品"} << true;
    QTest::newRow("purchar: goods search with purchase price to the cent")
        << QStringLiteral("select cast(food_id as varchar)+'-'+food_name+'-'+unit+'-'+cast(purchar_price as varchar) from food_info order by food_id")
        << QStringList{"101-打印纸-箱-5.00", "102-签字笔-盒-3.20", "103-矿泉水-箱-18.00", "104-咖啡豆-袋-60.00"}
        << true;
    QTest::newRow("sell: goods search with sales price to the cent")
        << QStringLiteral("select cast(food_id as varchar)+'-'+food_name+'-'+unit+'-'+cast(customer_price as varchar) from food_info order by food_id")
        << QStringList{"101-打印纸-箱-12.50", "102-签字笔-盒-8.00", "103-矿泉水-箱-30.00", "104-咖啡豆-袋-95.00"}
        << true;
    QTest::newRow("inventory: goods search")
        << QStringLiteral("select cast(food_id as varchar)+'-'+food_name+'-'+unit from food_info order by food_id")
        << QStringList{"101-打印纸-箱", "102-签字笔-盒", "103-矿泉水-箱", "104-咖啡豆-袋"} << true;
}

void tst_statements_master::reads()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    QFETCH(bool, ordered);
    const QString failure = ResultRows::checkRead(m_fixture, statement, expected, ordered);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_master::writes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("employee: add keeps the number as typed")
        << QStringLiteral("insert into employee (employee_id,employee_name) values ('%1','%2')").arg(q("004"), q("钱七"))
        << QStringLiteral("select employee_id,employee_name,id from employee where id>3")
        << QStringList{"004|钱七|4"};
    QTest::newRow("employee: delete by name")
        << QStringLiteral("delete from employee where employee_name='%1'").arg(q("李四"))
        << QStringLiteral("select employee_id,employee_name from employee order by id")
        << QStringList{"001|张三", "003|赵六"};

    QTest::newRow("category_supplier: add")
        << QStringLiteral("insert into category_supplier (name) values ('%1')").arg(q("文具"))
        << QStringLiteral("select name from category_supplier order by id")
        << QStringList{"办公用品", "食品", "文具"};
    QTest::newRow("category_supplier: delete")
        << QStringLiteral("delete from category_supplier where name='%1'").arg(q("食品"))
        << QStringLiteral("select name from category_supplier order by id")
        << QStringList{"办公用品"};
    QTest::newRow("category_customer: add")
        << QStringLiteral("insert into category_customer (name) values ('%1')").arg(q("批发客户"))
        << QStringLiteral("select name from category_customer order by id")
        << QStringList{"零售客户", "配送客户", "酒店客户", "批发客户"};
    QTest::newRow("category_customer: delete")
        << QStringLiteral("delete from category_customer where name='%1'").arg(q("酒店客户"))
        << QStringLiteral("select name from category_customer order by id")
        << QStringList{"零售客户", "配送客户"};

    // goods: Save sends the insert of a new row and the update of a stored
    // one in one execution; prices arrive in six-digit general notation.
    const QString goodsInsert = QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (%1,'%2','%3','%4','%5','%6');");
    const QString goodsUpdate = QStringLiteral("update food_info set food_name='%2',unit='%3',customer_price='%4',purchar_price='%5',category='%6' where food_id=%1;");
    QTest::newRow("goods: save a new and a stored row in one execution")
        << goodsInsert.arg(n(105), q("订书机"), q("个"), q("12.5"), q("3.5"), q("办公"))
               + goodsUpdate.arg(n(101), q("打印纸A4"), q("箱"), q("13"), q("5"), q("办公"))
        << QStringLiteral("select food_id,food_name,unit,customer_price,purchar_price,category,id from food_info where food_id in (101,105) order by food_id")
        << QStringList{"101|打印纸A4|箱|13|5|办公|1", "105|订书机|个|12.5|3.5|办公|5"};
    QTest::newRow("goods: a price with three decimals is stored to the cent")
        << goodsInsert.arg(n(105), q("订书机"), q("个"), q("12.5"), q("3.456"), q("办公"))
        << QStringLiteral("select purchar_price from food_info where food_id=105")
        << QStringList{"3.46"};
    QString block;
    for (int code = 1001; code <= 1100; ++code) {
        block += goodsInsert.arg(n(code), q(QStringLiteral("商品%1").arg(code)), q("个"), q("1"), q("0.5"), q("批量"));
    }
    QTest::newRow("goods: a block of 100 statements in one execution")
        << block
        << QStringLiteral("select count(*),min(food_id),max(food_id),sum(purchar_price) from food_info where category='批量'")
        << QStringList{"100|1001|1100|50"};
    QTest::newRow("goods: categories in pinyin order, no category first")
        << goodsInsert.arg(n(105), q("订书机"), q("个"), q("12.5"), q("3.5"), q("文具"))
        << QStringLiteral("select category from food_info group by category order by category")
        << QStringList{"<NULL>", "办公", "食品", "文具"};
    QTest::newRow("goods: delete")
        << QStringLiteral("delete from food_info where id=%1").arg(n(4))
        << QStringLiteral("select food_id from food_info order by food_id")
        << QStringList{"101", "102", "103"};

    // customer and supplier
    const QString customerInsert = QStringLiteral("insert into customer (customer_id,customer_name,short_name,area) values (%1,'%2','%3','%4');");
    const QString customerUpdate = QStringLiteral("update customer set customer_name='%2',short_name='%3',area='%4' where customer_id=%1;");
    QTest::newRow("customer: save a new and a stored row in one execution")
        << customerInsert.arg(n(25), q("O'Neil超市"), q("O'Neil超市"), q("B"))
               + customerUpdate.arg(n(22), q("西城商店"), q("西城"), q("C"))
        << QStringLiteral("select customer_id,customer_name,short_name,area from customer where customer_id in (22,25) order by customer_id")
        << QStringList{"22|西城商店|西城|C", "25|O'Neil超市|O'Neil超市|B"};
    // Latin letters come before Chinese, which sorts by pinyin: 北 (bei)
    // before 东 (dong).
    QTest::newRow("customer: areas typed in Chinese")
        << customerInsert.arg(n(25), q("东区超市"), q("东区超市"), q("东区"))
               + customerInsert.arg(n(26), q("北区超市"), q("北区超市"), q("北区"))
        << QStringLiteral("select area from customer group by area order by area")
        << QStringList{"A", "C", "E", "北区", "东区"};
    QTest::newRow("customer: delete")
        << QStringLiteral("delete from customer where id=%1").arg(n(3))
        << QStringLiteral("select customer_id from customer order by customer_id")
        << QStringList{"21", "22", "24"};
    const QString supplierInsert = QStringLiteral("insert into supplier (supplier_id,supplier_name,short_name,category) values (%1,'%2','%3','%4');");
    const QString supplierUpdate = QStringLiteral("update supplier set supplier_name='%2',short_name='%3',category='%4' where supplier_id=%1;");
    QTest::newRow("supplier: save a new and a stored row in one execution")
        << supplierInsert.arg(n(14), q("得力文具"), q("得力"), q("办公用品"))
               + supplierUpdate.arg(n(13), q("农夫山泉"), q("山泉"), q("饮料"))
        << QStringLiteral("select supplier_id,supplier_name,short_name,category from supplier where supplier_id>12 order by supplier_id")
        << QStringList{"13|农夫山泉|山泉|饮料", "14|得力文具|得力|办公用品"};
    // Chinese_PRC collations sort Chinese text by its pinyin: 办 (ban),
    // 食 (shi), 文 (wen).
    QTest::newRow("supplier: categories in pinyin order")
        << supplierInsert.arg(n(14), q("得力文具"), q("得力"), q("文具"))
        << QStringLiteral("select category from supplier group by category order by category")
        << QStringList{"办公用品", "食品", "文具"};
    QTest::newRow("supplier: delete")
        << QStringLiteral("delete from supplier where id=%1").arg(n(2))
        << QStringLiteral("select supplier_id from supplier order by supplier_id")
        << QStringList{"11", "13"};
}

void tst_statements_master::writes()
{
    QFETCH(QString, statement);
    QFETCH(QString, readBack);
    QFETCH(QStringList, expected);

    QString error;
    QVERIFY2(m_fixture.forWriting(&error), qPrintable(error));
    ResultRows::query(statement, &error);
    QVERIFY2(error.isEmpty(), qPrintable(statement.left(500) + QStringLiteral("\n  -> ") + error));
    const QString failure = ResultRows::check(readBack, expected, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

// Writes that SQL Server refuses must fail here too, leaving the table as it
// was, or a form that works on the embedded engine would fail on the server.
void tst_statements_master::refusedWrites_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("count");

    // The goods form writes a price of a million or more in exponent
    // notation ("1.23457e+06"), which SQL Server does not convert to decimal.
    QTest::newRow("goods: price in exponent notation")
        << QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (%1,'%2','%3','%4','%5','%6');")
               .arg(n(1106), q("投影仪"), q("台"), q("1.23457e+06"), q("1.2e+06"), q("办公"))
        << QStringLiteral("select count(*) from food_info where food_id=1106");
}

void tst_statements_master::refusedWrites()
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

JXC_STATEMENT_TEST_MAIN(tst_statements_master)
#include "tst_statements_master.moc"
