#include "stock/profit.h"
#include "ui_profit.h"

#include "app/operationlog.h"
#include "widgets/decimaltext.h"
#include "widgets/picklist.h"

#include <QDate>
#include <QSqlQuery>

profit::profit(QWidget *parent)
    : ReportForm(parent)
    , m_ui(new Ui::profit)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("毛利查询"));
    m_ui->dateEdit->setDate(QDate::currentDate());
    m_ui->dateEdit_2->setDate(QDate::currentDate());

    PickList::fillSearchable(m_ui->comboBox, QStringLiteral("select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id"));
    PickList::fillSearchable(m_ui->comboBox_2, goodsListSql());
    PickList::fill(m_ui->comboBox_3, goodsCategorySql());
    PickList::fill(m_ui->comboBox_4, QStringLiteral("select area from customer group by area order by area"));

    setUpTable(m_ui->tableWidget, {{QStringLiteral("日期"), 100},
                                   {QStringLiteral("客户名称"), 200},
                                   {QStringLiteral("商品编码"), 100},
                                   {QStringLiteral("商品名称"), 200},
                                   {QStringLiteral("单位"), 50},
                                   {QStringLiteral("销售数量"), 80},
                                   {QStringLiteral("销售单价"), 80},
                                   {QStringLiteral("成本单价"), 80}});
    m_ui->label_5->clear();
    OperationLog(QStringLiteral("毛利统计"));
}

profit::~profit() = default;

QString profit::reportStatement(const QString &from, const QString &to,
                                const QString &customerClause, const QString &goodsClause,
                                const QString &categoryClause, const QString &areaClause)
{
    // unrestrictedStatement with each delivery's cost price looked up among
    // the purchases of its own goods item and day, the only ones its join
    // can match: the grouped purchases give at most one row per day and
    // goods item, and the delivery's own day and goods item are a date and an
    // integer, which the built texts only spell. The report then grows with
    // the period's deliveries, not with the years of purchases kept. The
    // standard purchase price comes from the goods row already joined for
    // the name: goods codes are unique, so both joins find the same row.
    return QStringLiteral(
        "select convert(varchar(10),t1.date,20),cast(t1.customer_id as varchar)+'-'+t5.customer_name,t1.food_id,t4.food_name,t4.unit,t1.quantity,t1.price,isnull((select sum(quantity*price)/nullif(sum(quantity),0) from purchar t3 where t3.date=t1.date and t3.food_id=t1.food_id),t4.purchar_price)  from (select date,customer_id,food_id,quantity,price from sell where date between '%1' and '%2') t1  left join food_info t4 on t1.food_id=t4.food_id left join customer t5 on t1.customer_id=t5.customer_id where 1=1 %3 %4 %5 %6 order by t1.food_id,t1.customer_id,t1.date")
        .arg(from, to, customerClause, goodsClause, categoryClause, areaClause);
}

QString profit::unrestrictedStatement(const QString &from, const QString &to,
                                      const QString &customerClause, const QString &goodsClause,
                                      const QString &categoryClause, const QString &areaClause)
{
    // The cost price of a delivery is the average purchase price of that goods
    // item on the delivery day, else its standard purchase price.
    return QStringLiteral(
        "select convert(varchar(10),t1.date,20),cast(t1.customer_id as varchar)+'-'+t5.customer_name,t1.food_id,t4.food_name,t4.unit,t1.quantity,t1.price,isnull(t3.price,t2.purchar_price)  from (select date,customer_id,food_id,quantity,price from sell where date between '%1' and '%2') t1  left join (select food_id,purchar_price from food_info ) t2 on t1.food_id=t2.food_id left join (select date,food_id,sum(quantity*price)/nullif(sum(quantity),0) as price from purchar  group by date,food_id) t3 on convert(varchar(10),t1.date,20)+cast(t1.food_id as varchar)=convert(varchar(10),t3.date,20)+cast(t3.food_id as varchar) left join food_info t4 on t1.food_id=t4.food_id left join customer t5 on t1.customer_id=t5.customer_id where 1=1 %3 %4 %5 %6 order by t1.food_id,t1.customer_id,t1.date")
        .arg(from, to, customerClause, goodsClause, categoryClause, areaClause);
}

QString profit::totalsText(double income, double cost)
{
    const double gross = income - cost;
    const double margin = income == 0 ? 0 : gross / income;
    return QStringLiteral("收入%1元，成本%2元，毛利%3元，毛利率%4")
        .arg(DecimalText::twoDecimals(income), DecimalText::twoDecimals(cost), DecimalText::twoDecimals(gross), DecimalText::twoDecimals(margin));
}

void profit::on_pushButton_clicked()
{
    const QString customer = codeClause(QStringLiteral(" and t1.customer_id=%1"), m_ui->comboBox);
    const QString goods = codeClause(QStringLiteral(" and t1.food_id=%1"), m_ui->comboBox_2);
    const QString category = textClause(QStringLiteral(" and t4.category='%1'"), m_ui->comboBox_3);
    const QString area = textClause(QStringLiteral(" and t5.area='%1'"), m_ui->comboBox_4);
    const QString sql = reportStatement(dayText(m_ui->dateEdit), dayText(m_ui->dateEdit_2), customer, goods,
                                        category, area);

    // The totals add up what the list shows, the two-decimal figures.
    double income = 0;
    double cost = 0;
    const int shown = fillTable(m_ui->tableWidget, sql, [&income, &cost](const QSqlQuery &query) {
        QStringList cells;
        for (int c = 0; c < 5; ++c) {
            cells << query.value(c).toString();
        }
        const double quantity = DecimalText::rounded(query.value(5).toDouble());
        const double price = DecimalText::rounded(query.value(6).toDouble());
        const double costPrice = DecimalText::rounded(query.value(7).toDouble());
        cells << DecimalText::twoDecimals(quantity) << DecimalText::twoDecimals(price)
              << DecimalText::twoDecimals(costPrice);
        income += quantity * price;
        cost += quantity * costPrice;
        return cells;
    });
    if (shown < 0) {
        m_ui->label_5->clear();
        return;
    }
    m_ui->label_5->setText(totalsText(income, cost));
}

void profit::on_pushButton_2_clicked()
{
    exportTable(m_ui->tableWidget);
}
