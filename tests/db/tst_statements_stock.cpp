// The long statements of the stock documents and reports, taken from the
// forms that send them, run on the embedded engine against the rows of
// StatementFixture: the joins that must keep rows of unknown partners and
// goods, the rounding of totals and the stock arithmetic.

#include "stock/erp.h"
#include "stock/inventory.h"
#include "stock/printdb1.h"
#include "stock/printdb2.h"
#include "stock/profit.h"
#include "stock/purchar.h"
#include "stock/purchar_info.h"
#include "stock/sell.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QtTest>

using namespace StatementText;

class tst_statements_stock : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writes_data();
    void writes();

private:
    FixtureDb m_fixture;
};

// Cost prices: 打印纸 6.50 on 2024-03-05 (10 at 5.00 and 30 at 7.00), 1.25 on
// 2024-03-10, else 5.00; 签字笔 2.50 on 2024-03-10, else 3.20.
void tst_statements_stock::reads_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("ordered");

    const OrderFormSetup purchase = purchar::setup();
    const OrderFormSetup delivery = sell::setup();
    const QString march1 = QStringLiteral("2024-03-01");
    const QString march31 = QStringLiteral("2024-03-31");

    QTest::newRow("purchar: order numbers of the day")
        << purchase.existingNumbers.arg(q("2024-03-05"), n(11))
        << QStringList{"cgd20240305-11-1", "cgd20240305-11-2", "cgd20240305-11-5"} << false;
    // Totals are rounded half away from zero (1.50 x 3.35 = 5.025 gives
    // 5.03), the clerk is the greatest of the lines'. Lists come by order
    // number, lines in the order they were entered.
    QTest::newRow("purchar: orders of all suppliers")
        << purchase.orderListAll.arg(march1, QStringLiteral("2024-03-12"))
        << QStringList{"cgd20240301-13-1|2024-03-01|13-农夫山泉|1|175.00|clerk",
                       "cgd20240305-11-1|2024-03-05|11-华联纸业|2|110.00|manager",
                       "cgd20240305-11-2|2024-03-05|11-华联纸业|1|36.00|clerk",
                       "cgd20240305-11-5|2024-03-05|11-华联纸业|1|2.00|clerk",
                       "cgd20240305-12-1|2024-03-05|12-晨光文具|1|210.00|clerk",
                       "cgd20240310-12-1|2024-03-10|12-晨光文具|2|12.50|manager",
                       "cgd20240312-99-1|2024-03-12|<NULL>|1|5.03|clerk"}
        << true;
    QTest::newRow("purchar: orders of one supplier")
        << purchase.orderListOne.arg(QStringLiteral("2024-02-01"), QStringLiteral("2024-03-05"), n(12))
        << QStringList{"cgd20240305-12-1|2024-03-05|12-晨光文具|1|210.00|clerk"} << false;
    QTest::newRow("purchar: line of goods missing from the master table")
        << purchase.orderLines.arg(q("cgd20240305-11-5"))
        << QStringList{"999|<NULL>|<NULL>|2|1|2|样品|9"} << false;
    QTest::newRow("purchar: goods search with purchase price to the cent")
        << purchase.goodsList
        << QStringList{"101-打印纸-箱-5.00", "102-签字笔-盒-3.20", "103-矿泉水-箱-18.00", "104-咖啡豆-袋-60.00"}
        << true;
    QTest::newRow("sell: notes of all customers, one of an unknown customer")
        << delivery.orderListAll.arg(march1, march31)
        << QStringList{"shd20240305-21-1|2024-03-05|21-东方超市|2|120.00|clerk",
                       "shd20240306-22-1|2024-03-06|22-西城商店|1|40.00|manager",
                       "shd20240310-98-1|2024-03-10|<NULL>|1|16.00|clerk",
                       "shd20240320-24-1|2024-03-20|24-北湖酒店|1|50.00|clerk"}
        << true;
    QTest::newRow("sell: notes of one customer")
        << delivery.orderListOne.arg(QStringLiteral("2024-02-01"), march31, n(21))
        << QStringList{"shd20240228-21-1|2024-02-28|21-东方超市|1|27.00|clerk",
                       "shd20240305-21-1|2024-03-05|21-东方超市|2|120.00|clerk"}
        << true;
    QTest::newRow("sell: lines of a note")
        << delivery.orderLines.arg(q("shd20240305-21-1"))
        << QStringList{"101|打印纸|箱|10|9|90||1", "103|矿泉水|箱|1|30|30|赠品|2"} << true;
    QTest::newRow("sell: customers")
        << delivery.partyList << QStringList{"21-东方超市", "22-西城商店", "23-南山配送站", "24-北湖酒店"}
        << true;
    QTest::newRow("sell: goods search with sales price to the cent")
        << delivery.goodsList
        << QStringList{"101-打印纸-箱-12.50", "102-签字笔-盒-8.00", "103-矿泉水-箱-30.00", "104-咖啡豆-袋-95.00"}
        << true;
    QTest::newRow("printdb2: line of missing goods")
        << printdb2::texts().linesStatement.arg(q("cgd20240305-11-5"))
        << QStringList{"999|<NULL>|2|2|<NULL>|1|2|样品"} << false;
    QTest::newRow("printdb1: lines of a note")
        << printdb1::texts().linesStatement.arg(q("shd20240305-21-1"))
        << QStringList{"101|打印纸|10|10|箱|9|90|", "103|矿泉水|1|1|箱|30|30|赠品"} << true;

    QTest::newRow("inventory: corrections of March at their day's cost price")
        << inventory::loadStatement(march1, march31)
        << QStringList{"2024-03-05|101|打印纸|箱|-2|6.5|-13|破损|clerk|1",
                       "2024-03-08|102|签字笔|盒|5|3.2|16|盘盈|clerk|2",
                       "2024-03-10|101|打印纸|箱|1|1.25|1.25||manager|4"}
        << true;
    QTest::newRow("erp: every goods item, also without movement")
        << erp::reportStatement(QStringLiteral("2024-03-05"), march31, QString(), QString())
        << QStringList{"101|打印纸|箱|17|44|14|-1|46", "102|签字笔|盒|0|24.5|7|5|22.5",
                       "103|矿泉水|箱|9|2|1|0|10", "104|咖啡豆|袋|0|0|0|0|0"}
        << true;
    QTest::newRow("profit: deliveries of March, one of an unknown customer")
        << profit::reportStatement(march1, march31, QString(), QString(), QString(), QString())
        << QStringList{"2024-03-05|21-东方超市|101|打印纸|箱|10|9|6.5",
                       "2024-03-20|24-北湖酒店|101|打印纸|箱|4|12.5|5",
                       "2024-03-06|22-西城商店|102|签字笔|盒|5|8|3.2",
                       "2024-03-10|<NULL>|102|签字笔|盒|2|8|2.5",
                       "2024-03-05|21-东方超市|103|矿泉水|箱|1|30|18"}
        << true;
    QTest::newRow("purchar_info: purchases of March, unknown supplier and goods kept")
        << purchar_info::reportStatement(march1, march31, QString(), QString(), QString(), QString())
        << QStringList{"2024-03-05|11-华联纸业|101|打印纸|箱|10|5|50",
                       "2024-03-05|12-晨光文具|101|打印纸|箱|30|7|210",
                       "2024-03-10|12-晨光文具|101|打印纸|箱|4|1.25|5",
                       "2024-03-05|11-华联纸业|102|签字笔|盒|20|3|60",
                       "2024-03-10|12-晨光文具|102|签字笔|盒|3|2.5|7.5",
                       "2024-03-12|<NULL>|102|签字笔|盒|1.5|3.35|5.025",
                       "2024-03-05|11-华联纸业|103|矿泉水|箱|2|18|36",
                       "2024-03-01|13-农夫山泉|103|矿泉水|箱|10|17.5|175",
                       "2024-03-05|11-华联纸业|999|<NULL>|<NULL>|2|1|2"}
        << true;
}

