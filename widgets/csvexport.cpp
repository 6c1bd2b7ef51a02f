#include "widgets/csvexport.h"

#include "db/gateway.h"
#include "widgets/filedialogs.h"
#include "widgets/messages.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QSaveFile>
#include <QSettings>
#include <QSqlQueryModel>
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
// feeds; the stream encodes with the locale's codec and writes no BOM. The
// lines go to a temporary file beside the target, which replaces the target
// only once all of them are written: a full disk or a failing drive leaves
// the file that was there, never a truncated one.
class CsvFile
{
public:
    explicit CsvFile(const QString &fileName) : m_file(fileName) {}

    bool open()
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            return false;
        }
        m_stream.setDevice(&m_file);
        m_stream.setCodec(QTextCodec::codecForLocale());
        m_stream.setGenerateByteOrderMark(false);
        return true;
    }

    void writeLine(const QStringList &texts) { m_stream << csvLine(texts); }

    bool commit()
    {
        m_stream.flush();
        if (m_stream.status() != QTextStream::Ok && m_file.error() == QFileDevice::NoError) {
            m_file.cancelWriting();
            m_error = QStringLiteral("write error");
            return false;
        }
        if (!m_file.commit()) {
            m_error = m_file.errorString();
            return false;
        }
        return true;
    }

    QString error() const { return m_error.isEmpty() ? m_file.errorString() : m_error; }

private:
    QSaveFile m_file;
    QTextStream m_stream;
    QString m_error;
};

void tellFailure(QWidget *parent, const QString &fileName, const QString &reason)
{
    Messages::warning(parent, QStringLiteral("导出提示"),
                      QStringLiteral("文件%1导出失败：%2")
                          .arg(QDir::toNativeSeparators(fileName), reason));
}

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
        tellFailure(parent, fileName, file.error());
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
    if (!file.commit()) {
        tellFailure(parent, fileName, file.error());
        return;
    }
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
    // A fetch that fails leaves no part of the rows to be taken for all.
    QString readError;
    if (auto *queryModel = qobject_cast<QSqlQueryModel *>(model)) {
        if (!Gateway::fetchAll(queryModel, &readError)) {
            Messages::databaseError(parent, readError);
            return;
        }
    }
    while (model->canFetchMore(QModelIndex())) {
        model->fetchMore(QModelIndex());
    }
    const int rowCount = model->rowCount();
    const int columnCount = model->columnCount();
    const QStringList header = headerTexts(view->model(), columnCount);

    if (progressBar) {
        progressBar->show();
        progressBar->setValue(0);
        progressBar->setRange(0, rowCount);
    }

    CsvFile file(fileName);
    if (!file.open()) {
        if (progressBar) {
            progressBar->hide();
        }
        tellFailure(parent, fileName, file.error());
        return;
    }
    file.writeLine(header);
    for (int r = 0; r < rowCount; ++r) {
        QStringList texts;
        for (int c = 0; c < columnCount; ++c) {
            texts << model->data(model->index(r, c), Qt::DisplayRole).toString();
        }
        file.writeLine(texts);
        if (progressBar) {
            progressBar->setValue(r + 1);
        }
    }
    const bool written = file.commit();
    if (progressBar) {
        progressBar->hide();
    }
    if (!written) {
        tellFailure(parent, fileName, file.error());
        return;
    }
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
