#include "db/engine.h"
#include "db/sqlitedriver.h"

#include <QtSql>
#include <QtTest>

#include <sqlite3.h>

// The embedded driver under Qt's own SQL classes.
class tst_EmbeddedDriver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boundValues_data();
    void boundValues();
    void blocks_data();
    void blocks();
    void secondConnectionSeesCommits();
    void readBreakingOffReportsError_data();
    void readBreakingOffReportsError();
    void repeatedTextsReadTheirOwnRowsAndFollowTheirTable();
    void literalsKeepTheirValues_data();
    void literalsKeepTheirValues();
    void failedRollbackLeavesNoTransactionOpen();
    void programEndsWithConnectionOpen();

private:
    QSqlDatabase db() const { return QSqlDatabase::database(QStringLiteral("drv")); }
    bool run(const QString &sql, QSqlDatabase d = QSqlDatabase());
    // The rows of sql, or those left in q, each its values joined by "|".
    QStringList rows(const QString &sql);
    static QStringList rows(QSqlQuery &q);
    EmbeddedSqlDriver *driver() const { return qobject_cast<EmbeddedSqlDriver *>(db().driver()); }
    QString file() const { return m_dir.filePath(QStringLiteral("company.db")); }

    QTemporaryDir m_dir;
};

bool tst_EmbeddedDriver::run(const QString &sql, QSqlDatabase d)
{
    QSqlQuery q(d.isValid() ? d : db());
    const bool ok = q.exec(sql);
    if (!ok) {
        qWarning() << sql << q.lastError().text();
    }
    return ok;
}

QStringList tst_EmbeddedDriver::rows(const QString &sql)
{
    QSqlQuery q(db());
    q.exec(sql);
    return rows(q);
}

QStringList tst_EmbeddedDriver::rows(QSqlQuery &q)
{
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < q.record().count(); ++c) {
            values << q.value(c).toString();
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

void tst_EmbeddedDriver::init()
{
    Engine::registerEmbeddedDriver();
    QFile::remove(file());
    QSqlDatabase d = QSqlDatabase::addDatabase(Engine::embeddedDriverName(), QStringLiteral("drv"));
    d.setDatabaseName(file());
    d.setConnectOptions(Engine::createOption());
    QVERIFY2(d.open(), qPrintable(d.lastError().text()));
    QVERIFY(run(QStringLiteral("create table notes (id integer primary key autoincrement, body text, amount real)")));
}

void tst_EmbeddedDriver::cleanup()
{
    QSqlDatabase::database(QStringLiteral("drv"), false).close();
    QSqlDatabase::removeDatabase(QStringLiteral("drv"));
}

// The program binds positionally only.
void tst_EmbeddedDriver::boundValues_data()
{
    QTest::addColumn<QVariant>("body");
    QTest::addColumn<QVariant>("amount");

    QTest::newRow("text and amount bind in order") << QVariant("it's 米") << QVariant(2.5);
    QTest::newRow("a value that looks like SQL stays a value") << QVariant("'); delete from notes; --") << QVariant(0.0);
    QTest::newRow("NULL binds as NULL") << QVariant(QVariant::String) << QVariant();
    QTest::newRow("a long Chinese text survives") << QVariant(QString(500, QChar(0x8d27))) << QVariant(-4.25);
}

void tst_EmbeddedDriver::boundValues()
{
    QFETCH(QVariant, body);
    QFETCH(QVariant, amount);

    QSqlQuery q(db());
    QVERIFY(q.prepare(QStringLiteral("insert into notes (body,amount) values (?,?)")));
    q.addBindValue(body);
    q.addBindValue(amount);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));

    // A value that ran as SQL would have emptied the table.
    QSqlQuery read(db());
    QVERIFY(read.exec(QStringLiteral("select body, amount, isnull(amount,0)+1 from notes")) && read.next());
    QCOMPARE(read.value(0).isNull(), body.isNull());
    QCOMPARE(read.value(0).toString(), body.toString());
    QCOMPARE(read.value(1).isNull(), amount.isNull());
    QCOMPARE(read.value(2).toDouble(), amount.toDouble() + 1);
}

