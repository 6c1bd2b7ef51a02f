// Stock on hand while entering orders and in the goods list: the one reading
// shared by the forms, checked against the goods statistics, and what the
// clerk sees.

#include "stock/ordertesthelpers.h"

#include "master/goods.h"
#include "stock/erp.h"
#include "stock/purchar.h"
#include "stock/sell.h"
#include "support/messagerecorder.h"
#include "widgets/decimaltext.h"
#include "widgets/printerchoice.h"
#include "widgets/stockonhand.h"

#include <QLabel>
#include <QStatusBar>
#include <QtTest>

#include <memory>
#include <random>

using OrderTest::Controls;

namespace {

const QString today = QDate::currentDate().toString(Qt::ISODate);
const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);

QString line(const QString &table, const QString &date, int code, double quantity)
{
    const QString values = QStringLiteral("'%1',%2,'%3','','test001'").arg(date).arg(code).arg(quantity, 0, 'f', 2);
    if (table == QLatin1String("inventory")) {
        return QStringLiteral("insert into inventory (date,food_id,quantity,remarks,input) values (%1)").arg(values);
    }
    const QString party = table == QLatin1String("sell") ? QStringLiteral("customer_id") : QStringLiteral("supplier_id");
    return QStringLiteral("insert into %1 (%1_no,%2,price,date,food_id,quantity,remarks,input) values ('no',1,'1',%3)")
        .arg(table, party, values);
}

bool isRed(const QColor &color)
{
    return color == QColor(Qt::red);
}

QList<bool> redQuantities(const QTableWidget *lines)
{
    QList<bool> red;
    for (int row = 0; row < lines->rowCount(); ++row) {
        red << isRed(lines->item(row, 3)->foreground().color());
    }
    return red;
}

} // namespace

class tst_stockonhand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void agreesWithTheGoodsStatistics_data();
    void agreesWithTheGoodsStatistics();
    void labelShowsTheStockOfThePickedItem_data();
    void labelShowsTheStockOfThePickedItem();
    void deliveryMarksTheLinesBeyondTheStock();
    void goodsListShowsTheStockOfTheCursorRow();
    void renderLabelPicture();

private:
    std::unique_ptr<TestDb> m_db;
};

void tst_stockonhand::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(OrderTest::seedMasterData(*m_db));
    // 矿泉水 (103): 40 bought, 5 delivered, stock 35; a purchase of tomorrow
    // does not count yet.
    for (const QString &sql : {line("purchar", "2024-03-01", 103, 40), line("sell", "2024-03-05", 103, 5),
                               line("purchar", tomorrow, 103, 100)}) {
        QVERIFY2(m_db->exec(sql), qPrintable(m_db->lastError()));
    }
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
}

void tst_stockonhand::cleanup()
{
    PrinterChoice::setHandler(PrinterChoice::Handler());
    m_db.reset();
}

void tst_stockonhand::agreesWithTheGoodsStatistics_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::newRow("movements of a year, some after today") << 7u;
    QTest::newRow("another year") << 2024u;
}

void tst_stockonhand::agreesWithTheGoodsStatistics()
{
    QFETCH(unsigned, seed);
    std::mt19937 random(seed);
    auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    QList<long long> codes{101, 102, 103};
    for (int code = 201; code <= 230; ++code) {
        codes << code;
        QVERIFY(m_db->exec(QStringLiteral("insert into food_info (food_id,food_name,unit) values (%1,'品%1','件')").arg(code)));
    }
    for (int i = 0; i < 400; ++i) {
        const QString table = QStringList{"purchar", "sell", "inventory"}.at(between(0, 2));
        const QString date = QDate::currentDate().addDays(between(-365, 10)).toString(Qt::ISODate);
        QVERIFY(m_db->exec(line(table, date, int(codes.at(between(0, codes.size() - 1))), between(-300, 3000) / 100.0)));
    }

    QHash<long long, double> stock;
    QString error;
    QVERIFY2(StockOnHand::read(codes, &stock, &error), qPrintable(error));
    const QList<QStringList> report = m_db->rows(erp::reportStatement(QStringLiteral("2000-01-01"), today, QString(), QString()));
    QCOMPARE(report.size(), codes.size());
    for (const QStringList &row : report) {
        const long long code = row.at(0).toLongLong();
        QCOMPARE(DecimalText::twoDecimals(stock.value(code)), DecimalText::twoDecimals(row.at(7).toDouble()));
        QHash<long long, double> one;
        QVERIFY(StockOnHand::read({code}, &one, &error));
        QCOMPARE(DecimalText::twoDecimals(one.value(code)), DecimalText::twoDecimals(row.at(7).toDouble()));
    }
}

void tst_stockonhand::labelShowsTheStockOfThePickedItem_data()
{
    QTest::addColumn<bool>("delivery");
    QTest::addColumn<QString>("unsavedLine"); // quantity of an unsaved line of 矿泉水, or empty
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("red");

    QTest::newRow("purchase: the stock up to today") << false << "" << "1" << "库存：35.00箱" << false;
    QTest::newRow("purchase: its unsaved line adds") << false << "10" << "500" << "库存：45.00箱" << false;
    QTest::newRow("delivery: all of the stock") << true << "" << "35" << "库存：35.00箱" << false;
    QTest::newRow("delivery: beyond the stock") << true << "" << "35.01" << "库存：35.00箱（不足）" << true;
    QTest::newRow("delivery: its unsaved line takes") << true << "30" << "6" << "库存：5.00箱（不足）" << true;
    QTest::newRow("delivery: a return never lacks") << true << "30" << "-6" << "库存：5.00箱" << false;
}

