#pragma once

#include "widgets/namelistform.h"

#include <memory>

namespace Ui {
class category_cash;
}

// Keeps the cash categories that the cash journal (table info) refers to by
// name. Changes need the right "资产类别编辑"; a category still named by a cash
// entry is not deleted.
class category_cash : public NameListForm
{
    Q_OBJECT

public:
    explicit category_cash(QWidget *parent = nullptr);
    ~category_cash() override;

private:
    std::unique_ptr<Ui::category_cash> m_ui;
};
