#pragma once

#include "widgets/reportform.h"

#include <memory>

namespace Ui {
class erp;
}

// Goods statistics: per goods item the stock at the start of a period, what
// was bought, delivered and corrected during it, and the stock at its end.
// Stock is never stored; it is summed from the purchase, delivery and
// profit/loss lines.
class erp : public ReportForm
{
    Q_OBJECT

public:
    explicit erp(QWidget *parent = nullptr);
    ~erp() override;

    // The report of the days from to to (inclusive, "yyyy-MM-dd"), narrowed
    // by the category and goods clauses (empty for no filter).
    static QString reportStatement(const QString &from, const QString &to,
                                   const QString &categoryClause, const QString &goodsClause);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    std::unique_ptr<Ui::erp> m_ui;
};
