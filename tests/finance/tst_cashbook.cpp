// The cash journal: entry, the all-or-nothing save, entries that receivables
// and payables are bound to, rights, filters and totals.

#include "finance/cashbook.h"
#include "app/loginstate.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
const QString partyA = QStringLiteral("1-甲供应");
const QString partyB = QStringLiteral("2-O'Brien商行");

} // namespace

class tst_cashbook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void adding_data();
    void adding();
    void saveWritesEveryEntryAndLogs();
    void saveIsAllOrNothing();
    void saveChecksTheChangedRows_data();
    void saveChecksTheChangedRows();
    void boundEntries_data();
    void boundEntries();
    void changesNeedTheRight_data();
    void changesNeedTheRight();
    void filtersAndTotals_data();
    void filtersAndTotals();

private:
    void store(const QString &day, const QString &company, const QString &income, const QString &pay,
               const QString &category, const QString &summary = QStringLiteral("摘要"));
    void add(cashbook &form, const QString &company, const QString &income, const QString &pay,
             const QString &category = QStringLiteral("现金"));
    template <class T>
    T *child(QWidget &form, const char *name)
    {
        T *found = form.findChild<T *>(QLatin1String(name));
        if (!found) {
            qFatal("no child %s", name);
        }
        return found;
    }
    QSqlTableModel *modelOf(cashbook &form)
    {
        return qobject_cast<QSqlTableModel *>(child<QTableView>(form, "tableView")->model());
    }
    void click(cashbook &form, const char *button) { child<QPushButton>(form, button)->click(); }
    QList<QStringList> stored()
    {
        return m_db->rows(QStringLiteral("select company,summary,income,pay,category from info order by id"));
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_cashbook::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from category")));
    QVERIFY(m_db->exec(QStringLiteral("insert into category (name) values ('现金')")));
    QVERIFY(m_db->exec(QStringLiteral("insert into category (name) values ('银行')")));
    QVERIFY(m_db->exec(QStringLiteral("insert into supplier (supplier_id,supplier_name) values (1,'甲供应')")));
    QVERIFY(m_db->exec(QStringLiteral("insert into customer (customer_id,customer_name,category) "
                                      "values (2,'O''Brien商行','')")));
    LoginState::userName = QStringLiteral("出纳");
    LoginState::rights = QStringLiteral("发票录入,资金录入");
}

void tst_cashbook::cleanup()
{
    m_db.reset();
}

void tst_cashbook::store(const QString &day, const QString &company, const QString &income, const QString &pay,
                         const QString &category, const QString &summary)
{
    QVERIFY2(m_db->exec(QStringLiteral("insert into info (date,company,summary,income,pay,category) "
                                       "values ('%1','%2','%3',%4,%5,'%6')")
                            .arg(day, QString(company).replace("'", "''"), summary, income, pay, category)),
             qPrintable(m_db->lastError()));
}

void tst_cashbook::add(cashbook &form, const QString &company, const QString &income, const QString &pay,
                       const QString &category)
{
    child<QComboBox>(form, "comboBox_3")->setEditText(company);
    child<QLineEdit>(form, "lineEdit")->setText(QStringLiteral("收款"));
    child<QLineEdit>(form, "lineEdit_2")->setText(income);
    child<QComboBox>(form, "comboBox_2")->setCurrentIndex(child<QComboBox>(form, "comboBox_2")->findText(category));
    QLineEdit *payEdit = child<QLineEdit>(form, "lineEdit_3");
    payEdit->setText(pay);
    QTest::keyClick(payEdit, Qt::Key_Return);
}

void tst_cashbook::adding_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("pay");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("a receipt") << partyB << "120.5" << "" << "现金" << "";
    QTest::newRow("a payment") << partyA << "" << "80" << "银行" << "";
    QTest::newRow("no counterparty") << " " << "1" << "" << "现金" << "录入提示/往来单位不能为空！";
    QTest::newRow("both amounts") << partyA << "1" << "2" << "现金" << "录入提示/收入和支出必须且只能填写一项！";
    QTest::newRow("no amount") << partyA << "0" << "" << "现金" << "录入提示/收入和支出必须且只能填写一项！";
    QTest::newRow("no category") << partyA << "1" << "" << "" << "录入提示/请选择资金分类！";
}

