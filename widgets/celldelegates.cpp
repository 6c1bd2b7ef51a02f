#include "widgets/celldelegates.h"

#include "db/sqltext.h"
#include "widgets/accountkind.h"
#include "widgets/decimaltext.h"
#include "widgets/messages.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QSqlError>
#include <QSqlQuery>

// ReadOnlyDelegate ----------------------------------------------------------

ReadOnlyDelegate::ReadOnlyDelegate(QObject *parent)
    : QItemDelegate(parent)
{
}

QWidget *ReadOnlyDelegate::createEditor(QWidget *, const QStyleOptionViewItem &,
                                        const QModelIndex &) const
{
    return nullptr;
}

// PickListDelegate ----------------------------------------------------------

PickListDelegate::PickListDelegate(QObject *parent)
    : QItemDelegate(parent)
{
}

void PickListDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

bool PickListDelegate::readList(const QString &statement, QWidget *messageParent, QStringList *texts)
{
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(statement)) {
        Messages::databaseError(messageParent, query.lastError().text());
        return false;
    }
    while (query.next()) {
        *texts << query.value(0).toString();
    }
    return true;
}

// Cus_SupDelegate -----------------------------------------------------------

Cus_SupDelegate::Cus_SupDelegate(QObject *parent)
    : PickListDelegate(parent)
{
}

QString Cus_SupDelegate::listStatement()
{
    return QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name as ps from supplier "
                          "union all select cast(customer_id as varchar)+'-'+customer_name as ps from "
                          "customer where category<>'配送客户' order by ps");
}

QWidget *Cus_SupDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                       const QModelIndex &) const
{
    QStringList texts;
    if (!readList(listStatement(), parent, &texts)) {
        return nullptr;
    }
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->addItems(texts);
    auto *completer = new QCompleter(box->model(), box);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(completer);
    return box;
}

void Cus_SupDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = static_cast<QComboBox *>(editor);
    const QString value = index.data(Qt::EditRole).toString();
    const int found = box->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(found);
    // A partner that is not offered (a delivery customer, a renamed one) stays
    // in the box, so that opening and leaving the cell does not clear it.
    if (found < 0) {
        box->setEditText(value);
    }
}

void Cus_SupDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                   const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
}

// RecordIdDelegate ----------------------------------------------------------

RecordIdDelegate::RecordIdDelegate(const QString &statement, QString *party, QObject *parent)
    : PickListDelegate(parent)
    , m_statement(statement)
    , m_party(party)
{
}

QString RecordIdDelegate::listStatementFor(const QString &partyText) const
{
    return m_statement.arg(SqlText::quoted(partyText));
}

long long RecordIdDelegate::idOf(const QString &itemText)
{
    return SqlText::codeOf(itemText);
}

QWidget *RecordIdDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &index) const
{
    if (m_partyColumn >= 0) {
        *m_party = index.sibling(index.row(), m_partyColumn).data(Qt::EditRole).toString();
    }
    QStringList texts;
    if (!readList(listStatementFor(*m_party), parent, &texts)) {
        return nullptr;
    }
    auto *box = new QComboBox(parent);
    box->addItems(texts);
    return box;
}

void RecordIdDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = static_cast<QComboBox *>(editor);
    const long long id = DecimalText::integerOf(index.data(Qt::EditRole).toString());
    int found = -1;
    if (id != 0) {
        const QString prefix = QString::number(id) + QLatin1Char('-');
        for (int i = 0; i < box->count(); ++i) {
            if (box->itemText(i).startsWith(prefix)) {
                found = i;
                break;
            }
        }
    }
    box->setCurrentIndex(found);
}

void RecordIdDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    const auto *box = static_cast<QComboBox *>(editor);
    // Nothing chosen: the cell keeps what it holds, bound or not.
    if (box->currentIndex() < 0) {
        return;
    }
    model->setData(index, idOf(box->currentText()), Qt::EditRole);
}

CashNo_CusDelegate::CashNo_CusDelegate(QObject *parent)
    : RecordIdDelegate(QStringLiteral("select cast(id as varchar)+'-'+summary+'-'+cast(income as varchar) "
                                      "from info where company='%1' order by id desc"),
                       &CustomerParty, parent)
{
}

CashNo_SupDelegate::CashNo_SupDelegate(QObject *parent)
    : RecordIdDelegate(QStringLiteral("select cast(id as varchar)+'-'+summary+'-'+cast(pay as varchar) "
                                      "from info where company='%1' order by id desc"),
                       &SupplierParty, parent)
{
}

namespace {

const QString invoiceListStatement = QStringLiteral(
    "select cast(id as varchar)+'-'+convert(varchar(10),date,20)+'-'+invoice_no+'-'+cast(money as varchar) "
    "from invoice where company='%1' order by id desc");

} // namespace

InvoiceNo_CusDelegate::InvoiceNo_CusDelegate(QObject *parent)
    : RecordIdDelegate(invoiceListStatement, &CustomerParty, parent)
{
}

InvoiceNo_SupDelegate::InvoiceNo_SupDelegate(QObject *parent)
    : RecordIdDelegate(invoiceListStatement, &SupplierParty, parent)
{
}

// PartyTexts ----------------------------------------------------------------

namespace PartyTexts {

void followCurrentRow(QAbstractItemView *view, int companyColumn, QString *party)
{
    QItemSelectionModel *selection = view->selectionModel();
    QAbstractItemModel *model = view->model();
    if (!selection || !model) {
        return;
    }
    const auto follow = [view, companyColumn, party]() {
        const QModelIndex current = view->currentIndex();
        if (current.isValid()) {
            *party = current.sibling(current.row(), companyColumn).data(Qt::EditRole).toString();
        }
    };
    QObject::connect(selection, &QItemSelectionModel::currentRowChanged, view, follow);
    QObject::connect(model, &QAbstractItemModel::dataChanged, view,
                     [view, companyColumn, follow](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                         const QModelIndex current = view->currentIndex();
                         if (current.isValid() && topLeft.row() <= current.row()
                             && current.row() <= bottomRight.row() && topLeft.column() <= companyColumn
                             && companyColumn <= bottomRight.column()) {
                             follow();
                         }
                     });
    follow();
}

} // namespace PartyTexts
