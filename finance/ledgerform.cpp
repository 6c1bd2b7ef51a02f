#include "finance/ledgerform.h"

#include "app/loginstate.h"
#include "app/permissioncheck.h"
#include "db/gateway.h"
#include "db/sqltext.h"
#include "finance/ledgerimport.h"
#include "finance/money.h"
#include "finance/partylist.h"
#include "widgets/accountkind.h"
#include "widgets/celldelegates.h"
#include "widgets/csvexport.h"
#include "widgets/decimaltext.h"
#include "widgets/filedialogs.h"
#include "widgets/guardedtablemodel.h"
#include "widgets/messages.h"
#include "widgets/listprint.h"

#include "ui_ledgerform.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>
#include <QStyle>

namespace {

const QString NoDate = QStringLiteral("2001-01-01");
const QStringList Kinds = {QStringLiteral("货款"), QStringLiteral("投标"), QStringLiteral("履约"),
                           QStringLiteral("往来")};
// The kind that earns no late-payment interest.
const QString TradeCategory = QStringLiteral("货款");
const QString DiscountCategory = QStringLiteral("公司往来");

// Statements of the receivables only.
const QString InsertPayable = QStringLiteral("insert into payment (date_begin,date_end,company,money,remarks,inout_category,operator) values ('%1','%2','%3','%4','%5','%6','%7')");
const QString SamePayable = QStringLiteral("select count(*) from payment where date_begin='%1' and date_end='%2' and company='%3' and money=%4 and inout_category='%5'");
const QString InsertImported = QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ");
const QString ImportRow = QStringLiteral("(?,?,?,?,?,?)");
// Six values a row stay well below the server's 2100 parameters a statement.
const int ImportRowsPerInsert = 100;
const QString ImportPeriods = QStringLiteral("select company,convert(varchar(10),date_begin,20),convert(varchar(10),date_end,20) from receivable where inout_category='%1' and company in (%2) and date_end>='%3' and date_begin<='%4'");

const QString Categories = QStringLiteral("select name from inout_category order by id");
const QString PaidOn = QStringLiteral("select date from info where id=%1");
const QString OpenFilter = QStringLiteral("date_end between '%1' and '%2'");
const QString CategoryFilter = QStringLiteral(" and inout_category = '%1'");
const QString CompanyFilter = QStringLiteral(" and company = '%1'");
const QString AmountFilter = QStringLiteral(" and cast(money as int) = %1");
const QString CommissionFilter = QStringLiteral(" and date_commision = '%1'");
const QString TotalOf = QStringLiteral("select sum(money) from %1 where %2");
const QString SavedFilter = QStringLiteral("inout_category='%1' and date_begin='%2' and date_end='%3'");

// Ids per statement when asking which stored rows hold them.
const int IdsPerQuery = 500;

QString q(const QString &value)
{
    return SqlText::quoted(value);
}

bool isCalendarDate(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 3) {
        return false;
    }
    bool y = false;
    bool m = false;
    bool d = false;
    const QDate date(parts.at(0).toInt(&y), parts.at(1).toInt(&m), parts.at(2).toInt(&d));
    return y && m && d && date.isValid();
}

