#include "db/engine.h"
#include "db/sqlitedriver.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTemporaryDir>
#include <QtTest>

// The embedded driver under Qt's own SQL classes: queries with bound values,
// the query and table models, transactions, blocks of statements and the
// rules for opening a file.
class tst_EmbeddedDriver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void boundValues_data();
    void boundValues();
    void preparedStatementRunsAgain();
    void queryModelFetchesEveryRow();
    void tableModelFilterAndSort_data();
    void tableModelFilterAndSort();
    void tableModelInsertEditDelete();
    void transactions_data();
    void transactions();
    void blockIsAllOrNothing_data();
    void blockIsAllOrNothing();
    void blockRows_data();
    void blockRows();
    void numberTexts_data();
    void numberTexts();
    void serverCollation_data();
    void serverCollation();
    void serverCollationKeepsUniqueNames();
    void lastInsertIdAndAffectedRows();
    void engineErrorReachesCaller();
    void openingFiles_data();
    void openingFiles();
    void secondConnectionSeesCommits();
    void onlyTheCallersConnectionIsListed();
    void programEndsWithConnectionOpen();

private:
    QSqlDatabase db() const { return QSqlDatabase::database(QStringLiteral("drv")); }
    bool run(const QString &sql, QSqlDatabase d = QSqlDatabase());
    int count(const QString &table);
    QString file() const { return m_dir.filePath(QStringLiteral("company.db")); }

    QTemporaryDir m_dir;
};

bool tst_EmbeddedDriver::run(const QString &sql, QSqlDatabase d)
{
    QSqlQuery q(d.isValid() ? d : db());
    if (!q.exec(sql)) {
        qWarning() << sql << q.lastError().text();
        return false;
    }
    return true;
}

int tst_EmbeddedDriver::count(const QString &table)
{
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("select count(*) from %1").arg(table)) || !q.next()) {
        return -1;
    }
    return q.value(0).toInt();
}

void tst_EmbeddedDriver::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Engine::registerEmbeddedDriver();
}

void tst_EmbeddedDriver::init()
{
    QFile::remove(file());
    QSqlDatabase d = QSqlDatabase::addDatabase(Engine::embeddedDriverName(), QStringLiteral("drv"));
    d.setDatabaseName(file());
    d.setConnectOptions(Engine::createOption());
    QVERIFY2(d.open(), qPrintable(d.lastError().text()));
    // The register tables keep id last, as the finance tables do.
    QVERIFY(run(QStringLiteral("create table ledger (date text, company text, money real,"
                               " checker text default '', id integer primary key autoincrement)")));
    QVERIFY(run(QStringLiteral("create table notes (id integer primary key autoincrement, body text, amount real)")));
}

void tst_EmbeddedDriver::cleanup()
{
    {
        QSqlDatabase d = QSqlDatabase::database(QStringLiteral("drv"), false);
        d.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("drv"));
}

void tst_EmbeddedDriver::boundValues_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QVariant>("body");
    QTest::addColumn<QVariant>("amount");

    const QString positional = QStringLiteral("insert into notes (body,amount) values (?,?)");
    const QString named = QStringLiteral("insert into notes (body,amount) values (:body,:amount)");
    QTest::newRow("positional placeholders bind in order") << positional << false << QVariant("米") << QVariant(2.5);
    QTest::newRow("named placeholders bind by name") << named << true << QVariant("面") << QVariant(3.75);
    QTest::newRow("a quote in a value is stored as typed") << named << true << QVariant("it's") << QVariant(1.0);
    QTest::newRow("a value that looks like SQL stays a value")
        << positional << false << QVariant("'); delete from notes; --") << QVariant(0.0);
    QTest::newRow("NULL binds as NULL") << positional << false << QVariant(QVariant::String) << QVariant();
    QTest::newRow("a long Chinese text survives") << named << true << QVariant(QString(500, QChar(0x8d27)))
                                                  << QVariant(-4.25);
}

