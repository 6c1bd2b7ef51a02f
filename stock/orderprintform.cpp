#include "stock/orderprintform.h"

#include "app/loginstate.h"
#include "db/sqltext.h"
#include "widgets/decimaltext.h"
#include "stock/orderprintstate.h"
#include "widgets/messages.h"
#include "widgets/printerchoice.h"

#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStringList>

#include <cmath>

namespace {

// The forms are laid out for SimSun; where it is missing the nearest CJK
// serif, then any CJK face, keeps the Chinese texts legible.
QFont songTi(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSize(pointSize);
    return font;
}

} // namespace

OrderPrintForm::OrderPrintForm(const OrderPrintTexts &texts, QWidget *parent)
    : QWidget(parent),
      m_model(new QSqlQueryModel(this)),
      m_texts(texts),
      m_orderNumber(OrderPrintState::orderNumber),
      m_frameHeight(OrderPrintState::frameHeight),
      m_rowsPerPage(OrderPrintState::rowsPerPage)
{
    // Never shown, also not together with its parent.
    hide();
    m_model->setQuery(m_texts.linesStatement.arg(SqlText::quoted(m_orderNumber)));
    while (m_model->canFetchMore()) {
        m_model->fetchMore();
    }
    m_columnCount = m_model->columnCount() + 1;
}

QString OrderPrintForm::amountInWords(double amount)
{
    if (std::fabs(amount) < 0.01) {
        return QStringLiteral("零");
    }
    const QString sign = amount < 0 ? QStringLiteral("（负数）") : QString();
    const QString figures = QString::number(std::fabs(amount), 'f', 2);
    const int integerDigits = figures.length() - 3;
    if (integerDigits > 12) {
        return QStringLiteral("输入的数值超过范围！");
    }

    static const QStringList digitWords{
        QStringLiteral("零"), QStringLiteral("壹"), QStringLiteral("贰"), QStringLiteral("叁"),
        QStringLiteral("肆"), QStringLiteral("伍"), QStringLiteral("陆"), QStringLiteral("柒"),
        QStringLiteral("捌"), QStringLiteral("玖")};
    static const QStringList positionWords{
        QString(),          QStringLiteral("拾"), QStringLiteral("佰"), QStringLiteral("仟"),
        QStringLiteral("万"), QStringLiteral("拾"), QStringLiteral("佰"), QStringLiteral("仟"),
        QStringLiteral("亿"), QStringLiteral("拾"), QStringLiteral("佰"), QStringLiteral("仟")};

    auto digitAt = [&](int position) {
        return figures.at(integerDigits - 1 - position).digitValue();
    };
    auto sectionHasDigit = [&](int lowest) {
        for (int q = lowest; q < lowest + 4 && q < integerDigits; ++q) {
            if (digitAt(q) != 0) {
                return true;
            }
        }
        return false;
    };

    QString words;
    if (figures.left(integerDigits).toLongLong() == 0) {
        words = digitWords.at(0);
    } else {
        // One "零" stands for a whole run of zeros between two non-zero
        // digits, also across the 万 and 亿 boundaries; trailing zeros say
        // nothing.
        bool zeroPending = false;
        for (int q = integerDigits - 1; q >= 0; --q) {
            const int digit = digitAt(q);
            if (digit != 0) {
                if (zeroPending) {
                    words += digitWords.at(0);
                    zeroPending = false;
                }
                words += digitWords.at(digit) + positionWords.at(q);
            } else {
                zeroPending = true;
            }
            if ((q == 4 || q == 8) && digit == 0 && sectionHasDigit(q)) {
                words += q == 4 ? QStringLiteral("万") : QStringLiteral("亿");
            }
        }
    }

    const int tenths = figures.at(integerDigits + 1).digitValue();
    const int hundredths = figures.at(integerDigits + 2).digitValue();
    if (tenths == 0 && hundredths == 0) {
        return sign + words + QStringLiteral("元整");
    }
    if (hundredths == 0) {
        return sign + words + QStringLiteral("点") + digitWords.at(tenths) + QStringLiteral("元");
    }
    return sign + words + QStringLiteral("点") + digitWords.at(tenths) + digitWords.at(hundredths)
        + QStringLiteral("元");
}

