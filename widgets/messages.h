#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here, so that tests can
// answer them without a modal loop.
class Messages
{
public:
    using Handler = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons)>;

    static QMessageBox::StandardButton warning(QWidget *parent, const QString &title,
                                               const QString &text);
    static QMessageBox::StandardButton information(QWidget *parent, const QString &title,
                                                   const QString &text);
    static QMessageBox::StandardButton question(
        QWidget *parent, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);

    // Tells about a failed database write: "错误提示" with the database's text.
    static void databaseError(QWidget *parent, const QString &databaseText);

    // An empty handler restores the real boxes.
    static void setHandler(const Handler &handler);

private:
    static QMessageBox::StandardButton show(QMessageBox::Icon icon, QWidget *parent,
                                            const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons);
};