void tst_EmbeddedDriver::boundValues()
{
    QFETCH(QString, insert);
    QFETCH(bool, named);
    QFETCH(QVariant, body);
    QFETCH(QVariant, amount);

    QSqlQuery q(db());
    QVERIFY2(q.prepare(insert), qPrintable(q.lastError().text()));
    if (named) {
        // Bound in the other order than they stand.
        q.bindValue(QStringLiteral(":amount"), amount);
        q.bindValue(QStringLiteral(":body"), body);
    } else {
        q.addBindValue(body);
        q.addBindValue(amount);
    }
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    const qlonglong id = q.lastInsertId().toLongLong();

    QSqlQuery read(db());
    QVERIFY(read.prepare(QStringLiteral("select body, amount, isnull(amount,0)+1 from notes where id=:id")));
    read.bindValue(QStringLiteral(":id"), id);
    QVERIFY2(read.exec(), qPrintable(read.lastError().text()));
    QVERIFY(read.next());
    QCOMPARE(read.value(0).isNull(), body.isNull());
    QCOMPARE(read.value(0).toString(), body.toString());
    QCOMPARE(read.value(1).isNull(), amount.isNull());
    QCOMPARE(read.value(2).toDouble(), amount.toDouble() + 1);
    QVERIFY(!read.next());
    QCOMPARE(count(QStringLiteral("notes")), 1);
}

void tst_EmbeddedDriver::preparedStatementRunsAgain()
{
    QSqlQuery q(db());
    QVERIFY(q.prepare(QStringLiteral("insert into notes (body,amount) values (?,?)")));
    for (int i = 0; i < 3; ++i) {
        q.bindValue(0, QStringLiteral("行%1").arg(i));
        q.bindValue(1, i * 1.5);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QSqlQuery sum(db());
    QVERIFY(sum.prepare(QStringLiteral("select sum(amount), count(*) from notes where amount >= ?")));
    sum.addBindValue(1.5);
    QVERIFY(sum.exec() && sum.next());
    QCOMPARE(sum.value(0).toDouble(), 4.5);
    QCOMPARE(sum.value(1).toInt(), 2);
    sum.addBindValue(0);
    QVERIFY(sum.exec() && sum.next());
    QCOMPARE(sum.value(1).toInt(), 3);
}

void tst_EmbeddedDriver::queryModelFetchesEveryRow()
{
    // Inserted as the order forms save: blocks of 100 statements.
    for (int block = 0; block < 10; ++block) {
        QString sql;
        for (int i = 0; i < 100; ++i) {
            sql += QStringLiteral("insert into notes (body,amount) values ('第%1行','%2');")
                       .arg(block * 100 + i)
                       .arg(block * 100 + i);
        }
        QVERIFY(run(sql));
    }

    QSqlQueryModel model;
    model.setQuery(QStringLiteral("select cast(id as varchar)+'-'+body, amount from notes order by id"), db());
    QVERIFY2(!model.lastError().isValid(), qPrintable(model.lastError().text()));
    QVERIFY(model.rowCount() > 0);
    QVERIFY(model.rowCount() < 1000);
    QVERIFY(model.canFetchMore());
    while (model.canFetchMore()) {
        model.fetchMore();
    }
    QCOMPARE(model.rowCount(), 1000);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.data(model.index(999, 0)).toString(), QStringLiteral("1000-第999行"));
    QCOMPARE(model.data(model.index(300, 1)).toDouble(), 300.0);
    // Back to the start after reading the end.
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1-第0行"));
}

void tst_EmbeddedDriver::tableModelFilterAndSort_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("companies");

    QTest::newRow("no filter shows every row in id order") << QString()
                                                          << QStringList{"1-甲", "2-乙", "1-甲", "3-丙"};
    QTest::newRow("a filter of the form's kind")
        << "company='1-甲' and date between '2024-01-01' and '2024-01-31'" << QStringList{"1-甲"};
    QTest::newRow("a filter with SQL Server functions")
        << "isnull(checker,'')='' and cast(money as int)=20" << QStringList{"2-乙"};
    QTest::newRow("a filter matching nothing") << "company='无'" << QStringList{};
}

