#include "app/shell/login.h"
#include "ui_login.h"

#include "app/connectdatabase.h"
#include "app/shell/iconresources.h"
#include "admin/user_edit.h"
#include "app/loginstate.h"
#include "app/passwordhash.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/messages.h"

#include <QEventLoop>
#include <QInputDialog>
#include <QPixmap>
#include <QTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyle>

namespace {

// The directory database is opened under its own name and stays open for
// the life of the process.
QString directoryName()
{
    return QStringLiteral("sqldb");
}

QString defaultConnectionName()
{
    return QString::fromLatin1(QSqlDatabase::defaultConnection);
}

// What the engine's text says about a company database that cannot be used:
// a damaged or empty file and a full disk are told apart from a database
// that cannot be opened at all.
QString openFailureText(const QString &databaseName, const QString &engineText)
{
    const QString text = engineText.trimmed();
    const QString lower = text.toLower();
    if (lower.contains(QLatin1String("malformed")) || lower.contains(QLatin1String("not a database"))
        || lower.contains(QLatin1String("corrupt")) || lower.contains(QLatin1String("no such table"))) {
        return QStringLiteral("数据库文件已损坏“%1”：%2").arg(databaseName, text);
    }
    if (lower.contains(QLatin1String("disk is full")) || lower.contains(QLatin1String("disk full"))
        || lower.contains(QLatin1String("no space left")) || lower.contains(QLatin1String("file too large"))) {
        return QStringLiteral("磁盘已满，无法打开数据库“%1”：%2").arg(databaseName, text);
    }
    // A folder that may not be written stops even a read of the company.
    if (lower.contains(QLatin1String("readonly")) || lower.contains(QLatin1String("read-only"))) {
        return QStringLiteral("数据库文件或其文件夹只读，无法打开数据库“%1”：%2").arg(databaseName, text);
    }
    if (lower.contains(QLatin1String("permission denied"))) {
        return QStringLiteral("没有权限访问数据库文件或其文件夹，无法打开数据库“%1”：%2").arg(databaseName, text);
    }
    return QStringLiteral("无法打开数据库“%1”：%2").arg(databaseName, text);
}

QString askNewPassword(QWidget *parent)
{
    bool ok = false;
    const QString first = QInputDialog::getText(parent, QStringLiteral("修改初始密码"),
                                                QStringLiteral("新密码："), QLineEdit::Password,
                                                QString(), &ok);
    if (!ok) {
        return QString();
    }
    const QString second = QInputDialog::getText(parent, QStringLiteral("修改初始密码"),
                                                 QStringLiteral("确认新密码："), QLineEdit::Password,
                                                 QString(), &ok);
    if (!ok) {
        return QString();
    }
    if (first != second) {
        Messages::warning(parent, QStringLiteral("输入提示"), QStringLiteral("两次密码输入不一致！"));
        return QString();
    }
    return first;
}

void waitAWhile(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

login::NewPasswordAsker &newPasswordAsker()
{
    static login::NewPasswordAsker asker;
    return asker;
}

login::Waiter &waiter()
{
    static login::Waiter wait;
    return wait;
}

} // namespace

void login::setNewPasswordAsker(const NewPasswordAsker &asker)
{
    newPasswordAsker() = asker;
}

void login::setWaiter(const Waiter &wait)
{
    waiter() = wait;
}

login::login(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::login)
{
    initIconResources();
    m_ui->setupUi(this);

    const QPixmap banner(QStringLiteral(":/icon/bb.png"));
    m_ui->label->setPixmap(banner.scaled(m_ui->label->geometry().size(), Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation));
    m_ui->label->setScaledContents(true);

    m_ui->frame->setStyleSheet(QStringLiteral("border:None"));
    m_ui->pushButton->setStyleSheet(QStringLiteral("border:1px solid gray"));
    m_ui->pushButton_2->setStyleSheet(QStringLiteral("border:1px solid gray"));
    setWindowTitle(QStringLiteral("用户登录"));
    m_ui->pushButton_2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->pushButton->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));

    loadCompanies();
    dropCompanyConnection();

    m_ui->lineEdit->setFocus();
    m_ui->lineEdit_2->setEchoMode(QLineEdit::Password);
    m_ui->comboBox->setStyleSheet(QStringLiteral("QComboBox QAbstractItemView{selection-color:blue;}"));

    LoginState::databaseName = companyDatabases.value(m_ui->comboBox->currentText());
    // A demo company opens ready to try: its demo login is filled in. This
    // happens only for the company preselected at start, never on a change.
    if (m_ui->comboBox->currentText().contains(QStringLiteral("试用"))) {
        m_ui->lineEdit->setText(QStringLiteral("test001"));
        m_ui->lineEdit_2->setText(QStringLiteral("305716"));
    }
}

