#pragma once

#include <QString>

struct sqlite3;

// The functions that translated statements call, SQL Server's semantics at
// run time on the embedded engine:
//   jxc_add(a, b)            "+": numbers add, texts join, a text beside a
//                            number is converted to the number's type
//   jxc_divisor(x)           x, or the error SQL Server gives for dividing by 0
//   jxc_varchar(x, n)        cast(x as varchar(n)), n < 0 for varchar(max)
//   jxc_convert(x, n, style) convert(varchar(n), x, style)
//   jxc_decimal(x, p, s)     convert(decimal(p,s), x)
//   jxc_datediff(part, a, b) datediff(part, a, b)
// and LIKE itself, with "[...]" classes and the collation's idea of equal
// characters.
namespace SqliteFunctions {

// Registers the functions and the collation Chinese_PRC_CI_AS on db; false,
// with SQLite's message in *error, when one cannot be registered.
bool install(sqlite3 *db, QString *error);

} // namespace SqliteFunctions
