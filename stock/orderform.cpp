#include "stock/orderform.h"

#include "app/loginstate.h"
#include "app/operationlog.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/decimaltext.h"
#include "widgets/guardedsave.h"
#include "stock/orderprintform.h"
#include "stock/orderprintstate.h"
#include "widgets/messages.h"
#include "widgets/picklist.h"
#include "widgets/printerchoice.h"
#include "widgets/stockonhand.h"
#include "widgets/tablecells.h"

#include "ui_orderform.h"

#include <QBrush>
#include <QCompleter>
#include <QDate>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTableWidget>
#include <QTimer>

#include <cmath>

namespace {

const QString allParties = QStringLiteral("---全部---");

using TableCells::cellText;
using TableCells::readOnlyItem;
using TableCells::tickItem;

enum LineColumn { Code, Name, Unit, Quantity, Price, Amount, Remarks, RowId, LineTick };
enum ListColumn { Number, Date, Party, LineCount, Total, Clerk, ListTick };

using SqlText::dayText;

} // namespace

OrderForm::OrderForm(const OrderFormSetup &setup, QWidget *parent)
    : QMainWindow(parent),
      m_setup(setup),
      m_body(new Ui::OrderForm),
      m_query(QSqlDatabase::database())
{
    setWindowFlags(windowFlags() | Qt::Window);
    auto *central = new QWidget(this);
    m_body->setupUi(central);
    setCentralWidget(central);

    m_body->label_5->setText(m_setup.partyLabel);
    m_body->label_7->setText(m_setup.partyLabel);
    m_body->pushButton_3->setText(m_setup.queryButton);
    m_body->pushButton_4->setText(m_setup.newButton);
    m_body->label_12->setText(m_setup.priceLabel);

    // The line edit of the goods search sees the keys of a completion, the
    // box itself the rest; both belong to the search box.
    m_body->comboBox->setEditable(true);
    m_body->comboBox_2->setEditable(true);
    m_body->comboBox_3->setEditable(true);
    m_body->comboBox_3->installEventFilter(this);
    m_body->comboBox_3->lineEdit()->installEventFilter(this);

    fillPartyBoxes();
    fillGoodsBox();

    // Code, name, unit and price come only from a picked goods item.
    m_body->lineEdit_5->setEnabled(false);
    m_body->lineEdit->setEnabled(false);
    m_body->lineEdit_2->setEnabled(false);
    m_body->lineEdit_6->setEnabled(false);

    setUpTables();

    const QDate today = QDate::currentDate();
    m_body->dateEdit->setDate(today);
    m_body->dateEdit_2->setDate(today);
    m_body->dateEdit_3->setDate(today);

    fillPrinterBox();

    // The line table changes in many places, often with its own signals
    // blocked; its model still tells, and one read after the changes serves
    // them all.
    m_stockTimer = new QTimer(this);
    m_stockTimer->setSingleShot(true);
    m_stockTimer->setInterval(0);
    connect(m_stockTimer, &QTimer::timeout, this, &OrderForm::refreshStock);
    QAbstractItemModel *lineModel = m_body->tableWidget->model();
    auto later = [this]() { m_stockTimer->start(); };
    connect(lineModel, &QAbstractItemModel::rowsInserted, this, later);
    connect(lineModel, &QAbstractItemModel::rowsRemoved, this, later);
    connect(lineModel, &QAbstractItemModel::modelReset, this, later);
    connect(lineModel, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QVector<int> &roles) {
                // The red marks themselves change only the colour.
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole)) {
                    m_stockTimer->start();
                }
            });

    OperationLog(m_setup.logUnit);
}

OrderForm::~OrderForm()
{
    delete m_body;
}

QStringList OrderForm::readTexts(const QString &statement)
{
    QStringList texts;
    QString error;
    if (!Gateway::readTexts(statement, &texts, &error)) {
        Messages::databaseError(this, error);
    }
    return texts;
}

