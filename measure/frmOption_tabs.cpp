// The calibration tabs of the options window: the tilt from two points, the
// known distances and the known longitudes and latitudes.

#include "measure/frmOption.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/calibration.h"
#include "measure/checkline.h"
#include "measure/geometry.h"
#include "measure/optionrules.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

using namespace platform;
using namespace vb;
using measure::fncBox_Single;
using measure::fncVal_Single;

namespace {

bool numeric(const TextBox& box)
{
    return fncBox_Single(box.Text()).has_value();
}

// A box's number as its field takes it; what is not a number counts 0 (the
// box's own rules have answered such text when it was left).
float single(const TextBox& box)
{
    return fncBox_Single(box.Text()).value_or(0);
}

}  // namespace

// --- 傾き補正 --------------------------------------------------------------------------

void frmOption::txtHosei_KeyPress(int index, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    if (!numeric(txtHosei(index)))
        return;
    txtHosei(index <= 2 ? index + 1 : 0).SetFocus();
}

void frmOption::txtHosei_LostFocus(int index)
{
    if (SSTab->Tab() != 1 || index > 3)
        return;
    const std::optional<float> v = fncBox_Single(txtHosei(index).Text());
    if (!v) {
        txtHosei(index).setText(CStr(GE_sngHosei[size_t(index)]));
        return;
    }
    GE_sngHosei[size_t(index)] = *v;
    const auto& h = GE_sngHosei;
    mdlSub::subSet_CheckLine(h[0], h[1], h[2], h[3]);
    mdlSub::subSet_HojoLines(h[0], h[1], h[2], h[3], GE_sngHojoLen);
}

void frmOption::cmdAngSet_Click()
{
    for (int i = 0; i <= 3; ++i)
        sngHoseiBak[size_t(i)] = fncBox_Single(txtHosei(i).Text()).value_or(GE_sngHosei[size_t(i)]);
    mdlSub::subCalc_Hosei();
    subDisp_HoseiAngle();
    // What the drawing keeps is the angle as shown, to five decimals.
    for (int i = 0; i <= 3; ++i)
        dblHoseiBak[size_t(i)] = measure::fncBox_Double(txtHosei(4 + i).Text()).value_or(GE_dblHosei[size_t(i)]);
    markChanged();
}

// --- 既知の距離設定 ------------------------------------------------------------------------

void frmOption::txtXY_KeyPress(int index, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    if (!numeric(txtXY(index)))
        return;
    txtXY(index == 5 ? 0 : index == 11 ? 6 : index + 1).SetFocus();
}

void frmOption::txtXY_LostFocus(int index)
{
    if (SSTab->Tab() != 2)
        return;
    if (!numeric(txtXY(index))) {
        txtXY(index).setText(QStringLiteral("0"));
        return;
    }
    if (index == 4 || index == 5 || index >= 10)
        return;
    const int first = index <= 3 ? 0 : 6;
    const float x1 = single(txtXY(first)), y1 = single(txtXY(first + 1));
    const float x2 = single(txtXY(first + 2)), y2 = single(txtXY(first + 3));
    float length = 0;
    try {
        length = mdlSub::fncGet_Distance(x1, y1, x2, y2);
    } catch (const vb::Error&) {
        // Points so far apart that no length holds their distance.
        txtXY(index).setText(QStringLiteral("0"));
        return;
    }
    txtXY(first + 4).setText(CStr(length));
    if (first == 0) {
        // In this mode the tilt points follow the stored horizontal pair.
        GE_sngHosei = {GE_tpPiccelD[0].sngX, GE_tpPiccelD[0].sngY, GE_tpPiccelD[1].sngX, GE_tpPiccelD[1].sngY};
    }
    mdlSub::subSet_CheckMarker(x1, y1, x2, y2);
    mdlSub::subSet_HojoLines(x1, y1, x2, y2, GE_sngHojoLen);
}

