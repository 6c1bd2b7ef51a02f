#include "stock/erp.h"
#include "ui_erp.h"

#include "app/operationlog.h"
#include "widgets/decimaltext.h"
#include "widgets/picklist.h"

#include <QDate>
#include <QSqlQuery>

erp::erp(QWidget *parent)
    : ReportForm(parent)
    , m_ui(new Ui::erp)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("商品统计"));
    m_ui->dateEdit->setDate(QDate::currentDate());
    m_ui->dateEdit_2->setDate(QDate::currentDate());

    PickList::fill(m_ui->comboBox, goodsCategorySql());
    PickList::fillSearchable(m_ui->comboBox_2, goodsListSql());

    setUpTable(m_ui->tableWidget, {{QStringLiteral("商品编码"), 80},
                                   {QStringLiteral("商品名称"), 200},
                                   {QStringLiteral("单位"), 50},
                                   {QStringLiteral("期初数量"), 80},
                                   {QStringLiteral("本期采购"), 80},
                                   {QStringLiteral("本期销售"), 80},
                                   {QStringLiteral("本期盈亏"), 80},
                                   {QStringLiteral("期末数量"), 80}});
    OperationLog(QStringLiteral("商品统计"));
}

erp::~erp() = default;

QString erp::reportStatement(const QString &from, const QString &to, const QString &categoryClause,
                             const QString &goodsClause)
{
    // Every goods item is listed, also without movement: the movements are
    // left-joined sums, each missing one counting as 0.
    return QStringLiteral(
        "select t1.food_id,t1.food_name,t1.unit,isnull(t2.quantity,0)-isnull(t3.quantity,0)+isnull(t4.quantity,0),isnull(t5.quantity,0),isnull(t6.quantity,0),isnull(t7.quantity,0),isnull(t2.quantity,0)-isnull(t3.quantity,0)+isnull(t4.quantity,0)+isnull(t5.quantity,0)-isnull(t6.quantity,0)+isnull(t7.quantity,0) from food_info t1 left join (select food_id,sum(quantity) as quantity from purchar where date<'%1' group by food_id) t2 on t1.food_id=t2.food_id left join (select food_id,sum(quantity) as quantity from sell where date<'%1' group by food_id) t3 on t1.food_id=t3.food_id left join (select food_id,sum(quantity) as quantity from inventory where date<'%1' group by food_id) t4 on t1.food_id=t4.food_id     left join (select food_id,sum(quantity) as quantity from purchar where date between '%1' and '%2' group by food_id) t5 on t1.food_id=t5.food_id left join (select food_id,sum(quantity) as quantity from sell where date between '%1' and '%2' group by food_id) t6 on t1.food_id=t6.food_id left join (select food_id,sum(quantity) as quantity from inventory where date between '%1' and '%2' group by food_id) t7 on t1.food_id=t7.food_id where 1=1 %3 %4  order by t1.food_id")
        .arg(from, to, categoryClause, goodsClause);
}

void erp::on_pushButton_clicked()
{
    // Here only an empty filter is no filter; blanks are a value of their own.
    const QString category = textClause(QStringLiteral(" and t1.category='%1'"), m_ui->comboBox, false);
    const QString goods = codeClause(QStringLiteral(" and t1.food_id=%1"), m_ui->comboBox_2, false);
    const QString sql = reportStatement(dayText(m_ui->dateEdit), dayText(m_ui->dateEdit_2), category, goods);

    fillTable(m_ui->tableWidget, sql, [](const QSqlQuery &query) {
        QStringList cells;
        for (int c = 0; c < 3; ++c) {
            cells << query.value(c).toString();
        }
        for (int c = 3; c < 8; ++c) {
            cells << DecimalText::twoDecimals(query.value(c).toDouble());
        }
        return cells;
    });
}

void erp::on_pushButton_2_clicked()
{
    exportTable(m_ui->tableWidget);
}
