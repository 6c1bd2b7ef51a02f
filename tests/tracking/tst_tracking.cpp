// The receivable and payable tracking forms driven as a user does, on the
// books of StatementFixture: boxes set, a query button clicked, the table and
// the totals line read back.
//
// Receivables of the kind 货款 on 2024-03-31: customer 21 has 419.50 open,
// 24 has 800.00 open since 2024-02-29 on a 30-day cycle; the last receipt of
// 22 came on 2024-03-28. Payables: supplier 12 has 10.00 open, 13 has 175.00.

#include "master/formtest.h"
#include "support/messagerecorder.h"
#include "support/statementfixture.h"
#include "support/testdb.h"
#include "tracking/payment_info.h"
#include "tracking/receivable_info.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSqlQueryModel>

#include <memory>
#include <random>

namespace {

// "box=text" settings, then the date and the button to click.
void setBoxes(QWidget &form, const QStringList &settings)
{
    for (const QString &setting : settings) {
        const QString name = setting.section(QLatin1Char('='), 0, 0);
        const QString text = setting.section(QLatin1Char('='), 1);
        auto *box = form.findChild<QComboBox *>(name);
        QVERIFY2(box, qPrintable(name));
        if (box->isEditable()) {
            box->setEditText(text);
        } else {
            QVERIFY2(box->findText(text) >= 0, qPrintable(setting));
            box->setCurrentText(text);
        }
    }
}

std::unique_ptr<TrackingForm> open(const QString &side)
{
    if (side == QLatin1String("payables")) {
        return std::unique_ptr<TrackingForm>(new payment_info);
    }
    return std::unique_ptr<TrackingForm>(new receivable_info);
}

QString totalsOf(const QWidget &form)
{
    return form.findChild<QLabel *>(QStringLiteral("label_4"))->text();
}

} // namespace

class tst_tracking : public QObject
{
    Q_OBJECT

private slots:
    void queries_data();
    void queries();
    void everyCustomerShowsWithoutOpenPeriods();
    void customerNamedWithAQuoteIsFound();
    void failingStatementIsReported();
    void categoryBoxesSayAllDifferently();
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

    const QString summary = QStringLiteral("pushButton");
    const QString detail = QStringLiteral("pushButton_3");
    const QString month = QStringLiteral("pushButton_4");
    const QString hotel = QStringLiteral("comboBox_8=24-北湖酒店");
    const QString shop = QStringLiteral("comboBox_8=22-西城商店");
    const QString positive = QStringLiteral("comboBox_4=大于零");

    QTest::newRow("cycle 30, open 30 days: overdue")
        << "receivables" << "2024-03-30" << QStringList{hotel} << summary
        << QStringList{"24-北湖酒店|800|30|30|逾期|2024-02-01至2024-02-29|2001-01-01|否|货款||A"} << "应收总金额800.00元";
    QTest::newRow("cycle 30, open 29 days: normal")
        << "receivables" << "2024-03-29" << QStringList{hotel, "comboBox_3=正常"} << summary
        << QStringList{"24-北湖酒店|800|30|29|正常|2024-02-01至2024-02-29|2001-01-01|否|货款||A"} << "应收总金额800.00元";
    QTest::newRow("receipt 30 days back is recent")
        << "receivables" << "2024-04-27" << QStringList{shop} << summary
        << QStringList{"22-西城商店|0|45|0|正常||2024-03-28|是||李会计|C"} << "应收总金额0.00元";
    QTest::newRow("receipt 31 days back is not")
        << "receivables" << "2024-04-28" << QStringList{shop} << summary
        << QStringList{"22-西城商店|0|45|0|正常||2024-03-28|否||李会计|C"} << "应收总金额0.00元";
    QTest::newRow("summary above zero: outstanding")
        << "receivables" << "2024-03-31" << QStringList{positive, "comboBox_9=回款金额"} << summary
        << QStringList{"21-东方超市|419.5|30|0|正常|2024-03-16至2024-03-31|2024-04-16|是|货款|王会计|A",
                       "24-北湖酒店|800|30|31|逾期|2024-02-01至2024-02-29|2001-01-01|否|货款||A"}
        << "应收总金额1219.50元";
    QTest::newRow("detail above zero: period amount")
        << "receivables" << "2024-03-31" << QStringList{positive, "comboBox_5=A", "comboBox_10=否"} << detail
        << QStringList{"21-东方超市|2024-03-16|2024-03-31|500|20|100.75|80.5|2024-04-10|10|否|12-晨光文具|货款|clerk",
                       "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|0|2001-01-01|0|否|<NULL>|货款|manager"}
        << "应收总金额1300.00元，发票总金额100.75元，回款总金额80.50元";
    QTest::newRow("detail above zero: received amount")
        << "receivables" << "2024-03-31" << QStringList{positive, "comboBox_9=回款金额", "comboBox_5=C"} << detail
        << QStringList{"22-西城商店|2024-03-01|2024-03-31|300|8|560.5|300|2024-03-28|0|是||货款|clerk"}
        << "应收总金额300.00元，发票总金额560.50元，回款总金额300.00元";
    QTest::newRow("month ignores above zero and overdue")
        << "receivables" << "2024-03-10" << QStringList{positive, "comboBox_3=逾期", "comboBox_6=酒店客户"} << month
        << QStringList{"24-北湖酒店|||0|0|0||"} << "应收总金额0.00元，发票总金额0.00元，回款总金额0.00元";
    QTest::newRow("month of February 2024 runs to the 29th")
        << "receivables" << "2024-02-15" << QStringList{} << month
        << QStringList{"21-东方超市|||0|0|0||", "22-西城商店|||0|0|0||", "23-南山配送站|||0|0|0||",
                       "24-北湖酒店|2024-02-01|2024-02-29|800|0|0|货款|manager"}
        << "应收总金额800.00元，发票总金额0.00元，回款总金额0.00元";
    for (const QString &button : {summary, detail, month}) {
        QTest::addRow("customer text not exact, %s", qPrintable(button))
            << "receivables" << "2024-03-31" << QStringList{"comboBox_8=22"} << button << QStringList{}
            << (button == summary ? "应收总金额0.00元" : "应收总金额0.00元，发票总金额0.00元，回款总金额0.00元");
    }
    QTest::newRow("customer text is trimmed")
        << "receivables" << "2024-03-31" << QStringList{"comboBox_8= 23-南山配送站 "} << summary
        << QStringList{"23-南山配送站|0|30|0|正常||2001-01-01|否||王会计|E"} << "应收总金额0.00元";

