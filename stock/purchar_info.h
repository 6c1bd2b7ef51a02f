#pragma once

#include "widgets/reportform.h"

#include <memory>

namespace Ui {
class purchar_info;
}

// Purchase detail: the purchase order lines of a period, filtered by
// supplier, goods, goods category and supplier category, with their total
// amount below the list. The purchase-side companion of the gross profit
// report.
class purchar_info : public ReportForm
{
    Q_OBJECT

public:
    explicit purchar_info(QWidget *parent = nullptr);
    ~purchar_info() override;

    // The purchase lines of the days from to to (inclusive, "yyyy-MM-dd"),
    // narrowed by the four filter clauses (each empty for no filter).
    static QString reportStatement(const QString &from, const QString &to,
                                   const QString &supplierClause, const QString &goodsClause,
                                   const QString &categoryClause,
                                   const QString &supplierCategoryClause);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    std::unique_ptr<Ui::purchar_info> m_ui;
};
