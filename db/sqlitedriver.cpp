#include "db/sqlitedriver.h"

#include "db/engine.h"
#include "db/mssqltranslator.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

#include <memory>

namespace {

QSqlError statementError(const QString &message)
{
    return QSqlError(QString(), message, QSqlError::StatementError);
}

// Statements that manage transactions themselves, or that SQLite refuses
// inside one, cannot be wrapped in the all-or-nothing block.
bool managesTransaction(const QString &statement)
{
    static const char *const words[] = {"BEGIN", "COMMIT", "ROLLBACK", "SAVEPOINT", "RELEASE",
                                        "END",   "PRAGMA", "VACUUM",   "ATTACH",    "DETACH"};
    for (const char *word : words) {
        const int length = int(qstrlen(word));
        if (statement.startsWith(QLatin1String(word), Qt::CaseInsensitive)
            && (statement.size() == length || !statement.at(length).isLetterOrNumber())) {
            return true;
        }
    }
    return false;
}

// The connection inside the driver is made with QSqlDatabase's type
// constructor and never registered by name. A registered connection would
// have to be removed when the driver goes, and Qt deletes the drivers of
// connections left open at exit while it holds the lock of its connection
// list, which removeDatabase takes too: the program would hang on exit.
class PrivateSqliteDatabase : public QSqlDatabase
{
public:
    PrivateSqliteDatabase()
        : QSqlDatabase(QStringLiteral("QSQLITE"))
    {
    }
};

} // namespace

class EmbeddedSqlResult : public QSqlResult
{
public:
    explicit EmbeddedSqlResult(const EmbeddedSqlDriver *driver)
        : QSqlResult(driver)
    {
        driver->m_results.append(this);
    }
    ~EmbeddedSqlResult() override
    {
        if (const EmbeddedSqlDriver *d = embedded()) {
            d->m_results.removeOne(this);
        }
    }

    // The file is closing: drop every statement on it.
    void release()
    {
        clearRows();
        m_statement.reset();
        m_prepared = false;
        setActive(false);
    }

protected:
    QVariant data(int i) override { return m_rows ? m_rows->value(i) : QVariant(); }
    bool isNull(int i) override { return !m_rows || m_rows->isNull(i); }
    bool reset(const QString &sql) override;
    bool prepare(const QString &sql) override;
    bool exec() override;
    bool fetch(int i) override { return moved(m_rows && m_rows->seek(i)); }
    bool fetchFirst() override { return moved(m_rows && m_rows->first()); }
    bool fetchLast() override { return moved(m_rows && m_rows->last()); }
    bool fetchNext() override { return moved(m_rows && m_rows->next()); }
    bool fetchPrevious() override { return moved(m_rows && m_rows->previous()); }
    int size() override { return -1; }
    int numRowsAffected() override { return m_rowsAffected; }
    QSqlRecord record() const override;
    QVariant lastInsertId() const override { return m_lastInsertId; }
    QVariant handle() const override { return m_rows ? m_rows->result()->handle() : QVariant(); }
    void setForwardOnly(bool forward) override;
    void detachFromResultSet() override;
    void setNumericalPrecisionPolicy(QSql::NumericalPrecisionPolicy policy) override;

private:
    const EmbeddedSqlDriver *embedded() const
    {
        return static_cast<const EmbeddedSqlDriver *>(driver());
    }
    bool moved(bool ok)
    {
        setAt(m_rows ? m_rows->at() : int(QSql::AfterLastRow));
        return ok;
    }
    bool fail(const QSqlError &error)
    {
        setLastError(error);
        setActive(false);
        return false;
    }
    std::unique_ptr<QSqlQuery> newQuery() const;
    bool fitsColumns(int statement, QSqlError *error);
    bool run(const QVector<QVariant> &values);
    bool runBlock(const QVector<QVariant> &values);
    void clearRows();

    MssqlTranslator::Translation m_translation;
    bool m_prepared = false;
    // The one statement of a prepared text, prepared once and run by every
    // exec(); empty for texts of several statements.
    std::unique_ptr<QSqlQuery> m_statement;
    // The query run last by reset() or by a block.
    std::unique_ptr<QSqlQuery> m_last;
    // The query whose rows this result shows: m_statement, m_last or none.
    QSqlQuery *m_rows = nullptr;
    int m_rowsAffected = -1;
    QVariant m_lastInsertId;
};

