// Deleting an area with "全て消去" in a large drawing: 10,000 distance
// objects, the first 1,000 of them the side distances of one area of 1,000
// sides, stored before the others. The deletion is timed against one pass
// of element takes over lblKyori, lineDsSave, lineHojoSave, shpSnpo and
// linePS in the same run, the least any deletion that moves the later
// objects down must do. Goal: within 3 times that floor.
// Run from the build folder; offscreen unless QT_QPA_PLATFORM says otherwise.

#include "app/types.h"
#include "bench/benchsupport.h"
#include "objects/deleting.h"
#include "objects/objectarrays.h"
#include "platform/elements.h"
#include "tests/objects/objectsfixture.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace platform;

namespace {

using objectstest::put;
using bench::milliseconds;

constexpr int kDistances = 10000;
constexpr int kSides = 1000;
constexpr int kRuns = 3;
constexpr double kGoal = 3.0;

const QString kArea = QStringLiteral("240101000000");

QString groupId(int n) { return QStringLiteral("2402%1").arg(n, 8, 10, QLatin1Char('0')); }

// The object arrays as the object tests lay them out, plus the hatching list.
struct Drawing : objectstest::Drawing {
    QList<typHatching> hatching;

    Drawing()
    {
        for (int i = 0; i < kDistances; ++i) {
            const QString id = i < kSides ? kArea : groupId(i);
            const float x = float(i % 100) * 10, y = float(i / 100) * 10;
            LabelElement& l = put(lblKyori, i, QStringLiteral("021:%1.25_").arg(i) + id);
            l.Caption = QStringLiteral("%1.25 m ").arg(i);
            l.Left = x, l.Top = y;
            LineElement& d = put(lineDsSave, i, id);
            d.X1 = x, d.Y1 = y + 3, d.X2 = x + 8, d.Y2 = y + 3;
            for (int j = 2 * i; j <= 2 * i + 1; ++j) {
                LineElement& h = put(lineHojoSave, j, id);
                h.X1 = h.X2 = x + float(j % 2) * 8, h.Y1 = y, h.Y2 = y + 4;
                put(shpSnpo, j, id).Move(h.X2 - 0.75f, y + 3.25f, 1.5f, 1.5f);
            }
        }
        put(lblKyori, kDistances, QString(), false);
        put(lineDsSave, kDistances, QString(), false);
        put(lineHojoSave, 2 * kDistances, QString(), false);
        put(shpSnpo, 2 * kDistances, QString(), false);
        put(lblMensekiS, 0, QStringLiteral("020:5_") + kArea).Caption = QStringLiteral("5 m2 ");
        put(lblMensekiS, 1, QString(), false);
        for (int s = 0; s < kSides; ++s) {
            LineElement& side = put(linePS, s, QStringLiteral("_") + kArea);
            side.X1 = float(s), side.Y1 = 0, side.X2 = float(s + 1), side.Y2 = 0;
        }
        put(linePS, kSides, QString(), false);
        typHatching h;
        h.Tag = kArea;
        hatching = {h, typHatching()};
    }
};

template <class T>
void takeAll(ElementArray<T>& a)
{
    for (int k = 0; k < a.UBound(); ++k)
        mdlObjects::subTake(a(k), a(k + 1));
}

double floorRun()
{
    Drawing d;
    QElapsedTimer timer;
    timer.start();
    takeAll(d.lblKyori);
    takeAll(d.lineDsSave);
    takeAll(d.lineHojoSave);
    takeAll(d.shpSnpo);
    takeAll(d.linePS);
    return milliseconds(timer);
}

double deleteRun()
{
    Drawing d;
    ObjectArrays a = d.arrays();
    QElapsedTimer timer;
    timer.start();
    mdlDelete::subDel_Menseki(a, d.hatching, 0, 0);
    const double ms = milliseconds(timer);
    if (d.lblKyori.UBound() != kDistances - kSides || d.linePS.UBound() != 0 || d.lblMensekiS.UBound() != 0)
        std::printf("unexpected result\n");
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(bench::offscreen(argc), argv);
    double floor = 1e300, del = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        floor = std::min(floor, floorRun());
        del = std::min(del, deleteRun());
    }
    std::printf("floor (one pass of takes): %.1f ms\n", floor);
    std::printf("全て消去 on the area:       %.1f ms  (%.2f x, goal %.1f x)\n", del, del / floor, kGoal);
    return del <= kGoal * floor ? 0 : 1;
}
