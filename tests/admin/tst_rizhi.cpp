#include "admin/rizhi.h"
#include "support/testdb.h"
#include "tablehelpers.h"

#include <QDateTimeEdit>

class tst_rizhi : public QObject
{
    Q_OBJECT

private slots:
    void showsTheEntriesOfTheSpan_data();
    void showsTheEntriesOfTheSpan();
};

void tst_rizhi::showsTheEntriesOfTheSpan_data()
{
    QTest::addColumn<QString>("start"); // empty: the editors as opened
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("units");

    QTest::newRow("opened at now, spanning no entry") << QString() << QString() << QStringList();
    QTest::newRow("span holding the first two entries")
        << "2024-03-01 00:00:00" << "2024-03-02 23:59:59" << QStringList({"客户资料", "用户管理"});
    QTest::newRow("both ends are inclusive, every column shown")
        << "2024-03-02 09:30:00" << "2024-03-02 09:30:00" << QStringList({"客户资料"});
    QTest::newRow("span without entries") << "2024-03-03 00:00:00" << "2024-03-04 23:59:59" << QStringList();
    QTest::newRow("start after end") << "2024-03-05 17:00:00" << "2024-03-01 08:00:00" << QStringList();
}

void tst_rizhi::showsTheEntriesOfTheSpan()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, units);

    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("delete from operator")));
    for (const char *entry : {"'10.0.0.1','2024-03-01 08:00:00','manager','用户管理'",
                              "'10.0.0.2','2024-03-02 09:30:00',' test001','客户资料'",
                              "'10.0.0.3','2024-03-05 17:00:00','alice','商品资料'"}) {
        QVERIFY(db.exec(QStringLiteral("insert into operator (ip,date,user_name,operator) values (%1)")
                            .arg(QString::fromUtf8(entry))));
    }
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ShownForm<rizhi> form;
    auto *from = form.child<QDateTimeEdit>("dateTimeEdit");
    auto *to = form.child<QDateTimeEdit>("dateTimeEdit_2");
    QCOMPARE(form.table()->rowCount(), 0);
    if (start.isEmpty()) {
        QVERIFY(from->dateTime() >= before && to->dateTime() <= QDateTime::currentDateTime());
        QCOMPARE(form.click("pushButton"), QStringList());
    } else {
        // What an earlier query showed is replaced.
        for (const QStringList &span : {QStringList{"2024-01-01 00:00:00", "2024-12-31 23:59:59"}, QStringList{start, end}}) {
            from->setDateTime(QDateTime::fromString(span.first(), Qt::ISODate));
            to->setDateTime(QDateTime::fromString(span.last(), Qt::ISODate));
            QCOMPARE(form.click("pushButton"), QStringList());
        }
    }

    // No order is asked of the database.
    QStringList shown = columnTexts(form.table(), 3);
    shown.sort();
    QCOMPARE(shown, units);
    if (start == end && !start.isEmpty()) {
        QCOMPARE(FormTest::cell(form.table(), 0, 0) + FormTest::cell(form.table(), 0, 1).left(19)
                     + FormTest::cell(form.table(), 0, 2),
                 QStringLiteral("10.0.0.22024-03-02 09:30:00 test001"));
        QCOMPARE(FormTest::cell(form.table(), 0, 4), db.scalar(QStringLiteral("select id from operator where operator='客户资料'")));
    }
}

QTEST_MAIN(tst_rizhi)
#include "tst_rizhi.moc"
