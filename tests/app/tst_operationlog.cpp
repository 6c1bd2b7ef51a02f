#include "app/loginstate.h"
#include "app/operationlog.h"
#include "support/testdb.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QtTest>

class tst_operationlog : public QObject
{
    Q_OBJECT

private slots:
    void eachOpeningWritesARowWithTheNameAsTyped();
    void aFailedWriteIsSilent();
};

void tst_operationlog::eachOpeningWritesARowWithTheNameAsTyped()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("delete from operator")));
    LoginState::userName = QStringLiteral(" test001 ");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    OperationLog(QStringLiteral("用户管理"));
    OperationLog(QStringLiteral("用户管理"));

    const QList<QStringList> rows = db.rows(
        QStringLiteral("select ip,convert(varchar(19),date,20),user_name,operator from operator order by id"));
    QCOMPARE(rows.size(), 2);
    for (const QStringList &row : rows) {
        const QDateTime at = QDateTime::fromString(row.at(1), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        QVERIFY2(at >= before.addSecs(-1) && at <= QDateTime::currentDateTime().addSecs(1), qPrintable(row.at(1)));
        QCOMPARE(row, (QStringList{workstationAddress(), row.at(1), " test001 ", "用户管理"}));
    }
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(workstationAddress()).hasMatch());
}

void tst_operationlog::aFailedWriteIsSilent()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("drop table operator")));

    OperationLog(QStringLiteral("商品资料"));

    QVERIFY(db.isValid());
}

QTEST_GUILESS_MAIN(tst_operationlog)
#include "tst_operationlog.moc"
