#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace DemoData {

// Writes the demo company's rows dated back from today. After the first
// failure it writes nothing more and *error holds the engine's text and the
// statement.
class Writer
{
public:
    Writer(QSqlDatabase db, QString *error) : m_db(db), m_error(error) {}

    bool failed() const { return m_failed; }
    QString day(int daysAgo) const { return m_today.addDays(-daysAgo).toString(QStringLiteral("yyyy-MM-dd")); }

    // Inserts one row of texts (each quoted) and returns its id, 0 after a
    // failure.
    int insert(const QString &table, const QString &columns, const QStringList &values);

private:
    QSqlDatabase m_db;
    QString *m_error;
    const QDate m_today = QDate::currentDate();
    bool m_failed = false;
};

} // namespace DemoData
