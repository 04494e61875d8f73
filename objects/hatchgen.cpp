#include "objects/hatchgen.h"

#include "measure/geometry.h"
#include "measure/hatchcache.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace mdlHatching {

namespace {

// One crossing of a scan line with side intLine.
struct typHatchCross {
    int intLine = 0;
    float sngX = 0;
    float sngY = 0;
};
using CrossList = QList<typHatchCross>;

struct Corner {
    float x = 0;
    float y = 0;
};

// The state of one generation: the polygon, the zoom and the segments so far.
struct Scan {
    std::span<const HatchSide> sides;
    float zoom = 1;
    QList<typHatchLine>& out;
    bool full() const { return out.size() >= HatchLimit; }
};

// A single-precision result the runtime would refuse as an overflow.
float checked(float v)
{
    if (std::isinf(v))
        vb::raise(vb::errOverflow);
    return v;
}

float divide(float a, float b) { return vb::CSng(vb::Divide(a, b)); }

// Slope and intercept of a side that is neither vertical nor horizontal.
void slope(const HatchSide& s, float& m, float& b)
{
    m = divide(s.Y2 - s.Y1, s.X2 - s.X1);
    b = checked(s.Y1 - m * s.X1);
}

// A crossing found on a side lies on it; rounding must not push it off the
// side's box, or the far end of a joined segment would leave the area.
void clampToSide(const HatchSide& s, float& x, float& y)
{
    x = std::clamp(x, std::min(s.X1, s.X2), std::max(s.X1, s.X2));
    y = std::clamp(y, std::min(s.Y1, s.Y2), std::max(s.Y1, s.Y2));
}

// The side's crossing counts when the scan value lies in [min, max) of its
// ends' values: a vertex shared by two sides is counted once where the
// polygon passes through it, and twice or not at all at a turning point, so
// every scan line inside the area has an even number of crossings. Sides
// parallel to the scan line never count.
bool crosses(float v1, float v2, float scan) { return (v1 <= scan) != (v2 <= scan); }

// The first side from `first` on that the horizontal line at `y` crosses, or -1.
int fncHatchCross_H(std::span<const HatchSide> sides, int first, float y, float& outX, float& outY)
{
    for (int e = first; e < int(sides.size()); ++e) {
        const HatchSide& s = sides[e];
        if (!crosses(s.Y1, s.Y2, y))
            continue;
        float x = s.X1;
        if (s.X1 - s.X2 != 0) {
            float m, b;
            slope(s, m, b);
            x = divide(y - b, m);
        }
        outY = y;
        clampToSide(s, x, outY);
        outX = x;
        return e;
    }
    return -1;
}

// The same for the vertical line at `x`.
int fncHatchCross_V(std::span<const HatchSide> sides, int first, float x, float& outX, float& outY)
{
    for (int e = first; e < int(sides.size()); ++e) {
        const HatchSide& s = sides[e];
        if (!crosses(s.X1, s.X2, x))
            continue;
        float y = s.Y1;
        if (s.Y1 - s.Y2 != 0) {
            float m, b;
            slope(s, m, b);
            y = checked(m * x + b);
        }
        outX = x;
        clampToSide(s, outX, y);
        outY = y;
        return e;
    }
    return -1;
}

// The same for the line y = t x + c.
int fncHatchCross_S(std::span<const HatchSide> sides, int first, float c, float t, float& outX, float& outY)
{
    for (int e = first; e < int(sides.size()); ++e) {
        const HatchSide& s = sides[e];
        if (!crosses(s.Y1 - t * s.X1, s.Y2 - t * s.X2, c))
            continue;
        float x, y;
        if (s.X1 - s.X2 == 0) {
            x = s.X1;
            y = checked(s.X1 * t + c);
        } else if (s.Y1 - s.Y2 == 0) {
            y = s.Y1;
            x = divide(s.Y1 - c, t);
        } else {
            float m, b;
            slope(s, m, b);
            if (m == t) {
                // Parallel in single precision yet counted: the side lies on the line.
                x = s.X1;
                y = s.Y1;
            } else {
                x = divide(b - c, t - m);
                y = checked(x * m + b);
            }
        }
        clampToSide(s, x, y);
        outX = x;
        outY = y;
        return e;
    }
    return -1;
}

using CrossFn = std::function<int(int first, float& x, float& y)>;

// Every crossed side once, in side order.
void collect(const CrossFn& cross, CrossList& list)
{
    list.clear();
    float x = 0, y = 0;
    for (int e = cross(0, x, y); e >= 0; e = cross(e + 1, x, y))
        list.append({e, x, y});
}

void subHatchAdd_Line(Scan& scan, float x1, float y1, float x2, float y2)
{
    if (scan.full())
        return;
    scan.out.append({x1 / scan.zoom, x2 / scan.zoom, y1 / scan.zoom, y2 / scan.zoom});
}

// Joins the crossings of one scan line in pairs: three or more are sorted
// along the line first (two are joined in side order); an odd one left over
// is dropped.
void join(Scan& scan, CrossList& list, bool byX)
{
    if (list.size() >= 3) {
        std::stable_sort(list.begin(), list.end(), [byX](const typHatchCross& a, const typHatchCross& b) {
            return byX ? a.sngX < b.sngX : a.sngY < b.sngY;
        });
    }
    for (qsizetype i = 0; i + 1 < list.size(); i += 2)
        subHatchAdd_Line(scan, list[i].sngX, list[i].sngY, list[i + 1].sngX, list[i + 1].sngY);
}

// Runs the scan lines from `from` to `to` by `step` (single precision); stops
// at the limits, and where the step no longer moves the scan value.
void scanLines(Scan& scan, float from, float to, float step, const std::function<void(float)>& line)
{
    qsizetype count = 0;
    for (float v = from; step > 0 && v <= to && !scan.full(); v += step) {
        line(v);
        if (v + step == v || ++count >= HatchLimit)
            break;
    }
}

// A failure inside a scan is reported and ends that scan direction; the
// segments found before it stay.
void guarded(const char* procedure, const std::function<void()>& body)
{
    try {
        body();
    } catch (const vb::Error& e) {
        vb::MsgBox(QStringLiteral("frmEdit:") + QLatin1String(procedure) + QStringLiteral("():ｴﾗｰ番号 ")
                       + vb::Str(qint32(e.number())) + QStringLiteral(" ｴﾗｰが発生しました。") + vb::vbCr
                       + e.description(),
                   vb::vbOKOnly, QStringLiteral("マウス移動時エラー"));
    }
}

// A negative pitch scans nothing here: the scan would run away from its end.
void subHatchingH(Scan& scan, Corner lo, Corner hi, float pitch)
{
    guarded("subHatchingH", [&] {
        CrossList list;
        scanLines(scan, lo.y, hi.y, pitch, [&](float y) {
            collect([&](int first, float& x, float& yy) { return fncHatchCross_H(scan.sides, first, y, x, yy); },
                    list);
            join(scan, list, true);
        });
    });
}

void subHatchingV(Scan& scan, Corner lo, Corner hi, float pitch)
{
    guarded("subHatchingV", [&] {
        CrossList list;
        scanLines(scan, lo.x, hi.x, pitch, [&](float x) {
            collect([&](int first, float& xx, float& y) { return fncHatchCross_V(scan.sides, first, x, xx, y); },
                    list);
            join(scan, list, false);
        });
    });
}

// Lines of slope tan(tilt), the first through one corner of the box and the
// last through the opposite one, the pitch apart at right angles to them.
// The tilt is never a multiple of 90 degrees here.
void subHatchingS(Scan& scan, Corner lo, Corner hi, float pitch, int tilt)
{
    guarded("subHatchingS", [&] {
        const double rad = tilt * (measure::Pi / 180);
        const float t = vb::CSng(std::tan(rad));
        float yRef, start, end;
        if (t >= 0) {
            yRef = hi.y;
            const float c = checked(lo.y - t * hi.x);
            start = lo.x;
            end = divide(hi.y - c, t);
        } else {
            yRef = lo.y;
            const float cA = checked(lo.y - t * lo.x);
            start = divide(lo.y - cA, t);
            const float cB = checked(hi.y - t * hi.x);
            end = divide(lo.y - cB, t);
        }
        const float product = vb::CSng(pitch * std::tan((90 - tilt) * measure::Pi / 180));
        const float step = vb::CSng(std::fabs(vb::Divide(product, std::cos(rad))));

        CrossList list;
        scanLines(scan, start, end, step, [&](float x0) {
            const float c = checked(yRef - t * x0);
            collect([&](int first, float& x, float& y) { return fncHatchCross_S(scan.sides, first, c, t, x, y); },
                    list);
            join(scan, list, false);
        });
    });
}

// The bounding box as the scans expect it: it starts at side 1's start, and
// every extreme found after that is rounded to a whole number (halves away
// from zero). Side 0 is not visited: in a closed chain its ends are ends of
// its neighbours.
void boundingBox(std::span<const HatchSide> sides, Corner& lo, Corner& hi)
{
    lo = hi = Corner{sides[1].X1, sides[1].Y1};
    const auto above = [](float& extreme, float v) {
        if (v > extreme)
            extreme = float(std::round(double(v)));
    };
    const auto below = [](float& extreme, float v) {
        if (v < extreme)
            extreme = float(std::round(double(v)));
    };
    for (size_t i = 1; i < sides.size(); ++i) {
        const HatchSide& s = sides[i];
        above(hi.x, s.X1);
        above(hi.x, s.X2);
        above(hi.y, s.Y1);
        above(hi.y, s.Y2);
        below(lo.x, s.X1);
        below(lo.x, s.X2);
        below(lo.y, s.Y1);
        below(lo.y, s.Y2);
    }
}

}  // namespace

