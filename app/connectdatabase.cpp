#include "app/connectdatabase.h"

#include "db/engine.h"

#include <QSqlDatabase>

namespace {

QString &refusal()
{
    static QString text;
    return text;
}

} // namespace

int connectDatabase(const QString &databaseName)
{
    const QString defaultName = QString::fromLatin1(QSqlDatabase::defaultConnection);
    if (QSqlDatabase::contains(defaultName)) {
        return 2;
    }
    refusal().clear();

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
    // A session that would let a failed save commit half its rows is not
    // worked on: closed, it reads as a database that could not be opened.
    if (handle.open() && !Engine::prepareSession(handle, &refusal())) {
        handle.close();
    }
    return 1;
}

QString connectDatabaseRefusal()
{
    return refusal();
}
