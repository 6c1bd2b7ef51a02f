#include "widgets/printerchoice.h"

#include "widgets/messages.h"

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

void PrinterChoice::warnNoPrinter(QWidget *parent)
{
    Messages::warning(parent, QStringLiteral("操作提示"),
                      QStringLiteral("本机没有安装打印机，请在“预览”中打印为PDF文件！"));
}

QString PrinterChoice::defaultPrinterOrWarn(QWidget *parent)
{
    const QString name = defaultPrinterName();
    if (name.isEmpty()) {
        warnNoPrinter(parent);
    }
    return name;
}