void tst_EmbeddedDriver::tableModelFilterAndSort()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, companies);

    QVERIFY(run(QStringLiteral(
        "insert into ledger (date,company,money,checker) values ('2024-01-05','1-甲','10.5','');"
        "insert into ledger (date,company,money,checker) values ('2024-01-06','2-乙','20.25',NULL);"
        "insert into ledger (date,company,money,checker) values ('2024-02-01','1-甲','30','王');"
        "insert into ledger (date,company,money,checker) values ('2024-02-02','3-丙','40','王');")));

    QSqlTableModel model(nullptr, db());
    model.setTable(QStringLiteral("ledger"));
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    model.setFilter(filter);
    model.setSort(4, Qt::AscendingOrder);
    QVERIFY2(model.select(), qPrintable(model.lastError().text()));
    QStringList got;
    for (int row = 0; row < model.rowCount(); ++row) {
        got << model.data(model.index(row, 1)).toString();
    }
    QCOMPARE(got, companies);
}

void tst_EmbeddedDriver::tableModelInsertEditDelete()
{
    QVERIFY(run(QStringLiteral("insert into ledger (date,company,money) values ('2024-01-05','1-甲','10')")));

    QSqlTableModel model(nullptr, db());
    model.setTable(QStringLiteral("ledger"));
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    QVERIFY(model.select());
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.primaryKey().fieldName(0), QStringLiteral("id"));

    // Insert a record that leaves id to the database.
    QSqlRecord rec = model.record();
    rec.setValue(QStringLiteral("date"), QStringLiteral("2024-01-06"));
    rec.setValue(QStringLiteral("company"), QStringLiteral("2-乙's"));
    rec.setValue(QStringLiteral("money"), 20.5);
    rec.setGenerated(QStringLiteral("id"), false);
    rec.remove(rec.indexOf(QStringLiteral("checker")));
    QVERIFY(model.insertRecord(-1, rec));
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));
    QCOMPARE(count(QStringLiteral("ledger")), 2);

    // Edit the first row by position, as the registers do.
    QVERIFY(model.select());
    QVERIFY(model.setData(model.index(0, 2), 11.25));
    QVERIFY(model.setData(model.index(0, 3), QStringLiteral("王")));
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));

    QSqlQuery q(db());
    QVERIFY(q.exec(QStringLiteral("select money, checker from ledger where company='1-甲'")) && q.next());
    QCOMPARE(q.value(0).toDouble(), 11.25);
    QCOMPARE(q.value(1).toString(), QStringLiteral("王"));
    QVERIFY(q.exec(QStringLiteral("select checker from ledger where company='2-乙''s'")) && q.next());
    QCOMPARE(q.value(0).toString(), QString()); // the column default
    q.finish();

    // Delete the second row.
    QVERIFY(model.select());
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(model.removeRows(1, 1));
    QVERIFY2(model.submitAll(), qPrintable(model.lastError().text()));
    QCOMPARE(count(QStringLiteral("ledger")), 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("1-甲"));
}

void tst_EmbeddedDriver::transactions_data()
{
    QTest::addColumn<bool>("commit");
    QTest::addColumn<int>("kept");

    QTest::newRow("commit keeps the rows") << true << 2;
    QTest::newRow("rollback discards the rows") << false << 0;
}

void tst_EmbeddedDriver::transactions()
{
    QFETCH(bool, commit);
    QFETCH(int, kept);

    QSqlDatabase d = db();
    auto *driver = qobject_cast<EmbeddedSqlDriver *>(d.driver());
    QVERIFY(driver);
    QVERIFY(d.transaction());
    QVERIFY(driver->inTransaction());
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('a')")));
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('b')")));
    QCOMPARE(count(QStringLiteral("notes")), 2);
    QVERIFY(commit ? d.commit() : d.rollback());
    QVERIFY(!driver->inTransaction());
    QCOMPARE(count(QStringLiteral("notes")), kept);
}

