#pragma once
// The box of a shape or label on the map and the grip codes that name its
// parts: what the hit tests answer and the grip and drag routines act on.

#include "app/types.h"

#include <QtGlobal>

namespace interaction {

// Left, Top, Width and Height of a shape or label, in map units.
struct typRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// Grip codes of a line: the body, the first end, the second end (3 is the
// body again).
enum LineGrip : qint16 { gripNone = -1, gripBody = 0, gripFirstEnd = 1, gripSecondEnd = 2, gripBodyToo = 3 };

// Grip codes of a shape or label: inside, the four corners, the four sides.
enum RectGrip : qint16 {
    gripInside = 0,
    gripTopLeft = 1,
    gripBottomLeft = 2,
    gripTopRight = 3,
    gripBottomRight = 4,
    gripLeft = 5,
    gripRight = 6,
    gripTop = 7,
    gripBottom = 8,
};

// Which edges of the box a code takes along.
inline bool fncGrip_MovesLeft(qint16 code) { return code == gripTopLeft || code == gripBottomLeft || code == gripLeft; }
inline bool fncGrip_MovesRight(qint16 code)
{
    return code == gripTopRight || code == gripBottomRight || code == gripRight;
}
inline bool fncGrip_MovesTop(qint16 code) { return code == gripTopLeft || code == gripTopRight || code == gripTop; }
inline bool fncGrip_MovesBottom(qint16 code)
{
    return code == gripBottomLeft || code == gripBottomRight || code == gripBottom;
}
inline bool fncGrip_IsCorner(qint16 code) { return code >= gripTopLeft && code <= gripBottomRight; }
inline bool fncGrip_IsSide(qint16 code) { return code >= gripLeft && code <= gripBottom; }

}  // namespace interaction
