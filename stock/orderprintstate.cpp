#include "stock/orderprintstate.h"

QString OrderPrintState::orderNumber;
QString OrderPrintState::orderDate;
QString &OrderPrintState::partyText = CustomerParty;
QString OrderPrintState::printerName;
int OrderPrintState::pageHeight = 139;
int OrderPrintState::rowsPerPage = 11;
int OrderPrintState::frameHeight = 320;

void OrderPrintState::setFormat(const QString &format)
{
    if (format == QStringLiteral("全联")) {
        frameHeight = 820;
        rowsPerPage = 30;
        pageHeight = 279;
        return;
    }
    frameHeight = 320;
    rowsPerPage = 11;
    pageHeight = 139;
}
