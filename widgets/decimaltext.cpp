#include "widgets/decimaltext.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace DecimalText {

namespace {

// Amounts are decimals held in binary doubles: 5.025 arrives as
// 5.02499999…, and the server's decimal arithmetic rounds it half away from
// zero to 5.03. A nudge of a few units in the last place restores the decimal
// the double stands for before rounding. It stays far below half a cent: from
// ten billion on, a nudge in proportion would itself add a cent. The result
// is a whole number of cents.
double centsOf(double value)
{
    const double scaled = value * 100.0;
    const double nudge = std::min(std::fabs(scaled) * 1e-12, 1e-3);
    return std::round(scaled + std::copysign(nudge, scaled));
}

// Below this many cents a whole number of cents is an exact integer, and
// cents / 100.0 is the double nearest to the two-decimal text.
constexpr double ExactCents = 1e15;

} // namespace

QString twoDecimals(double value)
{
    const double cents = centsOf(value);
    if (std::fabs(cents) < ExactCents) {
        // Whole cents print as integers: the same text, without the double
        // formatting that a list of a hundred thousand prices pays for.
        const long long whole = static_cast<long long>(cents);
        unsigned long long magnitude = static_cast<unsigned long long>(whole < 0 ? -whole : whole);
        char buffer[24];
        int at = sizeof buffer;
        buffer[--at] = char('0' + magnitude % 10);
        buffer[--at] = char('0' + magnitude / 10 % 10);
        buffer[--at] = '.';
        magnitude /= 100;
        do {
            buffer[--at] = char('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude > 0);
        if (whole < 0) {
            buffer[--at] = '-';
        }
        return QString::fromLatin1(buffer + at, int(sizeof buffer) - at);
    }
    const QString text = QString::number(cents / 100.0, 'f', 2);
    // A tiny negative remainder of a sum must not print as "-0.00".
    if (text == QStringLiteral("-0.00")) {
        return QStringLiteral("0.00");
    }
    return text;
}

double rounded(double value)
{
    const double cents = centsOf(value);
    if (std::fabs(cents) < ExactCents) {
        return cents == 0 ? 0.0 : cents / 100.0;
    }
    return valueOf(twoDecimals(value));
}

double valueOf(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && qIsFinite(value) ? value : 0.0;
}

long long integerOf(const QString &text)
{
    bool ok = false;
    const long long value = text.toLongLong(&ok, 10);
    return ok ? value : 0;
}

} // namespace DecimalText
