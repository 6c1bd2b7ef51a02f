// The receivables form, driven as a clerk does: generating periods, binding
// invoices and receipts from the pick lists, interest, the row check, the
// saves, commission marks, audit and the discount passed on as a payable.

#include "finance/payment.h"
#include "finance/receivable.h"
#include "ledgertest.h"

#include <QAction>
#include <QLabel>

using namespace LedgerTest;

class tst_receivable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void kindsGiveCategoryAndTitle_data();
    void kindsGiveCategoryAndTitle();
    void generatingRefusesOverlappingPeriods_data();
    void generatingRefusesOverlappingPeriods();
    void interestFollowsTheDaysLate_data();
    void interestFollowsTheDaysLate();
    void rowCheckRefusesTheSave_data();
    void rowCheckRefusesTheSave();
    void bindingFromThePickListsSavesTwice_data();
    void bindingFromThePickListsSavesTwice();
    void commissionMarkAndUndo();
    void auditedRowsBlockSaveAndMark();
    void aRowChangedElsewhereIsNotOverwritten();
    void discountBecomesACurrentAccountPayable();
    void deleteAsksAndRemoves_data();
    void deleteAsksAndRemoves();
    void theDemoCompanyOpensOnTodaysAccounts_data();
    void theDemoCompanyOpensOnTodaysAccounts();

private:
    std::unique_ptr<Fixture> m_fixture;
};

void tst_receivable::init()
{
    m_fixture.reset(new Fixture);
    QVERIFY2(m_fixture->db->isValid(), qPrintable(m_fixture->db->error()));
}

void tst_receivable::cleanup()
{
    m_fixture.reset();
}

void tst_receivable::kindsGiveCategoryAndTitle_data()
{
    QTest::addColumn<bool>("payables");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("title");
    QTest::newRow("trade receivables") << false << "货款" << "货款" << "应收款管理";
    QTest::newRow("tender receivables") << false << "投标" << "投标保证金" << "应收（投标）管理";
    QTest::newRow("bond receivables") << false << "履约" << "履约保证金" << "应收（履约）管理";
    QTest::newRow("current receivables") << false << "往来" << "公司往来" << "应收（往来）管理";
    QTest::newRow("trade payables") << true << "货款" << "货款" << "应付款管理";
    QTest::newRow("current payables") << true << "往来" << "公司往来" << "应付（往来）管理";
    QTest::newRow("unknown kind: no category") << false << "其他" << "" << "应收款管理";
}

void tst_receivable::kindsGiveCategoryAndTitle()
{
    QFETCH(bool, payables);
    QFETCH(QString, kind);
    QFETCH(QString, category);
    QFETCH(QString, title);
    std::unique_ptr<LedgerForm> form;
    if (payables) {
        form = open<payment>(kind);
    } else {
        form = open<receivable>(kind);
    }
    QCOMPARE(form->windowTitle(), title);
    LEDGER_CHILD(QComboBox, entryKind, form.get(), "comboBox_3");
    LEDGER_CHILD(QComboBox, queryKind, form.get(), "comboBox_4");
    QCOMPARE(entryKind->currentText(), category);
    QCOMPARE(queryKind->count(), category.isEmpty() ? 0 : 1);
}

void tst_receivable::generatingRefusesOverlappingPeriods_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("unsavedBegin"); // a row generated first, or empty
    QTest::addColumn<QString>("unsavedEnd");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("accepted");
    // The stored period is 2024-01-10 to 2024-01-20, trade receivables.
    QTest::newRow("encloses the stored period") << "货款" << "" << "" << "2024-01-05" << "2024-01-25" << false;
    QTest::newRow("starts the day after") << "货款" << "" << "" << "2024-01-21" << "2024-01-31" << true;
    QTest::newRow("shares the last day") << "货款" << "" << "" << "2024-01-20" << "2024-01-31" << false;
    QTest::newRow("lies inside") << "货款" << "" << "" << "2024-01-12" << "2024-01-13" << false;
    QTest::newRow("same period, other kind") << "投标" << "" << "" << "2024-01-10" << "2024-01-20" << true;
    QTest::newRow("an unsaved row counts")
        << "货款" << "2024-02-01" << "2024-02-29" << "2024-02-15" << "2024-03-15" << false;
}

