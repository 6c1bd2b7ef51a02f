#pragma once

#include "db/sqltext.h"
#include "support/testdb.h"

#include <QApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QObject;

// A small company whose books are easy to follow by hand, for running the
// forms' statements against known rows.
//
// Goods 101 打印纸 (办公), 102 签字笔 (办公), 103 矿泉水 (食品) and 104 咖啡豆
// (no category, never moved). Suppliers 11 华联纸业, 12 晨光文具 (办公用品)
// and 13 农夫山泉 (食品). Customers 21 东方超市, 22 西城商店 (no short name),
// 23 南山配送站 and 24 北湖酒店.
//
// 打印纸 was bought on 2024-03-05 10 at 5.00 (supplier 11) and 30 at 7.00
// (supplier 12), so it costs 6.50 that day; on days without purchases it costs
// its purchase price 5.00. Order cgd20240312-99-1 names supplier 99 and
// cgd20240305-11-5 goods 999, neither of which exists; delivery note
// shd20240310-98-1 names the missing customer 98.
//
// Every table is filled in a fresh database, so the ids are 1, 2, 3 … in the
// order of the rows in statementfixture.cpp.
//
// Reading tests share one copy; a writing test gets a fresh one, and the next
// reading test a fresh one again.
class FixtureDb
{
public:
    // With accounts, the books also hold the finance side: categories,
    // employees, the partners' salesmen, cycles and accountants, invoices
    // (ids 1 to 6, the output invoices of 2024-03-05 audited), cash entries
    // (ids 1 to 6), receivables (ids 1 to 7, the first three bound) and
    // payables (ids 1 to 4, the last the discount of receivable 2).
    enum Books { StockOnly, WithAccounts };
    explicit FixtureDb(Books books = StockOnly) : m_books(books) {}

    // Null, with the reason in *error, when the rows cannot be loaded.
    TestDb *forReading(QString *error);
    TestDb *forWriting(QString *error);

    // Empty when sql, run on the default connection, returns the expected
    // rows (in that order when ordered); otherwise the statement, the error
    // and both row lists. Expected rows join their cells with "|"; "<NULL>"
    // stands for NULL.
    static QString check(const QString &sql, const QStringList &expected, bool ordered);

private:
    TestDb *reload(QString *error);

    std::unique_ptr<TestDb> m_db;
    Books m_books = StockOnly;
    bool m_written = false;
};

class QSqlQueryModel;

// Result rows as texts, NULL as "<NULL>", for comparing with rows written
// one text per row, cells joined by "|".
namespace ResultRows {
// The rows of sql on the default connection; *error is set when it fails.
QList<QStringList> query(const QString &sql, QString *error);
// Every row of model, fetching until it holds all of them.
QList<QStringList> fromModel(QSqlQueryModel *model);
// Empty when actual holds exactly the expected rows (in that order when
// ordered is set); otherwise both row lists, readably.
QString mismatch(const QList<QStringList> &actual, const QStringList &expected, bool ordered);
} // namespace ResultRows

// Shorthands for filling statement templates: a text value as the forms
// quote it, and an integer code.
namespace StatementText {
inline QString q(const QString &text)
{
    return SqlText::quoted(text);
}
inline QString n(long long code)
{
    return QString::number(code);
}
} // namespace StatementText

// Runs a statement test class as Qt's SQL autotests run theirs: on the
// embedded engine, then again on SQL Server when JXC_TEST_MSSQL_CONFIG names
// a settings file for one (engine=odbc); otherwise that run shows as skipped.
// make builds a fresh test object for each run. Returns the failures of both.
int runOnEveryEngine(int argc, char **argv, const std::function<QObject *()> &make);

#define JXC_STATEMENT_TEST_MAIN(TestObject)                                                  \
    int main(int argc, char *argv[])                                                         \
    {                                                                                        \
        QApplication app(argc, argv);                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                             \
        return runOnEveryEngine(argc, argv, [] { return static_cast<QObject *>(new TestObject); }); \
    }
