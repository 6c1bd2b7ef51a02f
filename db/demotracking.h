#pragma once

#include <QSqlDatabase>
#include <QString>

namespace DemoData {

// A customer and a supplier whose accounts show what the tracking reports
// warn about: a period open well beyond the agreed cycle ("逾期") and a last
// payment more than 30 days back, beside an older period settled in full
// with its sales commission paid out. Written after the company's history by
// fill(); false, with the failing statement in *error, when a statement
// fails.
bool fillOverdueAccounts(QSqlDatabase db, QString *error);

} // namespace DemoData
