#pragma once
// The end marks of a side distance: from each end of a segment a line at a
// right angle, both to the same side, with the dimension line across their
// outer ends.

#include "app/types.h"

namespace interaction {

// The offset from either end of (x1, y1)-(x2, y2) to the outer end of its
// mark, `length` long (map units, no zoom factor). A segment drawn left to
// right gets its marks below it on the map, right to left above it, and a
// vertical one to its right.
typPointD fncEndMark_Offset(float x1, float y1, float x2, float y2, float length);

}  // namespace interaction
