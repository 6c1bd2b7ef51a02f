// The receivable and payable tracking forms driven as a user does, on the
// books of StatementFixture. Receivables of the kind 货款 on 2024-03-31:
// customer 21 has 419.50 open, 24 has 800.00 open since 2024-02-29 on a 30-day
// cycle; the last receipt of 22 came on 2024-03-28. Payables: supplier 12 has
// 10.00 open, 13 has 175.00.

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/statementfixture.h"
#include "support/testdb.h"
#include "tracking/payment_info.h"
#include "tracking/receivable_info.h"
#include "widgets/decimaltext.h"
#include "widgets/modelreport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQueryModel>

#include <algorithm>
#include <memory>

namespace {

const char *const Buttons[] = {"pushButton", "pushButton_3", "pushButton_4"}; // Summary, Detail, Month

// Opens one side on date with "box=text" settings and clicks button.
std::unique_ptr<TrackingForm> opened(const QString &side, const QString &date, const QStringList &boxes,
                                     const QString &button = QString())
{
    std::unique_ptr<TrackingForm> form(side == QLatin1String("payables") ? static_cast<TrackingForm *>(new payment_info)
                                                                          : new receivable_info);
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(date, Qt::ISODate));
    for (const QString &setting : boxes) {
        auto *box = form->findChild<QComboBox *>(setting.section(QLatin1Char('='), 0, 0));
        const QString text = setting.section(QLatin1Char('='), 1);
        if (!box || (!box->isEditable() && box->findText(text) < 0)) {
            qWarning("no %s", qPrintable(setting));
            return nullptr;
        }
        box->isEditable() ? box->setEditText(text) : box->setCurrentText(text);
    }
    if (!button.isEmpty()) {
        QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    return form;
}

QString totalsOf(const QWidget &form)
{
    return form.findChild<QLabel *>(QStringLiteral("label_4"))->text();
}

// The rows as shown: without the ordering keys a sent statement adds.
QList<QStringList> shownRows(QSqlQueryModel *model)
{
    QList<QStringList> rows = ResultRows::fromModel(model);
    for (QStringList &row : rows) {
        row = row.mid(0, model->columnCount());
    }
    return rows;
}

} // namespace

class tst_tracking : public QObject
{
    Q_OBJECT

private slots:
    void queries_data();
    void queries();
    void customerNamedWithAQuoteIsFound();
    void failingStatementIsReported();
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
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("totals");

    const QString hotel = QStringLiteral("comboBox_8=24-北湖酒店");
    const QString shop = QStringLiteral("comboBox_8=22-西城商店");
    const QString positive = QStringLiteral("comboBox_4=大于零");
    const QString noMoney = QStringLiteral("应收总金额0.00元，发票总金额0.00元，回款总金额0.00元");
    const QString hotelOpen = QStringLiteral("|2024-02-01至2024-02-29|2001-01-01|否|货款||A");
    QTest::newRow("cycle 30, open 30 days: overdue") << "receivables" << "2024-03-30" << QStringList{hotel} << Buttons[0]
        << QStringList{"24-北湖酒店|800|30|30|逾期" + hotelOpen} << "应收总金额800.00元";
    QTest::newRow("cycle 30, open 29 days: normal") << "receivables" << "2024-03-29" << QStringList{hotel, "comboBox_3=正常"}
        << Buttons[0] << QStringList{"24-北湖酒店|800|30|29|正常" + hotelOpen} << "应收总金额800.00元";
    QTest::newRow("receipt 30 days back is recent") << "receivables" << "2024-04-27" << QStringList{shop} << Buttons[0]
        << QStringList{"22-西城商店|0|45|0|正常||2024-03-28|是||李会计|C"} << "应收总金额0.00元";
    QTest::newRow("receipt 31 days back is not; no open period") << "receivables" << "2024-04-28" << QStringList{"comboBox_8= 22-西城商店 "}
        << Buttons[0] << QStringList{"22-西城商店|0|45|0|正常||2024-03-28|否||李会计|C"} << "应收总金额0.00元";
    QTest::newRow("summary above zero: outstanding") << "receivables" << "2024-03-31"
        << QStringList{positive, "comboBox_9=回款金额", "comboBox_6=--全部--"} << Buttons[0]
        << QStringList{"21-东方超市|419.5|30|0|正常|2024-03-16至2024-03-31|2024-04-16|是|货款|王会计|A",
                       "24-北湖酒店|800|30|31|逾期" + hotelOpen} << "应收总金额1219.50元";
    QTest::newRow("detail above zero: period amount") << "receivables" << "2024-03-31"
        << QStringList{positive, "comboBox_5=A", "comboBox_10=否"} << Buttons[1]
        << QStringList{"21-东方超市|2024-03-16|2024-03-31|500|20|100.75|80.5|2024-04-10|10|否|12-晨光文具|货款|clerk",
                       "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|0|2001-01-01|0|否|<NULL>|货款|manager"}
        << "应收总金额1300.00元，发票总金额100.75元，回款总金额80.50元";
    QTest::newRow("detail above zero: received amount") << "receivables" << "2024-03-31"
        << QStringList{positive, "comboBox_9=回款金额", "comboBox_5=C"} << Buttons[1]
        << QStringList{"22-西城商店|2024-03-01|2024-03-31|300|8|560.5|300|2024-03-28|0|是||货款|clerk"}
        << "应收总金额300.00元，发票总金额560.50元，回款总金额300.00元";
    QTest::newRow("month ignores above zero and overdue") << "receivables" << "2024-03-10"
        << QStringList{positive, "comboBox_3=逾期", "comboBox_6=酒店客户"} << Buttons[2]
        << QStringList{"24-北湖酒店|||0|0|0||"} << noMoney;
    QTest::newRow("month of February 2024 runs to the 29th") << "receivables" << "2024-02-15" << QStringList{} << Buttons[2]
        << QStringList{"21-东方超市|||0|0|0||", "22-西城商店|||0|0|0||", "23-南山配送站|||0|0|0||",
                       "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|货款|manager"}
        << "应收总金额800.00元，发票总金额0.00元，回款总金额0.00元";
    for (const char *button : Buttons) {
        QTest::addRow("customer text not exact, %s", button) << "receivables" << "2024-03-31" << QStringList{"comboBox_8=22"}
            << button << QStringList{} << (button == Buttons[0] ? QStringLiteral("应收总金额0.00元") : noMoney);
    }
    QTest::newRow("payables: summary above zero, category 全部") << "payables" << "2024-03-31"
        << QStringList{positive, "comboBox_5=全部"} << Buttons[0]
        << QStringList{"12-晨光文具|10|45|0|正常|货款|王会计", "13-农夫山泉|175|30|31|逾期|货款|"} << "应付总金额185.00元";
    QTest::newRow("payables: detail ignores above zero and overdue") << "payables" << "2024-03-31"
        << QStringList{positive, "comboBox_3=逾期", "comboBox_5=办公用品"} << Buttons[1]
        << QStringList{"11-华联纸业|2024-03-01|2024-03-15|110|110|110|货款|clerk", "12-晨光文具|2024-03-01|2024-03-31|210|210|200|货款|clerk"}
        << "应付总金额320.00元，发票总金额320.00元，付款总金额310.00元";
}

