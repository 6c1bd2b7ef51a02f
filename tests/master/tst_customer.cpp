#include "master/customer.h"

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using FormTest::cell;
using FormTest::rowTexts;

namespace {

enum CustomerColumn { Code = 0, Name, ShortName, Area, Id, Tick };

QString insertCustomer(int code, const QString &name, const QString &shortName,
                       const QString &area)
{
    return QStringLiteral("insert into customer (customer_id,customer_name,short_name,area) "
                          "values (%1,'%2','%3','%4')")
        .arg(code)
        .arg(name, shortName, area);
}

void addRow(customer &form, const QString &code, const QString &name, const QString &area)
{
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(code);
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(name);
    form.findChild<QComboBox *>(QStringLiteral("comboBox"))->setEditText(area);
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
}

void click(customer &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_customer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithItsColumnsTextsAndAreas();
    void opensTheDemoCompany();
    void searchCoversTheShortName_data();
    void searchCoversTheShortName();
    void addRowChecks_data();
    void addRowChecks();
    void newCustomerTakesItsNameAsShortNameAndItsAreaIsOfferedNextTime();
    void cellCheckCoversTheShortName();
    void deleteKeepsCustomersOfDeliveryNotes();

private:
    TestDb *m_db = nullptr;
};

void tst_customer::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
}

void tst_customer::cleanup()
{
    delete m_db;
    m_db = nullptr;
}

void tst_customer::opensWithItsColumnsTextsAndAreas()
{
    QVERIFY(m_db->exec(insertCustomer(9, QStringLiteral("物美超市"), QStringLiteral("物美"), QStringLiteral("城东"))));
    QVERIFY(m_db->exec(insertCustomer(1, QStringLiteral("华联超市"), QStringLiteral("华联"), QStringLiteral("城西"))));
    QVERIFY(m_db->exec(insertCustomer(3, QStringLiteral("家乐福"), QStringLiteral("家乐福"), QStringLiteral("城东"))));

    customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QCOMPARE(form.windowTitle(), QStringLiteral("客户档案"));
    QCOMPARE(FormTest::headers(table), QStringList({"客户编码", "客户名称", "简称", "所属区域", "流水号", "选择"}));
    QVERIFY(table->verticalHeader()->isHidden());
    FIND_CHILD(QLabel, codeLabel, form, "label");
    FIND_CHILD(QLabel, nameLabel, form, "label_2");
    FIND_CHILD(QLabel, areaLabel, form, "label_3");
    QCOMPARE(codeLabel->text(), QStringLiteral(" 编 号"));
    QCOMPARE(nameLabel->text(), QStringLiteral(" 名 称"));
    QCOMPARE(areaLabel->text(), QStringLiteral("区域"));
    QVERIFY(form.findChild<QComboBox *>(QStringLiteral("comboBox_2")) == nullptr);

    // No ordering clause: the rows come as the server returns the list.
    const QList<QStringList> server =
        m_db->rows(QStringLiteral("select customer_id,customer_name,short_name,area,id from customer where 1=1 "));
    QCOMPARE(FormTest::tableTexts(table), server);
    QCOMPARE(rowTexts(table, FormTest::rowOf(table, Code, QStringLiteral("1"))),
             QStringList({"1", "华联超市", "华联", "城西",
                          m_db->scalar(QStringLiteral("select id from customer where customer_id=1"))}));
    FIND_CHILD(QComboBox, areaBox, form, "comboBox");
    QVERIFY(areaBox->isEditable());
    QCOMPARE(areaBox->count(), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator where operator='客户资料'")),
             QStringLiteral("1"));
}

void tst_customer::opensTheDemoCompany()
{
    delete m_db;
    m_db = new TestDb(true);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    const QString count = m_db->scalar(QStringLiteral("select count(*) from customer"));
    QVERIFY(count.toInt() > 0);
    QCOMPARE(QString::number(table->rowCount()), count);
}

void tst_customer::searchCoversTheShortName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("a short name") << "老王" << QStringList{"2"};
    QTest::newRow("a code") << "1" << QStringList{"1"};
    QTest::newRow("a name") << "超市" << QStringList{"1", "2"};
}

