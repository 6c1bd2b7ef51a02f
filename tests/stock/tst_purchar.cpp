// The purchase order form and its twin the delivery note: controls,
// numbering, line entry by keyboard, line editing, saving in one transaction
// and in batches, deleting, and the hand-over to the printed form. Rows named
// "delivery note" run on the twin, where its texts, table, price offered,
// number prefix and printed form differ.

#include "stock/ordertesthelpers.h"

#include "stock/orderprintform.h"
#include "stock/orderprintstate.h"
#include "stock/purchar.h"
#include "stock/sell.h"
#include "support/statementfixture.h"
#include "support/messagerecorder.h"
#include "widgets/accountkind.h"
#include "widgets/printerchoice.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QPrintPreviewDialog>
#include <QtTest>

#include <memory>

using OrderTest::Controls;

namespace {

const QDate orderDay(2024, 3, 5);
const QString paper = QStringLiteral("101-打印纸-包-5");
const QString pens = QStringLiteral("102-签字笔-支-1.5");
const QString supplier12 = QStringLiteral("12-晨光文具");

std::unique_ptr<QWidget> openForm(bool delivery)
{
    return delivery ? std::unique_ptr<QWidget>(new sell) : std::unique_ptr<QWidget>(new purchar);
}

QString partyOf(bool delivery)
{
    return delivery ? QStringLiteral("12-东方超市") : supplier12;
}

void addKinds()
{
    QTest::addColumn<bool>("delivery");
    QTest::newRow("purchase order") << false;
    QTest::newRow("delivery note") << true;
}

// The real form, watched where a save hands its statements to the database:
// counts the statements of every execution and can make one execution fail
// with a genuine database error.
class WatchedPurchar : public purchar
{
public:
    QList<int> executions;
    int failingExecution = 0;

protected:
    bool runStatements(const QString &statements, QString *error) override
    {
        executions << statements.count(QLatin1Char(';'));
        const QString broken = QStringLiteral("insert into no_such_table (x) values (1);");
        return purchar::runStatements(executions.size() == failingExecution ? statements + broken : statements, error);
    }
};

} // namespace

class tst_purchar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithItsControlsAndLogsIt_data();
    void opensWithItsControlsAndLogsIt();
    void numbering_data();
    void numbering();
    void newOrderNeedsAPartyWithCode_data();
    void newOrderNeedsAPartyWithCode();
    void clerkEntersAndSavesAnOrderByKeyboard();
    void lineFigures_data();
    void lineFigures();
    void savesAllLinesInExecutionsOfAHundredOrNone();
    void saveNeedsAnOrderButNotLines();
    void numberTakenByAnotherWorkstationMovesToTheNextFree_data() { addKinds(); }
    void numberTakenByAnotherWorkstationMovesToTheNextFree();
    void openedOrderIsCorrectedAndExtended();
    void deletingLines();
    void printHandsTheTickedOrderOver_data() { addKinds(); }
    void printHandsTheTickedOrderOver();

private:
    // Lines of an order number "cgd…" or "shd…", stored in its own table.
    bool store(const QString &number, int lines, int party = 12, const QString &date = QStringLiteral("2024-03-05"))
    {
        const QString table = number.startsWith(QLatin1String("shd")) ? QStringLiteral("sell") : QStringLiteral("purchar");
        return OrderTest::addLines(*m_db, table, number, date, party, lines);
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_purchar::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(OrderTest::seedMasterData(*m_db));
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
}

void tst_purchar::cleanup()
{
    PrinterChoice::setHandler(PrinterChoice::Handler());
    m_db.reset();
}

void tst_purchar::opensWithItsControlsAndLogsIt_data()
{
    QTest::addColumn<bool>("delivery");
    QTest::addColumn<QStringList>("parties");
    QTest::addColumn<QString>("firstGoods");
    QTest::addColumn<QString>("logged");
    QTest::newRow("purchase order: suppliers, purchase price")
        << false << QStringList{"11-华联纸业", supplier12} << paper << "采购单";
    QTest::newRow("delivery note: customers, sales price")
        << true << QStringList{"7-南山幼儿园", "12-东方超市"} << "101-打印纸-包-6.5" << "送货单";
}

