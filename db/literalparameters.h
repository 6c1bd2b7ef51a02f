#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

// A save of many rows sends one statement text per row, differing only in
// their literals. Compiling each afresh is most of the time such a save
// takes; with the literals taken out as parameters, the rows share one
// compiled statement.
namespace LiteralParameters {

// For an insert, update or delete in SQLite's dialect without parameters of
// its own: the text with each text and number literal replaced by "?" in
// *shape, and the literals' values in order in *values. False, and nothing
// set, for any other statement, or one whose literals may mean more than
// their value (a column position after "order by" or "group by").
// toReal reads a real literal exactly as SQLite's parser would, so that the
// bound value is the very number the literal gave; false refuses the text.
bool extract(const QString &sql, QString *shape, QVector<QVariant> *values,
             const std::function<bool(const QString &, double *)> &toReal);

} // namespace LiteralParameters
