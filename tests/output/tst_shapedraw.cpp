#include "output/shapedraw.h"

#include <QtTest>

using namespace platform;
using mdlShapeDraw::ShapeLook;

namespace {

// A surface in millimetres at 96 dpi that only keeps what was drawn.
class Recorder : public PictureLayer {
public:
    Recorder() : PictureLayer([] { return QSizeF(400, 300); }) { setScaleMode(vbMillimeters); }
};

constexpr double kPxPerMm = 96.0 / 25.4;

}  // namespace

class TestShapeDraw : public QObject {
    Q_OBJECT
private slots:
    void shapeSteps_data();
    void shapeSteps();
    void labelFrame();
};

void TestShapeDraw::shapeSteps_data()
{
    QTest::addColumn<bool>("circle");
    QTest::addColumn<int>("backStyle");
    QTest::addColumn<int>("fillStyle");
    // Per command: kind, colour, draw mode, fill style.
    QTest::addColumn<QList<QList<int>>>("steps");
    const int box = DrawCommand::Box, ellipse = DrawCommand::Ellipse;
    QTest::newRow("box, transparent, no fill") << false << 0 << 1 << QList<QList<int>>{{box, 0x0000FF, 9, 1}};
    QTest::newRow("box, transparent, pattern") << false << 0 << 4 << QList<QList<int>>{{box, 0x0000FF, 9, 4}};
    QTest::newRow("box, opaque") << false << 1 << 4
                                 << QList<QList<int>>{{box, 0x00FF00, 9, 4}, {box, 0x0000FF, 7, 4}, {box, 0x0000FF, 9, 4}};
    QTest::newRow("ellipse, transparent") << true << 0 << 1 << QList<QList<int>>{{ellipse, 0x0000FF, 9, 1}};
    QTest::newRow("ellipse, opaque")
        << true << 1 << 4
        << QList<QList<int>>{{ellipse, 0x00FF00, 9, 0}, {ellipse, 0x0000FF, 10, 4}, {ellipse, 0x0000FF, 9, 4}};
}

void TestShapeDraw::shapeSteps()
{
    QFETCH(bool, circle);
    QFETCH(int, backStyle);
    QFETCH(int, fillStyle);
    QFETCH(QList<QList<int>>, steps);
    Recorder surface;
    ShapeLook look;
    look.BackStyle = backStyle;
    look.BackColor = 0x00FF00;
    look.FillStyle = fillStyle;
    look.FillColor = 0xFF0000;
    look.BorderColor = 0x0000FF;
    look.DrawMode = vbMaskPen;
    // The caller's pen: the shape's own fill and draw mode.
    surface.DrawMode = look.DrawMode;
    surface.FillStyle = look.FillStyle;
    surface.FillColor = look.FillColor;
    if (circle)
        mdlShapeDraw::subDraw_ShapeCircle(surface, look, 20, 10, 20, 0.5);
    else
        mdlShapeDraw::subDraw_ShapeBox(surface, look, 10, 20, 30, 40);
    const auto& commands = surface.commands();
    QCOMPARE(int(commands.size()), int(steps.size()));
    for (size_t k = 0; k < commands.size(); ++k) {
        const DrawCommand& c = commands[k];
        const QList<int>& want = steps[qsizetype(k)];
        QCOMPARE(int(c.kind), want[0]);
        QCOMPARE(int(c.color), want[1]);
        QCOMPARE(c.drawMode, want[2]);
        if (c.kind == DrawCommand::Box && c.filledWithPen)
            continue;  // a filled box takes its colour, not the fill
        QCOMPARE(c.fillStyle, want[3]);
        if (c.kind == DrawCommand::Ellipse) {
            // Radius 20 with aspect 0.5: 40 wide, 20 high around (20, 10).
            QCOMPARE(c.rect.width() / kPxPerMm, 40.0);
            QCOMPARE(c.rect.height() / kPxPerMm, 20.0);
            QCOMPARE(c.rect.center() / kPxPerMm, QPointF(20, 10));
        } else {
            QCOMPARE(c.rect.topLeft() / kPxPerMm, QPointF(10, 20));
        }
    }
    QCOMPARE(surface.DrawMode, vbMaskPen);
}

void TestShapeDraw::labelFrame()
{
    // 30 twips outside on the picture are 2 pixels at 96 dpi.
    Recorder surface;
    const double x1 = 30 / kPxPerMm, y1 = 15 / kPxPerMm, x2 = 90 / kPxPerMm, y2 = 35 / kPxPerMm;
    mdlShapeDraw::subDraw_LabelFrame(surface, x1, y1, x2, y2, mdlShapeDraw::kFrameOuterPicture);
    const auto& c = surface.commands();
    QCOMPARE(int(c.size()), 8);
    const QList<qint32> colours{0x404040, 0x404040, 0, 0, 0x808080, 0x808080, 0xFFFFFF, 0xFFFFFF};
    for (int k = 0; k < 8; ++k) {
        QCOMPARE(int(c[size_t(k)].kind), int(DrawCommand::Segment));
        QCOMPARE(c[size_t(k)].color, colours[k]);
    }
    // Twips are not whole pixels.
    auto near = [](QPointF a, QPointF b) { return std::abs(a.x() - b.x()) < 1e-3 && std::abs(a.y() - b.y()) < 1e-3; };
    QVERIFY(near(c[0].p1, {28, 13}) && near(c[0].p2, {90, 13}));
    QVERIFY(near(c[1].p2, {28, 35}));
    QVERIFY(near(c[6].p1, {28, 35}) && near(c[6].p2, {90, 35}));  // the bottom edge, white
    // The printer's frame lies 20 twips out.
    Recorder printer;
    mdlShapeDraw::subDraw_LabelFrame(printer, x1, y1, x2, y2, mdlShapeDraw::kFrameOuterPrinter);
    QVERIFY(near(printer.commands()[0].p1, {30 - 20.0 / 15, 15 - 20.0 / 15}));
}

QTEST_MAIN(TestShapeDraw)
#include "tst_shapedraw.moc"
