// What the payables form does differently from the receivables: its company
// list, fixed periods, the supplier-side pick lists and interest columns, and
// the actions it does not have.

#include "finance/payment.h"
#include "ledgertest.h"
#include "stock/recordingprinter.h"
#include "widgets/printerchoice.h"

#include <QAction>

using namespace LedgerTest;

class tst_payment : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void companiesAreSuppliersAndCustomersButDelivery();
    void receivableActionsAreAbsent();
    void periodCellsCannotBeEdited_data();
    void periodCellsCannotBeEdited();
    void generateBindAndSave();
    void interestOnTheCashColumn();
    void printsThirtyNineLinesAPage_data();
    void printsThirtyNineLinesAPage();

private:
    std::unique_ptr<Fixture> m_fixture;
};

void tst_payment::init()
{
    m_fixture.reset(new Fixture);
    QVERIFY2(m_fixture->db->isValid(), qPrintable(m_fixture->db->error()));
    QVERIFY(m_fixture->db->exec(QStringLiteral("insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('2024-01-01','2024-01-31','12-晨光文具',300,'','货款','clerk')")));
}

void tst_payment::cleanup()
{
    m_fixture.reset();
}

void tst_payment::companiesAreSuppliersAndCustomersButDelivery()
{
    auto form = open<payment>(QStringLiteral("货款"));
    for (const char *name : {"comboBox_2", "comboBox_5"}) {
        auto *box = form->findChild<QComboBox *>(QString::fromLatin1(name));
        QStringList items;
        for (int i = 0; i < box->count(); ++i) {
            items << box->itemText(i);
        }
        QCOMPARE(items, (QStringList{"", "12-晨光文具", "21-东方超市", "22-西城商店"}));
    }
    LEDGER_CHILD(QComboBox, fields, form.get(), "comboBox");
    QCOMPARE(fields->count(), 2);
}

void tst_payment::receivableActionsAreAbsent()
{
    auto form = open<payment>(QStringLiteral("货款"));
    LEDGER_CHILD(QPushButton, exportButton, form.get(), "pushButton_9");
    QCOMPARE(exportButton->text(), QStringLiteral("导出"));
    for (const char *name : {"pushButton_10", "pushButton_12", "pushButton_13"}) {
        QVERIFY(!form->findChild<QPushButton *>(QString::fromLatin1(name))->isVisible());
    }
    QCOMPARE(form->actions().size(), 1);
    QCOMPARE(form->actions().first()->text(), QStringLiteral("保存"));
}

void tst_payment::periodCellsCannotBeEdited_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("begin, double-click") << 0 << false;
    QTest::newRow("end, edit key") << 1 << true;
    QTest::newRow("company, double-click") << 2 << false;
    QTest::newRow("category, edit key") << 8 << true;
}

void tst_payment::periodCellsCannotBeEdited()
{
    QFETCH(int, column);
    QFETCH(bool, byKeyboard);
    auto form = open<payment>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    QCOMPARE(openEditor(form.get(), 0, column, byKeyboard), nullptr);
    QTest::keyClicks(view(form.get())->viewport(), "9");
    QCOMPARE(cell(form.get(), 0, 0), QStringLiteral("2024-01-01"));
}

void tst_payment::generateBindAndSave()
{
    auto form = open<payment>(QStringLiteral("货款"));
    generate(form.get(), QStringLiteral("2024-02-01"), QStringLiteral("2024-02-29"), QString(), QStringLiteral("5"));
    QCOMPARE(m_fixture->messages.texts(), QStringList{"错误提示/金额或供应商不能为空"});
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    QVERIFY(choose(form.get(), 0, 4, QStringLiteral("3-"), false));
    QCOMPARE(SupplierParty, QStringLiteral("12-晨光文具"));
    QVERIFY(choose(form.get(), 0, 5, QStringLiteral("3-"), true));
    click(form.get(), "pushButton_3");
    QCOMPARE(m_fixture->messages.last().text, QStringLiteral("保存成功！"));
    QCOMPARE(m_fixture->db->rows(QStringLiteral("select invoice_id,info_id from payment")),
             (QList<QStringList>{{"3", "3"}}));
}

void tst_payment::interestOnTheCashColumn()
{
    QVERIFY(m_fixture->db->exec(QStringLiteral("insert into payment (date_begin,date_end,company,money,info_id,inout_category,operator) values ('2023-12-01','2023-12-31','12-晨光文具',10000,3,'履约保证金','clerk')")));
    auto form = open<payment>(QStringLiteral("履约"));
    query(form.get(), QStringLiteral("2023-12-31"), QStringLiteral("2023-12-31"));
    press(form.get(), 0, 5);
    // Paid on 2024-02-20, 51 days after the end: 10000 x 0.0002 x 51.
    QCOMPARE(cell(form.get(), 0, 6), QStringLiteral("102.00"));
}

void tst_payment::printsThirtyNineLinesAPage_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::newRow("39 rows: one page") << 39 << 1;
    QTest::newRow("40 rows: the 40th starts page 2") << 40 << 2;
}

void tst_payment::printsThirtyNineLinesAPage()
{
    QFETCH(int, rows);
    QFETCH(int, pages);
    for (int i = 2; i <= rows; ++i) {
        QVERIFY(m_fixture->db->exec(QStringLiteral("insert into payment (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-01','2024-01-31','12-晨光文具',%1,'货款','clerk')").arg(i)));
    }
    auto form = open<payment>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    RecordingPrinter printer;
    form->printDocument(&printer);
    QCOMPARE(printer.pages().size(), pages);
    const PaintedPage last = printer.pages().last();
    QVERIFY(last.has(QStringLiteral("应付明细报表")));
    QVERIFY(last.has(QStringLiteral("序号")));
    QVERIFY(last.has(QStringLiteral("%1.00").arg(rows))); // the amount with two decimals

    // No printer installed: "打印" says so instead of printing.
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
    click(form.get(), "pushButton_2");
    PrinterChoice::setHandler(PrinterChoice::Handler());
    QCOMPARE(m_fixture->messages.last().title, QStringLiteral("操作提示"));
}

QTEST_MAIN(tst_payment)
#include "tst_payment.moc"
