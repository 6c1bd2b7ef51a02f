#pragma once

// A printer that paints nowhere and remembers, page by page, the texts with
// the box they occupy, the lines and the rectangles drawn on it.

#include <QLineF>
#include <QList>
#include <QPaintEngine>
#include <QPrinter>
#include <QRectF>
#include <QString>
#include <QTextItem>

#include <cmath>

struct PaintedText
{
    QString text;
    QRectF box; // from the top of the ascent to the bottom of the descent
    bool operator==(const PaintedText &o) const { return text == o.text && box == o.box; }
};

struct PaintedPage
{
    QList<PaintedText> texts;
    QList<QLineF> lines;
    QList<QRectF> rects;

    bool operator==(const PaintedPage &o) const
    {
        return texts == o.texts && lines == o.lines && rects == o.rects;
    }
    PaintedText find(const QString &text) const
    {
        for (const PaintedText &t : texts) {
            if (t.text == text) {
                return t;
            }
        }
        return PaintedText{};
    }
    bool has(const QString &text) const { return !find(text).text.isEmpty(); }
    // The text whose box is centred in r, or an empty text.
    QString textCentredIn(const QRectF &r) const
    {
        for (const PaintedText &t : texts) {
            if (centredIn(t.box, r)) {
                return t.text;
            }
        }
        return QString();
    }
    static bool centredIn(const QRectF &box, const QRectF &r)
    {
        return std::abs(box.center().x() - r.center().x()) <= 1.0 && std::abs(box.center().y() - r.center().y()) <= 2.0;
    }
    static bool atTopLeftOf(const QRectF &box, const QRectF &r)
    {
        return std::abs(box.left() - r.left()) <= 0.5 && std::abs(box.top() - r.top()) <= 1.0;
    }
};

class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice *) override
    {
        pages << PaintedPage();
        return true;
    }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            pages.last().lines << lines[i];
        }
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            pages.last().rects << rects[i];
        }
    }
    // A text partly set in a fallback font arrives in several items; items
    // that continue one another on the same baseline are joined again.
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QRectF box(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        QList<PaintedText> &texts = pages.last().texts;
        if (!texts.isEmpty() && std::abs(texts.last().box.right() - box.left()) < 0.01
            && std::abs(texts.last().box.bottom() - box.bottom()) < 3.0) {
            texts.last().text += item.text();
            texts.last().box = texts.last().box.united(box);
            return;
        }
        texts << PaintedText{item.text(), box};
    }

    QList<PaintedPage> pages;
};

class RecordingPrinter : public QPrinter
{
public:
    RecordingPrinter() : QPrinter(QPrinter::ScreenResolution) {}
    QList<PaintedPage> pages() const { return m_engine.pages; }
    QPaintEngine *paintEngine() const override { return &m_engine; }
    bool newPage() override
    {
        m_engine.pages << PaintedPage();
        return true;
    }

private:
    mutable RecordingEngine m_engine;
};
