#include "finance/cashbook.h"
#include "ui_cashbook.h"

#include "app/operationlog.h"
#include "app/permissioncheck.h"
#include "db/sqltext.h"
#include "finance/money.h"
#include "finance/partylist.h"
#include "widgets/celldelegates.h"
#include "widgets/csvexport.h"
#include "widgets/decimaltext.h"
#include "widgets/guardedtablemodel.h"
#include "widgets/messages.h"

#include <QDate>
#include <QHeaderView>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyle>

namespace {

const QString dayFormat = QStringLiteral("yyyy-MM-dd");
const QString allCategories = QStringLiteral("---全部---");
const QString right = QStringLiteral("资金录入");

bool allowed(QWidget *form)
{
    if (PermissionCheck(right)) {
        return true;
    }
    Messages::warning(form, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
    return false;
}

// An amount field left empty stands for no money.
QString amountText(const QString &typed)
{
    return typed.trimmed().isEmpty() ? QStringLiteral("0") : typed.trimmed();
}

bool isNumber(const QString &text)
{
    bool number = false;
    text.trimmed().toDouble(&number);
    return number;
}

} // namespace

cashbook::cashbook(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(new Ui::cashbook)
{
    m_ui->setupUi(this);
    const QDate today = QDate::currentDate();
    m_ui->dateEdit->setDate(today);
    m_ui->dateEdit_2->setDate(QDate(today.year(), today.month(), 1));
    m_ui->dateEdit_3->setDate(today);

    PartyList::fill(m_ui->comboBox_3, Cus_SupDelegate::listStatement());
    PartyList::fill(m_ui->comboBox_4, Cus_SupDelegate::listStatement());
    fillCategories();
    m_ui->lineEdit_2->setValidator(newMoneyValidator(m_ui->lineEdit_2));
    m_ui->lineEdit_3->setValidator(newMoneyValidator(m_ui->lineEdit_3));

    m_model = new GuardedTableModel(this);
    m_model->setTable(QStringLiteral("info"));
    m_model->setSort(DateColumn, Qt::AscendingOrder);
    m_ui->tableView->setModel(m_model);
    setUpTable();
    query();

    m_ui->progressBar->hide();
    setTabOrder(m_ui->comboBox_3, m_ui->lineEdit);
    setTabOrder(m_ui->lineEdit, m_ui->lineEdit_2);
    setTabOrder(m_ui->lineEdit_2, m_ui->lineEdit_3);
    m_ui->comboBox_3->setFocus();
    QStyle *look = style();
    m_ui->pushButton_3->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->pushButton_4->setIcon(look->standardIcon(QStyle::SP_DialogResetButton));
    m_ui->pushButton_6->setIcon(look->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->pushButton_9->setIcon(look->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_ui->pushButton_11->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
}

cashbook::~cashbook() = default;

QString cashbook::boundStatement(const QString &table, long long id)
{
    return QStringLiteral("select id,company,convert(varchar(10),date_begin,20),convert(varchar(10),date_end,20) "
                          "from %1 where info_id=%2 order by id")
        .arg(table)
        .arg(id);
}

QString cashbook::filterFor(const QString &from, const QString &to, const QString &company, const QString &category)
{
    QString filter = QStringLiteral("date between '%1' and '%2'").arg(SqlText::quoted(from), SqlText::quoted(to));
    if (!company.isEmpty()) {
        filter += QStringLiteral(" and company = '%1'").arg(SqlText::quoted(company));
    }
    if (!category.isEmpty()) {
        filter += QStringLiteral(" and category = '%1'").arg(SqlText::quoted(category));
    }
    return filter;
}

void cashbook::setUpTable()
{
    QTableView *view = m_ui->tableView;
    m_partners = new Cus_SupDelegate(this);
    view->setItemDelegateForColumn(CompanyColumn, m_partners);
    auto *money = new MoneyDelegate(this);
    view->setItemDelegateForColumn(IncomeColumn, money);
    view->setItemDelegateForColumn(PayColumn, money);
    view->setAlternatingRowColors(true);
    view->horizontalHeader()->setMinimumHeight(32);
    const QStringList titles = {QStringLiteral("流水号"), QStringLiteral("日期"), QStringLiteral("往来单位"),
                                QStringLiteral("摘要"),   QStringLiteral("收入"), QStringLiteral("支出"),
                                QStringLiteral("资金分类")};
    const int widths[] = {60, 100, 200, 240, 100, 100, 100};
    for (int column = IdColumn; column <= CategoryColumn; ++column) {
        m_model->setHeaderData(column, Qt::Horizontal, titles.at(column));
        view->setColumnWidth(column, widths[column]);
    }
    view->hideColumn(IdColumn);
}

void cashbook::fillCategories()
{
    QStringList names;
    PickListDelegate::readList(QStringLiteral("select name from category order by id"), this, &names);
    m_ui->comboBox_2->clear();
    m_ui->comboBox_2->addItems(names);
    m_ui->comboBox_5->clear();
    m_ui->comboBox_5->addItem(allCategories);
    m_ui->comboBox_5->addItems(names);
}

void cashbook::showTotals()
{
    double income = 0;
    double pay = 0;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->isRemovedRow(row)) {
            continue;
        }
        income += DecimalText::valueOf(m_model->index(row, IncomeColumn).data(Qt::EditRole).toString());
        pay += DecimalText::valueOf(m_model->index(row, PayColumn).data(Qt::EditRole).toString());
    }
    m_ui->label->setText(QStringLiteral("收入合计%1元，支出合计%2元，余额%3元")
                             .arg(DecimalText::twoDecimals(income), DecimalText::twoDecimals(pay),
                                  DecimalText::twoDecimals(income - pay)));
}

bool cashbook::query()
{
    const QString category = m_ui->comboBox_5->currentText();
    m_model->setFilter(filterFor(m_ui->dateEdit_2->date().toString(dayFormat),
                                 m_ui->dateEdit_3->date().toString(dayFormat),
                                 m_ui->comboBox_4->currentText().trimmed(),
                                 category == allCategories ? QString() : category));
    const bool read = m_model->select();
    if (!read) {
        Messages::databaseError(this, m_model->lastError().text());
    }
    m_model->fetchAll();
    showTotals();
    return read;
}

void cashbook::on_pushButton_7_clicked()
{
    m_ui->pushButton_7->setEnabled(false);
    query();
    m_ui->pushButton_7->setEnabled(true);
}

void cashbook::on_pushButton_11_clicked()
{
    const QString company = m_ui->comboBox_3->currentText().trimmed();
    const QString income = amountText(m_ui->lineEdit_2->text());
    const QString pay = amountText(m_ui->lineEdit_3->text());
    const QString category = m_ui->comboBox_2->currentText();
    if (company.isEmpty()) {
        Messages::warning(this, QStringLiteral("录入提示"), QStringLiteral("往来单位不能为空！"));
        return;
    }
    if ((DecimalText::valueOf(income) != 0) == (DecimalText::valueOf(pay) != 0)) {
        Messages::warning(this, QStringLiteral("录入提示"), QStringLiteral("收入和支出必须且只能填写一项！"));
        return;
    }
    if (category.isEmpty()) {
        Messages::warning(this, QStringLiteral("录入提示"), QStringLiteral("请选择资金分类！"));
        return;
    }
    m_model->fetchAll();
    const int row = m_model->rowCount();
    m_model->insertRow(row);
    m_model->setData(m_model->index(row, DateColumn), m_ui->dateEdit->date().toString(dayFormat));
    m_model->setData(m_model->index(row, CompanyColumn), company);
    m_model->setData(m_model->index(row, SummaryColumn), m_ui->lineEdit->text());
    m_model->setData(m_model->index(row, IncomeColumn), income);
    m_model->setData(m_model->index(row, PayColumn), pay);
    m_model->setData(m_model->index(row, CategoryColumn), category);
    m_ui->comboBox_3->clearEditText();
    m_ui->lineEdit->clear();
    m_ui->lineEdit_2->clear();
    m_ui->lineEdit_3->clear();
    m_ui->comboBox_3->setFocus();
    showTotals();
    FormGuard::showRow(m_ui->tableView, row);
}

void cashbook::on_lineEdit_3_returnPressed()
{
    on_pushButton_11_clicked();
}

bool cashbook::checkRows()
{
    QStringList categories;
    if (!PickListDelegate::readList(QStringLiteral("select name from category"), this, &categories)) {
        return false;
    }
    const auto fail = [this](const QString &text, int row) {
        Messages::warning(this, QStringLiteral("错误提示"), text.arg(row + 1));
        return false;
    };
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->isRemovedRow(row) || !(m_model->isNewRow(row) || m_model->isChangedRow(row))) {
            continue;
        }
        const auto text = [this, row](int column) {
            return m_model->index(row, column).data(Qt::EditRole).toString().trimmed();
        };
        if (!QDate::fromString(text(DateColumn), dayFormat).isValid()) {
            return fail(QStringLiteral("第%1行日期格式不正确"), row);
        }
        if (text(CompanyColumn).isEmpty()) {
            return fail(QStringLiteral("第%1行往来单位不能为空"), row);
        }
        if (!isNumber(text(IncomeColumn)) || !isNumber(text(PayColumn))) {
            return fail(QStringLiteral("第%1行金额格式不正确"), row);
        }
        if ((DecimalText::valueOf(text(IncomeColumn)) != 0) == (DecimalText::valueOf(text(PayColumn)) != 0)) {
            return fail(QStringLiteral("第%1行收入和支出必须且只能填写一项"), row);
        }
        if (!categories.contains(text(CategoryColumn))) {
            return fail(QStringLiteral("第%1行资金分类不存在"), row);
        }
    }
    return true;
}

