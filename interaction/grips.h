#pragma once
// Where the four grip squares of a selection go, and what grabbing a box by
// a corner or side does to it. Two layouts number the corners differently:
// a shape's grips run round from the top-left (down, across, up), a label's
// go left column first; callers place the squares from these lists.
// Grabbing a corner or side changes nothing: only the drag's steps do.

#include "interaction/rect.h"

#include <array>

namespace interaction {

// Grip squares are 105 twips across (1440 twips to the inch).
constexpr float kGripSize = float(105 * 25.4 / 1440);

// A shape's (and a moved box's) grips: centres at (L, T), (L, T + H),
// (L + W, T + H), (L + W, T).
std::array<typPointS, 4> fncGrip_ShapeCentres(const typRect& r);

// A label's grips: the squares' own top-left corners, just outside the
// label: (L - 2, T - 1), (L - 2, T + H), (L + W, T - 1), (L + W, T + H).
std::array<typPointS, 4> fncGrip_LabelCorners(const typRect& r);

// The grips that follow a grabbed corner (one centre) or side (its two
// ends) of the box as it now is; count 0 for other codes.
struct typGripCentres {
    int count = 0;
    std::array<typPointS, 2> at{};
};
typGripCentres fncGrip_Grabbed(qint16 code, const typRect& r);

}  // namespace interaction
