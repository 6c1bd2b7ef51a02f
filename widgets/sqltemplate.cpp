#include "widgets/sqltemplate.h"

namespace SqlTemplate {

QString fill(const QString &pattern, const QStringList &values)
{
    QString result;
    result.reserve(pattern.size() + 16 * values.size());
    const int length = pattern.size();
    for (int i = 0; i < length; ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < length && pattern.at(i + 1).isDigit()) {
            const int number = pattern.at(i + 1).digitValue();
            if (number >= 1 && number <= values.size()) {
                result += values.at(number - 1);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

} // namespace SqlTemplate
