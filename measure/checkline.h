#pragma once
// The calibration display on the editor's map: the check line between the
// two points of the pair being calibrated, its two end markers and the
// cross ticks at both ends. Coordinates are map coordinates as the caller
// gives them (the options window keeps the map at 100 %).

namespace mdlSub {

// The check line from (x1, y1) to (x2, y2) and a marker centred on each end.
// Visibility is left as it is.
void subSet_CheckLine(float x1, float y1, float x2, float y2);

// Only the two markers, each centred on its point by its own size.
void subSet_CheckMarker(float x1, float y1, float x2, float y2);

// Ticks of `length` on both sides of each end, at right angles to the
// segment ((0) and (2) at the first point, (1) and (3) at the second), the
// check line laid along the segment, and the ticks shown. The markers stay.
void subSet_HojoLines(float x1, float y1, float x2, float y2, float length);

}  // namespace mdlSub
