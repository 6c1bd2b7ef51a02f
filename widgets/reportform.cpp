#include "widgets/reportform.h"

#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/messages.h"
#include "widgets/csvexport.h"
#include "widgets/reporttablemodel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QSqlQuery>
#include <QTableView>

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

void ReportForm::setUpTable(QTableView *table, const QVector<Column> &columns)
{
    QStringList titles;
    for (const Column &column : columns) {
        titles << column.title;
    }
    table->setModel(new ReportTableModel(titles, table));
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

int ReportForm::fillTable(QTableView *table, const QString &sql, const RowReader &readRow)
{
    // The rows shown before go first: a second large report would otherwise
    // be read while the first one is still held.
    auto *model = qobject_cast<ReportTableModel *>(table->model());
    Q_ASSERT(model);
    model->clear();

    // A report that could not be read, wholly or in the middle of fetching,
    // is said to be so; no part of it is shown as if it were all.
    QSqlQuery query;
    query.setForwardOnly(true);
    QVector<QString> cells;
    QString error;
    bool ok = Gateway::exec(query, sql, &error);
    if (ok) {
        while (query.next()) {
            model->appendRow(cells, readRow(query));
        }
        ok = Gateway::fetchedAll(query, &error);
    }
    if (!ok) {
        Messages::databaseError(table->window(), error);
        return -1;
    }
    cells.squeeze();
    model->setCells(std::move(cells));
    return model->rowCount();
}

void ReportForm::exportTable(QTableView *table)
{
    CsvExport::exportModel(this, table, table->model(), nullptr);
}
