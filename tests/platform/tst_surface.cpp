#include "platform/colors.h"
#include "platform/surface.h"
#include "platform/vberror.h"
#include "tests/support/testsupport.h"

#include <QPainter>
#include <QtTest>

using namespace platform;

namespace {

// A picture layer of a fixed size and resolution, rendered over white.
class Layer : public PictureLayer {
public:
    explicit Layer(QSizeF size = {200, 150}, double dpi = 96) : PictureLayer([size] { return size; }), m_dpi(dpi)
    {
        setScaleMode(vbPixels);
    }
    double dpiX() const override { return m_dpi; }
    double dpiY() const override { return m_dpi; }
    QImage rendered(qint32 background = vb::vbWhite, QRect tile = {}) const
    {
        if (tile.isNull())
            tile = QRect(QPoint(0, 0), deviceSize().toSize());
        QImage image(tile.size(), QImage::Format_RGB32);
        image.fill(toQColor(background));
        QPainter painter(&image);
        painter.translate(-tile.topLeft());
        render(painter, tile);
        return image;
    }

private:
    double m_dpi;
};

qint32 at(const QImage& image, int x, int y)
{
    return fromQColor(QColor(image.pixel(x, y)));
}

// A binary raster operation by its code: bit (2p + d) of mode - 1 is the
// result for pen bit p over destination bit d.
qint32 rop(int mode, qint32 pen, qint32 dest)
{
    qint32 result = 0;
    for (int bit = 0; bit < 24; ++bit)
        result |= (((mode - 1) >> (2 * ((pen >> bit) & 1) + ((dest >> bit) & 1))) & 1) << bit;
    return result;
}

// An odd-sized picture whose neighbouring pixels all differ.
SharedImage testPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * 5 + y * 91) & 255, ((x ^ y) * 29) & 255));
    return SharedImage::create(image);
}

}  // namespace

class TestSurface : public QObject {
    Q_OBJECT

private slots:
    void scaleConversions_data()
    {
        QTest::addColumn<int>("window");  // 0 twips, 1 Scale(0,0)-(100,50), 2 the same flipped, 3 mm
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("twips to pixels") << 0 << 1440.0 << int(vbTwips) << int(vbPixels) << 96.0 << 96.0;
        QTest::newRow("mm to pixels") << 0 << 25.4 << int(vbMillimeters) << int(vbPixels) << 96.0 << 96.0;
        QTest::newRow("himetric to mm") << 0 << 2540.0 << int(vbHimetric) << int(vbMillimeters) << 25.4 << 25.4;
        QTest::newRow("points to twips") << 0 << 72.0 << int(vbPoints) << int(vbTwips) << 1440.0 << 1440.0;
        QTest::newRow("cm to inches") << 0 << 2.54 << int(vbCentimeters) << int(vbInches) << 1.0 << 1.0;
        QTest::newRow("characters to twips") << 0 << 1.0 << int(vbCharacters) << int(vbTwips) << 120.0 << 240.0;
        QTest::newRow("fixed window is vbUser") << 3 << 10.0 << int(vbUser) << int(vbMillimeters) << 10.0 << 10.0;
        QTest::newRow("pixels to user") << 1 << 200.0 << int(vbPixels) << int(vbUser) << 100.0 << 200.0 / 3;
        QTest::newRow("user to mm") << 1 << 100.0 << int(vbUser) << int(vbMillimeters) << 200 / 96.0 * 25.4
                                    << 300 / 96.0 * 25.4;
        QTest::newRow("flipped user") << 2 << 150.0 << int(vbPixels) << int(vbUser) << 75.0 << -50.0;
    }

    void scaleConversions()
    {
        QFETCH(int, window);
        QFETCH(double, value);
        QFETCH(int, from);
        QFETCH(int, to);
        Layer layer;
        const int modes[] = {vbTwips, vbUser, vbUser, vbMillimeters};
        layer.setScaleMode(modes[window]);
        if (window == 1)
            layer.Scale(0, 0, 100, 50);
        if (window == 2)
            layer.Scale(0, 50, 100, 0);
        QTEST(layer.ScaleX(value, from, to), "x");
        QTEST(layer.ScaleY(value, from, to), "y");
    }

