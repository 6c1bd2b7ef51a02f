#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class pwd_update;
}

// Lets the logged-in user change the own password in table login.
class pwd_update : public QMainWindow
{
    Q_OBJECT

public:
    explicit pwd_update(QWidget *parent = nullptr);
    ~pwd_update() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    std::unique_ptr<Ui::pwd_update> m_ui;
};
