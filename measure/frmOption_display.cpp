// What the options window shows of the calibration it holds, and the pick
// mode and calibration line that go with the tab in front.

#include "measure/frmOption.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/checkline.h"
#include "measure/optionrules.h"
#include "platform/vbruntime.h"

using namespace platform;
using namespace vb;

void frmOption::subDisp_Rato()
{
    // The unit as the option buttons say, not as the setting does.
    double millimetres = 0;
    for (int i = 0; i <= optUnitD.UBound() && i < UnitCount; ++i) {
        if (optUnitD(i).Value())
            millimetres = GE_dblChgMMToO[size_t(i)];
    }
    double ratioX = 0, ratioY = 0;
    lblRecio(0).setCaption(measure::fncScale_Caption(txtXY(4).Text(), txtXY(5).Text(), millimetres, ratioX));
    lblRecio(1).setCaption(measure::fncScale_Caption(txtXY(10).Text(), txtXY(11).Text(), millimetres, ratioY));
    lblRecio(2).setCaption(measure::fncAspect_Caption(ratioX, ratioY));
}

void frmOption::subDisp_Para()
{
    const double values[] = {GE_tpPtoK_r.dblX, GE_tpPtoK_r.dblY, GE_tpKtoP_r.dblX, GE_tpKtoP_r.dblY,
                             GE_tpPx00ToKei.dblLatitude, GE_tpPx00ToKei.dblLongitude, GE_tpKI00ToPx.dblX,
                             GE_tpKI00ToPx.dblY};
    const QString tips[] = {QStringLiteral("ピクセル→経緯度　変換比率"), QStringLiteral("経緯度→ピクセル　変換比率"),
                            QStringLiteral("ピクセル(0,0)の経緯度"), QStringLiteral("経緯度(0,0)のピクセル")};
    for (int i = 0; i <= 7; ++i) {
        lblPara(i).setCaption(CStr(values[i]));
        lblPara(i).setToolTipText(tips[i / 2]);
    }
}

void frmOption::subDisp_HoseiAngle()
{
    for (int i = 0; i <= 3; ++i)
        txtHosei(i).setText(CStr(GE_sngHosei[size_t(i)]));
    for (int i = 0; i <= 3; ++i)
        txtHosei(i + 4).setText(measure::fncAngle_Text(GE_dblHosei[size_t(i)]));
}

void frmOption::subDisp_Unit()
{
    for (int i = 0; i <= optUnitD.UBound(); ++i) {
        if (optUnitD(i).Value()) {
            lblUnit(0).setCaption(optUnitD(i).Caption());
            lblUnit(1).setCaption(optUnitD(i).Caption());
        }
    }
}

void frmOption::subSet_TabMode(qint16& tab)
{
    GE_booPickHosei = GE_booPickDistance = GE_booPickKeiIdo = false;
    frmEdit* e = fncEditor();
    if (!e)
        return;
    e->shpCheck(0).Visible = false;
    e->shpCheck(1).Visible = false;
    e->subVisible_Array(e->lineHojo, false);
    e->lineCheck.Visible = false;
    const auto showLine = [e] {
        e->shpCheck(0).Visible = true;
        e->shpCheck(1).Visible = true;
        e->lineCheck.Visible = true;
    };
    switch (tab) {
    case 0:
        e->subSet_ModeText(QString());
        break;
    case 1: {
        txtHosei(0).SetFocus();
        e->subSet_ModeText(QStringLiteral("傾き補正"));
        showLine();
        const auto& h = GE_sngHosei;
        mdlSub::subSet_CheckLine(h[0], h[1], h[2], h[3]);
        GE_booPickHosei = true;
        break;
    }
    case 2: {
        subDisp_Unit();
        e->subSet_ModeText(QStringLiteral("既知の距離入力"));
        showLine();
        const size_t first = e->popDisX->Checked() ? 0 : 2;
        const typPointS a = GE_tpPiccelD[first], b = GE_tpPiccelD[first + 1];
        mdlSub::subSet_CheckLine(a.sngX, a.sngY, b.sngX, b.sngY);
        GE_booPickDistance = true;
        break;
    }
    case 3: {
        txtKeido1(0).SetFocus();
        e->subSet_ModeText(QStringLiteral("既知の経緯度入力"));
        showLine();
        const typPointS a = GE_tpPiccel[0], b = GE_tpPiccel[1];
        mdlSub::subSet_CheckLine(a.sngX, a.sngY, b.sngX, b.sngY);
        GE_booPickKeiIdo = true;
        break;
    }
    default:
        break;
    }
}
