#pragma once

#include <QDate>
#include <QString>

// The accounts side of a company of realistic size, for the benchmark cases
// of the receivable, payable and tracking forms: customers and suppliers,
// billing periods of every account kind over three years, most of them
// bound to an invoice and to the cash entry that settled them, and a few
// cash entries nothing is bound to yet.
//
// Customer c has one period per PeriodDays, back to back from FirstDay, so
// periods of a partner never overlap; supplier s likewise. Every tenth
// period is of another kind than "货款" (tender deposits, performance bonds,
// current accounts in turn). The last two periods of every partner are open:
// no invoice, no cash entry.
namespace AccountsData {

struct Size
{
    int customers = 5000;
    int suppliers = 2000;
    int receivables = 200000;
    int payables = 100000;
    int cashEntries = 300000; // at least one per bound period; the rest unbound
};

const QDate FirstDay(2022, 1, 1);
const QDate LastDay(2024, 12, 31);

// The code-and-name text a finance row holds for a partner.
QString customerText(int code);
QString supplierText(int code);

// The kind of the n-th period of a partner ("货款", "投标保证金", …).
QString kindOfPeriod(int n);

// Days one period of a partner lasts, so that its periods fill the three
// years.
int periodDays(int periodsPerPartner);

// Fills the empty company on the default connection in one transaction and
// runs analyze. False, with the database's text in *error, on a failure.
bool fill(const Size &size, QString *error);

} // namespace AccountsData
