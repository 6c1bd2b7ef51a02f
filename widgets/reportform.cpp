#include "widgets/reportform.h"

#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/messages.h"
#include "widgets/csvexport.h"
#include "widgets/tablecells.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTableWidgetItem>

namespace {

// A read-only report cell that keeps its text as it is, instead of in the
// item's list of role values: a report of half a million rows has four
// million cells, and the list costs each of them an allocation of its own.
class ReportCell : public QTableWidgetItem
{
public:
    explicit ReportCell(const QString &text)
        : m_text(text)
    {
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }

    QVariant data(int role) const override
    {
        if (!m_replaced && (role == Qt::DisplayRole || role == Qt::EditRole)) {
            return m_text;
        }
        return QTableWidgetItem::data(role);
    }

    void setData(int role, const QVariant &value) override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            m_replaced = true;
            m_text.clear();
        }
        QTableWidgetItem::setData(role, value);
    }

    QTableWidgetItem *clone() const override { return new ReportCell(*this); }

private:
    QString m_text;
    bool m_replaced = false;
};

} // namespace

ReportForm::ReportForm(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
{
}

QString ReportForm::goodsListSql()
{
    return QStringLiteral("select cast(food_id as varchar)+'-'+food_name from food_info order by food_id");
}

QString ReportForm::goodsCategorySql()
{
    return QStringLiteral("select category from food_info group by category order by category");
}

void ReportForm::setUpTable(QTableWidget *table, const QVector<Column> &columns)
{
    table->setColumnCount(columns.size());
    QStringList titles;
    for (const Column &column : columns) {
        titles << column.title;
    }
    table->setHorizontalHeaderLabels(titles);
    for (int c = 0; c < columns.size(); ++c) {
        table->setColumnWidth(c, columns.at(c).width);
    }
    table->horizontalHeader()->setMinimumHeight(30);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QString ReportForm::dayText(const QDateEdit *edit)
{
    return SqlText::dayText(edit->date());
}

QString ReportForm::codeClause(const QString &clauseTemplate, const QComboBox *filter,
                              bool blanksAreEmpty)
{
    const QString text = filter->currentText();
    if ((blanksAreEmpty ? text.trimmed() : text).isEmpty()) {
        return QString();
    }
    return clauseTemplate.arg(SqlText::codeOf(text));
}

QString ReportForm::textClause(const QString &clauseTemplate, const QComboBox *filter,
                              bool blanksAreEmpty)
{
    const QString text = filter->currentText();
    if ((blanksAreEmpty ? text.trimmed() : text).isEmpty()) {
        return QString();
    }
    return clauseTemplate.arg(SqlText::quoted(text));
}

int ReportForm::fillTable(QTableWidget *table, const QString &sql, const RowReader &readRow)
{
    // A month of deliveries is tens of thousands of rows: empty and size the
    // table once and repaint it once instead of row by row.
    table->setUpdatesEnabled(false);
    table->setRowCount(0);

    // A report that could not be read, wholly or in the middle of fetching,
    // is said to be so; no part of it is shown as if it were all.
    QSqlQuery query;
    query.setForwardOnly(true);
    // The cells become items as they are read: half a million rows of texts
    // held beside their items would double what the report takes.
    // A text equal to the one above it in its column shares that one's
    // storage: reports are sorted, so codes, names and units repeat.
    QVector<QTableWidgetItem *> items;
    const int columns = table->columnCount();
    QStringList above;
    QString error;
    bool ok = Gateway::exec(query, sql, &error);
    if (ok) {
        while (query.next()) {
            QStringList cells = readRow(query);
            for (int c = 0; c < columns; ++c) {
                if (c >= cells.size()) {
                    items << nullptr;
                    continue;
                }
                if (c < above.size() && cells.at(c) == above.at(c)) {
                    cells[c] = above.at(c);
                }
                items << new ReportCell(cells.at(c));
            }
            above = cells;
        }
        ok = Gateway::fetchedAll(query, &error);
    }
    if (!ok) {
        qDeleteAll(items);
        table->setUpdatesEnabled(true);
        Messages::databaseError(table->window(), error);
        return -1;
    }

    const int rowCount = columns > 0 ? items.size() / columns : 0;
    table->setRowCount(rowCount);
    {
        // Each placed item would tell the view that its cell changed, which
        // costs twice the item itself; the rows are new and the view is
        // repainted whole below, so the model stays quiet meanwhile.
        const QSignalBlocker quiet(table->model());
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i)) {
                table->setItem(i / columns, i % columns, items.at(i));
            }
        }
    }
    table->setUpdatesEnabled(true);
    table->viewport()->update();
    return rowCount;
}

void ReportForm::exportTable(QTableWidget *table)
{
    CsvExport::exportTable(this, table);
}
