// The invoice register as a clerk and an auditor use it: entry rows, the
// closed day, both saves, delete, audit, query and another workstation's
// changes (its printed pages are tested with the other reports').

#include "finance/invoice.h"
#include "financetest.h"
#include "master/formtest.h"

#include <QAction>
#include <QLabel>

using namespace FinanceTest;

namespace {

const QString today = QDate::currentDate().toString(Qt::ISODate);
const QString supplierA = QStringLiteral("1-甲供应");
const QString customerB = QStringLiteral("2-O'Brien商行");
const QString input = QStringLiteral("进项");
const QString output = QStringLiteral("销项");

// Fills the entry box; Return in the amount adds the row, as "确定" does.
void add(invoice &form, const QString &number, const QString &amount, const QString &kind = input,
         const QString &company = supplierA, const char *button = nullptr)
{
    fill(form, {{"comboBox_2", kind}, {"comboBox_3", company}, {"lineEdit_2", number}, {"lineEdit_3", amount}}, button);
    if (!button) {
        QTest::keyClick(child<QLineEdit>(form, "lineEdit_3"), Qt::Key_Return);
    }
}

// A save: the checker of a stored first row (none: the row is new), the cell
// of the second row typed over (-1: none), and what the save shows.
struct Saving { QString storedChecker; int column; QString typed; QString shown; };

// A delete of the first row: the answer to the question, the second row (0
// open, 1 audited, 2 audited and edited unsaved), what is shown and what is
// stored after it.
struct Deleting { int answer, audited; QString shown; QStringList stored; };

} // namespace

Q_DECLARE_METATYPE(Saving)
Q_DECLARE_METATYPE(Deleting)

class tst_invoice : public QObject
{
    Q_OBJECT
    std::unique_ptr<Books> m_books;

    void store(const QString &number, const QString &money, const QString &kind = input,
               const QString &checker = QString(), const QString &day = today, const QString &company = supplierA)
    {
        m_books->run(QStringLiteral("insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('%1','%2',%3,'%4','%5','录入员','%6')")
                         .arg(day, number, money, q(company), kind, checker));
    }
    QStringList numbers()
    {
        QStringList found;
        for (const QStringList &row : m_books->db->rows(QStringLiteral("select invoice_no from invoice order by id"))) {
            found << row.first();
        }
        return found;
    }
    QString messages() const { return m_books->messages.texts().join('\n'); }

private slots:
    void init()
    {
        m_books.reset(new Books({"insert into supplier (supplier_id,supplier_name) values (1,'甲供应')",
                                 "insert into customer (customer_id,customer_name) values (2,'O''Brien商行')"},
                                "张会计", "发票录入,发票审核"));
    }
    void cleanup() { m_books.reset(); }

    void adding_data()
    {
        QTest::addColumn<QStringList>("entry"); // kind, number, amount
        QTest::addColumn<QString>("refusal");
        QTest::newRow("an audited input day takes no more input invoices") << QStringList{input, "F9", "10"} << "错误提示/当天内容已审核，不能添加！";
        QTest::newRow("the output invoices of that day stay open") << QStringList{output, "F9", "10"} << QString();
        QTest::newRow("no invoice number") << QStringList{output, " ", "10"} << "错误提示/不能有为空内容";
        QTest::newRow("no amount") << QStringList{output, "F9", ""} << "错误提示/不能有为空内容";
    }
    void adding()
    {
        QFETCH(QStringList, entry);
        QFETCH(QString, refusal);
        store(QStringLiteral("F1"), QStringLiteral("5"), input, QStringLiteral("审核员"));
        invoice form;
        add(form, entry.at(1), entry.at(2), entry.at(0), customerB, "pushButton_11");
        QCOMPARE(messages(), refusal);
        QCOMPARE(modelOf(form)->rowCount(), refusal.isEmpty() ? 2 : 1);
        if (refusal.isEmpty()) {
            QCOMPARE(cell(form, 1, invoice::CompanyColumn) + cell(form, 1, invoice::InputColumn), customerB + LoginState::userName);
            QCOMPARE(child<QLabel>(form, "label")->text(), QStringLiteral("价税金额合计15.00元"));
            QVERIFY(child<QLineEdit>(form, "lineEdit_2")->text().isEmpty());
        }
    }

