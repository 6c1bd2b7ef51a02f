#include "finance/invoice.h"
#include "ui_invoice.h"

#include "app/loginstate.h"
#include "app/permissioncheck.h"
#include "db/sqltext.h"
#include "finance/money.h"
#include "finance/partylist.h"
#include "widgets/celldelegates.h"
#include "widgets/csvexport.h"
#include "widgets/decimaltext.h"
#include "widgets/guardedtablemodel.h"
#include "widgets/messages.h"
#include "widgets/listprint.h"

#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyle>

namespace {

const QString dayFormat = QStringLiteral("yyyy-MM-dd");
const QString allKinds = QStringLiteral("---全部---");
const QString outputKind = QStringLiteral("销项");
const QString queryTotal = QStringLiteral("价税合计金额%1元");
const QString entryTotal = QStringLiteral("价税金额合计%1元");

bool allowed(QWidget *form, const QString &right)
{
    if (PermissionCheck(right)) {
        return true;
    }
    Messages::warning(form, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
    return false;
}

} // namespace

invoice::invoice(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::invoice)
{
    m_ui->setupUi(this);
    m_ui->comboBox_5->setEditable(true);
    m_ui->comboBox_3->setEditable(true);

    const QDate today = QDate::currentDate();
    m_model = new GuardedTableModel(this);
    m_model->setTable(QStringLiteral("invoice"));
    m_model->setFilter(QStringLiteral("date = '%1'").arg(today.toString(dayFormat)));
    if (!m_model->select()) {
        Messages::databaseError(this, m_model->lastError().text());
    }
    m_ui->tableView->setModel(m_model);

    PartyList::fill(m_ui->comboBox_3, PartyList::supplierStatement());

    m_ui->lineEdit_3->setValidator(newMoneyValidator(m_ui->lineEdit_3));
    m_ui->dateEdit->setDate(today);
    m_ui->dateEdit_2->setDate(today);
    m_ui->dateEdit_3->setDate(today);

    setUpTable();
    m_model->fetchAll();
    showTotal(queryTotal);

    m_ui->comboBox_3->setFocus();
    setTabOrder(m_ui->comboBox_3, m_ui->lineEdit_2);
    setTabOrder(m_ui->lineEdit_2, m_ui->lineEdit_3);

    auto *saveAction = new QAction(QStringLiteral("保存"), this);
    addAction(saveAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(saveAction, &QAction::triggered, this, &invoice::baocun);

    m_ui->progressBar->hide();
    m_ui->progressBar->setValue(0);
    m_ui->progressBar->setStyleSheet(QStringLiteral(
        "QProgressBar::chunk{background-color:skyblue;border-radius:5px;width:8px;margin:0.5px}"
        "QProgressBar{text-align:center;background:white;border-radius:5px;color:transparent;}"));
    setUpButtons();
}

invoice::~invoice() = default;

QString invoice::auditedDayStatement(const QString &day, const QString &kind)
{
    return QStringLiteral("select checker from invoice where date='%1' and jin_xiao='%2' and checker<>''")
        .arg(SqlText::quoted(day), SqlText::quoted(kind));
}

void invoice::setUpTable()
{
    QTableView *view = m_ui->tableView;
    m_readOnly = new ReadOnlyDelegate(this);
    for (int column = CompanyColumn; column <= CheckerColumn; ++column) {
        view->setItemDelegateForColumn(column, m_readOnly);
    }
    view->setItemDelegateForColumn(MoneyColumn, new MoneyDelegate(this));
    view->setAlternatingRowColors(true);
    view->horizontalHeader()->setMinimumHeight(32);
    const QStringList titles = {QStringLiteral("日期"), QStringLiteral("发票号"), QStringLiteral("价税金额"),
                                QStringLiteral("购/销单位"), QStringLiteral("进/销项"), QStringLiteral("录入"),
                                QStringLiteral("审核")};
    const int widths[] = {100, 100, 100, 200, 100, 100, 100};
    for (int column = DateColumn; column <= CheckerColumn; ++column) {
        m_model->setHeaderData(column, Qt::Horizontal, titles.at(column));
        view->setColumnWidth(column, widths[column]);
    }
    view->hideColumn(IdColumn);
}

void invoice::setUpButtons()
{
    QStyle *look = style();
    m_ui->pushButton_3->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->pushButton_4->setIcon(look->standardIcon(QStyle::SP_DialogResetButton));
    m_ui->pushButton_6->setIcon(look->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->pushButton->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));
    m_ui->pushButton_2->setIcon(look->standardIcon(QStyle::SP_ComputerIcon));
    m_ui->pushButton_11->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    m_ui->pushButton_5->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    m_ui->pushButton_8->setIcon(look->standardIcon(QStyle::SP_DialogOkButton));
    m_ui->pushButton_9->setIcon(look->standardIcon(QStyle::SP_FileDialogDetailedView));
}

double invoice::moneySum() const
{
    double sum = 0;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        sum += DecimalText::valueOf(m_model->index(row, MoneyColumn).data(Qt::EditRole).toString());
    }
    return sum;
}

