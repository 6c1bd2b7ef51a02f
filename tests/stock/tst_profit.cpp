#include "stock/profit.h"
#include "stock/reporttesthelpers.h"
#include "support/messagerecorder.h"

#include <memory>

using ReportTest::Form;

// Goods 1001 大米 (粮油, purchase price 4.00) was bought on 2024-03-05 10 at
// 5.00 and 30 at 7.00, so it costs 6.50 that day; 1002 白糖 (调料, purchase
// price 2.00) was never bought. Customer 1 东方超市 sells in 城东, customer
// 2 西城商店 in "O'Hare", with its quote.
class tst_profit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void totalsLineSumsIncomeCostAndMargin_data();
    void totalsLineSumsIncomeCostAndMargin();
    void showsEachDeliveryWithItsCostPrice();
    void filtersNarrowTheList_data();
    void filtersNarrowTheList();

private:
    // "date|customer|goods|quantity|price"
    void deliver(const QStringList &lines) { ReportTest::addLines(*m_db, QStringLiteral("sell"), lines); }

    std::unique_ptr<TestDb> m_db;
};

void tst_profit::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    ReportTest::seed(*m_db, ReportTest::twoGoods() + QStringList{
        "insert into customer (customer_id,customer_name,short_name,area) values (1,'东方超市','东方','城东')",
        "insert into customer (customer_id,customer_name,short_name,area) values (2,'西城商店','西城','O''Hare')",
    });
    ReportTest::addLines(*m_db, QStringLiteral("purchar"), {"2024-03-05|1|1001|10|5", "2024-03-05|2|1001|30|7"});
}

void tst_profit::cleanup()
{
    m_db.reset();
}

void tst_profit::totalsLineSumsIncomeCostAndMargin_data()
{
    QTest::addColumn<QStringList>("deliveries");
    QTest::addColumn<QString>("totals");

    QTest::newRow("10 at 9.00 costed at the day's 6.50")
        << QStringList{"2024-03-05|1|1001|10|9"}
        << "收入90.00元，成本65.00元，毛利25.00元，毛利率0.28";
    QTest::newRow("a day without purchases costs the purchase price")
        << QStringList{"2024-03-06|1|1001|10|9"}
        << "收入90.00元，成本40.00元，毛利50.00元，毛利率0.56";
    QTest::newRow("two lines add up")
        << QStringList{"2024-03-05|1|1001|10|9", "2024-03-06|2|1002|3|2.5"}
        << "收入97.50元，成本71.00元，毛利26.50元，毛利率0.27";
    QTest::newRow("no deliveries: margin 0.00")
        << QStringList{}
        << "收入0.00元，成本0.00元，毛利0.00元，毛利率0.00";
    QTest::newRow("free goods only: no income, margin 0.00")
        << QStringList{"2024-03-05|1|1001|2|0"}
        << "收入0.00元，成本13.00元，毛利-13.00元，毛利率0.00";
    QTest::newRow("deliveries outside the period are not counted")
        << QStringList{"2024-02-29|1|1001|10|9", "2024-04-01|1|1001|10|9"}
        << "收入0.00元，成本0.00元，毛利0.00元，毛利率0.00";
}

void tst_profit::totalsLineSumsIncomeCostAndMargin()
{
    QFETCH(QStringList, deliveries);
    QFETCH(QString, totals);

    deliver(deliveries);
    profit window;
    const Form form{window};
    form.queryMarch();

    QCOMPARE(form.summary->text(), totals);
}

// The window opens with its lists filled and writes its log row; a later
// query that fails empties the list.
void tst_profit::showsEachDeliveryWithItsCostPrice()
{
    // On 2024-03-07 the purchases net to nothing: no average, and no
    // division by zero either.
    ReportTest::addLines(*m_db, QStringLiteral("purchar"), {"2024-03-07|1|1001|10|5", "2024-03-07|1|1001|-10|5"});
    deliver({"2024-03-06|2|1001|1|8", "2024-03-05|1|1001|10|9", "2024-03-07|2|1001|2|8"});
    profit window;
    const Form form{window};
    QCOMPARE(m_db->scalar(QStringLiteral("select operator from operator")), QStringLiteral("毛利统计"));
    QCOMPARE(form.party->itemText(2), QStringLiteral("2-西城商店"));
    QCOMPARE(form.goods->itemText(1), QStringLiteral("1001-大米"));
    QVERIFY(form.summary->text().isEmpty());
    form.queryMarch();

    QCOMPARE(form.rows(), (QList<QStringList>{{"2024-03-05", "1-东方超市", "1001", "大米", "袋", "10.00", "9.00", "6.50"},
                                              {"2024-03-06", "2-西城商店", "1001", "大米", "袋", "1.00", "8.00", "4.00"},
                                              {"2024-03-07", "2-西城商店", "1001", "大米", "袋", "2.00", "8.00", "4.00"}}));

    // A report that can no longer be read shows nothing, no totals either,
    // and says why.
    MessageRecorder messages;
    QVERIFY(m_db->exec(QStringLiteral("drop table sell")));
    form.queryMarch();
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(form.rows().isEmpty() && form.summary->text().isEmpty());
}

void tst_profit::filtersNarrowTheList_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QStringList>("prices");

    QTest::newRow("no filter, by goods, customer and date")
        << "" << "" << "" << "" << QStringList{"9.00", "8.00", "2.50", "3.00"};
    QTest::newRow("a customer picked from the list") << "1-东方超市" << "" << "" << "" << QStringList{"9.00"};
    QTest::newRow("a customer typed without '-' is read whole as the code")
        << "2" << "" << "" << "" << QStringList{"8.00", "2.50"};
    QTest::newRow("goods") << "" << "1002-白糖" << "" << "" << QStringList{"2.50", "3.00"};
    QTest::newRow("goods category") << "" << "" << "调料" << "" << QStringList{"2.50", "3.00"};
    QTest::newRow("an area with a quote") << "" << "" << "" << "O'Hare" << QStringList{"8.00", "2.50"};
    QTest::newRow("area and goods together") << "" << "1002-白糖" << "" << "城东" << QStringList{};
}

void tst_profit::filtersNarrowTheList()
{
    QFETCH(QString, customer);
    QFETCH(QString, goods);
    QFETCH(QString, category);
    QFETCH(QString, area);
    QFETCH(QStringList, prices);

    // Customer 3 is not in the customer list.
    deliver({"2024-03-05|1|1001|10|9", "2024-03-06|2|1001|1|8", "2024-03-06|2|1002|3|2.5", "2024-03-07|3|1002|1|3"});
    profit window;
    const Form form{window};
    form.party->setEditText(customer);
    form.goods->setEditText(goods);
    Form::choose(form.category, category);
    Form::choose(form.partyGroup, area);
    form.queryMarch();

    QCOMPARE(form.column(6), prices);
}

QTEST_MAIN(tst_profit)
#include "tst_profit.moc"
