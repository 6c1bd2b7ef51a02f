#include "stock/sell.h"

#include "stock/printdb1.h"

#include "ui_sell.h"

namespace {

OrderFormSetup deliverySetup()
{
    OrderFormSetup setup;
    setup.partyLabel = QStringLiteral("客户名称");
    setup.queryButton = QStringLiteral("查询送货单");
    setup.newButton = QStringLiteral("新增送货单");
    setup.priceLabel = QStringLiteral("销 售 价");
    setup.numberTitle = QStringLiteral("送货单号");
    setup.partyTitle = QStringLiteral("客户");
    setup.quantityTitle = QStringLiteral("送货数量");
    setup.numberPrefix = QStringLiteral("shd");
    setup.logUnit = QStringLiteral("送货单");

    setup.partyList = QStringLiteral(
        "select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id");
    // A delivery note offers the sales price.
    setup.goodsList = QStringLiteral(
        "select cast(food_id as varchar)+'-'+food_name+'-'+unit+'-'+cast(customer_price as varchar) from food_info order by food_id");
    setup.countLines = QStringLiteral(
        "select count(0) from sell where date='%1' and customer_id=%2 ");
    setup.existingNumbers = QStringLiteral(
        "select sell_no from sell where date='%1' and customer_id=%2 group by sell_no");
    setup.numberInUse = QStringLiteral("select count(0) from sell with (updlock,holdlock) where sell_no='%1'");
    setup.orderListAll = QStringLiteral(
        "select t1.sell_no,t1.date,cast(t1.customer_id as varchar)+'-'+t2.customer_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select sell_no,convert(varchar(10),max(date),20) as date,max(customer_id) as customer_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from sell where date between '%1' and '%2' group by sell_no) t1 left join customer t2 on t1.customer_id=t2.customer_id order by t1.sell_no");
    setup.orderListOne = QStringLiteral(
        "select t1.sell_no,t1.date,cast(t1.customer_id as varchar)+'-'+t2.customer_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select sell_no,convert(varchar(10),max(date),20) as date,max(customer_id) as customer_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from sell where date between '%1' and '%2' and customer_id=%3 group by sell_no) t1 left join customer t2 on t1.customer_id=t2.customer_id order by t1.sell_no");
    setup.orderLines = QStringLiteral(
        "select t1.food_id,t2.food_name,t2.unit,t1.quantity,t1.price,t1.quantity*t1.price,t1.remarks,t1.id from sell t1 left join food_info t2 on t1.food_id=t2.food_id where t1.sell_no='%1' order by t1.id");
    setup.insertLine = QStringLiteral(
        "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('%1','%2',%3,%4,'%5','%6','%7','%8');");
    setup.updateLine = QStringLiteral(
        "update sell set quantity='%1',price='%2',remarks='%3' where id=%4;");
    setup.deleteLine = QStringLiteral("delete from sell where id=%1");

    setup.numberColumn = QStringLiteral("sell_no");
    setup.partyExists = QStringLiteral("select count(0) from customer where customer_id=%1");

    setup.createPrintForm = [](QWidget *parent) { return new printdb1(parent); };
    setup.takesFromStock = true;
    setup.storedLines = QStringLiteral(
        "select food_id,sum(quantity) from sell where id in (%1) and date<='%2' group by food_id");
    return setup;
}

} // namespace

OrderFormSetup sell::setup()
{
    return deliverySetup();
}

sell::sell(QWidget *parent)
    : OrderForm(deliverySetup(), parent), m_ui(new Ui::sell)
{
    // The shared body is in place by now, so this also connects its handlers.
    m_ui->setupUi(this);
}

sell::~sell()
{
    delete m_ui;
}
