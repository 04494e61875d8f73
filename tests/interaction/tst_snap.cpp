// Snapping the pointer onto markers and hints, and the live readouts of
// lead-out lines and shapes.

#include "tests/editor/editorfixture.h"

#include "interaction/snap.h"
#include "platform/keyboard.h"

#include <QtTest>

using namespace editortest;
using namespace platform;
using interaction::SnapPoint;

namespace {

template <class T>
T& shown(ElementArray<T>& a, int k)
{
    while (a.UBound() < k + 1)  // a hidden spare behind the objects
        a.Load(a.UBound() + 1);
    a(k).Visible = true;
    return a(k);
}

void setLine(LineElement& l, float x1, float y1, float x2, float y2)
{
    l.X1 = x1, l.Y1 = y1, l.X2 = x2, l.Y2 = y2;
}

void box(LabelElement& label, float left, float top, float width, float height)
{
    label.AutoSize = false;
    label.Move(left, top);
    label.setWidth(width);
    label.setHeight(height);
}

struct Aids {  // what the call showed
    bool marker, hintX, hintY;
};

}  // namespace

class TestSnap : public QObject {
    Q_OBJECT
    editortest::Session m_session;

    static frmEdit& openEditor()
    {
        GE_sngZoom = 1.0f;
        frmEdit& e = Fixture::open();
        e.strSelObjName.clear();
        return e;
    }
    // Both searches on, snapping to markers.
    static QPointF snap(frmEdit& e, float x, float y, qint16 index = -1, bool snapOn = true)
    {
        float sx = 0, sy = 0;
        e.subSnap_Point(sx, sy, x, y, true, true, snapOn, false, index);
        return {sx, sy};
    }
    static Aids aids(const frmEdit& e) { return {e.shpSnap.Visible, e.lineHintX.Visible, e.lineHintY.Visible}; }

private slots:
    void init() { QVERIFY(m_session.begin()); }
    void cleanup()
    {
        platform::clearForcedKeys();
        m_session.end();
    }

    void tests_data()
    {
        QTest::addColumn<int>("kind");  // 0 near, 1 hint Y, 2 marker of a line, 3 marker of a box
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QPointF>("point");
        // Strict on both sides, in single precision.
        QTest::newRow("1.99 off") << 0 << QPointF(51.99, 0) << true << QPointF();
        QTest::newRow("2.0 off") << 0 << QPointF(52, 0) << false << QPointF();
        QTest::newRow("2.0 below") << 0 << QPointF(48, 0) << false << QPointF();
        // Line (50, 50)-(80, 81): end 1 first, else end 2.
        QTest::newRow("hint: end 1") << 1 << QPointF(0, 51) << true << QPointF(50, 50);
        QTest::newRow("hint: end 2") << 1 << QPointF(0, 80) << true << QPointF(80, 81);
        QTest::newRow("marker: both ends in reach, end 1") << 2 << QPointF(51, 51) << true << QPointF(50, 50);
        QTest::newRow("marker: one axis only") << 2 << QPointF(50, 60) << false << QPointF();
        // Box (10, 10) 3 x 2: every corner in reach, the last tried (top-right) wins.
        QTest::newRow("box: last corner") << 3 << QPointF(11.5, 11) << true << QPointF(13, 10);
        QTest::newRow("box: bottom-left only") << 3 << QPointF(8.5, 12) << true << QPointF(10, 12);
    }
    void tests()
    {
        QFETCH(int, kind);
        QFETCH(QPointF, pointer);
        QFETCH(bool, found);
        QFETCH(QPointF, point);
        const float x = float(pointer.x()), y = float(pointer.y());
        std::optional<SnapPoint> p;
        switch (kind) {
        case 0:
            QCOMPARE(interaction::fncSnap_Near(50, x), found);
            return;
        case 1: p = interaction::fncSnapH_PairY({50, 50}, {80, 81}, y); break;
        case 2: p = interaction::fncSnapM_Pair({50, 50}, {80, 81}, x, y); break;
        default: p = interaction::fncSnapM_Box(10, 10, 3, 2, x, y); break;
        }
        QCOMPARE(p.has_value(), found);
        if (found)
            QCOMPARE(QPointF(p->x, p->y), point);
    }