std::unique_ptr<QSqlQuery> EmbeddedSqlResult::newQuery() const
{
    // From the inner driver itself: QSqlQuery(QSqlDatabase) would fall back
    // to the default connection when the inner one is gone, and run the
    // statement on another database. A closed one gives a query that fails.
    const EmbeddedSqlDriver *outer = embedded();
    QSqlResult *result = outer ? outer->innerDatabase().driver()->createResult() : nullptr;
    auto query = std::make_unique<QSqlQuery>(result);
    query->setForwardOnly(isForwardOnly());
    query->setNumericalPrecisionPolicy(numericalPrecisionPolicy());
    return query;
}

void EmbeddedSqlResult::clearRows()
{
    m_rows = nullptr;
    m_last.reset();
    m_rowsAffected = -1;
    m_lastInsertId = QVariant();
    setAt(QSql::BeforeFirstRow);
    setSelect(false);
}

bool EmbeddedSqlResult::reset(const QString &sql)
{
    m_prepared = false;
    m_statement.reset();
    m_translation = MssqlTranslator::translate(sql);
    return run(QVector<QVariant>());
}

bool EmbeddedSqlResult::prepare(const QString &sql)
{
    clearRows();
    m_statement.reset();
    m_prepared = false;
    m_translation = MssqlTranslator::translate(sql);
    if (!m_translation.isValid()) {
        return fail(statementError(m_translation.error));
    }
    if (!embedded() || !embedded()->isOpen()) {
        return fail(statementError(QStringLiteral("the database is not open")));
    }
    if (m_translation.statements.size() == 1) {
        auto query = newQuery();
        if (!query->prepare(m_translation.statements.first())) {
            return fail(query->lastError());
        }
        m_statement = std::move(query);
    }
    // Texts of several statements are prepared one by one when they run:
    // a later statement may need a table an earlier one creates.
    m_prepared = true;
    return true;
}

bool EmbeddedSqlResult::exec()
{
    if (!m_prepared) {
        return fail(statementError(QStringLiteral("no prepared statement to execute")));
    }
    return run(boundValues());
}

