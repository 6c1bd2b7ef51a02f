#include "master/category_supplier.h"
#include "ui_category_supplier.h"

category_supplier::category_supplier(QWidget *parent)
    : NameListForm(parent)
    , m_ui(new Ui::category_supplier)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("供应商分类"));

    Definition definition;
    definition.right = QStringLiteral("供应商类别编辑");
    definition.columns = {{QStringLiteral("供应商分类"), 200}};
    definition.listSql = QStringLiteral("select name from category_supplier");
    definition.duplicateSql =
        QStringLiteral("select count(*) from category_supplier where name='%1'");
    definition.duplicateText = QStringLiteral("用户名重复！");
    definition.insertSql = QStringLiteral("insert into category_supplier (name) values ('%1')");
    // A supplier's category is stored as its name.
    definition.inUseSql = QStringLiteral("select id from supplier where category='%1'");
    definition.inUseText = QStringLiteral("[%1]类别已经使用，不能删除！");
    definition.deleteSql = QStringLiteral("delete from category_supplier where name='%1'");

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.inputs = {m_ui->lineEdit};
    start(definition, controls);
}

category_supplier::~category_supplier()
{
    delete m_ui;
}
