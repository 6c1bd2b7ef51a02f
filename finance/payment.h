#pragma once

#include "finance/ledgerform.h"

namespace Ui {
class payment;
}

// Payables: what the business owes, one row per company, account kind and
// billing period. Rows of the kind "公司往来" also come from the discounts
// of the receivables.
class payment : public LedgerForm
{
    Q_OBJECT
public:
    explicit payment(QWidget *parent = nullptr);
    ~payment() override;

    static LedgerSetup setup();

private:
    Ui::payment *m_ui;
};