// Checks the lines against the periods stored and inserts them, in one
// transaction so that no period stored meanwhile slips between the check and
// the inserts. False with the lines' problems, or with the database's text
// in *error.
bool storeImport(const QVector<LedgerImport::Line> &lines, const QHash<QString, QStringList> &companiesOf,
                 const QString &first, const QString &last, LedgerImport::Known *known,
                 QVector<LedgerImport::Problem> *problems, QString *error)
{
    Gateway::Transaction transaction;
    if (!transaction.isOpen()) {
        *error = transaction.error();
        return false;
    }
    for (auto category = companiesOf.begin(); category != companiesOf.end(); ++category) {
        const QStringList &companies = category.value();
        for (int from = 0; from < companies.size(); from += IdsPerQuery) {
            QStringList part;
            for (int i = from; i < companies.size() && i < from + IdsPerQuery; ++i) {
                part << QStringLiteral("'%1'").arg(q(companies.at(i)));
            }
            QSqlQuery query;
            if (!Gateway::exec(query, ImportPeriods.arg(q(category.key()), part.join(QLatin1Char(',')), first, last),
                               error)) {
                return false;
            }
            while (query.next()) {
                known->stored[LedgerImport::key(query.value(0).toString(), category.key())]
                    .append({query.value(1).toString(), query.value(2).toString()});
            }
            if (!Gateway::fetchedAll(query, error)) {
                return false;
            }
        }
    }
    *problems = LedgerImport::check(lines, *known);
    if (!problems->isEmpty()) {
        return false;
    }
    // One statement of ImportRowsPerInsert rows, prepared once, for every
    // full block, and one for the rest.
    QSqlQuery fullBlock;
    QSqlQuery rest;
    for (int from = 0; from < lines.size(); from += ImportRowsPerInsert) {
        const int count = qMin(ImportRowsPerInsert, lines.size() - from);
        QSqlQuery &insert = count == ImportRowsPerInsert ? fullBlock : rest;
        if (insert.lastQuery().isEmpty()) {
            QStringList rows;
            for (int i = 0; i < count; ++i) {
                rows << ImportRow;
            }
            if (!insert.prepare(InsertImported + rows.join(QLatin1Char(',')))) {
                *error = insert.lastError().text();
                return false;
            }
        }
        for (int i = from; i < from + count; ++i) {
            const LedgerImport::Line &line = lines.at(i);
            insert.addBindValue(line.begin);
            insert.addBindValue(line.end);
            insert.addBindValue(line.company);
            insert.addBindValue(line.amount);
            insert.addBindValue(line.category);
            insert.addBindValue(LoginState::userName);
        }
        if (!insert.exec()) {
            *error = QStringLiteral("第%1行起：%2").arg(lines.at(from).number).arg(insert.lastError().text());
            return false;
        }
    }
    if (!transaction.commit()) {
        *error = transaction.error();
        return false;
    }
    return true;
}

} // namespace

double LedgerForm::interestFor(double amount, int daysLate)
{
    double rate = 0;
    if (daysLate >= 60) {
        rate = 0.00027;
    } else if (daysLate >= 45) {
        rate = 0.0002;
    } else if (daysLate >= 30) {
        rate = 0.00017;
    }
    return amount * rate * daysLate;
}

LedgerForm::LedgerForm(const LedgerSetup &setup, QWidget *parent)
    : QMainWindow(parent), m_setup(setup), m_body(new Ui::LedgerForm), m_model(nullptr)
{
    setWindowFlags(windowFlags() | Qt::Window);
    auto *central = new QWidget(this);
    m_body->setupUi(central);
    setCentralWidget(central);

    m_body->label_9->setText(m_setup.partyLabel);
    m_body->label_12->setText(m_setup.kindLabel);
    if (!m_setup.receivableActions) {
        // The payables have no commission, import or second export button.
        m_body->pushButton_9->setText(QStringLiteral("导出"));
        m_body->pushButton_10->hide();
        m_body->pushButton_12->hide();
        m_body->pushButton_13->hide();
    }

    m_model = new GuardedTableModel(this, QSqlDatabase::database());
    m_model->setTable(m_setup.table);
    m_model->setEditStrategy(QSqlTableModel::OnManualSubmit);

    fillPickLists();
    takeAccountKind();

    m_body->lineEdit_3->setValidator(newMoneyValidator(this));
    const QDate today = QDate::currentDate();
    m_body->dateEdit->setDate(today);
    m_body->dateEdit_2->setDate(today);
    m_body->dateEdit_3->setDate(today);
    m_body->dateEdit_4->setDate(today);

    setUpTable();

    m_model->setFilter(OpenFilter.arg(SqlText::dayText(today), SqlText::dayText(today))
                       + CategoryFilter.arg(q(m_body->comboBox_4->currentText())));
    m_model->setSort(0, Qt::AscendingOrder);
    if (selectRows()) {
        showTotal(QStringLiteral("价税合计金额%1元"));
    }

    setContextMenuPolicy(Qt::ActionsContextMenu);
    if (m_setup.receivableActions) {
        auto *discount = new QAction(QStringLiteral("生成-其他应付（往来）"), this);
        connect(discount, &QAction::triggered, this, &LedgerForm::yfwl);
        addAction(discount);
    }
    auto *save = new QAction(QStringLiteral("保存"), this);
    connect(save, &QAction::triggered, this, &LedgerForm::baocun);
    addAction(save);

    m_body->progressBar->hide();
    m_body->progressBar->setValue(0);
    m_body->progressBar->setStyleSheet(QStringLiteral(
        "QProgressBar::chunk{background-color:skyblue;border-radius:5px;width:8px;margin:0.5px}"
        "QProgressBar{text-align:center;background:white;border-radius:5px;color:transparent;}"));

    QStyle *look = style();
    m_body->pushButton_3->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
    m_body->pushButton_4->setIcon(look->standardIcon(QStyle::SP_DialogResetButton));
    m_body->pushButton_6->setIcon(look->standardIcon(QStyle::SP_DialogCancelButton));
    m_body->pushButton->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));
    m_body->pushButton_2->setIcon(look->standardIcon(QStyle::SP_ComputerIcon));
    m_body->pushButton_11->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    m_body->pushButton_5->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    m_body->pushButton_8->setIcon(look->standardIcon(QStyle::SP_DialogOkButton));
    (m_setup.receivableActions ? m_body->pushButton_10 : m_body->pushButton_9)
        ->setIcon(look->standardIcon(QStyle::SP_FileDialogDetailedView));

    m_body->comboBox_2->setFocus();
}

