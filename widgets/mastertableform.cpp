#include "widgets/mastertableform.h"

#include "app/operationlog.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/sqltemplate.h"
#include "widgets/csvexport.h"
#include "widgets/decimaltext.h"
#include "widgets/messages.h"
#include "widgets/tablecells.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTableWidgetItem>

#include <algorithm>

namespace {

// Names are joined with their code by "-" into the party texts that other
// forms split again at "-"; a comma would shift the columns of exported
// lines, and a quote has ended many a hand-written SQL literal.
bool hasForbiddenCharacter(const QString &text)
{
    return text.contains(QLatin1Char('-')) || text.contains(QLatin1Char(','))
        || text.contains(QLatin1Char('\''));
}

using TableCells::cellText;
using TableCells::readOnlyItem;
using TableCells::tickItem;

// Codes and ids in the table are base-10 integers; anything else counts as 0.
long long integerOf(const QString &text)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok, 10);
    return ok ? value : 0;
}

// A new code must be a positive integer written in digits only: a sign would
// end up inside the "code-name" party texts that other forms split at "-".
int newCodeOf(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return 0;
        }
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

MasterTableForm::MasterTableForm(QWidget *parent)
    : QMainWindow(parent)
{
    // Every master form is a window of its own, even with the main window as
    // its parent.
    setWindowFlags(windowFlags() | Qt::Window);
}

void MasterTableForm::start(const Definition &definition, const Controls &controls)
{
    m_definition = definition;
    m_controls = controls;
    m_codeColumn = columnOf(Role::Code);
    m_idColumn = columnOf(Role::Id);
    m_tickColumn = columnOf(Role::Tick);

    QTableWidget *table = m_controls.table;
    for (const Column &column : qAsConst(m_definition.columns)) {
        m_headers << column.header;
    }
    table->setColumnCount(m_headers.size());
    table->setHorizontalHeaderLabels(m_headers);
    table->horizontalHeader()->setMinimumHeight(30);
    // The tick column is narrower than the style's smallest section.
    table->horizontalHeader()->setMinimumSectionSize(20);
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        table->setColumnWidth(c, m_definition.columns.at(c).width);
    }
    table->verticalHeader()->hide();

    m_searchClause.clear();
    load();

    m_controls.search->setPlaceholderText(QStringLiteral("输入关键字搜索"));
    fillCombos();
    if (m_definition.unitBoxSwallowsReturn && !m_controls.combos.isEmpty()) {
        m_controls.combos.first()->installEventFilter(this);
    }
    OperationLog(m_definition.logUnit);
}

int MasterTableForm::columnOf(Role role) const
{
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        if (m_definition.columns.at(c).role == role) {
            return c;
        }
    }
    return -1;
}

bool MasterTableForm::isCheckedText(int column) const
{
    return column >= 0 && column < m_definition.columns.size()
        && m_definition.columns.at(column).role == Role::Text;
}

