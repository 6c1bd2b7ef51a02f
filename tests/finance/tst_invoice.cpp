// The invoice register as a clerk and an auditor use it: entry rows, the
// closed day, both saves, delete, audit, query, print and another
// workstation's changes.

#include "finance/invoice.h"
#include "admin/rawsqlite.h"
#include "app/loginstate.h"
#include "stock/recordingprinter.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/printerchoice.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>
#include <QValidator>

#include <memory>

namespace {

const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
const QString supplierA = QStringLiteral("1-甲供应");
const QString customerB = QStringLiteral("2-O'Brien商行");

// A register that remembers the printers it painted on instead of printing.
class WatchedInvoice : public invoice
{
public:
    void printDocument(QPrinter *printer) override { printedOn << printer->printerName(); }
    QStringList printedOn;
};

} // namespace

class tst_invoice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addingRespectsTheClosedDayAndEmptyFields_data();
    void addingRespectsTheClosedDayAndEmptyFields();
    void amountValidator_data();
    void amountValidator();
    void saveChecksEveryRow_data();
    void saveChecksEveryRow();
    void bothSavesAreAllOrNothing_data();
    void bothSavesAreAllOrNothing();
    void anotherWorkstationsChangeIsNeverOverwritten_data();
    void anotherWorkstationsChangeIsNeverOverwritten();
    void deleteAsksAndAnswersDecide_data();
    void deleteAsksAndAnswersDecide();
    void deleteYesNeverSavesWhatSaveWouldRefuse();
    void auditAndUnauditTheRowsShown();
    void failedAuditIsReported();
    void guardedActionsNeedTheirRight_data();
    void guardedActionsNeedTheirRight();
    void query_data();
    void query();
    void fortyRowsPrintOnTwoPages();
    void printGoesToTheDefaultPrinter();

private:
    // Stores an invoice; checker empty means not audited.
    void store(const QString &day, const QString &number, const QString &money, const QString &company,
               const QString &kind, const QString &checker = QString());
    void add(invoice &form, const QString &kind, const QString &company, const QString &number,
             const QString &amount);
    template <class T>
    T *child(QWidget &form, const char *name)
    {
        T *found = form.findChild<T *>(QLatin1String(name));
        if (!found) {
            qFatal("no child %s", name);
        }
        return found;
    }
    QSqlTableModel *modelOf(invoice &form)
    {
        return qobject_cast<QSqlTableModel *>(child<QTableView>(form, "tableView")->model());
    }
    QString cell(invoice &form, int row, int column)
    {
        return modelOf(form)->index(row, column).data().toString();
    }
    void click(invoice &form, const char *button) { child<QPushButton>(form, button)->click(); }
    QStringList storedNumbers()
    {
        QStringList numbers;
        for (const QStringList &row : m_db->rows(QStringLiteral("select invoice_no from invoice order by id"))) {
            numbers << row.first();
        }
        return numbers;
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_invoice::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("insert into supplier (supplier_id,supplier_name) values (1,'甲供应')")));
    QVERIFY(m_db->exec(QStringLiteral("insert into customer (customer_id,customer_name) values (2,'O''Brien商行')")));
    LoginState::userName = QStringLiteral("张会计");
    LoginState::rights = QStringLiteral("发票录入,发票审核");
    PrinterChoice::setHandler({});
}

void tst_invoice::cleanup()
{
    PrinterChoice::setHandler({});
    m_db.reset();
}

void tst_invoice::store(const QString &day, const QString &number, const QString &money, const QString &company,
                        const QString &kind, const QString &checker)
{
    QVERIFY2(m_db->exec(QStringLiteral("insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) "
                                       "values ('%1','%2',%3,'%4','%5','录入员','%6')")
                            .arg(day, number, money, QString(company).replace("'", "''"), kind, checker)),
             qPrintable(m_db->lastError()));
}

void tst_invoice::add(invoice &form, const QString &kind, const QString &company, const QString &number,
                      const QString &amount)
{
    child<QComboBox>(form, "comboBox_2")->setCurrentText(kind);
    child<QComboBox>(form, "comboBox_3")->setEditText(company);
    child<QLineEdit>(form, "lineEdit_2")->setText(number);
    QLineEdit *amountEdit = child<QLineEdit>(form, "lineEdit_3");
    amountEdit->setText(amount);
    QTest::keyClick(amountEdit, Qt::Key_Return);
}