LedgerForm::~LedgerForm()
{
    delete m_body;
}

void LedgerForm::fillPickLists()
{
    PartyList::fill(m_body->comboBox_2, m_setup.partyList);
    PartyList::fill(m_body->comboBox_5, m_setup.partyList);
    m_body->comboBox->addItems(m_setup.queryFields);
}

void LedgerForm::takeAccountKind()
{
    QStringList categories;
    QString error;
    if (!Gateway::readTexts(Categories, &categories, &error)) {
        Messages::databaseError(this, error);
    }
    const int kind = Kinds.indexOf(AccountKind);
    if (kind < 0) {
        setWindowTitle(m_setup.titles.value(0));
        return; // an unknown kind leaves both category boxes empty
    }
    if (kind < categories.size()) {
        m_category = categories.at(kind);
        m_body->comboBox_3->addItem(m_category);
        m_body->comboBox_4->addItem(m_category);
    }
    setWindowTitle(m_setup.titles.value(kind));
}

void LedgerForm::setUpTable()
{
    QTableView *view = m_body->tableView;
    view->setModel(m_model);
    auto *readOnly = new ReadOnlyDelegate(this);
    m_delegates << readOnly;
    for (int column = 0; column < m_setup.editors.size(); ++column) {
        QItemDelegate *delegate = nullptr;
        switch (m_setup.editors.at(column)) {
        case LedgerSetup::Editor::Plain:
            delegate = new QItemDelegate(this);
            break;
        case LedgerSetup::Editor::Money:
            delegate = new MoneyDelegate(this);
            break;
        case LedgerSetup::Editor::ReadOnly:
            delegate = readOnly;
            break;
        case LedgerSetup::Editor::Partner:
            delegate = new Cus_SupDelegate(this);
            break;
        case LedgerSetup::Editor::Invoice:
        case LedgerSetup::Editor::Cash: {
            RecordIdDelegate *ids = nullptr;
            const bool invoice = m_setup.editors.at(column) == LedgerSetup::Editor::Invoice;
            if (m_setup.receivableActions) {
                ids = invoice ? static_cast<RecordIdDelegate *>(new InvoiceNo_CusDelegate(this))
                              : static_cast<RecordIdDelegate *>(new CashNo_CusDelegate(this));
            } else {
                ids = invoice ? static_cast<RecordIdDelegate *>(new InvoiceNo_SupDelegate(this))
                              : static_cast<RecordIdDelegate *>(new CashNo_SupDelegate(this));
            }
            // The list belongs to the row being edited, also when the editor
            // is opened from the keyboard.
            ids->setPartyColumn(2);
            delegate = ids;
            break;
        }
        }
        if (delegate != readOnly) {
            m_delegates << delegate;
        }
        view->setItemDelegateForColumn(column, delegate);
        m_model->setHeaderData(column, Qt::Horizontal, m_setup.headers.value(column));
        view->setColumnWidth(column, m_setup.widths.value(column, 100));
    }
    view->setAlternatingRowColors(true);
    view->horizontalHeader()->setMinimumHeight(32);
    view->hideColumn(m_setup.idColumn);
    PartyTexts::followCurrentRow(view, 2, m_setup.party);
}

bool LedgerForm::selectRows()
{
    const bool ok = m_model->select();
    if (!ok) {
        Messages::databaseError(this, m_model->lastError().text());
    }
    return ok;
}

// The stored rows this screen shows: their bindings may move between them.
QSet<long long> LedgerForm::rowsShown(const Rows &rows) const
{
    QSet<long long> ids;
    for (const GuardedTableModel::Row &row : rows) {
        if (row.state != GuardedTableModel::Row::State::New) {
            // The key is never edited: the cell holds the loaded one.
            ids.insert(DecimalText::integerOf(row.values.value(m_setup.idColumn).toString()));
        }
    }
    return ids;
}

