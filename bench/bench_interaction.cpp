// The map's mouse handling on a large drawing: a press that hits nothing
// through the hit tests of the press's cascade, against a floor measured in
// the same run (one loop reading Visible and the coordinates of the same
// elements through the element API); one drag step of a shape's corner and
// of a line's body, grips included; re-laying a side's distance object.
// Each figure is per call, the best of several runs, at 1,000, 10,000 and
// 16,000 distance objects, with the ratios between the sizes. (An element
// array ends at index 32767, so a drawing holds at most 16,383 distance
// objects: their extension lines are two to an object.) With markers, hints
// and snapping to markers on: the snap search against its own floor (one
// pass reading every target's coordinates), a move during a measurement, a
// mouse-up keeping a distance, and the release of a side drag of a hatched
// 200-sided area.
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "bench/benchsupport.h"
#include "bench/interaction_drawing.h"

#include "app/globals.h"
#include "platform/application.h"
#include "platform/form.h"
#include "platform/ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace platform;

namespace {

using namespace bench;

constexpr int kRuns = 5;
constexpr float kNowhereX = -50, kNowhereY = -50;

double best(int calls, const std::function<void()>& call)
{
    return fastest(kRuns, [&] {
        const double ms = timed([&] {
            for (int c = 0; c < calls; ++c)
                call();
        });
        QCoreApplication::processEvents();  // the repaints the steps asked for, outside the timing
        return ms / calls;
    });
}

// The press's cascade of hit tests, as mouse-down asks it with no
// measurement in progress; the answer counts the hits (0 expected).
int press(frmEdit& e, float x, float y)
{
    qint16 grip = -1;
    int hits = 0;
    for (auto* lines : {&e.lineHikidashi, &e.linePS, &e.lineHojoSave})
        hits += e.fncHit_LineEnd(*lines, x, y, grip) >= 0;
    for (auto* labels : {&e.lblMoji, &e.lblKyori, &e.lblMensekiS, &e.lblKeiroS})
        hits += e.fncHit_LabelGrip(*labels, x, y, grip) >= 0;
    hits += e.fncHit_Rect(e.shpShape, x, y, grip) >= 0;
    hits += e.fncHit_ShapeGrip(e.shpShape, x, y, grip) >= 0;
    return hits;
}

// The same elements read through the element API, once each walk.
double floorRead(frmEdit& e)
{
    double sink = 0;
    for (auto* lines : {&e.lineHikidashi, &e.linePS, &e.lineHojoSave}) {
        for (int k = 0; k <= lines->UBound(); ++k) {
            const LineElement& l = (*lines)(k);
            if (l.Visible)
                sink += l.X1 + l.Y1 + l.X2 + l.Y2;
        }
    }
    for (auto* labels : {&e.lblMoji, &e.lblKyori, &e.lblMensekiS, &e.lblKeiroS}) {
        for (int k = 0; k <= labels->UBound(); ++k) {
            const LabelElement& l = (*labels)(k);
            if (l.Visible)
                sink += l.Left + l.Top + l.Width() + l.Height();
        }
    }
    for (int walk = 0; walk < 2; ++walk) {
        for (int k = 0; k <= e.shpShape.UBound(); ++k) {
            const ShapeElement& s = e.shpShape(k);
            if (s.Visible)
                sink += s.Left + s.Top + s.Width() + s.Height();
        }
    }
    return sink;
}

struct Figures {
    double firstPress = 0, floor = 0, press = 0, cornerStep = 0, bodyStep = 0, endMark = 0;
    // Through the map's handlers: a press that grabs nothing and starts a
    // straight measurement, a move during it, a drag step of a dimension
    // line with its markers, at zoom 1 and 2; then a press and a move each
    // with the repaint it causes, until painted.
    double mapPress[2] = {}, mapMove[2] = {}, dimensionStep[2] = {}, painted = 0;
    // Snapping on: the search, its floor, a move during a measurement, a
    // mouse-up keeping a distance, a hatched area's side released.
    double snap = 0, snapFloor = 0, snapMove = 0, keepUp = 0, sideRelease = 0;
};

// Every snap target's coordinates read once, as the search reads them.
double snapFloorRead(frmEdit& e)
{
    double sink = 0;
    for (auto* lines : {&e.lineHojoSave, &e.lineHikidashi}) {
        for (int k = 0; k < lines->UBound(); ++k) {
            const LineElement& l = (*lines)(k);
            sink += l.X1 + l.Y1 + l.X2 + l.Y2;
        }
    }
    for (int k = 0; k < e.shpShape.UBound(); ++k) {
        const ShapeElement& s = e.shpShape(k);
        sink += s.Left + s.Top + s.Width() + s.Height();
    }
    for (int k = 1; k <= e.lblMoji.UBound(); ++k) {
        const LabelElement& l = e.lblMoji(k);
        sink += l.Left + l.Top + l.Width() + l.Height();
    }
    return sink;
}

// A hatched area of 200 sides below the drawing, its label 0 and record 0.
int buildArea(frmEdit& e)
{
    const QString key = benchdrawing::groupId(99999999);
    const QString tag = QStringLiteral("042:100_") + key;
    const int first = e.linePS.UBound();  // the spare becomes the first side
    constexpr int n = 200;
    constexpr double pi = 3.14159265358979;
    const auto at = [](int k) {
        const double a = 2 * pi * k / n;
        return QPointF(1000 + 100 * std::cos(a), 2800 + 100 * std::sin(a));
    };
    for (int k = 0; k < n; ++k) {
        const QPointF p = at(k), q = at(k + 1);
        benchdrawing::line(benchdrawing::next(e.linePS, first + k), float(p.x()), float(p.y()), float(q.x()),
                           float(q.y()), tag);
    }
    benchdrawing::spare(e.linePS, first + n);
    LabelElement& label = benchdrawing::next(e.lblMensekiS, 0);
    label.Tag = tag;
    label.Caption = QStringLiteral("1.00 m2 ");
    benchdrawing::spare(e.lblMensekiS, 1);
    typHatching record;
    record.iStyle = 5;
    record.iPitch = 4;
    record.iTilt = 45;
    record.BorderWidth = 1;
    record.DrawMode = 13;
    record.Tag = key;
    GE_tpHatching = {record, typHatching{}};
    e.fncMake_HatchBin(0);
    return first;
}

void measureFinishing(frmEdit& e, Figures& f)
{
    e.mnuMarker->setChecked(true);
    e.mnuHint->setChecked(true);
    e.mnuSnap(1).setChecked(true);
    volatile double sink = 0;
    float sx = 0, sy = 0;
    f.snapFloor = best(20, [&] { sink = sink + snapFloorRead(e); });
    f.snap = best(20, [&] { e.subSnap_Point(sx, sy, kNowhereX, kNowhereY, true, true, true, false, -1); });

    e.Toolbar1->Buttons(9).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(9));
    e.booMesDownD = false;
    e.pictMap_MouseDown(1, 0, kNowhereX, kNowhereY);
    int step = 0;
    f.snapMove = best(500, [&] {
        const float d = (step++ % 2) ? 20.0f : 30.0f;
        e.pictMap_MouseMove(0, 0, kNowhereX + d, kNowhereY + d);
    });
    e.pictMap_MouseUp(1, 0, kNowhereX + 20, kNowhereY + 20);

