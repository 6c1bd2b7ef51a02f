#include "widgets/stockonhand.h"

#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/decimaltext.h"

#include <QStringList>

namespace {

// A long delivery note names a few hundred goods; the lists stay well within
// what either engine takes in one statement.
const int CodesPerStatement = 500;

} // namespace

namespace StockOnHand {

QString statement(const QList<long long> &codes, const QString &day)
{
    QStringList list;
    for (long long code : codes) {
        list << QString::number(code);
    }
    // Each sum reads the (food_id, date, quantity) indexes of its table alone,
    // one range per listed code.
    return QStringLiteral(
               "select t1.food_id,isnull(t2.quantity,0)-isnull(t3.quantity,0)+isnull(t4.quantity,0) from food_info t1 left join (select food_id,sum(quantity) as quantity from purchar where food_id in (%2) and date<='%1' group by food_id) t2 on t1.food_id=t2.food_id left join (select food_id,sum(quantity) as quantity from sell where food_id in (%2) and date<='%1' group by food_id) t3 on t1.food_id=t3.food_id left join (select food_id,sum(quantity) as quantity from inventory where food_id in (%2) and date<='%1' group by food_id) t4 on t1.food_id=t4.food_id where t1.food_id in (%2)")
        .arg(SqlText::quoted(day), list.join(QLatin1Char(',')));
}

bool read(const QList<long long> &codes, QHash<long long, double> *stock, QString *error,
          const QDate &day)
{
    stock->clear();
    const QString dayText = SqlText::dayText(day);
    for (int first = 0; first < codes.size(); first += CodesPerStatement) {
        Gateway::Rows rows;
        if (!Gateway::read(statement(codes.mid(first, CodesPerStatement), dayText), &rows, error)) {
            stock->clear();
            return false;
        }
        for (const QVector<QVariant> &row : qAsConst(rows)) {
            stock->insert(row.value(0).toLongLong(), row.value(1).toDouble());
        }
    }
    return true;
}

QString text(double stock, const QString &unit, bool shortage)
{
    const QString shown = QStringLiteral("库存：%1%2").arg(DecimalText::twoDecimals(stock), unit);
    return shortage ? shown + QStringLiteral("（不足）") : shown;
}

QString unreadableText()
{
    return QStringLiteral("库存：无法读取");
}

} // namespace StockOnHand
