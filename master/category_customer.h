#pragma once

#include "widgets/namelistform.h"

namespace Ui {
class category_customer;
}

// The customer categories offered for customers. Added and deleted at once,
// with the right "客户类别编辑".
class category_customer : public NameListForm
{
    Q_OBJECT

public:
    explicit category_customer(QWidget *parent = nullptr);
    ~category_customer() override;

private:
    Ui::category_customer *m_ui;
};
