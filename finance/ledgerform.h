#pragma once

#include <QHash>
#include <QMainWindow>
#include <QModelIndex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include "widgets/formguard.h"
#include "widgets/guardedtablemodel.h"

class QItemDelegate;
class QPrinter;

namespace Ui {
class LedgerForm;
}

// What the receivables and the payables differ in. Model columns that a
// table lacks are -1.
struct LedgerSetup
{
    enum class Editor { Plain, Money, ReadOnly, Partner, Invoice, Cash };

    QString table;                 // "receivable"
    QStringList headers;           // one per model column but the id
    QVector<int> widths;
    QVector<Editor> editors;
    int discountColumn = -1;
    int invoiceColumn = 0;
    int cashColumn = 0;
    int interestColumn = 0;
    int remarksColumn = 0;
    int commissionColumn = -1;
    int categoryColumn = 0;
    int operatorColumn = 0;
    int checkerColumn = 0;
    int idColumn = 0;
    QVector<int> requiredColumns;  // empty after trimming: "第%1行不能有为空内容"
    bool checksDates = false;      // "第%1行日期格式不正确"

    // Window titles for the kinds "货款", "投标", "履约", "往来", in that order.
    QStringList titles;
    QString partyLabel;            // "销货单位"
    QString kindLabel;             // "应收类型"
    QStringList queryFields;       // "公司", "金额", …
    QString partyList;             // the entry and query pick lists
    QString periodsSql;            // %1 category, %2 company: stored periods
    // %1 a list of ids: the stored rows holding them, as id pairs
    // (bound id, row id)
    QString invoiceHoldersSql;
    QString cashHoldersSql;
    QString missingText;           // "金额或客户不能为空"
    QString entryRight;            // "应收录入"
    QString auditRight;            // "应收审核"
    QString printTitle;            // "应收明细报表"
    QStringList printHeaders;      // after "序号"

    // Commission marks, discount-to-payable and import exist only on the
    // receivables; without them "导出" sits on pushButton_9.
    bool receivableActions = false;

    QString *party = nullptr;      // CustomerParty or SupplierParty
};

// The register of receivables or payables by billing period: rows are
// generated for a partner and period, bound to an invoice and a cash entry,
// saved, audited and printed. receivable and payment are this form with their
// own LedgerSetup; the account kind (AccountKind) picks the category when the
// form is built.
class LedgerForm : public QMainWindow, public UnsavedChanges
{
    Q_OBJECT
public:
    ~LedgerForm() override;

    // Interest for paying daysLate days after the period end.
    static double interestFor(double amount, int daysLate);

    QString category() const { return m_category; }

    bool hasUnsavedChanges() const override;
    bool saveChanges() override;

public slots:
    // Paints the report of the rows shown.
    void printDocument(QPrinter *printer);

protected:
    LedgerForm(const LedgerSetup &setup, QWidget *parent);

private slots:
    void on_pushButton_11_clicked();
    void on_lineEdit_2_returnPressed();
    void on_lineEdit_3_returnPressed();
    void on_tableView_doubleClicked(const QModelIndex &index);
    void on_tableView_pressed(const QModelIndex &index);
    void on_pushButton_3_clicked();
    void baocun();
    void yfwl();
    void on_pushButton_4_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_10_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_13_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    void setUpTable();
    void fillPickLists();
    void takeAccountKind();
    bool selectRows();
    using Rows = QVector<GuardedTableModel::Row>;
    QSet<long long> rowsShown(const Rows &rows) const;
    void showTotal(const QString &pattern);
    QString text(int row, int column) const;
    void setText(int row, int column, const QVariant &value);
    bool periodCollides(const QString &company, const QString &begin, const QString &end);

    bool checkRows(const Rows &rows);
    bool bindingsFree(const Rows &rows, int column, const QSet<long long> &shown, const QString &pattern,
                      QString *message);
    bool submit(const Rows &rows);
    bool saveAll(bool reload);
    bool mayWrite(const QString &right);
    void setChecker(bool audit);
    void markCommission();
    void undoCommission();
    void exportRows();
    void importFile();

    LedgerSetup m_setup;
    Ui::LedgerForm *m_body;
    GuardedTableModel *m_model;
    QList<QItemDelegate *> m_delegates;
    QString m_category;
};
