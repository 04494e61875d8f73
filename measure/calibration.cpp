#include "measure/calibration.h"

#include "app/globals.h"
#include "measure/geometry.h"
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

void subCalc_KeiIdo()
{
    if (GE_dblKeido[0] == 0 || GE_dblKeido[1] == 0 || GE_dblIdo[0] == 0 || GE_dblIdo[1] == 0)
        return;
    const typPointS p0 = fncRotate_Point(tiltCentre(), GE_tpPiccel[0], GE_dblHosei[3]);
    const typPointS p1 = fncRotate_Point(tiltCentre(), GE_tpPiccel[1], GE_dblHosei[3]);
    const double x0 = p0.sngX, y0 = p0.sngY, x1 = p1.sngX, y1 = p1.sngY;
    const double lon0 = GE_dblKeido[0], lat0 = GE_dblIdo[0];
    const double lon1 = GE_dblKeido[1], lat1 = GE_dblIdo[1];
    if (x1 == x0 || y1 == y0 || lon1 == lon0 || lat1 == lat0)
        return;

    GE_tpPtoK_r.dblX = vb::Divide(lon1 - lon0, x1 - x0);
    GE_tpPtoK_r.dblY = vb::Divide(lat1 - lat0, y1 - y0);
    GE_tpPx00ToKei.dblLongitude = lon0 - x0 * GE_tpPtoK_r.dblX;
    GE_tpPx00ToKei.dblLatitude = lat0 - y0 * GE_tpPtoK_r.dblY;
    GE_tpKtoP_r.dblX = vb::Divide(x1 - x0, lon1 - lon0);
    GE_tpKtoP_r.dblY = vb::Divide(y1 - y0, lat1 - lat0);
    GE_tpKI00ToPx.dblX = x0 - GE_tpKtoP_r.dblX * lon0;
    GE_tpKI00ToPx.dblY = y0 - GE_tpKtoP_r.dblY * lat0;

    // Metres per picture unit: the east-west span along lat0 and the
    // north-south span along lon0, both spans held in single precision.
    const float metresX = vb::CSng(fncGet_KeiIdoDistance(lon0, lat0, lon1, lat0));
    const float spanX = std::fabs(p0.sngX - p1.sngX);
    GE_tpPtoD_r.dblX = vb::Divide(metresX, spanX);
    const float metresY = vb::CSng(fncGet_KeiIdoDistance(lon0, lat0, lon0, lat1));
    const float spanY = std::fabs(p0.sngY - p1.sngY);
    GE_tpPtoD_r.dblY = vb::Divide(metresY, spanY);

    if (GE_booPictAdj) {
        // The picture is stretched so that one unit is as long in y as in x.
        GE_sngPictAdj = vb::CSng(vb::Divide(vb::CSng(GE_tpPtoD_r.dblY), vb::CSng(GE_tpPtoD_r.dblX)));
        GE_tpPtoD_r.dblY = GE_tpPtoD_r.dblX;
    } else {
        GE_sngPictAdj = 1.0f;
    }
}

QString fncSec_ToDMS(double seconds, typDMS& dms)
{
    qint16 deg = vb::CInt(std::floor(seconds / 3600));
    const double rest = seconds - deg * 3600.0;
    qint16 min = vb::CInt(std::floor(rest / 60));
    double sec = rest - min * 60.0;

    const QString secPattern = QStringLiteral("0#.###0");
    QString secText = vb::Format(sec, secPattern);
    // Seconds a hair under a full minute round to "60.0000"; the carry keeps
    // the text a valid angle (and so does a remainder that the division put
    // a hair below 0, which would otherwise read as minute -1).
    if (vb::Val(secText) >= 60) {
        sec = 0;
        secText = vb::Format(sec, secPattern);
        min = vb::CInt(min + 1.0);
        if (min == 60) {
            min = 0;
            deg = vb::CInt(deg + 1.0);
        }
    }
    dms.intDeg = deg;
    dms.intMin = min;
    dms.sngSec = vb::CSng(sec);
    return vb::Format(deg, QStringLiteral("0##")) + u'-' + vb::Format(min, QStringLiteral("0#"))
        + u'-' + secText;
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
    if (lon1 == 0 || lon2 == 0 || lat1 == 0 || lat2 == 0)
        return 0;
    // A second of longitude is shortened as in the distance, so that the
    // bearing is the direction of the segment on the calibrated picture.
    const double dx = (lon2 - lon1) * longitudeFactor(lat1, lat2);
    const double dy = lat2 - lat1;
    if (dx == 0)
        return dy > 0 ? 0 : 180;
    if (dy == 0)
        return dx < 0 ? 270 : 90;
    const double a = std::atan(vb::Divide(dy, dx)) * RadToDeg;
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
