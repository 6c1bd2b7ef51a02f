#include "db/demodata.h"

#include "db/demoaccounts.h"
#include "db/demotracking.h"

#include "db/sqltext.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace {

// Names never contain "-", "," or "'": the program joins codes and names
// with "-" and lists with ",", exactly as the master forms require of what a
// user types.

struct Goods
{
    int code;
    const char *name;
    const char *unit;
    double salePrice;
    double costPrice;
    const char *category;
};

const Goods kGoods[] = {
    {1001, "矿泉水550ml", "箱", 29.50, 23.60, "饮料"},
    {1002, "纯牛奶250ml", "箱", 65.00, 52.00, "乳品"},
    {1003, "橙汁1L", "箱", 78.00, 62.00, "饮料"},
    {1004, "绿茶500ml", "箱", 41.50, 33.80, "饮料"},
    {1005, "可乐330ml", "箱", 56.00, 45.00, "饮料"},
    {1006, "酸奶200g", "箱", 72.00, 58.00, "乳品"},
    {2001, "东北大米25kg", "袋", 135.00, 112.00, "粮油"},
    {2002, "五常香米10kg", "袋", 128.00, 105.00, "粮油"},
    {2003, "高筋面粉25kg", "袋", 82.50, 67.50, "粮油"},
    {2004, "花生油5L", "桶", 158.00, 132.00, "粮油"},
    {2005, "菜籽油5L", "桶", 118.00, 96.00, "粮油"},
    {3001, "生抽酱油500ml", "箱", 96.00, 78.00, "调味品"},
    {3002, "陈醋500ml", "箱", 84.00, 66.00, "调味品"},
    {3003, "精制食盐400g", "箱", 44.80, 35.60, "调味品"},
    {3004, "白砂糖1kg", "袋", 9.50, 7.80, "调味品"},
    {4001, "苏打饼干", "箱", 88.00, 70.00, "休闲食品"},
    {4002, "原味薯片", "箱", 95.50, 75.80, "休闲食品"},
    {4003, "坚果礼盒", "盒", 128.00, 98.00, "休闲食品"},
    {5001, "洗洁精1.5kg", "箱", 55.00, 42.00, "日化"},
    {5002, "三层抽纸", "提", 19.80, 15.50, "日化"},
};

const char *const kEmployees[][2] = {
    {"001", "张伟"}, {"002", "李娜"}, {"003", "刘洋"},
    {"004", "王芳"}, {"005", "赵敏"}, {"006", "陈静"},
};

// The receivable tracking report offers the areas A, C and E.
struct Customer
{
    int code;
    const char *name;
    const char *shortName;
    const char *area;
    const char *category;
    const char *salesman;
    const char *salesman1;
    double rate1;
    const char *salesman2;
    double rate2;
    int invoice;
    int cycle;
    const char *accountant;
    int cooperate;
};

const Customer kCustomers[] = {
    {1, "华联超市", "华联", "A", "超市", "张伟", "张伟", 2.0, "李娜", 0.5, 1, 30, "王芳", 1},
    {2, "鸿福大酒店", "鸿福酒店", "A", "餐饮", "李娜", "李娜", 2.5, "张伟", 0.5, 1, 45, "王芳", 1},
    {3, "市第一中学食堂", "一中食堂", "C", "单位食堂", "张伟", "张伟", 1.5, "刘洋", 0.3, 0, 60, "赵敏", 1},
    {4, "惠民便利店", "惠民", "C", "超市", "刘洋", "刘洋", 2.0, "李娜", 0.5, 0, 30, "赵敏", 1},
    {5, "四季火锅城", "四季火锅", "E", "餐饮", "刘洋", "刘洋", 2.5, "张伟", 0.5, 1, 30, "王芳", 1},
    {6, "城东配送站", "城东配送", "E", "配送客户", "张伟", "张伟", 1.0, "", 0.0, 0, 15, "赵敏", 1},
    {7, "阳光幼儿园", "阳光幼儿园", "A", "单位食堂", "李娜", "李娜", 1.5, "刘洋", 0.3, 1, 60, "赵敏", 1},
    {8, "好又多生鲜店", "好又多", "C", "超市", "刘洋", "刘洋", 2.0, "", 0.0, 0, 30, "王芳", 0},
};

