// The receivable and payable tracking forms driven as a user does, on the
// books of StatementFixture. Receivables of the kind 货款 on 2024-03-31:
// customer 21 has 419.50 open, 24 has 800.00 open since 2024-02-29 on a 30-day
// cycle; the last receipt of 22 came on 2024-03-28. Payables: supplier 12 has
// 10.00 open, 13 has 175.00.

#include "support/messagerecorder.h"
#include "support/statementfixture.h"
#include "tracking/payment_info.h"
#include "tracking/receivable_info.h"
#include "widgets/decimaltext.h"
#include "widgets/modelreport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

const char *const Buttons[] = {"pushButton", "pushButton_3", "pushButton_4"}; // Summary, Detail, Month

// Opens one side on date with "box=text" settings and runs query.
std::unique_ptr<TrackingForm> opened(const QString &side, const QString &date, const QStringList &boxes, int query)
{
    std::unique_ptr<TrackingForm> form(side == QLatin1String("payables") ? static_cast<TrackingForm *>(new payment_info) : new receivable_info);
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(date, Qt::ISODate));
    for (const QString &setting : boxes) {
        auto *box = form->findChild<QComboBox *>(setting.section(QLatin1Char('='), 0, 0));
        const QString text = setting.section(QLatin1Char('='), 1);
        box->isEditable() ? box->setEditText(text) : box->setCurrentIndex(box->findText(text));
    }
    QTest::mouseClick(form->findChild<QPushButton *>(QLatin1String(Buttons[query])), Qt::LeftButton);
    return form;
}

QString totalsOf(const QWidget &form) { return form.findChild<QLabel *>(QStringLiteral("label_4"))->text(); }

// The rows as shown: without the ordering keys a sent statement adds.
QList<QStringList> shownRows(QSqlQueryModel *model)
{
    QList<QStringList> rows = ResultRows::fromModel(model);
    std::for_each(rows.begin(), rows.end(), [model](QStringList &row) { row = row.mid(0, model->columnCount()); });
    return rows;
}

} // namespace

class tst_tracking : public QObject
{
    Q_OBJECT

private slots:
    void queries_data();
    void queries();
    void sentStatementsMatchTheQuotedOnes_data();
    void sentStatementsMatchTheQuotedOnes();

private:
    FixtureDb m_fixture{FixtureDb::WithAccounts};
};

