#pragma once

#include "master/formtest.h"
#include "widgets/checklist.h"

#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>

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
        const QTableWidgetItem *item = table->item(row, column);
        texts << (item ? item->text() : QString());
    }
    return texts;
}

// Read from the items themselves, not through the code under test.
inline QStringList tickedNames(const QTableWidget *table)
{
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *tick = table->item(row, 0);
        if (tick && tick->checkState() == Qt::Checked) {
            names << table->item(row, 1)->text();
        }
    }
    return names;
}
