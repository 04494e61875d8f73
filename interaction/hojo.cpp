// The temporary extension lines of the line being measured or calibrated.

#include "interaction/hojo.h"

#include "editor/frmEdit.h"
#include "measure/geometry.h"

#include <cmath>

namespace interaction {

HojoOffset fncHojo_Offset(float x1, float y1, float x2, float y2, float length)
{
    const double angle = (mdlSub::fncGet_LineAngle(x1, y1, x2, y2, 1) - 90) * measure::DegToRad;
    return {std::cos(angle) * length, std::sin(angle) * length};
}

}  // namespace interaction

void frmEdit::subHojo_Start(platform::ElementArray<platform::LineElement>& lines, float x, float y)
{
    lines(0).X1 = x;
    lines(0).Y1 = y;
    lines(2).X1 = x;
    lines(2).Y1 = y;
}

void frmEdit::subHojo_Layout(platform::ElementArray<platform::LineElement>& lines, float x1, float y1, float x2,
                             float y2, float length)
{
    const interaction::HojoOffset o = interaction::fncHojo_Offset(x1, y1, x2, y2, length);
    // Each end is computed from its own line's start, which for 0 and 2 is
    // the start the caller laid with subHojo_Start.
    const auto layEnd = [](platform::LineElement& line, double dx, double dy) {
        line.X2 = float(double(line.X1) + dx);
        line.Y2 = float(double(line.Y1) + dy);
    };
    layEnd(lines(0), o.c, o.s);
    layEnd(lines(2), -o.c, -o.s);
    lines(1).X1 = x2;
    lines(1).Y1 = y2;
    layEnd(lines(1), o.c, o.s);
    lines(3).X1 = x2;
    lines(3).Y1 = y2;
    layEnd(lines(3), -o.c, -o.s);
}