void tst_EmbeddedDriver::blockIsAllOrNothing_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<bool>("outerTransaction");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QStringList>("bodies");

    const QString good = QStringLiteral("insert into notes (body) values ('1');"
                                        "insert into notes (body) values ('2');"
                                        "update notes set body='2''' where body='2';");
    const QString bad = QStringLiteral("insert into notes (body) values ('1');"
                                       "insert into notes (body) values ('2');"
                                       "insert into nosuch (body) values ('3')");
    QTest::newRow("three statements succeed together") << good << false << true << QStringList{"1", "2'"};
    QTest::newRow("third of three fails: none kept") << bad << false << false << QStringList{};
    QTest::newRow("inside a transaction all three succeed") << good << true << true
                                                            << QStringList{"caller", "1", "2'"};
    QTest::newRow("inside a transaction the third fails: the caller's own row stays")
        << bad << true << false << QStringList{"caller"};
    QTest::newRow("a trigger body is one statement")
        << QStringLiteral("create trigger note_copy after insert on notes when new.body='1' begin"
                          " insert into notes (body) values (case when 1=1 then 'copy' end);"
                          " update notes set amount=1 where body='copy'; end;"
                          "insert into notes (body) values ('1')")
        << false << true << QStringList{"1", "copy"};
    QTest::newRow("a semicolon inside a literal does not split")
        << QStringLiteral("insert into notes (body) values ('a;b');insert into notes (body) values ('c')")
        << false << true << QStringList{"a;b", "c"};
}

void tst_EmbeddedDriver::blockIsAllOrNothing()
{
    QFETCH(QString, block);
    QFETCH(bool, outerTransaction);
    QFETCH(bool, succeeds);
    QFETCH(QStringList, bodies);

    QSqlDatabase d = db();
    auto *driver = qobject_cast<EmbeddedSqlDriver *>(d.driver());
    if (outerTransaction) {
        QVERIFY(d.transaction());
        QVERIFY(run(QStringLiteral("insert into notes (body) values ('caller')")));
    }
    QSqlQuery q(d);
    QCOMPARE(q.exec(block), succeeds);
    if (!succeeds) {
        QVERIFY(q.lastError().text().contains(QLatin1String("nosuch")));
    }
    // The block leaves the caller's transaction as it found it.
    QCOMPARE(driver->inTransaction(), outerTransaction);
    if (outerTransaction) {
        QVERIFY(d.commit());
    }

    QVERIFY(q.exec(QStringLiteral("select body from notes order by id")));
    QStringList got;
    while (q.next()) {
        got << q.value(0).toString();
    }
    QCOMPARE(got, bodies);
}

void tst_EmbeddedDriver::blockRows_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("rows of a select after inserts")
        << "insert into notes (body) values ('x');insert into notes (body) values ('y');"
           "select body from notes order by id;"
        << QStringList{"x", "y"};
    QTest::newRow("rows of the last select, not of an earlier one")
        << "select 'first';insert into notes (body) values ('z');select body+'!' from notes" << QStringList{"z!"};
    QTest::newRow("rows of a select before a later write")
        << "select 'kept';insert into notes (body) values ('w')" << QStringList{"kept"};
    QTest::newRow("no rows from writes only") << "insert into notes (body) values ('v');" << QStringList{};
}

void tst_EmbeddedDriver::blockRows()
{
    QFETCH(QString, block);
    QFETCH(QStringList, rows);

    QSqlQuery q(db());
    QVERIFY2(q.exec(block), qPrintable(q.lastError().text()));
    QCOMPARE(q.isSelect(), !rows.isEmpty());
    QStringList got;
    while (q.next()) {
        got << q.value(0).toString();
    }
    QCOMPARE(got, rows);
}

void tst_EmbeddedDriver::numberTexts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("rows"); // body|amount

    QTest::newRow("an amount in exponent notation is refused, as the server refuses it")
        << "insert into notes (body,amount) values ('投影仪','1.23457e+06')" << false << QStringList{};
    QTest::newRow("an amount with two decimals is stored")
        << "insert into notes (body,amount) values ('投影仪','1234567.00')" << true
        << QStringList{"投影仪|1234567"};
    QTest::newRow("the same text in a text column is kept as text")
        << "insert into notes (body,amount) values ('1.2e+06','5')" << true << QStringList{"1.2e+06|5"};
    QTest::newRow("an update to an amount in exponent notation is refused")
        << "insert into notes (body,amount) values ('a','1');update notes set body='b',amount='1e5' where body='a'"
        << false << QStringList{};
    QTest::newRow("a block with a refused line keeps none of its lines")
        << "insert into notes (body,amount) values ('a','1');"
           "insert into notes (body,amount) values ('b','2E6');"
        << false << QStringList{};
}

