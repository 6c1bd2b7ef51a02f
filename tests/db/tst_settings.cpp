#include "app/connectdatabase.h"
#include "db/engine.h"
#include "db/settings.h"

#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

// Where the program finds its settings, what they say, and how a connection
// is made from them.
class tst_settings : public QObject
{
    Q_OBJECT

private slots:
    void init() { qunsetenv("JXC_CONFIG"); }
    void settingsFileIsFoundInOrder_data();
    void settingsFileIsFoundInOrder();
    void serverSettingsMakeTheConnectionString();
    void connectDatabaseOpensOnceAndNamesTheDirectory();

private:
    QString writeIni(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        return file.fileName();
    }

    QTemporaryDir m_dir;
};

void tst_settings::settingsFileIsFoundInOrder_data()
{
    QTest::addColumn<bool>("withOption");
    QTest::addColumn<bool>("withEnvironment");
    QTest::addColumn<QString>("expectedFolder");

    QTest::newRow("--config wins over the environment") << true << true << "from-option";
    QTest::newRow("the environment is used without --config") << false << true << "from-env";
    QTest::newRow("--config alone") << true << false << "from-option";
}

void tst_settings::settingsFileIsFoundInOrder()
{
    QFETCH(bool, withOption);
    QFETCH(bool, withEnvironment);
    QFETCH(QString, expectedFolder);

    QStringList arguments{QStringLiteral("jxc")};
    if (withOption) {
        arguments << QStringLiteral("--config")
                  << writeIni(QStringLiteral("option.ini"), "[database]\ndata_dir=from-option\n");
    }
    if (withEnvironment) {
        qputenv("JXC_CONFIG", writeIni(QStringLiteral("env.ini"), "[database]\ndata_dir=from-env\n").toLocal8Bit());
    }
    const DbSettings settings = DbSettings::load(arguments);
    QVERIFY(settings.isEmbedded());
    // A relative folder is taken beside the settings file.
    QCOMPARE(settings.dataDir, m_dir.filePath(expectedFolder));
}

void tst_settings::serverSettingsMakeTheConnectionString()
{
    const QString ini = writeIni(QStringLiteral("server.ini"),
                                 "[database]\nengine=odbc\nserver=10.0.0.5\nuser=jxc\npassword=\"p;w}\"\n");
    DbSettings::setCurrent(DbSettings::fromFile(ini));
    QVERIFY(!DbSettings::current().isEmbedded());
    QCOMPARE(Engine::databaseNameFor(QStringLiteral("firm")),
             QStringLiteral("DRIVER={SQL SERVER};SERVER=10.0.0.5;DATABASE=firm;UID=jxc;PWD={p;w}}};"));

    DbSettings::setCurrent(DbSettings::fromFile(m_dir.filePath(QStringLiteral("missing.ini"))));
    QVERIFY(DbSettings::current().isEmbedded());
    QVERIFY(!DbSettings::current().dataDir.isEmpty());
}

// "sqldb" gets a connection of its own name; any other database becomes the
// default connection, and a second call while it exists does nothing.
void tst_settings::connectDatabaseOpensOnceAndNamesTheDirectory()
{
    DbSettings settings;
    settings.dataDir = m_dir.path();
    DbSettings::setCurrent(settings);

    QCOMPARE(connectDatabase(QStringLiteral("sqldb")), 1);
    QVERIFY(QSqlDatabase::contains(QStringLiteral("sqldb")));
    QCOMPARE(connectDatabase(QStringLiteral("firm")), 1);
    QVERIFY(QSqlDatabase::contains(QString::fromLatin1(QSqlDatabase::defaultConnection)));
    // Neither file exists: the embedded engine refuses to make one up.
    QVERIFY(!QSqlDatabase::database(QStringLiteral("sqldb"), false).isOpen());
    QVERIFY(!QFile::exists(Engine::embeddedFile(QStringLiteral("firm"))));
    QCOMPARE(connectDatabase(QStringLiteral("other")), 2);
}

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