void tst_purchar::opensWithItsControlsAndLogsIt()
{
    QFETCH(bool, delivery);
    QFETCH(QStringList, parties);
    QFETCH(QString, firstGoods);
    QFETCH(QString, logged);
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{{"Canon", "HP"}, "HP"}; });
    const auto form = openForm(delivery);
    Controls c{form.get()};
    QVERIFY(c.complete());
    QCOMPARE(Controls::items(c.queryParty), QStringList{"---全部---"} + parties);
    QCOMPARE(Controls::items(c.newParty), QStringList{QString()} + parties);
    QCOMPARE(c.goods->itemText(0), QString());
    QVERIFY2(c.goods->itemText(1).startsWith(firstGoods), qPrintable(c.goods->itemText(1)));
    QCOMPARE(Controls::items(c.printer), (QStringList{"Canon", "HP"}));
    QCOMPARE(OrderPrintState::printerName, QStringLiteral("HP"));
    QCOMPARE(c.newDate->date(), QDate::currentDate());
    QCOMPARE(m_db->rows(QStringLiteral("select operator from operator")), QList<QStringList>{{logged}});
}

// The form of the expected number ("cgd" or "shd") proposes it.
void tst_purchar::numbering_data()
{
    QTest::addColumn<QStringList>("stored");  // "number" or "number@date@party"
    QTest::addColumn<QString>("deleted");     // an order whose lines are deleted again
    QTest::addColumn<QString>("expected");

    const QStringList oneTwoFive{"cgd20240305-12-1", "cgd20240305-12-2", "cgd20240305-12-5"};
    QTest::newRow("first order of a supplier on a day") << QStringList() << QString() << "cgd20240305-12-1";
    QTest::newRow("one more than the largest stored") << oneTwoFive << QString() << "cgd20240305-12-6";
    QTest::newRow("deleting the largest frees it") << oneTwoFive << "cgd20240305-12-5" << "cgd20240305-12-3";
    QTest::newRow("a number of fewer than three parts counts as 0")
        << QStringList{"cgd20240305"} << QString() << "cgd20240305-12-1";
    QTest::newRow("a sequence that is no number counts as 0")
        << QStringList{"cgd20240305-12-x", "cgd20240305-12-2"} << QString() << "cgd20240305-12-3";
    QTest::newRow("other suppliers and other days do not count")
        << QStringList{"cgd20240305-11-4@2024-03-05@11", "cgd20240304-12-7@2024-03-04@12"}
        << QString() << "cgd20240305-12-1";
    QTest::newRow("delivery notes do not count for purchases")
        << QStringList{"shd20240305-12-4", "cgd20240305-12-1"} << QString() << "cgd20240305-12-2";
    QTest::newRow("delivery note: purchases do not count")
        << QStringList{"cgd20240305-12-4", "shd20240305-12-1"} << QString() << "shd20240305-12-2";
}

void tst_purchar::numbering()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, deleted);
    QFETCH(QString, expected);
    for (const QString &entry : stored) {
        const QStringList parts = entry.split(QLatin1Char('@'));
        QVERIFY(store(parts.at(0), 2, parts.value(2, QStringLiteral("12")).toInt(),
                      parts.value(1, QStringLiteral("2024-03-05"))));
    }
    if (!deleted.isEmpty()) {
        QVERIFY(m_db->exec(QStringLiteral("delete from purchar where purchar_no='%1'").arg(deleted)));
    }
    const bool delivery = expected.startsWith(QLatin1String("shd"));
    const auto form = openForm(delivery);
    Controls c{form.get()};
    // Nothing is reserved: a second press computes the same number.
    for (int press = 0; press < 2; ++press) {
        c.startOrder(partyOf(delivery), orderDay);
        QCOMPARE(c.list->rowCount(), 1);
        QCOMPARE(FormTest::rowTexts(c.list, 0),
                 (QStringList{expected, "2024-03-05", partyOf(delivery), "0", "0", "test001"}));
    }
}

