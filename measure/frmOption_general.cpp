// The options window as a whole (load, activation, close, the tab switch)
// and its tab "全般".

#include "measure/frmOption.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/calibration.h"
#include "measure/geometry.h"
#include "measure/optionrules.h"
#include "measure/settingsmenus.h"
#include "measure/unitnames.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <cfloat>
#include <cmath>

using namespace platform;
using namespace vb;

namespace {

// A known-distance scale is held in the distance unit, the position
// calibration's in metres: the factor from metres to the distance unit
// (`toUnit`) or back, 1 for a unit outside the tables.
double metresFactor(bool toUnit)
{
    if (GE_intUnitDIndex < 0 || GE_intUnitDIndex >= UnitCount)
        return 1;
    const size_t unit = size_t(GE_intUnitDIndex);
    return toUnit ? GE_dblChgMToOD[unit] : GE_dblChgOToMD[unit];
}

// The unit names follow the indexes, and the editor's menus the settings,
// whether or not an editor is open.
void showSettings()
{
    if (frmEdit* e = platform::Instance<frmEdit>::pointer())
        measure::subShow_Settings(*e);
    else
        measure::subSet_UnitNames();
}

void rescaleRatio(double factor)
{
    GE_tpPtoD_r.dblX *= factor;
    GE_tpPtoD_r.dblY *= factor;
}

}  // namespace

void frmOption::Form_Load()
{
    m_loading = true;
    optMOde(GE_booModeDis ? 0 : 1).setValue(true);
    setTabsForMode();
    chkSnap->setValue(GE_booSnap ? 1 : 0);
    chkPictAdj->setValue(GE_booPictAdj ? 1 : 0);
    txtHojoLen->setText(CStr(GE_sngHojoLen));
    txtScale->setText(CStr(GE_sngScale));
    for (int i = 0; i < UnitCount; ++i) {
        optUnitD(i).setCaption(GE_strUnitDistance[size_t(i)]);
        optUnitS(i).setCaption(GE_strUnitArea[size_t(i)]);
    }
    if (GE_intUnitDIndex >= 0 && GE_intUnitDIndex < UnitCount)
        optUnitD(GE_intUnitDIndex).setValue(true);
    if (GE_intUnitSIndex >= 0 && GE_intUnitSIndex < UnitCount)
        optUnitS(GE_intUnitSIndex).setValue(true);
    vscDPointD->setValue(qBound(0, int(GE_intDPointD), 8));
    vscDPointS->setValue(qBound(0, int(GE_intDPointS), 8));
    lblDPointD->setCaption(CStr(qint32(vscDPointD->Value())));
    lblDPointS->setCaption(CStr(qint32(vscDPointS->Value())));

    sngHoseiBak = GE_sngHosei;
    dblHoseiBak = GE_dblHosei;
    subDisp_HoseiAngle();

    const auto& d = GE_tpPiccelD;
    const float xy[12] = {d[0].sngX, d[0].sngY, d[1].sngX, d[1].sngY, GE_sngPiccelD_X, GE_sngDistanceD_X,
                          d[2].sngX, d[2].sngY, d[3].sngX, d[3].sngY, GE_sngPiccelD_Y, GE_sngDistanceD_Y};
    for (int i = 0; i < 12; ++i)
        txtXY(i).setText(CStr(xy[i]));
    for (int i = 0; i <= 2; ++i)
        lblRecio(i).setCaption(QString());
    subDisp_Rato();
    subDisp_Unit();

    tpPiccelBak = GE_tpPiccel;
    subDisp_Para();
    txtPict_mm1(0).setText(CStr(GE_tpPiccel[0].sngX));
    txtPict_mm1(1).setText(CStr(GE_tpPiccel[0].sngY));
    txtPict_mm2(0).setText(CStr(GE_tpPiccel[1].sngX));
    txtPict_mm2(1).setText(CStr(GE_tpPiccel[1].sngY));
    const typDMS* angles[] = {&GE_tpKeIdo[0], &GE_tpIdo[0], &GE_tpKeIdo[1], &GE_tpIdo[1]};
    const double seconds[] = {GE_dblKeido[0], GE_dblIdo[0], GE_dblKeido[1], GE_dblIdo[1]};
    for (int row = 0; row <= 3; ++row) {
        angleBox(row, 0).setText(CStr(angles[row]->intDeg));
        angleBox(row, 1).setText(CStr(angles[row]->intMin));
        angleBox(row, 2).setText(CStr(angles[row]->sngSec));
        angleBox(row, 3).setText(CStr(seconds[row]));
    }
    m_loading = false;
}

void frmOption::Form_Activate()
{
    if (frmEdit* e = fncEditor()) {
        // Saving would store points that the close puts back, and a zoom would
        // put picks in zoomed coordinates: both wait while the window is open.
        if (!m_editorLocked) {
            m_saveEnabled = e->mnuFileSavePrj->Enabled();
            m_zoomEnabled = e->mnuDispEandRP->Enabled();
            m_editorLocked = true;
        }
        for (Menu* item : {e->mnuEditSet, e->mnuFileNewPrj, e->mnuFileSavePrj, e->mnuDispEandRP})
            item->setEnabled(false);
        e->Toolbar1->setEnabled(false);
    }
    mdlSub::subSet_TopMost(*this);
    if (GE_intOptionTab >= 0 && GE_intOptionTab < SSTab->Tabs())
        SSTab->setTab(GE_intOptionTab);
}

