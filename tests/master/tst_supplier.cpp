#include "master/supplier.h"

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using FormTest::cell;
using FormTest::rowTexts;

namespace {

enum SupplierColumn { Code = 0, Name, ShortName, Category, Id, Tick };

QString insertSupplier(int code, const QString &name, const QString &category)
{
    return QStringLiteral("insert into supplier (supplier_id,supplier_name,short_name,category) "
                          "values (%1,'%2','%2','%3')")
        .arg(code)
        .arg(name, category);
}

void click(supplier &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_supplier : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithItsColumnsTextsAndCategories();
    void addSaveAndReload();
    void deleteKeepsSuppliersOfPurchaseOrders();
    void quotesAndPercentSignsReachTheDatabaseAsTyped();

private:
    TestDb *m_db = nullptr;
};

void tst_supplier::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
}

void tst_supplier::cleanup()
{
    delete m_db;
    m_db = nullptr;
}

void tst_supplier::opensWithItsColumnsTextsAndCategories()
{
    QVERIFY(m_db->exec(insertSupplier(1, QStringLiteral("青岛啤酒"), QStringLiteral("酒水"))));
    QVERIFY(m_db->exec(insertSupplier(2, QStringLiteral("蒙牛"), QStringLiteral("乳品"))));

    supplier form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QCOMPARE(form.windowTitle(), QStringLiteral("供应商"));
    QCOMPARE(FormTest::headers(table), QStringList({"供应商编码", "供应商名称", "简称", "供应品类", "流水号", "选择"}));
    // The labels are named otherwise than in the customer form.
    FIND_CHILD(QLabel, codeLabel, form, "label_2");
    FIND_CHILD(QLabel, nameLabel, form, "label_3");
    FIND_CHILD(QLabel, categoryLabel, form, "label");
    QCOMPARE(codeLabel->text(), QStringLiteral(" 编 号"));
    QCOMPARE(nameLabel->text(), QStringLiteral(" 名 称"));
    QCOMPARE(categoryLabel->text(), QStringLiteral("供应品类"));

    QCOMPARE(table->rowCount(), 2);
    FIND_CHILD(QComboBox, categoryBox, form, "comboBox");
    QCOMPARE(categoryBox->count(), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator where operator='供应商资料'")),
             QStringLiteral("1"));
}

void tst_supplier::addSaveAndReload()
{
    QVERIFY(m_db->exec(insertSupplier(1, QStringLiteral("青岛啤酒"), QStringLiteral("酒水"))));
    supplier form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("8"));
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(QStringLiteral("伊利"));
    form.findChild<QComboBox *>(QStringLiteral("comboBox"))->setEditText(QStringLiteral("乳品"));
    MessageRecorder messages;
    click(form, "pushButton");
    QCOMPARE(rowTexts(table, 1), QStringList({"8", "伊利", "伊利", "乳品", "0"}));
    table->item(0, ShortName)->setText(QStringLiteral("青啤"));

    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->rows(QStringLiteral("select supplier_id,supplier_name,short_name,category "
                                       "from supplier order by supplier_id")),
             (QList<QStringList>{{"1", "青岛啤酒", "青啤", "酒水"}, {"8", "伊利", "伊利", "乳品"}}));
}

void tst_supplier::deleteKeepsSuppliersOfPurchaseOrders()
{
    QVERIFY(m_db->exec(insertSupplier(1, QStringLiteral("青岛啤酒"), QStringLiteral("酒水"))));
    QVERIFY(m_db->exec(insertSupplier(2, QStringLiteral("蒙牛"), QStringLiteral("乳品"))));
    QVERIFY(m_db->exec(insertSupplier(3, QStringLiteral("伊利"), QStringLiteral("乳品"))));
    QVERIFY(m_db->exec(QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
        "values ('cgd1','2024-01-02',1,1,'1','1','','test001')")));
    QVERIFY(m_db->exec(QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
        "values ('cgd2','2024-01-03',3,1,'1','1','','test001')")));

    supplier form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QTest::mouseClick(form.findChild<QCheckBox *>(QStringLiteral("checkBox")), Qt::LeftButton);
    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList({"操作提示/删除成功！", "操作提示/[1、3]已有单据使用，不能删除！"}));
    QCOMPARE(m_db->rows(QStringLiteral("select supplier_id from supplier order by supplier_id")),
             (QList<QStringList>{{"1"}, {"3"}}));
    QCOMPARE(table->rowCount(), 2);

    // Only referenced suppliers left: nothing removed, so no success.
    messages.clear();
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/[1、3]已有单据使用，不能删除！"});
}

void tst_supplier::quotesAndPercentSignsReachTheDatabaseAsTyped()
{
    QVERIFY(m_db->exec(insertSupplier(1, QStringLiteral("青岛啤酒"), QStringLiteral("酒水"))));
    supplier form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    MessageRecorder messages;
    // A short name with a quote is warned about but kept on screen; Save
    // refuses it, and the percent sign goes in unharmed.
    table->item(0, ShortName)->setText(QStringLiteral("O'Brien"));
    table->item(0, Name)->setText(QStringLiteral("100%纯 %2"));
    messages.clear();
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{"输入提示/第1行“简称”的内容不能含有 - , ' 等特殊符号"});

    table->item(0, ShortName)->setText(QStringLiteral("青啤"));
    messages.clear();
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->scalar(QStringLiteral("select supplier_name from supplier")), QStringLiteral("100%纯 %2"));

    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    FormTest::type(search, QStringLiteral("' or 1=1 --"));
    QCOMPARE(table->rowCount(), 0);
}

QTEST_MAIN(tst_supplier)
#include "tst_supplier.moc"
