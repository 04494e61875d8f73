// Moving an area or route with everything that carries its key, and turning
// a distance's dimension to the other side of its measured points. Elements
// hold shown coordinates; a move by (dx, dy) takes every coordinate to its
// old value minus the offset.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "objects/objectarrays.h"

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;

namespace {

void shift(LineElement& line, float dx, float dy)
{
    line.X1 = line.X1 - dx;
    line.Y1 = line.Y1 - dy;
    line.X2 = line.X2 - dx;
    line.Y2 = line.Y2 - dy;
}

template <class T>
void shiftBox(T& element, float dx, float dy)
{
    element.Left = element.Left - dx;
    element.Top = element.Top - dy;
}

template <class T, class F>
void forKeyed(ElementArray<T>& elements, const QString& key, F&& f)
{
    for (int k = 0; k <= elements.UBound(); ++k) {
        if (elements.exists(k) && mdlObjects::fncKey(elements(k)) == key)
            f(elements(k), k);
    }
}

// The far end of an extension line reflected through its measured point.
void reflect(LineElement& line)
{
    const float dx = line.X1 - line.X2;
    const float dy = line.Y1 - line.Y2;
    line.X2 = line.X1 + dx;
    line.Y2 = line.Y1 + dy;
}

}  // namespace

void frmEdit::subMove_MensekiKeiro(LabelElement& label, int index, float dx, float dy)
{
    const QString key = mdlObjects::fncKey(label);
    const bool area = label.Name == lblMensekiS.Name();
    if (area)
        forKeyed(lblKeiroS, key, [&](LabelElement& l, int) { shiftBox(l, dx, dy); });
    else if (label.Name == lblKeiroS.Name())
        forKeyed(lblMensekiS, key, [&](LabelElement& l, int) { shiftBox(l, dx, dy); });
    forKeyed(linePS, key, [&](LineElement& l, int) { shift(l, dx, dy); });
    forKeyed(lineDsSave, key, [&](LineElement& l, int) { shift(l, dx, dy); });
    forKeyed(lineHojoSave, key, [&](LineElement& l, int) { shift(l, dx, dy); });
    forKeyed(shpSnpo, key, [&](platform::ShapeElement& s, int) { shiftBox(s, dx, dy); });
    forKeyed(lblKyori, key, [&](LabelElement& l, int) { shiftBox(l, dx, dy); });
    // The hatching follows the moved sides, whichever of the two labels was
    // moved: a route label carries the key of the area closed with it. Where
    // the sides yield none, the old file goes, so nothing stays drawn at the
    // old place.
    const int hatched = area ? index : fncFind_MensekiS(key);
    if (hatched >= 0 && hatched < GE_tpHatching.size() && GE_tpHatching[hatched].iStyle >= 1) {
        fncMake_HatchBin(hatched);
        subAllDisp_TempH();
    }
    // A polygon being drawn is the user's work, not the move's copy.
    if (!booRenzoku)
        subAllClr_LineMenseki();
}

void frmEdit::subMove_LineMenseki(float dx, float dy)
{
    for (int k = 0; k <= lineMenseki.UBound(); ++k) {
        if (lineMenseki.exists(k))
            shift(lineMenseki(k), dx, dy);
    }
}

void frmEdit::subRev_Kyori(int i)
{
    const int a = 2 * i, b = 2 * i + 1;
    LineElement& first = lineHojoSave(a);
    LineElement& second = lineHojoSave(b);
    reflect(first);
    reflect(second);
    LineElement& line = lineDsSave(i);
    line.X1 = first.X2.get();
    line.Y1 = first.Y2.get();
    line.X2 = second.X2.get();
    line.Y2 = second.Y2.get();
    const float mx = (line.X2 - line.X1) / 2 + line.X1;
    const float my = (line.Y2 - line.Y1) / 2 + line.Y1;
    LabelElement& label = lblKyori(i);
    label.Left = mx - label.Width() / 2;
    label.Top = my - label.Height() / 2;
    for (int m : {a, b}) {
        platform::ShapeElement& marker = shpSnpo(m);
        marker.Left = lineHojoSave(m).X2 - marker.Width() / 2;
        marker.Top = lineHojoSave(m).Y2 - marker.Height() / 2;
    }
}
