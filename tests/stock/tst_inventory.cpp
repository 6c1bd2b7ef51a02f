#include "master/formtest.h"
#include "stock/inventory.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

const QString rice = QStringLiteral("1001-大米-袋");

struct Form
{
    template <class T>
    T *find(const char *name) const
    {
        return window.findChild<T *>(QLatin1String(name));
    }

    inventory &window;
    QDateEdit *day = find<QDateEdit>("dateEdit");
    QComboBox *search = find<QComboBox>("comboBox");
    QLineEdit *code = find<QLineEdit>("lineEdit");
    QLineEdit *quantity = find<QLineEdit>("lineEdit_4");
    QPushButton *add = find<QPushButton>("pushButton_5");
    QPushButton *save = find<QPushButton>("pushButton");
    QPushButton *remove = find<QPushButton>("pushButton_2");
    QCheckBox *all = find<QCheckBox>("checkBox");
    QTableWidget *table = find<QTableWidget>("tableWidget");

    void pick(const QString &date, const QString &goods) const
    {
        day->setDate(QDate::fromString(date, Qt::ISODate));
        search->setEditText(goods);
        QTest::keyClick(search, Qt::Key_Return);
    }
    // Picks goods the way a clerk does: the search text, Enter, the
    // quantity, "添加".
    void addRow(const QString &date, const QString &goods, const QString &typed) const
    {
        pick(date, goods);
        quantity->setText(typed);
        QTest::mouseClick(add, Qt::LeftButton);
    }
    void queryMarch() const
    {
        find<QDateEdit>("dateEdit_2")->setDate(QDate(2024, 3, 1));
        find<QDateEdit>("dateEdit_3")->setDate(QDate(2024, 3, 31));
        QTest::mouseClick(find<QPushButton>("pushButton_4"), Qt::LeftButton);
    }
    QString cell(int row, int column) const { return FormTest::cell(table, row, column); }
};

} // namespace

// Goods 1001 大米 (purchase price 4.20) was bought on 2024-03-05 10 at 5.00
// and 30 at 7.00, so a correction of that day costs 6.50; on 2024-03-08 10
// were bought and returned. Goods 1002 白糖 has no purchase price and was
// never bought.
class tst_inventory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newRowIsValuedAtTheCostPriceOfItsDay_data();
    void newRowIsValuedAtTheCostPriceOfItsDay();
    void queryShowsStoredRowsAtTheirCostPrice();
    void saveInsertsNewRowsAndUpdatesLoadedOnes();
    void failedSaveStoresNothingAndSaysSo();
    void deleteNeedsATickAndRemovesEveryTickedRow();

private:
    void storeCorrection(const QString &day, const QString &code, const QString &quantity, const QString &remarks)
    {
        QVERIFY2(m_db->exec(QStringLiteral("insert into inventory (date,food_id,quantity,remarks,input) "
                                           "values ('%1',%2,'%3','%4','manager')").arg(day, code, quantity, remarks)),
                 qPrintable(m_db->lastError()));
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_inventory::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    const QString purchase = QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,"
                                            "remarks,input) values ('cgd','%1',1,1001,'%2','%3','','test001')");
    const QStringList statements = {
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1001,'大米','袋','6.00','4.20','粮油')",
        "insert into food_info (food_id,food_name,unit,customer_price,category) values (1002,'白糖','包','3.00','调料')",
        purchase.arg("2024-03-05", "10.00", "5.00"), purchase.arg("2024-03-05", "30.00", "7.00"),
        purchase.arg("2024-03-08", "10.00", "5.00"), purchase.arg("2024-03-08", "-10.00", "5.00"),
    };
    for (const QString &sql : statements) {
        QVERIFY2(m_db->exec(sql), qPrintable(m_db->lastError()));
    }
}

void tst_inventory::cleanup()
{
    m_db.reset();
}

