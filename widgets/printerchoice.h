#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

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

    // Printing straight away needs a printer: tells the user to print to a
    // PDF file from the preview instead ("操作提示").
    static void warnNoPrinter(QWidget *parent);
    // The default printer, or empty after warnNoPrinter when there is none.
    static QString defaultPrinterOrWarn(QWidget *parent);

    // An empty handler restores the system's list.
    static void setHandler(const Handler &handler);
};
