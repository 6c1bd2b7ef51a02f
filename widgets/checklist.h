#pragma once

#include <QString>
#include <QStringList>

class QTableWidget;

// The tick lists of the administration and category forms: a table whose
// column 0 ("选择") holds a check box and whose column 1 holds a name that
// cannot be edited. The forms differ only in the title of the name column and
// in the statements that read the names.
namespace CheckList {

enum Column { TickColumn = 0, NameColumn = 1 };

// Two columns "选择" (30 px) and nameTitle (200 px), header at least 30 px high.
void setUp(QTableWidget *table, const QString &nameTitle);

// Sizes the table by countSql, then fills it with column 0 of listSql in
// result order, every box unticked. A failed read leaves the table empty and
// returns false.
bool load(QTableWidget *table, const QString &countSql, const QString &listSql);

// Replaces the rows by names, every box unticked.
void fill(QTableWidget *table, const QStringList &names);

bool isTicked(const QTableWidget *table, int row);
void setTicked(QTableWidget *table, int row, bool ticked);
QString nameAt(const QTableWidget *table, int row);

// The names of the ticked rows, top to bottom.
QStringList tickedNames(const QTableWidget *table);

} // namespace CheckList
