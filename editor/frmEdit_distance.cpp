// Distance objects: a finished straight measurement kept as a label, a
// dimension line, two extension lines and two end markers; the same for each
// side of an area; the re-lay after an extension line moved, and the closing
// side of a polyline laid onto its exact end.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/readouts.h"
#include "measure/resulttag.h"
#include "objects/objectarrays.h"
#include "platform/vberror.h"

using namespace platform;

namespace {

// Element indices are 16-bit: an object is refused whole, before any
// element changes, when one of its arrays could not take its new elements.
template <class T>
void checkRoom(const ElementArray<T>& elements, int added)
{
    if (elements.UBound() + added > 32767)
        throw vb::Error(vb::errOverflow);
}

void copyLine(LineElement& to, const LineElement& from)
{
    to.X1 = from.X1;
    to.Y1 = from.Y1;
    to.X2 = from.X2;
    to.Y2 = from.Y2;
}

void centreOn(ShapeElement& marker, float x, float y)
{
    marker.Left = x - marker.Width() / 2;
    marker.Top = y - marker.Height() / 2;
}

// The label's place: centred on the middle of (x1, y1)-(x2, y2) by its size now.
void centreLabel(LabelElement& label, float x1, float y1, float x2, float y2)
{
    label.Top = (y2 - y1) / 2 + y1 - label.Height() / 2;
    label.Left = (x2 - x1) / 2 + x1 - label.Width() / 2;
}

void loadLineSpare(ElementArray<LineElement>& lines, int k)
{
    lines.Load(k);
    lines(k).Tag.clear();
    lines(k).Visible = false;
    lines(k).BorderStyle = 1;
    lines(k).BorderWidth = 1;
}

void loadShapeSpare(ElementArray<ShapeElement>& shapes, int k)
{
    shapes.Load(k);
    // Element 0 may be an object with its tag: a spare is empty.
    shapes(k).Tag.clear();
    shapes(k).Visible = false;
}

void loadLabelSpare(ElementArray<LabelElement>& labels, int k)
{
    labels.Load(k);
    labels(k).Tag.clear();
    labels(k).Visible = false;
}

}  // namespace

void frmEdit::subPut_DistanceObject()
{
    checkRoom(lineHojoSave, 2);
    checkRoom(shpSnpo, 2);
    checkRoom(lblKyori, 1);
    checkRoom(lineDsSave, 1);
    int e = lineHojoSave.UBound();
    int m = shpSnpo.UBound();
    int k = lblKyori.UBound();
    int d = lineDsSave.UBound();
    const QString groupId = ResultTag::fncTag_Key(lblDistance.Tag);
    // The dimension goes on the side away from where the measurement started.
    const int a = lineHojo(0).X1 > lineHojo(1).X1 ? 2 : 0;
    const int b = a + 1;

    for (int j = a; j <= b; ++j) {
        LineElement& line = lineHojoSave(e);
        copyLine(line, lineHojo(j));
        line.BorderColor = linDefault.BorderColor;
        line.BorderStyle = linDefault.BorderStyle;
        line.BorderWidth = linDefault.BorderWidth;
        line.Tag = groupId;
        line.Visible = true;
        ++e;
        loadLineSpare(lineHojoSave, e);
    }
    for (const int j : {a, b}) {
        ShapeElement& marker = shpSnpo(m);
        centreOn(marker, lineHojo(j).X2, lineHojo(j).Y2);
        marker.BorderColor = linDefault.BorderColor;
        marker.FillColor = linDefault.BorderColor;
        marker.BorderWidth = linDefault.BorderWidth;
        marker.Tag = groupId;
        marker.Visible = true;
        ++m;
        loadShapeSpare(shpSnpo, m);
    }

    LabelElement& label = lblKyori(k);
    label.Caption = lblDistance.Caption;
    label.Tag = lblDistance.Tag;
    label.ToolTipText = stsTip->Panels(4).Text();
    // The spare came with element 0's font, whatever that label was given:
    // the template's font first, so the label is centred by the size it is
    // drawn in.
    mdlObjects::subTake_Look(label, lblDefault);
    centreLabel(label, lineHojo(a).X2, lineHojo(a).Y2, lineHojo(b).X2, lineHojo(b).Y2);
    label.Visible = true;
    ++k;
    loadLabelSpare(lblKyori, k);

    LineElement& dimension = lineDsSave(d);
    dimension.X1 = lineHojo(a).X2;
    dimension.Y1 = lineHojo(a).Y2;
    dimension.X2 = lineHojo(b).X2;
    dimension.Y2 = lineHojo(b).Y2;
    dimension.BorderColor = linDefault.BorderColor;
    dimension.BorderStyle = linDefault.BorderStyle;
    dimension.BorderWidth = linDefault.BorderWidth;
    dimension.Tag = groupId;
    dimension.Visible = true;
    ++d;
    loadLineSpare(lineDsSave, d);
}

// Caption, tag and place follow the moved extension lines; the label's
// look and the user's comment stay.
void frmEdit::subLayout_Kyori(qint16 index)
{
    booDrawChange = true;
    copyLine(lineHojoSave(intHojoIndex1), lineHojo(0));
    copyLine(lineHojoSave(intHojoIndex2), lineHojo(1));
    for (const qint16 j : {intHojoIndex1, intHojoIndex2})
        centreOn(shpSnpo(j), lineHojoSave(j).X2, lineHojoSave(j).Y2);
    LabelElement& label = lblKyori(index);
    label.Caption = lblDistance.Caption;
    label.Tag = lblDistance.Tag;
    centreLabel(label, lineHojo(0).X2, lineHojo(0).Y2, lineHojo(1).X2, lineHojo(1).Y2);
    LineElement& dimension = lineDsSave(index);
    dimension.X1 = lineHojo(0).X2;
    dimension.Y1 = lineHojo(0).Y2;
    dimension.X2 = lineHojo(1).X2;
    dimension.Y2 = lineHojo(1).Y2;
}

