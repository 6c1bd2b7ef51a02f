#pragma once

#include "widgets/namelistform.h"

namespace Ui {
class employee;
}

// The employee list: code and name of the salesmen and accountants that
// customers name. Added and deleted at once, with the right "员工编辑".
class employee : public NameListForm
{
    Q_OBJECT

public:
    explicit employee(QWidget *parent = nullptr);
    ~employee() override;

private:
    Ui::employee *m_ui;
};
