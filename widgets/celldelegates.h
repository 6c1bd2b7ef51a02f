#pragma once

#include <QItemDelegate>
#include <QString>

class QAbstractItemView;
class QComboBox;

// The editors the finance tables give their cells: none at all, a pick list of
// partners, or a pick list of one partner's invoices or cash entries that
// writes back only the record's id. A form creates one instance per use and
// installs it with setItemDelegateForColumn.

// A column that cannot be edited: no editor ever opens.
class ReadOnlyDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit ReadOnlyDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};

// What the combo-box editors have in common: the cell's rectangle, and the
// list read from the database each time an editor opens, so that records
// added meanwhile show up without reopening the form.
class PickListDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit PickListDelegate(QObject *parent = nullptr);

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    // The first column of every row of statement, in result order. False, after
    // telling the user with the database's text, when the query fails: an empty
    // list must mean there is nothing to choose.
    static bool readList(const QString &statement, QWidget *messageParent, QStringList *texts);
};

// Every supplier and every customer but the delivery customers, as code, "-"
// and name; typing any part of a code or name offers the matching entries.
// What is typed is stored even when it is not in the list.
class Cus_SupDelegate : public PickListDelegate
{
    Q_OBJECT
public:
    explicit Cus_SupDelegate(QObject *parent = nullptr);

    static QString listStatement();

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};

// One partner's invoices or cash entries, newest first, each as its id, "-"
// and a description; the cell stores only the id. The partner is the text
// *party names (CustomerParty or SupplierParty), or, once setPartyColumn is
// given, the company cell of the row being edited, however the editor opened.
// An editor opens on the record the cell already holds, and closing it without
// a choice keeps that id: a stray double-click never unbinds a record.
class RecordIdDelegate : public PickListDelegate
{
    Q_OBJECT
public:
    // statement has %1 for the partner's text (quoted here).
    RecordIdDelegate(const QString &statement, QString *party, QObject *parent = nullptr);

    // Makes the editor read its partner from this column of the edited row and
    // set the party text from it before the list is read.
    void setPartyColumn(int column) { m_partyColumn = column; }

    // The statement with the partner's text in place.
    QString listStatementFor(const QString &partyText) const;

    // The id at the start of a list text ("57-摘要-100.00" gives 57); 0 for an
    // empty or non-numeric text.
    static long long idOf(const QString &itemText);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

private:
    QString m_statement;
    QString *m_party;
    int m_partyColumn = -1;
};

// A customer's cash receipts, for the receivable table.
class CashNo_CusDelegate : public RecordIdDelegate
{
    Q_OBJECT
public:
    explicit CashNo_CusDelegate(QObject *parent = nullptr);
};

// A supplier's cash payments, for the payable table.
class CashNo_SupDelegate : public RecordIdDelegate
{
    Q_OBJECT
public:
    explicit CashNo_SupDelegate(QObject *parent = nullptr);
};

// A customer's invoices, for the receivable table.
class InvoiceNo_CusDelegate : public RecordIdDelegate
{
    Q_OBJECT
public:
    explicit InvoiceNo_CusDelegate(QObject *parent = nullptr);
};

// A supplier's invoices, for the payable table.
class InvoiceNo_SupDelegate : public RecordIdDelegate
{
    Q_OBJECT
public:
    explicit InvoiceNo_SupDelegate(QObject *parent = nullptr);
};

namespace PartyTexts {

// Keeps *party naming the partner of view's current row, read from its
// column companyColumn: the id pick lists then belong to the row whose cell is
// edited, whether the editor opens by double-click, the edit key or typing.
// Call it once the view has its model; it follows later changes of the
// current row and of that row's company cell.
void followCurrentRow(QAbstractItemView *view, int companyColumn, QString *party);

} // namespace PartyTexts
