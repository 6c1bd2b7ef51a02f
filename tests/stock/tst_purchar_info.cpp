#include "stock/purchar_info.h"
#include "stock/reporttesthelpers.h"

#include <memory>

using ReportTest::Form;

// Goods 1001 大米 (粮油) and 1002 白糖 (调料); supplier 1 华联纸业 of the
// supplier category 粮食供应, supplier 2 晨光文具 of "O'Brien", with its
// quote. Supplier 9, named by some lines, is not in the supplier list.
class tst_purchar_info : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsEveryColumnOfALine();
    void listsTheLinesTheFiltersLeave_data();
    void listsTheLinesTheFiltersLeave();

private:
    // "date|supplier|goods|quantity|price"
    void buy(const QStringList &lines) { ReportTest::addLines(*m_db, QStringLiteral("purchar"), lines); }

    std::unique_ptr<TestDb> m_db;
};

void tst_purchar_info::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    ReportTest::seed(*m_db, ReportTest::twoGoods() + QStringList{
        "insert into supplier (supplier_id,supplier_name,short_name,category) values (1,'华联纸业','华联','粮食供应')",
        "insert into supplier (supplier_id,supplier_name,short_name,category) values (2,'晨光文具','晨光','O''Brien')",
    });
}

void tst_purchar_info::cleanup()
{
    m_db.reset();
}

// The window opens with its lists filled and writes its log row.
void tst_purchar_info::showsEveryColumnOfALine()
{
    buy({"2024-03-05|1|1001|3|2.5"});
    purchar_info window;
    const Form form{window};
    QCOMPARE(m_db->scalar(QStringLiteral("select operator from operator")), QStringLiteral("采购明细统计"));
    QCOMPARE(form.party->itemText(1), QStringLiteral("1-华联纸业"));
    QCOMPARE(form.goods->itemText(2), QStringLiteral("1002-白糖"));
    QVERIFY(form.summary->text().isEmpty());
    form.queryMarch();

    QCOMPARE(form.rows(), (QList<QStringList>{{"2024-03-05", "1-华联纸业", "1001", "大米", "袋", "3.00", "2.50", "7.50"}}));
}

void tst_purchar_info::listsTheLinesTheFiltersLeave_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("supplier");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("supplierCategory");
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("total");

    QTest::newRow("nothing bought in the period")
        << QStringList{"2024-02-29|1|1001|3|2.50", "2024-04-01|1|1001|3|2.50"} << "" << "" << "" << ""
        << QStringList{} << "采购金额0.00元";
    QTest::newRow("a returned line counts negative")
        << QStringList{"2024-03-05|1|1001|3|2.50", "2024-03-06|1|1001|-1|2.50"} << "" << "" << "" << ""
        << QStringList{"7.50", "-2.50"} << "采购金额5.00元";
    // Supplier 9 is not in the supplier list.
    const QStringList lines{"2024-03-05|1|1001|3|2.50", "2024-03-06|2|1002|4|1.25", "2024-03-07|9|1001|2|1.00"};

    QTest::newRow("no filter, by goods, supplier and date") << lines
        << "" << "" << "" << "" << QStringList{"7.50", "2.00", "5.00"} << "采购金额14.50元";
    QTest::newRow("a supplier category drops the unknown supplier") << lines
        << "" << "" << "" << "粮食供应" << QStringList{"7.50"} << "采购金额7.50元";
    QTest::newRow("a supplier category with a quote") << lines
        << "" << "" << "" << "O'Brien" << QStringList{"5.00"} << "采购金额5.00元";
    QTest::newRow("a supplier typed without '-' is read whole as the code") << lines
        << "2" << "" << "" << "" << QStringList{"5.00"} << "采购金额5.00元";
    QTest::newRow("goods category") << lines << "" << "" << "调料" << "" << QStringList{"5.00"} << "采购金额5.00元";
    QTest::newRow("supplier and goods that it did not supply") << lines
        << "1-华联纸业" << "1002-白糖" << "" << "" << QStringList{} << "采购金额0.00元";
}

void tst_purchar_info::listsTheLinesTheFiltersLeave()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, supplier);
    QFETCH(QString, goods);
    QFETCH(QString, category);
    QFETCH(QString, supplierCategory);
    QFETCH(QStringList, amounts);
    QFETCH(QString, total);

    buy(lines);
    purchar_info window;
    const Form form{window};
    form.party->setEditText(supplier);
    form.goods->setEditText(goods);
    Form::choose(form.category, category);
    Form::choose(form.partyGroup, supplierCategory);
    form.queryMarch();

    QCOMPARE(form.column(7), amounts);
    QCOMPARE(form.summary->text(), total);
}

QTEST_MAIN(tst_purchar_info)
#include "tst_purchar_info.moc"
