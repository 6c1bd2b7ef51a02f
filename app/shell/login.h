#pragma once

#include <QDialog>
#include <QMap>
#include <QSqlQueryModel>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class login;
}

// The login: lists the companies of the directory database, lets the user
// pick one, opens its database as the default connection and checks the
// password. An accepted dialog leaves LoginState filled and the default
// connection open on the chosen company.
class login : public QDialog
{
    Q_OBJECT

public:
    explicit login(QWidget *parent = nullptr);
    ~login() override;

    // Asks a user still on the initial password for a new one: the new
    // password, or empty when the user gave none. Tests answer it.
    using NewPasswordAsker = std::function<QString(QWidget *parent)>;
    static void setNewPasswordAsker(const NewPasswordAsker &asker);
    // Waits before a try that follows three wrong ones; tests skip the wait.
    using Waiter = std::function<void(int milliseconds)>;
    static void setWaiter(const Waiter &waiter);
    static constexpr int FailuresBeforeWait = 3;
    static constexpr int WaitMilliseconds = 3000;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_lineEdit_returnPressed();
    void on_lineEdit_2_returnPressed();
    void on_comboBox_currentTextChanged(const QString &arg1);

private:
    void loadCompanies();
    bool directoryIsOpen();
    bool companyIsOpen();
    void showOpenError(const QString &databaseName, const QString &engineText);
    static void dropCompanyConnection();
    // The rights the permission editor stores for the user; a user without
    // a row in [user] holds none. False with the engine's text in *error.
    static bool readRights(const QString &userName, QString *rights, QString *error);
    // Stores a new password for a user still on the initial one; false when
    // the user gave none or it could not be stored.
    bool replaceInitialPassword(const QString &storedName);
    void refuse(const QString &text);

    std::unique_ptr<Ui::login> m_ui;
    QSqlQueryModel m_companyModel;
    // Company display name -> database name, in the order of the directory.
    QMap<QString, QString> companyDatabases;
    QString m_directoryError; // why the company list could not be read
    int m_failures = 0;   // wrong user names or passwords in a row
};
