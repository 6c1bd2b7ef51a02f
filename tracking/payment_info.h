#pragma once

#include "tracking/trackingform.h"

#include <memory>

namespace Ui {
class payment_info;
}

// Payable tracking: the supplier-side twin of receivable_info, with fewer
// filters and no receipt columns.
class payment_info : public TrackingForm
{
    Q_OBJECT

public:
    explicit payment_info(QWidget *parent = nullptr);
    ~payment_info() override;

private:
    std::unique_ptr<Ui::payment_info> m_ui;
};
