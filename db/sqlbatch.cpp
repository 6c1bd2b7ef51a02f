#include "db/sqlbatch.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace SqlBatch {

namespace {

QStringList joinedBlocks(const QStringList &statements, int blockSize)
{
    QStringList blocks;
    for (int first = 0; first < statements.size(); first += blockSize) {
        blocks << statements.mid(first, blockSize).join(QString());
    }
    return blocks;
}

bool executeOnce(const QString &statements, QString *error)
{
    QSqlQuery query(QSqlDatabase::database());
    if (query.exec(statements)) {
        return true;
    }
    *error = query.lastError().text();
    // A statement still open would keep the engine from rolling back.
    query.finish();
    return false;
}

} // namespace

bool runInBlocks(const Composer &compose, int blockSize, QString *error, const Executor &execute)
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    QStringList statements;
    if (!compose(&statements, error)) {
        db.rollback();
        return false;
    }
    const Executor send = execute ? execute : Executor(executeOnce);
    for (const QString &block : joinedBlocks(statements, blockSize)) {
        if (!send(block, error)) {
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

bool run(const QStringList &statements, QString *error)
{
    // A block of one is the statement itself.
    return runInBlocks(statements, 1, error);
}

bool runInBlocks(const QStringList &statements, int blockSize, QString *error)
{
    return runInBlocks(
        [&statements](QStringList *composed, QString *) {
            *composed = statements;
            return true;
        },
        blockSize, error);
}

} // namespace SqlBatch
