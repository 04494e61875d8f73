// Keeping many elements on a box: creation order through removals and
// reloads, the array's bounds, and repaints of elements changed while the
// box took no repaint requests (not shown, or wholly waiting for its paint).

#include "platform/colors.h"
#include "platform/elements.h"
#include "platform/vberror.h"
#include "tests/support/testsupport.h"

#include <QPaintEvent>
#include <QtTest>

using namespace platform;
using testsupport::errorOf;

namespace {

// A 400 x 300 pixel box that records what it was asked to repaint.
class ProbeBox : public PictureBox {
public:
    ProbeBox() : PictureBox(QStringLiteral("pictTest"))
    {
        setBorderStyle(0);
        resize(400, 300);
        setScaleMode(vbPixels);
    }
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        painted += event->region();
        PictureBox::paintEvent(event);
    }
};

qint32 pixelAt(const PictureBox& box, QPoint device)
{
    return fromQColor(box.renderArea(QRect(device, QSize(1, 1))).pixelColor(0, 0));
}

void place(LineElement& line, float y, qint32 color)
{
    line.X1 = 10, line.Y1 = y, line.X2 = 300, line.Y2 = y;
    line.BorderColor = color;
    line.Visible = true;
}

constexpr qint32 kRed = 0x0000FF, kBlue = 0xFF0000;

}  // namespace

class TestElementUpkeep : public QObject {
    Q_OBJECT

private slots:
    // Removing most of many elements and loading new ones keeps the box's
    // list in creation order: a newer element paints above an older one and
    // takes the mouse first, whatever its index.
    void creationOrderSurvivesRemovals()
    {
        auto* box = new ProbeBox;
        ElementArray<LineElement> lines(QStringLiteral("linePS"), box);
        ElementArray<LabelElement> labels(QStringLiteral("lblMoji"), box);
        for (int k = 1; k <= 300; ++k) {
            lines.Load(k);
            place(lines(k), float(k % 250), kRed);
        }
        for (int k = 1; k <= 300; ++k) {
            if (k % 3 != 0)
                lines.Unload(k);
        }
        QCOMPARE(lines.Count(), 101);
        QList<Element*> expected{&lines(0), &labels(0)};
        for (int k = 3; k <= 300; k += 3)
            expected << &lines(k);
        QCOMPARE(box->elements(), expected);

        lines.Load(1);  // the newest element, on the same row as line 30
        place(lines(1), 30, kBlue);
        QCOMPARE(box->elements().last(), &lines(1));
        QCOMPARE(pixelAt(*box, QPoint(50, 30)), kBlue);
        QCOMPARE(pixelAt(*box, QPoint(50, 33)), kRed);

        for (int k : {1, 2}) {
            labels.Load(k);
            labels(k).Move(100, 100);
            labels(k).setWidth(50);
            labels(k).setHeight(20);
            labels(k).Visible = true;
        }
        for (int k = 3; k <= 150; k += 3)
            lines.Unload(k);
        QCOMPARE(box->labelAt(QPointF(110, 110)), &labels(2));
        labels.Unload(2);
        QCOMPARE(box->labelAt(QPointF(110, 110)), &labels(1));

        // The box going first leaves the remaining elements harmless.
        delete box;
        lines(1).Y1 = 5;
        QCOMPARE(lines(1).deviceBounds(), QRectF());
    }

    void arrayBoundsFollowTheHighestElement()
    {
        PictureBox box(QStringLiteral("pictMap"));
        ElementArray<ShapeElement> shapes(QStringLiteral("shpShape"), &box);
        shapes.Load(1);
        shapes.Load(5);
        QCOMPARE(shapes.UBound(), 5);
        shapes.Unload(5);  // the indices between are not loaded
        QCOMPARE(shapes.UBound(), 1);
        QCOMPARE(shapes.Count(), 2);
        QVERIFY(!shapes.exists(-1) && !shapes.exists(2) && !shapes.exists(40000));
        QCOMPARE(errorOf([&] { shapes(-1); }), 340L);
        QCOMPARE(errorOf([&] { shapes.Load(-1); }), long(vb::errSubscript));
        QCOMPARE(errorOf([&] { shapes.Load(32768); }), long(vb::errSubscript));
        shapes.Load(32767);
        QCOMPARE(shapes.UBound(), 32767);
        shapes.Unload(32767);
        shapes.Unload(1);
        QCOMPARE(shapes.UBound(), 0);
        QCOMPARE(box.elements().size(), 1);
    }

    // An element changed while its box took no repaints is repainted at the
    // place it was shown when it moves on afterwards.
    void changesUnseenAreRepaintedLater_data()
    {
        QTest::addColumn<bool>("whileHidden");
        QTest::newRow("box not yet shown") << true;
        QTest::newRow("whole box waiting for its paint") << false;
    }
    void changesUnseenAreRepaintedLater()
    {
        QFETCH(bool, whileHidden);
        ProbeBox box;
        ElementArray<LineElement> lines(QStringLiteral("lineDsSave"), &box);
        ElementArray<ShapeElement> marks(QStringLiteral("shpSnpo"), &box);
        lines(0).Visible = false;
        ShapeElement& mark = marks(0);
        mark.FillStyle = 0;
        mark.FillColor = kBlue;
        mark.Move(200, 20, 10, 10);
        if (!whileHidden) {
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            QCoreApplication::processEvents();
            for (int k = 1; k <= 80; ++k) {  // more requests than the box keeps apart
                lines.Load(k);
                place(lines(k), 150 + float(k), kRed);
            }
        }
        mark.Move(20, 100, 10, 10);  // the place it shows at from now on
        if (whileHidden) {
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
        }
        QTRY_VERIFY(box.painted.contains(QPoint(350, 290)));  // the whole box was painted
        QCoreApplication::processEvents();
        box.painted = QRegion();
        mark.Move(300, 40, 10, 10);
        QTRY_VERIFY(!box.painted.isEmpty());
        QVERIFY(box.painted.contains(QPoint(25, 105)));  // the old place
        QVERIFY(box.painted.contains(QPoint(305, 45)));
        QVERIFY(!box.painted.contains(QPoint(390, 290)));  // only what changed
        QCOMPARE(pixelAt(box, QPoint(305, 45)), kBlue);
        QCOMPARE(pixelAt(box, QPoint(25, 105)), 0xFFFFFF);
    }
};

QTEST_MAIN(TestElementUpkeep)
#include "tst_element_upkeep.moc"
