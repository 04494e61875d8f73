#pragma once
// Snapping the pointer onto points of objects already on the map: the ends
// of extension and lead-out lines, the corners of shapes and text labels.
// A marker matches in both axes, a hint in one. Map units, single precision.
// Inline: the searches run them on every target at each pointer move.

#include <optional>

namespace interaction {

// A coordinate matches the pointer's strictly within this distance; the
// same on screen whatever the zoom.
constexpr float kSnapTolerance = 2.0f;

struct SnapPoint {
    float x = 0, y = 0;
};

// p - 2 < v < p + 2, both bounds in single precision.
inline bool fncSnap_Near(float v, float p)
{
    const float low = p - kSnapTolerance;
    const float high = p + kSnapTolerance;
    return low < v && v < high;
}

// Hints of an object given by two points (a line's ends, or a box's
// top-left and bottom-right): the first point whose y (x) matches, else the
// second's, else nothing.
inline std::optional<SnapPoint> fncSnapH_PairY(SnapPoint a, SnapPoint b, float y)
{
    if (fncSnap_Near(a.y, y))
        return a;
    if (fncSnap_Near(b.y, y))
        return b;
    return std::nullopt;
}

inline std::optional<SnapPoint> fncSnapH_PairX(SnapPoint a, SnapPoint b, float x)
{
    if (fncSnap_Near(a.x, x))
        return a;
    if (fncSnap_Near(b.x, x))
        return b;
    return std::nullopt;
}

// The marker of a line: end 1 when it matches in both axes, else end 2.
inline std::optional<SnapPoint> fncSnapM_Pair(SnapPoint a, SnapPoint b, float x, float y)
{
    if (fncSnap_Near(a.x, x) && fncSnap_Near(a.y, y))
        return a;
    if (fncSnap_Near(b.x, x) && fncSnap_Near(b.y, y))
        return b;
    return std::nullopt;
}

// The marker of a box: its corners tried top-left, bottom-right,
// bottom-left, top-right, the last that matches giving the point.
inline std::optional<SnapPoint> fncSnapM_Box(float left, float top, float width, float height, float x, float y)
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
