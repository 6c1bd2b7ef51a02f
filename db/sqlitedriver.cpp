#include "db/sqlitedriver.h"

#include "db/engine.h"
#include "db/literalparameters.h"
#include "db/mssqltranslator.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

#include <cerrno>

Q_DECLARE_OPAQUE_POINTER(sqlite3 *)
Q_DECLARE_METATYPE(sqlite3 *)

namespace {

// Compiled statements kept for texts that come again: a save of many rows
// sends the same few statement shapes over and over.
const int kStatementCacheSize = 200;
// Page cache per connection, in KiB (SQLite's negative cache_size). Sorts
// and temporary indexes stay in memory up to this bound before they spill.
const int kPageCacheKiB = 65536;

QSqlError statementError(const QString &message)
{
    return QSqlError(QString(), message, QSqlError::StatementError);
}

// SQLite says "disk I/O error" whatever the system refused; the system's
// reason tells a full disk and a folder that may not be written apart.
QString systemReason(sqlite3 *db, int code)
{
    const int primary = code & 0xff;
    if (primary != SQLITE_IOERR && primary != SQLITE_CANTOPEN) {
        return QString();
    }
    switch (sqlite3_system_errno(db)) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral(" (no space left on device)");
    case EFBIG:
        return QStringLiteral(" (file too large)");
    case EACCES:
    case EPERM:
        return QStringLiteral(" (permission denied)");
    case EROFS:
        return QStringLiteral(" (read-only file system)");
    default:
        return QString();
    }
}

QSqlError sqliteError(sqlite3 *db, const QString &what, QSqlError::ErrorType type, int code)
{
    return QSqlError(what, db ? QString::fromUtf8(sqlite3_errmsg(db)) + systemReason(db, code) : QString(), type,
                     QString::number(code));
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

// The types Qt's own SQLite driver gives to declared column types, so that
// models and delegates see the fields they saw before.
QVariant::Type columnType(const QString &declared)
{
    const QString type = declared.toLower();
    if (type == QLatin1String("integer") || type == QLatin1String("int")) {
        return QVariant::Int;
    }
    if (type == QLatin1String("double") || type == QLatin1String("float") || type == QLatin1String("real")
        || type.startsWith(QLatin1String("numeric"))) {
        return QVariant::Double;
    }
    if (type == QLatin1String("blob")) {
        return QVariant::ByteArray;
    }
    if (type == QLatin1String("boolean") || type == QLatin1String("bool")) {
        return QVariant::Bool;
    }
    return QVariant::String;
}

QString quotedIdentifier(const QString &identifier)
{
    QString res = identifier;
    if (!identifier.isEmpty() && !identifier.startsWith(QLatin1Char('"'))
        && !identifier.endsWith(QLatin1Char('"'))) {
        res.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        res.prepend(QLatin1Char('"')).append(QLatin1Char('"'));
        res.replace(QLatin1Char('.'), QStringLiteral("\".\""));
    }
    return res;
}

QVariant columnValue(sqlite3_stmt *statement, int column, QSql::NumericalPrecisionPolicy policy)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        switch (policy) {
        case QSql::LowPrecisionInt32:
            return sqlite3_column_int(statement, column);
        case QSql::LowPrecisionInt64:
            return qlonglong(sqlite3_column_int64(statement, column));
        default:
            return sqlite3_column_double(statement, column);
        }
    case SQLITE_NULL:
        return QVariant(QVariant::String);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                 sqlite3_column_bytes(statement, column));
    }
}

int bindSqliteValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull()) {
        return sqlite3_bind_null(statement, index);
    }
    switch (value.userType()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(statement, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(statement, index, value.toInt());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        QString zone;
        if (dateTime.timeSpec() == Qt::UTC) {
            zone = QStringLiteral("Z");
        } else if (dateTime.timeSpec() == Qt::OffsetFromUTC) {
            const int offset = dateTime.offsetFromUtc();
            zone = QStringLiteral("%1%2:%3")
                       .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                       .arg(qAbs(offset) / 3600, 2, 10, QLatin1Char('0'))
                       .arg(qAbs(offset) % 3600 / 60, 2, 10, QLatin1Char('0'));
        }
        const QByteArray text = (dateTime.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz")) + zone).toUtf8();
        return sqlite3_bind_text(statement, index, text.constData(), text.size(), SQLITE_TRANSIENT);
    }
    case QMetaType::QTime: {
        const QByteArray text = value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")).toUtf8();
        return sqlite3_bind_text(statement, index, text.constData(), text.size(), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, index, text.constData(), text.size(), SQLITE_TRANSIENT);
    }
    }
}

} // namespace

EmbeddedSqlDriver::CachedStatement::~CachedStatement()
{
    sqlite3_finalize(statement);
}

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
        release();
        if (const EmbeddedSqlDriver *d = embedded()) {
            d->m_results.removeOne(this);
        }
    }

    // The file is closing: drop every statement on it.
    void release()
    {
        clearRows();
        setActive(false);
    }

protected:
    QVariant data(int i) override;
    bool isNull(int i) override { return data(i).isNull(); }
    bool reset(const QString &sql) override;
    bool prepare(const QString &sql) override;
    bool exec() override;
    bool fetch(int i) override;
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override;
    bool fetchNext() override { return fetch(at() + 1); }
    bool fetchPrevious() override { return fetch(at() - 1); }
    int size() override { return -1; }
    int numRowsAffected() override { return m_rowsAffected; }
    QSqlRecord record() const override { return m_record; }
    QVariant lastInsertId() const override { return m_lastInsertId; }
    QVariant handle() const override { return embedded() ? embedded()->handle() : QVariant(); }
    void detachFromResultSet() override { releaseStatement(); }

private:
    const EmbeddedSqlDriver *embedded() const
    {
        return static_cast<const EmbeddedSqlDriver *>(driver());
    }
    sqlite3 *db() const { return embedded() ? embedded()->m_handle : nullptr; }
    bool fail(const QSqlError &error)
    {
        setLastError(error);
        setActive(false);
        return false;
    }
    void translate(const QString &sql);
    bool fitsColumns(int statement, QSqlError *error);
    bool run(const QVector<QVariant> &values);
    bool runBlock(const QVector<QVariant> &values);
    // Runs one statement with count values from values (all of them for
    // count -1). A statement that returns rows keeps them readable: streamed
    // from SQLite, or all read at once when readAll.
    bool runStatement(const QString &sql, const QVector<QVariant> &values, int offset, int count, bool readAll,
                      QSqlError *error);
    // One row from SQLite into the kept values; false at the end or on an
    // error, which is then in *error.
    bool step(QSqlError *error);
    // The same for a step already taken, whose result code is rc.
    bool take(int rc, QSqlError *error);
    void releaseStatement();
    void clearRows();

    MssqlTranslator::Translation m_translation;
    bool m_prepared = false;
    // The statement whose rows are being read, and its text.
    sqlite3_stmt *m_statement = nullptr;
    QString m_statementText;
    QSqlRecord m_record;
    int m_columns = 0;
    // Rows read so far: every one for a scrollable result, the last one
    // for a forward-only result. m_firstKept is the index of the first.
    QVector<QVariant> m_values;
    int m_firstKept = 0;
    int m_stepped = 0;
    // Every row is kept, forward-only or not (the rows of a block).
    bool m_readAll = false;
    int m_rowsAffected = -1;
    QVariant m_lastInsertId;
};

void EmbeddedSqlResult::releaseStatement()
{
    if (m_statement) {
        if (const EmbeddedSqlDriver *d = embedded()) {
            d->recycle(m_statementText, m_statement);
        } else {
            sqlite3_finalize(m_statement);
        }
        m_statement = nullptr;
        m_statementText.clear();
    }
}