void tst_invoice::addingRespectsTheClosedDayAndEmptyFields_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("an audited input day takes no more input invoices")
        << "进项" << "F9" << "10" << "错误提示/当天内容已审核，不能添加！";
    QTest::newRow("the output invoices of that day stay open") << "销项" << "F9" << "10" << QString();
    QTest::newRow("no invoice number") << "销项" << " " << "10" << "错误提示/不能有为空内容";
    QTest::newRow("no amount") << "销项" << "F9" << "" << "错误提示/不能有为空内容";
}

void tst_invoice::addingRespectsTheClosedDayAndEmptyFields()
{
    QFETCH(QString, kind);
    QFETCH(QString, number);
    QFETCH(QString, amount);
    QFETCH(QString, refusal);
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"), QStringLiteral("审核员"));
    invoice form;
    MessageRecorder messages;
    child<QPushButton>(form, "pushButton_11")->setEnabled(true);
    child<QComboBox>(form, "comboBox_2")->setCurrentText(kind);
    child<QComboBox>(form, "comboBox_3")->setEditText(customerB);
    child<QLineEdit>(form, "lineEdit_2")->setText(number);
    child<QLineEdit>(form, "lineEdit_3")->setText(amount);
    click(form, "pushButton_11");
    QCOMPARE(messages.texts().join('\n'), refusal);
    QCOMPARE(modelOf(form)->rowCount(), refusal.isEmpty() ? 2 : 1);
    if (refusal.isEmpty()) {
        QCOMPARE(cell(form, 1, invoice::CompanyColumn), customerB);
        QCOMPARE(cell(form, 1, invoice::InputColumn), LoginState::userName);
        QCOMPARE(child<QLabel>(form, "label")->text(), QStringLiteral("价税金额合计15.00元"));
        QVERIFY(child<QLineEdit>(form, "lineEdit_2")->text().isEmpty());
    }
}

void tst_invoice::amountValidator_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("three decimals") << "12.345" << true;
    QTest::newRow("five decimals") << "12.34567" << false;
    QTest::newRow("a leading zero") << "0123" << false;
    QTest::newRow("negative") << "-8.5" << true;
    QTest::newRow("empty") << "" << true;
}

void tst_invoice::amountValidator()
{
    QFETCH(QString, amount);
    QFETCH(bool, accepted);
    invoice form;
    QString text = amount;
    int position = 0;
    QCOMPARE(child<QLineEdit>(form, "lineEdit_3")->validator()->validate(text, position) == QValidator::Acceptable,
             accepted);
}

void tst_invoice::saveChecksEveryRow_data()
{
    QTest::addColumn<QString>("storedChecker");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("valid rows are saved") << "" << -1 << "" << "保存提示/保存成功！";
    QTest::newRow("an audited row blocks the save") << "审核员" << -1 << "" << "错误提示/第1行已审核，不能修改";
    QTest::newRow("an emptied number") << "" << int(invoice::NumberColumn) << " " << "错误提示/第2行不能有为空内容";
    QTest::newRow("an impossible day") << "" << int(invoice::DateColumn) << "2024-02-30"
                                       << "错误提示/第2行日期格式不正确";
    QTest::newRow("an amount that is no number") << "" << int(invoice::MoneyColumn) << "12元"
                                                  << "错误提示/第2行金额格式不正确";
}

void tst_invoice::saveChecksEveryRow()
{
    QFETCH(QString, storedChecker);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("销项"), storedChecker);
    invoice form;
    MessageRecorder messages;
    add(form, QStringLiteral("进项"), supplierA, QStringLiteral("F2"), QStringLiteral("7.5"));
    if (column >= 0) {
        modelOf(form)->setData(modelOf(form)->index(1, column), typed);
    }
    click(form, "pushButton_3");
    QCOMPARE(messages.texts().join('\n'), shown);
    const bool saved = shown.startsWith(QStringLiteral("保存提示"));
    QCOMPARE(storedNumbers(), saved ? QStringList({"F1", "F2"}) : QStringList({"F1"}));
    // A refused save leaves the row for correction.
    QCOMPARE(modelOf(form)->rowCount(), 2);
}

void tst_invoice::bothSavesAreAllOrNothing_data()
{
    QTest::addColumn<bool>("contextMenu");
    QTest::newRow("button") << false;
    QTest::newRow("context menu") << true;
}