void frmOption::cmdSettei_Click()
{
    // A length of the pair being set that is not above 0 would be stored
    // (a negative one as the known distance) while the scale stays as it was.
    for (int index : {4, 5, 10, 11}) {
        TextBox& box = txtXY(index);
        if (!box.Enabled() || fncVal_Single(box.Text()) > 0)
            continue;
        MsgBox((index < 6 ? QStringLiteral("水平距離の") : QStringLiteral("垂直距離の"))
                   + (index % 6 == 4 ? QStringLiteral("画面上") : QStringLiteral("図面上"))
                   + QStringLiteral("の長さが 0 以下のため、設定できません。") + vbCrLf
                   + QStringLiteral("画面上と図面上の長さには、0 より大きい数を入力してください。"),
               vbExclamation, QStringLiteral("既知の距離設定"));
        box.SetFocus();
        box.setSelStart(0);
        box.setSelLength(99);
        return;
    }
    const float pictureX = fncVal_Single(txtXY(4).Text()), realX = fncVal_Single(txtXY(5).Text());
    const float pictureY = fncVal_Single(txtXY(10).Text()), realY = fncVal_Single(txtXY(11).Text());
    const measure::typScaleSetting s = measure::fncCalc_Scale(pictureX, realX, pictureY, realY, GE_tpPtoD_r,
                                                              GE_booPictAdj, GE_sngPictAdj);
    if (!s.fits) {
        // The drawing keeps the scale it had; the boxes keep what was typed.
        MsgBox(QStringLiteral("縮尺または扁平率が範囲外のため、設定できません。") + vbCrLf
                   + QStringLiteral("画面上と図面上の距離を確かめてください。"),
               vbExclamation, QStringLiteral("既知の距離設定"));
        return;
    }
    GE_sngPiccelD_X = pictureX;
    GE_sngDistanceD_X = realX;
    GE_sngPiccelD_Y = pictureY;
    GE_sngDistanceD_Y = realY;
    GE_tpPtoD_r = s.ratio;
    m_ratioFromCnv = false;
    GE_sngPictAdj = s.pictAdj;
    GE_dblAspectM = s.aspect;
    for (int k = 0; k <= 3; ++k) {
        const int box = k <= 1 ? 2 * k : 2 * k + 2;
        GE_tpPiccelD[size_t(k)] = typPointS{fncVal_Single(txtXY(box).Text()), fncVal_Single(txtXY(box + 1).Text())};
    }
    mdlSub::subCalc_Hosei();
    subDisp_Rato();
    markChanged();
}

double frmOption::fncGet_Aspect(double& x, double& y)
{
    return measure::fncGet_Aspect(x, y);
}

// --- 既知の経緯度設定 -----------------------------------------------------------------------

void frmOption::txtPict_KeyPress(int point, int index, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    ControlArray<TextBox>& boxes = point == 0 ? txtPict_mm1 : txtPict_mm2;
    if (!numeric(boxes(index)))
        return;
    // The ring: point 1 X, Y, point 2 X, Y, back to point 1 X.
    if (index == 0)
        boxes(1).SetFocus();
    else
        (point == 0 ? txtPict_mm2 : txtPict_mm1)(0).SetFocus();
}

void frmOption::txtPict_LostFocus(int point, int index)
{
    if (SSTab->Tab() != 3)
        return;
    TextBox& box = (point == 0 ? txtPict_mm1 : txtPict_mm2)(index);
    typPointS& stored = GE_tpPiccel[size_t(point)];
    float& coordinate = index == 0 ? stored.sngX : stored.sngY;
    const std::optional<float> v = fncBox_Single(box.Text());
    if (!v) {
        box.setText(CStr(coordinate));
        return;
    }
    coordinate = *v;
    const float x1 = single(txtPict_mm1(0)), y1 = single(txtPict_mm1(1));
    const float x2 = single(txtPict_mm2(0)), y2 = single(txtPict_mm2(1));
    mdlSub::subSet_CheckLine(x1, y1, x2, y2);
    mdlSub::subSet_HojoLines(x1, y1, x2, y2, GE_sngHojoLen);
}

