#include "db/mssqlsyntax.h"

#include <cctype>

namespace Mssql {

QString unsupported(const QString &what)
{
    return QStringLiteral("unsupported SQL Server construct: %1").arg(what);
}

namespace {

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

} // namespace

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


bool isWord(const Token &t, const char *word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isOp(const Token &t, const char *op)
{
    return t.kind == Token::Op && t.text == QLatin1String(op);
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

Node leafNode(Token::Kind kind, const QString &text, bool space)
{
    Node n;
    n.tok.kind = kind;
    n.tok.text = text;
    n.tok.space = space;
    return n;
}

Node parenNode(const QVector<Node> &kids, bool space)
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

bool isQualifiedColumn(const QVector<Node> &nodes, int i)
{
    return i + 2 < nodes.size() && isName(nodes.at(i)) && isLeafOp(nodes.at(i + 1), ".")
           && isName(nodes.at(i + 2));
}

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

} // namespace Mssql