// SQL Server refuses to convert "1.2e+06" to a decimal or int column;
// SQLite would store the number, rounded to what the text shows.
bool EmbeddedSqlResult::fitsColumns(int statement, QSqlError *error)
{
    const QString text = m_translation.statements.at(statement);
    if (text.startsWith(QLatin1String("create"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("drop"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("alter"), Qt::CaseInsensitive)) {
        embedded()->m_numericColumns.clear();
    }
    for (const MssqlTranslator::TextToColumn &write : m_translation.numberTexts.at(statement)) {
        if (embedded()->isNumericColumn(write.table, write.column)) {
            *error = statementError(QStringLiteral("Error converting data type varchar to numeric."));
            return false;
        }
    }
    return true;
}

bool EmbeddedSqlResult::run(const QVector<QVariant> &values)
{
    clearRows();
    setActive(false);
    if (!m_translation.isValid()) {
        return fail(statementError(m_translation.error));
    }
    if (!embedded() || !embedded()->isOpen()) {
        return fail(statementError(QStringLiteral("the database is not open")));
    }
    int expected = 0;
    for (int count : qAsConst(m_translation.placeholders)) {
        expected += count;
    }
    if (values.size() != expected) {
        return fail(statementError(QStringLiteral("parameter count mismatch: %1 values for %2 placeholders")
                                       .arg(values.size())
                                       .arg(expected)));
    }

    if (m_translation.statements.size() > 1) {
        return runBlock(values);
    }

    QSqlError refused;
    if (!fitsColumns(0, &refused)) {
        return fail(refused);
    }
    QSqlQuery *query;
    bool ok;
    if (m_statement) {
        query = m_statement.get();
        for (int i = 0; i < values.size(); ++i) {
            query->bindValue(i, values.at(i));
        }
        ok = query->exec();
    } else {
        m_last = newQuery();
        query = m_last.get();
        if (values.isEmpty()) {
            ok = query->exec(m_translation.statements.first());
        } else {
            ok = query->prepare(m_translation.statements.first());
            for (int i = 0; ok && i < values.size(); ++i) {
                query->bindValue(i, values.at(i));
            }
            ok = ok && query->exec();
        }
    }
    if (!ok) {
        const QSqlError error = query->lastError();
        m_last.reset();
        return fail(error);
    }
    m_rows = query;
    m_rowsAffected = query->numRowsAffected();
    m_lastInsertId = query->lastInsertId();
    setSelect(query->isSelect());
    setActive(true);
    return true;
}

// Several statements run as one unit: all of them or none. Without a
// transaction of the caller the block is its own transaction; inside one it
// is a savepoint, so a failure undoes the block only and the caller decides
// about the rest.
bool EmbeddedSqlResult::runBlock(const QVector<QVariant> &values)
{
    const QStringList &statements = m_translation.statements;
    bool wrap = true;
    bool readOnly = true;
    for (int i = 0; i < statements.size(); ++i) {
        wrap = wrap && !managesTransaction(statements.at(i));
        readOnly = readOnly && m_translation.readOnly.at(i);
    }
    const bool nested = embedded()->inTransaction();

    const auto control = [this](const QString &sql, QSqlError *error) {
        auto query = newQuery();
        if (query->exec(sql)) {
            return true;
        }
        if (error) {
            *error = query->lastError();
        }
        return false;
    };
    const auto undo = [&]() {
        if (!wrap) {
            return;
        }
        // The block's statements may have ended the transaction already
        // (SQLite rolls back by itself on some errors); that is no failure.
        if (nested) {
            control(QStringLiteral("ROLLBACK TO jxc_block"), nullptr);
            control(QStringLiteral("RELEASE jxc_block"), nullptr);
        } else if (embedded()->inTransaction()) {
            control(QStringLiteral("ROLLBACK"), nullptr);
        }
    };

    QSqlError error;
    if (wrap) {
        // A block that writes takes the write lock at once: a deferred
        // transaction that reads first may find another process's commit in
        // between and then fail without waiting.
        const QString begin = nested ? QStringLiteral("SAVEPOINT jxc_block")
                              : readOnly ? QStringLiteral("BEGIN")
                                         : QStringLiteral("BEGIN IMMEDIATE");
        if (!control(begin, &error)) {
            return fail(error);
        }
    }

    std::unique_ptr<QSqlQuery> rows;
    int offset = 0;
    int affected = 0;
    bool anyAffected = false;
    for (int i = 0; i < statements.size(); ++i) {
        if (!fitsColumns(i, &error)) {
            rows.reset();
            undo();
            return fail(error);
        }
        auto query = newQuery();
        const int count = m_translation.placeholders.at(i);
        bool ok;
        if (count == 0) {
            ok = query->exec(statements.at(i));
        } else {
            ok = query->prepare(statements.at(i));
            for (int k = 0; ok && k < count; ++k) {
                query->bindValue(k, values.at(offset + k));
            }
            ok = ok && query->exec();
        }
        offset += count;
        if (!ok) {
            error = query->lastError();
            query.reset();
            rows.reset();
            undo();
            return fail(error);
        }
        if (query->isSelect()) {
            rows = std::move(query);
        } else {
            if (query->numRowsAffected() >= 0) {
                affected += query->numRowsAffected();
                anyAffected = true;
            }
            const QVariant id = query->lastInsertId();
            if (id.isValid()) {
                m_lastInsertId = id;
            }
        }
    }

    if (wrap) {
        const QString end = nested ? QStringLiteral("RELEASE jxc_block") : QStringLiteral("COMMIT");
        if (!control(end, &error)) {
            rows.reset();
            undo();
            return fail(error);
        }
    }

    m_last = std::move(rows);
    m_rows = m_last.get();
    m_rowsAffected = anyAffected ? affected : -1;
    setSelect(m_rows != nullptr);
    setActive(true);
    return true;
}

QSqlRecord EmbeddedSqlResult::record() const
{
    if (!m_rows || !isSelect()) {
        return QSqlRecord();
    }
    QSqlRecord rec = m_rows->record();
    rec.clearValues();
    return rec;
}

void EmbeddedSqlResult::setForwardOnly(bool forward)
{
    QSqlResult::setForwardOnly(forward);
    if (m_statement) {
        m_statement->setForwardOnly(forward);
    }
}

void EmbeddedSqlResult::detachFromResultSet()
{
    if (m_rows) {
        m_rows->finish();
    }
}

void EmbeddedSqlResult::setNumericalPrecisionPolicy(QSql::NumericalPrecisionPolicy policy)
{
    QSqlResult::setNumericalPrecisionPolicy(policy);
    if (m_statement) {
        m_statement->setNumericalPrecisionPolicy(policy);
    }
}



EmbeddedSqlDriver::EmbeddedSqlDriver(QObject *parent)
    : QSqlDriver(parent)
{
}

EmbeddedSqlDriver::~EmbeddedSqlDriver()
{
    close();
}

bool EmbeddedSqlDriver::hasFeature(DriverFeature feature) const
{
    switch (feature) {
    case Transactions:
    case PreparedQueries:
    case PositionalPlaceholders:
    case LastInsertId:
    case BLOB:
    case Unicode:
    case SimpleLocking:
    case LowPrecisionNumbers:
    case FinishQuery:
        return true;
    case QuerySize:
    case NamedPlaceholders:
    case BatchOperations:
    case EventNotifications:
    case MultipleResultSets:
    case CancelQuery:
        return false;
    }
    return false;
}

bool EmbeddedSqlDriver::open(const QString &db, const QString &, const QString &, const QString &, int,
                             const QString &connOpts)
{
    if (isOpen()) {
        close();
    }
    const auto refuse = [this](const QString &message, QSqlError::ErrorType type = QSqlError::ConnectionError) {
        setLastError(QSqlError(QString(), message, type));
        setOpenError(true);
        return false;
    };

    QStringList options;
    bool createIfMissing = false;
    bool busyTimeoutGiven = false;
    const QStringList given = connOpts.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &raw : given) {
        const QString option = raw.trimmed();
        if (option == Engine::createOption()) {
            createIfMissing = true;
            continue;
        }
        if (option.startsWith(QLatin1String("QSQLITE_BUSY_TIMEOUT"))) {
            busyTimeoutGiven = true;
        }
        options << option;
    }
    // Several processes may work on one company file; a writer waits this
    // long for another's lock instead of failing at once.
    if (!busyTimeoutGiven) {
        options << QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
    }

    const bool inMemory = db == QLatin1String(":memory:");
    if (db.isEmpty()) {
        return refuse(QStringLiteral("no database file given"));
    }
    // On a server, opening a database that does not exist fails; here SQLite
    // would quietly create an empty file, and a mistyped company would look
    // like a company without data.
    if (!inMemory && !createIfMissing && !QFileInfo::exists(db)) {
        return refuse(QStringLiteral("database file %1 does not exist").arg(QDir::toNativeSeparators(db)));
    }

    m_inner = PrivateSqliteDatabase();
    if (!m_inner.isValid()) {
        dropInner();
        return refuse(QStringLiteral("Qt's QSQLITE driver is not available"));
    }
    m_inner.setDatabaseName(db);
    m_inner.setConnectOptions(options.join(QLatin1Char(';')));
    if (!m_inner.open()) {
        const QSqlError error = m_inner.lastError();
        dropInner();
        setLastError(error);
        setOpenError(true);
        return false;
    }

    const QVariant h = m_inner.driver()->handle();
    if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0) {
        m_handle = *static_cast<sqlite3 *const *>(h.constData());
    }
    QString error;
    if (!m_handle) {
        error = QStringLiteral("the QSQLITE driver gave no SQLite handle");
    } else if (!MssqlTranslator::installFunctions(m_handle, &error)) {
        error = QStringLiteral("cannot register the SQL Server functions: %1").arg(error);
    }
    if (error.isEmpty() && !inMemory) {
        // WAL, because a report model that has not fetched all its rows keeps
        // a read cursor open, and with the rollback journal that open read
        // would block every other process's commit until it ends. WAL needs
        // the file on a local disk, not on a network share. Running the
        // pragma also finds a file that is no SQLite database.
        // A file opened read-only keeps the journal it has.
        QSqlQuery pragma(m_inner.driver()->createResult());
        if (!pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && sqlite3_errcode(m_handle) == SQLITE_NOTADB) {
            error = QStringLiteral("%1 is not a database file: %2")
                        .arg(QDir::toNativeSeparators(db), pragma.lastError().databaseText());
        }
    }
    if (!error.isEmpty()) {
        m_handle = nullptr;
        m_inner.close();
        dropInner();
        return refuse(error);
    }
    setOpen(true);
    setOpenError(false);
    return true;
}

