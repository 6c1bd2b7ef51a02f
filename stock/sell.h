#pragma once

#include "stock/orderform.h"

namespace Ui {
class sell;
}

// Delivery notes: the purchase order form turned towards customers, on table
// sell, numbered "shd" + date + "-" + customer code + "-" + sequence.
class sell : public OrderForm
{
    Q_OBJECT
public:
    explicit sell(QWidget *parent = nullptr);
    ~sell() override;

    // The texts and statements this form is built from.
    static OrderFormSetup setup();

private:
    Ui::sell *m_ui;
};
