#include "widgets/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool Translations::loadChinese(QCoreApplication *application)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    // One translator for the life of the application, loaded once even when
    // a test or the screenshot tool asks again.
    static QTranslator *translator = nullptr;
    if (translator) {
        return true;
    }
    auto *candidate = new QTranslator(application);
    if (!candidate->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        delete candidate;
        return false;
    }
    application->installTranslator(candidate);
    translator = candidate;
    return true;
}
