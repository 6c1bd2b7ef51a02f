#pragma once

#include "tracking/trackingform.h"

#include <memory>

namespace Ui {
class receivable_info;
}

// Receivable tracking: per customer, what is outstanding of one kind, for
// how long, whether within the collection cycle, and the last receipt.
class receivable_info : public TrackingForm
{
    Q_OBJECT

public:
    explicit receivable_info(QWidget *parent = nullptr);
    ~receivable_info() override;

private:
    std::unique_ptr<Ui::receivable_info> m_ui;
};