login::~login() = default;

void login::loadCompanies()
{
    LoginState::databaseName = directoryName();
    connectDatabase(LoginState::databaseName);
    if (!directoryIsOpen()) {
        return;
    }

    // Adding the items fires currentTextChanged; the map is filled first so
    // that the handler finds every name.
    m_companyModel.setQuery(QStringLiteral("select name,db_name from erpdb"),
                            QSqlDatabase::database(directoryName(), false));
    if (!Gateway::fetchAll(&m_companyModel, &m_directoryError)) {
        // An empty list would only lead to a company without a name.
        showOpenError(directoryName(), m_directoryError);
        return;
    }
    QStringList names;
    for (int row = 0; row < m_companyModel.rowCount(); ++row) {
        const QString name = m_companyModel.data(m_companyModel.index(row, 0)).toString();
        companyDatabases.insert(name, m_companyModel.data(m_companyModel.index(row, 1)).toString());
        names << name;
    }
    m_ui->comboBox->addItems(names);
}

bool login::directoryIsOpen()
{
    const QSqlDatabase directory =
        QSqlDatabase::database(directoryName(), false);
    if (directory.isOpen() && m_directoryError.isEmpty()) {
        return true;
    }
    showOpenError(directoryName(), directory.isOpen() ? m_directoryError : directory.lastError().text());
    return false;
}

bool login::companyIsOpen()
{
    const QSqlDatabase company = QSqlDatabase::database(defaultConnectionName(), false);
    if (company.isOpen()) {
        return true;
    }
    showOpenError(LoginState::databaseName, company.lastError().text());
    return false;
}

// An unreachable server or a missing database is not a wrong user name:
// the user is told which database failed and why, so that the fault can be
// taken to whoever runs the server.
void login::showOpenError(const QString &databaseName, const QString &engineText)
{
    // A server session refused for its settings has no driver text: the
    // refusal says why.
    const QString refusal = connectDatabaseRefusal();
    Messages::warning(this, QStringLiteral("错误提示"),
                      openFailureText(databaseName, refusal.isEmpty() ? engineText : refusal));
}

// Without a default connection the next attempt, perhaps for another company,
// builds a fresh one: connectDatabase does nothing while it exists.
void login::dropCompanyConnection()
{
    if (!QSqlDatabase::contains(defaultConnectionName())) {
        return;
    }
    {
        QSqlDatabase company = QSqlDatabase::database(defaultConnectionName(), false);
        company.close();
    }
    QSqlDatabase::removeDatabase(defaultConnectionName());
}

bool login::readRights(const QString &userName, QString *rights, QString *error)
{
    QStringList texts;
    if (!Gateway::readTexts(QStringLiteral("select power from [user] where name='%1'").arg(SqlText::quoted(userName)),
                            &texts, error)) {
        return false;
    }
    *rights = texts.value(0);
    return true;
}

