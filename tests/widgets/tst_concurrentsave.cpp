// Two workstations on one company: a save or delete never overwrites what
// the other saved meanwhile, and the one refused is told which rows to read
// again. "Another user" writes on the same company between load and save.

#include "admin/category_cash.h"
#include "app/loginstate.h"
#include "master/customer.h"
#include "master/employee.h"
#include "master/goods.h"
#include "master/supplier.h"
#include "stock/inventory.h"
#include "stock/purchar.h"
#include "stock/sell.h"
#include "stock/ordertesthelpers.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/guardedsave.h"

#include <QtTest>

#include <memory>

namespace {

enum Kind { Goods, Customer, Supplier, Employee, Purchase, Delivery, Register };

// One screen as a test drives it: the table, the cell edited, the buttons.
struct Screen
{
    std::unique_ptr<QMainWindow> form;
    QTableWidget *table = nullptr;
    int editColumn = -1;      // -1: a list edited by adding and deleting only
    int tickColumn = 0;
    const char *save = "";
    const char *remove = "";
};

struct KindData
{
    QString table;       // stored table
    QString otherColumn; // what the other user changes
    QString editField;   // what this screen changes
    QString editText;    // typed into the screen
};

KindData dataOf(Kind kind)
{
    switch (kind) {
    case Goods: return {"food_info", "food_name", "food_name", "新名称"};
    case Customer: return {"customer", "customer_name", "customer_name", "新名称"};
    case Supplier: return {"supplier", "supplier_name", "supplier_name", "新名称"};
    case Employee: return {"employee", "employee_name", "", ""};
    case Purchase: return {"purchar", "remarks", "quantity", "9"};
    case Delivery: return {"sell", "remarks", "quantity", "9"};
    case Register: return {"inventory", "remarks", "quantity", "9"};
    }
    return {};
}

const QDate day(2024, 3, 5);

bool seed(TestDb &db, Kind kind)
{
    if (!OrderTest::seedMasterData(db)) {
        return false;
    }
    switch (kind) {
    case Goods:
        return true;
    case Customer:
        return db.exec("update customer set area='华东'");
    case Supplier:
        return db.exec("update supplier set category='文具'");
    case Employee:
        return db.exec("insert into employee (employee_id,employee_name) values ('E1','张三')")
            && db.exec("insert into employee (employee_id,employee_name) values ('E2','李四')");
    case Purchase:
        return OrderTest::addLines(db, "purchar", "cgd20240305-11-1", "2024-03-05", 11, 2);
    case Delivery:
        return OrderTest::addLines(db, "sell", "xsd20240305-12-1", "2024-03-05", 12, 2);
    case Register:
        return db.exec("insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-05',101,2,'','test001')")
            && db.exec("insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-05',102,3,'','test001')");
    }
    return false;
}

template <class Form>
Screen masterScreen(int editColumn, int tickColumn)
{
    Screen screen;
    screen.form.reset(new Form);
    screen.table = screen.form->template findChild<QTableWidget *>("tableWidget");
    screen.editColumn = editColumn;
    screen.tickColumn = tickColumn;
    screen.save = "pushButton_3";
    screen.remove = "pushButton_2";
    return screen;
}

template <class Form>
Screen orderScreen()
{
    Screen screen;
    screen.form.reset(new Form);
    OrderTest::Controls controls{screen.form.get()};
    controls.queryOrders(day, day, QStringLiteral("---全部---"));
    controls.clickListRow(0);
    screen.table = controls.lines;
    screen.editColumn = 3;
    screen.tickColumn = 8;
    screen.save = "pushButton";
    screen.remove = "pushButton_2";
    return screen;
}

Screen open(Kind kind)
{
    switch (kind) {
    case Goods: return masterScreen<goods>(1, 7);
    case Customer: return masterScreen<customer>(1, 5);
    case Supplier: return masterScreen<supplier>(1, 5);
    case Employee: {
        Screen screen;
        screen.form.reset(new employee);
        screen.table = screen.form->findChild<QTableWidget *>("tableWidget");
        screen.remove = "pushButton_2";
        return screen;
    }
    case Purchase: return orderScreen<purchar>();
    case Delivery: return orderScreen<sell>();
    case Register: {
        Screen screen;
        screen.form.reset(new inventory);
        screen.form->findChild<QDateEdit *>("dateEdit_2")->setDate(day);
        screen.form->findChild<QDateEdit *>("dateEdit_3")->setDate(day);
        QTest::mouseClick(screen.form->findChild<QPushButton *>("pushButton_4"), Qt::LeftButton);
        screen.table = screen.form->findChild<QTableWidget *>("tableWidget");
        screen.editColumn = inventory::QuantityColumn;
        screen.tickColumn = inventory::TickColumn;
        screen.save = "pushButton";
        screen.remove = "pushButton_2";
        return screen;
    }
    }
    return {};
}

void click(const Screen &screen, const char *button)
{
    QTest::mouseClick(screen.form->findChild<QPushButton *>(button), Qt::LeftButton);
}

} // namespace

class tst_concurrentsave : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void staleRowsAreRefused_data();
    void staleRowsAreRefused();
    void othersRowsAreLeftAlone_data();
    void othersRowsAreLeftAlone();
    void orderCodesMustExist_data();
    void orderCodesMustExist();

private:
    TestDb *m_db = nullptr;
};

void tst_concurrentsave::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    LoginState::userName = QStringLiteral("test001");
    LoginState::rights = QStringLiteral("员工编辑");
}

void tst_concurrentsave::cleanup()
{
    delete m_db;
    m_db = nullptr;
    LoginState::userName.clear();
    LoginState::rights.clear();
}

