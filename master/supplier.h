#pragma once

#include "widgets/mastertableform.h"

namespace Ui {
class supplier;
}

// The supplier master table: code, name, short name and the category of goods
// supplied. The finance columns of a supplier belong to the finance forms.
class supplier : public MasterTableForm
{
    Q_OBJECT

public:
    explicit supplier(QWidget *parent = nullptr);
    ~supplier() override;

private:
    Ui::supplier *m_ui;
};
