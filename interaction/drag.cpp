// Dragging lines, shapes and labels on the map, a step per mouse move.

#include "interaction/drag.h"

#include "editor/frmEdit.h"
#include "interaction/elementbox.h"
#include "interaction/grips.h"
#include "interaction/shift.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace interaction {

namespace {
constexpr qint16 kVerticalOnly = 1;
constexpr qint16 kHorizontalOnly = 2;
constexpr qint16 kAxisHorizontal = 1;
constexpr qint16 kAxisVertical = 2;
}  // namespace

void subLock_Move(bool shift, bool& decided, qint16& lock, float& dx, float& dy)
{
    if (!shift)
        return;
    if (!decided) {
        decided = true;
        lock = 0;
        const float ax = std::fabs(dx), ay = std::fabs(dy);
        if (ay > ax)
            lock = kVerticalOnly;
        else if (ay < ax)
            lock = kHorizontalOnly;
    }
    if (lock == kVerticalOnly)
        dx = 0;
    else if (lock == kHorizontalOnly)
        dy = 0;
}

qint16 fncShift_AxisRule(bool shift, float dx, float dy, bool& decided, qint16& lock)
{
    if (!shift) {
        lock = 0;
        return 0;
    }
    if (!decided) {
        decided = true;
        const float ax = std::fabs(dx), ay = std::fabs(dy);
        if (ay > ax)
            lock = kAxisVertical;
        else if (ay < ax)
            lock = kAxisHorizontal;
    }
    return lock;
}

typRect fncResize_Rect(qint16 code, const typRect& r, float dx, float dy)
{
    typRect out = r;
    const float right = r.Left + r.Width, bottom = r.Top + r.Height;
    if (fncGrip_MovesLeft(code)) {
        out.Left = std::min(r.Left + dx, right);
        out.Width = right - out.Left;
    } else if (fncGrip_MovesRight(code)) {
        out.Width = std::max(0.0f, r.Width + dx);
    }
    if (fncGrip_MovesTop(code)) {
        out.Top = std::min(r.Top + dy, bottom);
        out.Height = bottom - out.Top;
    } else if (fncGrip_MovesBottom(code)) {
        out.Height = std::max(0.0f, r.Height + dy);
    }
    return out;
}

}  // namespace interaction

namespace {

// The corner that stays put while `code` drags the other.
typPointS oppositeCorner(qint16 code, const interaction::typRect& r)
{
    const float right = r.Left + r.Width, bottom = r.Top + r.Height;
    switch (code) {
    case interaction::gripTopLeft:
        return {right, bottom};
    case interaction::gripBottomLeft:
        return {right, r.Top};
    case interaction::gripTopRight:
        return {r.Left, bottom};
    default:
        return {r.Left, r.Top};
    }
}

// The point a corner or side code takes along: the corner, or on a side
// the moving edge (with the fixed coordinate of the top-left corner).
typPointS grabbedPoint(qint16 code, const interaction::typRect& r)
{
    return {interaction::fncGrip_MovesRight(code) ? r.Left + r.Width : r.Left,
            interaction::fncGrip_MovesBottom(code) ? r.Top + r.Height : r.Top};
}

template <class T>
void dragRect(frmEdit& e, qint16 code, T& element, ElementArray<ShapeElement>& grips, float& prevX, float& prevY,
              float& x, float& y, bool& drag)
{
    using namespace interaction;
    const typRect r = interaction::fncBox_Of(element);
    if (code == gripInside) {
        // The grips are looked up before anything moves.
        ShapeElement* shown[4] = {&grips(0), &grips(1), &grips(2), &grips(3)};
        float dx = x - prevX, dy = y - prevY;
        subLock_Move(fncShift_Held(), drag, e.intLockRect, dx, dy);
        element.Left = r.Left + dx;
        element.Top = r.Top + dy;
        const auto centres = fncGrip_ShapeCentres(interaction::fncBox_Of(element));
        for (int k = 0; k <= 3; ++k) {
            interaction::subGrip_Centre(*shown[k], centres[size_t(k)].sngX, centres[size_t(k)].sngY);
            shown[k]->Visible = true;
        }
        return;
    }
    if (!fncGrip_IsCorner(code) && !fncGrip_IsSide(code))
        return;
    ShapeElement* shown[2] = {&grips(0), fncGrip_IsSide(code) ? &grips(1) : nullptr};
    // The grabbed corner (on a side, its moving edge) goes by the pointer's
    // travel since the last step, so that a press leaves it where it was;
    // Shift holds a corner against the opposite one.
    const typPointS from = grabbedPoint(code, r);
    const float freeX = from.sngX + (x - prevX), freeY = from.sngY + (y - prevY);
    float toX = freeX, toY = freeY;
    if (fncGrip_IsCorner(code)) {
        const typPointS anchor = oppositeCorner(code, r);
        e.subShift_Point(anchor.sngX, anchor.sngY, freeX, freeY, toX, toY);
    }
    const typRect resized = fncResize_Rect(code, r, toX - from.sngX, toY - from.sngY);
    interaction::subBox_Apply(element, resized);
    // The pointer comes back moved as far as the constraint or the opposite
    // edge held the corner, so the next step goes on from where it really
    // is: held at the opposite edge, it follows again once the pointer is
    // back across.
    const typPointS reached = grabbedPoint(code, resized);
    if (fncGrip_MovesLeft(code) || fncGrip_MovesRight(code))
        x += reached.sngX - freeX;
    if (fncGrip_MovesTop(code) || fncGrip_MovesBottom(code))
        y += reached.sngY - freeY;
    const typGripCentres g = fncGrip_Grabbed(code, resized);
    for (int k = 0; k < g.count; ++k) {
        interaction::subGrip_Centre(*shown[k], g.at[size_t(k)].sngX, g.at[size_t(k)].sngY);
        if (fncGrip_IsSide(code))
            shown[k]->Visible = true;
    }
}

// A line's end moved by the pointer's travel since the last step, so that
// the end keeps the offset the press found it at; Shift holds it against
// the other end. The pointer comes back moved as far as the constraint
// moved the end, so the next step goes on from where the end really is.
typPointS dragEnd(frmEdit& e, typPointS end, typPointS other, ShapeElement& grip, float prevX, float prevY, float& x,
                  float& y)
{
    const float freeX = end.sngX + (x - prevX), freeY = end.sngY + (y - prevY);
    float toX = freeX, toY = freeY;
    e.subShift_Point(other.sngX, other.sngY, freeX, freeY, toX, toY);
    x += toX - freeX;
    y += toY - freeY;
    interaction::subGrip_Centre(grip, toX, toY);
    return {toX, toY};
}

}  // namespace

