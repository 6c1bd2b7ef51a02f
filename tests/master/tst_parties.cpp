// The customer and supplier tables: the goods form's shared table with a
// short name and a group (area or category). What the shared table does
// alike is tested with the goods; here every case runs once per party.

#include "master/customer.h"
#include "master/supplier.h"

#include "master/formtest.h"
#include "support/statementfixture.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/sqltemplate.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

using FormTest::cell;
using FormTest::rowTexts;

namespace {

enum PartyColumn { Code = 0, Name, ShortName, Group, Id, Tick };

struct Party
{
    std::function<MasterTableForm *()> create;
    QString logUnit;
    QString table;
    QString columns;  // code, name, short name, group
    QString document; // the table whose lines hold a party: %1 party code
    QString other;    // a line of the other party table, which does not hold it
};

const QString purchaseLine = QStringLiteral(
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) "
    "values ('cgd%1','2024-01-02',%1,1,'1','1','','test001')");
const QString deliveryLine = QStringLiteral(
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) "
    "values ('shd%1','2024-01-02',%1,1,'1','1','','test001')");

const QMap<QString, Party> &parties()
{
    static const QMap<QString, Party> all{
        {"customer",
         {[] { return new customer; }, "客户资料", "customer",
          "customer_id,customer_name,short_name,area", deliveryLine, purchaseLine}},
        {"supplier",
         {[] { return new supplier; }, "供应商资料", "supplier",
          "supplier_id,supplier_name,short_name,category", purchaseLine, deliveryLine}},
    };
    return all;
}

void click(QWidget &form, const char *button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_parties : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aNewPartyNeedsAGroupAndTakesItsNameAsShortName_data() { addPartyRows(); }
    void aNewPartyNeedsAGroupAndTakesItsNameAsShortName();
    void textsReachTheDatabaseAsTypedOnceClean_data() { addPartyRows(); }
    void textsReachTheDatabaseAsTypedOnceClean();
    void deleteKeepsPartiesOfTheirDocuments_data() { addPartyRows(); }
    void deleteKeepsPartiesOfTheirDocuments();

private:
    static void addPartyRows();
    static const Party &party();
    void seed(int code, const QString &name, const QString &shortName, const QString &group)
    {
        QVERIFY2(m_db->exec(QStringLiteral("insert into %1 (%2) values (%3,'%4','%5','%6')")
                                .arg(party().table, party().columns)
                                .arg(code)
                                .arg(name, shortName, group)),
                 qPrintable(m_db->lastError()));
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_parties::addPartyRows()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("customer") << "customer";
    QTest::newRow("supplier") << "supplier";
}

const Party &tst_parties::party()
{
    QFETCH(QString, form);
    return *parties().find(form);
}

void tst_parties::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    seed(9, QStringLiteral("物美超市"), QStringLiteral("物美"), QStringLiteral("城东"));
    seed(1, QStringLiteral("华联超市"), QStringLiteral("华联"), QStringLiteral("城西"));
    seed(3, QStringLiteral("王氏超市"), QStringLiteral("老王"), QStringLiteral("城东"));
}

void tst_parties::cleanup()
{
    m_db.reset();
}

