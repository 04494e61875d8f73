// The arrow keys' step and a shape's box after one step of a grip.

#include "interaction/nudge.h"

#include "platform/keyboard.h"

namespace interaction {

float fncNudge_Step(qint64 seconds)
{
    // Counted wide, so that no span overflows into a small step.
    if (seconds > 15)
        return 1.0f;
    if (seconds > 10)
        return 0.5f;
    if (seconds > 5)
        return 0.1f;
    return 0.01f;
}

bool fncNudge_Delta(int keyCode, float step, float& dx, float& dy)
{
    dx = 0;
    dy = 0;
    switch (keyCode) {
    case vb::vbKeyLeft: dx = step; return true;
    case vb::vbKeyUp: dy = step; return true;
    case vb::vbKeyRight: dx = -step; return true;
    case vb::vbKeyDown: dy = -step; return true;
    default: return false;
    }
}

typRect fncNudge_Rect(qint16 code, const typRect& r, float dx, float dy)
{
    if (code < gripInside || code > gripBottom)
        return r;
    typRect out = r;
    if (code == gripInside) {
        out.Left -= dx;
        out.Top -= dy;
        return out;
    }
    if (fncGrip_MovesLeft(code)) {
        out.Left -= dx;
        out.Width += dx;
    }
    if (fncGrip_MovesRight(code))
        out.Width -= dx;
    if (fncGrip_MovesTop(code)) {
        out.Top -= dy;
        out.Height += dy;
    }
    if (fncGrip_MovesBottom(code))
        out.Height -= dy;
    // Past the opposite edge the box stops there, at no size.
    if (out.Width < 0) {
        if (fncGrip_MovesLeft(code))
            out.Left += out.Width;
        out.Width = 0;
    }
    if (out.Height < 0) {
        if (fncGrip_MovesTop(code))
            out.Top += out.Height;
        out.Height = 0;
    }
    return out;
}

}  // namespace interaction