void tst_EmbeddedDriver::numberTexts()
{
    QFETCH(QString, sql);
    QFETCH(bool, accepted);
    QFETCH(QStringList, rows);

    QSqlQuery q(db());
    QCOMPARE(q.exec(sql), accepted);
    if (!accepted) {
        QCOMPARE(q.lastError().text(), QStringLiteral("Error converting data type varchar to numeric."));
    }
    QVERIFY(q.exec(QStringLiteral("select body, amount from notes order by id")));
    QStringList got;
    while (q.next()) {
        got << q.value(0).toString() + QLatin1Char('|') + q.value(1).toString();
    }
    QCOMPARE(got, rows);
}

void tst_EmbeddedDriver::serverCollation_data()
{
    QTest::addColumn<QString>("select");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("trailing blanks do not count")
        << "select name from staff where name='clerk  '" << QStringList{"clerk"};
    QTest::newRow("leading blanks do") << "select name from staff where name=' clerk'" << QStringList{};
    QTest::newRow("letter case does not count")
        << "select name from staff where name='CLERK'" << QStringList{"clerk"};
    QTest::newRow("Chinese sorts by pinyin, after Latin letters")
        << "select name from staff order by name" << QStringList{"Bob", "clerk", "办公用品", "食品", "文具"};
    QTest::newRow("grouping merges names differing in case and trailing blanks")
        << "select count(*) from staff group by note order by note" << QStringList{"2", "3"};
    QTest::newRow("a range follows the same order")
        << "select name from staff where name between '食' and '文具' order by name" << QStringList{"食品", "文具"};
}

void tst_EmbeddedDriver::serverCollation()
{
    QFETCH(QString, select);
    QFETCH(QStringList, rows);

    QVERIFY(run(QStringLiteral("create table staff (id integer primary key autoincrement,"
                               " name text collate Chinese_PRC_CI_AS, note text collate Chinese_PRC_CI_AS)")));
    QVERIFY(run(QStringLiteral("create index ix_staff_name on staff (name)")));
    QVERIFY(run(QStringLiteral(
        "insert into staff (name,note) values ('食品','a');insert into staff (name,note) values ('clerk','A ');"
        "insert into staff (name,note) values ('文具','b');insert into staff (name,note) values ('办公用品','B');"
        "insert into staff (name,note) values ('Bob','b  ')")));

    QSqlQuery q(db());
    QVERIFY2(q.exec(select), qPrintable(q.lastError().text()));
    QStringList got;
    while (q.next()) {
        got << q.value(0).toString();
    }
    QCOMPARE(got, rows);
}

void tst_EmbeddedDriver::serverCollationKeepsUniqueNames()
{
    QVERIFY(run(QStringLiteral("create table staff (name text collate Chinese_PRC_CI_AS primary key)")));
    QVERIFY(run(QStringLiteral("insert into staff (name) values ('manager')")));
    QSqlQuery q(db());
    QVERIFY(!q.exec(QStringLiteral("insert into staff (name) values ('Manager ')")));
    QVERIFY(q.exec(QStringLiteral("insert into staff (name) values ('manager2')")));
    QCOMPARE(count(QStringLiteral("staff")), 2);
}

void tst_EmbeddedDriver::lastInsertIdAndAffectedRows()
{
    QSqlQuery q(db());
    QVERIFY(q.exec(QStringLiteral("insert into notes (body) values ('a')")));
    const qlonglong first = q.lastInsertId().toLongLong();
    QVERIFY(first > 0);
    QVERIFY(q.exec(QStringLiteral("insert into notes (body) values ('b')")));
    QCOMPARE(q.lastInsertId().toLongLong(), first + 1);
    QVERIFY(q.exec(QStringLiteral("insert into notes (body) values ('c');insert into notes (body) values ('d')")));
    QCOMPARE(q.lastInsertId().toLongLong(), first + 3);

    QVERIFY(q.exec(QStringLiteral("update notes set amount='1.5' where body<>'a'")));
    QCOMPARE(q.numRowsAffected(), 3);
    QVERIFY(q.exec(QStringLiteral("delete from notes where id=%1").arg(first)));
    QCOMPARE(q.numRowsAffected(), 1);
}

