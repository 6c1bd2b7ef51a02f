#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh embedded data folder for one test: the directory database "sqldb"
// listing one company, and that company's database (schema and seed rows,
// demo data on request) opened as the default connection.
class TestDb
{
public:
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
    QTemporaryDir m_dir;
    QString m_error;
    QString m_lastError;
};
