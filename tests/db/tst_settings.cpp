#include "app/connectdatabase.h"
#include "db/engine.h"
#include "db/settings.h"

#include <QtSql>
#include <QtTest>

// Where the program finds its settings, what they say, and how a connection
// is made from them.
class tst_settings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { qunsetenv("JXC_CONFIG"); }
    void settingsFileIsFoundInOrder_data();
    void settingsFileIsFoundInOrder();
    void valuesAreReadAsWritten_data();
    void valuesAreReadAsWritten();
    void unusableFileIsRefusedNamingIt_data();
    void unusableFileIsRefusedNamingIt();
    void jxcSqlStopsOnAnUnusableFile_data() { unusableFileIsRefusedNamingIt_data(); }
    void jxcSqlStopsOnAnUnusableFile();
    void connectionStringOfEachDriver_data();
    void connectionStringOfEachDriver();
    void connectDatabaseOpensOnceAndNamesTheDirectory();

private:
    QString writeIni(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        return file.fileName();
    }
    // The file of a row of unusableFileIsRefusedNamingIt_data; a null text
    // stands for a file that does not exist.
    QString unusableIni(const QByteArray &text)
    {
        return text.isNull() ? m_dir.filePath(QStringLiteral("missing.ini"))
                             : writeIni(QStringLiteral("unusable.ini"), text);
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
    QTest::newRow("neither: the demo folder") << false << false << "";
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
    QVERIFY2(settings.isValid(), qPrintable(settings.error));
    QVERIFY(settings.isEmbedded());
    QCOMPARE(settings.sourceFile.isEmpty(), expectedFolder.isEmpty());
    // A relative folder is taken beside the settings file.
    QVERIFY(expectedFolder.isEmpty() ? !settings.dataDir.isEmpty() : settings.dataDir == m_dir.filePath(expectedFolder));
}

void tst_settings::valuesAreReadAsWritten_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("read"); // server|user|password|options

    QTest::newRow("named instance") << QByteArray("server=192.168.1.10\\SQLEXPRESS") << "192.168.1.10\\SQLEXPRESS|jxc|pw|";
    QTest::newRow("host and port") << QByteArray("server=db01,1433") << "db01,1433|jxc|pw|";
    QTest::newRow("comma in a password") << QByteArray("password=pa,ss") << "db|jxc|pa,ss|";
    QTest::newRow("semicolon in a password") << QByteArray("password=x;y") << "db|jxc|x;y|";
    QTest::newRow("quoted password keeps its blanks") << QByteArray("password=\" a ; b \"  ; quoted") << "db|jxc| a ; b |";
    QTest::newRow("quotes inside a quoted password")
        << QByteArray("password=\"say \"hi\"\" ; a \"comment\"") << "db|jxc|say \"hi\"|";
    QTest::newRow("comment after a blank") << QByteArray("user=clerk   ; the clerks' login") << "db|clerk|pw|";
    QTest::newRow("Windows domain user") << QByteArray("USER=OFFICE\\zhang") << "db|OFFICE\\zhang|pw|";
    QTest::newRow("empty user for Windows sign-in") << QByteArray("user=") << "db||pw|";
    QTest::newRow("options as written") << QByteArray("options=Encrypt=yes;TrustServerCertificate=yes\r")
                                        << "db|jxc|pw|Encrypt=yes;TrustServerCertificate=yes";
}

void tst_settings::valuesAreReadAsWritten()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, read);
    const DbSettings s = DbSettings::fromFile(writeIni(
        QStringLiteral("values.ini"),
        "\xEF\xBB\xBF; jxc\n[database]\nengine=odbc\nserver=db\nuser=jxc\npassword=pw\n" + line + "\n[other]\nx=\\,\n"));
    QVERIFY2(s.isValid(), qPrintable(s.error));
    QCOMPARE(QStringList({s.server, s.user, s.password, s.options}).join('|'), read);
}

void tst_settings::unusableFileIsRefusedNamingIt_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("problem");

    QTest::newRow("file that does not exist") << QByteArray() << "不存在";
    QTest::newRow("no [database] section") << QByteArray("[General]\nengine=odbc\n") << "缺少 [database]";
    QTest::newRow("unknown engine") << QByteArray("[database]\nengine=mysql\n") << "engine=mysql";
    QTest::newRow("line that is no setting") << QByteArray("[database]\n\nserver db01\n") << "第3行";
    QTest::newRow("quote not closed") << QByteArray("[database]\npassword=\"abc\n") << "第2行";
    QTest::newRow("section not closed") << QByteArray("[database\nengine=sqlite\n") << "第1行";
    QTest::newRow("misspelt key") << QByteArray("[database]\npasword=x\n") << "pasword";
    QTest::newRow("not UTF-8") << QByteArray("[database]\ndata_dir=\xca\xfd\xbe\xdd\n") << "UTF-8";
    QTest::newRow("server engine without a server") << QByteArray("[database]\nengine=odbc\n") << "server";
}

