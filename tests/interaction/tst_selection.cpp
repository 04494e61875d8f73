// Selecting and dragging on the editor's elements: the hit tests over the
// element arrays, Shift read from the keyboard, the grip squares, the drag
// steps and the re-laying of a side's distance object.

#include "tests/editor/editorfixture.h"

#include "app/mdlFileAccess.h"
#include "interaction/grips.h"
#include "platform/keyboard.h"

#include <QtTest>

using namespace editortest;
using namespace platform;

namespace {

const QString Id = QStringLiteral("240305060708");

void shift(bool down) { platform::setKeyDown(vb::vbKeyShift, down); }

bool near(double a, double b) { return qAbs(a - b) <= 0.001; }

QPointF centreOf(const ShapeElement& s) { return {s.Left + s.Width() / 2, s.Top + s.Height() / 2}; }

bool at(const QPointF& p, double x, double y) { return near(p.x(), x) && near(p.y(), y); }

void box(LabelElement& label, float left, float top, float width, float height)
{
    label.AutoSize = false;
    label.Move(left, top);
    label.setWidth(width);
    label.setHeight(height);
    label.Visible = true;
}

template <class T>
T& loaded(ElementArray<T>& a, int k)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Visible = true;
    return a(k);
}

}  // namespace

class TestSelection : public QObject {
    Q_OBJECT

    editortest::Session m_session;

    static frmEdit& openEditor()
    {
        GE_tpPrint = typPrint{};
        GE_sngZoom = 1.0f;
        return Fixture::open();
    }

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init()
    {
        QVERIFY(m_session.begin());
        platform::clearForcedKeys();
        shift(false);
    }
    void cleanup()
    {
        platform::clearForcedKeys();
        m_session.end();
    }

    void hitTestsWalkTheArrays()
    {
        frmEdit& e = openEditor();
        qint16 grip = 7;
        QCOMPARE(e.fncHit_LineEnd(e.lineHikidashi, 0, 0, grip), -1);  // nothing visible
        QCOMPARE(grip, qint16(-1));
        // Of overlapping lines the lowest visible index; a hidden one never.
        for (int k = 0; k <= 2; ++k) {
            LineElement& l = loaded(e.lineHikidashi, k);
            l.X1 = 50, l.Y1 = 50, l.X2 = 90, l.Y2 = 70;
        }
        e.lineHikidashi(0).Visible = false;
        QCOMPARE(e.fncHit_LineEnd(e.lineHikidashi, 89, 71, grip), 1);
        QCOMPARE(grip, qint16(2));
        // A shape 2.0 wide has no inside: the next one is found.
        loaded(e.shpShape, 0).Move(30, 40, 2, 20);
        loaded(e.shpShape, 1).Move(30, 40, 20, 20);
        QCOMPARE(e.fncHit_Rect(e.shpShape, 31.01f, 50, grip), 1);
        QCOMPARE(grip, qint16(0));
        QCOMPARE(e.fncHit_ShapeGrip(e.shpShape, 30.99f, 50, grip), 0);
        QCOMPARE(grip, qint16(5));
        box(e.lblMoji(0), 30, 40, 20, 5);
        QCOMPARE(e.fncHit_LabelGrip(e.lblMoji, 28.5f, 38.5f, grip), 0);
        QCOMPARE(grip, qint16(1));
        // A calibration marker is large enough to be taken in its middle.
        ShapeElement& marker = e.shpCheck(1);
        marker.Left = 60 - marker.Width() / 2;
        marker.Top = 70 - marker.Height() / 2;
        marker.Visible = true;
        QCOMPARE(e.fncHit_Rect(e.shpCheck, 60, 70, grip), 1);
    }

    void extensionLinesAcrossASlope()
    {
        frmEdit& e = openEditor();
        e.subHojo_Start(e.lineHojo, 0, 0);
        e.subHojo_Layout(e.lineHojo, 0, 0, 30, 40, 15);
        const QList<QPointF> ends{{12, -9}, {42, 31}, {-12, 9}, {18, 49}};
        for (int k = 0; k <= 3; ++k)
            QVERIFY(at(QPointF(e.lineHojo(k).X2, e.lineHojo(k).Y2), ends[k].x(), ends[k].y()));
    }

