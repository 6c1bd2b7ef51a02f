#include "widgets/filedialogs.h"

#include <QFileDialog>

namespace {

FileDialogs::Handler &handlerSlot()
{
    static FileDialogs::Handler handler;
    return handler;
}

} // namespace

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter)
{
    if (handlerSlot()) {
        return handlerSlot()(Kind::Save, parent, caption, dir, filter);
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter)
{
    if (handlerSlot()) {
        return handlerSlot()(Kind::Open, parent, caption, dir, filter);
    }
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

void FileDialogs::setHandler(const Handler &handler)
{
    handlerSlot() = handler;
}