void OrderForm::giveCompleter(QComboBox *box, const QStringList &texts)
{
    auto *completer = new QCompleter(texts, box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(completer);
    PickList::widenPopup(box, texts);
}

void OrderForm::fillPartyBoxes()
{
    const QStringList parties = readTexts(m_setup.partyList);
    m_body->comboBox->addItem(allParties);
    m_body->comboBox->addItems(parties);
    m_body->comboBox_2->addItem(QString());
    m_body->comboBox_2->addItems(parties);
    giveCompleter(m_body->comboBox, parties);
    giveCompleter(m_body->comboBox_2, parties);
}

void OrderForm::fillGoodsBox()
{
    const QStringList goods = readTexts(m_setup.goodsList);
    m_body->comboBox_3->addItem(QString());
    m_body->comboBox_3->addItems(goods);
    giveCompleter(m_body->comboBox_3, goods);
    // The pop-up keeps the Enter that picks an entry; the pick itself fills
    // the fields, so one Enter is enough.
    connect(m_body->comboBox_3->completer(), QOverload<const QString &>::of(&QCompleter::activated),
            this, [this](const QString &text) {
                m_body->comboBox_3->setEditText(text);
                takeGoods();
            });
}

void OrderForm::setUpTables()
{
    QTableWidget *list = m_body->tableWidget_2;
    list->setColumnCount(7);
    list->setHorizontalHeaderLabels({m_setup.numberTitle, QStringLiteral("日期"), m_setup.partyTitle,
                                     QStringLiteral("商品数量"), QStringLiteral("金额"),
                                     QStringLiteral("经办"), QStringLiteral("选择")});
    const QList<int> listWidths{150, 100, 200, 80, 80, 80, 50};
    for (int c = 0; c < listWidths.size(); ++c) {
        list->setColumnWidth(c, listWidths.at(c));
    }
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);

    QTableWidget *lines = m_body->tableWidget;
    lines->setColumnCount(9);
    lines->setHorizontalHeaderLabels({QStringLiteral("商品编码"), QStringLiteral("商品名称"),
                                      QStringLiteral("单位"), m_setup.quantityTitle,
                                      QStringLiteral("单价"), QStringLiteral("金额"),
                                      QStringLiteral("备注"), QStringLiteral("流水号"),
                                      QStringLiteral("选择")});
    const QList<int> lineWidths{80, 200, 50, 80, 80, 100, 80, 50, 50};
    for (int c = 0; c < lineWidths.size(); ++c) {
        lines->setColumnWidth(c, lineWidths.at(c));
    }

    for (QTableWidget *table : {list, lines}) {
        table->horizontalHeader()->setMinimumHeight(30);
        table->verticalHeader()->setVisible(false);
    }
}

void OrderForm::fillPrinterBox()
{
    // A machine without printers leaves the box empty; preview then writes
    // PDF files and print names what is missing.
    m_body->comboBox_5->addItems(PrinterChoice::availablePrinterNames());
    const int index = m_body->comboBox_5->findText(PrinterChoice::defaultPrinterName());
    if (index >= 0) {
        m_body->comboBox_5->setCurrentIndex(index);
    }
    OrderPrintState::printerName = m_body->comboBox_5->currentText();
}