    void shiftComesFromTheKeyboard()
    {
        frmEdit& e = openEditor();
        float x = 150, y = 110;
        e.subShift_Point(100, 100, x, y, x, y);
        QVERIFY(x == 150 && y == 110);
        ShapeElement& s = e.shpShape(0);
        s.Move(100, 40, 50, 20);
        e.subShift_Square(s, 0, 125, 45);
        QCOMPARE(s.Left.get(), 100.0f);
        shift(true);
        e.subShift_Point(100, 100, x, y, x, y);
        QVERIFY(near(x, 110) && near(y, 110));
        e.subShift_Square(s, 1, 125, 45);  // a flag other than 0 does nothing
        QCOMPARE(s.Left.get(), 100.0f);
        e.subShift_Square(s, 0, 125, 45);
        QVERIFY(near(s.Left, 75) && near(s.Top, 45));
        LabelElement& l = e.lblMoji(0);
        box(l, 200, 50, 40, 6);
        e.subShift_LabelDown(l, 0, 10, 5);
        QVERIFY(near(l.Left, 210) && near(l.Top, 49));
        e.subShift_LabelDown(l, 0, 20, 1);
        QVERIFY(near(l.Left, 190) && near(l.Top, 50));
    }

    void gripSquares()
    {
        frmEdit& e = openEditor();
        // As the window makes them: 105 twips, yellow, Xor, hollow, black fill, hidden.
        for (int k = 0; k <= 3; ++k) {
            const ShapeElement& g = e.shpPointer(k);
            QVERIFY(near(g.Width(), 105 / 56.6929) && near(g.Height(), g.Width()));
            QVERIFY(g.BorderColor == 0xFFFF && g.BorderWidth == 1 && g.DrawMode == vbXorPen);
            QVERIFY(g.FillStyle == 1 && g.FillColor == 0 && g.Shape == 0 && !g.Visible);
        }
        QCOMPARE(e.shpPointer.UBound(), 3);
        // A label's layout sits outside it, whatever the grips' size.
        LabelElement& l = e.lblMoji(0);
        box(l, 30, 40, 20, 5);
        e.shpPointer(3).setWidth(4);
        e.subGrip_Label(l, e.shpPointer);
        const QList<QPointF> corners{{28, 39}, {28, 45}, {50, 39}, {50, 45}};
        for (int k = 0; k <= 3; ++k) {
            QCOMPARE(QPointF(e.shpPointer(k).Left, e.shpPointer(k).Top), corners[k]);
            QVERIFY(!e.shpPointer(k).Visible);
        }
        // A shape's grips are centred on its corners, running round from top-left.
        ShapeElement& s = e.shpShape(0);
        s.Move(10, 20, 30, 40);
        e.subGrip_Shape(s, e.shpPointer);
        const QList<QPointF> centres{{10, 20}, {10, 60}, {40, 60}, {40, 20}};
        for (int k = 0; k <= 3; ++k)
            QVERIFY(at(centreOf(e.shpPointer(k)), centres[k].x(), centres[k].y()) && e.shpPointer(k).Visible);
        // Filled: each grip takes its border colour, and over white shows blue.
        e.pictMap->setBackColor(0xFFFFFF);
        e.pictMap->resize(400, 300);
        e.subFill_Shape(e.shpPointer, 0);
        for (int k = 0; k <= 3; ++k)
            QVERIFY(e.shpPointer(k).FillStyle == 0 && e.shpPointer(k).FillColor == e.shpPointer(k).BorderColor);
        const QPoint p = e.pictMap->toDevice(10, 20).toPoint();
        QCOMPARE(mapPixel(e, p.x(), p.y()), QColor(0, 0, 255));
        e.subFill_Shape(e.shpPointer, 1);
        QCOMPARE(e.shpPointer(0).FillStyle.get(), 1);
    }

