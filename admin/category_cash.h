#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class category_cash;
}

// Keeps the cash categories that the cash journal (table info) refers to by
// name. Changes need the right "资产类别编辑"; a category still named by a cash
// entry is not deleted.
class category_cash : public QMainWindow
{
    Q_OBJECT

public:
    explicit category_cash(QWidget *parent = nullptr);
    ~category_cash() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    bool mayEdit();
    void loadCategories();

    std::unique_ptr<Ui::category_cash> m_ui;
};
