#pragma once

#include <QSet>
#include <QString>
#include <QVector>

// The translator's view of a SQL Server statement: tokens, and a tree just
// deep enough to find operands. Parentheses and case ... end are groups;
// everything else stays a flat run of tokens, in the order written.
namespace Mssql {

struct Token
{
    // Raw: text the translator itself adds, passed to SQLite as it is.
    enum Kind { Word, QuotedIdent, String, Number, Param, Op, Raw };
    Kind kind = Op;
    QString text;       // as SQLite should see it ([x] already turned into "x")
    bool space = false; // whitespace or a comment stood before it
};

struct Node
{
    enum Kind { Leaf, Paren, Case };
    Kind kind = Leaf;
    Token tok;                // the token, or the opening "(" / "case"
    QVector<Node> kids;
    bool closeSpace = false;  // whitespace before ")" or "end"
};

} // namespace Mssql

Q_DECLARE_TYPEINFO(Mssql::Token, Q_MOVABLE_TYPE);
Q_DECLARE_TYPEINFO(Mssql::Node, Q_MOVABLE_TYPE);

namespace Mssql {

// The error for anything the translator does not know.
QString unsupported(const QString &what);

// Scans a quoted run starting at sql[i] == quote, where the quote character
// doubled stands for itself. Returns the index of the closing quote, or -1.
int closingQuote(const QString &sql, int i, QChar quote);

// Splits sql into tokens; comments and whitespace only set Token::space.
bool tokenize(const QString &sql, QVector<Token> &out, QString *error);

// Groups toks from pos on into out, up to the closer of the group being
// built (Node::Leaf for the top level).
bool buildTree(const QVector<Token> &toks, int &pos, QVector<Node> &out, Node::Kind closer,
               bool *closeSpace, QString *error);

bool isWord(const Token &t, const char *word);
bool isOp(const Token &t, const char *op);
bool isLeafWord(const Node &n, const char *word);
bool isLeafOp(const Node &n, const char *op);

Node leafNode(Token::Kind kind, const QString &text, bool space = true);
Node parenNode(const QVector<Node> &kids, bool space = true);

// The name a word or quoted identifier stands for, in lower case.
QString nameOf(const Token &t);

// A word that is no keyword, or a quoted identifier.
bool isName(const Node &n);

// alias.column at nodes[i]
bool isQualifiedColumn(const QVector<Node> &nodes, int i);

// Words that are never operands, in lower case. Whether one of them may
// stand before "(" is the business of parenKeywords.
const QSet<QString> &keywords();

// Keywords that may be followed by a parenthesis without being a call.
const QSet<QString> &parenKeywords();

} // namespace Mssql
