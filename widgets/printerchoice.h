#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Which printers the machine offers, behind one seam so tests can pretend a
// machine with or without printers.
class PrinterChoice
{
public:
    struct Printers
    {
        QStringList names;
        QString defaultName;
    };
    using Handler = std::function<Printers()>;

    static QStringList availablePrinterNames();
    static QString defaultPrinterName();

    // An empty handler restores the system's list.
    static void setHandler(const Handler &handler);
};
