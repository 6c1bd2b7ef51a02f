#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QComboBox;
class QDateEdit;
class QSqlQuery;
class QTableView;

// What the goods statistics, gross profit and purchase detail reports share:
// a bar of a date range and pick-list filters above a read-only table that one
// statement fills, and the export of that table. The reports keep their own
// statements and say only how a result row becomes table cells.
class ReportForm : public QMainWindow
{
    Q_OBJECT

public:
    struct Column
    {
        QString title;
        int width;
    };

protected:
    explicit ReportForm(QWidget *parent);

    // Every goods item as code and name, and the goods categories: the goods
    // filters of all three reports.
    static QString goodsListSql();
    static QString goodsCategorySql();

    // Read-only report table: the view shows a ReportTableModel with the
    // titles, at the widths; header at least 30 pixels high, no row numbers.
    static void setUpTable(QTableView *table, const QVector<Column> &columns);

    static QString dayText(const QDateEdit *edit);

    // A filter naming a code (customer, supplier or goods): empty while the
    // filter is empty, else clauseTemplate with the code before the first
    // "-", so a code typed without its name is read whole. With
    // blanksAreEmpty a filter of blanks only counts as empty too.
    static QString codeClause(const QString &clauseTemplate, const QComboBox *filter,
                              bool blanksAreEmpty = true);
    // A filter naming a text (category, area): empty while the filter is
    // empty, else clauseTemplate with the text, as it stands, quoted for its
    // '%1'.
    static QString textClause(const QString &clauseTemplate, const QComboBox *filter,
                              bool blanksAreEmpty = true);

    // Empties table, runs sql and shows one read-only row per result row, with
    // the cells readRow makes of it. A failed statement or fetch leaves the
    // table empty, is reported, and returns -1; else the number of rows
    // shown.
    using RowReader = std::function<QStringList(const QSqlQuery &query)>;
    static int fillTable(QTableView *table, const QString &sql, const RowReader &readRow);

    void exportTable(QTableView *table);
};
