#include "db/engine.h"

#include "db/mssqltranslator.h"
#include "db/settings.h"
#include "db/sqlitedriver.h"

#include <QDateTime>
#include <QDir>
#include <QSqlError>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlDriverCreator>
#include <QVariant>

#include <sqlite3.h>

namespace Engine {

void registerEmbeddedDriver()
{
    static bool registered = false;
    if (!registered) {
        QSqlDatabase::registerSqlDriver(embeddedDriverName(),
                                        new QSqlDriverCreator<EmbeddedSqlDriver>);
        registered = true;
    }
}

QSqlDatabase addConnection(const QString &connectionName)
{
    if (DbSettings::current().isEmbedded()) {
        registerEmbeddedDriver();
        return QSqlDatabase::addDatabase(embeddedDriverName(), connectionName);
    }
    return QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
}

QSqlDatabase addSqliteDialectConnection(const QString &connectionName)
{
    registerEmbeddedDriver();
    QSqlDatabase db = QSqlDatabase::addDatabase(embeddedDriverName(), connectionName);
    db.setConnectOptions(createOption() + QLatin1Char(';') + sqliteDialectOption());
    return db;
}

bool prepareSession(const QSqlDatabase &db, QString *error)
{
    if (!db.isOpen() || db.driverName() != QLatin1String("QODBC")) {
        return true;
    }
    // Forward-only: through a server cursor the SETs would belong to the
    // cursor's statement and could be undone with it.
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QString reason;
    if (!query.exec(blockPrefix(db))) {
        reason = query.lastError().text();
    } else if (!query.exec(QStringLiteral("select @@options")) || !query.next()) {
        reason = query.lastError().text();
    } else {
        // Bits of @@options: 512 NOCOUNT, 16384 XACT_ABORT.
        const int options = query.value(0).toInt();
        if ((options & 512) == 0 || (options & 16384) == 0) {
            reason = QStringLiteral("NOCOUNT 与 XACT_ABORT 未能打开（@@options=%1）").arg(options);
        }
    }
    if (reason.isEmpty()) {
        return true;
    }
    if (error) {
        *error = QStringLiteral("数据库会话设置无效，为免保存一半，拒绝使用此连接：%1").arg(reason);
    }
    return false;
}

QString blockPrefix(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QODBC")
        ? QStringLiteral("set nocount on;set xact_abort on;")
        : QString();
}

QString timestampText(const QSqlDatabase &db, const QDateTime &at)
{
    return at.toString(db.driverName() == QLatin1String("QODBC")
                           ? QStringLiteral("yyyy-MM-ddThh:mm:ss")
                           : QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString embeddedFile(const QString &databaseName)
{
    return QDir(DbSettings::current().dataDir).filePath(databaseName + QStringLiteral(".db"));
}

QString databaseNameFor(const QString &databaseName)
{
    const DbSettings &s = DbSettings::current();
    return s.isEmbedded() ? embeddedFile(databaseName) : connectionString(s, databaseName);
}

bool isFreeTds(const QString &driver)
{
    if (driver.contains(QLatin1String("freetds"), Qt::CaseInsensitive)
        || driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive)) {
        return true;
    }
#ifdef Q_OS_WIN
    return false;
#else
    return !driver.contains(QLatin1String("ODBC Driver"), Qt::CaseInsensitive);
#endif
}

QString connectionString(const DbSettings &s, const QString &databaseName)
{
    // A value with ";" or braces would end its attribute early; ODBC takes
    // such a value between braces, with a closing brace doubled.
    const auto attribute = [](const QString &name, const QString &value) {
        QString text = value;
        if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('{'))
            || text.contains(QLatin1Char('}'))) {
            text.replace(QLatin1Char('}'), QStringLiteral("}}"));
            text = QLatin1Char('{') + text + QLatin1Char('}');
        }
        return name + QLatin1Char('=') + text + QLatin1Char(';');
    };
    const bool freeTds = isFreeTds(s.driver);
    QString server = s.server;
    QString port;
    // FreeTDS takes the port as an attribute of its own; Microsoft's drivers
    // read "host,port" as written.
    const int comma = server.lastIndexOf(QLatin1Char(','));
    if (freeTds && comma > 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    QString text = QStringLiteral("DRIVER={%1};").arg(s.driver) + attribute(QStringLiteral("SERVER"), server);
    if (!port.isEmpty()) {
        text += attribute(QStringLiteral("Port"), port);
    }
    text += attribute(QStringLiteral("DATABASE"), databaseName);
    if (s.user.isEmpty()) {
        text += QStringLiteral("Trusted_Connection=yes;");
    } else {
        text += attribute(QStringLiteral("UID"), s.user) + attribute(QStringLiteral("PWD"), s.password);
    }
    if (freeTds) {
        // Qt reads FreeTDS's text as 8-bit data decoded as UTF-8, so the
        // driver must send UTF-8 whatever the locale; TDS 7.4 carries the
        // server's nvarchar and its errors as the program expects.
        for (const QString &own : {QStringLiteral("ClientCharset=UTF-8;"), QStringLiteral("TDS_Version=7.4;")}) {
            const QString keyword = own.left(own.indexOf(QLatin1Char('=')) + 1);
            if (!s.options.contains(keyword, Qt::CaseInsensitive)) {
                text += own;
            }
        }
    }
    QString options = s.options.trimmed();
    while (options.startsWith(QLatin1Char(';'))) {
        options.remove(0, 1);
    }
    if (!options.isEmpty()) {
        text += options.endsWith(QLatin1Char(';')) ? options : options + QLatin1Char(';');
    }
    return text;
}

bool installEmbeddedFunctions(const QSqlDatabase &plainSqlite, QString *error)
{
    const QVariant handle = plainSqlite.driver() ? plainSqlite.driver()->handle() : QVariant();
    sqlite3 *db = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3 *const *>(handle.data())
        : nullptr;
    if (!db) {
        *error = QStringLiteral("not an open SQLite connection");
        return false;
    }
    return MssqlTranslator::installFunctions(db, error);
}

} // namespace Engine
