#pragma once

#include <QDialog>
#include <QMap>
#include <QSqlQueryModel>
#include <QString>

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
    static QString rightsOf(const QString &userName);

    std::unique_ptr<Ui::login> m_ui;
    QSqlQueryModel m_companyModel;
    // Company display name -> database name, in the order of the directory.
    QMap<QString, QString> companyDatabases;
};