void LedgerForm::showTotal(const QString &pattern)
{
    double sum = 0;
    if (m_model->canFetchMore() && !m_model->isDirty()) {
        // A long list is read as the user scrolls; its total comes from the
        // database instead of waiting for every row.
        QSqlQuery query;
        if (!query.exec(TotalOf.arg(m_setup.table, m_model->filter())) || !query.next()) {
            Messages::databaseError(this, query.lastError().text());
        }
        sum = query.value(0).toDouble();
    } else {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            sum += DecimalText::valueOf(text(row, 3));
        }
    }
    m_body->label->setText(pattern.arg(DecimalText::twoDecimals(sum)));
}

QString LedgerForm::text(int row, int column) const
{
    return m_model->data(m_model->index(row, column), Qt::EditRole).toString();
}

void LedgerForm::setText(int row, int column, const QVariant &value)
{
    m_model->setData(m_model->index(row, column), value, Qt::EditRole);
}

bool LedgerForm::periodCollides(const QString &company, const QString &begin, const QString &end)
{
    const LedgerImport::Period period{begin, end};
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(m_setup.periodsSql.arg(q(m_category), q(company)))) {
        Messages::databaseError(this, query.lastError().text());
        return true;
    }
    while (query.next()) {
        const LedgerImport::Period stored{query.value(0).toString().left(10),
                                          query.value(1).toString().left(10)};
        if (LedgerImport::overlaps(period, stored)) {
            return true;
        }
    }
    // Rows generated but not saved yet count as well.
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (text(row, 2) == company && text(row, m_setup.categoryColumn) == m_category
            && LedgerImport::overlaps(period, {text(row, 0).left(10), text(row, 1).left(10)})) {
            return true;
        }
    }
    return false;
}

// "确定": a new billing period for the partner, on the screen until saved.
void LedgerForm::on_pushButton_11_clicked()
{
    const QString amount = m_body->lineEdit_3->text().trimmed();
    const QString company = m_body->comboBox_2->currentText().trimmed();
    if (amount.isEmpty() || company.isEmpty()) {
        Messages::warning(this, QStringLiteral("错误提示"), m_setup.missingText);
        return;
    }
    const QDate beginDate = m_body->dateEdit->date();
    const QDate endDate = m_body->dateEdit_4->date();
    if (endDate < beginDate) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("结束日期不能小于开始日期！"));
        return;
    }
    const QString begin = SqlText::dayText(beginDate);
    const QString end = SqlText::dayText(endDate);
    m_model->fetchAll();
    if (periodCollides(company, begin, end)) {
        Messages::information(this, QStringLiteral("重复提示"), QStringLiteral("本周期已有货款生成！"));
        return;
    }
    const int row = m_model->rowCount();
    m_model->insertRow(row);
    setText(row, 0, begin);
    setText(row, 1, end);
    setText(row, 2, company);
    setText(row, 3, amount);
    setText(row, m_setup.remarksColumn, m_body->lineEdit_2->text());
    setText(row, m_setup.categoryColumn, m_category);
    setText(row, m_setup.operatorColumn, LoginState::userName);

    m_body->comboBox_2->setFocus();
    m_body->comboBox_2->setCurrentText(QString());
    m_body->lineEdit_2->clear();
    m_body->lineEdit_3->clear();
    showTotal(QStringLiteral("价税金额合计%1元"));
}

void LedgerForm::on_lineEdit_2_returnPressed()
{
    on_pushButton_11_clicked();
}

void LedgerForm::on_lineEdit_3_returnPressed()
{
    if (!m_body->lineEdit_3->text().trimmed().isEmpty()) {
        m_body->lineEdit_2->setFocus();
    }
}

void LedgerForm::on_tableView_doubleClicked(const QModelIndex &index)
{
    if (index.isValid() && m_setup.party) {
        *m_setup.party = m_model->index(index.row(), 2).data().toString();
    }
}

