#pragma once
// The arithmetic of area and route results: the polygon buffer's sides at
// zoom 1.0 and the box around them, the area in the current area unit, where
// a result label goes, the auto-close vertex and the hit test on a line's
// body. The editor reads its elements into sides and calls these.

#include <QString>
#include <QtGlobal>
#include <span>
#include <vector>

namespace measure {

// One line: from (X1, Y1) to (X2, Y2).
struct typSide {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// The box around the sides' ends. The maxima start at -1 and the minima at
// the start of the first side, so a polygon left of or above 0 keeps -1 as
// its maximum.
struct typBox {
    float minX = 0, minY = 0, maxX = -1, maxY = -1;
};

// Screen sides at zoom 1.0 (divided by GE_sngZoom) and the box around them.
struct typPlanSides {
    std::vector<typSide> sides;
    typBox box;
};
typPlanSides fncPlan_Sides(std::span<const typSide> screenSides);

// The area enclosed by sides at zoom 1.0: vertex k is the straightened start
// of side k times GE_tpPtoD_r, the last vertex the end of the last side. In
// the known-distance mode the ratios give lengths in the current distance
// unit, so the area is in that unit squared and becomes square metres with
// the square of its metre factor; in the longitude/latitude mode the ratios
// are metres already. The result is in the current area unit
// GE_intUnitSIndex. A unit index outside 0-13 raises errSubscript.
double fncPolygon_Area(std::span<const typSide> planSides);

// An area caption: the value formatted with GE_strFormat(GE_intDPointS),
// then GE_strUnitS. Decimals outside 0-8 raise errSubscript.
QString fncArea_Caption(double area);

// The Left of a result label centred across the box, in screen units: the
// box's centre zoomed, less half the width the label shows at the zoom.
float fncLabel_Left(const typBox& box, float width);

// The side whose start lies within 2.0 (inclusive, both axes) of the screen
// point (x, y), searching every side but the last two; -1 with fewer than
// three sides or when the polygon does not snap shut.
qint16 fncFind_Vertex(std::span<const typSide> screenSides, float x, float y, bool snap);

// Whether (x, y) hits the body of a line: 0 for a vertical or horizontal
// line within 1.0 of it and more than 1.0 inside its ends, 3 for a sloping
// line that passes within 1.0 in y over x - 1.0 .. x + 1.0 while the point
// lies in its box, -1 for no hit.
qint16 fncHit_LineBody(const typSide& line, float x, float y);

}  // namespace measure
