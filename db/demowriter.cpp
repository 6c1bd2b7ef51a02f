#include "db/demowriter.h"

#include "db/sqltext.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace DemoData {

int Writer::insert(const QString &table, const QString &columns, const QStringList &values)
{
    if (m_failed) {
        return 0;
    }
    QStringList quoted;
    for (const QString &value : values) {
        quoted << QStringLiteral("'%1'").arg(SqlText::quoted(value));
    }
    QSqlQuery query(m_db);
    const QString insert =
        QStringLiteral("insert into %1 (%2) values (%3)").arg(table, columns, quoted.join(QLatin1Char(',')));
    const QString last = QStringLiteral("select max(id) from %1").arg(table);
    const bool inserted = query.exec(insert);
    if (!inserted || !query.exec(last) || !query.next()) {
        m_failed = true;
        if (m_error) {
            *m_error = QStringLiteral("%1\n%2").arg(query.lastError().text(), inserted ? last : insert);
        }
        return 0;
    }
    return query.value(0).toInt();
}

} // namespace DemoData
