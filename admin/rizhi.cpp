#include "admin/rizhi.h"
#include "ui_rizhi.h"

#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/messages.h"

#include <QDateTime>
#include <QHeaderView>
#include <QSqlQuery>
#include <QTableWidgetItem>

namespace {

QString timeFormat()
{
    return QStringLiteral("yyyy-MM-dd hh:mm:ss");
}

// Drivers that hand back a date-time value get it in the same shape as the
// log was written; text comes through as stored.
QString cellText(const QVariant &value)
{
    if (value.type() == QVariant::DateTime) {
        return value.toDateTime().toString(timeFormat());
    }
    return value.toString();
}

} // namespace

rizhi::rizhi(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::rizhi)
{
    m_ui->setupUi(this);

    QTableWidget *table = m_ui->tableWidget;
    table->setColumnCount(5);
    table->setHorizontalHeaderLabels({QStringLiteral("操作ip"), QStringLiteral("日期"),
                                      QStringLiteral("操作员"), QStringLiteral("操作单元"),
                                      QStringLiteral("流水号")});
    const int widths[] = {200, 200, 100, 200, 100};
    for (int column = 0; column < 5; ++column) {
        table->setColumnWidth(column, widths[column]);
    }
    table->horizontalHeader()->setMinimumHeight(30);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // The log can be long; it is read only when the user asks for a span.
    const QDateTime now = QDateTime::currentDateTime();
    m_ui->dateTimeEdit->setDateTime(now);
    m_ui->dateTimeEdit_2->setDateTime(now);
    setWindowTitle(QStringLiteral("操作日志"));
}

rizhi::~rizhi() = default;

void rizhi::on_pushButton_clicked()
{
    QTableWidget *table = m_ui->tableWidget;
    table->setRowCount(0);

    const QString start = m_ui->dateTimeEdit->dateTime().toString(timeFormat());
    const QString end = m_ui->dateTimeEdit_2->dateTime().toString(timeFormat());
    Gateway::Rows rows;
    QString error;
    if (!Gateway::read(QStringLiteral("select ip,date,user_name,operator,id from operator where date between '%1' and '%2'")
                           .arg(SqlText::quoted(start), SqlText::quoted(end)),
                       &rows, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    table->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < 5; ++column) {
            table->setItem(row, column, new QTableWidgetItem(cellText(rows.at(row).value(column))));
        }
    }
}