    QTest::newRow("payables: summary above zero")
        << "payables" << "2024-03-31" << QStringList{positive} << summary
        << QStringList{"12-晨光文具|10|45|0|正常|货款|王会计", "13-农夫山泉|175|30|31|逾期|货款|"}
        << "应付总金额185.00元";
    QTest::newRow("payables: detail ignores above zero and overdue")
        << "payables" << "2024-03-31" << QStringList{positive, "comboBox_3=逾期", "comboBox_5=办公用品"} << detail
        << QStringList{"11-华联纸业|2024-03-01|2024-03-15|110|110|110|货款|clerk",
                       "12-晨光文具|2024-03-01|2024-03-31|210|210|200|货款|clerk"}
        << "应付总金额320.00元，发票总金额320.00元，付款总金额310.00元";
    QTest::newRow("payables: month of one supplier")
        << "payables" << "2024-03-31" << QStringList{"comboBox_6=13-农夫山泉", "comboBox_2=暂未合作"} << month
        << QStringList{"13-农夫山泉|||0|0|0||"} << "应付总金额0.00元，发票总金额0.00元，付款总金额0.00元";
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
    auto form = open(side);
    form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(date, Qt::ISODate));
    setBoxes(*form, boxes);
    QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);

    const QString failure = ResultRows::mismatch(ResultRows::fromModel(form->model()), rows, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(totalsOf(*form), totals);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.texts().join(QLatin1Char('\n'))));
}

