// The tool a press starts when it grabbed nothing: a measurement (straight,
// preset, radius circle, polyline), a lead-out line, a shape, or a finished
// text or position label. Measurements begin at the snapped point, the rest
// at the press as delivered.

#include "editor/frmEdit.h"

#include "app/globals.h"

using namespace platform;

namespace {

// A fresh tag for a measurement: a key of its own, never one in the drawing
// nor one handed out before (the measurement shown before it included).
QString freshTag(frmEdit& e) { return QStringLiteral("000:0.000_") + e.fncNew_GroupId(); }

void styleLabel(LabelElement& label, const LabelElement& model)
{
    label.Alignment = model.Alignment.get();
    label.Appearance = model.Appearance.get();
    label.ForeColor = model.ForeColor.get();
    label.BackColor = model.BackColor.get();
    label.BackStyle = model.BackStyle.get();
    label.BorderStyle = model.BorderStyle.get();
    label.FontBold = model.FontBold.get();
    label.FontItalic = model.FontItalic.get();
    label.FontName = model.FontName.get();
    label.FontSize = model.FontSize.get();
    label.FontStrikethrough = model.FontStrikethrough.get();
    label.FontUnderline = model.FontUnderline.get();
}

}  // namespace

void frmEdit::subStart_Tool(float x, float y, float sx, float sy)
{
    const bool under = booMesDownD || booMesDownK;
    if (!under)
        subReset_ResultLabel(lblDistance, lblWidth, lblHeight, lineDistance, sx, sy);
    booCalcDis = GE_booModeDis;
    booCalcKei = GE_booModeKei;
    if (Toolbar1->Buttons(9).Value() == 1) {
        const auto begin = [&] {
            booMesDownD = GE_booModeDis;
            booMesDownK = GE_booModeKei;
        };
        if ((popMesLine->Checked() || popMesInput->Checked()) && !under) {
            booMesEndD = booMesEndK = false;
            begin();
            lblDistance.Tag = freshTag(*this);
            subHojo_Start(lineHojo, sx, sy);
            subHojo_Layout(lineHojo, lineDistance.X1, lineDistance.Y1, lineDistance.X2, lineDistance.Y2,
                           GE_sngHojoLen);
            subHojo_Visible(true);
            return;
        }
        if ((popMesCir->Checked() && booMesEndD) || booMesEndK) {
            booMesEndD = false;
            lblDistance.Visible = false;
            lineDistance.Visible = false;
        }
        if (under)
            return;
        if (popMesCir->Checked()) {
            shpCircle.setHeight(0);
            shpCircle.setWidth(0);
            shpCircle.Top = sy;
            shpCircle.Left = sx;
            shpCircle.Visible = true;
            // The last measurement's line and readout went above; this
            // radius shows its own as it grows, as the first one did.
            lineDistance.Visible = true;
            lblDistance.Visible = true;
            begin();
            lblDistance.Tag = freshTag(*this);
            subHojo_Start(lineHojo, lineDistance.X1, lineDistance.Y1);
            subHojo_Layout(lineHojo, lineDistance.X1, lineDistance.Y1, lineDistance.X2, lineDistance.Y2,
                           GE_sngHojoLen);
            subHojo_Visible(true);
        } else if (popMesRenzoku->Checked()) {
            subStart_Polyline(x, y, sx, sy);
            begin();
        }
        return;
    }
    if (Toolbar1->Buttons(10).Value() == 1) {
        lineDistance.Visible = false;
        const int k = lineHikidashi.UBound();
        intGripLine = 0;
        LineElement& line = lineHikidashi(k);
        line.X1 = line.X2 = x;
        line.Y1 = line.Y2 = y;
        line.DrawMode = linDefault.DrawMode.get();
        line.BorderColor = linDefault.BorderColor.get();
        line.BorderStyle = linDefault.BorderStyle.get();
        line.BorderWidth = linDefault.BorderWidth.get();
        line.Visible = true;
    } else if (Toolbar1->Buttons(11).Value() == 1) {
        lblWidth.Visible = true;
        lblHeight.Visible = true;
        const int k = shpShape.UBound();
        intGripLine = 0;
        ShapeElement& shape = shpShape(k);
        shape.Left = x;
        shape.Top = y;
        shape.setWidth(0);
        shape.setHeight(0);
        shape.DrawMode = shpDefault.DrawMode.get();
        shape.BorderColor = shpDefault.BorderColor.get();
        shape.BorderStyle = shpDefault.BorderStyle.get();
        shape.BorderWidth = shpDefault.BorderWidth.get();
        shape.BackColor = shpDefault.BackColor.get();
        shape.BackStyle = shpDefault.BackStyle.get();
        shape.FillColor = shpDefault.FillColor.get();
        shape.FillStyle = shpDefault.FillStyle.get();
        shape.Shape = shpDefault.Shape.get();
        shape.Tag = QString();
        shape.Visible = true;
    } else if (Toolbar1->Buttons(12).Value() == 1) {
        const int k = lblMoji.UBound() + 1;
        lblMoji.Load(k);
        LabelElement& label = lblMoji(k);
        label.Caption = strMojiHead + QString::number(intMojiNo) + strMojiFoot + QLatin1Char(' ');
        label.Left = x;
        label.Top = y;
        // Element 0 may be a reloaded label with a comment of its own.
        label.ToolTipText = QString();
        styleLabel(label, lblDefault);
        label.Visible = true;
        ++intMojiNo;
        booDrawChange = true;
    } else if (Toolbar1->Buttons(13).Value() == 1) {
        // The position texts of the press point itself, not of the last move.
        subDisp_Position(x / GE_sngZoom, y / GE_sngZoom);
        const int k = lblKeiIdoS.UBound() + 1;
        lblKeiIdoS.Load(k);
        LabelElement& label = lblKeiIdoS(k);
        label.Caption = strKeiIdoHead + QString::number(intKeiIdoNo) + strKeiIdoFoot + QLatin1Char(' ');
        label.Left = x;
        label.Top = y;
        label.ToolTipText = strKeiIdoDMS;
        label.Tag = strKeiIdoSec;
        styleLabel(label, lblDefault);
        label.Visible = true;
        ++intKeiIdoNo;
        booDrawChange = true;
    }
}

