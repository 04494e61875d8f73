// The map's mouse-up: the end of a drag or resize, a lead-out line or shape
// kept, calibration points handed to the options window, a measured segment
// kept as a distance object, a polyline closed into an area with its
// hatching; and always the tidying of the live readouts.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/closing.h"
#include "measure/checkline.h"
#include "objects/chains.h"
#include "measure/geometry.h"
#include "measure/resulttag.h"
#include "objects/objectarrays.h"

#include <cmath>

using namespace platform;

namespace {

// Lead-out lines and shapes this small are not kept.
constexpr float kSmallest = 2.0f;

}  // namespace

void frmEdit::pictMap_MouseUp(int button, int /*shift*/, float x, float y)
{
    // The tidying runs however the steps end; a failure then goes on to
    // the dispatcher's box with the map no longer measuring.
    try {
        subMouseUp_Steps(button, x, y);
    } catch (...) {
        subMouseUp_End();
        throw;
    }
    subMouseUp_End();
}

void frmEdit::subMouseUp_Steps(int button, float x, float y)
{
    float sx = x, sy = y;
    subSnap_Point(sx, sy, x, y, mnuHint->Checked(), mnuMarker->Checked(), mnuSnap(1).Checked(),
                  mnuSnap(2).Checked(), intSelIndex);
    if (button == 1 && subMouseUp_Edit(sx, sy))
        return;
    if (intHitCheck >= 0 && subMouseUp_Check(x, y))
        return;
    const bool moved = booMesMoveD || booMesMoveK;
    if (booMesMoveD) {
        booMesDownD = false;
        booMesEndD = true;
    } else if (booMesMoveK) {
        booMesDownK = false;
        booMesEndK = true;
    }
    if (moved)
        subMouseUp_Segment(sx, sy);
    if (moved && popMesRenzoku->Checked())
        subMouseUp_Close(x, y);
}

bool frmEdit::subMouseUp_Edit(float sx, float sy)
{
    // A line pressed and released where it was is unchanged: nothing to mark.
    const auto moved = [this](const LineElement& l) { return QLineF(l.X1, l.Y1, l.X2, l.Y2) != lineGrabbed; };
    if (intHitHikidashi >= 0 || intHitDsSave >= 0) {
        const bool hikidashi = intHitHikidashi >= 0;
        const int i = hikidashi ? intHitHikidashi : intHitDsSave;
        ElementArray<LineElement>& lines = hikidashi ? lineHikidashi : lineDsSave;
        if (!lines.exists(i) || moved(lines(i)))
            booDrawChange = true;
        return true;
    }
    if (intHitMoji >= 0 || intHitKyori >= 0 || intHitMenseki >= 0 || intHitKeiro >= 0 || intHitShape >= 0) {
        // So is a box: a grab moves nothing until the pointer does.
        const auto boxMoved = [this](const auto& b) {
            return QRectF(b.Left, b.Top, b.Width(), b.Height()) != rectGrabbed;
        };
        bool changed = false;
        // A corner or edge grab showed only its own grips: all four follow
        // the resized shape.
        if (intHitShape >= 0) {
            changed = !shpShape.exists(intHitShape) || boxMoved(shpShape(intHitShape));
            if (shpShape.exists(intHitShape))
                subGrip_Shape(shpShape(intHitShape), shpPointer);
        }
        // So do a label's, whether it took the new size or (sized by its
        // text) kept its own.
        for (const auto& [hit, labels] : {std::pair{intHitMoji, &lblMoji}, std::pair{intHitKyori, &lblKyori},
                                          std::pair{intHitMenseki, &lblMensekiS}, std::pair{intHitKeiro, &lblKeiroS}}) {
            if (hit < 0)
                continue;
            changed = changed || !labels->exists(hit) || boxMoved((*labels)(hit));
            if (labels->exists(hit)) {
                subGrip_Label((*labels)(hit), shpPointer);
                subVisible_Array(shpPointer, true);
            }
        }
        if (changed)
            booDrawChange = true;
        return true;
    }
    if (intHitPS >= 0) {
        // A side released where it was pressed changed nothing to recompute.
        if (moved(linePS(intHitPS))) {
            booDrawChange = true;
            subMove_MensekiHatch();
        }
        booMesDownD = false;
        booMesDownK = false;
        return true;
    }
    if (intHojoKyori >= 0) {
        // An end released where it was pressed moved nothing: laying the
        // distance out again would put a flipped dimension back on its
        // first side.
        const LineElement& grabbed = lineHojoSave(intHojoIndex2);
        if (lineDistance.X2 != grabbed.X1 || lineDistance.Y2 != grabbed.Y1)
            subLayout_Kyori(intHojoKyori);
        return true;
    }
    if (Toolbar1->Buttons(10).Value() == 1) {
        const int n = lineHikidashi.UBound();
        LineElement& line = lineHikidashi(n);
        subShift_Point(line.X1, line.Y1, sx, sy, sx, sy);
        line.X2 = sx;
        line.Y2 = sy;
        if (mdlSub::fncGet_Distance(line.X1, line.Y1, line.X2, line.Y2) <= kSmallest) {
            // Still the spare: hidden, so that no grab or save finds it.
            line.Visible = false;
            line.Tag = QString();
            return true;
        }
        lineHikidashi.Load(n + 1);
        LineElement& spare = lineHikidashi(n + 1);
        spare.Tag = QString();
        spare.Visible = false;
        spare.BorderStyle = linDefault.BorderStyle.get();
        spare.BorderWidth = linDefault.BorderWidth.get();
        spare.BorderColor = linDefault.BorderColor.get();
        spare.DrawMode = linDefault.DrawMode.get();
        booDrawChange = true;
        return true;
    }
    if (Toolbar1->Buttons(11).Value() == 1) {
        const int n = shpShape.UBound();
        ShapeElement& shape = shpShape(n);
        subShift_Point(shape.Left, shape.Top, sx, sy, sx, sy);
        if (shape.Left < sx)
            shape.setWidth(sx - shape.Left);
        if (shape.Top < sy)
            shape.setHeight(sy - shape.Top);
        shape.DrawMode = shpDefault.DrawMode.get();
        if (shape.Width() > kSmallest && shape.Height() > kSmallest) {
            shpShape.Load(n + 1);
            ShapeElement& spare = shpShape(n + 1);
            spare.Tag = QString();
            spare.Visible = false;
            spare.BorderStyle = 1;
            spare.BorderWidth = 1;
            booDrawChange = true;
        } else {
            shape.Visible = false;
            shape.Tag = QString();
        }
        return true;
    }
    return false;
}