    void snapsOnMap()
    {
        frmEdit& e = openEditor();
        setLine(shown(e.lineHikidashi, 0), 50, 50, 80, 80);
        e.shpSnap.setWidth(2), e.shpSnap.setHeight(2);
        QCOMPARE(snap(e, 51.99f, 50), QPointF(50, 50));
        QVERIFY(aids(e).marker && aids(e).hintX && aids(e).hintY);
        QCOMPARE(QPointF(e.shpSnap.Left + 1, e.shpSnap.Top + 1), QPointF(50, 50));
        // Just out of reach in X: only the Y hint.
        QCOMPARE(snap(e, 52, 50), QPointF(52, 50));
        QVERIFY(!aids(e).marker && aids(e).hintX && !aids(e).hintY);
        QCOMPARE(QLineF(e.lineHintX.X1, e.lineHintX.Y1, e.lineHintX.X2, e.lineHintX.Y2), QLineF(50, 50, 52, 50));
        // Esc held: the pointer, the aids as they were.
        platform::setKeyDown(vb::vbKeyEscape, true);
        QCOMPARE(snap(e, 51, 51), QPointF(51, 51));
        QVERIFY(!aids(e).marker && aids(e).hintX);
        platform::setKeyDown(vb::vbKeyEscape, false);
        // Snapping off (or no snap item): aids shown, the pointer returned.
        QCOMPARE(snap(e, 51, 51, -1, false), QPointF(51, 51));
        QVERIFY(aids(e).marker && aids(e).hintX && aids(e).hintY);
        // The hint alone is returned by either snap item.
        float sx = 0, sy = 0;
        e.subSnap_Point(sx, sy, 100, 81, true, false, true, false, -1);
        QCOMPARE(QPointF(sx, sy), QPointF(100, 80));
        // Nothing near: both guide lines hidden again.
        snap(e, 200, 200);
        QVERIFY(!aids(e).marker && !aids(e).hintX && !aids(e).hintY);
        // The lead-out line being edited is no target of its own drag.
        e.strSelObjName = QStringLiteral("lineHikidashi");
        QCOMPARE(snap(e, 51, 51, 0), QPointF(51, 51));
        QCOMPARE(snap(e, 51, 51, 1), QPointF(50, 50));
    }

    void targetOrder()
    {
        frmEdit& e = openEditor();
        // Two shapes' corners in reach: the higher index; two lines: the lower.
        shown(e.shpShape, 0).Move(10, 10, 20, 20);
        shown(e.shpShape, 1).Move(31, 31, 5, 5);
        QCOMPARE(snap(e, 30.5f, 30.5f), QPointF(31, 31));
        setLine(shown(e.lineHikidashi, 0), 100, 100, 0, 0);
        setLine(shown(e.lineHikidashi, 1), 101, 101, 0, 0);
        QCOMPARE(snap(e, 100.6f, 100.6f), QPointF(100, 100));
        // The spare extension line never attracts.
        setLine(shown(e.lineHojoSave, 0), 300, 300, 300, 300);
        setLine(e.lineHojoSave(1), 400, 400, 400, 400);
        QCOMPARE(snap(e, 400.5f, 400.5f), QPointF(400.5f, 400.5f));
        // A Y hint on an extension line blocks later Y passes, not X: the
        // label's top edge is as near, the label's left edge still gives X.
        LabelElement& label = shown(e.lblMoji, 1);
        box(label, 500, 300.5f, 10, 5);
        float sx = 0, sy = 0;
        e.subSnap_Point(sx, sy, 500.5f, 301, true, false, true, false, -1);
        QCOMPARE(QPointF(sx, sy), QPointF(500, 300));
        // lblMoji(3) dragged ignores its own corners, not the others'.
        shown(e.lblMoji, 2), shown(e.lblMoji, 3);
        box(e.lblMoji(2), 600, 600, 10, 5);
        box(e.lblMoji(3), 700, 700, 10, 5);
        e.strSelObjName = QStringLiteral("lblMoji");
        QCOMPARE(snap(e, 700.5f, 700.5f, 3), QPointF(700.5f, 700.5f));
        QCOMPARE(snap(e, 600.5f, 600.5f, 3), QPointF(600, 600));
        // lblMoji(0) attracts only while shown.
        box(e.lblMoji(0), 800, 800, 10, 5);
        e.lblMoji(0).Visible = false;
        QCOMPARE(snap(e, 800.5f, 800.5f, 3), QPointF(800.5f, 800.5f));
        e.lblMoji(0).Visible = true;
        QCOMPARE(snap(e, 800.5f, 800.5f, 3), QPointF(800, 800));
    }

