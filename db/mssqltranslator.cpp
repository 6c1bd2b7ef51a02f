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
#include <memory>

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

// Only a text with an "e" in it can be in exponent form: the common case
// skips the pattern.
bool mayBeExponentText(const QString &literal)
{
    return literal.contains(QLatin1Char('e'), Qt::CaseInsensitive);
}

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
        if (mayBeExponentText(literal.text) && Mssql::isExponentText(literal)) {
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
Statement translateCached(const QVector<Token> &statement, bool *shaped, Shape *usedShape = nullptr,
                          Template *usedTemplate = nullptr)
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
            if (usedShape) {
                *usedShape = shape;
                *usedTemplate = *hit;
            }
            return fill(*hit, statement, shape);
        }
    }
    const Statement own = translateStatement(statement);
    if (!own.error.isEmpty()) {
        return own;
    }
    auto *made = new Template(makeTemplate(statement, shape, own));
    *shaped = made->usable;
    if (usedShape && made->usable) {
        *usedShape = shape;
        *usedTemplate = *made;
    }
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

// The rows of a save are sent one statement each, and each was tokenized
// whole only to find its literals again. A statement's raw text with its
// literals cut out (the "raw shape") names its shape as well: two texts alike
// but for their literals tokenize alike but for those literals, since a
// quoted text ends where it ends whatever it holds, and only plain numbers
// (digits with at most one point, standing apart) are cut out. A raw shape
// seen once keeps the template of its shape and which of its literals fill
// which hole; the literals that are part of the shape (arguments of calls,
// "top n") are kept and must come again as they were.
struct RawShape
{
    QString key;
    QVector<QPair<int, int>> spans; // start and length of each literal
};

bool isWordish(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('@')
        || c == QLatin1Char('#');
}

// False for a text this scan does not take apart (comments, parameters,
// variables, numbers in other forms, an unterminated quote): it then goes
// the whole way.
bool rawShapeOf(const QString &sql, RawShape *shape)
{
    const int n = sql.size();
    shape->key.reserve(n);
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const int end = Mssql::closingQuote(sql, i, c == QLatin1Char('[') ? QLatin1Char(']') : c);
            if (end < 0) {
                return false;
            }
            if (c == QLatin1Char('\'')) {
                shape->key += QLatin1String("\x01s");
                shape->spans.append({i, end - i + 1});
            } else {
                shape->key += sql.midRef(i, end - i + 1);
            }
            i = end + 1;
            continue;
        }
        if ((c == QLatin1Char('-') && next == QLatin1Char('-')) || (c == QLatin1Char('/') && next == QLatin1Char('*'))
            || c == QLatin1Char('?') || c == QLatin1Char(':') || c == QChar(0x01)
            || (c == QLatin1Char('.') && isDigit(next))) {
            return false;
        }
        const QChar before = i > 0 ? sql.at(i - 1) : QChar();
        if (isDigit(c) && !isWordish(before) && before != QLatin1Char('.')) {
            int j = i;
            while (j < n && isDigit(sql.at(j))) {
                ++j;
            }
            const bool point = j < n && sql.at(j) == QLatin1Char('.');
            if (point) {
                for (++j; j < n && isDigit(sql.at(j)); ++j) {
                }
            }
            if (j < n && (isWordish(sql.at(j)) || sql.at(j) == QLatin1Char('.') || sql.at(j) == QLatin1Char('\''))) {
                return false;
            }
            shape->key += point ? QLatin1String("\x01d") : QLatin1String("\x01i");
            shape->spans.append({i, j - i});
            i = j;
            continue;
        }
        shape->key += c;
        ++i;
    }
    return true;
}

struct RawEntry
{
    // False for a raw shape that goes the whole way every time: kept so that
    // its next statements do not try again.
    bool usable = false;
    Template statement;
    int literalCount = 0;   // value literals of the shape
    QVector<int> holeOf;    // per literal of the raw text: its value literal, or -1
    QStringList kept;       // per literal of the raw text: its text where it is kept
};

QMutex rawMutex;
// Bounded by characters, as the other caches are.
QCache<QString, RawEntry> rawShapes(2 * 1024 * 1024);