void tst_inventory::newRowIsValuedAtTheCostPriceOfItsDay_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("edited"); // typed into the quantity cell afterwards
    QTest::addColumn<QString>("shown");  // the quantity then shown
    QTest::addColumn<QString>("price");  // empty: the row is refused
    QTest::addColumn<QString>("amount");

    QTest::newRow("bought 10 at 5.00 and 30 at 7.00 that day: 6.50")
        << "2024-03-05" << rice << "2" << "" << "2" << "6.50" << "13.00";
    QTest::newRow("no purchase that day: the purchase price") << "2024-03-06" << rice << "3" << "" << "3" << "4.20" << "12.60";
    QTest::newRow("purchases netting to nothing that day: the purchase price")
        << "2024-03-08" << rice << "2" << "" << "2" << "4.20" << "8.40";
    QTest::newRow("neither purchases nor a purchase price: 0.00")
        << "2024-03-05" << "1002-白糖-包" << "5" << "" << "5" << "0.00" << "0.00";
    QTest::newRow("edited to 3: 3.00 at 6.50") << "2024-03-05" << rice << "2" << "3" << "3.00" << "6.50" << "19.50";
    QTest::newRow("edited to a loss of -1.5") << "2024-03-05" << rice << "2" << "-1.5" << "-1.50" << "6.50" << "-9.75";
    QTest::newRow("edited to no number: 0.00") << "2024-03-05" << rice << "2" << "abc" << "0.00" << "6.50" << "0.00";
    QTest::newRow("no goods picked") << "2024-03-05" << "" << "2" << "" << "" << "" << "";
    QTest::newRow("quantity 0") << "2024-03-05" << rice << "0" << "" << "" << "" << "";
    QTest::newRow("quantity empty") << "2024-03-05" << rice << "" << "" << "" << "" << "";
    QTest::newRow("quantity not a number") << "2024-03-05" << rice << "abc" << "" << "" << "" << "";
}

void tst_inventory::newRowIsValuedAtTheCostPriceOfItsDay()
{
    QFETCH(QString, day);
    QFETCH(QString, goods);
    QFETCH(QString, quantity);
    QFETCH(QString, edited);
    QFETCH(QString, shown);
    QFETCH(QString, price);
    QFETCH(QString, amount);

    MessageRecorder messages;
    inventory window;
    const Form form{window};
    QCOMPARE(m_db->scalar(QStringLiteral("select operator from operator")), QStringLiteral("盈亏单"));
    QVERIFY(!form.code->isEnabled());
    form.addRow(day, goods, quantity);
    if (price.isEmpty()) {
        QCOMPARE(messages.texts(), QStringList{"录入提示/录入格式错误！"});
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QCOMPARE(form.table->rowCount(), 0);
        return;
    }
    QVERIFY(messages.isEmpty());
    if (!edited.isEmpty()) {
        form.table->item(0, inventory::QuantityColumn)->setText(edited);
    }
    const QStringList item = goods.split(QLatin1Char('-'));
    QCOMPARE(FormTest::tableTexts(form.table),
             (QList<QStringList>{{day, item.at(0), item.at(1), item.at(2), shown, price, amount, "", "test001", "0"}}));
    QCOMPARE(form.table->item(0, inventory::TickColumn)->checkState(), Qt::Unchecked);
    QVERIFY(FormTest::isReadOnly(form.table, 0, inventory::PriceColumn));
    QVERIFY(!FormTest::isReadOnly(form.table, 0, inventory::QuantityColumn));
    // The entry fields are cleared for the next correction.
    QVERIFY(form.code->text().isEmpty() && form.quantity->text().isEmpty() && form.search->currentText().isEmpty());
}

void tst_inventory::queryShowsStoredRowsAtTheirCostPrice()
{
    storeCorrection("2024-03-06", "1001", "1", "后盘");
    storeCorrection("2024-03-05", "1001", "-4", "破损");
    storeCorrection("2024-04-01", "1001", "9", "范围外");

    inventory window;
    const Form form{window};
    form.queryMarch();
    QCOMPARE(FormTest::tableTexts(form.table),
             (QList<QStringList>{{"2024-03-05", "1001", "大米", "袋", "-4.00", "6.50", "-26.00", "破损", "manager", "2"},
                                 {"2024-03-06", "1001", "大米", "袋", "1.00", "4.20", "4.20", "后盘", "manager", "1"}}));
}

