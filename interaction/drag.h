#pragma once
// One mouse move of a drag on the map: the Shift locks of a whole-object
// move and of a label's drag, and the resize of a box by a corner or side.

#include "interaction/rect.h"

namespace interaction {

// The lock of a whole-object move: 0 none, 1 vertical only, 2 horizontal
// only. The first step made with Shift held (`decided` still false)
// decides it from the larger of |dx| and |dy| (a tie leaves none); while
// Shift is held the lock zeroes the other step; without Shift nothing is
// locked and the lock is kept for when Shift comes back.
void subLock_Move(bool shift, bool& decided, qint16& lock, float& dx, float& dy);

// The lock of a label's drag, in its other numbering: 0 none, 1 horizontal,
// 2 vertical. Without Shift it is forgotten (0); the first step with Shift
// decides it, a tie keeping what it was.
qint16 fncShift_AxisRule(bool shift, float dx, float dy, bool& decided, qint16& lock);

// The box after its corner or side (codes 1-8) was dragged by the step
// (dx, dy): the grabbed edges go by the step, so that a grabbed edge keeps
// the offset the press found it at; they stop at the opposite edge (size 0,
// the opposite edge fixed). Other codes leave the box.
typRect fncResize_Rect(qint16 code, const typRect& r, float dx, float dy);

}  // namespace interaction