void tst_settings::unusableFileIsRefusedNamingIt()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, problem);
    const QString file = unusableIni(text);

    const DbSettings byOption = DbSettings::load({QStringLiteral("jxc"), QStringLiteral("--config"), file});
    qputenv("JXC_CONFIG", file.toLocal8Bit());
    const DbSettings byEnvironment = DbSettings::load({QStringLiteral("jxc")});
    for (const DbSettings &s : {byOption, byEnvironment}) {
        QVERIFY(!s.isValid());
        QVERIFY2(s.error.contains(QDir::toNativeSeparators(file)), qPrintable(s.error));
        QVERIFY2(s.error.contains(problem), qPrintable(s.error));
    }
}

void tst_settings::jxcSqlStopsOnAnUnusableFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, problem);
    const QString file = unusableIni(text);

    QProcess process;
    process.start(QStringLiteral(JXC_BINARY_DIR "/jxc-sql"), {QStringLiteral("--config"), file});
    process.write("select 1\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY(process.exitCode() != 0);
    QVERIFY2(err.contains(file) && err.contains(problem), qPrintable(err));
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    // Nothing was made up elsewhere in place of the databases asked for.
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("sqldb.db"))));
}

void tst_settings::connectionStringOfEachDriver_data()
{
    QTest::addColumn<QStringList>("settings"); // driver, server, user, password, options
    QTest::addColumn<QString>("expected");

    const QString microsoft = QStringLiteral("ODBC Driver 18 for SQL Server");
    QTest::newRow("Microsoft driver, named instance, self-signed certificate")
        << QStringList{microsoft, "192.168.1.10\\SQLEXPRESS", "jxc", "pa,ss", "TrustServerCertificate=yes"}
        << "DRIVER={ODBC Driver 18 for SQL Server};SERVER=192.168.1.10\\SQLEXPRESS;DATABASE=firm;UID=jxc;"
           "PWD=pa,ss;TrustServerCertificate=yes;";
    QTest::newRow("Microsoft driver, port, Windows sign-in")
        << QStringList{microsoft, "db01,1433", "", "", ";Encrypt=no;"}
        << "DRIVER={ODBC Driver 18 for SQL Server};SERVER=db01,1433;DATABASE=firm;Trusted_Connection=yes;"
           "Encrypt=no;";
    QTest::newRow("Microsoft driver, password with ; and }")
        << QStringList{microsoft, "db01", "jxc", "p;w}", ""}
        << "DRIVER={ODBC Driver 18 for SQL Server};SERVER=db01;DATABASE=firm;UID=jxc;PWD={p;w}}};";
    QTest::newRow("FreeTDS sends UTF-8 over TDS 7.4")
        << QStringList{"FreeTDS", "db01\\SQLEXPRESS", "sa", "x;y", ""}
        << "DRIVER={FreeTDS};SERVER=db01\\SQLEXPRESS;DATABASE=firm;UID=sa;PWD={x;y};ClientCharset=UTF-8;"
           "TDS_Version=7.4;";
    QTest::newRow("FreeTDS takes the port apart")
        << QStringList{"FreeTDS", "db01,1433", "sa", "pw", ""}
        << "DRIVER={FreeTDS};SERVER=db01;Port=1433;DATABASE=firm;UID=sa;PWD=pw;ClientCharset=UTF-8;"
           "TDS_Version=7.4;";
    QTest::newRow("FreeTDS with its TDS version in the options")
        << QStringList{"FreeTDS", "db01", "", "", "TDS_Version=7.3"}
        << "DRIVER={FreeTDS};SERVER=db01;DATABASE=firm;Trusted_Connection=yes;ClientCharset=UTF-8;"
           "TDS_Version=7.3;";
#ifndef Q_OS_WIN
    QTest::newRow("\"SQL SERVER\" outside Windows is FreeTDS")
        << QStringList{"SQL SERVER", "db01", "sa", "pw", ""}
        << "DRIVER={SQL SERVER};SERVER=db01;DATABASE=firm;UID=sa;PWD=pw;ClientCharset=UTF-8;TDS_Version=7.4;";
#endif
}

void tst_settings::connectionStringOfEachDriver()
{
    QFETCH(QStringList, settings);
    QFETCH(QString, expected);
    DbSettings s;
    s.engine = QStringLiteral("odbc");
    s.driver = settings.at(0);
    s.server = settings.at(1);
    s.user = settings.at(2);
    s.password = settings.at(3);
    s.options = settings.at(4);
    QCOMPARE(Engine::connectionString(s, QStringLiteral("firm")), expected);
    DbSettings::setCurrent(s);
    QCOMPARE(Engine::databaseNameFor(QStringLiteral("firm")), expected);
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
    QVERIFY(connectDatabaseRefusal().isEmpty());
    QCOMPARE(connectDatabase(QStringLiteral("other")), 2);
}

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
