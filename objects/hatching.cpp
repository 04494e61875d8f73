// Hatching of the kept areas on the map. The segments are generated once per
// change of an area or its record, kept unzoomed in the area's cache file,
// and painted from there onto the map's drawn layer at the zoom of the
// moment. Every repaint of the map from the picture wipes them, so whatever
// repaints draws them again from the files.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/hatchcache.h"
#include "measure/resulttag.h"
#include "objects/hatchgen.h"

#include <cmath>
#include <limits>

namespace {

bool hasRecord(int index) { return index >= 0 && index < GE_tpHatching.size(); }

bool hasArea(const frmEdit& editor, int index)
{
    return hasRecord(index) && editor.lblMensekiS.exists(index);
}

// The sides of the area with `key`: the visible linePS elements carrying it,
// the spare left out, in shown (zoomed) units.
QList<mdlHatching::HatchSide> areaSides(const frmEdit& editor, const QString& key)
{
    QList<mdlHatching::HatchSide> sides;
    for (int k = 0; k < editor.linePS.UBound(); ++k) {
        if (!editor.linePS.exists(k))
            continue;
        const platform::LineElement& side = editor.linePS(k);
        if (side.Visible && ResultTag::fncTag_Key(side.Tag) == key)
            sides.append({side.X1, side.Y1, side.X2, side.Y2});
    }
    return sides;
}

// Far beyond any map (stored units): a cache file holding such a coordinate
// is damaged, and the segment is left out rather than drawn.
constexpr float kSaneExtent = 1e6f;

bool sane(const typHatchLine& line)
{
    for (const float v : {line.X1, line.Y1, line.X2, line.Y2}) {
        if (!(std::fabs(v) <= kSaneExtent))  // also false for NaN
            return false;
    }
    return true;
}

// Paints area i's segments from its cache file with the record's pen; an area
// without a file, or not hatched, paints nothing.
void drawArea(frmEdit& editor, int i)
{
    if (!hasArea(editor, i))
        return;
    const typHatching& record = GE_tpHatching[i];
    if (record.iStyle < 1)
        return;
    QList<typHatchLine> lines;
    if (!mdlFileAccess::fncGet_Bin(editor.lblMensekiS(i).Tag, record, lines))
        return;
    platform::PictureBox& map = *editor.pictMap;
    map.DrawMode = record.DrawMode;
    map.DrawStyle = record.BorderStyle;  // a line style value, used as it is
    map.DrawWidth = record.BorderWidth;
    const float zoom = GE_sngZoom;
    for (const typHatchLine& line : lines) {
        if (sane(line))
            map.Line(line.X1 * zoom, line.Y1 * zoom, line.X2 * zoom, line.Y2 * zoom, record.BorderColor);
    }
}

}  // namespace

qsizetype frmEdit::fncMake_HatchBin(int index)
{
    if (!hasArea(*this, index) || GE_tpHatching[index].iStyle == 0)
        return -1;
    typHatching& record = GE_tpHatching[index];
    const QList<mdlHatching::HatchSide> sides = areaSides(*this, ResultTag::fncTag_Key(lblMensekiS(index).Tag));
    // An area without sides keeps its record and its file.
    if (sides.isEmpty())
        return -1;
    const qsizetype count = mdlHatching::fncHatching_Store(sides, record, lblMensekiS(index).Tag, GE_sngZoom);
    intHatchCnt = qint16(qMin<qsizetype>(count, std::numeric_limits<qint16>::max()));
    return count;
}

void frmEdit::subReDraw_Hathing(int index)
{
    // A record turned to style 0 keeps its file; it is simply no longer drawn.
    fncMake_HatchBin(index);
    subAllDisp_TempH();
}

void frmEdit::subDisp_TempH(int index)
{
    drawArea(*this, index);
}

void frmEdit::subAllDisp_TempH()
{
    // The last label is the hidden spare.
    if (lblMensekiS.UBound() - 1 < 0)
        return;
    subPictOrg_CopyAdj(GE_sngZoom);
    subAllDisp_TempH_Clr();
}

void frmEdit::subAllDisp_TempH_Clr()
{
    const int last = lblMensekiS.UBound() - 1;
    for (int i = 0; i <= last; ++i) {
        if (lblMensekiS.exists(i) && lblMensekiS(i).Visible)
            drawArea(*this, i);
    }
}
