#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct sqlite3;

// Turns the SQL Server dialect that the forms send into statements SQLite
// runs with the same results. The translated text calls a few helper
// functions (jxc_add, jxc_divisor, jxc_varchar, jxc_convert, jxc_decimal,
// jxc_datediff, see db/sqlitefunctions.h) that installFunctions() registers
// on a SQLite connection; a connection without them cannot run translated
// statements.
//
// The work is split by job: db/mssqlsyntax (tokens and tree),
// db/mssqlrewrite (rewrites of the tree), db/mssqlrenderer (SQLite text),
// db/sqlitefunctions and db/chinesecollation (what runs inside SQLite).
//
// Anything the translator does not know fails with an error naming it
// ("unsupported SQL Server construct: getdate") instead of reaching SQLite,
// where it could silently mean something else.
class MssqlTranslator
{
public:
    // A text literal that a statement writes into a column, in a form that
    // SQL Server refuses to convert to a number ("1.2e+06") but SQLite would
    // store as one. Whether that is wrong depends on the column's type, which
    // only the database knows: the driver checks it before running.
    struct TextToColumn
    {
        QString table;
        QString column;
        QString literal;
    };

    struct Translation
    {
        QStringList statements;      // SQLite statements, in the order to run them
        QVector<int> placeholders;   // number of "?" in each statement
        QVector<bool> readOnly;      // true for a statement that only reads (select)
        QVector<QVector<TextToColumn>> numberTexts; // per statement, see TextToColumn
        QString error;               // why the text cannot be translated; empty on success

        bool isValid() const { return error.isEmpty(); }
    };

    // Translates sql, which may hold several statements separated by ";".
    // Results are kept in a bounded cache keyed by the exact text, since the
    // forms send the same statements over and over; safe from any thread.
    static Translation translate(const QString &sql);

    // The same without the cache.
    static Translation translateUncached(const QString &sql);

    // Registers the helper functions on a SQLite connection, LIKE as SQL
    // Server matches, and the collation Chinese_PRC_CI_AS (see
    // db/chinesecollation.h) for columns declared with it; rebuilds the
    // indexes of a file that an earlier order of the collation built.
    // Returns false, with SQLite's message in *error, when one cannot be
    // registered.
    static bool installFunctions(sqlite3 *db, QString *error);
};
