// The live readouts: positions, lengths with their angle or bearing, the
// floating length label, and the small show-and-hide helpers of the
// measuring display.

#include "measure/readouts.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/calibration.h"
#include "measure/geometry.h"
#include "measure/resulttag.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <cmath>

namespace measure {

namespace {

const QString kAnglePattern = QStringLiteral("##0.0###゜");

}  // namespace

typPointS fncStraighten(float x, float y)
{
    return mdlSub::fncRotate_Point(typPointS{GE_sngHosei[0], GE_sngHosei[1]}, typPointS{x, y}, GE_dblHosei[3]);
}

typLonLat fncPix_LonLat(float x, float y)
{
    const typPointS p = fncStraighten(x, y);
    return typLonLat{p.sngX * GE_tpPtoK_r.dblX + GE_tpPx00ToKei.dblLongitude,
                     p.sngY * GE_tpPtoK_r.dblY + GE_tpPx00ToKei.dblLatitude};
}

typPositionText fncPosition_Text(float x, float y)
{
    const typLonLat p = fncPix_LonLat(x, y);
    const double longitude = mdlSub::fncShown_Longitude(p.dblLongitude);
    typDMS dms;
    const QString lon = mdlSub::fncSec_ToDMS(longitude, dms);
    const QString lat = mdlSub::fncSec_ToDMS(p.dblLatitude, dms);
    return typPositionText{lon + QStringLiteral(" E  ") + lat + QStringLiteral(" N "), lon + u',' + lat,
                           vb::CStr(longitude) + u',' + vb::CStr(p.dblLatitude)};
}

typReadout fncReadout_Dis(float x1, float y1, float x2, float y2)
{
    const typPointS a = fncStraighten(x1, y1);
    const typPointS b = fncStraighten(x2, y2);
    // The differences are single precision, as the points are held.
    const float spanX = b.sngX - a.sngX;
    const float spanY = b.sngY - a.sngY;
    const double dx = spanX * GE_tpPtoD_r.dblX;
    const double dy = spanY * GE_tpPtoD_r.dblY;
    return typReadout{std::pow(dx * dx + dy * dy, 0.5),
                      vb::Format(mdlSub::fncGet_SignedAngle(x1, y1, x2, y2), kAnglePattern)};
}

typReadout fncReadout_KeiIdo(float x1, float y1, float x2, float y2)
{
    const typLonLat a = fncPix_LonLat(x1, y1);
    const typLonLat b = fncPix_LonLat(x2, y2);
    const double metres = mdlSub::fncGet_KeiIdoDistance(a.dblLongitude, a.dblLatitude, b.dblLongitude, b.dblLatitude);
    const QString bearing = vb::Format(
        mdlSub::fncGet_Bearing(a.dblLongitude, a.dblLatitude, b.dblLongitude, b.dblLatitude), kAnglePattern);
    return typReadout{metres * fncTable_Entry(GE_dblChgMToOD, GE_intUnitDIndex), bearing};
}

float fncUnzoom(float screen)
{
    return vb::CSng(vb::Divide(screen, GE_sngZoom));
}

QString fncLength_Caption(double length)
{
    return vb::Format(length, fncTable_Entry(GE_strFormat, GE_intDPointD)) + GE_strUnitD;
}

}  // namespace measure

using namespace platform;

QString frmEdit::fncPix_KeiIdoText(float x, float y)
{
    const measure::typPositionText position = measure::fncPosition_Text(x, y);
    strKeiIdoSec = position.seconds;
    strKeiIdoDMS = position.dms;
    return position.text;
}

void frmEdit::fncPix_KeiIdo(float x, float y, QString& longitude, QString& latitude)
{
    const typLonLat p = measure::fncPix_LonLat(x, y);
    longitude = vb::CStr(mdlSub::fncShown_Longitude(p.dblLongitude));
    latitude = vb::CStr(p.dblLatitude);
}

