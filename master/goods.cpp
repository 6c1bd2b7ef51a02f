#include "master/goods.h"
#include "ui_goods.h"

#include "widgets/decimaltext.h"
#include "widgets/stockonhand.h"
#include "widgets/tablecells.h"

#include <QHash>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>

goods::goods(QWidget *parent)
    : MasterTableForm(parent)
    , m_ui(new Ui::goods)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("商品明细"));

    Definition definition;
    definition.columns = {
        {QStringLiteral("商品编码"), 100, Role::Code, Fill::Code, {}},
        {QStringLiteral("商品名称"), 200, Role::Text, Fill::Name, QStringLiteral("food_name")},
        {QStringLiteral("单位"), 50, Role::Text, Fill::FirstCombo, QStringLiteral("unit")},
        {QStringLiteral("销售价格"), 100, Role::Price, Fill::Zero, QStringLiteral("customer_price")},
        {QStringLiteral("采购价格"), 100, Role::Price, Fill::Zero, QStringLiteral("purchar_price")},
        {QStringLiteral("类别"), 100, Role::Text, Fill::SecondCombo, QStringLiteral("category")},
        {QStringLiteral("流水号"), 100, Role::Id, Fill::Zero, {}},
        {QStringLiteral("选择"), 30, Role::Tick, Fill::Nothing, {}},
    };
    definition.listSql = QStringLiteral(
        "select food_id,food_name,unit,customer_price,purchar_price,category,id from food_info "
        "where 1=1 %1 order by category,food_id");
    definition.searchClause = QStringLiteral(
        " and cast(food_id as varchar)+food_name like '%%%1%%' escape '\\'");
    definition.insertSql = QStringLiteral(
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) "
        "values (%1,'%2','%3','%4','%5','%6');");
    definition.updateSql = QStringLiteral(
        "update food_info set food_name='%2',unit='%3',customer_price='%4',purchar_price='%5',"
        "category='%6' where food_id=%1;");
    // Goods are referred to by delivery notes, purchase orders and stock
    // gains and losses.
    definition.guardSqls = QStringList{
        QStringLiteral("select count(0) from sell where food_id=%1 "),
        QStringLiteral("select count(0) from purchar where food_id=%1 "),
        QStringLiteral("select count(0) from inventory where food_id=%1 "),
    };
    definition.deleteSql = QStringLiteral("delete from food_info where id=%1");
    definition.comboSqls = QStringList{
        QStringLiteral("select max(unit) from food_info group by unit order by unit"),
        QStringLiteral("select max(category) from food_info group by category order by category"),
    };
    definition.codeNotNumberText = QStringLiteral("产品编码只能为数字！");
    definition.codeTakenText = QStringLiteral("产品编码重复！");
    definition.logUnit = QStringLiteral("商品资料");
    definition.unitBoxSwallowsReturn = true;

    Controls controls;
    controls.table = m_ui->tableWidget;
    controls.code = m_ui->lineEdit;
    controls.name = m_ui->lineEdit_2;
    controls.combos = {m_ui->comboBox, m_ui->comboBox_2};
    controls.search = m_ui->lineEdit_3;
    start(definition, controls);

    // The table is reloaded with its own signals blocked; its models still
    // tell, and one read after a burst of changes serves them all.
    auto *later = new QTimer(this);
    later->setSingleShot(true);
    later->setInterval(0);
    connect(later, &QTimer::timeout, this, &goods::showStock);
    auto start = [later]() { later->start(); };
    QTableWidget *table = m_ui->tableWidget;
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, start);
    connect(table->model(), &QAbstractItemModel::modelReset, this, start);
    connect(table->model(), &QAbstractItemModel::rowsRemoved, this, start);
    connect(table->model(), &QAbstractItemModel::dataChanged, this, start);
    showStock();
}

void goods::showStock()
{
    const QTableWidget *table = m_ui->tableWidget;
    const int row = table->currentRow();
    const long long code = row < 0 ? 0 : DecimalText::integerOf(TableCells::cellText(table, row, 0));
    if (code == 0) {
        statusBar()->clearMessage();
        return;
    }
    QHash<long long, double> stock;
    QString error;
    if (!StockOnHand::read({code}, &stock, &error)) {
        statusBar()->showMessage(StockOnHand::unreadableText() + QLatin1Char(' ') + error);
        return;
    }
    statusBar()->showMessage(StockOnHand::text(stock.value(code), TableCells::cellText(table, row, 2)));
}

goods::~goods()
{
    delete m_ui;
}
