#pragma once

#include <QSqlDatabase>
#include <QString>

// The demo company's history: a small food and daily-goods wholesaler with
// its goods, partners and staff, purchase orders and delivery notes of the
// last two months, stock corrections, invoices, cash entries, receivables
// and payables. Dates are counted back from today, so the reports always
// have something recent to show.
namespace DemoData {

// Writes the data set into an empty company database on db, with plain
// insert statements in SQL Server's dialect. The caller owns the transaction.
// False, with the failing statement in *error, when a statement fails.
bool fill(QSqlDatabase db, QString *error);

} // namespace DemoData