struct Supplier
{
    int code;
    const char *name;
    const char *shortName;
    const char *category;
    int cycle;
    const char *accountant;
    int cooperate;
};

const Supplier kSuppliers[] = {
    {1, "康源饮品有限公司", "康源饮品", "饮料", 30, "王芳", 1},
    {2, "丰泽粮油经销部", "丰泽粮油", "粮油", 45, "赵敏", 1},
    {3, "鼎味调味品批发部", "鼎味调味", "调味品", 30, "王芳", 1},
    {4, "乐享食品有限公司", "乐享食品", "休闲食品", 60, "赵敏", 1},
    {5, "洁家日化商行", "洁家日化", "日化", 30, "王芳", 0},
    {6, "鲜源乳业有限公司", "鲜源乳业", "乳品", 30, "赵敏", 1},
};

const char *const kCustomerCategories[] = {"超市", "餐饮", "单位食堂", "配送客户"};
const char *const kSupplierCategories[] = {"饮料", "乳品", "粮油", "调味品", "休闲食品", "日化"};
const char *const kCashCategories[] = {"销售回款", "采购付款", "保证金", "往来款", "费用报销"};

// A price of 0 stands for the goods' list price (purchase or sales price).
struct Line
{
    int goods;
    double quantity;
    double price;
    const char *remarks;
};

struct Document
{
    int daysAgo;
    int party;
    std::vector<Line> lines;
};

// Two orders from the dairy on one day at different prices give that day a
// weighted average cost price (and the second order sequence number 2).
const std::vector<Document> &purchases()
{
    static const std::vector<Document> documents = {
        {56, 2, {{2001, 40, 0, nullptr}, {2004, 30, 0, nullptr}, {2005, 20, 0, nullptr}}},
        {56, 1, {{1001, 100, 0, nullptr}, {1004, 60, 0, nullptr}, {1005, 50, 0, nullptr}}},
        {50, 6, {{1002, 80, 0, nullptr}, {1006, 40, 0, nullptr}}},
        {49, 3, {{3001, 30, 0, nullptr}, {3002, 30, 0, nullptr}, {3003, 20, 0, nullptr}, {3004, 200, 0, nullptr}}},
        {45, 4, {{4001, 30, 0, nullptr}, {4002, 30, 0, nullptr}, {4003, 20, 0, "中秋备货"}}},
        {42, 5, {{5001, 20, 0, nullptr}, {5002, 100, 0, nullptr}}},
        {38, 1, {{1001, 80, 0, nullptr}, {1003, 40, 0, nullptr}}},
        {35, 2, {{2002, 30, 0, nullptr}, {2003, 25, 0, nullptr}}},
        {30, 6, {{1002, 60, 0, nullptr}}},
        {30, 6, {{1002, 20, 54.50, "加急补货"}, {1006, 30, 0, nullptr}}},
        {28, 1, {{1004, 50, 33.20, "厂家返利价"}, {1005, 40, 0, nullptr}}},
        {21, 2, {{2001, 30, 113.00, nullptr}, {2004, 20, 130.00, nullptr}}},
        {20, 3, {{3001, 20, 0, nullptr}, {3004, 100, 7.90, nullptr}}},
        {14, 4, {{4002, 20, 0, nullptr}, {4001, 20, 71.00, nullptr}}},
        {12, 6, {{1002, 60, 53.00, nullptr}, {1006, 30, 0, nullptr}}},
        {7, 1, {{1001, 120, 23.90, nullptr}, {1003, 30, 0, nullptr}}},
        {5, 2, {{2001, 20, 0, nullptr}, {2005, 20, 95.00, nullptr}}},
        {1, 6, {{1002, 40, 52.50, nullptr}}},
    };
    return documents;
}