    void saveChecksEveryRowAndIsAllOrNothing_data()
    {
        QTest::addColumn<Saving>("s");
        QTest::newRow("valid rows are saved") << Saving{"", -1, "", "保存提示/保存成功！"};
        QTest::newRow("an audited row blocks the save") << Saving{"审核员", -1, "", "错误提示/第1行已审核，不能修改"};
        QTest::newRow("an emptied number") << Saving{"", invoice::NumberColumn, " ", "错误提示/第2行不能有为空内容"};
        QTest::newRow("an impossible day") << Saving{"", invoice::DateColumn, "2024-02-30", "错误提示/第2行日期格式不正确"};
        // Too long for the column: the database refuses the insert after the first.
        QTest::newRow("a write refused") << Saving{"", invoice::NumberColumn, QString(60, '9'), "数据错误/"};
    }
    void saveChecksEveryRowAndIsAllOrNothing()
    {
        QFETCH(Saving, s);
        const auto &[storedChecker, column, typed, shown] = s;
        invoice form;
        if (!storedChecker.isEmpty()) {
            store(QStringLiteral("F1"), QStringLiteral("5"), output, storedChecker);
            click(form, "pushButton_7");
        } else {
            add(form, QStringLiteral("F1"), QStringLiteral("5"));
        }
        add(form, QStringLiteral("F2"), QStringLiteral("7.5"));
        if (column >= 0) {
            setCell(form, 1, column, typed);
        }
        click(form, "pushButton_3");
        QCOMPARE(messages().left(shown.size()), shown);
        const bool saved = shown.startsWith(QStringLiteral("保存提示"));
        QCOMPARE(numbers(), saved ? QStringList({"F1", "F2"}) : storedChecker.isEmpty() ? QStringList() : QStringList({"F1"}));
        QCOMPARE(modelOf(form)->rowCount(), 2); // a refused save leaves the rows for correction
    }