void tst_stockonhand::labelShowsTheStockOfThePickedItem()
{
    QFETCH(bool, delivery);
    QFETCH(QString, unsavedLine);
    QFETCH(QString, typed);
    QFETCH(QString, label);
    QFETCH(bool, red);

    MessageRecorder messages;
    std::unique_ptr<QWidget> form(delivery ? static_cast<QWidget *>(new sell) : new purchar);
    Controls c{form.get()};
    QLabel *stock = c.child<QLabel>("label_stock");
    QVERIFY(stock);
    c.startOrder(delivery ? QStringLiteral("7-南山幼儿园") : QStringLiteral("11-华联纸业"), QDate::currentDate());
    if (!unsavedLine.isEmpty()) {
        c.addGoodsLine(c.itemFor(103), unsavedLine);
        QCoreApplication::processEvents();
    }
    QCOMPARE(stock->text(), QString());
    c.pick(c.itemFor(103));
    QTest::keyClicks(c.quantity, typed);
    QCOMPARE(stock->text(), label);
    QCOMPARE(isRed(stock->palette().color(QPalette::WindowText)), red);
    // Entry goes on as before: Enter, Enter adds the line without a word.
    QTest::keyClick(c.quantity, Qt::Key_Return);
    QTest::keyClick(c.remarks, Qt::Key_Return);
    QCOMPARE(c.lines->rowCount(), unsavedLine.isEmpty() ? 1 : 2);
    QCOMPARE(stock->text(), QString());
    QVERIFY(messages.isEmpty());
}

void tst_stockonhand::deliveryMarksTheLinesBeyondTheStock()
{
    // A stored note takes 30 of the 35; opened again, it still fits.
    QVERIFY(OrderTest::addLines(*m_db, "sell", "shd20240306-7-1", "2024-03-06", 7, 1, 103, "30"));
    MessageRecorder messages;
    sell form;
    Controls c{&form};
    c.queryOrders(QDate(2024, 3, 6), QDate(2024, 3, 6), QStringLiteral("---全部---"));
    c.clickListRow(0);
    QCoreApplication::processEvents();
    QCOMPARE(redQuantities(c.lines), (QList<bool>{false}));

    // 5 more fit exactly, the next line of 打印纸 has no stock at all, and one
    // more 矿泉水 is beyond the stock.
    c.addGoodsLine(c.itemFor(103), "5");
    c.addGoodsLine(c.itemFor(101), "1");
    c.addGoodsLine(c.itemFor(103), "1");
    QCoreApplication::processEvents();
    QCOMPARE(redQuantities(c.lines), (QList<bool>{false, false, true, true}));

    // Lowering the stored line in the table frees the stock for the last line.
    c.lines->item(0, 3)->setText(QStringLiteral("29"));
    QCoreApplication::processEvents();
    QCOMPARE(redQuantities(c.lines), (QList<bool>{false, false, true, false}));
    QVERIFY(messages.isEmpty());
}

void tst_stockonhand::goodsListShowsTheStockOfTheCursorRow()
{
    QVERIFY(m_db->exec(line("inventory", today, 103, -2)));
    goods form;
    QTableWidget *table = form.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QVERIFY(table);
    const int columns = table->columnCount();
    const int row = FormTest::rowOf(table, 0, QStringLiteral("103"));
    QVERIFY(row >= 0);
    table->setCurrentCell(row, 1);
    QCoreApplication::processEvents();
    QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("库存：33.00箱"));
    table->setCurrentCell(row == 0 ? 1 : 0, 1);
    QCoreApplication::processEvents();
    QVERIFY(form.statusBar()->currentMessage().endsWith(QStringLiteral("：0.00") + table->item(table->currentRow(), 2)->text()));
    QCOMPARE(table->columnCount(), columns);
}

// A delivery note with a line of goods never bought (in red) and a quantity
// typed beyond the stock; with JXC_STOCK_PICTURE set, the picture is kept
// there (the README's docs/stock-on-hand.png).
void tst_stockonhand::renderLabelPicture()
{
    sell form;
    Controls c{&form};
    form.resize(1000, 600);
    form.show();
    c.startOrder(QStringLiteral("7-南山幼儿园"), QDate::currentDate());
    c.addGoodsLine(c.itemFor(103), "30");
    c.addGoodsLine(c.itemFor(101), "2");
    c.pick(c.itemFor(103));
    QTest::keyClicks(c.quantity, "8");
    QCoreApplication::processEvents();
    QCOMPARE(redQuantities(c.lines), (QList<bool>{false, true}));
    const QImage image = form.grab().toImage();
    QVERIFY(!image.isNull());
    const QString target = qEnvironmentVariable("JXC_STOCK_PICTURE");
    if (!target.isEmpty()) {
        QVERIFY(image.save(target));
    }
}

QTEST_MAIN(tst_stockonhand)
#include "tst_stockonhand.moc"