void invoice::showTotal(const QString &format)
{
    m_ui->label->setText(format.arg(QString::number(moneySum(), 'f', 2)));
}

void invoice::on_comboBox_2_currentTextChanged(const QString &kind)
{
    PartyList::fill(m_ui->comboBox_3,
                    kind == outputKind ? PartyList::customerStatement() : PartyList::supplierStatement());
}

void invoice::on_comboBox_currentTextChanged(const QString &field)
{
    QComboBox *content = m_ui->comboBox_5;
    if (field == QStringLiteral("客户")) {
        PartyList::fill(content, PartyList::customerStatement());
    } else if (field == QStringLiteral("供应商")) {
        PartyList::fill(content, PartyList::supplierStatement());
    } else {
        content->clear();
    }
    content->setEditable(true);
}

void invoice::on_pushButton_11_clicked()
{
    const QString day = m_ui->dateEdit->date().toString(dayFormat);
    const QString kind = m_ui->comboBox_2->currentText();
    QSqlQuery audited;
    if (!audited.exec(auditedDayStatement(day, kind))) {
        Messages::databaseError(this, audited.lastError().text());
        return;
    }
    if (audited.next()) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("当天内容已审核，不能添加！"));
        return;
    }
    const QString company = m_ui->comboBox_3->currentText();
    const QString number = m_ui->lineEdit_2->text();
    const QString amount = m_ui->lineEdit_3->text();
    if (company.trimmed().isEmpty() || number.trimmed().isEmpty() || amount.trimmed().isEmpty()) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("不能有为空内容"));
        return;
    }
    m_model->fetchAll();
    const int row = m_model->rowCount();
    m_model->insertRow(row);
    const QStringList values = {day, number, amount, company, kind, LoginState::userName};
    for (int column = DateColumn; column <= InputColumn; ++column) {
        m_model->setData(m_model->index(row, column), values.at(column));
    }
    m_ui->comboBox_3->setFocus();
    m_ui->comboBox_3->clearEditText();
    m_ui->lineEdit_2->clear();
    m_ui->lineEdit_3->clear();
    showTotal(entryTotal);
    FormGuard::showRow(m_ui->tableView, row);
}

void invoice::on_lineEdit_2_returnPressed()
{
    if (!m_ui->lineEdit_2->text().trimmed().isEmpty()) {
        m_ui->lineEdit_3->setFocus();
    }
}

void invoice::on_lineEdit_3_returnPressed()
{
    if (!m_ui->lineEdit_3->text().isEmpty()) {
        on_pushButton_11_clicked();
    }
}

