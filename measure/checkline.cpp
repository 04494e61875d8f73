#include "measure/checkline.h"

#include "editor/frmEdit.h"
#include "measure/geometry.h"
#include "platform/form.h"

#include <cmath>

using platform::LineElement;
using platform::ShapeElement;

namespace {

frmEdit& editor()
{
    return platform::Instance<frmEdit>::get();
}

void centre(ShapeElement& marker, float x, float y)
{
    marker.Top = y - marker.Height() / 2;
    marker.Left = x - marker.Width() / 2;
}

// A tick from (x, y) `length` along the direction `angle` (radians), or
// against it when `sign` is -1; the end is taken from the start as the
// element holds it.
void tick(LineElement& line, float x, float y, float length, double angle, int sign)
{
    line.X1 = x;
    line.Y1 = y;
    line.X2 = float(line.X1 + sign * length * std::cos(angle));
    line.Y2 = float(line.Y1 + sign * length * std::sin(angle));
}

}  // namespace

namespace mdlSub {

void subSet_CheckLine(float x1, float y1, float x2, float y2)
{
    frmEdit& e = editor();
    e.lineCheck.X1 = x1;
    e.lineCheck.Y1 = y1;
    e.lineCheck.X2 = x2;
    e.lineCheck.Y2 = y2;
    subSet_CheckMarker(x1, y1, x2, y2);
}

void subSet_CheckMarker(float x1, float y1, float x2, float y2)
{
    frmEdit& e = editor();
    centre(e.shpCheck(0), x1, y1);
    centre(e.shpCheck(1), x2, y2);
}

void subSet_HojoLines(float x1, float y1, float x2, float y2, float length)
{
    frmEdit& e = editor();
    // At right angles to the segment: a horizontal segment gets vertical ticks.
    const double across = (fncGet_LineAngle(x1, y1, x2, y2, 1) - 90) * measure::DegToRad;
    tick(e.lineHojo(0), x1, y1, length, across, 1);
    tick(e.lineHojo(2), x1, y1, length, across, -1);
    tick(e.lineHojo(1), x2, y2, length, across, 1);
    tick(e.lineHojo(3), x2, y2, length, across, -1);
    e.lineCheck.X1 = x1;
    e.lineCheck.X2 = x2;
    e.lineCheck.Y1 = y1;
    e.lineCheck.Y2 = y2;
    for (int k = 0; k <= 3; ++k)
        e.lineHojo(k).Visible = true;
}

}  // namespace mdlSub