bool frmEdit::subMouseUp_Check(float x, float y)
{
    subKeep_OnVisibleMap(x, y);
    if (GE_booPickDistance) {
        GE_sngHosei = {lineCheck.X1, lineCheck.Y1, lineCheck.X2, lineCheck.Y2};
        mdlSub::subSet_CheckMarker(GE_sngHosei[0], GE_sngHosei[1], GE_sngHosei[2], GE_sngHosei[3]);
        if (popDisX->Checked()) {
            subOpt_HoseiPoint();
            subOpt_HoseiAngle();
        }
        return true;
    }
    if (popHoseiL->Checked()) {
        GE_sngHosei[0] = x;
        GE_sngHosei[1] = y;
        mdlSub::subSet_CheckMarker(x, y, GE_sngHosei[2], GE_sngHosei[3]);
        subOpt_HoseiPoint();
    } else if (popHoseiR->Checked()) {
        GE_sngHosei[2] = x;
        GE_sngHosei[3] = y;
        mdlSub::subSet_CheckMarker(GE_sngHosei[0], GE_sngHosei[1], x, y);
        subOpt_HoseiPoint();
    }
    if (GE_booPickHosei) {
        popHoseiL->setChecked(false);
        popHoseiR->setChecked(false);
        subOpt_HoseiAngle();
        return true;
    }
    if (popTaiou1->Checked()) {
        GE_tpPiccel[0] = typPointS{x, y};
        mdlSub::subSet_CheckMarker(x, y, GE_tpPiccel[1].sngX, GE_tpPiccel[1].sngY);
        subOpt_TaiouPoint();
    } else if (popTaiou2->Checked()) {
        GE_tpPiccel[1] = typPointS{x, y};
        mdlSub::subSet_CheckMarker(GE_tpPiccel[0].sngX, GE_tpPiccel[0].sngY, x, y);
        subOpt_TaiouPoint();
    }
    if (GE_booPickKeiIdo) {
        popTaiou1->setChecked(false);
        popTaiou2->setChecked(false);
        return true;
    }
    return false;
}