bool MasterTableForm::eventFilter(QObject *watched, QEvent *event)
{
    // Return in the unit box would add the typed unit to its list; the list
    // holds only the units that are stored.
    if (m_definition.unitBoxSwallowsReturn && !m_controls.combos.isEmpty()
        && watched == m_controls.combos.first()
        && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MasterTableForm::fillCombos()
{
    for (int i = 0; i < m_controls.combos.size(); ++i) {
        QComboBox *combo = m_controls.combos.at(i);
        combo->setEditable(true);
        if (i >= m_definition.comboSqls.size()) {
            continue;
        }
        QStringList texts;
        QString error;
        if (!Gateway::readTexts(m_definition.comboSqls.at(i), &texts, &error)) {
            Messages::databaseError(this, error);
            continue;
        }
        combo->addItems(texts);
    }
}

void MasterTableForm::load()
{
    QTableWidget *table = m_controls.table;
    const QSignalBlocker blocker(table);
    const int columnCount = m_definition.columns.size();

    // One pass over the list: the rows read decide the row count, so no row
    // is ever left without items. The cells become items as they are read.
    QVector<QTableWidgetItem *> items;
    QSqlQuery query;
    query.setForwardOnly(true);
    QString error;
    bool ok = Gateway::exec(query, SqlTemplate::fill(m_definition.listSql, {m_searchClause}), &error);
    while (ok && query.next()) {
        for (int c = 0; c < columnCount; ++c) {
            switch (m_definition.columns.at(c).role) {
            case Role::Code:
            case Role::Id:
                items << readOnlyItem(query.value(c).toString());
                break;
            case Role::Text: {
                const QVariant value = query.value(c);
                items << GuardedSave::loadedItem(value.toString(), value);
                break;
            }
            case Role::Price: {
                const QVariant value = query.value(c);
                items << GuardedSave::loadedItem(DecimalText::twoDecimals(value.toDouble()), value);
                break;
            }
            case Role::Tick:
                items << tickItem();
                break;
            }
        }
    }
    ok = ok && Gateway::fetchedAll(query, &error);
    if (!ok) {
        // A list that broke off is not shown as if it were all of it.
        qDeleteAll(items);
        items.clear();
    }

    table->setColumnCount(columnCount);
    TableCells::replaceRows(table, items);
    m_unsaved = false;
    if (!ok) {
        Messages::databaseError(this, error);
    }
}

void MasterTableForm::on_lineEdit_3_textChanged(const QString &arg1)
{
    // The clause stays once the box has been used, emptied or not: the
    // pattern then matches every record whose joined code and names are
    // not NULL.
    m_searchClause = SqlTemplate::fill(m_definition.searchClause, {SqlText::likeLiteral(arg1)});
    load();
}

void MasterTableForm::on_lineEdit_returnPressed()
{
    if (!m_controls.code->text().trimmed().isEmpty()) {
        m_controls.name->setFocus();
    }
}

void MasterTableForm::on_lineEdit_2_returnPressed()
{
    if (!m_controls.name->text().trimmed().isEmpty()) {
        addRow();
    }
}

void MasterTableForm::on_pushButton_clicked()
{
    addRow();
}

void MasterTableForm::addRow()
{
    // A filtered table would hide codes the duplicate check must see; going
    // back to the full list discards unsaved work, as any reload does.
    m_controls.search->clear();

    // The checks read the trimmed code; the new row shows it as typed.
    const QString typedCode = m_controls.code->text();
    const QString code = typedCode.trimmed();
    const QString name = m_controls.name->text();
    bool anyEmpty = code.isEmpty() || name.trimmed().isEmpty();
    for (const QComboBox *combo : qAsConst(m_controls.combos)) {
        anyEmpty = anyEmpty || combo->currentText().trimmed().isEmpty();
    }
    if (anyEmpty) {
        Messages::warning(this, QStringLiteral("录入提示"), QStringLiteral("内容不能为空"));
        return;
    }
    const int value = newCodeOf(code);
    if (value == 0) {
        Messages::warning(this, QStringLiteral("录入提示"), m_definition.codeNotNumberText);
        return;
    }
    if (hasForbiddenCharacter(name)) {
        Messages::warning(this, QStringLiteral("录入提示"),
                          QStringLiteral("品名不能包含 - , ' 等特殊符号"));
        return;
    }
    QTableWidget *table = m_controls.table;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (integerOf(cellText(table, row, m_codeColumn)) == value) {
            Messages::warning(this, QStringLiteral("录入提示"), m_definition.codeTakenText);
            return;
        }
    }

    {
        const QSignalBlocker blocker(table);
        const int row = table->rowCount();
        table->insertRow(row);
        for (int c = 0; c < m_definition.columns.size(); ++c) {
            const Column &column = m_definition.columns.at(c);
            QString text;
            switch (column.fill) {
            case Fill::Code:
                text = typedCode;
                break;
            case Fill::Name:
                text = name;
                break;
            case Fill::FirstCombo:
                text = m_controls.combos.value(0) ? m_controls.combos.value(0)->currentText()
                                                  : QString();
                break;
            case Fill::SecondCombo:
                text = m_controls.combos.value(1) ? m_controls.combos.value(1)->currentText()
                                                  : QString();
                break;
            case Fill::Zero:
                text = QStringLiteral("0");
                break;
            case Fill::Nothing:
                break;
            }
            QTableWidgetItem *item = nullptr;
            switch (column.role) {
            case Role::Code:
            case Role::Id:
                item = readOnlyItem(text);
                break;
            case Role::Tick:
                item = tickItem();
                break;
            case Role::Text:
            case Role::Price:
                item = new QTableWidgetItem(text);
                break;
            }
            table->setItem(row, c, item);
        }
        m_controls.code->clear();
        m_controls.name->clear();
        m_controls.code->setFocus();
    }
    m_unsaved = true;
    FormGuard::showRow(table, table->rowCount() - 1);
}

void MasterTableForm::on_tableWidget_itemChanged(QTableWidgetItem *item)
{
    // A tick only chooses rows for Delete; it changes nothing to save.
    if (item && item->column() != m_tickColumn) {
        m_unsaved = true;
    }
    if (!item || !isCheckedText(item->column())) {
        return;
    }
    const QString text = item->text();
    if (text.trimmed().isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("内容不能为空！"));
        return;
    }
    if (hasForbiddenCharacter(text)) {
        Messages::warning(this, QStringLiteral("输入提示"),
                          QStringLiteral("内容不能含有 - , ' 等特殊符号"));
    }
}