    void grabsAndLineGrips()
    {
        frmEdit& e = openEditor();
        ShapeElement& s = e.shpShape(0);
        s.Move(20, 20, 10, 6);
        e.subVisible_Array(e.shpPointer, false);
        // A side or corner taken shows its grips where it stands; the box stays.
        e.subGrip_Rect(5, e.shpShape, 0, e.shpPointer);
        QVERIFY(at(centreOf(e.shpPointer(0)), 20, 20) && at(centreOf(e.shpPointer(1)), 20, 26));
        QVERIFY(e.shpPointer(1).Visible && !e.shpPointer(2).Visible);
        e.subVisible_Array(e.shpPointer, false);
        e.subGrip_Rect(4, e.shpShape, 0, e.shpPointer);
        QVERIFY(at(centreOf(e.shpPointer(0)), 30, 26) && e.shpPointer(0).Visible && !e.shpPointer(1).Visible);
        for (qint16 code : {0, 9})
            e.subGrip_Rect(code, e.shpShape, 0, e.shpPointer);
        QVERIFY(near(s.Left, 20) && near(s.Top, 20) && near(s.Width(), 10) && near(s.Height(), 6));
        LineElement& line = e.lineHikidashi(0);
        line.X1 = 10, line.Y1 = 10, line.X2 = 40, line.Y2 = 20;
        e.subVisible_Array(e.shpPointer, false);
        for (qint16 code : {4, -1})
            e.subGrip_Line(code, line, e.shpPointer);
        QVERIFY(line.X1 == 10 && !e.shpPointer(0).Visible && !e.shpPointer(1).Visible);
        e.subGrip_Line(3, line, e.shpPointer);
        QVERIFY(at(centreOf(e.shpPointer(0)), 10, 10) && at(centreOf(e.shpPointer(1)), 40, 20));
        QVERIFY(e.shpPointer(0).Visible && e.shpPointer(1).Visible);
        // An end taken stays where it is: only a drag moves it.
        e.subGrip_Line(2, line, e.shpPointer);
        QVERIFY(line.X2 == 40 && line.Y2 == 20 && at(centreOf(e.shpPointer(1)), 40, 20));
    }

    void dragSteps()
    {
        frmEdit& e = openEditor();
        ShapeElement& s = e.shpShape(0);
        s.Move(20, 20, 10, 6);
        // Shift held from the start: locked to the first step's axis.
        shift(true);
        e.booDrag = false;
        float px = 0, py = 0;
        float x = 3, y = 1;
        e.subDrag_Rect(0, e.shpShape, 0, e.shpPointer, px, py, x, y, e.booDrag);
        px = x, py = y, x = 4, y = 6;
        e.subDrag_Rect(0, e.shpShape, 0, e.shpPointer, px, py, x, y, e.booDrag);
        QVERIFY(near(s.Left, 24) && near(s.Top, 20) && e.booDrag);
        QVERIFY(at(centreOf(e.shpPointer(2)), 34, 26) && e.shpPointer(3).Visible);
        // A new drag whose first Shift step is diagonal stays unlocked.
        e.booDrag = false;
        LineElement& line = e.lineHikidashi(0);
        line.X1 = 0, line.Y1 = 0, line.X2 = 10, line.Y2 = 0;
        px = 0, py = 0, x = 2, y = 2;
        e.subDrag_Line(3, line, e.shpPointer, px, py, x, y, e.booDrag);
        x = 3, y = 7;
        e.subDrag_Line(0, line, e.shpPointer, px, py, x, y, e.booDrag);
        QVERIFY(line.X1 == 3 && line.Y1 == 7 && line.X2 == 13 && line.Y2 == 7 && px == 3 && py == 7);
        QVERIFY(at(centreOf(e.shpPointer(1)), 13, 7));
        // An end goes by the pointer's travel; with Shift it stays on the
        // other end's horizontal, the pointer handed back as far held.
        x = 40, y = 16;
        e.subDrag_Line(2, line, e.shpPointer, px, py, x, y, e.booDrag);
        QVERIFY(line.X2 == 50 && line.Y2 == 7 && x == 40 && y == 7 && at(centreOf(e.shpPointer(1)), 50, 7));
    }