void tst_inventory::saveInsertsNewRowsAndUpdatesLoadedOnes()
{
    storeCorrection("2024-03-05", "1001", "-4", "破损");

    MessageRecorder messages;
    inventory window;
    const Form form{window};
    form.queryMarch();
    QCOMPARE(form.table->rowCount(), 1);
    form.table->item(0, inventory::QuantityColumn)->setText(QStringLiteral("-3"));
    form.table->item(0, inventory::RemarksColumn)->setText(QStringLiteral("复盘"));
    // A loss typed with Return, its remark stored as typed.
    form.pick(QStringLiteral("2024-03-06"), rice);
    QTest::keyClicks(form.quantity, QStringLiteral("-2"));
    QTest::keyClick(form.quantity, Qt::Key_Return);
    QCOMPARE(FormTest::rowTexts(form.table, 1).mid(inventory::QuantityColumn, 3), (QStringList{"-2", "4.20", "-8.40"}));
    const QString remark = QStringLiteral("O'Neil's 盘点'); delete from inventory;--");
    form.table->item(1, inventory::RemarksColumn)->setText(remark);

    QTest::mouseClick(form.save, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    // The table is read again and shows the saved rows.
    QCOMPARE(form.table->rowCount(), 2);
    QCOMPARE(form.cell(1, inventory::IdColumn), QStringLiteral("2"));
    QCOMPARE(m_db->rows(QStringLiteral("select id,convert(varchar(10),date,20),food_id,cast(quantity as varchar),"
                                       "remarks,input from inventory order by id")),
             (QList<QStringList>{{"1", "2024-03-05", "1001", "-3.00", "复盘", "manager"},
                                 {"2", "2024-03-06", "1001", "-2.00", remark, "test001"}}));
}

void tst_inventory::failedSaveStoresNothingAndSaysSo()
{
    MessageRecorder messages;
    inventory window;
    const Form form{window};
    // 150 rows take two executions; the 120th cannot be stored (its remark is
    // longer than the column), so the first block must be undone as well.
    for (int i = 0; i < 150; ++i) {
        form.addRow(QStringLiteral("2024-03-05"), rice, QString::number(i + 1));
    }
    QCOMPARE(form.table->rowCount(), 150);
    form.table->item(119, inventory::RemarksColumn)->setText(QString(1001, QLatin1Char('x')));

    QTest::mouseClick(form.save, Qt::LeftButton);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(!messages.last().text.isEmpty());
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from inventory")), QStringLiteral("0"));
    QCOMPARE(form.table->rowCount(), 150);

    // Mended, the same rows save in full.
    messages.clear();
    form.table->item(119, inventory::RemarksColumn)->setText(QStringLiteral("ok"));
    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from inventory")), QStringLiteral("150"));
}

void tst_inventory::deleteNeedsATickAndRemovesEveryTickedRow()
{
    storeCorrection("2024-03-05", "1001", "-4", "破损");
    storeCorrection("2024-03-06", "1002", "2", QString());
    storeCorrection("2024-05-01", "1002", "2", "范围外");

    MessageRecorder messages;
    inventory window;
    const Form form{window};
    form.queryMarch();
    form.addRow(QStringLiteral("2024-03-07"), rice, QStringLiteral("1"));
    QCOMPARE(form.table->rowCount(), 3);

    form.all->setChecked(true);
    form.all->setChecked(false);
    QTest::mouseClick(form.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"操作提示/请先选择一项！"});
    QCOMPARE(form.table->rowCount(), 3);

    messages.clear();
    form.all->setChecked(true);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(form.table->item(row, inventory::TickColumn)->checkState(), Qt::Checked);
    }
    QTest::mouseClick(form.remove, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"操作提示/删除成功！"});
    QCOMPARE(form.table->rowCount(), 0);
    QCOMPARE(m_db->rows(QStringLiteral("select remarks from inventory")), (QList<QStringList>{{"范围外"}}));
}

QTEST_MAIN(tst_inventory)
#include "tst_inventory.moc"
