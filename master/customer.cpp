#include "master/customer.h"
#include "ui_customer.h"

customer::customer(QWidget *parent)
    : MasterTableForm(parent)
    , m_ui(new Ui::customer)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("客户档案"));

    Definition definition;
    definition.columns = {
        {QStringLiteral("客户编码"), 100, Role::Code, Fill::Code, {}},
        {QStringLiteral("客户名称"), 200, Role::Text, Fill::Name, QStringLiteral("customer_name")},
        // A new customer's short name starts as its name.
        {QStringLiteral("简称"), 200, Role::Text, Fill::Name, QStringLiteral("short_name")},
        {QStringLiteral("所属区域"), 100, Role::Text, Fill::FirstCombo, QStringLiteral("area")},
        {QStringLiteral("流水号"), 100, Role::Id, Fill::Zero, {}},
        {QStringLiteral("选择"), 30, Role::Tick, Fill::Nothing, {}},
    };
    definition.listSql = QStringLiteral(
        "select customer_id,customer_name,short_name,area,id from customer where 1=1 %1 order by id");
    definition.searchClause = QStringLiteral(
        " and cast(customer_id as varchar)+customer_name+short_name like '%%%1%%' escape '\\'");
    definition.insertSql = QStringLiteral(
        "insert into customer (customer_id,customer_name,short_name,area) "
        "values (%1,'%2','%3','%4');");
    definition.updateSql = QStringLiteral(
        "update customer set customer_name='%2',short_name='%3',area='%4' where customer_id=%1;");
    definition.guardSqls = QStringList{
        QStringLiteral("select count(0) from sell where customer_id=%1 "),
    };
    definition.deleteSql = QStringLiteral("delete from customer where id=%1");
    definition.comboSqls = QStringList{
        QStringLiteral("select area from customer group by area order by area"),
    };
    definition.codeNotNumberText = QStringLiteral("商品编号只能为数字！");
    definition.codeTakenText = QStringLiteral("商品编号不能重复！");
    definition.logUnit = QStringLiteral("客户资料");

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.code = m_ui->lineEdit;
    controls.name = m_ui->lineEdit_2;
    controls.combos = {m_ui->comboBox};
    controls.search = m_ui->lineEdit_3;
    start(definition, controls);
}

customer::~customer()
{
    delete m_ui;
}
