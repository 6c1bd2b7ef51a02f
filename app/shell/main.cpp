#include "app/shell/iconresources.h"
#include "app/shell/login.h"
#include "app/shell/tarnix.h"
#include "db/settings.h"
#include "db/setup.h"
#include "widgets/messages.h"
#include "widgets/translations.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    // Declared in this order so that they are destroyed in the reverse one:
    // the main window first, then the login dialog, then the application.
    QApplication app(argc, argv);
    initIconResources();
    Translations::loadChinese(&app);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    DbSettings::setCurrent(DbSettings::load(QApplication::arguments()));
    if (!DbSettings::current().isValid()) {
        Messages::warning(nullptr, QStringLiteral("错误提示"), DbSettings::current().error);
        return 1;
    }
    if (DbSettings::current().isEmbedded()) {
        // A first start on the embedded engine finds no databases; it gets
        // the demo company so that the login has something to offer.
        QString error;
        if (!Setup::ensureFirstStart(&error)) {
            Messages::warning(nullptr, QStringLiteral("错误提示"),
                              QStringLiteral("无法建立演示数据库：%1").arg(error));
        }
    }

    login dialog;
    if (dialog.exec() != QDialog::Accepted) {
        return 0;
    }

    tarnix window;
    window.show();
    window.showMaximized();
    return app.exec();
}
