#include "admin/category_cash.h"
#include "ui_category_cash.h"

category_cash::category_cash(QWidget *parent)
    : NameListForm(parent)
    , m_ui(new Ui::category_cash)
{
    m_ui->setupUi(this);
    setFixedSize(400, 300);
    setWindowTitle(QStringLiteral("资金分类"));

    Definition definition;
    definition.right = QStringLiteral("资产类别编辑");
    definition.columns = {{QStringLiteral("资金分类"), 200}};
    definition.listSql = QStringLiteral("select name from category");
    definition.duplicateSql = QStringLiteral("select count(*) from category where name='%1'");
    definition.duplicateText = QStringLiteral("用户名重复！");
    definition.insertSql = QStringLiteral("insert into category (name) values ('%1')");
    // Cash entries hold the category by name; deleting a name still in use
    // would leave them pointing at nothing.
    definition.inUseSql = QStringLiteral("select id from info where category='%1'");
    definition.inUseText = QStringLiteral("[%1]类别已经使用，不能删除！");
    definition.deleteSql = QStringLiteral("delete from category where name='%1'");

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.inputs = {m_ui->lineEdit};
    start(definition, controls);
}

category_cash::~category_cash() = default;
