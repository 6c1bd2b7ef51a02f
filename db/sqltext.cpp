#include "db/sqltext.h"

namespace SqlText {

QString quoted(const QString &value)
{
    QString result = value;
    result.replace(QLatin1Char('\''), QStringLiteral("''"));
    return result;
}

QString likeLiteral(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')
            || c == QLatin1Char('[')) {
            escaped += QLatin1Char('\\');
        }
        escaped += c;
    }
    return quoted(escaped);
}

long long codeOf(const QString &partyText)
{
    bool ok = false;
    const long long code = partyText.section(QLatin1Char('-'), 0, 0).toLongLong(&ok, 10);
    return ok ? code : 0;
}

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString stampText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace SqlText
