// Takes the pictures of the README: the login dialog and the main window,
// on the demo company of a fresh embedded data folder, rendered offscreen.
//
//   jxc-screenshots [output folder]     (default: docs)
//
// Writes login.png, main-window.png, receivable-tracking.png, invoice.png,
// receivable.png and print-preview.png into the folder.

#include "app/shell/iconresources.h"
#include "app/shell/login.h"
#include "app/shell/tarnix.h"
#include "db/settings.h"
#include "db/setup.h"
#include "finance/invoice.h"
#include "finance/receivable.h"
#include "stock/purchar.h"
#include "tracking/receivable_info.h"
#include "widgets/accountkind.h"
#include "widgets/messages.h"

#include "widgets/translations.h"

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QSqlDatabase>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool save(QWidget *widget, const QDir &dir, const QString &name)
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    const QString path = dir.filePath(name);
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    return true;
}

// The print preview of the first purchase order of the last three months, on
// the half sheet, as "预览" in the purchase order form opens it.
bool shootPreview(const QDir &outDir)
{
    purchar orders;
    orders.resize(1280, 720);
    orders.show();
    orders.findChild<QDateEdit *>(QStringLiteral("dateEdit"))->setDate(QDate::currentDate().addMonths(-3));
    orders.findChild<QPushButton *>(QStringLiteral("pushButton_3"))->click();
    QTableWidget *list = orders.findChild<QTableWidget *>(QStringLiteral("tableWidget_2"));
    QTableWidgetItem *tick = list->rowCount() > 0 ? list->item(0, list->columnCount() - 1) : nullptr;
    if (!tick) {
        std::fprintf(stderr, "the demo company has no purchase order to preview\n");
        return false;
    }
    tick->setCheckState(Qt::Checked);

    // The preview runs its own event loop; it is taken and closed from there.
    bool shot = false;
    QTimer::singleShot(0, [&outDir, &shot] {
        QWidget *preview = QApplication::activeModalWidget();
        if (!preview) {
            std::fprintf(stderr, "the print preview did not open\n");
            return;
        }
        preview->showNormal();
        preview->resize(1000, 760);
        shot = save(preview, outDir, QStringLiteral("print-preview.png"));
        preview->close();
    });
    orders.findChild<QPushButton *>(QStringLiteral("pushButton_6"))->click();
    return shot;
}

bool shoot(const QDir &outDir)
{
    login dialog;
    dialog.show();
    if (!save(&dialog, outDir, QStringLiteral("login.png"))) {
        return false;
    }
    // The demo login is filled in; "确定" logs in as a user would.
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    if (dialog.result() != QDialog::Accepted) {
        std::fprintf(stderr, "the demo login was not accepted\n");
        return false;
    }

    tarnix window;
    window.resize(1280, 800);
    window.show();
    if (!save(&window, outDir, QStringLiteral("main-window.png"))) {
        return false;
    }

    receivable_info tracking;
    tracking.resize(1280, 560);
    tracking.show();
    if (!save(&tracking, outDir, QStringLiteral("receivable-tracking.png"))) {
        return false;
    }

    // The invoice register with the demo company's invoices of the last
    // three months.
    invoice register_;
    register_.resize(1280, 720);
    register_.findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(QDate::currentDate().addMonths(-3));
    register_.findChild<QPushButton *>(QStringLiteral("pushButton_7"))->click();
    register_.show();
    if (!save(&register_, outDir, QStringLiteral("invoice.png"))) {
        return false;
    }

    // The trade receivables of the last three months.
    AccountKind = QStringLiteral("货款");
    receivable receivables;
    receivables.resize(1400, 720);
    receivables.findChild<QDateEdit *>(QStringLiteral("dateEdit_2"))->setDate(QDate::currentDate().addMonths(-3));
    receivables.findChild<QPushButton *>(QStringLiteral("pushButton_7"))->click();
    receivables.show();
    if (!save(&receivables, outDir, QStringLiteral("receivable.png"))) {
        return false;
    }
    return shootPreview(outDir);
}

// The databases live in a temporary folder; they are closed before it goes.
void closeDatabases()
{
    const QStringList names = QSqlDatabase::connectionNames();
    for (const QString &name : names) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // No display is needed; a picture of the widgets is all we want.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    initIconResources();
    Translations::loadChinese(&app);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const QDir outDir(QApplication::arguments().value(1, QStringLiteral("docs")));
    if (!QDir().mkpath(outDir.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir.path()));
        return 1;
    }

    // A box would wait for a click that never comes; print it instead.
    bool failed = false;
    Messages::setHandler([&failed](QMessageBox::Icon, QWidget *, const QString &title, const QString &text,
                                   QMessageBox::StandardButtons) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        failed = true;
        return QMessageBox::Ok;
    });

    QTemporaryDir dataDir;
    DbSettings settings;
    settings.engine = QStringLiteral("sqlite");
    settings.dataDir = dataDir.path();
    DbSettings::setCurrent(settings);
    QString error;
    if (!Setup::ensureFirstStart(&error)) {
        std::fprintf(stderr, "cannot create the demo company: %s\n", qPrintable(error));
        return 1;
    }

    const bool shot = shoot(outDir) && !failed;
    closeDatabases();
    return shot ? 0 : 1;
}