bool OrderForm::eventFilter(QObject *watched, QEvent *event)
{
    const bool searchBox = watched == m_body->comboBox_3 || watched == m_body->comboBox_3->lineEdit();
    if (!searchBox) {
        return QMainWindow::eventFilter(watched, event);
    }
    bool picked = event->type() == QEvent::FocusOut;
    // A completion pop-up takes the focus only for show; the box keeps it.
    if (picked && static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason) {
        picked = false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        picked = key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    // Moving the focus away from the box below causes a focus-out of its own.
    if (!picked || m_takingGoods) {
        return false;
    }
    const QString text = m_body->comboBox_3->currentText();
    if (text.trimmed().isEmpty() || !text.contains(QLatin1Char('-'))) {
        return false;
    }
    takeGoods();
    // The key is used up; a focus-out still reaches the box, which would
    // otherwise keep drawing its cursor.
    return event->type() == QEvent::KeyPress;
}

void OrderForm::takeGoods()
{
    m_takingGoods = true;
    m_body->lineEdit_3->setFocus();
    const QStringList parts = m_body->comboBox_3->currentText().split(QLatin1Char('-'));
    // A text that is not code-name-unit-price names no goods item: the fields
    // stay empty and adding the line is refused.
    const bool complete = parts.size() >= 4;
    m_body->lineEdit_5->setText(complete ? parts.at(0) : QString());
    m_body->lineEdit->setText(complete ? parts.at(1) : QString());
    m_body->lineEdit_2->setText(complete ? parts.at(2) : QString());
    m_body->lineEdit_6->setText(complete ? parts.at(3) : QString());
    m_takingGoods = false;
}

void OrderForm::on_lineEdit_3_returnPressed()
{
    m_body->lineEdit_4->setFocus();
}

void OrderForm::on_lineEdit_4_returnPressed()
{
    addLine();
}

void OrderForm::on_pushButton_5_clicked()
{
    addLine();
}

void OrderForm::addLine()
{
    // Negative quantities are returns and pass; a zero quantity is a typing
    // mistake.
    const long long code = DecimalText::integerOf(m_body->lineEdit_5->text());
    const double quantity = DecimalText::valueOf(m_body->lineEdit_3->text());
    if (code == 0 || quantity == 0.0) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("输入格式不正确，请检查！"));
        return;
    }

    QTableWidget *lines = m_body->tableWidget;
    const QString quantityText = DecimalText::twoDecimals(quantity);
    const QString priceText = DecimalText::twoDecimals(DecimalText::valueOf(m_body->lineEdit_6->text()));
    const QString amountText = DecimalText::twoDecimals(DecimalText::valueOf(quantityText)
                                                        * DecimalText::valueOf(priceText));
    {
        const QSignalBlocker blocker(lines);
        const int row = lines->rowCount();
        lines->insertRow(row);
        lines->setItem(row, Code, readOnlyItem(m_body->lineEdit_5->text()));
        lines->setItem(row, Name, readOnlyItem(m_body->lineEdit->text()));
        lines->setItem(row, Unit, readOnlyItem(m_body->lineEdit_2->text()));
        lines->setItem(row, Quantity, new QTableWidgetItem(quantityText));
        lines->setItem(row, Price, new QTableWidgetItem(priceText));
        lines->setItem(row, Amount, readOnlyItem(amountText));
        lines->setItem(row, Remarks, new QTableWidgetItem(m_body->lineEdit_4->text()));
        lines->setItem(row, RowId, readOnlyItem(QStringLiteral("0")));
        lines->setItem(row, LineTick, tickItem());
        FormGuard::showRow(lines, row);
    }
    m_unsaved = true;

    m_body->comboBox_3->clearEditText();
    for (QLineEdit *field : {m_body->lineEdit_5, m_body->lineEdit, m_body->lineEdit_2,
                             m_body->lineEdit_3, m_body->lineEdit_4, m_body->lineEdit_6}) {
        field->clear();
    }
    m_body->comboBox_3->setFocus();
}

void OrderForm::on_tableWidget_itemChanged(QTableWidgetItem *item)
{
    if (item->column() != LineTick) {
        m_unsaved = true;
    }
    if (item->column() != Quantity && item->column() != Price) {
        return;
    }
    // Rewriting the cells calls this handler again; the texts are then
    // already formatted and nothing changes any more.
    QTableWidget *lines = m_body->tableWidget;
    const int row = item->row();
    const QString quantity = DecimalText::twoDecimals(DecimalText::valueOf(cellText(lines, row, Quantity)));
    const QString price = DecimalText::twoDecimals(DecimalText::valueOf(cellText(lines, row, Price)));
    const QString amount = DecimalText::twoDecimals(DecimalText::valueOf(quantity)
                                                    * DecimalText::valueOf(price));
    if (QTableWidgetItem *cell = lines->item(row, Quantity)) {
        cell->setText(quantity);
    }
    if (QTableWidgetItem *cell = lines->item(row, Price)) {
        cell->setText(price);
    }
    if (QTableWidgetItem *cell = lines->item(row, Amount)) {
        cell->setText(amount);
    }
}

int OrderForm::nextSequence(const QString &date, long long partyCode)
{
    const QString code = QString::number(partyCode);
    m_query.setForwardOnly(true);
    int lines = 0;
    if (m_query.exec(m_setup.countLines.arg(SqlText::quoted(date), code)) && m_query.next()) {
        lines = m_query.value(0).toInt();
    }
    m_query.finish();
    if (lines == 0) {
        m_query.setForwardOnly(false);
        return 1;
    }
    long long largest = 0;
    if (m_query.exec(m_setup.existingNumbers.arg(SqlText::quoted(date), code))) {
        while (m_query.next()) {
            // A stored number without a third part counts as sequence 0.
            const QStringList parts = m_query.value(0).toString().split(QLatin1Char('-'));
            const long long sequence = parts.size() >= 3 ? DecimalText::integerOf(parts.at(2)) : 0;
            largest = qMax(largest, sequence);
        }
    }
    m_query.finish();
    m_query.setForwardOnly(false);
    return static_cast<int>(largest + 1);
}