void tst_receivable::generatingRefusesOverlappingPeriods()
{
    QFETCH(QString, kind);
    QFETCH(QString, unsavedBegin);
    QFETCH(QString, unsavedEnd);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(bool, accepted);
    auto form = open<receivable>(kind);
    const QString company = QStringLiteral("21-东方超市");
    int rows = 0;
    if (!unsavedBegin.isEmpty()) {
        generate(form.get(), unsavedBegin, unsavedEnd, company, QStringLiteral("10"));
        rows = 1;
    }
    m_fixture->messages.clear();
    generate(form.get(), begin, end, company, QStringLiteral("250.5"));
    QCOMPARE(view(form.get())->model()->rowCount(), accepted ? rows + 1 : rows);
    if (accepted) {
        QVERIFY(m_fixture->messages.isEmpty());
        QCOMPARE(cell(form.get(), rows, 0), begin);
        QCOMPARE(cell(form.get(), rows, 2), company);
        QCOMPARE(cell(form.get(), rows, 10), form->category());
        QCOMPARE(cell(form.get(), rows, 11), QStringLiteral("clerk"));
        LEDGER_CHILD(QLabel, total, form.get(), "label");
        QVERIFY(total->text().startsWith(QStringLiteral("价税金额合计")));
    } else {
        QCOMPARE(m_fixture->messages.texts(), QStringList{"重复提示/本周期已有货款生成！"});
    }
}

void tst_receivable::interestFollowsTheDaysLate_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("paidOn");
    QTest::addColumn<QString>("interest");
    // 10000.00 due on 2024-01-31.
    QTest::newRow("29 days: none") << "投标" << "2024-02-29" << "0.00";
    QTest::newRow("30 days: 0.017 % a day") << "投标" << "2024-03-01" << "51.00";
    QTest::newRow("45 days: 0.02 % a day") << "履约" << "2024-03-16" << "90.00";
    QTest::newRow("60 days: 0.027 % a day") << "往来" << "2024-03-31" << "162.00";
    QTest::newRow("trade receivables earn none") << "货款" << "2024-03-31" << "";
}

void tst_receivable::interestFollowsTheDaysLate()
{
    QFETCH(QString, kind);
    QFETCH(QString, paidOn);
    QFETCH(QString, interest);
    auto form = open<receivable>(kind);
    QVERIFY(m_fixture->db->exec(QStringLiteral("insert into info (date,company,summary,income,pay,category) values ('%1','22-西城商店','退保证金',10000,0,'保证金')").arg(paidOn)));
    const QString cashId = m_fixture->db->scalar(QStringLiteral("select max(id) from info"));
    QVERIFY(m_fixture->db->exec(QStringLiteral("insert into receivable (date_begin,date_end,company,money,info_id,inout_category,operator) values ('2024-01-01','2024-01-31','22-西城商店',10000,%1,'%2','clerk')").arg(cashId, form->category())));
    query(form.get(), QStringLiteral("2024-01-31"), QStringLiteral("2024-01-31"));
    QCOMPARE(view(form.get())->model()->rowCount(), 1);
    const QString before = cell(form.get(), 0, 7);
    press(form.get(), 0, 6);
    QCOMPARE(cell(form.get(), 0, 7), interest.isEmpty() ? before : interest);
}

