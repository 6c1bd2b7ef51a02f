#include "widgets/accountkind.h"

QString AccountKind;
QString CustomerParty;
QString SupplierParty;
