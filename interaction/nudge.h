#pragma once
// The arrow keys' rules without elements: how far one key-down moves for
// the time the nudge has lasted, and a shape's box after one step of a grip.

#include "interaction/rect.h"

#include <QtGlobal>

namespace interaction {

// The step in map units at 100 % for a nudge that began `seconds` ago:
// 0.01 up to 5 s, 0.1 up to 10 s, 0.5 up to 15 s, then 1.0, however long
// (a clock set back counts as the start).
float fncNudge_Step(qint64 seconds);

// The key's offset (dx, dy) by the rule new = old - delta; false for a key
// that nudges nothing.
bool fncNudge_Delta(int keyCode, float step, float& dx, float& dy);

// The box after grip `code` (0 moves it, 1-8 a corner or side) went by
// (dx, dy). All four values are worked out first; a size that would go
// below 0 becomes 0 with its opposite edge kept. Other codes leave it.
typRect fncNudge_Rect(qint16 code, const typRect& r, float dx, float dy);

}  // namespace interaction
