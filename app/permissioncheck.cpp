#include "app/permissioncheck.h"

#include "app/loginstate.h"

#include <QStringList>

bool PermissionCheck(const QString &right)
{
    const QStringList parts = LoginState::rights.split(QLatin1Char(','), Qt::KeepEmptyParts,
                                                       Qt::CaseSensitive);
    return parts.contains(right, Qt::CaseSensitive);
}
