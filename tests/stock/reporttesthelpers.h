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
#include <QTableView>
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

// Stores order lines written "date|party|goods|quantity|price" into table
// ("purchar" or "sell"), numbered by their place in the list.
inline void addLines(TestDb &db, const QString &table, const QStringList &lines)
{
    const QString insert = QStringLiteral("insert into %1 (%1_no,date,%2,food_id,quantity,price,remarks,input) "
                                          "values ('no-%3','%4',%5,%6,'%7','%8','','test001')")
                               .arg(table, table == QLatin1String("sell") ? "customer_id" : "supplier_id");
    int number = 0;
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char('|'));
        QVERIFY2(db.exec(insert.arg(QString::number(++number), f.at(0), f.at(1), f.at(2), f.at(3), f.at(4))),
                 qPrintable(db.lastError()));
    }
}

// The filters and results of a report. The party is the customer or the
// supplier (the goods statistics have their category there); its group the
// customer's area or the supplier's category.
struct Form
{
    template <class T>
    T *find(const char *name) const
    {
        return window.findChild<T *>(QLatin1String(name));
    }

    QWidget &window;
    QDateEdit *from = find<QDateEdit>("dateEdit");
    QDateEdit *to = find<QDateEdit>("dateEdit_2");
    QComboBox *party = find<QComboBox>("comboBox");
    QComboBox *goods = find<QComboBox>("comboBox_2");
    QComboBox *category = find<QComboBox>("comboBox_3");
    QComboBox *partyGroup = find<QComboBox>("comboBox_4");
    QTableView *table = find<QTableView>("tableWidget");
    QLabel *summary = find<QLabel>("label_5");

    void query(const QDate &first, const QDate &last) const
    {
        from->setDate(first);
        to->setDate(last);
        QTest::mouseClick(find<QPushButton>("pushButton"), Qt::LeftButton);
    }
    void queryMarch() const { query(QDate(2024, 3, 1), QDate(2024, 3, 31)); }

    // Picks the item text of a filter box, or its empty first item.
    static void choose(QComboBox *box, const QString &text)
    {
        box->setCurrentIndex(qMax(0, box->findText(text)));
        QCOMPARE(box->currentText(), text);
    }

    QList<QStringList> rows() const
    {
        QList<QStringList> all;
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            all << QStringList();
            for (int c = 0; c < table->model()->columnCount(); ++c) {
                all.last() << table->model()->index(r, c).data().toString();
            }
        }
        return all;
    }
    // The texts of one column, top to bottom.
    QStringList column(int c) const
    {
        QStringList texts;
        for (const QStringList &row : rows()) {
            texts << row.at(c);
        }
        return texts;
    }
};

} // namespace ReportTest
