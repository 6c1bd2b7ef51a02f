#include "master/category_customer.h"

#include "app/loginstate.h"
#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using FormTest::cell;

namespace {

enum CategoryColumn { Tick = 0, Name };

void click(category_customer &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

// A customer whose category is name.
QString useCategory(const QString &name)
{
    return QStringLiteral("insert into customer (customer_id,customer_name,short_name,area,category) "
                          "values (1,'华联','华联','城西','%1')")
        .arg(name);
}

} // namespace

class tst_category_customer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheList();
    void withoutTheRightBothButtonsRefuse_data();
    void withoutTheRightBothButtonsRefuse();
    void addStoresTheTrimmedName();
    void addRefuses_data();
    void addRefuses();
    void aCategoryInUseStopsTheWholeDelete();
    void deleteRemovesUnusedCategories();

private:
    QStringList names();

    TestDb *m_db = nullptr;
};

void tst_category_customer::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from category_customer")));
    const QStringList initial{QStringLiteral("甲类"), QStringLiteral("乙类"),
                              QStringLiteral("丙类")};
    for (const QString &name : initial) {
        QVERIFY(m_db->exec(QStringLiteral("insert into category_customer (name) values ('%1')").arg(name)));
    }
    LoginState::rights = QStringLiteral("客户类别编辑");
}

void tst_category_customer::cleanup()
{
    delete m_db;
    m_db = nullptr;
    LoginState::rights.clear();
}

QStringList tst_category_customer::names()
{
    QStringList result;
    const QList<QStringList> rows =
        m_db->rows(QStringLiteral("select name from category_customer order by id"));
    for (const QStringList &row : rows) {
        result << row.first();
    }
    return result;
}

void tst_category_customer::opensWithTheList()
{
    category_customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QCOMPARE(form.windowTitle(), QStringLiteral("客户分类"));
    QCOMPARE(form.size(), QSize(400, 300));
    QCOMPARE(FormTest::headers(table), QStringList({"选择", "客户分类"}));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(cell(table, 2, Name), QStringLiteral("丙类"));
    QVERIFY(FormTest::isReadOnly(table, 0, Name));
    FIND_CHILD(QLabel, label, form, "label");
    QCOMPARE(label->text(), QStringLiteral("  类 别："));
    FIND_CHILD(QPushButton, add, form, "pushButton");
    QCOMPARE(add->text(), QStringLiteral("确定"));
}

void tst_category_customer::withoutTheRightBothButtonsRefuse_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("add") << "pushButton";
    QTest::newRow("delete") << "pushButton_2";
}

void tst_category_customer::withoutTheRightBothButtonsRefuse()
{
    QFETCH(QString, button);

    LoginState::rights = QStringLiteral("供应商类别编辑");
    category_customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("丁类"));
    FormTest::tick(table, 0, Tick);
    MessageRecorder messages;
    click(form, button.toLatin1().constData());
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("权限提示/无此权限")});
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类"}));
}

void tst_category_customer::addStoresTheTrimmedName()
{
    category_customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("  丁类 "));
    MessageRecorder messages;
    click(form, "pushButton");
    QVERIFY(messages.isEmpty());
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类", "丁类"}));
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(cell(table, 3, Name), QStringLiteral("丁类"));
}

void tst_category_customer::addRefuses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << "   " << "输入提示/内容不能为空！";
    QTest::newRow("known") << "乙类" << "输入提示/用户名重复！";
    QTest::newRow("known with blanks") << " 乙类" << "输入提示/用户名重复！";
}

void tst_category_customer::addRefuses()
{
    QFETCH(QString, name);
    QFETCH(QString, message);

    category_customer form;
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(name);
    MessageRecorder messages;
    click(form, "pushButton");
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类"}));
}

void tst_category_customer::aCategoryInUseStopsTheWholeDelete()
{
    QVERIFY(m_db->exec(useCategory(QStringLiteral("乙类"))));
    category_customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    for (int row = 0; row < 3; ++row) {
        FormTest::tick(table, row, Tick);
    }
    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("操作提示/[乙类]类别已经使用，不能删除！")});
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类"}));
}

void tst_category_customer::deleteRemovesUnusedCategories()
{
    QVERIFY(m_db->exec(useCategory(QStringLiteral("乙类"))));
    category_customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FormTest::tick(table, 0, Tick);
    FormTest::tick(table, 2, Tick);
    MessageRecorder messages;
    click(form, "pushButton_2");
    QVERIFY(messages.isEmpty());
    QCOMPARE(names(), QStringList{"乙类"});
    QCOMPARE(table->rowCount(), 1);

    messages.clear();
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("操作提示/没有任何选择！")});
}

QTEST_MAIN(tst_category_customer)
#include "tst_category_customer.moc"
