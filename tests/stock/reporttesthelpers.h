#pragma once

// The fixture shared by the tests of the stock reports: seeding rows, the
// filters and results of a report window, and querying March 2024.

#include "support/testdb.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QTest>

namespace ReportTest {

// Runs the statements in turn, failing the test at the first that fails.
inline void seed(TestDb &db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        QVERIFY2(db.exec(sql), qPrintable(db.lastError()));
    }
}

// Goods 1001 大米 (粮油, sells at 9.00, purchase price 4.00) and 1002 白糖
// (调料, 3.00 / 2.00).
inline QStringList twoGoods()
{
    return {
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1001,'大米','袋','9.00','4.00','粮油')",
        "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (1002,'白糖','包','3.00','2.00','调料')",
    };
}

// Stores order lines written "date|party|goods|quantity|price" with insert,
// whose %1 is the line's running number and %2 to %6 its fields.
inline void addLines(TestDb &db, const QString &insert, const QStringList &lines)
{
    int number = 0;
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char('|'));
        QVERIFY2(db.exec(insert.arg(QString::number(++number), f.at(0), f.at(1), f.at(2), f.at(3),
                                    f.at(4))),
                 qPrintable(db.lastError()));
    }
}

// The filters and results of a report. The party is the customer or the
// supplier (the goods statistics have their category there); its group the
// customer's area or the supplier's category.
struct Form
{
    QDateEdit *from;
    QDateEdit *to;
    QComboBox *party;
    QComboBox *goods;
    QComboBox *category;
    QComboBox *partyGroup;
    QPushButton *query;
    QTableWidget *table;
    QLabel *summary;
};

inline Form partsOf(QWidget &window)
{
    Form form;
    form.from = window.findChild<QDateEdit *>(QStringLiteral("dateEdit"));
    form.to = window.findChild<QDateEdit *>(QStringLiteral("dateEdit_2"));
    form.party = window.findChild<QComboBox *>(QStringLiteral("comboBox"));
    form.goods = window.findChild<QComboBox *>(QStringLiteral("comboBox_2"));
    form.category = window.findChild<QComboBox *>(QStringLiteral("comboBox_3"));
    form.partyGroup = window.findChild<QComboBox *>(QStringLiteral("comboBox_4"));
    form.query = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    form.table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    form.summary = window.findChild<QLabel *>(QStringLiteral("label_5"));
    return form;
}

inline void query(const Form &form, const QDate &first, const QDate &last)
{
    form.from->setDate(first);
    form.to->setDate(last);
    QTest::mouseClick(form.query, Qt::LeftButton);
}

inline void queryMarch(const Form &form)
{
    query(form, QDate(2024, 3, 1), QDate(2024, 3, 31));
}

inline QStringList row(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        texts << table->item(row, column)->text();
    }
    return texts;
}

// The texts of one column, top to bottom.
inline QStringList column(const QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        texts << table->item(row, column)->text();
    }
    return texts;
}

} // namespace ReportTest
