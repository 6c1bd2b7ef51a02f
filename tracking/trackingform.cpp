#include "tracking/trackingform.h"

#include "db/sqltext.h"
#include "widgets/csvexport.h"
#include "widgets/decimaltext.h"
#include "widgets/messages.h"

#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>

namespace {

QString dayText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// template with %1, %2, … replaced in one pass, so that a value holding
// "%2" stays as it is.
QString filled(const QString &templ, const QStringList &values)
{
    QString out;
    out.reserve(templ.size() + 64);
    for (int i = 0; i < templ.size(); ++i) {
        const QChar c = templ.at(i);
        if (c == QLatin1Char('%') && i + 1 < templ.size() && templ.at(i + 1).isDigit()) {
            const int n = templ.at(i + 1).digitValue();
            if (n >= 1 && n <= values.size()) {
                out += values.at(n - 1);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QStringList textsOf(const QString &sql)
{
    QStringList texts;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (query.exec(sql)) {
        while (query.next()) {
            texts << query.value(0).toString();
        }
    }
    return texts;
}

// Shows the columns that have headers; the sent statements add their
// ordering keys after them.
class ShownColumnsModel : public QSqlQueryModel
{
public:
    using QSqlQueryModel::QSqlQueryModel;
    int shown = 0;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return qMin(shown, QSqlQueryModel::columnCount(parent));
    }
};

} // namespace

QVector<TrackingForm::Clause> TrackingForm::partnerStateClauses()
{
    return {
        Clause::choice({Summary, Detail, Month}, {QStringLiteral("comboBox_2")},
                       {{QStringLiteral("合作"), QStringLiteral(" and t4.cooperate=1")},
                        {QStringLiteral("暂未合作"), QStringLiteral(" and t4.cooperate=0")}}),
        Clause::choice({Summary}, {QStringLiteral("comboBox_3")},
                       {{QStringLiteral("正常"), QStringLiteral(" and ISNULL(t5.zc,'正常')='正常'")},
                        {QStringLiteral("逾期"), QStringLiteral(" and ISNULL(t5.zc,'正常')='逾期'")}}),
        Clause::choice({Summary}, {QStringLiteral("comboBox_4")},
                       {{QStringLiteral("大于零"), QStringLiteral(" and ISNULL(t5.hz,0)>0")}}),
    };
}

TrackingForm::Clause TrackingForm::Clause::choice(const QList<Query> &queries, const QStringList &boxes,
                                                  const QHash<QString, QString> &choices)
{
    Clause clause;
    clause.queries = queries;
    clause.boxes = boxes;
    clause.choices = choices;
    return clause;
}

TrackingForm::Clause TrackingForm::Clause::boxText(const QList<Query> &queries, const QString &box,
                                                   const QString &noFilter, const QString &text,
                                                   bool trimmed)
{
    Clause clause;
    clause.queries = queries;
    clause.boxes = QStringList{box};
    clause.noFilter = noFilter;
    clause.text = text;
    clause.trimmed = trimmed;
    return clause;
}

TrackingForm::TrackingForm(QWidget *parent)
    : QMainWindow(parent, Qt::Window),
      m_model(new ShownColumnsModel(this))
{
}

void TrackingForm::start(const Definition &definition)
{
    m_definition = definition;
    m_view = findChild<QTableView *>(QStringLiteral("tableView"));
    m_date = findChild<QDateEdit *>(QStringLiteral("dateEdit"));
    m_kind = findChild<QComboBox *>(QStringLiteral("comboBox"));
    m_totals = findChild<QLabel *>(QStringLiteral("label_4"));
    m_progress = findChild<QProgressBar *>(QStringLiteral("progressBar"));

    for (const BoxFill &fill : m_definition.boxes) {
        auto *box = findChild<QComboBox *>(fill.box);
        const QStringList texts = fill.sql.isEmpty() ? QStringList() : textsOf(fill.sql);
        box->clear();
        box->addItems(fill.items);
        box->addItems(texts);
        if (fill.searchable) {
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            auto *completer = new QCompleter(texts, box);
            completer->setFilterMode(Qt::MatchContains);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            completer->setCompletionMode(QCompleter::PopupCompletion);
            box->setCompleter(completer);
        }
        box->setCurrentIndex(0);
    }
    m_date->setDate(QDate::currentDate());

    ModelReport::setUpView(m_view);
    m_view->setModel(m_model);
    m_totals->setStyleSheet(QStringLiteral("color: rgb(170, 0, 127);"));
    m_progress->setStyleSheet(QStringLiteral(
        "QProgressBar::chunk{background-color:skyblue;border-radius:5px;width:8px;margin:0.5px}"
        "QProgressBar{text-align:center;background:white;border-radius:5px;color:transparent;}"));
    m_progress->setValue(0);

    run(Summary);
    m_progress->hide();
    setWindowTitle(m_definition.title);
}

const TrackingForm::QuerySetup &TrackingForm::setup(Query query) const
{
    switch (query) {
    case Detail:
        return m_definition.detail;
    case Month:
        return m_definition.month;
    case Summary:
        break;
    }
    return m_definition.summary;
}

QString TrackingForm::boxText(const QString &box, bool trimmed) const
{
    const auto *combo = findChild<QComboBox *>(box);
    const QString text = combo ? combo->currentText() : QString();
    return trimmed ? text.trimmed() : text;
}

QString TrackingForm::statement(Query query) const
{
    const QuerySetup &mode = setup(query);
    return mode.sent.isEmpty() ? quotedStatement(query) : build(query, mode.sent);
}

QString TrackingForm::quotedStatement(Query query) const
{
    return build(query, QString()) + setup(query).order;
}

QString TrackingForm::totalsStatement(Query query) const
{
    const QuerySetup &mode = setup(query);
    return mode.totals.isEmpty() ? QString() : build(query, mode.totals);
}

// templ empty: the quoted statement with the clauses appended; otherwise
// templ with the clauses and the partner filters in its place-holders.
QString TrackingForm::build(Query query, const QString &templ) const
{
    const QDate date = m_date->date();
    const QString day = SqlText::quoted(dayText(date));
    const QString kind = SqlText::quoted(m_kind->currentText());
    const QuerySetup &mode = setup(query);

    QStringList values;
    switch (query) {
    case Summary:
        values = QStringList{day, day, kind, day};
        break;
    case Detail:
        values = QStringList{day, kind};
        break;
    case Month:
        values = QStringList{SqlText::quoted(dayText(QDate(date.year(), date.month(), 1))),
                             SqlText::quoted(dayText(QDate(date.year(), date.month(), date.daysInMonth()))), kind};
        break;
    }

    QString clauses;
    for (const Clause &clause : m_definition.clauses) {
        if (!clause.queries.contains(query)) {
            continue;
        }
        if (!clause.choices.isEmpty()) {
            QStringList texts;
            for (const QString &box : clause.boxes) {
                texts << boxText(box);
            }
            clauses += clause.choices.value(texts.join(QLatin1Char('/')));
            continue;
        }
        const QString text = boxText(clause.boxes.value(0), clause.trimmed);
        if (text != clause.noFilter) {
            clauses += clause.text.arg(SqlText::quoted(text));
        }
    }
    if (templ.isEmpty()) {
        return filled(mode.statement, values) + clauses;
    }
    values << clauses;
    const QString partner = boxText(m_definition.partnerBox, true);
    for (const QString &filter : mode.partnerFilters) {
        values << (partner.isEmpty() ? QString() : filter.arg(SqlText::quoted(partner)));
    }
    return filled(templ, values);
}

void TrackingForm::streamInPartnerOrder(QuerySetup *detail, const QString &partner, const QString &periods,
                                        const QString &cash)
{
    // SQLite sorts every period before the first shows when they are ordered
    // by a column reached through the code-and-name text. Read from the
    // partner's code index and each partner's periods from the company
    // index, they come in that order already; the periods of no partner
    // (renamed or deleted, or without company) come first, as their code is
    // null: found per company, not per period, and sorted among themselves.
    // Both parts are merged on the partner's code (an extra column) and the
    // period end. The end goes unnamed, so that the engine orders it as the
    // index does.
    // PARTNER, PERIODS and CASH stand for the side's tables and cash column;
    // %1 is the day, %2 the kind, %3 the clauses and %4 the partner filter.
    const QString orphans = QStringLiteral(
        " from (select distinct t9.company from (select company from PERIODS%4 group by company) t9"
        " left join PARTNER t8 on t9.company=(cast(t8.PARTNER_id as varchar)+'-'+t8.PARTNER_name)"
        " where t8.PARTNER_id is null) t0"
        " join PERIODS t1 on (t1.company=t0.company or t1.company is null and t0.company is null)"
        " left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id"
        " left join PARTNER t4 on t1.company=(cast(t4.PARTNER_id as varchar)+'-'+t4.PARTNER_name)"
        " where t1.date_end <='%1' and t1.inout_category='%2'%3");
    const QString matched = QStringLiteral(
        " from PARTNER t4 join PERIODS t1 on t1.company=(cast(t4.PARTNER_id as varchar)+'-'+t4.PARTNER_name)"
        " left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id"
        " where t1.date_end <='%1' and t1.inout_category='%2'%3");
    const QString &quoted = detail->statement;
    const QString columns = quoted.mid(7, quoted.indexOf(QLatin1String(" from ")) - 7)
                                .replace(QLatin1String("t1.date_end as date_end"), QLatin1String("t1.date_end"))
        + QStringLiteral(",t4.PARTNER_id");
    const QString sums = QStringLiteral("t1.money as money,isnull(t2.money,0) as inv,isnull(t3.CASH,0) as cas");
    const auto sideOf = [&](QString sql) {
        return sql.replace(QLatin1String("PARTNER"), partner).replace(QLatin1String("PERIODS"), periods)
            .replace(QLatin1String("CASH"), cash);
    };
    detail->sent = sideOf(QStringLiteral("select ") + columns + orphans + QStringLiteral(" union all select ") + columns
                          + matched + QStringLiteral(" order by PARTNER_id,date_end"));
    detail->totals = sideOf(QStringLiteral("select sum(money),sum(inv),sum(cas) from (select ") + sums + orphans
                            + QStringLiteral(" union all select ") + sums + matched + QStringLiteral(") x"));
    detail->partnerFilters = QStringList{QStringLiteral(" where company = '%1'")};
}

void TrackingForm::run(Query query)
{
    const QuerySetup &mode = setup(query);
    static_cast<ShownColumnsModel *>(m_model)->shown = mode.columns.size();
    QStringList sums;
    if (!ModelReport::load(this, m_model, statement(query), mode.totals.isEmpty())
        || !readTotals(query, &sums)) {
        m_totals->clear();
        return;
    }
    ModelReport::setColumns(m_model, m_view, mode.columns);
    QString totals = mode.totalsText;
    for (const QString &sum : qAsConst(sums)) {
        totals = totals.arg(sum);
    }
    m_totals->setText(totals);
}

bool TrackingForm::readTotals(Query query, QStringList *sums)
{
    const QuerySetup &mode = setup(query);
    // A list read whole in its first batch sums its rows rather than run the
    // statement a second time.
    if (mode.totals.isEmpty() || !m_model->canFetchMore()) {
        for (int column : mode.sumColumns) {
            *sums << DecimalText::twoDecimals(ModelReport::columnSum(m_model, column));
        }
        return true;
    }
    QSqlQuery totals;
    totals.setForwardOnly(true);
    if (!totals.exec(totalsStatement(query)) || !totals.next()) {
        // Rows without their totals would read as a total of nothing.
        const QString text = totals.lastError().text();
        m_model->clear();
        Messages::databaseError(this, text);
        return false;
    }
    for (int i = 0; i < mode.sumColumns.size(); ++i) {
        *sums << DecimalText::twoDecimals(DecimalText::valueOf(totals.value(i).toString()));
    }
    return true;
}

void TrackingForm::on_pushButton_clicked()
{
    run(Summary);
}

void TrackingForm::on_pushButton_3_clicked()
{
    run(Detail);
}

void TrackingForm::on_pushButton_4_clicked()
{
    run(Month);
}

void TrackingForm::on_pushButton_2_clicked()
{
    CsvExport::exportModel(this, m_view, m_model, m_progress);
}