void tst_tracking::queries_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("query"); // 0 Summary, 1 Detail, 2 Month
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("totals");

    const QString hotel = QStringLiteral("comboBox_8=24-北湖酒店");
    const QString positive = QStringLiteral("comboBox_4=大于零");
    const QString none = QStringLiteral("应收总金额0.00元，发票总金额0.00元，回款总金额0.00元");
    const QString hotelOpen = QStringLiteral("|2024-02-01至2024-02-29|2001-01-01|否|货款||A");
    for (int days : {30, 29}) {
        QTest::addRow("cycle 30, open %d days", days) << "receivables" << QDate(2024, 2, 29).addDays(days).toString(Qt::ISODate)
            << QStringList{hotel, QStringLiteral("comboBox_3=") + (days < 30 ? "正常" : "逾期")} << 0
            << QStringList{QStringLiteral("24-北湖酒店|800|30|%1|%2").arg(days).arg(days < 30 ? "正常" : "逾期") + hotelOpen} << "应收总金额800.00元";
    }
    for (int days : {30, 31}) {
        QTest::addRow("receipt %d days back, box text trimmed", days) << "receivables" << QDate(2024, 3, 28).addDays(days).toString(Qt::ISODate)
            << QStringList{"comboBox_8= 22-西城商店 "} << 0 << QStringList{QStringLiteral("22-西城商店|0|45|0|正常||2024-03-28|%1||李会计|C").arg(days > 30 ? "否" : "是")} << "应收总金额0.00元";
    }
    QTest::newRow("summary above zero: outstanding") << "receivables" << "2024-03-31"
        << QStringList{positive, "comboBox_9=回款金额", "comboBox_6=--全部--"} << 0
        << QStringList{"21-东方超市|419.5|30|0|正常|2024-03-16至2024-03-31|2024-04-16|是|货款|王会计|A", "24-北湖酒店|800|30|31|逾期" + hotelOpen} << "应收总金额1219.50元";
    QTest::newRow("detail above zero: period amount") << "receivables" << "2024-03-31" << QStringList{positive, "comboBox_5=A", "comboBox_10=否"}
        << 1 << QStringList{"21-东方超市|2024-03-16|2024-03-31|500|20|100.75|80.5|2024-04-10|10|否|12-晨光文具|货款|clerk",
                            "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|0|2001-01-01|0|否|<NULL>|货款|manager"} << "应收总金额1300.00元，发票总金额100.75元，回款总金额80.50元";
    QTest::newRow("detail above zero: received amount") << "receivables" << "2024-03-31" << QStringList{positive, "comboBox_9=回款金额", "comboBox_5=C"}
        << 1 << QStringList{"22-西城商店|2024-03-01|2024-03-31|300|8|560.5|300|2024-03-28|0|是||货款|clerk"} << "应收总金额300.00元，发票总金额560.50元，回款总金额300.00元";
    QTest::newRow("month ignores above zero and overdue") << "receivables" << "2024-03-10"
        << QStringList{positive, "comboBox_3=逾期", "comboBox_6=酒店客户"} << 2 << QStringList{"24-北湖酒店|||0|0|0||"} << none;
    QTest::newRow("month of February 2024 runs to the 29th") << "receivables" << "2024-02-15" << QStringList{} << 2
        << QStringList{"21-东方超市|||0|0|0||", "22-西城商店|||0|0|0||", "23-南山配送站|||0|0|0||", "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|货款|manager"} << "应收总金额800.00元，发票总金额0.00元，回款总金额0.00元";
    for (int query = 0; query < 3; ++query) {
        QTest::addRow("customer text not exact, %s", Buttons[query]) << "receivables" << "2024-03-31" << QStringList{"comboBox_8=22"}
            << query << QStringList{} << (query ? none : QStringLiteral("应收总金额0.00元"));
    }
    QTest::newRow("payables: summary above zero, category 全部") << "payables" << "2024-03-31" << QStringList{positive, "comboBox_5=全部"}
        << 0 << QStringList{"12-晨光文具|10|45|0|正常|货款|王会计", "13-农夫山泉|175|30|31|逾期|货款|"} << "应付总金额185.00元";
    QTest::newRow("payables: detail ignores above zero and overdue") << "payables" << "2024-03-31"
        << QStringList{positive, "comboBox_3=逾期", "comboBox_5=办公用品"} << 1
        << QStringList{"11-华联纸业|2024-03-01|2024-03-15|110|110|110|货款|clerk", "12-晨光文具|2024-03-01|2024-03-31|210|210|200|货款|clerk"} << "应付总金额320.00元，发票总金额320.00元，付款总金额310.00元";
}

void tst_tracking::queries()
{
    QFETCH(QString, side);
    QFETCH(QString, date);
    QFETCH(QStringList, boxes);
    QFETCH(int, query);
    QFETCH(QStringList, rows);
    QString error;
    QVERIFY2(m_fixture.forReading(&error), qPrintable(error));
    MessageRecorder messages;
    auto form = opened(side, date, boxes, query);
    const QString failure = ResultRows::mismatch(shownRows(form->model()), rows, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QTEST(totalsOf(*form) + messages.texts().join(QString()), "totals"); // and no message
}

void tst_tracking::sentStatementsMatchTheQuotedOnes_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("partner");
    for (const char *row : {"receivables|", "receivables|4-O'Neil", "receivables|7-x", "payables|", "payables|3-p3"}) {
        QTest::newRow(row) << QString::fromUtf8(row).section(QLatin1Char('|'), 0, 0) << QString::fromUtf8(row).section(QLatin1Char('|'), 1);
    }
}

