#include "widgets/modelreport.h"

#include "widgets/decimaltext.h"
#include "widgets/messages.h"

#include <QHeaderView>
#include <QItemDelegate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>

namespace ModelReport {

void setUpView(QTableView *view)
{
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setItemDelegate(new QItemDelegate(view));
    view->setAlternatingRowColors(true);
    view->horizontalHeader()->setMinimumHeight(32);
}

bool load(QWidget *parent, QSqlQueryModel *model, const QString &sql, bool everyRow)
{
    model->setQuery(sql);
    while (everyRow && model->canFetchMore()) {
        model->fetchMore();
    }
    if (model->lastError().isValid()) {
        const QString text = model->lastError().text();
        // An empty table must mean there is nothing, not that the statement
        // failed: drop whatever part was read and say why.
        model->clear();
        Messages::databaseError(parent, text);
        return false;
    }
    return true;
}

void setColumns(QSqlQueryModel *model, QTableView *view, const QVector<Column> &columns)
{
    const int defaultWidth = view->horizontalHeader()->defaultSectionSize();
    for (int c = 0; c < columns.size(); ++c) {
        model->setHeaderData(c, Qt::Horizontal, columns.at(c).header, Qt::EditRole);
        view->setColumnWidth(c, columns.at(c).width > 0 ? columns.at(c).width : defaultWidth);
    }
}

double columnSum(const QAbstractItemModel *model, int column)
{
    double sum = 0;
    for (int r = 0; r < model->rowCount(); ++r) {
        sum += DecimalText::valueOf(model->data(model->index(r, column)).toString());
    }
    return sum;
}

} // namespace ModelReport
