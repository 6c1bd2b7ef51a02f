// Two workstations on one company: a save or delete never overwrites what
// the other saved meanwhile, and the one refused is told which rows to read
// again. "Another user" writes on the same company between load and save.
// Customer and purchase stand for their twins, supplier and delivery.

#include "app/loginstate.h"
#include "master/customer.h"
#include "master/employee.h"
#include "master/goods.h"
#include "stock/inventory.h"
#include "stock/purchar.h"
#include "stock/ordertesthelpers.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/guardedsave.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QDate day(2024, 3, 5);

// One screen as a test drives it: the table, the cell edited, the buttons.
struct Screen
{
    std::unique_ptr<QMainWindow> form;
    QTableWidget *table = nullptr;
    int editColumn = -1; // -1: a list edited by adding and deleting only
    int tickColumn = 0;
    QString save = QStringLiteral("pushButton");
};

// What tells the screens apart: the stored table, the column the other user
// changes, the one this screen changes and what is typed into it.
struct Kind
{
    QString table, otherColumn, editField, editText;
    std::function<bool(TestDb &)> seed; // besides the master data
    std::function<Screen()> open;
};

template <class Form>
Screen masterScreen(int editColumn, int tickColumn)
{
    Screen screen{std::make_unique<Form>(), nullptr, editColumn, tickColumn, QStringLiteral("pushButton_3")};
    screen.table = screen.form->template findChild<QTableWidget *>("tableWidget");
    return screen;
}

const QMap<QString, Kind> &kinds()
{
    const auto none = [](TestDb &) { return true; };
    static const QMap<QString, Kind> all{
        {"goods", {"food_info", "food_name", "food_name", "新名称", none, [] { return masterScreen<goods>(1, 7); }}},
        {"customer",
         {"customer", "customer_name", "customer_name", "新名称",
          [](TestDb &db) { return db.exec("update customer set area='华东'"); },
          [] { return masterScreen<customer>(1, 5); }}},
        {"employee",
         {"employee", "employee_name", "", "",
          [](TestDb &db) {
              return db.exec("insert into employee (employee_id,employee_name) values ('E1','张三')")
                  && db.exec("insert into employee (employee_id,employee_name) values ('E2','李四')");
          },
          [] { return masterScreen<employee>(-1, 0); }}},
        {"purchase",
         {"purchar", "remarks", "quantity", "9",
          [](TestDb &db) { return OrderTest::addLines(db, "purchar", "cgd20240305-11-1", "2024-03-05", 11, 2); },
          [] {
              Screen screen{std::make_unique<purchar>(), nullptr, 3, 8};
              OrderTest::Controls controls{screen.form.get()};
              controls.queryOrders(day, day, QStringLiteral("---全部---"));
              controls.clickListRow(0);
              screen.table = controls.lines;
              return screen;
          }}},
        {"register",
         {"inventory", "remarks", "quantity", "9",
          [](TestDb &db) {
              return db.exec("insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-05',101,2,'','test001')")
                  && db.exec("insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-05',102,3,'','test001')");
          },
          [] {
              Screen screen{std::make_unique<inventory>(), nullptr, inventory::QuantityColumn, inventory::TickColumn};
              screen.form->findChild<QDateEdit *>("dateEdit_2")->setDate(day);
              screen.form->findChild<QDateEdit *>("dateEdit_3")->setDate(day);
              QTest::mouseClick(screen.form->findChild<QPushButton *>("pushButton_4"), Qt::LeftButton);
              screen.table = screen.form->findChild<QTableWidget *>("tableWidget");
              return screen;
          }}},
    };
    return all;
}

void click(const Screen &screen, const QString &button)
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
    // Seeds and opens the screen of the row's kind; the id of its first row.
    QString openScreen();

    std::unique_ptr<TestDb> m_db;
    Screen m_screen;
};

void tst_concurrentsave::init()
{
    m_db = std::make_unique<TestDb>();
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(OrderTest::seedMasterData(*m_db));
    LoginState::userName = QStringLiteral("test001");
    LoginState::rights = QStringLiteral("员工编辑");
}

