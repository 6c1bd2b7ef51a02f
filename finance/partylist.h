#pragma once

#include <QString>

class QComboBox;

// The editable company boxes of the finance forms: an empty first entry, then
// the texts a statement returns, searched by typing any part of a code or
// name (pop-up completer, any letter case).
namespace PartyList {

QString supplierStatement();
QString customerStatement();

// False, after telling the user with the database's text, when the list
// could not be read; the box then holds only the empty entry.
bool fill(QComboBox *box, const QString &statement);

} // namespace PartyList
