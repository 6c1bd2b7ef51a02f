#include "db/demotracking.h"

#include "db/demowriter.h"

namespace DemoData {

bool fillOverdueAccounts(QSqlDatabase db, QString *error)
{
    Writer out(db, error);
    const QString clerk = QStringLiteral("test001");
    const QString auditor = QStringLiteral("manager");

    // A supermarket on a 30-day cycle that paid its spring goods 45 days ago
    // and nothing since: the next period, invoiced, is open for 61 days.
    const QString market = QStringLiteral("9-万家福超市");
    out.insert(QStringLiteral("customer"),
               QStringLiteral("customer_id,customer_name,short_name,area,category,salesman,salesman1,salesman2,"
                              "commision1,commision2,invoice,cycle,accoutant,cooperate"),
               {QStringLiteral("9"), QStringLiteral("万家福超市"), QStringLiteral("万家福"), QStringLiteral("E"),
                QStringLiteral("超市"), QStringLiteral("李娜"), QStringLiteral("李娜"), QStringLiteral("张伟"),
                QStringLiteral("2.000"), QStringLiteral("0.500"), QStringLiteral("1"), QStringLiteral("30"),
                QStringLiteral("赵敏"), QStringLiteral("1")});
    const int receipt = out.insert(QStringLiteral("info"), QStringLiteral("date,company,summary,income,pay,category"),
                                   {out.day(45), market, QStringLiteral("收万家福货款"), QStringLiteral("6400.00"),
                                    QStringLiteral("0"), QStringLiteral("销售回款")});
    const QString receivableColumns = QStringLiteral(
        "date_begin,date_end,company,money,discount,invoice_id,info_id,interest,remarks,date_commision,"
        "inout_category,operator,checker");
    out.insert(QStringLiteral("receivable"), receivableColumns,
               {out.day(120), out.day(91), market, QStringLiteral("6400.00"), QStringLiteral("0"), QStringLiteral("0"),
                QString::number(receipt), QStringLiteral("0"), QString(), out.day(40), QStringLiteral("货款"), clerk,
                auditor});
    const int invoice = out.insert(QStringLiteral("invoice"), QStringLiteral("date,invoice_no,money,company,jin_xiao,input,checker"),
                                   {out.day(60), QStringLiteral("03529001"), QStringLiteral("8600.00"), market,
                                    QStringLiteral("销项"), clerk, auditor});
    out.insert(QStringLiteral("receivable"), receivableColumns,
               {out.day(90), out.day(61), market, QStringLiteral("8600.00"), QStringLiteral("0"),
                QString::number(invoice), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("催收中"),
                QStringLiteral("2001-01-01"), QStringLiteral("货款"), clerk, QString()});

    // A packaging supplier paid 50 days ago for its older delivery, the next
    // one left unpaid beyond its 30 days.
    const QString packaging = QStringLiteral("7-恒通包装材料厂");
    out.insert(QStringLiteral("supplier"),
               QStringLiteral("supplier_id,supplier_name,short_name,category,cycle,accoutant,cooperate"),
               {QStringLiteral("7"), QStringLiteral("恒通包装材料厂"), QStringLiteral("恒通包装"), QStringLiteral("日化"),
                QStringLiteral("30"), QStringLiteral("王芳"), QStringLiteral("1")});
    const int payment = out.insert(QStringLiteral("info"), QStringLiteral("date,company,summary,income,pay,category"),
                                   {out.day(50), packaging, QStringLiteral("付恒通包装货款"), QStringLiteral("0"),
                                    QStringLiteral("3300.00"), QStringLiteral("采购付款")});
    const int inputInvoice = out.insert(QStringLiteral("invoice"), QStringLiteral("date,invoice_no,money,company,jin_xiao,input,checker"),
                                        {out.day(90), QStringLiteral("13069001"), QStringLiteral("3300.00"), packaging,
                                         QStringLiteral("进项"), clerk, auditor});
    const QString payableColumns = QStringLiteral(
        "date_begin,date_end,company,money,invoice_id,info_id,interest,remarks,inout_category,operator,checker");
    out.insert(QStringLiteral("payment"), payableColumns,
               {out.day(120), out.day(91), packaging, QStringLiteral("3300.00"), QString::number(inputInvoice),
                QString::number(payment), QStringLiteral("0"), QString(), QStringLiteral("货款"), clerk, auditor});
    out.insert(QStringLiteral("payment"), payableColumns,
               {out.day(90), out.day(61), packaging, QStringLiteral("5200.00"), QStringLiteral("0"), QStringLiteral("0"),
                QStringLiteral("0"), QString(), QStringLiteral("货款"), clerk, QString()});
    return !out.failed();
}

} // namespace DemoData
