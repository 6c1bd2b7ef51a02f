#pragma once

// Shorthands of the finance form tests: a form's children by object name,
// its table, and the ways a user reaches the table's cells.

#include "app/loginstate.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/accountkind.h"
#include "widgets/filedialogs.h"
#include "widgets/printerchoice.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace FinanceTest {

template <class T>
T *child(QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QLatin1String(name));
    if (!found) {
        qFatal("no child named %s", name);
    }
    return found;
}

inline QTableView *view(QWidget &form)
{
    return child<QTableView>(form, "tableView");
}

inline QSqlTableModel *modelOf(QWidget &form)
{
    return qobject_cast<QSqlTableModel *>(view(form)->model());
}

inline QString cell(QWidget &form, int row, int column)
{
    return modelOf(form)->index(row, column).data(Qt::EditRole).toString();
}

inline void setCell(QWidget &form, int row, int column, const QVariant &value)
{
    modelOf(form)->setData(modelOf(form)->index(row, column), value);
}

inline void click(QWidget &form, const char *button)
{
    child<QPushButton>(form, button)->click();
}

// Types each value into the named child as a user does: a line edit, a date
// box (ISO day), a combo box (its text if editable, else its item); then
// presses button, if one is given.
inline void fill(QWidget &form, std::initializer_list<std::pair<const char *, QString>> values,
                 const char *button = nullptr)
{
    for (const auto &[name, value] : values) {
        QWidget *widget = child<QWidget>(form, name);
        if (auto *line = qobject_cast<QLineEdit *>(widget)) {
            line->setText(value);
        } else if (auto *date = qobject_cast<QDateEdit *>(widget)) {
            date->setDate(QDate::fromString(value, Qt::ISODate));
        } else if (auto *box = qobject_cast<QComboBox *>(widget)) {
            box->isEditable() ? box->setEditText(value) : box->setCurrentIndex(box->findText(value));
        }
    }
    if (button) {
        click(form, button);
    }
}

// Makes row the table's current row, as a click on it does.
inline void pick(QWidget &form, int row, int column = 1)
{
    view(form)->setCurrentIndex(modelOf(form)->index(row, column));
}

// A text value for the statements of the test data.
inline QString q(const QString &text)
{
    return QString(text).replace(QLatin1Char('\''), QStringLiteral("''"));
}

// Opens the cell's editor the way a user does (a double-click, or the edit
// key on the current cell), picks the item starting with prefix from its
// pick list and leaves the cell with Return; false when there is no such item.
inline bool choose(QWidget &form, int row, int column, const QString &prefix, bool byKeyboard)
{
    QTableView *table = view(form);
    const QModelIndex index = table->model()->index(row, column);
    table->scrollTo(index);
    if (byKeyboard) {
        table->setFocus();
        table->setCurrentIndex(index);
        QTest::keyClick(table, Qt::Key_F2);
    } else {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    }
    auto *box = qobject_cast<QComboBox *>(table->indexWidget(index));
    if (!box || box->findText(prefix, Qt::MatchStartsWith) < 0) {
        return false;
    }
    box->setCurrentIndex(box->findText(prefix, Qt::MatchStartsWith));
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate writes back once the event loop runs
    return true;
}

// A fresh database holding seed, a user with rights, and the message seam
// recorded; the seams the tests answered are given back.
struct Books
{
    Books(std::initializer_list<const char *> seed, const char *user, const char *rights) : db(new TestDb)
    {
        for (const char *sql : seed) {
            run(QString::fromUtf8(sql));
        }
        LoginState::userName = QString::fromUtf8(user);
        LoginState::rights = QString::fromUtf8(rights);
    }
    ~Books()
    {
        LoginState::rights.clear();
        CustomerParty.clear();
        SupplierParty.clear();
        FileDialogs::setHandler(FileDialogs::Handler());
        PrinterChoice::setHandler(PrinterChoice::Handler());
    }
    void run(const QString &sql) { QVERIFY2(db->exec(sql), qPrintable(db->lastError() + ' ' + sql)); }
    std::unique_ptr<TestDb> db;
    MessageRecorder messages;
};

// The receivables and payables: a company with a few partners, invoices and
// cash entries, and a clerk holding every accounts right.
struct Ledger : Books
{
    Ledger()
        : Books({"insert into customer (customer_id,customer_name,category) values (21,'东方超市','零售客户')",
                 "insert into customer (customer_id,customer_name,category) values (22,'西城商店','零售客户')",
                 "insert into customer (customer_id,customer_name,category) values (23,'南山配送站','配送客户')",
                 "insert into supplier (supplier_id,supplier_name,category) values (12,'晨光文具','')",
                 "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-25','FP001',1000,'21-东方超市','销项','clerk','')",
                 "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-26','FP002',500,'21-东方超市','销项','clerk','')",
                 "insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('2024-01-26','JX001',300,'12-晨光文具','进项','clerk','')",
                 "insert into info (date,company,summary,income,pay,category) values ('2024-02-29','21-东方超市','收货款',1000,0,'销售回款')",
                 "insert into info (date,company,summary,income,pay,category) values ('2024-03-01','21-东方超市','收尾款',500,0,'销售回款')",
                 "insert into info (date,company,summary,income,pay,category) values ('2024-02-20','12-晨光文具','付货款',0,300,'采购付款')",
                 // The periods the tests overlap, bind and audit.
                 "insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-10','2024-01-20','21-东方超市',1000,'货款','clerk')",
                 "insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('2024-01-01','2024-01-31','12-晨光文具',300,'','货款','clerk')"},
                "clerk", "应收录入,应收审核,应收导入,应付录入,应付审核")
    {
    }
};

template <class Form>
std::unique_ptr<Form> open(const QString &kind)
{
    AccountKind = kind;
    std::unique_ptr<Form> form(new Form);
    form->show();
    return form;
}

// Shows the periods ending between first and last.
inline void query(QWidget &form, const QString &first, const QString &last)
{
    fill(form, {{"dateEdit_2", first}, {"dateEdit_3", last}}, "pushButton_7");
}

} // namespace FinanceTest