void EmbeddedSqlResult::clearRows()
{
    releaseStatement();
    m_record = QSqlRecord();
    m_columns = 0;
    m_values.clear();
    m_firstKept = 0;
    m_stepped = 0;
    m_readAll = false;
    m_rowsAffected = -1;
    m_lastInsertId = QVariant();
    setAt(QSql::BeforeFirstRow);
    setSelect(false);
}

void EmbeddedSqlResult::translate(const QString &sql)
{
    if (embedded() && embedded()->m_sqliteDialect) {
        m_translation = MssqlTranslator::Translation();
        m_translation.statements << sql;
        m_translation.placeholders << -1;
        m_translation.readOnly << false;
        m_translation.numberTexts << QVector<MssqlTranslator::TextToColumn>();
    } else {
        m_translation = MssqlTranslator::translate(sql);
    }
}

QVariant EmbeddedSqlResult::data(int i)
{
    const int row = at() - m_firstKept;
    if (i < 0 || i >= m_columns || row < 0 || (row + 1) * m_columns > m_values.size()) {
        return QVariant();
    }
    return m_values.at(row * m_columns + i);
}

bool EmbeddedSqlResult::step(QSqlError *error)
{
    return m_statement && take(sqlite3_step(m_statement), error);
}

bool EmbeddedSqlResult::take(int rc, QSqlError *error)
{
    if (rc == SQLITE_ROW) {
        if (isForwardOnly() && !m_readAll) {
            m_values.clear();
            m_firstKept = m_stepped;
        }
        const QSql::NumericalPrecisionPolicy policy = numericalPrecisionPolicy();
        for (int c = 0; c < m_columns; ++c) {
            m_values.append(columnValue(m_statement, c, policy));
        }
        ++m_stepped;
        return true;
    }
    if (rc != SQLITE_DONE) {
        *error = sqliteError(db(), QStringLiteral("Unable to fetch row"), QSqlError::ConnectionError, rc);
    }
    // The end of the rows, or a failure: either way the statement lets go
    // of the file at once.
    releaseStatement();
    return false;
}

bool EmbeddedSqlResult::fetch(int i)
{
    if (!isActive() || !isSelect() || i < m_firstKept) {
        return false;
    }
    while (m_stepped <= i) {
        QSqlError error;
        if (!step(&error)) {
            if (error.isValid()) {
                // A read that breaks off must not look like the end of the rows.
                fail(error);
            }
            return false;
        }
    }
    if (i < m_firstKept) {
        return false;
    }
    setAt(i);
    return true;
}

bool EmbeddedSqlResult::fetchLast()
{
    if (!isActive() || !isSelect()) {
        return false;
    }
    QSqlError error;
    while (step(&error)) {
    }
    if (error.isValid()) {
        return fail(error);
    }
    return m_stepped > 0 && fetch(m_stepped - 1);
}

bool EmbeddedSqlResult::reset(const QString &sql)
{
    m_prepared = false;
    translate(sql);
    return run(QVector<QVariant>());
}