// A press on the cash cell of an unaudited deposit or current-account row
// works out the late-payment interest from the day the money came.
void LedgerForm::on_tableView_pressed(const QModelIndex &index)
{
    if (!index.isValid() || index.column() != m_setup.cashColumn) {
        return;
    }
    const int row = index.row();
    const long long cashId = DecimalText::integerOf(text(row, m_setup.cashColumn));
    if (!text(row, m_setup.checkerColumn).isEmpty() || cashId <= 0
        || text(row, m_setup.categoryColumn) == TradeCategory) {
        return;
    }
    QSqlQuery query;
    if (!query.exec(PaidOn.arg(cashId))) {
        Messages::databaseError(this, query.lastError().text());
        return;
    }
    if (!query.next()) {
        return;
    }
    const QDate paid = QDate::fromString(query.value(0).toString().left(10), Qt::ISODate);
    const QDate end = QDate::fromString(text(row, 1).left(10), Qt::ISODate);
    if (!paid.isValid() || !end.isValid()) {
        return;
    }
    const double interest = interestFor(DecimalText::valueOf(text(row, 3)), int(end.daysTo(paid)));
    setText(row, m_setup.interestColumn, DecimalText::twoDecimals(interest));
}

bool LedgerForm::mayWrite(const QString &right)
{
    if (!PermissionCheck(right)) {
        Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("无此权限"));
        return false;
    }
    return true;
}

// Whether the ids that new or changed rows bind are free: no stored row
// that this screen does not show may hold them. Only rows this screen changes
// can bind anew. Asked inside the save's transaction.
bool LedgerForm::bindingsFree(const Rows &shownRows, int column, const QSet<long long> &shown,
                              const QString &pattern, QString *message)
{
    using State = GuardedTableModel::Row::State;
    const bool invoices = column == m_setup.invoiceColumn;
    auto idOf = [&shownRows, column](int row) {
        return DecimalText::integerOf(shownRows.at(row).values.value(column).toString());
    };
    QVector<int> rows;
    QSet<long long> ids;
    for (int row = 0; row < shownRows.size(); ++row) {
        const GuardedTableModel::Row &shownRow = shownRows.at(row);
        if (shownRow.state == State::Removed || shownRow.state == State::Loaded
            || (shownRow.state == State::Changed && !shownRow.edited.value(column))) {
            continue;
        }
        const long long id = idOf(row);
        if (id != 0) {
            rows << row;
            ids.insert(id);
        }
    }
    QSet<long long> taken;
    const QList<long long> all = ids.values();
    for (int first = 0; first < all.size(); first += IdsPerQuery) {
        QStringList part;
        for (int i = first; i < all.size() && i < first + IdsPerQuery; ++i) {
            part << QString::number(all.at(i));
        }
        QSqlQuery query;
        query.setForwardOnly(true);
        if (!query.exec((invoices ? m_setup.invoiceHoldersSql : m_setup.cashHoldersSql)
                            .arg(part.join(QLatin1Char(','))))) {
            *message = query.lastError().text();
            return false;
        }
        while (query.next()) {
            if (!shown.contains(query.value(1).toLongLong())) {
                taken.insert(query.value(0).toLongLong());
            }
        }
    }
    for (int row : qAsConst(rows)) {
        if (taken.contains(idOf(row))) {
            *message = pattern.arg(row + 1);
            return false;
        }
    }
    return true;
}

// The check both saves run over every row shown before anything is written.
bool LedgerForm::checkRows(const Rows &rows)
{
    using State = GuardedTableModel::Row::State;
    auto cell = [&rows](int row, int column) { return rows.at(row).values.value(column).toString(); };
    for (const auto &unique : {qMakePair(m_setup.invoiceColumn, QStringLiteral("发票号不能重复！")),
                               qMakePair(m_setup.cashColumn, QStringLiteral("资金号不能重复！"))}) {
        QSet<long long> seen;
        for (int row = 0; row < rows.size(); ++row) {
            if (rows.at(row).state == State::Removed) {
                continue;
            }
            const long long id = DecimalText::integerOf(cell(row, unique.first));
            if (id == 0) {
                continue;
            }
            if (seen.contains(id)) {
                Messages::warning(this, QStringLiteral("错误提示"), unique.second);
                return false;
            }
            seen.insert(id);
        }
    }
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).state == State::Removed) {
            continue; // waiting for the save
        }
        for (int column : qAsConst(m_setup.requiredColumns)) {
            if (cell(row, column).trimmed().isEmpty()) {
                Messages::warning(this, QStringLiteral("错误提示"),
                                  QStringLiteral("第%1行不能有为空内容").arg(row + 1));
                return false;
            }
        }
        if (!cell(row, m_setup.checkerColumn).isEmpty()) {
            Messages::warning(this, QStringLiteral("错误提示"),
                              QStringLiteral("第%1行已审核，不能修改").arg(row + 1));
            return false;
        }
        if (m_setup.checksDates
            && (!isCalendarDate(cell(row, 0).left(10)) || !isCalendarDate(cell(row, 1).left(10)))) {
            Messages::warning(this, QStringLiteral("错误提示"),
                              QStringLiteral("第%1行日期格式不正确").arg(row + 1));
            return false;
        }
    }
    return true;
}

