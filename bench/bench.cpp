#include "bench/bench.h"

#include "app/loginstate.h"
#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace Bench {

namespace {

std::vector<Case> &registry()
{
    static std::vector<Case> all;
    return all;
}

} // namespace

int add(const QString &name, const std::function<bool()> &run)
{
    registry().push_back(Case{name, run});
    return int(registry().size());
}

const std::vector<Case> &cases()
{
    return registry();
}

double seconds(const std::function<void()> &body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return timer.nsecsElapsed() / 1e9;
}

void report(const QString &what, double formSeconds, double engineSeconds, double targetSeconds)
{
    const QString line = QStringLiteral("%1  form %2 s   engine %3 s   target <= %4 s  %5")
                             .arg(what, -34)
                             .arg(formSeconds, 6, 'f', 3)
                             .arg(engineSeconds, 6, 'f', 3)
                             .arg(targetSeconds, 0, 'f', 1)
                             .arg(formSeconds <= targetSeconds ? QStringLiteral("ok")
                                                               : QStringLiteral("SLOW"));
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

Company::Company()
{
    DbSettings settings;
    settings.engine = QStringLiteral("sqlite");
    settings.dataDir = m_dir.path();
    DbSettings::setCurrent(settings);

    const QString databaseName = QStringLiteral("jxc_bench");
    QString error;
    if (!Setup::createCompany(QStringLiteral("基准公司"), databaseName, false, &error)) {
        m_error = error;
        return;
    }
    QSqlDatabase db = Engine::addConnection(QString::fromLatin1(QSqlDatabase::defaultConnection));
    db.setDatabaseName(Engine::databaseNameFor(databaseName));
    if (!db.open()) {
        m_error = db.lastError().text();
        return;
    }
    LoginState::databaseName = databaseName;
    LoginState::companyName = QStringLiteral("基准公司");
    LoginState::userName = QStringLiteral("test001");
}

Company::~Company()
{
    const QString name = QString::fromLatin1(QSqlDatabase::defaultConnection);
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool Company::exec(const QString &sql)
{
    QSqlQuery query;
    if (!query.exec(sql)) {
        std::printf("statement failed: %s\n", query.lastError().text().toUtf8().constData());
        return false;
    }
    return true;
}

} // namespace Bench
