#include "bench/accountsdata.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <random>

namespace AccountsData {

namespace {

const QStringList Kinds = {QStringLiteral("货款"), QStringLiteral("投标保证金"),
                           QStringLiteral("履约保证金"), QStringLiteral("公司往来")};

// One prepared insert run for many rows.
class Inserter
{
public:
    explicit Inserter(const QString &sql) { m_ok = m_query.prepare(sql); }

    bool add(const QVariantList &values)
    {
        if (!m_ok) {
            return false;
        }
        for (int i = 0; i < values.size(); ++i) {
            m_query.bindValue(i, values.at(i));
        }
        m_ok = m_query.exec();
        return m_ok;
    }

    QString error() const { return m_query.lastError().text(); }

private:
    QSqlQuery m_query;
    bool m_ok = false;
};

QString money(long long cents)
{
    return QString::number(cents / 100.0, 'f', 2);
}

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

struct Side
{
    bool customers;
    int partners;
    int periods;
};

} // namespace

QString customerText(int code)
{
    return QStringLiteral("%1-客户%1").arg(code);
}

QString supplierText(int code)
{
    return QStringLiteral("%1-供应商%1").arg(code);
}

QString kindOfPeriod(int n)
{
    return n % 10 == 9 ? Kinds.at(1 + (n / 10) % 3) : Kinds.at(0);
}

int periodDays(int periodsPerPartner)
{
    const int days = FirstDay.daysTo(LastDay) + 1;
    return qMax(1, days / qMax(1, periodsPerPartner));
}

bool fill(const Size &size, QString *error)
{
    std::mt19937 random(20241231);
    auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };

    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    auto failWith = [&](const QString &text) {
        *error = text;
        db.rollback();
        return false;
    };

    Inserter customers(QStringLiteral("insert into customer (customer_id,customer_name,short_name,area,category,salesman1,commision1,invoice,cycle,cooperate) values (?,?,?,?,?,?,?,?,?,?)"));
    for (int code = 1; code <= size.customers; ++code) {
        const QString category = code % 50 == 0 ? QStringLiteral("配送客户") : QStringLiteral("零售客户");
        if (!customers.add({code, QStringLiteral("客户%1").arg(code), QStringLiteral("客%1").arg(code),
                            QStringLiteral("区域%1").arg(code % 10), category,
                            QStringLiteral("业务员%1").arg(code % 20), 1.5,
                            code % 2, 30, 1})) {
            return failWith(customers.error());
        }
    }
    Inserter suppliers(QStringLiteral("insert into supplier (supplier_id,supplier_name,short_name,category,cycle,cooperate) values (?,?,?,?,?,?)"));
    for (int code = 1; code <= size.suppliers; ++code) {
        if (!suppliers.add({code, QStringLiteral("供应商%1").arg(code), QStringLiteral("供%1").arg(code),
                            QStringLiteral("品类%1").arg(code % 10), 45, 1})) {
            return failWith(suppliers.error());
        }
    }

    Inserter invoices(QStringLiteral("insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values (?,?,?,?,?,?,?)"));
    Inserter cash(QStringLiteral("insert into info (date,company,summary,income,pay,category) values (?,?,?,?,?,?)"));
    Inserter receivables(QStringLiteral("insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,interest,remarks,date_commision,inout_category,operator,checker) values (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    Inserter payables(QStringLiteral("insert into payment (date_begin,date_end,company,money,invoice_id,info_id,interest,remarks,inout_category,operator,checker) values (?,?,?,?,?,?,?,?,?,?,?)"));

    // Ids are handed out in insert order from 1, as the tables start empty.
    int invoiceId = 0;
    int cashId = 0;
    const QDate today = LastDay;
    const QList<Side> sides = {
        {true, size.customers, qMax(1, size.receivables / qMax(1, size.customers))},
        {false, size.suppliers, qMax(1, size.payables / qMax(1, size.suppliers))},
    };
    for (const Side &side : sides) {
        const int length = periodDays(side.periods);
        const int rows = side.customers ? size.receivables : size.payables;
        for (int row = 0; row < rows; ++row) {
            const int partner = row % side.partners + 1;
            const int period = row / side.partners;
            const QDate begin = FirstDay.addDays(qint64(period) * length);
            const QDate end = begin.addDays(length - 1);
            const QString company = side.customers ? customerText(partner) : supplierText(partner);
            const long long cents = between(10000, 5000000);
            const QString kind = kindOfPeriod(period);
            const bool open = period >= side.periods - 2;
            int boundInvoice = 0;
            int boundCash = 0;
            if (!open) {
                if (!invoices.add({dayText(end), QStringLiteral("%1%2").arg(side.customers ? "FP" : "JX").arg(invoiceId + 1, 8, 10, QLatin1Char('0')),
                                   money(cents), company, side.customers ? QStringLiteral("销项") : QStringLiteral("进项"),
                                   QStringLiteral("test001"), QStringLiteral("manager")})) {
                    return failWith(invoices.error());
                }
                boundInvoice = ++invoiceId;
                const QDate paid = qMin(end.addDays(between(5, 70)), today);
                if (!cash.add({dayText(paid), company,
                               side.customers ? QStringLiteral("收货款") : QStringLiteral("付货款"),
                               money(side.customers ? cents : 0), money(side.customers ? 0 : cents),
                               side.customers ? QStringLiteral("销售回款") : QStringLiteral("采购付款")})) {
                    return failWith(cash.error());
                }
                boundCash = ++cashId;
            }
            const QString checker = end.daysTo(today) > 180 ? QStringLiteral("manager") : QString();
            bool ok;
            if (side.customers) {
                const QString commission = boundCash > 0 && end.daysTo(today) > 90
                    ? dayText(end.addDays(40)) : QStringLiteral("2001-01-01");
                ok = receivables.add({dayText(begin), dayText(end), company, money(cents), QStringLiteral("0"),
                                      boundInvoice, boundCash, QStringLiteral("0"), QString(), commission, kind,
                                      QStringLiteral("test001"), checker});
            } else {
                ok = payables.add({dayText(begin), dayText(end), company, money(cents), boundInvoice, boundCash,
                                   QStringLiteral("0"), QString(), kind, QStringLiteral("test001"), checker});
            }
            if (!ok) {
                return failWith(side.customers ? receivables.error() : payables.error());
            }
        }
    }

    // Receipts and payments that nothing is bound to yet.
    while (cashId < size.cashEntries) {
        const int partner = between(1, size.customers);
        const QDate day = FirstDay.addDays(between(0, FirstDay.daysTo(LastDay)));
        if (!cash.add({dayText(day), customerText(partner), QStringLiteral("预收款"),
                       money(between(10000, 500000)), QStringLiteral("0"), QStringLiteral("销售回款")})) {
            return failWith(cash.error());
        }
        ++cashId;
    }

    if (!db.commit()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery analyze;
    analyze.exec(QStringLiteral("analyze"));
    return true;
}

} // namespace AccountsData