void tst_cashbook::adding()
{
    QFETCH(QString, company);
    QFETCH(QString, income);
    QFETCH(QString, pay);
    QFETCH(QString, category);
    QFETCH(QString, refusal);
    cashbook form;
    MessageRecorder messages;
    add(form, company, income, pay, category);
    QCOMPARE(messages.texts().join('\n'), refusal);
    QCOMPARE(modelOf(form)->rowCount(), refusal.isEmpty() ? 1 : 0);
    QVERIFY(stored().isEmpty());
    if (refusal.isEmpty()) {
        const double in = income.toDouble();
        const double out = pay.toDouble();
        QCOMPARE(child<QLabel>(form, "label")->text(), QStringLiteral("收入合计%1元，支出合计%2元，余额%3元")
                                                           .arg(in, 0, 'f', 2)
                                                           .arg(out, 0, 'f', 2)
                                                           .arg(in - out, 0, 'f', 2));
        QVERIFY(child<QComboBox>(form, "comboBox_3")->currentText().isEmpty());
    }
}

void tst_cashbook::saveWritesEveryEntryAndLogs()
{
    cashbook form;
    MessageRecorder messages;
    add(form, partyB, QStringLiteral("120.5"), QString());
    add(form, partyA, QString(), QStringLiteral("80"), QStringLiteral("银行"));
    click(form, "pushButton_3");
    QCOMPARE(messages.texts(), QStringList({"保存提示/保存成功！"}));
    QCOMPARE(stored(), (QList<QStringList>{{partyB, "收款", "120.5", "0", "现金"}, {partyA, "收款", "0", "80", "银行"}}));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from operator where operator='资金日记账保存'")),
             QStringLiteral("1"));
    QCOMPARE(modelOf(form)->rowCount(), 2);
}

void tst_cashbook::saveIsAllOrNothing()
{
    cashbook form;
    MessageRecorder messages;
    add(form, partyB, QStringLiteral("1"), QString());
    add(form, partyA, QStringLiteral("2"), QString());
    // Longer than the column takes: the database refuses the second row.
    modelOf(form)->setData(modelOf(form)->index(1, cashbook::SummaryColumn), QString(1200, QLatin1Char('x')));
    click(form, "pushButton_3");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("数据错误"));
    QVERIFY(stored().isEmpty());
    QCOMPARE(modelOf(form)->rowCount(), 2);
}

void tst_cashbook::saveChecksTheChangedRows_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("both amounts") << int(cashbook::PayColumn) << "5" << "错误提示/第2行收入和支出必须且只能填写一项";
    QTest::newRow("an amount that is no number") << int(cashbook::IncomeColumn) << "五" << "错误提示/第2行金额格式不正确";
    QTest::newRow("an unknown category") << int(cashbook::CategoryColumn) << "保险柜" << "错误提示/第2行资金分类不存在";
    QTest::newRow("an impossible day") << int(cashbook::DateColumn) << "2024-13-01" << "错误提示/第2行日期格式不正确";
}

void tst_cashbook::saveChecksTheChangedRows()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    // A stored entry that no longer passes does not stop the save unless it
    // is changed.
    store(today, partyA, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("现金"));
    store(today, partyA, QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("现金"));
    cashbook form;
    MessageRecorder messages;
    modelOf(form)->setData(modelOf(form)->index(1, column), typed);
    click(form, "pushButton_3");
    QCOMPARE(messages.texts().join('\n'), refusal);
}

void tst_cashbook::boundEntries_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    const QString receivable = QStringLiteral("应收款（流水号1，%1，2024-01-01至2024-01-31）").arg(partyB);
    QTest::newRow("receivable: amount") << "receivable" << int(cashbook::IncomeColumn) << "99"
                                        << QStringLiteral("第1行已被%1绑定，不能修改往来单位和金额！").arg(receivable);
    QTest::newRow("receivable: counterparty") << "receivable" << int(cashbook::CompanyColumn) << partyA
                                              << QStringLiteral("第1行已被%1绑定，不能修改往来单位和金额！").arg(receivable);
    QTest::newRow("receivable: delete") << "receivable" << -1 << ""
                                        << QStringLiteral("第1行已被%1绑定，不能删除！").arg(receivable);
    QTest::newRow("payment: delete") << "payment" << -1 << ""
                                     << QStringLiteral("第1行已被应付款（流水号1，%1，2024-01-01至2024-01-31）绑定，不能删除！")
                                            .arg(partyB);
    QTest::newRow("the summary stays free") << "receivable" << int(cashbook::SummaryColumn) << "改摘要" << "";
    QTest::newRow("an unbound entry is deleted") << "" << -1 << "" << "";
}

