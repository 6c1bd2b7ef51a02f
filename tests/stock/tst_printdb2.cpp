// The printed order forms: the amount in words, the pages of "半联" and
// "全联" with their per-page totals, the delivery variant's texts, preview,
// print output.

#include "stock/ordertesthelpers.h"
#include "stock/recordingprinter.h"

#include "app/loginstate.h"
#include "stock/orderprintstate.h"
#include "stock/printdb1.h"
#include "stock/printdb2.h"
#include "support/messagerecorder.h"
#include "widgets/printerchoice.h"

#include <QImage>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QtTest>

#include <memory>

namespace {

// Left edge, frame top and width, header band and row height of the pages.
const int L = 15;
const int T = 80;
const int W = 720;
const int B = 35;
const int R = 26;
const QList<int> widths{30, 80, 220, 60, 60, 50, 60, 80, 80};
const QString orderNo = QStringLiteral("cgd20240305-12-1");

int offset(int column)
{
    int x = 0;
    for (int i = 0; i < column; ++i) {
        x += widths.at(i);
    }
    return x;
}

// Printed column c of row slot k (slot 0 is the column-title row).
QRectF slotCell(int k, int c)
{
    return QRectF(L + offset(c), T + B + k * R, widths.at(c), R);
}

void prepare(const QString &format, const QString &number = orderNo,
             const QString &party = QStringLiteral("12-晨光文具"))
{
    OrderPrintState::setFormat(format);
    OrderPrintState::orderNumber = number;
    OrderPrintState::orderDate = QStringLiteral("2024-03-05");
    OrderPrintState::partyText = party;
}

template <class Print>
QList<PaintedPage> paint()
{
    Print print;
    RecordingPrinter printer;
    print.printDocument(&printer);
    return printer.pages();
}

// A print object that notes the printer each printDocument is handed and
// records the pages painted for it.
class WatchedPrint : public printdb2
{
public:
    QStringList setups; // "printer, output, paper in mm, page"
    QList<QList<PaintedPage>> documents;

    void printDocument(QPrinter *printer) override
    {
        const QSizeF paper = printer->pageLayout().pageSize().size(QPageSize::Millimeter);
        setups << QStringLiteral("%1, %2, %3×%4, %5")
                      .arg(printer->printerName(), printer->outputFormat() == QPrinter::PdfFormat ? "pdf" : "native")
                      .arg(paper.width())
                      .arg(paper.height())
                      .arg(printer->fullPage() ? "full page" : "margins");
        RecordingPrinter recorder;
        printdb2::printDocument(&recorder);
        documents << recorder.pages();
    }
};

} // namespace

class tst_printdb2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void amountInWords_data();
    void amountInWords();
    void pagesFollowTheFormat_data();
    void pagesFollowTheFormat();
    void halfSheetPutsEveryTextInItsBox();
    void everyPageHasItsOwnTotal();
    void deliveryNoteUsesItsOwnTexts();
    void previewAndPrintPaintTheSamePages();
    void withoutThePrinterPreviewStillOpensAndPrintSaysWhich();
    void renderHalfSheetPicture();

private:
    bool addLines(int count, int foodId = 101, const QString &quantity = QStringLiteral("2"),
                  const QString &table = QStringLiteral("purchar"), const QString &number = orderNo)
    {
        return OrderTest::addLines(*m_db, table, number, QStringLiteral("2024-03-05"), 12, count, foodId, quantity);
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_printdb2::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(OrderTest::seedMasterData(*m_db));
    LoginState::companyName = QStringLiteral("测试公司");
    OrderPrintState::printerName.clear();
}

void tst_printdb2::cleanup()
{
    PrinterChoice::setHandler(PrinterChoice::Handler());
    m_db.reset();
}

