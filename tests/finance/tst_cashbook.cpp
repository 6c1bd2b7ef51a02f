// The cash journal: entry, the all-or-nothing save, entries that receivables
// and payables are bound to, rights, filters and totals.

#include "finance/cashbook.h"
#include "financetest.h"
#include "support/statementfixture.h"

#include <QLabel>

using namespace FinanceTest;

namespace {

const QString today = QDate::currentDate().toString(Qt::ISODate);
const QString partyA = QStringLiteral("1-甲供应");
const QString partyB = QStringLiteral("2-O'Brien商行");
const QString cash = QStringLiteral("现金");
const QString bank = QStringLiteral("银行");

// Fills the entry box and presses Return in the pay field.
void add(cashbook &form, const QString &company, const QString &income, const QString &pay,
         const QString &category = cash)
{
    fill(form, {{"comboBox_3", company}, {"lineEdit", "收款"}, {"lineEdit_2", income}, {"comboBox_2", category}, {"lineEdit_3", pay}});
    QTest::keyClick(child<QLineEdit>(form, "lineEdit_3"), Qt::Key_Return);
}

// A change to the stored entries: the account whose period the first entry
// is bound to (none: unbound), the first entry's cell typed over (-1: the
// entry deleted), and the refusal (none: the change is stored).
struct Change { QString account; int column; QString typed, refusal; };

} // namespace

Q_DECLARE_METATYPE(Change)

class tst_cashbook : public QObject
{
    Q_OBJECT
    std::unique_ptr<Books> m_books;

    void store(const QString &company, const QString &income, const QString &pay, const QString &category = cash,
               const QString &day = today)
    {
        m_books->run(QStringLiteral("insert into info (date,company,summary,income,pay,category) values ('%1','%2','摘要',%3,%4,'%5')")
                         .arg(day, q(company), income, pay, category));
    }
    QList<QStringList> stored() { return m_books->db->rows(QStringLiteral("select company,summary,income,pay,category from info order by id")); }
    QString messages() const { return m_books->messages.texts().join('\n'); }

private slots:
    void init()
    {
        m_books.reset(new Books({"delete from category", "insert into category (name) values ('现金')",
                                 "insert into category (name) values ('银行')",
                                 "insert into supplier (supplier_id,supplier_name) values (1,'甲供应')",
                                 "insert into customer (customer_id,customer_name,category) values (2,'O''Brien商行','')"},
                                "出纳", "发票录入,资金录入"));
    }
    void cleanup() { m_books.reset(); }

    void adding_data()
    {
        QTest::addColumn<QStringList>("entry"); // counterparty, income, pay, category
        QTest::addColumn<QString>("shown");     // the total, or the refusal
        QTest::newRow("a receipt") << QStringList{partyB, "120.5", "", cash} << "收入合计120.50元，支出合计0.00元，余额120.50元";
        QTest::newRow("a payment") << QStringList{partyA, "", "80", bank} << "收入合计0.00元，支出合计80.00元，余额-80.00元";
        QTest::newRow("no counterparty") << QStringList{" ", "1", "", cash} << "录入提示/往来单位不能为空！";
        QTest::newRow("both amounts") << QStringList{partyA, "1", "2", cash} << "录入提示/收入和支出必须且只能填写一项！";
        QTest::newRow("no amount") << QStringList{partyA, "0", "", cash} << "录入提示/收入和支出必须且只能填写一项！";
        QTest::newRow("no category") << QStringList{partyA, "1", "", ""} << "录入提示/请选择资金分类！";
    }
    void adding()
    {
        QFETCH(QStringList, entry);
        QFETCH(QString, shown);
        cashbook form;
        add(form, entry.at(0), entry.at(1), entry.at(2), entry.at(3));
        const bool added = m_books->messages.isEmpty();
        QCOMPARE(added ? child<QLabel>(form, "label")->text() : messages(), shown);
        QCOMPARE(modelOf(form)->rowCount(), added ? 1 : 0);
        QCOMPARE(child<QComboBox>(form, "comboBox_3")->currentText().isEmpty(), added);
    }

    void saveIsAllOrNothingAndLogged()
    {
        cashbook form;
        add(form, partyB, QStringLiteral("120.5"), QString());
        add(form, partyA, QString(), QStringLiteral("80"), bank);
        // Longer than the column takes: the database refuses the second row.
        setCell(form, 1, cashbook::SummaryColumn, QString(1200, QLatin1Char('x')));
        click(form, "pushButton_3");
        QCOMPARE(m_books->messages.last().title, QStringLiteral("数据错误"));
        QVERIFY(stored().isEmpty());
        setCell(form, 1, cashbook::SummaryColumn, QStringLiteral("付款"));
        click(form, "pushButton_3");
        QCOMPARE(m_books->messages.last().text, QStringLiteral("保存成功！"));
        QCOMPARE(stored(), (QList<QStringList>{{partyB, "收款", "120.5", "0", cash}, {partyA, "付款", "0", "80", bank}}));
        QCOMPARE(m_books->db->scalar(QStringLiteral("select count(*) from operator where operator='资金日记账保存'")), QStringLiteral("1"));
    }