bool EmbeddedSqlResult::prepare(const QString &sql)
{
    clearRows();
    m_prepared = false;
    translate(sql);
    if (!m_translation.isValid()) {
        return fail(statementError(m_translation.error));
    }
    if (!embedded() || !embedded()->isOpen()) {
        return fail(statementError(QStringLiteral("the database is not open")));
    }
    // A single statement is compiled now, so that a mistake shows here; it
    // waits in the driver's cache for exec(). Texts of several statements
    // are compiled one by one when they run: a later statement may need a
    // table an earlier one creates.
    if (m_translation.statements.size() == 1) {
        QSqlError error;
        sqlite3_stmt *statement = embedded()->acquire(m_translation.statements.first(), &error);
        if (!statement) {
            return fail(error);
        }
        embedded()->recycle(m_translation.statements.first(), statement);
    }
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

bool EmbeddedSqlResult::runStatement(const QString &sql, const QVector<QVariant> &values, int offset, int count,
                                     bool readAll, QSqlError *error)
{
    sqlite3 *handle = db();
    const EmbeddedSqlDriver *driver = embedded();
    if (count < 0) {
        count = values.size() - offset;
    }
    // A statement without parameters of its own runs with its literals as
    // parameters, so that texts differing only in them share one compiled
    // statement. Where SQLite refuses that shape, the text runs as it is.
    QString text = sql;
    QVector<QVariant> literals;
    sqlite3_stmt *statement = nullptr;
    QString shape;
    if (count == 0
        && LiteralParameters::extract(sql, &shape, &literals,
                                      [driver](const QString &t, double *v) { return driver->readReal(t, v); })) {
        QSqlError refused;
        statement = driver->acquire(shape, &refused);
        if (statement) {
            text = shape;
        }
    }
    if (!statement) {
        literals.clear();
        statement = driver->acquire(sql, error);
        if (!statement) {
            return false;
        }
    }
    const QVector<QVariant> &bound = literals.isEmpty() ? values : literals;
    if (!literals.isEmpty()) {
        offset = 0;
        count = literals.size();
    }
    if (sqlite3_bind_parameter_count(statement) != count) {
        driver->recycle(text, statement);
        *error = QSqlError(QStringLiteral("Parameter count mismatch"), QString(), QSqlError::StatementError);
        return false;
    }
    for (int k = 0; k < count; ++k) {
        const int rc = bindSqliteValue(statement, k + 1, bound.at(offset + k));
        if (rc != SQLITE_OK) {
            *error = sqliteError(handle, QStringLiteral("Unable to bind parameters"), QSqlError::StatementError, rc);
            driver->recycle(text, statement);
            return false;
        }
    }

    // The column count is read after the first step: a statement compiled
    // before its table changed is compiled again by that step.
    const int rc = sqlite3_step(statement);
    const int columns = sqlite3_column_count(statement);
    if (columns == 0) {
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            *error = sqliteError(handle, QStringLiteral("Unable to fetch row"), QSqlError::ConnectionError, rc);
        }
        driver->recycle(text, statement);
        if (error->isValid()) {
            return false;
        }
        const int changes = sqlite3_changes(handle);
        m_rowsAffected = m_rowsAffected < 0 ? changes : m_rowsAffected + changes;
        const qint64 id = sqlite3_last_insert_rowid(handle);
        if (id != 0) {
            m_lastInsertId = qlonglong(id);
        }
        return true;
    }

    // Rows: the new ones replace whatever an earlier statement returned.
    releaseStatement();
    m_values.clear();
    m_firstKept = 0;
    m_stepped = 0;
    m_columns = columns;
    m_statement = statement;
    m_statementText = text;
    m_readAll = readAll;
    setAt(QSql::BeforeFirstRow);
    m_record = QSqlRecord();
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement, c)).remove(QLatin1Char('"'));
        const char *declared = sqlite3_column_decltype(statement, c);
        const int sqlType = rc == SQLITE_ROW ? sqlite3_column_type(statement, c) : -1;
        QVariant::Type type = QVariant::Invalid;
        if (declared && *declared) {
            type = columnType(QString::fromUtf8(declared));
        } else if (sqlType == SQLITE_INTEGER) {
            type = QVariant::Int;
        } else if (sqlType == SQLITE_FLOAT) {
            type = QVariant::Double;
        } else if (sqlType == SQLITE_BLOB) {
            type = QVariant::ByteArray;
        } else if (sqlType == SQLITE_TEXT) {
            type = QVariant::String;
        }
        QSqlField field(name, type);
        field.setSqlType(sqlType);
        m_record.append(field);
    }
    // The first row is read now, so that a statement failing at once fails
    // its exec() rather than its first next().
    QSqlError stepError;
    take(rc, &stepError);
    if (stepError.isValid()) {
        *error = stepError;
        return false;
    }
    if (readAll) {
        while (step(&stepError)) {
        }
        if (stepError.isValid()) {
            *error = stepError;
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
    if (expected >= 0 && values.size() != expected) {
        return fail(statementError(QStringLiteral("parameter count mismatch: %1 values for %2 placeholders")
                                       .arg(values.size())
                                       .arg(expected)));
    }

    if (m_translation.statements.size() > 1) {
        return runBlock(values);
    }

    QSqlError error;
    if (!fitsColumns(0, &error)
        || !runStatement(m_translation.statements.first(), values, 0, m_translation.placeholders.first(), false,
                         &error)) {
        clearRows();
        return fail(error);
    }
    setSelect(m_columns > 0);
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
    EmbeddedSqlDriver *driver = const_cast<EmbeddedSqlDriver *>(embedded());
    const bool nested = driver->inTransaction();

    const auto control = [&](const char *sql, QSqlError *error) {
        const int rc = sqlite3_exec(db(), sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK && error) {
            *error = sqliteError(db(), QStringLiteral("Unable to execute statement"), QSqlError::StatementError, rc);
        }
        return rc == SQLITE_OK;
    };
    const auto undo = [&](const QSqlError &error) {
        clearRows();
        if (wrap) {
            // The block's statements may have ended the transaction already
            // (SQLite rolls back by itself on some errors); that is no failure.
            if (nested) {
                control("ROLLBACK TO jxc_block", nullptr);
                control("RELEASE jxc_block", nullptr);
            } else if (driver->inTransaction() && !control("ROLLBACK", nullptr)) {
                driver->reopenAfterFailedRollback();
            }
        }
        return fail(error);
    };

    QSqlError error;
    if (wrap) {
        // A block that writes takes the write lock at once: a deferred
        // transaction that reads first may find another process's commit in
        // between and then fail without waiting.
        const char *begin = nested ? "SAVEPOINT jxc_block" : readOnly ? "BEGIN" : "BEGIN IMMEDIATE";
        if (!control(begin, &error)) {
            return fail(error);
        }
    }

    int offset = 0;
    for (int i = 0; i < statements.size(); ++i) {
        const int count = m_translation.placeholders.at(i);
        if (!fitsColumns(i, &error) || !runStatement(statements.at(i), values, offset, count, true, &error)) {
            return undo(error);
        }
        offset += qMax(count, 0);
    }

    if (wrap && !control(nested ? "RELEASE jxc_block" : "COMMIT", &error)) {
        return undo(error);
    }
    setSelect(m_columns > 0);
    setActive(true);
    return true;
}

EmbeddedSqlDriver::EmbeddedSqlDriver(QObject *parent)
    : QSqlDriver(parent)
    , m_statements(kStatementCacheSize)
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
    const auto refuse = [this](const QString &message, int code = -1) {
        setLastError(QSqlError(QString(), message, QSqlError::ConnectionError,
                               code < 0 ? QString() : QString::number(code)));
        setOpenError(true);
        return false;
    };

    bool createIfMissing = false;
    bool readOnly = false;
    m_busyTimeout = 5000;
    m_sqliteDialect = false;
    const QStringList given = connOpts.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &raw : given) {
        const QString option = raw.trimmed();
        if (option == Engine::createOption()) {
            createIfMissing = true;
        } else if (option == Engine::sqliteDialectOption()) {
            m_sqliteDialect = true;
        } else if (option == QLatin1String("QSQLITE_OPEN_READONLY")) {
            readOnly = true;
        } else if (option.startsWith(QLatin1String("QSQLITE_BUSY_TIMEOUT="))) {
            // Several processes may work on one company file; a writer waits
            // this long for another's lock instead of failing at once.
            bool ok = false;
            const int timeout = option.mid(option.indexOf(QLatin1Char('=')) + 1).toInt(&ok);
            if (ok) {
                m_busyTimeout = timeout;
            }
        }
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

    m_file = db;
    // A connection belongs to the thread that opened it, as every Qt SQL
    // connection does: SQLite need not lock it on each call (a report reads
    // a value with two or three calls, a million times).
    m_openFlags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
        | SQLITE_OPEN_NOMUTEX;
    QString error;
    int code = -1;
    if (!openHandle(&error, &code)) {
        return refuse(error, code);
    }
    setOpen(true);
    setOpenError(false);
    return true;
}

