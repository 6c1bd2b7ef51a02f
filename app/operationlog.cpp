#include "app/operationlog.h"

#include "app/loginstate.h"
#include "db/engine.h"
#include "db/sqltext.h"

#include <QDateTime>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSqlDatabase>
#include <QSqlQuery>

QString workstationAddress()
{
    const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
    for (const QHostAddress &address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
            return address.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

void OperationLog(const QString &unit)
{
    static const QString address = workstationAddress();
    const QString now = Engine::timestampText(QSqlDatabase::database(), QDateTime::currentDateTime());
    QSqlQuery query;
    query.exec(QStringLiteral("insert into operator (ip,date,user_name,operator) values ('%1','%2','%3','%4')")
                   .arg(SqlText::quoted(address), SqlText::quoted(now), SqlText::quoted(LoginState::userName),
                        SqlText::quoted(unit)));
}
