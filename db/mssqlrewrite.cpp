#include "db/mssqlrewrite.h"

#include "db/chinesecollation.h"

#include <QHash>
#include <QRegularExpression>

namespace Mssql {

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

// Drops "with (updlock, holdlock)" and its kin after a table.
void dropLockingHints(QVector<Node> &seq)
{
    for (int i = 0; i + 1 < seq.size(); ++i) {
        if (isLeafWord(seq.at(i), "with") && isLockingHint(seq.at(i + 1))) {
            seq.erase(seq.begin() + i, seq.begin() + i + 2);
            --i;
        }
    }
}

// ---------------------------------------------------------------------------
// Order of texts
//
// SQL Server orders every text under the database's collation, a built one
// ("cast(customer_id as varchar)+'-'+customer_name") too. SQLite orders an
// expression's text by its bytes unless told otherwise, so an order term that
// is not a plain column gets the collation spelled out. A column keeps its
// own (the schema declares every text column with it), so that an index on
// it still serves the order.
void collateOrderTerms(QVector<Node> &seq)
{
    QSet<QString> aliases; // names given with "as" on this level
    for (int i = 1; i < seq.size(); ++i) {
        if (isLeafWord(seq.at(i - 1), "as") && isName(seq.at(i))) {
            aliases.insert(nameOf(seq.at(i).tok));
        }
    }
    const auto isEnd = [&seq](int i) {
        return i >= seq.size() || isLeafOp(seq.at(i), ",") || isLeafWord(seq.at(i), "asc")
               || isLeafWord(seq.at(i), "desc") || isLeafWord(seq.at(i), "limit")
               || isLeafWord(seq.at(i), "offset") || isLeafWord(seq.at(i), "option")
               || isLeafWord(seq.at(i), "for");
    };
    for (int by = 1; by < seq.size(); ++by) {
        if (!isLeafWord(seq.at(by - 1), "order") || !isLeafWord(seq.at(by), "by")) {
            continue;
        }
        int start = by + 1;
        while (start < seq.size()) {
            int stop = start;
            while (!isEnd(stop)) {
                ++stop;
            }
            const QVector<Node> term = seq.mid(start, stop - start);
            bool collated = false;
            for (const Node &n : term) {
                collated = collated || isLeafWord(n, "collate");
            }
            const bool column = (term.size() == 1 && isName(term.first())
                                 && !aliases.contains(nameOf(term.first().tok)))
                                || (term.size() == 3 && isQualifiedColumn(term, 0));
            if (!term.isEmpty() && !collated && !column) {
                int at = stop;
                if (term.size() > 1) {
                    // COLLATE binds tighter than any operator.
                    seq.erase(seq.begin() + start, seq.begin() + stop);
                    seq.insert(start, parenNode(term, term.first().tok.space));
                    at = start + 1;
                }
                seq.insert(at, leafNode(Token::Raw, QStringLiteral("COLLATE ")
                                                        + QLatin1String(ChineseCollation::name)));
                stop = at + 1;
            }
            while (stop < seq.size() && (isLeafWord(seq.at(stop), "asc") || isLeafWord(seq.at(stop), "desc"))) {
                ++stop;
            }
            if (stop >= seq.size() || !isLeafOp(seq.at(stop), ",")) {
                break;
            }
            start = stop + 1;
        }
    }
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

void rewriteLevel(QVector<Node> &seq, int *keyCounter)
{
    dropLockingHints(seq);
    collateOrderTerms(seq);
    hoistJoinKeys(seq, keyCounter);
    for (Node &n : seq) {
        if (!n.kids.isEmpty()) {
            rewriteLevel(n.kids, keyCounter);
        }
    }
}

} // namespace

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

void rewrite(QVector<Node> &tree)
{
    int keys = 0;
    rewriteLevel(tree, &keys);
}

// "1.2e+06" and the like: a number to SQLite, not to SQL Server's
// conversion of text to decimal or int.
bool isExponentText(const Token &t)
{
    static const QRegularExpression pattern(
        QStringLiteral("^'\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)[eE][+-]?\\d+\\s*'$"));
    return t.kind == Token::String && pattern.match(t.text).hasMatch();
}

} // namespace Mssql