    void windows()
    {
        Layer layer;
        layer.Scale();
        QCOMPARE(layer.ScaleMode(), int(vbTwips));
        QCOMPARE(layer.ScaleWidth(), 200 * 15.0);
        layer.setScaleMode(vbMillimeters);
        QCOMPARE(layer.ScaleWidth(), 200 / 96.0 * 25.4);
        QCOMPARE(layer.toDevice(25.4, 12.7), QPointF(96, 48));
        layer.setScaleLeft(10);  // a user window with the same unit size
        QCOMPARE(layer.ScaleMode(), int(vbUser));
        QCOMPARE(layer.ScaleWidth(), 200 / 96.0 * 25.4);
        QCOMPARE(layer.toDevice(35.4, 0), QPointF(96, 0));
        layer.Scale(0, 50, 100, 0);  // y grows upwards
        QCOMPARE(layer.ScaleHeight(), -50.0);
        QCOMPARE(layer.toDevice(100, 0), QPointF(200, 150));
        QCOMPARE(layer.fromDevice(QPointF(50, 30)), QPointF(25, 40));
        layer.setScaleMode(vbPixels);
        QCOMPARE(layer.ScaleLeft(), 0.0);
        QCOMPARE(layer.ScaleHeight(), 150.0);
        QCOMPARE(layer.currentFont().pixelSize(), 12);  // 9 pt at 96 dpi

        const Layer printer({4800, 6600}, 600);
        QCOMPARE(printer.ScaleX(1, vbInches, vbPixels), 600.0);
        QCOMPARE(printer.currentFont().pixelSize(), 75);

        QVERIFY_THROWS_EXCEPTION(vb::Error, layer.setScaleMode(vbContainerPosition));
        QVERIFY_THROWS_EXCEPTION(vb::Error, layer.Scale(0, 0, 0, 10));
        QVERIFY_THROWS_EXCEPTION(vb::Error, layer.setScaleWidth(0));
        QVERIFY_THROWS_EXCEPTION(vb::Error, layer.ScaleX(1, vbContainerSize, vbTwips));
        QVERIFY_THROWS_EXCEPTION(vb::Error, layer.Circle(0, 0, 10, -1, 7.0));
        QCOMPARE(layer.ScaleMode(), int(vbPixels));
    }

    void circleAspect_data()
    {
        QTest::addColumn<double>("aspect");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("insidePen");  // an inside-frame pen's width, 0 for a thin pen
        QTest::addColumn<QSizeF>("painted");
        QTest::newRow("circle") << 1.0 << QSizeF(20, 20) << 0 << QSizeF(20, 20);
        QTest::newRow("flat: radius is horizontal") << 0.5 << QSizeF(20, 10) << 0 << QSizeF(20, 10);
        QTest::newRow("tall: radius is vertical") << 2.0 << QSizeF(10, 20) << 0 << QSizeF(10, 20);
        QTest::newRow("very flat") << 0.25 << QSizeF(20, 5) << 0 << QSizeF(20, 5);
        // Moved in by half the oval's height only, the pen reaches past it.
        QTest::newRow("inside frame flatter than its pen") << 0.25 << QSizeF(20, 5) << 8 << QSizeF(23, 8);
    }

