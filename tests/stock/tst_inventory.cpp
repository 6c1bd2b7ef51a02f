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

// Goods 1001 大米 (purchase price 4.20) was bought on 2024-03-05 10 at 5.00
// and 30 at 7.00, so a correction of that day costs 6.50; goods 1002 白糖
// has no purchase price and was never bought.
class tst_inventory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensEmptyAndLogs();
    void pickingGoodsFillsCodeNameAndUnit();
    void newRowIsValuedAtTheCostPriceOfItsDay_data();
    void newRowIsValuedAtTheCostPriceOfItsDay();
    void addRefusesWhatIsNotACorrection_data();
    void addRefusesWhatIsNotACorrection();
    void lossOfTwoIsStoredWithNegativeAmount();
    void editingTheQuantityRecomputesTheAmount_data();
    void editingTheQuantityRecomputesTheAmount();
    void queryShowsStoredRowsAtTheirCostPrice();
    void saveInsertsNewRowsAndUpdatesLoadedOnes();
    void saveKeepsQuotesAsTyped();
    void failedSaveStoresNothingAndSaysSo();
    void checkAllAndDeleteRemovesEveryRow();
    void deleteWithNothingTickedAsksForAChoice();

private:
    struct Form
    {
        QDateEdit *day;
        QComboBox *search;
        QLineEdit *code;
        QLineEdit *name;
        QLineEdit *unit;
        QLineEdit *quantity;
        QPushButton *add;
        QPushButton *save;
        QPushButton *remove;
        QCheckBox *all;
        QDateEdit *from;
        QDateEdit *to;
        QPushButton *query;
        QTableWidget *table;
    };
    static Form partsOf(inventory &window);
    static void addRow(const Form &form, const QString &day, const QString &goods,
                       const QString &quantity);
    static QString cell(const Form &form, int row, int column);
    void storeCorrection(const QString &day, int code, const QString &quantity,
                         const QString &remarks);

    std::unique_ptr<TestDb> m_db;
};

void tst_inventory::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    const QStringList statements = {
        QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1001,'大米','袋','6.00','4.20','粮油')"),
        QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,category) values (1002,'白糖','包','3.00','调料')"),
        QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-1-1','2024-03-05',1,1001,'10.00','5.00','','test001')"),
        QStringLiteral("insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-2-1','2024-03-05',2,1001,'30.00','7.00','','test001')"),
    };
    for (const QString &sql : statements) {
        QVERIFY2(m_db->exec(sql), qPrintable(m_db->lastError()));
    }
}

void tst_inventory::cleanup()
{
    m_db.reset();
}

tst_inventory::Form tst_inventory::partsOf(inventory &window)
{
    Form form;
    form.day = window.findChild<QDateEdit *>(QStringLiteral("dateEdit"));
    form.search = window.findChild<QComboBox *>(QStringLiteral("comboBox"));
    form.code = window.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    form.name = window.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"));
    form.unit = window.findChild<QLineEdit *>(QStringLiteral("lineEdit_3"));
    form.quantity = window.findChild<QLineEdit *>(QStringLiteral("lineEdit_4"));
    form.add = window.findChild<QPushButton *>(QStringLiteral("pushButton_5"));
    form.save = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    form.remove = window.findChild<QPushButton *>(QStringLiteral("pushButton_2"));
    form.all = window.findChild<QCheckBox *>(QStringLiteral("checkBox"));
    form.from = window.findChild<QDateEdit *>(QStringLiteral("dateEdit_2"));
    form.to = window.findChild<QDateEdit *>(QStringLiteral("dateEdit_3"));
    form.query = window.findChild<QPushButton *>(QStringLiteral("pushButton_4"));
    form.table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    return form;
}

// Picks goods the way a clerk does: the search text, Enter, the quantity,
// "添加".
void tst_inventory::addRow(const Form &form, const QString &day, const QString &goods,
                           const QString &quantity)
{
    form.day->setDate(QDate::fromString(day, Qt::ISODate));
    form.search->setEditText(goods);
    QTest::keyClick(form.search, Qt::Key_Return);
    form.quantity->setText(quantity);
    QTest::mouseClick(form.add, Qt::LeftButton);
}