void tst_invoice::bothSavesAreAllOrNothing()
{
    QFETCH(bool, contextMenu);
    invoice form;
    MessageRecorder messages;
    add(form, QStringLiteral("进项"), supplierA, QStringLiteral("F1"), QStringLiteral("1"));
    // Too long for the column: the database refuses the second insert.
    add(form, QStringLiteral("进项"), supplierA, QString(60, QLatin1Char('9')), QStringLiteral("2"));
    if (contextMenu) {
        QVERIFY(!form.actions().isEmpty());
        QCOMPARE(form.actions().first()->text(), QStringLiteral("保存"));
        form.actions().first()->trigger();
    } else {
        click(form, "pushButton_3");
    }
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("数据错误"));
    QVERIFY(storedNumbers().isEmpty());
    QCOMPARE(modelOf(form)->rowCount(), 2);

    modelOf(form)->setData(modelOf(form)->index(1, invoice::NumberColumn), QStringLiteral("F2"));
    click(form, "pushButton_3");
    QCOMPARE(messages.last().text, QStringLiteral("保存成功！"));
    QCOMPARE(storedNumbers(), QStringList({"F1", "F2"}));
}

void tst_invoice::anotherWorkstationsChangeIsNeverOverwritten_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("deleting");
    QTest::newRow("edit after another's change") << "update invoice set money=99 where invoice_no='F2'" << false;
    QTest::newRow("edit after another's delete") << "delete from invoice where invoice_no='F2'" << false;
    QTest::newRow("delete after another's change") << "update invoice set invoice_no='F2X' where invoice_no='F2'"
                                                   << true;
}

void tst_invoice::anotherWorkstationsChangeIsNeverOverwritten()
{
    QFETCH(QString, meanwhile);
    QFETCH(bool, deleting);
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    store(today, QStringLiteral("F2"), QStringLiteral("6"), supplierA, QStringLiteral("进项"));
    invoice form;
    MessageRecorder messages;
    QSqlTableModel *model = modelOf(form);
    model->setData(model->index(0, invoice::MoneyColumn), QStringLiteral("50"));
    model->setData(model->index(1, invoice::MoneyColumn), QStringLiteral("60"));
    QVERIFY(m_db->exec(meanwhile));
    const QList<QStringList> theirs = m_db->rows(QStringLiteral("select * from invoice order by id"));
    if (deleting) {
        model->revertAll();
        child<QTableView>(form, "tableView")->setCurrentIndex(model->index(1, 0));
        click(form, "pushButton_6");
    } else {
        click(form, "pushButton_3");
    }
    QCOMPARE(messages.last().text, QStringLiteral("第2行已被其他用户修改，请重新查询后再保存！"));
    QCOMPARE(m_db->rows(QStringLiteral("select * from invoice order by id")), theirs);
    QCOMPARE(model->rowCount(), 2);
}

void tst_invoice::deleteAsksAndAnswersDecide_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("no brings the row back and drops the new one") << int(QMessageBox::No) << QStringList({"F1", "F2"});
    QTest::newRow("yes deletes it and saves the new one") << int(QMessageBox::Yes) << QStringList({"F2", "F3"});
}

void tst_invoice::deleteAsksAndAnswersDecide()
{
    QFETCH(int, answer);
    QFETCH(QStringList, stored);
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    store(today, QStringLiteral("F2"), QStringLiteral("6"), supplierA, QStringLiteral("进项"));
    invoice form;
    MessageRecorder messages;
    add(form, QStringLiteral("进项"), supplierA, QStringLiteral("F3"), QStringLiteral("7"));
    messages.answerNext(QMessageBox::StandardButton(answer));
    child<QTableView>(form, "tableView")->setCurrentIndex(modelOf(form)->index(0, 1));
    click(form, "pushButton_6");
    QCOMPARE(messages.texts(), QStringList({"删除当前行/确定删除此行？"}));
    QCOMPARE(storedNumbers(), stored);
    QCOMPARE(modelOf(form)->rowCount(), 2);
}

