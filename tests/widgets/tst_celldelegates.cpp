// The cell editors of the finance tables: read-only columns, the partner list
// and the four id lists with their preselection and party texts.

#include "widgets/accountkind.h"
#include "widgets/celldelegates.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

namespace {

const QString alpha = QStringLiteral("7-Alpha贸易");
const QString quoted = QStringLiteral("8-O'Neil");
const QString alphabet = QStringLiteral("11-alphabet商行");

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

std::unique_ptr<RecordIdDelegate> idDelegate(const QString &kind)
{
    static const QMap<QString, std::function<RecordIdDelegate *()>> make{
        {"CashNo_Cus", [] { return new CashNo_CusDelegate; }}, {"CashNo_Sup", [] { return new CashNo_SupDelegate; }},
        {"InvoiceNo_Cus", [] { return new InvoiceNo_CusDelegate; }},
        {"InvoiceNo_Sup", [] { return new InvoiceNo_SupDelegate; }}};
    return std::unique_ptr<RecordIdDelegate>(make.value(kind)());
}

} // namespace

class tst_celldelegates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void partnerListMatchesAnyPartInAnyCase_data();
    void partnerListMatchesAnyPartInAnyCase();
    void idListsHoldThePartnersRecordsNewestFirst_data();
    void idListsHoldThePartnersRecordsNewestFirst();
    void aFailingListIsReportedAndOpensNoEditor();
    void thePartyFollowsTheRowBeingEdited();

private:
    // A view over one row per company: company text in column 0, id in 1,
    // with delegate on column of the delegate.
    void showRows(const QStringList &companies, const QList<int> &ids, int column, QAbstractItemDelegate *delegate)
    {
        m_model.reset(new QStandardItemModel(companies.size(), 2));
        for (int row = 0; row < companies.size(); ++row) {
            m_model->setData(m_model->index(row, 0), companies.at(row));
            m_model->setData(m_model->index(row, 1), ids.value(row));
        }
        m_view.reset(new QTableView);
        m_view->setModel(m_model.get());
        m_view->setItemDelegateForColumn(column, delegate);
        m_view->show();
    }
    QComboBox *openEditor(int row, int column)
    {
        const QModelIndex index = m_model->index(row, column);
        m_view->setCurrentIndex(index);
        m_view->edit(index);
        return qobject_cast<QComboBox *>(m_view->indexWidget(index));
    }
    // What leaving the cell does: the view asks the delegate to write back.
    void commit(QComboBox *box)
    {
        QVERIFY(QMetaObject::invokeMethod(m_view.get(), "commitData", Q_ARG(QWidget *, box)));
    }
    int idAt(int row) { return m_model->data(m_model->index(row, 1)).toInt(); }

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<QTableView> m_view;
    std::unique_ptr<QStandardItemModel> m_model;
};

void tst_celldelegates::init()
{
    m_view.reset();
    m_model.reset();
    // The old database goes first: it takes the default connection with it.
    m_db.reset();
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

void tst_celldelegates::partnerListMatchesAnyPartInAnyCase_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("nothing typed: all but the delivery customer") << "" << QStringList({alphabet, alpha, quoted});
    QTest::newRow("upper case finds both kinds") << "ALPHA" << QStringList({alphabet, alpha});
    QTest::newRow("the middle of a name") << "neil" << QStringList({quoted});
    QTest::newRow("a code") << "11" << QStringList({alphabet});
    QTest::newRow("the delivery customer is never offered") << "配送" << QStringList();
}

