#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QProgressBar;
class QWidget;

// The A4 list reports of the finance forms: their printer, their preview and
// printing straight away, and the numbered list page the invoice register
// and the receivables and payables share.
namespace ListPrint {

using Paint = std::function<void(QPrinter *)>;

// A4 portrait on the default printer; a PDF file when the machine has none,
// so that the preview's print button still gives a document.
void setUpA4(QPrinter *printer);
// The preview of paint, maximised.
void preview(QWidget *parent, const Paint &paint);
// Prints straight away; without a printer only the warning is shown.
void printNow(QWidget *parent, const Paint &paint);

// Page layout in device pixels.
struct Page
{
    int left = 30;
    int top = 30;
    int width = 720;
    int height = 1035;
    int titleHeight = 35;
    int lineHeight = 25;
    int dataLines = 39;
};

// A framed page per dataLines rows: the title, the column headers (the
// first is "序号") in equal columns, numbered lines carrying text(row,
// column) for columns 1 to columns - 1, and the time it was made. Nothing is
// printed for no rows; progress shows the pages done.
void drawList(QPrinter *printer, const Page &page, const QString &title, const QStringList &headers,
              int columns, int rows, const std::function<QString(int row, int column)> &text,
              QProgressBar *progress);

} // namespace ListPrint