const std::vector<Document> &deliveries()
{
    static const std::vector<Document> documents = {
        {55, 1, {{1001, 30, 0, nullptr}, {1004, 20, 0, nullptr}, {1005, 15, 0, nullptr}, {2004, 5, 0, nullptr}}},
        {54, 2, {{2001, 8, 0, nullptr}, {2004, 6, 0, nullptr}, {3001, 5, 0, nullptr}, {3002, 4, 0, nullptr}}},
        {52, 3, {{2001, 10, 130.00, "食堂协议价"}, {2005, 6, 0, nullptr}, {3003, 4, 0, nullptr}, {3004, 40, 0, nullptr}}},
        {48, 4, {{1001, 20, 0, nullptr}, {1002, 15, 0, nullptr}, {4001, 8, 0, nullptr}, {4002, 8, 0, nullptr}}},
        {47, 5, {{2004, 8, 0, nullptr}, {3001, 6, 0, nullptr}, {3002, 6, 0, nullptr}, {1005, 10, 0, nullptr}}},
        {46, 6, {{1002, 25, 60.00, nullptr}, {1006, 12, 68.00, nullptr}, {5002, 30, 18.50, nullptr}}},
        {44, 7, {{1002, 20, 0, nullptr}, {1006, 10, 0, nullptr}, {2002, 5, 0, nullptr}}},
        {43, 1, {{1003, 10, 0, nullptr}, {4003, 6, 0, "中秋礼盒"}, {5001, 5, 0, nullptr}, {5002, 20, 0, nullptr}}},
        {40, 8, {{1001, 10, 0, nullptr}, {1004, 10, 0, nullptr}, {4002, 5, 0, nullptr}}},
        {37, 2, {{2002, 6, 0, nullptr}, {3003, 3, 0, nullptr}, {1001, 10, 0, nullptr}}},
        {35, 3, {{2003, 6, 0, nullptr}, {2001, 6, 130.00, "食堂协议价"}, {3001, 4, 0, nullptr}}},
        {33, 5, {{2005, 5, 0, nullptr}, {3004, 30, 0, nullptr}}},
        {29, 1, {{1001, 40, 28.00, "促销价"}, {1005, 20, 0, nullptr}, {1002, 20, 0, nullptr}}},
        {27, 4, {{1004, 15, 0, nullptr}, {4001, 10, 0, nullptr}, {5002, 20, 0, nullptr}}},
        {26, 2, {{2001, 8, 0, nullptr}, {2004, 5, 0, nullptr}, {1003, 8, 0, nullptr}}},
        {25, 6, {{1002, 30, 60.00, nullptr}, {1006, 15, 68.00, nullptr}}},
        {22, 7, {{1002, 20, 0, nullptr}, {1006, 15, 0, nullptr}, {2002, 4, 0, nullptr}}},
        {19, 3, {{2001, 10, 130.00, "食堂协议价"}, {2005, 6, 0, nullptr}, {3002, 4, 0, nullptr}}},
        {17, 5, {{2004, 6, 0, nullptr}, {3001, 5, 0, nullptr}, {1005, 10, 0, nullptr}}},
        {15, 1, {{4002, 10, 0, nullptr}, {4003, 5, 0, nullptr}, {5001, 6, 0, nullptr}}},
        {12, 6, {{1002, 25, 60.00, nullptr}, {5002, 20, 18.50, nullptr}}},
        {10, 2, {{3001, 4, 0, nullptr}, {3002, 4, 0, nullptr}, {3004, 20, 0, nullptr}}},
        {8, 4, {{1001, 15, 0, nullptr}, {1002, 10, 0, nullptr}}},
        {6, 7, {{1002, 15, 0, nullptr}, {1006, 10, 0, nullptr}}},
        {4, 3, {{2001, 8, 130.00, "食堂协议价"}, {2003, 4, 0, nullptr}}},
        {2, 1, {{1001, 25, 0, nullptr}, {1004, 15, 0, nullptr}}},
        {2, 1, {{1005, 10, 0, "补单"}}},
        {1, 5, {{2004, 5, 0, nullptr}, {1003, 6, 0, nullptr}}},
    };
    return documents;
}

