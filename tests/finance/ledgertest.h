#pragma once

// Shared by the receivable and payable tests: a company with a few partners,
// invoices and cash entries, a clerk holding every accounts right, and the
// ways a user reaches the ledger table.

#include "app/loginstate.h"
#include "finance/ledgerform.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/accountkind.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <memory>

#define LEDGER_CHILD(type, var, form, name)                                          \
    type *var = (form)->findChild<type *>(QStringLiteral(name));                     \
    QVERIFY2(var != nullptr, "no child named " name)

namespace LedgerTest {

inline QStringList seed()
{
    return {
        "insert into customer (customer_id,customer_name,category) values (21,'东方超市','零售客户')",
        "insert into customer (customer_id,customer_name,category) values (22,'西城商店','零售客户')",
        "insert into customer (customer_id,customer_name,category) values (23,'南山配送站','配送客户')",
        "insert into supplier (supplier_id,supplier_name,category) values (12,'晨光文具','')",
        "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-25','FP001',1000,'21-东方超市','销项','clerk','')",
        "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-26','FP002',500,'21-东方超市','销项','clerk','')",
        "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-26','JX001',300,'12-晨光文具','进项','clerk','')",
        "insert into info (date,company,summary,income,pay,category) values ('2024-02-29','21-东方超市','收货款',1000,0,'销售回款')",
        "insert into info (date,company,summary,income,pay,category) values ('2024-03-01','21-东方超市','收尾款',500,0,'销售回款')",
        "insert into info (date,company,summary,income,pay,category) values ('2024-02-20','12-晨光文具','付货款',0,300,'采购付款')",
        // A period of 东方超市 the tests overlap, bind and audit.
        "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-10','2024-01-20','21-东方超市',1000,'货款','clerk')",
    };
}

struct Fixture
{
    Fixture() : db(new TestDb)
    {
        for (const QString &sql : seed()) {
            if (!db->exec(sql)) {
                qWarning("%s: %s", qPrintable(sql), qPrintable(db->lastError()));
            }
        }
        LoginState::userName = QStringLiteral("clerk");
        LoginState::rights = QStringLiteral("应收录入,应收审核,应收导入,应付录入,应付审核");
    }
    ~Fixture()
    {
        LoginState::rights.clear();
        CustomerParty.clear();
        SupplierParty.clear();
    }
    std::unique_ptr<TestDb> db;
    MessageRecorder messages;
};

template <class Form>
std::unique_ptr<Form> open(const QString &kind)
{
    AccountKind = kind;
    std::unique_ptr<Form> form(new Form);
    form->show();
    return form;
}

inline QTableView *view(QWidget *form)
{
    return form->findChild<QTableView *>(QStringLiteral("tableView"));
}

inline QString cell(QWidget *form, int row, int column)
{
    QAbstractItemModel *model = view(form)->model();
    return model->data(model->index(row, column), Qt::EditRole).toString();
}

inline void click(QWidget *form, const char *button)
{
    form->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

// Shows the periods ending between first and last.
inline void query(QWidget *form, const QString &first, const QString &last)
{
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(QDate::fromString(first, Qt::ISODate));
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit_3"))->setDate(QDate::fromString(last, Qt::ISODate));
    click(form, "pushButton_7");
}

// Fills the entry box and presses "确定".
inline void generate(QWidget *form, const QString &begin, const QString &end, const QString &company,
                     const QString &amount)
{
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(begin, Qt::ISODate));
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit_4"))->setDate(QDate::fromString(end, Qt::ISODate));
    form->findChild<QComboBox *>(QStringLiteral("comboBox_2"))->setCurrentText(company);
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"))->setText(amount);
    click(form, "pushButton_11");
}

inline QPoint centreOf(QWidget *form, int row, int column)
{
    QTableView *table = view(form);
    table->scrollTo(table->model()->index(row, column));
    return table->visualRect(table->model()->index(row, column)).center();
}

inline void press(QWidget *form, int row, int column)
{
    QTest::mouseClick(view(form)->viewport(), Qt::LeftButton, {}, centreOf(form, row, column));
}

// Opens the cell's editor the way a user does: a double-click, or the edit
// key on the current cell.
inline QWidget *openEditor(QWidget *form, int row, int column, bool byKeyboard)
{
    QTableView *table = view(form);
    const QModelIndex index = table->model()->index(row, column);
    if (byKeyboard) {
        table->setFocus();
        table->setCurrentIndex(index);
        QTest::keyClick(table, Qt::Key_F2);
    } else {
        const QPoint at = centreOf(form, row, column);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    }
    return table->indexWidget(index);
}

// Picks the item starting with prefix in the cell's pick list and leaves the
// cell with Return.
inline bool choose(QWidget *form, int row, int column, const QString &prefix, bool byKeyboard)
{
    auto *box = qobject_cast<QComboBox *>(openEditor(form, row, column, byKeyboard));
    if (!box) {
        return false;
    }
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).startsWith(prefix)) {
            box->setCurrentIndex(i);
            QTest::keyClick(box, Qt::Key_Return);
            // The delegate writes back once the event loop runs.
            QCoreApplication::processEvents();
            return true;
        }
    }
    return false;
}

// Types text into a plain cell.
inline void typeInto(QWidget *form, int row, int column, const QString &text)
{
    QWidget *editor = openEditor(form, row, column, true);
    QVERIFY2(editor, "no editor");
    // Numbers get a spin box, texts a line editor: both take typed keys.
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

} // namespace LedgerTest