void tst_purchar::newOrderNeedsAPartyWithCode_data()
{
    QTest::addColumn<QString>("party");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << "   ";
    QTest::newRow("name without code") << "晨光文具";
    QTest::newRow("code that is no number") << "abc-晨光文具";
}

void tst_purchar::newOrderNeedsAPartyWithCode()
{
    QFETCH(QString, party);
    purchar form;
    Controls c{&form};
    MessageRecorder messages;
    c.startOrder(party, orderDay);
    QCOMPARE(messages.texts(), QStringList{"录入提示/内容为空或格式不正确！"});
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(c.list->rowCount(), 0);
}

void tst_purchar::clerkEntersAndSavesAnOrderByKeyboard()
{
    purchar form;
    Controls c{&form};
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    MessageRecorder messages;

    c.startOrder(supplier12, orderDay);
    QVERIFY(c.goods->hasFocus());
    FormTest::type(c.goods, c.goods->itemText(1));
    QTest::keyClick(c.goods, Qt::Key_Return);
    QCOMPARE((QStringList{c.code->text(), c.name->text(), c.unit->text()}), (QStringList{"101", "打印纸", "包"}));
    QCOMPARE(c.price->text().toDouble(), 5.0);
    QCOMPARE(QApplication::focusWidget(), c.quantity);
    QTest::keyClicks(c.quantity, QStringLiteral("3"));
    QTest::keyClick(c.quantity, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), c.remarks);
    FormTest::type(c.remarks, QStringLiteral("加急's 送到'后门'"));
    QTest::keyClick(c.remarks, Qt::Key_Return);

    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
    QCOMPARE(FormTest::rowTexts(c.lines, 0),
             (QStringList{"101", "打印纸", "包", "3.00", "5.00", "15.00", "加急's 送到'后门'", "0"}));
    QCOMPARE(c.lines->item(0, 5)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QVERIFY(c.lines->item(0, 3)->flags().testFlag(Qt::ItemIsEditable));
    QCOMPARE(c.lines->item(0, 8)->checkState(), Qt::Unchecked);
    // Ready for the next line.
    QVERIFY(c.code->text().isEmpty() && c.quantity->text().isEmpty() && c.remarks->text().isEmpty());
    QVERIFY(c.goods->currentText().isEmpty() && c.goods->hasFocus());

    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(messages.last().icon, QMessageBox::Information);
    QCOMPARE(c.lines->rowCount(), 0);
    QCOMPARE(m_db->rows(QStringLiteral("select purchar_no,convert(varchar(10),date,20),supplier_id,food_id,"
                                       "quantity,price,remarks,input from purchar")),
             (QList<QStringList>{{"cgd20240305-12-1", "2024-03-05",
                                  "12", "101", "3", "5", "加急's 送到'后门'", "test001"}}));

    // Found again by date and supplier, and only by them.
    c.queryOrders(orderDay, orderDay, supplier12);
    QCOMPARE(c.list->rowCount(), 1);
    QCOMPARE(FormTest::rowTexts(c.list, 0),
             (QStringList{"cgd20240305-12-1", "2024-03-05", supplier12, "1", "15.00", "test001"}));
    c.queryOrders(orderDay, orderDay, QStringLiteral("11-华联纸业"));
    QCOMPARE(c.list->rowCount(), 0);
    c.queryOrders(orderDay.addDays(1), orderDay.addDays(9), QStringLiteral("---全部---"));
    QCOMPARE(c.list->rowCount(), 0);

    // Leaving the search box takes the goods picked there.
    c.goods->setFocus();
    // Typing opens the completion pop-up; that is no leaving.
    FormTest::type(c.goods, QStringLiteral("102-签"));
    QVERIFY(c.code->text().isEmpty());
    c.goods->completer()->popup()->hide();
    c.goods->setEditText(pens);
    QTest::mouseClick(c.remarks, Qt::LeftButton);
    QCOMPARE((QStringList{c.code->text(), c.name->text(), c.unit->text(), c.price->text()}),
             (QStringList{"102", "签字笔", "支", "1.5"}));
    QCOMPARE(QApplication::focusWidget(), c.quantity);
}

