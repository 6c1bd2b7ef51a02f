#include "stock/inventory.h"
#include "ui_inventory.h"

#include "app/loginstate.h"
#include "app/operationlog.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/decimaltext.h"
#include "widgets/guardedsave.h"
#include "widgets/picklist.h"
#include "widgets/csvexport.h"
#include "widgets/messages.h"
#include "widgets/tablecells.h"

#include <QCompleter>
#include <QDate>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidgetItem>

namespace {

// Rows whose statements go to the database in one execution.

using TableCells::cellText;
using TableCells::readOnlyItem;
using TableCells::tickItem;

long long idOf(const QTableWidget *table, int row)
{
    return DecimalText::integerOf(cellText(table, row, inventory::IdColumn));
}

} // namespace

inventory::inventory(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::inventory)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("盈亏录入/查询"));
    m_ui->comboBox->installEventFilter(this);
    m_ui->comboBox->setEditable(true);

    PickList::fillSearchable(m_ui->comboBox, QStringLiteral("select cast(food_id as varchar)+'-'+food_name+'-'+unit from food_info order by food_id"));
    // The pop-up keeps the Enter that picks an entry; the pick fills the
    // fields as that Enter would, so one is enough.
    connect(m_ui->comboBox->completer(), QOverload<const QString &>::of(&QCompleter::activated),
            this, [this](const QString &text) {
                m_ui->comboBox->setEditText(text);
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                eventFilter(m_ui->comboBox, &enter);
            });

    const QDate today = QDate::currentDate();
    m_ui->dateEdit->setDate(today);
    m_ui->dateEdit_2->setDate(today);
    m_ui->dateEdit_3->setDate(today);
    // Code, name and unit come only from the goods search.
    m_ui->lineEdit->setEnabled(false);
    m_ui->lineEdit_2->setEnabled(false);
    m_ui->lineEdit_3->setEnabled(false);

    setUpTable();
    OperationLog(QStringLiteral("盈亏单"));
}

inventory::~inventory() = default;

QString inventory::loadStatement(const QString &from, const QString &to)
{
    // unrestrictedLoadStatement with each correction's cost price looked up
    // among the purchases of its own day and goods item, the only ones its
    // join can match: the grouped purchases give at most one row per day and
    // goods item, and a date and an integer are equal exactly when the texts
    // built of them are. Loading grows with the period's corrections, not
    // with the years of purchases kept, and reads only the purchases it needs.
    // The name, unit and standard purchase price come from one join of the
    // goods: goods codes are unique.
    return QStringLiteral(
        "select convert(varchar(10),t1.date,20),t1.food_id,t1.food_name,t1.unit,t1.quantity,t1.cost,t1.quantity*t1.cost,t1.remarks,t1.input,t1.id  from (select t0.date,t0.food_id,t4.food_name,t4.unit,t0.quantity,t0.remarks,t0.input,t0.id,isnull((select sum(quantity*price)/nullif(sum(quantity),0) from purchar t3 where t3.date=t0.date and t3.food_id=t0.food_id),t4.purchar_price) as cost from inventory t0 left join food_info t4 on t0.food_id=t4.food_id where t0.date between '%1' and '%2') t1 order by t1.date,t1.food_id")
        .arg(from, to);
}

QString inventory::unrestrictedLoadStatement(const QString &from, const QString &to)
{
    // Each stored row is valued like a new one: the average purchase price of
    // its goods item on its day, else the purchase price.
    return QStringLiteral(
        "select convert(varchar(10),t1.date,20),t1.food_id,t4.food_name,t4.unit,t1.quantity,isnull(t3.price,t2.purchar_price),t1.quantity*isnull(t3.price,t2.purchar_price),t1.remarks,t1.input,t1.id  from (select date,food_id,quantity,remarks,input,id from inventory where date between '%1' and '%2') t1  left join (select food_id,purchar_price from food_info ) t2 on t1.food_id=t2.food_id left join (select date,food_id,sum(quantity*price)/nullif(sum(quantity),0) as price from purchar  group by date,food_id) t3 on convert(varchar(10),t1.date,20)+cast(t1.food_id as varchar)=convert(varchar(10),t3.date,20)+cast(t3.food_id as varchar) left join food_info t4 on t1.food_id=t4.food_id order by t1.date,t1.food_id")
        .arg(from, to);
}