void frmOption::subDiscard()
{
    m_discard = true;
    unload();
}

void frmOption::Form_Unload(int& cancel)
{
    (void)cancel;
    GE_booPickHosei = GE_booPickDistance = GE_booPickKeiIdo = false;
    if (m_discard)
        return;
    frmEdit* e = fncEditor();
    if (e) {
        e->subSet_ModeText(QString());
        for (Menu* item : {e->mnuEditSet, e->mnuFileNewPrj})
            item->setEnabled(true);
        e->Toolbar1->setEnabled(true);
        if (m_editorLocked) {
            e->mnuFileSavePrj->setEnabled(m_saveEnabled);
            e->mnuDispEandRP->setEnabled(m_zoomEnabled);
            m_editorLocked = false;
        }
        // The zoom says what the map shows.
        GE_sngZoom = 1.0f;
        e->sZoom(1.0f);
    }
    SSTab->setTab(0);
    const bool recalibrate = m_cnvTilt && *m_cnvTilt != typTilt{sngHoseiBak, dblHoseiBak};
    GE_sngHosei = sngHoseiBak;
    GE_dblHosei = dblHoseiBak;
    GE_tpPiccel = tpPiccelBak;
    if (!recalibrate)
        return;
    // Positions calibrated against a tilt that is now taken back would all
    // be off: calibrate again against the tilt the drawing keeps. A
    // known-distance scale set after them is not theirs to replace.
    const typPointD ratio = GE_tpPtoD_r;
    const float stretch = GE_sngPictAdj;
    // Points that give no calibration under that tilt are not kept with one
    // made under the tilt taken back: the last one made under the tilt kept is.
    const mdlSub::KeiIdoFault fault = fncCalc_KeiIdo();
    if (fault != mdlSub::KeiIdoFault::none && fault != mdlSub::KeiIdoFault::zero && m_keptKeiIdo)
        m_keptKeiIdo->restore();
    if (!m_ratioFromCnv) {
        GE_tpPtoD_r = ratio;
        GE_sngPictAdj = stretch;
    } else if (GE_booModeDis) {
        rescaleRatio(metresFactor(true));
    }
}

void frmOption::cmdOK_Click()
{
    unload();
}

void frmOption::SSTab_Click(int previousTab)
{
    (void)previousTab;
    // Disabling the tab in front at the load moves the tab bar on by itself;
    // the load chooses no tab.
    if (m_loading)
        return;
    qint16 tab = qint16(SSTab->Tab());
    subSet_TabMode(tab);
    GE_intOptionTab = qint16(SSTab->Tab());
}

void frmOption::setTabsForMode()
{
    SSTab->setTabEnabled(1, GE_booModeKei);
    SSTab->setTabEnabled(2, !GE_booModeKei);
    SSTab->setTabEnabled(3, GE_booModeKei);
}

void frmOption::optMOde_Click(int index)
{
    const bool wasDis = GE_booModeDis, wasKei = GE_booModeKei;
    GE_booModeDis = index == 0;
    GE_booModeKei = index != 0;
    setTabsForMode();
    if (frmEdit* e = fncEditor())
        e->Toolbar1->Buttons(13).setEnabled(GE_booModeKei);
    // Lengths and areas come from the calibration of the mode chosen, as its
    // "設定" made it; where the mode has none, the scale in force keeps
    // measuring the same lengths in the new mode.
    if (GE_booModeDis != wasDis) {
        rescaleRatio(metresFactor(GE_booModeDis));
        if (GE_booModeDis)
            takeKnownDistanceScale();
        else
            takeKeiIdoScale();
    }
    if (GE_booModeDis != wasDis || GE_booModeKei != wasKei)
        markChanged();
}

bool frmOption::takeKnownDistanceScale()
{
    if (!measure::fncKnownDistances_Given(GE_tpPiccelD, GE_sngPiccelD_X, GE_sngDistanceD_X, GE_sngPiccelD_Y,
                                          GE_sngDistanceD_Y, metresFactor(false)))
        return false;
    // A pair without lengths keeps the scale carried over.
    const measure::typScaleSetting s = measure::fncCalc_Scale(GE_sngPiccelD_X, GE_sngDistanceD_X, GE_sngPiccelD_Y,
                                                              GE_sngDistanceD_Y, GE_tpPtoD_r, GE_booPictAdj,
                                                              GE_sngPictAdj);
    if (!s.fits)
        return false;
    GE_tpPtoD_r = s.ratio;
    GE_sngPictAdj = s.pictAdj;
    GE_dblAspectM = s.aspect;
    m_ratioFromCnv = false;
    return true;
}

