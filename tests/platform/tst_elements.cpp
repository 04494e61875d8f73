#include "platform/colors.h"
#include "platform/elements.h"
#include "platform/vberror.h"
#include "tests/support/testsupport.h"

#include <QPaintEvent>
#include <QtTest>

using namespace platform;
using testsupport::errorOf;

namespace {

// A map box in millimetres that records what it was asked to repaint.
class ProbeBox : public PictureBox {
public:
    ProbeBox() : PictureBox(QStringLiteral("pictMap"))
    {
        setScaleMode(vbMillimeters);
        resize(400, 300);
    }
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        painted += event->region();
        PictureBox::paintEvent(event);
    }
};

// A box one unit a pixel, with no frame, holding one shape.
struct ShapeBox : PictureBox {
    ElementArray<ShapeElement> shapes{QStringLiteral("shpTest"), this};
    ShapeElement& shape = shapes(0);
    ShapeBox(float left, float top, float width, float height) : PictureBox(QStringLiteral("pictTest"))
    {
        setBorderStyle(0);
        resize(200, 200);
        setScaleMode(vbPixels);
        shape.Move(left, top, width, height);
    }
    // What is painted unlike white in the area.
    testsupport::Slants painted(const QRect& area = QRect(0, 0, 200, 200))
    {
        return testsupport::slantsOf(renderArea(area), [](QRgb c) { return c != qRgb(255, 255, 255); });
    }
};

}  // namespace

class TestElements : public QObject {
    Q_OBJECT

private slots:
    void loadCopiesElementZeroAndStartsHidden()
    {
        ProbeBox box;
        ElementArray<LineElement> lines(QStringLiteral("lineDsSave"), &box);
        QVERIFY(lines(0).Visible);  // a fresh element shows, as the runtime's default
        lines(0).X2 = 12.5f;
        lines(0).BorderColor = 65535;
        lines(0).DrawMode = vbXorPen;
        lines(0).Tag = QStringLiteral("X_240101120000");
        lines.Load(1);
        QCOMPARE(lines(1).X2.get(), 12.5f);
        QCOMPARE(lines(1).BorderColor.get(), 65535);
        QCOMPARE(lines(1).DrawMode.get(), int(vbXorPen));
        QCOMPARE(lines(1).Tag, QStringLiteral("X_240101120000"));
        QCOMPARE(lines(1).Name, QStringLiteral("lineDsSave"));
        QCOMPARE(lines(1).Index, 1);
        QVERIFY(!lines(1).Visible);

        ElementArray<ShapeElement> shapes(QStringLiteral("shpSnpo"), &box);
        shapes(0).Move(1, 2, 3, 4);
        shapes(0).Shape = 3;
        shapes(0).FillStyle = 0;
        shapes.Load(1);
        QCOMPARE(shapes(1).Width(), 3.0f);
        QCOMPARE(shapes(1).Height(), 4.0f);
        QCOMPARE(shapes(1).Shape.get(), 3);
        QCOMPARE(shapes(1).FillStyle.get(), 0);
        QVERIFY(!shapes(1).Visible);

        ElementArray<LabelElement> labels(QStringLiteral("lblKyori"), &box);
        labels(0).Caption = QStringLiteral("12.3m");
        labels(0).FontSize = 10.5;
        labels(0).FontName = QStringLiteral("Sans");
        labels(0).ToolTipText = QStringLiteral("comment");
        labels(0).Visible = false;
        int created = 0;
        labels.setOnCreate([&](LabelElement&) { ++created; });
        QCOMPARE(created, 1);  // element 0 takes the handlers too
        labels.Load(3);
        QCOMPARE(created, 2);
        QCOMPARE(labels(3).Caption.get(), QStringLiteral("12.3m"));
        QCOMPARE(labels(3).FontSize.get(), 10.5);
        QCOMPARE(labels(3).FontName.get(), QStringLiteral("Sans"));
        QCOMPARE(labels(3).ToolTipText.get(), QStringLiteral("comment"));
        QCOMPARE(labels.UBound(), 3);
        QVERIFY(!labels.exists(2));
    }

