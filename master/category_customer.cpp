#include "master/category_customer.h"
#include "ui_category_customer.h"

category_customer::category_customer(QWidget *parent)
    : NameListForm(parent)
    , m_ui(new Ui::category_customer)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("客户分类"));

    Definition definition;
    definition.right = QStringLiteral("客户类别编辑");
    definition.columns = {{QStringLiteral("客户分类"), 200}};
    definition.listSql = QStringLiteral("select name from category_customer");
    definition.duplicateSql =
        QStringLiteral("select count(*) from category_customer where name='%1'");
    definition.duplicateText = QStringLiteral("用户名重复！");
    definition.insertSql = QStringLiteral("insert into category_customer (name) values ('%1')");
    // A customer's category is stored as its name.
    definition.inUseSql = QStringLiteral("select id from customer where category='%1'");
    definition.inUseText = QStringLiteral("[%1]类别已经使用，不能删除！");
    definition.deleteSql = QStringLiteral("delete from category_customer where name='%1'");

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.inputs = {m_ui->lineEdit};
    start(definition, controls);
}

category_customer::~category_customer()
{
    delete m_ui;
}
