#pragma once

#include <QString>
#include <QStringList>

// Creating databases: the directory database "sqldb" and company databases
// with their schema and seed rows, and the demo company of a first start.
namespace Setup {

// Makes sure the directory database exists, creates the company database
// databaseName (schema, seed rows, the users "test001" and "manager" with all
// rights; the demo data set too when withDemo) and lists it in erpdb under
// companyName. On the embedded engine the files are created in the data
// folder; on SQL Server the databases must exist and be empty. False, with
// the reason in *error, when any step fails.
bool createCompany(const QString &companyName, const QString &databaseName, bool withDemo,
                   QString *error);

// The company database databaseName alone (schema, seed rows, the two users,
// the demo data set when withDemo), not listed in the directory: for
// databases that come and go, such as a test's. On SQL Server the database
// must exist and be empty.
bool createCompanyDatabase(const QString &databaseName, bool withDemo, QString *error);

// First start of the embedded engine without a settings file: when the data
// folder has no directory database yet, creates it with the demo company.
// Does nothing otherwise.
bool ensureFirstStart(QString *error);

// Name and database of the demo company that ensureFirstStart creates.
QString demoCompanyName();
QString demoDatabaseName();

// The text of a script embedded under ":/db/" ("schema_mssql.sql",
// "directory_mssql.sql", "schema_sqlite.sql", "directory_sqlite.sql");
// empty when there is none.
QString scriptText(const QString &fileName);

// The script's statements as they are sent: the SQL Server scripts (*_mssql)
// in the batches between lines "GO", the SQLite scripts statement by
// statement, each ending with ";" at the end of a line. Comment-only pieces
// are left out.
QStringList scriptStatements(const QString &fileName);

} // namespace Setup