void tst_cashbook::boundEntries()
{
    QFETCH(QString, account);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    store(today, partyB, QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("现金"));
    if (!account.isEmpty()) {
        const QString id = m_db->scalar(QStringLiteral("select max(id) from info"));
        QVERIFY2(m_db->exec(QStringLiteral("insert into %1 (date_begin,date_end,company,money,info_id,operator) "
                                           "values ('2024-01-01','2024-01-31','2-O''Brien商行',100,%2,'x')")
                                .arg(account, id)),
                 qPrintable(m_db->lastError()));
    }
    const QList<QStringList> before = stored();
    cashbook form;
    MessageRecorder messages;
    QSqlTableModel *model = modelOf(form);
    if (column >= 0) {
        model->setData(model->index(0, column), typed);
        click(form, "pushButton_3");
    } else {
        child<QTableView>(form, "tableView")->setCurrentIndex(model->index(0, cashbook::SummaryColumn));
        click(form, "pushButton_6");
    }
    const bool refused = !refusal.isEmpty();
    QCOMPARE(messages.last().text, refused ? refusal : (column >= 0 ? QStringLiteral("保存成功！")
                                                                     : QStringLiteral("确定删除此行？")));
    if (refused) {
        QCOMPARE(stored(), before);
        QCOMPARE(model->rowCount(), 1);
    } else {
        QVERIFY(stored() != before);
    }
}

void tst_cashbook::changesNeedTheRight_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("save") << "pushButton_3";
    QTest::newRow("delete") << "pushButton_6";
}

void tst_cashbook::changesNeedTheRight()
{
    QFETCH(QString, button);
    store(today, partyA, QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("现金"));
    LoginState::rights = QStringLiteral("发票录入,资金录入 ");
    cashbook form;
    MessageRecorder messages;
    QCOMPARE(modelOf(form)->rowCount(), 1);
    add(form, partyB, QStringLiteral("3"), QString());
    child<QTableView>(form, "tableView")->setCurrentIndex(modelOf(form)->index(0, 1));
    click(form, button.toLatin1().constData());
    QCOMPARE(messages.texts(), QStringList({"权限提示/无此权限"}));
    QCOMPARE(stored().size(), 1);
}

void tst_cashbook::filtersAndTotals_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("total");
    QTest::newRow("everything of March") << "" << "---全部---" << "收入合计300.00元，支出合计50.25元，余额249.75元";
    QTest::newRow("one counterparty, quote and all") << partyB << "---全部---"
                                                     << "收入合计100.00元，支出合计0.00元，余额100.00元";
    QTest::newRow("one category") << "" << "银行" << "收入合计200.00元，支出合计50.25元，余额149.75元";
}

void tst_cashbook::filtersAndTotals()
{
    QFETCH(QString, company);
    QFETCH(QString, category);
    QFETCH(QString, total);
    store(QStringLiteral("2024-03-01"), partyB, QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("现金"));
    store(QStringLiteral("2024-03-31"), partyA, QStringLiteral("200"), QStringLiteral("0"), QStringLiteral("银行"));
    store(QStringLiteral("2024-03-15"), partyA, QStringLiteral("0"), QStringLiteral("50.25"), QStringLiteral("银行"));
    store(QStringLiteral("2024-04-01"), partyB, QStringLiteral("999"), QStringLiteral("0"), QStringLiteral("现金"));
    cashbook form;
    child<QDateEdit>(form, "dateEdit_2")->setDate(QDate(2024, 3, 1));
    child<QDateEdit>(form, "dateEdit_3")->setDate(QDate(2024, 3, 31));
    child<QComboBox>(form, "comboBox_4")->setEditText(company);
    child<QComboBox>(form, "comboBox_5")->setCurrentText(category);
    click(form, "pushButton_7");
    QCOMPARE(child<QLabel>(form, "label")->text(), total);
    // Oldest day first.
    QSqlTableModel *model = modelOf(form);
    for (int row = 1; row < model->rowCount(); ++row) {
        QVERIFY(model->index(row - 1, cashbook::DateColumn).data().toString()
                <= model->index(row, cashbook::DateColumn).data().toString());
    }
}

QTEST_MAIN(tst_cashbook)
#include "tst_cashbook.moc"