    // A distance kept at each mouse-up: only the release is timed (the
    // element arrays hold a few hundred more at the largest size).
    f.keepUp = 1e300;
    for (int r = 0; r < kRuns; ++r) {
        qint64 spent = 0;
        constexpr int calls = 40;
        for (int c = 0; c < calls; ++c) {
            e.pictMap_MouseDown(1, 0, kNowhereX, kNowhereY);
            e.pictMap_MouseMove(0, 0, kNowhereX + 20 + float(c % 2), kNowhereY + 20);
            QElapsedTimer t;
            t.start();
            e.pictMap_MouseUp(1, 0, kNowhereX + 20 + float(c % 2), kNowhereY + 20);
            spent += t.nsecsElapsed();
        }
        f.keepUp = std::min(f.keepUp, spent / 1e6 / calls);
        QCoreApplication::processEvents();
    }

    // One side of the hatched area dragged out and back, each release timed.
    const int side = buildArea(e);
    e.Toolbar1->Buttons(8).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(8));
    f.sideRelease = best(3, [&] {
        const LineElement& l = e.linePS(side);
        const float x = (l.X1 + l.X2) / 2, y = (l.Y1 + l.Y2) / 2;
        e.pictMap_MouseDown(1, 0, x, y);
        if (e.intHitPS != side)
            qFatal("no side grabbed");
        e.pictMap_MouseMove(1, 0, x + 0.5f * float(step++ % 2 ? -1 : 1), y);
        e.pictMap_MouseUp(1, 0, x, y);
    });
    e.mnuMarker->setChecked(false);
    e.mnuHint->setChecked(false);
    e.mnuSnap(1).setChecked(false);
}

