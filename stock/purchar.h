#pragma once

#include "stock/orderform.h"

namespace Ui {
class purchar;
}

// Purchase orders: entry, lookup, correction and printing of the lines of
// table purchar, numbered "cgd" + date + "-" + supplier code + "-" + sequence.
class purchar : public OrderForm
{
    Q_OBJECT
public:
    explicit purchar(QWidget *parent = nullptr);
    ~purchar() override;

    // The texts and statements this form is built from.
    static OrderFormSetup setup();

private:
    Ui::purchar *m_ui;
};