void tst_purchar::lineFigures_data()
{
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<int>("column"); // a cell of the line edited afterwards, or -1
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("quantityPriceAmount");  // empty when refused

    QTest::newRow("negative quantity is a return") << paper << "-3" << -1 << "" << QStringList{"-3.00", "5.00", "-15.00"};
    QTest::newRow("amount from the rounded texts") << pens << "2.345" << -1 << "" << QStringList{"2.35", "1.50", "3.53"};
    QTest::newRow("zero quantity") << paper << "0" << -1 << "" << QStringList();
    QTest::newRow("empty quantity") << paper << QString() << -1 << "" << QStringList();
    QTest::newRow("quantity that is no number") << paper << "abc" << -1 << "" << QStringList();
    QTest::newRow("search text of three parts") << "101-打印纸-包" << "3" << -1 << "" << QStringList();
    QTest::newRow("goods code that is no number") << "x-打印纸-包-5" << "3" << -1 << "" << QStringList();
    QTest::newRow("quantity edited to 5") << paper << "2" << 3 << "5" << QStringList{"5.00", "5.00", "25.00"};
    QTest::newRow("quantity edited to abc") << paper << "2" << 3 << "abc" << QStringList{"0.00", "5.00", "0.00"};
    QTest::newRow("price edited to 2.5") << paper << "2" << 4 << "2.5" << QStringList{"2.00", "2.50", "5.00"};
    QTest::newRow("remarks change nothing else") << paper << "2" << 6 << "7" << QStringList{"2.00", "5.00", "10.00"};
}

void tst_purchar::lineFigures()
{
    QFETCH(QString, goods);
    QFETCH(QString, quantity);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QStringList, quantityPriceAmount);
    purchar form;
    Controls c{&form};
    MessageRecorder messages;
    c.addGoodsLine(goods, quantity);
    if (quantityPriceAmount.isEmpty()) {
        QCOMPARE(messages.texts(), QStringList{"输入提示/输入格式不正确，请检查！"});
        QCOMPARE(c.lines->rowCount(), 0);
        return;
    }
    QVERIFY(messages.isEmpty());
    if (column >= 0) {
        c.lines->item(0, column)->setText(typed);
    }
    QCOMPARE(FormTest::rowTexts(c.lines, 0).mid(3, 3), quantityPriceAmount);
}

// All lines or none: a failing execution leaves nothing stored and the
// lines on screen, so that the clerk can save again.
void tst_purchar::savesAllLinesInExecutionsOfAHundredOrNone()
{
    WatchedPurchar form;
    form.failingExecution = 2;
    Controls c{&form};
    MessageRecorder messages;
    c.startOrder(supplier12, orderDay);
    for (int i = 1; i <= 250; ++i) {
        c.addGoodsLine(paper, QString::number(i));
    }
    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(messages.last().text.contains(QStringLiteral("no_such_table")));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from purchar")), QStringLiteral("0"));
    QCOMPARE(c.lines->rowCount(), 250);

    messages.clear();
    form.executions.clear();
    form.failingExecution = 0;
    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(form.executions, (QList<int>{100, 100, 50}));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from purchar where purchar_no='cgd20240305-12-1'")),
             QStringLiteral("250"));
}

void tst_purchar::saveNeedsAnOrderButNotLines()
{
    QVERIFY(store(QStringLiteral("cgd20240305-11-1"), 1, 11));
    purchar form;
    Controls c{&form};
    MessageRecorder messages;
    c.addGoodsLine(paper, QStringLiteral("1"));
    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"保存提示/没有订单号,无法保存！"});
    QCOMPARE(c.lines->rowCount(), 1);

    // An empty new order stores nothing; the list shows the query again.
    messages.clear();
    c.from->setDate(orderDay);
    c.to->setDate(orderDay);
    // "新增" asks before the unsaved line goes.
    messages.answerNext(QMessageBox::Discard);
    c.startOrder(supplier12, orderDay);
    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), (QStringList{"保存提示/数据已修改，是否保存？", "保存提示/保存成功！"}));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from purchar")), QStringLiteral("1"));
    QCOMPARE(c.list->rowCount(), 1);
    QCOMPARE(FormTest::cell(c.list, 0, 0), QStringLiteral("cgd20240305-11-1"));
}

