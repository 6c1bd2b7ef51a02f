#include "bench/bench.h"

#include "db/mssqltranslator.h"

#include "finance/commision.h"
#include "tracking/payment_info.h"
#include "tracking/receivable_info.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <random>


// The tracking reports and the commission report on the accounts of a large
// company: 5,000 customers, 2,000 suppliers, 200,000 receivable and 100,000
// payable periods, 300,000 cash entries. Each query is timed through its
// form (button to filled table) beside the same statement read to its end on
// the engine; each must stay within 1 s and within 1.5 times the engine's own
// time plus the fill (here the fill is the model's fetch, which the engine's
// reading already contains).

namespace {

const int CustomerCount = 5000;
const int SupplierCount = 2000;
const int ReceivablesPerCustomer = 40;
const int PayablesPerSupplier = 50;
const int LooseCashEntries = 300000 - 120000 - 60000;
const int SalesmanCount = 20;
// Monthly periods up to the statistics month.
const QDate StatisticsDay(2026, 4, 30);

using Bench::say;

class Inserter
{
public:
    explicit Inserter(const QString &sql) { m_ok = m_query.prepare(sql); }
    bool add(const QVariantList &values)
    {
        for (int i = 0; m_ok && i < values.size(); ++i) {
            m_query.bindValue(i, values.at(i));
        }
        m_ok = m_ok && m_query.exec();
        return m_ok;
    }
    QString error() const { return m_query.lastError().text(); }

private:
    QSqlQuery m_query;
    bool m_ok = false;
};

QString salesman(int i)
{
    return QStringLiteral("业务员%1").arg(i % SalesmanCount, 2, 10, QLatin1Char('0'));
}

QString money(int cents)
{
    return QString::number(cents / 100.0, 'f', 2);
}

// Periods are months ending on the statistics month; two in five are paid,
// with the cash 10 to 50 days after the period end, one in five only in
// part; a quarter carry an invoice. Paid receivables had their commission
// paid out 5 days after the cash came.
bool fillAccounts(QString *error)
{
    std::mt19937 random(20260430);
    auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    auto fail = [&](const Inserter &insert) {
        *error = insert.error();
        db.rollback();
        return false;
    };

    Inserter employees(QStringLiteral("insert into employee (employee_id,employee_name) values (?,?)"));
    for (int i = 0; i < SalesmanCount; ++i) {
        if (!employees.add({QString::number(i), salesman(i)})) {
            return fail(employees);
        }
    }
    Inserter customers(QStringLiteral("insert into customer (customer_id,customer_name,short_name,area,category,salesman1,salesman2,commision1,commision2,invoice,cycle,accoutant,cooperate) values (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (int code = 1; code <= CustomerCount; ++code) {
        // Every hundredth customer was renamed after its periods were booked:
        // those periods belong to no customer now.
        const QString name = QString::fromUtf8(code % 100 ? "客户%1" : "客户%1(更名)").arg(code);
        if (!customers.add({code, name, QStringLiteral("客%1").arg(code),
                            QStringLiteral("ACE").mid(code % 3, 1), QStringLiteral("类别%1").arg(code % 4),
                            salesman(code), salesman(code / SalesmanCount + 1), QStringLiteral("2.000"),
                            QStringLiteral("0.500"), code % 2, 30 + 15 * (code % 3),
                            QStringLiteral("对账%1").arg(code % 5), code % 10 == 0 ? 0 : 1})) {
            return fail(customers);
        }
    }
    Inserter suppliers(QStringLiteral("insert into supplier (supplier_id,supplier_name,short_name,category,cycle,accoutant,cooperate) values (?,?,?,?,?,?,?)"));
    for (int code = 1; code <= SupplierCount; ++code) {
        if (!suppliers.add({code, QStringLiteral("供应商%1").arg(code), QStringLiteral("供%1").arg(code),
                            QStringLiteral("品类%1").arg(code % 6), 30 + 15 * (code % 3),
                            QStringLiteral("对账%1").arg(code % 5), code % 10 == 0 ? 0 : 1})) {
            return fail(suppliers);
        }
    }

    Inserter cash(QStringLiteral("insert into info (date,company,summary,income,pay,category) values (?,?,?,?,?,?)"));
    Inserter invoices(QStringLiteral("insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values (?,?,?,?,?,?,?)"));
    Inserter receivables(QStringLiteral("insert into receivable (date_begin,date_end,company,money,discount,invoice_id,info_id,remarks,date_commision,inout_category,operator) values (?,?,?,?,?,?,?,?,?,?,?)"));
    Inserter payables(QStringLiteral("insert into payment (date_begin,date_end,company,money,invoice_id,info_id,remarks,inout_category,operator) values (?,?,?,?,?,?,?,?,?)"));
    int cashId = 0;
    int invoiceId = 0;
    auto writePeriods = [&](int partners, int periods, bool receivable) {
        for (int code = 1; code <= partners; ++code) {
            const QString company = receivable ? QStringLiteral("%1-客户%1").arg(code) : QStringLiteral("%1-供应商%1").arg(code);
            for (int p = periods - 1; p >= 0; --p) {
                const QDate begin = QDate(StatisticsDay.year(), StatisticsDay.month(), 1).addMonths(-p);
                const QDate end = begin.addDays(begin.daysInMonth() - 1);
                const int amount = between(10000, 5000000);
                const int state = between(0, 4);
                int info = 0;
                QString commission = QStringLiteral("2001-01-01");
                if (state < 3 && p > 0) {
                    const QDate paid = end.addDays(between(10, 50));
                    const int part = state == 2 ? amount / 2 : amount;
                    if (!cash.add({paid.toString(Qt::ISODate), company, QStringLiteral("回款"),
                                   money(receivable ? part : 0), money(receivable ? 0 : part),
                                   QStringLiteral("销售回款")})) {
                        return fail(cash);
                    }
                    info = ++cashId;
                    commission = paid.addDays(5).toString(Qt::ISODate);
                }
                int invoice = 0;
                if (state % 2 == 0 && between(0, 1) == 0) {
                    if (!invoices.add({end.toString(Qt::ISODate), QString::number(++invoiceId), money(amount), company,
                                       receivable ? QStringLiteral("销项") : QStringLiteral("进项"),
                                       QStringLiteral("test001"), QString()})) {
                        return fail(invoices);
                    }
                    invoice = invoiceId;
                }
                const bool ok = receivable
                    ? receivables.add({begin.toString(Qt::ISODate), end.toString(Qt::ISODate), company, money(amount),
                                       QStringLiteral("0"), invoice, info, QString(), commission,
                                       QStringLiteral("货款"), QStringLiteral("test001")})
                    : payables.add({begin.toString(Qt::ISODate), end.toString(Qt::ISODate), company, money(amount),
                                    invoice, info, QString(), QStringLiteral("货款"), QStringLiteral("test001")});
                if (!ok) {
                    return fail(receivable ? receivables : payables);
                }
            }
        }
        return true;
    };
    if (!writePeriods(CustomerCount, ReceivablesPerCustomer, true) || !writePeriods(SupplierCount, PayablesPerSupplier, false)) {
        return false;
    }
    for (int i = 0; i < LooseCashEntries; ++i) {
        const int code = between(1, CustomerCount);
        if (!cash.add({StatisticsDay.addDays(-between(0, 1200)).toString(Qt::ISODate),
                       QStringLiteral("%1-客户%1").arg(code), QStringLiteral("杂项"), QStringLiteral("0"),
                       money(between(100, 100000)), QStringLiteral("费用报销")})) {
            return fail(cash);
        }
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery analyze;
    analyze.exec(QStringLiteral("analyze"));
    return true;
}

// Reads every value of every row; false on failure.
bool runOnEngine(const QString &sql, int *rows, Bench::Timing *timing)
{
    bool failed = false;
    *rows = 0;
    *timing = Bench::timed([&] {
        QSqlQuery query;
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            failed = true;
            say(query.lastError().text());
            return;
        }
        const int columns = query.record().count();
        while (query.next()) {
            for (int c = 0; c < columns; ++c) {
                query.value(c).toString();
            }
            ++*rows;
        }
    });
    return !failed;
}

QString both(const Bench::Timing &timing)
{
    return QStringLiteral("%1 s (processor %2 s)").arg(timing.wall, 0, 'f', 3).arg(timing.cpu, 0, 'f', 3);
}

// With JXC_BENCH_PLAN set, how the engine runs sql: the plan of each
// translated statement.
void printPlan(const QString &sql)
{
    if (qEnvironmentVariableIsEmpty("JXC_BENCH_PLAN")) {
        return;
    }
    const QVariant handle = QSqlDatabase::database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return;
    }
    sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
    const MssqlTranslator::Translation translation = MssqlTranslator::translate(sql);
    for (const QString &statement : translation.statements) {
        sqlite3_stmt *plan = nullptr;
        const QByteArray text = QStringLiteral("explain query plan %1").arg(statement).toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), text.size(), &plan, nullptr) != SQLITE_OK) {
            say(QString::fromUtf8(sqlite3_errmsg(db)));
            continue;
        }
        while (sqlite3_step(plan) == SQLITE_ROW) {
            say(QStringLiteral("  plan %1<-%2 %3")
                    .arg(sqlite3_column_int(plan, 0))
                    .arg(sqlite3_column_int(plan, 1))
                    .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(plan, 3)))));
        }
        sqlite3_finalize(plan);
    }
}