int OrderPrintForm::columnOffset(int column) const
{
    int offset = 0;
    for (int i = 0; i < column && i < m_columnWidths.size(); ++i) {
        offset += m_columnWidths.at(i);
    }
    return offset;
}

int OrderPrintForm::lineCount() const
{
    return m_model->rowCount();
}

int OrderPrintForm::pageCount() const
{
    const int linesPerPage = m_rowsPerPage - 1;
    if (linesPerPage < 1) {
        return 0;
    }
    return (lineCount() + linesPerPage - 1) / linesPerPage;
}

void OrderPrintForm::setUpPrinter(QPrinter *printer) const
{
    // Without a printer the preview's print button writes a PDF file.
    if (OrderPrintState::printerName.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer->setPrinterName(OrderPrintState::printerName);
    }
    applyPage(printer);
}

void OrderPrintForm::applyPage(QPrinter *printer)
{
    // The forms are cut from 210 mm wide continuous paper; an exact match
    // keeps 210 × 279 from being taken for Letter.
    printer->setPageSize(QPageSize(QSizeF(210, OrderPrintState::pageHeight), QPageSize::Millimeter,
                                   QString(), QPageSize::ExactMatch));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setFullPage(true);
}

void OrderPrintForm::previewOrder()
{
    QPrinter printer(QPrinter::ScreenResolution);
    setUpPrinter(&printer);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &OrderPrintForm::printDocument);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
}

void OrderPrintForm::printOrder()
{
    QWidget *owner = parentWidget() ? parentWidget() : this;
    const QString name = OrderPrintState::printerName;
    if (name.isEmpty()) {
        PrinterChoice::warnNoPrinter(owner);
        return;
    }
    if (!PrinterChoice::availablePrinterNames().contains(name)) {
        Messages::warning(owner, QStringLiteral("操作提示"),
                          QStringLiteral("找不到打印机“%1”！").arg(name));
        return;
    }
    QPrinter printer(QPrinter::ScreenResolution);
    setUpPrinter(&printer);
    printDocument(&printer);
}

void OrderPrintForm::printDocument(QPrinter *printer)
{
    const int pages = pageCount();
    if (pages == 0) {
        // An order without stored lines is an empty document: not even a
        // blank sheet goes to the printer.
        return;
    }
    // The preview's print dialog puts its own default paper (A4) on a PDF
    // printer; the file gets the format's paper back.
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        applyPage(printer);
    }
    QPainter painter;
    if (!painter.begin(printer)) {
        QWidget *owner = parentWidget() ? parentWidget() : this;
        const QString name = printer->printerName().isEmpty() ? OrderPrintState::printerName
                                                               : printer->printerName();
        Messages::warning(owner, QStringLiteral("操作提示"),
                          QStringLiteral("打印机“%1”无法打印！").arg(name));
        return;
    }
    painter.setPen(QPen(Qt::black));
    for (int page = 0; page < pages; ++page) {
        drawPage(&painter, page, pages);
        if (page < pages - 1) {
            printer->newPage();
            painter.setPen(QPen(Qt::black));
        }
    }
    painter.end();
}

QString OrderPrintForm::cellText(int row, int column) const
{
    const QVariant value = m_model->data(m_model->index(row, column));
    // Quantities (twice), price and amount are numbers; the rest is text.
    if (column == 2 || column == 3 || column == 5 || column == 6) {
        return DecimalText::twoDecimals(DecimalText::valueOf(value.toString()));
    }
    return value.isNull() ? QString() : value.toString();
}

