#pragma once

#include "db/mssqlsyntax.h"
#include "db/mssqltranslator.h"

// Rewrites of a statement's tree that make SQLite run it as SQL Server
// would, before it is rendered as text.
namespace Mssql {

// On every level of tree: drops locking hints, spells out the collation of
// order terms that are no plain column, and turns joins on built texts into
// joins on a key column (see the comments in the source).
void rewrite(QVector<Node> &tree);

// The exponent texts ("1.2e+06") that an insert ... values or an
// update ... set writes, with the column each goes to.
QVector<MssqlTranslator::TextToColumn> numberTexts(const QVector<Node> &tree);

// A text literal that reads as a number in exponent form ("'1.2e+06'").
bool isExponentText(const Token &t);

} // namespace Mssql