void frmEdit::layDimensionSide(float x1, float y1, float x2, float y2)
{
    lineDistance.X1 = x1;
    lineDistance.X2 = x2;
    lineDistance.Y1 = y1;
    lineDistance.Y2 = y2;
    subHojo_Start(lineHojo, x1, y1);
    subHojo_Layout(lineHojo, x1, y1, x2, y2, GE_sngHojoLen);
    subHojo_Visible(true);
}

void frmEdit::readDimensionLength(float x1, float y1, float x2, float y2, bool byDistance, bool byKeiIdo)
{
    const float ux1 = measure::fncUnzoom(x1), uy1 = measure::fncUnzoom(y1);
    const float ux2 = measure::fncUnzoom(x2), uy2 = measure::fncUnzoom(y2);
    double length = 0;
    if (byDistance)
        length = fncLen_Dis(ux1, uy1, ux2, uy2);
    if (byKeiIdo)
        length = fncLen_KeiIdo(ux1, uy1, ux2, uy2);
    lblDistance.Caption = measure::fncLength_Caption(length);
    lblDistance.Tag = ResultTag::fncMake_ResultTag(GE_intUnitDIndex, GE_intDPointD, length, lblDistance.Tag);
}

void frmEdit::subDraw_AreaDimension(float x1, float y1, float x2, float y2, const QString& tag)
{
    checkRoom(lineHojoSave, 2);
    checkRoom(lineDsSave, 1);
    checkRoom(shpSnpo, 2);
    checkRoom(lblKyori, 1);
    layDimensionSide(x1, y1, x2, y2);
    const int a = x1 <= x2 ? 0 : 2;
    const int b = a + 1;

    const int e = lineHojoSave.UBound();
    copyLine(lineHojoSave(e), lineHojo(a));
    lineHojoSave(e).Tag = tag;
    lineHojoSave(e).Visible = true;
    lineHojoSave.Load(e + 1);
    copyLine(lineHojoSave(e + 1), lineHojo(b));
    lineHojoSave(e + 1).Tag = tag;
    lineHojoSave(e + 1).Visible = true;
    loadLineSpare(lineHojoSave, e + 2);

    const int d = lineDsSave.UBound();
    LineElement& dimension = lineDsSave(d);
    dimension.X1 = lineHojo(a).X2;
    dimension.Y1 = lineHojo(a).Y2;
    dimension.X2 = lineHojo(b).X2;
    dimension.Y2 = lineHojo(b).Y2;
    dimension.Tag = tag;
    dimension.Visible = true;
    loadLineSpare(lineDsSave, d + 1);

    // The marker pair runs the other way round from the extension lines.
    const int m = shpSnpo.UBound();
    centreOn(shpSnpo(m), lineHojo(b).X2, lineHojo(b).Y2);
    shpSnpo(m).Tag = tag;
    shpSnpo(m).Visible = true;
    shpSnpo.Load(m + 1);
    centreOn(shpSnpo(m + 1), lineHojo(a).X2, lineHojo(a).Y2);
    shpSnpo(m + 1).Tag = tag;
    shpSnpo(m + 1).Visible = true;
    loadShapeSpare(shpSnpo, m + 2);

    readDimensionLength(x1, y1, x2, y2, GE_booModeDis, GE_booModeKei);
    const int k = lblKyori.UBound();
    LabelElement& label = lblKyori(k);
    label.Caption = lblDistance.Caption;
    label.Tag = lblDistance.Tag;
    // The spare was copied from element 0, another object's comment and font
    // included: the closing side looks like the sides kept before it.
    label.ToolTipText = QString();
    mdlObjects::subTake_Look(label, lblDefault);
    label.Visible = true;
    centreLabel(label, dimension.X1, dimension.Y1, dimension.X2, dimension.Y2);
    loadLabelSpare(lblKyori, k + 1);
}

void frmEdit::subDraw_LineDimension(float x1, float y1, float x2, float y2)
{
    // Which side the latest object took: lineHojo still holds the lines it
    // was made from, and its first extension line is a copy of line 0 only
    // when both outer coordinates agree.
    const int j = lineHojoSave.UBound() - 2;
    const bool firstPair = lineHojo(0).X2 == lineHojoSave(j).X2 && lineHojo(0).Y2 == lineHojoSave(j).Y2;
    const int a = firstPair ? 1 : 3;
    layDimensionSide(x1, y1, x2, y2);
    copyLine(lineHojoSave(lineHojoSave.UBound() - 1), lineHojo(a));
    LineElement& dimension = lineDsSave(lineDsSave.UBound() - 1);
    dimension.X2 = lineHojo(a).X2;
    dimension.Y2 = lineHojo(a).Y2;
    centreOn(shpSnpo(shpSnpo.UBound() - 1), lineHojo(a).X2, lineHojo(a).Y2);
    // The readouts' own flags: the copies taken when the measurement began
    // are cleared by the time the closing mouse-up calls this.
    readDimensionLength(x1, y1, x2, y2, booCalcDis, booCalcKei);
    LabelElement& label = lblKyori(lblKyori.UBound() - 1);
    label.Caption = lblDistance.Caption;
    label.Tag = lblDistance.Tag;
    // The dimension's end moved and the caption may have changed width.
    centreLabel(label, dimension.X1, dimension.Y1, dimension.X2, dimension.Y2);
}
