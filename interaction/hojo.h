#pragma once
// The cross lines drawn over both ends of a measured straight line, so that
// its length reads like a dimension on a plan: the offset of their outer ends.

#include <QtGlobal>

namespace interaction {

// The offset (c, s) from an end of (x1, y1)-(x2, y2) to the outer end of the
// extension lines on the first side; the other side lies at (-c, -s). The
// offset is at a right angle to the line, `length` long, in map units as
// shown (no zoom factor). Coinciding points lay it along the horizontal.
struct HojoOffset {
    double c = 0;
    double s = 0;
};
HojoOffset fncHojo_Offset(float x1, float y1, float x2, float y2, float length);

}  // namespace interaction