void tst_concurrentsave::cleanup()
{
    m_screen = Screen();
    m_db.reset();
    LoginState::userName.clear();
    LoginState::rights.clear();
}

QString tst_concurrentsave::openScreen()
{
    QFETCH(QString, kind);
    const Kind &k = kinds()[kind];
    if (!k.seed(*m_db)) {
        return QString();
    }
    m_screen = k.open();
    if (!m_screen.table || m_screen.table->rowCount() < 2) {
        return QString();
    }
    return m_db->scalar(QStringLiteral("select min(id) from %1").arg(k.table));
}

void tst_concurrentsave::staleRowsAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<bool>("otherDeletes");
    for (const QString &kind : kinds().keys()) {
        for (const bool deleting : {false, true}) {
            for (const bool otherDeletes : {false, true}) {
                if (deleting || kind != QLatin1String("employee")) {
                    QTest::addRow("%s %s after other %s", qPrintable(kind), deleting ? "deletes" : "saves",
                                  otherDeletes ? "deleted" : "changed")
                        << kind << deleting << otherDeletes;
                }
            }
        }
    }
}

void tst_concurrentsave::staleRowsAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(bool, deleting);
    QFETCH(bool, otherDeletes);
    const Kind &k = kinds()[kind];
    const QString id = openScreen();
    QVERIFY(!id.isEmpty());
    const int rowsBefore = m_screen.table->rowCount();
    QVERIFY(m_db->exec(otherDeletes ? QStringLiteral("delete from %1 where id=%2").arg(k.table, id)
                                    : QStringLiteral("update %1 set %2='别人改的' where id=%3")
                                          .arg(k.table, k.otherColumn, id)));
    const QString countSql = QStringLiteral("select count(0) from %1").arg(k.table);
    const QString stored = m_db->scalar(countSql);

    MessageRecorder messages;
    for (int row : {0, 1}) {
        if (deleting) {
            FormTest::tick(m_screen.table, row, m_screen.tickColumn);
        } else {
            m_screen.table->item(row, m_screen.editColumn)->setText(k.editText);
        }
    }
    click(m_screen, deleting ? QStringLiteral("pushButton_2") : m_screen.save);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, GuardedSave::staleText({0}));
    // Nothing of this screen's work is stored, and the screen keeps it.
    QCOMPARE(m_db->scalar(countSql), stored);
    QCOMPARE(m_screen.table->rowCount(), rowsBefore);
    if (!deleting) {
        QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from %1 where %2='%3'")
                                  .arg(k.table, k.editField, k.editText)),
                 QStringLiteral("0"));
        QVERIFY(m_screen.table->item(1, m_screen.editColumn)->text().startsWith(k.editText));
    }
    if (!otherDeletes) {
        QCOMPARE(m_db->scalar(QStringLiteral("select %1 from %2 where id=%3").arg(k.otherColumn, k.table, id)),
                 QStringLiteral("别人改的"));
    }
}

void tst_concurrentsave::othersRowsAreLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"goods", "purchase", "register"}) {
        QTest::newRow(kind) << QString::fromLatin1(kind);
    }
}

// Each screen changes a row of its own: both changes are kept.
void tst_concurrentsave::othersRowsAreLeftAlone()
{
    QFETCH(QString, kind);
    const Kind &k = kinds()[kind];
    const QString id = openScreen();
    QVERIFY(!id.isEmpty());
    QVERIFY(m_db->exec(QStringLiteral("update %1 set %2='别人改的' where id=%3").arg(k.table, k.otherColumn, id)));

    MessageRecorder messages;
    m_screen.table->item(1, m_screen.editColumn)->setText(k.editText);
    click(m_screen, m_screen.save);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("保存提示/保存成功！")});
    QCOMPARE(m_db->scalar(QStringLiteral("select %1 from %2 where id=%3").arg(k.otherColumn, k.table, id)),
             QStringLiteral("别人改的"));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from %1 where %2='%3'").arg(k.table, k.editField, k.editText)),
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