void frmEdit::subStart_Polyline(float x, float y, float sx, float sy)
{
    int n = lineMenseki.UBound();
    // A polyline whose sides were cleared under it starts again.
    if (booRenzoku && n >= 1) {
        LineElement& side = lineMenseki(n);
        side.X1 = lineMenseki(n - 1).X2;
        side.Y1 = lineMenseki(n - 1).Y2;
        side.X2 = x;
        side.Y2 = y;
        subDisp_DistanceLine();
        subHojo_Start(lineHojo, side.X1, side.Y1);
        subHojo_Layout(lineHojo, lineDistance.X1, lineDistance.Y1, lineDistance.X2, lineDistance.Y2, GE_sngHojoLen);
    } else {
        booRenzoku = true;
        subAllClr_LineMenseki();
        n = lineMenseki.UBound();
        LineElement& side = lineMenseki(n);
        side.X1 = side.X2 = sx;
        side.Y1 = side.Y2 = sy;
        lblDistance.Left = sx;
        lblDistance.Top = sy - lblDistance.Height();
        lblDistance.Caption = QStringLiteral("0.00 ") + GE_strUnitD;
        const QString tag = freshTag(*this);
        lblDistance.Tag = tag;
        lblMenseki.Tag = tag;
        lblKeiro.Tag = tag;
        subHojo_Start(lineHojo, sx, sy);
        subHojo_Layout(lineHojo, side.X1, side.Y1, side.X2, side.Y2, GE_sngHojoLen);
    }
    subHojo_Visible(true);
    LineElement& side = lineMenseki(n);
    side.BorderStyle = 3;
    side.Visible = true;
    lblDistance.Visible = true;
}
