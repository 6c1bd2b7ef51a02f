#include "db/mssqltranslator.h"

#include <QCache>
#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// ---------------------------------------------------------------------------
// Tokens

struct Token
{
    // Raw: text the translator itself adds, passed to SQLite as it is.
    enum Kind { Word, QuotedIdent, String, Number, Param, Op, Raw };
    Kind kind = Op;
    QString text;       // as SQLite should see it ([x] already turned into "x")
    bool space = false; // whitespace or a comment stood before it
};

QString unsupported(const QString &what)
{
    return QStringLiteral("unsupported SQL Server construct: %1").arg(what);
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Scans a quoted run starting at sql[i] == quote, where the quote character
// doubled stands for itself. Returns the index of the closing quote, or -1.
int closingQuote(const QString &sql, int i, QChar quote)
{
    const int n = sql.size();
    int j = i + 1;
    while (j < n) {
        if (sql.at(j) == quote) {
            if (j + 1 < n && sql.at(j + 1) == quote) {
                j += 2;
                continue;
            }
            return j;
        }
        ++j;
    }
    return -1;
}

bool tokenize(const QString &sql, QVector<Token> &out, QString *error)
{
    const int n = sql.size();
    int i = 0;
    bool space = false;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            space = true;
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n')) {
                ++i;
            }
            space = true;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            // SQL Server nests block comments, so count them.
            int depth = 0;
            int j = i;
            while (j < n) {
                if (sql.at(j) == QLatin1Char('/') && j + 1 < n && sql.at(j + 1) == QLatin1Char('*')) {
                    ++depth;
                    j += 2;
                } else if (sql.at(j) == QLatin1Char('*') && j + 1 < n && sql.at(j + 1) == QLatin1Char('/')) {
                    --depth;
                    j += 2;
                    if (depth == 0) {
                        break;
                    }
                } else {
                    ++j;
                }
            }
            if (depth != 0) {
                *error = QStringLiteral("unterminated comment");
                return false;
            }
            i = j;
            space = true;
            continue;
        }

        Token t;
        t.space = space;
        space = false;

        if (c == QLatin1Char('\'')) {
            const int end = closingQuote(sql, i, c);
            if (end < 0) {
                *error = QStringLiteral("unterminated string literal");
                return false;
            }
            t.kind = Token::String;
            t.text = sql.mid(i, end - i + 1);
            i = end + 1;
        } else if (c == QLatin1Char('"')) {
            const int end = closingQuote(sql, i, c);
            if (end < 0) {
                *error = QStringLiteral("unterminated quoted identifier");
                return false;
            }
            t.kind = Token::QuotedIdent;
            t.text = sql.mid(i, end - i + 1);
            i = end + 1;
        } else if (c == QLatin1Char('[')) {
            const int end = closingQuote(sql, i, QLatin1Char(']'));
            if (end < 0) {
                *error = QStringLiteral("unterminated bracketed identifier");
                return false;
            }
            QString name = sql.mid(i + 1, end - i - 1);
            name.replace(QStringLiteral("]]"), QStringLiteral("]"));
            name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            t.kind = Token::QuotedIdent;
            t.text = QLatin1Char('"') + name + QLatin1Char('"');
            i = end + 1;
        } else if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < n && isDigit(sql.at(i + 1)))) {
            int j = i;
            const bool hex = c == QLatin1Char('0') && i + 1 < n
                             && (sql.at(i + 1) == QLatin1Char('x') || sql.at(i + 1) == QLatin1Char('X'));
            if (hex) {
                j += 2;
                while (j < n && isxdigit(sql.at(j).toLatin1())) {
                    ++j;
                }
            } else {
                while (j < n && isDigit(sql.at(j))) {
                    ++j;
                }
                if (j < n && sql.at(j) == QLatin1Char('.')) {
                    ++j;
                    while (j < n && isDigit(sql.at(j))) {
                        ++j;
                    }
                }
                if (j < n && (sql.at(j) == QLatin1Char('e') || sql.at(j) == QLatin1Char('E'))) {
                    int k = j + 1;
                    if (k < n && (sql.at(k) == QLatin1Char('+') || sql.at(k) == QLatin1Char('-'))) {
                        ++k;
                    }
                    if (k < n && isDigit(sql.at(k))) {
                        j = k;
                        while (j < n && isDigit(sql.at(j))) {
                            ++j;
                        }
                    }
                }
            }
            t.kind = Token::Number;
            t.text = sql.mid(i, j - i);
            i = j;
        } else if (isWordStart(c)) {
            int j = i + 1;
            while (j < n && isWordChar(sql.at(j))) {
                ++j;
            }
            if (j - i == 1 && (c == QLatin1Char('N') || c == QLatin1Char('n')) && j < n
                && sql.at(j) == QLatin1Char('\'')) {
                // N'...' is a Unicode literal in SQL Server; SQLite text is
                // always Unicode, so the prefix just goes.
                const int end = closingQuote(sql, j, QLatin1Char('\''));
                if (end < 0) {
                    *error = QStringLiteral("unterminated string literal");
                    return false;
                }
                t.kind = Token::String;
                t.text = sql.mid(j, end - j + 1);
                i = end + 1;
            } else {
                t.kind = Token::Word;
                t.text = sql.mid(i, j - i);
                i = j;
            }
        } else if (c == QLatin1Char('?')) {
            int j = i + 1;
            while (j < n && isDigit(sql.at(j))) {
                ++j;
            }
            t.kind = Token::Param;
            t.text = sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isWordStart(sql.at(i + 1))) {
            int j = i + 1;
            while (j < n && isWordChar(sql.at(j))) {
                ++j;
            }
            t.kind = Token::Param;
            t.text = sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('@') || c == QLatin1Char('#')) {
            // Variables and temporary tables exist only on the server.
            int j = i + 1;
            while (j < n && (isWordChar(sql.at(j)) || sql.at(j) == c)) {
                ++j;
            }
            *error = unsupported(sql.mid(i, j - i));
            return false;
        } else {
            static const char *const twoChar[] = {"<=", ">=", "<>", "!=", "||", "==", "<<", ">>"};
            t.kind = Token::Op;
            const QStringRef two = sql.midRef(i, 2);
            bool found = false;
            for (const char *op : twoChar) {
                if (two == QLatin1String(op)) {
                    t.text = two.toString();
                    i += 2;
                    found = true;
                    break;
                }
            }
            if (!found) {
                if (two == QLatin1String("!<") || two == QLatin1String("!>")) {
                    *error = unsupported(two.toString());
                    return false;
                }
                if (!QStringLiteral("+-*/%=<>(),.;~&|^").contains(c)) {
                    *error = unsupported(QString(c));
                    return false;
                }
                t.text = QString(c);
                ++i;
            }
        }
        out.append(t);
    }
    return true;
}

} // namespace

Q_DECLARE_TYPEINFO(Token, Q_MOVABLE_TYPE);

