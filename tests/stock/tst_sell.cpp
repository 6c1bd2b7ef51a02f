// The delivery note form is the purchase order form turned towards customers;
// only what differs is checked here (texts, table, price offered, number
// prefix, printed form). The shared behaviour is tested on purchar.

#include "stock/ordertesthelpers.h"

#include "stock/orderprintstate.h"
#include "stock/printdb1.h"
#include "stock/printdb2.h"
#include "stock/purchar.h"
#include "stock/sell.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/accountkind.h"
#include "widgets/printerchoice.h"

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QtTest>

#include <memory>

using OrderTest::Controls;

namespace {

const QDate orderDay(2024, 3, 5);

} // namespace

class tst_sell : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheCustomersAndLogsIt();
    void deliveryAndPurchaseSequencesAreIndependent();
    void noteIsSavedForTheCustomerWithTheSalesPrice();
    void previewHandsOverToTheDeliveryPrint();

private:
    std::unique_ptr<TestDb> m_db;
};

void tst_sell::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(OrderTest::seedMasterData(*m_db));
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
}

void tst_sell::cleanup()
{
    PrinterChoice::setHandler(PrinterChoice::Handler());
    m_db.reset();
}

void tst_sell::opensWithTheCustomersAndLogsIt()
{
    sell form;
    Controls c{&form};
    QVERIFY(c.complete());
    QCOMPARE(Controls::items(c.queryParty), (QStringList{"---全部---", "7-南山幼儿园", "12-东方超市"}));
    QCOMPARE(m_db->rows(QStringLiteral("select operator from operator")), (QList<QStringList>{{"送货单"}}));
}

void tst_sell::deliveryAndPurchaseSequencesAreIndependent()
{
    QVERIFY(OrderTest::addLines(*m_db, QStringLiteral("purchar"), QStringLiteral("cgd20240305-12-1"),
                                QStringLiteral("2024-03-05"), 12, 1));
    sell delivery;
    purchar purchase;
    Controls d{&delivery};
    Controls p{&purchase};
    d.startOrder(QStringLiteral("12-东方超市"), orderDay);
    QCOMPARE(FormTest::cell(d.list, 0, 0), QStringLiteral("shd20240305-12-1"));

    QVERIFY(OrderTest::addLines(*m_db, QStringLiteral("sell"), QStringLiteral("shd20240305-12-2"),
                                QStringLiteral("2024-03-05"), 12, 1));
    d.startOrder(QStringLiteral("12-东方超市"), orderDay);
    p.startOrder(QStringLiteral("12-晨光文具"), orderDay);
    QCOMPARE(FormTest::cell(d.list, 0, 0), QStringLiteral("shd20240305-12-3"));
    QCOMPARE(FormTest::cell(p.list, 0, 0), QStringLiteral("cgd20240305-12-2"));
}

void tst_sell::noteIsSavedForTheCustomerWithTheSalesPrice()
{
    sell form;
    Controls c{&form};
    MessageRecorder messages;
    QVERIFY(c.goods->itemText(3).startsWith(QStringLiteral("103-矿泉水-箱-30")));
    c.startOrder(QStringLiteral("7-南山幼儿园"), orderDay);
    c.addGoodsLine(c.goods->itemText(3), QStringLiteral("2"), QStringLiteral("放门卫'室'"));
    QCOMPARE(FormTest::rowTexts(c.lines, 0).mid(3, 3), (QStringList{"2.00", "30.00", "60.00"}));
    // Meanwhile another workstation saves a note under the same number.
    QVERIFY(OrderTest::addLines(*m_db, QStringLiteral("sell"), QStringLiteral("shd20240305-7-1"),
                                QStringLiteral("2024-03-05"), 7, 1));
    QTest::mouseClick(c.save, Qt::LeftButton);
    QCOMPARE(messages.texts(),
             (QStringList{"保存提示/单号shd20240305-7-1已被其他用户使用，本单已保存为shd20240305-7-2！",
                          "保存提示/保存成功！"}));
    QCOMPARE(m_db->rows(QStringLiteral("select sell_no,customer_id,food_id,price,remarks from sell where id=2")),
             (QList<QStringList>{{"shd20240305-7-2", "7", "103", "30", "放门卫'室'"}}));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from purchar")), QStringLiteral("0"));

    c.queryOrders(orderDay, orderDay, QStringLiteral("7-南山幼儿园"));
    QCOMPARE(c.list->rowCount(), 2);
    QCOMPARE(FormTest::rowTexts(c.list, 1),
             (QStringList{"shd20240305-7-2", "2024-03-05", "7-南山幼儿园", "1", "60.00", "test001"}));
}

void tst_sell::previewHandsOverToTheDeliveryPrint()
{
    QVERIFY(OrderTest::addLines(*m_db, QStringLiteral("sell"), QStringLiteral("shd20240305-12-1"),
                                QStringLiteral("2024-03-05"), 12, 2));
    sell form;
    Controls c{&form};
    MessageRecorder messages;
    c.queryOrders(orderDay, orderDay, QStringLiteral("---全部---"));
    Controls::tick(c.list, 0);
    bool opened = false;
    OrderTest::closeWhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog *) { opened = true; });
    QTest::mouseClick(c.preview, Qt::LeftButton);
    QVERIFY(opened);
    QVERIFY(messages.isEmpty());
    QCOMPARE(CustomerParty, QStringLiteral("12-东方超市"));
    QVERIFY(form.findChildren<printdb2 *>().isEmpty());
    QCOMPARE(form.findChildren<printdb1 *>().size(), 1);
    QCOMPARE(form.findChildren<printdb1 *>().first()->lineCount(), 2);
}

QTEST_MAIN(tst_sell)
#include "tst_sell.moc"