void tst_printdb2::amountInWords_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("words");

    QTest::newRow("tenths after a zero run") << 1005.5 << "壹仟零伍点伍元";
    QTest::newRow("zero tenths before hundredths") << 1005.05 << "壹仟零伍点零伍元";
    QTest::newRow("whole amount ends in 整") << 1005.0 << "壹仟零伍元整";
    QTest::newRow("below one yuan") << 0.5 << "零点伍元";
    QTest::newRow("one fen") << 0.01 << "零点零壹元";
    QTest::newRow("under a fen is zero") << 0.004 << "零";
    QTest::newRow("negative under a fen is zero without sign") << -0.004 << "零";
    QTest::newRow("negative fraction") << -0.5 << "（负数）零点伍元";
    QTest::newRow("zero run across 万") << 100005.0 << "壹拾万零伍元整";
    QTest::newRow("万 after a zero digit") << 1000500.0 << "壹佰万零伍佰元整";
    QTest::newRow("empty 万 section writes nothing") << 100000001.0 << "壹亿零壹元整";
    QTest::newRow("every position") << 12345678.9 << "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌点玖元";
    QTest::newRow("exact 万") << 10000.0 << "壹万元整";
    QTest::newRow("exact 亿") << 100000000.0 << "壹亿元整";
    QTest::newRow("亿 and 万 after zero digits") << 1001000000.0 << "壹拾亿零壹佰万元整";
    QTest::newRow("trailing zeros say nothing") << 20.5 << "贰拾点伍元";
    QTest::newRow("twelve digits are spelled")
        << 999999999999.0 << "玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元整";
    QTest::newRow("thirteen digits are out of range") << 1000000000000.0 << "输入的数值超过范围！";
    QTest::newRow("out of range has no sign") << -1000000000000.0 << "输入的数值超过范围！";
}

void tst_printdb2::amountInWords()
{
    QFETCH(double, amount);
    QFETCH(QString, words);
    QCOMPARE(printdb2::amountInWords(amount), words);
}

void tst_printdb2::pagesFollowTheFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("frameHeight");
    QTest::newRow("no stored lines, no page") << "半联" << 0 << 0 << 320;
    QTest::newRow("半联, 10 lines fill one page") << "半联" << 10 << 1 << 320;
    QTest::newRow("半联, 11 lines need two") << "半联" << 11 << 2 << 320;
    QTest::newRow("全联, 29 lines fill one page") << "全联" << 29 << 1 << 820;
    QTest::newRow("全联, 30 lines need two") << "全联" << 30 << 2 << 820;
}

void tst_printdb2::pagesFollowTheFormat()
{
    QFETCH(QString, format);
    QFETCH(int, lines);
    QFETCH(int, pages);
    QFETCH(int, frameHeight);
    QVERIFY(addLines(lines));
    prepare(format);
    const QList<PaintedPage> painted = paint<printdb2>();
    QCOMPARE(painted.size(), pages);
    QCOMPARE(printdb2().pageCount(), pages);
    if (pages == 0) {
        return;
    }
    const PaintedPage &last = painted.last();
    QVERIFY(last.has(QStringLiteral("共%1页/第%1页").arg(pages)));
    QVERIFY(last.rects.contains(QRectF(L, T, W, frameHeight)));
    // The last line sits in the first slot of a new page, numbered 1 again.
    const int slot = pages == 1 ? lines : 1;
    QCOMPARE(last.textCentredIn(slotCell(slot, 0)), QString::number(slot));
    QCOMPARE(last.textCentredIn(slotCell(slot, 8)), QStringLiteral("第%1行").arg(lines));
    QCOMPARE(last.textCentredIn(slotCell(slot + 1, 1)), QString());
    QVERIFY(PaintedPage::atTopLeftOf(last.find(QStringLiteral("本页合计:%1.00元").arg(slot * 10)).box,
                                     QRectF(L + 400, T + frameHeight + 10, 450, 25)));
    QVERIFY(last.has(QStringLiteral("采购清单")));
    QVERIFY(last.has(QStringLiteral("订单号:") + orderNo));
}