namespace {

bool isWord(const Token &t, const char *word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isOp(const Token &t, const char *op)
{
    return t.kind == Token::Op && t.text == QLatin1String(op);
}

// ---------------------------------------------------------------------------
// Syntax tree: just enough structure to find operands. Parentheses and
// case ... end are groups; everything else stays a flat run of tokens.

struct Node
{
    enum Kind { Leaf, Paren, Case };
    Kind kind = Leaf;
    Token tok;                // the token, or the opening "(" / "case"
    QVector<Node> kids;
    bool closeSpace = false;  // whitespace before ")" or "end"
};

} // namespace

Q_DECLARE_TYPEINFO(Node, Q_MOVABLE_TYPE);

namespace {

// "with (updlock,holdlock)" after a table: locking hints only. The embedded
// engine's write transactions take the whole file at their start, which is
// the strongest of them, so they are dropped. Any other hint (an index, a
// query option) is not a lock and stays unsupported.
bool isLockingHint(const Node &paren)
{
    static const QStringList hints{
        QStringLiteral("updlock"),        QStringLiteral("holdlock"),
        QStringLiteral("rowlock"),        QStringLiteral("paglock"),
        QStringLiteral("tablock"),        QStringLiteral("tablockx"),
        QStringLiteral("xlock"),          QStringLiteral("nolock"),
        QStringLiteral("readpast"),       QStringLiteral("serializable"),
        QStringLiteral("readcommitted"),  QStringLiteral("repeatableread"),
        QStringLiteral("readuncommitted")};
    if (paren.kind != Node::Paren || paren.kids.isEmpty()) {
        return false;
    }
    bool expectHint = true;
    for (const Node &kid : paren.kids) {
        if (kid.kind != Node::Leaf) {
            return false;
        }
        if (expectHint) {
            if (kid.tok.kind != Token::Word || !hints.contains(kid.tok.text.toLower())) {
                return false;
            }
        } else if (!isOp(kid.tok, ",")) {
            return false;
        }
        expectHint = !expectHint;
    }
    return !expectHint;
}

bool buildTree(const QVector<Token> &toks, int &pos, QVector<Node> &out, Node::Kind closer,
               bool *closeSpace, QString *error)
{
    while (pos < toks.size()) {
        const Token &t = toks.at(pos);
        if (isOp(t, "(") || isWord(t, "case")) {
            Node group;
            group.kind = isOp(t, "(") ? Node::Paren : Node::Case;
            group.tok = t;
            ++pos;
            if (!buildTree(toks, pos, group.kids, group.kind, &group.closeSpace, error)) {
                return false;
            }
            out.append(group);
            continue;
        }
        if (isOp(t, ")")) {
            if (closer != Node::Paren) {
                *error = QStringLiteral("unbalanced parentheses");
                return false;
            }
            *closeSpace = t.space;
            ++pos;
            return true;
        }
        if (isWord(t, "end") && closer == Node::Case) {
            *closeSpace = t.space;
            ++pos;
            return true;
        }
        Node leaf;
        leaf.tok = t;
        out.append(leaf);
        ++pos;
    }
    if (closer == Node::Paren) {
        *error = QStringLiteral("unbalanced parentheses");
        return false;
    }
    if (closer == Node::Case) {
        *error = QStringLiteral("case without end");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Rendering

// Words that are never operands. Whether one of them may stand before "(" is
// the business of parenKeywords.
const QSet<QString> &keywords()
{
    static const QSet<QString> set = {
        QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where"),
        QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not"),
        QStringLiteral("in"), QStringLiteral("exists"), QStringLiteral("as"),
        QStringLiteral("on"), QStringLiteral("join"), QStringLiteral("left"),
        QStringLiteral("right"), QStringLiteral("inner"), QStringLiteral("outer"),
        QStringLiteral("full"), QStringLiteral("cross"), QStringLiteral("natural"),
        QStringLiteral("group"), QStringLiteral("by"), QStringLiteral("order"),
        QStringLiteral("having"), QStringLiteral("union"), QStringLiteral("all"),
        QStringLiteral("distinct"), QStringLiteral("when"), QStringLiteral("then"),
        QStringLiteral("else"), QStringLiteral("end"), QStringLiteral("is"),
        QStringLiteral("like"), QStringLiteral("escape"), QStringLiteral("between"),
        QStringLiteral("insert"), QStringLiteral("into"), QStringLiteral("values"),
        QStringLiteral("update"), QStringLiteral("set"), QStringLiteral("delete"),
        QStringLiteral("top"), QStringLiteral("asc"), QStringLiteral("desc"),
        QStringLiteral("with"), QStringLiteral("any"), QStringLiteral("some"),
        QStringLiteral("limit"), QStringLiteral("offset"), QStringLiteral("collate"),
        QStringLiteral("over"), QStringLiteral("partition"), QStringLiteral("intersect"),
        QStringLiteral("except"), QStringLiteral("glob"), QStringLiteral("regexp"),
        QStringLiteral("match"), QStringLiteral("apply"), QStringLiteral("percent"),
        QStringLiteral("default"), QStringLiteral("using"),
    };
    return set;
}

// Keywords that may be followed by a parenthesis without being a call.
const QSet<QString> &parenKeywords()
{
    static const QSet<QString> set = {
        QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where"),
        QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not"),
        QStringLiteral("in"), QStringLiteral("exists"), QStringLiteral("as"),
        QStringLiteral("on"), QStringLiteral("join"), QStringLiteral("by"),
        QStringLiteral("having"), QStringLiteral("union"), QStringLiteral("all"),
        QStringLiteral("distinct"), QStringLiteral("when"), QStringLiteral("then"),
        QStringLiteral("else"), QStringLiteral("is"), QStringLiteral("like"),
        QStringLiteral("escape"), QStringLiteral("between"), QStringLiteral("values"),
        QStringLiteral("set"), QStringLiteral("any"), QStringLiteral("some"),
        QStringLiteral("over"), QStringLiteral("intersect"), QStringLiteral("except"),
        QStringLiteral("limit"), QStringLiteral("offset"), QStringLiteral("using"),
    };
    return set;
}

// After these a name followed by "(" is a table with its column list.
const QSet<QString> &tablePreceders()
{
    static const QSet<QString> set = {
        QStringLiteral("into"), QStringLiteral("from"), QStringLiteral("join"),
        QStringLiteral("update"), QStringLiteral("table"), QStringLiteral("with"),
    };
    return set;
}

// Functions that mean the same in both dialects and pass unchanged.
const QSet<QString> &plainFunctions()
{
    static const QSet<QString> set = {
        QStringLiteral("count"), QStringLiteral("sum"), QStringLiteral("min"),
        QStringLiteral("max"), QStringLiteral("avg"), QStringLiteral("abs"),
        QStringLiteral("upper"), QStringLiteral("lower"), QStringLiteral("round"),
        QStringLiteral("coalesce"), QStringLiteral("nullif"), QStringLiteral("ltrim"),
        QStringLiteral("rtrim"), QStringLiteral("replace"),
    };
    return set;
}

// ---------------------------------------------------------------------------
// Join keys
//
// SQLite joins by nested loops, using an index only where one side of "=" is
// a column of the joined table. The reports join derived tables on built
// texts ("convert(varchar(10),t1.date,20)+cast(t1.food_id as varchar)=
// convert(varchar(10),t3.date,20)+cast(t3.food_id as varchar)"), which SQL
// Server hashes but SQLite would scan once per outer row: hours over a year
// of delivery lines. So the joined side's expression is computed inside the
// joined table as an extra column, jxc_keyN, and the condition compares with
// that column; SQLite then builds an automatic index on it. The values
// compared are the same, so the result is too.

Node leafNode(Token::Kind kind, const QString &text, bool space = true)
{
    Node n;
    n.tok.kind = kind;
    n.tok.text = text;
    n.tok.space = space;
    return n;
}

Node parenNode(const QVector<Node> &kids, bool space = true)
{
    Node n;
    n.kind = Node::Paren;
    n.tok = leafNode(Token::Op, QStringLiteral("("), space).tok;
    n.kids = kids;
    return n;
}

bool isLeafWord(const Node &n, const char *word)
{
    return n.kind == Node::Leaf && isWord(n.tok, word);
}

bool isLeafOp(const Node &n, const char *op)
{
    return n.kind == Node::Leaf && isOp(n.tok, op);
}

// The name a word or quoted identifier stands for, in lower case.
QString nameOf(const Token &t)
{
    if (t.kind == Token::QuotedIdent) {
        return t.text.mid(1, t.text.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\"")).toLower();
    }
    return t.text.toLower();
}

bool isName(const Node &n)
{
    return n.kind == Node::Leaf
           && ((n.tok.kind == Token::Word && !keywords().contains(n.tok.text.toLower())
                && n.tok.text.compare(QLatin1String("null"), Qt::CaseInsensitive) != 0)
               || n.tok.kind == Token::QuotedIdent);
}

// alias.column at nodes[i]
bool isQualifiedColumn(const QVector<Node> &nodes, int i)
{
    return i + 2 < nodes.size() && isName(nodes.at(i)) && isLeafOp(nodes.at(i + 1), ".")
           && isName(nodes.at(i + 2));
}

struct ColumnRefs
{
    QSet<QString> aliases;
    bool unqualified = false; // a column without alias: its scope is unknown
    bool subquery = false;
};

void collectRefs(const QVector<Node> &nodes, ColumnRefs *refs);

// The arguments of a call that are expressions, leaving out type names and
// date parts, which look like column names.
void collectCallRefs(const QString &function, const QVector<Node> &kids, ColumnRefs *refs)
{
    if (function == QLatin1String("cast")) {
        int as = -1;
        for (int i = 0; i < kids.size(); ++i) {
            if (isLeafWord(kids.at(i), "as")) {
                as = i;
            }
        }
        collectRefs(kids.mid(0, qMax(as, 0)), refs);
        return;
    }
    if (function == QLatin1String("convert") || function == QLatin1String("datediff")) {
        int comma = 0;
        while (comma < kids.size() && !isLeafOp(kids.at(comma), ",")) {
            ++comma;
        }
        collectRefs(kids.mid(comma + 1), refs);
        return;
    }
    collectRefs(kids, refs);
}

void collectRefs(const QVector<Node> &nodes, ColumnRefs *refs)
{
    for (int i = 0; i < nodes.size(); ++i) {
        const Node &n = nodes.at(i);
        if (n.kind == Node::Paren) {
            if (!n.kids.isEmpty() && isLeafWord(n.kids.first(), "select")) {
                refs->subquery = true;
            } else {
                collectRefs(n.kids, refs);
            }
            continue;
        }
        if (n.kind == Node::Case) {
            collectRefs(n.kids, refs);
            continue;
        }
        if (n.tok.kind == Token::Word && i + 1 < nodes.size() && nodes.at(i + 1).kind == Node::Paren) {
            collectCallRefs(n.tok.text.toLower(), nodes.at(i + 1).kids, refs);
            ++i;
            continue;
        }
        if (isQualifiedColumn(nodes, i)) {
            refs->aliases.insert(nameOf(nodes.at(i).tok));
            i += 2;
            continue;
        }
        if (isName(n)) {
            refs->unqualified = true;
        }
    }
}

// nodes with every alias.column replaced by (expression of that column).
bool substituteColumns(const QVector<Node> &nodes, const QString &alias,
                       const QHash<QString, QVector<Node>> &columns, QVector<Node> *out)
{
    for (int i = 0; i < nodes.size(); ++i) {
        const Node &n = nodes.at(i);
        if (n.kind != Node::Leaf) {
            Node copy = n;
            copy.kids.clear();
            if (!substituteColumns(n.kids, alias, columns, &copy.kids)) {
                return false;
            }
            out->append(copy);
            continue;
        }
        if (isQualifiedColumn(nodes, i) && nameOf(n.tok) == alias) {
            const auto found = columns.constFind(nameOf(nodes.at(i + 2).tok));
            if (found == columns.constEnd()) {
                return false;
            }
            out->append(parenNode(found.value(), n.tok.space));
            i += 2;
            continue;
        }
        out->append(n);
    }
    return true;
}

// The output columns of a derived table's select, by name; false when they
// cannot all be known (select *, union, top).
bool selectColumns(const QVector<Node> &kids, int *fromIndex, QHash<QString, QVector<Node>> *columns)
{
    int start = 1;
    if (start < kids.size() && isLeafWord(kids.at(start), "distinct")) {
        ++start;
    }
    int from = -1;
    for (int i = 0; i < kids.size(); ++i) {
        const Node &n = kids.at(i);
        if (isLeafWord(n, "union") || isLeafWord(n, "intersect") || isLeafWord(n, "except")
            || isLeafWord(n, "top") || isLeafWord(n, "limit")) {
            return false;
        }
        if (from < 0 && isLeafWord(n, "from")) {
            from = i;
        }
    }
    if (from < 0) {
        return false;
    }
    QVector<Node> item;
    for (int i = start; i <= from; ++i) {
        if (i < from && !isLeafOp(kids.at(i), ",")) {
            item.append(kids.at(i));
            continue;
        }
        const int n = item.size();
        if (n >= 3 && isLeafWord(item.at(n - 2), "as") && isName(item.at(n - 1))) {
            columns->insert(nameOf(item.at(n - 1).tok), item.mid(0, n - 2));
        } else if (n == 1 && isName(item.first())) {
            columns->insert(nameOf(item.first().tok), item);
        } else if (n == 3 && isQualifiedColumn(item, 0)) {
            columns->insert(nameOf(item.at(2).tok), item);
        } else if (!item.isEmpty() && isLeafOp(item.last(), "*")) {
            return false;
        }
        item.clear();
    }
    *fromIndex = from;
    return true;
}

const QSet<QString> &conditionEnds()
{
    static const QSet<QString> set = {
        QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("inner"), QStringLiteral("join"),
        QStringLiteral("cross"), QStringLiteral("full"), QStringLiteral("outer"), QStringLiteral("where"),
        QStringLiteral("group"), QStringLiteral("order"), QStringLiteral("having"), QStringLiteral("union"),
        QStringLiteral("on"), QStringLiteral("limit"), QStringLiteral("intersect"), QStringLiteral("except"),
        QStringLiteral("natural"),
    };
    return set;
}

// A condition part that is "x = y" and nothing else at its top level.
bool splitEquality(const QVector<Node> &part, QVector<Node> *left, QVector<Node> *right)
{
    int eq = -1;
    for (int i = 0; i < part.size(); ++i) {
        const Node &n = part.at(i);
        if (n.kind != Node::Leaf) {
            continue;
        }
        if (isOp(n.tok, "=")) {
            if (eq >= 0) {
                return false;
            }
            eq = i;
        } else if (n.tok.kind == Token::Op
                   && (n.tok.text == QLatin1String("<") || n.tok.text == QLatin1String(">")
                       || n.tok.text == QLatin1String("<=") || n.tok.text == QLatin1String(">=")
                       || n.tok.text == QLatin1String("<>") || n.tok.text == QLatin1String("!=")
                       || n.tok.text == QLatin1String("=="))) {
            return false;
        } else if (n.tok.kind == Token::Word && keywords().contains(n.tok.text.toLower())) {
            return false;
        }
    }
    if (eq <= 0 || eq == part.size() - 1) {
        return false;
    }
    *left = part.mid(0, eq);
    *right = part.mid(eq + 1);
    return true;
}

// Rewrites the join conditions of one level of a statement.
void hoistJoinKeys(QVector<Node> &seq, int *keyCounter)
{
    // A "select *" of this level would show the added key columns.
    for (int i = 1; i < seq.size(); ++i) {
        const Node &before = seq.at(i - 1);
        if (isLeafOp(seq.at(i), "*")
            && (isLeafWord(before, "select") || isLeafWord(before, "distinct") || isLeafOp(before, ",")
                || isLeafOp(before, "."))) {
            return;
        }
    }
    for (int k = 2; k < seq.size(); ++k) {
        if (!isLeafWord(seq.at(k), "on") || !isName(seq.at(k - 1))) {
            continue;
        }
        const QString alias = nameOf(seq.at(k - 1).tok);
        // "join t alias on", "join t as alias on", "join (select ...) alias on"
        // or a table without alias, "join t on".
        int source = isLeafWord(seq.at(k - 2), "join") ? k - 1 : k - 2;
        if (source > 0 && source == k - 2 && isLeafWord(seq.at(source), "as")) {
            --source;
        }
        const Node &src = seq.at(source);
        const bool derived = src.kind == Node::Paren && !src.kids.isEmpty() && isLeafWord(src.kids.first(), "select");
        const bool table = source > 0 && isName(src) && isLeafWord(seq.at(source - 1), "join");
        if (!derived && !table) {
            continue;
        }
        QHash<QString, QVector<Node>> columns;
        int from = -1;
        if (derived && !selectColumns(src.kids, &from, &columns)) {
            continue;
        }

        int end = k + 1;
        while (end < seq.size()
               && !(seq.at(end).kind == Node::Leaf && seq.at(end).tok.kind == Token::Word
                    && conditionEnds().contains(seq.at(end).tok.text.toLower()))) {
            ++end;
        }
        // Conjuncts [start, stop) of the condition, each "x = y".
        struct Hoist
        {
            int start;
            int stop;
            QVector<Node> keyExpr; // over the joined table's columns
            QVector<Node> other;
        };
        QVector<Hoist> hoists;
        int start = k + 1;
        for (int i = k + 1; i <= end; ++i) {
            if (i < end && !isLeafWord(seq.at(i), "and")) {
                continue;
            }
            QVector<Node> left;
            QVector<Node> right;
            if (splitEquality(seq.mid(start, i - start), &left, &right)) {
                for (int side = 0; side < 2; ++side) {
                    const QVector<Node> &key = side == 0 ? left : right;
                    const QVector<Node> &other = side == 0 ? right : left;
                    ColumnRefs keyRefs;
                    ColumnRefs otherRefs;
                    collectRefs(key, &keyRefs);
                    collectRefs(other, &otherRefs);
                    const bool plainColumn = key.size() == 3 && isQualifiedColumn(key, 0);
                    if (!plainColumn && keyRefs.aliases == QSet<QString>{alias} && !keyRefs.unqualified
                        && !keyRefs.subquery && !otherRefs.aliases.contains(alias)) {
                        hoists.append({start, i, key, other});
                        break;
                    }
                }
            }
            start = i + 1;
        }
        if (hoists.isEmpty()) {
            continue;
        }

        QVector<Node> added;
        QVector<QString> keyNames;
        for (const Hoist &h : qAsConst(hoists)) {
            QVector<Node> expr;
            if (derived) {
                if (!substituteColumns(h.keyExpr, alias, columns, &expr)) {
                    break;
                }
            } else {
                expr = h.keyExpr;
            }
            const bool otherIsColumn = h.other.size() == 1 ? isName(h.other.first())
                                                           : h.other.size() == 3 && isQualifiedColumn(h.other, 0);
            if (otherIsColumn) {
                // Compared with a column, the key gets text affinity, as the
                // comparison gives the expression when the column is text;
                // SQLite indexes a key only under the comparison's affinity.
                // (With a numeric column the comparison applies numeric
                // affinity to the key's text, again as before.)
                expr = {leafNode(Token::Raw, QStringLiteral("CAST")),
                        parenNode(QVector<Node>() << expr << leafNode(Token::Raw, QStringLiteral("AS TEXT")), false)};
            }
            const QString name = QStringLiteral("jxc_key%1").arg(++*keyCounter);
            added << leafNode(Token::Op, QStringLiteral(","), false) << parenNode(expr)
                  << leafNode(Token::Word, QStringLiteral("as")) << leafNode(Token::Word, name);
            keyNames << name;
        }
        if (keyNames.size() != hoists.size()) {
            continue;
        }

        // The joined side of each condition becomes alias.jxc_keyN; from the
        // back, so that the earlier positions stay valid.
        for (int h = hoists.size() - 1; h >= 0; --h) {
            const Hoist &hoist = hoists.at(h);
            QVector<Node> part;
            const QVector<Node> key = {leafNode(Token::Word, seq.at(k - 1).tok.text),
                                       leafNode(Token::Op, QStringLiteral("."), false),
                                       leafNode(Token::Word, keyNames.at(h), false)};
            // The other side stands left: SQLite compares under the collation
            // of the left column first, and the key column's own (binary)
            // must not replace the one of the column it was compared with.
            part << hoist.other << leafNode(Token::Op, QStringLiteral("="), false) << key;
            part.first().tok.space = true;
            seq.erase(seq.begin() + hoist.start, seq.begin() + hoist.stop);
            for (int p = 0; p < part.size(); ++p) {
                seq.insert(hoist.start + p, part.at(p));
            }
        }

        // The joined table gets the key columns, and "limit -1" (no limit)
        // keeps SQLite from merging it into the outer query, where the key
        // would be an expression again.
        const QVector<Node> noLimit = {leafNode(Token::Word, QStringLiteral("limit")),
                                       leafNode(Token::Op, QStringLiteral("-")),
                                       leafNode(Token::Number, QStringLiteral("1"), false)};
        if (derived) {
            Node &d = seq[source];
            for (int p = 0; p < added.size(); ++p) {
                d.kids.insert(from + p, added.at(p));
            }
            d.kids << noLimit;
        } else {
            const Node aliasNode = leafNode(Token::Word, seq.at(k - 1).tok.text);
            QVector<Node> kids = {leafNode(Token::Word, QStringLiteral("select"), false), aliasNode,
                                  leafNode(Token::Op, QStringLiteral("."), false),
                                  leafNode(Token::Op, QStringLiteral("*"), false)};
            kids << added << leafNode(Token::Word, QStringLiteral("from")) << src << aliasNode << noLimit;
            kids[kids.size() - noLimit.size() - 2].tok.space = true;
            seq[source] = parenNode(kids, src.tok.space);
            if (source == k - 1) {
                seq.insert(k, aliasNode);
                ++k;
            }
        }
    }
}

struct SqlType
{
    QString base;
    int length = -1;     // varchar(n); -1 when not given
    bool max = false;    // varchar(max)
    int precision = -1;  // decimal(p,s)
    int scale = -1;
};

void appendSpaced(QString &out, const QString &text, bool space)
{
    if (space && !out.isEmpty()) {
        out += QLatin1Char(' ');
    }
    out += text;
}

class Renderer
{
public:
    QString error;

    QString sequence(const QVector<Node> &nodes);

private:
    int m_keys = 0; // join keys added so far in this statement

    struct Unit
    {
        enum Kind { Operand, Operator, Other };
        Kind kind = Other;
        QString text;
        bool space = false;
    };

    bool fail(const QString &message)
    {
        if (error.isEmpty()) {
            error = message;
        }
        return false;
    }

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

QVector<QVector<Node>> Renderer::splitArgs(const QVector<Node> &nodes)
{
    QVector<QVector<Node>> args;
    if (nodes.isEmpty()) {
        return args;
    }
    args.append(QVector<Node>());
    for (const Node &n : nodes) {
        if (n.kind == Node::Leaf && isOp(n.tok, ",")) {
            args.append(QVector<Node>());
        } else {
            args.last().append(n);
        }
    }
    return args;
}

QString Renderer::sequence(const QVector<Node> &input)
{
    QVector<Node> nodes = input;
    hoistJoinKeys(nodes, &m_keys);

    QVector<Unit> units;
    units.reserve(nodes.size());
    QString previousWord; // lower case; empty when the previous node was not a word
    int limit = -1;
    int selects = 0;

    for (int i = 0; i < nodes.size(); ++i) {
        const Node &node = nodes.at(i);
        Unit unit;
        unit.space = node.tok.space;
        QString word;

        if (node.kind == Node::Paren) {
            const QString inner = sequence(node.kids);
            unit.kind = Unit::Operand;
            unit.text = QLatin1Char('(') + inner + (node.closeSpace ? QStringLiteral(" )") : QStringLiteral(")"));
        } else if (node.kind == Node::Case) {
            QString inner = sequence(node.kids);
            unit.kind = Unit::Operand;
            unit.text = node.tok.text + QLatin1Char(' ') + inner + QStringLiteral(" end");
        } else {
            const Token &t = node.tok;
            const bool callFollows = i + 1 < nodes.size() && nodes.at(i + 1).kind == Node::Paren;
            switch (t.kind) {
            case Token::Op:
                unit.kind = Unit::Operator;
                unit.text = t.text;
                break;
            case Token::String:
            case Token::Number:
            case Token::Param:
            case Token::Raw:
                unit.kind = Unit::Operand;
                unit.text = t.text;
                break;
            case Token::Word:
            case Token::QuotedIdent: {
                word = t.kind == Token::Word ? t.text.toLower() : QString();
                if (word == QLatin1String("null")) {
                    unit.kind = Unit::Operand;
                    unit.text = t.text;
                    break;
                }
                if (word == QLatin1String("with") && callFollows && isLockingHint(nodes.at(i + 1))) {
                    ++i;
                    continue;
                }
                if (keywords().contains(word)) {
                    if (word == QLatin1String("top")) {
                        if (previousWord != QLatin1String("select") && previousWord != QLatin1String("distinct")) {
                            fail(unsupported(t.text));
                            return QString();
                        }
                        // top n, or top (n)
                        const Node *count = i + 1 < nodes.size() ? &nodes.at(i + 1) : nullptr;
                        if (count && count->kind == Node::Paren && count->kids.size() == 1) {
                            count = &count->kids.first();
                        }
                        bool ok = false;
                        if (count && count->kind == Node::Leaf && count->tok.kind == Token::Number) {
                            limit = count->tok.text.toInt(&ok);
                        }
                        if (!ok) {
                            fail(unsupported(QStringLiteral("top without a number")));
                            return QString();
                        }
                        if (i + 2 < nodes.size() && nodes.at(i + 2).kind == Node::Leaf
                            && (isWord(nodes.at(i + 2).tok, "percent") || isWord(nodes.at(i + 2).tok, "with"))) {
                            fail(unsupported(QStringLiteral("top ... %1").arg(nodes.at(i + 2).tok.text)));
                            return QString();
                        }
                        ++i;
                        previousWord = word;
                        continue;
                    }
                    if (callFollows && !parenKeywords().contains(word)) {
                        fail(unsupported(t.text));
                        return QString();
                    }
                    if (word == QLatin1String("select")) {
                        ++selects;
                    }
                    unit.kind = Unit::Other;
                    unit.text = t.text;
                    break;
                }
                if (callFollows && t.kind == Token::Word && !tablePreceders().contains(previousWord)) {
                    unit.kind = Unit::Operand;
                    unit.text = call(t, nodes.at(i + 1));
                    if (!error.isEmpty()) {
                        return QString();
                    }
                    ++i;
                    break;
                }
                // A name, possibly qualified: t1.food_id, "t"."id", t1.*
                unit.kind = Unit::Operand;
                unit.text = t.text;
                bool qualified = false;
                while (i + 2 < nodes.size() && nodes.at(i + 1).kind == Node::Leaf
                       && isOp(nodes.at(i + 1).tok, ".") && nodes.at(i + 2).kind == Node::Leaf
                       && (nodes.at(i + 2).tok.kind == Token::Word
                           || nodes.at(i + 2).tok.kind == Token::QuotedIdent
                           || isOp(nodes.at(i + 2).tok, "*"))) {
                    unit.text += QLatin1Char('.') + nodes.at(i + 2).tok.text;
                    i += 2;
                    qualified = true;
                }
                if (qualified && i + 1 < nodes.size()
                    && nodes.at(i + 1).kind == Node::Paren) {
                    fail(unsupported(unit.text));
                    return QString();
                }
                break;
            }
            }
        }
        if (!error.isEmpty()) {
            return QString();
        }
        previousWord = word;
        units.append(unit);
    }

    QString out = joinUnits(units);
    if (limit >= 0) {
        if (selects > 1) {
            fail(unsupported(QStringLiteral("top with union")));
            return QString();
        }
        out += QStringLiteral(" LIMIT %1").arg(limit);
    }
    return out;
}

bool Renderer::factor(const QVector<Unit> &u, int i, int *next, QString *text) const
{
    QString t;
    int k = i;
    while (k < u.size() && u.at(k).kind == Unit::Operator
           && (u.at(k).text == QLatin1String("-") || u.at(k).text == QLatin1String("+")
               || u.at(k).text == QLatin1String("~"))) {
        appendSpaced(t, u.at(k).text, u.at(k).space && k != i);
        ++k;
    }
    if (k >= u.size() || u.at(k).kind != Unit::Operand) {
        return false;
    }
    appendSpaced(t, u.at(k).text, u.at(k).space && k != i);
    *next = k + 1;
    *text = t;
    return true;
}

bool Renderer::term(const QVector<Unit> &u, int i, int *next, QString *text) const
{
    int k;
    QString t;
    if (!factor(u, i, &k, &t)) {
        return false;
    }
    while (k < u.size() && u.at(k).kind == Unit::Operator
           && (u.at(k).text == QLatin1String("*") || u.at(k).text == QLatin1String("/")
               || u.at(k).text == QLatin1String("%"))) {
        int after;
        QString f;
        if (!factor(u, k + 1, &after, &f)) {
            break;
        }
        appendSpaced(t, u.at(k).text, u.at(k).space);
        appendSpaced(t, f, u.at(k + 1).space);
        k = after;
    }
    *next = k;
    *text = t;
    return true;
}

// Rewrites every binary "+" into jxc_add(left, right), honouring SQL Server's
// precedence: * / % bind tighter, + - & | ^ are one level evaluated left to
// right, anything else (comparisons, keywords, commas) ends the expression.
QString Renderer::joinUnits(const QVector<Unit> &u)
{
    QString out;
    int i = 0;
    while (i < u.size()) {
        int k;
        QString first;
        if (!term(u, i, &k, &first)) {
            appendSpaced(out, u.at(i).text, u.at(i).space);
            ++i;
            continue;
        }
        struct Step
        {
            QString op;
            bool opSpace;
            QString text;
            bool textSpace;
        };
        QVector<Step> steps;
        bool plus = false;
        bool bitwise = false;
        while (k < u.size() && u.at(k).kind == Unit::Operator) {
            const QString &op = u.at(k).text;
            const bool additive = op == QLatin1String("+") || op == QLatin1String("-");
            const bool bit = op == QLatin1String("&") || op == QLatin1String("|") || op == QLatin1String("^");
            if (!additive && !bit) {
                break;
            }
            int after;
            QString t;
            if (!term(u, k + 1, &after, &t)) {
                break;
            }
            plus = plus || op == QLatin1String("+");
            bitwise = bitwise || bit;
            steps.append({op, u.at(k).space, t, u.at(k + 1).space});
            k = after;
        }
        QString chain = first;
        if (plus || (bitwise && steps.size() > 1)) {
            // SQLite ranks & and | below + and -, SQL Server on one level:
            // explicit parentheses keep SQL Server's left-to-right order.
            for (const Step &s : qAsConst(steps)) {
                if (s.op == QLatin1String("+")) {
                    chain = QStringLiteral("jxc_add(%1,%2)").arg(chain, s.text);
                } else if (bitwise) {
                    chain = QStringLiteral("(%1%2%3)").arg(chain, s.op, s.text);
                } else {
                    chain += s.op + s.text;
                }
            }
        } else {
            for (const Step &s : qAsConst(steps)) {
                appendSpaced(chain, s.op, s.opSpace);
                appendSpaced(chain, s.text, s.textSpace);
            }
        }
        appendSpaced(out, chain, u.at(i).space);
        i = k;
    }
    return out;
}

QString Renderer::call(const Token &name, const Node &group)
{
    const QString lower = name.text.toLower();
    if (lower == QLatin1String("cast")) {
        return castCall(name, group);
    }
    const QVector<QVector<Node>> args = splitArgs(group.kids);
    if (lower == QLatin1String("isnull")) {
        // SQLite reads ISNULL as the postfix "is null" test.
        if (args.size() != 2) {
            fail(QStringLiteral("isnull needs 2 arguments"));
            return QString();
        }
        return QStringLiteral("ifnull(%1,%2)").arg(sequence(args.at(0)), sequence(args.at(1)));
    }
    if (lower == QLatin1String("convert")) {
        return convertCall(name, args);
    }
    if (lower == QLatin1String("datediff")) {
        return datediffCall(args);
    }
    if (plainFunctions().contains(lower)) {
        if (lower == QLatin1String("round") && args.size() > 2) {
            fail(unsupported(QStringLiteral("round with a truncation argument")));
            return QString();
        }
        return name.text + QLatin1Char('(') + sequence(group.kids) + QLatin1Char(')');
    }
    fail(unsupported(name.text));
    return QString();
}

bool Renderer::parseType(const QVector<Node> &nodes, SqlType *type, const QString &what)
{
    const auto bad = [&]() { return fail(unsupported(what)); };
    if (nodes.isEmpty() || nodes.first().kind != Node::Leaf || nodes.first().tok.kind != Token::Word) {
        return bad();
    }
    type->base = nodes.first().tok.text.toLower();
    if (nodes.size() == 1) {
        return true;
    }
    if (nodes.size() != 2 || nodes.at(1).kind != Node::Paren) {
        return bad();
    }
    const QVector<QVector<Node>> args = splitArgs(nodes.at(1).kids);
    QVector<int> numbers;
    for (const QVector<Node> &arg : args) {
        if (arg.size() != 1 || arg.first().kind != Node::Leaf) {
            return bad();
        }
        const Token &t = arg.first().tok;
        if (args.size() == 1 && isWord(t, "max")) {
            type->max = true;
            return true;
        }
        bool ok = false;
        numbers.append(t.kind == Token::Number ? t.text.toInt(&ok) : 0);
        if (!ok) {
            return bad();
        }
    }
    if (numbers.size() == 1) {
        type->length = numbers.at(0);
        type->precision = numbers.at(0);
    } else if (numbers.size() == 2) {
        type->precision = numbers.at(0);
        type->scale = numbers.at(1);
    } else {
        return bad();
    }
    return true;
}

bool isSupportedStyle(int style)
{
    switch (style) {
    case 8: case 20: case 21: case 23: case 102: case 108: case 111: case 112: case 120: case 121:
        return true;
    default:
        return false;
    }
}

QString Renderer::converted(const SqlType &type, const QString &expr, int style, const QString &what)
{
    const QString &b = type.base;
    if (b == QLatin1String("varchar") || b == QLatin1String("nvarchar") || b == QLatin1String("char")
        || b == QLatin1String("nchar")) {
        // SQL Server's default length of cast and convert to varchar is 30.
        const int length = type.max ? -1 : (type.length >= 0 ? type.length : 30);
        if (type.scale >= 0 || length == 0) {
            fail(unsupported(what));
            return QString();
        }
        if (style < 0) {
            return QStringLiteral("jxc_varchar(%1,%2)").arg(expr).arg(length);
        }
        return QStringLiteral("jxc_convert(%1,%2,%3)").arg(expr).arg(length).arg(style);
    }
    if (type.length >= 0 || type.scale >= 0 || type.max) {
        if (b != QLatin1String("decimal") && b != QLatin1String("numeric")) {
            fail(unsupported(what));
            return QString();
        }
    }
    if (b == QLatin1String("int") || b == QLatin1String("integer") || b == QLatin1String("bigint")
        || b == QLatin1String("smallint") || b == QLatin1String("tinyint")) {
        // SQLite's cast truncates toward zero, as SQL Server does.
        return QStringLiteral("CAST(%1 AS INTEGER)").arg(expr);
    }
    if (b == QLatin1String("float") || b == QLatin1String("real")) {
        return QStringLiteral("CAST(%1 AS REAL)").arg(expr);
    }
    if (b == QLatin1String("decimal") || b == QLatin1String("numeric")) {
        const int precision = type.precision >= 0 ? type.precision : 18;
        const int scale = type.scale >= 0 ? type.scale : 0;
        if (precision < 1 || precision > 38 || scale > precision || type.max) {
            fail(unsupported(what));
            return QString();
        }
        return QStringLiteral("jxc_decimal(%1,%2,%3)").arg(expr).arg(precision).arg(scale);
    }
    fail(unsupported(what));
    return QString();
}

QString Renderer::castCall(const Token &name, const Node &group)
{
    int as = -1;
    for (int i = 0; i < group.kids.size(); ++i) {
        const Node &n = group.kids.at(i);
        if (n.kind == Node::Leaf && isWord(n.tok, "as")) {
            as = i;
        }
    }
    if (as <= 0) {
        fail(QStringLiteral("%1 without \"as\"").arg(name.text));
        return QString();
    }
    const QVector<Node> exprNodes = group.kids.mid(0, as);
    const QVector<Node> typeNodes = group.kids.mid(as + 1);
    const QString typeName = typeNodes.isEmpty() ? QString() : typeNodes.first().tok.text;
    const QString what = QStringLiteral("%1 as %2").arg(name.text, typeName);
    SqlType type;
    if (!parseType(typeNodes, &type, what)) {
        return QString();
    }
    const QString expr = sequence(exprNodes);
    if (!error.isEmpty()) {
        return QString();
    }
    return converted(type, expr, -1, what);
}

QString Renderer::convertCall(const Token &name, const QVector<QVector<Node>> &args)
{
    if (args.size() < 2 || args.size() > 3) {
        fail(QStringLiteral("%1 needs 2 or 3 arguments").arg(name.text));
        return QString();
    }
    const QString typeName = args.at(0).isEmpty() ? QString() : args.at(0).first().tok.text;
    QString what = QStringLiteral("%1 to %2").arg(name.text, typeName);
    SqlType type;
    if (!parseType(args.at(0), &type, what)) {
        return QString();
    }
    int style = -1;
    if (args.size() == 3) {
        const QVector<Node> &s = args.at(2);
        bool ok = false;
        if (s.size() == 1 && s.first().kind == Node::Leaf && s.first().tok.kind == Token::Number) {
            style = s.first().tok.text.toInt(&ok);
        }
        if (!ok || !isSupportedStyle(style)) {
            QString text;
            for (const Node &n : s) {
                text += n.tok.text;
            }
            fail(unsupported(QStringLiteral("%1 style %2").arg(name.text, text)));
            return QString();
        }
        // Only conversions to text look at the style; SQL Server ignores
        // it for the others.
        const QString &b = type.base;
        if (b != QLatin1String("varchar") && b != QLatin1String("nvarchar") && b != QLatin1String("char")
            && b != QLatin1String("nchar")) {
            style = -1;
        }
    }
    const QString expr = sequence(args.at(1));
    if (!error.isEmpty()) {
        return QString();
    }
    return converted(type, expr, style, what);
}

QString Renderer::datediffCall(const QVector<QVector<Node>> &args)
{
    if (args.size() != 3) {
        fail(QStringLiteral("datediff needs 3 arguments"));
        return QString();
    }
    const QVector<Node> &p = args.at(0);
    QString part = p.size() == 1 && p.first().kind == Node::Leaf && p.first().tok.kind == Token::Word
                       ? p.first().tok.text.toLower()
                       : QString();
    static const QHash<QString, QString> parts = {
        {QStringLiteral("year"), QStringLiteral("year")},     {QStringLiteral("yy"), QStringLiteral("year")},
        {QStringLiteral("yyyy"), QStringLiteral("year")},     {QStringLiteral("month"), QStringLiteral("month")},
        {QStringLiteral("mm"), QStringLiteral("month")},      {QStringLiteral("m"), QStringLiteral("month")},
        {QStringLiteral("day"), QStringLiteral("day")},       {QStringLiteral("dd"), QStringLiteral("day")},
        {QStringLiteral("d"), QStringLiteral("day")},         {QStringLiteral("hour"), QStringLiteral("hour")},
        {QStringLiteral("hh"), QStringLiteral("hour")},       {QStringLiteral("minute"), QStringLiteral("minute")},
        {QStringLiteral("mi"), QStringLiteral("minute")},     {QStringLiteral("n"), QStringLiteral("minute")},
        {QStringLiteral("second"), QStringLiteral("second")}, {QStringLiteral("ss"), QStringLiteral("second")},
        {QStringLiteral("s"), QStringLiteral("second")},
    };
    const auto found = parts.constFind(part);
    if (found == parts.constEnd()) {
        QString text;
        for (const Node &n : p) {
            text += n.tok.text;
        }
        fail(unsupported(QStringLiteral("datediff(%1").arg(text)));
        return QString();
    }
    const QString from = sequence(args.at(1));
    const QString to = sequence(args.at(2));
    if (!error.isEmpty()) {
        return QString();
    }
    return QStringLiteral("jxc_datediff('%1',%2,%3)").arg(found.value(), from, to);
}

QString renderTokens(const QVector<Token> &tokens, int from = 0)
{
    QString out;
    for (int i = from; i < tokens.size(); ++i) {
        appendSpaced(out, tokens.at(i).text, tokens.at(i).space);
    }
    return out;
}

// "1.2e+06" and the like: a number to SQLite, not to SQL Server's
// conversion of text to decimal or int.
bool isExponentText(const Token &t)
{
    static const QRegularExpression pattern(
        QStringLiteral("^'\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)[eE][+-]?\\d+\\s*'$"));
    return t.kind == Token::String && pattern.match(t.text).hasMatch();
}

// The exponent texts that an insert ... values or an update ... set writes,
// with the column they go to.
QVector<MssqlTranslator::TextToColumn> numberTexts(const QVector<Node> &tree)
{
    QVector<MssqlTranslator::TextToColumn> found;
    const auto literal = [](const QVector<Node> &value) {
        return value.size() == 1 && value.first().kind == Node::Leaf && isExponentText(value.first().tok);
    };
    if (tree.size() >= 5 && isLeafWord(tree.at(0), "insert") && isLeafWord(tree.at(1), "into")
        && isName(tree.at(2)) && tree.at(3).kind == Node::Paren && isLeafWord(tree.at(4), "values")) {
        const QString table = nameOf(tree.at(2).tok);
        QStringList columns;
        for (const Node &n : tree.at(3).kids) {
            if (isName(n)) {
                columns << nameOf(n.tok);
            }
        }
        for (int i = 5; i < tree.size(); ++i) {
            if (tree.at(i).kind != Node::Paren) {
                continue;
            }
            int column = 0;
            QVector<Node> value;
            const QVector<Node> &kids = tree.at(i).kids;
            for (int k = 0; k <= kids.size(); ++k) {
                if (k < kids.size() && !isLeafOp(kids.at(k), ",")) {
                    value.append(kids.at(k));
                    continue;
                }
                if (literal(value) && column < columns.size()) {
                    found.append({table, columns.at(column), value.first().tok.text});
                }
                value.clear();
                ++column;
            }
        }
    } else if (tree.size() >= 4 && isLeafWord(tree.at(0), "update") && isName(tree.at(1))
               && isLeafWord(tree.at(2), "set")) {
        const QString table = nameOf(tree.at(1).tok);
        QVector<Node> assignment;
        for (int i = 3; i <= tree.size(); ++i) {
            if (i < tree.size() && !isLeafOp(tree.at(i), ",") && !isLeafWord(tree.at(i), "where")) {
                assignment.append(tree.at(i));
                continue;
            }
            if (assignment.size() == 3 && isName(assignment.at(0)) && isLeafOp(assignment.at(1), "=")
                && literal(assignment.mid(2))) {
                found.append({table, nameOf(assignment.at(0).tok), assignment.at(2).tok.text});
            }
            assignment.clear();
            if (i < tree.size() && isLeafWord(tree.at(i), "where")) {
                break;
            }
        }
    }
    return found;
}

// begin tran, commit tran, save tran x and their kin become SQLite's words;
// SQLite's own transaction statements pass as they are.
QString transactionStatement(const QVector<Token> &t)
{
    const auto isTran = [](const Token &token) {
        return isWord(token, "tran") || isWord(token, "transaction") || isWord(token, "work");
    };
    if (t.size() >= 2 && isTran(t.at(1))) {
        if (isWord(t.at(0), "begin")) {
            return QStringLiteral("BEGIN");
        }
        if (isWord(t.at(0), "commit")) {
            return QStringLiteral("COMMIT");
        }
        if (isWord(t.at(0), "rollback")) {
            return t.size() >= 3 ? QStringLiteral("ROLLBACK TO ") + t.at(2).text : QStringLiteral("ROLLBACK");
        }
        if (isWord(t.at(0), "save") && t.size() >= 3) {
            return QStringLiteral("SAVEPOINT ") + t.at(2).text;
        }
    }
    return renderTokens(t);
}

} // namespace

MssqlTranslator::Translation MssqlTranslator::translateUncached(const QString &sql)
{
    Translation result;
    QVector<Token> tokens;
    if (!tokenize(sql, tokens, &result.error)) {
        return result;
    }

    // Split at ";", except inside the body of a create trigger, whose
    // statements end with ";" too.
    QVector<QVector<Token>> statements;
    int begin = 0;
    bool trigger = false;
    int depth = 0;
    for (int i = 0; i <= tokens.size(); ++i) {
        if (i < tokens.size()) {
            const Token &t = tokens.at(i);
            if (i == begin) {
                trigger = false;
                depth = 0;
            }
            if (isWord(t, "trigger") && i > begin && isWord(tokens.at(begin), "create")) {
                trigger = true;
            } else if (trigger && (isWord(t, "begin") || isWord(t, "case"))) {
                ++depth;
            } else if (trigger && isWord(t, "end") && depth > 0) {
                --depth;
            }
            if (!isOp(t, ";") || depth > 0) {
                continue;
            }
        }
        statements.append(tokens.mid(begin, i - begin));
        begin = i + 1;
    }

    static const QSet<QString> dml = {
        QStringLiteral("select"), QStringLiteral("insert"), QStringLiteral("update"),
        QStringLiteral("delete"), QStringLiteral("with"), QStringLiteral("values"),
    };
    // Schema statements come from the setup code, written for SQLite.
    static const QSet<QString> schema = {
        QStringLiteral("create"), QStringLiteral("drop"), QStringLiteral("alter"),
        QStringLiteral("pragma"), QStringLiteral("analyze"), QStringLiteral("vacuum"),
        QStringLiteral("reindex"), QStringLiteral("attach"), QStringLiteral("detach"),
    };
    static const QSet<QString> transaction = {
        QStringLiteral("begin"), QStringLiteral("commit"), QStringLiteral("rollback"),
        QStringLiteral("save"), QStringLiteral("savepoint"), QStringLiteral("release"),
        QStringLiteral("end"),
    };

    for (const QVector<Token> &statement : qAsConst(statements)) {
        if (statement.isEmpty()) {
            continue;
        }
        const Token &first = statement.first();
        const QString firstWord = first.kind == Token::Word ? first.text.toLower() : QString();
        QString text;
        QVector<TextToColumn> checks;
        if (dml.contains(firstWord) || isOp(first, "(")) {
            QVector<Node> tree;
            int pos = 0;
            bool unused = false;
            if (!buildTree(statement, pos, tree, Node::Leaf, &unused, &result.error)) {
                result.statements.clear();
                return result;
            }
            checks = numberTexts(tree);
            Renderer renderer;
            text = renderer.sequence(tree);
            if (!renderer.error.isEmpty()) {
                result.error = renderer.error;
                result.statements.clear();
                return result;
            }
        } else if (schema.contains(firstWord)) {
            text = renderTokens(statement);
        } else if (transaction.contains(firstWord)) {
            text = transactionStatement(statement);
        } else {
            result.error = unsupported(first.text);
            result.statements.clear();
            return result;
        }
        int placeholders = 0;
        for (const Token &t : statement) {
            if (t.kind == Token::Param) {
                ++placeholders;
            }
        }
        result.statements.append(text);
        result.placeholders.append(placeholders);
        result.readOnly.append(firstWord == QLatin1String("select"));
        result.numberTexts.append(checks);
    }
    if (result.statements.isEmpty()) {
        result.error = QStringLiteral("no statement to run");
    }
    return result;
}

MssqlTranslator::Translation MssqlTranslator::translate(const QString &sql)
{
    // Bounded by characters, not entries: a block of 100 inserts is large
    // and rarely comes twice, a report statement small and frequent.
    static QMutex mutex;
    static QCache<QString, Translation> cache(4 * 1024 * 1024);
    static const int largestCached = 64 * 1024;

    {
        QMutexLocker lock(&mutex);
        if (const Translation *hit = cache.object(sql)) {
            return *hit;
        }
    }
    Translation t = translateUncached(sql);
    // Texts of several statements are the forms' save blocks, whose values
    // differ every time: caching them would only push the reports out.
    if (sql.size() <= largestCached && t.statements.size() <= 1) {
        int cost = sql.size();
        for (const QString &s : qAsConst(t.statements)) {
            cost += s.size();
        }
        QMutexLocker lock(&mutex);
        cache.insert(sql, new Translation(t), qMax(1, cost));
    }
    return t;
}

// ---------------------------------------------------------------------------
// SQLite helper functions: SQL Server's semantics at run time.

namespace {

// Rounds half away from zero, as SQL Server rounds decimals. The nudge of a
// few ulps puts values such as 2.675 (2.67499999... in binary) back on the
// decimal tie they were written as.
double powerOfTen(int n)
{
    static const double table[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19,
                                   1e20, 1e21, 1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29,
                                   1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37, 1e38};
    return n >= 0 && n <= 38 ? table[n] : std::pow(10.0, n);
}

double roundHalfAway(double v, int decimals)
{
    const double scale = powerOfTen(decimals);
    double x = v * scale;
    x += (x >= 0 ? 1.0 : -1.0) * std::fabs(x) * 8 * DBL_EPSILON;
    x = std::round(x);
    const double r = x / scale;
    return r == 0.0 ? 0.0 : r; // no "-0.00"
}

// Text of a number as SQL Server prints it: integers as they are, decimal
// amounts with two places, as a decimal(18,2) column prints.
int formatInteger(long long value, char *buf)
{
    char digits[24];
    int n = 0;
    unsigned long long u = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        digits[n++] = char('0' + u % 10);
        u /= 10;
    } while (u);
    int length = 0;
    if (value < 0) {
        buf[length++] = '-';
    }
    while (n) {
        buf[length++] = digits[--n];
    }
    buf[length] = 0;
    return length;
}

// A report prints this for every row, so no printf for the usual amounts.
int formatNumber(sqlite3_value *v, char *buf, size_t size)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        return formatInteger(sqlite3_value_int64(v), buf);
    }
    const double cents = roundHalfAway(sqlite3_value_double(v), 2) * 100.0;
    if (std::fabs(cents) < 1e15) {
        const long long c = std::llround(cents);
        const unsigned long long a = c < 0 ? 0ULL - static_cast<unsigned long long>(c) : c;
        int length = 0;
        if (c < 0) {
            buf[length++] = '-';
        }
        length += formatInteger(static_cast<long long>(a / 100), buf + length);
        buf[length++] = '.';
        buf[length++] = char('0' + a / 10 % 10);
        buf[length++] = char('0' + a % 10);
        buf[length] = 0;
        return length;
    }
    return std::snprintf(buf, size, "%.2f", roundHalfAway(sqlite3_value_double(v), 2));
}

// Byte length of the first `chars` characters of UTF-8 text.
int utf8Prefix(const unsigned char *s, int bytes, int chars)
{
    int i = 0;
    while (i < bytes && chars > 0) {
        ++i;
        while (i < bytes && (s[i] & 0xC0) == 0x80) {
            ++i;
        }
        --chars;
    }
    return i;
}

void resultText(sqlite3_context *ctx, const char *text, int bytes, int maxChars)
{
    if (maxChars >= 0 && bytes > maxChars) {
        bytes = utf8Prefix(reinterpret_cast<const unsigned char *>(text), bytes, maxChars);
    }
    sqlite3_result_text(ctx, text, bytes, SQLITE_TRANSIENT);
}

struct DateTime
{
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, msec = 0;
    bool hasTime = false;
};

bool readDigits(const char *s, int len, int &pos, int minCount, int maxCount, int *value)
{
    int v = 0;
    int count = 0;
    while (pos < len && count < maxCount && s[pos] >= '0' && s[pos] <= '9') {
        v = v * 10 + (s[pos] - '0');
        ++pos;
        ++count;
    }
    *value = v;
    return count >= minCount;
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, DateTime *dt)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    dt->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    dt->month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    dt->year = static_cast<int>(yoe + era * 400 + (dt->month <= 2));
}

