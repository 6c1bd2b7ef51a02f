#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVector>

#include "widgets/guardedsave.h"

class QComboBox;
class QLineEdit;
class QTableWidget;
class QTableWidgetItem;

// The editable master table shared by goods, customers and suppliers: one
// table of records with a code column, editable text and price columns, the
// row id ("0" for a row not saved yet) and a tick box. Rows are added and
// edited on screen and written back by Save; Delete works at once.
//
// A form builds its designer controls, then hands them and its Definition to
// start(). The handlers below are found by name through the form's .ui, so
// every form names its controls alike.
class MasterTableForm : public QMainWindow
{
    Q_OBJECT

public:
    enum class Role {
        Code,        // the integer business code, read-only
        Text,        // editable text; must stay a clean name (no "-", "," or "'")
        Price,       // editable number, shown with two decimals
        Id,          // the database id, read-only; "0" for a new row
        Tick,        // the "选择" box
    };
    // What a new row takes into a column.
    enum class Fill { Code, Name, FirstCombo, SecondCombo, Zero, Nothing };

    struct Column
    {
        QString header;
        int width;
        Role role;
        Fill fill;
        // The stored column of a Text or Price column: a save changes a row
        // only while it still holds the values this screen loaded.
        QString field;
    };

    // Everything in which the forms differ. Statements are templates:
    // listSql takes the search clause as %1, searchClause the LIKE text as %1,
    // insertSql/updateSql the code as %1 and the columns after it as %2, %3 …,
    // the guards and deleteSql the code respectively the id as %1. updateSql
    // and deleteSql end in their condition, to which the save adds the row's
    // id and loaded values.
    struct Definition
    {
        QVector<Column> columns;
        QString listSql;
        QString searchClause;
        QString insertSql;
        QString updateSql;
        QStringList guardSqls;
        QString deleteSql;
        QStringList comboSqls;         // one list statement per combo box
        QString codeNotNumberText;
        QString codeTakenText;
        QString logUnit;
        bool unitBoxSwallowsReturn = false; // the first combo box ignores Return/Enter
    };

    struct Controls
    {
        QTableWidget *table = nullptr;
        QLineEdit *code = nullptr;
        QLineEdit *name = nullptr;
        QList<QComboBox *> combos;
        QLineEdit *search = nullptr;
    };

    // What start() was given.
    const Definition &definition() const { return m_definition; }

protected:
    explicit MasterTableForm(QWidget *parent = nullptr);

    // Call once, after the designer controls exist: sets the table up, loads
    // it, fills the combo boxes and writes the operation-log row.
    void start(const Definition &definition, const Controls &controls);

    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_lineEdit_3_textChanged(const QString &arg1);
    void on_lineEdit_returnPressed();
    void on_lineEdit_2_returnPressed();
    void on_checkBox_stateChanged(int state);
    void on_tableWidget_itemChanged(QTableWidgetItem *item);

private:
    void load();
    void fillCombos();
    void addRow();
    void deleteTicked();
    void save();

    int columnOf(Role role) const;
    bool isCheckedText(int column) const;
    QStringList rowValues(int row) const;
    bool rowIsComplete(int row) const;
    bool refuseUncleanRows();
    bool runGuards(long long code, bool *inUse);
    bool rowChanged(int row) const;
    QVector<GuardedSave::TextColumn> textColumns() const;
    QString unchangedCondition(int row, long long id) const;
    // Tells the outcome of a guarded save that did not go through.
    void tellUnsaved(GuardedSave::Outcome outcome, const QList<int> &staleRows,
                     const QString &error);

    Definition m_definition;
    Controls m_controls;
    QStringList m_headers;
    QString m_searchClause;
    int m_codeColumn = 0;
    int m_idColumn = 0;
    int m_tickColumn = 0;
};