void tst_receivable::rowCheckRefusesTheSave_data()
{
    QTest::addColumn<QStringList>("setup");  // statements before the form opens
    QTest::addColumn<QList<int>>("edits");   // row, column, value … as triples
    QTest::addColumn<QString>("message");

    const QString second = QStringLiteral("insert into receivable (date_begin,date_end,company,money,inout_category,operator) values ('2024-01-21','2024-01-31','21-东方超市',500,'货款','clerk')");
    QTest::newRow("one invoice twice") << QStringList{second} << QList<int>{0, 5, 1, 1, 5, 1}
                                       << "错误提示/发票号不能重复！";
    QTest::newRow("one receipt twice") << QStringList{second} << QList<int>{0, 6, 1, 1, 6, 1}
                                       << "错误提示/资金号不能重复！";
    QTest::newRow("invoice held by a row not shown")
        << QStringList{QStringLiteral("insert into receivable (date_begin,date_end,company,money,invoice_id,inout_category,operator) values ('2023-12-01','2023-12-31','21-东方超市',9,2,'货款','clerk')")}
        << QList<int>{0, 5, 2} << "错误提示/第1行发票已绑定，请检查";
    QTest::newRow("receipt held by a row not shown")
        << QStringList{QStringLiteral("insert into receivable (date_begin,date_end,company,money,info_id,inout_category,operator) values ('2023-12-01','2023-12-31','21-东方超市',9,2,'货款','clerk')")}
        << QList<int>{0, 6, 2} << "错误提示/第1行资金已绑定，请检查";
    QTest::newRow("invoice moved between rows shown")
        << QStringList{second, QStringLiteral("update receivable set invoice_id=1 where date_begin='2024-01-21'")}
        << QList<int>{0, 5, 1, 1, 5, 2} << "保存提示/保存成功！";
    QTest::newRow("audited row")
        << QStringList{second, QStringLiteral("update receivable set checker='boss' where date_begin='2024-01-21'")}
        << QList<int>{0, 5, 1} << "错误提示/第2行已审核，不能修改";
    QTest::newRow("date that is no day") << QStringList{} << QList<int>{0, 0, 20240231}
                                         << "错误提示/第1行日期格式不正确";
}

void tst_receivable::rowCheckRefusesTheSave()
{
    QFETCH(QStringList, setup);
    QFETCH(QList<int>, edits);
    QFETCH(QString, message);
    for (const QString &sql : setup) {
        QVERIFY2(m_fixture->db->exec(sql), qPrintable(m_fixture->db->lastError()));
    }
    auto form = open<receivable>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    QAbstractItemModel *model = view(form.get())->model();
    for (int i = 0; i + 2 < edits.size(); i += 3) {
        QVariant value = edits.at(i + 2);
        if (edits.at(i + 2) == 20240231) {
            value = QStringLiteral("2024-02-31");
        }
        model->setData(model->index(edits.at(i), edits.at(i + 1)), value);
    }
    const int stored = m_fixture->db->scalar(QStringLiteral("select count(*) from receivable where invoice_id<>0 or info_id<>0")).toInt();
    click(form.get(), "pushButton_3");
    QCOMPARE(m_fixture->messages.texts().value(0), message);
    if (!message.contains(QStringLiteral("成功"))) {
        QCOMPARE(m_fixture->db->scalar(QStringLiteral("select count(*) from receivable where invoice_id<>0 or info_id<>0")).toInt(), stored);
    }
}

void tst_receivable::bindingFromThePickListsSavesTwice_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("by double-click") << false;
    QTest::newRow("by the edit key") << true;
}