QString OrderForm::orderNumber(const QString &date, const QString &partyText, int sequence) const
{
    return m_setup.numberPrefix + QString(date).remove(QLatin1Char('-')) + QLatin1Char('-')
        + partyText.section(QLatin1Char('-'), 0, 0) + QLatin1Char('-') + QString::number(sequence);
}

void OrderForm::on_pushButton_4_clicked()
{
    if (!askBeforeDropping()) {
        return;
    }
    const QString partyText = m_body->comboBox_2->currentText();
    // The code before the first "-" goes into the number and, as a number,
    // into the statements; a text without one names no partner.
    bool isCode = false;
    partyText.section(QLatin1Char('-'), 0, 0).toLongLong(&isCode, 10);
    if (partyText.trimmed().isEmpty() || !partyText.contains(QLatin1Char('-')) || !isCode) {
        Messages::warning(this, QStringLiteral("录入提示"), QStringLiteral("内容为空或格式不正确！"));
        return;
    }

    QTableWidget *list = m_body->tableWidget_2;
    m_body->tableWidget->setRowCount(0);
    m_linesNumber.clear();
    list->setRowCount(0);
    list->setRowCount(1);
    m_body->comboBox_3->setFocus();

    const QString date = dayText(m_body->dateEdit_3->date());
    const int sequence = nextSequence(date, SqlText::codeOf(partyText));
    list->setItem(0, Number, new QTableWidgetItem(orderNumber(date, partyText, sequence)));
    list->setItem(0, Date, new QTableWidgetItem(date));
    list->setItem(0, Party, new QTableWidgetItem(partyText));
    list->setItem(0, LineCount, new QTableWidgetItem(QStringLiteral("0")));
    list->setItem(0, Total, new QTableWidgetItem(QStringLiteral("0")));
    list->setItem(0, Clerk, new QTableWidgetItem(LoginState::userName));
    list->setItem(0, ListTick, tickItem());
}

void OrderForm::on_pushButton_3_clicked()
{
    if (!askBeforeDropping()) {
        return;
    }
    loadOrderList();
}