void MasterTableForm::on_checkBox_stateChanged(int state)
{
    QTableWidget *table = m_controls.table;
    const Qt::CheckState tick = state == 0 ? Qt::Unchecked : Qt::Checked;
    const QSignalBlocker blocker(table);
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QTableWidgetItem *item = table->item(row, m_tickColumn)) {
            item->setCheckState(tick);
        }
    }
}

void MasterTableForm::on_pushButton_2_clicked()
{
    deleteTicked();
}

bool MasterTableForm::runGuards(long long code, bool *inUse)
{
    *inUse = false;
    QSqlQuery query;
    query.setForwardOnly(true);
    for (const QString &guard : qAsConst(m_definition.guardSqls)) {
        if (!query.exec(guard.arg(code))) {
            Messages::databaseError(this, query.lastError().text());
            return false;
        }
        if (query.next() && query.value(0).toLongLong() != 0) {
            *inUse = true;
            return true;
        }
    }
    return true;
}

void MasterTableForm::deleteTicked()
{
    QTableWidget *table = m_controls.table;
    if (table->rowCount() == 0) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("请先选择一项！"));
        return;
    }

    QList<int> unsaved;
    QList<int> stored;
    QVector<GuardedSave::Write> writes;
    QStringList kept;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *tick = table->item(row, m_tickColumn);
        if (!tick || tick->checkState() != Qt::Checked) {
            continue;
        }
        const long long id = integerOf(cellText(table, row, m_idColumn));
        if (id == 0) {
            unsaved << row;
            continue;
        }
        // Documents refer to the record by its code; such a record stays, in
        // the database and on screen, and the closing message names it.
        const long long code = integerOf(cellText(table, row, m_codeColumn));
        bool inUse = false;
        if (!runGuards(code, &inUse)) {
            return;
        }
        if (inUse) {
            kept << cellText(table, row, m_codeColumn);
            continue;
        }
        QString sql = m_definition.deleteSql.arg(id);
        if (sql.endsWith(QLatin1Char(';'))) {
            sql.chop(1);
        }
        writes.append({sql + unchangedCondition(row, id) + QLatin1Char(';'), row});
        stored << row;
    }

    // The stored records go together, and only while they still hold what
    // this screen shows.
    if (!writes.isEmpty()) {
        QList<int> stale;
        QString error;
        const GuardedSave::Outcome outcome = GuardedSave::run(writes, &stale, &error);
        if (outcome != GuardedSave::Outcome::Saved) {
            tellUnsaved(outcome, stale, error);
            return;
        }
    }
    QList<int> removed = unsaved + stored;
    std::sort(removed.begin(), removed.end());
    {
        const QSignalBlocker blocker(table);
        for (int i = removed.size() - 1; i >= 0; --i) {
            table->removeRow(removed.at(i));
        }
    }

    if (!removed.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("删除成功！"));
    }
    if (!kept.isEmpty()) {
        Messages::warning(this, QStringLiteral("操作提示"),
                          QStringLiteral("[%1]已有单据使用，不能删除！")
                              .arg(kept.join(QStringLiteral("、"))));
    }
    if (removed.isEmpty() && kept.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("请先选择一项！"));
    }
}

void MasterTableForm::tellUnsaved(GuardedSave::Outcome outcome, const QList<int> &staleRows,
                                  const QString &error)
{
    if (outcome == GuardedSave::Outcome::Stale && !staleRows.isEmpty()) {
        m_controls.table->setCurrentCell(staleRows.first(), m_codeColumn);
    }
    GuardedSave::told(this, outcome, staleRows, GuardedSave::explained(error, m_controls.table, textColumns()),
                      QStringLiteral("保存提示"));
}

QVector<GuardedSave::TextColumn> MasterTableForm::textColumns() const
{
    QVector<GuardedSave::TextColumn> columns;
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        if (m_definition.columns.at(c).role == Role::Text) {
            columns.append({c, m_headers.value(c), m_definition.columns.at(c).field});
        }
    }
    return columns;
}

bool MasterTableForm::rowChanged(int row) const
{
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        const Role role = m_definition.columns.at(c).role;
        if ((role == Role::Text || role == Role::Price)
            && GuardedSave::changed(m_controls.table->item(row, c))) {
            return true;
        }
    }
    return false;
}