void frmEdit::subMouseUp_Segment(float sx, float sy)
{
    // A radius keeps the end the last move gave it.
    if (!popMesCir->Checked()) {
        subShift_Point(lineDistance.X1, lineDistance.Y1, sx, sy, sx, sy);
        lineDistance.X2 = sx;
        lineDistance.Y2 = sy;
    }
    if (popMesPutSen->Checked()) {
        subPut_DistanceObject();
        booDrawChange = true;
    }
    if (popMesRenzoku->Checked()) {
        const int n = lineMenseki.UBound();
        lineMenseki(n).BorderStyle = 2;
        lineMenseki.Load(n + 1);
        LineElement& next = lineMenseki(n + 1);
        next.Tag = QString();
        next.Visible = false;
        next.BorderStyle = 1;
        next.BorderWidth = 1;
    }
}

void frmEdit::subMouseUp_Close(float x, float y)
{
    // n is the side just drawn; the hidden next side follows it.
    const int n = lineMenseki.UBound() - 1;
    const int v = fncFind_MensekiVertex(x, y);
    if (!interaction::fncCloses_Onto(v, n)) {
        // One vertex further than the move marks: the polyline stays open.
        shpSnap.Visible = false;
        return;
    }
    lineMenseki.Unload(n + 1);
    lineMenseki(n).X2 = lineMenseki(v).X1.get();
    lineMenseki(n).Y2 = lineMenseki(v).Y1.get();
    // The loop alone is the area: the tail drawn before vertex v is dropped,
    // and the distances kept on its sides go with it.
    const QString key = ResultTag::fncTag_Key(lblMenseki.Tag);
    for (int k = 0; k < v; ++k) {
        const int i = fncFind_SideDistance(lineMenseki(k), key);
        if (i >= 0)
            subDel_Kyori(i);
    }
    const int last = n - v;
    for (int k = 0; k <= last && v > 0; ++k)
        mdlObjects::subTake(lineMenseki(k), lineMenseki(k + v));
    for (int k = n; k > last; --k)
        lineMenseki.Unload(k);
    const LineElement& closing = lineMenseki(last);
    if (popMesPutSen->Checked()) {
        subDraw_LineDimension(closing.X1, closing.Y1, closing.X2, closing.Y2);
        booDrawChange = true;
    }
    const bool keepArea = popMesPutMen->Checked();
    if (keepArea) {
        booDrawChange = true;
        const int k = lblMensekiS.UBound();
        GE_tpHatching.resize(k + 1);
        GE_tpHatching[k] = interaction::fncNew_HatchRecord(GE_tpHatching, k, linDefault.BorderColor,
                                                           intHatchStyle, ResultTag::fncTag_Key(lblMenseki.Tag));
    }
    subPut_AreaResult();
    shpSnap.Visible = false;
    subPut_RouteResult(true);
    const int k2 = lblMensekiS.UBound();
    GE_tpHatching.resize(k2 + 1);
    // The segments are generated from the kept sides once the label exists,
    // so the record counts what its file holds.
    if (keepArea && intHatchStyle > 0 && k2 > 0 && fncMake_HatchBin(k2 - 1) > 0)
        subDisp_TempH(k2 - 1);
}

int frmEdit::fncFind_SideDistance(const LineElement& side, const QString& key) const
{
    const auto startsAt = [](const LineElement& line, float x, float y) {
        return std::fabs(line.X1 - x) < mdlChain::LinkTolerance && std::fabs(line.Y1 - y) < mdlChain::LinkTolerance;
    };
    // The first found is the earliest kept: a later side laid over the same
    // ends keeps its own.
    for (int i = 0; i < lblKyori.UBound(); ++i) {
        if (!mdlObjects::fncShown(lblKyori, i) || mdlObjects::fncKey(lblKyori(i)) != key
            || !lineHojoSave.exists(2 * i + 1))
            continue;
        if (startsAt(lineHojoSave(2 * i), side.X1, side.Y1) && startsAt(lineHojoSave(2 * i + 1), side.X2, side.Y2))
            return i;
    }
    return -1;
}

void frmEdit::subMouseUp_End()
{
    lblWidth.Visible = false;
    lblHeight.Visible = false;
    if (!booMesDownK && !booMesDownD && intHitCheck < 0) {
        lineDistance.Visible = false;
        lblDistance.Visible = false;
        subHojo_Visible(false);
    }
    subFill_Shape(shpPointer, 1);
    booMesMoveD = false;
    booMesMoveK = false;
    booDrag = false;
    booCalcDis = false;
    booCalcKei = false;
    stsTip->Panels(5).setText(lblDistance.Caption);
}