QString tst_inventory::cell(const Form &form, int row, int column)
{
    const QTableWidgetItem *item = form.table->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

void tst_inventory::storeCorrection(const QString &day, int code, const QString &quantity,
                                    const QString &remarks)
{
    QVERIFY2(m_db->exec(QStringLiteral("insert into inventory (date,food_id,quantity,remarks,input) values ('%1',%2,'%3','%4','manager')")
                            .arg(day)
                            .arg(code)
                            .arg(quantity, remarks)),
             qPrintable(m_db->lastError()));
}

void tst_inventory::opensEmptyAndLogs()
{
    inventory window;
    const Form form = partsOf(window);
    QCOMPARE(window.windowTitle(), QStringLiteral("盈亏录入/查询"));
    QVERIFY(window.windowFlags().testFlag(Qt::Window));
    QCOMPARE(form.table->columnCount(), 11);
    QCOMPARE(form.table->horizontalHeaderItem(9)->text(), QStringLiteral("流水号"));
    QCOMPARE(form.table->rowCount(), 0);
    QCOMPARE(form.search->itemText(0), QString());
    QCOMPARE(form.search->itemText(1), QStringLiteral("1001-大米-袋"));
    QVERIFY(!form.code->isEnabled());
    QCOMPARE(m_db->scalar(QStringLiteral("select operator from operator")), QStringLiteral("盈亏单"));
}

void tst_inventory::pickingGoodsFillsCodeNameAndUnit()
{
    inventory window;
    const Form form = partsOf(window);
    form.search->setEditText(QStringLiteral("1002-白糖-包"));
    QTest::keyClick(form.search, Qt::Key_Return);
    QCOMPARE(form.code->text(), QStringLiteral("1002"));
    QCOMPARE(form.name->text(), QStringLiteral("白糖"));
    QCOMPARE(form.unit->text(), QStringLiteral("包"));
}

void tst_inventory::newRowIsValuedAtTheCostPriceOfItsDay_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("amount");

    QTest::newRow("bought 10 at 5.00 and 30 at 7.00 that day: 6.50")
        << "2024-03-05" << "1001-大米-袋" << "2" << "6.50" << "13.00";
    QTest::newRow("no purchase that day: the purchase price")
        << "2024-03-06" << "1001-大米-袋" << "3" << "4.20" << "12.60";
    QTest::newRow("neither purchases nor a purchase price: 0.00")
        << "2024-03-05" << "1002-白糖-包" << "5" << "0.00" << "0.00";
}

void tst_inventory::newRowIsValuedAtTheCostPriceOfItsDay()
{
    QFETCH(QString, day);
    QFETCH(QString, goods);
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(QString, amount);

    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    addRow(form, day, goods, quantity);

    QVERIFY(messages.isEmpty());
    QCOMPARE(form.table->rowCount(), 1);
    QCOMPARE(cell(form, 0, inventory::DateColumn), day);
    QCOMPARE(cell(form, 0, inventory::CodeColumn), goods.section(QLatin1Char('-'), 0, 0));
    QCOMPARE(cell(form, 0, inventory::QuantityColumn), quantity);
    QCOMPARE(cell(form, 0, inventory::PriceColumn), price);
    QCOMPARE(cell(form, 0, inventory::AmountColumn), amount);
    QCOMPARE(cell(form, 0, inventory::InputColumn), QStringLiteral("test001"));
    QCOMPARE(cell(form, 0, inventory::IdColumn), QStringLiteral("0"));
    QCOMPARE(form.table->item(0, inventory::TickColumn)->checkState(), Qt::Unchecked);
    QVERIFY(!(form.table->item(0, inventory::PriceColumn)->flags() & Qt::ItemIsEditable));
    QVERIFY(form.table->item(0, inventory::QuantityColumn)->flags() & Qt::ItemIsEditable);
    // The entry fields are cleared for the next correction.
    QVERIFY(form.code->text().isEmpty());
    QVERIFY(form.quantity->text().isEmpty());
    QVERIFY(form.search->currentText().isEmpty());
}

void tst_inventory::addRefusesWhatIsNotACorrection_data()
{
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("quantity");

    QTest::newRow("no goods picked") << "" << "2";
    QTest::newRow("quantity 0") << "1001-大米-袋" << "0";
    QTest::newRow("quantity empty") << "1001-大米-袋" << "";
    QTest::newRow("quantity not a number") << "1001-大米-袋" << "abc";
}

