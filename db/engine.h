#pragma once

#include <QSqlDatabase>
#include <QString>

class QDateTime;
struct DbSettings;

// The one place that knows which database engine is configured. Everything
// above it sends SQL Server's dialect on a QSqlDatabase and never asks.
namespace Engine {

// Qt driver name of the embedded engine (registered by registerEmbeddedDriver).
inline QString embeddedDriverName() { return QStringLiteral("JXCSQLITE"); }

// Registers the embedded driver with Qt; safe to call more than once.
void registerEmbeddedDriver();

// Adds a connection under connectionName for the configured engine, without
// opening it.
QSqlDatabase addConnection(const QString &connectionName);

// Adds an embedded connection whose statements are SQLite's own dialect, run
// untranslated, that creates its file when missing (for the schema scripts).
QSqlDatabase addSqliteDialectConnection(const QString &connectionName);

// Settings a freshly opened connection needs before the forms use it. On SQL
// Server: a block of statements sent in one execution must fail as a whole.
// Without row counts the first error is what the server answers (not a result
// set further down that the driver never reads), and XACT_ABORT stops the
// block and undoes the open transaction instead of running the rest. The
// settings are read back (@@options): a session where they do not hold is
// refused, false with the reason in *error, and the caller closes it. The
// embedded engine needs nothing: its blocks are all or nothing already.
bool prepareSession(const QSqlDatabase &db, QString *error = nullptr);

// What every block of statements sent on db begins with. A pooled or reset
// session may have lost what prepareSession set, so each block says it again;
// empty on the embedded engine, which knows no SET.
QString blockPrefix(const QSqlDatabase &db);

// A time stamp as text for a datetime column of db. SQL Server reads
// "yyyy-MM-dd hh:mm:ss" by the login's language, so a day-month login takes
// 2024-03-05 for 3 May; the ISO form with "T" reads the same under every
// language. The embedded engine keeps the blank form it has always stored.
QString timestampText(const QSqlDatabase &db, const QDateTime &at);

// The text to pass as QSqlDatabase::databaseName for the company or directory
// database databaseName: the ODBC connection string, or the embedded file.
QString databaseNameFor(const QString &databaseName);

// The ODBC connection string of settings for databaseName. Windows sign-in
// (Trusted_Connection) when no user is set; FreeTDS gets UTF-8 as its client
// character set and TDS 7.4, without which Chinese text comes back as "?";
// the options setting is appended as written.
QString connectionString(const DbSettings &settings, const QString &databaseName);

// Whether driver names FreeTDS: by name, or any driver but Microsoft's own
// "ODBC Driver nn for SQL Server" outside Windows, where "SQL Server" can only
// be FreeTDS registered under that name.
bool isFreeTds(const QString &driver);

// Embedded engine only: the file that holds databaseName.
QString embeddedFile(const QString &databaseName);

// For a plain "QSQLITE" connection on an embedded file (checks that read a
// file with Qt's own driver): registers the functions and the collation the
// embedded files are declared with, without which SQLite cannot maintain
// their indexes. Only sound where Qt's driver uses the SQLite library this
// program links (Debian); the program itself uses addSqliteDialectConnection.
bool installEmbeddedFunctions(const QSqlDatabase &plainSqlite, QString *error);

// Connect option that lets the embedded engine create a missing file. Without
// it, opening a database that does not exist fails, as it does on a server.
inline QString createOption() { return QStringLiteral("JXC_CREATE_IF_MISSING"); }

// Connect option for an embedded connection whose statements are SQLite's
// own dialect and run untranslated (the schema scripts).
inline QString sqliteDialectOption() { return QStringLiteral("JXC_SQLITE_DIALECT"); }

} // namespace Engine