// On generated books the statement a form sends gives the rows of the one it
// stands in for, in their order (rows tied on the ordering in any order),
// and the totals line the sums of all those rows. Codes 25 and 26 have no
// periods; 27, 28 and a period without company have no partner; 5 books as
// "5-Ab" where the partner is "5-AB"; 3 has two periods a month, ending alike.
void tst_tracking::sentStatementsMatchTheQuotedOnes()
{
    QFETCH(QString, side);
    QFETCH(QString, partner);
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    const bool payables = side == QLatin1String("payables");
    const char *table = payables ? "supplier" : "customer";
    for (int code = 1, n = 0; code <= 28; ++code) {
        const QString name = code == 4 ? QStringLiteral("O''Neil") : code == 5 ? QStringLiteral("AB") : QStringLiteral("p%1").arg(code);
        QVERIFY(code > 26 || db.exec(QStringLiteral("insert into %1 (%1_id,%1_name,cycle,cooperate) values (%2,'%3',%4,%5)")
                                         .arg(table).arg(code).arg(name).arg(15 * (code % 4 + 1)).arg(code % 5 ? 1 : 0)));
        const QString company = code == 5 ? "'5-Ab'" : code == 28 && payables ? "null" : QStringLiteral("'%1-%2'").arg(code).arg(name);
        for (int period = 0; (code < 25 || code > 26) && period < (code == 3 ? 32 : 16); ++period, ++n) {
            const QDate begin = QDate(2024, 1, 1).addMonths(period % 16);
            const QString money = QString::number(n % 4 ? (n * 7919 % 99999) / 100.0 : 100, 'f', 2);
            QVERIFY(db.exec(QStringLiteral("insert into info (date,company,income,pay) values ('%1',%2,%3,%3)")
                                .arg(begin.addDays(20 + n % 60).toString(Qt::ISODate), company).arg(n % 5 ? 100 : n % 2 ? 50 : 0)));
            QVERIFY(db.exec(QStringLiteral("insert into invoice (date,money,company) values ('%1',%2,%3)").arg(begin.toString(Qt::ISODate), money, company)));
            QVERIFY(db.exec(QStringLiteral("insert into %1 (date_begin,date_end,company,money,info_id,invoice_id,inout_category) values ('%2','%3',%4,%5,%6,%7,'%8')")
                                .arg(payables ? "payment" : "receivable", begin.toString(Qt::ISODate), begin.addDays(begin.daysInMonth() - 1).toString(Qt::ISODate), company, money)
                                .arg(n % 3 ? n : 0).arg(n % 3 == 1 ? n : 0).arg(n % 4 ? "货款" : "投标保证金")));
        }
    }

    MessageRecorder messages;
    auto form = opened(side, QStringLiteral("2024-06-30"), {QStringLiteral("%1=%2").arg(payables ? "comboBox_6" : "comboBox_8", partner)}, 0);
    for (const char *day : {"2024-06-30", "2025-04-30"}) {
        form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(QLatin1String(day), Qt::ISODate));
        for (int query = TrackingForm::Summary; query <= TrackingForm::Month; ++query) {
            QString error;
            QList<QStringList> quoted = ResultRows::query(form->quotedStatement(TrackingForm::Query(query)), &error);
            QList<QStringList> sent = ResultRows::query(form->statement(TrackingForm::Query(query)), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(quoted.isEmpty(), partner.startsWith(QLatin1Char('7')));
            // Rows tied on the detail's ordering (its extra key and the
            // period end) may come in any order among themselves.
            const int shown = quoted.value(0).size();
            auto key = [&](int i) { return sent.at(i).mid(shown) << sent.at(i).value(2); };
            for (int start = 0, end = 1; start < sent.size(); start = end++) {
                while (query == TrackingForm::Detail && end < sent.size() && key(end) == key(start)) {
                    ++end;
                }
                std::sort(sent.begin() + start, sent.begin() + end);
                std::sort(quoted.begin() + qMin(start, quoted.size()), quoted.begin() + qMin(end, quoted.size()));
            }
            std::for_each(sent.begin(), sent.end(), [shown](QStringList &row) { row = row.mid(0, shown); });
            QCOMPARE(sent, quoted);

            // The totals line agrees with the rows, however it is read.
            QTest::mouseClick(form->findChild<QPushButton *>(QLatin1String(Buttons[query])), Qt::LeftButton);
            QCOMPARE(form->model()->canFetchMore(), query == TrackingForm::Detail && quoted.size() > 256);
            QCOMPARE(shownRows(form->model()).size(), quoted.size());
            for (int column : query == TrackingForm::Summary ? QList<int>{1} : query == TrackingForm::Month || payables ? QList<int>{3, 4, 5} : QList<int>{3, 5, 6}) {
                const QString sum = QStringLiteral("金额%1元").arg(DecimalText::twoDecimals(ModelReport::columnSum(form->model(), column)));
                QVERIFY2(totalsOf(*form).contains(sum), qPrintable(totalsOf(*form) + " lacks " + sum));
            }
        }
    }
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));

    // A failing statement is reported, not shown as an empty table with a
    // total of nothing.
    QVERIFY(db.exec(QStringLiteral("drop table %1").arg(payables ? "payment" : "receivable")));
    for (const char *button : Buttons) {
        QTest::mouseClick(form->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QVERIFY2(messages.last().title == QStringLiteral("错误提示") && messages.last().text.contains(QLatin1String(payables ? "payment" : "receivable")),
                 qPrintable(messages.last().text));
        QVERIFY(form->model()->rowCount() == 0 && totalsOf(*form).isEmpty());
    }
}

QTEST_MAIN(tst_tracking)
#include "tst_tracking.moc"
