#include "platform/colors.h"
#include "platform/elements.h"
#include "platform/picturebox.h"
#include "platform/picturefile.h"
#include "platform/vberror.h"
#include "tests/support/testsupport.h"

#include <QHelpEvent>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <sys/resource.h>

using namespace platform;
using namespace Qt::StringLiterals;

namespace {

// The pixel at a device point, as the runtime's colour number.
qint32 pixelAt(const PictureBox& box, QPoint device)
{
    return fromQColor(box.renderArea(QRect(device, QSize(1, 1))).pixelColor(0, 0));
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A 400 x 300 pixel box in pixels, as the tests draw on it.
struct PixelBox : PictureBox {
    PixelBox() : PictureBox(u"pictTest"_s)
    {
        setBorderStyle(0);
        resize(400, 300);
        setScaleMode(vbPixels);
    }
};

LineElement& addLine(ElementArray<LineElement>& lines, double x1, double y1, double x2, double y2)
{
    const int k = lines.UBound() + 1;
    lines.Load(k);
    LineElement& line = lines(k);
    line.X1 = float(x1), line.Y1 = float(y1), line.X2 = float(x2), line.Y2 = float(y2);
    line.Visible = true;
    return line;
}

}  // namespace

class TestPictureBox : public QObject {
    Q_OBJECT

    QStringList m_log;  // mouse events in the order they came

    void wire(PictureBox& box, LabelElement& label)
    {
        box.MouseDown = [this](int b, int, double, double) { m_log << u"box down %1"_s.arg(b); };
        box.MouseUp = [this](int b, int, double, double) { m_log << u"box up %1"_s.arg(b); };
        box.Click = [this] { m_log << u"box click"_s; };
        box.DblClick = [this] { m_log << u"box dblclick"_s; };
        label.MouseDown = [this](int, int b, int, float, float) { m_log << u"label down %1"_s.arg(b); };
        label.MouseMove = [this](int, int b, int, float, float) { m_log << u"label move %1"_s.arg(b); };
        label.MouseUp = [this](int, int b, int, float, float) { m_log << u"label up %1"_s.arg(b); };
        label.Click = [this](int) { m_log << u"label click"_s; };
        label.DblClick = [this](int) { m_log << u"label dblclick"_s; };
    }

    // Shows a box and waits until it is on screen.
    [[nodiscard]] static bool exposed(QWidget& w) { return w.show(), QTest::qWaitForWindowExposed(&w); }

    // A label at (x, y) of the given size, in its box's units.
    static void place(LabelElement& label, float x, float y, float width, float height)
    {
        label.Move(x, y), label.setWidth(width), label.setHeight(height);
    }

