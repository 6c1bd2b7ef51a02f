#include "admin/user_edit.h"
#include "ui_user_edit.h"

#include "app/operationlog.h"
#include "app/passwordhash.h"
#include "app/permissioncheck.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/checklist.h"
#include "widgets/messages.h"

#include <QSqlQuery>

namespace {

bool isProtected(const QString &name)
{
    return name == QStringLiteral("manager") || name == QStringLiteral("test001");
}

} // namespace

bool user_edit::hasRight()
{
    // Accounts are the keys to everything else: only who may edit rights
    // may add or remove them.
    if (PermissionCheck(QStringLiteral("权限编辑"))) {
        return true;
    }
    Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
    return false;
}

user_edit::user_edit(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::user_edit)
{
    m_ui->setupUi(this);
    CheckList::setUp(m_ui->tableWidget, QStringLiteral("用户"));
    loadUsers();
    setFixedSize(400, 300);
    setWindowTitle(QStringLiteral("用户管理"));
    OperationLog(QStringLiteral("用户管理"));
}

user_edit::~user_edit() = default;

QString user_edit::defaultPassword()
{
    return QStringLiteral("123");
}

void user_edit::loadUsers()
{
    CheckList::load(m_ui->tableWidget, QStringLiteral("select count(*) from login"),
                    QStringLiteral("select name from login"));
}

void user_edit::on_pushButton_clicked()
{
    if (!hasRight()) {
        return;
    }
    const QString name = m_ui->lineEdit->text().trimmed();
    if (name.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("内容不能为空！"));
        return;
    }

    // A count that cannot be read counts as free: the insert below then
    // meets the same fault and reports it.
    QSqlQuery count;
    count.exec(QStringLiteral("select count(*) from login where name='%1'").arg(SqlText::quoted(name)));
    if (count.next() && count.value(0).toInt() >= 1) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("用户名重复！"));
        return;
    }

    // The permission editor lists the names of [user], so the new account gets
    // its row there at once, with no rights. A row left under this name by an
    // account deleted before [user] was cleaned up is replaced: a new user
    // never inherits someone else's rights.
    const QString quotedName = SqlText::quoted(name);
    const QStringList statements = {
        QStringLiteral("insert into login (name,password) values ('%1','%2')")
            .arg(quotedName, PasswordHash::make(defaultPassword())),
        QStringLiteral("delete from [user] where name='%1'").arg(quotedName),
        QStringLiteral("insert into [user] (name,power) values ('%1','')").arg(quotedName),
    };
    QString error;
    if (!Gateway::run(statements, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    loadUsers();
}

void user_edit::on_pushButton_2_clicked()
{
    if (!hasRight()) {
        return;
    }
    QTableWidget *table = m_ui->tableWidget;
    int ticked = 0;
    QList<int> doomedRows;   // bottom to top, so removing one keeps the others' indexes
    QStringList statements;
    QStringList kept;
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        if (!CheckList::isTicked(table, row)) {
            continue;
        }
        ++ticked;
        const QString name = CheckList::nameAt(table, row);
        if (isProtected(name)) {
            kept.prepend(name);
            continue;
        }
        doomedRows << row;
        // The rights go with the account, so that a later user of the same
        // name starts without them.
        statements << QStringLiteral("delete from login where name='%1'").arg(SqlText::quoted(name))
                   << QStringLiteral("delete from [user] where name='%1'").arg(SqlText::quoted(name));
    }

    if (ticked == 0) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("请先选择一项！"));
        return;
    }

    if (!statements.isEmpty()) {
        QString error;
        if (!Gateway::run(statements, &error)) {
            Messages::databaseError(this, error);
            return;
        }
        for (const int row : qAsConst(doomedRows)) {
            table->removeRow(row);
        }
    }
    // A ticked protected account stays, and the user is told so.
    if (!doomedRows.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("删除成功！"));
    }
    if (!kept.isEmpty()) {
        Messages::warning(this, QStringLiteral("操作提示"),
                          QStringLiteral("[%1]是受保护的用户，不能删除！")
                              .arg(kept.join(QStringLiteral("、"))));
    }
}
