// A read that fails after the first rows have come (a damaged page further
// into the file) is said, and the rows read before it are not shown as if
// they were all.

#include "admin/rizhi.h"
#include "db/engine.h"
#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QDateTimeEdit>
#include <QFile>
#include <QPushButton>
#include <QtTest>

class tst_readfailure : public QObject
{
    Q_OBJECT

private slots:
    void failureAfterTheFirstRowsIsSaidAndNothingShown();
};

void tst_readfailure::failureAfterTheFirstRowsIsSaidAndNothingShown()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    // A log long enough for many pages, one entry a second; its last pages
    // are the last of the file.
    QVERIFY(FormTest::runOnFile(db.db(), "with recursive n(i) as (select 1 union all select i+1 from n where i<6000) "
                                         "insert into operator (ip,date,user_name,operator) "
                                         "select '10.0.0.1', datetime('2024-03-01 00:00:00', '+'||i||' seconds'), "
                                         "printf('%040d', i), '采购单' from n"));
    QSqlDatabase company = QSqlDatabase::database();
    company.close();
    QFile file(Engine::embeddedFile(QStringLiteral("testdb")));
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray header = file.read(18);
    const int pageSize = (uchar(header.at(16)) << 8) | uchar(header.at(17));
    QVERIFY(file.seek(file.size() - 3 * pageSize));
    QVERIFY(file.write(QByteArray(3 * pageSize, '\0')) == 3 * pageSize);
    file.close();
    QVERIFY(company.open());

    rizhi form;
    auto *table = form.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    MessageRecorder messages;
    const auto query = [&form](const char *end) {
        form.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit"))->setDateTime(QDateTime(QDate(2024, 3, 1), QTime(0, 0, 1)));
        form.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_2"))->setDateTime(QDateTime::fromString(QString::fromLatin1(end), Qt::ISODate));
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    };
    // The first entries are whole.
    query("2024-03-01 00:00:10");
    QCOMPARE(table->rowCount(), 10);
    QVERIFY(messages.isEmpty());

    query("2024-03-01 23:59:59");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("malformed")), qPrintable(messages.last().text));
    QCOMPARE(table->rowCount(), 0);
}

QTEST_MAIN(tst_readfailure)
#include "tst_readfailure.moc"
