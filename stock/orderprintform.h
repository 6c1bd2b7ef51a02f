#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QPainter;
class QPrinter;
class QSqlQueryModel;

// The texts and the statement in which the printed purchase order and the
// printed delivery note differ.
struct OrderPrintTexts
{
    QString title;           // "采购清单"
    QString partyLine;       // "供货单位:%1"
    QString quantityTitle;   // title of printed column 4, "采购数"
    QString companyLine;     // "采购单位:%1"
    QString signature;       // "采购员:"
    QString linesStatement;  // the order's lines, %1 = order number
};

// A printed order form: reads the lines of the order named by OrderPrintState
// once, when it is created, and paints them on half or full sheets with a
// total in figures and in capital numerals on every page. printdb1 and
// printdb2 are this class with their own texts. The object is a widget that
// is never shown; it carries the lines and the painting slot.
class OrderPrintForm : public QWidget
{
    Q_OBJECT
public:
    // The amount in Chinese capital numerals, as printed after "大写金额:".
    static QString amountInWords(double amount);

    // x of the left edge of printed column i, relative to the frame.
    int columnOffset(int column) const;
    int pageCount() const;
    int lineCount() const;

    void previewOrder();
    void printOrder();
    void drawPage(QPainter *painter, int page, int pageCount);

public slots:
    // Paints every page. Virtual so that a test can watch which printer the
    // preview and the print hand over.
    virtual void printDocument(QPrinter *printer);

protected:
    OrderPrintForm(const OrderPrintTexts &texts, QWidget *parent);

private:
    void setUpPrinter(QPrinter *printer) const;
    static void applyPage(QPrinter *printer);
    QString cellText(int row, int column) const;

    QSqlQueryModel *m_model;
    OrderPrintTexts m_texts;
    QString m_orderNumber;
    const int m_left = 15;
    const int m_top = 80;
    const int m_width = 720;
    int m_frameHeight;
    const int m_band = 35;
    int m_columnCount;
    int m_rowsPerPage;
    const int m_rowHeight = 26;
    const QList<int> m_columnWidths{30, 80, 220, 60, 60, 50, 60, 80, 80};
};
