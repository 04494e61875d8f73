// The arrow keys: the growing step, what each kind of selection moves, the
// commit at the release (or when the editor loses activation), position
// labels, calibration markers and a polygon being drawn.

#include "tests/interaction/labelkeys.h"

#include "app/mdlFileAccess.h"
#include "measure/hatchcache.h"
#include "interaction/nudge.h"
#include "measure/frmOption.h"
#include "platform/vbruntime.h"

#include <QEvent>

using namespace editortest;
using namespace labelkeys;
using namespace mapmouse;
using namespace platform;

namespace {

const QDateTime T0(QDate(2026, 1, 5), QTime(9, 0));

void clockAt(int seconds) { vb::SetClock(T0.addSecs(seconds)); }

QPointF centreOf(const ShapeElement& s) { return {s.Left + s.Width() / 2, s.Top + s.Height() / 2}; }

}  // namespace

class TestNudge : public QObject {
    Q_OBJECT

    Session m_s;
    QTemporaryDir m_temp;

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init() { QVERIFY(m_s.begin()); }
    void cleanup()
    {
        vb::SetClock(QDateTime());
        GE_booPickDistance = GE_booPickHosei = GE_booPickKeiIdo = false;
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        m_s.end();
        GE_sngZoom = 1.0f;
    }

    void resizeStopsAtTheOppositeEdge()
    {
        using interaction::typRect;
        struct Row {
            qint16 grip;
            typRect before;
            float dx, dy;
            typRect after;
        } rows[] = {
            {4, {10, 10, 5, 5}, -0.01f, 0, {10, 10, 5.01f, 5}},
            {1, {10, 10, 0.005f, 5}, -0.01f, 0, {10.005f, 10, 0, 5}},
            {6, {10, 10, 0.005f, 5}, 0.01f, 0, {10, 10, 0, 5}},
            {3, {10, 10, 5, 0.005f}, 0, -0.01f, {10, 10.005f, 5, 0}},
            {0, {10, 10, 5, 5}, 1, 2, {9, 8, 5, 5}},
            {9, {10, 10, 5, 5}, 1, 2, {10, 10, 5, 5}},
        };
        for (const Row& r : rows) {
            const typRect a = interaction::fncNudge_Rect(r.grip, r.before, r.dx, r.dy);
            QVERIFY2(near(a.Left, r.after.Left, 1e-5) && near(a.Top, r.after.Top, 1e-5)
                         && near(a.Width, r.after.Width, 1e-5) && near(a.Height, r.after.Height, 1e-5),
                     qPrintable(QString::number(r.grip)));
        }
    }

    void stepsGrowWhileHeld()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        GE_sngZoom = 2;
        LabelElement& t = box(e.lblMoji, 0, 20, 30);
        select(e, "lblMoji", 0);
        const struct {
            int seconds;
            float step;
        } held[] = {{0, 0.02f}, {5, 0.02f}, {6, 0.2f}, {10, 0.2f}, {11, 1}, {15, 1}, {16, 2}, {40000, 2}};
        float left = 20;
        for (const auto& h : held) {
            clockAt(h.seconds);
            press(e, Qt::Key_Right);
            left += h.step;
            QVERIFY2(near(t.Left, left, 1e-3), qPrintable(QString::number(h.seconds)));
        }
        release(e, Qt::Key_Right);
        QVERIFY(!e.booKeyMove);
        clockAt(100);
        press(e, Qt::Key_Right);
        press(e, Qt::Key_Left);
        press(e, Qt::Key_Left);
        tap(e, Qt::Key_Up);
        QVERIFY(near(t.Left, left - 0.02, 1e-3) && near(t.Top, 29.98, 1e-3));

