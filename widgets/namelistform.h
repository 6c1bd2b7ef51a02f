#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVector>

class QLineEdit;
class QTableWidget;

// The short lists edited at once (employees, supplier and customer
// categories): a tick column "选择" followed by read-only value columns, an add
// button that inserts one record and a delete button that removes the ticked
// records in one transaction. Both actions need the form's right; a record
// that another table still names cannot be deleted.
//
// A form builds its designer controls, then hands them and its Definition to
// start(). The two handlers are found by name through the form's .ui.
class NameListForm : public QMainWindow
{
    Q_OBJECT

public:
    struct Column
    {
        QString header;
        int width;
    };

    // Statements are templates. duplicateSql and insertSql take the trimmed
    // inputs as %1, %2 …; inUseSql and deleteSql the row's value in
    // keyColumn as %1; inUseText the row's value in shownColumn as %1.
    // Columns count from the table's column 0, the tick column.
    struct Definition
    {
        QString right;
        QVector<Column> columns;   // after the tick column
        QString listSql;
        QString duplicateSql;
        QString duplicateText;
        QString insertSql;
        QString inUseSql;
        QString inUseText;
        QString deleteSql;
        int keyColumn = 1;
        int shownColumn = 1;
    };

    struct Controls
    {
        QTableWidget *table = nullptr;
        QList<QLineEdit *> inputs;
    };

protected:
    explicit NameListForm(QWidget *parent = nullptr);

    // Call once, after the designer controls exist: sets the table up and
    // loads it.
    void start(const Definition &definition, const Controls &controls);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    void load();
    bool hasRight();

    Definition m_definition;
    Controls m_controls;
};
