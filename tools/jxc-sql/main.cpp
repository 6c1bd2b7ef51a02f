// jxc-sql: a console on a company database, for support and scripted checks.
// Reads SQL Server statements from standard input, one per line, runs them on
// the configured engine and prints the result rows tab-separated.

#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

const char usage[] =
    "usage: jxc-sql [--config FILE] [--init | --demo] [--db NAME] [--company TEXT]\n"
    "  --init          create the directory database and an empty company database\n"
    "  --demo          the same, with the demo data set\n"
    "  --db NAME       the company database to work on (default: the demo company's)\n"
    "  --company TEXT  the company's display name for --init/--demo\n"
    "Then reads statements in SQL Server's dialect from standard input, one a line,\n"
    "and prints the result rows tab-separated.\n";

QString valueText(const QVariant &value)
{
    if (value.isNull()) {
        return QStringLiteral("NULL");
    }
    if (value.type() == QVariant::Double) {
        // Every fractional number of the schema is a decimal amount, which
        // the server prints with its places: 6.5 as 6.50. Keep more places
        // only where the value has them (a rate of 0.125, an average).
        QString text = QString::number(value.toDouble(), 'f', 6);
        while (text.endsWith(QLatin1Char('0')) && text.indexOf(QLatin1Char('.')) < text.size() - 3) {
            text.chop(1);
        }
        return text;
    }
    return value.toString();
}

// The offset of the first byte of data that does not begin a well-formed
// UTF-8 character, or -1 when every byte does.
int firstInvalidUtf8(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const int size = data.size();
    int at = 0;
    while (at < size) {
        const unsigned lead = bytes[at];
        int length = 1;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        } else if (lead >= 0x80) {
            return at;
        }
        if (at + length > size) {
            return at;
        }
        unsigned code = lead & (0xFFu >> (length + 1));
        for (int k = 1; k < length; ++k) {
            if ((bytes[at + k] & 0xC0) != 0x80) {
                return at;
            }
            code = (code << 6) | (bytes[at + k] & 0x3Fu);
        }
        // Overlong forms, UTF-16 surrogates and values past U+10FFFF are
        // no characters either.
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000)
            || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return at;
        }
        at += length;
    }
    return -1;
}

// Where input stops being UTF-8, as a person finds it in the file; empty
// when it is UTF-8 throughout. firstLine is the number of input's first line.
QString notUtf8(const QByteArray &input, int firstLine)
{
    const int at = firstInvalidUtf8(input);
    if (at < 0) {
        return QString();
    }
    const int lineStart = at == 0 ? 0 : input.lastIndexOf('\n', at - 1) + 1;
    return QStringLiteral("standard input is not valid UTF-8: line %1, byte %2 (0x%3)")
        .arg(firstLine + input.left(at).count('\n'))
        .arg(at - lineStart + 1)
        .arg(uint(static_cast<unsigned char>(input.at(at))), 2, 16, QLatin1Char('0'));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << usage;
        return 0;
    }
    DbSettings::setCurrent(DbSettings::load(args));
    if (!DbSettings::current().isValid()) {
        err << "jxc-sql: " << DbSettings::current().error << "\n";
        return 1;
    }

    auto optionValue = [&args](const QString &name, const QString &fallback) {
        const int at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const bool init = args.contains(QStringLiteral("--init"));
    const bool demo = args.contains(QStringLiteral("--demo"));
    const QString database = optionValue(QStringLiteral("--db"), QStringLiteral("jxc_demo"));

    // Text that is not UTF-8 would be stored with its bytes replaced by
    // U+FFFD, so it is refused before any statement runs: a script is read
    // whole and checked first; lines typed at a terminal one by one.
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    const bool typed = isatty(fileno(stdin));
    QByteArray script;
    if (!typed) {
        script = input.readAll();
        if (script.startsWith("\xEF\xBB\xBF")) {
            script.remove(0, 3); // the mark some editors put before UTF-8
        }
        const QString problem = notUtf8(script, 1);
        if (!problem.isEmpty()) {
            err << "jxc-sql: " << problem << "; nothing was run\n";
            return 1;
        }
    }

    if (init || demo) {
        const QString company = optionValue(QStringLiteral("--company"),
                                            demo ? QStringLiteral("澜拓商贸(试用)")
                                                 : QStringLiteral("新公司"));
        QString error;
        if (!Setup::createCompany(company, database, demo, &error)) {
            err << "jxc-sql: " << error << "\n";
            return 1;
        }
    }

    QSqlDatabase db = Engine::addConnection(QStringLiteral("jxc-sql"));
    db.setDatabaseName(Engine::databaseNameFor(database));
    if (!db.open()) {
        err << "jxc-sql: cannot open " << database << ": " << db.lastError().text() << "\n";
        return 1;
    }
    QString sessionError;
    if (!Engine::prepareSession(db, &sessionError)) {
        err << "jxc-sql: " << sessionError << "\n";
        return 1;
    }

    int failures = 0;
    const QList<QByteArray> scriptLines = script.split('\n');
    for (int lineNumber = 1;; ++lineNumber) {
        QByteArray bytes;
        if (!typed) {
            if (lineNumber > scriptLines.size()) {
                break;
            }
            bytes = scriptLines.at(lineNumber - 1);
        } else {
            // Empty only at the end: an empty line still holds its "\n".
            bytes = input.readLine();
            if (bytes.isEmpty()) {
                break;
            }
            const QString problem = notUtf8(bytes, lineNumber);
            if (!problem.isEmpty()) {
                err << "jxc-sql: " << problem << "; the line was not run\n";
                return 1;
            }
        }
        const QString sql = QString::fromUtf8(bytes).trimmed();
        if (sql.isEmpty() || sql.startsWith(QLatin1String("--"))) {
            continue;
        }
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            err << "jxc-sql: " << query.lastError().text() << "\n";
            ++failures;
            continue;
        }
        while (query.next()) {
            const int columns = query.record().count();
            QStringList fields;
            for (int c = 0; c < columns; ++c) {
                fields << valueText(query.value(c));
            }
            out << fields.join(QLatin1Char('\t')) << "\n";
        }
        out.flush();
    }
    return failures == 0 ? 0 : 2;
}
