#include "stock/erp.h"
#include "stock/reporttesthelpers.h"
#include "widgets/filedialogs.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

using ReportTest::Form;

// Goods 1001 大米 (粮油) was bought 10 on 1 March 2024, delivered 4 on
// 5 March and found 1 short on 10 March. 1002 白糖 (调料) and 1003 食用油
// (粮油) never moved. 1004 咖啡, of the category "Tom's" with its quote, was
// bought 3 on 2 March.
// The category box stands where the other reports have their party filter.
class tst_erp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reportsTheMovementOfThePeriod_data();
    void reportsTheMovementOfThePeriod();
    void filtersNarrowTheList_data();
    void filtersNarrowTheList();
    void exportWritesTheTableShown();

private:
    std::unique_ptr<TestDb> m_db;
};

void tst_erp::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    ReportTest::seed(*m_db, {
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1001,'大米','袋','6.00','4.20','粮油')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1002,'白糖','包','3.00','2.00','调料')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1003,'食用油','桶','50.00','40.00','粮油')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1004,'咖啡','罐','30.00','20.00','Tom''s')",
        "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-10',1001,'-1','','test001')",
    });
    ReportTest::addLines(*m_db, QStringLiteral("purchar"), {"2024-03-01|1|1001|10|5", "2024-03-02|1|1004|3|20"});
    ReportTest::addLines(*m_db, QStringLiteral("sell"), {"2024-03-05|1|1001|4|9"});
}

void tst_erp::cleanup()
{
    FileDialogs::setHandler(FileDialogs::Handler());
    m_db.reset();
}

// Each row: opening stock, purchased, delivered, corrected, closing stock.
void tst_erp::reportsTheMovementOfThePeriod_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("rice");
    QTest::addColumn<QStringList>("coffee");

    QTest::newRow("5 to 31 March: opening 10, delivered 4, lost 1, closing 5")
        << QDate(2024, 3, 5) << QDate(2024, 3, 31)
        << QStringList{"10.00", "0.00", "4.00", "-1.00", "5.00"} << QStringList{"3.00", "0.00", "0.00", "0.00", "3.00"};
    QTest::newRow("all of March")
        << QDate(2024, 3, 1) << QDate(2024, 3, 31)
        << QStringList{"0.00", "10.00", "4.00", "-1.00", "5.00"} << QStringList{"0.00", "3.00", "0.00", "0.00", "3.00"};
    QTest::newRow("the first day alone")
        << QDate(2024, 3, 1) << QDate(2024, 3, 1)
        << QStringList{"0.00", "10.00", "0.00", "0.00", "10.00"} << QStringList{"0.00", "0.00", "0.00", "0.00", "0.00"};
    QTest::newRow("a later month: only the opening stock")
        << QDate(2024, 4, 1) << QDate(2024, 4, 30)
        << QStringList{"5.00", "0.00", "0.00", "0.00", "5.00"} << QStringList{"3.00", "0.00", "0.00", "0.00", "3.00"};
    QTest::newRow("a reversed period keeps the opening stock")
        << QDate(2024, 3, 31) << QDate(2024, 3, 5)
        << QStringList{"5.00", "0.00", "0.00", "0.00", "5.00"} << QStringList{"3.00", "0.00", "0.00", "0.00", "3.00"};
}

// Goods without movement are listed with zeros.
void tst_erp::reportsTheMovementOfThePeriod()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, rice);
    QFETCH(QStringList, coffee);

    erp window;
    const Form form{window};
    form.query(from, to);
    const QStringList zeros{"0.00", "0.00", "0.00", "0.00", "0.00"};
    QCOMPARE(form.rows(), (QList<QStringList>{QStringList{"1001", "大米", "袋"} + rice,
                                              QStringList{"1002", "白糖", "包"} + zeros,
                                              QStringList{"1003", "食用油", "桶"} + zeros,
                                              QStringList{"1004", "咖啡", "罐"} + coffee}));
}

void tst_erp::filtersNarrowTheList_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("a category") << "粮油" << "" << QStringList{"1001", "1003"};
    QTest::newRow("goods picked from the list") << "" << "1003-食用油" << QStringList{"1003"};
    QTest::newRow("goods typed without '-' is read whole as the code") << "" << "1002" << QStringList{"1002"};
    QTest::newRow("goods typed with blanks around") << "" << " 1002 " << QStringList{"1002"};
    QTest::newRow("goods and its own category") << "粮油" << "1001-大米" << QStringList{"1001"};
    QTest::newRow("goods of another category") << "调料" << "1001-大米" << QStringList{};
    QTest::newRow("a category with a quote") << "Tom's" << "" << QStringList{"1004"};
    QTest::newRow("goods text that is no code") << "" << "大米" << QStringList{};
    QTest::newRow("goods of blanks only reads as code 0") << "" << "   " << QStringList{};
}

void tst_erp::filtersNarrowTheList()
{
    QFETCH(QString, category);
    QFETCH(QString, goods);
    QFETCH(QStringList, codes);

    erp window;
    const Form form{window};
    Form::choose(form.party, category);
    form.goods->setEditText(goods);
    form.queryMarch();
    QCOMPARE(form.column(0), codes);
}

// The window opens on today and writes its log row.
void tst_erp::exportWritesTheTableShown()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("erp.csv"));
    FileDialogs::setHandler([&fileName](FileDialogs::Kind, QWidget *, const QString &, const QString &,
                                        const QString &) { return fileName; });

    erp window;
    const Form form{window};
    QCOMPARE(m_db->scalar(QStringLiteral("select operator from operator")), QStringLiteral("商品统计"));
    QCOMPARE(form.from->date(), QDate::currentDate());
    QCOMPARE(form.to->date(), QDate::currentDate());
    QCOMPARE(form.goods->itemText(1), QStringLiteral("1001-大米"));
    form.goods->setEditText(QStringLiteral("1001-大米"));
    form.query(QDate(2024, 3, 5), QDate(2024, 3, 31));
    QTest::mouseClick(form.find<QPushButton>("pushButton_2"), Qt::LeftButton);

    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(file.readAll()),
             QStringLiteral("商品编码,商品名称,单位,期初数量,本期采购,本期销售,本期盈亏,期末数量\n"
                            "1001,大米,袋,10.00,0.00,4.00,-1.00,5.00\n"));
}

QTEST_MAIN(tst_erp)
#include "tst_erp.moc"
