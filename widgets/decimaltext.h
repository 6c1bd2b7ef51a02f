#pragma once

#include <QString>

// Quantities, prices and amounts travel as fixed-point texts with two
// decimals; sums and products are taken from those texts.
namespace DecimalText {

// value with two decimals; a value that rounds to zero never shows as "-0.00".
QString twoDecimals(double value);

// The number twoDecimals(value) shows, as valueOf would read it back: what a
// list adds up, without printing and reading a text per cell.
double rounded(double value);

// The number a typed or stored text stands for; 0 for a text that is not a
// finite number.
double valueOf(const QString &text);

// A base-10 integer text (a code or a row id); 0 when it is not one.
long long integerOf(const QString &text);

} // namespace DecimalText
