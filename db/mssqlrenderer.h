#pragma once

#include "db/mssqlsyntax.h"

#include <QString>
#include <QVector>

namespace Mssql {

// Writes a rewritten statement tree as SQLite text: SQL Server's functions
// and casts become SQLite's or the runtime functions (db/sqlitefunctions.h),
// "+" becomes jxc_add and every divisor of "/" and "%" is checked by
// jxc_divisor, as SQL Server's operators behave differently from SQLite's.
class Renderer
{
public:
    QString error; // the first reason the tree cannot be rendered

    QString sequence(const QVector<Node> &nodes);

private:
    struct Unit
    {
        enum Kind { Operand, Operator, Other };
        Kind kind = Other;
        QString text;
        bool space = false;
    };

    struct SqlType
    {
        QString base;
        int length = -1;     // varchar(n); -1 when not given
        bool max = false;    // varchar(max)
        int precision = -1;  // decimal(p,s)
        int scale = -1;
    };

    bool fail(const QString &message);

    QString call(const Token &name, const Node &group);
    QString castCall(const Token &name, const Node &group);
    QString convertCall(const Token &name, const QVector<QVector<Node>> &args);
    QString datediffCall(const QVector<QVector<Node>> &args);
    QString converted(const SqlType &type, const QString &expr, int style, const QString &what);
    bool parseType(const QVector<Node> &nodes, SqlType *type, const QString &what);
    static QVector<QVector<Node>> splitArgs(const QVector<Node> &nodes);

    QString joinUnits(const QVector<Unit> &units);
    bool factor(const QVector<Unit> &u, int i, int *next, QString *text) const;
    bool term(const QVector<Unit> &u, int i, int *next, QString *text) const;
};

// The tokens as written, for statements that pass unchanged.
QString renderTokens(const QVector<Token> &tokens);

// begin tran, commit tran, save tran x and their kin in SQLite's words.
QString transactionStatement(const QVector<Token> &tokens);

} // namespace Mssql
