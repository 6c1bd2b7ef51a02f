#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// The pick lists of the stock register and the stock reports: an empty first
// item meaning "no choice", then the texts a statement returns.
namespace PickList {

// A fixed list, e.g. the goods categories.
void fill(QComboBox *box, const QString &sql);

// An editable list the user searches by typing any part of a code or name: a
// pop-up completer, case-insensitive, matching anywhere in the text. False,
// after telling the user with the database's text, when the list could not
// be read; the box then holds only the empty entry.
bool fillSearchable(QComboBox *box, const QString &sql);

// Makes the box's completion pop-up wide enough for the longest of texts
// (code, name, unit and price of a goods item), whatever the box's width.
void widenPopup(QComboBox *box, const QStringList &texts);

} // namespace PickList
