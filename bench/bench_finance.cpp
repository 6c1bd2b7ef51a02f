#include "bench/bench.h"

#include "finance/cashbook.h"
#include "finance/invoice.h"
#include "widgets/accountkind.h"
#include "widgets/celldelegates.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTableWidget>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <random>

// The invoice register and the cash journal on three years of a busy
// company: 100,000 invoices and 200,000 cash entries among 200 suppliers and
// 500 customers, one customer of which holds 5,000 invoices and 5,000 cash
// entries. The queries are timed through the forms (query button to the last
// row fetched and the total shown) beside the statement the model sent, read
// to its end on the engine; each must stay within 0.5 s and within 1.5 times
// the engine's time plus the time to fill a table. Opening an id pick list of
// the busy customer must stay within 0.2 s.

namespace {

const int CustomerCount = 500;
const int SupplierCount = 200;
const int InvoiceCount = 100000;
const int CashCount = 200000;
const int BusyRecords = 5000;
const QString Busy = QStringLiteral("1-客户1");

const QDate FirstDay(2022, 1, 1);
const QDate LastDay(2024, 12, 31);
const QString MonthStart = QStringLiteral("2024-06-01");
const QString MonthEnd = QStringLiteral("2024-06-30");
const QString YearStart = QStringLiteral("2024-01-01");
const QString YearEnd = QStringLiteral("2024-12-31");

using Bench::say;

bool insertAll(const QString &sql, int count, const std::function<QVariantList(int)> &values, QString *error)
{
    QSqlQuery insert;
    if (!insert.prepare(sql)) {
        *error = insert.lastError().text();
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const QVariantList row = values(i);
        for (int c = 0; c < row.size(); ++c) {
            insert.bindValue(c, row.at(c));
        }
        if (!insert.exec()) {
            *error = insert.lastError().text();
            return false;
        }
    }
    return true;
}

bool fillCompany(QString *error)
{
    std::mt19937 random(20241201);
    const auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const int days = FirstDay.daysTo(LastDay) + 1;
    const auto partner = [&](int i, bool customer) {
        // Every twentieth record belongs to the busy customer.
        if (customer && i % 20 == 0) {
            return Busy;
        }
        return customer ? QStringLiteral("%1-客户%1").arg(between(2, CustomerCount))
                        : QStringLiteral("%1-供应商%1").arg(between(1, SupplierCount));
    };
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    const bool written =
        insertAll(QStringLiteral("insert into customer (customer_id,customer_name,category) values (?,?,?)"),
                  CustomerCount, [](int i) { return QVariantList{i + 1, QStringLiteral("客户%1").arg(i + 1), QString()}; },
                  error)
        && insertAll(QStringLiteral("insert into supplier (supplier_id,supplier_name) values (?,?)"), SupplierCount,
                     [](int i) { return QVariantList{i + 1, QStringLiteral("供应商%1").arg(i + 1)}; }, error)
        && insertAll(QStringLiteral("insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) "
                                    "values (?,?,?,?,?,?,?)"),
                     InvoiceCount,
                     [&](int i) {
                         const bool output = i % 2 == 0;
                         const QDate day = FirstDay.addDays(qint64(i) * days / InvoiceCount);
                         return QVariantList{day.toString(Qt::ISODate), QStringLiteral("FP%1").arg(i, 8, 10, QLatin1Char('0')),
                                             QString::number(between(100, 5000000) / 100.0, 'f', 2),
                                             partner(i, output), output ? QStringLiteral("销项") : QStringLiteral("进项"),
                                             QStringLiteral("test001"),
                                             day < QDate(2024, 6, 1) ? QStringLiteral("test001") : QString()};
                     },
                     error)
        && insertAll(QStringLiteral("insert into info (date,company,summary,income,pay,category) values (?,?,?,?,?,?)"),
                     CashCount,
                     [&](int i) {
                         // The busy customer's share is 5,000 of them.
                         const bool receipt = i % 2 == 0;
                         const QString company = receipt && i % 40 == 0 ? Busy : partner(i | 1, receipt);
                         const QString amount = QString::number(between(100, 5000000) / 100.0, 'f', 2);
                         return QVariantList{FirstDay.addDays(qint64(i) * days / CashCount).toString(Qt::ISODate),
                                             company, receipt ? QStringLiteral("货款收入") : QStringLiteral("货款支出"),
                                             receipt ? amount : QStringLiteral("0"), receipt ? QStringLiteral("0") : amount,
                                             receipt ? QStringLiteral("银行") : QStringLiteral("现金")};
                     },
                     error);
    if (!written) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery analyze;
    analyze.exec(QStringLiteral("analyze"));
    return true;
}

// The statement read to its end, every value as text; the seconds taken, or
// negative when it failed.
double runOnEngine(const QString &sql, QVector<QStringList> *rows)
{
    rows->clear();
    bool failed = false;
    const double seconds = Bench::seconds([&] {
        QSqlQuery query;
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            failed = true;
            return;
        }
        const int columns = query.record().count();
        while (query.next()) {
            QStringList cells;
            for (int c = 0; c < columns; ++c) {
                cells << query.value(c).toString();
            }
            rows->append(cells);
        }
    });
    return failed ? -1 : seconds;
}