// The form's time from the click to the filled table (for a list read as
// the user scrolls: its first rows and its totals line) beside the engine's
// time for reading the same statement to its end, and their ratio.
bool measure(const QString &what, const QString &sql, QPushButton *button, QSqlQueryModel *model,
             const QString &quoted = QString())
{
    printPlan(sql);
    int rows = 0;
    Bench::Timing engine;
    runOnEngine(sql, &rows, &engine); // warms the page cache
    if (!runOnEngine(sql, &rows, &engine)) {
        return false;
    }
    // Dropping the list shown before (up to 200,000 rows read while
    // scrolling) belongs to that list, not to this query.
    const Bench::Timing dropped = Bench::timed([model] { model->clear(); });
    if (dropped.wall >= 0.01) {
        say(QStringLiteral("dropping the list shown before: %1").arg(both(dropped)));
    }
    const Bench::Timing form = Bench::timed([button] { button->click(); });
    const bool scrolled = model->canFetchMore();
    const Bench::Timing rest = Bench::timed([model] {
        while (model->canFetchMore()) {
            model->fetchMore();
        }
    });
    if (model->rowCount() != rows) {
        say(QStringLiteral("%1: the form shows %2 rows, the engine returned %3").arg(what).arg(model->rowCount()).arg(rows));
        return false;
    }
    // A list read whole is allowed the fill of its table: what a bare model
    // reading the same rows takes beyond the engine's own read.
    double fill = 0;
    if (!scrolled) {
        const Bench::Timing bare = Bench::timed([&sql] {
            QSqlQueryModel model;
            model.setQuery(sql);
            while (model.canFetchMore()) {
                model.fetchMore();
            }
        });
        fill = std::max(0.0, bare.wall - engine.wall);
    }
    Bench::report(QStringLiteral("%1 (%2 rows)").arg(what).arg(rows), form.wall, engine.wall,
                  std::min(1.0, 1.5 * engine.wall + fill));
    if (fill > 0) {
        say(QStringLiteral("table fill %1 s").arg(fill, 0, 'f', 3));
    }
    say(QStringLiteral("form %1, engine %2, form/engine %3 (processor %4)")
            .arg(both(form), both(engine))
            .arg(form.wall / engine.wall, 0, 'f', 2)
            .arg(form.cpu / engine.cpu, 0, 'f', 2));
    if (scrolled) {
        say(QStringLiteral("first rows and totals shown; the rest, read as the user scrolls: %1").arg(both(rest)));
    }
    if (!quoted.isEmpty() && quoted != sql) {
        int quotedRows = 0;
        Bench::Timing alone;
        runOnEngine(quoted, &quotedRows, &alone);
        say(QStringLiteral("the statement it stands in for, on the engine: %1").arg(both(alone)));
    }
    return true;
}