void tst_EmbeddedDriver::blocks_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("outer");        // the caller's transaction around it: "", "commit" or "rollback"
    QTest::addColumn<QString>("error");        // empty: the block succeeds
    QTest::addColumn<QStringList>("selected"); // the rows the block returns
    QTest::addColumn<QStringList>("stored");   // body|amount of the notes afterwards

    const QString insert = QStringLiteral("insert into notes (body) values ('%1');");
    const QString good = insert.arg(1) + insert.arg(2) + QStringLiteral("update notes set body='2''' where body='2';");
    const QString bad = insert.arg(1) + insert.arg(2) + QStringLiteral("insert into nosuch (body) values ('3')");
    const QString nosuch = QStringLiteral("no such table: nosuch");
    const QString numeric = QStringLiteral("Error converting data type varchar to numeric.");
    QTest::newRow("three statements succeed together") << good << "" << "" << QStringList{} << QStringList{"1|", "2'|"};
    QTest::newRow("third of three fails: none kept") << bad << "" << nosuch << QStringList{} << QStringList{};
    QTest::newRow("inside a transaction the third fails: the caller's own row stays")
        << bad << "commit" << nosuch << QStringList{} << QStringList{"caller|"};
    QTest::newRow("the caller's rollback discards the block")
        << good << "rollback" << "" << QStringList{} << QStringList{};
    QTest::newRow("a trigger body is one statement")
        << "create trigger note_copy after insert on notes when new.body='1' begin"
           " insert into notes (body) values (case when 1=1 then 'copy' end);"
           " update notes set amount=1 where body='copy'; end;" + insert.arg(1)
        << "" << "" << QStringList{} << QStringList{"1|", "copy|1"};
    QTest::newRow("a semicolon inside a literal does not split")
        << insert.arg("a;b") + insert.arg("c") << "" << "" << QStringList{} << QStringList{"a;b|", "c|"};

    QTest::newRow("rows of a select after inserts")
        << insert.arg("x") + insert.arg("y") + "select body from notes order by id;" << "" << ""
        << QStringList{"x", "y"} << QStringList{"x|", "y|"};
    QTest::newRow("rows of the last select, not of an earlier one")
        << "select 'first';" + insert.arg("z") + "select body+'!' from notes" << "" << ""
        << QStringList{"z!"} << QStringList{"z|"};
    QTest::newRow("rows of a select before a later write")
        << "select 'kept';" + insert.arg("w") << "" << "" << QStringList{"kept"} << QStringList{"w|"};

    // The server refuses to read "1.2e+06" as a number; SQLite would store it.
    const QString amount = QStringLiteral("insert into notes (body,amount) values ('%1','%2');");
    QTest::newRow("an amount in exponent notation is refused")
        << amount.arg("投影仪", "1.23457e+06") << "" << numeric << QStringList{} << QStringList{};
    QTest::newRow("exponent notation in a text column is kept as text")
        << amount.arg("1.2e+06", "5") << "" << "" << QStringList{} << QStringList{"1.2e+06|5"};
    QTest::newRow("an update to an amount in exponent notation is refused, with its block")
        << amount.arg("a", "1") + "update notes set body='b',amount='1e5' where body='a'" << "" << numeric
        << QStringList{} << QStringList{};
}

void tst_EmbeddedDriver::blocks()
{
    QFETCH(QString, block);
    QFETCH(QString, outer);
    QFETCH(QString, error);
    QFETCH(QStringList, selected);
    QFETCH(QStringList, stored);

    QSqlDatabase d = db();
    if (!outer.isEmpty()) {
        QVERIFY(d.transaction());
        QVERIFY(run(QStringLiteral("insert into notes (body) values ('caller')")));
    }
    QSqlQuery q(d);
    QCOMPARE(q.exec(block), error.isEmpty());
    QVERIFY2(q.lastError().text().contains(error), qPrintable(q.lastError().text()));
    QCOMPARE(q.isActive(), error.isEmpty());
    QCOMPARE(q.isSelect(), !selected.isEmpty());
    QCOMPARE(rows(q), selected);
    // The block leaves the caller's transaction as it found it.
    QCOMPARE(driver()->inTransaction(), !outer.isEmpty());
    QVERIFY(outer.isEmpty() || (outer == QLatin1String("commit") ? d.commit() : d.rollback()));
    QVERIFY(!driver()->inTransaction());
    // The same query object, failed or not, reads again.
    QVERIFY2(q.exec(QStringLiteral("select body, amount from notes order by id")), qPrintable(q.lastError().text()));
    QCOMPARE(rows(q), stored);
}

void tst_EmbeddedDriver::secondConnectionSeesCommits()
{
    // Code that walks connectionNames() to close everything must not find
    // the file connection inside the driver.
    const QStringList before = QSqlDatabase::connectionNames();
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('one')")));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(Engine::embeddedDriverName(), QStringLiteral("other"));
        other.setDatabaseName(file());
        QVERIFY2(other.open(), qPrintable(other.lastError().text()));
        QCOMPARE(QSqlDatabase::connectionNames().size(), before.size() + 1);

        // A reader left in the middle of its rows must not keep the other
        // connection from committing.
        QSqlQuery reader(db());
        QVERIFY(reader.exec(QStringLiteral("select body from notes")) && reader.next());
        QVERIFY(other.transaction());
        QSqlQuery write(other);
        QVERIFY(write.exec(QStringLiteral("insert into notes (body) values ('two')")));
        QVERIFY2(other.commit(), qPrintable(other.lastError().text()));
        reader.finish();
        QCOMPARE(rows(QStringLiteral("select count(*) from notes")), QStringList{"2"});
        other.close();
        QVERIFY(!write.isActive());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QCOMPARE(QSqlDatabase::connectionNames(), before);
}

void tst_EmbeddedDriver::readBreakingOffReportsError_data()
{
    QTest::addColumn<bool>("forwardOnly");
    QTest::newRow("forward only") << true;
    QTest::newRow("scrollable") << false;
}

