#pragma once
// Hatching of an area: parallel segments inside its polygon, horizontal,
// vertical, slanted at the area's tilt, or two of these crossed. Scan lines
// are laid over the polygon's bounding box at the record's pitch; where each
// one crosses the sides is sorted along the line and joined in pairs.
//
// Pure arithmetic on a list of sides: the editor copies an area's sides in,
// and draws the segments from the area's cache file.

#include "app/types.h"

#include <QList>
#include <QString>
#include <span>

namespace mdlHatching {

// One side of the polygon in map units (stored coordinates times the zoom),
// from (X1, Y1) to (X2, Y2). The sides form a closed chain in any order.
struct HatchSide {
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
};

// No real drawing comes near this many segments, nor this many scan lines in
// one direction; reaching either ends the generation with what it has.
constexpr qsizetype HatchLimit = 1'000'000;

// Replaces `tpHatchLine` with the hatching of the polygon in the record's
// iStyle (1 horizontal, 2 vertical, 3 slope tan(iTilt), 4 slope -tan(iTilt),
// 5 horizontal then vertical, 6 as 3 then as 4; anything else none), spaced
// iPitch stored units apart. y runs downward as on the picture, so with a
// tilt between 0 and 90 degrees style 3 falls to the right and 4 rises.
// The segments are stored unzoomed (divided by `zoom`). Fewer than three
// sides, a pitch of 0, or a slanted style whose tilt is a multiple of 90
// degrees give no segments. A failure inside a scan
// is reported in a message box and ends that scan direction.
void subHatching(std::span<const HatchSide> lineMenseki, const typHatching& hatching, float zoom,
                 QList<typHatchLine>& tpHatchLine);

// Generates the area's hatching and writes it to the area's cache file under
// `key`, setting the record's iUbound to the last index of what was written
// (-1 for none). With no segments the file is deleted, so nothing stale is
// drawn. The record counts at most 32,768 segments; the list is cut there.
// Answers the number of segments given to the file.
qsizetype fncHatching_Store(std::span<const HatchSide> lineMenseki, typHatching& hatching, const QString& key,
                            float zoom);

}  // namespace mdlHatching
