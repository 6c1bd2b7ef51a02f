#include "admin/sqlbatch.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace SqlBatch {

bool run(const QStringList &statements, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    for (const QString &statement : statements) {
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            *error = query.lastError().text();
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

} // namespace SqlBatch