void tst_concurrentsave::staleRowsAreRefused_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<bool>("otherDeletes");
    const QList<QPair<const char *, Kind>> kinds{{"goods", Goods},       {"customer", Customer},
                                                 {"supplier", Supplier}, {"employee", Employee},
                                                 {"purchase", Purchase}, {"delivery", Delivery},
                                                 {"register", Register}};
    for (const auto &kind : kinds) {
        for (const bool deleting : {false, true}) {
            if (!deleting && kind.second == Employee) {
                continue;
            }
            for (const bool otherDeletes : {false, true}) {
                QTest::addRow("%s %s after other %s", kind.first, deleting ? "deletes" : "saves",
                              otherDeletes ? "deleted" : "changed")
                    << int(kind.second) << deleting << otherDeletes;
            }
        }
    }
}

void tst_concurrentsave::staleRowsAreRefused()
{
    QFETCH(int, kind);
    QFETCH(bool, deleting);
    QFETCH(bool, otherDeletes);
    const KindData data = dataOf(Kind(kind));
    QVERIFY(seed(*m_db, Kind(kind)));
    Screen screen = open(Kind(kind));
    QVERIFY(screen.table && screen.table->rowCount() >= 2);
    const int rowsBefore = screen.table->rowCount();
    const QString id = m_db->scalar(QStringLiteral("select min(id) from %1").arg(data.table));

    QVERIFY(m_db->exec(otherDeletes ? QStringLiteral("delete from %1 where id=%2").arg(data.table, id)
                                    : QStringLiteral("update %1 set %2='别人改的' where id=%3")
                                          .arg(data.table, data.otherColumn, id)));
    const QString countSql = QStringLiteral("select count(0) from %1").arg(data.table);
    const QString stored = m_db->scalar(countSql);

    MessageRecorder messages;
    if (deleting) {
        FormTest::tick(screen.table, 0, screen.tickColumn);
        FormTest::tick(screen.table, 1, screen.tickColumn);
        click(screen, screen.remove);
    } else {
        screen.table->item(0, screen.editColumn)->setText(data.editText);
        screen.table->item(1, screen.editColumn)->setText(data.editText);
        click(screen, screen.save);
    }

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, GuardedSave::staleText({0}));
    // Nothing of this screen's work is stored, and the screen keeps it.
    QCOMPARE(m_db->scalar(countSql), stored);
    QCOMPARE(screen.table->rowCount(), rowsBefore);
    if (!deleting) {
        QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from %1 where %2='%3'")
                                  .arg(data.table, data.editField, data.editText)),
                 QStringLiteral("0"));
        QVERIFY(screen.table->item(1, screen.editColumn)->text().startsWith(data.editText));
    }
    if (!otherDeletes) {
        QCOMPARE(m_db->scalar(QStringLiteral("select %1 from %2 where id=%3").arg(data.otherColumn, data.table, id)),
                 QStringLiteral("别人改的"));
    }
}

void tst_concurrentsave::othersRowsAreLeftAlone_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("goods") << int(Goods);
    QTest::newRow("purchase") << int(Purchase);
    QTest::newRow("register") << int(Register);
}

// Each screen changes a row of its own: both changes are kept.
void tst_concurrentsave::othersRowsAreLeftAlone()
{
    QFETCH(int, kind);
    const KindData data = dataOf(Kind(kind));
    QVERIFY(seed(*m_db, Kind(kind)));
    Screen screen = open(Kind(kind));
    QVERIFY(screen.table && screen.table->rowCount() >= 2);
    const QString id = m_db->scalar(QStringLiteral("select min(id) from %1").arg(data.table));
    QVERIFY(m_db->exec(QStringLiteral("update %1 set %2='别人改的' where id=%3")
                           .arg(data.table, data.otherColumn, id)));

    MessageRecorder messages;
    screen.table->item(1, screen.editColumn)->setText(data.editText);
    click(screen, screen.save);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(m_db->scalar(QStringLiteral("select %1 from %2 where id=%3").arg(data.otherColumn, data.table, id)),
             QStringLiteral("别人改的"));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from %1 where %2='%3'")
                              .arg(data.table, data.editField, data.editText)),
             QStringLiteral("1"));
}

void tst_concurrentsave::orderCodesMustExist_data()
{
    QTest::addColumn<QString>("partyText");
    QTest::addColumn<QString>("goodsText");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("unknown supplier") << "12345-不存在的供应商" << "101-打印纸-包-5"
                                      << "供应商“12345-不存在的供应商”不存在，请重新选择！";
    QTest::newRow("unknown goods") << "11-华联纸业" << "999-不存在-包-5"
                                   << "第1行商品编码“999”不存在，请删除该行后再保存！";
}

void tst_concurrentsave::orderCodesMustExist()
{
    QFETCH(QString, partyText);
    QFETCH(QString, goodsText);
    QFETCH(QString, refusal);
    QVERIFY(OrderTest::seedMasterData(*m_db));
    purchar form;
    OrderTest::Controls controls{&form};
    controls.startOrder(partyText, day);
    controls.addGoodsLine(goodsText, QStringLiteral("2"));
    QCOMPARE(controls.lines->rowCount(), 1);
    QVERIFY(FormTest::isReadOnly(controls.lines, 0, 7));

    MessageRecorder messages;
    QTest::mouseClick(controls.save, Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/") + refusal});
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from purchar")), QStringLiteral("0"));
    QCOMPARE(controls.lines->rowCount(), 1);
}

QTEST_MAIN(tst_concurrentsave)
#include "tst_concurrentsave.moc"