void login::on_pushButton_clicked()
{
    const QString userName = m_ui->lineEdit->text().trimmed();
    const QString password = m_ui->lineEdit_2->text().trimmed();
    if (userName.isEmpty() || password.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("不能有为空内容！"));
        return;
    }
    if (!directoryIsOpen()) {
        return;
    }

    connectDatabase(LoginState::databaseName);
    if (!companyIsOpen()) {
        dropCompanyConnection();
        return;
    }

    // Guessing is slowed down: after three wrong tries each further one
    // waits a few seconds first.
    if (m_failures >= FailuresBeforeWait) {
        if (waiter()) {
            waiter()(WaitMilliseconds);
        } else {
            waitAWhile(WaitMilliseconds);
        }
    }

    // A database that cannot be read is not a missing user: the cause is
    // told as the engine gives it.
    Gateway::Rows rows;
    QString error;
    if (!Gateway::read(QStringLiteral("select name,password from login where name='%1'")
                           .arg(SqlText::quoted(userName)),
                       &rows, &error)) {
        showOpenError(LoginState::databaseName, error);
        dropCompanyConnection();
        return;
    }
    if (rows.isEmpty()) {
        ++m_failures;
        refuse(QStringLiteral("无此用户！"));
        return;
    }
    const QString storedName = rows.first().value(0).toString();
    const QString stored = rows.first().value(1).toString();
    if (!PasswordHash::matches(stored, password)) {
        ++m_failures;
        refuse(QStringLiteral("密码错误"));
        return;
    }
    m_failures = 0;

    if (password == user_edit::defaultPassword()) {
        if (!replaceInitialPassword(storedName)) {
            dropCompanyConnection();
            return;
        }
    } else if (!PasswordHash::isHash(stored)) {
        // A password still stored as typed is replaced by its hash; should
        // that fail, it keeps working as it is and is tried again next time.
        QString ignored;
        Gateway::exec(QStringLiteral("update login set password='%1' where name='%2' and password='%3'")
                          .arg(PasswordHash::make(password), SqlText::quoted(storedName),
                               SqlText::quoted(stored)),
                      &ignored);
    }

    // Rights that cannot be read are said, not taken for none.
    QString rights;
    if (!readRights(storedName, &rights, &error)) {
        Messages::databaseError(this, error);
        dropCompanyConnection();
        return;
    }
    LoginState::companyName = m_ui->comboBox->currentText();
    // The name as stored: the log and the author columns, and every
    // statement that looks the user up, use that one.
    LoginState::userName = storedName;
    LoginState::rights = rights;
    accept();
}

void login::refuse(const QString &text)
{
    Messages::warning(this, QStringLiteral("错误提示"), text);
    dropCompanyConnection();
}

bool login::replaceInitialPassword(const QString &storedName)
{
    Messages::information(this, QStringLiteral("密码提示"),
                          QStringLiteral("您的密码仍是初始密码，请先修改密码！"));
    const QString newPassword = newPasswordAsker() ? newPasswordAsker()(this) : askNewPassword(this);
    if (newPassword.trimmed().isEmpty() || newPassword.trimmed() == user_edit::defaultPassword()) {
        Messages::warning(this, QStringLiteral("密码提示"),
                          QStringLiteral("未修改初始密码，不能登录！"));
        return false;
    }
    QString error;
    if (!Gateway::exec(QStringLiteral("update login set password='%1' where name='%2'")
                           .arg(PasswordHash::make(newPassword.trimmed()), SqlText::quoted(storedName)),
                       &error)) {
        Messages::databaseError(this, error);
        return false;
    }
    return true;
}

void login::on_pushButton_2_clicked()
{
    close();
}

void login::on_lineEdit_returnPressed()
{
    if (!m_ui->lineEdit->text().trimmed().isEmpty()) {
        m_ui->lineEdit_2->setFocus();
    }
}

void login::on_lineEdit_2_returnPressed()
{
    if (m_ui->lineEdit_2->text().trimmed().isEmpty()) {
        m_ui->lineEdit->setFocus();
        return;
    }
    on_pushButton_clicked();
}

void login::on_comboBox_currentTextChanged(const QString &arg1)
{
    LoginState::databaseName = companyDatabases.value(arg1);
}
