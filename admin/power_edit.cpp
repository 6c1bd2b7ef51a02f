#include "admin/power_edit.h"
#include "db/gateway.h"
#include "ui_power_edit.h"

#include "app/permissioncheck.h"
#include "db/sqltext.h"
#include "widgets/checklist.h"
#include "widgets/messages.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

QString noUserChosen()
{
    return QStringLiteral("--请选择--");
}

} // namespace

power_edit::power_edit(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::power_edit)
{
    m_ui->setupUi(this);
    CheckList::setUp(m_ui->tableWidget, QStringLiteral("权限"));
    CheckList::load(m_ui->tableWidget, QStringLiteral("select count(*) from power"),
                    QStringLiteral("select name from power"));

    m_ui->comboBox->addItem(noUserChosen());
    QStringList users;
    QString error;
    if (!Gateway::readTexts(QStringLiteral("select name from [user]"), &users, &error)) {
        Messages::databaseError(this, error);
    }
    m_ui->comboBox->addItems(users);

    setFixedSize(400, 300);
    setWindowTitle(QStringLiteral("权限设置"));
    m_ui->comboBox->setStyleSheet(QStringLiteral("QComboBox QAbstractItemView{selection-color:blue;}"));
}

power_edit::~power_edit() = default;

void power_edit::on_comboBox_currentTextChanged(const QString &arg1)
{
    // No row (also for "--请选择--") reads as no rights, which clears the boxes.
    QString rightList;
    QSqlQuery query;
    if (query.exec(QStringLiteral("select power from [user] where name='%1'")
                       .arg(SqlText::quoted(arg1)))
        && query.next()) {
        rightList = query.value(0).toString();
    }

    // Matched exactly as the permission check matches them, so a box is ticked
    // only for a right that the user really holds.
    const QStringList rights = rightList.split(QLatin1Char(','), Qt::KeepEmptyParts);
    QTableWidget *table = m_ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        CheckList::setTicked(table, row, rights.contains(CheckList::nameAt(table, row)));
    }
}

void power_edit::on_pushButton_clicked()
{
    if (!PermissionCheck(QStringLiteral("权限编辑"))) {
        Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
        return;
    }
    const QString user = m_ui->comboBox->currentText();
    if (user == noUserChosen()) {
        Messages::warning(this, QStringLiteral("操作提示"), QStringLiteral("先选择一位用户！"));
        return;
    }

    // Rights are stored in the order of table power, joined by "," with no
    // blanks: the form the permission check splits.
    const QString rightList = CheckList::tickedNames(m_ui->tableWidget).join(QLatin1Char(','));
    QSqlQuery update;
    if (!update.exec(QStringLiteral("update [user] set power='%1' where name='%2'")
                         .arg(SqlText::quoted(rightList), SqlText::quoted(user)))) {
        Messages::databaseError(this, update.lastError().text());
        return;
    }
    Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("保存成功！"));
}

void power_edit::on_tableWidget_cellChanged(int row, int column)
{
    // Ticking a box only prepares the list; nothing is stored before "确定".
    Q_UNUSED(row)
    Q_UNUSED(column)
}
