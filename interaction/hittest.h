#pragma once
// What lies under a press on the map: the predicates of the hit tests, one
// element at a time. Every sum and difference is rounded to single precision
// before it is compared, as the elements keep their coordinates.

#include "interaction/rect.h"

namespace interaction {

// A line's ends are taken within this distance in both axes, inclusive.
constexpr float kLineEndTolerance = 1.0f;
// Shapes and markers: the band along the border that is not their inside,
// and the reach of their corner and side grips (strict).
constexpr float kShapeTolerance = 1.0f;
// Labels reach further: their text is small on the screen.
constexpr float kLabelTolerance = 2.0f;

// 1 when (x, y) lies on the first end (x1, y1), else 2 on the second end,
// else -1. A line short enough for both answers the first.
qint16 fncHit_End(float x1, float y1, float x2, float y2, float x, float y);

// Strictly inside the box by more than the tolerance on every side.
bool fncHit_Inside(const typRect& r, float x, float y);

// The corner (1-4) or side (5-8) of the box within t of (x, y), strict;
// corners before sides, left before right, top before bottom. -1 for none.
qint16 fncHit_Grip(const typRect& r, float x, float y, float t);

}  // namespace interaction
