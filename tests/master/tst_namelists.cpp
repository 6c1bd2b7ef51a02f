// The four short lists edited at once (employees, customer, supplier and cash
// categories): one shared form, so every case runs once per list.

#include "admin/category_cash.h"
#include "master/category_customer.h"
#include "master/category_supplier.h"
#include "master/employee.h"

#include "app/loginstate.h"
#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

using FormTest::cell;

namespace {

// What tells the lists apart. Each starts with three records; a record of
// another table names the second one.
struct NameList
{
    std::function<NameListForm *()> create;
    QString right;
    QString table;
    QString columns;            // the stored columns, as typed into the inputs
    QList<QStringList> records; // the three records
    QStringList added;          // typed with blanks around, stored trimmed
    QString useSecond;          // makes another table name the second record
    QString inUse;              // the message when the second is ticked
    QString duplicate;          // the message for a known name
};

const QMap<QString, NameList> &lists()
{
    static const QMap<QString, NameList> all{
        {"employee",
         {[] { return new employee; }, "员工编辑", "employee",
          "employee_id,employee_name", {{"E01", "张三"}, {"E02", "李四"}, {"E03", "O'Neil"}}, {"E07", "王五"},
          "insert into customer (customer_id,customer_name,short_name,area,salesman) values (1,'华联','华联','城西','李四')",
          "操作提示/[E02]用户已经使用，不能删除！", "输入提示/代号或姓名重复！"}},
        {"category_customer",
         {[] { return new category_customer; }, "客户类别编辑",
          "category_customer", "name", {{"甲类"}, {"乙类"}, {"丙类"}}, {"丁类"},
          "insert into customer (customer_id,customer_name,short_name,area,category) values (1,'华联','华联','城西','乙类')",
          "操作提示/[乙类]类别已经使用，不能删除！", "输入提示/用户名重复！"}},
        {"category_supplier",
         {[] { return new category_supplier; }, "供应商类别编辑",
          "category_supplier", "name", {{"甲类"}, {"乙类"}, {"丙类"}}, {"丁类"},
          "insert into supplier (supplier_id,supplier_name,short_name,category) values (1,'青岛啤酒','青啤','乙类')",
          "操作提示/[乙类]类别已经使用，不能删除！", "输入提示/用户名重复！"}},
        {"category_cash",
         {[] { return new category_cash; }, "资产类别编辑", "category", "name",
          {{"现金"}, {"银行"}, {"票据"}}, {"支票"},
          "insert into info (date,company,summary,income,pay,category) values ('2024-03-01','1-甲公司','货款','100.00','0','银行')",
          "操作提示/[银行]类别已经使用，不能删除！", "输入提示/用户名重复！"}},
    };
    return all;
}

void click(QWidget &form, const QString &button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(button), Qt::LeftButton);
}

void fill(QWidget &form, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        form.findChild<QLineEdit *>(i ? QStringLiteral("lineEdit_2") : QStringLiteral("lineEdit"))->setText(texts.at(i));
    }
}

} // namespace

class tst_namelists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void withoutTheRightBothButtonsRefuse_data() { addListRows(); }
    void withoutTheRightBothButtonsRefuse();
    void addStoresTheTrimmedTexts_data() { addListRows(); }
    void addStoresTheTrimmedTexts();
    void addRefuses_data();
    void addRefuses();
    void aRecordInUseStopsTheWholeDelete_data() { addListRows(); }
    void aRecordInUseStopsTheWholeDelete();
    void aRefusedDeleteUndoesTheWholeDelete_data() { addListRows(); }
    void aRefusedDeleteUndoesTheWholeDelete();
    void aFailedAddIsReported_data();
    void aFailedAddIsReported();

private:
    static void addListRows();
    static const NameList &list();
    QList<QStringList> stored() { return m_db->rows(QStringLiteral("select %1 from %2 order by id").arg(list().columns, list().table)); }
    // Opens the list's form; its table.
    QTableWidget *open()
    {
        m_form.reset(list().create());
        return m_form->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<NameListForm> m_form;
};

void tst_namelists::addListRows()
{
    QTest::addColumn<QString>("form");
    for (const QString &form : lists().keys()) {
        QTest::newRow(qPrintable(form)) << form;
    }
}

const NameList &tst_namelists::list()
{
    QFETCH(QString, form);
    return *lists().find(form);
}

void tst_namelists::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    const NameList &l = list();
    QVERIFY(m_db->exec(QStringLiteral("delete from %1").arg(l.table)));
    for (const QStringList &record : l.records) {
        QStringList quoted;
        for (const QString &value : record) {
            quoted << QStringLiteral("'%1'").arg(QString(value).replace(QLatin1Char('\''), QStringLiteral("''")));
        }
        QVERIFY(m_db->exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(l.table, l.columns, quoted.join(','))));
    }
    LoginState::rights = l.right;
}

void tst_namelists::cleanup()
{
    m_form.reset();
    m_db.reset();
    LoginState::rights.clear();
}