void tst_inventory::addRefusesWhatIsNotACorrection()
{
    QFETCH(QString, goods);
    QFETCH(QString, quantity);

    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    addRow(form, QStringLiteral("2024-03-05"), goods, quantity);

    QCOMPARE(messages.texts(), QStringList{QStringLiteral("录入提示/录入格式错误！")});
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(form.table->rowCount(), 0);
}

void tst_inventory::lossOfTwoIsStoredWithNegativeAmount()
{
    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    form.day->setDate(QDate(2024, 3, 5));
    form.search->setEditText(QStringLiteral("1001-大米-袋"));
    QTest::keyClick(form.search, Qt::Key_Return);
    QTest::keyClicks(form.quantity, QStringLiteral("-2"));
    QTest::keyClick(form.quantity, Qt::Key_Return);

    QCOMPARE(form.table->rowCount(), 1);
    QCOMPARE(cell(form, 0, inventory::QuantityColumn), QStringLiteral("-2"));
    QCOMPARE(cell(form, 0, inventory::AmountColumn), QStringLiteral("-13.00"));

    QTest::mouseClick(form.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(m_db->rows(QStringLiteral("select convert(varchar(10),date,20),food_id,cast(quantity as varchar),input from inventory")),
             (QList<QStringList>{{QStringLiteral("2024-03-05"), QStringLiteral("1001"),
                                  QStringLiteral("-2.00"), QStringLiteral("test001")}}));
}

void tst_inventory::editingTheQuantityRecomputesTheAmount_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("amount");

    QTest::newRow("3 becomes 3.00 at 6.50") << "3" << "3.00" << "19.50";
    QTest::newRow("a loss of -1.5") << "-1.5" << "-1.50" << "-9.75";
    QTest::newRow("not a number becomes 0.00") << "abc" << "0.00" << "0.00";
}

void tst_inventory::editingTheQuantityRecomputesTheAmount()
{
    QFETCH(QString, typed);
    QFETCH(QString, quantity);
    QFETCH(QString, amount);

    inventory window;
    const Form form = partsOf(window);
    addRow(form, QStringLiteral("2024-03-05"), QStringLiteral("1001-大米-袋"), QStringLiteral("2"));
    form.table->item(0, inventory::QuantityColumn)->setText(typed);

    QCOMPARE(cell(form, 0, inventory::QuantityColumn), quantity);
    QCOMPARE(cell(form, 0, inventory::PriceColumn), QStringLiteral("6.50"));
    QCOMPARE(cell(form, 0, inventory::AmountColumn), amount);
}

void tst_inventory::queryShowsStoredRowsAtTheirCostPrice()
{
    storeCorrection(QStringLiteral("2024-03-06"), 1001, QStringLiteral("1"), QStringLiteral("后盘"));
    storeCorrection(QStringLiteral("2024-03-05"), 1001, QStringLiteral("-4"), QStringLiteral("破损"));
    storeCorrection(QStringLiteral("2024-04-01"), 1001, QStringLiteral("9"), QStringLiteral("范围外"));

    inventory window;
    const Form form = partsOf(window);
    form.from->setDate(QDate(2024, 3, 1));
    form.to->setDate(QDate(2024, 3, 31));
    QTest::mouseClick(form.query, Qt::LeftButton);

    QCOMPARE(form.table->rowCount(), 2);
    const QStringList first = {QStringLiteral("2024-03-05"), QStringLiteral("1001"), QStringLiteral("大米"),
                               QStringLiteral("袋"), QStringLiteral("-4.00"), QStringLiteral("6.50"),
                               QStringLiteral("-26.00"), QStringLiteral("破损"), QStringLiteral("manager"),
                               QStringLiteral("2")};
    const QStringList second = {QStringLiteral("2024-03-06"), QStringLiteral("1001"), QStringLiteral("大米"),
                                QStringLiteral("袋"), QStringLiteral("1.00"), QStringLiteral("4.20"),
                                QStringLiteral("4.20"), QStringLiteral("后盘"), QStringLiteral("manager"),
                                QStringLiteral("1")};
    for (int column = 0; column < inventory::TickColumn; ++column) {
        QCOMPARE(cell(form, 0, column), first.at(column));
        QCOMPARE(cell(form, 1, column), second.at(column));
    }
}

