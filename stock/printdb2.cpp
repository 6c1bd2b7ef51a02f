#include "stock/printdb2.h"

#include "ui_printdb2.h"

namespace {

OrderPrintTexts purchaseTexts()
{
    OrderPrintTexts texts;
    texts.title = QStringLiteral("采购清单");
    texts.partyLine = QStringLiteral("供货单位:%1");
    texts.quantityTitle = QStringLiteral("采购数");
    texts.companyLine = QStringLiteral("采购单位:%1");
    texts.signature = QStringLiteral("采购员:");
    texts.linesStatement = QStringLiteral(
        "select t1.food_id,t2.food_name,t1.quantity,t1.quantity,t2.unit,t1.price,t1.quantity*t1.price,remarks from purchar t1 left join food_info t2 on t1.food_id=t2.food_id  where t1.purchar_no='%1'");
    return texts;
}

} // namespace

OrderPrintTexts printdb2::texts()
{
    return purchaseTexts();
}

printdb2::printdb2(QWidget *parent)
    : OrderPrintForm(purchaseTexts(), parent), m_ui(new Ui::printdb2)
{
    m_ui->setupUi(this);
}

printdb2::~printdb2()
{
    delete m_ui;
}
