#pragma once

#include "widgets/mastertableform.h"

namespace Ui {
class goods;
}

// The goods master table (food_info): code, name, unit, the two prices and
// the category of every goods item.
class goods : public MasterTableForm
{
    Q_OBJECT

public:
    explicit goods(QWidget *parent = nullptr);
    ~goods() override;

private:
    Ui::goods *m_ui;
};