// Reads the stored date forms: "yyyy-MM-dd" with an optional time
// "hh:mm[:ss[.fff]]" after a blank or "T". With loose set it also takes what
// SQL Server takes in datediff: "yyyyMMdd", "/" and "." as separators, one-
// digit months and days, and the empty text for 1900-01-01.
bool parseDateTime(const char *s, int len, bool loose, DateTime *dt)
{
    while (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t')) {
        --len;
    }
    int pos = 0;
    if (loose) {
        while (pos < len && (s[pos] == ' ' || s[pos] == '\t')) {
            ++pos;
        }
        if (pos == len) {
            *dt = DateTime();
            return true;
        }
    }
    *dt = DateTime();
    if (!readDigits(s, len, pos, 4, 4, &dt->year)) {
        return false;
    }
    if (loose && pos < len && s[pos] >= '0' && s[pos] <= '9') {
        if (!readDigits(s, len, pos, 2, 2, &dt->month) || !readDigits(s, len, pos, 2, 2, &dt->day)) {
            return false;
        }
    } else {
        const char sep = pos < len ? s[pos] : 0;
        if (sep != '-' && !(loose && (sep == '/' || sep == '.'))) {
            return false;
        }
        ++pos;
        const int minDigits = loose ? 1 : 2;
        if (!readDigits(s, len, pos, minDigits, 2, &dt->month) || pos >= len || s[pos] != sep) {
            return false;
        }
        ++pos;
        if (!readDigits(s, len, pos, minDigits, 2, &dt->day)) {
            return false;
        }
    }
    if (dt->month < 1 || dt->month > 12 || dt->day < 1 || dt->day > daysInMonth(dt->year, dt->month)) {
        return false;
    }
    if (pos == len) {
        return true;
    }
    if (s[pos] != ' ' && s[pos] != 'T') {
        return false;
    }
    ++pos;
    dt->hasTime = true;
    if (!readDigits(s, len, pos, 1, 2, &dt->hour) || pos >= len || s[pos] != ':') {
        return false;
    }
    ++pos;
    if (!readDigits(s, len, pos, 2, 2, &dt->minute)) {
        return false;
    }
    if (pos < len && s[pos] == ':') {
        ++pos;
        if (!readDigits(s, len, pos, 2, 2, &dt->second)) {
            return false;
        }
        if (pos < len && s[pos] == '.') {
            ++pos;
            int fraction = 0;
            const int start = pos;
            if (!readDigits(s, len, pos, 1, 9, &fraction)) {
                return false;
            }
            int digits = pos - start;
            while (digits > 3) {
                fraction /= 10;
                --digits;
            }
            while (digits < 3) {
                fraction *= 10;
                ++digits;
            }
            dt->msec = fraction;
        }
    }
    return pos == len && dt->hour < 24 && dt->minute < 60 && dt->second < 60;
}

