#include "db/mssqlrenderer.h"

#include <QHash>

namespace Mssql {

namespace {

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

void appendSpaced(QString &out, const QString &text, bool space)
{
    if (space && !out.isEmpty()) {
        out += QLatin1Char(' ');
    }
    out += text;
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

} // namespace

bool Renderer::fail(const QString &message)
{
    if (error.isEmpty()) {
        error = message;
    }
    return false;
}

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

QString Renderer::sequence(const QVector<Node> &nodes)
{
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
        if (u.at(k).text != QLatin1String("*")) {
            // SQLite gives NULL for a division by zero, SQL Server stops
            // the statement (error 8134).
            f = QStringLiteral("jxc_divisor(%1)").arg(f);
        }
        appendSpaced(t, f, u.at(k + 1).space);
        k = after;
    }
    *next = k;
    *text = t;
    return true;
}

namespace {

// Whether a rendered term is certainly a text or NULL: one quoted literal, or
// a whole call of the cast and convert functions, which give text or NULL.
// "+" between two such terms joins texts and gives NULL with a NULL, as
// SQLite's "||" does; it is rendered so, without a call for every row.
bool isKnownText(const QString &term)
{
    const int n = term.size();
    if (n >= 2 && term.at(0) == QLatin1Char('\'')) {
        return closingQuote(term, 0, QLatin1Char('\'')) == n - 1;
    }
    static const QLatin1String calls[] = {QLatin1String("jxc_varchar("), QLatin1String("jxc_convert(")};
    for (const QLatin1String &call : calls) {
        if (!term.startsWith(call) || !term.endsWith(QLatin1Char(')'))) {
            continue;
        }
        // The call's own ")" must be the last character.
        int depth = 0;
        for (int i = call.size() - 1; i < n; ++i) {
            const QChar c = term.at(i);
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                i = closingQuote(term, i, c);
                if (i < 0) {
                    return false;
                }
            } else if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')') && --depth == 0) {
                return i == n - 1;
            }
        }
        return false;
    }
    return false;
}

} // namespace

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
            bool text = isKnownText(first);
            for (const Step &s : qAsConst(steps)) {
                const bool joinsTexts = text && s.op == QLatin1String("+") && isKnownText(s.text);
                text = joinsTexts;
                if (joinsTexts) {
                    chain = QStringLiteral("(%1||%2)").arg(chain, s.text);
                } else if (s.op == QLatin1String("+")) {
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

// The expression goes in with the numbers in one pass: a "%2" inside one of
// its quoted texts is text, not a place for the next number.
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
            return QStringLiteral("jxc_varchar(%1,%2)").arg(expr, QString::number(length));
        }
        return QStringLiteral("jxc_convert(%1,%2,%3)").arg(expr, QString::number(length), QString::number(style));
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
        return QStringLiteral("jxc_decimal(%1,%2,%3)").arg(expr, QString::number(precision), QString::number(scale));
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

QString renderTokens(const QVector<Token> &tokens)
{
    QString out;
    for (int i = 0; i < tokens.size(); ++i) {
        appendSpaced(out, tokens.at(i).text, tokens.at(i).space);
    }
    return out;
}

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

} // namespace Mssql