namespace {

// Whether a degree/minute/second box holds a number its field can take.
bool angleFits(int index, const QString& text)
{
    if (index <= 2)
        return measure::fncBox_Angle(index, text).has_value();
    return measure::fncBox_Double(text).has_value();
}

// A degree, minute or second box as "設定" reads it once it has refused
// what is no number: an empty box counts 0.
double angleValue(TextBox& box, int index)
{
    return measure::fncBox_Angle(index, box.Text()).value_or(0);
}

// "対応点１の経度の度の欄" and so on.
QString angleBoxName(int row, int index)
{
    const QString units[] = {QStringLiteral("度"), QStringLiteral("分"), QStringLiteral("秒")};
    return (row < 2 ? QStringLiteral("対応点１の") : QStringLiteral("対応点２の"))
        + (row % 2 == 0 ? QStringLiteral("経度の") : QStringLiteral("緯度の")) + units[index]
        + QStringLiteral("の欄");
}

// Why "設定" refuses a degree, minute or second box that holds no number
// its field takes: taken as 0 or rounded, it would calibrate the drawing to
// another place.
QString unreadableRefusal(int row, int index, const QString& text)
{
    return angleBoxName(row, index) + QStringLiteral("の「") + text
        + QStringLiteral("」は、この欄に入れられる数ではないため、設定できません。") + vbCrLf
        + QStringLiteral("度と分の欄には整数を、秒の欄には数を入力してください（数の前後の空白と、"
                         "その欄の単位の記号 °・′・″ は付けてもかまいません）。");
}

// Why "設定" took no position calibration, and what to do.
QString keiIdoRefusal(mdlSub::KeiIdoFault fault)
{
    using mdlSub::KeiIdoFault;
    // The settings keep no mark of a point left empty: one whose longitude
    // and latitude are both 0 is taken as not entered, never as 0°, 0°.
    if (fault == KeiIdoFault::zero)
        return (mdlSub::fncUnentered_Point() == 0 ? QStringLiteral("対応点１") : QStringLiteral("対応点２"))
            + QStringLiteral("の経度と緯度がどちらも 0 のため、入力されていないものとみなし、設定できません。") + vbCrLf
            + QStringLiteral("経度と緯度を入力してください。経度 0°・緯度 0° の点は対応点にできないため、別の点を選んでください。");
    const QString why = fault == KeiIdoFault::coincide
        ? QStringLiteral("対応点１と対応点２の X、Y、経度、緯度のいずれかが同じため、設定できません。")
        : fault == KeiIdoFault::range
        ? QStringLiteral("縮尺または扁平率が範囲外のため、設定できません。")
        : fault == KeiIdoFault::latitude
        ? QStringLiteral("図面の一部が緯度±90°を超えるため、設定できません。")
        : QStringLiteral("図面の東西の幅が経度360°を超えるか、図面が経度0°～359°から離れすぎるため、設定できません。");
    return why + vbCrLf + QStringLiteral("対応点の位置と経緯度を確かめてください。");
}

// Why "設定" refuses a negative degree, minute or second: the three boxes
// are added up, so −1° 30′ would be taken as 0° 30′ south, and −0° 0′ 20″
// as 20″ north, without a word.
QString negativeRefusal(int row)
{
    return (row < 2 ? QStringLiteral("対応点１の") : QStringLiteral("対応点２の"))
        + (row % 2 == 0 ? QStringLiteral("経度") : QStringLiteral("緯度"))
        + QStringLiteral("に負の数があるため、設定できません。") + vbCrLf
        + QStringLiteral("経度・緯度の欄には北緯と東経（0°～360°）を、度・分・秒とも 0 以上の数で入力してください。");
}

}  // namespace

void frmOption::txtAngle_KeyPress(int row, int index, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    TextBox& box = angleBox(row, index);
    if (!angleFits(index, box.Text())) {
        // A degree, minute or second that is no number stays for "設定" to
        // refuse; only an empty box (and the whole seconds) become 0.
        if (index <= 2 && !measure::fncBox_Blank(box.Text())) {
            box.setSelStart(0);
            box.setSelLength(99);
        } else {
            box.setText(QStringLiteral("0"));
        }
        return;
    }
    typDMS dms;
    dms.intDeg = qint16(angleValue(angleBox(row, 0), 0));
    dms.intMin = qint16(angleValue(angleBox(row, 1), 1));
    dms.sngSec = float(angleValue(angleBox(row, 2), 2));
    qint16 i = qint16(index);
    // An angle of 0 (Greenwich, the equator) is taken as any other.
    const std::optional<double> r = fncChk_DMS(i, box, dms);
    if (!r)
        return;
    // The rows: longitude 1, latitude 1, longitude 2, latitude 2, and round.
    const int next = (row + 1) % 4;
    switch (index) {
    case 0:
    case 1:
        angleBox(row, 3).setText(CStr(*r));
        angleBox(row, index + 1).SetFocus();
        break;
    case 2:
        angleBox(row, 3).setText(CStr(*r));
        angleBox(next, 0).SetFocus();
        break;
    default:
        angleBox(row, 0).setText(CStr(dms.intDeg));
        angleBox(row, 1).setText(CStr(dms.intMin));
        angleBox(row, 2).setText(CStr(dms.sngSec));
        angleBox(next, 3).SetFocus();
        break;
    }
}

void frmOption::txtAngle_LostFocus(int row, int index)
{
    TextBox& box = angleBox(row, index);
    if (!angleFits(index, box.Text()) && (index == 3 || measure::fncBox_Blank(box.Text())))
        box.setText(QStringLiteral("0"));
}

void frmOption::txtAngle_LengthRefused(int row, int index)
{
    // Cut to the limit, the text would be another number.
    const QString digits = CStr(qint32(angleBox(row, index).MaxLength()));
    MsgBox(angleBoxName(row, index) + QStringLiteral("には、数字 ") + digits
               + (index == 2 ? QStringLiteral(" 桁までの数") : QStringLiteral(" 桁までの整数"))
               + QStringLiteral("を入力してください。") + vbCrLf
               + QStringLiteral("数の前後の空白と符号、単位の記号は桁に数えません。"),
           vbExclamation, QStringLiteral("既知の経緯度設定"));
    angleBox(row, index).SetFocus();
}