void OrderForm::loadOrderList()
{
    const QString first = dayText(m_body->dateEdit->date());
    const QString last = dayText(m_body->dateEdit_2->date());
    const QString party = m_body->comboBox->currentText();
    const QString statement = party == allParties
        ? m_setup.orderListAll.arg(SqlText::quoted(first), SqlText::quoted(last))
        : m_setup.orderListOne.arg(SqlText::quoted(first), SqlText::quoted(last),
                                   QString::number(SqlText::codeOf(party)));

    QTableWidget *list = m_body->tableWidget_2;
    list->setRowCount(0);
    Gateway::Rows rows;
    QString error;
    if (!Gateway::read(statement, &rows, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    for (const QVector<QVariant> &values : qAsConst(rows)) {
        const int row = list->rowCount();
        list->insertRow(row);
        list->setItem(row, Number, new QTableWidgetItem(values.value(0).toString()));
        list->setItem(row, Date, new QTableWidgetItem(values.value(1).toString()));
        list->setItem(row, Party, new QTableWidgetItem(values.value(2).toString()));
        list->setItem(row, LineCount, new QTableWidgetItem(values.value(3).toString()));
        list->setItem(row, Total, new QTableWidgetItem(DecimalText::twoDecimals(
                                      DecimalText::valueOf(values.value(4).toString()))));
        list->setItem(row, Clerk, new QTableWidgetItem(values.value(5).toString()));
        list->setItem(row, ListTick, tickItem());
    }
}

void OrderForm::on_tableWidget_2_clicked(const QModelIndex &index)
{
    QTableWidget *list = m_body->tableWidget_2;
    QTableWidget *lines = m_body->tableWidget;
    const QString number = cellText(list, index.row(), Number);
    if (!askBeforeDropping()) {
        return;
    }
    {
        const QSignalBlocker blocker(lines);
        lines->setRowCount(0);
        m_linesNumber.clear();
        Gateway::Rows rows;
        QString error;
        if (!Gateway::read(m_setup.orderLines.arg(SqlText::quoted(number)), &rows, &error)) {
            Messages::databaseError(this, error);
            return;
        }
        m_linesNumber = number;
        for (const QVector<QVariant> &values : qAsConst(rows)) {
            const int row = lines->rowCount();
            lines->insertRow(row);
            const double quantity = DecimalText::valueOf(values.value(3).toString());
            const double price = DecimalText::valueOf(values.value(4).toString());
            lines->setItem(row, Code, readOnlyItem(values.value(0).toString()));
            lines->setItem(row, Name, readOnlyItem(values.value(1).toString()));
            lines->setItem(row, Unit, readOnlyItem(values.value(2).toString()));
            lines->setItem(row, Quantity, new QTableWidgetItem(DecimalText::twoDecimals(quantity)));
            lines->setItem(row, Price, new QTableWidgetItem(DecimalText::twoDecimals(price)));
            lines->setItem(row, Amount, readOnlyItem(DecimalText::twoDecimals(quantity * price)));
            lines->setItem(row, Remarks, new QTableWidgetItem(values.value(6).toString()));
            lines->setItem(row, RowId, readOnlyItem(values.value(7).toString()));
            lines->setItem(row, LineTick, tickItem());
            GuardedSave::remember(lines->item(row, Quantity), values.value(3));
            GuardedSave::remember(lines->item(row, Price), values.value(4));
            GuardedSave::remember(lines->item(row, Remarks), values.value(6));
        }
    }
    list->setCurrentCell(index.row(), index.column());
}

bool OrderForm::runStatements(const QString &statements, QString *error)
{
    // A block read through a server cursor could undo the session settings
    // that make a failing block stop and report.
    m_query.setForwardOnly(true);
    if (m_query.exec(statements)) {
        m_query.finish();
        return true;
    }
    *error = m_query.lastError().text();
    return false;
}

bool OrderForm::findFreeNumber(const QString &date, const QString &partyText, QString *number,
                               QString *error)
{
    // Nothing reserves a number when it is shown: another workstation may
    // have saved an order under it since. Within the transaction the number
    // is taken only when no stored line carries it.
    int sequence = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        m_query.setForwardOnly(true);
        const bool ok = m_query.exec(m_setup.numberInUse.arg(SqlText::quoted(*number)));
        const bool used = ok && m_query.next() && m_query.value(0).toLongLong() > 0;
        if (!ok) {
            *error = m_query.lastError().text();
        }
        m_query.finish();
        m_query.setForwardOnly(false);
        if (!ok) {
            return false;
        }
        if (!used) {
            return true;
        }
        sequence = sequence == 0 ? nextSequence(date, SqlText::codeOf(partyText)) : sequence + 1;
        *number = orderNumber(date, partyText, sequence);
    }
    *error = QStringLiteral("找不到可用的单号：%1").arg(*number);
    return false;
}

void OrderForm::on_pushButton_clicked()
{
    QTableWidget *list = m_body->tableWidget_2;
    QTableWidget *lines = m_body->tableWidget;
    const bool newOrder = list->rowCount() == 1 && cellText(list, 0, LineCount) == QStringLiteral("0")
        && cellText(list, 0, Total) == QStringLiteral("0");
    const int orderRow = newOrder ? 0 : list->currentRow();
    if (orderRow < 0) {
        Messages::warning(this, QStringLiteral("保存提示"), QStringLiteral("没有订单号,无法保存！"));
        return;
    }

    const QString shownNumber = cellText(list, orderRow, Number);
    const QString date = cellText(list, orderRow, Date);
    const QString partyText = cellText(list, orderRow, Party);
    QString number = shownNumber;

    const QString unstorable = GuardedSave::unstorableText(
        lines, {{Remarks, QStringLiteral("备注"), QStringLiteral("remarks")}});
    if (!unstorable.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), unstorable);
        return;
    }
    if (lines->rowCount() > 0) {
        // All lines or none: a failure leaves the database as it was and the
        // lines on the screen for another try. The number, the partner and
        // the goods are checked inside the transaction that stores the
        // lines, so they are composed there. Only new and changed lines are
        // written, a changed one only while it is as loaded.
        QString refusal;
        auto compose = [&](QVector<GuardedSave::Write> *writes, QString *error) {
            if (!refuseMissingCodes(partyText, &refusal, error)) {
                return false;
            }
            if (newOrder && !findFreeNumber(date, partyText, &number, error)) {
                return false;
            }
            const QString party = QString::number(SqlText::codeOf(partyText));
            const QString clerk = SqlText::quoted(LoginState::userName);
            for (int row = 0; row < lines->rowCount(); ++row) {
                const QString quantity = SqlText::quoted(cellText(lines, row, Quantity));
                const QString price = SqlText::quoted(cellText(lines, row, Price));
                const QString remarks = SqlText::quoted(cellText(lines, row, Remarks));
                if (newOrder || cellText(lines, row, RowId) == QStringLiteral("0")) {
                    writes->append({m_setup.insertLine.arg(
                        SqlText::quoted(number), SqlText::quoted(date), party,
                        QString::number(DecimalText::integerOf(cellText(lines, row, Code))), quantity,
                        price, remarks, clerk), -1});
                } else if (GuardedSave::changed(lines->item(row, Quantity))
                           || GuardedSave::changed(lines->item(row, Price))
                           || GuardedSave::changed(lines->item(row, Remarks))) {
                    QString sql = m_setup.updateLine.arg(
                        quantity, price, remarks,
                        QString::number(DecimalText::integerOf(cellText(lines, row, RowId))));
                    if (sql.endsWith(QLatin1Char(';'))) {
                        sql.chop(1);
                    }
                    writes->append({sql + lineUnchanged(row) + QLatin1Char(';'), row});
                }
            }
            return true;
        };
        auto send = [this](const QString &block, QString *error) {
            return runStatements(block, error);
        };
        QList<int> stale;
        QString error;
        const GuardedSave::Outcome outcome = GuardedSave::run(compose, &stale, &error, send);
        if (outcome == GuardedSave::Outcome::Failed && !refusal.isEmpty()) {
            Messages::warning(this, QStringLiteral("保存提示"), refusal);
            return;
        }
        const QVector<GuardedSave::TextColumn> remarks{{Remarks, QStringLiteral("备注"), QStringLiteral("remarks")}};
        if (!GuardedSave::told(this, outcome, stale, GuardedSave::explained(error, lines, remarks),
                               QStringLiteral("保存提示"))) {
            return;
        }
    }

    if (number != shownNumber) {
        Messages::information(this, QStringLiteral("保存提示"),
                              QStringLiteral("单号%1已被其他用户使用，本单已保存为%2！")
                                  .arg(shownNumber, number));
    }
    loadOrderList();
    lines->setRowCount(0);
    m_unsaved = false;
    Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
}