bool invoice::checkRows(const QSet<int> &rows, bool allRows)
{
    m_model->fetchAll();
    const auto fail = [this](const QString &text, int row) {
        Messages::warning(this, QStringLiteral("错误提示"), text.arg(row + 1));
        return false;
    };
    // Many rows share a day and kind; each closed-day answer is read once.
    QHash<QString, bool> closedDays;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if ((!allRows && !rows.contains(row)) || m_model->isRemovedRow(row)) {
            continue;
        }
        const auto text = [this, row](int column) {
            return m_model->index(row, column).data(Qt::EditRole).toString();
        };
        const QString day = text(DateColumn).trimmed();
        if (day.isEmpty() || text(NumberColumn).trimmed().isEmpty() || text(MoneyColumn).trimmed().isEmpty()) {
            return fail(QStringLiteral("第%1行不能有为空内容"), row);
        }
        // The day is stored as written, so it must be a calendar day in the
        // one form every query compares with.
        if (!QDate::fromString(day, dayFormat).isValid()) {
            return fail(QStringLiteral("第%1行日期格式不正确"), row);
        }
        bool number = false;
        text(MoneyColumn).trimmed().toDouble(&number);
        if (!number) {
            return fail(QStringLiteral("第%1行金额格式不正确"), row);
        }
        if (!text(CheckerColumn).isEmpty()) {
            return fail(QStringLiteral("第%1行已审核，不能修改"), row);
        }
        const QString kind = text(KindColumn);
        const QString key = day + QLatin1Char('\n') + kind;
        if (!closedDays.contains(key)) {
            QSqlQuery audited;
            audited.setForwardOnly(true);
            if (!audited.exec(auditedDayStatement(day, kind))) {
                Messages::databaseError(this, audited.lastError().text());
                return false;
            }
            closedDays.insert(key, audited.next());
        }
        if (closedDays.value(key)) {
            return fail(QStringLiteral("第%1行当天内容已审核，不能添加！"), row);
        }
    }
    return true;
}

bool invoice::save()
{
    QString message;
    return GuardedTableModel::tellOutcome(this, m_model->saveAll(&message), message);
}

void invoice::reloadDay()
{
    m_model->setFilter(QStringLiteral("date='%1'").arg(m_ui->dateEdit->date().toString(dayFormat)));
    if (!m_model->select()) {
        Messages::databaseError(this, m_model->lastError().text());
    }
    m_model->fetchAll();
    showTotal(queryTotal);
}

void invoice::on_pushButton_3_clicked()
{
    if (!allowed(this, QStringLiteral("发票录入")) || !checkRows({}, true)) {
        return;
    }
    // A refused save keeps every change on the screen for correction.
    if (!save()) {
        return;
    }
    reloadDay();
    Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
}

void invoice::baocun()
{
    if (!allowed(this, QStringLiteral("发票录入")) || !checkRows({}, true)) {
        return;
    }
    if (save()) {
        m_model->fetchAll();
        showTotal(queryTotal);
        Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
    }
}

void invoice::on_pushButton_4_clicked()
{
    m_model->revertAll();
    m_model->fetchAll();
    showTotal(queryTotal);
}

void invoice::on_pushButton_6_clicked()
{
    if (!allowed(this, QStringLiteral("发票录入"))) {
        return;
    }
    const QModelIndex current = m_ui->tableView->currentIndex();
    if (!current.isValid()) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("请先选择一行！"));
        return;
    }
    const int row = current.row();
    if (!m_model->index(row, CheckerColumn).data().toString().isEmpty()) {
        Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("已经审核，不能删除！"));
        return;
    }
    // "Yes" saves the other unsaved rows with the removal, so they must pass
    // what "保存" would ask of them.
    QSet<int> others;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        if (r != row && (m_model->isNewRow(r) || m_model->isChangedRow(r))) {
            others << r;
        }
    }
    if (!checkRows(others, false)) {
        return;
    }
    const bool stored = !m_model->isNewRow(row);
    m_model->removeRow(row);
    const QMessageBox::StandardButton answer =
        Messages::question(this, QStringLiteral("删除当前行"), QStringLiteral("确定删除此行？"),
                           QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::No || answer == QMessageBox::Escape) {
        m_model->revertAll();
    } else if (!save() && stored) {
        // The row stays: another user changed it, or the database refused.
        m_model->revertRow(row);
    }
    m_model->fetchAll();
    showTotal(queryTotal);
}

void invoice::setAuditor(const QString &auditor)
{
    m_model->revertAll();
    m_model->fetchAll();
    const bool auditing = !auditor.isEmpty();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex checker = m_model->index(row, CheckerColumn);
        if (checker.data().toString().isEmpty() == auditing) {
            m_model->setData(checker, auditor);
        }
    }
    if (!save()) {
        m_model->revertAll();
    }
    m_model->fetchAll();
    showTotal(queryTotal);
}

