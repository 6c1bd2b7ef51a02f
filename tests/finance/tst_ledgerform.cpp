// The receivables and the payables, one form with two setups, driven as a
// clerk does: periods, interest, binding from the pick lists, the row check,
// saves, commission marks, audit, the discount passed on, rights,
// closing and importing receivables from a CSV file.

#include "finance/cashbook.h"
#include "finance/invoice.h"
#include "finance/payment.h"
#include "finance/receivable.h"
#include "financetest.h"
#include "master/formtest.h"
#include "widgets/formguard.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextCodec>

#include <algorithm>

using namespace FinanceTest;

namespace {

const QString January = QStringLiteral("2024-01-01");
const QString JanuaryEnd = QStringLiteral("2024-01-31");

// Opens the receivables or payables of kind showing the periods ending from
// first to the end of January; none with first empty.
std::unique_ptr<LedgerForm> openLedger(bool payables, const QString &kind = QStringLiteral("货款"),
                                       const QString &first = January)
{
    std::unique_ptr<LedgerForm> form = payables ? std::unique_ptr<LedgerForm>(open<payment>(kind)) : open<receivable>(kind);
    if (!first.isEmpty()) {
        query(*form, first, JanuaryEnd);
    }
    return form;
}

QAction *actionNamed(QWidget &form, const QString &text)
{
    const QList<QAction *> actions = form.actions();
    auto found = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == text; });
    return found == actions.end() ? nullptr : *found;
}

// A second period of January, for another partner.
const QString Second = QStringLiteral("insert into %1 (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-21','2024-01-31','22-西城商店',500,'货款','clerk')");

// Rows of the data tables.
struct Generated { bool payables; QString kind, unsaved, period, refusal; }; // unsaved: a row generated first
struct Interest { bool payables; QString kind, paidOn, interest; };
struct Closing { bool audited; int answer; bool closed; QString stored; };
struct Deleting { int answer; bool badEdit; QString refusal; int left; }; // badEdit: the other row's end no day

} // namespace

Q_DECLARE_METATYPE(Generated)
Q_DECLARE_METATYPE(Interest)
Q_DECLARE_METATYPE(Closing)
Q_DECLARE_METATYPE(Deleting)

class tst_ledgerform : public QObject
{
    Q_OBJECT
    std::unique_ptr<Ledger> m_ledger;
    QTemporaryDir m_dir;

    void run(const QString &sql) { m_ledger->run(sql); }
    QStringList messages() const { return m_ledger->messages.texts(); }

private slots:
    void init() { m_ledger.reset(new Ledger); }
    void cleanup() { m_ledger.reset(); }

    void payablesHaveTheirListsAndFixedPeriods()
    {
        auto form = openLedger(true);
        // Suppliers and customers, but no delivery customer.
        auto *companies = child<QComboBox>(*form, "comboBox_2");
        QCOMPARE(companies->count(), 4);
        QCOMPARE(companies->itemText(1) + companies->itemText(3), QStringLiteral("12-晨光文具22-西城商店"));
        QVERIFY(!child<QPushButton>(*form, "pushButton_13")->isVisible());
        QCOMPARE(form->actions().size(), 1);
        for (int column : {0, 1, 2, payment::setup().categoryColumn}) {
            QVERIFY(!choose(*form, 0, column, QString(), column % 2 == 0));
            QVERIFY(!view(*form)->indexWidget(modelOf(*form)->index(0, column)));
        }
        QTest::keyClicks(view(*form)->viewport(), "9");
        QCOMPARE(cell(*form, 0, 0), January);
    }