void OrderForm::on_pushButton_2_clicked()
{
    QTableWidget *lines = m_body->tableWidget;
    QList<int> ticked;
    QVector<GuardedSave::Write> writes;
    for (int row = lines->rowCount() - 1; row >= 0; --row) {
        const QTableWidgetItem *tick = lines->item(row, LineTick);
        if (!tick || tick->checkState() != Qt::Checked) {
            continue;
        }
        ticked << row;
        const long long id = DecimalText::integerOf(cellText(lines, row, RowId));
        if (id != 0) {
            writes.append({m_setup.deleteLine.arg(id) + lineUnchanged(row) + QLatin1Char(';'), row});
        }
    }
    if (ticked.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("请先选择一项！"));
        return;
    }

    if (!writes.isEmpty()) {
        // The stored lines go together or not at all, and only while they
        // are as loaded; the table shows the outcome.
        QList<int> stale;
        QString error;
        if (!GuardedSave::told(this, GuardedSave::run(writes, &stale, &error), stale, error)) {
            return;
        }
    }
    for (int row : qAsConst(ticked)) {
        lines->removeRow(row);
    }
    Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("删除成功！"));
}

QString OrderForm::lineUnchanged(int row) const
{
    const QTableWidget *lines = m_body->tableWidget;
    return QStringLiteral(" and %1='%2'").arg(m_setup.numberColumn, SqlText::quoted(m_linesNumber))
        + GuardedSave::unchangedNumber(QStringLiteral("quantity"),
                                       GuardedSave::loaded(lines->item(row, Quantity)))
        + GuardedSave::unchangedNumber(QStringLiteral("price"),
                                       GuardedSave::loaded(lines->item(row, Price)))
        + GuardedSave::unchangedText(QStringLiteral("remarks"),
                                     GuardedSave::loaded(lines->item(row, Remarks)));
}

