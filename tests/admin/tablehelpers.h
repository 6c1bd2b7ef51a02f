#pragma once

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "widgets/checklist.h"

#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>

// A form shown as a user sees it, with what its buttons make it say.
template <class Form>
struct ShownForm : Form
{
    ShownForm()
    {
        this->show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
    template <class Child>
    Child *child(const char *name) { return this->template findChild<Child *>(QLatin1String(name)); }
    QTableWidget *table() { return child<QTableWidget>("tableWidget"); }
    // "title/text" of every box that clicking button shows.
    QStringList click(const char *button)
    {
        MessageRecorder messages;
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        return messages.texts();
    }
};

// Clicks the check box of row as a user would: on the check indicator of the
// "选择" cell, which toggles it.
inline void clickTick(QTableWidget *table, int row)
{
    const QModelIndex index = table->model()->index(row, CheckList::TickColumn);
    table->scrollTo(index);
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect indicator = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, indicator.center());
}

// Ticks the rows whose name column reads one of names.
inline void clickTicks(QTableWidget *table, const QStringList &names)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (names.contains(CheckList::nameAt(table, row))) {
            clickTick(table, row);
        }
    }
}

inline QStringList columnTexts(const QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        texts << FormTest::cell(table, row, column);
    }
    return texts;
}

// Read from the items themselves, not through the code under test.
inline QStringList tickedNames(const QTableWidget *table)
{
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0)->checkState() == Qt::Checked) {
            names << table->item(row, 1)->text();
        }
    }
    return names;
}
