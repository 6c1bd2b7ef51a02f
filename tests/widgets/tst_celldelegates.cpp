// The cell editors of the finance tables: read-only columns, the partner list
// and the four id lists with their preselection and party texts.

#include "widgets/accountkind.h"
#include "widgets/celldelegates.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QComboBox>
#include <QCompleter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

const QString alpha = QStringLiteral("7-Alpha贸易");
const QString quoted = QStringLiteral("8-O'Neil");

} // namespace

class tst_celldelegates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readOnlyColumnsOpenNoEditor();
    void partnerListLeavesOutDeliveryCustomers();
    void partnerListMatchesAnyPartInAnyCase_data();
    void partnerListMatchesAnyPartInAnyCase();
    void idListsHoldThePartnersRecordsNewestFirst_data();
    void idListsHoldThePartnersRecordsNewestFirst();
    void choosingARecordStoresItsId();
    void anIdCellOpensOnItsRecordAndKeepsIt_data();
    void anIdCellOpensOnItsRecordAndKeepsIt();
    void aFailingListIsReportedAndOpensNoEditor();
    void thePartyFollowsTheCurrentRow();
    void aPartyColumnMakesTheListTheEditedRows();

private:
    // A view over one row per company: company text in column 0, id in 1.
    void showRows(const QStringList &companies, const QList<int> &ids);
    QComboBox *openEditor(int row, int column);

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<QStandardItemModel> m_model;
    std::unique_ptr<QTableView> m_view;
};

void tst_celldelegates::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    const QStringList setup = {
        "insert into supplier (supplier_id,supplier_name,category) values (7,'Alpha贸易','')",
        "insert into supplier (supplier_id,supplier_name,category) values (8,'O''Neil','')",
        "insert into customer (customer_id,customer_name,category) values (11,'alphabet商行','')",
        "insert into customer (customer_id,customer_name,category) values (12,'Alpha配送','配送客户')",
        "insert into info (date,company,summary,income,pay,category) values ('2024-01-02','7-Alpha贸易','首付',100,0,'')",
        "insert into info (date,company,summary,income,pay,category) values ('2024-01-03','8-O''Neil','货款',0,80,'')",
        "insert into info (id,date,company,summary,income,pay,category) values (57,'2024-01-04','7-Alpha贸易','尾款',200,0,'')",
        "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-05','F1',300,'7-Alpha贸易','销项','u','')",
        "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-06','F2',400,'8-O''Neil','进项','u','')",
    };
    for (const QString &sql : setup) {
        QVERIFY2(m_db->exec(sql), qPrintable(m_db->lastError()));
    }
    CustomerParty.clear();
    SupplierParty.clear();
}

void tst_celldelegates::cleanup()
{
    m_view.reset();
    m_model.reset();
    m_db.reset();
}

void tst_celldelegates::showRows(const QStringList &companies, const QList<int> &ids)
{
    m_model.reset(new QStandardItemModel(companies.size(), 2));
    for (int row = 0; row < companies.size(); ++row) {
        m_model->setData(m_model->index(row, 0), companies.at(row));
        m_model->setData(m_model->index(row, 1), ids.value(row));
    }
    m_view.reset(new QTableView);
    m_view->setModel(m_model.get());
    m_view->show();
}

QComboBox *tst_celldelegates::openEditor(int row, int column)
{
    const QModelIndex index = m_model->index(row, column);
    m_view->setCurrentIndex(index);
    m_view->edit(index);
    return qobject_cast<QComboBox *>(m_view->indexWidget(index));
}

namespace {

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

// What leaving the cell does: the view asks the delegate to write back.
void commit(QAbstractItemView *view, QComboBox *box)
{
    QVERIFY(QMetaObject::invokeMethod(view, "commitData", Q_ARG(QWidget *, box)));
}

} // namespace

void tst_celldelegates::readOnlyColumnsOpenNoEditor()
{
    showRows({alpha}, {0});
    ReadOnlyDelegate readOnly;
    m_view->setItemDelegateForColumn(0, &readOnly);
    const QModelIndex index = m_model->index(0, 0);
    m_view->setCurrentIndex(index);
    m_view->edit(index);
    QTest::keyClicks(m_view->viewport(), "x");
    QCOMPARE(m_view->indexWidget(index), nullptr);
    QCOMPARE(m_model->data(index).toString(), alpha);
}

void tst_celldelegates::partnerListLeavesOutDeliveryCustomers()
{
    showRows({alpha}, {0});
    Cus_SupDelegate partners;
    m_view->setItemDelegateForColumn(0, &partners);
    QComboBox *box = openEditor(0, 0);
    QVERIFY(box);
    QCOMPARE(itemsOf(box), QStringList({"11-alphabet商行", alpha, quoted}));
    QCOMPARE(box->currentText(), alpha);
}

void tst_celldelegates::partnerListMatchesAnyPartInAnyCase_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("upper case finds both kinds") << "ALPHA" << QStringList({"11-alphabet商行", alpha});
    QTest::newRow("the middle of a name") << "neil" << QStringList({quoted});
    QTest::newRow("a code") << "11" << QStringList({"11-alphabet商行"});
    QTest::newRow("the delivery customer is never offered") << "配送" << QStringList();
}

void tst_celldelegates::partnerListMatchesAnyPartInAnyCase()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    showRows({QString()}, {0});
    Cus_SupDelegate partners;
    m_view->setItemDelegateForColumn(0, &partners);
    QComboBox *box = openEditor(0, 0);
    QVERIFY(box);
    QCompleter *completer = box->completer();
    completer->setCompletionPrefix(typed);
    QStringList found;
    for (int i = 0; i < completer->completionCount(); ++i) {
        completer->setCurrentRow(i);
        found << completer->currentCompletion();
    }
    QCOMPARE(found, offered);
}

