#include "master/employee.h"
#include "ui_employee.h"

employee::employee(QWidget *parent)
    : NameListForm(parent)
    , m_ui(new Ui::employee)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("员工管理"));

    Definition definition;
    definition.right = QStringLiteral("员工编辑");
    definition.columns = {
        {QStringLiteral("代号"), 100},
        {QStringLiteral("姓名"), 200},
    };
    definition.listSql = QStringLiteral("select employee_id,employee_name from employee");
    definition.duplicateSql = QStringLiteral(
        "select count(*) from employee where employee_id='%1' or employee_name='%2'");
    definition.duplicateText = QStringLiteral("代号或姓名重复！");
    definition.insertSql = QStringLiteral(
        "insert into employee (employee_id,employee_name) values ('%1','%2')");
    // Customers name their salesman; such an employee stays.
    definition.inUseSql = QStringLiteral("select salesman from customer where salesman='%1'");
    definition.inUseText = QStringLiteral("[%1]用户已经使用，不能删除！");
    definition.deleteSql = QStringLiteral("delete from employee where employee_name='%1'");
    definition.keyColumn = 2;   // records are addressed by name
    definition.shownColumn = 1; // the refusal names the code

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.inputs = {m_ui->lineEdit, m_ui->lineEdit_2};
    start(definition, controls);
}

employee::~employee()
{
    delete m_ui;
}
