#include "finance/partylist.h"

#include "widgets/picklist.h"

namespace PartyList {

QString supplierStatement()
{
    return QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name from supplier order by supplier_id");
}

QString customerStatement()
{
    return QStringLiteral("select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id");
}

bool fill(QComboBox *box, const QString &statement)
{
    return PickList::fillSearchable(box, statement);
}

} // namespace PartyList