    void generatingRefusesOverlappingPeriods_data()
    {
        QTest::addColumn<Generated>("g");
        const QString taken = QStringLiteral("重复提示/本周期已有货款生成！");
        // Stored: receivable 2024-01-10 to 01-20, payable 2024-01-01 to 01-31.
        QTest::newRow("encloses the stored period") << Generated{false, "货款", "", "2024-01-05 2024-01-25", taken};
        QTest::newRow("starts the day after") << Generated{false, "货款", "", "2024-01-21 2024-01-31", ""};
        QTest::newRow("shares the last day") << Generated{false, "货款", "", "2024-01-20 2024-01-31", taken};
        QTest::newRow("same period, other kind") << Generated{false, "投标", "", "2024-01-10 2024-01-20", ""};
        QTest::newRow("an unsaved row counts") << Generated{false, "货款", "2024-02-01 2024-02-29", "2024-02-15 2024-03-15", taken};
        QTest::newRow("payables: shares the first day") << Generated{true, "货款", "", "2023-12-01 2024-01-01", taken};
        QTest::newRow("payables: the month after") << Generated{true, "货款", "", "2024-02-01 2024-02-29", ""};
        QTest::newRow("payables: no amount") << Generated{true, "货款", "", "2024-02-01", "错误提示/金额或供应商不能为空"};
    }
    void generatingRefusesOverlappingPeriods()
    {
        QFETCH(Generated, g);
        const auto &[payables, kind, unsaved, period, refusal] = g;
        auto form = openLedger(payables, kind, QString());
        const QString company = payables ? QStringLiteral("12-晨光文具") : QStringLiteral("21-东方超市");
        const auto generate = [&](const QString &days, const QString &amount) {
            fill(*form, {{"dateEdit", days.section(' ', 0, 0)}, {"dateEdit_4", days.section(' ', -1)}, {"comboBox_2", company}, {"lineEdit_3", amount}}, "pushButton_11");
        };
        const int rows = unsaved.isEmpty() ? 0 : 1;
        if (rows) {
            generate(unsaved, QStringLiteral("10"));
        }
        m_ledger->messages.clear();
        generate(period, period.contains(' ') ? QStringLiteral("250.5") : QString());
        QCOMPARE(messages().join('\n'), refusal);
        QCOMPARE(modelOf(*form)->rowCount(), refusal.isEmpty() ? rows + 1 : rows);
        if (refusal.isEmpty()) {
            const LedgerSetup setup = payables ? payment::setup() : receivable::setup();
            QCOMPARE(cell(*form, 0, 0) + ' ' + cell(*form, 0, 1) + ' ' + cell(*form, 0, 2), period + ' ' + company);
            QCOMPARE(cell(*form, 0, setup.categoryColumn) + cell(*form, 0, setup.operatorColumn), form->category() + "clerk");
            QCOMPARE(child<QLabel>(*form, "label")->text(), QStringLiteral("价税金额合计250.50元"));
        }
    }

    void interestFollowsTheDaysLate_data()
    {
        QTest::addColumn<Interest>("i");
        // 10000.00 due on 2024-01-31.
        QTest::newRow("29 days: none") << Interest{false, "投标", "2024-02-29", "0.00"};
        QTest::newRow("30 days: 0.017 % a day") << Interest{false, "投标", "2024-03-01", "51.00"};
        QTest::newRow("45 days: 0.02 % a day") << Interest{false, "履约", "2024-03-16", "90.00"};
        QTest::newRow("60 days: 0.027 % a day") << Interest{false, "往来", "2024-03-31", "162.00"};
        QTest::newRow("trade receivables earn none") << Interest{false, "货款", "2024-03-31", "0"};
        QTest::newRow("payables: 51 days") << Interest{true, "履约", "2024-03-22", "102.00"};
    }
    void interestFollowsTheDaysLate()
    {
        QFETCH(Interest, i);
        const auto &[payables, kind, paidOn, interest] = i;
        auto form = openLedger(payables, kind, QString());
        const LedgerSetup setup = payables ? payment::setup() : receivable::setup();
        run(QStringLiteral("insert into info (date,company,summary,income,pay,category) values ('%1','22-西城商店','退保证金',10000,0,'保证金')").arg(paidOn));
        run(QStringLiteral("insert into %1 (date_begin,date_end,company,money,info_id,inout_category,operator) values ('2024-01-01','2024-01-31','22-西城商店',10000,(select max(id) from info),'%2','clerk')").arg(setup.table, form->category()));
        query(*form, JanuaryEnd, JanuaryEnd);
        const QModelIndex cash = modelOf(*form)->index(0, setup.cashColumn);
        QTest::mouseClick(view(*form)->viewport(), Qt::LeftButton, {}, view(*form)->visualRect(cash).center());
        QCOMPARE(cell(*form, 0, setup.interestColumn), interest);
    }

