#pragma once

#include "widgets/accountkind.h"

#include <QString>

// What the order forms hand to the printed order forms, set just before a
// print object is created. One instance for the whole process.
struct OrderPrintState
{
    static QString orderNumber;
    static QString orderDate;     // "yyyy-MM-dd"
    // The supplier or customer as code, "-", name. It is CustomerParty itself:
    // preparing a print also changes the party the customer-side pick lists
    // offer, until the receivable form sets it again.
    static QString &partyText;
    static QString printerName;
    static int pageHeight;        // paper height in millimetres
    static int rowsPerPage;       // the column-title row plus the lines of one page
    static int frameHeight;       // height of the table frame in device units

    // The page layout of a print format, "半联" (half sheet) or "全联" (full
    // sheet); anything else is taken as the half sheet.
    static void setFormat(const QString &format);
};
