#include "app/shell/login.h"
#include "ui_login.h"

#include "app/connectdatabase.h"
#include "app/shell/iconresources.h"
#include "app/loginstate.h"
#include "db/sqltext.h"
#include "widgets/messages.h"

#include <QPixmap>
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

} // namespace

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
    while (m_companyModel.canFetchMore()) {
        m_companyModel.fetchMore();
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
    if (directory.isOpen()) {
        return true;
    }
    showOpenError(directoryName(), directory.lastError().text());
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
    Messages::warning(this, QStringLiteral("错误提示"),
                      QStringLiteral("无法打开数据库“%1”：%2").arg(databaseName, engineText.trimmed()));
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

// The rights are those the permission editor stores for the user; a user
// without a row in [user] holds none.
QString login::rightsOf(const QString &userName)
{
    QSqlQuery query;
    query.exec(QStringLiteral("select power from [user] where name='%1'").arg(SqlText::quoted(userName)));
    return query.next() ? query.value(0).toString() : QString();
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

    bool found = false;
    QString stored;
    {
        QSqlQuery query;
        query.exec(QStringLiteral("select password from login where name='%1'")
                       .arg(SqlText::quoted(userName)));
        found = query.next();
        if (found) {
            stored = query.value(0).toString();
        }
    }
    if (!found) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("无此用户！"));
        dropCompanyConnection();
        return;
    }
    if (stored != password) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("密码错误"));
        dropCompanyConnection();
        return;
    }

    LoginState::companyName = m_ui->comboBox->currentText();
    // Stored as typed: the log and the author columns show the name the user
    // entered, blanks included.
    LoginState::userName = m_ui->lineEdit->text();
    LoginState::rights = rightsOf(userName);
    accept();
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
