// Shift constraints of the map and of the labels.

#include "interaction/shift.h"

#include "editor/frmEdit.h"
#include "platform/keyboard.h"

#include <cmath>

using namespace platform;

namespace interaction {

bool fncShift_Held()
{
    return keyIsDown(vb::vbKeyShift);
}

void subShift_Rule(float x0, float y0, float x, float y, float& outX, float& outY)
{
    const float dx = std::fabs(x0 - x);
    const float dy = std::fabs(y0 - y);
    if (dy < kShiftThreshold) {
        outY = y0;
        return;
    }
    if (dx < kShiftThreshold) {
        outX = x0;
        return;
    }
    // Onto the diagonal through the anchor, keeping the height.
    outX = x0 <= x ? x0 + dy : x0 - dy;
    outY = y0 <= y ? y0 + dy : y0 - dy;
}

float fncShift_SquareStart(float p, float start, float size)
{
    const float end = start + size;
    if (std::fabs(p - start) < std::fabs(p - end))
        return p;
    return p - size;
}

float fncShift_LabelStart(float start, float size, float p)
{
    if (size / 2 > p)
        return start + p;
    return start - (size - p);
}

}  // namespace interaction

void frmEdit::subShift_Point(float x0, float y0, float x, float y, float& outX, float& outY)
{
    if (!interaction::fncShift_Held()) {
        outX = x;
        outY = y;
        return;
    }
    interaction::subShift_Rule(x0, y0, x, y, outX, outY);
}

void frmEdit::subShift_Square(ShapeElement& shape, qint16 flag, float x, float y)
{
    if (flag != 0 || !interaction::fncShift_Held())
        return;
    shape.Left = interaction::fncShift_SquareStart(x, shape.Left, shape.Width());
    shape.Top = interaction::fncShift_SquareStart(y, shape.Top, shape.Height());
}

void frmEdit::subShift_LabelDown(LabelElement& label, qint16 flag, float x, float y)
{
    if (flag != 0 || !interaction::fncShift_Held())
        return;
    label.Left = interaction::fncShift_LabelStart(label.Left, label.Width(), x);
    label.Top = interaction::fncShift_LabelStart(label.Top, label.Height(), y);
}
