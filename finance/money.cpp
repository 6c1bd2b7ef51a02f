#include "finance/money.h"

#include "widgets/decimaltext.h"

#include <QRegExpValidator>

QValidator *newMoneyValidator(QObject *parent)
{
    return new QRegExpValidator(
        QRegExp(QStringLiteral("^(-?[0]|-?[1-9][0-9]{0,8})(?:\\.\\d{1,4})?$|(^\\t?$)"), Qt::CaseSensitive), parent);
}

MoneyDelegate::MoneyDelegate(QObject *parent)
    : QItemDelegate(parent)
{
}

void MoneyDelegate::drawDisplay(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                                const QString &text) const
{
    bool number = false;
    const double value = text.toDouble(&number);
    // A text that is no number is shown as typed, so that the row check can
    // point at it.
    QItemDelegate::drawDisplay(painter, option, rect, number ? DecimalText::twoDecimals(value) : text);
}
