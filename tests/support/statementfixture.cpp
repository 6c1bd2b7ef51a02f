#include "support/statementfixture.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>

#include <cmath>

namespace {

// The rows, in SQL Server's dialect, amounts quoted as the forms write them.
const char *const fixtureRows[] = {
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (101,'打印纸','箱','12.50','5.00','办公')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (102,'签字笔','盒','8.00','3.20','办公')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (103,'矿泉水','箱','30.00','18.00','食品')",
    "insert into food_info (food_id,food_name,unit,customer_price,purchar_price,category) values (104,'咖啡豆','袋','95.00','60.00',NULL)",

    "insert into supplier (supplier_id,supplier_name,short_name,category) values (11,'华联纸业','华联','办公用品')",
    "insert into supplier (supplier_id,supplier_name,short_name,category) values (12,'晨光文具','晨光','办公用品')",
    "insert into supplier (supplier_id,supplier_name,short_name,category) values (13,'农夫山泉','农夫','食品')",

    "insert into customer (customer_id,customer_name,short_name,area) values (21,'东方超市','东方','A')",
    "insert into customer (customer_id,customer_name,short_name,area) values (22,'西城商店',NULL,'C')",
    "insert into customer (customer_id,customer_name,short_name,area) values (23,'南山配送站','南山','E')",
    "insert into customer (customer_id,customer_name,short_name,area) values (24,'北湖酒店','北湖','A')",

    // Purchase order lines, ids 1 to 10.
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-1','2024-03-05',11,101,'10.00','5.00','首批','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-1','2024-03-05',11,102,'20.00','3.00','','manager')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-12-1','2024-03-05',12,101,'30.00','7.00','加急','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-2','2024-03-05',11,103,'2.00','18.00','','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240310-12-1','2024-03-10',12,102,'3.00','2.50','','manager')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240310-12-1','2024-03-10',12,101,'4.00','1.25','','manager')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240301-13-1','2024-03-01',13,103,'10.00','17.50','','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240312-99-1','2024-03-12',99,102,'1.50','3.35','','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240305-11-5','2024-03-05',11,999,'2.00','1.00','样品','clerk')",
    "insert into purchar (purchar_no,date,supplier_id,food_id,quantity,price,remarks,input) values ('cgd20240225-11-1','2024-02-25',11,101,'20.00','5.00','','clerk')",

    // Delivery note lines, ids 1 to 6.
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240305-21-1','2024-03-05',21,101,'10.00','9.00','','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240305-21-1','2024-03-05',21,103,'1.00','30.00','赠品','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240306-22-1','2024-03-06',22,102,'5.00','8.00','','manager')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240320-24-1','2024-03-20',24,101,'4.00','12.50','','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240228-21-1','2024-02-28',21,101,'3.00','9.00','','clerk')",
    "insert into sell (sell_no,date,customer_id,food_id,quantity,price,remarks,input) values ('shd20240310-98-1','2024-03-10',98,102,'2.00','8.00','','clerk')",

    // Stock gains and losses, ids 1 to 4.
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-05',101,'-2','破损','clerk')",
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-08',102,'5','盘盈','clerk')",
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-02-20',103,'-1','','manager')",
    "insert into inventory (date,food_id,quantity,remarks,input) values ('2024-03-10',101,'1','','manager')",
};

// Figures match to the tenth of a cent, for the forms format them
// themselves: 6.5, 6.50 and 6.500000 are one price, 5.02 and 5.03 are not.
// Texts that merely look like numbers, such as "001", compare as text.
bool cellMatches(const QString &actual, const QString &expected)
{
    static const QRegularExpression plain(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?$"));
    if (actual == expected) {
        return true;
    }
    bool ok = false;
    const double value = actual.trimmed().toDouble(&ok);
    return ok && plain.match(expected).hasMatch() && std::fabs(value - expected.toDouble()) < 0.0005;
}

bool rowMatches(const QStringList &actual, const QString &expected)
{
    const QStringList cells = expected.split(QLatin1Char('|'));
    if (actual.size() != cells.size()) {
        return false;
    }
    for (int i = 0; i < cells.size(); ++i) {
        if (!cellMatches(actual.at(i), cells.at(i))) {
            return false;
        }
    }
    return true;
}

} // namespace

TestDb *FixtureDb::forReading(QString *error)
{
    if (m_db && !m_written) {
        return m_db.get();
    }
    m_written = false;
    return reload(error);
}

TestDb *FixtureDb::forWriting(QString *error)
{
    m_written = true;
    return reload(error);
}

TestDb *FixtureDb::reload(QString *error)
{
    m_db.reset();
    m_db.reset(new TestDb);
    if (!m_db->isValid()) {
        *error = m_db->error();
        m_db.reset();
        return nullptr;
    }
    for (const char *row : fixtureRows) {
        if (!m_db->exec(QString::fromUtf8(row))) {
            *error = QStringLiteral("%1\n  -> %2").arg(QString::fromUtf8(row), m_db->lastError());
            m_db.reset();
            return nullptr;
        }
    }
    return m_db.get();
}

QString FixtureDb::check(const QString &sql, const QStringList &expected, bool ordered)
{
    QList<QStringList> actual;
    QSqlQuery query(QSqlDatabase::database());
    const bool ran = query.exec(sql);
    while (ran && query.next()) {
        QStringList row;
        for (int c = 0; c < query.record().count(); ++c) {
            row << (query.isNull(c) ? QStringLiteral("<NULL>") : query.value(c).toString());
        }
        actual << row;
    }
    // Each expected row takes the first actual row it matches that no
    // earlier one has taken; in order, that must be the row in its place.
    bool same = ran && actual.size() == expected.size();
    QVector<bool> taken(actual.size(), false);
    for (int e = 0; same && e < expected.size(); ++e) {
        int found = -1;
        for (int a = ordered ? e : 0; found < 0 && a < (ordered ? e + 1 : actual.size()); ++a) {
            if (!taken.at(a) && rowMatches(actual.at(a), expected.at(e))) {
                found = a;
            }
        }
        same = found >= 0;
        if (same) {
            taken[found] = true;
        }
    }
    if (same) {
        return QString();
    }
    QString text = QStringLiteral("statement: %1\n").arg(sql);
    if (!ran) {
        text += QStringLiteral("  error: %1\n").arg(query.lastError().text());
    }
    text += QStringLiteral("  expected%1:\n    %2\n  actual:\n").arg(ordered ? QStringLiteral(" in this order") : QString(), expected.join(QStringLiteral("\n    ")));
    for (const QStringList &row : actual) {
        text += QStringLiteral("    ") + row.join(QLatin1Char('|')) + QLatin1Char('\n');
    }
    return text;
}
