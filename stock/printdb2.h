#pragma once

#include "stock/orderprintform.h"

namespace Ui {
class printdb2;
}

// The printed purchase order ("采购清单").
class printdb2 : public OrderPrintForm
{
    Q_OBJECT
public:
    explicit printdb2(QWidget *parent = nullptr);
    ~printdb2() override;

    // The texts and statements this form is built from.
    static OrderPrintTexts texts();

private:
    Ui::printdb2 *m_ui;
};
