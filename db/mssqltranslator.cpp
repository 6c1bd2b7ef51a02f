#include "db/mssqltranslator.h"

#include "db/mssqlrenderer.h"
#include "db/mssqlrewrite.h"
#include "db/mssqlsyntax.h"
#include "db/sqlitefunctions.h"

#include <QCache>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>

using Mssql::Node;
using Mssql::Token;
using Mssql::isOp;
using Mssql::isWord;

namespace {

// One statement of a text, translated.
struct Statement
{
    QString text;
    int placeholders = 0;
    bool readOnly = false;
    QVector<MssqlTranslator::TextToColumn> checks;
    QString error;
};

const QSet<QString> &dmlWords()
{
    static const QSet<QString> words = {
        QStringLiteral("select"), QStringLiteral("insert"), QStringLiteral("update"),
        QStringLiteral("delete"), QStringLiteral("with"), QStringLiteral("values"),
    };
    return words;
}

QString firstWordOf(const QVector<Token> &statement)
{
    const Token &first = statement.first();
    return first.kind == Token::Word ? first.text.toLower() : QString();
}

Statement translateStatement(const QVector<Token> &statement)
{
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

    Statement result;
    const Token &first = statement.first();
    const QString firstWord = firstWordOf(statement);
    if (dmlWords().contains(firstWord) || isOp(first, "(")) {
        QVector<Node> tree;
        int pos = 0;
        bool unused = false;
        if (!Mssql::buildTree(statement, pos, tree, Node::Leaf, &unused, &result.error)) {
            return result;
        }
        result.checks = Mssql::numberTexts(tree);
        Mssql::rewrite(tree);
        Mssql::Renderer renderer;
        result.text = renderer.sequence(tree);
        if (!renderer.error.isEmpty()) {
            result.error = renderer.error;
            return result;
        }
    } else if (schema.contains(firstWord)) {
        result.text = Mssql::renderTokens(statement);
    } else if (transaction.contains(firstWord)) {
        result.text = Mssql::transactionStatement(statement);
    } else {
        result.error = Mssql::unsupported(first.text);
        return result;
    }
    for (const Token &t : statement) {
        if (t.kind == Token::Param) {
            ++result.placeholders;
        }
    }
    result.readOnly = firstWord == QLatin1String("select");
    return result;
}

// A save sends one insert, update or delete per row, differing from the
// other rows' only in their values. Such statements are translated once per
// shape (the statement with its value literals left out) into a template
// whose holes take each row's literals as written: the translator copies a
// value literal into its output unchanged, wherever it puts it. Literals the
// translation may read (the arguments of a call or a type, "top n") stay
// part of the shape.
struct Shape
{
    QString key;
    QVector<int> literals; // token positions of the value literals
};

bool isValueLiteral(const Token &t)
{
    if (t.kind == Token::String) {
        return true;
    }
    if (t.kind != Token::Number) {
        return false;
    }
    for (const QChar c : t.text) {
        if (!c.isDigit() && c != QLatin1Char('.')) {
            return false; // 0x1F, 1e5
        }
    }
    return true;
}

Shape shapeOf(const QVector<Token> &statement)
{
    Shape shape;
    // Per open parenthesis: whether it opens the arguments of a call or a type.
    QVector<bool> callArguments;
    for (int i = 0; i < statement.size(); ++i) {
        const Token &t = statement.at(i);
        const bool afterTop = i > 0 && isWord(statement.at(i - 1), "top");
        const bool inCall = !callArguments.isEmpty() && callArguments.last();
        shape.key += QChar(ushort('0' + t.kind));
        shape.key += t.space ? QLatin1Char(' ') : QLatin1Char('.');
        if (isValueLiteral(t) && !afterTop && !inCall) {
            shape.literals << i;
            shape.key += t.kind == Token::String ? QLatin1Char('s')
                         : t.text.contains(QLatin1Char('.')) ? QLatin1Char('d')
                                                              : QLatin1Char('i');
        } else {
            shape.key += t.text;
        }
        shape.key += QChar(0x1f);
        if (isOp(t, "(")) {
            const Token *before = i > 0 ? &statement.at(i - 1) : nullptr;
            callArguments << (before && (before->kind == Token::Word || before->kind == Token::QuotedIdent)
                              && !isWord(*before, "values") && !isWord(*before, "in"));
        } else if (isOp(t, ")") && !callArguments.isEmpty()) {
            callArguments.removeLast();
        }
    }
    return shape;
}

struct Template
{
    bool usable = false;
    QStringList pieces;    // text between the holes: one more than holes
    QVector<int> holes;    // which literal (by its place in Shape::literals) fills each hole
    // The number-text checks by literal: only a literal in exponent form
    // calls for its check.
    QVector<QPair<int, MssqlTranslator::TextToColumn>> checks;
    int placeholders = 0;
    bool readOnly = false;
};

Statement fill(const Template &t, const QVector<Token> &statement, const Shape &shape)
{
    Statement result;
    int size = 0;
    for (const QString &piece : t.pieces) {
        size += piece.size();
    }
    for (int hole : t.holes) {
        size += statement.at(shape.literals.at(hole)).text.size();
    }
    result.text.reserve(size);
    for (int i = 0; i < t.holes.size(); ++i) {
        result.text += t.pieces.at(i);
        result.text += statement.at(shape.literals.at(t.holes.at(i))).text;
    }
    result.text += t.pieces.last();
    for (const auto &check : t.checks) {
        const Token &literal = statement.at(shape.literals.at(check.first));
        if (Mssql::isExponentText(literal)) {
            MssqlTranslator::TextToColumn found = check.second;
            found.literal = literal.text;
            result.checks << found;
        }
    }
    result.placeholders = t.placeholders;
    result.readOnly = t.readOnly;
    return result;
}

bool sameChecks(const QVector<MssqlTranslator::TextToColumn> &a,
                const QVector<MssqlTranslator::TextToColumn> &b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).table != b.at(i).table || a.at(i).column != b.at(i).column
            || a.at(i).literal != b.at(i).literal) {
            return false;
        }
    }
    return true;
}

