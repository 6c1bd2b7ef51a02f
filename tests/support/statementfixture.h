#pragma once

#include "db/sqltext.h"

#include <QApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QObject;
class QSqlQueryModel;
class TestDb;

// A small company whose books are easy to follow by hand, for running the
// forms' statements against known rows.
//
// Goods 101 打印纸 (办公), 102 签字笔 (办公), 103 矿泉水 (食品) and 104 咖啡豆
// (no category, never moved). Suppliers 11 华联纸业, 12 晨光文具 (办公用品)
// and 13 农夫山泉 (食品, not cooperating, no accountant). Customers
// 21 东方超市 (invoiced), 22 西城商店 (no short name), 23 南山配送站
// (a 配送客户, not cooperating) and 24 北湖酒店 (no accountant).
//
// 打印纸 was bought on 2024-03-05 10 at 5.00 (supplier 11) and 30 at 7.00
// (supplier 12), so it costs 6.50 that day; on days without purchases it costs
// its purchase price 5.00. Order cgd20240312-99-1 names supplier 99 and
// cgd20240305-11-5 goods 999, neither of which exists; delivery note
// shd20240310-98-1 names the missing customer 98.
//
// Every table is filled in a fresh database, so the ids are 1, 2, 3 … in the
// order of the rows in statementfixture.cpp; receivables and payables are
// bound to invoices and cash entries by those ids.
namespace StatementFixture {

// Writes the rows through the default connection with the statements a form
// would send. False, with the failing statement and the error in *error, when
// a row cannot be written or the ids do not come out as 1, 2, 3 ….
bool load(TestDb &db, QString *error);

} // namespace StatementFixture

// The fixture database of one test class. Reading tests share one copy;
// a writing test row gets a fresh one, and the next reading test a fresh one
// again. Only one company database is open at a time, as TestDb requires.
class FixtureDb
{
public:
    FixtureDb();
    ~FixtureDb();

    // Null, with the reason in *error, when the fixture cannot be loaded.
    TestDb *forReading(QString *error);
    TestDb *forWriting(QString *error);

private:
    TestDb *reload(QString *error);

    std::unique_ptr<TestDb> m_db;
    bool m_written = false;
};

// Shorthands for filling statement templates in test rows: a text value as
// the forms quote it, and an integer code.
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

// Comparing result rows with the rows SQL Server returns.
//
// Expected rows are written one text per row with the cells joined by "|";
// "<NULL>" stands for NULL. A cell matches when the texts are equal, or when
// the expected text is a plain decimal number (no leading zeros, no exponent)
// and the actual value is a number within 0.0005 of it: the forms format
// figures themselves, so 6.5, 6.50 and 6.500000 are the same price, while a
// half cent lost by rounding (5.02 instead of 5.03) is not. Texts that merely
// look like numbers, such as the employee number "001", compare as text.
namespace ResultRows {

QList<QStringList> parse(const QStringList &rows);

// The rows of sql run on the default connection, NULL as "<NULL>"; *error is
// left empty, or set to the database's message when the statement fails.
QList<QStringList> query(const QString &sql, QString *error);

// Every row of model, fetching until it holds all of them.
QList<QStringList> fromModel(QSqlQueryModel *model);

bool cellMatches(const QString &actual, const QString &expected);

// Empty when actual holds exactly the expected rows (in that order when
// ordered is set); otherwise both row lists, readably, for the failure.
QString mismatch(const QList<QStringList> &actual, const QStringList &expected, bool ordered);

// Runs sql and compares its rows; empty when they match, otherwise the
// statement, the database's error if any and the mismatch.
QString check(const QString &sql, const QStringList &expected, bool ordered);

// The same on the reading copy of fixture; also a failure when the fixture
// cannot be loaded.
QString checkRead(FixtureDb &fixture, const QString &sql, const QStringList &expected, bool ordered);

} // namespace ResultRows

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
