#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

// Stock on hand of goods items: every purchase line, less every delivery
// line, plus every stock correction, dated up to and including a day. The
// same sums as the closing stock of the goods statistics; nothing is stored.
namespace StockOnHand {

// One statement for the listed goods codes (at least one): a row of food_id
// and stock for each of them that is a goods item, also without movement.
QString statement(const QList<long long> &codes, const QString &day);

// The stock of codes on day, into *stock by code (a code that names no goods
// item is left out). False, with the engine's text in *error, when a read
// fails.
bool read(const QList<long long> &codes, QHash<long long, double> *stock, QString *error,
          const QDate &day = QDate::currentDate());

// What the clerk sees: "库存：35.00箱", and "库存：35.00箱（不足）" for a
// quantity beyond it.
QString text(double stock, const QString &unit, bool shortage = false);

// Shown instead when the stock could not be read.
QString unreadableText();

} // namespace StockOnHand