void tst_celldelegates::idListsHoldThePartnersRecordsNewestFirst_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("party");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("customer cash") << "CashNo_Cus" << alpha << QStringList({"57-尾款-200.00", "1-首付-100.00"});
    QTest::newRow("supplier cash, quote in the name") << "CashNo_Sup" << quoted << QStringList({"2-货款-80.00"});
    QTest::newRow("customer invoices") << "InvoiceNo_Cus" << alpha << QStringList({"1-2024-01-05-F1-300.00"});
    QTest::newRow("supplier invoices") << "InvoiceNo_Sup" << quoted << QStringList({"2-2024-01-06-F2-400.00"});
    QTest::newRow("no partner, no records") << "CashNo_Cus" << QString() << QStringList();
}

namespace {

std::unique_ptr<RecordIdDelegate> idDelegate(const QString &kind)
{
    if (kind == QLatin1String("CashNo_Cus")) {
        return std::make_unique<CashNo_CusDelegate>();
    }
    if (kind == QLatin1String("CashNo_Sup")) {
        return std::make_unique<CashNo_SupDelegate>();
    }
    if (kind == QLatin1String("InvoiceNo_Cus")) {
        return std::make_unique<InvoiceNo_CusDelegate>();
    }
    return std::make_unique<InvoiceNo_SupDelegate>();
}

} // namespace

void tst_celldelegates::idListsHoldThePartnersRecordsNewestFirst()
{
    QFETCH(QString, kind);
    QFETCH(QString, party);
    QFETCH(QStringList, items);
    showRows({party}, {0});
    auto delegate = idDelegate(kind);
    (kind.endsWith(QLatin1String("Cus")) ? CustomerParty : SupplierParty) = party;
    m_view->setItemDelegateForColumn(1, delegate.get());
    QComboBox *box = openEditor(0, 1);
    QVERIFY(box);
    QCOMPARE(itemsOf(box), items);
}

void tst_celldelegates::choosingARecordStoresItsId()
{
    showRows({alpha}, {0});
    CashNo_CusDelegate cash;
    CustomerParty = alpha;
    m_view->setItemDelegateForColumn(1, &cash);
    QComboBox *box = openEditor(0, 1);
    QVERIFY(box);
    box->setCurrentIndex(box->findText(QStringLiteral("57-尾款-200.00")));
    commit(m_view.get(), box);
    QCOMPARE(m_model->data(m_model->index(0, 1)).toInt(), 57);
}

void tst_celldelegates::anIdCellOpensOnItsRecordAndKeepsIt_data()
{
    QTest::addColumn<int>("held");
    QTest::addColumn<QString>("selected");
    QTest::newRow("a bound record is selected and kept") << 1 << "1-首付-100.00";
    QTest::newRow("a record of another partner is kept") << 2 << QString();
    QTest::newRow("an unbound cell stays unbound") << 0 << QString();
}

void tst_celldelegates::anIdCellOpensOnItsRecordAndKeepsIt()
{
    QFETCH(int, held);
    QFETCH(QString, selected);
    showRows({alpha}, {held});
    CashNo_CusDelegate cash;
    CustomerParty = alpha;
    m_view->setItemDelegateForColumn(1, &cash);
    QComboBox *box = openEditor(0, 1);
    QVERIFY(box);
    QCOMPARE(box->currentText(), selected);
    commit(m_view.get(), box);
    QCOMPARE(m_model->data(m_model->index(0, 1)).toInt(), held);
}

void tst_celldelegates::aFailingListIsReportedAndOpensNoEditor()
{
    MessageRecorder messages;
    QVERIFY(m_db->exec(QStringLiteral("drop table invoice")));
    showRows({alpha}, {5});
    InvoiceNo_CusDelegate invoices;
    m_view->setItemDelegateForColumn(1, &invoices);
    QCOMPARE(openEditor(0, 1), nullptr);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QCOMPARE(m_model->data(m_model->index(0, 1)).toInt(), 5);
}

void tst_celldelegates::thePartyFollowsTheCurrentRow()
{
    showRows({alpha, quoted}, {0, 0});
    PartyTexts::followCurrentRow(m_view.get(), 0, &SupplierParty);
    m_view->setCurrentIndex(m_model->index(1, 1));
    QCOMPARE(SupplierParty, quoted);
    m_view->setCurrentIndex(m_model->index(0, 1));
    QCOMPARE(SupplierParty, alpha);
    m_model->setData(m_model->index(0, 0), QStringLiteral("11-alphabet商行"));
    QCOMPARE(SupplierParty, QStringLiteral("11-alphabet商行"));
}

void tst_celldelegates::aPartyColumnMakesTheListTheEditedRows()
{
    showRows({quoted, alpha}, {0, 0});
    CashNo_SupDelegate cash;
    cash.setPartyColumn(0);
    SupplierParty = quoted;
    m_view->setItemDelegateForColumn(1, &cash);
    QComboBox *box = openEditor(1, 1);
    QVERIFY(box);
    QCOMPARE(SupplierParty, alpha);
    QCOMPARE(itemsOf(box), QStringList({"57-尾款-0.00", "1-首付-0.00"}));
}

QTEST_MAIN(tst_celldelegates)
#include "tst_celldelegates.moc"
