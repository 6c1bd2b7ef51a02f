#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class rizhi;
}

// Shows the operation log (which user opened which form, when, from where)
// for a chosen time span.
class rizhi : public QMainWindow
{
    Q_OBJECT

public:
    explicit rizhi(QWidget *parent = nullptr);
    ~rizhi() override;

private slots:
    void on_pushButton_clicked();

private:
    std::unique_ptr<Ui::rizhi> m_ui;
};