bool translateByRawShape(const QString &sql, MssqlTranslator::Translation *out)
{
    RawShape raw;
    if (!rawShapeOf(sql, &raw)) {
        return false;
    }
    RawEntry entry;
    {
        QMutexLocker lock(&rawMutex);
        const RawEntry *hit = rawShapes.object(raw.key);
        if (!hit || !hit->usable) {
            return false;
        }
        entry = *hit;
    }
    QVector<QStringRef> values(entry.literalCount);
    for (int k = 0; k < raw.spans.size(); ++k) {
        const QStringRef text = sql.midRef(raw.spans.at(k).first, raw.spans.at(k).second);
        if (entry.holeOf.at(k) < 0) {
            if (text != entry.kept.at(k)) {
                return false;
            }
        } else {
            values[entry.holeOf.at(k)] = text;
        }
    }
    const Template &t = entry.statement;
    QString text;
    int size = 0;
    for (const QString &piece : t.pieces) {
        size += piece.size();
    }
    for (int hole : t.holes) {
        size += values.at(hole).size();
    }
    text.reserve(size);
    for (int i = 0; i < t.holes.size(); ++i) {
        text += t.pieces.at(i);
        text += values.at(t.holes.at(i));
    }
    text += t.pieces.last();
    QVector<MssqlTranslator::TextToColumn> checks;
    for (const auto &check : t.checks) {
        const QStringRef literal = values.at(check.first);
        if (literal.startsWith(QLatin1Char('\'')) && mayBeExponentText(literal.toString())) {
            Token token;
            token.kind = Token::String;
            token.text = literal.toString();
            if (Mssql::isExponentText(token)) {
                MssqlTranslator::TextToColumn found = check.second;
                found.literal = token.text;
                checks << found;
            }
        }
    }
    out->statements << text;
    out->placeholders << t.placeholders;
    out->readOnly << t.readOnly;
    out->numberTexts << checks;
    return true;
}

// The template of sql's shape and where each literal the scan cut out goes;
// false where the cut literals are not exactly the literal tokens, in order.
bool fillRawEntry(const QString &sql, const RawShape &raw, RawEntry *entry)
{
    QVector<Token> tokens;
    QString error;
    if (!Mssql::tokenize(sql, tokens, &error)) {
        return false;
    }
    while (!tokens.isEmpty() && isOp(tokens.last(), ";")) {
        tokens.removeLast();
    }
    for (const Token &t : qAsConst(tokens)) {
        if (isOp(t, ";")) {
            return false;
        }
    }
    if (tokens.isEmpty()) {
        return false;
    }
    bool shaped = false;
    Shape shape;
    translateCached(tokens, &shaped, &shape, &entry->statement);
    if (!shaped) {
        return false;
    }
    int k = 0;
    for (int i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens.at(i);
        if (t.kind != Token::String && t.kind != Token::Number) {
            continue;
        }
        if (k >= raw.spans.size() || sql.midRef(raw.spans.at(k).first, raw.spans.at(k).second) != t.text) {
            return false;
        }
        const int hole = shape.literals.indexOf(i);
        entry->holeOf << hole;
        entry->kept << (hole < 0 ? t.text : QString());
        ++k;
    }
    entry->literalCount = shape.literals.size();
    return k == raw.spans.size();
}

// After sql, a single row write, went the whole way through its shape's
// template: keeps its raw shape for the next rows, usable only where the
// literals the scan cut out are exactly the literal tokens, in order.
void keepRawShape(const QString &sql)
{
    RawShape raw;
    if (!rawShapeOf(sql, &raw)) {
        return;
    }
    {
        QMutexLocker lock(&rawMutex);
        if (rawShapes.contains(raw.key)) {
            return;
        }
    }
    auto entry = std::make_unique<RawEntry>();
    entry->usable = fillRawEntry(sql, raw, entry.get());
    int cost = raw.key.size();
    for (const QString &piece : qAsConst(entry->statement.pieces)) {
        cost += piece.size();
    }
    QMutexLocker lock(&rawMutex);
    rawShapes.insert(raw.key, entry.release(), qMax(1, cost));
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
    Translation t;
    if (translateByRawShape(sql, &t)) {
        return t;
    }
    bool shaped = false;
    t = translateText(sql, true, &shaped);
    if (shaped && t.statements.size() == 1) {
        keepRawShape(sql);
    }
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
