#pragma once

#include "widgets/modelreport.h"

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVector>

class QComboBox;
class QDateEdit;
class QLabel;
class QProgressBar;
class QSqlQueryModel;
class QTableView;

// The receivable and payable tracking reports: three read-only queries over
// the account periods of one kind up to a statistics date, a totals line and
// the export. receivable_info and payment_info are this class with their own
// boxes, clauses, statements, headers and totals texts; the controls they
// share (the three query buttons, the export, the kind box, the date, the
// table, the totals label and the progress bar) carry the same object names
// in both.
class TrackingForm : public QMainWindow
{
    Q_OBJECT

public:
    enum Query { Summary, Detail, Month };

    // One mode. The statement's place-holders are, in order: Summary the
    // statistics date, again, the kind, the date again; Detail the date and
    // the kind; Month the first and the last day of the date's month and the
    // kind. The optional clauses go after it, the ordering last.
    //
    // sent, when set, is what the form sends instead: the same rows in the
    // same order (ties aside), written so that the embedded engine need not
    // build and sort every partner's code-and-name text. Its place-holders
    // are the quoted ones, then the optional clauses, then partnerFilters,
    // each filled with the partner box's text or empty while that box is;
    // it holds its own ordering. Columns after those of columns are ordering
    // keys, not shown.
    struct QuerySetup
    {
        QString statement;
        QString sent;
        QStringList partnerFilters;
        QString order;
        QVector<ModelReport::Column> columns;
        QString totalsText; // %1, %2, … the sums of sumColumns, in order
        QList<int> sumColumns;
        // When set, the statement (place-holders as sent) giving the sums of
        // sumColumns as one row. The list is then read as the user scrolls
        // instead of to its end before it shows (and its rows are summed
        // when they all came in the first batch).
        QString totals;
    };

    // The detail as sent: the periods in partner code order straight from
    // the partner's index, those of no partner (in date order) first, and
    // its totals. partner is "customer" or "supplier", periods the period
    // table, cash the cash entry's amount column; the select list is the
    // quoted statement's.
    static void streamInPartnerOrder(QuerySetup *detail, const QString &partner, const QString &periods,
                                     const QString &cash);

    // How a combo box is filled when the form opens: the fixed items, then
    // the texts of sql. A searchable box is editable with a completer.
    struct BoxFill
    {
        QString box;
        QStringList items;
        QString sql;
        bool searchable = false;
    };

    // An optional clause of the queries it names. A choice clause reads the
    // texts of its boxes, joined by "/", and appends the text chosen for
    // them (nothing for other texts). A text clause appends text with the
    // box's text, quoted, unless the box shows noFilter; a trimmed box is
    // read without surrounding blanks.
    struct Clause
    {
        QList<Query> queries;
        QStringList boxes;
        QHash<QString, QString> choices;
        QString noFilter;
        bool trimmed = false;
        QString text;

        static Clause choice(const QList<Query> &queries, const QStringList &boxes,
                             const QHash<QString, QString> &choices);
        static Clause boxText(const QList<Query> &queries, const QString &box, const QString &noFilter,
                              const QString &text, bool trimmed = false);
    };

    // The clauses both sides open with: cooperation ("comboBox_2"), and in
    // the summary the state ("comboBox_3") and "大于零" ("comboBox_4").
    static QVector<Clause> partnerStateClauses();

    struct Definition
    {
        QString title;
        QString partnerBox; // the customer or supplier box
        QVector<BoxFill> boxes;
        QVector<Clause> clauses; // in the order they are appended
        QuerySetup summary;
        QuerySetup detail;
        QuerySetup month;
    };

    // The statement query sends for the boxes as they stand, and the
    // statement as quoted that it stands in for.
    QString statement(Query query) const;
    QString quotedStatement(Query query) const;
    // What the totals line is read from: empty where the form sums its rows.
    QString totalsStatement(Query query) const;

    QSqlQueryModel *model() const { return m_model; }

protected:
    explicit TrackingForm(QWidget *parent);

    // Call once the designer controls exist: fills the boxes, sets the date
    // to today, runs the Summary and sets the title.
    void start(const Definition &definition);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();

private:
    const QuerySetup &setup(Query query) const;
    QString boxText(const QString &box, bool trimmed = false) const;
    QString build(Query query, const QString &templ) const;
    bool readTotals(Query query, QStringList *sums);
    void run(Query query);

    Definition m_definition;
    QSqlQueryModel *m_model;
    QTableView *m_view = nullptr;
    QDateEdit *m_date = nullptr;
    QComboBox *m_kind = nullptr;
    QLabel *m_totals = nullptr;
    QProgressBar *m_progress = nullptr;
};
