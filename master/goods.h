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
    // The stock of the goods item on the cursor's row, in the status bar.
    void showStock();

    Ui::goods *m_ui;
};