void frmEdit::subDrag_Rect(qint16 code, ElementArray<ShapeElement>& shapes, int index,
                           ElementArray<ShapeElement>& grips, float& prevX, float& prevY, float& x, float& y,
                           bool& drag)
{
    dragRect(*this, code, shapes(index), grips, prevX, prevY, x, y, drag);
}

void frmEdit::subDrag_Rect(qint16 code, ElementArray<LabelElement>& labels, int index,
                           ElementArray<ShapeElement>& grips, float& prevX, float& prevY, float& x, float& y,
                           bool& drag)
{
    dragRect(*this, code, labels(index), grips, prevX, prevY, x, y, drag);
}

void frmEdit::subDrag_Line(qint16 code, LineElement& line, ElementArray<ShapeElement>& grips, float& prevX,
                           float& prevY, float& x, float& y, bool& drag)
{
    using namespace interaction;
    switch (code) {
    case gripBody:
    case gripBodyToo: {
        ShapeElement& first = grips(0);
        ShapeElement& second = grips(1);
        float dx = x - prevX, dy = y - prevY;
        subLock_Move(fncShift_Held(), drag, intLockLine, dx, dy);
        line.X1 = line.X1 + dx;
        line.X2 = line.X2 + dx;
        line.Y1 = line.Y1 + dy;
        line.Y2 = line.Y2 + dy;
        interaction::subGrip_Centre(first, line.X1, line.Y1);
        interaction::subGrip_Centre(second, line.X2, line.Y2);
        prevX = x;
        prevY = y;
        break;
    }
    case gripFirstEnd: {
        const typPointS p = dragEnd(*this, {line.X1, line.Y1}, {line.X2, line.Y2}, grips(0), prevX, prevY, x, y);
        line.X1 = p.sngX;
        line.Y1 = p.sngY;
        break;
    }
    case gripSecondEnd: {
        const typPointS p = dragEnd(*this, {line.X2, line.Y2}, {line.X1, line.Y1}, grips(1), prevX, prevY, x, y);
        line.X2 = p.sngX;
        line.Y2 = p.sngY;
        break;
    }
    default:
        break;
    }
}

qint16 frmEdit::fncShift_Axis(float dx, float dy, bool& drag)
{
    return interaction::fncShift_AxisRule(interaction::fncShift_Held(), dx, dy, drag, intLockAxis);
}
