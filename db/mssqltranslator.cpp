#include "db/mssqltranslator.h"

#include "db/mssqlrenderer.h"
#include "db/mssqlrewrite.h"
#include "db/mssqlsyntax.h"
#include "db/sqlitefunctions.h"

#include <QCache>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

using Mssql::Node;
using Mssql::Token;
using Mssql::isOp;
using Mssql::isWord;

MssqlTranslator::Translation MssqlTranslator::translateUncached(const QString &sql)
{
    Translation result;
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
            if (!Mssql::buildTree(statement, pos, tree, Node::Leaf, &unused, &result.error)) {
                result.statements.clear();
                return result;
            }
            checks = Mssql::numberTexts(tree);
            Mssql::rewrite(tree);
            Mssql::Renderer renderer;
            text = renderer.sequence(tree);
            if (!renderer.error.isEmpty()) {
                result.error = renderer.error;
                result.statements.clear();
                return result;
            }
        } else if (schema.contains(firstWord)) {
            text = Mssql::renderTokens(statement);
        } else if (transaction.contains(firstWord)) {
            text = Mssql::transactionStatement(statement);
        } else {
            result.error = Mssql::unsupported(first.text);
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

bool MssqlTranslator::installFunctions(sqlite3 *db, QString *error)
{
    return SqliteFunctions::install(db, error);
}