        // Keys that nudge nothing, no selection, a selection that has gone.
        const float was = t.Left;
        press(e, Qt::Key_Return);
        QVERIFY(!e.booKeyMove);
        e.intSelIndex = -1;
        press(e, Qt::Key_Right);
        QVERIFY(!e.booKeyMove && t.Left == was);
        select(e, "lblMoji", 0);
        t.Visible = false;
        press(e, Qt::Key_Right);
        QVERIFY(!e.booKeyMove && t.Left == was && e.strSelObjName.isEmpty() && e.intSelIndex == -1);
        // No grip is left over where it stood.
        for (int k = 0; k <= 3; ++k)
            QVERIFY(!e.shpPointer(k).Visible);
    }

    void eachKindMovesItsOwn()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        area(e);
        shown(e.shpSnpo, 0), shown(e.shpSnpo, 1);
        spare(e.shpSnpo);
        clockAt(0);
        // A distance's label alone.
        select(e, "lblKyori", 0);
        tap(e, Qt::Key_Right);
        QVERIFY(near(e.lblKyori(0).Left, 25.01) && at(e.lineDsSave(0), 10, 85, 50, 85));
        QVERIFY(e.booDrawChange && e.shpPointer(0).Left == e.lblKyori(0).Left - 2);
        // Its dimension line whole: markers and far ends follow, measured ends stay.
        select(e, "lineDsSave", 0);
        e.intGripLine = 0;
        press(e, Qt::Key_Down);
        QVERIFY(at(e.lineDsSave(0), 10, 85.01, 50, 85.01) && at(e.lineHojoSave(1), 50, 100, 50, 85.01));
        QVERIFY(near(centreOf(e.shpSnpo(0)).y(), 85.01));
        release(e, Qt::Key_Down);
        // A side by its first end: the side before follows; the area is
        // recomputed at the release.
        e.pictMap_MouseDown(1, 0, 10, 100);
        e.pictMap_MouseUp(1, 0, 10, 100);
        QVERIFY(e.strSelObjName == QLatin1String("linePS") && e.intSelIndex == 0 && e.intGripLine == 1);
        e.lblMensekiS(0).Caption = QStringLiteral("?");
        press(e, Qt::Key_Left);
        QVERIFY(at(e.linePS(0), 9.99, 100, 50, 100) && at(e.linePS(2), 50, 140, 9.99, 100));
        QCOMPARE(QString(e.lblMensekiS(0).Caption), QStringLiteral("?"));
        release(e, Qt::Key_Left);
        QVERIFY(QString(e.lblMensekiS(0).Caption) == QStringLiteral(" 200.05 m2 "));
        // A shape by its bottom-right corner, then by its top-left one.
        ShapeElement& s = shown(e.shpShape, 0);
        s.Move(10, 10, 5, 5);
        select(e, "shpShape", 0);
        e.intGripRect = 4;
        press(e, Qt::Key_Right);
        QVERIFY(near(s.Width(), 5.01) && s.Left == 10 && s.Top == 10 && e.lblWidth.Visible);
        release(e, Qt::Key_Right);
        QVERIFY(!e.lblWidth.Visible && !e.lblHeight.Visible && !e.lineDistance.Visible);
        s.Move(10, 10, 0.015f, 5);
        e.intGripRect = 1;
        press(e, Qt::Key_Right);
        QVERIFY(near(s.Width(), 0.005, 1e-5));
        press(e, Qt::Key_Right);
        QVERIFY(s.Width() == 0 && near(s.Left, 10.015, 1e-5));
        release(e, Qt::Key_Right);
        // A side's nudge takes its drag marks away at the release: a plain
        // click in route mode then begins a route and ends none.
        tool(e, 9);
        e.popMesRenzoku_Click();
        select(e, "linePS", 0);
        e.intGripLine = 1;
        tap(e, Qt::Key_Left);
        e.pictMap_MouseDown(1, 0, 90, 20);
        e.pictMap_MouseUp(1, 0, 90, 20);
        QVERIFY(e.booMesDownD && !e.booMesEndD && e.booRenzoku);
    }

    void releaseCommitsTheArea()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        area(e);
        typHatching h;
        h.iStyle = 1, h.iPitch = 4, h.BorderColor = 255, h.BorderWidth = 1, h.DrawMode = 13, h.Tag = Key;
        GE_tpHatching = {h, typHatching()};
        QVERIFY(e.fncMake_HatchBin(0) > 0);
        QList<typHatchLine> before, after;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], before));
        select(e, "lblMensekiS", 0);
        // A release that no key-down of the editor began moves nothing.
        release(e, Qt::Key_Left);
        QVERIFY(at(e.linePS(0), 10, 100, 50, 100) && !e.booDrawChange);
        for (int s : {0, 2, 5}) {
            clockAt(s);
            press(e, Qt::Key_Left);
        }
        QVERIFY(e.lineMenseki(0).Visible && at(e.lineMenseki(0), 9.97, 100, 49.97, 100));
        QVERIFY(at(e.linePS(0), 10, 100, 50, 100) && near(e.lblMensekiS(0).Left, 19.97));
        release(e, Qt::Key_Left);
        QVERIFY(at(e.linePS(0), 9.97, 100, 49.97, 100) && at(e.lineDsSave(0), 9.97, 85, 49.97, 85));
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], after));
        QVERIFY(!after.isEmpty() && after.size() == before.size());
        QVERIFY(near(after[0].X1, before[0].X1 - 0.03) && near(after[0].Y1, before[0].Y1));
        QVERIFY(QString(e.lblMensekiS(0).Caption) == QStringLiteral("200.00 m2 ") && e.booDrawChange);
        QVERIFY(!e.lineMenseki(0).Visible && e.lineMenseki.UBound() == 0);

        // Focus lost mid-nudge: the nudge is committed there.
        press(e, Qt::Key_Left);
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(&e, &deactivate);
        QVERIFY(!e.booKeyMove && at(e.linePS(0), 9.96, 100, 49.96, 100));
    }

    void polygonInProgressStays()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        area(e);
        e.booRenzoku = true;
        line(e.lineMenseki, 0, 200, 200, 250, 210);
        select(e, "lblMensekiS", 0);
        clockAt(0);
        press(e, Qt::Key_Up);
        tap(e, Qt::Key_Up);
        QVERIFY(at(e.lineMenseki(0), 200, 200, 250, 210) && e.lineMenseki(0).Visible && e.booRenzoku);
        QVERIFY(at(e.linePS(0), 10, 99.98, 50, 99.98) && near(e.lblMensekiS(0).Top, 59.98));
    }

    void reopenedDistanceAndPositionLabel()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        GE_tpPtoD_r = typPointD{1, 1};
        line(e.lineHojoSave, 0, 10, 200, 10, 185, Key);
        line(e.lineHojoSave, 1, 50, 200, 50, 185, Key);
        spare(e.lineHojoSave);
        line(e.lineDsSave, 0, 10, 185, 50, 185, Key);
        box(e.lblKyori, 0, 25, 180, QStringLiteral("022:40_") + Key);
        shown(e.shpSnpo, 0), shown(e.shpSnpo, 1);
        e.pictMap_MouseDown(1, 0, 50, 200);  // the second extension line's measured end
        e.pictMap_MouseUp(1, 0, 50, 200);
        QVERIFY(e.strSelObjName == QLatin1String("lineHojoSave") && e.intHojoKyori == 0);
        clockAt(0);
        press(e, Qt::Key_Right);
        QVERIFY(e.lineDistance.Visible && near(e.lineDistance.X2, 50.01));
        release(e, Qt::Key_Right);
        QVERIFY(!e.lineDistance.Visible && !e.lblDistance.Visible && !e.lineHojo(0).Visible);
        QVERIFY(QString(e.lblKyori(0).Caption) == QStringLiteral(" 40.01 m "));
        const LineElement& d = e.lineDsSave(0);
        QVERIFY(near(std::hypot(d.X2 - d.X1, d.Y2 - d.Y1), 40.01));

        // A position label in known-distance mode at zoom 2: the readout's texts.
        GE_sngZoom = 2;
        LabelElement& p = box(e.lblKeiIdoS, 0, 20, 30);
        const QPointF c = centre(p);
        mouse(e, Press, float(c.x()), float(c.y())), mouse(e, Release, float(c.x()), float(c.y()));
        QVERIFY(e.strSelObjName == QLatin1String("lblKeiIdoS") && e.shpPointer(0).Visible);
        tap(e, Qt::Key_Right);
        QVERIFY(near(p.Left, 20.02, 1e-4));
        // Its grips go round it where it now stands.
        QCOMPARE(QPointF(e.shpPointer(0).Left, e.shpPointer(0).Top), QPointF(p.Left - 2, p.Top - 1));
        QVERIFY(e.shpPointer(3).Visible && e.shpPointer(3).Left == p.Left + p.Width());
        QCOMPARE(QString(p.Tag), QStringLiteral("10.01,15"));
        const float x = p.Left / 2.0f;
        const QString form = QStringLiteral("#####0.###0");
        QCOMPARE(QString(p.ToolTipText),
                 QStringLiteral("X:") + vb::Format(x, form) + QStringLiteral(",Y:") + vb::Format(15.0f, form));
    }

    void calibrationMarkers()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        shown(e.shpCheck, 0), shown(e.shpCheck, 1);
        const auto reset = [&] {
            e.lineCheck.X1 = 5, e.lineCheck.Y1 = 5, e.lineCheck.X2 = 55, e.lineCheck.Y2 = 5;
            GE_sngHosei = {5, 5, 55, 5};
            GE_dblHosei = {};
            select(e, "shpCheck", 1);
            e.intHitCheck = 1;
        };
        clockAt(0);
        // Tilt pick: the second point follows at each key-down, the angle too.
        reset();
        GE_booPickHosei = true;
        press(e, Qt::Key_Down);
        QVERIFY(GE_sngHosei[2] == 55 && near(GE_sngHosei[3], 5.01) && GE_dblHosei[0] != 0);
        tap(e, Qt::Key_Down);
        QVERIFY(near(GE_sngHosei[3], 5.02) && near(centreOf(e.shpCheck(1)).y(), 5.02) && !e.booDrawChange);
        GE_booPickHosei = false;
        // Correspondence pick: the second point follows at the key-down, the first stays.
        reset();
        GE_tpPiccel = {typPointS{1, 2}, typPointS{}};
        GE_booPickKeiIdo = true;
        press(e, Qt::Key_Down);
        QVERIFY(GE_tpPiccel[0].sngX == 1 && GE_tpPiccel[1].sngX == 55 && near(GE_tpPiccel[1].sngY, 5.01));
        release(e, Qt::Key_Down);
        GE_booPickKeiIdo = false;

        // Known distance, horizontal: the ends are the tilt points, angle and length shown.
        reset();
        GE_booPickDistance = true;
        e.popDisX->setChecked(true);
        e.popDisY->setChecked(false);
        tap(e, Qt::Key_Down);
        QVERIFY(near(GE_sngHosei[3], 5.01) && GE_dblHosei[0] != 0);
        frmOption& o = Instance<frmOption>::get();
        QCOMPARE(o.txtXY(3).Text(), vb::CStr(e.lineCheck.Y2.get()));
        // Vertical: the markers re-centred, no new angle.
        reset();
        e.popDisX->setChecked(false);
        e.popDisY->setChecked(true);
        o.txtXY(9).setText(QString());
        tap(e, Qt::Key_Right);
        QVERIFY(near(GE_sngHosei[2], 55.01) && GE_dblHosei[0] == 0 && near(centreOf(e.shpCheck(1)).x(), 55.01));
        QCOMPARE(o.txtXY(9).Text(), vb::CStr(e.lineCheck.Y2.get()));  // the vertical pair's last box
    }
};

QTEST_MAIN(TestNudge)
#include "tst_nudge.moc"
