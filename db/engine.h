#pragma once

#include <QSqlDatabase>
#include <QString>

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
// embedded engine needs nothing: its blocks are all or nothing already.
void prepareSession(const QSqlDatabase &db);

// The text to pass as QSqlDatabase::databaseName for the company or directory
// database databaseName: the ODBC connection string, or the embedded file.
QString databaseNameFor(const QString &databaseName);

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