    void readouts()
    {
        frmEdit& e = openEditor();
        GE_booModeDis = true, GE_booModeKei = false;
        GE_tpPtoD_r = {1, 1};
        GE_sngHosei = {};
        GE_dblHosei = {};
        GE_intDPointD = 2;
        GE_strUnitD = QStringLiteral("m ");
        LineElement& line = shown(e.lineHikidashi, 2);
        setLine(line, 10, 10, 22.3f, 10);
        box(e.lblDistance, 0, 0, 6, 4);
        e.subDisp_SegTip(line, 2, e.lblDistance);
        QCOMPARE(e.lblDistance.Caption.get(), QStringLiteral("(2)  12.30 m "));
        QCOMPARE(e.stsTip->Panels(5).Text(), QStringLiteral("(2)  12.30 m "));
        QCOMPARE(QPointF(e.lblDistance.Left, e.lblDistance.Top), QPointF(16.15f - 3, 8));
        // No number and no panel from the plain label.
        e.stsTip->Panels(5).setText(QString());
        e.subDisp_SegLabel(line, e.lblDistance);
        QCOMPARE(e.lblDistance.Caption.get(), QStringLiteral(" 12.30 m "));
        QCOMPARE(e.stsTip->Panels(5).Text(), QString());
        // Neither mode: 0.
        GE_booModeDis = false;
        e.subDisp_SegLabel(line, e.lblDistance);
        QCOMPARE(e.lblDistance.Caption.get(), QStringLiteral(" 0.00 m "));
        GE_booModeDis = true;
        // A shape's size leaves out its border's 0.267 stored units, at any zoom.
        for (const float zoom : {0.5f, 2.0f}) {
            GE_sngZoom = zoom;
            ShapeElement& s = shown(e.shpShape, 0);
            s.Move(20, 20, 10.267f * zoom, 3.267f * zoom);
            e.subDisp_SizeOn(e.lblDistance, e.lblWidth, e.lblHeight, e.lineDistance, s, 0);
            QCOMPARE(e.lblWidth.Caption.get(), QStringLiteral(" 10.00 m "));
            QCOMPARE(e.lblHeight.Caption.get(), QStringLiteral(" 3.00 m "));
            QVERIFY(e.lblWidth.Visible && e.lblHeight.Visible && e.lblDistance.Visible && e.lineDistance.Visible);
            QCOMPARE(e.lineDistance.X2.get(), 20 + 10.267f * zoom);
            QCOMPARE(e.lblDistance.Caption.get().left(4), QStringLiteral("(0) "));
            // Width above the top edge, height left of the left edge, by the
            // size of the text they now show, first call included.
            QVERIFY(qAbs(e.lblWidth.Left + e.lblWidth.Width() / 2 - (20 + 5.1335f * zoom)) < 1e-3f);
            QVERIFY(qAbs(e.lblWidth.Top + e.lblWidth.Height() - 20) < 1e-3f);
            QVERIFY(qAbs(e.lblHeight.Left + e.lblHeight.Width() - 20) < 1e-3f);
            QVERIFY(e.lblHeight.deviceRect().right() <= s.deviceRect().left() + 1);
        }
        GE_sngZoom = 1;
    }
};

QTEST_MAIN(TestSnap)
#include "tst_snap.moc"