bool EmbeddedSqlDriver::openHandle(QString *error, int *code)
{
    const int rc = sqlite3_open_v2(m_file.toUtf8().constData(), &m_handle, m_openFlags, nullptr);
    if (rc != SQLITE_OK) {
        *code = rc;
        *error = QStringLiteral("Error opening database: %1")
                     .arg(m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QString::fromUtf8(sqlite3_errstr(rc)));
        closeHandle();
        return false;
    }
    sqlite3_busy_timeout(m_handle, m_busyTimeout);

    QString functionsError;
    if (!MssqlTranslator::installFunctions(m_handle, &functionsError)) {
        *error = QStringLiteral("cannot register the SQL Server functions: %1").arg(functionsError);
        closeHandle();
        return false;
    }
    if (m_file != QLatin1String(":memory:")) {
        // WAL, because a report model that has not fetched all its rows keeps
        // a read cursor open, and with the rollback journal that open read
        // would block every other process's commit until it ends. WAL needs
        // the file on a local disk, not on a network share. Running the
        // pragma also finds a file that is no SQLite database.
        // A file opened read-only keeps the journal it has.
        const int wal = sqlite3_exec(m_handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (wal == SQLITE_NOTADB) {
            *code = wal;
            *error = QStringLiteral("%1 is not a database file: %2")
                         .arg(QDir::toNativeSeparators(m_file), QString::fromUtf8(sqlite3_errmsg(m_handle)));
            closeHandle();
            return false;
        }
    }
    // Sorts, groupings and automatic indexes of the large reports work in
    // memory, within a page cache of bounded size, instead of in temporary
    // files.
    sqlite3_exec(m_handle, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    sqlite3_exec(m_handle, QByteArray("PRAGMA cache_size=-" + QByteArray::number(kPageCacheKiB)).constData(),
                 nullptr, nullptr, nullptr);
    return true;
}

void EmbeddedSqlDriver::closeHandle()
{
    for (EmbeddedSqlResult *result : qAsConst(m_results)) {
        result->release();
    }
    m_statements.clear();
    m_numericColumns.clear();
    sqlite3_finalize(m_realReader);
    m_realReader = nullptr;
    if (m_handle) {
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
    }
}

void EmbeddedSqlDriver::close()
{
    closeHandle();
    if (isOpen()) {
        setOpen(false);
    }
    setOpenError(false);
}

void EmbeddedSqlDriver::reopenAfterFailedRollback()
{
    closeHandle();
    QString error;
    int code = -1;
    if (!openHandle(&error, &code)) {
        setLastError(QSqlError(QString(), error, QSqlError::ConnectionError, QString::number(code)));
        setOpen(false);
        setOpenError(true);
    }
}

QSqlResult *EmbeddedSqlDriver::createResult() const
{
    return new EmbeddedSqlResult(this);
}

sqlite3_stmt *EmbeddedSqlDriver::acquire(const QString &sql, QSqlError *error) const
{
    if (CachedStatement *cached = m_statements.take(sql)) {
        sqlite3_stmt *statement = cached->statement;
        cached->statement = nullptr;
        delete cached;
        return statement;
    }
    if (!m_handle) {
        *error = statementError(QStringLiteral("the database is not open"));
        return nullptr;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_handle, text.constData(), text.size() + 1, &statement, &tail);
    if (rc != SQLITE_OK) {
        *error = sqliteError(m_handle, QStringLiteral("Unable to execute statement"), QSqlError::StatementError, rc);
        sqlite3_finalize(statement);
        return nullptr;
    }
    if (tail && !QByteArray(tail).trimmed().isEmpty()) {
        sqlite3_finalize(statement);
        *error = QSqlError(QStringLiteral("Unable to execute multiple statements at a time"), QString(),
                           QSqlError::StatementError);
        return nullptr;
    }
    if (!statement) {
        // Only blanks or a comment: nothing to run.
        *error = statementError(QStringLiteral("empty statement"));
        return nullptr;
    }
    return statement;
}

void EmbeddedSqlDriver::recycle(const QString &sql, sqlite3_stmt *statement) const
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (!m_handle || m_statements.contains(sql)) {
        sqlite3_finalize(statement);
        return;
    }
    m_statements.insert(sql, new CachedStatement(statement));
}

bool EmbeddedSqlDriver::readReal(const QString &literal, double *value) const
{
    if (!m_realReader && sqlite3_prepare_v2(m_handle, "SELECT CAST(?1 AS REAL)", -1, &m_realReader, nullptr) != SQLITE_OK) {
        return false;
    }
    const QByteArray text = literal.toUtf8();
    sqlite3_bind_text(m_realReader, 1, text.constData(), text.size(), SQLITE_STATIC);
    const bool ok = sqlite3_step(m_realReader) == SQLITE_ROW;
    if (ok) {
        *value = sqlite3_column_double(m_realReader, 0);
    }
    sqlite3_reset(m_realReader);
    sqlite3_clear_bindings(m_realReader);
    return ok;
}

bool EmbeddedSqlDriver::inTransaction() const
{
    return m_handle && sqlite3_get_autocommit(m_handle) == 0;
}

QVector<QVector<QVariant>> EmbeddedSqlDriver::rawRows(const QString &sql) const
{
    QVector<QVector<QVariant>> rows;
    if (!m_handle) {
        return rows;
    }
    sqlite3_stmt *statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_handle, text.constData(), text.size() + 1, &statement, nullptr) == SQLITE_OK
        && statement) {
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QVector<QVariant> row;
            for (int c = 0; c < columns; ++c) {
                row << columnValue(statement, c, QSql::HighPrecision);
            }
            rows << row;
        }
    }
    sqlite3_finalize(statement);
    return rows;
}

