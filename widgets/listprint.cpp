#include "widgets/listprint.h"

#include "widgets/printerchoice.h"

#include <QDateTime>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>

namespace ListPrint {

void setUpA4(QPrinter *printer)
{
    const QString name = PrinterChoice::defaultPrinterName();
    if (name.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer->setPrinterName(name);
    }
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
}

void preview(QWidget *parent, const Paint &paint)
{
    QPrinter printer(QPrinter::ScreenResolution);
    setUpA4(&printer);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, parent, paint);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
}

void printNow(QWidget *parent, const Paint &paint)
{
    if (PrinterChoice::defaultPrinterOrWarn(parent).isEmpty()) {
        return;
    }
    QPrinter printer(QPrinter::ScreenResolution);
    setUpA4(&printer);
    paint(&printer);
}

void drawList(QPrinter *printer, const Page &l, const QString &title, const QStringList &headers, int columns,
              int rows, const std::function<QString(int, int)> &text, QProgressBar *progress)
{
    if (rows == 0 || columns == 0) {
        return;
    }
    QPainter painter;
    if (!painter.begin(printer)) {
        return;
    }
    const int pages = (rows + l.dataLines - 1) / l.dataLines;
    const int cellWidth = l.width / columns;
    const int bodyTop = l.top + l.titleHeight;
    const int bottom = l.top + l.height;
    const auto cell = [&](int column, int line) {
        return QRect(l.left + cellWidth * column, bodyTop + l.lineHeight * line, cellWidth, l.lineHeight);
    };
    const QFont titleFont(QStringLiteral("宋体"), 20);
    const QFont textFont(QStringLiteral("宋体"), 10);
    painter.setPen(QPen(Qt::black));
    progress->setRange(0, pages - 1);
    progress->setValue(0);
    progress->show();
    for (int page = 0; page < pages; ++page) {
        painter.drawRect(l.left, l.top, l.width, l.height);
        painter.drawLine(l.left, bodyTop, l.left + l.width, bodyTop);
        painter.drawLine(l.left, bottom, l.left + l.width, bottom);
        painter.setFont(titleFont);
        painter.drawText(QRect(l.left, l.top + 3, l.width, l.titleHeight), Qt::AlignCenter, title);
        painter.setFont(textFont);
        for (int c = 0; c < columns; ++c) {
            painter.drawText(cell(c, 0), Qt::AlignCenter, headers.value(c));
            if (c > 0) {
                painter.drawLine(l.left + cellWidth * c, bodyTop, l.left + cellWidth * c, bottom);
            }
        }
        for (int line = 1; line <= l.dataLines; ++line) {
            const int y = bodyTop + l.lineHeight * line;
            painter.drawLine(l.left, y, l.left + l.width, y);
            painter.drawText(cell(0, line), Qt::AlignCenter, QString::number(line));
            const int row = page * l.dataLines + line - 1;
            if (row >= rows) {
                continue;
            }
            for (int c = 1; c < columns; ++c) {
                painter.drawText(cell(c, line), Qt::AlignCenter, text(row, c));
            }
        }
        painter.drawText(QRect(550, bottom + 2, 200, l.lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("制表时间：")
                             + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        if (page + 1 < pages) {
            printer->newPage();
            painter.setPen(QPen(Qt::black));
        }
        progress->setValue(page);
    }
    painter.end();
    progress->hide();
}

} // namespace ListPrint