    void changesAreChecked_data()
    {
        QTest::addColumn<Change>("c");
        QTest::newRow("both amounts") << Change{"", cashbook::PayColumn, "5", "错误提示/第1行收入和支出必须且只能填写一项"};
        QTest::newRow("an amount that is no number") << Change{"", cashbook::IncomeColumn, "五", "错误提示/第1行金额格式不正确"};
        QTest::newRow("an unknown category") << Change{"", cashbook::CategoryColumn, "保险柜", "错误提示/第1行资金分类不存在"};
        const QString bound = QStringLiteral("错误提示/第1行已被%1（流水号1，%2，2024-01-01至2024-01-31）绑定，");
        const QString receivable = bound.arg(QStringLiteral("应收款"), partyB);
        const QString changed = QStringLiteral("不能修改往来单位和金额！");
        const QString asked = QStringLiteral("删除当前行/确定删除此行？");
        QTest::newRow("bound: amount") << Change{"receivable", cashbook::IncomeColumn, "99", receivable + changed};
        QTest::newRow("bound: counterparty") << Change{"receivable", cashbook::CompanyColumn, partyA, receivable + changed};
        QTest::newRow("bound: delete") << Change{"receivable", -1, "", asked + '\n' + receivable + QStringLiteral("不能删除！")};
        QTest::newRow("bound to a payable: delete") << Change{"payment", -1, "", asked + '\n' + bound.arg(QStringLiteral("应付款"), partyB) + QStringLiteral("不能删除！")};
        QTest::newRow("bound: the summary stays free") << Change{"receivable", cashbook::SummaryColumn, "改摘要", ""};
        QTest::newRow("an unbound entry is deleted") << Change{"", -1, "", ""};
    }
    void changesAreChecked()
    {
        QFETCH(Change, c);
        const auto &[account, column, typed, refusal] = c;
        store(partyB, QStringLiteral("100"), QStringLiteral("0"));
        // A stored entry that would not pass stops nothing while it is unchanged.
        store(partyA, QStringLiteral("1"), QStringLiteral("1"));
        store(partyA, QStringLiteral("1"), QStringLiteral("0"));
        if (!account.isEmpty()) {
            m_books->run(QStringLiteral("insert into %1 (date_begin,date_end,company,money,info_id,operator) values ('2024-01-01','2024-01-31','%2',100,1,'x')").arg(account, q(partyB)));
        }
        const QList<QStringList> before = stored();
        cashbook form;
        if (column >= 0) {
            setCell(form, 0, column, typed);
        }
        pick(form, 0);
        click(form, column >= 0 ? "pushButton_3" : "pushButton_6");
        const QString done = column >= 0 ? QStringLiteral("保存提示/保存成功！") : QStringLiteral("删除当前行/确定删除此行？");
        QCOMPARE(m_books->messages.texts().join('\n'), refusal.isEmpty() ? done : refusal);
        QCOMPARE(stored() == before, !refusal.isEmpty());
    }

    void filtersAndTotals_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("total");
        QTest::newRow("everything of March") << "" << "---全部---" << "收入合计300.00元，支出合计50.25元，余额249.75元";
        QTest::newRow("one counterparty, quote and all") << partyB << "---全部---" << "收入合计100.00元，支出合计0.00元，余额100.00元";
        QTest::newRow("one category") << "" << bank << "收入合计200.00元，支出合计50.25元，余额149.75元";
    }
    void filtersAndTotals()
    {
        QFETCH(QString, company);
        QFETCH(QString, category);
        QFETCH(QString, total);
        store(partyB, QStringLiteral("100"), QStringLiteral("0"), cash, QStringLiteral("2024-03-01"));
        store(partyA, QStringLiteral("200"), QStringLiteral("0"), bank, QStringLiteral("2024-03-31"));
        store(partyA, QStringLiteral("0"), QStringLiteral("50.25"), bank, QStringLiteral("2024-03-15"));
        store(partyB, QStringLiteral("999"), QStringLiteral("0"), cash, QStringLiteral("2024-04-01"));
        cashbook form;
        fill(form, {{"dateEdit_2", "2024-03-01"}, {"dateEdit_3", "2024-03-31"}, {"comboBox_4", company}, {"comboBox_5", category}}, "pushButton_7");
        QCOMPARE(child<QLabel>(form, "label")->text(), total);
        for (int row = 1; row < modelOf(form)->rowCount(); ++row) { // oldest day first
            QVERIFY(cell(form, row - 1, cashbook::DateColumn) <= cell(form, row, cashbook::DateColumn));
        }
    }
};

// A form round trip: on the embedded engine, and on SQL Server when one is configured.
JXC_STATEMENT_TEST_MAIN(tst_cashbook)
#include "tst_cashbook.moc"
