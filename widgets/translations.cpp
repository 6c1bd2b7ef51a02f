#include "widgets/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The few texts of the program itself that are looked up through the
// translation system (the export dialog's caption and filter, under the
// class name of whichever form exports), whatever the context.
class ProgramTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *, const char *sourceText, const char *, int) const override
    {
        const QByteArray source(sourceText);
        if (source == "excel file") {
            return QStringLiteral("导出到 Excel 文件");
        }
        if (source == "files(*.csv)") {
            return QStringLiteral("CSV 文件(*.csv)");
        }
        return QString();
    }
};

} // namespace

bool Translations::loadChinese(QCoreApplication *application)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    static ProgramTexts *programTexts = nullptr;
    if (!programTexts) {
        programTexts = new ProgramTexts(application);
        application->installTranslator(programTexts);
    }
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
