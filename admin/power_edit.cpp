#include "admin/power_edit.h"
#include "db/gateway.h"
#include "ui_power_edit.h"

#include "app/permissioncheck.h"
#include "db/sqltext.h"
#include "widgets/checklist.h"
#include "widgets/guardedsave.h"
#include "widgets/messages.h"

#include <QTableWidget>

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
    m_loadedRights = QVariant();
    Gateway::Rows rows;
    QString error;
    if (!Gateway::read(QStringLiteral("select power from [user] where name='%1'").arg(SqlText::quoted(arg1)),
                       &rows, &error)) {
        Messages::databaseError(this, error);
    } else if (!rows.isEmpty()) {
        m_loadedRights = rows.first().value(0);
    }
    const QString rightList = m_loadedRights.toString();

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

    // Another workstation may have changed this user's rights since they
    // were shown: the update applies only to the list this screen read, and
    // one that touches no row keeps nothing and the ticks stay as they are.
    QList<int> stale;
    QString error;
    GuardedSave::Outcome outcome = GuardedSave::Outcome::Stale;
    if (m_loadedRights.isValid()) {
        const QString update = QStringLiteral("update [user] set power='%1' where name='%2'")
                                   .arg(SqlText::quoted(rightList), SqlText::quoted(user))
            + GuardedSave::unchangedText(QStringLiteral("power"), m_loadedRights) + QLatin1Char(';');
        outcome = GuardedSave::run({{update, 0}}, &stale, &error);
    }
    if (outcome == GuardedSave::Outcome::Stale) {
        stale = rowsChangedElsewhere(user);
    }
    if (!GuardedSave::told(this, outcome, stale, error)) {
        return;
    }
    m_loadedRights = rightList;
    Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("保存成功！"));
}

// The rights whose tick the stored list now gives otherwise than the list
// this screen read (a deleted user holds none); every right when none does,
// as when the list was only rewritten in another order.
QList<int> power_edit::rowsChangedElsewhere(const QString &user) const
{
    Gateway::Rows rows;
    QString ignored;
    Gateway::read(QStringLiteral("select power from [user] where name='%1'").arg(SqlText::quoted(user)),
                  &rows, &ignored);
    const QStringList now = rows.isEmpty() ? QStringList() : rows.first().value(0).toString().split(QLatin1Char(','));
    const QStringList then = m_loadedRights.toString().split(QLatin1Char(','));
    const QTableWidget *table = m_ui->tableWidget;
    QList<int> changed;
    QList<int> all;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString right = CheckList::nameAt(table, row);
        if (now.contains(right) != then.contains(right)) {
            changed << row;
        }
        all << row;
    }
    return changed.isEmpty() ? all : changed;
}

void power_edit::on_tableWidget_cellChanged(int row, int column)
{
    // Ticking a box only prepares the list; nothing is stored before "确定".
    Q_UNUSED(row)
    Q_UNUSED(column)
}