std::optional<double> frmOption::fncChk_DMS(qint16& index, TextBox& box, typDMS& dms)
{
    const std::optional<double> r = measure::fncCheck_DMS(index, box.Text(), dms);
    if (!r) {
        box.setSelStart(0);
        box.setSelLength(99);
    }
    return r;
}

void frmOption::cmdCnv_Click()
{
    // The rows: longitude 1, latitude 1, longitude 2, latitude 2.
    for (int row = 0; row < 4; ++row) {
        for (int index = 0; index < 3; ++index) {
            TextBox& box = angleBox(row, index);
            QString refusal;
            if (measure::fncHas_Minus(box.Text()))
                refusal = negativeRefusal(row);
            else if (!measure::fncBox_Blank(box.Text()) && !measure::fncBox_Angle(index, box.Text()))
                refusal = unreadableRefusal(row, index, box.Text());
            else
                continue;
            MsgBox(refusal, vbExclamation, QStringLiteral("既知の経緯度設定"));
            box.SetFocus();
            box.setSelStart(0);
            box.setSelLength(99);
            return;
        }
    }
    // The degree, minute and second boxes win over whole seconds typed alone.
    for (int row : {0, 2, 1, 3}) {
        const qint16 degrees = qint16(angleValue(angleBox(row, 0), 0));
        const qint16 minutes = qint16(angleValue(angleBox(row, 1), 1));
        const float seconds = float(angleValue(angleBox(row, 2), 2));
        angleBox(row, 3).setText(CStr(mdlSub::fncDMS_ToSec(degrees, minutes, seconds)));
    }
    // Points that give no calibration are not kept either: the drawing keeps
    // the points it was calibrated with, the boxes what was typed.
    const typKeiIdoState before = typKeiIdoState::fncTake();
    subDisp_Taiou();
    const mdlSub::KeiIdoFault fault = fncCalc_KeiIdo();
    if (fault != mdlSub::KeiIdoFault::none) {
        const QString refusal = keiIdoRefusal(fault);  // of the points typed, before they go back
        before.restore();
        MsgBox(refusal, vbExclamation, QStringLiteral("既知の経緯度設定"));
        return;
    }
    if (!m_keptKeiIdo)
        m_keptKeiIdo = before;
    const bool keptTilt = typTilt{GE_sngHosei, GE_dblHosei} == typTilt{sngHoseiBak, dblHoseiBak};
    if (keptTilt)
        m_keptKeiIdo = typKeiIdoState::fncTake();
    tpPiccelBak = GE_tpPiccel;
    subDisp_Para();
    m_cnvTilt = typTilt{GE_sngHosei, GE_dblHosei};
    m_ratioFromCnv = true;
    markChanged();
}

frmOption::typKeiIdoState frmOption::typKeiIdoState::fncTake()
{
    return typKeiIdoState{GE_tpPiccel, GE_tpKeIdo, GE_tpIdo, GE_dblKeido, GE_dblIdo,
                          mdlSub::typKeiIdoCalibration::fncInForce()};
}

void frmOption::typKeiIdoState::restore() const
{
    GE_tpPiccel = points;
    GE_tpKeIdo = longitudes;
    GE_tpIdo = latitudes;
    GE_dblKeido = lonSeconds;
    GE_dblIdo = latSeconds;
    calibration.subPut();
}

mdlSub::KeiIdoFault frmOption::fncCalc_KeiIdo()
{
    // The picture's extent at 100 % is the full-size holder's, in the map's
    // millimetres.
    frmEdit* e = fncEditor();
    if (!e || !e->pictOrg->hasPicture())
        return mdlSub::subCalc_KeiIdo(0, 0);
    return mdlSub::subCalc_KeiIdo(float(e->pictOrg->ScaleWidth()), float(e->pictOrg->ScaleHeight()));
}

void frmOption::subDisp_Taiou()
{
    GE_tpPiccel[0] = typPointS{fncVal_Single(txtPict_mm1(0).Text()), fncVal_Single(txtPict_mm1(1).Text())};
    GE_tpPiccel[1] = typPointS{fncVal_Single(txtPict_mm2(0).Text()), fncVal_Single(txtPict_mm2(1).Text())};
    typDMS* angles[] = {&GE_tpKeIdo[0], &GE_tpIdo[0], &GE_tpKeIdo[1], &GE_tpIdo[1]};
    double* seconds[] = {&GE_dblKeido[0], &GE_dblIdo[0], &GE_dblKeido[1], &GE_dblIdo[1]};
    for (int row = 0; row <= 3; ++row) {
        angles[row]->intDeg = qint16(angleValue(angleBox(row, 0), 0));
        angles[row]->intMin = qint16(angleValue(angleBox(row, 1), 1));
        angles[row]->sngSec = float(angleValue(angleBox(row, 2), 2));
        *seconds[row] = measure::fncBox_Double(angleBox(row, 3).Text()).value_or(0);
    }
}
