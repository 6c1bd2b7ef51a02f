#pragma once

#include <QString>

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

// First start of the embedded engine: when the data folder has no directory
// database yet, creates it with the demo company. Does nothing otherwise.
bool ensureFirstStart(QString *error);

} // namespace Setup