void tst_invoice::deleteYesNeverSavesWhatSaveWouldRefuse()
{
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    store(today, QStringLiteral("F2"), QStringLiteral("6"), supplierA, QStringLiteral("销项"), QStringLiteral("审核员"));
    invoice form;
    MessageRecorder messages;
    QTableView *view = child<QTableView>(form, "tableView");
    view->setCurrentIndex(modelOf(form)->index(1, 1));
    click(form, "pushButton_6");
    QCOMPARE(messages.texts(), QStringList({"权限提示/已经审核，不能删除！"}));

    // An audited row shown does not stop the delete of another; an unsaved
    // edit of it does.
    messages.clear();
    modelOf(form)->setData(modelOf(form)->index(1, invoice::MoneyColumn), QStringLiteral("1"));
    view->setCurrentIndex(modelOf(form)->index(0, 1));
    click(form, "pushButton_6");
    QCOMPARE(messages.texts(), QStringList({"错误提示/第2行已审核，不能修改"}));
    QCOMPARE(storedNumbers(), QStringList({"F1", "F2"}));
    QCOMPARE(m_db->scalar(QStringLiteral("select money from invoice where invoice_no='F2'")).toDouble(), 6.0);

    messages.clear();
    click(form, "pushButton_4");
    view->setCurrentIndex(modelOf(form)->index(0, 1));
    click(form, "pushButton_6");
    QCOMPARE(messages.texts(), QStringList({"删除当前行/确定删除此行？"}));
    QCOMPARE(storedNumbers(), QStringList({"F2"}));
}

void tst_invoice::auditAndUnauditTheRowsShown()
{
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    store(today, QStringLiteral("F2"), QStringLiteral("6"), customerB, QStringLiteral("销项"), QStringLiteral("李"));
    store(QStringLiteral("2020-01-01"), QStringLiteral("F3"), QStringLiteral("7"), supplierA, QStringLiteral("进项"));
    invoice form;
    MessageRecorder messages;
    add(form, QStringLiteral("进项"), supplierA, QStringLiteral("F4"), QStringLiteral("1"));
    const QString checkers = QStringLiteral("select invoice_no,checker from invoice order by id");
    click(form, "pushButton_5");
    QVERIFY(messages.isEmpty());
    // The unsaved row is dropped; the day's rows get the auditor, the one
    // audited before keeps its auditor.
    QCOMPARE(m_db->rows(checkers), (QList<QStringList>{{"F1", "张会计"}, {"F2", "李"}, {"F3", ""}}));
    click(form, "pushButton_8");
    QCOMPARE(m_db->rows(checkers), (QList<QStringList>{{"F1", ""}, {"F2", ""}, {"F3", ""}}));
    QCOMPARE(modelOf(form)->rowCount(), 2);
}

void tst_invoice::failedAuditIsReported()
{
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    invoice form;
    MessageRecorder messages;
    QCOMPARE(execRawSqlite(QStringLiteral("create trigger refuse before update on invoice "
                                          "begin select raise(abort, 'invoice locked'); end")),
             QString());
    click(form, "pushButton_5");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("数据错误"));
    QVERIFY(messages.last().text.contains(QStringLiteral("invoice locked")));
    QCOMPARE(cell(form, 0, invoice::CheckerColumn), QString());
}

void tst_invoice::guardedActionsNeedTheirRight_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("button");
    QTest::newRow("save") << "发票审核" << "pushButton_3";
    QTest::newRow("delete") << "发票审核" << "pushButton_6";
    QTest::newRow("audit") << "发票录入" << "pushButton_5";
    QTest::newRow("un-audit") << "发票录入" << "pushButton_8";
}

void tst_invoice::guardedActionsNeedTheirRight()
{
    QFETCH(QString, rights);
    QFETCH(QString, button);
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    LoginState::rights = rights;
    invoice form;
    MessageRecorder messages;
    child<QTableView>(form, "tableView")->setCurrentIndex(modelOf(form)->index(0, 1));
    modelOf(form)->setData(modelOf(form)->index(0, invoice::NumberColumn), QStringLiteral("F9"));
    click(form, button.toLatin1().constData());
    QCOMPARE(messages.texts(), QStringList({"权限提示/无此权限"}));
    QCOMPARE(m_db->rows(QStringLiteral("select invoice_no,checker from invoice")), (QList<QStringList>{{"F1", ""}}));
}

void tst_invoice::query_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("everything of the range") << "---全部---" << "金额" << "" << QStringList({"A", "B", "C"}) << "";
    QTest::newRow("one kind") << "销项" << "金额" << "" << QStringList({"B", "C"}) << "";
    QTest::newRow("the integer part of an amount") << "---全部---" << "金额" << "100.5" << QStringList({"A", "C"})
                                                   << "";
    QTest::newRow("a company with a quote") << "---全部---" << "客户" << customerB << QStringList({"B", "C"}) << "";
    QTest::newRow("an amount that is no number") << "---全部---" << "金额" << "一百" << QStringList()
                                                 << "输入提示/查询金额必须是数字！";
}

