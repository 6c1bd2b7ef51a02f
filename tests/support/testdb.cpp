#include "support/testdb.h"

#include "app/loginstate.h"
#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>

namespace {

void removeAllConnections()
{
    // The embedded driver keeps an inner connection of its own per open
    // database and removes it when it closes; only the outer ones are ours.
    QStringList names = QSqlDatabase::connectionNames();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString &name) {
                                   return name.startsWith(QLatin1String("jxc-embedded-"));
                               }),
                names.end());
    for (const QString &name : qAsConst(names)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isOpen()) {
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
}

} // namespace

TestDb::TestDb(bool withDemo, const QString &companyName, const QString &databaseName)
{
    removeAllConnections();
    DbSettings settings;
    settings.engine = QStringLiteral("sqlite");
    settings.dataDir = m_dir.path();
    DbSettings::setCurrent(settings);

    QString error;
    if (!Setup::createCompany(companyName, databaseName, withDemo, &error)) {
        m_error = error;
        return;
    }
    QSqlDatabase db = Engine::addConnection(QString::fromLatin1(QSqlDatabase::defaultConnection));
    db.setDatabaseName(Engine::databaseNameFor(databaseName));
    if (!db.open()) {
        m_error = db.lastError().text();
        return;
    }
    LoginState::databaseName = databaseName;
    LoginState::companyName = companyName;
    LoginState::userName = QStringLiteral("test001");
    LoginState::rights.clear();
}

TestDb::~TestDb()
{
    removeAllConnections();
}

QSqlDatabase TestDb::db() const
{
    return QSqlDatabase::database();
}

bool TestDb::addCompany(const QString &companyName, const QString &databaseName)
{
    QString error;
    if (!Setup::createCompany(companyName, databaseName, false, &error)) {
        m_lastError = error;
        return false;
    }
    return true;
}

bool TestDb::exec(const QString &sql)
{
    QSqlQuery query(db());
    if (!query.exec(sql)) {
        m_lastError = query.lastError().text();
        return false;
    }
    return true;
}

QList<QStringList> TestDb::rows(const QString &sql)
{
    QList<QStringList> result;
    QSqlQuery query(db());
    if (!query.exec(sql)) {
        m_lastError = query.lastError().text();
        return result;
    }
    while (query.next()) {
        QStringList row;
        const int columns = query.record().count();
        for (int c = 0; c < columns; ++c) {
            const QVariant v = query.value(c);
            row << (v.isNull() ? QStringLiteral("<NULL>") : v.toString());
        }
        result << row;
    }
    return result;
}

QString TestDb::scalar(const QString &sql)
{
    const QList<QStringList> r = rows(sql);
    return r.isEmpty() || r.first().isEmpty() ? QString() : r.first().first();
}
