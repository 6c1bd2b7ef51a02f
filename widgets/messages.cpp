#include "widgets/messages.h"

namespace {

Messages::Handler &handlerSlot()
{
    static Messages::Handler handler;
    return handler;
}

} // namespace

QMessageBox::StandardButton Messages::show(QMessageBox::Icon icon, QWidget *parent,
                                           const QString &title, const QString &text,
                                           QMessageBox::StandardButtons buttons)
{
    if (handlerSlot()) {
        return handlerSlot()(icon, parent, title, text, buttons);
    }
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton Messages::warning(QWidget *parent, const QString &title,
                                              const QString &text)
{
    return show(QMessageBox::Warning, parent, title, text, QMessageBox::Ok);
}

QMessageBox::StandardButton Messages::information(QWidget *parent, const QString &title,
                                                  const QString &text)
{
    return show(QMessageBox::Information, parent, title, text, QMessageBox::Ok);
}

QMessageBox::StandardButton Messages::question(QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons)
{
    return show(QMessageBox::Question, parent, title, text, buttons);
}

void Messages::databaseError(QWidget *parent, const QString &databaseText)
{
    warning(parent, QStringLiteral("错误提示"), databaseText);
}

void Messages::setHandler(const Handler &handler)
{
    handlerSlot() = handler;
}