    void circleAspect()
    {
        QFETCH(double, aspect);
        QFETCH(QSizeF, size);
        QFETCH(int, insidePen);
        QFETCH(QSizeF, painted);
        Layer layer;
        if (insidePen) {
            layer.DrawStyle = 6;
            layer.DrawWidth = insidePen;
        }
        layer.Circle(50, 40, 10, vb::vbRed, qQNaN(), qQNaN(), aspect);
        QCOMPARE(layer.commands().back().rect, QRectF(QPointF(50, 40) - QPointF(size.width(), size.height()) / 2, size));
        QCOMPARE(QPointF(layer.CurrentX, layer.CurrentY), QPointF(50, 40));
        QRect red;
        for (const QPoint& p : testsupport::slantsOf(layer.rendered(), [](QRgb c) { return fromQColor(QColor(c)) == vb::vbRed; }).pixels)
            red |= QRect(p, QSize(1, 1));
        QVERIFY2(std::abs(red.width() - 1 - painted.width()) <= 1 && std::abs(red.height() - 1 - painted.height()) <= 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(red.width()).arg(red.height())));
    }

    void rasterOps_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<qint32>("pen");
        QTest::addColumn<qint32>("background");
        for (int mode = 1; mode <= 16; ++mode) {
            QTest::addRow("mode %d yellow on white", mode) << mode << vb::vbYellow << vb::vbWhite;
            QTest::addRow("mode %d on colour", mode) << mode << vb::RGB(0x12, 0x9A, 0xF0) << vb::RGB(0x3C, 0x96, 0x5A);
        }
    }

    void rasterOps()
    {
        QFETCH(int, mode);
        QFETCH(qint32, pen);
        QFETCH(qint32, background);
        Layer layer;
        layer.DrawMode = mode;
        layer.Line(10, 10, 30, 10, pen);
        const QImage image = layer.rendered(background);
        QCOMPARE(at(image, 10, 10), rop(mode, pen, background));
        QCOMPARE(at(image, 29, 10), rop(mode, pen, background));
        QCOMPARE(at(image, 30, 10), background);  // the end pixel is left out
        QCOMPARE(at(image, 20, 11), background);
        if (mode == vbXorPen && pen == vb::vbYellow)
            QCOMPARE(at(image, 20, 10), vb::vbBlue);
    }

    void xorTwiceRestores()
    {
        Layer layer;
        layer.PaintPicture(testPicture(40, 30), 0, 0, 200, 150);
        const QImage before = layer.rendered();
        layer.DrawWidth = 3;
        layer.FillColor = vb::vbCyan;
        for (const int mode : {vbXorPen, vbNotXorPen, vbInvert})
            for (int pass = 0; pass < 2; ++pass) {
                layer.DrawMode = mode;
                layer.FillStyle = 7;
                layer.Circle(100, 70, 40, vb::vbYellow, qQNaN(), qQNaN(), 0.6);
                layer.FillStyle = 0;
                layer.Line(20, 20, 90, 60, vb::vbRed, LineBox::B);
                layer.Line(30, 100, 60, 140, vb::vbGreen, LineBox::BF);
                layer.Line(0, 149, 199, 0, vb::vbMagenta);
            }
        QVERIFY(layer.rendered() == before);
        // A filled, framed ellipse under AND changes what it covers and no
        // pixel outside it.
        layer.DrawMode = vbMaskPen;
        layer.FillStyle = 0;
        layer.Circle(100, 70, 40, vb::vbYellow, qQNaN(), qQNaN(), 0.6);
        const QImage masked = layer.rendered();
        QCOMPARE(at(masked, 100, 70), rop(vbMaskPen, vb::vbCyan, at(before, 100, 70)));
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x) {
                const double dx = (x + 0.5 - 100) / 42, dy = (y + 0.5 - 70) / 26;
                if (dx * dx + dy * dy > 1 && before.pixel(x, y) != masked.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("changed outside at %1,%2").arg(x).arg(y)));
            }
    }

    void boxFill_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("filled");  // BF
        QTest::addColumn<int>("fillStyle");
        QTest::addColumn<int>("width");
        QTest::addColumn<qint32>("edge");
        QTest::addColumn<qint32>("inside");
        QTest::addColumn<int>("outside");  // pixels the frame reaches past the box
        const qint32 red = vb::vbRed, blue = vb::vbBlue, white = vb::vbWhite;
        const int copy = vbCopyPen, xorPen = vbXorPen;
        QTest::newRow("B transparent") << copy << 0 << false << 1 << 1 << red << white << 0;
        QTest::newRow("B solid fill") << copy << 0 << false << 0 << 1 << red << blue << 0;
        QTest::newRow("BF takes the pen colour") << copy << 0 << true << 0 << 1 << red << red << 0;
        QTest::newRow("BF without fill style") << copy << 0 << true << 1 << 1 << red << red << 0;
        QTest::newRow("wide pen is centred") << copy << 0 << false << 1 << 5 << red << white << 2;
        QTest::newRow("inside frame") << copy << 6 << false << 1 << 5 << red << white << 0;
        // Frame and fill overlap on wide pens; the operation meets each pixel once.
        QTest::newRow("XOR B wide") << xorPen << 0 << false << 0 << 3 << rop(xorPen, red, white)
                                    << rop(xorPen, blue, white) << 1;
        QTest::newRow("XOR BF inside frame") << xorPen << 6 << true << 0 << 4 << rop(xorPen, red, white)
                                             << rop(xorPen, red, white) << 0;
    }

    void boxFill()
    {
        QFETCH(int, mode);
        QFETCH(int, style);
        QFETCH(bool, filled);
        QFETCH(int, fillStyle);
        QFETCH(int, width);
        QFETCH(int, outside);
        Layer layer;
        layer.DrawMode = mode;
        layer.DrawStyle = style;
        layer.DrawWidth = width;
        layer.FillStyle = fillStyle;
        layer.FillColor = vb::vbBlue;
        layer.Line(10, 10, 40, 30, vb::vbRed, filled ? LineBox::BF : LineBox::B);
        QCOMPARE(layer.CurrentX, 40.0);
        const QImage image = layer.rendered();
        const int frame = outside ? width - outside : width;  // frame pixels inside the box
        for (int d = -outside; d < frame; ++d) {
            QTEST(at(image, 25, 10 + d), "edge");
            QTEST(at(image, 40 - d, 20), "edge");
        }
        for (int y = 10 + frame; y <= 30 - frame; ++y)
            for (int x = 10 + frame; x <= 40 - frame; ++x)
                QTEST(at(image, x, y), "inside");
        QCOMPARE(at(image, 25, 9 - outside), vb::vbWhite);
        QCOMPARE(at(image, 41 + outside, 20), vb::vbWhite);
    }

    void fillPatterns_data()
    {
        QTest::addColumn<int>("fillStyle");
        QTest::addColumn<QPoint>("along");   // a painted pixel's neighbour this way is painted
        QTest::addColumn<QPoint>("across");  // ... and this way not
        QTest::newRow("horizontal") << 2 << QPoint(1, 0) << QPoint(0, 1);
        QTest::newRow("vertical") << 3 << QPoint(0, 1) << QPoint(1, 0);
        QTest::newRow("diagonal falling to the right") << 4 << QPoint(1, 1) << QPoint(1, -1);
        QTest::newRow("diagonal rising to the right") << 5 << QPoint(1, -1) << QPoint(1, 1);
        QTest::newRow("cross") << 6 << QPoint() << QPoint();
        QTest::newRow("diagonal cross") << 7 << QPoint() << QPoint();
    }

    void fillPatterns()
    {
        QFETCH(int, fillStyle);
        QFETCH(QPoint, along);
        QFETCH(QPoint, across);
        Layer layer;
        layer.DrawStyle = 5;  // no frame: only the pattern
        layer.FillStyle = fillStyle;
        layer.FillColor = vb::vbBlue;
        layer.Line(10, 10, 60, 60, -1, LineBox::B);
        const QImage image = layer.rendered();
        int painted = 0;
        for (int y = 20; y < 50; ++y)
            for (int x = 20; x < 50; ++x) {
                if (at(image, x, y) != vb::vbBlue) {
                    QCOMPARE(at(image, x, y), vb::vbWhite);
                    continue;
                }
                ++painted;
                if (!along.isNull()) {
                    QCOMPARE(at(image, x + along.x(), y + along.y()), vb::vbBlue);
                    QCOMPARE(at(image, x + across.x(), y + across.y()), vb::vbWhite);
                }
            }
        QVERIFY(painted > 30 && painted < 30 * 30 / 3);
    }

    void penStyles()
    {
        // Style, width, the line (or box), and the least and most pixels painted on row 20.
        const std::tuple<int, int, QLineF, LineBox, int, int> rows[] = {
            {1, 1, {10, 20, 110, 20}, LineBox::None, 4 * 18 + 4, 4 * 18 + 4},  // dash 18 on, 6 off
            // The pattern runs on round the corners: the 3rd side starts 115 steps in.
            {1, 1, {10, 5, 110, 20}, LineBox::B, 72, 72},
            {1, 3, {10, 20, 110, 20}, LineBox::None, 100, 200},  // wide pens are solid
            {5, 3, {10, 20, 110, 20}, LineBox::None, 0, 0},
            {0, 1, {-1e8, -1e8 + 20, 1e8, 1e8 + 20}, LineBox::None, 1, 1},  // only the visible steps are walked
        };
        Layer layer;
        for (const auto& [style, width, line, box, least, most] : rows) {
            layer.Cls();
            layer.DrawStyle = style;
            layer.DrawWidth = width;
            layer.Line(line.x1(), line.y1(), line.x2(), line.y2(), -1, box);
            const QImage image = layer.rendered();
            int n = 0;
            for (int x = 0; x < 200; ++x)
                n += at(image, x, 20) != vb::vbWhite;
            QVERIFY2(n >= least && n <= most, qPrintable(QString::number(n)));
        }
        QCOMPARE(at(layer.rendered(), 0, 20), vb::vbBlack);
    }

    void paintPictureTiles_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("200%") << 2.0;
        QTest::newRow("125%") << 1.25;
        QTest::newRow("70%") << 0.7;
        QTest::newRow("30%: from a halved copy") << 0.3;
    }

    void paintPictureTiles()
    {
        QFETCH(double, zoom);
        const SharedImage picture = testPicture(101, 67);
        Layer layer(QSizeF(std::ceil(101 * zoom) + 9, std::ceil(67 * zoom) + 7));
        layer.setScaleMode(vbMillimeters);
        layer.PaintPicture(picture, 0, 0, layer.ScaleX(101, vbPixels, vbMillimeters) * zoom,
                           layer.ScaleY(67, vbPixels, vbMillimeters) * zoom);
        // Figures over it go through the same culling and clipping.
        layer.DrawMode = vbXorPen;
        layer.FillStyle = 4;
        layer.FillColor = vb::vbYellow;
        layer.DrawWidth = 2;
        layer.Circle(20, 12, 9, vb::vbRed, qQNaN(), qQNaN(), 0.7);
        layer.DrawStyle = 2;
        layer.DrawWidth = 1;
        layer.Line(1, 1, 30, 15, vb::vbBlue);
        layer.DrawMode = vbCopyPen;
        layer.DrawStyle = 0;
        layer.Line(2, 30, 33, 4, vb::vbGreen);
        layer.Circle(12, 14, 10, vb::vbBlack, -0.5, -5.0, 1.5);
        layer.CurrentX = 5;
        layer.CurrentY = 3;
        layer.Print(QStringLiteral("Tile"));

        const QImage whole = layer.rendered();
        if (zoom == 2.0) {  // nearest neighbour: each picture pixel becomes a 2x2 block
            QCOMPARE(whole.pixel(191, 121), picture->pixel(95, 60));
            QCOMPARE(whole.pixel(190, 120), picture->pixel(95, 60));
        }
        const QList<QRect> tiles{{7, 5, 13, 9}, {31, 17, 40, 23}, {0, 0, 64, 64},
                                 {50, 3, 17, 60}, {whole.width() - 21, whole.height() - 11, 21, 11}};
        for (const QRect& tile : tiles)
            QVERIFY2(layer.rendered(vb::vbWhite, tile & whole.rect()) == whole.copy(tile & whole.rect()),
                     qPrintable(QStringLiteral("tile %1,%2").arg(tile.x()).arg(tile.y())));
    }

    void reducedPictureIsAveraged_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("lowest");  // the range of every shown pixel's grey
        QTest::addColumn<int>("highest");
        QTest::newRow("100%: the pixels themselves") << 1.0 << 0 << 255;
        QTest::newRow("50%") << 0.5 << 127 << 128;
        QTest::newRow("33%") << 1 / 3.0 << 113 << 142;
        QTest::newRow("25%") << 0.25 << 127 << 128;
        QTest::newRow("10%") << 0.1 << 120 << 135;
    }

    // A one-pixel checkerboard reduced is grey throughout, not a moire of black
    // and white; at 100 % it stays exactly the picture.
    void reducedPictureIsAveraged()
    {
        QFETCH(double, zoom);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        QImage board(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < board.height(); ++y)
            for (int x = 0; x < board.width(); ++x)
                board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const SharedImage picture = SharedImage::create(board);
        const QSize shown(qRound(400 * zoom), qRound(300 * zoom));
        Layer layer{QSizeF(shown)};
        layer.PaintPicture(picture, 0, 0, 400 * zoom, 300 * zoom);
        const QImage image = layer.rendered(vb::vbRed);
        if (zoom == 1.0) {
            QCOMPARE(image, board);
            return;
        }
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) < lowest || qRed(p) > highest || qGreen(p) != qRed(p))
                    QFAIL(qPrintable(QStringLiteral("%1 at %2,%3").arg(qRed(p)).arg(x).arg(y)));
            }
    }

    void printAdvances()
    {
        Layer layer;
        layer.setScaleMode(vbMillimeters);
        const double height = layer.TextHeight(QStringLiteral("Ab"));
        QVERIFY(height > 12 / 96.0 * 25.4);
        QCOMPARE(layer.TextHeight(QStringLiteral("A\r\nb")), 2 * height);
        QVERIFY(layer.TextWidth(QStringLiteral("AbAb")) > layer.TextWidth(QStringLiteral("Ab")));
        layer.CurrentX = 5;
        layer.CurrentY = 7;
        layer.ForeColor = vb::vbRed;
        layer.Print(QStringLiteral("Ab"));
        QCOMPARE(layer.CurrentX, layer.ScaleLeft());
        QCOMPARE(layer.CurrentY, 7 + height);
        layer.FontTransparent = false;
        layer.BackColor = vb::vbGreen;
        layer.Print(QStringLiteral("Ab"));
        QCOMPARE(layer.CurrentY, 7 + 2 * height);

        const QImage image = layer.rendered();
        const auto count = [&](QPointF origin, qint32 color) {
            int n = 0;
            for (int y = 0; y < int(height / 25.4 * 96); ++y)
                for (int x = 0; x < 20; ++x)
                    n += at(image, int(origin.x()) + x, int(origin.y()) + y) == color;
            return n;
        };
        const QPointF first = layer.toDevice(5, 7), second = layer.toDevice(0, 7 + height);
        QVERIFY(count(first, vb::vbWhite) < 20 * int(height / 25.4 * 96));  // the caption
        QCOMPARE(count(first, vb::vbGreen), 0);                               // transparent
        QVERIFY(count(second, vb::vbGreen) > 50);                             // opaque background
    }

    void clsClears()
    {
        Layer layer;
        QList<QRectF> touched;
        layer.changed = [&](const QRectF& r) { touched << r; };
        layer.DrawWidth = 4;
        layer.Line(10, 20, 50, 30);
        QCOMPARE(touched.size(), 1);
        QVERIFY(touched[0].contains(QRectF(8, 18, 44, 14)));
        QCOMPARE(layer.CurrentX, 50.0);

        layer.Cls();
        QVERIFY(layer.commands().empty());
        QCOMPARE(touched.last(), QRectF(0, 0, 200, 150));
        QCOMPARE(QPointF(layer.CurrentX, layer.CurrentY), QPointF(0, 0));
        QImage blank(200, 150, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(layer.rendered() == blank);
    }
};

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