void tst_tracking::queries()
{
    QFETCH(QString, side);
    QFETCH(QString, date);
    QFETCH(QStringList, boxes);
    QFETCH(QString, button);
    QFETCH(QStringList, rows);
    QFETCH(QString, totals);
    QString error;
    QVERIFY2(m_fixture.forReading(&error), qPrintable(error));
    MessageRecorder messages;
    auto form = opened(side, date, boxes, button);
    QVERIFY(form);
    const QString failure = ResultRows::mismatch(shownRows(form->model()), rows, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(totalsOf(*form), totals);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
}

void tst_tracking::customerNamedWithAQuoteIsFound()
{
    QString error;
    TestDb *db = m_fixture.forWriting(&error);
    QVERIFY2(db, qPrintable(error));
    QVERIFY(db->exec(QStringLiteral("insert into customer (customer_id,customer_name,area,cycle) values (31,'O''Neil''s','A',30)")));
    QVERIFY(db->exec(QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-03-01','2024-03-31','31-O''Neil''s','12.5','货款','clerk')")));
    MessageRecorder messages;
    auto form = opened(QStringLiteral("receivables"), QStringLiteral("2024-03-31"), {QStringLiteral("comboBox_8=31-O'Neil's")});
    for (const char *button : Buttons) {
        QTest::mouseClick(form->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QCOMPARE(form->model()->rowCount(), 1);
        QCOMPARE(form->model()->index(0, 0).data().toString(), QStringLiteral("31-O'Neil's"));
        QVERIFY(totalsOf(*form).startsWith(QStringLiteral("应收总金额12.50元")));
    }
    QVERIFY(messages.isEmpty());
}

void tst_tracking::failingStatementIsReported()
{
    QString error;
    TestDb *db = m_fixture.forWriting(&error);
    QVERIFY2(db, qPrintable(error));
    payment_info form;
    QVERIFY(form.model()->rowCount() > 0);
    QVERIFY(db->exec(QStringLiteral("drop table payment")));
    MessageRecorder messages;
    for (const char *button : Buttons) {
        QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
        QVERIFY2(messages.last().text.contains(QStringLiteral("payment")), qPrintable(messages.last().text));
        QCOMPARE(form.model()->rowCount(), 0);
        QCOMPARE(totalsOf(form), QString());
    }
}

void tst_tracking::sentStatementsMatchTheQuotedOnes_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("partner");
    QTest::newRow("receivables, every customer") << "receivables" << "";
    QTest::newRow("receivables, one customer with a quote") << "receivables" << "4-O'Neil";
    QTest::newRow("receivables, no such customer") << "receivables" << "7-x";
    QTest::newRow("payables, every supplier") << "payables" << "";
    QTest::newRow("payables, one supplier") << "payables" << "3-p3";
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
    const QString table = payables ? QStringLiteral("supplier") : QStringLiteral("customer");
    for (int code = 1, n = 0; code <= 28; ++code) {
        const QString name = code == 4 ? QStringLiteral("O''Neil") : code == 5 ? QStringLiteral("AB") : QStringLiteral("p%1").arg(code);
        if (code <= 26) {
            QVERIFY(db.exec(QStringLiteral("insert into %1 (%1_id,%1_name,cycle,cooperate) values (%2,'%3',%4,%5)")
                                .arg(table).arg(code).arg(name).arg(15 * (code % 4 + 1)).arg(code % 5 ? 1 : 0)));
        }
        const QString company = code == 5 ? QStringLiteral("'5-Ab'") : code == 28 && payables ? QStringLiteral("null")
                                                                     : QStringLiteral("'%1-%2'").arg(code).arg(name);
        for (int period = 0; code < 25 || code > 26 ? period < (code == 3 ? 32 : 16) : false; ++period, ++n) {
            const QDate begin = QDate(2024, 1, 1).addMonths(period % 16);
            const QString money = QString::number(n % 4 ? (n * 7919 % 99999) / 100.0 : 100, 'f', 2);
            QVERIFY(db.exec(QStringLiteral("insert into info (date,company,income,pay) values ('%1',%2,%3,%3)")
                                .arg(begin.addDays(20 + n % 60).toString(Qt::ISODate), company).arg(n % 5 ? 100 : n % 2 ? 50 : 0)));
            QVERIFY(db.exec(QStringLiteral("insert into invoice (date,money,company) values ('%1',%2,%3)")
                                .arg(begin.toString(Qt::ISODate), money, company)));
            QVERIFY(db.exec(QStringLiteral("insert into %1 (date_begin,date_end,company,money,info_id,invoice_id,inout_category) values ('%2','%3',%4,%5,%6,%7,'%8')")
                                .arg(payables ? "payment" : "receivable", begin.toString(Qt::ISODate),
                                     begin.addDays(begin.daysInMonth() - 1).toString(Qt::ISODate), company, money)
                                .arg(n % 3 ? n : 0).arg(n % 3 == 1 ? n : 0).arg(n % 4 ? "货款" : "投标保证金")));
        }
    }

    const QRegularExpression amount(QStringLiteral("-?[0-9]+\\.[0-9]{2}"));
    auto form = opened(side, QStringLiteral("2024-06-30"), {QStringLiteral("%1=%2").arg(payables ? "comboBox_6" : "comboBox_8", partner)});
    for (const QString &day : {QStringLiteral("2024-06-30"), QStringLiteral("2025-04-30")}) {
        form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(day, Qt::ISODate));
        for (int query = TrackingForm::Summary; query <= TrackingForm::Month; ++query) {
            QString error;
            const QList<QStringList> quoted = ResultRows::query(form->quotedStatement(TrackingForm::Query(query)), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(quoted.isEmpty(), partner.startsWith(QLatin1Char('7')));
            QList<QStringList> sent = ResultRows::query(form->statement(TrackingForm::Query(query)), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(sent.size(), quoted.size());
            // Runs of rows alike in the ordering (the detail's extra key and
            // the period end) may come in any order within the run.
            for (int start = 0, end = 0; start < sent.size(); start = end) {
                const int keys = quoted.at(start).size();
                while (++end < sent.size() && query == TrackingForm::Detail && sent.at(end).mid(keys) == sent.at(start).mid(keys)
                       && sent.at(end).at(2) == sent.at(start).at(2)) {
                }
                QList<QStringList> mine;
                for (int i = start; i < end; ++i) {
                    mine << sent.at(i).mid(0, keys);
                }
                QList<QStringList> theirs = quoted.mid(start, end - start);
                std::sort(mine.begin(), mine.end());
                std::sort(theirs.begin(), theirs.end());
                QCOMPARE(mine, theirs);
            }

            QTest::mouseClick(form->findChild<QPushButton *>(QLatin1String(Buttons[query])), Qt::LeftButton);
            QCOMPARE(form->model()->canFetchMore(), query == TrackingForm::Detail && quoted.size() > 256);
            const QList<QStringList> shown = shownRows(form->model());
            QCOMPARE(shown.size(), quoted.size());
            QStringList sums;
            const QList<int> columns = query == TrackingForm::Summary ? QList<int>{1}
                : query == TrackingForm::Month || payables ? QList<int>{3, 4, 5} : QList<int>{3, 5, 6};
            for (int column : columns) {
                sums << DecimalText::twoDecimals(ModelReport::columnSum(form->model(), column));
            }
            QStringList totals;
            for (auto match = amount.globalMatch(totalsOf(*form)); match.hasNext();) {
                totals << match.next().captured(0);
            }
            QCOMPARE(totals, sums);
        }
    }
}

QTEST_MAIN(tst_tracking)
#include "tst_tracking.moc"
