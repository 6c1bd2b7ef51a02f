#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// jxc-sql as a support engineer uses it: create a company, pipe statements in,
// read the rows back as the server would print them.
class tst_jxcsql : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void printsRowsOrSaysWhatFailed_data();
    void printsRowsOrSaysWhatFailed();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run run(const QStringList &arguments, const QByteArray &input);

    QTemporaryDir m_dir;
    QString m_config;
};

tst_jxcsql::Run tst_jxcsql::run(const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(QStringLiteral(JXC_BINARY_DIR "/jxc-sql"),
                  QStringList{QStringLiteral("--config"), m_config} + arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
}

void tst_jxcsql::init()
{
    QVERIFY(m_dir.isValid());
    m_config = m_dir.filePath(QStringLiteral("jxc.ini"));
    if (!QFile::exists(m_config)) {
        QFile ini(m_config);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[database]\nengine=sqlite\ndata_dir=data\n");
        ini.close();
        const Run created = run({QStringLiteral("--init"), QStringLiteral("--db"), QStringLiteral("firm")},
                                QByteArray(
                                    "insert into supplier (supplier_id,supplier_name,short_name,category) values (12,'名称','名','')\n"
                                    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (7,'可乐','瓶','3.5','2','饮料')\n"
                                    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20260301-12-1','2026-03-01',12,7,'10','5.00','','t')\n"
                                    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20260301-12-1','2026-03-01',12,7,'30','7.00','','t')\n"));
        QCOMPARE(created.err, QString());
        QCOMPARE(created.exitCode, 0);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("data/firm.db"))));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("data/sqldb.db"))));
    }
}

void tst_jxcsql::printsRowsOrSaysWhatFailed_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("out");    // the rows printed
    QTest::addColumn<QString>("reason"); // part of the message on standard error
    QTest::addColumn<int>("exitCode");

    QTest::newRow("two-decimal conversion")
        << QByteArray("select convert(decimal(10,2),quantity*price) from purchar order by id") << "50.00\n210.00\n"
        << QString() << 0;
    QTest::newRow("weighted average is decimal")
        << QByteArray("select sum(quantity*price)/sum(quantity) from purchar where food_id=7") << "6.50\n" << QString() << 0;
    QTest::newRow("date as text") << QByteArray("select convert(varchar(10),date,20),purchar_no from purchar where id=2")
                                  << "2026-03-01\tcgd20260301-12-1\n" << QString() << 0;
    QTest::newRow("several columns, NULL fallback")
        << QByteArray("select food_id,isnull(null,'无'),cast(customer_price as varchar) from food_info")
        << "7\t无\t3.50\n" << QString() << 0;
    QTest::newRow("failing statement, the others run")
        << QByteArray("select count(*) from supplier\nselect name from nowhere") << "1\n" << "nowhere" << 2;
    QTest::newRow("unknown construct is named") << QByteArray("select getdate()") << "" << "getdate" << 2;
    // Stored, such bytes would come back as U+FFFD: no line runs, not even
    // the valid ones before.
    QTest::newRow("input not UTF-8")
        << QByteArray("insert into supplier (supplier_id,supplier_name,short_name,category) values (13,'ok','ok','')\n"
                      "select count(*) from supplier\nselect '\xe5\x90\x8d\xff'")
        << "" << "not valid UTF-8: line 3, byte 12 (0xff)" << 1;
}

void tst_jxcsql::printsRowsOrSaysWhatFailed()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, out);
    QFETCH(QString, reason);
    QFETCH(int, exitCode);
    const QStringList company{QStringLiteral("--db"), QStringLiteral("firm")};
    const Run result = run(company, input + '\n');
    QCOMPARE(result.out, out);
    QVERIFY2(reason.isEmpty() ? result.err.isEmpty() : result.err.contains(reason), qPrintable(result.err));
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(run(company, "select count(*) from supplier\n").out, QStringLiteral("1\n"));
}

QTEST_GUILESS_MAIN(tst_jxcsql)
#include "tst_jxcsql.moc"