// The template of statement's shape, from a translation with every value
// literal replaced by a marker of its kind that occurs nowhere else; texts
// get markers in exponent form, so that the number-text checks name the
// literals they depend on. Usable only when filling it with the statement's
// own literals gives exactly the statement's own translation.
Template makeTemplate(const QVector<Token> &statement, const Shape &shape, const Statement &own)
{
    Template result;
    QVector<Token> marked = statement;
    QStringList markers;
    for (int k = 0; k < shape.literals.size(); ++k) {
        Token &t = marked[shape.literals.at(k)];
        const QString serial = QStringLiteral("%1").arg(k, 6, 10, QLatin1Char('0'));
        if (t.kind == Token::String) {
            t.text = QStringLiteral("'7e+97") + serial + QLatin1Char('\'');
        } else {
            t.text = QStringLiteral("97") + serial + QStringLiteral("79")
                     + (t.text.contains(QLatin1Char('.')) ? QStringLiteral(".5") : QString());
        }
        markers << t.text;
    }
    const Statement translated = translateStatement(marked);
    if (!translated.error.isEmpty()) {
        return result;
    }
    struct Place
    {
        int at;
        int literal;
    };
    QVector<Place> places;
    for (int k = 0; k < markers.size(); ++k) {
        int from = 0;
        bool found = false;
        for (int at; (at = translated.text.indexOf(markers.at(k), from)) >= 0; from = at + markers.at(k).size()) {
            places.append({at, k});
            found = true;
        }
        if (!found) {
            return result; // a value the translation dropped or changed
        }
    }
    std::sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.at < b.at; });
    int done = 0;
    for (const Place &place : qAsConst(places)) {
        if (place.at < done) {
            return result;
        }
        result.pieces << translated.text.mid(done, place.at - done);
        result.holes << place.literal;
        done = place.at + markers.at(place.literal).size();
    }
    result.pieces << translated.text.mid(done);
    for (const MssqlTranslator::TextToColumn &check : translated.checks) {
        const int k = markers.indexOf(check.literal);
        if (k < 0) {
            return result;
        }
        result.checks.append({k, check});
    }
    result.placeholders = translated.placeholders;
    result.readOnly = translated.readOnly;
    const Statement filled = fill(result, statement, shape);
    result.usable = filled.text == own.text && sameChecks(filled.checks, own.checks)
                    && filled.placeholders == own.placeholders && filled.readOnly == own.readOnly;
    return result;
}

