#include "finance/commision.h"
#include "ui_commision.h"

#include "db/sqltext.h"
#include "widgets/decimaltext.h"
#include "widgets/messages.h"
#include "widgets/modelreport.h"
#include "widgets/listprint.h"

#include <QCoreApplication>
#include <QDate>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QSqlQuery>
#include <QSqlQueryModel>

namespace {

// Page layout of the printed report, in device pixels.
const int Left = 15;
const int Top = 30;
const int Width = 720;
const int Height = 1035;
const int Band = 35;
const int LineHeight = 25;
const int LinesPerPage = 39;
const QList<int> ColumnWidths{30, 80, 220, 70, 70, 70, 40, 40, 40, 65};

const QVector<ModelReport::Column> Columns{
    {QStringLiteral("日期"), 100},     {QStringLiteral("客户"), 200},       {QStringLiteral("应收金额"), 100},
    {QStringLiteral("折扣"), 100},     {QStringLiteral("回款金额"), 100},   {QStringLiteral("开票税率"), 100},
    {QStringLiteral("个人提成点"), 100}, {QStringLiteral("团队提成点"), 100}, {QStringLiteral("提成金额"), 100}};

// Laid out for SimSun; where it is missing the nearest CJK face keeps the
// Chinese texts legible.
QFont songTi(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSize(pointSize);
    return font;
}

int columnLeft(int column)
{
    int x = Left;
    for (int i = 0; i < column; ++i) {
        x += ColumnWidths.at(i);
    }
    return x;
}

} // namespace

commision::commision(QWidget *parent)
    : QMainWindow(parent, Qt::Window),
      m_ui(new Ui::commision),
      m_model(new QSqlQueryModel(this))
{
    m_ui->setupUi(this);

    QSqlQuery employees;
    employees.setForwardOnly(true);
    if (employees.exec(QStringLiteral("select employee_name from employee"))) {
        while (employees.next()) {
            m_ui->comboBox->addItem(employees.value(0).toString());
        }
    }
    m_ui->dateEdit->setDate(QDate::currentDate());
    m_ui->dateEdit_2->setDate(QDate::currentDate());

    ModelReport::setUpView(m_ui->tableView);
    m_ui->tableView->setModel(m_model);
    m_ui->progressBar->hide();
    m_ui->progressBar->setValue(0);
    m_ui->progressBar->setStyleSheet(QStringLiteral(
        "QProgressBar::chunk{background-color:skyblue;border-radius:5px;width:8px;margin:0.5px}"
        "QProgressBar{text-align:center;background:white;border-radius:5px;color:transparent;}"));

    on_pushButton_clicked();
    setWindowTitle(QStringLiteral("业务员提成明细"));
}

commision::~commision() = default;

QString commision::reportStatement(const QString &salesman, const QString &from, const QString &to)
{
    const QString personalPaid = QStringLiteral("select receivable.date_end,receivable.company,convert(decimal(10,2),receivable.money),convert(decimal(10,2),receivable.discount),convert(decimal(10,2),isnull(info.income,0)),convert(decimal(10,2),case customer.invoice when 1 then 0.94 else 1 end),convert(decimal(10,3),customer.commision1),0,convert(decimal(10,2),(info.income-receivable.discount)*(case customer.invoice when 1 then 0.94 else 1 end)*customer.commision1/100) from receivable,customer,info where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name) and receivable.info_id=info.id and customer.salesman1='%1' and receivable.date_commision between '%2' and '%3'");
    const QString teamPaid = QStringLiteral(" union all select receivable.date_end,receivable.company,receivable.money,receivable.discount,isnull(info.income,0),case customer.invoice when 1 then 0.94 else 1 end,0,customer.commision2,convert(decimal(10,2),(info.income-receivable.discount)*(case customer.invoice when 1 then 0.94 else 1 end)*customer.commision2/100) from receivable,customer,info where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name) and receivable.info_id=info.id and customer.salesman2='%1' and receivable.date_commision between '%2' and '%3'");
    const QString personalOpen = QStringLiteral(" union all select receivable.date_end,receivable.company,receivable.money,receivable.discount,0,case customer.invoice when 1 then 0.94 else 1 end,customer.commision1,0,0 from receivable,customer where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name)  and customer.salesman1='%1' and receivable.date_commision = '2001-01-01'");
    const QString teamOpen = QStringLiteral(" union all select receivable.date_end,receivable.company,receivable.money,receivable.discount,0,case customer.invoice when 1 then 0.94 else 1 end,0,customer.commision2,0 from receivable,customer where receivable.company=(cast(customer.customer_id as varchar)+'-'+customer.customer_name)  and customer.salesman2='%1' and receivable.date_commision = '2001-01-01'");
    const QString order = QStringLiteral(" order by receivable.date_end,receivable.company");
    return (personalPaid + teamPaid + personalOpen + teamOpen + order)
        .arg(SqlText::quoted(salesman), SqlText::quoted(from), SqlText::quoted(to));
}

