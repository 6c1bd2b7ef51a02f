#include "widgets/printerchoice.h"

#include <QPrinterInfo>

namespace {

PrinterChoice::Handler &handlerSlot()
{
    static PrinterChoice::Handler handler;
    return handler;
}

} // namespace

QStringList PrinterChoice::availablePrinterNames()
{
    if (handlerSlot()) {
        return handlerSlot()().names;
    }
    return QPrinterInfo::availablePrinterNames();
}

QString PrinterChoice::defaultPrinterName()
{
    if (handlerSlot()) {
        return handlerSlot()().defaultName;
    }
    return QPrinterInfo::defaultPrinterName();
}

void PrinterChoice::setHandler(const Handler &handler)
{
    handlerSlot() = handler;
}