// Writes every change in one transaction; a refusal leaves the changes on
// the screen for correction.
bool LedgerForm::submit(const Rows &rows)
{
    QString message;
    const QSet<long long> shown = rowsShown(rows);
    const auto outcome = m_model->saveAll(&message, [this, &rows, &shown](QString *refusal) {
        return bindingsFree(rows, m_setup.invoiceColumn, shown, QStringLiteral("第%1行发票已绑定，请检查"), refusal)
            && bindingsFree(rows, m_setup.cashColumn, shown, QStringLiteral("第%1行资金已绑定，请检查"), refusal);
    });
    return GuardedTableModel::tellOutcome(this, outcome, message);
}

bool LedgerForm::saveAll(bool reload)
{
    if (!mayWrite(m_setup.entryRight)) {
        return false;
    }
    // Read once: the checks and the save go over every row shown.
    const Rows rows = m_model->shownRows();
    if (!checkRows(rows) || !submit(rows)) {
        return false;
    }
    if (reload) {
        m_model->setFilter(SavedFilter.arg(q(m_body->comboBox_3->currentText()),
                                           SqlText::dayText(m_body->dateEdit->date()),
                                           SqlText::dayText(m_body->dateEdit_4->date())));
        selectRows();
    }
    showTotal(QStringLiteral("价税合计金额%1元"));
    Messages::information(this, QStringLiteral("保存提示"), QStringLiteral("保存成功！"));
    return true;
}

bool LedgerForm::hasUnsavedChanges() const
{
    return m_model && m_model->isDirty();
}

bool LedgerForm::saveChanges()
{
    m_body->pushButton_3->click();
    return !hasUnsavedChanges();
}

void LedgerForm::on_pushButton_3_clicked()
{
    saveAll(true);
}

// The context-menu save keeps the rows shown; it writes all or nothing like
// the button.
void LedgerForm::baocun()
{
    saveAll(false);
}

// The discount a customer was granted is owed on to the company named in the
// remarks: it becomes a current-account payable of the same period.
void LedgerForm::yfwl()
{
    const QModelIndex current = m_body->tableView->currentIndex();
    if (!current.isValid()) {
        Messages::warning(this, QStringLiteral("操作提示"), QStringLiteral("请选择一行"));
        return;
    }
    const int row = current.row();
    const QString discount = text(row, m_setup.discountColumn).trimmed();
    if (DecimalText::valueOf(discount) <= 0) {
        Messages::warning(this, QStringLiteral("操作提示"), QStringLiteral("折扣金额必须大于零！"));
        return;
    }
    const QString owed = text(row, m_setup.remarksColumn).trimmed();
    if (owed.isEmpty()) {
        Messages::warning(this, QStringLiteral("操作提示"), QStringLiteral("请选择公司！"));
        return;
    }
    const QString begin = text(row, 0).trimmed().left(10);
    const QString end = text(row, 1).trimmed().left(10);
    const QString amount = DecimalText::twoDecimals(DecimalText::valueOf(discount));
    QSqlQuery query;
    if (!query.exec(SamePayable.arg(q(begin), q(end), q(owed), amount, q(DiscountCategory)))) {
        Messages::warning(this, QStringLiteral("数据错误"), query.lastError().text());
        return;
    }
    if (query.next() && query.value(0).toInt() > 0
        && Messages::question(this, QStringLiteral("重复提示"),
                              QStringLiteral("已有相同的应付（往来）：%1 %2至%3 金额%4，是否再生成一笔？")
                                  .arg(owed, begin, end, amount))
            != QMessageBox::Yes) {
        return;
    }
    if (!query.exec(InsertPayable.arg(q(begin), q(end), q(owed), amount,
                                      q(text(row, 2).trimmed()), q(DiscountCategory),
                                      q(LoginState::userName.trimmed())))) {
        Messages::warning(this, QStringLiteral("数据错误"), query.lastError().text());
        return;
    }
    Messages::information(this, QStringLiteral("操作提示"),
                          QStringLiteral("已生成应付（往来）：%1 %2至%3 金额%4")
                              .arg(owed, begin, end, amount));
}

void LedgerForm::on_pushButton_4_clicked()
{
    m_model->revertAll();
    showTotal(QStringLiteral("价税合计金额%1元"));
}