void inventory::setUpTable()
{
    QTableWidget *table = m_ui->tableWidget;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("商品编码"),
                                      QStringLiteral("商品名称"), QStringLiteral("单位"),
                                      QStringLiteral("盈亏数量"), QStringLiteral("单价"),
                                      QStringLiteral("金额"), QStringLiteral("备注"),
                                      QStringLiteral("录入"), QStringLiteral("流水号"),
                                      QStringLiteral("选择")});
    const int widths[ColumnCount] = {100, 80, 200, 50, 80, 50, 80, 100, 80, 50, 50};
    for (int column = 0; column < ColumnCount; ++column) {
        table->setColumnWidth(column, widths[column]);
    }
    table->horizontalHeader()->setMinimumHeight(30);
    table->verticalHeader()->hide();
}

bool inventory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_ui->comboBox) {
        return QMainWindow::eventFilter(watched, event);
    }
    bool picked = event->type() == QEvent::FocusOut;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        picked = key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    const QString text = m_ui->comboBox->currentText();
    if (!picked || text.trimmed().isEmpty() || !text.contains(QLatin1Char('-'))) {
        return QMainWindow::eventFilter(watched, event);
    }
    // The search text is "code-name-unit"; names may not contain "-".
    const QStringList parts = text.split(QLatin1Char('-'));
    m_ui->lineEdit_4->setFocus();
    m_ui->lineEdit->setText(parts.value(0));
    m_ui->lineEdit_2->setText(parts.value(1));
    m_ui->lineEdit_3->setText(parts.value(2));
    return true;
}

QString inventory::costPrice(const QString &day, long long code)
{
    m_query.setForwardOnly(true);
    QString price;
    if (m_query.exec(QStringLiteral("select isnull(t2.price,t1.purchar_price) from (select food_id,purchar_price from food_info where food_id=%2) t1 left join (select food_id,sum(quantity*price)/nullif(sum(quantity),0) as price from purchar where date='%1' and food_id=%2 group by food_id) t2 on t1.food_id=t2.food_id")
                         .arg(day, QString::number(code)))
        && m_query.next()) {
        price = m_query.value(0).toString();
    }
    m_query.finish();
    m_query.setForwardOnly(false);
    return price;
}

namespace {

// The cells of one row: only the quantity and the remarks are edited in
// place. Those of a stored row remember the values they were loaded with
// (the statement reads them in the table's own column order).
QVector<QTableWidgetItem *> rowItems(const QStringList &cells, const QVector<QVariant> *loaded = nullptr)
{
    QVector<QTableWidgetItem *> items;
    for (int column = 0; column < inventory::TickColumn; ++column) {
        const QString &text = cells.at(column);
        if (column != inventory::QuantityColumn && column != inventory::RemarksColumn) {
            items << readOnlyItem(text);
        } else if (loaded) {
            items << GuardedSave::loadedItem(text, loaded->value(column));
        } else {
            items << new QTableWidgetItem(text);
        }
    }
    items << tickItem();
    return items;
}

} // namespace

void inventory::appendRow(const QStringList &cells)
{
    QTableWidget *table = m_ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    const QVector<QTableWidgetItem *> items = rowItems(cells);
    for (int column = 0; column < items.size(); ++column) {
        table->setItem(row, column, items.at(column));
    }
}