bool OrderForm::refuseMissingCodes(const QString &partyText, QString *refusal, QString *error)
{
    auto count = [&](const QString &sql, long long *found) {
        QSqlQuery query;
        if (!Gateway::exec(query, sql, error)) {
            return false;
        }
        *found = query.next() ? query.value(0).toLongLong() : 0;
        return Gateway::fetchedAll(query, error);
    };
    long long found = 0;
    if (!count(m_setup.partyExists.arg(SqlText::codeOf(partyText)), &found)) {
        return false;
    }
    if (found == 0) {
        *refusal = QStringLiteral("%1“%2”不存在，请重新选择！").arg(m_setup.partyTitle, partyText);
        *error = *refusal;
        return false;
    }
    const QTableWidget *lines = m_body->tableWidget;
    QList<long long> known;
    for (int row = 0; row < lines->rowCount(); ++row) {
        const long long code = DecimalText::integerOf(cellText(lines, row, Code));
        if (known.contains(code)) {
            continue;
        }
        if (!count(QStringLiteral("select count(0) from food_info where food_id=%1").arg(code), &found)) {
            return false;
        }
        if (found == 0) {
            *refusal = QStringLiteral("第%1行商品编码“%2”不存在，请删除该行后再保存！")
                           .arg(row + 1)
                           .arg(cellText(lines, row, Code));
            *error = *refusal;
            return false;
        }
        known << code;
    }
    return true;
}

void OrderForm::on_pushButton_6_clicked()
{
    handOverToPrint(true);
}

void OrderForm::on_pushButton_7_clicked()
{
    handOverToPrint(false);
}

void OrderForm::handOverToPrint(bool preview)
{
    QTableWidget *list = m_body->tableWidget_2;
    int orderRow = -1;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem *tick = list->item(row, ListTick);
        if (tick && tick->checkState() == Qt::Checked) {
            orderRow = row;
            break;
        }
    }
    if (orderRow < 0) {
        Messages::warning(this, QStringLiteral("操作提示"), QStringLiteral("先选择一行"));
        return;
    }

    OrderPrintState::setFormat(m_body->comboBox_4->currentText());
    OrderPrintState::orderNumber = cellText(list, orderRow, Number);
    OrderPrintState::orderDate = cellText(list, orderRow, Date);
    OrderPrintState::partyText = cellText(list, orderRow, Party);
    OrderPrintState::printerName = m_body->comboBox_5->currentText();

    // The print object belongs to this form and lives as long as it does.
    OrderPrintForm *print = m_setup.createPrintForm(this);
    if (preview) {
        print->previewOrder();
    } else {
        print->printOrder();
    }
}

bool OrderForm::saveChanges()
{
    on_pushButton_clicked();
    return !m_unsaved;
}

// Another order or a new one replaces the lines on the screen; lines not
// saved yet are only dropped when the user says so.
bool OrderForm::askBeforeDropping()
{
    if (!FormGuard::confirmDiscard(this)) {
        return false;
    }
    if (m_unsaved) {
        const QSignalBlocker blocker(m_body->tableWidget);
        m_body->tableWidget->setRowCount(0);
        m_unsaved = false;
    }
    return true;
}
namespace {

// Stock figures are compared as they are shown, to the cent.
long long cents(double value)
{
    return std::llround(value * 100.0);
}

} // namespace

void OrderForm::on_lineEdit_5_textChanged(const QString &arg1)
{
    // The code field is filled only by picking goods: the stock is read once
    // per pick (and per change of the lines), not per key typed.
    m_stockCode = DecimalText::integerOf(arg1);
    readPickedStock();
    showStock();
}

void OrderForm::readPickedStock()
{
    m_storedStock = 0;
    m_storedOnScreen = 0;
    m_stockError.clear();
    if (m_stockCode == 0) {
        return;
    }
    QHash<long long, double> stock;
    QHash<long long, double> stored;
    if (StockOnHand::read({m_stockCode}, &stock, &m_stockError)
        && readStoredOnScreen(&stored, &m_stockError)) {
        m_storedStock = stock.value(m_stockCode);
        m_storedOnScreen = stored.value(m_stockCode);
    }
}

// The unit is filled after the code.
void OrderForm::on_lineEdit_2_textChanged(const QString &)
{
    showStock();
}