// With another list's right only: both buttons refuse, the list is shown.
void tst_namelists::withoutTheRightBothButtonsRefuse()
{
    LoginState::rights = list().table == QLatin1String("employee") ? "客户类别编辑" : "员工编辑";
    QTableWidget *table = open();
    QCOMPARE(table->rowCount(), 3);
    fill(*m_form, list().added);
    FormTest::tick(table, 0, 0);
    MessageRecorder messages;
    click(*m_form, QStringLiteral("pushButton"));
    click(*m_form, QStringLiteral("pushButton_2"));
    QCOMPARE(messages.texts(), (QStringList{"权限提示/无此权限", "权限提示/无此权限"}));
    QCOMPARE(stored(), list().records);
}

void tst_namelists::addStoresTheTrimmedTexts()
{
    const QString logRows = m_db->scalar(QStringLiteral("select count(*) from operator"));
    QTableWidget *table = open();
    QCOMPARE(cell(table, 2, list().records.at(2).size()), list().records.at(2).last());
    QVERIFY(FormTest::isReadOnly(table, 0, 1));
    QStringList typed;
    for (const QString &text : list().added) {
        typed << QStringLiteral("  %1 ").arg(text);
    }
    fill(*m_form, typed);
    MessageRecorder messages;
    click(*m_form, QStringLiteral("pushButton"));
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(stored(), list().records + QList<QStringList>{list().added});
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(cell(table, 3, 1), list().added.first());
    // The boxes keep their text; the list forms write no operation-log row.
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->text(), typed.first());
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator")), logRows);
}

void tst_namelists::addRefuses_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("message");
    const QString empty = QStringLiteral("输入提示/内容不能为空！");
    for (const QString &form : lists().keys()) {
        const NameList &l = lists().value(form);
        const QByteArray f = form.toUtf8();
        const bool twoInputs = l.added.size() == 2;
        QTest::addRow("%s: nothing but blanks", f.constData())
            << form << (twoInputs ? QStringList{"   ", "赵六"} : QStringList{"   "}) << empty;
        QTest::addRow("%s: a known name between blanks", f.constData())
            << form << (twoInputs ? QStringList{"E09", " 张三 "} : QStringList{" " + l.records.at(1).first()})
            << l.duplicate;
    }
    QTest::newRow("employee: empty name") << "employee" << QStringList{"E09", ""} << empty;
    QTest::newRow("employee: a known code") << "employee" << QStringList{"E01", "赵六"} << "输入提示/代号或姓名重复！";
}

void tst_namelists::addRefuses()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, message);

    open();
    fill(*m_form, typed);
    MessageRecorder messages;
    click(*m_form, QStringLiteral("pushButton"));
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(stored(), list().records);
}

void tst_namelists::aRecordInUseStopsTheWholeDelete()
{
    QVERIFY2(m_db->exec(list().useSecond), qPrintable(m_db->lastError()));
    QTableWidget *table = open();
    MessageRecorder messages;
    click(*m_form, QStringLiteral("pushButton_2"));
    QCOMPARE(messages.texts(), QStringList{"操作提示/没有任何选择！"});
    QCOMPARE(messages.last().icon, QMessageBox::Information);
    for (int row = 0; row < 3; ++row) {
        FormTest::tick(table, row, 0);
    }
    messages.clear();
    click(*m_form, QStringLiteral("pushButton_2"));
    QCOMPARE(messages.texts(), QStringList{list().inUse});
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(stored(), list().records);
    QCOMPARE(table->rowCount(), 3);

    // Without the one in use, the others go.
    FormTest::tick(table, 1, 0, false);
    messages.clear();
    click(*m_form, QStringLiteral("pushButton_2"));
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(stored(), QList<QStringList>{list().records.at(1)});
    QCOMPARE(table->rowCount(), 1);
}

void tst_namelists::aRefusedDeleteUndoesTheWholeDelete()
{
    const QString key = list().columns.section(',', 0, 0);
    const QByteArray trigger = QStringLiteral("create trigger keep_second before delete on %1 when old.%2 = '%3' "
                                              "begin select raise(abort, 'the second is kept'); end")
                                   .arg(list().table, key, list().records.at(1).first())
                                   .toUtf8();
    QVERIFY(FormTest::runOnFile(m_db->db(), trigger.constData()));
    QTableWidget *table = open();
    FormTest::tick(table, 0, 0);
    FormTest::tick(table, 1, 0);

    MessageRecorder messages;
    click(*m_form, QStringLiteral("pushButton_2"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("the second is kept")), qPrintable(messages.last().text));
    // The first delete ran before the second failed; the transaction takes it back.
    QCOMPARE(stored(), list().records);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(1, 0)->checkState(), Qt::Checked);
}

void tst_namelists::aFailedAddIsReported_data()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("category_cash") << "category_cash";
}

void tst_namelists::aFailedAddIsReported()
{
    category_cash form;
    QVERIFY(FormTest::runOnFile(m_db->db(), "drop table category"));
    fill(form, {QStringLiteral("支票")});
    MessageRecorder messages;
    click(form, QStringLiteral("pushButton"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(!messages.last().text.isEmpty());
}

QTEST_MAIN(tst_namelists)
#include "tst_namelists.moc"