void tst_EmbeddedDriver::engineErrorReachesCaller()
{
    QSqlQuery q(db());
    QVERIFY(!q.exec(QStringLiteral("select body from nosuch")));
    QVERIFY(q.lastError().isValid());
    QVERIFY2(q.lastError().text().contains(QLatin1String("no such table: nosuch")),
             qPrintable(q.lastError().text()));
    QVERIFY(!q.isActive());
    // The same query object works again afterwards.
    QVERIFY(q.exec(QStringLiteral("select 1")) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
}

void tst_EmbeddedDriver::openingFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // a null array: no file
    QTest::addColumn<bool>("createOption");
    QTest::addColumn<QString>("error");      // empty: it opens

    QTest::newRow("a missing file is refused without the create option")
        << QByteArray() << false << "does not exist";
    QTest::newRow("the create option creates a missing file") << QByteArray() << true << QString();
    QTest::newRow("a file that is no database is refused")
        << QByteArray(4096, 'x') << true << "is not a database file";
}

void tst_EmbeddedDriver::openingFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, createOption);
    QFETCH(QString, error);

    const QString name = m_dir.filePath(QStringLiteral("opened.db"));
    QFile::remove(name);
    if (!content.isNull()) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(Engine::embeddedDriverName(), QStringLiteral("other"));
        d.setDatabaseName(name);
        if (createOption) {
            d.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000;") + Engine::createOption());
        }
        QCOMPARE(d.open(), error.isEmpty());
        QVERIFY2(d.lastError().text().contains(error), qPrintable(d.lastError().text()));
        if (error.isEmpty()) {
            QSqlQuery q(d);
            QVERIFY(q.exec(QStringLiteral("create table t (a text)")));
        }
        d.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QCOMPARE(QFile::exists(name), !content.isNull() || error.isEmpty());
}

void tst_EmbeddedDriver::secondConnectionSeesCommits()
{
    QVERIFY(run(QStringLiteral("insert into notes (body) values ('one')")));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(Engine::embeddedDriverName(), QStringLiteral("other"));
        other.setDatabaseName(file());
        QVERIFY2(other.open(), qPrintable(other.lastError().text()));

        // A reader left in the middle of its rows must not keep the other
        // connection from committing.
        QSqlQuery reader(db());
        QVERIFY(reader.exec(QStringLiteral("select body from notes")) && reader.next());

        QVERIFY(other.transaction());
        QVERIFY(run(QStringLiteral("insert into notes (body) values ('two')"), other));
        QVERIFY2(other.commit(), qPrintable(other.lastError().text()));
        reader.finish();
        QCOMPARE(count(QStringLiteral("notes")), 2);
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

void tst_EmbeddedDriver::onlyTheCallersConnectionIsListed()
{
    // Code that walks QSqlDatabase::connectionNames() to close everything
    // must not find, and remove, the file connection inside the driver.
    const QStringList before = QSqlDatabase::connectionNames();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(Engine::embeddedDriverName(), QStringLiteral("other"));
        other.setDatabaseName(file());
        QVERIFY(other.open());
        QCOMPARE(QSqlDatabase::connectionNames().size(), before.size() + 1);
        QSqlQuery q(other);
        QVERIFY(q.exec(QStringLiteral("select 1")));
        other.close();
        QVERIFY(!q.isActive());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QCOMPARE(QSqlDatabase::connectionNames(), before);
}

void tst_EmbeddedDriver::programEndsWithConnectionOpen()
{
    // Qt closes the connections left open when the program ends; the
    // driver's own cleanup then runs inside Qt's and must not hang it.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--leave-open"), m_dir.filePath(QStringLiteral("exit.db"))});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

// The child of programEndsWithConnectionOpen: opens a connection, uses it and
// ends without closing it.
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