// The handlers' figures at `zoom`: one index of the arrays above.
void measureHandlers(frmEdit& e, Figures& f, int z)
{
    GE_sngZoom = z == 0 ? 1.0f : 2.0f;
    e.Toolbar1->Buttons(9).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(9));
    f.mapPress[z] = best(200, [&] {
        e.booMesDownD = false;
        e.pictMap_MouseDown(1, 0, kNowhereX, kNowhereY);
    });
    int step = 0;
    f.mapMove[z] = best(2000, [&] {
        const float d = (step++ % 2) ? 20.0f : 30.0f;
        e.pictMap_MouseMove(0, 0, kNowhereX + d, kNowhereY + d);
    });
    e.subReset_ViewMode();
    e.Toolbar1->Buttons(8).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(8));
    // The middle of a dimension line grabs it; each step pulls it to and fro.
    const LineElement& d = e.lineDsSave(e.lineDsSave.UBound() / 2);
    float x = (d.X1 + d.X2) / 2, y = (d.Y1 + d.Y2) / 2;
    e.pictMap_MouseDown(1, 0, x, y);
    if (e.intHitDsSave < 0)
        qFatal("no dimension line grabbed");
    f.dimensionStep[z] = best(2000, [&] {
        const float dd = (step++ % 2) ? -0.5f : 0.5f;
        e.pictMap_MouseMove(1, 0, x + dd, y + dd);
    });
    e.intHitDsSave = -1;
    GE_sngZoom = 1.0f;
}

