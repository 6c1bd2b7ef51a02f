#include "support/testdb.h"
#include "support/statementfixture.h"

#include "app/loginstate.h"
#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QtCore>
#include <QtSql>

#include <algorithm>

namespace {

// What forms remember per user (size and position, the export folder) goes
// to a folder of the test run, never into the settings of whoever runs it.
void isolateUserSettings()
{
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}
Q_COREAPP_STARTUP_FUNCTION(isolateUserSettings)

void removeAllConnections()
{
    // The embedded driver keeps an inner connection of its own per open
    // database and removes it when it closes; only the outer ones are ours.
    QStringList names = QSqlDatabase::connectionNames();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString &name) {
                                   return name.startsWith(QLatin1String("jxc-embedded-"));
                               }),
                names.end());
    for (const QString &name : qAsConst(names)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

TestDb::Target &currentTarget()
{
    static TestDb::Target target = TestDb::Target::Embedded;
    return target;
}

// Statements on the server's master database, for creating and dropping the
// test's own databases.
bool onMaster(const QStringList &statements, QString *error)
{
    const QString name = QStringLiteral("jxc-test-master");
    bool ok = false;
    {
        QSqlDatabase master = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        master.setDatabaseName(Engine::connectionString(DbSettings::current(), QStringLiteral("master")));
        ok = master.open();
        if (!ok) {
            *error = master.lastError().text();
        }
        for (const QString &statement : statements) {
            QSqlQuery query(master);
            query.setForwardOnly(true);
            if (ok && !query.exec(statement)) {
                *error = QStringLiteral("%1\n  -> %2").arg(statement, query.lastError().text());
                ok = false;
            }
        }
        master.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

void TestDb::setTarget(Target target)
{
    currentTarget() = target;
}

TestDb::Target TestDb::target()
{
    return currentTarget();
}

QString TestDb::serverConfig()
{
    return qEnvironmentVariable("JXC_TEST_MSSQL_CONFIG");
}

TestDb::TestDb(bool withDemo, const QString &companyName, const QString &databaseName)
{
    removeAllConnections();
    if (target() == Target::SqlServer) {
        const DbSettings settings = DbSettings::fromFile(serverConfig());
        if (!settings.isValid() || settings.isEmbedded()) {
            m_error = settings.isValid() ? QStringLiteral("%1: engine=odbc expected").arg(serverConfig())
                                         : settings.error;
            return;
        }
        DbSettings::setCurrent(settings);
        if (!createOnServer(databaseName, withDemo)) {
            return;
        }
    } else {
        DbSettings settings;
        settings.engine = QStringLiteral("sqlite");
        settings.dataDir = m_dir.path();
        DbSettings::setCurrent(settings);
        if (!Setup::createCompany(companyName, databaseName, withDemo, &m_error)) {
            return;
        }
    }
    if (!openDefault(m_serverDatabases.isEmpty() ? databaseName : m_serverDatabases.first())) {
        return;
    }
    LoginState::databaseName = databaseName;
    LoginState::companyName = companyName;
    LoginState::userName = QStringLiteral("test001");
    LoginState::rights.clear();
}

// A database of its own per test object, so that runs of several machines
// or processes on one server never meet.
bool TestDb::createOnServer(const QString &databaseName, bool withDemo)
{
    static int counter = 0;
    const QString name = QStringLiteral("%1_%2_%3")
                             .arg(databaseName)
                             .arg(QCoreApplication::applicationPid())
                             .arg(++counter);
    if (!onMaster({QStringLiteral("create database [%1] collate Chinese_PRC_CI_AS").arg(name)}, &m_error)) {
        return false;
    }
    m_serverDatabases << name;
    return Setup::createCompanyDatabase(name, withDemo, &m_error);
}

bool TestDb::openDefault(const QString &databaseName)
{
    QSqlDatabase db = Engine::addConnection(QString::fromLatin1(QSqlDatabase::defaultConnection));
    db.setDatabaseName(Engine::databaseNameFor(databaseName));
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
    }
    return Engine::prepareSession(db, &m_error);
}

TestDb::~TestDb()
{
    removeAllConnections();
    for (const QString &name : qAsConst(m_serverDatabases)) {
        QString error;
        if (!onMaster({QStringLiteral("alter database [%1] set single_user with rollback immediate").arg(name),
                       QStringLiteral("drop database [%1]").arg(name)},
                      &error)) {
            qWarning("test database %s left on the server: %s", qPrintable(name), qPrintable(error));
        }
    }
}

QSqlDatabase TestDb::db() const
{
    return QSqlDatabase::database();
}

bool TestDb::addCompany(const QString &companyName, const QString &databaseName)
{
    if (target() == Target::SqlServer) {
        // The directory on a server is its own "sqldb", not the test's.
        m_lastError = QStringLiteral("no test directory on SQL Server");
        return false;
    }
    return Setup::createCompany(companyName, databaseName, false, &m_lastError);
}

bool TestDb::exec(const QString &sql)
{
    QSqlQuery query(db());
    if (!query.exec(sql)) {
        m_lastError = query.lastError().text();
        return false;
    }
    return true;
}

QList<QStringList> TestDb::rows(const QString &sql)
{
    QString error;
    const QList<QStringList> result = ResultRows::query(sql, &error);
    if (!error.isEmpty()) {
        m_lastError = error;
    }
    return result;
}

QString TestDb::scalar(const QString &sql)
{
    const QList<QStringList> r = rows(sql);
    return r.isEmpty() || r.first().isEmpty() ? QString() : r.first().first();
}