void tst_statements_stock::reads()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    QFETCH(bool, ordered);
    QString error;
    QVERIFY2(m_fixture.forReading(&error), qPrintable(error));
    const QString failure = FixtureDb::check(statement, expected, ordered);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void tst_statements_stock::writes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QStringList>("expected");

    const OrderFormSetup purchase = purchar::setup();
    QTest::newRow("purchar: save new and changed lines of a stored order")
        << purchase.updateLine.arg(q("12.00"), q("5.50"), q("说明'引号"), n(1))
               + purchase.insertLine.arg(q("cgd20240305-11-1"), q("2024-03-05"), n(11), n(103), q("1.00"),
                                         q("18.00"), q(""), q("manager"))
        << QStringLiteral("select food_id,quantity,price,remarks,input,id from purchar where purchar_no='cgd20240305-11-1' order by id")
        << QStringList{"101|12|5.5|说明'引号|clerk|1", "102|20|3||manager|2", "103|1|18||manager|11"};
}

void tst_statements_stock::writes()
{
    QFETCH(QString, statement);
    QFETCH(QString, readBack);
    QFETCH(QStringList, expected);

    QString error;
    TestDb *db = m_fixture.forWriting(&error);
    QVERIFY2(db, qPrintable(error));
    QVERIFY2(db->exec(statement), qPrintable(statement + QStringLiteral("\n  -> ") + db->lastError()));
    const QString failure = FixtureDb::check(readBack, expected, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

JXC_STATEMENT_TEST_MAIN(tst_statements_stock)
#include "tst_statements_stock.moc"
