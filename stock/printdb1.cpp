#include "stock/printdb1.h"

#include "ui_printdb1.h"

namespace {

OrderPrintTexts deliveryTexts()
{
    OrderPrintTexts texts;
    texts.title = QStringLiteral("送货清单");
    texts.partyLine = QStringLiteral("购货单位:%1");
    texts.quantityTitle = QStringLiteral("实收数");
    texts.companyLine = QStringLiteral("送货单位:%1");
    texts.signature = QStringLiteral("送货员:");
    texts.linesStatement = QStringLiteral(
        "select t1.food_id,t2.food_name,t1.quantity,t1.quantity,t2.unit,t1.price,t1.quantity*t1.price,remarks from sell t1 left join food_info t2 on t1.food_id=t2.food_id  where t1.sell_no='%1'");
    return texts;
}

} // namespace

OrderPrintTexts printdb1::texts()
{
    return deliveryTexts();
}

printdb1::printdb1(QWidget *parent)
    : OrderPrintForm(deliveryTexts(), parent), m_ui(new Ui::printdb1)
{
    m_ui->setupUi(this);
}

printdb1::~printdb1()
{
    delete m_ui;
}
