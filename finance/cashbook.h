#pragma once

#include "widgets/formguard.h"

#include <QMainWindow>

#include <memory>

class Cus_SupDelegate;
class GuardedTableModel;

namespace Ui {
class cashbook;
}

// The cash journal: every receipt and payment of money, with its day,
// counterparty, summary, amount and cash category. It is where the rows of
// info come from that receivables and payables bind as their receipt or
// payment; an entry bound that way keeps its counterparty and amounts and
// cannot be deleted, or the account it settles would no longer add up.
class cashbook : public QMainWindow, public UnsavedChanges
{
    Q_OBJECT

public:
    bool hasUnsavedChanges() const override;
    bool saveChanges() override;
    explicit cashbook(QWidget *parent = nullptr);
    ~cashbook() override;

    enum Column {
        IdColumn = 0,
        DateColumn = 1,
        CompanyColumn = 2,
        SummaryColumn = 3,
        IncomeColumn = 4,
        PayColumn = 5,
        CategoryColumn = 6
    };

    // The receivable or payable rows bound to the cash entry id: id,
    // counterparty and billing period.
    static QString boundStatement(const QString &table, long long id);
    // The filter of the journal for the days from to to, a counterparty and a
    // category (empty: any).
    static QString filterFor(const QString &from, const QString &to, const QString &company, const QString &category);

private slots:
    void on_pushButton_11_clicked();
    void on_lineEdit_3_returnPressed();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_9_clicked();

private:
    void setUpTable();
    void fillCategories();
    void showTotals();
    bool query();
    // The row check of the save over the new and changed rows.
    bool checkRows();
    // Inside the save's transaction: no bound entry loses its counterparty or
    // amounts, and none is deleted.
    bool checkBound(QString *message) const;
    // Names the first receivable or payable row bound to the stored entry of
    // row, or returns an empty text; false when that could not be read.
    bool boundRow(int row, QString *bound, QString *error) const;

    std::unique_ptr<Ui::cashbook> m_ui;
    GuardedTableModel *m_model = nullptr;
    Cus_SupDelegate *m_partners = nullptr;
};
