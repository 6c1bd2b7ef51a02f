#include "app/connectdatabase.h"

#include "db/engine.h"

#include <QSqlDatabase>

int connectDatabase(const QString &databaseName)
{
    const QString defaultName = QString::fromLatin1(QSqlDatabase::defaultConnection);
    if (QSqlDatabase::contains(defaultName)) {
        return 2;
    }

    QSqlDatabase handle;
    if (QSqlDatabase::contains(databaseName)) {
        // A connection of that name is left from an earlier call: reuse it.
        handle = QSqlDatabase::database(databaseName, false);
    } else if (databaseName == QLatin1String("sqldb")) {
        handle = Engine::addConnection(QStringLiteral("sqldb"));
    } else {
        handle = Engine::addConnection(defaultName);
    }

    handle.setDatabaseName(Engine::databaseNameFor(databaseName));
    if (handle.open()) {
        Engine::prepareSession(handle);
    }
    return 1;
}
