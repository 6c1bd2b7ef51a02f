#pragma once

#include <QSqlDatabase>
#include <QString>

namespace DemoData {

// The accounts of the demo company's current day: a receivable and a payable
// of every account kind whose period ends today, so that each receivable and
// payable window opens on something, some bound to an invoice or a cash
// entry, one audited, and a tender deposit repaid late with its interest.
// Written after the company's history by fill(); false, with the failing
// statement in *error, when a statement fails.
bool fillTodaysAccounts(QSqlDatabase db, QString *error);

} // namespace DemoData