bool isRowWrite(const QVector<Token> &statement)
{
    const QString word = firstWordOf(statement);
    return word == QLatin1String("insert") || word == QLatin1String("update")
        || word == QLatin1String("delete");
}

// Translates a write through the template of its shape, made on the shape's
// first translation; any other statement as it is.
Statement translateCached(const QVector<Token> &statement, bool *shaped)
{
    *shaped = false;
    if (!isRowWrite(statement)) {
        return translateStatement(statement);
    }
    static QMutex mutex;
    // Bounded by characters, as the translations are.
    static QCache<QString, Template> templates(2 * 1024 * 1024);

    const Shape shape = shapeOf(statement);
    {
        QMutexLocker lock(&mutex);
        if (const Template *hit = templates.object(shape.key)) {
            if (!hit->usable) {
                lock.unlock();
                return translateStatement(statement);
            }
            *shaped = true;
            return fill(*hit, statement, shape);
        }
    }
    const Statement own = translateStatement(statement);
    if (!own.error.isEmpty()) {
        return own;
    }
    auto *made = new Template(makeTemplate(statement, shape, own));
    *shaped = made->usable;
    int cost = shape.key.size();
    for (const QString &piece : qAsConst(made->pieces)) {
        cost += piece.size();
    }
    QMutexLocker lock(&mutex);
    templates.insert(shape.key, made, qMax(1, cost));
    return own;
}

MssqlTranslator::Translation translateText(const QString &sql, bool cached, bool *shaped)
{
    MssqlTranslator::Translation result;
    *shaped = false;
    QVector<Token> tokens;
    if (!Mssql::tokenize(sql, tokens, &result.error)) {
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

    bool allShaped = true;
    for (const QVector<Token> &statement : qAsConst(statements)) {
        if (statement.isEmpty()) {
            continue;
        }
        bool viaShape = false;
        const Statement translated = cached ? translateCached(statement, &viaShape) : translateStatement(statement);
        allShaped = allShaped && viaShape;
        if (!translated.error.isEmpty()) {
            result.error = translated.error;
            result.statements.clear();
            return result;
        }
        result.statements.append(translated.text);
        result.placeholders.append(translated.placeholders);
        result.readOnly.append(translated.readOnly);
        result.numberTexts.append(translated.checks);
    }
    if (result.statements.isEmpty()) {
        result.error = QStringLiteral("no statement to run");
    }
    *shaped = allShaped && !result.statements.isEmpty();
    return result;
}

} // namespace

MssqlTranslator::Translation MssqlTranslator::translateUncached(const QString &sql)
{
    bool shaped = false;
    return translateText(sql, false, &shaped);
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
    bool shaped = false;
    Translation t = translateText(sql, true, &shaped);
    // Texts of several statements are the forms' save blocks, whose values
    // differ every time: caching them would only push the reports out. So
    // would the rows of a save one by one, which their shapes serve.
    if (!shaped && sql.size() <= largestCached && t.statements.size() <= 1) {
        int cost = sql.size();
        for (const QString &s : qAsConst(t.statements)) {
            cost += s.size();
        }
        QMutexLocker lock(&mutex);
        cache.insert(sql, new Translation(t), qMax(1, cost));
    }
    return t;
}

bool MssqlTranslator::installFunctions(sqlite3 *db, QString *error)
{
    return SqliteFunctions::install(db, error);
}