// A date argument of datediff: text as above; a number counts days from
// 1900-01-01, as SQL Server reads a number given for a datetime.
bool dateArgument(sqlite3_value *v, DateTime *dt)
{
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        const double value = sqlite3_value_double(v);
        const double whole = std::floor(value);
        civilFromDays(daysFromCivil(1900, 1, 1) + static_cast<long long>(whole), dt);
        long long seconds = std::llround((value - whole) * 86400.0);
        dt->hour = static_cast<int>(seconds / 3600);
        dt->minute = static_cast<int>(seconds / 60 % 60);
        dt->second = static_cast<int>(seconds % 60);
        dt->hasTime = true;
        return true;
    }
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return s && parseDateTime(s, sqlite3_value_bytes(v), true, dt);
}

// jxc_add(a, b): SQL Server's "+": text joins, numbers add, NULL wins.
void fnAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int ta = sqlite3_value_type(argv[0]);
    const int tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool numA = ta == SQLITE_INTEGER || ta == SQLITE_FLOAT;
    const bool numB = tb == SQLITE_INTEGER || tb == SQLITE_FLOAT;
    if (numA && numB) {
        if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
            sqlite3_int64 sum;
            if (!__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]), &sum)) {
                sqlite3_result_int64(ctx, sum);
                return;
            }
        }
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) + sqlite3_value_double(argv[1]));
        return;
    }
    char bufA[64];
    char bufB[64];
    const char *a;
    const char *b;
    int la;
    int lb;
    if (numA) {
        la = formatNumber(argv[0], bufA, sizeof bufA);
        a = bufA;
    } else {
        a = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        la = sqlite3_value_bytes(argv[0]);
    }
    if (numB) {
        lb = formatNumber(argv[1], bufB, sizeof bufB);
        b = bufB;
    } else {
        b = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        lb = sqlite3_value_bytes(argv[1]);
    }
    char *joined = static_cast<char *>(sqlite3_malloc64(static_cast<sqlite3_uint64>(la) + lb + 1));
    if (!joined) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (la > 0) {
        std::memcpy(joined, a, la);
    }
    if (lb > 0) {
        std::memcpy(joined + la, b, lb);
    }
    joined[la + lb] = 0;
    sqlite3_result_text(ctx, joined, la + lb, sqlite3_free);
}