bool EmbeddedSqlDriver::isNumericColumn(const QString &table, const QString &column) const
{
    const QString key = table.toLower();
    auto found = m_numericColumns.find(key);
    if (found == m_numericColumns.end()) {
        QSet<QString> numeric;
        const auto columns = rawRows(QStringLiteral("PRAGMA table_info(%1)").arg(quotedIdentifier(table)));
        for (const QVector<QVariant> &info : columns) {
            // SQLite's rules for the affinity of a declared type.
            const QString type = info.value(2).toString().toUpper();
            const bool text = type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
                              || type.contains(QLatin1String("TEXT"));
            const bool blob = type.isEmpty() || type.contains(QLatin1String("BLOB"));
            if (type.contains(QLatin1String("INT")) || (!text && !blob)) {
                numeric.insert(info.value(1).toString().toLower());
            }
        }
        found = m_numericColumns.insert(key, numeric);
    }
    return found->contains(column.toLower());
}

bool EmbeddedSqlDriver::control(const char *sql, const QString &what, QSqlError::ErrorType type)
{
    if (!isOpen() || !m_handle) {
        setLastError(QSqlError(what, QStringLiteral("the database is not open"), type));
        return false;
    }
    const int rc = sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        setLastError(sqliteError(m_handle, what, type, rc));
        return false;
    }
    return true;
}

