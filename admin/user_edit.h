#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class user_edit;
}

// Adds and deletes login accounts. The accounts "manager" and "test001" are
// never deleted, so a company always keeps an administrator and the demo login.
class user_edit : public QMainWindow
{
    Q_OBJECT

public:
    explicit user_edit(QWidget *parent = nullptr);
    ~user_edit() override;

    // Password of a newly added user, until the user changes it.
    static QString defaultPassword();

private:
    bool hasRight();

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    void loadUsers();

    std::unique_ptr<Ui::user_edit> m_ui;
};