void EmbeddedSqlDriver::dropInner()
{
    m_inner = QSqlDatabase();
}

void EmbeddedSqlDriver::close()
{
    for (EmbeddedSqlResult *result : qAsConst(m_results)) {
        result->release();
    }
    if (m_inner.isValid()) {
        m_inner.close();
    }
    m_handle = nullptr;
    m_numericColumns.clear();
    dropInner();
    if (isOpen()) {
        setOpen(false);
    }
    setOpenError(false);
}

QSqlResult *EmbeddedSqlDriver::createResult() const
{
    return new EmbeddedSqlResult(this);
}

bool EmbeddedSqlDriver::inTransaction() const
{
    return m_handle && sqlite3_get_autocommit(m_handle) == 0;
}

bool EmbeddedSqlDriver::isNumericColumn(const QString &table, const QString &column) const
{
    const QString key = table.toLower();
    auto found = m_numericColumns.find(key);
    if (found == m_numericColumns.end()) {
        QSet<QString> numeric;
        QSqlQuery info(m_inner.driver()->createResult());
        if (isOpen() && info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(escapeIdentifier(table, TableName)))) {
            while (info.next()) {
                // SQLite's rules for the affinity of a declared type.
                const QString type = info.value(2).toString().toUpper();
                const bool text = type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
                                  || type.contains(QLatin1String("TEXT"));
                const bool blob = type.isEmpty() || type.contains(QLatin1String("BLOB"));
                if (type.contains(QLatin1String("INT")) || (!text && !blob)) {
                    numeric.insert(info.value(1).toString().toLower());
                }
            }
        }
        found = m_numericColumns.insert(key, numeric);
    }
    return found->contains(column.toLower());
}