bool EmbeddedSqlDriver::beginTransaction()
{
    // Immediate, for the reason given in the block runner: the forms open a
    // transaction to write.
    return control("BEGIN IMMEDIATE", QStringLiteral("Unable to begin transaction"), QSqlError::TransactionError);
}

bool EmbeddedSqlDriver::commitTransaction()
{
    return control("COMMIT", QStringLiteral("Unable to commit transaction"), QSqlError::TransactionError);
}

bool EmbeddedSqlDriver::rollbackTransaction()
{
    if (control("ROLLBACK", QStringLiteral("Unable to rollback transaction"), QSqlError::TransactionError)) {
        return true;
    }
    if (inTransaction()) {
        const QSqlError error = lastError();
        reopenAfterFailedRollback();
        setLastError(error);
    }
    return false;
}

QStringList EmbeddedSqlDriver::tables(QSql::TableType type) const
{
    QStringList res;
    if (!isOpen()) {
        return res;
    }
    QString where;
    if ((type & QSql::Tables) && (type & QSql::Views)) {
        where = QStringLiteral("type='table' OR type='view'");
    } else if (type & QSql::Tables) {
        where = QStringLiteral("type='table'");
    } else if (type & QSql::Views) {
        where = QStringLiteral("type='view'");
    }
    if (!where.isEmpty()) {
        const auto rows = rawRows(QStringLiteral("SELECT name FROM sqlite_master WHERE %1 "
                                                 "UNION ALL SELECT name FROM sqlite_temp_master WHERE %1")
                                      .arg(where));
        for (const QVector<QVariant> &row : rows) {
            res << row.value(0).toString();
        }
    }
    if (type & QSql::SystemTables) {
        res << QStringLiteral("sqlite_master");
    }
    return res;
}

