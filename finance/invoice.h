#pragma once

#include "widgets/formguard.h"

#include <QMainWindow>
#include <QSet>

#include <memory>

class GuardedTableModel;
class QPrinter;
class ReadOnlyDelegate;

namespace Ui {
class invoice;
}

// The invoice register: one row per tax invoice received from a supplier
// ("进项") or issued to a customer ("销项"). Clerks enter the invoices of a
// day and save them; an auditor then closes the day by auditing it, after
// which that day of that kind takes no more invoices and its rows no changes.
// Everything is read and written through one table model over table invoice.
class invoice : public QMainWindow, public UnsavedChanges
{
    Q_OBJECT

public:
    bool hasUnsavedChanges() const override;
    bool saveChanges() override;
    explicit invoice(QWidget *parent = nullptr);
    ~invoice() override;

    enum Column {
        DateColumn = 0,
        NumberColumn = 1,
        MoneyColumn = 2,
        CompanyColumn = 3,
        KindColumn = 4,
        InputColumn = 5,
        CheckerColumn = 6,
        IdColumn = 7
    };


    // Whether an audited invoice of kind exists on day: such a day is closed.
    static QString auditedDayStatement(const QString &day, const QString &kind);

public slots:
    // Draws the report of the rows the table shows, 39 to a page.
    virtual void printDocument(QPrinter *printer);

private slots:
    void on_pushButton_11_clicked();
    void on_lineEdit_2_returnPressed();
    void on_lineEdit_3_returnPressed();
    void on_pushButton_3_clicked();
    void baocun();
    void on_pushButton_4_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_9_clicked();
    void on_comboBox_2_currentTextChanged(const QString &kind);
    void on_comboBox_currentTextChanged(const QString &field);

private:
    void setUpTable();
    void setUpButtons();
    double moneySum() const;
    void showTotal(const QString &format);
    // The row check of the saves over rows (all rows when empty is false):
    // the first failure is shown and makes it false.
    bool checkRows(const QSet<int> &rows, bool allRows);
    // Writes every unsaved change; tells the user when it could not.
    bool save();
    void reloadDay();
    void setAuditor(const QString &auditor);

    std::unique_ptr<Ui::invoice> m_ui;
    GuardedTableModel *m_model = nullptr;
    ReadOnlyDelegate *m_readOnly = nullptr;
};