struct Correction
{
    int daysAgo;
    int goods;
    double quantity;
    const char *remarks;
};

const Correction kCorrections[] = {
    {34, 1006, -2, "临期报损"},
    {20, 2001, 1, "月末盘点盘盈"},
    {16, 5002, -3, "运输破损"},
    {9, 3004, -5, "受潮报损"},
    {3, 1001, 2, "盘点盘盈"},
};

// How the first billing period of a partner was settled: invoice and cash
// dates in days before today (0: none yet), the share paid, the day the
// sales commission was paid out (0: not yet), whether the accountant has
// audited the row, and a discount passed on to a supplier.
struct Settlement
{
    int party;
    int invoiceDaysAgo;
    int paidDaysAgo;
    int paidPercent;
    int commissionDaysAgo;
    bool audited;
    double discount;
    int discountToSupplier;
};

const Settlement kCustomerSettlements[] = {
    {1, 29, 20, 100, 9, true, 0, 0},
    {2, 29, 12, 100, 0, false, 0, 0},
    {3, 0, 15, 60, 0, false, 0, 0},
    {4, 0, 18, 100, 9, true, 0, 0},
    {5, 28, 25, 100, 9, true, 150, 4},
    {6, 0, 22, 100, 9, true, 0, 0},
    {7, 28, 10, 100, 0, false, 0, 0},
    {8, 0, 0, 0, 0, false, 0, 0},
};

const Settlement kSupplierSettlements[] = {
    {1, 30, 20, 100, 0, true, 0, 0},
    {2, 30, 14, 100, 0, true, 0, 0},
    {3, 27, 16, 100, 0, false, 0, 0},
    {4, 27, 0, 0, 0, false, 0, 0},
    {5, 27, 10, 100, 0, true, 0, 0},
    {6, 30, 18, 100, 0, true, 0, 0},
};

// Billing periods, in days before today: the month before last and the
// last month.
const int kFirstPeriodBegin = 60;
const int kFirstPeriodEnd = 31;
const int kSecondPeriodBegin = 30;
const int kSecondPeriodEnd = 1;