void tst_EmbeddedDriver::readBreakingOffReportsError()
{
    QFETCH(bool, forwardOnly);
    QString block;
    for (int i = 1; i <= 600; ++i) {
        block += QStringLiteral("insert into notes (body) values ('%1');").arg(i == 500 ? QStringLiteral("x") : QString::number(i));
    }
    QVERIFY(run(block));
    QSqlQuery q(db());
    q.setForwardOnly(forwardOnly);
    QVERIFY2(q.exec(QStringLiteral("select cast(body as decimal(10,2)) from notes order by id")),
             qPrintable(q.lastError().text()));
    QCOMPARE(rows(q).size(), 499);
    QVERIFY(q.lastError().text().contains(QStringLiteral("Error converting data type varchar to numeric.")));
    QVERIFY(!q.isActive());
}

void tst_EmbeddedDriver::repeatedTextsReadTheirOwnRowsAndFollowTheirTable()
{
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('a');insert into notes (body) values ('b')")));
    const QString select = QStringLiteral("select * from notes order by id");
    // Two readers of one text at once each read their own rows.
    QSqlQuery first(db());
    QSqlQuery second(db());
    QVERIFY(first.exec(select) && first.next());
    QVERIFY(second.exec(select) && second.next() && second.next());
    QVERIFY(first.next());
    QCOMPARE(first.value(1).toString(), QStringLiteral("b"));
    QVERIFY(!first.next() && !second.next());
    // A kept statement follows a change of its table.
    QVERIFY(run(QStringLiteral("alter table notes add extra text default 'e'")));
    QCOMPARE(rows(select), (QStringList{"1|a||e", "2|b||e"}));
}

void tst_EmbeddedDriver::literalsKeepTheirValues_data()
{
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("type");
    QTest::newRow("empty text is not NULL") << "''" << "text";
    QTest::newRow("quote inside a text") << "'it''s ?'" << "text";
    QTest::newRow("integer") << "-42" << "integer";
    QTest::newRow("decimal with many digits") << "0.30000000000000004" << "real";
    QTest::newRow("exponent") << "1.5e3" << "real";
    QTest::newRow("blob") << "x'41'" << "blob";
    QTest::newRow("expression") << "3*0.1" << "real";
}

// Literals taken out as parameters must store what the literal would have.
void tst_EmbeddedDriver::literalsKeepTheirValues()
{
    QFETCH(QString, literal);
    QFETCH(QString, type);
    {
        QSqlDatabase raw = Engine::addSqliteDialectConnection(QStringLiteral("raw"));
        raw.setDatabaseName(file());
        QVERIFY(raw.open());
        QVERIFY(run(QStringLiteral("create table anything (a, matched)"), raw));
        QVERIFY(run(QStringLiteral("insert into anything (a) values (%1)").arg(literal), raw));
        QVERIFY(run(QStringLiteral("update anything set matched=1 where a=%1").arg(literal), raw));
        QSqlQuery q(raw);
        QVERIFY(q.exec(QStringLiteral("select typeof(a), a=%1, matched from anything").arg(literal)));
        QCOMPARE(rows(q), QStringList{type + "|1|1"});
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

// A rollback the file refuses would leave the transaction open, holding
// the write lock against every other workstation.
void tst_EmbeddedDriver::failedRollbackLeavesNoTransactionOpen()
{
    QSqlDatabase d = db();
    sqlite3 *handle = *static_cast<sqlite3 *const *>(d.driver()->handle().constData());
    sqlite3_set_authorizer(
        handle,
        [](void *, int action, const char *what, const char *, const char *, const char *) {
            return action == SQLITE_TRANSACTION && qstrcmp(what, "ROLLBACK") == 0 ? SQLITE_DENY : SQLITE_OK;
        },
        nullptr);
    QVERIFY(d.transaction());
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('undone')")));
    QVERIFY(!d.rollback());
    QVERIFY(d.lastError().text().contains(QStringLiteral("not authorized")));
    QVERIFY(!driver()->inTransaction());
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('next')")));
    QCOMPARE(rows(QStringLiteral("select body from notes")), QStringList{"next"});
}

// Qt closes the connections left open when the program ends; the driver's
// own cleanup then runs inside Qt's and must not hang it.
void tst_EmbeddedDriver::programEndsWithConnectionOpen()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--leave-open"), m_dir.filePath(QStringLiteral("exit.db"))});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

static int leaveConnectionOpen(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Engine::registerEmbeddedDriver();
    QSqlDatabase d = QSqlDatabase::addDatabase(Engine::embeddedDriverName());
    d.setDatabaseName(QString::fromLocal8Bit(argv[2]));
    d.setConnectOptions(Engine::createOption());
    if (!d.open()) {
        return 2;
    }
    QSqlQuery q(d);
    return q.exec(QStringLiteral("select 1")) ? 0 : 3;
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--leave-open") == 0) {
        return leaveConnectionOpen(argc, argv);
    }
    QCoreApplication app(argc, argv);
    tst_EmbeddedDriver test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_embeddeddriver.moc"
