#include "app/shell/formcatalog.h"

#include "admin/category_cash.h"
#include "admin/power_edit.h"
#include "admin/pwd_update.h"
#include "admin/rizhi.h"
#include "admin/user_edit.h"
#include "finance/cashbook.h"
#include "finance/commision.h"
#include "finance/invoice.h"
#include "finance/payment.h"
#include "finance/receivable.h"
#include "master/category_customer.h"
#include "master/category_supplier.h"
#include "master/customer.h"
#include "master/employee.h"
#include "master/goods.h"
#include "master/supplier.h"
#include "stock/erp.h"
#include "stock/inventory.h"
#include "stock/profit.h"
#include "stock/purchar.h"
#include "stock/purchar_info.h"
#include "stock/sell.h"
#include "tracking/payment_info.h"
#include "tracking/receivable_info.h"

#include <QHash>

namespace {

template <class Form>
QWidget *create(QWidget *parent)
{
    return new Form(parent);
}

QHash<QString, FormCatalog::Factory> &forms()
{
    // One line per form; an entry of the main window whose form is missing
    // here stays disabled.
    static QHash<QString, FormCatalog::Factory> table = {
        {QStringLiteral("user_edit"), &create<user_edit>},
        {QStringLiteral("pwd_update"), &create<pwd_update>},
        {QStringLiteral("power_edit"), &create<power_edit>},
        {QStringLiteral("rizhi"), &create<rizhi>},
        {QStringLiteral("category_cash"), &create<category_cash>},
        {QStringLiteral("goods"), &create<goods>},
        {QStringLiteral("customer"), &create<customer>},
        {QStringLiteral("supplier"), &create<supplier>},
        {QStringLiteral("employee"), &create<employee>},
        {QStringLiteral("category_supplier"), &create<category_supplier>},
        {QStringLiteral("category_customer"), &create<category_customer>},
        {QStringLiteral("purchar"), &create<purchar>},
        {QStringLiteral("sell"), &create<sell>},
        {QStringLiteral("inventory"), &create<inventory>},
        {QStringLiteral("erp"), &create<erp>},
        {QStringLiteral("profit"), &create<profit>},
        {QStringLiteral("purchar_info"), &create<purchar_info>},
        {QStringLiteral("commision"), &create<commision>},
        {QStringLiteral("receivable_info"), &create<receivable_info>},
        {QStringLiteral("payment_info"), &create<payment_info>},
        {QStringLiteral("invoice"), &create<invoice>},
        {QStringLiteral("cashbook"), &create<cashbook>},
        {QStringLiteral("receivable"), &create<receivable>},
        {QStringLiteral("payment"), &create<payment>},
    };
    return table;
}

} // namespace

namespace FormCatalog {

Factory factory(const QString &formClass)
{
    return forms().value(formClass);
}

bool contains(const QString &formClass)
{
    return static_cast<bool>(factory(formClass));
}

QStringList names()
{
    QStringList list = forms().keys();
    list.sort();
    return list;
}

void replace(const QString &formClass, const Factory &factory)
{
    if (factory) {
        forms().insert(formClass, factory);
    } else {
        forms().remove(formClass);
    }
}

} // namespace FormCatalog