// A generated row gets its discount typed and its invoice and receipt chosen;
// saving it, then saving again without a query, both succeed.
void tst_receivable::bindingFromThePickListsSavesTwice()
{
    QFETCH(bool, byKeyboard);
    auto form = open<receivable>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    generate(form.get(), QStringLiteral("2024-01-21"), QStringLiteral("2024-01-31"),
             QStringLiteral("22-西城商店"), QStringLiteral("300"));
    QCOMPARE(view(form.get())->model()->rowCount(), 2);
    typeInto(form.get(), 1, 4, QStringLiteral("8"));
    // The lists belong to the row's customer, not to the last one clicked.
    QVERIFY(choose(form.get(), 0, 5, QStringLiteral("2-"), byKeyboard));
    QCOMPARE(CustomerParty, QStringLiteral("21-东方超市"));
    QVERIFY(choose(form.get(), 0, 6, QStringLiteral("1-"), byKeyboard));
    QVERIFY(!choose(form.get(), 1, 5, QStringLiteral("1-"), byKeyboard)); // 西城商店 has no invoices
    view(form.get())->model()->setData(view(form.get())->model()->index(1, 5), 0);
    QCOMPARE(cell(form.get(), 0, 5), QStringLiteral("2"));
    QCOMPARE(cell(form.get(), 0, 6), QStringLiteral("1"));

    QAction *save = nullptr;
    for (QAction *action : form->actions()) {
        if (action->text() == QStringLiteral("保存")) {
            save = action;
        }
    }
    QVERIFY(save);
    save->trigger();
    QCOMPARE(m_fixture->messages.texts(), QStringList{"保存提示/保存成功！"});
    save->trigger();
    click(form.get(), "pushButton_3");
    QCOMPARE(m_fixture->messages.count(), 3);
    QCOMPARE(m_fixture->messages.last().text, QStringLiteral("保存成功！"));
    QCOMPARE(m_fixture->db->rows(QStringLiteral("select company,money,discount,invoice_id,info_id from receivable order by date_begin,id")),
             (QList<QStringList>{{"21-东方超市", "1000", "0", "2", "1"}, {"22-西城商店", "300", "8", "0", "0"}}));
}

void tst_receivable::commissionMarkAndUndo()
{
    QVERIFY(m_fixture->db->exec(QStringLiteral("update receivable set info_id=1,discount=0,invoice_id=1")));
    auto form = open<receivable>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    generate(form.get(), QStringLiteral("2024-01-21"), QStringLiteral("2024-01-31"),
             QStringLiteral("21-东方超市"), QStringLiteral("300"));
    m_fixture->messages.clear();
    click(form.get(), "pushButton_9");
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(m_fixture->messages.texts(), QStringList{"操作提示/操作成功！"});
    QCOMPARE(cell(form.get(), 0, 9), today);
    QCOMPARE(cell(form.get(), 1, 9), QString()); // nothing received yet
    view(form.get())->setCurrentIndex(view(form.get())->model()->index(0, 3));
    click(form.get(), "pushButton_12");
    QCOMPARE(cell(form.get(), 0, 9), QStringLiteral("2001-01-01"));
}

void tst_receivable::auditedRowsBlockSaveAndMark()
{
    QVERIFY(m_fixture->db->exec(QStringLiteral("update receivable set info_id=1,invoice_id=1")));
    auto form = open<receivable>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    click(form.get(), "pushButton_5");
    QCOMPARE(m_fixture->db->scalar(QStringLiteral("select checker from receivable")), QStringLiteral("clerk"));
    click(form.get(), "pushButton_3");
    click(form.get(), "pushButton_9");
    view(form.get())->setCurrentIndex(view(form.get())->model()->index(0, 3));
    click(form.get(), "pushButton_12");
    click(form.get(), "pushButton_6");
    QCOMPARE(m_fixture->messages.texts(),
             (QStringList{"错误提示/第1行已审核，不能修改", "错误提示/第1行已审核，不能修改",
                          "权限提示/已经审核，不能修改！", "权限提示/已经审核，不能删除！"}));
    click(form.get(), "pushButton_8");
    QCOMPARE(m_fixture->db->scalar(QStringLiteral("select checker from receivable")), QString());
    QCOMPARE(m_fixture->db->scalar(QStringLiteral("select count(*) from receivable")), QStringLiteral("1"));
}

