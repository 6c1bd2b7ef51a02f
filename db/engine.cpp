#include "db/engine.h"

#include "db/mssqltranslator.h"
#include "db/settings.h"
#include "db/sqlitedriver.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlDriverCreator>
#include <QVariant>

#include <sqlite3.h>

namespace Engine {

void registerEmbeddedDriver()
{
    static bool registered = false;
    if (!registered) {
        QSqlDatabase::registerSqlDriver(embeddedDriverName(),
                                        new QSqlDriverCreator<EmbeddedSqlDriver>);
        registered = true;
    }
}

QSqlDatabase addConnection(const QString &connectionName)
{
    if (DbSettings::current().isEmbedded()) {
        registerEmbeddedDriver();
        return QSqlDatabase::addDatabase(embeddedDriverName(), connectionName);
    }
    return QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
}

QSqlDatabase addSqliteDialectConnection(const QString &connectionName)
{
    registerEmbeddedDriver();
    QSqlDatabase db = QSqlDatabase::addDatabase(embeddedDriverName(), connectionName);
    db.setConnectOptions(createOption() + QLatin1Char(';') + sqliteDialectOption());
    return db;
}

void prepareSession(const QSqlDatabase &db)
{
    if (!db.isOpen() || db.driverName() != QLatin1String("QODBC")) {
        return;
    }
    QSqlQuery query(db);
    query.exec(QStringLiteral("set nocount on"));
    query.exec(QStringLiteral("set xact_abort on"));
}

QString embeddedFile(const QString &databaseName)
{
    return QDir(DbSettings::current().dataDir).filePath(databaseName + QStringLiteral(".db"));
}

QString databaseNameFor(const QString &databaseName)
{
    const DbSettings &s = DbSettings::current();
    if (s.isEmbedded()) {
        return embeddedFile(databaseName);
    }
    // A value with ";" or braces would end its attribute early; ODBC takes
    // such a value between braces, with a closing brace doubled.
    const auto attribute = [](const QString &value) {
        if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{'))
            && !value.contains(QLatin1Char('}'))) {
            return value;
        }
        QString braced = value;
        braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
        return QLatin1Char('{') + braced + QLatin1Char('}');
    };
    return QStringLiteral("DRIVER={%5};SERVER=%1;DATABASE=%2;UID=%3;PWD=%4;")
        .arg(attribute(s.server), attribute(databaseName), attribute(s.user),
             attribute(s.password), s.driver);
}

bool installEmbeddedFunctions(const QSqlDatabase &plainSqlite, QString *error)
{
    const QVariant handle = plainSqlite.driver() ? plainSqlite.driver()->handle() : QVariant();
    sqlite3 *db = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3 *const *>(handle.data())
        : nullptr;
    if (!db) {
        *error = QStringLiteral("not an open SQLite connection");
        return false;
    }
    return MssqlTranslator::installFunctions(db, error);
}

} // namespace Engine
