#include "measure/calibration.h"

#include "app/globals.h"
#include "measure/geometry.h"
#include "measure/optionrules.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <cmath>

namespace mdlSub {

using measure::DegToRad;
using measure::RadToDeg;

namespace {

constexpr double MetresPerSecond = 1852.0 / 60;  // 1852 m per minute of arc

// Cosine of the mean latitude: how much shorter a second of longitude is
// than a second of latitude there.
double longitudeFactor(double lat1, double lat2)
{
    return std::cos((lat1 + lat2) / 2 / 3600 * DegToRad);
}

typPointS tiltCentre() { return typPointS{GE_sngHosei[0], GE_sngHosei[1]}; }

}  // namespace

void subCalc_Hosei()
{
    const float x1 = GE_sngHosei[0], y1 = GE_sngHosei[1];
    const float x2 = GE_sngHosei[2], y2 = GE_sngHosei[3];
    GE_dblHosei[0] = fncGet_LineAngle(x1, y1, x2, y2, 1);
    GE_dblHosei[2] = fncGet_LineAngle(x1, y1, x2, y2, 0);
    GE_dblHosei[1] = -GE_dblHosei[0];
    GE_dblHosei[3] = GE_dblHosei[1] * DegToRad;
}

namespace {

using measure::fitsSingle;
bool finite(const typPointD& p) { return std::isfinite(p.dblX) && std::isfinite(p.dblY); }
bool ratioFits(double r) { return r >= measure::MinRatio && r <= measure::MaxRatio; }

constexpr double FullCircle = 360 * 3600.0;  // seconds of arc
constexpr double MaxLatitude = 90 * 3600.0;

// Whether every corner of the picture, straightened and at the stretch `c`
// sets, lies within latitude ±90°, whether the picture spans at most 360° of
// longitude, and whether every longitude on it is one a readout shows.
// Positions are linear in the picture point, so no point inside lies
// farther out than a corner.
KeiIdoFault onEarth(const typKeiIdoCalibration& c, float width, float height)
{
    const double stretched = double(height) * c.pictAdj;
    const typPointD corners[] = {{0, 0}, {width, 0}, {0, stretched}, {width, stretched}};
    double west = INFINITY, east = -INFINITY;
    for (const typPointD& corner : corners) {
        const typPointD p = fncRotate_PointD(tiltCentre(), corner, GE_dblHosei[3]);
        const double lon = p.dblX * c.ptoK.dblX + c.px00ToKei.dblLongitude;
        const double lat = p.dblY * c.ptoK.dblY + c.px00ToKei.dblLatitude;
        if (!(std::fabs(lat) <= MaxLatitude))
            return KeiIdoFault::latitude;
        west = std::fmin(west, lon);
        east = std::fmax(east, lon);
    }
    if (!(east - west <= FullCircle && west >= MinShownLongitude && east <= MaxShownLongitude))
        return KeiIdoFault::longitude;
    return KeiIdoFault::none;
}

// Longitude of point 2 as the calibration takes it, point 2 lying `dx`
// straightened picture units right of point 1.
double nearLongitude(double lon0, double lon1, double dx)
{
    // Typed east of Greenwich, two points a little either side of 0° lie
    // almost 360° apart; taken that way the map would run west to the right
    // round nearly the whole earth. Only such a pair is turned: one typed the
    // long way with east to the right (a map of the world) stays as typed.
    const double apart = lon1 - lon0;
    if (!(std::fabs(apart) > FullCircle / 2) || dx == 0 || (apart > 0) == (dx > 0))
        return lon1;
    return apart > 0 ? lon1 - FullCircle : lon1 + FullCircle;
}

}  // namespace

int fncUnentered_Point()
{
    for (int k = 0; k < 2; ++k) {
        if (GE_dblKeido[size_t(k)] == 0 && GE_dblIdo[size_t(k)] == 0)
            return k;
    }
    return -1;
}

namespace {

KeiIdoFault calcKeiIdo(typKeiIdoCalibration& c, float width, float height)
{
    if (fncUnentered_Point() >= 0)
        return KeiIdoFault::zero;
    const auto straightened = [](const typPointS& p) {
        return fncRotate_PointD(tiltCentre(), typPointD{p.sngX, p.sngY}, GE_dblHosei[3]);
    };
    const typPointD r0 = straightened(GE_tpPiccel[0]), r1 = straightened(GE_tpPiccel[1]);
    if (!fitsSingle(r0.dblX) || !fitsSingle(r0.dblY) || !fitsSingle(r1.dblX) || !fitsSingle(r1.dblY))
        return KeiIdoFault::range;
    // The straightened points are held in single precision, as the picture's.
    const typPointS p0{float(r0.dblX), float(r0.dblY)}, p1{float(r1.dblX), float(r1.dblY)};
    const double x0 = p0.sngX, y0 = p0.sngY, x1 = p1.sngX, y1 = p1.sngY;
    const double lon0 = GE_dblKeido[0], lat0 = GE_dblIdo[0];
    const double lon1 = nearLongitude(lon0, GE_dblKeido[1], x1 - x0), lat1 = GE_dblIdo[1];
    if (x1 == x0 || y1 == y0 || lon1 == lon0 || lat1 == lat0)
        return KeiIdoFault::coincide;

    c.ptoK = typPointD{(lon1 - lon0) / (x1 - x0), (lat1 - lat0) / (y1 - y0)};
    c.px00ToKei = typLonLat{lon0 - x0 * c.ptoK.dblX, lat0 - y0 * c.ptoK.dblY};
    c.ktoP = typPointD{(x1 - x0) / (lon1 - lon0), (y1 - y0) / (lat1 - lat0)};
    c.ki00ToPx = typPointD{x0 - c.ktoP.dblX * lon0, y0 - c.ktoP.dblY * lat0};

    // Metres per picture unit: the east-west span along lat0 and the
    // north-south span along lon0, both spans held in single precision.
    const double metresX = fncGet_KeiIdoDistance(lon0, lat0, lon1, lat0);
    const double metresY = fncGet_KeiIdoDistance(lon0, lat0, lon0, lat1);
    if (!fitsSingle(metresX) || !fitsSingle(metresY))
        return KeiIdoFault::range;
    const float spanX = std::fabs(p0.sngX - p1.sngX);
    const float spanY = std::fabs(p0.sngY - p1.sngY);
    c.ptoD = typPointD{double(float(metresX)) / spanX, double(float(metresY)) / spanY};
    if (!ratioFits(c.ptoD.dblX) || !ratioFits(c.ptoD.dblY))
        return KeiIdoFault::range;

    if (GE_booPictAdj) {
        // The picture is stretched so that one unit is as long in y as in x.
        c.pictAdj = float(double(float(c.ptoD.dblY)) / double(float(c.ptoD.dblX)));
        if (!(c.pictAdj >= measure::MinPictAdj && c.pictAdj <= measure::MaxPictAdj))
            return KeiIdoFault::range;
        c.ptoD.dblY = c.ptoD.dblX;
    }
    if (!finite(c.ptoK) || !finite(c.ktoP) || !finite(c.ki00ToPx)
        || !std::isfinite(c.px00ToKei.dblLongitude) || !std::isfinite(c.px00ToKei.dblLatitude))
        return KeiIdoFault::range;
    return onEarth(c, width, height);
}

}  // namespace

typKeiIdoCalibration typKeiIdoCalibration::fncInForce()
{
    return typKeiIdoCalibration{GE_tpPtoK_r, GE_tpKtoP_r, GE_tpKI00ToPx, GE_tpPtoD_r, GE_tpPx00ToKei, GE_sngPictAdj};
}

void typKeiIdoCalibration::subPut() const
{
    GE_tpPtoK_r = ptoK;
    GE_tpKtoP_r = ktoP;
    GE_tpPx00ToKei = px00ToKei;
    GE_tpKI00ToPx = ki00ToPx;
    GE_tpPtoD_r = ptoD;
    GE_sngPictAdj = pictAdj;
}

KeiIdoFault subCalc_KeiIdo(float pictureWidth, float pictureHeight)
{
    typKeiIdoCalibration c;
    const KeiIdoFault fault = calcKeiIdo(c, pictureWidth, pictureHeight);
    if (fault == KeiIdoFault::none)
        c.subPut();
    return fault;
}

QString fncSec_ToDMS(double seconds, typDMS& dms)
{
    constexpr double MinDeg = -32768, MaxDeg = 32767;  // the 16-bit degree field
    double deg = std::floor(seconds / 3600);
    if (!(deg >= MinDeg && deg <= MaxDeg))
        return DmsOutOfRange;
    const double rest = seconds - deg * 3600.0;
    double min = std::floor(rest / 60);
    double sec = rest - min * 60.0;
    // A remainder a hair below a whole degree (a latitude a hair south of
    // the equator) can be rounded up to it: it is that whole degree, not
    // 60 minutes of the one below.
    if (min >= 60) {
        min = 0;
        sec = 0;
        deg += 1;
        if (deg > MaxDeg)
            return DmsOutOfRange;
    }

    const QString secPattern = QStringLiteral("0#.###0");
    QString secText = vb::Format(sec, secPattern);
    // Seconds a hair under a full minute round to "60.0000"; the carry keeps
    // the text a valid angle (and so does a remainder that the division put
    // a hair below 0, which would otherwise read as minute -1).
    if (vb::Val(secText) >= 60) {
        sec = 0;
        secText = vb::Format(sec, secPattern);
        min += 1;
        if (min == 60) {
            min = 0;
            deg += 1;
            if (deg > MaxDeg)
                return DmsOutOfRange;
        }
    }
    dms.intDeg = qint16(deg);
    dms.intMin = qint16(min);
    dms.sngSec = vb::CSng(sec);
    return vb::Format(deg, QStringLiteral("0##")) + u'-' + vb::Format(min, QStringLiteral("0#"))
        + u'-' + secText;
}

double fncShown_Longitude(double seconds)
{
    if (!(seconds >= MinShownLongitude && seconds <= MaxShownLongitude))
        return seconds;
    // Exact for these magnitudes: the remainder of a division by a whole
    // number of seconds.
    double shown = std::fmod(seconds, FullCircle);
    if (shown < 0)
        shown += FullCircle;
    // A hair west of 0° would read out as 360°: its seconds round to 60.
    return shown < FullCircle - 0.00005 ? shown : 0;
}

double fncDMS_ToSec(qint16 degrees, qint16 minutes, float seconds)
{
    return degrees * 3600.0 + minutes * 60.0 + seconds;
}

double fncGet_KeiIdoDistance(double lon1, double lat1, double lon2, double lat2)
{
    const double dx = (lon2 - lon1) * MetresPerSecond * longitudeFactor(lat1, lat2);
    const double dy = (lat2 - lat1) * MetresPerSecond;
    return std::pow(std::pow(dx, 2) + std::pow(dy, 2), 0.5);
}

typLonLat fncGet_KeiIdoAtDistance(double lon1, double lat1, double lon2, double lat2, float d)
{
    const double s = double(d) / 1852 * 60;  // seconds of arc of latitude
    const double m = longitudeFactor(lat1, lat2);
    const double dLon = lon2 - lon1;
    const double dLat = lat2 - lat1;
    if (dLon == 0 && dLat == 0)
        return typLonLat{lon1, lat1};
    if (dLon == 0)
        return typLonLat{lon1, lat1 < lat2 ? lat1 + s : lat1 - s};
    if (dLat == 0)
        return typLonLat{lon1 < lon2 ? lon1 + vb::Divide(s, m) : lon1 - vb::Divide(s, m), lat1};
    const double a = std::atan(vb::Divide(dLat, m * dLon));
    const double east = vb::Divide(s * std::cos(a), m);
    const double north = s * std::sin(a);
    if (lon1 < lon2)
        return typLonLat{lon1 + east, lat1 + north};
    return typLonLat{lon1 - east, lat1 - north};
}

float fncGet_Bearing(double lon1, double lat1, double lon2, double lat2)
{
    // A second of longitude is shortened as in the distance, so that the
    // bearing is the direction of the segment on the calibrated picture.
    const double dx = (lon2 - lon1) * longitudeFactor(lat1, lat2);
    const double dy = lat2 - lat1;
    if (dx == 0)
        return dy > 0 ? 0 : 180;
    if (dy == 0)
        return dx < 0 ? 270 : 90;
    // A slope too steep for a double is due north or south, not a failure:
    // the readouts ask for the bearing of whatever the pointer points at.
    const double a = std::atan(dy / dx) * RadToDeg;
    return vb::CSng(dx > 0 ? 90 - a : 270 - a);
}

typPointS fncCnv_PtoD(float x, float y)
{
    return typPointS{vb::CSng(x * GE_tpPtoD_r.dblX), vb::CSng(y * GE_tpPtoD_r.dblY)};
}

typPointS fncCnv_DtoP(const typPointS& point)
{
    return typPointS{vb::CSng(vb::Divide(point.sngX, GE_tpPtoD_r.dblX)),
                     vb::CSng(vb::Divide(point.sngY, GE_tpPtoD_r.dblY))};
}

typPointS fncGet_PresetPoint(float x1, float y1, float x2, float y2, double d, QString& angleText)
{
    const typPointS start = fncRotate_Point(tiltCentre(), typPointS{x1, y1}, GE_dblHosei[3]);
    const typPointS pointer = fncRotate_Point(tiltCentre(), typPointS{x2, y2}, GE_dblHosei[3]);
    const typPointS a = fncCnv_PtoD(start.sngX, start.sngY);
    const typPointS b = fncCnv_PtoD(pointer.sngX, pointer.sngY);
    const typPointS e = fncGet_PointAtDistance(a.sngX, a.sngY, b.sngX, b.sngY, d);
    angleText = vb::Format(fncGet_SignedAngle(a.sngX, a.sngY, e.sngX, e.sngY),
                           QStringLiteral("##0.0###゜"));
    return fncRotate_Point(tiltCentre(), fncCnv_DtoP(e), GE_dblHosei[2]);
}

typPointS fncGet_PresetPointKeiIdo(float x1, float y1, float x2, float y2, float d,
                                   QString& angleText)
{
    const auto toLonLat = [](const typPointD& p) {
        return typLonLat{p.dblX * GE_tpPtoK_r.dblX + GE_tpPx00ToKei.dblLongitude,
                         p.dblY * GE_tpPtoK_r.dblY + GE_tpPx00ToKei.dblLatitude};
    };
    const typLonLat start = toLonLat(fncRotate_PointD(tiltCentre(), typPointD{x1, y1}, GE_dblHosei[3]));
    const typLonLat pointer = toLonLat(fncRotate_PointD(tiltCentre(), typPointD{x2, y2}, GE_dblHosei[3]));
    const typLonLat e = fncGet_KeiIdoAtDistance(start.dblLongitude, start.dblLatitude,
                                                pointer.dblLongitude, pointer.dblLatitude, d);
    angleText = vb::Format(fncGet_Bearing(start.dblLongitude, start.dblLatitude, pointer.dblLongitude,
                                          pointer.dblLatitude),
                           QStringLiteral("##0.0###"));
    const typPointD back{e.dblLongitude * GE_tpKtoP_r.dblX + GE_tpKI00ToPx.dblX,
                         e.dblLatitude * GE_tpKtoP_r.dblY + GE_tpKI00ToPx.dblY};
    const typPointD p = fncRotate_PointD(tiltCentre(), back, GE_dblHosei[2]);
    return typPointS{vb::CSng(p.dblX), vb::CSng(p.dblY)};
}

}  // namespace mdlSub
