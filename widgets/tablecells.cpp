#include "widgets/tablecells.h"

#include <QSignalBlocker>
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

void replaceRows(QTableWidget *table, const QVector<QTableWidgetItem *> &items)
{
    const int columns = table->columnCount();
    table->setUpdatesEnabled(false);
    table->setRowCount(0);
    table->setRowCount(columns > 0 ? items.size() / columns : 0);
    {
        // Each placed item would tell the view that its cell changed; the
        // rows are new and the view is repainted whole below.
        const QSignalBlocker quiet(table->model());
        for (int i = 0; i < items.size(); ++i) {
            table->setItem(i / columns, i % columns, items.at(i));
        }
    }
    table->setUpdatesEnabled(true);
    table->viewport()->update();
}

} // namespace TableCells