// jxc_varchar(x, n): cast(x as varchar(n)); n < 0 for varchar(max).
void fnVarchar(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int length = sqlite3_value_int(argv[1]);
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        char buf[64];
        const int bytes = formatNumber(argv[0], buf, sizeof buf);
        resultText(ctx, buf, bytes, length);
        return;
    }
    default:
        resultText(ctx, reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                   sqlite3_value_bytes(argv[0]), length);
        return;
    }
}

// jxc_convert(x, n, style): convert(varchar(n), x, style). Stored dates are
// text; a text that is a date is printed in the style, other values as by
// cast. A date without a time part keeps none, as SQL Server prints a date
// column, so convert(varchar(10),date,20) gives "yyyy-MM-dd" either way.
void fnConvert(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        fnVarchar(ctx, argc, argv);
        return;
    }
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    DateTime dt;
    if (!s || !parseDateTime(s, bytes, false, &dt)) {
        fnVarchar(ctx, argc, argv);
        return;
    }
    const int length = sqlite3_value_int(argv[1]);
    const int style = sqlite3_value_int(argv[2]);
    char buf[64];
    int n = 0;
    switch (style) {
    case 20:
    case 120:
        n = dt.hasTime ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", dt.year, dt.month,
                                       dt.day, dt.hour, dt.minute, dt.second)
                       : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
        break;
    case 21:
    case 121:
        n = dt.hasTime ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", dt.year,
                                       dt.month, dt.day, dt.hour, dt.minute, dt.second, dt.msec)
                       : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
        break;
    case 23:
        n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
        break;
    case 102:
        n = std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", dt.year, dt.month, dt.day);
        break;
    case 111:
        n = std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", dt.year, dt.month, dt.day);
        break;
    case 112:
        n = std::snprintf(buf, sizeof buf, "%04d%02d%02d", dt.year, dt.month, dt.day);
        break;
    case 8:
    case 108:
        n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", dt.hour, dt.minute, dt.second);
        break;
    default:
        sqlite3_result_error(ctx, "unsupported convert style", -1);
        return;
    }
    resultText(ctx, buf, n, length);
}

