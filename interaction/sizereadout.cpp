// Floating readouts while a lead-out line or a user shape is drawn or
// edited: its length in lblDistance (and status panel 5), a shape's width
// and height in lblWidth and lblHeight, its diagonal in lineDistance.

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/readouts.h"

using namespace platform;

namespace {

// A shape's box is drawn this many stored units wider and higher than what
// it encloses; the size readouts take it off.
constexpr float kShapeBorder = 0.267f;

// The real length of a segment given in map units, by the calibration mode
// (0 with none); the length routines also write status panel 4.
QString segmentText(frmEdit& e, float x1, float y1, float x2, float y2)
{
    x1 = measure::fncUnzoom(x1), y1 = measure::fncUnzoom(y1);
    x2 = measure::fncUnzoom(x2), y2 = measure::fncUnzoom(y2);
    double length = 0;
    if (GE_booModeDis)
        length = e.fncLen_Dis(x1, y1, x2, y2);
    if (GE_booModeKei)
        length = e.fncLen_KeiIdo(x1, y1, x2, y2);
    return measure::fncLength_Caption(length);
}

// Centred on the segment's middle with the label's present size.
void centreOn(const LineElement& segment, LabelElement& label)
{
    label.Left = segment.X1 + (segment.X2 - segment.X1) / 2 - label.Width() / 2;
    label.Top = segment.Y1 + (segment.Y2 - segment.Y1) / 2 - label.Height() / 2;
}

}  // namespace

void frmEdit::subDisp_SegLabel(LineElement& segment, LabelElement& label)
{
    centreOn(segment, label);
    label.Caption = segmentText(*this, segment.X1, segment.Y1, segment.X2, segment.Y2);
}

void frmEdit::subDisp_SegTip(LineElement& segment, int number, LabelElement& label)
{
    centreOn(segment, label);
    const QString text = segmentText(*this, segment.X1, segment.Y1, segment.X2, segment.Y2);
    label.Caption = QStringLiteral("(") + QString::number(number) + QStringLiteral(") ") + text;
    stsTip->Panels(5).setText(label.Caption);
}

void frmEdit::subDisp_ShapeSize(ShapeElement& shape, LabelElement& width, LabelElement& height)
{
    const float l = shape.Left, t = shape.Top, w = shape.Width(), h = shape.Height();
    const float d = GE_sngZoom * kShapeBorder;
    // Width before height: panel 4 ends with the height edge's angle.
    width.Caption = segmentText(*this, l, t, l + w - d, t);
    height.Caption = segmentText(*this, l, t, l, t + h - d);
    // Placed by the size of the new texts: placed by the old ones, a height
    // readout that grew would reach into the shape.
    width.Left = l + w / 2 - width.Width() / 2;
    width.Top = t - width.Height();
    height.Left = l - height.Width();
    height.Top = t + h / 2 - height.Height() / 2;
}

void frmEdit::subDisp_SizeOn(LabelElement& length, LabelElement& width, LabelElement& height, LineElement& diagonal,
                             ShapeElement& shape, int number)
{
    length.Visible = true;
    width.Visible = true;
    height.Visible = true;
    diagonal.Visible = true;
    diagonal.X1 = shape.Left;
    diagonal.Y1 = shape.Top;
    diagonal.X2 = shape.Left + shape.Width();
    diagonal.Y2 = shape.Top + shape.Height();
    subDisp_SegTip(diagonal, number, length);
    subDisp_ShapeSize(shape, width, height);
}
