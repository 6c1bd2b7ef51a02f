#include "db/setup.h"

#include "db/demodata.h"
#include "db/engine.h"
#include "db/gateway.h"
#include "db/settings.h"
#include "db/sqltext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

// jxc_core is a static library: its resources are registered only when some
// code asks for them, and Q_INIT_RESOURCE must be used outside any namespace.
static void initDbResources()
{
    Q_INIT_RESOURCE(db);
}

namespace {

const char kDirectoryDatabase[] = "sqldb";

// Both users of a new company hold every right. test001 is the account the
// login dialog fills in for a demo company.
struct InitialUser
{
    const char *name;
    const char *password;
};
const InitialUser kInitialUsers[] = {
    {"test001", "305716"},
    {"manager", "888888"},
};

QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}

// A connection of our own for the duration of one setup step. It is closed
// and removed when it goes out of scope, so that nothing is left registered
// and a half-made file can be deleted afterwards.
class PrivateConnection
{
public:
    // driver empty: the configured engine's driver (Engine::addConnection);
    // the embedded driver's name: an embedded file in SQLite's own dialect.
    explicit PrivateConnection(const QString &driver)
    {
        static int counter = 0;
        m_name = QStringLiteral("jxc_setup_%1").arg(++counter);
        m_db = driver.isEmpty() ? Engine::addConnection(m_name) : Engine::addSqliteDialectConnection(m_name);
    }
    ~PrivateConnection()
    {
        if (m_db.isOpen()) {
            m_db.close();
        }
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    PrivateConnection(const PrivateConnection &) = delete;
    PrivateConnection &operator=(const PrivateConnection &) = delete;

    QSqlDatabase &db() { return m_db; }

    bool open(const QString &databaseName, QString *error)
    {
        m_db.setDatabaseName(databaseName);
        if (!m_db.open()) {
            *error = QStringLiteral("无法打开数据库 %1：%2").arg(databaseName, m_db.lastError().text());
            return false;
        }
        if (!Engine::prepareSession(m_db, error)) {
            m_db.close();
            return false;
        }
        return true;
    }

private:
    QString m_name;
    QSqlDatabase m_db;
};

bool exec(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        *error = QStringLiteral("%1\n%2").arg(query.lastError().text(), sql.left(300));
        return false;
    }
    return true;
}

bool runScript(QSqlDatabase &db, const QString &fileName, QString *error)
{
    const QStringList statements = Setup::scriptStatements(fileName);
    if (statements.isEmpty()) {
        *error = QStringLiteral("缺少建库脚本 %1").arg(fileName);
        return false;
    }
    for (const QString &statement : statements) {
        if (!exec(db, statement, error)) {
            return false;
        }
    }
    return true;
}

// The rights are taken from the seeded power table, so that the users hold
// exactly the rights the permission editor offers, in its order.
bool insertUsers(QSqlDatabase &db, QString *error)
{
    QStringList rights;
    {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("select name from power"))) {
            *error = query.lastError().text();
            return false;
        }
        while (query.next()) {
            rights << query.value(0).toString();
        }
    }
    const QString power = rights.join(QLatin1Char(','));
    for (const InitialUser &user : kInitialUsers) {
        const QString name = SqlText::quoted(latin1(user.name));
        if (!exec(db,
                  QStringLiteral("insert into login (name,password) values ('%1','%2')")
                      .arg(name, SqlText::quoted(latin1(user.password))),
                  error)
            || !exec(db,
                     QStringLiteral("insert into [user] (name,power) values ('%1','%2')")
                         .arg(name, SqlText::quoted(power)),
                     error)) {
            return false;
        }
    }
    return true;
}

// A database name becomes a file name and part of an ODBC connection string,
// so it is kept to what is safe in both.
bool checkDatabaseName(const QString &databaseName, QString *error)
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,99}$"));
    if (!plainName.match(databaseName).hasMatch()) {
        *error = QStringLiteral("数据库名只能由字母、数字和下划线组成，且不能以数字开头：%1").arg(databaseName);
        return false;
    }
    if (databaseName.compare(latin1(kDirectoryDatabase), Qt::CaseInsensitive) == 0) {
        *error = QStringLiteral("数据库名 %1 保留给公司目录").arg(databaseName);
        return false;
    }
    return true;
}

bool checkNames(const QString &companyName, const QString &databaseName, QString *error)
{
    if (companyName.trimmed().isEmpty()) {
        *error = QStringLiteral("公司名称不能为空");
        return false;
    }
    return checkDatabaseName(databaseName, error);
}