void tst_customer::searchCoversTheShortName()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);

    QVERIFY(m_db->exec(insertCustomer(1, QStringLiteral("华联超市"), QStringLiteral("华联"), QStringLiteral("城西"))));
    QVERIFY(m_db->exec(insertCustomer(2, QStringLiteral("王氏超市"), QStringLiteral("老王"), QStringLiteral("城东"))));
    QVERIFY(m_db->exec(QStringLiteral(
        "insert into customer (customer_id,customer_name,area) values (3,'无简称','城东')")));

    customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QLineEdit, search, form, "lineEdit_3");
    QCOMPARE(table->rowCount(), 3);
    FormTest::type(search, typed);
    QStringList shown;
    for (int row = 0; row < table->rowCount(); ++row) {
        shown << cell(table, row, Code);
    }
    shown.sort();
    QCOMPARE(shown, codes);
}

void tst_customer::addRowChecks_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty area") << "5" << "客户" << "" << "录入提示/内容不能为空";
    QTest::newRow("letters") << "a5" << "客户" << "城东" << "录入提示/商品编号只能为数字！";
    QTest::newRow("hyphen in name") << "5" << "客-户" << "城东" << "录入提示/品名不能包含 - , ' 等特殊符号";
    QTest::newRow("code in the table") << "1" << "客户" << "城东" << "录入提示/商品编号不能重复！";
}

void tst_customer::addRowChecks()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, area);
    QFETCH(QString, message);

    QVERIFY(m_db->exec(insertCustomer(1, QStringLiteral("华联超市"), QStringLiteral("华联"), QStringLiteral("城西"))));
    customer form;
    MessageRecorder messages;
    addRow(form, code, name, area);
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(form.findChild<QTableWidget *>(QStringLiteral("tableWidget"))->rowCount(), 1);
}

void tst_customer::newCustomerTakesItsNameAsShortNameAndItsAreaIsOfferedNextTime()
{
    customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    FIND_CHILD(QComboBox, areaBox, form, "comboBox");
    addRow(form, QStringLiteral("7"), QStringLiteral("大润发"), QStringLiteral("城北"));
    QCOMPARE(rowTexts(table, 0), QStringList({"7", "大润发", "大润发", "城北", "0"}));

    MessageRecorder messages;
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->rows(QStringLiteral("select customer_id,customer_name,short_name,area from customer")),
             (QList<QStringList>{{"7", "大润发", "大润发", "城北"}}));
    QVERIFY(cell(table, 0, Id) != QStringLiteral("0"));
    QCOMPARE(areaBox->findText(QStringLiteral("城北")), -1);
    customer again;
    QVERIFY(again.findChild<QComboBox *>(QStringLiteral("comboBox"))->findText(QStringLiteral("城北")) >= 0);
}

void tst_customer::cellCheckCoversTheShortName()
{
    QVERIFY(m_db->exec(insertCustomer(1, QStringLiteral("华联超市"), QStringLiteral("华联"), QStringLiteral("城西"))));
    customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    MessageRecorder messages;
    table->item(0, ShortName)->setText(QStringLiteral("华-联"));
    table->item(0, Area)->setText(QString());
    QCOMPARE(messages.texts(), QStringList({"输入提示/内容不能含有 - , ' 等特殊符号", "输入提示/内容不能为空！"}));
}

void tst_customer::deleteKeepsCustomersOfDeliveryNotes()
{
    QVERIFY(m_db->exec(insertCustomer(1, QStringLiteral("华联超市"), QStringLiteral("华联"), QStringLiteral("城西"))));
    QVERIFY(m_db->exec(insertCustomer(2, QStringLiteral("物美超市"), QStringLiteral("物美"), QStringLiteral("城东"))));
    QVERIFY(m_db->exec(QStringLiteral(
        "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) "
        "values ('shd1','2024-01-02',2,1,'1','1','','test001')")));
    // A purchase order of the same code does not hold a customer.
    QVERIFY(m_db->exec(QStringLiteral(
        "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
        "values ('cgd1','2024-01-02',1,1,'1','1','','test001')")));

    customer form;
    FIND_CHILD(QTableWidget, table, form, "tableWidget");
    QTest::mouseClick(form.findChild<QCheckBox *>(QStringLiteral("checkBox")), Qt::LeftButton);
    MessageRecorder messages;
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList({"操作提示/删除成功！", "操作提示/[2]已有单据使用，不能删除！"}));
    QCOMPARE(m_db->rows(QStringLiteral("select customer_id from customer")), QList<QStringList>{{"2"}});
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(table, 0, Code), QStringLiteral("2"));
}

QTEST_MAIN(tst_customer)
#include "tst_customer.moc"