void invoice::on_pushButton_5_clicked()
{
    if (allowed(this, QStringLiteral("发票审核"))) {
        setAuditor(LoginState::userName);
    }
}

void invoice::on_pushButton_8_clicked()
{
    if (allowed(this, QStringLiteral("发票审核"))) {
        // Empty, not NULL: an empty auditor is what "not audited" is stored as.
        setAuditor(QStringLiteral(""));
    }
}

void invoice::on_pushButton_7_clicked()
{
    m_ui->pushButton_7->setEnabled(false);
    m_ui->pushButton_7->setText(QStringLiteral("查询中..."));
    QCoreApplication::processEvents();
    const auto restore = [this]() {
        m_ui->pushButton_7->setText(QStringLiteral("查询"));
        m_ui->pushButton_7->setEnabled(true);
    };

    const QString from = m_ui->dateEdit_2->date().toString(dayFormat);
    const QString to = m_ui->dateEdit_3->date().toString(dayFormat);
    QString content = m_ui->comboBox_5->currentText().trimmed();
    if (content.contains(QLatin1Char('.'))) {
        content = content.section(QLatin1Char('.'), 0, 0);
    }
    QString filter = QStringLiteral("date between '%1' and '%2'").arg(from, to);
    const QString kind = m_ui->comboBox_4->currentText();
    if (kind != allKinds) {
        filter += QStringLiteral(" and jin_xiao = '%1'").arg(SqlText::quoted(kind));
    }
    if (!content.isEmpty()) {
        const QString field = m_ui->comboBox->currentText();
        if (field == QStringLiteral("客户") || field == QStringLiteral("供应商")) {
            filter += QStringLiteral(" and company = '%1'").arg(SqlText::quoted(content));
        } else {
            bool number = false;
            const long long amount = content.toLongLong(&number, 10);
            if (!number) {
                Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("查询金额必须是数字！"));
                restore();
                return;
            }
            filter += QStringLiteral(" and cast(money as int) = %1").arg(amount);
        }
    }
    m_model->setFilter(filter);
    m_model->setSort(DateColumn, Qt::AscendingOrder);
    if (!m_model->select()) {
        Messages::databaseError(this, m_model->lastError().text());
    }
    m_model->fetchAll();
    showTotal(queryTotal);
    restore();
}

void invoice::on_pushButton_clicked()
{
    m_model->revertAll();
    ListPrint::preview(this, [this](QPrinter *printer) { printDocument(printer); });
}

void invoice::on_pushButton_2_clicked()
{
    m_model->revertAll();
    ListPrint::printNow(this, [this](QPrinter *printer) { printDocument(printer); });
}

void invoice::printDocument(QPrinter *printer)
{
    m_model->fetchAll();
    const QStringList headers = {QStringLiteral("序号"), QStringLiteral("日期"), QStringLiteral("发票号"),
                                 QStringLiteral("价税金额"), QStringLiteral("购/销单位"), QStringLiteral("进/销项"),
                                 QStringLiteral("录入"), QStringLiteral("审核")};
    // Printed column c shows model column c - 1; the id column is left out.
    ListPrint::drawList(printer, ListPrint::Page(), QStringLiteral("发票明细报表"), headers, IdColumn + 1,
                        m_model->rowCount(),
                        [this](int row, int column) {
                            const QString value = m_model->index(row, column - 1).data(Qt::EditRole).toString();
                            return column - 1 == MoneyColumn ? DecimalText::twoDecimals(DecimalText::valueOf(value))
                                                             : value;
                        },
                        m_ui->progressBar);
}

void invoice::on_pushButton_9_clicked()
{
    CsvExport::exportModel(this, m_ui->tableView, m_model, m_ui->progressBar);
}

bool invoice::hasUnsavedChanges() const
{
    return m_model && m_model->isDirty();
}

bool invoice::saveChanges()
{
    m_ui->pushButton_3->click();
    return !hasUnsavedChanges();
}