void tst_purchar::numberTakenByAnotherWorkstationMovesToTheNextFree()
{
    QFETCH(bool, delivery);
    const QString table = delivery ? QStringLiteral("sell") : QStringLiteral("purchar");
    const QString prefix = delivery ? QStringLiteral("shd20240305-12-") : QStringLiteral("cgd20240305-12-");
    const auto form = openForm(delivery);
    const auto sameDesk = openForm(delivery);
    Controls c{form.get()};
    Controls d{sameDesk.get()};
    MessageRecorder messages;
    c.startOrder(partyOf(delivery), orderDay);
    d.startOrder(partyOf(delivery), orderDay);
    c.addGoodsLine(c.itemFor(101), QStringLiteral("4"));
    d.addGoodsLine(d.itemFor(102), QStringLiteral("1"));
    // Another workstation saves its order under the same number first.
    QVERIFY(OrderTest::addLines(*m_db, table, prefix + "1", "2024-03-05", 12, 1, 103, "1", "24"));

    QTest::mouseClick(c.save, Qt::LeftButton);
    QTest::mouseClick(d.save, Qt::LeftButton);
    const QString taken = QStringLiteral("保存提示/单号%1已被其他用户使用，本单已保存为%2！");
    const QString saved = QStringLiteral("保存提示/保存成功！");
    QCOMPARE(messages.texts(), (QStringList{taken.arg(prefix + "1", prefix + "2"), saved,
                                           taken.arg(prefix + "1", prefix + "3"), saved}));
    // Each at the price its form offers.
    QCOMPARE(m_db->rows(QStringLiteral("select %1_no,food_id,price from %1 order by id").arg(table)),
             (QList<QStringList>{{prefix + "1", "103", "24"},
                                 {prefix + "2", "101", delivery ? "6.5" : "5"},
                                 {prefix + "3", "102", delivery ? "2" : "1.5"}}));
    c.queryOrders(orderDay, orderDay, partyOf(delivery));
    QCOMPARE(FormTest::tableTexts(c.list).value(0),
             (QStringList{prefix + "1", "2024-03-05", partyOf(delivery), "1", "24.00", "test001"}));
}

void tst_purchar::openedOrderIsCorrectedAndExtended()
{
    QVERIFY(store(QStringLiteral("cgd20240305-12-1"), 2));
    purchar form;
    Controls c{&form};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    MessageRecorder messages;

    c.queryOrders(orderDay, orderDay, QStringLiteral("---全部---"));
    QCOMPARE(FormTest::cell(c.list, 0, 4), QStringLiteral("20.00"));
    c.clickListRow(0);
    QCOMPARE(c.list->currentRow(), 0);
    QCOMPARE(c.lines->rowCount(), 2);
    QCOMPARE(FormTest::rowTexts(c.lines, 0), (QStringList{"101", "打印纸", "包", "2.00", "5.00", "10.00", "第1行", "1"}));

    c.lines->item(0, 3)->setText(QStringLiteral("7"));
    c.lines->item(0, 6)->setText(QStringLiteral("少送'1'包"));
    c.addGoodsLine(QStringLiteral("103-矿泉水-箱-24"), QStringLiteral("1"));
    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->rows(QStringLiteral("select id,purchar_no,supplier_id,food_id,quantity,remarks from purchar order by id")),
             (QList<QStringList>{
                 {"1", "cgd20240305-12-1", "12", "101", "7", "少送'1'包"},
                 {"2", "cgd20240305-12-1", "12", "101", "2", "第2行"},
                 {"3", "cgd20240305-12-1", "12", "103", "1", QString()}}));
    QCOMPARE(FormTest::rowTexts(c.list, 0).mid(3, 2), (QStringList{"3", "69.00"}));
}

