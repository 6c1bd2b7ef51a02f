#include "master/category_customer.h"
#include "master/category_supplier.h"

#include "app/loginstate.h"
#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

using FormTest::cell;

namespace {

enum CategoryColumn { Tick = 0, Name };

// What tells the customer and the supplier categories apart; everything
// else the two lists do alike.
struct CategoryList
{
    std::function<NameListForm *()> create;
    QString table;
    QString right;
    QString otherRight;
    QString title;
    // A record of the parties that names the category %1.
    QString useCategory;
};

const CategoryList &categoryList(const QString &form)
{
    static const QMap<QString, CategoryList> lists{
        {"category_customer",
         {[] { return new category_customer; }, "category_customer", "客户类别编辑", "供应商类别编辑", "客户分类",
          QStringLiteral("insert into customer (customer_id,customer_name,short_name,area,category) "
                         "values (1,'华联','华联','城西','%1')")}},
        {"category_supplier",
         {[] { return new category_supplier; }, "category_supplier", "供应商类别编辑", "客户类别编辑", "供应商分类",
          QStringLiteral("insert into supplier (supplier_id,supplier_name,short_name,category) "
                         "values (1,'青岛啤酒','青啤','%1')")}},
    };
    return *lists.find(form);
}

const QStringList forms{"category_customer", "category_supplier"};

void click(NameListForm &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_category_lists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheList_data();
    void opensWithTheList();
    void withoutTheRightBothButtonsRefuse_data();
    void withoutTheRightBothButtonsRefuse();
    void addStoresTheTrimmedName_data();
    void addStoresTheTrimmedName();
    void addRefuses_data();
    void addRefuses();
    void aCategoryInUseStopsTheWholeDelete_data();
    void aCategoryInUseStopsTheWholeDelete();
    void deleteRemovesUnusedCategories_data();
    void deleteRemovesUnusedCategories();

private:
    // Every test runs once for each form; a row is named after the form.
    static void addFormRows();
    static const CategoryList &list();
    QStringList names();

    TestDb *m_db = nullptr;
};

void tst_category_lists::addFormRows()
{
    QTest::addColumn<QString>("form");
    for (const QString &form : forms) {
        QTest::newRow(qPrintable(form)) << form;
    }
}

const CategoryList &tst_category_lists::list()
{
    QFETCH(QString, form);
    return categoryList(form);
}

void tst_category_lists::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from %1").arg(list().table)));
    const QStringList initial{"甲类", "乙类", "丙类"};
    for (const QString &name : initial) {
        QVERIFY(m_db->exec(QStringLiteral("insert into %1 (name) values ('%2')").arg(list().table, name)));
    }
    LoginState::rights = list().right;
}

void tst_category_lists::cleanup()
{
    delete m_db;
    m_db = nullptr;
    LoginState::rights.clear();
}

QStringList tst_category_lists::names()
{
    QStringList result;
    const QList<QStringList> rows = m_db->rows(QStringLiteral("select name from %1 order by id").arg(list().table));
    for (const QStringList &row : rows) {
        result << row.first();
    }
    return result;
}

void tst_category_lists::opensWithTheList_data()
{
    addFormRows();
}

void tst_category_lists::opensWithTheList()
{
    std::unique_ptr<NameListForm> form(list().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    QCOMPARE(form->windowTitle(), list().title);
    QCOMPARE(form->size(), QSize(400, 300));
    QCOMPARE(FormTest::headers(table), QStringList({"选择", list().title}));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(cell(table, 2, Name), QStringLiteral("丙类"));
    QVERIFY(FormTest::isReadOnly(table, 0, Name));
    FIND_CHILD(QLabel, label, *form, "label");
    QCOMPARE(label->text(), QStringLiteral("  类 别："));
    FIND_CHILD(QPushButton, add, *form, "pushButton");
    QCOMPARE(add->text(), QStringLiteral("确定"));
}

void tst_category_lists::withoutTheRightBothButtonsRefuse_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    for (const QString &form : forms) {
        QTest::addRow("%s: add", qPrintable(form)) << form << "pushButton";
        QTest::addRow("%s: delete", qPrintable(form)) << form << "pushButton_2";
    }
}

void tst_category_lists::withoutTheRightBothButtonsRefuse()
{
    QFETCH(QString, button);

    // The right to edit the other list's categories is not enough.
    LoginState::rights = list().otherRight;
    std::unique_ptr<NameListForm> form(list().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("丁类"));
    FormTest::tick(table, 0, Tick);
    MessageRecorder messages;
    click(*form, button.toLatin1().constData());
    QCOMPARE(messages.texts(), QStringList{"权限提示/无此权限"});
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类"}));
}

void tst_category_lists::addStoresTheTrimmedName_data()
{
    addFormRows();
}

void tst_category_lists::addStoresTheTrimmedName()
{
    std::unique_ptr<NameListForm> form(list().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("  丁类 "));
    MessageRecorder messages;
    click(*form, "pushButton");
    QVERIFY(messages.isEmpty());
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类", "丁类"}));
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(cell(table, 3, Name), QStringLiteral("丁类"));
}

void tst_category_lists::addRefuses_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    for (const QString &form : forms) {
        const QByteArray tag = form.toUtf8();
        const char *f = tag.constData();
        QTest::addRow("%s: empty", f) << form << "   " << "输入提示/内容不能为空！";
        QTest::addRow("%s: known with blanks", f) << form << " 乙类" << "输入提示/用户名重复！";
    }
}

void tst_category_lists::addRefuses()
{
    QFETCH(QString, name);
    QFETCH(QString, message);

    std::unique_ptr<NameListForm> form(list().create());
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(name);
    MessageRecorder messages;
    click(*form, "pushButton");
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类"}));
}

void tst_category_lists::aCategoryInUseStopsTheWholeDelete_data()
{
    addFormRows();
}

void tst_category_lists::aCategoryInUseStopsTheWholeDelete()
{
    QVERIFY(m_db->exec(list().useCategory.arg(QStringLiteral("乙类"))));
    std::unique_ptr<NameListForm> form(list().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    for (int row = 0; row < 3; ++row) {
        FormTest::tick(table, row, Tick);
    }
    MessageRecorder messages;
    click(*form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/[乙类]类别已经使用，不能删除！"});
    QCOMPARE(names(), QStringList({"甲类", "乙类", "丙类"}));
}

void tst_category_lists::deleteRemovesUnusedCategories_data()
{
    addFormRows();
}

void tst_category_lists::deleteRemovesUnusedCategories()
{
    QVERIFY(m_db->exec(list().useCategory.arg(QStringLiteral("乙类"))));
    std::unique_ptr<NameListForm> form(list().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    FormTest::tick(table, 0, Tick);
    FormTest::tick(table, 2, Tick);
    MessageRecorder messages;
    click(*form, "pushButton_2");
    QVERIFY(messages.isEmpty());
    QCOMPARE(names(), QStringList{"乙类"});
    QCOMPARE(table->rowCount(), 1);

    messages.clear();
    click(*form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/没有任何选择！"});
}

QTEST_MAIN(tst_category_lists)
#include "tst_category_lists.moc"