void tst_invoice::query()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(QString, content);
    QFETCH(QStringList, found);
    QFETCH(QString, refusal);
    store(QStringLiteral("2024-03-02"), QStringLiteral("A"), QStringLiteral("100.9"), supplierA, QStringLiteral("进项"));
    store(QStringLiteral("2024-03-01"), QStringLiteral("B"), QStringLiteral("200"), customerB, QStringLiteral("销项"));
    store(QStringLiteral("2024-03-03"), QStringLiteral("C"), QStringLiteral("100.1"), customerB, QStringLiteral("销项"));
    store(QStringLiteral("2024-04-01"), QStringLiteral("D"), QStringLiteral("100"), supplierA, QStringLiteral("进项"));
    invoice form;
    MessageRecorder messages;
    child<QDateEdit>(form, "dateEdit_2")->setDate(QDate(2024, 3, 1));
    child<QDateEdit>(form, "dateEdit_3")->setDate(QDate(2024, 3, 31));
    child<QComboBox>(form, "comboBox_4")->setCurrentText(kind);
    child<QComboBox>(form, "comboBox")->setCurrentText(field);
    child<QComboBox>(form, "comboBox_5")->setEditText(content);
    click(form, "pushButton_7");
    QCOMPARE(messages.texts().join('\n'), refusal);
    QCOMPARE(child<QPushButton>(form, "pushButton_7")->text(), QStringLiteral("查询"));
    if (!refusal.isEmpty()) {
        return;
    }
    QStringList numbers;
    double sum = 0;
    for (int row = 0; row < modelOf(form)->rowCount(); ++row) {
        numbers << cell(form, row, invoice::NumberColumn);
        sum += cell(form, row, invoice::MoneyColumn).toDouble();
    }
    numbers.sort();
    QCOMPARE(numbers, found);
    QCOMPARE(child<QLabel>(form, "label")->text(), QStringLiteral("价税合计金额%1元").arg(sum, 0, 'f', 2));
}

void tst_invoice::fortyRowsPrintOnTwoPages()
{
    for (int i = 1; i <= 40; ++i) {
        store(today, QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i) + QStringLiteral(".5"),
              supplierA, QStringLiteral("进项"));
    }
    invoice form;
    RecordingPrinter printer;
    form.printDocument(&printer);
    const QList<PaintedPage> pages = printer.pages();
    QCOMPARE(pages.size(), 2);
    const auto cellOf = [](int column, int line) { return QRectF(30 + 90 * column, 65 + 25 * line, 90, 25); };
    for (const PaintedPage &page : pages) {
        QVERIFY(page.has(QStringLiteral("发票明细报表")));
        QCOMPARE(page.textCentredIn(cellOf(0, 0)), QStringLiteral("序号"));
        QCOMPARE(page.textCentredIn(cellOf(4, 0)), QStringLiteral("购/销单位"));
        QCOMPARE(page.textCentredIn(cellOf(0, 39)), QStringLiteral("39"));
    }
    QCOMPARE(pages.at(0).textCentredIn(cellOf(2, 39)), QStringLiteral("N39"));
    QCOMPARE(pages.at(1).textCentredIn(cellOf(0, 1)), QStringLiteral("1"));
    QCOMPARE(pages.at(1).textCentredIn(cellOf(2, 1)), QStringLiteral("N40"));
    QCOMPARE(pages.at(1).textCentredIn(cellOf(3, 1)), QStringLiteral("40.50"));
    QCOMPARE(pages.at(1).textCentredIn(cellOf(2, 2)), QString());
}

void tst_invoice::printGoesToTheDefaultPrinter()
{
    store(today, QStringLiteral("F1"), QStringLiteral("5"), supplierA, QStringLiteral("进项"));
    WatchedInvoice form;
    MessageRecorder messages;
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{}; });
    click(form, "pushButton_2");
    QCOMPARE(messages.texts(), QStringList({"操作提示/本机没有安装打印机，请在“预览”中打印为PDF文件！"}));
    PrinterChoice::setHandler([]() { return PrinterChoice::Printers{{"财务打印机"}, "财务打印机"}; });
    click(form, "pushButton_2");
    QCOMPARE(form.printedOn.size(), 1);
}

QTEST_MAIN(tst_invoice)
#include "tst_invoice.moc"
