#pragma once

#include "widgets/namelistform.h"

namespace Ui {
class category_supplier;
}

// The supplier categories offered for suppliers. Added and deleted at once,
// with the right "供应商类别编辑".
class category_supplier : public NameListForm
{
    Q_OBJECT

public:
    explicit category_supplier(QWidget *parent = nullptr);
    ~category_supplier() override;

private:
    Ui::category_supplier *m_ui;
};
