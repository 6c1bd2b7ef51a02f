#pragma once

#include <QString>

class QComboBox;

// The pick lists of the stock register and the stock reports: an empty first
// item meaning "no choice", then the texts a statement returns.
namespace PickList {

// A fixed list, e.g. the goods categories.
void fill(QComboBox *box, const QString &sql);

// An editable list the user searches by typing any part of a code or name: a
// pop-up completer, case-insensitive, matching anywhere in the text.
void fillSearchable(QComboBox *box, const QString &sql);

} // namespace PickList
