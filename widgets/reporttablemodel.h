#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QVector>

// The read-only result of a report: one text per cell and nothing else, kept
// row after row in one array. A report of half a million rows has four
// million cells; as table items each would cost an object and its list of
// role values, here it costs the text alone, and a text the filler shares
// with the cell above costs nothing more.
class ReportTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ReportTableModel(const QStringList &titles, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Adds row to cells as columnCount() texts, missing ones empty. A text
    // equal to the one above it in its column shares that one's storage:
    // reports are sorted, so codes, names and units repeat.
    void appendRow(QVector<QString> &cells, const QStringList &row) const;
    // Shows cells, columnCount() of them per row, in place of what was shown.
    void setCells(QVector<QString> cells);
    void clear() { setCells(QVector<QString>()); }

private:
    QStringList m_titles;
    QVector<QString> m_cells;
};
