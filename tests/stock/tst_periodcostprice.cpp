// The gross profit report and the profit/loss register take their cost prices
// from the purchases of the period only. On generated stock lines, each such
// statement must give exactly the rows, in the same order, of the statement
// that groups every purchase ever entered. Rows alike in every order term may
// come in either order from either statement, on any engine.

#include "stock/inventory.h"
#include "stock/profit.h"
#include "support/statementfixture.h"
#include "support/testdb.h"

#include <QDate>
#include <QTest>

#include <algorithm>
#include <memory>
#include <random>

class tst_periodcostprice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameRowsAsOverAllPurchases_data();
    void sameRowsAsOverAllPurchases();

private:
    std::unique_ptr<TestDb> m_db;
};

namespace {

const QDate FirstDay(2024, 2, 20);
const int Days = 50; // to 2024-04-09
const int GoodsCount = 12;
const QString ZeroNetDay = QStringLiteral("2024-03-15");
const int ZeroNetGoods = 3;

QString day(int offset)
{
    return FirstDay.addDays(offset).toString(Qt::ISODate);
}

} // namespace

// Lines over fifty days for twelve goods items and a thirteenth (99) missing
// from the master table. Purchases stop ten days before the end, come at
// several prices a day, and goods 3 is bought and returned in equal measure
// on 2024-03-15; deliveries and corrections also fall on days and goods
// without purchases.
void tst_periodcostprice::initTestCase()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    std::mt19937 random(16);
    auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto goods = [&between] { return between(0, 12) == 0 ? 99 : between(1, GoodsCount); };
    auto amount = [&between](int low, int high) {
        return QString::number(between(low, high) / 4.0, 'f', 2);
    };

    QStringList sql;
    for (int code = 1; code <= GoodsCount; ++code) {
        sql << QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (%1,'货%1','件','%2','%3','类%4')")
                   .arg(code)
                   .arg(amount(40, 80), amount(4, 40))
                   .arg(code % 3);
    }
    for (int code = 1; code <= 4; ++code) {
        sql << QStringLiteral("insert into customer (customer_id,customer_name,short_name,area) values (%1,'客%1','客%1','区%2')")
                   .arg(code)
                   .arg(code % 2);
    }
    for (int line = 0; line < 300; ++line) {
        sql << QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('p%1','%2',1,%3,%4,%5,'','t')")
                   .arg(line)
                   .arg(day(between(0, Days - 11)))
                   .arg(goods())
                   .arg(amount(-8, 80), amount(4, 40));
    }
    sql << QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('z1','%1',1,%2,5,4,'','t')")
               .arg(ZeroNetDay)
               .arg(ZeroNetGoods)
        << QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('z2','%1',1,%2,-5,4,'','t')")
               .arg(ZeroNetDay)
               .arg(ZeroNetGoods);
    for (int line = 0; line < 300; ++line) {
        sql << QStringLiteral("insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('s%1','%2',%3,%4,%5,%6,'','t')")
                   .arg(line)
                   .arg(line % 25 == 0 ? ZeroNetDay : day(between(0, Days - 1)))
                   .arg(between(1, 5))
                   .arg(line % 25 == 0 ? ZeroNetGoods : goods())
                   .arg(amount(1, 60), amount(40, 100));
    }
    for (int line = 0; line < 200; ++line) {
        sql << QStringLiteral("insert into inventory (date,food_id,quantity,remarks,input) values ('%1',%2,%3,'','t')")
                   .arg(line % 20 == 0 ? ZeroNetDay : day(between(0, Days - 1)))
                   .arg(line % 20 == 0 ? ZeroNetGoods : goods())
                   .arg(amount(-20, 20));
    }
    QVERIFY(m_db->db().transaction());
    for (const QString &statement : qAsConst(sql)) {
        QVERIFY2(m_db->exec(statement), qPrintable(m_db->lastError()));
    }
    QVERIFY(m_db->db().commit());
}

void tst_periodcostprice::sameRowsAsOverAllPurchases_data()
{
    QTest::addColumn<QString>("restricted");
    QTest::addColumn<QString>("unrestricted");
    QTest::addColumn<QList<int>>("orderColumns");

    struct Period
    {
        const char *name;
        QString from;
        QString to;
    };
    const QList<Period> periods = {
        {"March", QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31")},
        {"last day of February", QStringLiteral("2024-02-29"), QStringLiteral("2024-02-29")},
        {"across a month end", QStringLiteral("2024-03-15"), QStringLiteral("2024-04-02")},
        {"days without purchases", QStringLiteral("2024-04-01"), QStringLiteral("2024-04-30")},
        {"every day", QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31")},
    };
    for (const Period &p : periods) {
        QTest::addRow("profit, %s", p.name)
            << profit::reportStatement(p.from, p.to, QString(), QString(), QString(), QString())
            << profit::unrestrictedStatement(p.from, p.to, QString(), QString(), QString(), QString())
            << QList<int>{2, 1, 0};
        QTest::addRow("inventory, %s", p.name) << inventory::loadStatement(p.from, p.to)
                                               << inventory::unrestrictedLoadStatement(p.from, p.to)
                                               << QList<int>{0, 1};
    }
    const QString goods = QStringLiteral(" and t1.food_id=%1").arg(ZeroNetGoods);
    const QString category = QStringLiteral(" and t4.category='类0'");
    QTest::newRow("profit, one goods item and one category")
        << profit::reportStatement(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"),
                                   QString(), goods, category, QString())
        << profit::unrestrictedStatement(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"),
                                         QString(), goods, category, QString())
        << QList<int>{2, 1, 0};
}

void tst_periodcostprice::sameRowsAsOverAllPurchases()
{
    QFETCH(QString, restricted);
    QFETCH(QString, unrestricted);
    QFETCH(QList<int>, orderColumns);

    QList<QStringList> expected = m_db->rows(unrestricted);
    QVERIFY2(m_db->lastError().isEmpty(), qPrintable(m_db->lastError()));
    QVERIFY(!expected.isEmpty());
    QList<QStringList> actual = m_db->rows(restricted);
    QVERIFY2(m_db->lastError().isEmpty(), qPrintable(m_db->lastError()));
    const auto orderTerms = [&orderColumns](const QList<QStringList> &rows) {
        QList<QStringList> terms;
        for (const QStringList &row : rows) {
            terms << QStringList();
            for (int column : orderColumns) {
                terms.last() << row.at(column);
            }
        }
        return terms;
    };
    QCOMPARE(orderTerms(actual), orderTerms(expected));
    std::sort(actual.begin(), actual.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(actual, expected);
}

JXC_STATEMENT_TEST_MAIN(tst_periodcostprice)

#include "tst_periodcostprice.moc"
