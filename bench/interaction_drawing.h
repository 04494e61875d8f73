#pragma once
// A large drawing built straight into the editor's element arrays, as the
// measuring and drawing tools leave it, for the benchmarks of the map's
// mouse handling: distance objects (a label, a dimension line, two
// extension lines and two end markers each), lead-out lines, user shapes,
// text labels and the sides of one route. Every object is visible; the
// arrays that keep a hidden spare get one behind their objects.

#include "editor/frmEdit.h"
#include "platform/elements.h"

#include <QString>

namespace benchdrawing {

struct Sizes {
    int distances = 10000;
    int leadOuts = 1000;
    int shapes = 500;
    int texts = 500;
    int sides = 100;  // one route along the bottom
};

template <class T>
T& next(platform::ElementArray<T>& a, int k)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Visible = true;
    return a(k);
}

template <class T>
void spare(platform::ElementArray<T>& a, int k)
{
    next(a, k).Visible = false;
    a(k).Tag.clear();
}

inline QString groupId(int n) { return QStringLiteral("2401%1").arg(n, 8, 10, QLatin1Char('0')); }

inline void line(platform::LineElement& l, float x1, float y1, float x2, float y2, const QString& tag)
{
    l.X1 = x1;
    l.Y1 = y1;
    l.X2 = x2;
    l.Y2 = y2;
    l.Tag = tag;
}

inline void label(platform::LabelElement& l, int n, const QString& caption, const QString& tag)
{
    l.Caption = caption;
    l.Tag = tag;
    l.Left = float(n % 400) * 2.5f;
    l.Top = float(n / 400) * 4.25f;
    l.FontName = QStringLiteral("ＭＳ Ｐゴシック");
    l.FontSize = 9;
}

// Distances fill a grid of 10 mm cells from (0, 0), 100 to a row; the other
// objects lie to the right of it.
inline void build(frmEdit& e, const Sizes& n = Sizes())
{
    for (int i = 0; i < n.distances; ++i) {
        const QString id = groupId(i);
        const float x = float(i % 100) * 10, y = float(i / 100) * 10;
        label(next(e.lblKyori, i), i, QStringLiteral("%1.25 m ").arg(i), QStringLiteral("021:%1.25_").arg(i) + id);
        line(next(e.lineDsSave, i), x, y + 3, x + 8, y + 3, id);
        line(next(e.lineHojoSave, 2 * i), x, y, x, y + 4, id);
        line(next(e.lineHojoSave, 2 * i + 1), x + 8, y, x + 8, y + 4, id);
        for (int j = 2 * i; j <= 2 * i + 1; ++j) {
            platform::ShapeElement& s = next(e.shpSnpo, j);
            s.Move(x + float(j % 2) * 8 - 0.75f, y - 0.75f, 1.5f, 1.5f);
            s.Tag = id;
        }
    }
    spare(e.lblKyori, n.distances);
    spare(e.lineDsSave, n.distances);
    spare(e.lineHojoSave, 2 * n.distances);
    spare(e.shpSnpo, 2 * n.distances);

    for (int k = 0; k < n.leadOuts; ++k) {
        const float x = 1100 + float(k % 50) * 6, y = float(k / 50) * 6;
        line(next(e.lineHikidashi, k), x, y, x + 4, y + 3, groupId(n.distances + k));
    }
    spare(e.lineHikidashi, n.leadOuts);
    for (int k = 0; k < n.shapes; ++k) {
        platform::ShapeElement& s = next(e.shpShape, k);
        s.Move(1500 + float(k % 25) * 12, float(k / 25) * 12, 10, 8);
        s.Tag = groupId(2 * n.distances + k);
    }
    spare(e.shpShape, n.shapes);
    for (int t = 0; t < n.texts; ++t) {
        platform::LabelElement& l = next(e.lblMoji, t);
        label(l, t, QStringLiteral("文字列 %1").arg(t), QString());
        l.Left = 1900 + l.Left;
    }
    const QString route = QStringLiteral("021:1.00_") + groupId(3 * n.distances);
    for (int k = 0; k < n.sides; ++k) {
        const float x = float(k) * 10;
        line(next(e.linePS, k), x, 2500, x + 10, 2500 + float(k % 2) * 5, route);
    }
    spare(e.linePS, n.sides);
}

}  // namespace benchdrawing
