// Draws the pictures of icon/ with QPainter. Not part of the build: the PNG
// files it writes are kept in icon/ and compiled in through icon.qrc. To
// redraw them:
//   g++ -std=c++17 -fPIC drawicons.cpp -o /tmp/drawicons $(pkg-config --cflags --libs Qt5Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/drawicons ..

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

const QColor blue(30, 119, 197);
const QColor lightBlue(85, 170, 255);
const QColor orange(245, 150, 40);
const QColor green(60, 170, 90);
const QColor red(220, 70, 60);
const QColor ink(40, 60, 90);

QString outDir;

void save(const QString &name, int size, const std::function<void(QPainter &)> &draw)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    draw(p);
    p.end();
    image.save(QDir(outDir).filePath(name + QStringLiteral(".png")));
}

void roundedTile(QPainter &p, const QColor &color)
{
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, color.lighter(125));
    g.setColorAt(1, color);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
}

QPen thick(const QColor &color, qreal width = 4)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void person(QPainter &p, const QPointF &at, qreal scale, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(at + QPointF(0, -10 * scale), 8 * scale, 8 * scale);
    QPainterPath body;
    body.moveTo(at + QPointF(-15 * scale, 18 * scale));
    body.cubicTo(at + QPointF(-15 * scale, 2 * scale), at + QPointF(15 * scale, 2 * scale),
                 at + QPointF(15 * scale, 18 * scale));
    body.closeSubpath();
    p.drawPath(body);
}

void cart(QPainter &p)
{
    p.setPen(thick(Qt::white));
    p.setBrush(Qt::NoBrush);
    QPainterPath basket;
    basket.moveTo(10, 16);
    basket.lineTo(17, 16);
    basket.lineTo(23, 40);
    basket.lineTo(48, 40);
    basket.lineTo(53, 22);
    basket.lineTo(19, 22);
    p.drawPath(basket);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(26, 49), 3.5, 3.5);
    p.drawEllipse(QPointF(45, 49), 3.5, 3.5);
}

void truck(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 18, 30, 24), 3, 3);
    QPainterPath cab;
    cab.moveTo(40, 24);
    cab.lineTo(49, 24);
    cab.lineTo(56, 33);
    cab.lineTo(56, 42);
    cab.lineTo(40, 42);
    cab.closeSubpath();
    p.drawPath(cab);
    p.setBrush(ink);
    p.drawEllipse(QPointF(19, 45), 5, 5);
    p.drawEllipse(QPointF(47, 45), 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(19, 45), 2, 2);
    p.drawEllipse(QPointF(47, 45), 2, 2);
}

void clipboard(QPainter &p, const QColor &mark)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(15, 12, 34, 44), 4, 4);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(25, 8, 14, 8), 2, 2);
    p.setPen(thick(QColor(170, 185, 205), 3));
    for (int y = 26; y <= 44; y += 9) {
        p.drawLine(QPointF(21, y), QPointF(33, y));
    }
    p.setPen(thick(mark, 4));
    p.drawLine(QPointF(37, 35), QPointF(41, 40));
    p.drawLine(QPointF(41, 40), QPointF(47, 29));
}

void arrow(QPainter &p, qreal angle)
{
    p.translate(32, 32);
    p.rotate(angle);
    p.setPen(Qt::NoPen);
    p.setBrush(lightBlue);
    QPainterPath path;
    path.moveTo(-24, -6);
    path.lineTo(8, -6);
    path.lineTo(8, -16);
    path.lineTo(26, 0);
    path.lineTo(8, 16);
    path.lineTo(8, 6);
    path.lineTo(-24, 6);
    path.closeSubpath();
    p.drawPath(path);
}