void commision::on_pushButton_clicked()
{
    m_ui->pushButton->setText(QStringLiteral("查询中..."));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    m_salesman = m_ui->comboBox->currentText();
    m_endDate = m_ui->dateEdit_2->date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString sql = reportStatement(m_salesman, m_ui->dateEdit->date().toString(QStringLiteral("yyyy-MM-dd")),
                                        m_endDate);
    if (ModelReport::load(this, m_model, sql)) {
        ModelReport::setColumns(m_model, m_ui->tableView, Columns);
        const Totals sums = totals();
        m_ui->label->setText(QStringLiteral("个人提成金额%1元，团队提成金额%2元，总提成金额%3元")
                                 .arg(DecimalText::twoDecimals(sums.personal),
                                      DecimalText::twoDecimals(sums.team),
                                      DecimalText::twoDecimals(sums.personal + sums.team)));
    } else {
        m_ui->label->clear();
    }
    m_ui->pushButton->setText(QStringLiteral("查询"));
}

commision::Totals commision::totals() const
{
    // A line with a personal rate is personal commission; team lines and
    // lines of customers without a personal rate count as team commission.
    Totals sums;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const double amount = DecimalText::valueOf(m_model->data(m_model->index(r, 8)).toString());
        if (DecimalText::valueOf(m_model->data(m_model->index(r, 6)).toString()) > 0) {
            sums.personal += amount;
        } else {
            sums.team += amount;
        }
    }
    return sums;
}

void commision::on_pushButton_2_clicked()
{
    ListPrint::preview(this, [this](QPrinter *printer) { printDocument(printer); });
}

void commision::on_pushButton_3_clicked()
{
    ListPrint::printNow(this, [this](QPrinter *printer) { printDocument(printer); });
}

void commision::printDocument(QPrinter *printer)
{
    const int pages = (m_model->rowCount() + LinesPerPage - 1) / LinesPerPage;
    if (pages == 0) {
        return;
    }
    QPainter painter;
    if (!painter.begin(printer)) {
        Messages::warning(this, QStringLiteral("操作提示"),
                          QStringLiteral("打印机“%1”无法打印！").arg(printer->printerName()));
        return;
    }
    const Totals sums = totals();
    m_ui->progressBar->show();
    m_ui->progressBar->setRange(0, pages - 1);
    m_ui->progressBar->setValue(0);
    painter.setPen(QPen(Qt::black));
    for (int page = 0; page < pages; ++page) {
        drawPage(&painter, page, sums);
        if (page < pages - 1) {
            printer->newPage();
            painter.setPen(QPen(Qt::black));
        }
        m_ui->progressBar->setValue(page);
    }
    painter.end();
    m_ui->progressBar->hide();
}

QString commision::cellText(int row, int column) const
{
    const QVariant value = m_model->data(m_model->index(row, column));
    if (column == 2) {
        return DecimalText::twoDecimals(DecimalText::valueOf(value.toString()));
    }
    return value.toString();
}

void commision::drawPage(QPainter *painter, int page, const Totals &sums)
{
    const int bottom = Top + Height;
    const int header = Top + Band;
    painter->drawRect(Left, Top, Width, Height);
    painter->drawLine(Left, header, Left + Width, header);
    painter->drawLine(Left, bottom, Left + Width, bottom);

    painter->setFont(songTi(20));
    painter->drawText(QRect(Left, 33, Width, Band), Qt::AlignCenter, QStringLiteral("业务提成报表"));
    painter->setFont(songTi(10));
    painter->drawText(QRect(215, 33, Width, Band), Qt::AlignCenter, QStringLiteral("业务员：%1").arg(m_salesman));

    const QStringList titles{QStringLiteral("序号"), QStringLiteral("日期"), QStringLiteral("客户名称"),
                             QStringLiteral("应收金额"), QStringLiteral("折扣"), QStringLiteral("回款金额"),
                             QStringLiteral("税率"), QStringLiteral("个人"), QStringLiteral("团队"),
                             QStringLiteral("提成金额")};
    for (int c = 0; c < ColumnWidths.size(); ++c) {
        if (c > 0) {
            painter->drawLine(columnLeft(c), header, columnLeft(c), bottom);
        }
        painter->drawText(QRect(columnLeft(c), header, ColumnWidths.at(c), LineHeight), Qt::AlignCenter,
                          titles.at(c));
    }

    for (int line = 1; line <= LinesPerPage; ++line) {
        const int y = header + line * LineHeight;
        painter->drawLine(Left, y, Left + Width, y);
        painter->drawText(QRect(Left, y, ColumnWidths.at(0), LineHeight), Qt::AlignCenter, QString::number(line));
        const int row = page * LinesPerPage + line - 1;
        if (row >= m_model->rowCount()) {
            continue;
        }
        for (int c = 0; c < 9; ++c) {
            painter->drawText(QRect(columnLeft(c + 1), y, ColumnWidths.at(c + 1), LineHeight), Qt::AlignCenter,
                              cellText(row, c));
        }
    }

    painter->drawText(QRect(Left, bottom + 2, 450, LineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                      QStringLiteral("个人提成%1元，团队提成%2元，合计%3元")
                          .arg(DecimalText::twoDecimals(sums.personal), DecimalText::twoDecimals(sums.team),
                               DecimalText::twoDecimals(sums.personal + sums.team)));
    painter->drawText(QRect(535, bottom + 2, 200, LineHeight), Qt::AlignRight | Qt::AlignVCenter,
                      QStringLiteral("统计日期：") + m_endDate);
}
