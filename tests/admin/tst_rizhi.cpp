#include "admin/rizhi.h"
#include "support/testdb.h"
#include "tablehelpers.h"

#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

class tst_rizhi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensEmptyWithItsColumns();
    void showsTheEntriesOfTheSpan_data();
    void showsTheEntriesOfTheSpan();
    void queryingAgainReplacesTheRowsWithEveryColumn();

private:
    struct Form
    {
        QDateTimeEdit *start;
        QDateTimeEdit *end;
        QPushButton *query;
        QTableWidget *table;
    };
    Form partsOf(rizhi &window);

    std::unique_ptr<TestDb> m_db;
};

void tst_rizhi::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from operator")));
    const QList<QStringList> entries = {
        {"10.0.0.1", "2024-03-01 08:00:00", "manager", "用户管理"},
        {"10.0.0.2", "2024-03-02 09:30:00", " test001", "客户资料"},
        {"10.0.0.3", "2024-03-05 17:00:00", "alice", "商品资料"},
    };
    for (const QStringList &entry : entries) {
        QVERIFY(m_db->exec(QStringLiteral("insert into operator (ip,date,user_name,operator) values ('%1','%2','%3','%4')")
                               .arg(entry.at(0), entry.at(1), entry.at(2), entry.at(3))));
    }
}

void tst_rizhi::cleanup()
{
    m_db.reset();
}

tst_rizhi::Form tst_rizhi::partsOf(rizhi &window)
{
    Form form{window.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit")),
              window.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_2")),
              window.findChild<QPushButton *>(QStringLiteral("pushButton")),
              window.findChild<QTableWidget *>(QStringLiteral("tableWidget"))};
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        QTest::qFail("the window was not exposed", __FILE__, __LINE__);
    }
    return form;
}

void tst_rizhi::opensEmptyWithItsColumns()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    rizhi window;
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const Form form = partsOf(window);
    QVERIFY(form.start && form.end && form.query && form.table);

    QCOMPARE(form.table->rowCount(), 0);
    for (const QDateTimeEdit *editor : {form.start, form.end}) {
        QVERIFY(editor->dateTime() >= before);
        QVERIFY(editor->dateTime() <= after);
    }
    // Untouched, the editors span no entry.
    QTest::mouseClick(form.query, Qt::LeftButton);
    QCOMPARE(form.table->rowCount(), 0);
}

void tst_rizhi::showsTheEntriesOfTheSpan_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("units");

    QTest::newRow("span holding the first two entries")
        << "2024-03-01 00:00:00" << "2024-03-02 23:59:59"
        << QStringList({"用户管理", "客户资料"});
    QTest::newRow("both ends are inclusive")
        << "2024-03-02 09:30:00" << "2024-03-02 09:30:00"
        << QStringList({"客户资料"});
    QTest::newRow("span without entries") << "2024-03-03 00:00:00" << "2024-03-04 23:59:59" << QStringList();
    QTest::newRow("start after end") << "2024-03-05 17:00:00" << "2024-03-01 08:00:00" << QStringList();
}

void tst_rizhi::showsTheEntriesOfTheSpan()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, units);

    rizhi window;
    const Form form = partsOf(window);
    form.start->setDateTime(at(start));
    form.end->setDateTime(at(end));
    QTest::mouseClick(form.query, Qt::LeftButton);

    // No order is asked of the database.
    QStringList shown = columnTexts(form.table, 3);
    shown.sort();
    units.sort();
    QCOMPARE(shown, units);
}

void tst_rizhi::queryingAgainReplacesTheRowsWithEveryColumn()
{
    rizhi window;
    const Form form = partsOf(window);
    form.start->setDateTime(at(QStringLiteral("2024-01-01 00:00:00")));
    form.end->setDateTime(at(QStringLiteral("2024-12-31 23:59:59")));
    QTest::mouseClick(form.query, Qt::LeftButton);
    QTest::mouseClick(form.query, Qt::LeftButton);
    QCOMPARE(form.table->rowCount(), 3);

    form.start->setDateTime(at(QStringLiteral("2024-03-02 00:00:00")));
    form.end->setDateTime(at(QStringLiteral("2024-03-02 23:59:59")));
    QTest::mouseClick(form.query, Qt::LeftButton);
    QCOMPARE(form.table->rowCount(), 1);
    QCOMPARE(form.table->item(0, 0)->text(), QStringLiteral("10.0.0.2"));
    QCOMPARE(form.table->item(0, 1)->text().left(19), QStringLiteral("2024-03-02 09:30:00"));
    QCOMPARE(form.table->item(0, 2)->text(), QStringLiteral(" test001"));
    QCOMPARE(form.table->item(0, 3)->text(), QStringLiteral("客户资料"));
    QCOMPARE(form.table->item(0, 4)->text(), m_db->scalar(QStringLiteral("select id from operator where operator='客户资料'")));
}

QTEST_MAIN(tst_rizhi)
#include "tst_rizhi.moc"
