#pragma once

#include <QString>
#include <QStringList>

// Fills the numbered place-holders of a statement template.
namespace SqlTemplate {

// %1 … %9 become values[0 … 8] in one pass; a place-holder without a value
// stays as it is. Unlike chained QString::arg, a value that itself holds
// "%2" is not filled again, so user text goes in exactly as given.
QString fill(const QString &pattern, const QStringList &values);

} // namespace SqlTemplate
