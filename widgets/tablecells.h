#pragma once

#include <QString>
#include <QVector>

class QTableWidget;
class QTableWidgetItem;

// The cells the list forms put in their tables, made one way everywhere.
namespace TableCells {

// Shown and selectable, but not editable in place.
QTableWidgetItem *readOnlyItem(const QString &text);

// An empty cell with an unticked box, for choosing rows to delete or print.
QTableWidgetItem *tickItem();

// The text of a cell; a cell that was never filled reads as empty.
QString cellText(const QTableWidget *table, int row, int column);

// Shows items, row after row of the table's column count, in place of the
// table's rows. The view is repainted once, not cell by cell: a list of
// tens of thousands of rows is placed in one go.
void replaceRows(QTableWidget *table, const QVector<QTableWidgetItem *> &items);

} // namespace TableCells