void inventory::on_pushButton_5_clicked()
{
    const long long code = DecimalText::integerOf(m_ui->lineEdit->text());
    const double quantity = DecimalText::valueOf(m_ui->lineEdit_4->text());
    // A loss is a negative quantity and passes; nothing to correct does not.
    if (code == 0 || quantity == 0) {
        Messages::warning(this, QStringLiteral("录入提示"), QStringLiteral("录入格式错误！"));
        return;
    }

    QTableWidget *table = m_ui->tableWidget;
    const QString day = SqlText::dayText(m_ui->dateEdit->date());
    table->blockSignals(true);
    const QString price = DecimalText::twoDecimals(DecimalText::valueOf(costPrice(day, code)));
    appendRow({day, m_ui->lineEdit->text(), m_ui->lineEdit_2->text(), m_ui->lineEdit_3->text(),
               m_ui->lineEdit_4->text(), price,
               DecimalText::twoDecimals(DecimalText::valueOf(price) * quantity), QString(),
               LoginState::userName, QStringLiteral("0")});

    m_ui->comboBox->setEditText(QString());
    m_ui->lineEdit->clear();
    m_ui->lineEdit_2->clear();
    m_ui->lineEdit_3->clear();
    m_ui->lineEdit_4->clear();
    m_ui->comboBox->setFocus();
    table->blockSignals(false);
    m_unsaved = true;
    FormGuard::showRow(table, table->rowCount() - 1);
}

void inventory::on_lineEdit_4_returnPressed()
{
    on_pushButton_5_clicked();
}

void inventory::on_tableWidget_itemChanged(QTableWidgetItem *item)
{
    if (item->column() != TickColumn) {
        m_unsaved = true;
    }
    if (item->column() != QuantityColumn) {
        return;
    }
    QTableWidget *table = m_ui->tableWidget;
    const int row = item->row();
    const QString quantity = DecimalText::twoDecimals(DecimalText::valueOf(item->text()));
    const double price = DecimalText::valueOf(cellText(table, row, PriceColumn));
    const QSignalBlocker blocker(table);
    item->setText(quantity);
    if (QTableWidgetItem *amount = table->item(row, AmountColumn)) {
        amount->setText(DecimalText::twoDecimals(DecimalText::valueOf(quantity) * price));
    }
}

void inventory::on_pushButton_4_clicked()
{
    if (!FormGuard::confirmDiscard(this)) {
        return;
    }
    m_unsaved = false;
    QTableWidget *table = m_ui->tableWidget;
    table->setRowCount(0);
    const QSignalBlocker blocker(table);

    const QString sql = loadStatement(SqlText::dayText(m_ui->dateEdit_2->date()),
                                      SqlText::dayText(m_ui->dateEdit_3->date()));
    Gateway::Rows rows;
    QString error;
    if (!Gateway::read(sql, &rows, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    QVector<QTableWidgetItem *> items;
    items.reserve(rows.size() * ColumnCount);
    for (const QVector<QVariant> &values : qAsConst(rows)) {
        // Shown as the server's decimal column shows it; the amount is made
        // from the price as shown, like a new row's.
        const QString quantity = DecimalText::twoDecimals(values.value(4).toDouble());
        const QString price = DecimalText::twoDecimals(values.value(5).toDouble());
        const QStringList cells{values.value(0).toString(), values.value(1).toString(),
                                values.value(2).toString(), values.value(3).toString(), quantity, price,
                                DecimalText::twoDecimals(DecimalText::valueOf(price) * DecimalText::valueOf(quantity)),
                                values.value(7).toString(), values.value(8).toString(),
                                values.value(9).toString()};
        items << rowItems(cells, &values);
    }
    TableCells::replaceRows(table, items);
}

QString inventory::unchangedCondition(int row) const
{
    const QTableWidget *table = m_ui->tableWidget;
    return QStringLiteral(" where id=%1").arg(idOf(table, row))
        + GuardedSave::unchangedNumber(QStringLiteral("quantity"),
                                       GuardedSave::loaded(table->item(row, QuantityColumn)))
        + GuardedSave::unchangedText(QStringLiteral("remarks"),
                                     GuardedSave::loaded(table->item(row, RemarksColumn)))
        + QLatin1Char(';');
}

void inventory::on_pushButton_clicked()
{
    QTableWidget *table = m_ui->tableWidget;
    const QVector<GuardedSave::TextColumn> remarks{
        {RemarksColumn, QStringLiteral("备注"), QStringLiteral("remarks")}};
    const QString unstorable = GuardedSave::unstorableText(table, remarks);
    if (!unstorable.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), unstorable);
        return;
    }
    QVector<GuardedSave::Write> writes;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (idOf(table, row) == 0) {
            writes.append({QStringLiteral("insert into inventory (date,food_id,quantity,remarks,input) values ('%1',%2,'%3','%4','%5');")
                              .arg(SqlText::quoted(cellText(table, row, DateColumn)),
                                   QString::number(SqlText::codeOf(cellText(table, row, CodeColumn))),
                                   SqlText::quoted(cellText(table, row, QuantityColumn)),
                                   SqlText::quoted(cellText(table, row, RemarksColumn)),
                                   SqlText::quoted(cellText(table, row, InputColumn))), -1});
        } else if (GuardedSave::changed(table->item(row, QuantityColumn))
                   || GuardedSave::changed(table->item(row, RemarksColumn))) {
            writes.append({QStringLiteral("update inventory set quantity='%1',remarks='%2'")
                               .arg(SqlText::quoted(cellText(table, row, QuantityColumn)),
                                    SqlText::quoted(cellText(table, row, RemarksColumn)))
                               + unchangedCondition(row), row});
        }
    }

    // All or nothing: a failure undoes everything, and the rows stay on
    // screen so the clerk can correct them and save again. Only new and
    // changed rows are written, a changed one only while it is as loaded.
    if (!writes.isEmpty()) {
        QList<int> stale;
        QString error;
        const GuardedSave::Outcome outcome = GuardedSave::run(writes, &stale, &error);
        if (!GuardedSave::told(this, outcome, stale, GuardedSave::explained(error, table, remarks),
                               QStringLiteral("保存提示"))) {
            return;
        }
    }

    showSaved();
    Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
}