bool frmOption::takeKeiIdoScale()
{
    const typKeiIdoState before = typKeiIdoState::fncTake();
    if (fncCalc_KeiIdo() != mdlSub::KeiIdoFault::none)
        return false;  // nothing taken: no calibration, or none under this tilt
    // As after the tab's "設定": the closing calibrates again under the
    // tilt the drawing keeps, if this one is not it.
    if (!m_keptKeiIdo)
        m_keptKeiIdo = before;
    if (typTilt{GE_sngHosei, GE_dblHosei} == typTilt{sngHoseiBak, dblHoseiBak})
        m_keptKeiIdo = typKeiIdoState::fncTake();
    m_cnvTilt = typTilt{GE_sngHosei, GE_dblHosei};
    m_ratioFromCnv = true;
    subDisp_Para();
    return true;
}

void frmOption::optUnitD_Click(int index)
{
    const qint16 old = GE_intUnitDIndex;
    GE_intUnitDIndex = qint16(index);
    showSettings();
    lblUnit(0).setCaption(GE_strUnitD);
    lblUnit(1).setCaption(GE_strUnitD);
    if (m_loading || old == index || old < 0 || old >= UnitCount)
        return;
    // The known lengths and the ratios were taken in the old unit; lengths
    // are shown and tagged in the new one.
    const double factor = GE_dblChgOToMD[size_t(old)] * GE_dblChgMToOD[size_t(index)];
    const auto rescaled = [factor](float v) {
        const double r = double(v) * factor;
        return std::fabs(r) <= double(FLT_MAX) ? float(r) : v;
    };
    GE_sngDistanceD_X = rescaled(GE_sngDistanceD_X);
    GE_sngDistanceD_Y = rescaled(GE_sngDistanceD_Y);
    txtXY(5).setText(measure::fncRescale_Text(txtXY(5).Text(), factor));
    txtXY(11).setText(measure::fncRescale_Text(txtXY(11).Text(), factor));
    // In the longitude/latitude mode the ratios are held in metres.
    if (GE_booModeDis)
        rescaleRatio(factor);
    markChanged();
}

void frmOption::optUnitD_KeyPress(int index, int& keyAscii)
{
    (void)index;
    (void)keyAscii;
    cmdOK->SetFocus();
}

void frmOption::optUnitS_Click(int index)
{
    const qint16 old = GE_intUnitSIndex;
    GE_intUnitSIndex = qint16(index);
    showSettings();
    if (!m_loading && old != index)
        markChanged();
}

void frmOption::vscDPointD_Change()
{
    lblDPointD->setCaption(CStr(qint32(vscDPointD->Value())));
    const qint16 old = GE_intDPointD;
    GE_intDPointD = qint16(vscDPointD->Value());
    if (!m_loading && old != GE_intDPointD)
        markChanged();
}

void frmOption::vscDPointS_Change()
{
    lblDPointS->setCaption(CStr(qint32(vscDPointS->Value())));
    const qint16 old = GE_intDPointS;
    GE_intDPointS = qint16(vscDPointS->Value());
    if (!m_loading && old != GE_intDPointS)
        markChanged();
}

// Enter stores a numeric text and moves on; any other key is the box's.
void frmOption::txtNumber_KeyPress(TextBox& box, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    float& setting = &box == txtScale ? GE_sngScale : GE_sngHojoLen;
    if (refusesScale(box))
        return;
    if (measure::fncBox_Single(box.Text()))
        setSetting(setting, measure::fncVal_Single(box.Text()));
    if (&box == txtScale)
        optUnitD(0).SetFocus();
    else
        chkSnap->SetFocus();
}

void frmOption::txtNumber_LostFocus(TextBox& box)
{
    float& setting = &box == txtScale ? GE_sngScale : GE_sngHojoLen;
    if (refusesScale(box))
        return;
    if (measure::fncBox_Single(box.Text()))
        setSetting(setting, measure::fncVal_Single(box.Text()));
    else
        box.setText(CStr(setting));
}

bool frmOption::refusesScale(TextBox& box)
{
    // A scale not above 0 makes 原寸 do nothing; 0 is how a drawing without
    // one stands, and may stay.
    const std::optional<float> v = measure::fncBox_Single(box.Text());
    if (&box != txtScale || !v || *v > 0 || *v == GE_sngScale)
        return false;
    box.setText(CStr(GE_sngScale));
    MsgBox(QStringLiteral("図面スケールには、0 より大きい数を入力してください。"), vbExclamation,
           QStringLiteral("図面スケール"));
    box.SetFocus();
    box.setSelStart(0);
    box.setSelLength(99);
    return true;
}

void frmOption::chkSnap_Click()
{
    const bool value = chkSnap->Value() != 0;
    if (!m_loading && value != GE_booSnap)
        markChanged();
    GE_booSnap = value;
}

void frmOption::chkPictAdj_Click()
{
    const bool value = chkPictAdj->Value() != 0;
    if (!m_loading && value != GE_booPictAdj)
        markChanged();
    GE_booPictAdj = value;
}

void frmOption::setSetting(float& setting, float value)
{
    if (value != setting)
        markChanged();
    setting = value;
    showSettings();
}

void frmOption::markChanged()
{
    if (m_loading)
        return;
    if (frmEdit* e = fncEditor())
        e->booDrawChange = true;
}