void tst_inventory::saveInsertsNewRowsAndUpdatesLoadedOnes()
{
    storeCorrection(QStringLiteral("2024-03-05"), 1001, QStringLiteral("-4"), QStringLiteral("破损"));

    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    form.from->setDate(QDate(2024, 3, 1));
    form.to->setDate(QDate(2024, 3, 31));
    QTest::mouseClick(form.query, Qt::LeftButton);
    QCOMPARE(form.table->rowCount(), 1);
    form.table->item(0, inventory::QuantityColumn)->setText(QStringLiteral("-3"));
    form.table->item(0, inventory::RemarksColumn)->setText(QStringLiteral("复盘"));
    addRow(form, QStringLiteral("2024-03-06"), QStringLiteral("1002-白糖-包"), QStringLiteral("7"));
    QCOMPARE(form.table->rowCount(), 2);

    QTest::mouseClick(form.save, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(form.table->rowCount(), 0);
    QCOMPARE(m_db->rows(QStringLiteral("select id,convert(varchar(10),date,20),food_id,cast(quantity as varchar),remarks,input from inventory order by id")),
             (QList<QStringList>{
                 {QStringLiteral("1"), QStringLiteral("2024-03-05"), QStringLiteral("1001"), QStringLiteral("-3.00"), QStringLiteral("复盘"), QStringLiteral("manager")},
                 {QStringLiteral("2"), QStringLiteral("2024-03-06"), QStringLiteral("1002"), QStringLiteral("7.00"), QString(), QStringLiteral("test001")}}));
}

void tst_inventory::saveKeepsQuotesAsTyped()
{
    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    addRow(form, QStringLiteral("2024-03-05"), QStringLiteral("1001-大米-袋"), QStringLiteral("1"));
    const QString remark = QStringLiteral("O'Neil's 盘点'); delete from inventory;--");
    form.table->item(0, inventory::RemarksColumn)->setText(remark);
    QTest::mouseClick(form.save, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(m_db->scalar(QStringLiteral("select remarks from inventory")), remark);
}

void tst_inventory::failedSaveStoresNothingAndSaysSo()
{
    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    // 150 rows take two executions; the 120th cannot be stored (its remark is
    // longer than the column), so the first block must be undone as well.
    for (int i = 0; i < 150; ++i) {
        addRow(form, QStringLiteral("2024-03-05"), QStringLiteral("1001-大米-袋"), QString::number(i + 1));
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
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from inventory")), QStringLiteral("150"));
}

void tst_inventory::checkAllAndDeleteRemovesEveryRow()
{
    storeCorrection(QStringLiteral("2024-03-05"), 1001, QStringLiteral("-4"), QStringLiteral("破损"));
    storeCorrection(QStringLiteral("2024-03-06"), 1002, QStringLiteral("2"), QString());
    storeCorrection(QStringLiteral("2024-05-01"), 1002, QStringLiteral("2"), QStringLiteral("范围外"));

    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    form.from->setDate(QDate(2024, 3, 1));
    form.to->setDate(QDate(2024, 3, 31));
    QTest::mouseClick(form.query, Qt::LeftButton);
    addRow(form, QStringLiteral("2024-03-07"), QStringLiteral("1001-大米-袋"), QStringLiteral("1"));
    QCOMPARE(form.table->rowCount(), 3);

    form.all->setChecked(true);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(form.table->item(row, inventory::TickColumn)->checkState(), Qt::Checked);
    }
    QTest::mouseClick(form.remove, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/删除成功！")});
    QCOMPARE(form.table->rowCount(), 0);
    QCOMPARE(m_db->rows(QStringLiteral("select remarks from inventory")),
             (QList<QStringList>{{QStringLiteral("范围外")}}));
}

void tst_inventory::deleteWithNothingTickedAsksForAChoice()
{
    storeCorrection(QStringLiteral("2024-03-05"), 1001, QStringLiteral("-4"), QString());

    MessageRecorder messages;
    inventory window;
    const Form form = partsOf(window);
    form.from->setDate(QDate(2024, 3, 1));
    form.to->setDate(QDate(2024, 3, 31));
    QTest::mouseClick(form.query, Qt::LeftButton);
    form.all->setChecked(true);
    form.all->setChecked(false);
    QTest::mouseClick(form.remove, Qt::LeftButton);

    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/请先选择一项！")});
    QCOMPARE(form.table->rowCount(), 1);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from inventory")), QStringLiteral("1"));
}

QTEST_MAIN(tst_inventory)
#include "tst_inventory.moc"
