#pragma once

#include <QString>
#include <QStringList>

// Runs statements in one transaction on the default connection: either all
// of them take effect or, when one fails, none does. False, with the
// database's text in *error, when the transaction could not be opened, a
// statement failed or the commit failed.
namespace SqlBatch {

bool run(const QStringList &statements, QString *error);

} // namespace SqlBatch
