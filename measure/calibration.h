#pragma once
// Calibration arithmetic: the tilt angle, the longitude/latitude calibration
// from two points, degrees/minutes/seconds, distances and bearings between
// longitude/latitude points, picture units to real units and back, and the
// end point of a preset distance.
//
// Longitudes and latitudes are in seconds of arc. Distances between them
// use a flat approximation (1852 m per minute of arc, longitude scaled by
// the cosine of the mean latitude), which is what every stored drawing was
// calibrated with.

#include "app/types.h"

#include <QString>
#include <QtGlobal>

namespace mdlSub {

// GE_dblHosei from the two tilt points GE_sngHosei: (0) the line's angle in
// degrees, (1) its negation, (2) and (3) the same in radians. Straightening
// a picture point is the rotation by (3) about the left tilt point.
void subCalc_Hosei();

// Why the longitude/latitude calibration took nothing.
enum class KeiIdoFault {
    none,      // calibrated
    zero,      // a point's longitude and latitude are both 0: not entered (fncUnentered_Point)
    coincide,  // the two points share an x, a y, a longitude or a latitude
    range,     // a ratio or the stretch would leave the calibration's range
    latitude,   // a part of the picture would lie beyond latitude ±90°
    longitude,  // the picture would span more than 360° of longitude, or lie so far
                // from 0°–360° that no readout shows it
};

// Longitudes are typed east of Greenwich, 0° to 359°, and read out the same
// way: a picture may run east across 180° and across 360° (past 0°), and a
// position read out is brought into [0°, 360°). Two points typed either side
// of 0° (359°59′ and 0°01′) are taken the short way round, across 0°, when
// the long way would put east on the left of the picture. Pictures reach no
// farther than 360° either side of that span.
inline constexpr double MinShownLongitude = -360 * 3600.0, MaxShownLongitude = 720 * 3600.0;

// What the longitude/latitude calibration sets, as one value: the ratios
// and offsets both ways, metres per picture unit and the picture's stretch.
struct typKeiIdoCalibration {
    typPointD ptoK, ktoP, ki00ToPx, ptoD;
    typLonLat px00ToKei;
    float pictAdj = 1.0f;
    static typKeiIdoCalibration fncInForce();  // from the GE_ settings
    void subPut() const;                       // into them
};

// The longitude/latitude calibration from GE_tpPiccel, GE_dblKeido and
// GE_dblIdo: sets GE_tpPtoK_r, GE_tpKtoP_r, GE_tpPx00ToKei, GE_tpKI00ToPx,
// GE_tpPtoD_r (metres per picture unit) and GE_sngPictAdj, all at once or
// none of them. The whole result is computed first; it is taken only when
// every value is finite, the ratios and the stretch lie within the range
// the known distances may set, and every corner of the picture (its width
// and height in picture units, the height stretched as the result would
// show it; 0 by 0 without a picture) lies within latitude ±90°, spans at
// most 360° of longitude and has longitudes a readout shows. So a refused
// calibration keeps the one before it whole.
KeiIdoFault subCalc_KeiIdo(float pictureWidth, float pictureHeight);

// The first correspondence point (0 or 1) that counts as not entered, -1
// when both are given. A longitude of 0° (Greenwich) or a latitude of 0°
// (the equator) is a value like any other; the settings keep no mark of a
// point left empty, so a point whose longitude and latitude are both 0 is
// the one taken as never entered.
int fncUnentered_Point();

// Seconds of arc as degrees-minutes-seconds text ("135-30-15.2500"); fills
// `dms`. A negative angle gives a negative degree and positive minutes and
// seconds. An angle whose degrees do not fit the 16-bit field, or no number
// at all, gives DmsOutOfRange and leaves `dms` as it was: a readout shows it
// rather than failing.
QString fncSec_ToDMS(double seconds, typDMS& dms);

// A longitude in seconds as it is read out: brought into [0°, 360°) when it
// lies within MinShownLongitude..MaxShownLongitude, else as it is (and a
// readout shows it out of range).
double fncShown_Longitude(double seconds);
inline const QString DmsOutOfRange = QStringLiteral("***-**-**.****");
double fncDMS_ToSec(qint16 degrees, qint16 minutes, float seconds);

// Metres between two longitude/latitude points.
double fncGet_KeiIdoDistance(double lon1, double lat1, double lon2, double lat2);

// The longitude/latitude d metres from point 1 toward point 2.
typLonLat fncGet_KeiIdoAtDistance(double lon1, double lat1, double lon2, double lat2, float d);

// Degrees clockwise from north, 0..360, the longitude difference scaled by
// the cosine of the mean latitude as in the distance. A point on Greenwich or
// the equator is taken like any other.
float fncGet_Bearing(double lon1, double lat1, double lon2, double lat2);

// Straightened picture units to real units by GE_tpPtoD_r, and back. The way
// back raises errDivisionByZero (errOverflow for 0/0) on a zero ratio.
typPointS fncCnv_PtoD(float x, float y);
typPointS fncCnv_DtoP(const typPointS& point);

// End point of a preset distance d from the start (x1, y1) toward the
// pointer (x2, y2), measured after tilt correction, in the coordinates of
// the inputs. `angleText` receives the status bar's angle readout: the
// segment's signed angle ("##0.0###゜") in real units, or in the
// longitude/latitude variant (d in metres) the bearing ("##0.0###").
typPointS fncGet_PresetPoint(float x1, float y1, float x2, float y2, double d, QString& angleText);
typPointS fncGet_PresetPointKeiIdo(float x1, float y1, float x2, float y2, float d,
                                   QString& angleText);

}  // namespace mdlSub
