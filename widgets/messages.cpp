#include "widgets/messages.h"

#include <QAbstractButton>
#include <QPair>

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
    // The question before edits are dropped names its answers plainly,
    // whatever the installed catalogue calls them.
    const QList<QPair<QMessageBox::StandardButton, QString>> names = {
        {QMessageBox::Save, QStringLiteral("保存")},
        {QMessageBox::Discard, QStringLiteral("不保存")},
        {QMessageBox::Cancel, QStringLiteral("取消")},
    };
    for (const auto &name : names) {
        if (QAbstractButton *button = box.button(name.first)) {
            button->setText(name.second);
        }
    }
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