void tst_tracking::everyCustomerShowsWithoutOpenPeriods()
{
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY(db.exec(QStringLiteral("insert into customer (customer_id,customer_name,area,cycle,accoutant) values (7,'新客户','C',45,'王会计')")));
    receivable_info form;
    QCOMPARE(form.windowTitle(), QStringLiteral("应收款跟踪"));
    const QString failure = ResultRows::mismatch(ResultRows::fromModel(form.model()),
                                                 {"7-新客户|0|45|0|正常||2001-01-01|否||王会计|C"}, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(totalsOf(form), QStringLiteral("应收总金额0.00元"));
    QCOMPARE(form.model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("30日内回款"));
    auto *progress = form.findChild<QWidget *>(QStringLiteral("progressBar"));
    QVERIFY(progress->isHidden());
}

void tst_tracking::customerNamedWithAQuoteIsFound()
{
    QString error;
    TestDb *db = m_fixture.forWriting(&error);
    QVERIFY2(db, qPrintable(error));
    QVERIFY(db->exec(QStringLiteral("insert into customer (customer_id,customer_name,area,cycle) values (31,'O''Neil''s','A',30)")));
    QVERIFY(db->exec(QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-03-01','2024-03-31','31-O''Neil''s','12.5','货款','clerk')")));
    MessageRecorder messages;
    receivable_info form;
    form.findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate(2024, 3, 31));
    setBoxes(form, {QStringLiteral("comboBox_8=31-O'Neil's")});
    for (const char *button : {"pushButton", "pushButton_3", "pushButton_4"}) {
        QTest::mouseClick(form.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QCOMPARE(form.model()->rowCount(), 1);
        QCOMPARE(form.model()->index(0, 0).data().toString(), QStringLiteral("31-O'Neil's"));
        QVERIFY(totalsOf(form).startsWith(QStringLiteral("应收总金额12.50元")));
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
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(QStringLiteral("payment")), qPrintable(messages.last().text));
    QCOMPARE(form.model()->rowCount(), 0);
    QCOMPARE(totalsOf(form), QString());
}

// The supplier category box offers "全部", the customer category box
// "--全部--"; each is what means "no filter" on its side.
void tst_tracking::categoryBoxesSayAllDifferently()
{
    QString error;
    QVERIFY2(m_fixture.forReading(&error), qPrintable(error));
    payment_info payables;
    receivable_info receivables;
    QCOMPARE(payables.findChild<QComboBox *>(QStringLiteral("comboBox_5"))->itemText(0), QStringLiteral("全部"));
    QCOMPARE(receivables.findChild<QComboBox *>(QStringLiteral("comboBox_6"))->itemText(0), QStringLiteral("--全部--"));
    QCOMPARE(payables.model()->rowCount(), 3);
    QCOMPARE(receivables.model()->rowCount(), 4);
    QVERIFY(!payables.statement(TrackingForm::Summary).contains(QStringLiteral("t4.category")));
    QVERIFY(!receivables.statement(TrackingForm::Summary).contains(QStringLiteral("t4.category")));
}

void tst_tracking::sentStatementsMatchTheQuotedOnes_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("partner");
    QTest::newRow("receivables, every customer") << "receivables" << "";
    QTest::newRow("receivables, one customer") << "receivables" << "7-客户7";
    QTest::newRow("receivables, no such customer") << "receivables" << "7-客户";
    QTest::newRow("payables, every supplier") << "payables" << "";
    QTest::newRow("payables, one supplier") << "payables" << "3-供应商3";
}

// On generated books, with periods of partners that no longer exist and
// companies whose name differs only in letter case, the statement the form
// sends gives the rows of the statement it stands in for, in their order.
void tst_tracking::sentStatementsMatchTheQuotedOnes()
{
    QFETCH(QString, side);
    QFETCH(QString, partner);
    TestDb db;
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    std::mt19937 random(7);
    auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QStringList kinds{QStringLiteral("货款"), QStringLiteral("投标保证金")};
    for (int code = 1; code <= 14; ++code) {
        const QString name = QStringLiteral("%1%2").arg(side == QLatin1String("payables") ? "供应商" : "客户").arg(code);
        const QString table = side == QLatin1String("payables") ? QStringLiteral("supplier") : QStringLiteral("customer");
        if (code <= 12) {
            QVERIFY(db.exec(QStringLiteral("insert into %1 (%1_id,%1_name,cycle,cooperate) values (%2,'%3',%4,%5)")
                                .arg(table).arg(code).arg(name).arg(15 * between(1, 4)).arg(code % 5 ? 1 : 0)));
        }
        // Codes above 12 have periods but no master row; 5 books as "5-Ab", its
        // master row says "5-AB".
        const QString company = code == 5 ? QStringLiteral("5-Ab") : QStringLiteral("%1-%2").arg(code).arg(name);
        if (code == 5) {
            QVERIFY(db.exec(QStringLiteral("update %1 set %1_name='AB' where %1_id=5").arg(table)));
        }
        for (int month = 1; month <= 10; ++month) {
            const QDate begin(2024, month, 1);
            int cash = 0;
            if (between(0, 2) > 0) {
                QVERIFY(db.exec(QStringLiteral("insert into info (date,company,summary,income,pay,category) values ('%1','%2','x','%3','%3','x')")
                                    .arg(begin.addDays(between(20, 80)).toString(Qt::ISODate), company)
                                    .arg(between(0, 3) == 0 ? 50 : 100)));
                cash = db.scalar(QStringLiteral("select max(id) from info")).toInt();
            }
            QVERIFY(db.exec(QStringLiteral("insert into %1 (date_begin,date_end,company,money,info_id,inout_category,operator) values ('%2','%3','%4','100',%5,'%6','clerk')")
                                .arg(side == QLatin1String("payables") ? "payment" : "receivable",
                                     begin.toString(Qt::ISODate),
                                     begin.addDays(begin.daysInMonth() - 1).toString(Qt::ISODate), company)
                                .arg(cash)
                                .arg(kinds.at(between(0, 3) == 0 ? 1 : 0))));
        }
    }

    auto form = open(side);
    setBoxes(*form, {QStringLiteral("%1=%2").arg(form->findChild<QComboBox *>(QStringLiteral("comboBox_8")) ? "comboBox_8" : "comboBox_6", partner)});
    for (const QString &day : {QStringLiteral("2024-06-30"), QStringLiteral("2024-12-31")}) {
        form->findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::fromString(day, Qt::ISODate));
        for (TrackingForm::Query query : {TrackingForm::Summary, TrackingForm::Detail, TrackingForm::Month}) {
            QString error;
            const QList<QStringList> quoted = ResultRows::query(form->quotedStatement(query), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QVERIFY(!quoted.isEmpty() || !partner.isEmpty());
            const QList<QStringList> sent = ResultRows::query(form->statement(query), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(sent, quoted);
        }
    }
}

QTEST_MAIN(tst_tracking)
#include "tst_tracking.moc"
