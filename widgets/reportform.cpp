#include "widgets/reportform.h"

#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/messages.h"
#include "widgets/csvexport.h"
#include "widgets/tablecells.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTableWidgetItem>

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
    QVector<QStringList> rows;
    QString error;
    bool ok = Gateway::exec(query, sql, &error);
    if (ok) {
        while (query.next()) {
            rows << readRow(query);
        }
        ok = Gateway::fetchedAll(query, &error);
    }
    if (!ok) {
        rows.clear();
        table->setUpdatesEnabled(true);
        Messages::databaseError(table->window(), error);
        return -1;
    }

    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &cells = rows.at(r);
        for (int c = 0; c < cells.size(); ++c) {
            table->setItem(r, c, TableCells::readOnlyItem(cells.at(c)));
        }
    }
    table->setUpdatesEnabled(true);
    return rows.size();
}

void ReportForm::exportTable(QTableWidget *table)
{
    CsvExport::exportTable(this, table);
}