void frmEdit::fncPix_MM(float x, float y, double& outX, double& outY)
{
    const typPointS p = measure::fncStraighten(x, y);
    outX = p.sngX * GE_tpPtoD_r.dblX;
    outY = p.sngY * GE_tpPtoD_r.dblY;
}

double frmEdit::fncLen_Dis(float x1, float y1, float x2, float y2)
{
    const measure::typReadout r = measure::fncReadout_Dis(x1, y1, x2, y2);
    stsTip->Panels(4).setText(r.angleText);
    return r.length;
}

double frmEdit::fncLen_KeiIdo(float x1, float y1, float x2, float y2)
{
    const measure::typReadout r = measure::fncReadout_KeiIdo(x1, y1, x2, y2);
    stsTip->Panels(4).setText(r.angleText);
    return r.length;
}

void frmEdit::subDisp_LineDistance(LineElement& line, LabelElement& label, bool ownUnit)
{
    // Centred on the line's middle with the width the label has now.
    label.Left = line.X1 + (line.X2 - line.X1) / 2 - label.Width() / 2;
    label.Top = line.Y1 + (line.Y2 - line.Y1) / 2 - label.Height() / 2;
    const float x1 = measure::fncUnzoom(line.X1), y1 = measure::fncUnzoom(line.Y1);
    const float x2 = measure::fncUnzoom(line.X2), y2 = measure::fncUnzoom(line.Y2);
    double length = 0;
    if (booCalcDis)
        length = fncLen_Dis(x1, y1, x2, y2);
    if (booCalcKei)
        length = fncLen_KeiIdo(x1, y1, x2, y2);
    if (ownUnit) {
        const ResultTag::typRelabel own =
            ResultTag::fncRestate(label.Tag, length, GE_intUnitDIndex, GE_intDPointD, false);
        label.Caption = own.caption;
        label.Tag = own.tag;
    } else {
        label.Caption = measure::fncLength_Caption(length);
        label.Tag = ResultTag::fncMake_ResultTag(GE_intUnitDIndex, GE_intDPointD, length, label.Tag);
    }
    stsTip->Panels(5).setText(lblDistance.Caption);
}

void frmEdit::subDisp_DistanceAt(float x1, float y1, float x2, float y2, double length)
{
    lblDistance.Left = x1 + (x2 - x1) / 2 - lblDistance.Width() / 2;
    lblDistance.Top = y1 + (y2 - y1) / 2 - lblDistance.Height() / 2;
    lblDistance.Caption = measure::fncLength_Caption(length);
    lblDistance.Tag = ResultTag::fncMake_ResultTag(GE_intUnitDIndex, GE_intDPointD, length, lblDistance.Tag);
    stsTip->Panels(5).setText(lblDistance.Caption);
}

void frmEdit::subDisp_DistanceLine()
{
    subDisp_LineDistance(lineMenseki(lineMenseki.UBound()), lblDistance);
}

void frmEdit::fncObj_Bounds(const Element& element)
{
    float left = 0, top = 0, width = 0, height = 0;
    if (const auto* label = dynamic_cast<const LabelElement*>(&element)) {
        left = label->Left;
        top = label->Top;
        width = label->Width();
        height = label->Height();
    } else if (const auto* shape = dynamic_cast<const ShapeElement*>(&element)) {
        left = shape->Left;
        top = shape->Top;
        width = shape->Width();
        height = shape->Height();
    } else {
        vb::raise(438, QStringLiteral("Object doesn't support this property or method"));
    }
    const typPointS corners[] = {{left - 2, top - 1}, {left - 2, top + height}, {left + width, top - 1},
                                 {left + width, top + height}};
    for (int k = 0; k <= 3; ++k) {
        shpPointer(k).Left = corners[k].sngX;
        shpPointer(k).Top = corners[k].sngY;
    }
}

void frmEdit::subHojo_Visible(bool visible)
{
    for (int k = 0; k <= 3; ++k)
        lineHojo(k).Visible = visible;
}

void frmEdit::subCircle_Hide()
{
    shpCircle.Visible = false;
}