bool isNumericText(const char *s, int len)
{
    bool digits = false;
    int i = 0;
    if (i < len && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    while (i < len && s[i] >= '0' && s[i] <= '9') {
        ++i;
        digits = true;
    }
    if (i < len && s[i] == '.') {
        ++i;
        while (i < len && s[i] >= '0' && s[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    if (digits && i < len && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < len && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        bool exponent = false;
        while (i < len && s[i] >= '0' && s[i] <= '9') {
            ++i;
            exponent = true;
        }
        digits = exponent;
    }
    return digits && i == len;
}

// jxc_decimal(x, p, s): convert(decimal(p,s), x), a number rounded to s places.
void fnDecimal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double value;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        value = sqlite3_value_double(argv[0]);
        break;
    default: {
        const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        int len = sqlite3_value_bytes(argv[0]);
        while (len > 0 && (*s == ' ' || *s == '\t')) {
            ++s;
            --len;
        }
        while (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t')) {
            --len;
        }
        if (!isNumericText(s, len)) {
            sqlite3_result_error(ctx, "Error converting data type varchar to numeric.", -1);
            return;
        }
        value = std::strtod(std::string(s, static_cast<size_t>(len)).c_str(), nullptr);
        break;
    }
    }
    const int precision = sqlite3_value_int(argv[1]);
    const int scale = sqlite3_value_int(argv[2]);
    const double rounded = roundHalfAway(value, scale);
    if (std::fabs(rounded) >= powerOfTen(precision - scale)) {
        sqlite3_result_error(ctx, "Arithmetic overflow error converting numeric to data type numeric.", -1);
        return;
    }
    sqlite3_result_double(ctx, rounded);
}

// jxc_datediff(part, a, b): the number of part boundaries crossed from a to
// b, as SQL Server counts them (day: the dates' difference, time ignored).
void fnDatediff(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    DateTime a;
    DateTime b;
    if (!dateArgument(argv[1], &a) || !dateArgument(argv[2], &b)) {
        sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.",
                             -1);
        return;
    }
    const char *part = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const long long days = daysFromCivil(b.year, b.month, b.day) - daysFromCivil(a.year, a.month, a.day);
    long long result;
    if (std::strcmp(part, "day") == 0) {
        result = days;
    } else if (std::strcmp(part, "month") == 0) {
        result = (b.year - a.year) * 12LL + (b.month - a.month);
    } else if (std::strcmp(part, "year") == 0) {
        result = b.year - a.year;
    } else {
        const long long hours = days * 24 + (b.hour - a.hour);
        const long long minutes = hours * 60 + (b.minute - a.minute);
        if (std::strcmp(part, "hour") == 0) {
            result = hours;
        } else if (std::strcmp(part, "minute") == 0) {
            result = minutes;
        } else {
            result = minutes * 60 + (b.second - a.second);
        }
    }
    sqlite3_result_int64(ctx, result);
}

// ---------------------------------------------------------------------------
// The collation Chinese_PRC_CI_AS, as the company databases use on the server:
// letter case does not count, trailing blanks do not count (the shorter text
// is padded with blanks), Chinese characters sort by their pinyin.

// Rank of each CJK unified ideograph (U+4E00..U+9FFF) in pinyin order, from
// ICU's Chinese collation, computed once: a per-character table keeps the
// comparison itself free of ICU calls, which matters when an index over a
// million rows is built or searched.
const QVector<quint16> &pinyinRanks()
{
    static const QVector<quint16> ranks = [] {
        const int count = 0x9FFF - 0x4E00 + 1;
        QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
        QVector<QCollatorSortKey> keys;
        keys.reserve(count);
        QVector<int> order(count);
        for (int i = 0; i < count; ++i) {
            keys.append(collator.sortKey(QString(QChar(ushort(0x4E00 + i)))));
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys.at(a).compare(keys.at(b)) < 0; });
        QVector<quint16> result(count);
        for (int rank = 0; rank < count; ++rank) {
            result[order.at(rank)] = quint16(rank);
        }
        return result;
    }();
    return ranks;
}

