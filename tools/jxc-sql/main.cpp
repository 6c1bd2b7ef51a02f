// jxc-sql: a console on a company database, for support and scripted checks.
// Reads SQL Server statements from standard input, one per line, runs them on
// the configured engine and prints the result rows tab-separated.

#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

#include <cstdio>

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
    QTextStream in(stdin);
    in.setCodec("UTF-8");
    QString line;
    while (in.readLineInto(&line)) {
        const QString sql = line.trimmed();
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
