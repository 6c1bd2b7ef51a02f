#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The one way a text value gets into SQL text. Statements keep their quotes
// in the template ('%1'); the value put between them goes through quoted(),
// so that what is stored is exactly what the user typed.
namespace SqlText {

// The value with every single quote doubled, for use between single quotes.
QString quoted(const QString &value);

// A LIKE pattern part that matches value literally: the wildcards %, _ and [
// and the escape character are escaped with a backslash, and the quotes
// doubled. The statement must say "escape '\'" after the pattern.
QString likeLiteral(const QString &value);

// Reads an integer code typed or shown as text ("12", "12-名称"): the part
// before the first "-" as a base-10 integer, 0 when it is not one.
long long codeOf(const QString &partyText);

// A day as every statement and stored row writes it: "yyyy-MM-dd".
QString dayText(const QDate &day);

// A moment as the stored rows write it: "yyyy-MM-dd hh:mm:ss".
QString stampText(const QDateTime &moment);

} // namespace SqlText