    void resizeStopsAtTheOppositeEdge()
    {
        frmEdit& e = openEditor();
        ShapeElement& s = e.shpShape(0);
        // Past the opposite edge: size 0, no error, and back again once the
        // pointer is back across, keeping the offset it was pressed at.
        s.Move(20, 20, 10, 6);
        float hx = 31, hy = 26, hx2 = 16, hy2 = 26;
        QCOMPARE(testsupport::errorOf([&] {
                     e.subDrag_Rect(4, e.shpShape, 0, e.shpPointer, hx, hy, hx2, hy2, e.booDrag);
                 }),
                 0L);
        QVERIFY(near(s.Width(), 0) && near(s.Left, 20) && near(s.Height(), 6) && near(hx2, 21));
        hx = hx2, hx2 = 19;
        e.subDrag_Rect(4, e.shpShape, 0, e.shpPointer, hx, hy, hx2, hy2, e.booDrag);
        QVERIFY(near(s.Width(), 0));
        hx = hx2, hx2 = 28;
        e.subDrag_Rect(4, e.shpShape, 0, e.shpPointer, hx, hy, hx2, hy2, e.booDrag);
        QVERIFY(near(s.Width(), 7));
        s.Move(20, 20, 10, 6);
        float vx = 25, vy = 20, vx2 = 25, vy2 = 40;
        e.subDrag_Rect(7, e.shpShape, 0, e.shpPointer, vx, vy, vx2, vy2, e.booDrag);
        QVERIFY(near(s.Top, 26) && near(s.Height(), 0) && near(vy2, 26));
        QVERIFY(at(centreOf(e.shpPointer(1)), 30, 26));
        // With Shift a corner goes onto the diagonal through the opposite one.
        shift(true);
        s.Move(20, 20, 10, 6);
        float x = 45, y = 52, px = 30, py = 26;
        e.subDrag_Rect(4, e.shpShape, 0, e.shpPointer, px, py, x, y, e.booDrag);
        QVERIFY(near(s.Width(), 32) && near(s.Height(), 32) && x == 52 && y == 52);
        shift(false);
        // A nudge's commit passes the element's own place: nothing changes.
        s.Move(20, 20, 10, 6);
        x = s.Left, y = s.Top, px = x, py = y;
        e.subDrag_Rect(4, e.shpShape, 0, e.shpPointer, px, py, x, y, e.booDrag);
        QVERIFY(near(s.Width(), 10) && near(s.Height(), 6));
        // Labels resize by the same rule.
        LabelElement& l = e.lblMoji(0);
        box(l, 20, 20, 10, 6);
        px = 30, py = 23, x = 12, y = 23;
        e.subDrag_Rect(6, e.lblMoji, 0, e.shpPointer, px, py, x, y, e.booDrag);
        QVERIFY(near(l.Width(), 0) && near(l.Left, 20));
    }

    void sideDistanceRelaid()
    {
        frmEdit& e = openEditor();
        GE_sngHojoLen = 10;
        GE_tpPtoD_r = {0.5, 0.5};
        GE_intDPointD = 2;
        e.booCalcDis = true;
        LineElement& side = e.linePS(0);
        side.X1 = 0, side.Y1 = 0, side.X2 = 40, side.Y2 = 0;
        e.lineHojoSave.Load(1);
        e.shpSnpo.Load(1);
        e.lblKyori(0).Tag = "022:15_" + Id;  // in the drawing's unit and decimals
        e.subEndMark_Kyori(0, 0);
        const auto ends = [](const LineElement& l, double x1, double y1, double x2, double y2) {
            return near(l.X1, x1) && near(l.Y1, y1) && near(l.X2, x2) && near(l.Y2, y2);
        };
        QVERIFY(ends(e.lineHojoSave(0), 0, 0, 0, 10));
        QVERIFY(ends(e.lineHojoSave(1), 40, 0, 40, 10));
        QVERIFY(ends(e.lineDsSave(0), 0, 10, 40, 10));
        QVERIFY(at(centreOf(e.shpSnpo(0)), 0, 10) && at(centreOf(e.shpSnpo(1)), 40, 10));
        QCOMPARE(e.lblKyori(0).Tag, QStringLiteral("022:20_") + Id);
        QCOMPARE(e.lblKyori(0).Caption.get(), QStringLiteral(" 20.00 ") + GE_strUnitD);
        // The side drawn the other way: marks above it.
        e.subEndMark_Line(e.lineHojoSave, 40, 0, 0, 0, 10, 0);
        QVERIFY(ends(e.lineHojoSave(0), 40, 0, 40, -10) && ends(e.lineHojoSave(1), 0, 0, 0, -10));
        // An object past the arrays: 340, before anything moved.
        side.X2 = 80;
        QCOMPARE(testsupport::errorOf([&] { e.subEndMark_Kyori(0, 1); }), 340L);
        QVERIFY(ends(e.lineHojoSave(1), 0, 0, 0, -10));
    }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
