#pragma once

#include "finance/ledgerform.h"

namespace Ui {
class receivable;
}

// Receivables: what customers owe, one row per customer, account kind and
// billing period, with discount, commission marks and the CSV import.
class receivable : public LedgerForm
{
    Q_OBJECT
public:
    explicit receivable(QWidget *parent = nullptr);
    ~receivable() override;

    static LedgerSetup setup();

private:
    Ui::receivable *m_ui;
};