    static void send(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent e(type, at, w.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
        QApplication::sendEvent(&w, &e);
    }

private slots:
    void init() { m_log.clear(); }

    void rasterOperations_data()
    {
        QTest::addColumn<int>("drawMode");
        QTest::addColumn<qint32>("under");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("xor yellow on white is blue") << int(vbXorPen) << vb::vbWhite << vb::vbBlue;
        QTest::newRow("copy") << int(vbCopyPen) << vb::vbWhite << vb::vbYellow;
        QTest::newRow("not copy") << int(vbNotCopyPen) << vb::vbWhite << vb::vbBlue;
        QTest::newRow("not xor") << int(vbNotXorPen) << vb::vbWhite << vb::vbYellow;
        QTest::newRow("invert") << int(vbInvert) << vb::vbWhite << vb::vbBlack;
        QTest::newRow("mask") << int(vbMaskPen) << vb::vbCyan << vb::vbGreen;
        QTest::newRow("merge") << int(vbMergePen) << vb::vbBlue << vb::vbWhite;
        QTest::newRow("mask not pen") << int(vbMaskNotPen) << vb::vbWhite << vb::vbBlue;
        QTest::newRow("blackness") << int(vbBlackness) << vb::vbWhite << vb::vbBlack;
        QTest::newRow("whiteness") << int(vbWhiteness) << vb::vbBlack << vb::vbWhite;
        QTest::newRow("nop") << int(vbNop) << vb::vbRed << vb::vbRed;
    }
    void rasterOperations()
    {
        QFETCH(int, drawMode);
        QFETCH(qint32, under);
        QFETCH(qint32, expected);
        PixelBox box;
        box.setBackColor(under);
        ElementArray<LineElement> lines(u"lineTest"_s, &box);
        lines(0).Visible = false;
        LineElement& line = addLine(lines, 10, 50, 200, 50);
        line.BorderColor = vb::vbYellow;
        line.DrawMode = drawMode;
        QCOMPARE(pixelAt(box, {100, 50}), expected);
        QCOMPARE(pixelAt(box, {100, 60}), under);
    }

    void exclusiveOrTwiceLeavesNothing()
    {
        PixelBox box;
        ElementArray<LineElement> lines(u"lineTest"_s, &box);
        ElementArray<ShapeElement> shapes(u"shpTest"_s, &box);
        lines(0).Visible = false;
        shapes(0).Visible = false;
        for (int copy = 0; copy < 2; ++copy) {
            addLine(lines, 10, 10, 300, 200).DrawMode = vbXorPen;
            shapes.Load(copy + 1);
            ShapeElement& shape = shapes(copy + 1);
            shape.Move(50, 50, 120, 80);
            shape.Shape = 2;  // an oval with an opaque inside and a thick border
            shape.BackStyle = 1;
            shape.BackColor = vb::vbRed;
            shape.BorderWidth = 3;
            shape.DrawMode = vbXorPen;
            shape.Visible = true;
            if (copy == 0)
                QCOMPARE(pixelAt(box, {110, 90}), vb::vbCyan);  // red inside, xor on white
        }
        const QImage image = box.renderArea(QRect(0, 0, 400, 300));
        QImage white(image.size(), image.format());
        white.fill(Qt::white);
        QCOMPARE(image, white);
    }

    void compositionOrder()
    {
        PixelBox box;
        QImage picture(100, 100, QImage::Format_RGB32);
        picture.fill(Qt::green);
        box.setPicture(SharedImage(new QImage(picture)));
        box.FillStyle = 0;
        box.FillColor = vb::vbRed;
        box.Line(50, 0, 150, 100, vb::vbRed, LineBox::BF);  // the drawn layer over the picture
        ElementArray<LabelElement> labels(u"lblTest"_s, &box);
        ElementArray<LineElement> lines(u"lineTest"_s, &box);
        place(labels(0), 120, 40, 20, 20);  // made before the line, still shown above it
        labels(0).BackColor = vb::vbCyan;
        lines(0).X1 = 0, lines(0).Y1 = 50, lines(0).X2 = 200, lines(0).Y2 = 50;
        lines(0).BorderColor = vb::vbBlue;
        QCOMPARE(pixelAt(box, {20, 20}), vb::vbGreen);   // picture
        QCOMPARE(pixelAt(box, {80, 20}), vb::vbRed);     // layer above the picture
        QCOMPARE(pixelAt(box, {180, 20}), vb::vbWhite);  // BackColor beyond the picture
        QCOMPARE(pixelAt(box, {80, 50}), vb::vbBlue);    // element above the layer
        QCOMPARE(pixelAt(box, {130, 50}), vb::vbCyan);   // label above the line
        lines(0).Visible = false;
        QCOMPARE(pixelAt(box, {80, 50}), vb::vbRed);
    }

    void tilesEqualTheWhole()
    {
        PixelBox box;
        QImage picture(300, 250, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        box.setPicture(SharedImage(new QImage(picture)));
        box.DrawWidth = 3;
        box.Circle(150, 120, 80, vb::vbBlue);
        box.CurrentX = 30, box.CurrentY = 200;
        box.Print(u"layer text"_s);
        ElementArray<LineElement> lines(u"lineTest"_s, &box);
        ElementArray<ShapeElement> shapes(u"shpTest"_s, &box);
        ElementArray<LabelElement> labels(u"lblTest"_s, &box);
        lines(0).X1 = 5, lines(0).Y1 = 290, lines(0).X2 = 395, lines(0).Y2 = 7;
        lines(0).BorderStyle = 2;
        lines(0).BorderColor = vb::vbYellow;
        lines(0).DrawMode = vbXorPen;
        shapes(0).Move(60, 60, 150, 90);
        shapes(0).Shape = 4;
        shapes(0).BorderStyle = 3;
        shapes(0).FillStyle = 6;
        shapes(0).FillColor = vb::vbMagenta;
        labels(0).Move(170, 130);
        labels(0).AutoSize = true;
        labels(0).BorderStyle = 1;
        labels(0).Caption = u"12,345.678 m"_s;
        const QImage whole = box.renderArea(QRect(0, 0, 400, 300));
        QImage tiled(whole.size(), whole.format());
        QPainter painter(&tiled);
        for (int y = 0; y < 300; y += 70)
            for (int x = 0; x < 400; x += 130) {
                const QRect tile = QRect(x, y, 130, 70) & QRect(0, 0, 400, 300);
                painter.drawImage(tile.topLeft(), box.renderArea(tile));
            }
        painter.end();
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                if (tiled.pixel(x, y) != whole.pixel(x, y))
                    QFAIL(qPrintable(u"differs at %1,%2"_s.arg(x).arg(y)));
    }

    void onlyTheExposedPartIsComposed()
    {
        // A 2,000-pixel picture shown ten times enlarged: a 20,000-pixel map.
        PictureBox viewport(u"pictWindow"_s);
        viewport.setScaleMode(vbPixels);
        viewport.resize(300, 200);
        auto* map = new PictureBox(u"pictMap"_s, &viewport);
        map->setScaleMode(vbMillimeters);
        QImage picture(2000, 2000, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(1005, 1005, qRgb(0, 0, 255));
        const SharedImage shared(new QImage(picture));
        map->setPicture(shared);
        map->Move(-10000, -10000, 20004, 20004);
        QCOMPARE(map->deviceSize(), QSizeF(20000, 20000));
        const double side = map->ScaleX(20000, vbPixels, vbMillimeters);
        map->PaintPicture(shared, 0, 0, side, side);
        QVERIFY(exposed(viewport));
        const long before = peakKilobytes();
        const QImage shown = viewport.grab().toImage();
        QVERIFY(peakKilobytes() - before < 100 * 1024);  // a full map would take 1.6 GB
        // Picture pixel 1005 covers map pixels 10050..10059: 52..61 in the viewport.
        QCOMPARE(shown.pixelColor(2 + 57, 2 + 57), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(2 + 40, 2 + 40), QColor(Qt::white));
        QCOMPARE(map->renderArea(QRect(10000, 10000, 200, 200)).size(), QSize(200, 200));
    }

    // Drawing far beyond any device (or at undefined coordinates) on a shown
    // box repaints only the box, in integers that cannot overflow.
    void farDrawingRepaintsSafely()
    {
        PixelBox box;
        QVERIFY(exposed(box));
        box.Line(-1e30, 5, 1e30, 5, vb::vbRed);
        box.Line(std::numeric_limits<double>::quiet_NaN(), 0, 5, 5);
        box.Line(10, 10, 1e12, 3e12, vb::vbRed, LineBox::B);
        QCOMPARE(fromQColor(box.grab().toImage().pixelColor(200, 5)), vb::vbRed);
    }

    void mouseGoesToTheTopmostVisibleLabel_data()
    {
        QTest::addColumn<bool>("labelVisible");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QStringList>("expected");
        const QStringList toLabel{"label down 1", "label up 1", "label click"};
        const QStringList toBox{"box down 1", "box up 1", "box click"};
        QTest::newRow("label under a line") << true << QPoint(115, 52) << toLabel;
        QTest::newRow("line over nothing") << true << QPoint(40, 52) << toBox;
        QTest::newRow("hidden label") << false << QPoint(115, 52) << toBox;
    }
    void mouseGoesToTheTopmostVisibleLabel()
    {
        QFETCH(bool, labelVisible);
        QFETCH(QPoint, at);
        QFETCH(QStringList, expected);
        PixelBox box;
        ElementArray<LabelElement> labels(u"lblTest"_s, &box);
        ElementArray<LineElement> lines(u"lineTest"_s, &box);
        place(labels(0), 100, 40, 40, 20);
        labels(0).Visible = labelVisible;
        lines(0).X1 = 0, lines(0).Y1 = 52, lines(0).X2 = 200, lines(0).Y2 = 52;
        wire(box, labels(0));
        QVERIFY(exposed(box));
        QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(m_log, expected);
    }

    void positionsInTheirUnits()
    {
        PictureBox box(u"pictMap"_s);  // with its 2-pixel frame
        box.setScaleMode(vbMillimeters);
        box.resize(404, 304);
        LabelElement label(&box);
        place(label, 25.4f, 12.7f, 20, 10);  // 96 and 48 pixels
        QPointF boxAt, labelAt;
        int moveButtons = -1;
        box.MouseMove = [&](int b, int, double x, double y) { moveButtons = b, boxAt = {x, y}; };
        label.MouseDown = [&](int, int, int, float x, float y) { labelAt = {x, y}; };
        QVERIFY(exposed(box));
        QTest::mouseMove(&box, QPoint(2 + 96, 2 + 192));  // no button held
        QTRY_COMPARE(moveButtons, 0);
        QCOMPARE(boxAt.x(), 25.4);
        QCOMPARE(boxAt.y(), 50.8);
        const QPointF corner = label.deviceRect().topLeft() + QPointF(2, 2);
        QTest::mousePress(&box, Qt::LeftButton, Qt::NoModifier, (corner + QPointF(6, 3)).toPoint());
        QVERIFY(qAbs(labelAt.x() - 6 * 15.0) < 1);  // twips
        QVERIFY(qAbs(labelAt.y() - 3 * 15.0) < 1);
        QTest::mouseRelease(&box, Qt::LeftButton, Qt::NoModifier, (corner + QPointF(6, 3)).toPoint());
    }

    void doubleClickOrderAndCapture()
    {
        PixelBox box;
        LabelElement label(&box);
        place(label, 100, 40, 40, 20);
        wire(box, label);
        QVERIFY(exposed(box));
        const QPoint on(110, 50), off(300, 250);
        send(box, QEvent::MouseButtonPress, on, Qt::LeftButton);
        send(box, QEvent::MouseButtonRelease, on, Qt::NoButton);
        send(box, QEvent::MouseButtonDblClick, on, Qt::LeftButton);
        send(box, QEvent::MouseButtonRelease, on, Qt::NoButton);
        QCOMPARE(m_log, QStringList({"label down 1", "label up 1", "label click", "label dblclick", "label up 1"}));
        // Pressed on the label, released elsewhere: the label keeps the mouse, no click.
        m_log.clear();
        send(box, QEvent::MouseButtonPress, on, Qt::LeftButton);
        send(box, QEvent::MouseMove, off, Qt::LeftButton);
        send(box, QEvent::MouseButtonRelease, off, Qt::NoButton);
        QCOMPARE(m_log, QStringList({"label down 1", "label move 1", "label up 1"}));
        m_log.clear();
        send(box, QEvent::MouseButtonPress, off, Qt::LeftButton);
        send(box, QEvent::MouseButtonRelease, off, Qt::NoButton);
        send(box, QEvent::MouseButtonDblClick, off, Qt::LeftButton);
        send(box, QEvent::MouseButtonRelease, off, Qt::NoButton);
        QCOMPARE(m_log, QStringList({"box down 1", "box up 1", "box click", "box dblclick", "box up 1"}));
    }

    void labelTooltip()
    {
        PixelBox box;
        LabelElement label(&box);
        place(label, 100, 40, 40, 20);
        label.ToolTipText = u"区間 A-B"_s;
        QVERIFY(exposed(box));
        QHelpEvent help(QEvent::ToolTip, QPoint(110, 50), box.mapToGlobal(QPoint(110, 50)));
        QApplication::sendEvent(&box, &help);
        QTRY_COMPARE(QToolTip::text(), u"区間 A-B"_s);
    }

    void loadPicture()
    {
        QTemporaryDir dir;
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(dir.filePath("a.bmp")));
        // A JPEG whose EXIF orientation says "turn 90 degrees".
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "JPEG"));
        QByteArray jpeg = buffer.data();
        jpeg.insert(2, QByteArray::fromHex("ffe10022457869660000" "4d4d002a00000008" "0001"
                                           "011200030000000100060000" "00000000"));
        const auto put = [&](const char* name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
        };
        QVERIFY(!put("a.jpg", jpeg).isEmpty());
        for (const char* name : {"a.bmp", "a.jpg"}) {
            const SharedImage loaded = LoadPicture(dir.filePath(name));
            QCOMPARE(loaded->format(), QImage::Format_RGB32);
            QCOMPARE(loaded->size(), QSize(40, 20));  // as stored, never turned
        }
        // A one-pixel red GIF (the toolkit writes none).
        const QString gif = put("a.gif", QByteArray::fromHex("4749463837610100010080000" "0ff0000000000"
                                                             "2c00000000010001000002024401003b"));
        QVERIFY(!gif.isEmpty());
        const SharedImage fromGif = LoadPicture(gif);
        QCOMPARE(fromGif->format(), QImage::Format_RGB32);
        QCOMPARE(fromGif->pixelColor(0, 0), QColor(Qt::red));

        // A GIF claiming 20,000 x 20,000 pixels is refused before decoding.
        const QString huge = put("huge.gif", QByteArray::fromHex("474946383961204e204e800000ff0000000000"
                                                                 "2c00000000204e204e0002024401003b"));
        const QString junk = put("junk.jpg", "not a picture");
        QVERIFY(!huge.isEmpty() && !junk.isEmpty());
        const struct { QString path; long number; } failures[] = {
            {huge, 481}, {junk, 481}, {dir.filePath("none.bmp"), 53}};
        for (const auto& f : failures) {
            const vb::Error e = testsupport::raisedError([&] { LoadPicture(f.path); });
            QCOMPARE(e.number(), f.number);
            QVERIFY(!e.description().isEmpty());
            if (f.path == huge)
                QCOMPARE(e.description(), QStringLiteral("画像ファイル huge.gif は 20000 x 20000 ピクセルあり、"
                                                         "表示できる大きさ（268435456 ピクセル）を超えています。"));
            if (f.path == junk)
                QVERIFY2(e.description().startsWith(u"画像ファイル junk.jpg を読み込めません。（"_s),
                         qPrintable(e.description()));
        }
    }

