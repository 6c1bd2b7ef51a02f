#pragma once

// Rows and small tools shared by the tests of the order forms and the printed
// order forms.

#include "master/formtest.h"
#include "support/testdb.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace OrderTest {

// Runs the statements in turn; false at the first that fails.
inline bool execAll(TestDb &db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        if (!db.exec(sql)) {
            qWarning() << sql << db.lastError();
            return false;
        }
    }
    return true;
}

// Suppliers 11 华联纸业 and 12 晨光文具; customers 12 东方超市 (the same code
// as a supplier on purpose) and 7 南山幼儿园; goods 101 打印纸 (包, buys at
// 5.00, sells at 6.50), 102 签字笔 (支, 1.50 / 2.00) and 103 矿泉水 (箱,
// 24.00 / 30.00).
inline bool seedMasterData(TestDb &db)
{
    return execAll(db, {
        "insert into supplier (supplier_id,supplier_name,short_name) values (11,'华联纸业','华联')",
        "insert into supplier (supplier_id,supplier_name,short_name) values (12,'晨光文具','晨光')",
        "insert into customer (customer_id,customer_name,short_name) values (12,'东方超市','东方')",
        "insert into customer (customer_id,customer_name,short_name) values (7,'南山幼儿园','南山')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (101,'打印纸','包',6.5,5,'办公')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (102,'签字笔','支',2,1.5,'办公')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (103,'矿泉水','箱',30,24,'食品')",
    });
}

// Stores count lines of goods foodId under one order number of table
// ("purchar" or "sell"), each quantity × price.
inline bool addLines(TestDb &db, const QString &table, const QString &number, const QString &date,
                     int party, int count, int foodId = 101, const QString &quantity = QStringLiteral("2"),
                     const QString &price = QStringLiteral("5"))
{
    const QString partyColumn = table == QLatin1String("sell") ? QStringLiteral("customer_id") : QStringLiteral("supplier_id");
    QStringList statements;
    for (int i = 1; i <= count; ++i) {
        statements << QStringLiteral("insert into %1 (%1_no,date,%2,food_id,quantity,price,remarks,input) "
                                     "values ('%3','%4',%5,%6,'%7','%8','第%9行','test001')")
                          .arg(table, partyColumn, number, date, QString::number(party), QString::number(foodId),
                               quantity, price, QString::number(i));
    }
    return execAll(db, statements);
}

// Closes the next modal dialog of type Dialog once its event loop runs, after
// handing it to inspect. The order forms open the print preview modally.
template <class Dialog>
void closeWhenShown(const std::function<void(Dialog *)> &inspect, int attempts = 500)
{
    QTimer::singleShot(0, [inspect, attempts]() {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            auto *dialog = qobject_cast<Dialog *>(w);
            if (dialog && dialog->isVisible()) {
                if (inspect) {
                    inspect(dialog);
                }
                dialog->reject();
                return;
            }
        }
        if (attempts > 0) {
            closeWhenShown<Dialog>(inspect, attempts - 1);
        }
    });
}

// The controls of an order form, found by their object names.
struct Controls
{
    template <class T>
    T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }

    QWidget *form;
    QPushButton *save = child<QPushButton>("pushButton");
    QPushButton *remove = child<QPushButton>("pushButton_2");
    QPushButton *query = child<QPushButton>("pushButton_3");
    QPushButton *newOrder = child<QPushButton>("pushButton_4");
    QPushButton *addLine = child<QPushButton>("pushButton_5");
    QPushButton *preview = child<QPushButton>("pushButton_6");
    QPushButton *print = child<QPushButton>("pushButton_7");
    QComboBox *queryParty = child<QComboBox>("comboBox");
    QComboBox *newParty = child<QComboBox>("comboBox_2");
    QComboBox *goods = child<QComboBox>("comboBox_3");
    QComboBox *format = child<QComboBox>("comboBox_4");
    QComboBox *printer = child<QComboBox>("comboBox_5");
    QDateEdit *from = child<QDateEdit>("dateEdit");
    QDateEdit *to = child<QDateEdit>("dateEdit_2");
    QDateEdit *newDate = child<QDateEdit>("dateEdit_3");
    QLineEdit *code = child<QLineEdit>("lineEdit_5");
    QLineEdit *name = child<QLineEdit>("lineEdit");
    QLineEdit *unit = child<QLineEdit>("lineEdit_2");
    QLineEdit *price = child<QLineEdit>("lineEdit_6");
    QLineEdit *quantity = child<QLineEdit>("lineEdit_3");
    QLineEdit *remarks = child<QLineEdit>("lineEdit_4");
    QTableWidget *list = child<QTableWidget>("tableWidget_2");
    QTableWidget *lines = child<QTableWidget>("tableWidget");

    bool complete() const
    {
        const QList<QObject *> all{save, remove, query, newOrder, addLine, preview, print, queryParty,
                                   newParty, goods, format, printer, from, to, newDate, code, name,
                                   unit, price, quantity, remarks, list, lines};
        return !all.contains(nullptr);
    }

    static QStringList items(const QComboBox *box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i) {
            texts << box->itemText(i);
        }
        return texts;
    }

    // The goods item offered for code, with the price this form offers.
    QString itemFor(int code) const
    {
        const QString prefix = QStringLiteral("%1-").arg(code);
        for (const QString &text : items(goods)) {
            if (text.startsWith(prefix)) {
                return text;
            }
        }
        return prefix;
    }

    // "新增…": the new-order row for partyText on date.
    void startOrder(const QString &partyText, const QDate &date)
    {
        newDate->setDate(date);
        newParty->setEditText(partyText);
        QTest::mouseClick(newOrder, Qt::LeftButton);
    }

    // Picks the goods item by its search text, as Enter in the search box does.
    void pick(const QString &goodsText)
    {
        goods->setEditText(goodsText);
        QTest::keyClick(goods, Qt::Key_Return);
    }

    // Picks goods, types quantity and remarks and presses "添加商品明细".
    void addGoodsLine(const QString &goodsText, const QString &quantityText,
                      const QString &remarksText = QString())
    {
        pick(goodsText);
        quantity->setText(quantityText);
        remarks->setText(remarksText);
        QTest::mouseClick(addLine, Qt::LeftButton);
    }

    void queryOrders(const QDate &first, const QDate &last, const QString &partyText)
    {
        from->setDate(first);
        to->setDate(last);
        queryParty->setEditText(partyText);
        QTest::mouseClick(query, Qt::LeftButton);
    }

    void clickListRow(int r)
    {
        const QRect cellRect = list->visualItemRect(list->item(r, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellRect.center());
    }

    static void tick(QTableWidget *table, int r)
    {
        table->item(r, table->columnCount() - 1)->setCheckState(Qt::Checked);
    }
};

} // namespace OrderTest
