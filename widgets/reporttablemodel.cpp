#include "widgets/reporttablemodel.h"

ReportTableModel::ReportTableModel(const QStringList &titles, QObject *parent)
    : QAbstractTableModel(parent)
    , m_titles(titles)
{
}

int ReportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_titles.isEmpty() ? 0 : m_cells.size() / m_titles.size();
}

int ReportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_titles.size();
}

QVariant ReportTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return QVariant();
    }
    return m_cells.at(index.row() * m_titles.size() + index.column());
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_titles.size()) {
        return m_titles.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ReportTableModel::appendRow(QVector<QString> &cells, const QStringList &row) const
{
    const int above = cells.size() - m_titles.size();
    for (int c = 0; c < m_titles.size(); ++c) {
        QString text = row.value(c);
        if (above >= 0 && cells.at(above + c) == text) {
            text = cells.at(above + c);
        }
        cells.append(std::move(text));
    }
}

void ReportTableModel::setCells(QVector<QString> cells)
{
    beginResetModel();
    m_cells = std::move(cells);
    endResetModel();
}
