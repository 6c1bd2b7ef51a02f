#include "finance/moneyvalidator.h"

#include <QRegExpValidator>

QValidator *newMoneyValidator(QObject *parent)
{
    return new QRegExpValidator(
        QRegExp(QStringLiteral("^(-?[0]|-?[1-9][0-9]{0,8})(?:\\.\\d{1,4})?$|(^\\t?$)"), Qt::CaseSensitive), parent);
}