void subHatching(std::span<const HatchSide> lineMenseki, const typHatching& hatching, float zoom,
                 QList<typHatchLine>& tpHatchLine)
{
    tpHatchLine.clear();
    if (lineMenseki.size() < 3)
        return;
    const float pitch = float(hatching.iPitch) * zoom;
    if (pitch == 0)
        return;
    const int tilt = hatching.iTilt;
    const bool slantable = tilt % 90 != 0;

    Corner lo, hi;
    boundingBox(lineMenseki, lo, hi);
    Scan scan{lineMenseki, zoom, tpHatchLine};
    switch (hatching.iStyle) {
    case 1:
        subHatchingH(scan, lo, hi, pitch);
        break;
    case 2:
        subHatchingV(scan, lo, hi, pitch);
        break;
    // The picture's y runs downward: a positive slope falls to the right.
    case 3:  // falling to the right
        if (slantable)
            subHatchingS(scan, lo, hi, pitch, tilt);
        break;
    case 4:  // rising to the right
        if (slantable)
            subHatchingS(scan, lo, hi, pitch, -tilt);
        break;
    case 5:
        subHatchingH(scan, lo, hi, pitch);
        subHatchingV(scan, lo, hi, pitch);
        break;
    case 6:
        if (slantable) {
            subHatchingS(scan, lo, hi, pitch, tilt);
            subHatchingS(scan, lo, hi, pitch, -tilt);
        }
        break;
    default:
        break;
    }
}

qsizetype fncHatching_Store(std::span<const HatchSide> lineMenseki, typHatching& hatching, const QString& key,
                            float zoom)
{
    using Ubound = decltype(typHatching::iUbound);
    constexpr qsizetype storable = qsizetype(std::numeric_limits<Ubound>::max()) + 1;

    QList<typHatchLine> lines;
    subHatching(lineMenseki, hatching, zoom, lines);
    if (lines.size() > storable)
        lines.resize(storable);

    // Opening a drawing again regenerates every area; a file that already
    // holds the same segments is kept, as writing hundreds of them anew is
    // most of such a load's time.
    if (!lines.isEmpty() && mdlFileAccess::fncHolds_Bin(key, lines)) {
        hatching.iUbound = Ubound(lines.size() - 1);
        return lines.size();
    }
    // The old file goes first: once the record changes it is stale, and a
    // write that fails must not leave it to be drawn with the new count.
    mdlFileAccess::subKill_BinOne(key);
    hatching.iUbound = Ubound(lines.size() - 1);
    if (!lines.isEmpty())
        mdlFileAccess::subPut_Bin(key, hatching, lines);
    return lines.size();
}

}  // namespace mdlHatching
