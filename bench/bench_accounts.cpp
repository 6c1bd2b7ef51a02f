#include "bench/accountsdata.h"
#include "bench/bench.h"

#include "app/loginstate.h"
#include "finance/payment.h"
#include "finance/receivable.h"
#include "widgets/accountkind.h"
#include "widgets/filedialogs.h"
#include "widgets/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>


#include <cstdio>
#include <functional>
#include <memory>

// The receivable and payable forms on 5,000 customers, 2,000 suppliers,
// 200,000 receivables and 100,000 payables over three years, bound to their
// invoices and to 300,000 cash entries: opening, a day and a year of period
// ends, generating a row (the overlap check), saving 500 edited rows and
// importing 10,000 lines. Each within 1 s.

namespace {

const double Target = 1.0;

using Bench::say;

// Bench::report with the CPU time the step took beside its wall time.
double lastCpu = 0;
double engineCpu = -1;
double timed(const std::function<void()> &body)
{
    const double cpu = Bench::cpuSeconds();
    const double wall = Bench::seconds(body);
    lastCpu = Bench::cpuSeconds() - cpu;
    return wall;
}

void report(const QString &what, double formSeconds, double engineSeconds, double targetSeconds)
{
    Bench::report(what, formSeconds, engineSeconds, targetSeconds);
    say(engineCpu < 0 ? QStringLiteral("  (cpu %1 s)").arg(lastCpu, 0, 'f', 3)
                      : QStringLiteral("  (cpu: form %1 s, engine %2 s)").arg(lastCpu, 0, 'f', 3).arg(engineCpu, 0, 'f', 3));
    engineCpu = -1;
}

// The engine reading every value of the rows the form's filter selects.
double onEngine(const QString &table, const QString &filter, int *rows)
{
    *rows = 0;
    const double cpu = Bench::cpuSeconds();
    const double wall = Bench::seconds([&] {
        QSqlQuery query;
        query.setForwardOnly(true);
        query.exec(QStringLiteral("select * from %1 where %2 order by date_begin").arg(table, filter));
        const int columns = query.record().count();
        while (query.next()) {
            for (int c = 0; c < columns; ++c) {
                query.value(c).toString();
            }
            ++*rows;
        }
    });
    engineCpu = Bench::cpuSeconds() - cpu;
    return wall;
}

// Rows of the form's list, once read to the end: a long list is read as the
// user scrolls, so the timed query shows only its first rows and the total.
int shown(QWidget *form)
{
    QAbstractItemModel *model = form->findChild<QTableView *>(QStringLiteral("tableView"))->model();
    while (model->canFetchMore(QModelIndex())) {
        model->fetchMore(QModelIndex());
    }
    return model->rowCount();
}

double queryRange(QWidget *form, const QString &first, const QString &last)
{
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(QDate::fromString(first, Qt::ISODate));
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit_3"))->setDate(QDate::fromString(last, Qt::ISODate));
    auto *button = form->findChild<QPushButton *>(QStringLiteral("pushButton_7"));
    return timed([button] { button->click(); });
}

template <class Form>
bool measureForm(const QString &name, const QString &table, const QString &kind)
{
    AccountKind = kind;
    std::unique_ptr<LedgerForm> form;
    const double open = timed([&] {
        form.reset(new Form);
        form->show();
        QApplication::processEvents();
    });
    report(QStringLiteral("%1: open").arg(name), open, 0, Target);

    const int periods = table == QStringLiteral("receivable") ? 40 : 50;
    const int length = AccountsData::periodDays(periods);
    const QString dayEnd = AccountsData::FirstDay.addDays(qint64(30) * length + length - 1).toString(Qt::ISODate);
    int rows = 0;
    const QString category = QStringLiteral(" and inout_category = '货款'");
    double engine = onEngine(table, QStringLiteral("date_end between '%1' and '%1'").arg(dayEnd) + category, &rows);
    double took = queryRange(form.get(), dayEnd, dayEnd);
    report(QStringLiteral("%1: one day (%2 rows)").arg(name).arg(rows), took, engine, Target);
    if (shown(form.get()) != rows) {
        say(QStringLiteral("the form shows %1 rows, the engine %2").arg(shown(form.get())).arg(rows));
        return false;
    }

    // A new period after the last one of partner 1, on the day's list.
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate(2025, 1, 1));
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit_4"))->setDate(QDate(2025, 1, 31));
    form->findChild<QComboBox *>(QStringLiteral("comboBox_2"))->setCurrentText(
        table == QStringLiteral("receivable") ? AccountsData::customerText(1) : AccountsData::supplierText(1));
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"))->setText(QStringLiteral("100"));
    auto *generate = form->findChild<QPushButton *>(QStringLiteral("pushButton_11"));
    const int before = shown(form.get());
    took = timed([generate] { generate->click(); });
    report(QStringLiteral("%1: generate a row").arg(name), took, 0, Target);
    if (shown(form.get()) != before + 1) {
        say(QStringLiteral("no row was generated"));
        return false;
    }

