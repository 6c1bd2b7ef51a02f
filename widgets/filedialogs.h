#pragma once

#include <QString>

#include <functional>

class QWidget;

// The file dialogs of the program, behind one seam so tests can answer them.
class FileDialogs
{
public:
    enum class Kind { Save, Open };
    using Handler = std::function<QString(Kind kind, QWidget *parent, const QString &caption,
                                          const QString &dir, const QString &filter)>;

    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                   const QString &filter);
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                   const QString &filter);

    // An empty handler restores the real dialogs.
    static void setHandler(const Handler &handler);
};
