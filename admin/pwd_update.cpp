#include "admin/pwd_update.h"
#include "ui_pwd_update.h"

#include "app/loginstate.h"
#include "app/passwordhash.h"
#include "db/sqltext.h"
#include "widgets/messages.h"

#include <QSqlError>
#include <QSqlQuery>

pwd_update::pwd_update(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::pwd_update)
{
    m_ui->setupUi(this);
    m_ui->lineEdit->setEchoMode(QLineEdit::Password);
    m_ui->lineEdit_2->setEchoMode(QLineEdit::Password);
    m_ui->lineEdit_3->setEchoMode(QLineEdit::Password);
    setFixedSize(300, 180);
    setWindowTitle(QStringLiteral("修改密码"));
}

pwd_update::~pwd_update() = default;

void pwd_update::on_pushButton_clicked()
{
    const QString newPassword = m_ui->lineEdit_2->text().trimmed();
    const QString confirmation = m_ui->lineEdit_3->text().trimmed();
    if (newPassword.isEmpty() || confirmation.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("不能有内容为空！"));
        return;
    }
    if (newPassword != confirmation) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("两次密码输入不一致！"));
        return;
    }

    // The account is looked up by the name exactly as typed at login; the old
    // password is compared as typed too, since login compares stored
    // passwords exactly.
    const QString quotedUser = SqlText::quoted(LoginState::userName);
    // A read that fails is said as such, not as a wrong password; no row
    // means the old password is not confirmed.
    QSqlQuery stored;
    if (!stored.exec(QStringLiteral("select password from login where name='%1'").arg(quotedUser))) {
        Messages::databaseError(this, stored.lastError().text());
        return;
    }
    if (!stored.next() || !PasswordHash::matches(stored.value(0).toString(), m_ui->lineEdit->text())) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("旧密码错误！"));
        return;
    }

    // Stored as a salted hash; every workstation's login checks that.
    QSqlQuery update;
    if (!update.exec(QStringLiteral("update login set password='%1' where name='%2'")
                         .arg(PasswordHash::make(newPassword), quotedUser))) {
        Messages::databaseError(this, update.lastError().text());
        return;
    }
    Messages::information(this, QStringLiteral("成功提示"), QStringLiteral("修改密码成功！"));
}

void pwd_update::on_pushButton_2_clicked()
{
    close();
}
