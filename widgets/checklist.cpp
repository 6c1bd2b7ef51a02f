#include "widgets/checklist.h"

#include "db/gateway.h"
#include "widgets/messages.h"

#include "widgets/tablecells.h"

#include <QHeaderView>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTableWidgetItem>

namespace CheckList {

void setUp(QTableWidget *table, const QString &nameTitle)
{
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({QStringLiteral("选择"), nameTitle});
    table->horizontalHeader()->setMinimumHeight(30);
    // The style's minimum section would widen the check-box column.
    table->horizontalHeader()->setMinimumSectionSize(30);
    table->setColumnWidth(TickColumn, 30);
    table->setColumnWidth(NameColumn, 200);
}

bool load(QTableWidget *table, const QString &countSql, const QString &listSql)
{
    QSqlQuery count;
    if (count.exec(countSql) && count.next()) {
        table->setRowCount(count.value(0).toInt());
    }

    // The count only presizes the table; the rows read decide, in case the
    // list changed between the two statements. A list that cannot be read
    // is said to be so.
    QStringList names;
    QString error;
    if (!Gateway::readTexts(listSql, &names, &error)) {
        table->setRowCount(0);
        Messages::databaseError(table->window(), error);
        return false;
    }
    fill(table, names);
    return true;
}

void fill(QTableWidget *table, const QStringList &names)
{
    table->setRowCount(names.size());
    for (int row = 0; row < names.size(); ++row) {
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        tick->setCheckState(Qt::Unchecked);
        table->setItem(row, TickColumn, tick);

        table->setItem(row, NameColumn, TableCells::readOnlyItem(names.at(row)));
    }
}

bool isTicked(const QTableWidget *table, int row)
{
    const QTableWidgetItem *tick = table->item(row, TickColumn);
    return tick && tick->checkState() == Qt::Checked;
}

void setTicked(QTableWidget *table, int row, bool ticked)
{
    if (QTableWidgetItem *tick = table->item(row, TickColumn)) {
        tick->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

QString nameAt(const QTableWidget *table, int row)
{
    const QTableWidgetItem *name = table->item(row, NameColumn);
    return name ? name->text() : QString();
}

QStringList tickedNames(const QTableWidget *table)
{
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (isTicked(table, row)) {
            names << nameAt(table, row);
        }
    }
    return names;
}

} // namespace CheckList
