// The commission report: which receivables a salesman sees, the commission
// of a paid-out line, the totals and the printed pages.
//
// Customer 1 甲超市 takes invoices, 张三 personal at 2 %, 李四 team at
// 0.5 %; 2 乙商店 takes none and has 张三 as both salesmen (2 % and 1 %).
// Each had 1000.00 collected on 2024-02-29 with the commission paid out on
// 2024-03-10; 甲超市's January period was paid out in February, 乙商店's
// March period is still open.

#include "finance/commision.h"
#include "stock/recordingprinter.h"
#include "stock/ordertesthelpers.h"
#include "support/messagerecorder.h"
#include "support/statementfixture.h"
#include "support/testdb.h"
#include "widgets/decimaltext.h"
#include "widgets/printerchoice.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QtTest>

#include <memory>

namespace {

const char *const Books[] = {
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

class WatchedReport : public commision
{
public:
    QList<QList<PaintedPage>> documents;
    void printDocument(QPrinter *) override
    {
        RecordingPrinter recorder;
        commision::printDocument(&recorder);
        documents << recorder.pages();
    }
};

void run(commision &form, const QString &salesman)
{
    form.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(salesman);
    form.findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate(2024, 3, 1));
    form.findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(QDate(2024, 3, 31));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
}

} // namespace

class tst_commision : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;

private slots:
    void init()
    {
        m_db.reset(new TestDb);
        QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
        for (const char *sql : Books) {
            QVERIFY2(m_db->exec(QString::fromUtf8(sql)), qPrintable(m_db->lastError()));
        }
    }
    void cleanup()
    {
        PrinterChoice::setHandler(PrinterChoice::Handler());
        m_db.reset();
    }

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
        MessageRecorder messages;
        commision form;
        run(form, salesman);
        QCOMPARE(shownRows(form.model()), rows);
        QCOMPARE(form.findChild<QLabel *>(QStringLiteral("label"))->text(), totals);
        QVERIFY(messages.isEmpty());
    }

    // Columns 30, 80, 220, 70, … wide from x = 15, lines 25 high from y = 65;
    // 40 lines take two pages, each with the totals below.
    void printedPages()
    {
        for (int i = 0; i < 35; ++i) {
            QVERIFY(m_db->exec(QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-03-01','2024-03-30','1-甲超市','%1','货款','clerk')").arg(i + 1)));
        }
        commision form;
        run(form, QStringLiteral("张三"));
        QCOMPARE(form.model()->rowCount(), 40);
        RecordingPrinter printer;
        form.printDocument(&printer);
        QCOMPARE(printer.pages().size(), 2);
        const PaintedPage first = printer.pages().first();
        QVERIFY(PaintedPage::centredIn(first.find(QStringLiteral("业务提成报表")).box, QRectF(15, 33, 720, 35)));
        QVERIFY(PaintedPage::centredIn(first.find(QStringLiteral("业务员：张三")).box, QRectF(215, 33, 720, 35)));
        QCOMPARE(first.textCentredIn(QRectF(345, 65, 70, 25)), QStringLiteral("应收金额"));
        QCOMPARE(first.textCentredIn(QRectF(125, 90, 220, 25)) + ' ' + first.textCentredIn(QRectF(345, 90, 70, 25)),
                 QStringLiteral("1-甲超市 1000.00"));
        QCOMPARE(first.textCentredIn(QRectF(15, 1040, 30, 25)), QStringLiteral("39"));
        QCOMPARE(printer.pages().at(1).textCentredIn(QRectF(15, 90, 30, 25)), QStringLiteral("1"));
        for (const PaintedPage &page : printer.pages()) {
            const PaintedText footer = page.find(QStringLiteral("个人提成38.80元，团队提成10.00元，合计48.80元"));
            QVERIFY(footer.box.left() == 15 && footer.box.top() >= 1067 && footer.box.bottom() <= 1092);
            QVERIFY(qAbs(page.find(QStringLiteral("统计日期：2024-03-31")).box.right() - 735) <= 1);
        }
    }

    void previewAndPrint()
    {
        WatchedReport form;
        run(form, QStringLiteral("李四"));
        MessageRecorder messages;
        PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{"操作提示/本机没有安装打印机，请在“预览”中打印为PDF文件！"});
        QVERIFY(form.documents.isEmpty());
        bool maximized = false;
        OrderTest::closeWhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog *dialog) {
            maximized = dialog->windowState().testFlag(Qt::WindowMaximized);
        });
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton_2")), Qt::LeftButton);
        QVERIFY(maximized);
        PrinterChoice::setHandler([]() { return PrinterChoice::Printers{{"HP"}, "HP"}; });
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
        QCOMPARE(form.documents.size(), 2);
        QVERIFY(form.documents.at(0) == form.documents.at(1));
        QVERIFY(form.documents.at(0).at(0).has(QStringLiteral("个人提成0.00元，团队提成4.70元，合计4.70元")));
    }
};

QTEST_MAIN(tst_commision)
#include "tst_commision.moc"
