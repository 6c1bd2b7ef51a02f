#include "master/employee.h"

#include "app/loginstate.h"
#include "db/sqltext.h"
#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using FormTest::cell;

namespace {

enum EmployeeColumn { Tick = 0, Code, Name };

void click(employee &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

void fillInputs(employee &form, const QString &code, const QString &name)
{
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(code);
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(name);
}

} // namespace

class tst_employee : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheList();
    void opensTheDemoCompany();
    void withoutTheRightBothButtonsRefuse_data();
    void withoutTheRightBothButtonsRefuse();
    void addInsertsTrimmedTexts();
    void addRefuses_data();
    void addRefuses();
    void deleteRemovesTickedEmployees();
    void aSalesmanStopsTheWholeDelete();
    void aRefusedDeleteUndoesTheWholeDelete();

private:
    // Employees E01, E02, … named names.
    void seed(const QStringList &names)
    {
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(m_db->exec(QStringLiteral("insert into employee (employee_id,employee_name) values ('E0%1','%2')")
                                   .arg(i + 1)
                                   .arg(SqlText::quoted(names.at(i)))));
        }
    }

    TestDb *m_db = nullptr;
};

void tst_employee::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    LoginState::rights = QStringLiteral("客户类别编辑,员工编辑");
}

void tst_employee::cleanup()
{
    delete m_db;
    m_db = nullptr;
    LoginState::rights.clear();
}

void tst_employee::opensWithTheList()
{
    seed({"张三", "李四"});
    const QString logRows = m_db->scalar(QStringLiteral("select count(*) from operator"));

    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QCOMPARE(form.windowTitle(), QStringLiteral("员工管理"));
    QCOMPARE(form.size(), QSize(400, 300));
    QCOMPARE(FormTest::headers(table), QStringList({"选择", "代号", "姓名"}));
    QVERIFY(!table->verticalHeader()->isHidden());
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(cell(table, 1, Code), QStringLiteral("E02"));
    QCOMPARE(cell(table, 1, Name), QStringLiteral("李四"));
    QCOMPARE(table->item(0, Tick)->checkState(), Qt::Unchecked);
    QVERIFY(FormTest::isReadOnly(table, 0, Name));
    FIND_CHILD(QLabel, codeLabel, form, "label");
    QCOMPARE(codeLabel->text(), QStringLiteral("工号"));
    // The list forms write no operation-log row.
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator")), logRows);
}

void tst_employee::opensTheDemoCompany()
{
    delete m_db;
    m_db = new TestDb(true);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    const QString count = m_db->scalar(QStringLiteral("select count(*) from employee"));
    QVERIFY(count.toInt() > 0);
    QCOMPARE(QString::number(table->rowCount()), count);
}

void tst_employee::withoutTheRightBothButtonsRefuse_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("button");

    QTest::newRow("no rights, add") << "" << "pushButton";
    QTest::newRow("no rights, delete") << "" << "pushButton_2";
    QTest::newRow("another right, add") << "客户类别编辑" << "pushButton";
    QTest::newRow("a blank before the right") << "客户类别编辑, 员工编辑" << "pushButton_2";
}

void tst_employee::withoutTheRightBothButtonsRefuse()
{
    QFETCH(QString, rights);
    QFETCH(QString, button);

    seed({"张三"});
    LoginState::rights = rights;
    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QCOMPARE(table->rowCount(), 1); // the list is still shown
    fillInputs(form, QStringLiteral("E02"), QStringLiteral("李四"));
    FormTest::tick(table, 0, Tick);

    MessageRecorder messages;
    click(form, button.toLatin1().constData());
    QCOMPARE(messages.texts(), QStringList{"权限提示/无此权限"});
    QCOMPARE(m_db->rows(QStringLiteral("select employee_name from employee")), QList<QStringList>{{"张三"}});
}

void tst_employee::addInsertsTrimmedTexts()
{
    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    fillInputs(form, QStringLiteral("  E07 "), QStringLiteral(" 王五  "));
    MessageRecorder messages;
    click(form, "pushButton");
    QVERIFY(messages.isEmpty());
    QCOMPARE(m_db->rows(QStringLiteral("select employee_id,employee_name from employee")),
             (QList<QStringList>{{"E07", "王五"}}));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(table, 0, Name), QStringLiteral("王五"));
    // The boxes keep their text.
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->text(), QStringLiteral(" 王五  "));
}

void tst_employee::addRefuses_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty code") << " " << "王五" << "输入提示/内容不能为空！";
    QTest::newRow("empty name") << "E09" << "" << "输入提示/内容不能为空！";
    QTest::newRow("a known code") << "E01" << "王五" << "输入提示/代号或姓名重复！";
    QTest::newRow("a known name under another code") << "E09" << "张三" << "输入提示/代号或姓名重复！";
    QTest::newRow("a known name with blanks around") << "E09" << " 张三 " << "输入提示/代号或姓名重复！";
}

void tst_employee::addRefuses()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, message);

    seed({"张三"});
    employee form;
    fillInputs(form, code, name);
    MessageRecorder messages;
    click(form, "pushButton");
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from employee")), QStringLiteral("1"));
}

void tst_employee::deleteRemovesTickedEmployees()
{
    seed({"张三", "李四", "O'Neil"});
    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/没有任何选择！"});

    messages.clear();
    FormTest::tick(table, 0, Tick);
    FormTest::tick(table, 2, Tick);
    click(form, "pushButton_2");
    QVERIFY(messages.isEmpty());
    QCOMPARE(m_db->rows(QStringLiteral("select employee_name from employee")), QList<QStringList>{{"李四"}});
    QCOMPARE(table->rowCount(), 1);
}

void tst_employee::aSalesmanStopsTheWholeDelete()
{
    seed({"张三", "李四", "王五"});
    QVERIFY(m_db->exec(QStringLiteral("insert into customer (customer_id,customer_name,short_name,"
                                      "area,salesman) values (1,'华联','华联','城西','李四')")));
    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    for (int row = 0; row < 3; ++row) {
        FormTest::tick(table, row, Tick);
    }
    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/[E02]用户已经使用，不能删除！"});
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from employee")), QStringLiteral("3"));
    QCOMPARE(table->rowCount(), 3);
}

void tst_employee::aRefusedDeleteUndoesTheWholeDelete()
{
    seed({"张三", "李四"});
    QVERIFY(FormTest::runOnFile(m_db->db(),
                                "create trigger keep_li before delete on employee "
                                "when old.employee_id = 'E02' "
                                "begin select raise(abort, 'E02 is locked'); end"));
    employee form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FormTest::tick(table, 0, Tick);
    FormTest::tick(table, 1, Tick);

    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    // The first delete ran before the second failed; the transaction takes it back.
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from employee")), QStringLiteral("2"));
    QCOMPARE(table->rowCount(), 2);
}

QTEST_MAIN(tst_employee)
#include "tst_employee.moc"