    void arrayLifeAndItsErrors()
    {
        PictureBox box(QStringLiteral("pictMap"));
        ElementArray<LineElement> lines(QStringLiteral("linePS"), &box);
        lines.Load(1);
        lines.Load(2);
        QCOMPARE(testsupport::raisedError([&] { lines.Load(2); }).description(),
                 QStringLiteral("オブジェクトは既に読み込まれています。"));
        QCOMPARE(errorOf([&] { lines.Load(2); }), 360L);
        QCOMPARE(testsupport::raisedError([&] { lines.Unload(0); }).description(),
                 QStringLiteral("デザイン時に作成したコントロールはアンロードできません。"));
        QCOMPARE(errorOf([&] { lines.Unload(0); }), 362L);
        QCOMPARE(errorOf([&] { lines.Unload(5); }), 340L);
        const vb::Error missing = testsupport::raisedError([&] { lines(5); });
        QCOMPARE(missing.number(), 340L);
        QCOMPARE(missing.description(), QStringLiteral("コントロール配列の要素 '5' は存在しません。 (linePS)"));
        QCOMPARE(box.elements().size(), 3);
        lines.Unload(2);
        QCOMPARE(lines.UBound(), 1);
        QCOMPARE(lines.Count(), 2);
        QCOMPARE(box.elements().size(), 2);  // the unloaded element left the box
        lines.Unload(1);
        QCOMPARE(lines.UBound(), 0);
        QVERIFY(lines.exists(0));

        // A box that goes before its elements leaves them harmless.
        auto* gone = new PictureBox(QStringLiteral("pictGone"));
        ElementArray<LabelElement> labels(QStringLiteral("lblMoji"), gone);
        delete gone;
        labels.Load(1);
        labels(1).Caption = QStringLiteral("x");
        labels(1).Visible = true;
        QCOMPARE(labels(1).deviceBounds(), QRectF());
    }