// Two workstations show the same row; the second save must not undo the
// first one.
void tst_receivable::aRowChangedElsewhereIsNotOverwritten()
{
    QVERIFY(m_fixture->db->exec(QStringLiteral("update receivable set invoice_id=1")));
    auto mine = open<receivable>(QStringLiteral("货款"));
    auto theirs = open<receivable>(QStringLiteral("货款"));
    for (LedgerForm *form : {mine.get(), theirs.get()}) {
        query(form, QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    }
    view(theirs.get())->model()->setData(view(theirs.get())->model()->index(0, 4), 30);
    click(theirs.get(), "pushButton_3");
    view(mine.get())->model()->setData(view(mine.get())->model()->index(0, 4), 40);
    click(mine.get(), "pushButton_3");
    QCOMPARE(m_fixture->messages.count(), 2);
    QCOMPARE(m_fixture->messages.last().title, QStringLiteral("错误提示"));
    QVERIFY(m_fixture->messages.last().text.contains(QStringLiteral("第1行")));
    QCOMPARE(m_fixture->db->scalar(QStringLiteral("select discount from receivable")), QStringLiteral("30"));
}

void tst_receivable::discountBecomesACurrentAccountPayable()
{
    QVERIFY(m_fixture->db->exec(QStringLiteral("update receivable set discount=8,remarks='12-晨光文具'")));
    auto form = open<receivable>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    QAction *discount = form->actions().value(0);
    QCOMPARE(discount->text(), QStringLiteral("生成-其他应付（往来）"));
    discount->trigger();
    QCOMPARE(m_fixture->messages.texts(), QStringList{"操作提示/请选择一行"});
    view(form.get())->setCurrentIndex(view(form.get())->model()->index(0, 0));
    discount->trigger();
    m_fixture->messages.answerNext(QMessageBox::No);
    discount->trigger(); // the same payable again: asked, and declined
    QCOMPARE(m_fixture->messages.count(), 3);
    QCOMPARE(m_fixture->messages.shown().at(2).title, QStringLiteral("重复提示"));
    QCOMPARE(m_fixture->db->rows(QStringLiteral("select date_begin,date_end,company,money,remarks,inout_category,operator from payment")),
             (QList<QStringList>{{"2024-01-10", "2024-01-20", "12-晨光文具", "8", "21-东方超市", "公司往来", "clerk"}}));

    for (const QString &kind : {QStringLiteral("往来"), QStringLiteral("货款")}) {
        auto payables = open<payment>(kind);
        query(payables.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
        QCOMPARE(view(payables.get())->model()->rowCount(), kind == QStringLiteral("往来") ? 1 : 0);
    }
}

void tst_receivable::deleteAsksAndRemoves_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("left");
    QTest::newRow("No keeps the row") << int(QMessageBox::No) << "1";
    QTest::newRow("Yes removes it") << int(QMessageBox::Yes) << "0";
}

void tst_receivable::deleteAsksAndRemoves()
{
    QFETCH(int, answer);
    QFETCH(QString, left);
    auto form = open<receivable>(QStringLiteral("货款"));
    query(form.get(), QStringLiteral("2024-01-01"), QStringLiteral("2024-01-31"));
    view(form.get())->setCurrentIndex(view(form.get())->model()->index(0, 0));
    m_fixture->messages.answerNext(QMessageBox::StandardButton(answer));
    click(form.get(), "pushButton_6");
    QCOMPARE(m_fixture->messages.texts().value(0), QStringLiteral("删除当前行/确定删除此行？"));
    QCOMPARE(m_fixture->db->scalar(QStringLiteral("select count(*) from receivable")), left);
    QCOMPARE(view(form.get())->model()->rowCount(), left.toInt());
}

void tst_receivable::theDemoCompanyOpensOnTodaysAccounts_data()
{
    QTest::addColumn<bool>("payables");
    QTest::addColumn<QString>("kind");
    for (const bool payables : {false, true}) {
        for (const char *kind : {"货款", "投标", "履约", "往来"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(payables ? "payables" : "receivables", kind)))
                << payables << QString::fromUtf8(kind);
        }
    }
}

void tst_receivable::theDemoCompanyOpensOnTodaysAccounts()
{
    QFETCH(bool, payables);
    QFETCH(QString, kind);
    m_fixture.reset();
    TestDb demo(true);
    QVERIFY2(demo.isValid(), qPrintable(demo.error()));
    std::unique_ptr<LedgerForm> form;
    if (payables) {
        form = open<payment>(kind);
    } else {
        form = open<receivable>(kind);
    }
    QVERIFY(view(form.get())->model()->rowCount() >= 1);
}

QTEST_MAIN(tst_receivable)
#include "tst_receivable.moc"
