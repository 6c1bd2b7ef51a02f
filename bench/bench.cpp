#include "bench/bench.h"

#include "app/loginstate.h"
#include "db/engine.h"
#include "db/settings.h"
#include "db/setup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

#include <sys/resource.h>

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

Options &options()
{
    static Options all;
    return all;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Timing timed(const std::function<void()> &body)
{
    Timing timing;
    const double cpuBefore = cpuSeconds();
    timing.wall = seconds(body);
    timing.cpu = cpuSeconds() - cpuBefore;
    return timing;
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
                             .arg(targetSeconds, 0, 'f', 3)
                             .arg(formSeconds <= targetSeconds ? QStringLiteral("ok")
                                                               : QStringLiteral("SLOW"));
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void report(const QString &what, const Timing &form, double engineSeconds, double targetSeconds)
{
    report(what, form.wall, engineSeconds, targetSeconds);
    std::printf("   %s: processor time %.3f s of the form's %.3f s\n", what.toUtf8().constData(),
                form.cpu, form.wall);
    std::fflush(stdout);
}

Company::Company(const QString &keptName)
{
    const bool kept = !keptName.isEmpty() && !options().dataDir.isEmpty();
    DbSettings settings;
    settings.engine = QStringLiteral("sqlite");
    settings.dataDir = kept ? options().dataDir : m_dir.path();
    DbSettings::setCurrent(settings);
    QDir().mkpath(settings.dataDir);

    const QString databaseName = kept ? keptName : QStringLiteral("jxc_bench");
    m_fileName = Engine::databaseNameFor(databaseName);
    m_reused = kept && QFileInfo::exists(m_fileName);
    QString error;
    if (kept && !m_reused && !Setup::createCompanyDatabase(databaseName, false, &error)) {
        m_error = error;
        return;
    }
    if (!kept && !Setup::createCompany(QStringLiteral("基准公司"), databaseName, false, &error)) {
        m_error = error;
        return;
    }
    QSqlDatabase db = Engine::addConnection(QString::fromLatin1(QSqlDatabase::defaultConnection));
    db.setDatabaseName(m_fileName);
    if (!db.open()) {
        m_error = db.lastError().text();
        return;
    }
    LoginState::databaseName = databaseName;
    LoginState::companyName = QStringLiteral("基准公司");
    LoginState::userName = QStringLiteral("test001");
}

bool Company::build(const std::function<void(QString *error)> &write, double *seconds, bool skip)
{
    *seconds = 0;
    if (!isValid()) {
        say(QStringLiteral("no company: %1").arg(m_error));
        return false;
    }
    if (skip) {
        return true;
    }
    QString error;
    *seconds = Bench::seconds([&] { write(&error); });
    if (!error.isEmpty()) {
        say(QStringLiteral("could not build the company: %1").arg(error));
        return false;
    }
    return true;
}

void say(const QString &text)
{
    std::printf("   %s\n", text.toUtf8().constData());
    std::fflush(stdout);
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
