// The snap tests of one object; the searches over the arrays are in snapsearch.cpp.

#include "interaction/snap.h"

namespace interaction {

bool fncSnap_Near(float v, float p)
{
    const float low = p - kSnapTolerance;
    const float high = p + kSnapTolerance;
    return low < v && v < high;
}

std::optional<SnapPoint> fncSnapH_PairY(SnapPoint a, SnapPoint b, float y)
{
    if (fncSnap_Near(a.y, y))
        return a;
    if (fncSnap_Near(b.y, y))
        return b;
    return std::nullopt;
}

std::optional<SnapPoint> fncSnapH_PairX(SnapPoint a, SnapPoint b, float x)
{
    if (fncSnap_Near(a.x, x))
        return a;
    if (fncSnap_Near(b.x, x))
        return b;
    return std::nullopt;
}

std::optional<SnapPoint> fncSnapM_Pair(SnapPoint a, SnapPoint b, float x, float y)
{
    if (fncSnap_Near(a.x, x) && fncSnap_Near(a.y, y))
        return a;
    if (fncSnap_Near(b.x, x) && fncSnap_Near(b.y, y))
        return b;
    return std::nullopt;
}

std::optional<SnapPoint> fncSnapM_Box(float left, float top, float width, float height, float x, float y)
{
    const float right = left + width, bottom = top + height;
    const SnapPoint corners[] = {{left, top}, {right, bottom}, {left, bottom}, {right, top}};
    std::optional<SnapPoint> found;
    for (const SnapPoint& c : corners) {
        if (fncSnap_Near(c.x, x) && fncSnap_Near(c.y, y))
            found = c;
    }
    return found;
}

}  // namespace interaction
