#pragma once

#include <QString>
#include <QVector>

class QAbstractItemModel;
class QSqlQueryModel;
class QTableView;
class QWidget;

// What the read-only reports over a query model share: the view set up once,
// a statement read to its last row, headers and widths per result, and sums
// of a column as the totals lines show them.
namespace ModelReport {

struct Column
{
    QString header;
    int width; // 0: the view's default width
};

// Never edits, plain item delegate, alternating rows, header at least 32
// pixels high.
void setUpView(QTableView *view);

// Runs sql into model and fetches every row, so that totals and export cover
// the whole result; with everyRow false only the model's first batch is read
// and the rest as the view scrolls (or the export asks for it). A failing
// statement is told to the user ("错误提示" with the database's text) and
// leaves the model empty; returns false then.
bool load(QWidget *parent, QSqlQueryModel *model, const QString &sql, bool everyRow = true);

// Header texts on the model (horizontal, edit role) and widths on the view.
void setColumns(QSqlQueryModel *model, QTableView *view, const QVector<Column> &columns);

// The sum of column over all rows, each cell read as a number; empty or
// non-numeric cells count 0.
double columnSum(const QAbstractItemModel *model, int column);

} // namespace ModelReport
