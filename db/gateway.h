#pragma once

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class QSqlQuery;
class QSqlQueryModel;

// Statements the program sends, with their time and any error; off unless
// switched on, e.g. QT_LOGGING_RULES="jxc.sql.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSql)

// The one way statements reach a database: reads that say when they failed
// (also in the middle of fetching), and writes that go in one transaction,
// all or nothing. Failures carry the engine's text; the log adds the
// statement that failed.
namespace Gateway {

// Saves send their statements this many at a time, joined into one text per
// execution: a save of many rows then costs a few round trips, not one a row.
constexpr int BlockSize = 100;

// A transaction that rolls back unless committed. Opening can fail (see
// isOpen and error); so can the commit.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db = QSqlDatabase::database());
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    bool commit();
    void rollback();

private:
    QSqlDatabase m_db;
    QString m_error;
    bool m_open = false;
};

// Runs sql on query (forward-only). False, with the engine's text in *error,
// when it fails.
bool exec(QSqlQuery &query, const QString &sql, QString *error);

// Runs one statement on db and drops its result.
bool exec(const QString &sql, QString *error, QSqlDatabase db = QSqlDatabase::database());

// Every row of a reading statement, as its column values. False when the
// statement or any fetch fails: a partial result is never returned as whole.
using Rows = QVector<QVector<QVariant>>;
bool read(const QString &sql, Rows *rows, QString *error,
          QSqlDatabase db = QSqlDatabase::database());

// The first column of every row, as text: the pick lists.
bool readTexts(const QString &sql, QStringList *texts, QString *error,
               QSqlDatabase db = QSqlDatabase::database());

// After a loop of next() on query: false, with the engine's text, when the
// loop ended because fetching failed rather than because the rows ran out.
bool fetchedAll(const QSqlQuery &query, QString *error);

// Fetches a query or table model to its last row. False, with the engine's
// text, when its statement or a fetch failed.
bool fetchAll(QSqlQueryModel *model, QString *error);

// Runs statements in one transaction on the default connection, blockSize of
// them joined per execution (each carries its own ";"): either all take
// effect or, when one fails, none does.
bool run(const QStringList &statements, QString *error, int blockSize = 1);

// For statements that depend on what the database holds once the transaction
// is open: compose runs first inside it and fills the statements, or returns
// false with *error set to roll everything back. A form that sends its blocks
// itself, so that a test can watch them, passes execute.
using Composer = std::function<bool(QStringList *statements, QString *error)>;
using Executor = std::function<bool(const QString &block, QString *error)>;
bool run(const Composer &compose, QString *error, int blockSize = BlockSize,
         const Executor &execute = Executor());

// Work done inside one transaction on db: committed when work returns true
// and the commit succeeds, rolled back otherwise.
bool inTransaction(QSqlDatabase db, QString *error, const std::function<bool()> &work);

} // namespace Gateway