    engine = onEngine(table, QStringLiteral("date_end between '2024-01-01' and '2024-12-31'") + category, &rows);
    took = queryRange(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-12-31"));
    report(QStringLiteral("%1: a year (%2 rows)").arg(name).arg(rows), took, engine, Target);

    // 500 rows of the last, unaudited months get a remark.
    queryRange(form.get(), QStringLiteral("2024-09-01"), QStringLiteral("2024-12-31"));
    QAbstractItemModel *model = form->findChild<QTableView *>(QStringLiteral("tableView"))->model();
    const int remarks = table == QStringLiteral("receivable") ? 8 : 7;
    while (model->canFetchMore(QModelIndex())) {
        model->fetchMore(QModelIndex());
    }
    const int listed = model->rowCount();
    for (int row = 0; row < 500 && row < model->rowCount(); ++row) {
        model->setData(model->index(row, remarks), QStringLiteral("已对账"));
    }
    auto *save = form->findChild<QPushButton *>(QStringLiteral("pushButton_3"));
    took = timed([save] { save->click(); });
    QSqlQuery count;
    count.exec(QStringLiteral("select count(*) from %1 where remarks='已对账'").arg(table));
    count.next();
    report(QStringLiteral("%1: save 500 edited rows (%2 of %3 shown)").arg(name).arg(count.value(0).toInt()).arg(listed),
                  took, 0, Target);
    return count.value(0).toInt() == 500;
}

// Importing two months of 2025 for every customer: 10,000 lines. The
// reference is the engine's own time for the same rows, inserted directly as
// the import inserts them (a hundred to a statement, bound values, one
// transaction, committed), run after the import so that both find the same
// periods stored. The import may take 1.5 times that plus the table fill, the
// query that shows the form's rows again afterwards.
bool measureImport(int customers, QStringList &answers)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("import.csv"));
    QFile file(fileName);
    file.open(QIODevice::WriteOnly);
    QVector<QStringList> rows;
    for (int month = 1; month <= 2; ++month) {
        const QDate begin(2025, month, 1);
        for (int c = 1; c <= customers; ++c) {
            rows.append({begin.toString(Qt::ISODate), begin.addMonths(1).addDays(-1).toString(Qt::ISODate),
                         AccountsData::customerText(c), QString::number(c), QStringLiteral("货款")});
            file.write(rows.last().join(QLatin1Char(',')).toUtf8() + '\n');
        }
    }
    file.close();
    FileDialogs::setHandler([&fileName](FileDialogs::Kind, QWidget *, const QString &, const QString &,
                                        const QString &) { return fileName; });
    AccountKind = QStringLiteral("货款");
    receivable form;
    answers.clear();
    auto *import = form.findChild<QPushButton *>(QStringLiteral("pushButton_13"));
    const Bench::Timing took = Bench::timed([import] { import->click(); });
    if (answers.value(0) != QStringLiteral("操作提示/导入成功！共导入%1行").arg(rows.size())) {
        say(QStringLiteral("import: %1").arg(answers.join(QLatin1Char(' '))));
        return false;
    }
    auto *query = form.findChild<QPushButton *>(QStringLiteral("pushButton_7"));
    const Bench::Timing fill = Bench::timed([query] { query->click(); });

    const Bench::Timing engine = Bench::timed([&rows] {
        QSqlDatabase db = QSqlDatabase::database();
        db.transaction();
        QStringList marks;
        for (int i = 0; i < 100; ++i) {
            marks << QStringLiteral("(?,?,?,?,?,?)");
        }
        QSqlQuery insert;
        insert.prepare(QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ")
                       + marks.join(QLatin1Char(',')));
        for (int i = 0; i < rows.size(); ++i) {
            for (const QString &value : rows.at(i)) {
                insert.addBindValue(value);
            }
            insert.addBindValue(QStringLiteral("bench"));
            if (i % 100 == 99) {
                insert.exec();
            }
        }
        db.commit();
    });
    const QString what = QStringLiteral("receivables: import %1 lines").arg(rows.size());
    Bench::report(what, took.wall, engine.wall, Target);
    say(QStringLiteral("  wall: import %1 s, engine's inserts %2 s, ratio %3; table fill %4 s")
            .arg(took.wall, 0, 'f', 3).arg(engine.wall, 0, 'f', 3).arg(took.wall / engine.wall, 0, 'f', 2)
            .arg(fill.wall, 0, 'f', 3));
    const double limit = 1.5 * engine.cpu + fill.cpu;
    say(QStringLiteral("  cpu:  import %1 s, engine's inserts %2 s, ratio %3; table fill %4 s; "
                       "limit 1.5 x engine + fill = %5 s  %6")
            .arg(took.cpu, 0, 'f', 3).arg(engine.cpu, 0, 'f', 3).arg(took.cpu / engine.cpu, 0, 'f', 2)
            .arg(fill.cpu, 0, 'f', 3).arg(limit, 0, 'f', 3)
            .arg(took.cpu <= limit ? QStringLiteral("ok") : QStringLiteral("SLOW")));
    return true;
}

} // namespace

JXC_BENCH_CASE(accountsForms, "accounts")
{
    Bench::Company company;
    // JXC_BENCH_SMALL: a tenth of the data, for a quick look while working.
    AccountsData::Size size;
    if (qEnvironmentVariableIsSet("JXC_BENCH_SMALL")) {
        size.receivables /= 10;
        size.payables /= 10;
        size.cashEntries /= 10;
    }
    double filled = 0;
    if (!company.build([&size](QString *error) { AccountsData::fill(size, error); }, &filled)) {
        return false;
    }
    say(QStringLiteral("data made in %1 s").arg(filled, 0, 'f', 1));
    LoginState::rights = QStringLiteral("应收录入,应收审核,应收导入,应付录入,应付审核");
    QStringList answers;
    Messages::setHandler([&answers](QMessageBox::Icon, QWidget *, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons) {
        answers << title + QLatin1Char('/') + text.left(60);
        return QMessageBox::Yes;
    });

    bool ok = measureForm<receivable>(QStringLiteral("receivables"), QStringLiteral("receivable"), QStringLiteral("货款"))
        && measureForm<payment>(QStringLiteral("payables"), QStringLiteral("payment"), QStringLiteral("货款"));

    ok = measureImport(size.customers, answers) && ok;
    FileDialogs::setHandler(FileDialogs::Handler());
    Messages::setHandler(Messages::Handler());
    return ok;
}
