// End marks of segments and the re-laying of a side's distance object.

#include "interaction/endmark.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/geometry.h"

#include <cmath>

using namespace platform;

namespace interaction {

typPointD fncEndMark_Offset(float x1, float y1, float x2, float y2, float length)
{
    const double theta = mdlSub::fncGet_LineAngle(x1, y1, x2, y2, 1);
    const double a = (x2 > x1 ? theta + 90 : theta - 90) * measure::DegToRad;
    return {std::cos(a) * length, std::sin(a) * length};
}

}  // namespace interaction

namespace {

void lay(LineElement& line, float x, float y, const typPointD& offset)
{
    line.X1 = x;
    line.Y1 = y;
    line.X2 = float(x + offset.dblX);
    line.Y2 = float(y + offset.dblY);
}

void centre(ShapeElement& marker, float x, float y)
{
    marker.Left = x - marker.Width() / 2;
    marker.Top = y - marker.Height() / 2;
}

}  // namespace

void frmEdit::subEndMark_Line(ElementArray<LineElement>& lines, float x1, float y1, float x2, float y2,
                              float length, int idx)
{
    LineElement& first = lines(idx);
    LineElement& second = lines(idx + 1);
    const typPointD offset = interaction::fncEndMark_Offset(x1, y1, x2, y2, length);
    lay(first, x1, y1, offset);
    lay(second, x2, y2, offset);
}

void frmEdit::subEndMark_Kyori(int k, int i)
{
    // Every element is looked up first: a missing one stops the re-laying
    // before any of the object has moved.
    LineElement& side = linePS(k);
    LineElement& first = lineHojoSave(2 * i);
    LineElement& second = lineHojoSave(2 * i + 1);
    LineElement& dimension = lineDsSave(i);
    ShapeElement& firstMarker = shpSnpo(2 * i);
    ShapeElement& secondMarker = shpSnpo(2 * i + 1);
    LabelElement& label = lblKyori(i);

    subEndMark_Line(lineHojoSave, side.X1, side.Y1, side.X2, side.Y2, GE_sngHojoLen, 2 * i);
    dimension.X1 = first.X2;
    dimension.Y1 = first.Y2;
    dimension.X2 = second.X2;
    dimension.Y2 = second.Y2;
    centre(firstMarker, first.X2, first.Y2);
    centre(secondMarker, second.X2, second.Y2);
    subDisp_LineDistance(dimension, label, true);
}