void tst_celldelegates::partnerListMatchesAnyPartInAnyCase()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    Cus_SupDelegate partners;
    showRows({alpha}, {0}, 0, &partners);
    QComboBox *box = openEditor(0, 0);
    QVERIFY(box);
    QCOMPARE(box->currentText(), alpha);
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
    QTest::addColumn<int>("held");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("selected"); // when the editor opens
    QTest::addColumn<QString>("chosen");   // then, if any
    QTest::addColumn<int>("stored");
    const QStringList cash{"57-尾款-200.00", "1-首付-100.00"};
    QTest::newRow("customer cash: choosing record 57 stores 57")
        << "CashNo_Cus" << alpha << 0 << cash << QString() << "57-尾款-200.00" << 57;
    QTest::newRow("customer cash: a bound record is selected and kept")
        << "CashNo_Cus" << alpha << 1 << cash << "1-首付-100.00" << QString() << 1;
    QTest::newRow("customer cash: a record of another partner is kept")
        << "CashNo_Cus" << alpha << 2 << cash << QString() << QString() << 2;
    QTest::newRow("supplier cash, quote in the name: an unbound cell stays unbound")
        << "CashNo_Sup" << quoted << 0 << QStringList{"2-货款-80.00"} << QString() << QString() << 0;
    QTest::newRow("customer invoices") << "InvoiceNo_Cus" << alpha << 1 << QStringList{"1-2024-01-05-F1-300.00"}
                                       << "1-2024-01-05-F1-300.00" << QString() << 1;
    QTest::newRow("supplier invoices") << "InvoiceNo_Sup" << quoted << 0 << QStringList{"2-2024-01-06-F2-400.00"}
                                       << QString() << "2-2024-01-06-F2-400.00" << 2;
    QTest::newRow("no partner, no records") << "CashNo_Cus" << QString() << 0 << QStringList() << QString()
                                            << QString() << 0;
}

// Each list holds its partner's records, newest first, opens on the record
// the cell holds and stores what is chosen.
void tst_celldelegates::idListsHoldThePartnersRecordsNewestFirst()
{
    QFETCH(QString, kind);
    QFETCH(QString, party);
    QFETCH(int, held);
    QFETCH(QStringList, items);
    QFETCH(QString, selected);
    QFETCH(QString, chosen);
    QFETCH(int, stored);
    auto delegate = idDelegate(kind);
    (kind.endsWith(QLatin1String("Cus")) ? CustomerParty : SupplierParty) = party;
    showRows({party}, {held}, 1, delegate.get());
    QComboBox *box = openEditor(0, 1);
    QVERIFY(box);
    QCOMPARE(itemsOf(box), items);
    QCOMPARE(box->currentText(), selected);
    if (!chosen.isEmpty()) {
        box->setCurrentIndex(box->findText(chosen));
    }
    commit(box);
    QCOMPARE(idAt(0), stored);
}

void tst_celldelegates::aFailingListIsReportedAndOpensNoEditor()
{
    MessageRecorder messages;
    QVERIFY(m_db->exec(QStringLiteral("drop table invoice")));
    InvoiceNo_CusDelegate invoices;
    showRows({alpha}, {5}, 1, &invoices);
    QCOMPARE(openEditor(0, 1), nullptr);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QCOMPARE(idAt(0), 5);
}

void tst_celldelegates::thePartyFollowsTheRowBeingEdited()
{
    // With its party column the editor reads the partner of its own row,
    // however it was opened and whatever the party said before.
    CashNo_SupDelegate cash;
    cash.setPartyColumn(0);
    showRows({alpha, quoted}, {0, 0}, 1, &cash);
    SupplierParty = quoted;
    const QModelIndex first = m_model->index(0, 1);
    m_view->edit(first);
    auto *box = qobject_cast<QComboBox *>(m_view->indexWidget(first));
    QVERIFY(box);
    QCOMPARE(SupplierParty, alpha);
    QCOMPARE(itemsOf(box), QStringList({"57-尾款-0.00", "1-首付-0.00"}));

    // A form keeps the party naming its current row.
    PartyTexts::followCurrentRow(m_view.get(), 0, &SupplierParty);
    m_view->setCurrentIndex(m_model->index(1, 1));
    QCOMPARE(SupplierParty, quoted);
    m_model->setData(m_model->index(1, 0), alphabet);
    QCOMPARE(SupplierParty, alphabet);
}

QTEST_MAIN(tst_celldelegates)
#include "tst_celldelegates.moc"