// Reads one code point of UTF-8 text; malformed bytes stand for themselves.
uint nextCodePoint(const unsigned char *s, int len, int *pos)
{
    const uint c = s[*pos];
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (*pos + extra >= len) {
        extra = 0; // cut short: the byte on its own
    }
    uint cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k <= extra; ++k) {
        cp = (cp << 6) | (s[*pos + k] & 0x3F);
    }
    *pos += 1 + extra;
    return cp;
}

uint collationWeight(uint cp, const quint16 *ranks)
{
    if (cp < 0x80) {
        return cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp;
    }
    if (cp >= 0x4E00 && cp <= 0x9FFF) {
        return 0x110000 + ranks[cp - 0x4E00]; // after every other character
    }
    return QChar::toCaseFolded(cp);
}

int compareChinesePrc(void *, int len1, const void *data1, int len2, const void *data2)
{
    const auto *a = static_cast<const unsigned char *>(data1);
    const auto *b = static_cast<const unsigned char *>(data2);
    while (len1 > 0 && a[len1 - 1] == ' ') {
        --len1;
    }
    while (len2 > 0 && b[len2 - 1] == ' ') {
        --len2;
    }
    const quint16 *ranks = pinyinRanks().constData();
    int i = 0;
    int j = 0;
    while (i < len1 && j < len2) {
        const uint wa = collationWeight(nextCodePoint(a, len1, &i), ranks);
        const uint wb = collationWeight(nextCodePoint(b, len2, &j), ranks);
        if (wa != wb) {
            return wa < wb ? -1 : 1;
        }
    }
    if (i < len1) {
        return 1;
    }
    return j < len2 ? -1 : 0;
}

} // namespace

bool MssqlTranslator::installFunctions(sqlite3 *db, QString *error)
{
    struct Function
    {
        const char *name;
        int args;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
    };
    static const Function functions[] = {
        {"jxc_add", 2, fnAdd},         {"jxc_varchar", 2, fnVarchar}, {"jxc_convert", 3, fnConvert},
        {"jxc_decimal", 3, fnDecimal}, {"jxc_datediff", 3, fnDatediff},
    };
    int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
#ifdef SQLITE_INNOCUOUS
    flags |= SQLITE_INNOCUOUS;
#endif
    for (const Function &f : functions) {
        const int rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr,
                                                  nullptr);
        if (rc != SQLITE_OK) {
            if (error) {
                *error = QString::fromUtf8(sqlite3_errmsg(db));
            }
            return false;
        }
    }
    if (sqlite3_create_collation_v2(db, "Chinese_PRC_CI_AS", SQLITE_UTF8, nullptr, compareChinesePrc, nullptr)
        != SQLITE_OK) {
        if (error) {
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        }
        return false;
    }
    return true;
}