// The shared table's own checks are tested with the goods; the group box is
// the parties' own.
void tst_parties::aNewPartyNeedsAGroupAndTakesItsNameAsShortName()
{
    std::unique_ptr<MasterTableForm> form(party().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    FIND_CHILD(QComboBox, groupBox, *form, "comboBox");
    // No ordering clause: the rows come as the server returns the list.
    QCOMPARE(FormTest::tableTexts(table), m_db->rows(SqlTemplate::fill(form->definition().listSql, {QString()})));
    QVERIFY(groupBox->isEditable());
    QCOMPARE(groupBox->count(), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator where operator='%1'").arg(party().logUnit)),
             QStringLiteral("1"));

    form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("7"));
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(QStringLiteral("大润发"));
    groupBox->setEditText(QString());
    MessageRecorder messages;
    click(*form, "pushButton");
    QCOMPARE(messages.texts(), QStringList{"录入提示/内容不能为空"});
    QCOMPARE(table->rowCount(), 3);
    groupBox->setEditText(QStringLiteral("城北"));
    click(*form, "pushButton");
    QCOMPARE(rowTexts(table, 3), QStringList({"7", "大润发", "大润发", "城北", "0"}));
    table->item(FormTest::rowOf(table, Code, QStringLiteral("1")), ShortName)->setText(QStringLiteral("联华"));
    messages.clear();
    click(*form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->rows(QStringLiteral("select %1 from %2 where %3 in (1,7) order by 1")
                            .arg(party().columns, party().table, party().columns.section(',', 0, 0))),
             (QList<QStringList>{{"1", "华联超市", "联华", "城西"}, {"7", "大润发", "大润发", "城北"}}));
    QVERIFY(cell(table, 3, Id) != QStringLiteral("0"));
    // The group box offers the new group when the form opens next.
    QCOMPARE(groupBox->findText(QStringLiteral("城北")), -1);
    std::unique_ptr<MasterTableForm> again(party().create());
    QVERIFY(again->findChild<QComboBox *>(QStringLiteral("comboBox"))->findText(QStringLiteral("城北")) >= 0);
}

void tst_parties::textsReachTheDatabaseAsTypedOnceClean()
{
    std::unique_ptr<MasterTableForm> form(party().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    const int row = FormTest::rowOf(table, Code, QStringLiteral("1"));
    MessageRecorder messages;
    // An unclean short name is warned about but kept on screen; Save refuses
    // it, and the percent sign goes in unharmed.
    table->item(row, ShortName)->setText(QStringLiteral("O'Brien"));
    table->item(row, Group)->setText(QString());
    QCOMPARE(messages.texts(), QStringList({"输入提示/内容不能含有 - , ' 等特殊符号", "输入提示/内容不能为空！"}));
    table->item(row, Group)->setText(QStringLiteral("城西"));
    table->item(row, Name)->setText(QStringLiteral("100%纯 %2"));
    messages.clear();
    click(*form, "pushButton_3");
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("输入提示/第%1行“简称”的内容不能含有 - , ' 等特殊符号").arg(row + 1)});

    table->item(row, ShortName)->setText(QStringLiteral("华联"));
    messages.clear();
    click(*form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});
    QCOMPARE(m_db->scalar(QStringLiteral("select %1 from %2 where %3=1")
                              .arg(party().columns.section(',', 1, 1), party().table, party().columns.section(',', 0, 0))),
             QStringLiteral("100%纯 %2"));
}

void tst_parties::deleteKeepsPartiesOfTheirDocuments()
{
    QVERIFY(m_db->exec(party().document.arg(1)));
    QVERIFY(m_db->exec(party().document.arg(9)));
    // A document of the other kind with the same code does not hold a party.
    QVERIFY(m_db->exec(party().other.arg(3)));

    std::unique_ptr<MasterTableForm> form(party().create());
    FIND_CHILD(QTableWidget, table, *form, "tableWidget");
    QTest::mouseClick(form->findChild<QCheckBox *>(QStringLiteral("checkBox")), Qt::LeftButton);
    MessageRecorder messages;
    click(*form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList({"操作提示/删除成功！", "操作提示/[9、1]已有单据使用，不能删除！"}));
    QCOMPARE(m_db->rows(QStringLiteral("select %1 from %2 order by 1").arg(party().columns.section(',', 0, 0), party().table)),
             (QList<QStringList>{{"1"}, {"9"}}));
    QCOMPARE(table->rowCount(), 2);

    // Only referenced parties left: nothing removed, so no success.
    messages.clear();
    click(*form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList{"操作提示/[9、1]已有单据使用，不能删除！"});
}

// A form round trip: on the embedded engine, and on SQL Server when one is configured.
JXC_STATEMENT_TEST_MAIN(tst_parties)
#include "tst_parties.moc"
