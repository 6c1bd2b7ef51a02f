#include "widgets/tablecells.h"

#include <QTableWidget>
#include <QTableWidgetItem>

namespace TableCells {

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QTableWidgetItem *tickItem()
{
    auto *item = new QTableWidgetItem;
    item->setCheckState(Qt::Unchecked);
    return item;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace TableCells
