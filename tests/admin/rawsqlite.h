#pragma once

#include "app/loginstate.h"
#include "db/engine.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

// Runs sql as plain SQLite on the file of the logged-in company, past the
// dialect translation of the program's own connection. Tests use it to break
// the database on purpose (a dropped table, a trigger that refuses a write),
// which the program's dialect has no words for. Empty on success, otherwise
// SQLite's message.
inline QString execRawSqlite(const QString &sql)
{
    const QString connection = QStringLiteral("tst_admin_raw");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(Engine::embeddedFile(LoginState::databaseName));
        if (!db.open()) {
            error = db.lastError().text();
        } else if (!Engine::installEmbeddedFunctions(db, &error)) {
            db.close();
        } else {
            QSqlQuery query(db);
            if (!query.exec(sql)) {
                error = query.lastError().text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}