void LedgerForm::on_pushButton_6_clicked()
{
    if (!mayWrite(m_setup.entryRight)) {
        return;
    }
    const QModelIndex current = m_body->tableView->currentIndex();
    if (!current.isValid()) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("请先选择一行！"));
        return;
    }
    const int row = current.row();
    if (!text(row, m_setup.checkerColumn).isEmpty()) {
        Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("已经审核，不能删除！"));
        return;
    }
    const bool otherChanges = m_model->isDirty();
    m_model->removeRow(row);
    if (Messages::question(this, QStringLiteral("删除当前行"), QStringLiteral("确定删除此行？"))
        != QMessageBox::Yes) {
        m_model->revertAll();
    } else {
        const Rows rows = m_model->shownRows();
        if (otherChanges && !checkRows(rows)) {
            // The other changes go with the removal; what "保存" refuses
            // stays unsaved, and so does the removal.
            m_model->revertRow(row);
        } else {
            submit(rows);
        }
    }
    showTotal(QStringLiteral("价税合计金额%1元"));
}

void LedgerForm::setChecker(bool audit)
{
    if (!mayWrite(m_setup.auditRight)) {
        return;
    }
    m_model->revertAll();
    const Rows loaded = m_model->shownRows();
    const QString user = LoginState::userName;
    for (int row = 0; row < loaded.size(); ++row) {
        const bool audited = !loaded.at(row).values.value(m_setup.checkerColumn).toString().isEmpty();
        if (audit && !audited) {
            setText(row, m_setup.checkerColumn, user);
        } else if (!audit && audited) {
            setText(row, m_setup.checkerColumn, QString::fromLatin1(""));
        }
    }
    if (!submit(m_model->shownRows())) {
        // Nothing of the stamp is left half-done on the screen.
        m_model->revertAll();
    }
    showTotal(QStringLiteral("价税合计金额%1元"));
}

void LedgerForm::on_pushButton_5_clicked()
{
    setChecker(true);
}

void LedgerForm::on_pushButton_8_clicked()
{
    setChecker(false);
}

void LedgerForm::on_pushButton_9_clicked()
{
    if (m_setup.receivableActions) {
        markCommission();
    } else {
        exportRows();
    }
}

void LedgerForm::on_pushButton_10_clicked()
{
    exportRows();
}

void LedgerForm::on_pushButton_12_clicked()
{
    undoCommission();
}

void LedgerForm::on_pushButton_13_clicked()
{
    importFile();
}

// Rows whose money has come in are marked as paid out for the salesmen's
// commission; the marks are written by the next save.
void LedgerForm::markCommission()
{
    m_model->fetchAll();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!text(row, m_setup.checkerColumn).isEmpty()) {
            Messages::warning(this, QStringLiteral("错误提示"),
                              QStringLiteral("第%1行已审核，不能修改").arg(row + 1));
            return;
        }
    }
    const QString today = SqlText::dayText(QDate::currentDate());
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (DecimalText::integerOf(text(row, m_setup.cashColumn)) > 0
            && text(row, m_setup.commissionColumn).left(10) == NoDate) {
            setText(row, m_setup.commissionColumn, today);
        }
    }
    Messages::information(this, QStringLiteral("操作提示"), QStringLiteral("操作成功！"));
}

void LedgerForm::undoCommission()
{
    const QModelIndex current = m_body->tableView->currentIndex();
    if (!current.isValid()) {
        Messages::warning(this, QStringLiteral("错误提示"), QStringLiteral("请先选择一行！"));
        return;
    }
    if (!text(current.row(), m_setup.checkerColumn).isEmpty()) {
        Messages::warning(this, QStringLiteral("权限提示"), QStringLiteral("已经审核，不能修改！"));
        return;
    }
    setText(current.row(), m_setup.commissionColumn, NoDate);
}

void LedgerForm::exportRows()
{
    CsvExport::exportModel(this, m_body->tableView, m_model, m_body->progressBar);
}