// The login dialog maps company names to databases: a name listed twice
// would hide one of the two companies, and a database listed twice would
// show one company under two names. Names compare as the directory compares
// them, without regard to letter case.
bool checkNotListed(QSqlDatabase &directory, const QString &companyName,
                    const QString &databaseName, QString *error)
{
    if (!directory.tables().contains(QStringLiteral("erpdb"), Qt::CaseInsensitive)) {
        return true;
    }
    QSqlQuery query(directory);
    if (!query.exec(QStringLiteral("select name,db_name from erpdb where name='%1' or db_name='%2'")
                        .arg(SqlText::quoted(companyName), SqlText::quoted(databaseName)))) {
        *error = query.lastError().text();
        return false;
    }
    if (query.next()) {
        *error = QStringLiteral("公司目录中已有“%1”（数据库 %2）")
                     .arg(query.value(0).toString(), query.value(1).toString());
        return false;
    }
    return true;
}

// Creates the directory's table when it has none yet and lists the company.
bool listCompany(QSqlDatabase &directory, const QString &scriptFile, const QString &companyName,
                 const QString &databaseName, QString *error)
{
    if (!directory.tables().contains(QStringLiteral("erpdb"), Qt::CaseInsensitive)
        && !runScript(directory, scriptFile, error)) {
        return false;
    }
    return exec(directory,
                QStringLiteral("insert into erpdb (name,db_name) values ('%1','%2')")
                    .arg(SqlText::quoted(companyName), SqlText::quoted(databaseName)),
                error);
}

void removeDatabaseFile(const QString &file)
{
    QFile::remove(file);
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        QFile::remove(file + latin1(suffix));
    }
}

// The schema script is SQLite's own dialect and runs untranslated; the demo
// data is written through the translating driver, the path every statement
// of the program takes.
bool createEmbeddedCompany(const QString &file, const QString &databaseName, bool withDemo,
                           QString *error)
{
    {
        PrivateConnection company(Engine::embeddedDriverName());
        if (!company.open(file, error)
            || !Gateway::inTransaction(company.db(), error, [&] {
                   return runScript(company.db(), QStringLiteral("schema_sqlite.sql"), error)
                       && insertUsers(company.db(), error);
               })) {
            return false;
        }
    }
    if (!withDemo) {
        return true;
    }
    PrivateConnection company{QString()};
    return company.open(Engine::databaseNameFor(databaseName), error)
        && Gateway::inTransaction(company.db(), error, [&] { return DemoData::fill(company.db(), error); });
}

bool createEmbedded(const QString &companyName, const QString &databaseName, bool withDemo,
                    QString *error)
{
    const QString dataDir = DbSettings::current().dataDir;
    const bool dirIsNew = !dataDir.isEmpty() && !QFileInfo::exists(dataDir);
    if (dataDir.isEmpty() || !QDir().mkpath(dataDir)) {
        *error = QStringLiteral("无法创建数据目录：%1").arg(dataDir);
        return false;
    }
    const QString companyFile = Engine::embeddedFile(databaseName);
    if (QFileInfo::exists(companyFile)) {
        *error = QStringLiteral("数据库文件已存在：%1").arg(QDir::toNativeSeparators(companyFile));
        return false;
    }
    const QString directoryFile = Engine::embeddedFile(latin1(kDirectoryDatabase));
    const bool directoryIsNew = !QFileInfo::exists(directoryFile);

    bool ok = false;
    {
        PrivateConnection directory(Engine::embeddedDriverName());
        ok = directory.open(directoryFile, error)
            && checkNotListed(directory.db(), companyName, databaseName, error)
            && createEmbeddedCompany(companyFile, databaseName, withDemo, error)
            && Gateway::inTransaction(directory.db(), error, [&] {
                   return listCompany(directory.db(), QStringLiteral("directory_sqlite.sql"),
                                      companyName, databaseName, error);
               });
    }
    if (!ok) {
        removeDatabaseFile(companyFile);
        if (directoryIsNew) {
            removeDatabaseFile(directoryFile);
        }
    }
    // The company's books and its accounts are for the owner's eyes only.
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (ok && dirIsNew) {
        QFile::setPermissions(dataDir, ownerOnly | QFileDevice::ExeOwner);
    }
    if (ok) {
        QFile::setPermissions(companyFile, ownerOnly);
        if (directoryIsNew) {
            QFile::setPermissions(directoryFile, ownerOnly);
        }
    }
    return ok;
}

// The ODBC catalogue (QSqlDatabase::tables) also lists some of SQL Server's
// own tables, so emptiness is asked of sys.tables, which holds user tables.
bool isEmptyOnServer(QSqlDatabase &db, const QString &databaseName, QString *error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select count(*) from sys.tables where is_ms_shipped=0"))
        || !query.next()) {
        *error = query.lastError().text();
        return false;
    }
    if (query.value(0).toInt() != 0) {
        *error = QStringLiteral("数据库 %1 不是空的").arg(databaseName);
        return false;
    }
    return true;
}

// Gives the open, empty server database its tables, seed rows and users;
// the caller holds the transaction they are written in.
bool fillOnServer(QSqlDatabase &db, bool withDemo, QString *error)
{
    return runScript(db, QStringLiteral("schema_mssql.sql"), error) && insertUsers(db, error)
        && (!withDemo || DemoData::fill(db, error));
}

