// The toolbar, the snap menu, the marker, hint and template toggles, the
// options command, the paper frames toggle and help.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/frmOption.h"
#include "platform/application.h"
#include "platform/ui.h"
#include "platform/vberror.h"

#include <cmath>

using namespace platform;
using namespace vb;

namespace {

// The zoom at which the picture shows at the drawing's true scale, each step
// in single precision, from the scale of the mode the drawing is measured
// in. NaN when it can't be computed.
float trueScaleZoom()
{
    if (GE_booModeKei) {
        // The position calibration holds metres per picture unit (a
        // millimetre of the map at 100 %).
        const float millimetres = float(GE_tpPtoD_r.dblX * 1000);
        return millimetres / GE_sngScale;
    }
    if (GE_intUnitDIndex < 0 || GE_intUnitDIndex >= UnitCount)
        vb::raise(errSubscript);
    const float perScale = GE_sngDistanceD_X / GE_sngScale;
    const float millimetres = float(perScale * GE_dblChgMMToO[size_t(GE_intUnitDIndex)]);
    return millimetres / GE_sngPiccelD_X;
}

}  // namespace

void frmEdit::Toolbar1_ButtonClick(ToolbarButton& button)
{
    subVisible_Array(shpPointer, false);
    subReset_ViewMode();
    const QString key = button.Key();
    if (key == QLatin1String("print")) {
        if (mnuFilePrint->Enabled())
            mnuFilePrint_Click();
    } else if (key == QLatin1String("open")) {
        if (mnuFileNewPrj->Enabled())
            mnuFileNewPrj_Click();
    } else if (key == QLatin1String("save")) {
        if (mnuFileSavePrj->Enabled())
            mnuFileSavePrj_Click();
    } else if (key == QLatin1String("modosu")) {
        GE_sngZoom = 1.0f;
        sZoom(GE_sngZoom);
    } else if (key == QLatin1String("reduce")) {
        GE_sngZoom = float(double(GE_sngZoom) - 0.1);
        if (double(GE_sngZoom) < 0.1)
            GE_sngZoom = 0.1f;
        sZoom(GE_sngZoom);
    } else if (key == QLatin1String("magnify")) {
        GE_sngZoom = float(double(GE_sngZoom) + 0.1);
        if (double(GE_sngZoom) > 2.0)
            GE_sngZoom = 2.0f;
        sZoom(GE_sngZoom);
    } else if (key == QLatin1String("org")) {
        if (GE_sngScale == 0) {
            MsgBox(QStringLiteral("ﾂｰﾙ(T)→ｵﾌﾟｼｮﾝ(O)で、図面スケールを設定してください。"), vbExclamation,
                   QStringLiteral("図面スケール未設定"));
            return;
        }
        // A zero or negative scale or known distance would collapse or mirror
        // every object and make the next zoom divide by zero.
        const float zoom = trueScaleZoom();
        if (!std::isfinite(zoom) || zoom <= 0)
            return;
        GE_sngZoom = zoom;
        sZoom(GE_sngZoom);
    } else if (key == QLatin1String("select")) {
        mnuToolOpt->setEnabled(true);
        stsTip->Panels(6).setText(QStringLiteral("選択モード"));
    } else if (key == QLatin1String("scale")) {
        mnuToolOpt->setEnabled(false);
        stsTip->Panels(6).setText(QStringLiteral("測定"));
        popMesLine_Click();
    } else if (key == QLatin1String("Line")) {
        mnuToolOpt->setEnabled(false);
        stsTip->Panels(6).setText(QStringLiteral("引き出し線"));
    } else if (key == QLatin1String("shape")) {
        mnuToolOpt->setEnabled(false);
        stsTip->Panels(6).setText(QStringLiteral("図形"));
    } else if (key == QLatin1String("InputMoji")) {
        mnuToolOpt->setEnabled(false);
        stsTip->Panels(6).setText(QStringLiteral("文字列"));
    } else if (key == QLatin1String("PlaceInfo")) {
        mnuToolOpt->setEnabled(false);
        stsTip->Panels(6).setText(QStringLiteral("位置情報"));
    } else if (key == QLatin1String("Help")) {
        mnuHelpHlp_Click();
    }
}

void frmEdit::sub_mnuCheck_False(MenuArray& items)
{
    for (int i = 0; i <= items.UBound(); ++i) {
        if (items.exists(i))
            items(i).setChecked(false);
    }
}

void frmEdit::mnuSnap_Click(int index)
{
    sub_mnuCheck_False(mnuSnap);
    mnuSnap(index).setChecked(true);
    switch (index) {
    case 0:
        stsTip->Panels(7).setText(QStringLiteral("OFF"));
        break;
    case 1:
        mnuMarker->setChecked(true);
        stsTip->Panels(7).setText(QStringLiteral("ﾏｰｶｰ"));
        break;
    case 2:
        mnuHint->setChecked(true);
        stsTip->Panels(7).setText(QStringLiteral("ﾋﾝﾄ"));
        break;
    default:
        break;
    }
}

void frmEdit::mnuMarker_Click()
{
    if (!mnuMarker->Checked()) {
        mnuMarker->setChecked(true);
        return;
    }
    mnuMarker->setChecked(false);
    shpSnap.Visible = false;
    mnuSnap(1).setChecked(false);
}

void frmEdit::mnuHint_Click()
{
    if (!mnuHint->Checked()) {
        mnuHint->setChecked(true);
        return;
    }
    mnuHint->setChecked(false);
    lineHintX.Visible = false;
    lineHintY.Visible = false;
    mnuSnap(2).setChecked(false);
}

void frmEdit::mnuDspDefault_Click()
{
    const bool show = !mnuDspDefault->Checked();
    mnuDspDefault->setChecked(show);
    linDefault.Visible = show;
    lblDefault.Visible = show;
    shpDefault.Visible = show;
}

void frmEdit::mnuToolOpt_Click()
{
    subOpt_DisXYEnable();
    // The options window shows the picture at 100 %; the zoom says so too,
    // so that objects, lengths and picture agree.
    GE_sngZoom = 1.0f;
    sZoom_NoAdj(1.0f);
    frmOption& options = platform::Instance<frmOption>::get();
    options.showForm(vbModeless);
    const QString tip = QStringLiteral("各項目を設定してください。");
    stsTip->Panels(1).setText(tip);
    // The tip is about the options window: it goes with it (a position
    // read out meanwhile stays).
    connect(
        &options, &platform::Form::unloaded, this,
        [this, tip] {
            if (stsTip->Panels(1).Text() == tip)
                stsTip->Panels(1).setText(QString());
        },
        Qt::SingleShotConnection);
}

void frmEdit::mnuPaperSize_Click()
{
    const bool show = !mnuPaperSize->Checked();
    subDisp_Paper(GE_sngZoom, show);
    subDisp_PaperR(show);
    mnuPaperSize->setChecked(show);
}

void frmEdit::mnuHelpHlp_Click()
{
    app::showHelp();
}