QString utf8(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

QString text(const QString &value)
{
    return QStringLiteral("'%1'").arg(SqlText::quoted(value));
}

QString text(const char *value)
{
    return text(utf8(value));
}

// Amounts travel as quoted text with fixed decimals, as the forms write them.
QString decimal(double value, int decimals = 2)
{
    return text(QString::number(value, 'f', decimals));
}

QString cents(qint64 value)
{
    return decimal(value / 100.0);
}

QString number(long long value)
{
    return QString::number(value);
}

qint64 lineCents(double quantity, double price)
{
    return qRound64(quantity * price * 100.0);
}

class Writer
{
public:
    Writer(QSqlDatabase db, QString *error) : m_db(db), m_error(error) {}

    bool failed() const { return m_failed; }

    void insert(const QString &table, const QString &columns, const QStringList &values)
    {
        exec(QStringLiteral("insert into %1 (%2) values (%3)")
                 .arg(table, columns, values.join(QLatin1Char(','))));
    }

    // The key the database gave the row just inserted into table; ids are
    // assigned in ascending order on both engines.
    int lastId(const QString &table)
    {
        if (m_failed) {
            return 0;
        }
        QSqlQuery query(m_db);
        const QString sql = QStringLiteral("select max(id) from %1").arg(table);
        if (!query.exec(sql) || !query.next()) {
            fail(query, sql);
            return 0;
        }
        return query.value(0).toInt();
    }

private:
    void exec(const QString &sql)
    {
        if (m_failed) {
            return;
        }
        QSqlQuery query(m_db);
        if (!query.exec(sql)) {
            fail(query, sql);
        }
    }

    void fail(const QSqlQuery &query, const QString &sql)
    {
        m_failed = true;
        if (m_error) {
            *m_error = QStringLiteral("%1\n%2").arg(query.lastError().text(), sql);
        }
    }

    QSqlDatabase m_db;
    QString *m_error;
    bool m_failed = false;
};

class DemoWriter
{
public:
    DemoWriter(QSqlDatabase db, QString *error)
        : m_out(db, error), m_today(QDate::currentDate())
    {
    }

    bool write()
    {
        writeLists();
        writeMasterData();
        writeDocuments(QStringLiteral("purchar"), QStringLiteral("purchar_no,date,supplier_id"),
                       QStringLiteral("cgd"), purchases(), true, &m_purchaseCents);
        writeDocuments(QStringLiteral("sell"), QStringLiteral("sell_no,date,customer_id"),
                       QStringLiteral("shd"), deliveries(), false, &m_saleCents);
        writeCorrections();
        writeReceivables();
        writePayables();
        writeDeposits();
        writeLog();
        return !m_out.failed();
    }

private:
    // Amounts of a partner's documents per billing period: key party * 2 + period.
    using PeriodCents = QMap<int, qint64>;

    QString day(int daysAgo) const
    {
        return SqlText::dayText(m_today.addDays(-daysAgo));
    }

    static int periodOf(int daysAgo)
    {
        return daysAgo >= kFirstPeriodEnd ? 0 : 1;
    }

    static QString customerText(int code)
    {
        for (const Customer &c : kCustomers) {
            if (c.code == code) {
                return QStringLiteral("%1-%2").arg(code).arg(utf8(c.name));
            }
        }
        return QString();
    }

    static QString supplierText(int code)
    {
        for (const Supplier &s : kSuppliers) {
            if (s.code == code) {
                return QStringLiteral("%1-%2").arg(code).arg(utf8(s.name));
            }
        }
        return QString();
    }

    static const Goods &goods(int code)
    {
        for (const Goods &g : kGoods) {
            if (g.code == code) {
                return g;
            }
        }
        return kGoods[0];
    }

    void writeLists()
    {
        for (const char *name : kCashCategories) {
            m_out.insert(QStringLiteral("category"), QStringLiteral("name"), {text(name)});
        }
        for (const char *name : kSupplierCategories) {
            m_out.insert(QStringLiteral("category_supplier"), QStringLiteral("name"), {text(name)});
        }
        for (const char *name : kCustomerCategories) {
            m_out.insert(QStringLiteral("category_customer"), QStringLiteral("name"), {text(name)});
        }
        for (const auto &employee : kEmployees) {
            m_out.insert(QStringLiteral("employee"), QStringLiteral("employee_id,employee_name"),
                         {text(employee[0]), text(employee[1])});
        }
    }

    void writeMasterData()
    {
        for (const Goods &g : kGoods) {
            m_out.insert(QStringLiteral("food_info"),
                         QStringLiteral("food_id,food_name,unit,customer_price,purchar_price,category"),
                         {number(g.code), text(g.name), text(g.unit), decimal(g.salePrice),
                          decimal(g.costPrice), text(g.category)});
        }
        for (const Customer &c : kCustomers) {
            m_out.insert(QStringLiteral("customer"),
                         QStringLiteral("customer_id,customer_name,short_name,area,category,salesman,"
                                        "salesman1,salesman2,commision1,commision2,invoice,cycle,"
                                        "accoutant,cooperate"),
                         {number(c.code), text(c.name), text(c.shortName), text(c.area),
                          text(c.category), text(c.salesman), text(c.salesman1), text(c.salesman2),
                          decimal(c.rate1, 3), decimal(c.rate2, 3), number(c.invoice),
                          number(c.cycle), text(c.accountant), number(c.cooperate)});
        }
        for (const Supplier &s : kSuppliers) {
            m_out.insert(QStringLiteral("supplier"),
                         QStringLiteral("supplier_id,supplier_name,short_name,category,cycle,"
                                        "accoutant,cooperate"),
                         {number(s.code), text(s.name), text(s.shortName), text(s.category),
                          number(s.cycle), text(s.accountant), number(s.cooperate)});
        }
    }

    // Document numbers follow the forms: prefix, date, partner code and the
    // partner's sequence on that day.
    void writeDocuments(const QString &table, const QString &headColumns, const QString &prefix,
                        const std::vector<Document> &documents, bool atCost, PeriodCents *totals)
    {
        for (size_t i = 0; i < documents.size(); ++i) {
            const Document &doc = documents[i];
            int sequence = 1;
            for (size_t j = 0; j < i; ++j) {
                if (documents[j].daysAgo == doc.daysAgo && documents[j].party == doc.party) {
                    ++sequence;
                }
            }
            const QString date = day(doc.daysAgo);
            const QString documentNo = QStringLiteral("%1%2-%3-%4")
                                           .arg(prefix, m_today.addDays(-doc.daysAgo).toString(QStringLiteral("yyyyMMdd")))
                                           .arg(doc.party)
                                           .arg(sequence);
            for (const Line &line : doc.lines) {
                const Goods &g = goods(line.goods);
                const double price = line.price > 0 ? line.price : (atCost ? g.costPrice : g.salePrice);
                m_out.insert(table,
                             headColumns + QStringLiteral(",food_id,quantity,price,remarks,input"),
                             {text(documentNo), text(date), number(doc.party), number(line.goods),
                              decimal(line.quantity), decimal(price), text(line.remarks),
                              text(m_clerk)});
                (*totals)[doc.party * 2 + periodOf(doc.daysAgo)] += lineCents(line.quantity, price);
            }
        }
    }

    void writeCorrections()
    {
        for (const Correction &c : kCorrections) {
            m_out.insert(QStringLiteral("inventory"), QStringLiteral("date,food_id,quantity,remarks,input"),
                         {text(day(c.daysAgo)), number(c.goods), decimal(c.quantity), text(c.remarks),
                          text(m_clerk)});
        }
    }

    int addInvoice(int daysAgo, qint64 amount, const QString &company, const QString &kind,
                   bool audited)
    {
        const QString invoiceNo = kind == QStringLiteral("销项")
            ? QStringLiteral("%1").arg(3521001 + m_outputInvoices++, 8, 10, QLatin1Char('0'))
            : QStringLiteral("%1").arg(13068201 + m_inputInvoices++, 8, 10, QLatin1Char('0'));
        m_out.insert(QStringLiteral("invoice"),
                     QStringLiteral("date,invoice_no,money,company,jin_xiao,input,checker"),
                     {text(day(daysAgo)), text(invoiceNo), cents(amount), text(company), text(kind),
                      text(m_clerk), text(audited ? m_auditor : QString())});
        return m_out.lastId(QStringLiteral("invoice"));
    }

    int addCash(int daysAgo, const QString &company, const QString &summary, qint64 income,
                qint64 pay, const char *category)
    {
        m_out.insert(QStringLiteral("info"), QStringLiteral("date,company,summary,income,pay,category"),
                     {text(day(daysAgo)), text(company), text(summary), cents(income), cents(pay),
                      text(category)});
        return m_out.lastId(QStringLiteral("info"));
    }

    // Receivables and payables of goods: one row per partner and billing
    // period over the delivered or purchased amount. The first period is
    // mostly invoiced and paid, the second one mostly open.
    void writeReceivables()
    {
        for (const Settlement &s : kCustomerSettlements) {
            const QString company = customerText(s.party);
            const Customer *customer = nullptr;
            for (const Customer &c : kCustomers) {
                if (c.code == s.party) {
                    customer = &c;
                }
            }
            const qint64 first = m_saleCents.value(s.party * 2);
            if (first > 0) {
                const int invoiceId = s.invoiceDaysAgo > 0
                    ? addInvoice(s.invoiceDaysAgo, first, company, QStringLiteral("销项"), true)
                    : 0;
                const qint64 paid = s.paidPercent >= 100 ? first : first * s.paidPercent / 100 / 10000 * 10000;
                const int infoId = s.paidDaysAgo > 0
                    ? addCash(s.paidDaysAgo, company, QStringLiteral("收%1货款").arg(utf8(customer->shortName)),
                              paid, 0, "销售回款")
                    : 0;
                QString remarks;
                if (s.discountToSupplier > 0) {
                    remarks = supplierText(s.discountToSupplier);
                } else if (paid < first && infoId > 0) {
                    remarks = QStringLiteral("部分回款");
                }
                addReceivable(kFirstPeriodBegin, kFirstPeriodEnd, company, first, s.discount, invoiceId,
                              infoId, 0, remarks, s.commissionDaysAgo, QStringLiteral("货款"), s.audited);
                if (s.discountToSupplier > 0) {
                    // The discount is owed on to the supplier who granted it.
                    addPayable(kFirstPeriodBegin, kFirstPeriodEnd, supplierText(s.discountToSupplier),
                               qRound64(s.discount * 100), 0, 0, 0, company, QStringLiteral("公司往来"), false);
                }
            }
            const qint64 second = m_saleCents.value(s.party * 2 + 1);
            if (second > 0) {
                const int invoiceId = customer->invoice == 1
                    ? addInvoice(kSecondPeriodEnd, second, company, QStringLiteral("销项"), false)
                    : 0;
                addReceivable(kSecondPeriodBegin, kSecondPeriodEnd, company, second, 0, invoiceId, 0, 0,
                              QString(), 0, QStringLiteral("货款"), false);
            }
        }
    }

    void writePayables()
    {
        for (const Settlement &s : kSupplierSettlements) {
            const QString company = supplierText(s.party);
            QString shortName;
            for (const Supplier &supplier : kSuppliers) {
                if (supplier.code == s.party) {
                    shortName = utf8(supplier.shortName);
                }
            }
            const qint64 first = m_purchaseCents.value(s.party * 2);
            if (first > 0) {
                const int invoiceId = addInvoice(s.invoiceDaysAgo, first, company, QStringLiteral("进项"), true);
                const int infoId = s.paidDaysAgo > 0
                    ? addCash(s.paidDaysAgo, company, QStringLiteral("付%1货款").arg(shortName), 0, first,
                              "采购付款")
                    : 0;
                addPayable(kFirstPeriodBegin, kFirstPeriodEnd, company, first, invoiceId, infoId, 0,
                           QString(), QStringLiteral("货款"), s.audited);
            }
            const qint64 second = m_purchaseCents.value(s.party * 2 + 1);
            if (second > 0) {
                const int invoiceId = s.party <= 2
                    ? addInvoice(kSecondPeriodEnd, second, company, QStringLiteral("进项"), false)
                    : 0;
                addPayable(kSecondPeriodBegin, kSecondPeriodEnd, company, second, invoiceId, 0, 0,
                           QString(), QStringLiteral("货款"), false);
            }
        }
    }

    // Deposits and current accounts, the other kinds of receivable and
    // payable. The tender deposit came back 45 days after it was due and
    // earned late interest: 5000.00 x 0.0002 x 45.
    void writeDeposits()
    {
        const QString school = customerText(3);
        addCash(75, school, QStringLiteral("支付食堂配送项目投标保证金"), 0, 500000, "保证金");
        const int refund = addCash(30, school, QStringLiteral("退回投标保证金"), 500000, 0, "保证金");
        addReceivable(75, 75, school, 500000, 0, 0, refund, 4500, QStringLiteral("已中标"), 0,
                      QStringLiteral("投标保证金"), true);

        const QString kindergarten = customerText(7);
        addCash(50, kindergarten, QStringLiteral("支付供货合同履约保证金"), 0, 1000000, "保证金");
        addReceivable(50, 50, kindergarten, 1000000, 0, 0, 0, 0, QStringLiteral("合同期一年"), 0,
                      QStringLiteral("履约保证金"), false);

        const QString hotel = customerText(2);
        addCash(20, hotel, QStringLiteral("代鸿福酒店垫付运费"), 0, 300000, "往来款");
        addReceivable(20, 20, hotel, 300000, 0, 0, 0, 0, QStringLiteral("代垫运费"), 0,
                      QStringLiteral("公司往来"), false);

        const QString grain = supplierText(2);
        addCash(45, grain, QStringLiteral("收丰泽粮油履约保证金"), 2000000, 0, "保证金");
        addPayable(45, 45, grain, 2000000, 0, 0, 0, QStringLiteral("合同到期退还"),
                   QStringLiteral("履约保证金"), false);
    }

    void addReceivable(int beginDaysAgo, int endDaysAgo, const QString &company, qint64 amount,
                       double discount, int invoiceId, int infoId, qint64 interest,
                       const QString &remarks, int commissionDaysAgo, const QString &kind, bool audited)
    {
        m_out.insert(QStringLiteral("receivable"),
                     QStringLiteral("date_begin,date_end,company,money,discount,invoice_id,info_id,"
                                    "interest,remarks,date_commision,inout_category,operator,checker"),
                     {text(day(beginDaysAgo)), text(day(endDaysAgo)), text(company), cents(amount),
                      decimal(discount), number(invoiceId), number(infoId), cents(interest),
                      text(remarks),
                      text(commissionDaysAgo > 0 ? day(commissionDaysAgo) : QStringLiteral("2001-01-01")),
                      text(kind), text(m_clerk), text(audited ? m_auditor : QString())});
    }

    void addPayable(int beginDaysAgo, int endDaysAgo, const QString &company, qint64 amount,
                    int invoiceId, int infoId, qint64 interest, const QString &remarks,
                    const QString &kind, bool audited)
    {
        m_out.insert(QStringLiteral("payment"),
                     QStringLiteral("date_begin,date_end,company,money,invoice_id,info_id,interest,"
                                    "remarks,inout_category,operator,checker"),
                     {text(day(beginDaysAgo)), text(day(endDaysAgo)), text(company), cents(amount),
                      number(invoiceId), number(infoId), cents(interest), text(remarks), text(kind),
                      text(m_clerk), text(audited ? m_auditor : QString())});
    }

    // A few entries so that the log viewer has something to show for the
    // last days.
    void writeLog()
    {
        const struct
        {
            int daysAgo;
            int hour;
            int minute;
            const char *user;
            const char *unit;
        } entries[] = {
            {3, 8, 42, "test001", "采购单"},
            {2, 9, 15, "test001", "送货单"},
            {2, 16, 5, "manager", "毛利统计"},
            {1, 10, 30, "test001", "商品统计"},
        };
        for (const auto &entry : entries) {
            const QDateTime when(m_today.addDays(-entry.daysAgo), QTime(entry.hour, entry.minute, 0));
            m_out.insert(QStringLiteral("operator"), QStringLiteral("ip,date,user_name,operator"),
                         {text(QStringLiteral("192.168.1.20")),
                          text(SqlText::stampText(when)), text(entry.user),
                          text(entry.unit)});
        }
    }

    Writer m_out;
    const QDate m_today;
    const QString m_clerk = QStringLiteral("test001");
    const QString m_auditor = QStringLiteral("manager");
    PeriodCents m_purchaseCents;
    PeriodCents m_saleCents;
    int m_outputInvoices = 0;
    int m_inputInvoices = 0;
};

} // namespace

namespace DemoData {

bool fill(QSqlDatabase db, QString *error)
{
    DemoWriter writer(db, error);
    return writer.write() && fillTodaysAccounts(db, error) && fillOverdueAccounts(db, error);
}

} // namespace DemoData
