#include "db/demoaccounts.h"

#include "db/demowriter.h"

namespace DemoData {

namespace {

class TodayWriter : public Writer
{
public:
    using Writer::Writer;

    int invoice(const QString &number, const QString &amount, const QString &company, const QString &kind)
    {
        return insert(QStringLiteral("invoice"), QStringLiteral("date,invoice_no,money,company,jin_xiao,input,checker"),
                      {day(0), number, amount, company, kind, m_clerk, QString()});
    }

    int cash(int daysAgo, const QString &company, const QString &summary, const QString &income,
             const QString &pay, const QString &category)
    {
        return insert(QStringLiteral("info"), QStringLiteral("date,company,summary,income,pay,category"),
                      {day(daysAgo), company, summary, income, pay, category});
    }

    void receivable(int daysAgo, const QString &company, const QString &amount, int invoiceId, int infoId,
                    const QString &remarks, const QString &kind, bool audited)
    {
        insert(QStringLiteral("receivable"),
               QStringLiteral("date_begin,date_end,company,money,discount,invoice_id,info_id,interest,remarks,date_commision,inout_category,operator,checker"),
               {day(daysAgo), day(daysAgo), company, amount, QStringLiteral("0"), QString::number(invoiceId),
                QString::number(infoId), QStringLiteral("0"), remarks, QStringLiteral("2001-01-01"), kind,
                m_clerk, audited ? m_auditor : QString()});
    }

    void payable(int daysAgo, const QString &company, const QString &amount, int invoiceId, int infoId,
                 const QString &interest, const QString &remarks, const QString &kind, bool audited)
    {
        insert(QStringLiteral("payment"),
               QStringLiteral("date_begin,date_end,company,money,invoice_id,info_id,interest,remarks,inout_category,operator,checker"),
               {day(daysAgo), day(daysAgo), company, amount, QString::number(invoiceId), QString::number(infoId),
                interest, remarks, kind, m_clerk, audited ? m_auditor : QString()});
    }

private:
    const QString m_clerk = QStringLiteral("test001");
    const QString m_auditor = QStringLiteral("manager");
};

} // namespace

bool fillTodaysAccounts(QSqlDatabase db, QString *error)
{
    TodayWriter w(db, error);
    const QString trade = QStringLiteral("货款");
    const QString tender = QStringLiteral("投标保证金");
    const QString bond = QStringLiteral("履约保证金");
    const QString current = QStringLiteral("公司往来");

    // Receivables of the day: a cash sale invoiced at once, deposits paid
    // for a customer, and an advance.
    const QString huimin = QStringLiteral("4-惠民便利店");
    w.receivable(0, huimin, QStringLiteral("1280.00"),
                 w.invoice(QStringLiteral("03521101"), QStringLiteral("1280.00"), huimin, QStringLiteral("销项")),
                 0, QStringLiteral("当日结算"), trade, false);
    const QString hualian = QStringLiteral("1-华联超市");
    // The deposit went out today; the receivable is bound once it comes back.
    w.cash(0, hualian, QStringLiteral("支付华联超市供货项目投标保证金"), QStringLiteral("0"),
           QStringLiteral("20000.00"), QStringLiteral("保证金"));
    w.receivable(0, hualian, QStringLiteral("20000.00"), 0, 0, QStringLiteral("待开标"), tender, false);
    w.receivable(0, QStringLiteral("2-鸿福大酒店"), QStringLiteral("30000.00"), 0, 0,
                 QStringLiteral("年度供货合同"), bond, true);
    w.receivable(0, QStringLiteral("5-四季火锅城"), QStringLiteral("2000.00"), 0, 0,
                 QStringLiteral("代垫冷链运费"), current, false);

    // Payables of the day, and a tender deposit of a supplier repaid 50 days
    // after it was due: 5000.00 x 0.0002 x 50 = 50.00 interest.
    const QString dingwei = QStringLiteral("3-鼎味调味品批发部");
    w.payable(0, dingwei, QStringLiteral("860.00"),
              w.invoice(QStringLiteral("13068301"), QStringLiteral("860.00"), dingwei, QStringLiteral("进项")),
              0, QStringLiteral("0"), QStringLiteral("当日进货"), trade, false);
    const QString kangyuan = QStringLiteral("1-康源饮品有限公司");
    w.payable(70, kangyuan, QStringLiteral("5000.00"), 0,
              w.cash(20, kangyuan, QStringLiteral("退康源饮品投标保证金"), QStringLiteral("0"),
                     QStringLiteral("5000.00"), QStringLiteral("保证金")),
              QStringLiteral("50.00"), QStringLiteral("逾期退还"), tender, true);
    const QString lexiang = QStringLiteral("4-乐享食品有限公司");
    w.cash(0, lexiang, QStringLiteral("收乐享食品投标保证金"), QStringLiteral("10000.00"), QStringLiteral("0"),
           QStringLiteral("保证金"));
    w.payable(0, lexiang, QStringLiteral("10000.00"), 0, 0, QStringLiteral("0"), QStringLiteral("投标保证金"),
              tender, false);
    w.payable(0, QStringLiteral("5-洁家日化商行"), QStringLiteral("8000.00"), 0, 0, QStringLiteral("0"),
              QStringLiteral("合同履约保证金"), bond, false);
    w.payable(0, QStringLiteral("6-鲜源乳业有限公司"), QStringLiteral("500.00"), 0, 0, QStringLiteral("0"),
              QStringLiteral("5-四季火锅城"), current, false);
    return !w.failed();
}

} // namespace DemoData
