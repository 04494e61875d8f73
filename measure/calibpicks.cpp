// The editor's side of calibrating: the three popups that say which point
// the next pick on the map sets, the procedures that write picked points
// into the options window's boxes, and the map's mode text.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/checkline.h"
#include "measure/frmOption.h"
#include "measure/optionrules.h"
#include "platform/vbruntime.h"

using namespace platform;
using vb::CStr;

namespace {

frmOption& options()
{
    return Instance<frmOption>::get();
}

}  // namespace

void frmEdit::buildCalibration()
{
    // In the viewport's corner, above the map however it is scrolled; the
    // mouse passes through to the map.
    lblModeText = new Label(QStringLiteral("lblModeText"), pictWindow);
    lblModeText->Move(60, 60, 1500, 255);
    lblModeText->setAutoSize(true);
    lblModeText->setBorderStyle(1);
    lblModeText->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblModeText->setVisible(false);

    popHoseiL->Click = [this] { popHoseiL_Click(); };
    popHoseiR->Click = [this] { popHoseiR_Click(); };
    popTaiou1->Click = [this] { popTaiou1_Click(); };
    popTaiou2->Click = [this] { popTaiou2_Click(); };
    popDisX->Click = [this] { popDisX_Click(); };
    popDisY->Click = [this] { popDisY_Click(); };
}

void frmEdit::subSet_ModeText(const QString& text)
{
    lblModeText->setCaption(text);
    lblModeText->setVisible(!text.isEmpty());
    lblModeText->QWidget::raise();
}

QString frmEdit::fncModeText() const
{
    return lblModeText->Caption();
}

void frmEdit::popHoseiL_Click()
{
    popHoseiL->setChecked(true);
    popHoseiR->setChecked(false);
}

void frmEdit::popHoseiR_Click()
{
    popHoseiR->setChecked(true);
    popHoseiL->setChecked(false);
}

void frmEdit::popTaiou1_Click()
{
    popTaiou1->setChecked(true);
    popTaiou2->setChecked(false);
}

void frmEdit::popTaiou2_Click()
{
    popTaiou2->setChecked(true);
    popTaiou1->setChecked(false);
}

void frmEdit::popDisX_Click()
{
    popDisX->setChecked(true);
    popDisY->setChecked(false);
    mdlSub::subSet_CheckLine(GE_tpPiccelD[0].sngX, GE_tpPiccelD[0].sngY, GE_tpPiccelD[1].sngX, GE_tpPiccelD[1].sngY);
    subOpt_DisXYEnable();
    subHojo_Visible(false);
}

void frmEdit::popDisY_Click()
{
    popDisY->setChecked(true);
    popDisX->setChecked(false);
    mdlSub::subSet_CheckLine(GE_tpPiccelD[2].sngX, GE_tpPiccelD[2].sngY, GE_tpPiccelD[3].sngX, GE_tpPiccelD[3].sngY);
    subOpt_DisXYEnable();
    subHojo_Visible(false);
}

void frmEdit::subOpt_DisXYEnable()
{
    frmOption& o = options();
    const bool horizontal = popDisX->Checked();
    for (int i = 0; i <= 11; ++i)
        o.txtXY(i).setEnabled(i <= 5 ? horizontal : !horizontal);
}

void frmEdit::subOpt_HoseiPoint()
{
    frmOption& o = options();
    for (int i = 0; i <= 3; ++i)
        o.txtHosei(i).setText(CStr(GE_sngHosei[size_t(i)]));
}

void frmEdit::subOpt_HoseiAngle()
{
    frmOption& o = options();
    for (int i = 0; i <= 3; ++i)
        o.txtHosei(i + 4).setText(measure::fncAngle_Text(GE_dblHosei[size_t(i)]));
}

void frmEdit::subOpt_KnownDistance(float length, const LineElement& line)
{
    frmOption& o = options();
    // The map is at 100 % while the window is open: the line's ends are picture points.
    const float ends[] = {line.X1, line.Y1, line.X2, line.Y2};
    if (popDisX->Checked()) {
        for (int i = 0; i <= 3; ++i)
            o.txtXY(i).setText(CStr(ends[i]));
        o.txtXY(4).setText(CStr(length));
    }
    if (popDisY->Checked()) {
        for (int i = 0; i <= 3; ++i)
            o.txtXY(6 + i).setText(CStr(ends[i]));
        o.txtXY(10).setText(CStr(length));
    }
}

void frmEdit::subOpt_TaiouPoint()
{
    frmOption& o = options();
    o.txtPict_mm1(0).setText(CStr(GE_tpPiccel[0].sngX));
    o.txtPict_mm1(1).setText(CStr(GE_tpPiccel[0].sngY));
    o.txtPict_mm2(0).setText(CStr(GE_tpPiccel[1].sngX));
    o.txtPict_mm2(1).setText(CStr(GE_tpPiccel[1].sngY));
}
