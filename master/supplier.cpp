#include "master/supplier.h"
#include "ui_supplier.h"

supplier::supplier(QWidget *parent)
    : MasterTableForm(parent)
    , m_ui(new Ui::supplier)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("供应商"));

    Definition definition;
    definition.columns = {
        {QStringLiteral("供应商编码"), 100, Role::Code, Fill::Code, {}},
        {QStringLiteral("供应商名称"), 200, Role::Text, Fill::Name, QStringLiteral("supplier_name")},
        // A new supplier's short name starts as its name.
        {QStringLiteral("简称"), 200, Role::Text, Fill::Name, QStringLiteral("short_name")},
        {QStringLiteral("供应品类"), 100, Role::Text, Fill::FirstCombo, QStringLiteral("category")},
        {QStringLiteral("流水号"), 100, Role::Id, Fill::Zero, {}},
        {QStringLiteral("选择"), 30, Role::Tick, Fill::Nothing, {}},
    };
    definition.listSql = QStringLiteral(
        "select supplier_id,supplier_name,short_name,category,id from supplier where 1=1 %1 order by id");
    definition.searchClause = QStringLiteral(
        " and cast(supplier_id as varchar)+supplier_name+short_name like '%%%1%%' escape '\\'");
    definition.insertSql = QStringLiteral(
        "insert into supplier (supplier_id,supplier_name,short_name,category) "
        "values (%1,'%2','%3','%4');");
    definition.updateSql = QStringLiteral(
        "update supplier set supplier_name='%2',short_name='%3',category='%4' "
        "where supplier_id=%1;");
    definition.guardSqls = QStringList{
        QStringLiteral("select count(0) from purchar where supplier_id=%1 "),
    };
    definition.deleteSql = QStringLiteral("delete from supplier where id=%1");
    definition.comboSqls = QStringList{
        QStringLiteral("select category from supplier group by category order by category"),
    };
    definition.codeNotNumberText = QStringLiteral("商品编号只能为数字！");
    definition.codeTakenText = QStringLiteral("商品编号不能重复！");
    definition.logUnit = QStringLiteral("供应商资料");

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.code = m_ui->lineEdit;
    controls.name = m_ui->lineEdit_2;
    controls.combos = {m_ui->comboBox};
    controls.search = m_ui->lineEdit_3;
    start(definition, controls);
}

supplier::~supplier()
{
    delete m_ui;
}
