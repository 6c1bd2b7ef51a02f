#include "stock/purchar_info.h"
#include "ui_purchar_info.h"

#include "app/operationlog.h"
#include "widgets/decimaltext.h"
#include "widgets/picklist.h"

#include <QDate>
#include <QSqlQuery>

purchar_info::purchar_info(QWidget *parent)
    : ReportForm(parent)
    , m_ui(new Ui::purchar_info)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("采购明细"));
    m_ui->dateEdit->setDate(QDate::currentDate());
    m_ui->dateEdit_2->setDate(QDate::currentDate());

    PickList::fillSearchable(m_ui->comboBox, QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name from supplier order by supplier_id"));
    PickList::fillSearchable(m_ui->comboBox_2, goodsListSql());
    PickList::fill(m_ui->comboBox_3, goodsCategorySql());
    PickList::fill(m_ui->comboBox_4, QStringLiteral("select category from supplier group by category order by category"));

    setUpTable(m_ui->tableWidget, {{QStringLiteral("日期"), 100},
                                   {QStringLiteral("供应商名称"), 200},
                                   {QStringLiteral("商品编码"), 100},
                                   {QStringLiteral("商品名称"), 200},
                                   {QStringLiteral("单位"), 50},
                                   {QStringLiteral("采购数量"), 80},
                                   {QStringLiteral("采购单价"), 80},
                                   {QStringLiteral("金额"), 80}});
    m_ui->label_5->clear();
    OperationLog(QStringLiteral("采购明细统计"));
}

purchar_info::~purchar_info() = default;

QString purchar_info::reportStatement(const QString &from, const QString &to,
                                      const QString &supplierClause, const QString &goodsClause,
                                      const QString &categoryClause,
                                      const QString &supplierCategoryClause)
{
    return QStringLiteral(
        "select convert(varchar(10),t1.date,20),cast(t1.supplier_id as varchar)+'-'+t5.supplier_name,t1.food_id,t4.food_name,t4.unit,t1.quantity,t1.price,t1.quantity*t1.price  from (select date,supplier_id,food_id,quantity,price from purchar where date between '%1' and '%2') t1   left join food_info t4 on t1.food_id=t4.food_id left join supplier t5 on t1.supplier_id=t5.supplier_id where 1=1 %3 %4 %5 %6 order by t1.food_id,t1.supplier_id,t1.date")
        .arg(from, to, supplierClause, goodsClause, categoryClause, supplierCategoryClause);
}

void purchar_info::on_pushButton_clicked()
{
    const QString supplier = codeClause(QStringLiteral(" and t1.supplier_id=%1"), m_ui->comboBox);
    const QString goods = codeClause(QStringLiteral(" and t1.food_id=%1"), m_ui->comboBox_2);
    const QString category = textClause(QStringLiteral(" and t4.category='%1'"), m_ui->comboBox_3);
    const QString supplierCategory = textClause(QStringLiteral(" and t5.category='%1'"), m_ui->comboBox_4);
    const QString sql = reportStatement(dayText(m_ui->dateEdit), dayText(m_ui->dateEdit_2), supplier, goods,
                                        category, supplierCategory);

    // The amount and the total are made from the two-decimal figures shown,
    // so that the list adds up on paper.
    double total = 0;
    const int shown = fillTable(m_ui->tableWidget, sql, [&total](const QSqlQuery &query) {
        QStringList cells;
        for (int c = 0; c < 5; ++c) {
            cells << query.value(c).toString();
        }
        const double quantity = DecimalText::rounded(query.value(5).toDouble());
        const double price = DecimalText::rounded(query.value(6).toDouble());
        const double amount = DecimalText::rounded(quantity * price);
        cells << DecimalText::twoDecimals(quantity) << DecimalText::twoDecimals(price)
              << DecimalText::twoDecimals(amount);
        total += amount;
        return cells;
    });
    if (shown < 0) {
        m_ui->label_5->clear();
        return;
    }
    m_ui->label_5->setText(QStringLiteral("采购金额%1元").arg(DecimalText::twoDecimals(total)));
}

void purchar_info::on_pushButton_2_clicked()
{
    exportTable(m_ui->tableWidget);
}
