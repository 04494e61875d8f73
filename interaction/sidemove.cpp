// What follows a moved dimension line or side: the distance object's
// extension lines and end markers while it moves, the neighbouring sides
// and their side distances, and once the move is over the area's hatching
// and the area or route result.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/resulttag.h"

using namespace platform;

namespace {

void centreOn(ShapeElement& marker, float x, float y)
{
    marker.Left = x - marker.Width() / 2;
    marker.Top = y - marker.Height() / 2;
}

}  // namespace

void frmEdit::subSet_SnpoMark(ElementArray<LineElement>& lines, int i)
{
    const LineElement& dimension = lines(i);
    LineElement& first = lineHojoSave(2 * i);
    LineElement& second = lineHojoSave(2 * i + 1);
    first.X2 = dimension.X1;
    first.Y2 = dimension.Y1;
    centreOn(shpSnpo(2 * i), first.X2, first.Y2);
    second.X2 = dimension.X2;
    second.Y2 = dimension.Y2;
    centreOn(shpSnpo(2 * i + 1), second.X2, second.Y2);
}

void frmEdit::subMove_KyoriMark(int k)
{
    // Each side's own distance object as the grab found it: side distances
    // need not follow the sides one for one (one deleted, or a side drawn
    // without one), so no single offset maps them.
    if (intPSKyori >= 0)
        subEndMark_Kyori(k, intPSKyori);
    if (intNextPS >= 0) {
        LineElement& next = linePS(intNextPS);
        next.X1 = linePS(k).X2;
        next.Y1 = linePS(k).Y2;
        if (intNextPSKyori >= 0)
            subEndMark_Kyori(intNextPS, intNextPSKyori);
    }
    if (intPrevPS >= 0) {
        LineElement& prev = linePS(intPrevPS);
        prev.X2 = linePS(k).X1;
        prev.Y2 = linePS(k).Y1;
        if (intPrevPSKyori >= 0)
            subEndMark_Kyori(intPrevPS, intPrevPSKyori);
    }
}

void frmEdit::subMove_MensekiHatch()
{
    if (intHitPS < 0)
        return;
    // The buffer is filled from 0 and keeps what lies beyond: empty it first.
    subAllClr_LineMenseki();
    subCnv_PSToMenseki(intHitPS, false);
    const QString key = ResultTag::fncTag_Key(linePS(intHitPS).Tag);
    const int i = fncFind_MensekiS(key);
    if (i >= 0) {
        if (i < int(GE_tpHatching.size()) && GE_tpHatching[i].iStyle > 0) {
            fncMake_HatchBin(i);
            sZoom(GE_sngZoom);
        }
        subReCalc_AreaResult(intHitPS, qint16(i));
    }
    const int j = fncFind_KeiroS(key);
    if (j >= 0)
        subReCalc_RouteResult(intHitPS, qint16(j));
}
