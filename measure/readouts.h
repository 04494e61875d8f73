#pragma once
// The arithmetic behind the editor's live readouts: picture points to
// positions and lengths in the calibrated units, and the texts the status
// bar and the floating length label show. Picture points are at zoom 1.0;
// the editor divides its screen coordinates by the zoom before calling.
//
// Every point is first straightened by the tilt correction: turned by
// GE_dblHosei(3) about the left tilt point (GE_sngHosei(0), GE_sngHosei(1)).

#include "app/types.h"
#include "platform/vberror.h"

#include <QString>

namespace measure {

// An entry of a unit or format table; an index outside it raises
// errSubscript, as the runtime refuses it.
template <class Table>
auto fncTable_Entry(const Table& table, int index)
{
    if (index < 0 || std::size_t(index) >= table.size())
        vb::raise(vb::errSubscript);
    return table[std::size_t(index)];
}

// A picture point straightened by the tilt correction.
typPointS fncStraighten(float x, float y);

// The longitude and latitude (seconds of arc) of a picture point.
typLonLat fncPix_LonLat(float x, float y);

// A picture point as the three texts of the position readout: `text`
// "ddd-mm-ss.ssss E  ddd-mm-ss.ssss N ", `dms` the two angles joined by ","
// and `seconds` the two values in seconds of arc joined by ",".
struct typPositionText {
    QString text;
    QString dms;
    QString seconds;
};
typPositionText fncPosition_Text(float x, float y);

// A segment's length and the text of its direction for the angle panel.
struct typReadout {
    double length = 0;
    QString angleText;
};

// Known-distance method: the straightened differences times GE_tpPtoD_r,
// in the unit of the known distances. The angle is that of the segment as
// drawn, before straightening ("##0.0###゜"; any coordinate 0 gives 0).
typReadout fncReadout_Dis(float x1, float y1, float x2, float y2);

// Longitude/latitude method: the metres between the straightened ends in
// the current distance unit GE_intUnitDIndex, with the bearing between them.
// A unit index outside 0-13 raises errSubscript.
typReadout fncReadout_KeiIdo(float x1, float y1, float x2, float y2);

// A screen coordinate at zoom 1.0: divided by GE_sngZoom, a zoom of 0
// raising errDivisionByZero.
float fncUnzoom(float screen);

// A length caption in the current distance unit: the value formatted with
// GE_strFormat(GE_intDPointD), then GE_strUnitD. Decimals outside 0-8 raise
// errSubscript.
QString fncLength_Caption(double length);

}  // namespace measure
