#pragma once

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>

struct sqlite3;
class EmbeddedSqlResult;

// The embedded engine: a Qt SQL driver that keeps the data in SQLite files and
// accepts SQL Server's dialect, translating each statement before it runs.
//
// It wraps Qt's own "QSQLITE" driver: every instance owns a private QSQLITE
// connection to the file (not listed among QSqlDatabase's connection names)
// and hands it the translated statements, so that the forms, QSqlQueryModel
// and QSqlTableModel see one more Qt driver and nothing else. The database name is the file path (or ":memory:"); a missing file
// is refused unless the connect options hold Engine::createOption().
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
    bool isIdentifierEscaped(const QString &identifier, IdentifierType type) const override;
    QString stripDelimiters(const QString &identifier, IdentifierType type) const override;
    QString formatValue(const QSqlField &field, bool trimStrings = false) const override;
    QString sqlStatement(StatementType type, const QString &tableName, const QSqlRecord &rec,
                         bool preparedStatement) const override;
    // The sqlite3* of the open file, as QSQLITE gives it.
    QVariant handle() const override;

    // The private QSQLITE connection; invalid while closed.
    QSqlDatabase innerDatabase() const { return m_inner; }
    // True while a transaction is open on the file, however it was begun.
    bool inTransaction() const;

    // True when the column's declared type gives it numeric affinity, so
    // that SQLite turns a text that looks like a number into one.
    bool isNumericColumn(const QString &table, const QString &column) const;

private:
    friend class EmbeddedSqlResult;

    bool runInner(const QString &sql);
    void dropInner();

    QSqlDatabase m_inner;
    // The results made by createResult() that still exist: close() releases
    // their statements before the file closes.
    mutable QVector<EmbeddedSqlResult *> m_results;
    // Per table (lower case): the columns with numeric affinity. Dropped
    // whenever this driver runs a schema statement.
    mutable QHash<QString, QSet<QString>> m_numericColumns;
    sqlite3 *m_handle = nullptr;
};
