#include "widgets/csvexport.h"

#include "widgets/filedialogs.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QProgressBar>
#include <QStringList>
#include <QTableView>
#include <QTableWidget>
#include <QTextCodec>
#include <QTextStream>

#include <memory>

namespace {

// Asks for the target file. Caption and filter are looked up under the
// form's own class, as the form's tr() would, so a translation of the form
// also covers its export dialog.
QString askFileName(QWidget *parent)
{
    const char *context = parent ? parent->metaObject()->className() : "CsvExport";
    const QString fileName = FileDialogs::getSaveFileName(
        parent, QCoreApplication::translate(context, "excel file"), CsvExport::startFolder(),
        QCoreApplication::translate(context, "files(*.csv)"));
    if (!fileName.isEmpty()) {
        CsvExport::rememberFolder(QFileInfo(fileName).absolutePath());
    }
    return fileName;
}

// Where the export went, in the form's status bar: no box to click away.
void reportWritten(QWidget *parent, const QString &fileName, int rowCount)
{
    auto *form = qobject_cast<QMainWindow *>(parent ? parent->window() : nullptr);
    if (form) {
        form->statusBar()->showMessage(CsvExport::doneText(fileName, rowCount));
    }
}

std::unique_ptr<QSettings> exportSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("jxc"), QStringLiteral("jxc"));
}

const QString folderKey = QStringLiteral("export/folder");

QStringList headerTexts(const QAbstractItemModel *viewModel, int columnCount)
{
    QStringList texts;
    for (int c = 0; c < columnCount; ++c) {
        texts << viewModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return texts;
}

// One line of the file: the fields joined by commas, ended by a bare line
// feed whatever the platform.
QString csvLine(const QStringList &texts)
{
    QString line;
    for (const QString &text : texts) {
        line += CsvExport::field(text);
        line += QLatin1Char(',');
    }
    line.chop(1);
    line += QLatin1Char('\n');
    return line;
}

// Opened without text mode so that no carriage return is added to the line
// feeds; the stream encodes with the locale's codec and writes no BOM.
class CsvFile
{
public:
    explicit CsvFile(const QString &fileName) : m_file(fileName) {}

    bool open()
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        m_stream.setDevice(&m_file);
        m_stream.setCodec(QTextCodec::codecForLocale());
        m_stream.setGenerateByteOrderMark(false);
        return true;
    }

    void writeLine(const QStringList &texts) { m_stream << csvLine(texts); }

    void close()
    {
        m_stream.flush();
        m_file.close();
    }

private:
    QFile m_file;
    QTextStream m_stream;
};

} // namespace

QString CsvExport::field(const QString &text)
{
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                             || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!needsQuotes) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void CsvExport::exportTable(QWidget *parent, QTableWidget *table)
{
    const QString fileName = askFileName(parent);
    if (fileName.isEmpty()) {
        return;
    }
    const int rowCount = table->rowCount();
    const int columnCount = table->columnCount();
    const QStringList header = headerTexts(table->model(), columnCount);

    CsvFile file(fileName);
    if (!file.open()) {
        return;
    }
    file.writeLine(header);
    for (int r = 0; r < rowCount; ++r) {
        QStringList texts;
        for (int c = 0; c < columnCount; ++c) {
            const QTableWidgetItem *item = table->item(r, c);
            texts << (item ? item->data(Qt::DisplayRole).toString() : QString());
        }
        file.writeLine(texts);
    }
    file.close();
    reportWritten(parent, fileName, rowCount);
}

void CsvExport::exportModel(QWidget *parent, QTableView *view, QAbstractItemModel *model,
                            QProgressBar *progressBar)
{
    const QString fileName = askFileName(parent);
    if (fileName.isEmpty()) {
        return;
    }
    // A query model hands out its rows in chunks as the view scrolls; the
    // user exports the whole result, not the part seen so far.
    while (model->canFetchMore(QModelIndex())) {
        model->fetchMore(QModelIndex());
    }
    const int rowCount = model->rowCount();
    const int columnCount = model->columnCount();
    const QStringList header = headerTexts(view->model(), columnCount);

    progressBar->show();
    progressBar->setValue(0);
    progressBar->setRange(0, rowCount);

    CsvFile file(fileName);
    if (!file.open()) {
        progressBar->hide();
        return;
    }
    file.writeLine(header);
    for (int r = 0; r < rowCount; ++r) {
        QStringList texts;
        for (int c = 0; c < columnCount; ++c) {
            texts << model->data(model->index(r, c), Qt::DisplayRole).toString();
        }
        file.writeLine(texts);
        progressBar->setValue(r + 1);
    }
    file.close();
    progressBar->hide();
    reportWritten(parent, fileName, rowCount);
}

QString CsvExport::startFolder()
{
    // The program's own folder is often not writable on an office PC.
    const QString last = exportSettings()->value(folderKey).toString();
    if (!last.isEmpty() && QDir(last).exists()) {
        return last;
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void CsvExport::rememberFolder(const QString &folder)
{
    exportSettings()->setValue(folderKey, folder);
}

QString CsvExport::doneText(const QString &fileName, int rowCount)
{
    return QStringLiteral("已导出 %1 行到 %2").arg(rowCount).arg(QDir::toNativeSeparators(fileName));
}
