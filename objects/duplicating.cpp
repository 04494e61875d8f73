// Copies of drawing objects: a text or position label, a lead-out line, a
// shape, or a whole area or route with its sides, side distances and
// hatching. A copy lies 5 shown units right of and below its source and has
// a key of its own. Only visible elements are copied: a hidden element is no
// object, whatever its tag.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/resulttag.h"
#include "objects/objectarrays.h"


using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

namespace {

constexpr float Offset = 5;

// A copy keeps its source's prefix (a result tag's unit, decimals and value)
// and takes the new key.
QString copyTag(const QString& tag, const QString& key)
{
    if (tag.size() > 12)
        return mdlObjects::fncPrefix(tag) + QLatin1Char('_') + key;
    return key;
}

template <class T>
void newSpare(ElementArray<T>& elements, int t)
{
    elements.Load(t + 1);
    elements(t + 1).Visible = false;
    elements(t + 1).Tag.clear();
}

}  // namespace

QString frmEdit::fncNew_GroupId() { return groupIds.fncNext(objectArrays(), GE_tpHatching, vb::Now()); }

void frmEdit::subDpp_Line(ElementArray<LineElement>& lines, int i, bool spare, const QString& key)
{
    const int t = lines.UBound();
    const LineElement& source = lines(i);
    LineElement& copy = lines(t);
    copy.Visible = true;
    copy.Tag = copyTag(source.Tag, key);
    copy.X1 = source.X1 + Offset;
    copy.Y1 = source.Y1 + Offset;
    copy.X2 = source.X2 + Offset;
    copy.Y2 = source.Y2 + Offset;
    copy.BorderColor = source.BorderColor.get();
    copy.BorderStyle = source.BorderStyle.get();
    copy.BorderWidth = source.BorderWidth.get();
    copy.DrawMode = source.DrawMode.get();
    if (spare)
        newSpare(lines, t);
}

void frmEdit::subDpp_Shape(ElementArray<ShapeElement>& shapes, int i, bool spare, const QString& key)
{
    const int t = shapes.UBound();
    const ShapeElement& source = shapes(i);
    ShapeElement& copy = shapes(t);
    copy.Visible = true;
    copy.Tag = copyTag(source.Tag, key);
    copy.Top = source.Top + Offset;
    copy.Left = source.Left + Offset;
    copy.setWidth(source.Width());
    copy.setHeight(source.Height());
    copy.BackColor = source.BackColor.get();
    copy.BackStyle = source.BackStyle.get();
    copy.BorderColor = source.BorderColor.get();
    copy.BorderStyle = source.BorderStyle.get();
    copy.BorderWidth = source.BorderWidth.get();
    copy.FillColor = source.FillColor.get();
    copy.FillStyle = source.FillStyle.get();
    copy.Shape = source.Shape.get();
    copy.DrawMode = source.DrawMode.get();
    if (spare)
        newSpare(shapes, t);
}

void frmEdit::subDpp_Label(ElementArray<LabelElement>& labels, int i, bool spare, const QString& key)
{
    int t = labels.UBound();
    if (!spare)
        labels.Load(++t);
    const LabelElement& source = labels(i);
    LabelElement& copy = labels(t);
    copy.Caption = source.Caption.get();
    copy.Visible = true;
    copy.Top = source.Top + Offset;
    copy.Left = source.Left + Offset;
    if (!copy.AutoSize) {
        copy.setWidth(source.Width());
        copy.setHeight(source.Height());
    }
    copy.ForeColor = source.ForeColor.get();
    copy.BackColor = source.BackColor.get();
    copy.BackStyle = source.BackStyle.get();
    copy.BorderStyle = source.BorderStyle.get();
    copy.FontBold = source.FontBold.get();
    copy.FontItalic = source.FontItalic.get();
    copy.FontName = source.FontName.get();
    // The shown size is already the zoomed one.
    copy.FontSize = source.FontSize.get();
    copy.FontStrikethrough = source.FontStrikethrough.get();
    copy.FontUnderline = source.FontUnderline.get();
    if (&labels == &lblKeiIdoS) {
        // A position label tells where it lies: its own corner's position.
        subDisp_Position(copy.Left / GE_sngZoom, copy.Top / GE_sngZoom);
        copy.Tag = strKeiIdoSec;
        copy.ToolTipText = strKeiIdoDMS;
    } else {
        copy.Tag = copyTag(source.Tag, key);
        // The comment belongs to the source; the place it fills may hold another's.
        copy.ToolTipText = QString();
    }
    if (spare)
        newSpare(labels, t);
}

void frmEdit::subDpp_Measure(ElementArray<LabelElement>& labels, int i)
{
    const QString key = fncNew_GroupId();
    const bool area = &labels == &lblMensekiS;
    const int u = labels.UBound();
    if (area) {
        while (GE_tpHatching.size() <= u)
            GE_tpHatching.append(typHatching());
        GE_tpHatching[u] = i < GE_tpHatching.size() ? GE_tpHatching[i] : typHatching();
        GE_tpHatching[u].Tag = key;
        GE_tpHatching.resize(u + 2);
        GE_tpHatching[u + 1] = typHatching();
    }
    const QString old = mdlObjects::fncKey(labels(i));
    subDpp_Label(labels, i, true, key);

    const auto keyed = [&old](const auto& elements, int k) {
        return mdlObjects::fncShown(elements, k) && mdlObjects::fncKey(elements(k)) == old;
    };
    const int sides = linePS.UBound();
    for (int j = 0; j < sides; ++j) {
        if (keyed(linePS, j))
            subDpp_Line(linePS, j, true, key);
    }
    // The side distances, each with its line, extension lines and markers,
    // so that the copies keep their pairing by index.
    QList<int> distances;
    for (int k = 0; k < lblKyori.UBound(); ++k) {
        if (keyed(lblKyori, k) && lineDsSave.exists(k) && lineHojoSave.exists(2 * k + 1)
            && shpSnpo.exists(2 * k + 1))
            distances << k;
    }
    for (int k : distances)
        subDpp_Line(lineDsSave, k, true, key);
    for (int k : distances) {
        subDpp_Line(lineHojoSave, 2 * k, true, key);
        subDpp_Line(lineHojoSave, 2 * k + 1, true, key);
    }
    for (int k : distances) {
        subDpp_Shape(shpSnpo, 2 * k, true, key);
        subDpp_Shape(shpSnpo, 2 * k + 1, true, key);
    }
    for (int k : distances)
        subDpp_Label(lblKyori, k, true, key);
    // The copy of a hatched area is hatched at once, as its style claims.
    if (area && fncMake_HatchBin(u) > 0)
        subDisp_TempH(u);
}
