#include "finance/partylist.h"

#include "widgets/celldelegates.h"

#include <QComboBox>
#include <QCompleter>

namespace PartyList {

QString supplierStatement()
{
    return QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name from supplier order by supplier_id");
}

QString customerStatement()
{
    return QStringLiteral("select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id");
}

bool fill(QComboBox *box, const QString &statement, QWidget *messageParent)
{
    QStringList texts;
    const bool read = PickListDelegate::readList(statement, messageParent, &texts);
    box->setEditable(true);
    // A typed text is a choice for this entry, not a new entry of the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->clear();
    box->addItem(QString());
    box->addItems(texts);
    auto *completer = new QCompleter(texts, box);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(completer);
    return read;
}

} // namespace PartyList