    void negativeSizeRaisesInvalidPropertyValue_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("shape width") << 0;
        QTest::newRow("shape height") << 1;
        QTest::newRow("shape move") << 2;
        QTest::newRow("label width") << 3;
    }
    void negativeSizeRaisesInvalidPropertyValue()
    {
        QFETCH(int, which);
        PictureBox box(QStringLiteral("pictMap"));
        ShapeElement shape(&box);
        LabelElement label(&box);
        shape.Move(1, 1, 5, 6);
        const vb::Error e = testsupport::raisedError([&] {
            switch (which) {
            case 0: shape.setWidth(-1); break;
            case 1: shape.setHeight(-0.5f); break;
            case 2: shape.Move(2, 2, 4, -4); break;
            default: label.setWidth(-3); break;
            }
        });
        QCOMPARE(e.number(), 380L);
        QCOMPARE(e.description(), QStringLiteral("プロパティの値が不正です。"));
        // Nothing changed by the refused call.
        QCOMPARE(shape.Left.get(), 1.0f);
        QCOMPARE(shape.Width(), 5.0f);
        QCOMPARE(shape.Height(), 6.0f);
    }

    // Every fill style paints the inside (1 is transparent) as its caption
    // says: 4's diagonals fall to the right, 5's rise, the straight lines
    // neither.
    void shapeFillStyles_data()
    {
        QTest::addColumn<int>("fillStyle");
        QTest::addColumn<bool>("rising");
        QTest::addColumn<bool>("falling");
        QTest::newRow("0 solid") << 0 << true << true;
        QTest::newRow("1 transparent") << 1 << false << false;
        QTest::newRow("2 horizontal") << 2 << false << false;
        QTest::newRow("3 vertical") << 3 << false << false;
        QTest::newRow("4 falling to the right") << 4 << false << true;
        QTest::newRow("5 rising to the right") << 5 << true << false;
        QTest::newRow("6 cross") << 6 << true << true;  // where the lines cross
        QTest::newRow("7 diagonal cross") << 7 << true << true;
    }
    void shapeFillStyles()
    {
        QFETCH(int, fillStyle);
        QFETCH(bool, rising);
        QFETCH(bool, falling);
        ShapeBox box(20, 20, 100, 100);
        box.shape.BorderStyle = 0;
        box.shape.FillStyle = fillStyle;
        box.shape.FillColor = vb::vbBlue;
        const testsupport::Slants inside = box.painted(QRect(30, 30, 80, 80));
        QCOMPARE(inside.pixels.isEmpty(), fillStyle == 1);
        QCOMPARE(inside.rising > 0, rising);
        QCOMPARE(inside.falling > 0, falling);
    }

    // The styled outline of a flat oval passes some pixels twice (its curve
    // flattened to short pieces): drawn exclusive-or it still shows each
    // pixel the copy shows.
    void styledOutlineInExclusiveOr_data()
    {
        QTest::addColumn<int>("borderStyle");
        QTest::newRow("dashed") << 2;
        QTest::newRow("dotted") << 3;
    }
    void styledOutlineInExclusiveOr()
    {
        QFETCH(int, borderStyle);
        ShapeBox box(20, 20, 150, 5);
        box.shape.Shape = 2;
        box.shape.BorderStyle = borderStyle;
        box.shape.BorderColor = vb::vbBlue;
        const QList<QPoint> copied = box.painted().pixels;
        box.shape.DrawMode = vbXorPen;
        QVERIFY(copied.size() > 100);
        QCOMPARE(box.painted().pixels, copied);
    }

    void assignmentRepaintsOldAndNewPlace()
    {
        ProbeBox box;
        LineElement line(&box);
        line.X1 = 5;
        line.Y1 = 5;
        line.X2 = 20;
        line.Y2 = 5;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCoreApplication::processEvents();
        box.painted = QRegion();
        const QPoint oldPlace = (box.toDevice(12, 5) + QPointF(2, 2)).toPoint();
        line.Y1 = 40;
        line.Y2 = 40;
        QTRY_VERIFY(!box.painted.isEmpty());
        QVERIFY(box.painted.contains(oldPlace));
        QVERIFY(box.painted.contains((box.toDevice(12, 40) + QPointF(2, 2)).toPoint()));
        QVERIFY(!box.painted.contains(QPoint(390, 290)));  // only what changed
    }

    void autoSizeFollowsCaptionAndFont()
    {
        ProbeBox box;
        box.resize(600, 400);
        LabelElement label(&box);
        label.AutoSize = true;
        label.Caption = QStringLiteral("1,234.5 m");
        const float narrow = label.Width();
        const float lineHeight = label.Height();
        QVERIFY(narrow > 0 && lineHeight > 0);
        label.Caption = QStringLiteral("1,234.5 m and some more text");
        QVERIFY(label.Width() > narrow);
        label.FontSize = 18;
        QVERIFY(label.Height() > lineHeight);
        // WordWrap keeps the width and lets the height grow.
        label.WordWrap = true;
        label.FontSize = 9;
        label.setWidth(narrow);
        QCOMPARE(label.Width(), narrow);
        QVERIFY(label.Height() > lineHeight * 1.5f);
        // Without AutoSize the size is the one set.
        label.AutoSize = false;
        label.setHeight(3);
        QCOMPARE(label.Height(), 3.0f);
    }

    void alignmentInAWiderBox()
    {
        // The text's ink sits at the left, the middle or the right of a box
        // much wider than it.
        ShapeBox box(0, 0, 0, 0);
        box.shape.Visible = false;
        LabelElement label(&box);
        label.Caption = QStringLiteral("WWW");
        label.Move(20, 20);
        label.setWidth(160);
        label.setHeight(20);
        const auto inkMiddle = [&box] {
            const QImage image = box.renderArea(QRect(0, 0, 200, 60));
            int first = -1, last = -1;
            for (int x = 0; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                        first = first < 0 ? x : first;
                        last = x;
                    }
            return (first + last) / 2.0;
        };
        const QList<std::pair<int, double>> expected{{0, 30}, {2, 100}, {1, 170}};
        for (const auto& [alignment, middle] : expected) {
            label.Alignment = alignment;
            QVERIFY2(qAbs(inkMiddle() - middle) < 12, qPrintable(QString::number(inkMiddle())));
        }
    }
};

QTEST_MAIN(TestElements)
#include "tst_elements.moc"
