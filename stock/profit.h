#pragma once

#include "widgets/reportform.h"

#include <memory>

namespace Ui {
class profit;
}

// Gross profit: the delivery lines of a period with their sales price and
// their cost price, and below them income, cost, gross profit and margin.
class profit : public ReportForm
{
    Q_OBJECT

public:
    explicit profit(QWidget *parent = nullptr);
    ~profit() override;

    // The delivery lines of the days from to to (inclusive, "yyyy-MM-dd"),
    // narrowed by the four filter clauses (each empty for no filter).
    static QString reportStatement(const QString &from, const QString &to,
                                   const QString &customerClause, const QString &goodsClause,
                                   const QString &categoryClause, const QString &areaClause);
    // The same rows by the statement that groups every purchase ever entered
    // for the cost prices; reportStatement must give exactly its rows.
    static QString unrestrictedStatement(const QString &from, const QString &to,
                                         const QString &customerClause, const QString &goodsClause,
                                         const QString &categoryClause, const QString &areaClause);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    // The totals line under the list. Without income there is no margin to
    // speak of; it reads 0.00 rather than a division by zero.
    static QString totalsText(double income, double cost);

    std::unique_ptr<Ui::profit> m_ui;
};
