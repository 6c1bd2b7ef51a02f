#include "stock/purchar.h"

#include "stock/printdb2.h"

#include "ui_purchar.h"

namespace {

OrderFormSetup purchaseSetup()
{
    OrderFormSetup setup;
    setup.partyLabel = QStringLiteral("供应商名称");
    setup.queryButton = QStringLiteral("查询采购单");
    setup.newButton = QStringLiteral("新增采购单");
    setup.priceLabel = QStringLiteral("采 购 价");
    setup.numberTitle = QStringLiteral("采购单号");
    setup.partyTitle = QStringLiteral("供应商");
    setup.quantityTitle = QStringLiteral("采购数量");
    setup.numberPrefix = QStringLiteral("cgd");
    setup.logUnit = QStringLiteral("采购单");

    setup.partyList = QStringLiteral(
        "select cast(supplier_id as varchar)+'-'+supplier_name from supplier order by supplier_id");
    setup.goodsList = QStringLiteral(
        "select cast(food_id as varchar)+'-'+food_name+'-'+unit+'-'+cast(purchar_price as varchar) from food_info order by food_id");
    setup.countLines = QStringLiteral(
        "select count(0) from purchar where date='%1' and supplier_id=%2 ");
    setup.existingNumbers = QStringLiteral(
        "select purchar_no from purchar where date='%1' and supplier_id=%2 group by purchar_no");
    setup.numberInUse = QStringLiteral("select count(0) from purchar with (updlock,holdlock) where purchar_no='%1'");
    setup.orderListAll = QStringLiteral(
        "select t1.purchar_no,t1.date,cast(t1.supplier_id as varchar)+'-'+t2.supplier_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select purchar_no,convert(varchar(10),max(date),20) as date,max(supplier_id) as supplier_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from purchar where date between '%1' and '%2' group by purchar_no) t1 left join supplier t2 on t1.supplier_id=t2.supplier_id order by t1.purchar_no");
    setup.orderListOne = QStringLiteral(
        "select t1.purchar_no,t1.date,cast(t1.supplier_id as varchar)+'-'+t2.supplier_name,t1.num,convert(decimal(10,2),t1.money),t1.input from (select purchar_no,convert(varchar(10),max(date),20) as date,max(supplier_id) as supplier_id,count(0) as num,sum(convert(decimal(10,2),quantity*price)) as money,max(input) as input from purchar where date between '%1' and '%2' and supplier_id=%3 group by purchar_no) t1 left join supplier t2 on t1.supplier_id=t2.supplier_id order by t1.purchar_no");
    setup.orderLines = QStringLiteral(
        "select t1.food_id,t2.food_name,t2.unit,t1.quantity,t1.price,t1.quantity*t1.price,t1.remarks,t1.id from purchar t1 left join food_info t2 on t1.food_id=t2.food_id where t1.purchar_no='%1' order by t1.id");
    setup.insertLine = QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('%1','%2',%3,%4,'%5','%6','%7','%8');");
    setup.updateLine = QStringLiteral(
        "update purchar set quantity='%1',price='%2',remarks='%3' where id=%4;");
    setup.deleteLine = QStringLiteral("delete from purchar where id=%1");

    setup.numberColumn = QStringLiteral("purchar_no");
    setup.partyExists = QStringLiteral("select count(0) from supplier where supplier_id=%1");

    setup.createPrintForm = [](QWidget *parent) { return new printdb2(parent); };
    setup.storedLines = QStringLiteral(
        "select food_id,sum(quantity) from purchar where id in (%1) and date<='%2' group by food_id");
    return setup;
}

} // namespace

OrderFormSetup purchar::setup()
{
    return purchaseSetup();
}

purchar::purchar(QWidget *parent)
    : OrderForm(purchaseSetup(), parent), m_ui(new Ui::purchar)
{
    // The shared body is in place by now, so this also connects its handlers.
    m_ui->setupUi(this);
}

purchar::~purchar()
{
    delete m_ui;
}
