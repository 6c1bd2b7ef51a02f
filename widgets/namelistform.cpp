#include "widgets/namelistform.h"

#include "app/permissioncheck.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/sqltemplate.h"
#include "widgets/checklist.h"
#include "widgets/guardedsave.h"
#include "widgets/messages.h"
#include "widgets/tablecells.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTableWidgetItem>

NameListForm::NameListForm(QWidget *parent)
    : QMainWindow(parent)
{
    // A window of its own, even with the main window as its parent.
    setWindowFlags(windowFlags() | Qt::Window);
}

void NameListForm::start(const Definition &definition, const Controls &controls)
{
    m_definition = definition;
    m_controls = controls;

    QTableWidget *table = m_controls.table;
    QStringList headers{QStringLiteral("选择")};
    for (const Column &column : qAsConst(m_definition.columns)) {
        headers << column.header;
    }
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setMinimumHeight(30);
    // The tick column is narrower than the style's smallest section.
    table->horizontalHeader()->setMinimumSectionSize(20);
    table->setColumnWidth(CheckList::TickColumn, 30);
    for (int c = 0; c < m_definition.columns.size(); ++c) {
        table->setColumnWidth(c + 1, m_definition.columns.at(c).width);
    }
    load();
}

void NameListForm::load()
{
    QTableWidget *table = m_controls.table;
    const QSignalBlocker blocker(table);
    const int valueColumns = m_definition.columns.size();

    // One pass: the rows read are the rows shown. A list that cannot be
    // read is said to be so, not shown empty.
    QList<QStringList> rows;
    Gateway::Rows read;
    QString error;
    const bool ok = Gateway::read(m_definition.listSql, &read, &error);
    for (const QVector<QVariant> &values : qAsConst(read)) {
        QStringList texts;
        for (int c = 0; c < valueColumns; ++c) {
            texts << values.value(c).toString();
        }
        rows << texts;
    }

    table->setRowCount(0);
    table->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        table->setItem(row, CheckList::TickColumn, TableCells::tickItem());
        for (int c = 0; c < valueColumns; ++c) {
            auto *item = new QTableWidgetItem(rows.at(row).at(c));
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table->setItem(row, c + 1, item);
        }
    }
    if (!ok) {
        Messages::databaseError(this, error);
    }
}

bool NameListForm::hasRight()
{
    if (PermissionCheck(m_definition.right)) {
        return true;
    }
    Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
    return false;
}

void NameListForm::on_pushButton_clicked()
{
    if (!hasRight()) {
        return;
    }
    QStringList inputs;
    for (const QLineEdit *edit : qAsConst(m_controls.inputs)) {
        const QString text = edit->text().trimmed();
        if (text.isEmpty()) {
            Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("内容不能为空！"));
            return;
        }
        inputs << SqlText::quoted(text);
    }

    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(SqlTemplate::fill(m_definition.duplicateSql, inputs))) {
        Messages::databaseError(this, query.lastError().text());
        return;
    }
    if (query.next() && query.value(0).toLongLong() >= 1) {
        Messages::warning(this, QStringLiteral("输入提示"), m_definition.duplicateText);
        return;
    }
    if (!query.exec(SqlTemplate::fill(m_definition.insertSql, inputs))) {
        Messages::databaseError(this, query.lastError().text());
        return;
    }
    load();
}

void NameListForm::on_pushButton_2_clicked()
{
    if (!hasRight()) {
        return;
    }
    QTableWidget *table = m_controls.table;
    QList<int> ticked;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (CheckList::isTicked(table, row)) {
            ticked << row;
        }
    }
    if (ticked.isEmpty()) {
        Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("没有任何选择！"));
        return;
    }

    // Every ticked record is checked before any is deleted: one that is still
    // named elsewhere stops the whole action.
    QSqlQuery query;
    query.setForwardOnly(true);
    for (const int row : qAsConst(ticked)) {
        const QString key = SqlText::quoted(TableCells::cellText(table, row, m_definition.keyColumn));
        if (!query.exec(SqlTemplate::fill(m_definition.inUseSql, {key}))) {
            Messages::databaseError(this, query.lastError().text());
            return;
        }
        if (query.next()) {
            Messages::warning(this, QStringLiteral("操作提示"),
                              m_definition.inUseText.arg(
                                  TableCells::cellText(table, row, m_definition.shownColumn)));
            return;
        }
    }
    query.finish();

    // All ticked records go, or none does; a record that is no longer
    // there was changed by someone else, and nothing is deleted.
    QVector<GuardedSave::Write> writes;
    for (const int row : qAsConst(ticked)) {
        const QString key = SqlText::quoted(TableCells::cellText(table, row, m_definition.keyColumn));
        writes.append({SqlTemplate::fill(m_definition.deleteSql, {key}) + QLatin1Char(';'), row});
    }
    QList<int> stale;
    QString error;
    if (!GuardedSave::told(this, GuardedSave::run(writes, &stale, &error), stale, error)) {
        return;
    }
    load();
}