void OrderPrintForm::drawPage(QPainter *painter, int page, int pageCount)
{
    const int L = m_left;
    const int T = m_top;
    const int W = m_width;
    const int H = m_frameHeight;
    const int B = m_band;
    const int R = m_rowHeight;
    const int left = Qt::AlignLeft | Qt::AlignTop;

    painter->drawRect(L, T, W, H);
    painter->drawLine(L, T + B, L + W, T + B);

    painter->setFont(songTi(18));
    painter->drawText(QRect(L, 25, W, B), Qt::AlignCenter, LoginState::companyName);
    painter->drawText(QRect(L, 50, W, B), Qt::AlignCenter, m_texts.title);

    painter->setFont(songTi(12));
    painter->drawText(QRect(L, 60, W, B), left, QStringLiteral("日期:%1").arg(OrderPrintState::orderDate));
    painter->drawText(QRect(L + 600, 60, W, B), left,
                      QStringLiteral("共%1页/第%2页").arg(pageCount).arg(page + 1));
    painter->drawText(QRect(L, T + 10, W, B), left, m_texts.partyLine.arg(OrderPrintState::partyText));
    painter->drawText(QRect(L + 500, T + 10, W, B), left,
                      QStringLiteral("订单号:%1").arg(m_orderNumber));

    painter->drawLine(L, T + H, L + W, T + H);

    painter->setFont(songTi(10));
    const QStringList titles{QStringLiteral("序号"),   QStringLiteral("编号"),
                             QStringLiteral("品名（规格）"), QStringLiteral("预定数"),
                             m_texts.quantityTitle,    QStringLiteral("单位"),
                             QStringLiteral("单价"),   QStringLiteral("金额"),
                             QStringLiteral("备注")};
    painter->drawText(QRect(L, T + B, m_columnWidths.at(0), R), Qt::AlignCenter, titles.at(0));
    for (int i = 1; i < m_columnCount && i < m_columnWidths.size(); ++i) {
        const int x = L + columnOffset(i);
        painter->drawLine(x, T + B, x, T + H);
        painter->drawText(QRect(x, T + B, m_columnWidths.at(i), R), Qt::AlignCenter, titles.at(i));
    }

    double pageTotal = 0.0;
    const int linesPerPage = m_rowsPerPage - 1;
    for (int slot = 1; slot <= linesPerPage; ++slot) {
        const int y = T + B + slot * R;
        painter->drawLine(L, y, L + W, y);
        const int row = page * linesPerPage + slot - 1;
        // A line without a goods code belongs to no goods item: it is neither
        // printed nor counted.
        if (row < lineCount() && !cellText(row, 0).isEmpty()) {
            for (int c = 1; c < m_columnCount && c < m_columnWidths.size(); ++c) {
                painter->drawText(QRect(L + columnOffset(c), y, m_columnWidths.at(c), R),
                                  Qt::AlignCenter, cellText(row, c - 1));
            }
            pageTotal += m_model->data(m_model->index(row, 6)).toDouble();
        }
        painter->drawText(QRect(L, y, m_columnWidths.at(0), R), Qt::AlignCenter,
                          QString::number(slot));
    }

    painter->drawLine(L, T + H + 26, L + 720, T + H + 26);
    painter->drawLine(L, T + H, L, T + H + 26);
    painter->drawLine(L + 720, T + H, L + 720, T + H + 26);

    // The page total sums the amounts as stored, not as rounded for print.
    painter->drawText(QRect(L, T + H + 10, 450, 25), left,
                      QStringLiteral("大写金额:%1").arg(amountInWords(pageTotal)));
    painter->drawText(QRect(L + 400, T + H + 10, 450, 25), left,
                      QStringLiteral("本页合计:%1元").arg(DecimalText::twoDecimals(pageTotal)));
    painter->drawText(QRect(L, T + H + 40, 450, 25), left,
                      m_texts.companyLine.arg(LoginState::companyName));
    painter->drawText(QRect(L + 400, T + H + 40, 450, 25), left, m_texts.signature);
    painter->drawText(QRect(L + 600, T + H + 40, 450, 25), left, QStringLiteral("收货员:"));
}