QSqlRecord EmbeddedSqlDriver::record(const QString &tableName) const
{
    const QSqlIndex all = tableInfo(tableName, false);
    QSqlRecord rec;
    for (int i = 0; i < all.count(); ++i) {
        rec.append(all.field(i));
    }
    return rec;
}

QSqlIndex EmbeddedSqlDriver::primaryIndex(const QString &tableName) const
{
    return tableInfo(tableName, true);
}

// The fields as Qt's own SQLite driver describes them, so that the table
// models build the statements they built before.
QSqlIndex EmbeddedSqlDriver::tableInfo(const QString &tableName, bool keyOnly) const
{
    QSqlIndex index;
    if (!isOpen()) {
        return index;
    }
    QString table = tableName;
    if (isIdentifierEscaped(table, TableName)) {
        table = stripDelimiters(table, TableName);
    }
    QString schema;
    const int dot = table.indexOf(QLatin1Char('.'));
    if (dot > -1) {
        schema = table.left(dot + 1);
        table = table.mid(dot + 1);
    }
    const auto rows = rawRows(QStringLiteral("PRAGMA %1table_info (%2)").arg(schema, quotedIdentifier(table)));
    for (const QVector<QVariant> &row : rows) {
        const bool key = row.value(5).toInt() != 0;
        if (keyOnly && !key) {
            continue;
        }
        const QString type = row.value(2).toString().toLower();
        QString defaultValue = row.value(4).toString();
        if (defaultValue.startsWith(QLatin1Char('\''))) {
            const int end = defaultValue.lastIndexOf(QLatin1Char('\''));
            if (end > 0) {
                defaultValue = defaultValue.mid(1, end - 1);
            }
        }
        QSqlField field(row.value(1).toString(), columnType(type), tableName);
        // Only INTEGER PRIMARY KEY is the rowid, numbered by SQLite.
        if (key && type == QLatin1String("integer")) {
            field.setAutoValue(true);
        }
        field.setRequired(row.value(3).toInt() != 0);
        field.setDefaultValue(defaultValue);
        index.append(field);
    }
    return index;
}

QString EmbeddedSqlDriver::escapeIdentifier(const QString &identifier, IdentifierType) const
{
    return quotedIdentifier(identifier);
}

QVariant EmbeddedSqlDriver::handle() const
{
    return m_handle ? QVariant::fromValue(m_handle) : QVariant();
}
