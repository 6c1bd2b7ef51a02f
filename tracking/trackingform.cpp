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

} // namespace

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
      m_model(new QSqlQueryModel(this))
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
    return build(query, false) + setup(query).order;
}

QString TrackingForm::quotedStatement(Query query) const
{
    return build(query, true) + setup(query).order;
}

QString TrackingForm::totalsStatement(Query query) const
{
    const QuerySetup &mode = setup(query);
    if (mode.totalsSelect.isEmpty()) {
        return QString();
    }
    const QString sql = build(query, false);
    return mode.totalsSelect + sql.mid(sql.indexOf(QLatin1String(" from ")));
}

QString TrackingForm::build(Query query, bool quoted) const
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
    QString sql;
    if (quoted || mode.sent.isEmpty()) {
        sql = filled(mode.statement, values);
    } else {
        const QString partner = boxText(m_definition.partnerBox, true);
        for (const QString &filter : mode.partnerFilters) {
            values << (partner.isEmpty() ? QString() : filter.arg(SqlText::quoted(partner)));
        }
        sql = filled(mode.sent, values);
    }

    for (const Clause &clause : m_definition.clauses) {
        if (!clause.queries.contains(query)) {
            continue;
        }
        if (!clause.choices.isEmpty()) {
            QStringList texts;
            for (const QString &box : clause.boxes) {
                texts << boxText(box);
            }
            sql += clause.choices.value(texts.join(QLatin1Char('/')));
            continue;
        }
        const QString text = boxText(clause.boxes.value(0), clause.trimmed);
        if (text != clause.noFilter) {
            sql += clause.text.arg(SqlText::quoted(text));
        }
    }
    return sql;
}

void TrackingForm::run(Query query)
{
    const QuerySetup &mode = setup(query);
    QStringList sums;
    if (!ModelReport::load(this, m_model, statement(query), mode.totalsSelect.isEmpty())
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
    if (mode.totalsSelect.isEmpty() || !m_model->canFetchMore()) {
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