double fillSeconds(const QVector<QStringList> &rows)
{
    QTableWidget table;
    table.setColumnCount(rows.isEmpty() ? 1 : rows.first().size());
    return Bench::seconds([&] {
        table.setRowCount(rows.size());
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows.at(r).size(); ++c) {
                table.setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
            }
        }
    });
}

// Sets the range, clicks the query button and reads back what the model sent.
template <class Form>
bool measureQuery(Form &form, const QString &what, const QString &from, const QString &to)
{
    form.template findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(QDate::fromString(from, Qt::ISODate));
    form.template findChild<QDateEdit *>(QStringLiteral("dateEdit_3"))->setDate(QDate::fromString(to, Qt::ISODate));
    QPushButton *button = form.template findChild<QPushButton *>(QStringLiteral("pushButton_7"));
    auto *model = qobject_cast<QSqlQueryModel *>(
        form.template findChild<QTableView *>(QStringLiteral("tableView"))->model());
    button->click(); // warms the page cache
    const double through = Bench::seconds([button] { button->click(); });
    const QString sql = model->query().lastQuery();
    QVector<QStringList> rows;
    runOnEngine(sql, &rows);
    const double engine = runOnEngine(sql, &rows);
    if (engine < 0 || rows.size() != model->rowCount()) {
        say(QStringLiteral("%1: the form shows %2 rows, the engine returned %3")
                .arg(what)
                .arg(model->rowCount())
                .arg(rows.size()));
        return false;
    }
    const double target = std::min(0.5, 1.5 * engine + fillSeconds(rows));
    Bench::report(QStringLiteral("%1 (%2 rows)").arg(what).arg(rows.size()), through, engine, target);
    return true;
}

// Opens the editor of an id cell the way a double-click does.
bool measurePickList(RecordIdDelegate &delegate, const QString &what)
{
    QStandardItemModel cells(1, 2);
    cells.setData(cells.index(0, 0), Busy);
    cells.setData(cells.index(0, 1), 5);
    QTableView view;
    view.setModel(&cells);
    CustomerParty = Busy;
    QVector<QStringList> rows;
    runOnEngine(delegate.listStatementFor(Busy), &rows);
    const double engine = runOnEngine(delegate.listStatementFor(Busy), &rows);
    int items = 0;
    const double through = Bench::seconds([&] {
        QWidget *editor = delegate.createEditor(view.viewport(), QStyleOptionViewItem(), cells.index(0, 1));
        delegate.setEditorData(editor, cells.index(0, 1));
        items = qobject_cast<QComboBox *>(editor)->count();
        delete editor;
    });
    if (engine < 0 || items != rows.size()) {
        say(QStringLiteral("%1: the list holds %2 items, the engine returned %3").arg(what).arg(items).arg(rows.size()));
        return false;
    }
    Bench::report(QStringLiteral("%1 (%2 items)").arg(what).arg(items), through, engine, 0.2);
    return true;
}

} // namespace

JXC_BENCH_CASE(financeForms, "finance")
{
    Bench::Company company;
    double build = 0;
    if (!company.build(fillCompany, &build)) {
        return false;
    }
    say(QStringLiteral("%1 invoices and %2 cash entries over three years written in %3 s")
            .arg(InvoiceCount)
            .arg(CashCount)
            .arg(build, 0, 'f', 1));

    bool measured = true;
    {
        invoice invoices;
        measured &= measureQuery(invoices, QStringLiteral("invoice register, one month"), MonthStart, MonthEnd);
        measured &= measureQuery(invoices, QStringLiteral("invoice register, one year"), YearStart, YearEnd);
    }
    {
        cashbook journal;
        measured &= measureQuery(journal, QStringLiteral("cash journal, one month"), MonthStart, MonthEnd);
    }
    InvoiceNo_CusDelegate invoiceIds;
    CashNo_CusDelegate cashIds;
    measured &= measurePickList(invoiceIds, QStringLiteral("invoice id list, busy customer"));
    measured &= measurePickList(cashIds, QStringLiteral("cash id list, busy customer"));
    return measured;
}