QString MasterTableForm::unchangedCondition(int row, long long id) const
{
    QString condition = QStringLiteral(" and id=%1").arg(id);
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        const Column &column = m_definition.columns.at(c);
        if (column.field.isEmpty()) {
            continue;
        }
        const QVariant stored = GuardedSave::loaded(m_controls.table->item(row, c));
        if (column.role == Role::Text) {
            condition += GuardedSave::unchangedText(column.field, stored);
        } else if (column.role == Role::Price) {
            condition += GuardedSave::unchangedNumber(column.field, stored);
        }
    }
    return condition;
}

void MasterTableForm::on_pushButton_3_clicked()
{
    save();
}

bool MasterTableForm::rowIsComplete(int row) const
{
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        if (!m_controls.table->item(row, c)) {
            return false;
        }
    }
    return true;
}

bool MasterTableForm::refuseUncleanRows()
{
    // Names, units and categories are stored in texts that other forms split
    // at "-" and quote; a row that breaks them is not written, and the user
    // is taken to it.
    QTableWidget *table = m_controls.table;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!rowIsComplete(row)) {
            continue;
        }
        for (int c = 0; c < m_definition.columns.size(); ++c) {
            if (!isCheckedText(c)) {
                continue;
            }
            const QString text = cellText(table, row, c);
            QString message;
            if (text.trimmed().isEmpty()) {
                message = QStringLiteral("第%1行“%2”的内容不能为空！");
            } else if (hasForbiddenCharacter(text)) {
                message = QStringLiteral("第%1行“%2”的内容不能含有 - , ' 等特殊符号");
            } else {
                continue;
            }
            table->setCurrentCell(row, c);
            table->scrollToItem(table->item(row, c));
            Messages::warning(this, QStringLiteral("输入提示"),
                              message.arg(row + 1).arg(m_headers.at(c)));
            return true;
        }
    }
    return false;
}

QStringList MasterTableForm::rowValues(int row) const
{
    const QTableWidget *table = m_controls.table;
    QStringList values;
    values << QString::number(integerOf(cellText(table, row, m_codeColumn)));
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        switch (m_definition.columns.at(c).role) {
        case Role::Text:
            values << SqlText::quoted(cellText(table, row, c));
            break;
        case Role::Price: {
            // Prices are written in fixed notation with two decimals, the
            // precision of the column: single precision and six significant
            // digits would turn 1234567 into 1.23457e+06, which the server
            // refuses and which would lose the price's last digits anyway.
            values << DecimalText::twoDecimals(DecimalText::valueOf(cellText(table, row, c).trimmed()));
            break;
        }
        case Role::Code:
        case Role::Id:
        case Role::Tick:
            break;
        }
    }
    return values;
}

void MasterTableForm::save()
{
    QTableWidget *table = m_controls.table;
    // Let a cell editor that is still open hand its text to the table:
    // leaving the current cell commits it even when the window is not active.
    m_controls.code->setFocus();
    table->setCurrentIndex(QModelIndex());
    if (refuseUncleanRows()) {
        return;
    }
    const QString unstorable = GuardedSave::unstorableText(table, textColumns());
    if (!unstorable.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), unstorable);
        return;
    }

    // Only the rows changed on this screen are written; a changed row only
    // while it still holds what was loaded.
    QVector<GuardedSave::Write> writes;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!rowIsComplete(row)) {
            continue;
        }
        const long long id = integerOf(cellText(table, row, m_idColumn));
        if (id == 0) {
            writes.append({SqlTemplate::fill(m_definition.insertSql, rowValues(row)), -1});
        } else if (rowChanged(row)) {
            QString sql = SqlTemplate::fill(m_definition.updateSql, rowValues(row)).trimmed();
            if (sql.endsWith(QLatin1Char(';'))) {
                sql.chop(1);
            }
            writes.append({sql + unchangedCondition(row, id) + QLatin1Char(';'), row});
        }
    }

    // All or nothing: a statement that fails takes the earlier ones back
    // with it, and the table keeps the user's work for another try.
    if (!writes.isEmpty()) {
        QList<int> stale;
        QString error;
        const GuardedSave::Outcome outcome = GuardedSave::run(writes, &stale, &error);
        if (outcome != GuardedSave::Outcome::Saved) {
            tellUnsaved(outcome, stale, error);
            return;
        }
    }
    load();
    Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
}

void MasterTableForm::on_pushButton_4_clicked()
{
    CsvExport::exportTable(this, m_controls.table);
}

bool MasterTableForm::saveChanges()
{
    save();
    return !m_unsaved;
}
