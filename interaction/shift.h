#pragma once
// Holding Shift on the map: a point kept horizontal, vertical or at 45
// degrees from an anchor, and the nearest corner of a box jumping onto the
// pressed point.

#include <QtGlobal>

namespace interaction {

// Points within this distance of the anchor's horizontal (then vertical)
// snap onto it; beyond both they go onto the diagonal.
constexpr float kShiftThreshold = 10.0f;

// Whether Shift is held at this moment, read from the keyboard state (the
// mouse event's own Shift flag may be stale by the time a handler runs).
bool fncShift_Held();

// The Shift rule for the point (x, y) against the anchor (x0, y0), as if
// Shift were held. Horizontal and vertical results write only the
// coordinate that changes, so callers may pass the point's own variables.
void subShift_Rule(float x0, float y0, float x, float y, float& outX, float& outY);

// The new start (Left or Top) of a span [start, start + size] whose nearer
// end jumps onto p; a tie goes to the far end.
float fncShift_SquareStart(float p, float start, float size);

// The same for a label pressed at p, relative to its own start: the left
// (top) half brings the near edge to the press, the rest the far edge.
float fncShift_LabelStart(float start, float size, float p);

}  // namespace interaction