void drawBanner()
{
    QImage image(1000, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient g(0, 0, 1000, 0);
    g.setColorAt(0, QColor(18, 86, 160));
    g.setColorAt(0.6, blue);
    g.setColorAt(1, lightBlue);
    p.fillRect(image.rect(), g);

    // Two waves under the name, for the "澜" (billows) of the company name.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 2; ++i) {
        QPainterPath wave;
        const qreal base = 72 + i * 12;
        wave.moveTo(0, base);
        for (int x = 0; x <= 1000; x += 100) {
            wave.quadTo(x + 25, base - 10, x + 50, base);
            wave.quadTo(x + 75, base + 10, x + 100, base);
        }
        wave.lineTo(1000, 100);
        wave.lineTo(0, 100);
        wave.closeSubpath();
        p.setBrush(QColor(255, 255, 255, 40 + i * 30));
        p.drawPath(wave);
    }

    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(60, 44), 26, 26);
    p.setPen(thick(blue, 5));
    p.setBrush(Qt::NoBrush);
    QPainterPath mark;
    mark.moveTo(42, 48);
    mark.quadTo(51, 36, 60, 48);
    mark.quadTo(69, 60, 78, 48);
    p.drawPath(mark);

    QFont title(QStringLiteral("WenQuanYi Micro Hei"));
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(105, 8, 600, 56), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("澜拓进销存系统"));
    QFont subtitle(QStringLiteral("WenQuanYi Micro Hei"));
    subtitle.setPixelSize(16);
    p.setFont(subtitle);
    p.setPen(QColor(225, 240, 255));
    p.drawText(QRectF(600, 8, 380, 56), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("采购 · 销售 · 库存 · 财务"));
    p.end();
    image.save(QDir(outDir).filePath(QStringLiteral("bb.png")));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    drawBanner();

    save(QStringLiteral("jiantou1"), 48, [](QPainter &p) { arrow(p, 0); });
    save(QStringLiteral("jiantou3"), 48, [](QPainter &p) { arrow(p, 90); });
    save(QStringLiteral("jiantou4"), 48, [](QPainter &p) { arrow(p, 180); });

    // Stock gains and losses: a clipboard with a plus and a minus.
    save(QStringLiteral("fapiao"), 64, [](QPainter &p) {
        roundedTile(p, orange);
        clipboard(p, green);
        p.setPen(thick(red, 3));
        p.drawLine(QPointF(38, 48), QPointF(46, 48));
    });
    // Purchase orders: a shopping cart.
    save(QStringLiteral("genzong"), 64, [](QPainter &p) {
        roundedTile(p, blue);
        cart(p);
    });
    // Delivery notes: a delivery truck.
    save(QStringLiteral("zijin"), 64, [](QPainter &p) {
        roundedTile(p, green);
        truck(p);
    });
    save(QStringLiteral("huikuan"), 64, [](QPainter &p) {
        roundedTile(p, lightBlue);
        cart(p);
    });
    save(QStringLiteral("yingshou"), 64, [](QPainter &p) {
        roundedTile(p, QColor(40, 150, 120));
        truck(p);
    });
    save(QStringLiteral("shenhe"), 64, [](QPainter &p) {
        roundedTile(p, QColor(230, 120, 40));
        clipboard(p, green);
    });

    // Customers: one person.
    save(QStringLiteral("kehu"), 64, [](QPainter &p) {
        roundedTile(p, blue);
        person(p, QPointF(32, 32), 1.2, Qt::white);
    });
    // Suppliers: a factory.
    save(QStringLiteral("gongyishang"), 64, [](QPainter &p) {
        roundedTile(p, QColor(90, 110, 200));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        QPainterPath factory;
        factory.moveTo(10, 52);
        factory.lineTo(10, 30);
        factory.lineTo(22, 38);
        factory.lineTo(22, 30);
        factory.lineTo(34, 38);
        factory.lineTo(34, 30);
        factory.lineTo(46, 38);
        factory.lineTo(46, 12);
        factory.lineTo(54, 12);
        factory.lineTo(54, 52);
        factory.closeSubpath();
        p.drawPath(factory);
        p.setBrush(QColor(90, 110, 200));
        p.drawRect(QRectF(16, 43, 6, 5));
        p.drawRect(QRectF(28, 43, 6, 5));
        p.drawRect(QRectF(40, 43, 6, 5));
    });
    // Users: two people.
    save(QStringLiteral("yuangong"), 64, [](QPainter &p) {
        roundedTile(p, QColor(60, 150, 200));
        person(p, QPointF(40, 34), 0.9, QColor(210, 235, 255));
        person(p, QPointF(26, 36), 1.0, Qt::white);
    });
    // Goods: a stack of boxes.
    save(QStringLiteral("fenlei"), 64, [](QPainter &p) {
        roundedTile(p, orange);
        p.setPen(QPen(QColor(200, 110, 20), 2));
        p.setBrush(QColor(255, 236, 200));
        p.drawRect(QRectF(12, 34, 19, 17));
        p.drawRect(QRectF(33, 34, 19, 17));
        p.drawRect(QRectF(22, 15, 19, 17));
        p.setPen(QPen(QColor(200, 110, 20), 2));
        p.drawLine(QPointF(21.5, 34), QPointF(21.5, 40));
        p.drawLine(QPointF(42.5, 34), QPointF(42.5, 40));
        p.drawLine(QPointF(31.5, 15), QPointF(31.5, 21));
    });
    // Reports: a bar chart.
    save(QStringLiteral("tools1"), 32, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawRoundedRect(QRectF(8, 36, 12, 20), 2, 2);
        p.setBrush(orange);
        p.drawRoundedRect(QRectF(26, 20, 12, 36), 2, 2);
        p.setBrush(green);
        p.drawRoundedRect(QRectF(44, 8, 12, 48), 2, 2);
    });
    return 0;
}