Figures measure(int distances)
{
    frmEdit& e = freshEditor();
    benchdrawing::Sizes sizes;
    sizes.distances = distances;
    benchdrawing::build(e, sizes);
    Figures f;
    QElapsedTimer t;
    t.start();
    if (press(e, kNowhereX, kNowhereY) != 0)
        qFatal("the press hit something");
    f.firstPress = t.nsecsElapsed() / 1e6;

    e.showForm(vbModeless);
    QCoreApplication::processEvents();
    volatile double sink = 0;
    f.floor = best(20, [&] { sink = sink + floorRead(e); });
    f.press = best(20, [&] { sink = sink + press(e, kNowhereX, kNowhereY); });

    // A shape's bottom-right corner and a lead-out line's body, pulled to
    // and fro by half a millimetre.
    const int shape = sizes.shapes / 2;
    ShapeElement& s = e.shpShape(shape);
    float px = s.Left + s.Width(), py = s.Top + s.Height();
    e.subGrip_Rect(4, e.shpShape, shape, e.shpPointer);
    e.booDrag = false;
    int step = 0;
    f.cornerStep = best(2000, [&] {
        const float d = (step++ % 2) ? -0.5f : 0.5f;
        float x = px + d, y = py + d;
        e.subDrag_Rect(4, e.shpShape, shape, e.shpPointer, px, py, x, y, e.booDrag);
        px = x, py = y;
    });
    LineElement& lead = e.lineHikidashi(sizes.leadOuts / 2);
    px = lead.X1, py = lead.Y1;
    e.subGrip_Line(0, lead, e.shpPointer);
    f.bodyStep = best(2000, [&] {
        const float d = (step++ % 2) ? -0.5f : 0.5f;
        float x = px + d, y = py + d;
        e.subDrag_Line(0, lead, e.shpPointer, px, py, x, y, e.booDrag);
        px = x, py = y;
    });

    measureHandlers(e, f, 0);
    measureHandlers(e, f, 1);
    e.Toolbar1->Buttons(9).setValue(1);
    e.Toolbar1_ButtonClick(e.Toolbar1->Buttons(9));
    f.painted = best(50, [&] {
        e.booMesDownD = false;
        e.pictMap_MouseDown(1, 0, 40, 40);
        QCoreApplication::processEvents();
        e.pictMap_MouseMove(0, 0, 60 + float(step++ % 2), 70);
        QCoreApplication::processEvents();
    }) / 2;
    e.subReset_ViewMode();
    measureFinishing(e, f);

    // Side k's distance object is object k.
    GE_sngHojoLen = 10;
    e.booCalcDis = true;
    int side = 0;
    f.endMark = best(500, [&] {
        e.subEndMark_Kyori(side, side);
        side = (side + 1) % sizes.sides;
    });
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    Session session(argc, argv);
    GE_lngWorkArea = {0, 0, 760 * TwipsPerPixel, 1000 * TwipsPerPixel};
    GE_sngZoom = 1.0f;
    GE_tpPtoD_r = {0.1, 0.1};
    GE_strFormat[2] = QStringLiteral(" #,###,##0.00 ");
    GE_intDPointD = 2;
    GE_strUnitD = QStringLiteral("m ");
    GE_intDPointS = 2;
    GE_strUnitS = QStringLiteral("m2 ");
    GE_strTempPath = session.folder.path();

    const int sizes[] = {1000, 10000, 16000};
    Figures f[3];
    for (int n = 0; n < 3; ++n)
        f[n] = measure(sizes[n]);
    freshEditor().unload();

    std::printf("per call, best of %d runs; 1,000 lead-out lines, 500 shapes, 500 text labels, zoom 1\n", kRuns);
    std::printf("  %-40s %12s %12s %12s   %s\n", "distance objects", "1,000", "10,000", "16,000", "goal at 10,000");
    const auto row = [&](const char* what, double Figures::*field, const QString& goal) {
        std::printf("  %-40s %9.4f ms %9.4f ms %9.4f ms   %s\n", what, f[0].*field, f[1].*field, f[2].*field,
                    qPrintable(goal));
    };
    const auto met = [](bool ok) { return ok ? QStringLiteral("met") : QStringLiteral("NOT MET"); };
    row("first press (labels not yet measured)", &Figures::firstPress, QString());
    row("floor: the same elements read", &Figures::floor, QString());
    row("press hitting nothing", &Figures::press,
        QStringLiteral("<= 2 ms and <= 3 x floor (%1 x): %2")
            .arg(f[1].press / f[1].floor, 0, 'f', 2)
            .arg(met(f[1].press <= 2 && f[1].press <= 3 * f[1].floor)));
    row("drag step: shape corner", &Figures::cornerStep,
        QStringLiteral("<= 0.05 ms: %1").arg(met(f[1].cornerStep <= 0.05)));
    row("drag step: line body", &Figures::bodyStep, QStringLiteral("<= 0.05 ms: %1").arg(met(f[1].bodyStep <= 0.05)));
    row("subEndMark_Kyori", &Figures::endMark, QStringLiteral("<= 0.1 ms: %1").arg(met(f[1].endMark <= 0.1)));
    const auto handler = [&](const char* what, double(Figures::*field)[2], int z) {
        std::printf("  %-40s %9.4f ms %9.4f ms %9.4f ms   %s\n", what, (f[0].*field)[z], (f[1].*field)[z],
                    (f[2].*field)[z], qPrintable(QStringLiteral("<= 2 ms: %1").arg(met((f[1].*field)[z] <= 2))));
    };
    handler("map press starting a measurement, zoom 1", &Figures::mapPress, 0);
    handler("map press starting a measurement, zoom 2", &Figures::mapPress, 1);
    handler("map move during it, zoom 1", &Figures::mapMove, 0);
    handler("map move during it, zoom 2", &Figures::mapMove, 1);
    handler("map drag step of a dimension, zoom 1", &Figures::dimensionStep, 0);
    handler("map drag step of a dimension, zoom 2", &Figures::dimensionStep, 1);
    row("press or move with its repaint", &Figures::painted,
        QStringLiteral("<= 16 ms: %1").arg(met(f[1].painted <= 16)));
    row("snap floor: every target read", &Figures::snapFloor, QString());
    row("subSnap_Point, markers and hints", &Figures::snap,
        QStringLiteral("<= 1 ms and <= 3 x floor (%1 x): %2")
            .arg(f[1].snap / f[1].snapFloor, 0, 'f', 2)
            .arg(met(f[1].snap <= 1 && f[1].snap <= 3 * f[1].snapFloor)));
    row("map move measuring, snapping on", &Figures::snapMove,
        QStringLiteral("<= 2 ms: %1").arg(met(f[1].snapMove <= 2)));
    row("mouse-up keeping a distance", &Figures::keepUp, QStringLiteral("<= 2 ms: %1").arg(met(f[1].keepUp <= 2)));
    row("side of a 200-sided hatched area released", &Figures::sideRelease,
        QStringLiteral("<= 100 ms: %1").arg(met(f[1].sideRelease <= 100)));

    std::printf("\nratios against 1,000 distance objects (objects x10 and x16; linear or better is at most that)\n");
    const auto ratio = [&](const char* what, double Figures::*field) {
        std::printf("  %-40s x%8.2f    x%8.2f\n", what, f[1].*field / f[0].*field, f[2].*field / f[0].*field);
    };
    ratio("first press", &Figures::firstPress);
    ratio("floor", &Figures::floor);
    ratio("press hitting nothing", &Figures::press);
    ratio("drag step: shape corner", &Figures::cornerStep);
    ratio("drag step: line body", &Figures::bodyStep);
    ratio("subEndMark_Kyori", &Figures::endMark);
    for (int z = 0; z < 2; ++z)
        std::printf("  %-40s x%8.2f    x%8.2f\n", z == 0 ? "map press, zoom 1" : "map press, zoom 2",
                    f[1].mapPress[z] / f[0].mapPress[z], f[2].mapPress[z] / f[0].mapPress[z]);
    std::printf("  %-40s x%8.2f    x%8.2f\n", "map move, zoom 1", f[1].mapMove[0] / f[0].mapMove[0],
                f[2].mapMove[0] / f[0].mapMove[0]);
    ratio("press or move with its repaint", &Figures::painted);
    ratio("snap floor", &Figures::snapFloor);
    ratio("subSnap_Point", &Figures::snap);
    ratio("map move measuring, snapping on", &Figures::snapMove);
    ratio("mouse-up keeping a distance (flat)", &Figures::keepUp);
    ratio("side of a hatched area released", &Figures::sideRelease);
    return 0;
}
