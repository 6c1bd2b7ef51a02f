#include "db/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextCodec>

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

// The value after "=": between double quotes when it starts with one,
// otherwise up to a ";" that follows a blank. QSettings is not used for
// this file: it reads "\" as an escape and "," as a list separator, which
// would spoil named instances, ports and passwords.
bool valueOf(const QString &written, QString *value)
{
    const QString text = written.trimmed();
    if (text.startsWith(QLatin1Char('"'))) {
        // The closing quote is the first one followed by nothing but a comment,
        // so that a value may itself hold quotes.
        for (int closing = text.indexOf(QLatin1Char('"'), 1); closing > 0;
             closing = text.indexOf(QLatin1Char('"'), closing + 1)) {
            const QString rest = text.mid(closing + 1).trimmed();
            if (rest.isEmpty() || rest.startsWith(QLatin1Char(';')) || rest.startsWith(QLatin1Char('#'))) {
                *value = text.mid(1, closing - 1);
                return true;
            }
        }
        return false;
    }
    int end = text.size();
    for (int i = 1; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char(';') && text.at(i - 1).isSpace()) {
            end = i;
            break;
        }
    }
    *value = text.left(end).trimmed();
    return true;
}

// Reads the [database] section of text into s; false with the reason in
// *problem when a line cannot be read or a value is not one of its kind.
bool parse(const QString &text, const QString &folder, DbSettings *s, QString *problem)
{
    static const QStringList keys = {
        QStringLiteral("engine"), QStringLiteral("data_dir"), QStringLiteral("server"),
        QStringLiteral("user"),   QStringLiteral("password"), QStringLiteral("driver"),
        QStringLiteral("options"),
    };
    bool inDatabase = false;
    bool sawDatabase = false;
    QString dataDir;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        // The line itself is not quoted back: it may hold a password.
        const QString where = QStringLiteral("第%1行").arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                *problem = QStringLiteral("%1无法识别").arg(where);
                return false;
            }
            inDatabase = line.mid(1, line.size() - 2).trimmed().compare(
                             QStringLiteral("database"), Qt::CaseInsensitive) == 0;
            sawDatabase = sawDatabase || inDatabase;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        QString value;
        if (equals <= 0 || !valueOf(line.mid(equals + 1), &value)) {
            *problem = QStringLiteral("%1无法识别，应为“名称=值”").arg(where);
            return false;
        }
        if (!inDatabase) {
            continue;
        }
        const QString key = line.left(equals).trimmed().toLower();
        if (!keys.contains(key)) {
            *problem = QStringLiteral("%1：未知的设置项 %2（可用 %3）")
                           .arg(where, key, keys.join(QStringLiteral("、")));
            return false;
        }
        if (key == QLatin1String("engine")) {
            s->engine = value.toLower();
        } else if (key == QLatin1String("data_dir")) {
            dataDir = value;
        } else if (key == QLatin1String("server")) {
            s->server = value;
        } else if (key == QLatin1String("user")) {
            s->user = value;
        } else if (key == QLatin1String("password")) {
            s->password = value;
        } else if (key == QLatin1String("driver")) {
            s->driver = value;
        } else {
            s->options = value;
        }
    }
    if (!sawDatabase) {
        *problem = QStringLiteral("缺少 [database] 一节");
        return false;
    }
    if (s->engine != QLatin1String("sqlite") && s->engine != QLatin1String("odbc")) {
        *problem = QStringLiteral("未知的数据库引擎 engine=%1（可用 sqlite 或 odbc）").arg(s->engine);
        return false;
    }
    if (s->engine == QLatin1String("odbc") && (s->server.isEmpty() || s->driver.isEmpty())) {
        *problem = QStringLiteral("engine=odbc 需要 server 和 driver");
        return false;
    }
    if (!dataDir.isEmpty()) {
        // A relative folder is taken relative to the settings file.
        s->dataDir = QFileInfo(QDir(folder), dataDir).absoluteFilePath();
    }
    return true;
}

} // namespace

DbSettings DbSettings::fromFile(const QString &fileName)
{
    DbSettings s;
    s.dataDir = defaultDataDir();
    const QFileInfo info(fileName);
    s.sourceFile = info.absoluteFilePath();
    const auto fail = [&s](const QString &problem) {
        s.error = QStringLiteral("设置文件“%1”%2").arg(QDir::toNativeSeparators(s.sourceFile), problem);
        return s;
    };
    if (!info.exists()) {
        return fail(QStringLiteral("不存在"));
    }
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("无法读取：%1").arg(info.isDir() ? QStringLiteral("这是一个文件夹")
                                                                 : file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    QTextCodec::ConverterState state;
    QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0) {
        return fail(QStringLiteral("不是 UTF-8 文本"));
    }
    text.remove(QLatin1Char('\r'));
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QString problem;
    if (!parse(text, info.absolutePath(), &s, &problem)) {
        return fail(QStringLiteral("：") + problem);
    }
    return s;
}

DbSettings DbSettings::load(const QStringList &arguments)
{
    const int at = arguments.indexOf(QStringLiteral("--config"));
    if (at >= 0) {
        const QString fileName = arguments.value(at + 1);
        if (fileName.isEmpty() || fileName.startsWith(QStringLiteral("--"))) {
            DbSettings s;
            s.error = QStringLiteral("--config 后缺少设置文件名");
            return s;
        }
        return fromFile(fileName);
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
    DbSettings s;
    s.dataDir = defaultDataDir();
    return s;
}

const DbSettings &DbSettings::current()
{
    return currentSettings();
}

void DbSettings::setCurrent(const DbSettings &settings)
{
    currentSettings() = settings;
}