    void rowCheckRefusesTheSave_data()
    {
        QTest::addColumn<QStringList>("setup");  // statements before the form opens
        QTest::addColumn<QList<int>>("edits");   // row, column, value … as triples
        QTest::addColumn<QString>("message");
        const QString second = Second.arg(QStringLiteral("receivable"));
        const QString heldElsewhere = QStringLiteral("insert into receivable (date_begin,date_end,company,money,invoice_id,info_id,inout_category,operator) values ('2023-12-01','2023-12-31','21-东方超市',9,2,2,'货款','clerk')");
        QTest::newRow("one invoice twice") << QStringList{second} << QList<int>{0, 5, 1, 1, 5, 1} << "错误提示/发票号不能重复！";
        QTest::newRow("one receipt twice") << QStringList{second} << QList<int>{0, 6, 1, 1, 6, 1} << "错误提示/资金号不能重复！";
        QTest::newRow("invoice held by a row not shown") << QStringList{heldElsewhere} << QList<int>{0, 5, 2} << "错误提示/第1行发票已绑定，请检查";
        QTest::newRow("receipt held by a row not shown") << QStringList{heldElsewhere} << QList<int>{0, 6, 2} << "错误提示/第1行资金已绑定，请检查";
        QTest::newRow("invoice moved between rows shown")
            << QStringList{second, QStringLiteral("update receivable set invoice_id=1 where date_begin='2024-01-21'")}
            << QList<int>{0, 5, 1, 1, 5, 2} << "保存提示/保存成功！";
        QTest::newRow("audited row")
            << QStringList{second, QStringLiteral("update receivable set checker='boss' where date_begin='2024-01-21'")}
            << QList<int>{0, 5, 1} << "错误提示/第2行已审核，不能修改";
        QTest::newRow("date that is no day") << QStringList{} << QList<int>{0, 0, -1} << "错误提示/第1行日期格式不正确";
    }
    void rowCheckRefusesTheSave()
    {
        QFETCH(QStringList, setup);
        QFETCH(QList<int>, edits);
        QFETCH(QString, message);
        for (const QString &sql : setup) {
            run(sql);
        }
        auto form = openLedger(false);
        for (int i = 0; i + 2 < edits.size(); i += 3) {
            setCell(*form, edits.at(i), edits.at(i + 1),
                    edits.at(i + 2) < 0 ? QVariant(QStringLiteral("2024-02-31")) : QVariant(edits.at(i + 2)));
        }
        const QString bindings = QStringLiteral("select id,invoice_id,info_id from receivable order by id");
        const QList<QStringList> stored = m_ledger->db->rows(bindings);
        click(*form, "pushButton_3");
        QCOMPARE(messages().value(0), message);
        QCOMPARE(m_ledger->db->rows(bindings) == stored, !message.contains(QStringLiteral("成功")));
    }