bool cashbook::boundRow(int row, QString *bound, QString *error) const
{
    const long long id = DecimalText::integerOf(m_model->loadedValue(row, IdColumn).toString());
    const QList<std::pair<QString, QString>> accounts = {{QStringLiteral("receivable"), QStringLiteral("应收款")},
                                                         {QStringLiteral("payment"), QStringLiteral("应付款")}};
    for (const auto &account : accounts) {
        QSqlQuery query;
        query.setForwardOnly(true);
        if (!query.exec(boundStatement(account.first, id))) {
            *error = query.lastError().text();
            return false;
        }
        if (query.next()) {
            *bound = QStringLiteral("%1（流水号%2，%3，%4至%5）")
                         .arg(account.second, query.value(0).toString(), query.value(1).toString(),
                              query.value(2).toString(), query.value(3).toString());
            return true;
        }
    }
    bound->clear();
    return true;
}

bool cashbook::checkBound(QString *message) const
{
    const auto moneyChanged = [this](int row, int column) {
        return DecimalText::valueOf(m_model->loadedValue(row, column).toString())
            != DecimalText::valueOf(m_model->index(row, column).data(Qt::EditRole).toString());
    };
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->isNewRow(row)) {
            continue;
        }
        const bool removed = m_model->isRemovedRow(row);
        const bool touched = removed
            || (m_model->isChangedRow(row)
                && (m_model->loadedValue(row, CompanyColumn).toString()
                        != m_model->index(row, CompanyColumn).data(Qt::EditRole).toString()
                    || moneyChanged(row, IncomeColumn) || moneyChanged(row, PayColumn)));
        if (!touched) {
            continue;
        }
        QString bound;
        if (!boundRow(row, &bound, message)) {
            return false;
        }
        if (!bound.isEmpty()) {
            *message = (removed ? QStringLiteral("第%1行已被%2绑定，不能删除！")
                                : QStringLiteral("第%1行已被%2绑定，不能修改往来单位和金额！"))
                           .arg(row + 1)
                           .arg(bound);
            return false;
        }
    }
    return true;
}

