// The release of an arrow key commits the nudge once: an area or route
// takes its parts along to where its label went, a moved side recomputes
// its area's hatching and result, a position label its texts, a reopened
// distance is laid out again, calibration points reach the options window;
// the grips go back onto the selection and the live readouts go.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/elementbox.h"
#include "interaction/grips.h"
#include "measure/calibration.h"
#include "measure/checkline.h"
#include "measure/frmOption.h"
#include "measure/geometry.h"
#include "platform/keyboard.h"
#include "platform/vbruntime.h"

using namespace platform;

namespace {

// The grip squares back on a line, as its grab placed them.
void gripLine(frmEdit& e, LineElement& line) { e.subGrip_Line(e.intGripLine, line, e.shpPointer); }

// The grip squares back on a shape: all four round a moved one, else the
// grabbed corner or the two ends of the grabbed side.
void gripShape(frmEdit& e, ShapeElement& shape)
{
    const qint16 code = e.intGripRect;
    if (code == interaction::gripInside) {
        e.subGrip_Shape(shape, e.shpPointer);
        return;
    }
    const interaction::typGripCentres g = interaction::fncGrip_Grabbed(code, interaction::fncBox_Of(shape));
    for (int k = 0; k < g.count; ++k) {
        ShapeElement& grip = e.shpPointer(k);
        interaction::subGrip_Centre(grip, g.at[size_t(k)].sngX, g.at[size_t(k)].sngY);
        grip.Visible = true;
    }
}

}  // namespace

void frmEdit::Form_KeyUp(int& keyCode, int shift) { subKeyUp_Move(qint16(keyCode), qint16(shift)); }

void frmEdit::subKeyUp_Move(qint16 keyCode, qint16 /*shift*/)
{
    if (keyCode < vb::vbKeyLeft || keyCode > vb::vbKeyDown)
        return;
    if (intSelIndex < 0)
        return;
    // No key-down of this nudge reached the window: there is nothing to
    // commit, and an area has no outline to measure its travel by.
    if (!booKeyMove)
        return;
    const QString name = strSelObjName;
    const int i = intSelIndex;
    bool moved = true;
    // The nudge ends however the commit does.
    const auto end = [this] {
        booMesMoveD = false;
        booMesMoveK = false;
        booKeyMove = false;
        booCalcDis = false;
        booCalcKei = false;
        lblDistance.Visible = false;
    };
    try {
        if (name == QLatin1String("lblKeiroS") || name == QLatin1String("lblMensekiS")) {
            LabelElement& label = name == QLatin1String("lblKeiroS") ? lblKeiroS(i) : lblMensekiS(i);
            const int j = fncFind_LinePS(vb::Right(label.Tag, 12));
            if (j > -1) {
                // The rest goes as far as the outline did; during a polyline,
                // which has no outline, as far as the label did.
                float dx = sngKeyLeft - label.Left, dy = sngKeyTop - label.Top;
                if (!booRenzoku) {
                    dx = linePS(j).X1 - lineMenseki(0).X1;
                    dy = linePS(j).Y1 - lineMenseki(0).Y1;
                }
                subMove_MensekiKeiro(label, i, dx, dy);
            }
            subGrip_Label(label, shpPointer);
        } else if (name == QLatin1String("lblKyori") || name == QLatin1String("lblMoji")) {
            subGrip_Label(name == QLatin1String("lblKyori") ? lblKyori(i) : lblMoji(i), shpPointer);
        } else if (name == QLatin1String("lblKeiIdoS")) {
            LabelElement& label = lblKeiIdoS(i);
            subGrip_Label(label, shpPointer);
            // Where its corner lies, as the map's readout tells it.
            subDisp_Position(label.Left / GE_sngZoom, label.Top / GE_sngZoom);
            label.ToolTipText = strKeiIdoDMS;
            label.Tag = strKeiIdoSec;
        } else if (name == QLatin1String("linePS")) {
            subMove_MensekiHatch();
            gripLine(*this, linePS(i));
        } else if (name == QLatin1String("lineDsSave")) {
            gripLine(*this, lineDsSave(i));
        } else if (name == QLatin1String("lineHikidashi")) {
            gripLine(*this, lineHikidashi(i));
        } else if (name == QLatin1String("shpShape")) {
            gripShape(*this, shpShape(i));
            lblWidth.Visible = false;
            lblHeight.Visible = false;
            lineDistance.Visible = false;
        } else if (name == QLatin1String("lineHojoSave")) {
            lineDistance.Visible = false;
            lblDistance.Visible = false;
            subHojo_Visible(false);
            if (intHojoKyori >= 0)
                subLayout_Kyori(intHojoKyori);
        } else {
            // Calibration points are the options window's to keep ("設定").
            moved = false;
            if (name == QLatin1String("shpCheck"))
                subKeyUp_Check();
        }
    } catch (...) {
        end();
        throw;
    }
    end();
    if (moved)
        booDrawChange = true;
}

void frmEdit::subKeyUp_Check()
{
    const float x1 = lineCheck.X1, y1 = lineCheck.Y1, x2 = lineCheck.X2, y2 = lineCheck.Y2;
    if (GE_booPickDistance) {
        GE_sngHosei = {x1, y1, x2, y2};
        mdlSub::subSet_CheckMarker(x1, y1, x2, y2);
        // A horizontal known distance is the tilt reference line as well.
        if (popDisX->Checked()) {
            mdlSub::subCalc_Hosei();
            subOpt_HoseiPoint();
            subOpt_HoseiAngle();
            subOpt_KnownDistance(mdlSub::fncGet_Distance(x1, y1, x2, y2), lineCheck);
        }
        if (frmOption* options = Instance<frmOption>::pointer())
            options->subDisp_Rato();
    }
    if (GE_booPickHosei) {
        if (intHitCheck == 0) {
            GE_sngHosei[0] = x1;
            GE_sngHosei[1] = y1;
        } else if (intHitCheck == 1) {
            GE_sngHosei[2] = x2;
            GE_sngHosei[3] = y2;
        }
        mdlSub::subSet_CheckMarker(GE_sngHosei[0], GE_sngHosei[1], GE_sngHosei[2], GE_sngHosei[3]);
        subOpt_HoseiPoint();
        mdlSub::subCalc_Hosei();
        subOpt_HoseiAngle();
    }
    if (GE_booPickKeiIdo) {
        if (intHitCheck == 0)
            GE_tpPiccel[0] = typPointS{x1, y1};
        else if (intHitCheck == 1)
            GE_tpPiccel[1] = typPointS{x2, y2};
        mdlSub::subSet_CheckMarker(GE_tpPiccel[0].sngX, GE_tpPiccel[0].sngY, GE_tpPiccel[1].sngX,
                                   GE_tpPiccel[1].sngY);
        subOpt_TaiouPoint();
    }
}