    // Files cut short are told from whole ones by their own structure,
    // whatever the reader makes of them; data after a whole picture is no
    // fault, nor is a file that is no picture (the reader refuses that).
    void cutShortPictures()
    {
        QTemporaryDir dir;
        QImage noise(300, 200, QImage::Format_RGB32);
        QRandomGenerator random(3);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, random.generate() | 0xff000000u);
        const auto encoded = [&](const char* format, bool progressive = false) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, format);
            writer.setProgressiveScanWrite(progressive);
            writer.write(noise);
            return buffer.data();
        };
        const QByteArray jpeg = encoded("JPEG"), progressive = encoded("JPEG", true), bmp = encoded("BMP");
        // An EXIF block whose own thumbnail ends with an end-of-image marker.
        QByteArray withThumb = jpeg;
        withThumb.insert(2, QByteArray::fromHex("ffe1000e457869660000ffd8ffd9ffd9"));
        const QByteArray gif = QByteArray::fromHex("4749463837610100010080000" "0ff0000000000"
                                                   "2c00000000010001000002024401003b");
        // A header announcing 2147483647 x 2147483647 pixels at 32 bits, and four bytes of them.
        const QByteArray hugeBmp = QByteArray::fromHex("424d" "3a000000" "00000000" "36000000"
                                                       "28000000" "ffffff7f" "ffffff7f" "0100" "2000" "00000000"
                                                       "00000000" "00000000" "00000000" "00000000" "00000000"
                                                       "000000ff");
        const struct {
            const char* name;
            QByteArray bytes;
            bool cut;
        } rows[] = {
            {"jpeg whole", jpeg, false},
            {"jpeg with data after its end", jpeg + QByteArray(5000, '\xff') + "trailer", false},
            {"jpeg cut in its data", jpeg.left(jpeg.size() / 2), true},
            {"jpeg without its end marker", jpeg.chopped(2), true},
            {"jpeg cut after an inner end marker", withThumb.left(40), true},
            {"progressive jpeg whole", progressive, false},
            {"progressive jpeg cut", progressive.left(progressive.size() * 3 / 4), true},
            {"bmp whole", bmp, false},
            {"bmp one byte short", bmp.chopped(1), true},
            {"bmp cut in its header", bmp.left(20), true},
            {"bmp announcing more than a file can hold", hugeBmp, true},
            {"gif whole", gif, false},
            {"gif without its trailer", gif.chopped(1), false},
            {"gif cut in its picture", gif.chopped(3), true},
            {"text", "just some text", false},
        };
        // Seeds for the fuzzer of these checks: the same rows as files.
        const QString corpus = qEnvironmentVariable("NEMU_PICTURE_CORPUS");
        for (const auto& row : rows) {
            if (!corpus.isEmpty()) {
                QVERIFY(QDir().mkpath(corpus));
                QFile seed(QDir(corpus).filePath(QString::fromLatin1(row.name)));
                QVERIFY(seed.open(QIODevice::WriteOnly) && seed.write(row.bytes) == row.bytes.size());
            }
            const QString path = dir.filePath(QString::fromLatin1(row.name));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(row.bytes) == row.bytes.size());
            file.close();
            QVERIFY2(pictureCutShort(path) == row.cut, row.name);
        }
        QVERIFY(!pictureCutShort(dir.filePath("none.jpg")));
    }
};

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