void inventory::on_pushButton_2_clicked()
{
    QTableWidget *table = m_ui->tableWidget;
    QList<int> ticked;
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        const QTableWidgetItem *tick = table->item(row, TickColumn);
        if (tick && tick->checkState() == Qt::Checked) {
            ticked << row;
        }
    }
    if (ticked.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("请先选择一项！"));
        return;
    }

    // The stored rows go together: if one cannot be deleted, or was
    // changed by someone else, none is, and the table still shows them all.
    QVector<GuardedSave::Write> writes;
    for (const int row : qAsConst(ticked)) {
        if (idOf(table, row) != 0) {
            writes.append({QStringLiteral("delete from inventory") + unchangedCondition(row), row});
        }
    }
    QList<int> stale;
    QString error;
    if (!GuardedSave::told(this, GuardedSave::run(writes, &stale, &error), stale, error)) {
        return;
    }

    for (const int row : qAsConst(ticked)) {
        table->removeRow(row);
    }
    Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("删除成功！"));
}

void inventory::on_checkBox_stateChanged(int arg1)
{
    QTableWidget *table = m_ui->tableWidget;
    const Qt::CheckState state = arg1 == 0 ? Qt::Unchecked : Qt::Checked;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QTableWidgetItem *tick = table->item(row, TickColumn)) {
            tick->setCheckState(state);
        }
    }
}

void inventory::on_pushButton_3_clicked()
{
    CsvExport::exportTable(this, m_ui->tableWidget);
}

bool inventory::saveChanges()
{
    on_pushButton_clicked();
    return !m_unsaved;
}

// The saved rows stay in sight: the query's days widen to cover them and the
// table is read again, so it shows what the database now holds.
void inventory::showSaved()
{
    QTableWidget *table = m_ui->tableWidget;
    QDate first = m_ui->dateEdit_2->date();
    QDate last = m_ui->dateEdit_3->date();
    for (int row = 0; row < table->rowCount(); ++row) {
        const QDate day = QDate::fromString(cellText(table, row, DateColumn), Qt::ISODate);
        if (day.isValid()) {
            first = qMin(first, day);
            last = qMax(last, day);
        }
    }
    m_unsaved = false;
    m_ui->dateEdit_2->setDate(first);
    m_ui->dateEdit_3->setDate(last);
    on_pushButton_4_clicked();
}