    void bindingFromThePickListsSavesTwice_data()
    {
        QTest::addColumn<bool>("payables");
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<QStringList>("bound"); // party, invoice id, cash id
        QTest::newRow("receivables, by double-click") << false << false << QStringList{"21-东方超市", "2", "1"};
        QTest::newRow("payables, by the edit key") << true << true << QStringList{"12-晨光文具", "3", "3"};
    }
    // The lists are those of the row's partner, not of the row clicked last;
    // the context-menu save succeeds, and again without a query.
    void bindingFromThePickListsSavesTwice()
    {
        QFETCH(bool, payables);
        QFETCH(bool, byKeyboard);
        QFETCH(QStringList, bound);
        const LedgerSetup setup = payables ? payment::setup() : receivable::setup();
        run(Second.arg(setup.table));
        auto form = openLedger(payables);
        pick(*form, 1);
        QVERIFY(choose(*form, 0, setup.invoiceColumn, bound.at(1) + '-', byKeyboard));
        QVERIFY(choose(*form, 0, setup.cashColumn, bound.at(2) + '-', byKeyboard));
        QVERIFY(!choose(*form, 1, setup.invoiceColumn, bound.at(1) + '-', byKeyboard)); // 西城商店 has none
        actionNamed(*form, QStringLiteral("保存"))->trigger();
        actionNamed(*form, QStringLiteral("保存"))->trigger();
        QCOMPARE(messages(), QVector<QString>(2, QStringLiteral("保存提示/保存成功！")).toList());
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select company,invoice_id,info_id from %1 order by date_begin").arg(setup.table)),
                 (QList<QStringList>{bound, {"22-西城商店", "0", "0"}}));
    }

    // Marks, then audit: the stamped rows refuse every change until un-audited.
    void commissionMarksAndAudit()
    {
        run(QStringLiteral("update receivable set info_id=1,invoice_id=1"));
        run(Second.arg(QStringLiteral("receivable")));
        auto form = openLedger(false);
        click(*form, "pushButton_9");
        // The second row has received nothing yet.
        QCOMPARE(cell(*form, 0, 9) + ' ' + cell(*form, 1, 9), QDate::currentDate().toString(Qt::ISODate) + " 2001-01-01");
        pick(*form, 0);
        click(*form, "pushButton_12");
        QCOMPARE(cell(*form, 0, 9), QStringLiteral("2001-01-01"));
        click(*form, "pushButton_5");
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select checker from receivable")), (QList<QStringList>{{"clerk"}, {"clerk"}}));
        for (const char *button : {"pushButton_3", "pushButton_9", "pushButton_12", "pushButton_6"}) {
            pick(*form, 0);
            click(*form, button);
        }
        QCOMPARE(messages(), (QStringList{"操作提示/操作成功！", "错误提示/第1行已审核，不能修改", "错误提示/第1行已审核，不能修改",
                                          "权限提示/已经审核，不能修改！", "权限提示/已经审核，不能删除！"}));
        click(*form, "pushButton_8");
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select checker from receivable")), (QList<QStringList>{{""}, {""}}));
    }

    void discountBecomesACurrentAccountPayable()
    {
        run(QStringLiteral("update receivable set discount=8,remarks='12-晨光文具'"));
        auto form = openLedger(false);
        QAction *discount = actionNamed(*form, QStringLiteral("生成-其他应付（往来）"));
        discount->trigger();
        pick(*form, 0);
        discount->trigger();
        m_ledger->messages.answerNext(QMessageBox::No);
        discount->trigger(); // the same payable again: asked, and declined
        const QString payable = QStringLiteral("应付（往来）：12-晨光文具 2024-01-10至2024-01-20 金额8.00");
        QCOMPARE(messages(), (QStringList{"操作提示/请选择一行", "操作提示/已生成" + payable,
                                          "重复提示/已有相同的" + payable + "，是否再生成一笔？"}));
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select date_begin,company,money,remarks,operator from payment where inout_category='公司往来'")),
                 (QList<QStringList>{{"2024-01-10", "12-晨光文具", "8", "21-东方超市", "clerk"}}));
        auto payables = openLedger(true, QStringLiteral("往来"));
        QCOMPARE(modelOf(*payables)->rowCount(), 1);
    }

    void deleteAsksAndNeverSavesWhatSaveRefuses_data()
    {
        QTest::addColumn<Deleting>("d");
        QTest::newRow("No keeps the row") << Deleting{int(QMessageBox::No), false, "", 2};
        QTest::newRow("Yes removes it") << Deleting{int(QMessageBox::Yes), false, "", 1};
        QTest::newRow("Yes with an edit that saving refuses keeps both")
            << Deleting{int(QMessageBox::Yes), true, "错误提示/第2行日期格式不正确", 2};
    }
    void deleteAsksAndNeverSavesWhatSaveRefuses()
    {
        QFETCH(Deleting, d);
        const auto &[answer, badEdit, refusal, left] = d;
        run(Second.arg(QStringLiteral("receivable")));
        auto form = openLedger(false);
        if (badEdit) {
            setCell(*form, 1, 1, QStringLiteral("2024-02-31"));
        }
        pick(*form, 0);
        m_ledger->messages.answerNext(QMessageBox::StandardButton(answer));
        click(*form, "pushButton_6");
        QCOMPARE(messages().join('\n'), QStringLiteral("删除当前行/确定删除此行？") + (badEdit ? "\n" + refusal : ""));
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select date_end from receivable order by id")).size(), left);
        QCOMPARE(m_ledger->db->scalar(QStringLiteral("select max(date_end) from receivable")), JanuaryEnd);
    }

    void closingAsksAboutUnsavedRows_data()
    {
        QTest::addColumn<Closing>("c");
        QTest::newRow("保存") << Closing{false, int(QMessageBox::Save), true, "已对账"};
        QTest::newRow("不保存") << Closing{false, int(QMessageBox::Discard), true, ""};
        QTest::newRow("取消") << Closing{false, int(QMessageBox::Cancel), false, ""};
        QTest::newRow("保存 refused keeps the form open") << Closing{true, int(QMessageBox::Save), false, ""};
    }
    void closingAsksAboutUnsavedRows()
    {
        QFETCH(Closing, c);
        const auto &[audited, answer, closed, stored] = c;
        run(QStringLiteral("update receivable set checker='%1',remarks=''").arg(audited ? "boss" : ""));
        auto form = openLedger(false, QStringLiteral("货款"), QString());
        FormGuard::install(form.get());
        query(*form, January, JanuaryEnd);
        QVERIFY(form->close()); // nothing changed: no question
        QVERIFY(messages().isEmpty());
        form->show();
        setCell(*form, 0, receivable::setup().remarksColumn, QStringLiteral("已对账"));
        m_ledger->messages.answerNext(QMessageBox::StandardButton(answer));
        QCOMPARE(form->close(), closed);
        QCOMPARE(messages().value(0), FormGuard::questionTitle() + '/' + FormGuard::questionText());
        QCOMPARE(m_ledger->db->scalar(QStringLiteral("select remarks from receivable")), stored);
    }

    // Every write of the finance forms asks for its right first.
    void actionsNeedTheirRight_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("button");
        QTest::newRow("invoice: save") << "invoice" << "发票录入" << "pushButton_3";
        QTest::newRow("invoice: unaudit") << "invoice" << "发票审核" << "pushButton_8";
        QTest::newRow("receivables: delete") << "receivable" << "应收录入" << "pushButton_6";
        QTest::newRow("receivables: audit") << "receivable" << "应收审核" << "pushButton_5";
        QTest::newRow("receivables: import, before the file is asked for") << "receivable" << "应收导入" << "pushButton_13";
        QTest::newRow("payables: save") << "payment" << "应付录入" << "pushButton_3";
        QTest::newRow("payables: audit") << "payment" << "应付审核" << "pushButton_5";
        QTest::newRow("cash journal: delete") << "cashbook" << "资金录入" << "pushButton_6";
    }
    void actionsNeedTheirRight()
    {
        QFETCH(QString, form);
        QFETCH(QString, right);
        QFETCH(QString, button);
        run(QStringLiteral("insert into invoice (date,invoice_no,money,company,jin_xiao,input,checker) values ('%1','F1',5,'12-晨光文具','进项','clerk','')").arg(QDate::currentDate().toString(Qt::ISODate)));
        run(QStringLiteral("insert into info (date,company,summary,income,pay,category) values ('%1','12-晨光文具','x',0,5,'采购付款')").arg(QDate::currentDate().toString(Qt::ISODate)));
        const QString stored = QStringLiteral("select checker,remarks from receivable union all select checker,remarks from payment "
                                              "union all select invoice_no,checker from invoice union all select id,summary from info");
        const QList<QStringList> before = m_ledger->db->rows(stored);
        FileDialogs::setHandler([](FileDialogs::Kind, QWidget *, const QString &, const QString &, const QString &) {
            return QStringLiteral("asked");
        });
        LoginState::rights = QStringLiteral("应收录入,应收审核,应收导入,应付录入,应付审核,发票录入,发票审核,资金录入").remove(right);
        std::unique_ptr<QWidget> shown(form == QStringLiteral("invoice")    ? static_cast<QWidget *>(new invoice)
                                       : form == QStringLiteral("cashbook") ? static_cast<QWidget *>(new cashbook)
                                                                            : openLedger(form == QStringLiteral("payment")).release());
        pick(*shown, 0);
        setCell(*shown, 0, form == QStringLiteral("receivable") ? 8 : 3, QStringLiteral("x"));
        click(*shown, button.toLatin1().constData());
        QCOMPARE(messages(), QStringList{"权限提示/无此权限"});
        QCOMPARE(m_ledger->db->rows(stored), before);
    }

    // Whole files as spreadsheets save them, all lines or none.
    void importsAllOrNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<QStringList>>("imported");
        const QList<QStringList> none;
        const QString refused = QStringLiteral("错误提示/文件有错误，没有导入任何数据：\n");

        QTest::newRow("date-times and an empty amount")
            << QByteArray("2024-02-01 00:00:00,2024-02-29 00:00:00,21-东方超市,,货款\n") << "操作提示/导入成功！共导入1行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "21-东方超市", "0", "货款", "clerk"}};
        QTest::newRow("header line, BOM, CRLF, no final line feed")
            << QByteArray("\xEF\xBB\xBF开始日期,结束日期,购货单位,金额,类别\r\n2024-02-01,2024-02-29,22-西城商店,12.5,投标保证金\r\n2024/3/1,2024/3/31,22-西城商店,7,投标保证金")
            << "操作提示/导入成功！共导入2行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "22-西城商店", "12.5", "投标保证金", "clerk"},
                                  {"2024-03-01", "2024-03-31", "22-西城商店", "7", "投标保证金", "clerk"}};
        QTest::newRow("GBK as a spreadsheet saves it")
            << QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("2024-02-01,2024-02-29,22-西城商店,100,货款\r\n"))
            << "操作提示/导入成功！共导入1行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "22-西城商店", "100", "货款", "clerk"}};
        QTest::newRow("quoted fields")
            << QByteArray("2024-02-01,2024-02-29,\"21-东方超市\",\"300\",\"货款\"\n") << "操作提示/导入成功！共导入1行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "21-东方超市", "300", "货款", "clerk"}};
        QTest::newRow("short and mixed day forms, a sign, 13 digits and 4 decimals")
            << QByteArray(" 2024/1/5 08:30:00,2024-01-31,22-西城商店,-12.5,货款\n2024-2/05,2024-02-29,22-西城商店,1234567890123.1250,货款\n")
            << "操作提示/导入成功！共导入2行"
            << QList<QStringList>{{"2024-01-05", "2024-01-31", "22-西城商店", "-12.5", "货款", "clerk"},
                                  {"2024-02-05", "2024-02-29", "22-西城商店", "1234567890123.13", "货款", "clerk"}};
        QTest::newRow("a header only") << QByteArray("开始日期,结束日期\n\n") << "操作提示/文件中没有可导入的数据！" << none;
        QTest::newRow("bad lines reject the file, a quoted comma stays in its field")
            << QByteArray("2024-02-01,2024-02-29,21-东方超市,1,货款\n2024-02-01,2024-02-29,22-西城商店,\"1,5\",货款\n2024-02-30,2024-03-01,22-西城商店,1,货款\n"
                          "2024-001-05,2024-03-31,22-西城商店,1,货款\n2024-04-01,2024-04-30,22-西城商店,12345678901234,货款\n"
                          "2024-05-01,2024-05-31,22-西城商店,1.12345,货款\n2024-06-01,2024-06-30,22-西城商店,1.,货款\n2024-07-01,2024-07-31,22-西城商店,１,货款\n")
            << refused + "第2行：金额“1,5”不是数字\n第3行：开始日期不正确\n第4行：开始日期不正确\n第5行：金额“12345678901234”不是数字\n"
                         "第6行：金额“1.12345”不是数字\n第7行：金额“1.”不是数字\n第8行：金额“１”不是数字" << none;
        QTest::newRow("ends on a stored period's first day")
            << QByteArray("2024-01-01,2024-01-10,21-东方超市,1,货款\n")
            << refused + "第1行：与已有周期2024-01-10至2024-01-20重叠" << none;
        QTest::newRow("begins on a stored period's last day")
            << QByteArray("2024-01-20,2024-01-31,21-东方超市,1,货款\n")
            << refused + "第1行：与已有周期2024-01-10至2024-01-20重叠" << none;
        QTest::newRow("overlaps an earlier line")
            << QByteArray("2024-02-01,2024-02-29,22-西城商店,1,货款\n2024-02-29,2024-03-31,22-西城商店,1,货款\n")
            << refused + "第2行：与第1行的周期重叠" << none;
        QTest::newRow("unknown customer and category")
            << QByteArray("2024-02-01,2024-02-29,99-无名,1,货款\n2024-02-01,2024-02-29,22-西城商店,1,杂项\n")
            << refused + "第1行：单位“99-无名”不存在\n第2行：类别“杂项”不存在" << none;
        // The database refuses the second insert block: nothing of the first stays.
        QByteArray many;
        for (int code = 1001; code <= 1101; ++code) {
            many += QStringLiteral("2025-01-01,2025-01-01,%1-甲,1,货款\n").arg(code).toUtf8();
        }
        QTest::newRow("a failed insert") << many << "数据错误/第101行起：" << none;
    }

    void importsAllOrNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QFETCH(QList<QStringList>, imported);
        if (message.startsWith(QStringLiteral("数据错误"))) {
            for (int code = 1001; code <= 1101; ++code) {
                QVERIFY(m_ledger->db->exec(QStringLiteral("insert into customer (customer_id,customer_name) values (%1,'甲')").arg(code)));
            }
            QVERIFY(FormTest::runOnFile(m_ledger->db->db(), "create trigger refuse before insert on receivable "
                                                              "when new.company='1101-甲' begin select raise(abort, 'locked'); end"));
        }
        const QString fileName = m_dir.filePath(QStringLiteral("import.csv"));
        QFile out(fileName);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(file);
        out.close();
        QString caption;
        FileDialogs::setHandler([&](FileDialogs::Kind, QWidget *, const QString &title, const QString &,
                                    const QString &) { return (caption = title, fileName); });
        auto form = open<receivable>(QStringLiteral("货款"));
        click(*form, "pushButton_13");
        QCOMPARE(caption, QStringLiteral("打开文件"));
        QCOMPARE(m_ledger->messages.texts().join('|').left(message.size()), message);
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select date_begin,date_end,company,money,inout_category,operator from receivable where id>1 order by id")),
                 imported);
    }
};

QTEST_MAIN(tst_ledgerform)
#include "tst_ledgerform.moc"