bool EmbeddedSqlDriver::runInner(const QString &sql)
{
    if (!isOpen()) {
        return false;
    }
    QSqlQuery query(m_inner.driver()->createResult());
    if (!query.exec(sql)) {
        setLastError(query.lastError());
        return false;
    }
    return true;
}

bool EmbeddedSqlDriver::beginTransaction()
{
    // Immediate, for the reason given in the block runner: the forms open a
    // transaction to write.
    return runInner(QStringLiteral("BEGIN IMMEDIATE"));
}

bool EmbeddedSqlDriver::commitTransaction()
{
    return runInner(QStringLiteral("COMMIT"));
}

bool EmbeddedSqlDriver::rollbackTransaction()
{
    return runInner(QStringLiteral("ROLLBACK"));
}

QStringList EmbeddedSqlDriver::tables(QSql::TableType type) const
{
    return m_inner.isValid() ? m_inner.driver()->tables(type) : QStringList();
}

QSqlRecord EmbeddedSqlDriver::record(const QString &tableName) const
{
    return m_inner.isValid() ? m_inner.driver()->record(tableName) : QSqlRecord();
}

QSqlIndex EmbeddedSqlDriver::primaryIndex(const QString &tableName) const
{
    return m_inner.isValid() ? m_inner.driver()->primaryIndex(tableName) : QSqlIndex();
}

QString EmbeddedSqlDriver::escapeIdentifier(const QString &identifier, IdentifierType type) const
{
    if (m_inner.isValid()) {
        return m_inner.driver()->escapeIdentifier(identifier, type);
    }
    // Closed: quote as QSQLITE does, so that statements built before open
    // come out the same.
    QString res = identifier;
    if (!identifier.isEmpty() && !identifier.startsWith(QLatin1Char('"'))
        && !identifier.endsWith(QLatin1Char('"'))) {
        res.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        res.prepend(QLatin1Char('"')).append(QLatin1Char('"'));
        res.replace(QLatin1Char('.'), QStringLiteral("\".\""));
    }
    return res;
}

bool EmbeddedSqlDriver::isIdentifierEscaped(const QString &identifier, IdentifierType type) const
{
    return m_inner.isValid() ? m_inner.driver()->isIdentifierEscaped(identifier, type)
                             : QSqlDriver::isIdentifierEscaped(identifier, type);
}

QString EmbeddedSqlDriver::stripDelimiters(const QString &identifier, IdentifierType type) const
{
    return m_inner.isValid() ? m_inner.driver()->stripDelimiters(identifier, type)
                             : QSqlDriver::stripDelimiters(identifier, type);
}

QString EmbeddedSqlDriver::formatValue(const QSqlField &field, bool trimStrings) const
{
    return m_inner.isValid() ? m_inner.driver()->formatValue(field, trimStrings)
                             : QSqlDriver::formatValue(field, trimStrings);
}

QString EmbeddedSqlDriver::sqlStatement(StatementType type, const QString &tableName, const QSqlRecord &rec,
                                        bool preparedStatement) const
{
    return m_inner.isValid() ? m_inner.driver()->sqlStatement(type, tableName, rec, preparedStatement)
                             : QSqlDriver::sqlStatement(type, tableName, rec, preparedStatement);
}

QVariant EmbeddedSqlDriver::handle() const
{
    return m_inner.isValid() ? m_inner.driver()->handle() : QVariant();
}
