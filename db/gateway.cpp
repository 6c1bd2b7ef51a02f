#include "db/gateway.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>

Q_LOGGING_CATEGORY(lcSql, "jxc.sql", QtInfoMsg)

namespace Gateway {

namespace {

QString errorText(const QSqlError &error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

void logStatement(const QString &sql, const QElapsedTimer &timer, const QSqlError &error)
{
    if (!lcSql().isDebugEnabled()) {
        return;
    }
    if (error.isValid()) {
        qCDebug(lcSql).noquote() << timer.nsecsElapsed() / 1000 << "us FAILED:" << sql
                                 << "--" << errorText(error);
    } else {
        qCDebug(lcSql).noquote() << timer.nsecsElapsed() / 1000 << "us:" << sql;
    }
}

QStringList joinedBlocks(const QStringList &statements, int blockSize)
{
    QStringList blocks;
    const int size = qMax(1, blockSize);
    for (int first = 0; first < statements.size(); first += size) {
        blocks << statements.mid(first, size).join(QString());
    }
    return blocks;
}

} // namespace

Transaction::Transaction(QSqlDatabase db)
    : m_db(db)
{
    m_open = m_db.transaction();
    if (!m_open) {
        m_error = errorText(m_db.lastError());
        qCDebug(lcSql).noquote() << "begin transaction FAILED:" << m_error;
    }
}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::commit()
{
    if (!m_open) {
        return false;
    }
    if (m_db.commit()) {
        m_open = false;
        return true;
    }
    m_error = errorText(m_db.lastError());
    qCDebug(lcSql).noquote() << "commit FAILED:" << m_error;
    rollback();
    return false;
}

void Transaction::rollback()
{
    if (m_open) {
        m_open = false;
        if (!m_db.rollback()) {
            qCDebug(lcSql).noquote() << "rollback FAILED:" << errorText(m_db.lastError());
        }
    }
}

bool exec(QSqlQuery &query, const QString &sql, QString *error)
{
    QElapsedTimer timer;
    timer.start();
    query.setForwardOnly(true);
    const bool ok = query.exec(sql);
    logStatement(sql, timer, ok ? QSqlError() : query.lastError());
    if (!ok) {
        if (error) {
            *error = errorText(query.lastError());
        }
        // A statement still open would keep the engine from rolling back.
        query.finish();
    }
    return ok;
}

bool exec(const QString &sql, QString *error, QSqlDatabase db)
{
    QSqlQuery query(db);
    return exec(query, sql, error);
}

bool fetchedAll(const QSqlQuery &query, QString *error)
{
    const QSqlError last = query.lastError();
    if (last.isValid() && last.type() != QSqlError::NoError) {
        if (error) {
            *error = errorText(last);
        }
        qCDebug(lcSql).noquote() << "fetch FAILED:" << query.lastQuery() << "--" << errorText(last);
        return false;
    }
    return true;
}

bool read(const QString &sql, Rows *rows, QString *error, QSqlDatabase db)
{
    rows->clear();
    QSqlQuery query(db);
    if (!exec(query, sql, error)) {
        return false;
    }
    const int columns = query.record().count();
    while (query.next()) {
        QVector<QVariant> row(columns);
        for (int column = 0; column < columns; ++column) {
            row[column] = query.value(column);
        }
        rows->append(row);
    }
    if (!fetchedAll(query, error)) {
        rows->clear();
        return false;
    }
    return true;
}

bool readTexts(const QString &sql, QStringList *texts, QString *error, QSqlDatabase db)
{
    texts->clear();
    QSqlQuery query(db);
    if (!exec(query, sql, error)) {
        return false;
    }
    while (query.next()) {
        texts->append(query.value(0).toString());
    }
    if (!fetchedAll(query, error)) {
        texts->clear();
        return false;
    }
    return true;
}

bool fetchAll(QSqlQueryModel *model, QString *error)
{
    if (model->lastError().isValid() && model->lastError().type() != QSqlError::NoError) {
        if (error) {
            *error = errorText(model->lastError());
        }
        return false;
    }
    while (model->canFetchMore()) {
        model->fetchMore();
    }
    const QSqlError last = model->query().lastError();
    if (last.isValid() && last.type() != QSqlError::NoError) {
        if (error) {
            *error = errorText(last);
        }
        return false;
    }
    return true;
}

bool inTransaction(QSqlDatabase db, QString *error, const std::function<bool()> &work)
{
    Transaction transaction(db);
    if (!transaction.isOpen()) {
        if (error) {
            *error = transaction.error();
        }
        return false;
    }
    if (!work()) {
        return false;
    }
    if (!transaction.commit()) {
        if (error) {
            *error = transaction.error();
        }
        return false;
    }
    return true;
}

bool run(const Composer &compose, QString *error, int blockSize, const Executor &execute)
{
    QSqlDatabase db = QSqlDatabase::database();
    return inTransaction(db, error, [&] {
        QStringList statements;
        if (!compose(&statements, error)) {
            return false;
        }
        for (const QString &block : joinedBlocks(statements, blockSize)) {
            const bool sent = execute ? execute(block, error) : exec(block, error, db);
            if (!sent) {
                return false;
            }
        }
        return true;
    });
}

bool run(const QStringList &statements, QString *error, int blockSize)
{
    return run(
        [&statements](QStringList *composed, QString *) {
            *composed = statements;
            return true;
        },
        error, blockSize);
}

} // namespace Gateway
