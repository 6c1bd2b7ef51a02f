#include "widgets/decimaltext.h"

#include <QtMath>

#include <cmath>

namespace DecimalText {

QString twoDecimals(double value)
{
    // Amounts are decimals held in binary doubles: 5.025 arrives as
    // 5.02499999…, and the server's decimal arithmetic rounds it half away
    // from zero to 5.03. A nudge of a few units in the last place restores
    // the decimal the double stands for before rounding.
    const double scaled = value * 100.0;
    const double nudged = scaled + std::copysign(std::fabs(scaled) * 1e-12, scaled);
    const double cents = std::round(nudged);
    if (std::fabs(cents) < 1e15) {
        // Whole cents print as integers: the same text, without the double
        // formatting that a list of a hundred thousand prices pays for.
        const long long whole = static_cast<long long>(cents);
        const unsigned long long magnitude = static_cast<unsigned long long>(whole < 0 ? -whole : whole);
        QString text = QString::number(magnitude / 100);
        text += QLatin1Char('.');
        text += QLatin1Char(char('0' + magnitude / 10 % 10));
        text += QLatin1Char(char('0' + magnitude % 10));
        if (whole < 0) {
            text.prepend(QLatin1Char('-'));
        }
        return text;
    }
    const QString text = QString::number(cents / 100.0, 'f', 2);
    // A tiny negative remainder of a sum must not print as "-0.00".
    if (text == QStringLiteral("-0.00")) {
        return QStringLiteral("0.00");
    }
    return text;
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