// On the server the databases exist already (creating them needs rights and
// a collation that are the administrator's choice). The company's work stays
// uncommitted until the directory lists it, so that a failure on either side
// leaves no half-made company behind.
bool createOnServer(const QString &companyName, const QString &databaseName, bool withDemo,
                    QString *error)
{
    PrivateConnection directory{QString()};
    PrivateConnection company{QString()};
    if (!directory.open(Engine::databaseNameFor(latin1(kDirectoryDatabase)), error)
        || !checkNotListed(directory.db(), companyName, databaseName, error)
        || !company.open(Engine::databaseNameFor(databaseName), error)) {
        return false;
    }
    QSqlDatabase &db = company.db();
    if (!isEmptyOnServer(db, databaseName, error)) {
        return false;
    }
    Gateway::Transaction transaction(db);
    if (!transaction.isOpen()) {
        *error = transaction.error();
        return false;
    }
    const bool companyReady = fillOnServer(db, withDemo, error);
    const bool listed = companyReady && Gateway::inTransaction(directory.db(), error, [&] {
        return listCompany(directory.db(), QStringLiteral("directory_mssql.sql"), companyName,
                           databaseName, error);
    });
    if (!listed) {
        return false;
    }
    if (!transaction.commit()) {
        *error = transaction.error();
        QString ignored;
        exec(directory.db(),
             QStringLiteral("delete from erpdb where db_name='%1'").arg(SqlText::quoted(databaseName)),
             &ignored);
        return false;
    }
    return true;
}

} // namespace

namespace Setup {

QString demoCompanyName()
{
    return QStringLiteral("澜拓商贸(试用)");
}

QString demoDatabaseName()
{
    return QStringLiteral("jxc_demo");
}

bool createCompany(const QString &companyName, const QString &databaseName, bool withDemo,
                   QString *error)
{
    QString ignored;
    QString &reason = error ? *error : ignored;
    reason.clear();
    if (!checkNames(companyName, databaseName, &reason)) {
        return false;
    }
    if (DbSettings::current().isEmbedded()) {
        return createEmbedded(companyName, databaseName, withDemo, &reason);
    }
    return createOnServer(companyName, databaseName, withDemo, &reason);
}

bool createCompanyDatabase(const QString &databaseName, bool withDemo, QString *error)
{
    QString ignored;
    QString &reason = error ? *error : ignored;
    reason.clear();
    if (!checkDatabaseName(databaseName, &reason)) {
        return false;
    }
    if (DbSettings::current().isEmbedded()) {
        const QString file = Engine::embeddedFile(databaseName);
        if (QFileInfo::exists(file)) {
            reason = QStringLiteral("数据库文件已存在：%1").arg(QDir::toNativeSeparators(file));
            return false;
        }
        if (!QDir().mkpath(DbSettings::current().dataDir)
            || !createEmbeddedCompany(file, databaseName, withDemo, &reason)) {
            removeDatabaseFile(file);
            return false;
        }
        return true;
    }
    PrivateConnection company{QString()};
    if (!company.open(Engine::databaseNameFor(databaseName), &reason)
        || !isEmptyOnServer(company.db(), databaseName, &reason)) {
        return false;
    }
    return Gateway::inTransaction(company.db(), &reason,
                                  [&] { return fillOnServer(company.db(), withDemo, &reason); });
}

bool ensureFirstStart(QString *error)
{
    // A settings file says where the databases are; making a demo company
    // there would hide a wrong folder behind a company nobody asked for.
    if (!DbSettings::current().isEmbedded() || !DbSettings::current().sourceFile.isEmpty()
        || QFileInfo::exists(Engine::embeddedFile(latin1(kDirectoryDatabase)))) {
        return true;
    }
    return createCompany(demoCompanyName(), demoDatabaseName(), true, error);
}

QString scriptText(const QString &fileName)
{
    initDbResources();
    QFile file(QStringLiteral(":/db/") + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

QStringList scriptStatements(const QString &fileName)
{
    const bool batches = fileName.contains(QStringLiteral("_mssql"));
    QStringList statements;
    QStringList piece;
    bool hasCode = false;
    const auto finish = [&] {
        if (hasCode) {
            statements << piece.join(QLatin1Char('\n')).trimmed();
        }
        piece.clear();
        hasCode = false;
    };
    const QStringList lines = scriptText(fileName).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        const QString trimmed = line.trimmed();
        if (batches && trimmed.compare(QStringLiteral("GO"), Qt::CaseInsensitive) == 0) {
            finish();
            continue;
        }
        piece << line;
        if (!trimmed.isEmpty() && !trimmed.startsWith(QStringLiteral("--"))) {
            hasCode = true;
        }
        if (!batches && trimmed.endsWith(QLatin1Char(';'))
            && !trimmed.startsWith(QStringLiteral("--"))) {
            finish();
        }
    }
    finish();
    return statements;
}

} // namespace Setup
