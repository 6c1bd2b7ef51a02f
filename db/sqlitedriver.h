#pragma once

#include <QCache>
#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>

struct sqlite3;
struct sqlite3_stmt;
class EmbeddedSqlResult;

// The embedded engine: a Qt SQL driver that keeps the data in SQLite files and
// accepts SQL Server's dialect, translating each statement before it runs.
//
// The driver owns its SQLite connection through SQLite's C API, so that the
// helper functions and the collation the translated statements need are
// registered on a handle of the one SQLite library the program links. The
// forms, QSqlQueryModel and QSqlTableModel see one more Qt driver and nothing
// else. Compiled statements are kept by their text (an insert, update or
// delete with its literals taken out as parameters, see literalparameters.h);
// temporary structures stay in memory within a bounded page cache. The
// database name is the file path (or ":memory:"); a missing file
// is refused unless the connect options hold Engine::createOption(). With
// Engine::sqliteDialectOption() the statements are SQLite's own and run as
// they are (the schema scripts).
class EmbeddedSqlDriver : public QSqlDriver
{
    Q_OBJECT
public:
    explicit EmbeddedSqlDriver(QObject *parent = nullptr);
    ~EmbeddedSqlDriver() override;

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString &db, const QString &user, const QString &password,
              const QString &host, int port, const QString &connOpts) override;
    void close() override;
    QSqlResult *createResult() const override;

    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;

    QStringList tables(QSql::TableType type) const override;
    QSqlRecord record(const QString &tableName) const override;
    QSqlIndex primaryIndex(const QString &tableName) const override;
    QString escapeIdentifier(const QString &identifier, IdentifierType type) const override;
    // The sqlite3* of the open file.
    QVariant handle() const override;

    // True while a transaction is open on the file, however it was begun.
    bool inTransaction() const;

    // True when the column's declared type gives it numeric affinity, so
    // that SQLite turns a text that looks like a number into one.
    bool isNumericColumn(const QString &table, const QString &column) const;

    // How many compiled statements wait for their text to come again.
    int cachedStatementCount() const { return m_statements.size(); }

private:
    friend class EmbeddedSqlResult;

    bool openHandle(QString *error, int *code);
    void closeHandle();
    // After a rollback that failed the transaction may still hold its locks;
    // a fresh connection to the file is the only sure way to let them go.
    void reopenAfterFailedRollback();
    bool control(const char *sql, const QString &what, QSqlError::ErrorType type);
    // A compiled statement for sql, from the cache or newly prepared;
    // nullptr with *error set when SQLite refuses the text.
    sqlite3_stmt *acquire(const QString &sql, QSqlError *error) const;
    // Gives a statement back once its rows are no longer read.
    void recycle(const QString &sql, sqlite3_stmt *statement) const;
    QVector<QVector<QVariant>> rawRows(const QString &sql) const;
    // The value SQLite's parser gives a real literal.
    bool readReal(const QString &literal, double *value) const;
    QSqlIndex tableInfo(const QString &tableName, bool keyOnly) const;

    struct CachedStatement
    {
        explicit CachedStatement(sqlite3_stmt *s)
            : statement(s)
        {
        }
        ~CachedStatement();
        sqlite3_stmt *statement;
    };

    QString m_file;
    int m_openFlags = 0;
    int m_busyTimeout = 5000;
    bool m_sqliteDialect = false;
    sqlite3 *m_handle = nullptr;
    mutable sqlite3_stmt *m_realReader = nullptr;
    // The results made by createResult() that still exist: close() releases
    // their statements before the file closes.
    mutable QVector<EmbeddedSqlResult *> m_results;
    // Compiled statements by their SQLite text, least recently used dropped
    // first. A statement in use by a result is not in here.
    mutable QCache<QString, CachedStatement> m_statements;
    // Per table (lower case): the columns with numeric affinity. Dropped
    // whenever this driver runs a schema statement.
    mutable QHash<QString, QSet<QString>> m_numericColumns;
};