void tst_purchar::deletingLines()
{
    QVERIFY(store(QStringLiteral("cgd20240305-12-1"), 3));
    purchar form;
    Controls c{&form};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    MessageRecorder messages;
    QTest::mouseClick(c.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"操作提示/请先选择一项！"});

    c.queryOrders(orderDay, orderDay, supplier12);
    c.clickListRow(0);
    c.addGoodsLine(pens, QStringLiteral("1"));
    Controls::tick(c.lines, 1);
    Controls::tick(c.lines, 3);
    messages.clear();
    QTest::mouseClick(c.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"操作提示/删除成功！"});
    QCOMPARE((QStringList{FormTest::cell(c.lines, 0, 7), FormTest::cell(c.lines, 1, 7)}), (QStringList{"1", "3"}));
    QCOMPARE(m_db->rows(QStringLiteral("select id from purchar order by id")), (QList<QStringList>{{"1"}, {"3"}}));
    QCOMPARE(FormTest::cell(c.list, 0, 3), QStringLiteral("3")); // the list is not reloaded

    // Lines never saved go without a statement.
    c.addGoodsLine(pens, QStringLiteral("1"));
    Controls::tick(c.lines, 2);
    messages.clear();
    QTest::mouseClick(c.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"操作提示/删除成功！"});
    QCOMPARE(c.lines->rowCount(), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from purchar")), QStringLiteral("2"));
}

void tst_purchar::printHandsTheTickedOrderOver()
{
    QFETCH(bool, delivery);
    const QString number = delivery ? QStringLiteral("shd20240305-12-1") : QStringLiteral("cgd20240305-12-1");
    const int otherParty = delivery ? 7 : 11;
    QVERIFY(store(QString(number).replace(QStringLiteral("-12-"), QStringLiteral("-%1-").arg(otherParty)), 1, otherParty));
    QVERIFY(store(number, 1));
    const auto form = openForm(delivery);
    Controls c{form.get()};
    MessageRecorder messages;
    c.queryOrders(orderDay, orderDay, QStringLiteral("---全部---"));
    QTest::mouseClick(c.preview, Qt::LeftButton);
    QTest::mouseClick(c.print, Qt::LeftButton);
    QCOMPARE(messages.texts(), (QStringList{"操作提示/先选择一行", "操作提示/先选择一行"}));
    QVERIFY(form->findChildren<OrderPrintForm *>().isEmpty());

    Controls::tick(c.list, FormTest::rowOf(c.list, 0, number));
    c.format->setCurrentText(QStringLiteral("全联"));
    // This machine has no printer: print says so.
    messages.clear();
    QTest::mouseClick(c.print, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"操作提示/本机没有安装打印机，请在“预览”中打印为PDF文件！"});
    QCOMPARE((QStringList{OrderPrintState::orderNumber, OrderPrintState::orderDate, OrderPrintState::partyText,
                          CustomerParty, OrderPrintState::printerName}),
             (QStringList{number, "2024-03-05", partyOf(delivery), partyOf(delivery), QString()}));
    QCOMPARE((QList<int>{OrderPrintState::frameHeight, OrderPrintState::rowsPerPage, OrderPrintState::pageHeight}),
             (QList<int>{820, 30, 279}));

    // The preview still opens, now on the half sheet.
    c.format->setCurrentText(QStringLiteral("半联"));
    bool opened = false;
    OrderTest::closeWhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog *) { opened = true; });
    QTest::mouseClick(c.preview, Qt::LeftButton);
    QVERIFY(opened);
    QCOMPARE((QList<int>{OrderPrintState::frameHeight, OrderPrintState::rowsPerPage, OrderPrintState::pageHeight}),
             (QList<int>{320, 11, 139}));
    const QList<OrderPrintForm *> prints = form->findChildren<OrderPrintForm *>();
    QCOMPARE(prints.size(), 2);
    for (const OrderPrintForm *print : prints) {
        QCOMPARE(QString::fromLatin1(print->metaObject()->className()), delivery ? "printdb1" : "printdb2");
        QCOMPARE(print->lineCount(), 1);
        QVERIFY(!print->isVisible());
    }
}

// A form round trip: on the embedded engine, and on SQL Server when one is configured.
JXC_STATEMENT_TEST_MAIN(tst_purchar)
#include "tst_purchar.moc"