void tst_printdb2::halfSheetPutsEveryTextInItsBox()
{
    // Two lines of 0.25 at 0.10 print 0.03 each; the total adds the amounts
    // as stored, 0.05.
    QVERIFY(OrderTest::addLines(*m_db, QStringLiteral("purchar"), orderNo, QStringLiteral("2024-03-05"), 12, 2,
                                101, QStringLiteral("0.25"), QStringLiteral("0.1")));
    prepare(QStringLiteral("半联"));
    const QList<PaintedPage> painted = paint<printdb2>();
    QCOMPARE(painted.size(), 1);
    const PaintedPage &page = painted.first();

    // Frame from y 80 to 400, header band, footer box to 426.
    QVERIFY(page.rects.contains(QRectF(L, T, W, 320)));
    for (const QLineF &line : {QLineF(L, T + B, L + W, T + B), QLineF(L, 400, L + W, 400),
                               QLineF(L, 426, L + W, 426), QLineF(L, 400, L, 426), QLineF(L + W, 400, L + W, 426)}) {
        QVERIFY(page.lines.contains(line));
    }

    QVERIFY(PaintedPage::centredIn(page.find(QStringLiteral("测试公司")).box, QRectF(L, 25, W, B)));
    QVERIFY(PaintedPage::centredIn(page.find(QStringLiteral("采购清单")).box, QRectF(L, 50, W, B)));
    const QList<QPair<QString, QRectF>> leftAligned{
        {"日期:2024-03-05", QRectF(L, 60, W, B)},
        {"共1页/第1页", QRectF(L + 600, 60, W, B)},
        {"供货单位:12-晨光文具", QRectF(L, T + 10, W, B)},
        {QStringLiteral("订单号:") + orderNo, QRectF(L + 500, T + 10, W, B)},
        {"大写金额:零点零伍元", QRectF(L, 410, 450, 25)},
        {"本页合计:0.05元", QRectF(L + 400, 410, 450, 25)},
        {"采购单位:测试公司", QRectF(L, 440, 450, 25)},
        {"采购员:", QRectF(L + 400, 440, 450, 25)},
        {"收货员:", QRectF(L + 600, 440, 450, 25)}};
    for (const auto &text : leftAligned) {
        QVERIFY2(PaintedPage::atTopLeftOf(page.find(text.first).box, text.second), qPrintable(text.first));
    }

    const QStringList titles{"序号", "编号", "品名（规格）", "预定数", "采购数", "单位", "单价", "金额", "备注"};
    const QStringList line{"1", "101", "打印纸", "0.25", "0.25", "包", "0.10", "0.03", "第1行"};
    for (int c = 0; c < titles.size(); ++c) {
        QCOMPARE(page.textCentredIn(slotCell(0, c)), titles.at(c));
        QCOMPARE(page.textCentredIn(slotCell(1, c)), line.at(c));
        if (c > 0) {
            QVERIFY(page.lines.contains(QLineF(L + offset(c), T + B, L + offset(c), T + 320)));
        }
    }
    // Ten slots with their rule and number, the empty ones too.
    for (int k = 1; k <= 10; ++k) {
        QVERIFY(page.lines.contains(QLineF(L, T + B + k * R, L + W, T + B + k * R)));
        QCOMPARE(page.textCentredIn(slotCell(k, 0)), QString::number(k));
    }
    QVERIFY(!page.lines.contains(QLineF(L, T + B + 11 * R, L + W, T + B + 11 * R)));
}

void tst_printdb2::everyPageHasItsOwnTotal()
{
    // Eleven lines of 10.00, a line without goods code worth 10000.00 and a
    // return that cancels the last line: page 1 holds ten lines, page 2 the
    // rest, which sum to 0.
    QVERIFY(addLines(11));
    QVERIFY(m_db->exec(QStringLiteral("insert into purchar (purchar_no,date,supplier_id,quantity,price,remarks,input) "
                                      "values ('%1','2024-03-05',12,'100','100','无编码','test001')").arg(orderNo)));
    QVERIFY(addLines(1, 102, QStringLiteral("-2")));
    prepare(QStringLiteral("半联"));
    const QList<PaintedPage> painted = paint<printdb2>();
    QCOMPARE(painted.size(), 2);
    QVERIFY(painted.at(0).has(QStringLiteral("本页合计:100.00元")));
    QVERIFY(painted.at(0).has(QStringLiteral("大写金额:壹佰元整")));

    const PaintedPage &second = painted.at(1);
    QVERIFY(!second.has(QStringLiteral("无编码")));
    QCOMPARE(second.textCentredIn(slotCell(2, 0)), QStringLiteral("2"));
    QCOMPARE(second.textCentredIn(slotCell(2, 1)), QString());
    QCOMPARE(second.textCentredIn(slotCell(3, 7)), QStringLiteral("-10.00"));
    QVERIFY(second.has(QStringLiteral("本页合计:0.00元")));
    QVERIFY(second.has(QStringLiteral("大写金额:零")));
}

void tst_printdb2::deliveryNoteUsesItsOwnTexts()
{
    const QString number = QStringLiteral("shd20240305-12-1");
    QVERIFY(addLines(1, 103, QStringLiteral("1"), QStringLiteral("sell"), number));
    // A purchase order under the same number is not read.
    QVERIFY(addLines(1, 101, QStringLiteral("1"), QStringLiteral("purchar"), number));
    prepare(QStringLiteral("半联"), number, QStringLiteral("12-东方超市"));
    const QList<PaintedPage> painted = paint<printdb1>();
    QCOMPARE(painted.size(), 1);
    const PaintedPage &page = painted.first();
    QVERIFY(PaintedPage::centredIn(page.find(QStringLiteral("送货清单")).box, QRectF(L, 50, W, B)));
    QVERIFY(page.has(QStringLiteral("购货单位:12-东方超市")));
    QCOMPARE(page.textCentredIn(slotCell(0, 4)), QStringLiteral("实收数"));
    QVERIFY(PaintedPage::atTopLeftOf(page.find(QStringLiteral("送货单位:测试公司")).box, QRectF(L, 440, 450, 25)));
    QVERIFY(PaintedPage::atTopLeftOf(page.find(QStringLiteral("送货员:")).box, QRectF(L + 400, 440, 450, 25)));
    QVERIFY(page.has(QStringLiteral("收货员:")));
    QCOMPARE(page.textCentredIn(slotCell(1, 2)), QStringLiteral("矿泉水"));
    QCOMPARE(page.textCentredIn(slotCell(2, 2)), QString());
}

