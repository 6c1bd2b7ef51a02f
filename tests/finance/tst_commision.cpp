// The commission report: which receivables a salesman sees, the commission
// of a paid-out line and the totals; and the printed pages of the finance
// reports, each from its preview and its print button.
//
// Customer 1 甲超市 takes invoices, 张三 personal at 2 %, 李四 team at
// 0.5 %; 2 乙商店 takes none and has 张三 as both salesmen (2 % and 1 %).
// Each had 1000.00 collected on 2024-02-29 with the commission paid out on
// 2024-03-10; 甲超市's January period was paid out in February, 乙商店's
// March period is still open.

#include "finance/commision.h"
#include "finance/invoice.h"
#include "finance/payment.h"
#include "financetest.h"
#include "stock/ordertesthelpers.h"
#include "stock/recordingprinter.h"
#include "support/statementfixture.h"
#include "widgets/decimaltext.h"

#include <QLabel>
#include <QPrintPreviewDialog>

#include <functional>

using namespace FinanceTest;

namespace {

const std::initializer_list<const char *> Seed = {
    "insert into employee (employee_id,employee_name) values ('1','张三')",
    "insert into employee (employee_id,employee_name) values ('2','李四')",
    "insert into employee (employee_id,employee_name) values ('3','王五')",
    "insert into customer (customer_id,customer_name,salesman1,salesman2,commision1,commision2,invoice) values (1,'甲超市','张三','李四','2','0.5',1)",
    "insert into customer (customer_id,customer_name,salesman1,salesman2,commision1,commision2,invoice) values (2,'乙商店','张三','张三','2','1',0)",
    "insert into info (date,company,summary,income,category) values ('2024-03-05','1-甲超市','回款','1000','销售回款')",
    "insert into info (date,company,summary,income,category) values ('2024-03-05','2-乙商店','回款','1000','销售回款')",
    "insert into info (date,company,summary,income,category) values ('2024-02-05','1-甲超市','回款','500','销售回款')",
    "insert into receivable (date_begin,date_end,company,money,info_id,date_commision,inout_category,operator) values ('2024-02-01','2024-02-29','1-甲超市','1000',1,'2024-03-10','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,info_id,date_commision,inout_category,operator) values ('2024-02-01','2024-02-29','2-乙商店','1000',2,'2024-03-10','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,info_id,date_commision,inout_category,operator) values ('2024-01-01','2024-01-31','1-甲超市','500',3,'2024-02-10','货款','clerk')",
    "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-03-01','2024-03-31','2-乙商店','300','货款','clerk')",
};

// Rows as "date|customer|amount|discount|collected|tax factor|personal|team|commission",
// figures with two decimals.
QStringList shownRows(QSqlQueryModel *model)
{
    QStringList rows;
    for (const QStringList &row : ResultRows::fromModel(model)) {
        QStringList cells = row.mid(0, 2);
        for (int c = 2; c < row.size(); ++c) {
            cells << DecimalText::twoDecimals(DecimalText::valueOf(row.at(c)));
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void run(commision &form, const QString &salesman)
{
    fill(form, {{"comboBox", salesman}, {"dateEdit", "2024-03-01"}, {"dateEdit_2", "2024-03-31"}}, "pushButton");
}

// A text a printed page shows: centred in box, or anywhere when box is null;
// a text starting with "!" is one the page must not show.
struct Shows { int page; QRectF box; QString text; };

// A report of 40 lines: the statement adding line %2 (from first on; %1 is it
// with two digits), how the form opens and prints, its preview and print
// buttons, what its pages show, and a check of every page.
struct Printed
{
    QString line;
    int first;
    std::function<std::unique_ptr<QWidget>()> open;
    std::function<void(QWidget &, QPrinter *)> print;
    const char *preview, *printButton;
    QList<Shows> shows;
    std::function<bool(const PaintedPage &)> everyPage;
};

} // namespace

Q_DECLARE_METATYPE(Printed)

class tst_commision : public QObject
{
    Q_OBJECT
    std::unique_ptr<Books> m_books;

private slots:
    void init() { m_books.reset(new Books(Seed, "clerk", "")); }
    void cleanup() { m_books.reset(); }

    void report_data()
    {
        QTest::addColumn<QString>("salesman");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("totals");
        // 1000 collected, no discount, 2 %: 18.80 for a customer taking
        // invoices, 20.00 otherwise. The January period paid out in February is
        // not listed; the open March period is, once per salesman role, at 0.
        QTest::newRow("both roles, paid out and open")
            << "张三"
            << QStringList{"2024-02-29|1-甲超市|1000.00|0.00|1000.00|0.94|2.00|0.00|18.80",
                           "2024-02-29|2-乙商店|1000.00|0.00|1000.00|1.00|2.00|0.00|20.00",
                           "2024-02-29|2-乙商店|1000.00|0.00|1000.00|1.00|0.00|1.00|10.00",
                           "2024-03-31|2-乙商店|300.00|0.00|0.00|1.00|2.00|0.00|0.00",
                           "2024-03-31|2-乙商店|300.00|0.00|0.00|1.00|0.00|1.00|0.00"}
            << "个人提成金额38.80元，团队提成金额10.00元，总提成金额48.80元";
        QTest::newRow("team only")
            << "李四" << QStringList{"2024-02-29|1-甲超市|1000.00|0.00|1000.00|0.94|0.00|0.50|4.70"}
            << "个人提成金额0.00元，团队提成金额4.70元，总提成金额4.70元";
        QTest::newRow("salesman without customers") << "王五" << QStringList{} << "个人提成金额0.00元，团队提成金额0.00元，总提成金额0.00元";
    }
    void report()
    {
        QFETCH(QString, salesman);
        QFETCH(QStringList, rows);
        QFETCH(QString, totals);
        commision form;
        run(form, salesman);
        QCOMPARE(shownRows(form.model()), rows);
        QCOMPARE(child<QLabel>(form, "label")->text(), totals);
        QVERIFY(m_books->messages.isEmpty());
    }

    void printedPages_data()
    {
        QTest::addColumn<Printed>("p");
        // Columns 90 wide from x = 30, lines 25 high from y = 65.
        const auto invoiceCell = [](int column, int line) { return QRectF(30 + 90 * column, 65 + 25 * line, 90, 25); };
        QTest::newRow("invoice register: 40 lines on two pages")
            << Printed{"insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('" + QDate::currentDate().toString(Qt::ISODate) + "','N%1',%2.5,'1-甲供应','进项','录入员','')",
                       1, [] { return std::unique_ptr<QWidget>(new invoice); },
                       [](QWidget &form, QPrinter *printer) { static_cast<invoice &>(form).printDocument(printer); }, "pushButton", "pushButton_2",
                       {{0, invoiceCell(4, 0), "购/销单位"}, {0, invoiceCell(2, 39), "N39"}, {0, invoiceCell(0, 39), "39"}, {1, invoiceCell(0, 1), "1"},
                        {1, invoiceCell(2, 1), "N40"}, {1, invoiceCell(3, 1), "40.50"}, {1, invoiceCell(2, 2), ""}, {1, {}, "发票明细报表"}}, {}};
        QTest::newRow("payables: 39 lines a page")
            << Printed{"insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('2024-01-01','2024-01-31','1-甲超市',%2,'%1','货款','clerk')",
                       1, [] { auto form = open<payment>(QStringLiteral("货款")); query(*form, "2024-01-01", "2024-01-31"); return std::unique_ptr<QWidget>(form.release()); },
                       [](QWidget &form, QPrinter *printer) { static_cast<payment &>(form).printDocument(printer); }, "pushButton", "pushButton_2",
                       {{1, {}, "应付明细报表"}, {1, {}, "序号"}, {1, {}, "40.00"}, {1, {}, "!39.00"}}, {}};
        // Columns 30, 80, 220, 70, … wide from x = 15, lines 25 high from y = 65.
        QTest::newRow("commission: 40 lines, the totals on each page")
            << Printed{"insert into receivable (date_begin,date_end,company,money,remarks,inout_category,operator) values ('2024-03-01','2024-03-30','1-甲超市','%2','%1','货款','clerk')",
                       6, [] { auto form = new commision; run(*form, QStringLiteral("张三")); return std::unique_ptr<QWidget>(form); },
                       [](QWidget &form, QPrinter *printer) { static_cast<commision &>(form).printDocument(printer); }, "pushButton_2", "pushButton_3",
                       {{0, QRectF(15, 33, 720, 35), "业务提成报表"}, {0, QRectF(215, 33, 720, 35), "业务员：张三"}, {0, QRectF(345, 65, 70, 25), "应收金额"},
                        {0, QRectF(125, 90, 220, 25), "1-甲超市"}, {0, QRectF(345, 90, 70, 25), "1000.00"}, {0, QRectF(15, 1040, 30, 25), "39"},
                        {1, QRectF(15, 90, 30, 25), "1"}},
                       [](const PaintedPage &page) {
                           const QRectF footer = page.find(QStringLiteral("个人提成38.80元，团队提成10.00元，合计48.80元")).box;
                           return footer.left() == 15 && footer.top() >= 1067 && footer.bottom() <= 1092
                               && qAbs(page.find(QStringLiteral("统计日期：2024-03-31")).box.right() - 735) <= 1;
                       }};
    }
    // The pages as printed; the preview shows them maximized and paints the
    // same; without a printer "打印" says so and prints nothing.
    void printedPages()
    {
        QFETCH(Printed, p);
        for (int i = p.first; i <= 40; ++i) {
            m_books->run(p.line.arg(i, 2, 10, QLatin1Char('0')).arg(i));
        }
        auto form = p.open();
        RecordingPrinter printer;
        p.print(*form, &printer);
        const QList<PaintedPage> pages = printer.pages();
        QCOMPARE(pages.size(), 2);
        for (const Shows &s : p.shows) {
            const PaintedPage &page = pages.at(s.page);
            const bool shown = s.box.isNull() ? page.has(QString(s.text).remove(0, s.text.startsWith('!'))) : page.textCentredIn(s.box) == s.text;
            QVERIFY2(shown != s.text.startsWith('!'), qPrintable(QStringLiteral("page %1: %2").arg(s.page + 1).arg(s.text)));
        }
        for (const PaintedPage &page : pages) {
            QVERIFY(!p.everyPage || p.everyPage(page));
        }
        bool maximized = false;
        RecordingPrinter previewed;
        OrderTest::closeWhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog *dialog) {
            maximized = dialog->windowState().testFlag(Qt::WindowMaximized);
            emit dialog->paintRequested(&previewed);
        });
        click(*form, p.preview);
        QVERIFY(maximized);
        QVERIFY(previewed.pages() == pages);
        PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
        click(*form, p.printButton);
        QCOMPARE(m_books->messages.texts(), QStringList{"操作提示/本机没有安装打印机，请在“预览”中打印为PDF文件！"});
    }
};

QTEST_MAIN(tst_commision)
#include "tst_commision.moc"
