#pragma once

#include "widgets/mastertableform.h"

namespace Ui {
class customer;
}

// The customer master table: code, name, short name and sales area. The
// finance columns of a customer belong to the finance forms.
class customer : public MasterTableForm
{
    Q_OBJECT

public:
    explicit customer(QWidget *parent = nullptr);
    ~customer() override;

private:
    Ui::customer *m_ui;
};