void OrderForm::on_lineEdit_3_textChanged(const QString &)
{
    showStock();
}

double OrderForm::quantityOnScreen(long long code) const
{
    const QTableWidget *lines = m_body->tableWidget;
    double sum = 0;
    for (int row = 0; row < lines->rowCount(); ++row) {
        if (DecimalText::integerOf(cellText(lines, row, Code)) == code) {
            sum += DecimalText::valueOf(cellText(lines, row, Quantity));
        }
    }
    return sum;
}

bool OrderForm::readStoredOnScreen(QHash<long long, double> *stored, QString *error)
{
    // Lines of the order that are stored count in the stock as stored, not
    // as the table shows them now.
    const QTableWidget *lines = m_body->tableWidget;
    QStringList ids;
    for (int row = 0; row < lines->rowCount(); ++row) {
        const long long id = DecimalText::integerOf(cellText(lines, row, RowId));
        if (id != 0) {
            ids << QString::number(id);
        }
    }
    stored->clear();
    if (ids.isEmpty()) {
        return true;
    }
    Gateway::Rows rows;
    if (!Gateway::read(m_setup.storedLines.arg(ids.join(QLatin1Char(',')),
                                               SqlText::quoted(dayText(QDate::currentDate()))),
                       &rows, error)) {
        return false;
    }
    for (const QVector<QVariant> &row : qAsConst(rows)) {
        stored->insert(row.value(0).toLongLong(), row.value(1).toDouble());
    }
    return true;
}

void OrderForm::showStock()
{
    QLabel *label = m_body->label_stock;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, this->palette().color(QPalette::WindowText));
    if (m_stockCode == 0) {
        label->clear();
        label->setToolTip(QString());
        label->setPalette(palette);
        return;
    }
    if (!m_stockError.isEmpty()) {
        label->setText(StockOnHand::unreadableText());
        label->setToolTip(m_stockError);
        label->setPalette(palette);
        return;
    }
    // What the stock will be once the order on the screen is saved.
    const double change = quantityOnScreen(m_stockCode) - m_storedOnScreen;
    const double stock = m_storedStock + (m_setup.takesFromStock ? -change : change);
    // Only a sign: many sell from stock not entered yet, so nothing stops the
    // clerk.
    const bool shortage = m_setup.takesFromStock
        && cents(DecimalText::valueOf(m_body->lineEdit_3->text())) > cents(stock);
    if (shortage) {
        palette.setColor(QPalette::WindowText, Qt::red);
    }
    label->setText(StockOnHand::text(stock, m_body->lineEdit_2->text(), shortage));
    label->setToolTip(QString());
    label->setPalette(palette);
}

void OrderForm::refreshStock()
{
    // A save or a deletion has changed what is stored as well.
    readPickedStock();
    if (m_setup.takesFromStock) {
        markShortLines();
    }
    showStock();
}

void OrderForm::markShortLines()
{
    QTableWidget *lines = m_body->tableWidget;
    QList<long long> codes;
    for (int row = 0; row < lines->rowCount(); ++row) {
        const long long code = DecimalText::integerOf(cellText(lines, row, Code));
        if (code != 0 && !codes.contains(code)) {
            codes << code;
        }
    }
    QHash<long long, double> available;
    QHash<long long, double> storedOnScreen;
    QString error;
    const bool known = readStoredOnScreen(&storedOnScreen, &error)
        && (codes.isEmpty() || StockOnHand::read(codes, &available, &error));
    // What the stock held before this note: its stored lines are taken from
    // it already. Then the lines in table order, each taking its part; a line
    // beyond what is left is marked.
    for (auto it = storedOnScreen.cbegin(); it != storedOnScreen.cend(); ++it) {
        available[it.key()] += it.value();
    }
    const QSignalBlocker blocker(lines);
    for (int row = 0; row < lines->rowCount(); ++row) {
        QTableWidgetItem *quantity = lines->item(row, Quantity);
        if (!quantity) {
            continue;
        }
        double &left = available[DecimalText::integerOf(cellText(lines, row, Code))];
        left -= DecimalText::valueOf(quantity->text());
        const bool beyond = known && cents(left) < 0;
        quantity->setData(Qt::ForegroundRole, beyond ? QVariant(QBrush(Qt::red)) : QVariant());
    }
}