void cashbook::on_pushButton_3_clicked()
{
    if (!allowed(this)) {
        return;
    }
    m_model->fetchAll();
    if (!checkRows()) {
        return;
    }
    QString message;
    const GuardedTableModel::Outcome outcome =
        m_model->saveAll(&message, [this](QString *refusal) { return checkBound(refusal); });
    if (!GuardedTableModel::tellOutcome(this, outcome, message)) {
        return;
    }
    OperationLog(QStringLiteral("资金日记账保存"));
    m_model->fetchAll();
    showTotals();
    Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
}

void cashbook::on_pushButton_4_clicked()
{
    m_model->revertAll();
    m_model->fetchAll();
    showTotals();
}

void cashbook::on_pushButton_6_clicked()
{
    if (!allowed(this)) {
        return;
    }
    const QModelIndex current = m_ui->tableView->currentIndex();
    if (!current.isValid()) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("请先选择一行！"));
        return;
    }
    const int row = current.row();
    // A delete is written at once; other changes wait for their own save.
    for (int r = 0; r < m_model->rowCount(); ++r) {
        if (r != row && (m_model->isNewRow(r) || m_model->isChangedRow(r))) {
            Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("请先保存或撤销未保存的修改！"));
            return;
        }
    }
    if (Messages::question(this, QStringLiteral("删除当前行"), QStringLiteral("确定删除此行？"),
                           QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes) {
        return;
    }
    if (m_model->isNewRow(row)) {
        m_model->removeRow(row);
        showTotals();
        return;
    }
    // Edits of the row itself are dropped with it.
    m_model->revertRow(row);
    m_model->removeRow(row);
    QString message;
    const GuardedTableModel::Outcome outcome =
        m_model->saveAll(&message, [this](QString *refusal) { return checkBound(refusal); });
    if (outcome != GuardedTableModel::Outcome::Saved) {
        m_model->revertRow(row);
        GuardedTableModel::tellOutcome(this, outcome, message);
        return;
    }
    OperationLog(QStringLiteral("资金日记账删除"));
    m_model->fetchAll();
    showTotals();
}

void cashbook::on_pushButton_9_clicked()
{
    CsvExport::exportModel(this, m_ui->tableView, m_model, m_ui->progressBar);
}

bool cashbook::hasUnsavedChanges() const
{
    return m_model && m_model->isDirty();
}

bool cashbook::saveChanges()
{
    m_ui->pushButton_3->click();
    return !hasUnsavedChanges();
}
