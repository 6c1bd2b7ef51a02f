#pragma once

#include "stock/orderprintform.h"

namespace Ui {
class printdb1;
}

// The printed delivery note ("送货清单").
class printdb1 : public OrderPrintForm
{
    Q_OBJECT
public:
    explicit printdb1(QWidget *parent = nullptr);
    ~printdb1() override;

    // The texts and statements this form is built from.
    static OrderPrintTexts texts();

private:
    Ui::printdb1 *m_ui;
};
