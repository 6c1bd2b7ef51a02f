#include "admin/category_cash.h"
#include "ui_category_cash.h"

#include "app/permissioncheck.h"
#include "db/sqlbatch.h"
#include "db/sqltext.h"
#include "widgets/checklist.h"
#include "widgets/messages.h"

#include <QSqlError>
#include <QSqlQuery>

category_cash::category_cash(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::category_cash)
{
    m_ui->setupUi(this);
    CheckList::setUp(m_ui->tableWidget, QStringLiteral("资金分类"));
    loadCategories();
    setFixedSize(400, 300);
    setWindowTitle(QStringLiteral("资金分类"));
}

category_cash::~category_cash() = default;

bool category_cash::mayEdit()
{
    if (PermissionCheck(QStringLiteral("资产类别编辑"))) {
        return true;
    }
    Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
    return false;
}

void category_cash::loadCategories()
{
    CheckList::load(m_ui->tableWidget, QStringLiteral("select count(*) from category"),
                    QStringLiteral("select name from category"));
}

void category_cash::on_pushButton_clicked()
{
    if (!mayEdit()) {
        return;
    }
    const QString name = m_ui->lineEdit->text().trimmed();
    if (name.isEmpty()) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("内容不能为空！"));
        return;
    }

    QSqlQuery count;
    if (!count.exec(QStringLiteral("select count(*) from category where name='%1'")
                        .arg(SqlText::quoted(name)))) {
        Messages::databaseError(this, count.lastError().text());
        return;
    }
    if (count.next() && count.value(0).toInt() >= 1) {
        Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("用户名重复！"));
        return;
    }

    QSqlQuery insert;
    if (!insert.exec(QStringLiteral("insert into category (name) values ('%1')")
                         .arg(SqlText::quoted(name)))) {
        Messages::databaseError(this, insert.lastError().text());
        return;
    }
    loadCategories();
}

void category_cash::on_pushButton_2_clicked()
{
    if (!mayEdit()) {
        return;
    }
    const QStringList names = CheckList::tickedNames(m_ui->tableWidget);
    if (names.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("没有任何选择！"));
        return;
    }

    // Cash entries hold the category by name; deleting a name still in use
    // would leave them pointing at nothing. One such name stops the whole
    // deletion, so the user never ends up with half of the ticked list gone.
    for (const QString &name : names) {
        QSqlQuery used;
        if (!used.exec(QStringLiteral("select id from info where category='%1'")
                           .arg(SqlText::quoted(name)))) {
            Messages::databaseError(this, used.lastError().text());
            return;
        }
        if (used.next()) {
            Messages::warning(this, QStringLiteral("操作提示"),
                              QStringLiteral("[%1]类别已经使用，不能删除！").arg(name));
            return;
        }
    }

    QStringList statements;
    for (const QString &name : names) {
        statements << QStringLiteral("delete from category where name='%1'").arg(SqlText::quoted(name));
    }
    QString error;
    if (!SqlBatch::run(statements, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    loadCategories();
}
