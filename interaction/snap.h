#pragma once
// Snapping the pointer onto points of objects already on the map: the ends
// of extension and lead-out lines, the corners of shapes and text labels.
// A marker matches in both axes, a hint in one. Map units, single precision.

#include <optional>

namespace interaction {

// A coordinate matches the pointer's strictly within this distance; the
// same on screen whatever the zoom.
constexpr float kSnapTolerance = 2.0f;

struct SnapPoint {
    float x = 0, y = 0;
};

// p - 2 < v < p + 2, both bounds in single precision.
bool fncSnap_Near(float v, float p);

// Hints of an object given by two points (a line's ends, or a box's
// top-left and bottom-right): the first point whose y (x) matches, else the
// second's, else nothing.
std::optional<SnapPoint> fncSnapH_PairY(SnapPoint a, SnapPoint b, float y);
std::optional<SnapPoint> fncSnapH_PairX(SnapPoint a, SnapPoint b, float x);

// The marker of a line: end 1 when it matches in both axes, else end 2.
std::optional<SnapPoint> fncSnapM_Pair(SnapPoint a, SnapPoint b, float x, float y);

// The marker of a box: its corners tried top-left, bottom-right,
// bottom-left, top-right, the last that matches giving the point.
std::optional<SnapPoint> fncSnapM_Box(float left, float top, float width, float height, float x, float y);

}  // namespace interaction