template<class Form>
bool measureTracking(const QString &side, const QString &partnerBox, const QString &partner)
{
    Form form;
    form.template findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(StatisticsDay);
    auto *box = form.template findChild<QComboBox *>(partnerBox);
    const struct
    {
        const char *name;
        TrackingForm::Query query;
        const char *button;
    } queries[] = {{"summary", TrackingForm::Summary, "pushButton"},
                   {"detail", TrackingForm::Detail, "pushButton_3"},
                   {"month", TrackingForm::Month, "pushButton_4"}};
    bool ok = true;
    for (const QString &filter : {QString(), partner}) {
        box->setEditText(filter);
        for (const auto &q : queries) {
            const QString what = QStringLiteral("%1 %2%3").arg(side, QLatin1String(q.name),
                                                                 filter.isEmpty() ? QString() : QStringLiteral(", one partner"));
            ok &= measure(what, form.statement(q.query),
                          form.template findChild<QPushButton *>(QLatin1String(q.button)), form.model(),
                          form.quotedStatement(q.query));
        }
    }
    return ok;
}

} // namespace

JXC_BENCH_CASE(trackingReports, "tracking")
{
    Bench::Company company(QStringLiteral("jxc_tracking_5000c"));
    double build = 0;
    if (!company.build(fillAccounts, &build, company.reused())) {
        return false;
    }
    say(QStringLiteral("%1 customers (50 renamed), %2 suppliers, %3 receivables, %4 payables, 300000 cash entries %5")
            .arg(CustomerCount)
            .arg(SupplierCount)
            .arg(CustomerCount * ReceivablesPerCustomer)
            .arg(SupplierCount * PayablesPerSupplier)
            .arg(company.reused() ? QStringLiteral("(kept from an earlier run)")
                                  : QStringLiteral("written in %1 s").arg(build, 0, 'f', 1)));
    // A copy of the company for looking into a slow statement by hand.
    const QString keep = qEnvironmentVariable("JXC_BENCH_KEEP");
    if (!keep.isEmpty()) {
        QSqlQuery copy;
        if (!copy.exec(QStringLiteral("vacuum into '%1'").arg(keep))) {
            say(copy.lastError().text());
        }
    }

    bool ok = measureTracking<receivable_info>(QStringLiteral("receivables"), QStringLiteral("comboBox_8"),
                                               QStringLiteral("2501-客户2501"));
    ok &= measureTracking<payment_info>(QStringLiteral("payables"), QStringLiteral("comboBox_6"),
                                        QStringLiteral("1000-供应商1000"));

    commision report;
    report.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentText(salesman(7));
    report.findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate(2025, 5, 1));
    report.findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(StatisticsDay);
    ok &= measure(QStringLiteral("commission, one salesman, one year"),
                  commision::reportStatement(salesman(7), QStringLiteral("2025-05-01"), StatisticsDay.toString(Qt::ISODate)),
                  report.findChild<QPushButton *>(QStringLiteral("pushButton")), report.model());
    return ok;
}