    void anotherWorkstationsChangeIsNeverOverwritten_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("deleting");
        QTest::newRow("edit after another's change") << "update invoice set money=99 where invoice_no='F2'" << false;
        QTest::newRow("edit after another's delete") << "delete from invoice where invoice_no='F2'" << false;
        QTest::newRow("delete after another's change") << "update invoice set invoice_no='F2X' where invoice_no='F2'" << true;
    }
    void anotherWorkstationsChangeIsNeverOverwritten()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, deleting);
        store(QStringLiteral("F1"), QStringLiteral("5"));
        store(QStringLiteral("F2"), QStringLiteral("6"));
        invoice form;
        if (!deleting) {
            setCell(form, 0, invoice::MoneyColumn, QStringLiteral("50"));
            setCell(form, 1, invoice::MoneyColumn, QStringLiteral("60"));
        }
        QVERIFY(m_books->db->exec(meanwhile));
        const QList<QStringList> theirs = m_books->db->rows(QStringLiteral("select * from invoice order by id"));
        pick(form, 1);
        click(form, deleting ? "pushButton_6" : "pushButton_3");
        QCOMPARE(m_books->messages.last().text, QStringLiteral("第2行已被其他用户修改，请重新查询后再保存！"));
        QCOMPARE(m_books->db->rows(QStringLiteral("select * from invoice order by id")), theirs);
        QCOMPARE(modelOf(form)->rowCount(), 2);
    }

    void deleteAsksAndNeverSavesWhatSaveRefuses_data()
    {
        QTest::addColumn<Deleting>("d");
        const QString asked = QStringLiteral("删除当前行/确定删除此行？");
        const QString kept = QStringLiteral("权限提示/已经审核，不能删除！\n");
        QTest::newRow("no brings the row back and drops the new one") << Deleting{QMessageBox::No, 0, asked, {"F1", "F2"}};
        QTest::newRow("yes deletes it and saves the new one") << Deleting{QMessageBox::Yes, 0, asked, {"F2", "F3"}};
        QTest::newRow("an audited row shown stops no delete of another") << Deleting{QMessageBox::Yes, 1, kept + asked, {"F2"}};
        QTest::newRow("an unsaved edit of it does") << Deleting{QMessageBox::Yes, 2, kept + "错误提示/第2行已审核，不能修改", {"F1", "F2"}};
    }
    void deleteAsksAndNeverSavesWhatSaveRefuses()
    {
        QFETCH(Deleting, d);
        const auto &[answer, audited, shown, stored] = d;
        store(QStringLiteral("F1"), QStringLiteral("5"));
        store(QStringLiteral("F2"), QStringLiteral("6"), output, audited ? QStringLiteral("审核员") : QString());
        invoice form;
        if (audited) {
            pick(form, 1);
            click(form, "pushButton_6");
        } else {
            add(form, QStringLiteral("F3"), QStringLiteral("7"));
        }
        if (audited == 2) {
            setCell(form, 1, invoice::MoneyColumn, QStringLiteral("1"));
        }
        m_books->messages.answerNext(QMessageBox::StandardButton(answer));
        pick(form, 0);
        click(form, "pushButton_6");
        QCOMPARE(messages(), shown);
        QCOMPARE(numbers(), stored);
        QCOMPARE(m_books->db->scalar(QStringLiteral("select money from invoice where invoice_no='F2'")), QStringLiteral("6"));
        QCOMPARE(modelOf(form)->rowCount(), stored.size());
    }

    void auditAndUnauditTheRowsShown()
    {
        store(QStringLiteral("F1"), QStringLiteral("5"));
        store(QStringLiteral("F2"), QStringLiteral("6"), output, QStringLiteral("李"), today, customerB);
        store(QStringLiteral("F3"), QStringLiteral("7"), input, QString(), QStringLiteral("2020-01-01"));
        invoice form;
        add(form, QStringLiteral("F4"), QStringLiteral("1"));
        const QString checkers = QStringLiteral("select invoice_no,checker from invoice order by id");
        click(form, "pushButton_5");
        // The unsaved row is dropped; the day's rows get the auditor, the one
        // audited before keeps its auditor.
        QCOMPARE(m_books->db->rows(checkers), (QList<QStringList>{{"F1", "张会计"}, {"F2", "李"}, {"F3", ""}}));
        click(form, "pushButton_8");
        QCOMPARE(m_books->db->rows(checkers), (QList<QStringList>{{"F1", ""}, {"F2", ""}, {"F3", ""}}));
        QVERIFY(m_books->messages.isEmpty());
        // A failed write is told, and the screen keeps what is stored.
        QVERIFY(FormTest::runOnFile(m_books->db->db(), "create trigger refuse before update on invoice begin select raise(abort, 'invoice locked'); end"));
        click(form, "pushButton_5");
        QCOMPARE(m_books->messages.last().title, QStringLiteral("数据错误"));
        QVERIFY(m_books->messages.last().text.contains(QStringLiteral("invoice locked")));
        QCOMPARE(cell(form, 0, invoice::CheckerColumn), QString());
    }

    void query_data()
    {
        QTest::addColumn<QStringList>("asked"); // kind, field, content
        QTest::addColumn<QString>("found");     // or the refusal
        const QString all = QStringLiteral("---全部---");
        QTest::newRow("everything of the range") << QStringList{all, "金额", ""} << "A B C";
        QTest::newRow("one kind") << QStringList{output, "金额", ""} << "B C";
        QTest::newRow("the integer part of an amount") << QStringList{all, "金额", "100.5"} << "A C";
        QTest::newRow("a company with a quote") << QStringList{all, "客户", customerB} << "B C";
        QTest::newRow("an amount that is no number") << QStringList{all, "金额", "一百"} << "输入提示/查询金额必须是数字！";
    }
    void query()
    {
        QFETCH(QStringList, asked);
        QFETCH(QString, found);
        store(QStringLiteral("A"), QStringLiteral("100.9"), input, QString(), QStringLiteral("2024-03-02"));
        store(QStringLiteral("B"), QStringLiteral("200"), output, QString(), QStringLiteral("2024-03-01"), customerB);
        store(QStringLiteral("C"), QStringLiteral("100.1"), output, QString(), QStringLiteral("2024-03-03"), customerB);
        store(QStringLiteral("D"), QStringLiteral("100"), input, QString(), QStringLiteral("2024-04-01"));
        invoice form;
        fill(form, {{"dateEdit_2", "2024-03-01"}, {"dateEdit_3", "2024-03-31"}, {"comboBox_4", asked.at(0)},
                    {"comboBox", asked.at(1)}, {"comboBox_5", asked.at(2)}}, "pushButton_7");
        if (!m_books->messages.isEmpty()) {
            QCOMPARE(messages(), found);
            return;
        }
        QStringList shown;
        double sum = 0;
        for (int row = 0; row < modelOf(form)->rowCount(); ++row) {
            shown << cell(form, row, invoice::NumberColumn);
            sum += cell(form, row, invoice::MoneyColumn).toDouble();
        }
        shown.sort();
        QCOMPARE(shown.join(' '), found);
        QCOMPARE(child<QLabel>(form, "label")->text(), QStringLiteral("价税合计金额%1元").arg(sum, 0, 'f', 2));
    }
};

QTEST_MAIN(tst_invoice)
#include "tst_invoice.moc"
