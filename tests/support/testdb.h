#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh embedded data folder for one test: the directory database "sqldb"
// listing one company, and that company's database (schema and seed rows,
// demo data on request) opened as the default connection.
//
// On the SQL Server target (see runOnEveryEngine in statementfixture.h) the company database is
// instead a new database on the server named by JXC_TEST_MSSQL_CONFIG,
// created with a Chinese collation and dropped again by the destructor; the
// server's own directory database is left alone.
class TestDb
{
public:
    enum class Target { Embedded, SqlServer };
    static void setTarget(Target target);
    static Target target();
    // The settings file of the test server, from JXC_TEST_MSSQL_CONFIG; empty
    // when none is named.
    static QString serverConfig();

    explicit TestDb(bool withDemo = false,
                    const QString &companyName = QStringLiteral("测试公司"),
                    const QString &databaseName = QStringLiteral("testdb"));
    ~TestDb();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString dataDir() const { return m_dir.path(); }
    QSqlDatabase db() const;

    // Adds another company (schema and seed rows) to the directory database.
    bool addCompany(const QString &companyName, const QString &databaseName);

    // Runs sql on the default connection; false (with the error in error())
    // when it fails.
    bool exec(const QString &sql);
    // The result rows of sql, each value as text; NULL shows as "<NULL>".
    QList<QStringList> rows(const QString &sql);
    // The first column of the first row, as text (empty when no row).
    QString scalar(const QString &sql);

    QString lastError() const { return m_lastError; }

private:
    bool createOnServer(const QString &databaseName, bool withDemo);
    bool openDefault(const QString &databaseName);

    QTemporaryDir m_dir;
    QStringList m_serverDatabases;
    QString m_error;
    QString m_lastError;
};

