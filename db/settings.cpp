#include "db/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

DbSettings &currentSettings()
{
    static DbSettings settings;
    return settings;
}

QString defaultDataDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty()) {
        dir = QDir::homePath() + QStringLiteral("/.local/share/jxc");
    }
    return dir;
}

} // namespace

DbSettings DbSettings::fromFile(const QString &fileName)
{
    DbSettings s;
    s.dataDir = defaultDataDir();
    if (fileName.isEmpty() || !QFileInfo::exists(fileName)) {
        return s;
    }
    QSettings ini(fileName, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    ini.beginGroup(QStringLiteral("database"));
    s.engine = ini.value(QStringLiteral("engine"), s.engine).toString().trimmed().toLower();
    const QString dataDir = ini.value(QStringLiteral("data_dir")).toString().trimmed();
    if (!dataDir.isEmpty()) {
        // A relative folder is taken relative to the settings file.
        s.dataDir = QFileInfo(QFileInfo(fileName).absoluteDir(), dataDir).absoluteFilePath();
    }
    s.server = ini.value(QStringLiteral("server")).toString();
    s.user = ini.value(QStringLiteral("user")).toString();
    s.password = ini.value(QStringLiteral("password")).toString();
    s.driver = ini.value(QStringLiteral("driver"), s.driver).toString();
    ini.endGroup();
    s.sourceFile = QFileInfo(fileName).absoluteFilePath();
    return s;
}

DbSettings DbSettings::load(const QStringList &arguments)
{
    const int at = arguments.indexOf(QStringLiteral("--config"));
    if (at >= 0 && at + 1 < arguments.size()) {
        return fromFile(arguments.at(at + 1));
    }
    const QString fromEnv = qEnvironmentVariable("JXC_CONFIG");
    if (!fromEnv.isEmpty()) {
        return fromFile(fromEnv);
    }
    QStringList candidates;
    if (QCoreApplication::instance()) {
        candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/jxc.ini");
    }
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!configDir.isEmpty()) {
        candidates << configDir + QStringLiteral("/jxc/jxc.ini");
    }
    for (const QString &candidate : qAsConst(candidates)) {
        if (QFileInfo::exists(candidate)) {
            return fromFile(candidate);
        }
    }
    return fromFile(QString());
}

const DbSettings &DbSettings::current()
{
    return currentSettings();
}

void DbSettings::setCurrent(const DbSettings &settings)
{
    currentSettings() = settings;
}