void tst_printdb2::previewAndPrintPaintTheSamePages()
{
    QVERIFY(addLines(12));
    PrinterChoice::setHandler([]() {
        return PrinterChoice::Printers{{"HP LaserJet"}, "HP LaserJet"};
    });
    OrderPrintState::printerName = QStringLiteral("HP LaserJet");
    prepare(QStringLiteral("半联"));
    WatchedPrint print;
    bool maximized = false;
    OrderTest::closeWhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog *dialog) {
        maximized = dialog->windowState().testFlag(Qt::WindowMaximized);
    });
    print.previewOrder();
    QVERIFY(maximized);
    MessageRecorder messages;
    print.printOrder();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));

    QCOMPARE(print.documents.size(), 2);
    QCOMPARE(print.documents.at(0).size(), 2);
    QVERIFY(print.documents.at(0) == print.documents.at(1));
    QCOMPARE(print.setups.size(), 2);
    QCOMPARE(print.setups.at(1), print.setups.at(0));
    QVERIFY2(print.setups.at(0).endsWith(QStringLiteral("210×139, full page")), qPrintable(print.setups.at(0)));
}

void tst_printdb2::withoutThePrinterPreviewStillOpensAndPrintSaysWhich()
{
    QVERIFY(addLines(3));
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
    prepare(QStringLiteral("全联"));
    WatchedPrint print;
    bool opened = false;
    OrderTest::closeWhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog *) { opened = true; });
    print.previewOrder();
    QVERIFY(opened);
    // Its print button then writes a PDF file.
    QCOMPARE(print.setups, QStringList{QStringLiteral(", pdf, 210×279, full page")});
    QCOMPARE(print.documents.value(0).size(), 1);

    MessageRecorder messages;
    print.printOrder();
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{{"Canon"}, QString()}; });
    OrderPrintState::printerName = QStringLiteral("仓库打印机");
    print.printOrder();
    QCOMPARE(messages.texts(), (QStringList{"操作提示/本机没有安装打印机，请在“预览”中打印为PDF文件！",
                                            "操作提示/找不到打印机“仓库打印机”！"}));
    QCOMPARE(print.documents.size(), 1);
}

// The first "半联" page of the demo company's largest purchase order; with
// JXC_ORDER_PICTURE set, the picture is kept there (the README's
// docs/order_half.png).
void tst_printdb2::renderHalfSheetPicture()
{
    m_db.reset();
    m_db.reset(new TestDb(true, QStringLiteral("澜拓商贸(试用)"), QStringLiteral("jxc_demo")));
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    LoginState::companyName = QStringLiteral("澜拓商贸(试用)");
    const QStringList order = m_db->rows(QStringLiteral(
        "select t1.purchar_no,convert(varchar(10),max(t1.date),20),cast(max(t1.supplier_id) as varchar)+'-'+max(t2.supplier_name) "
        "from purchar t1 left join supplier t2 on t1.supplier_id=t2.supplier_id group by t1.purchar_no order by count(0) desc")).value(0);
    QCOMPARE(order.size(), 3);
    prepare(QStringLiteral("半联"), order.at(0), order.at(2));
    OrderPrintState::orderDate = order.at(1);
    printdb2 print;
    QVERIFY(print.pageCount() >= 1);

    QImage image(794, 525, QImage::Format_RGB32); // 210 × 139 mm at screen resolution
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        print.drawPage(&painter, 0, print.pageCount());
    }
    QVERIFY(image.pixel(L, T + 200) != qRgb(255, 255, 255)); // the frame's left edge
    const QString target = qEnvironmentVariable("JXC_ORDER_PICTURE");
    if (!target.isEmpty()) {
        QVERIFY(image.save(target));
    }
}

QTEST_MAIN(tst_printdb2)
#include "tst_printdb2.moc"