void LedgerForm::importFile()
{
    if (!mayWrite(QStringLiteral("应收导入"))) {
        return;
    }
    const QString fileName = FileDialogs::getOpenFileName(this, QStringLiteral("打开文件"),
                                                          QStringLiteral("."),
                                                          QStringLiteral("files(*.csv)"));
    if (fileName.isEmpty()) {
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Messages::warning(this, QStringLiteral("错误提示"), file.errorString());
        return;
    }
    const QVector<LedgerImport::Line> lines =
        LedgerImport::lines(LedgerImport::records(LedgerImport::decode(file.readAll())));
    if (lines.isEmpty()) {
        Messages::warning(this, QStringLiteral("操作提示"), QStringLiteral("文件中没有可导入的数据！"));
        return;
    }

    LedgerImport::Known known;
    QString error;
    QStringList texts;
    // Only receivables import: their partners are the customers.
    if (!Gateway::readTexts(m_setup.partyList, &texts, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    known.companies = QSet<QString>(texts.begin(), texts.end());
    if (!Gateway::readTexts(Categories, &texts, &error)) {
        Messages::databaseError(this, error);
        return;
    }
    known.categories = QSet<QString>(texts.begin(), texts.end());

    // Only stored periods of the file's customers and categories, ending
    // within the file's span of days, can collide with its lines: one read
    // per category and block of customers, along the index that starts with
    // those columns.
    QHash<QString, QStringList> companiesOf; // by category
    QString first;
    QString last;
    for (const LedgerImport::Line &line : lines) {
        if (line.begin.isEmpty() || line.end.isEmpty() || !known.companies.contains(line.company)
            || !known.categories.contains(line.category)) {
            continue; // refused by the check whatever is stored
        }
        companiesOf[line.category] << line.company;
        if (first.isEmpty() || line.begin < first) {
            first = line.begin;
        }
        last = qMax(last, line.end);
    }
    for (QStringList &companies : companiesOf) {
        companies.removeDuplicates();
    }

    QVector<LedgerImport::Problem> problems;
    if (!storeImport(lines, companiesOf, first, last, &known, &problems, &error)) {
        if (problems.isEmpty()) {
            Messages::warning(this, QStringLiteral("数据错误"), error);
        } else {
            Messages::warning(this, QStringLiteral("错误提示"), LedgerImport::report(problems));
        }
        return;
    }
    Messages::information(this, QStringLiteral("操作提示"),
                          QStringLiteral("导入成功！共导入%1行").arg(lines.size()));
    if (selectRows()) {
        showTotal(QStringLiteral("价税合计金额%1元"));
    }
}

void LedgerForm::on_pushButton_7_clicked()
{
    QString content = m_body->comboBox_5->currentText().trimmed();
    const QString field = m_body->comboBox->currentText();
    QString filter = OpenFilter.arg(SqlText::dayText(m_body->dateEdit_2->date()),
                                    SqlText::dayText(m_body->dateEdit_3->date()))
        + CategoryFilter.arg(q(m_body->comboBox_4->currentText()));
    if (!content.isEmpty()) {
        if (field == QStringLiteral("公司")) {
            filter += CompanyFilter.arg(q(content));
        } else if (field == QStringLiteral("提成日期")) {
            filter += CommissionFilter.arg(q(content));
        } else {
            content = content.section(QLatin1Char('.'), 0, 0);
            bool isNumber = false;
            const long long amount = content.toLongLong(&isNumber, 10);
            if (!isNumber) {
                Messages::warning(this, QStringLiteral("输入提示"), QStringLiteral("金额必须是数字！"));
                return;
            }
            filter += AmountFilter.arg(amount);
        }
    }
    m_body->pushButton_7->setEnabled(false);
    m_body->pushButton_7->setText(QStringLiteral("查询中..."));
    QApplication::processEvents();
    m_model->setFilter(filter);
    m_model->setSort(0, Qt::AscendingOrder);
    if (selectRows()) {
        showTotal(QStringLiteral("价税合计金额%1元"));
    }
    m_body->pushButton_7->setText(QStringLiteral("查询"));
    m_body->pushButton_7->setEnabled(true);
}

void LedgerForm::on_pushButton_clicked()
{
    m_model->revertAll();
    ListPrint::preview(this, [this](QPrinter *printer) { printDocument(printer); });
}

void LedgerForm::on_pushButton_2_clicked()
{
    m_model->revertAll();
    ListPrint::printNow(this, [this](QPrinter *printer) { printDocument(printer); });
}

void LedgerForm::printDocument(QPrinter *printer)
{
    m_model->fetchAll();
    const QStringList headers = QStringList{QStringLiteral("序号")} + m_setup.printHeaders;
    // Printed column c shows model column c - 1; the id column is left out.
    ListPrint::drawList(printer, ListPrint::Page(), m_setup.printTitle, headers, m_model->columnCount(),
                        m_model->rowCount(),
                        [this](int row, int column) {
                            return column == 4 ? DecimalText::twoDecimals(DecimalText::valueOf(text(row, 3)))
                                               : text(row, column - 1);
                        },
                        m_body->progressBar);
}
