// The map's mouse-move: the pointer snapped, then the drag of the left
// button, or the rubber band of the measurement under way with no button,
// and always the position readouts. A value a control refuses is skipped;
// any other failure is reported, and a missing element still lets the
// readouts be written.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/measuring.h"
#include "interaction/rect.h"
#include "measure/calibration.h"
#include "measure/geometry.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr long errInvalidValue = 380;
constexpr long errNoElement = 340;
constexpr long errBadIndex = 341;

}  // namespace

void frmEdit::pictMap_MouseMove(int button, int /*shift*/, float x, float y)
{
    float sx = x, sy = y;
    float ux = 0, uy = 0;
    try {
        subSnap_Point(sx, sy, x, y, mnuHint->Checked(), mnuMarker->Checked(), mnuSnap(1).Checked(),
                      mnuSnap(2).Checked(), intSelIndex);
        ux = sx / GE_sngZoom;
        uy = sy / GE_sngZoom;
        if (button == 1) {
            double d = 0;
            subDrag_Map(sx, sy, x, y, d);
        } else if (button == 0) {
            if (booMesDownD) {
                booMesMoveD = true;
                subRubber_Band(sx, sy, ux, uy, false);
            } else if (booMesDownK) {
                booMesMoveK = true;
                if (!subRubber_Band(sx, sy, ux, uy, true)) {
                    lblKeiIdo.Left = sx;
                    lblKeiIdo.Top = sy;
                }
            }
        }
    } catch (const vb::Error& error) {
        if (error.number() != errInvalidValue) {
            vb::MsgBox(QStringLiteral("frmEditPage:pictMap_MouseMove():ｴﾗｰ番号 ") + vb::Str(qint32(error.number()))
                           + QStringLiteral(" ｴﾗｰが発生しました。") + QChar(13) + error.description(),
                       vb::vbOKOnly, QStringLiteral("マウス移動時エラー"));
            if (error.number() != errNoElement && error.number() != errBadIndex)
                return;
        }
    }
    subDisp_Position(ux, uy);
}

bool frmEdit::subRubber_Band(float& sx, float& sy, float& ux, float& uy, bool keiIdo)
{
    // The readouts compute in the mode the measurement moves in.
    booCalcDis = booMesMoveD;
    booCalcKei = booMesMoveK;
    LineElement& line = lineDistance;
    if (popMesLine->Checked()) {
        subShift_Point(line.X1, line.Y1, sx, sy, sx, sy);
        line.X2 = sx;
        line.Y2 = sy;
        subDisp_LineDistance(line, lblDistance);
        subHojo_Layout(lineHojo, line.X1, line.Y1, line.X2, line.Y2, GE_sngHojoLen);
    } else if (popMesRenzoku->Checked()) {
        LineElement& side = lineMenseki(lineMenseki.UBound());
        subShift_Point(side.X1, side.Y1, sx, sy, sx, sy);
        side.X2 = sx;
        side.Y2 = sy;
        subDisp_DistanceLine();
        subHojo_Layout(lineHojo, side.X1, side.Y1, side.X2, side.Y2, GE_sngHojoLen);
        fncFind_MensekiVertex(sx, sy);
    } else if (popMesCir->Checked()) {
        line.X2 = line.X1;
        line.Y2 = sy;
        subDisp_LineDistance(line, lblDistance);
        subHojo_Layout(lineHojo, line.X1, line.Y1, line.X2, line.Y2, GE_sngHojoLen);
        const interaction::typRect box = interaction::fncCircle_Box(line.X1, line.Y1, sy, GE_dblAspectM);
        shpCircle.setHeight(box.Height);
        shpCircle.setWidth(box.Width);
        shpCircle.Top = box.Top;
        shpCircle.Left = box.Left;
    } else if (popMesInput->Checked()) {
        subShift_Point(line.X1, line.Y1, sx, sy, sx, sy);
        QString angle;
        const float reach = float(GE_sngZoom * dblPresetDis);
        const typPointS p = keiIdo ? mdlSub::fncGet_PresetPointKeiIdo(line.X1, line.Y1, sx, sy, reach, angle)
                                   : mdlSub::fncGet_PresetPoint(line.X1, line.Y1, sx, sy, reach, angle);
        stsTip->Panels(4).setText(angle);
        line.X2 = sx;
        line.Y2 = sy;
        ux = p.sngX / GE_sngZoom;
        uy = p.sngY / GE_sngZoom;
        const double shown =
            keiIdo ? dblPresetDis * GE_dblChgMToOD.at(std::size_t(GE_intUnitDIndex)) : dblPresetDis;
        subDisp_DistanceAt(line.X1, line.Y1, p.sngX, p.sngY, shown);
        subHojo_Layout(lineHojo, line.X1, line.Y1, p.sngX, p.sngY, GE_sngHojoLen);
    } else {
        return false;
    }
    return true;
}

void frmEdit::subDrag_Map(float& sx, float& sy, float x, float y, double& d)
{
    // A taken-up distance's end goes by the pointer's travel, below.
    if (intHojoKyori < 0) {
        lineDistance.X2 = sx;
        lineDistance.Y2 = sy;
    }
    const auto step = [&] {
        sngDownX = sx;
        sngDownY = sy;
    };
    if (intHitHikidashi > -1) {
        const int i = intHitHikidashi;
        subDrag_Line(intGripLine, lineHikidashi(i), shpPointer, sngDownX, sngDownY, sx, sy, booDrag);
        step();
        subDisp_SegTip(lineHikidashi(i), i, lblDistance);
        return;
    }
    struct LabelRow {
        qint16 hit;
        ElementArray<LabelElement>* labels;
    };
    for (const LabelRow& row : {LabelRow{intHitMoji, &lblMoji}, LabelRow{intHitKyori, &lblKyori},
                                LabelRow{intHitMenseki, &lblMensekiS}, LabelRow{intHitKeiro, &lblKeiroS}}) {
        if (row.hit > -1) {
            subDrag_Rect(intGripLabel, *row.labels, row.hit, shpPointer, sngDownX, sngDownY, sx, sy, booDrag);
            step();
            return;
        }
    }
    if (intHitShape > -1) {
        const int i = intHitShape;
        subDrag_Rect(intGripRect, shpShape, i, shpPointer, sngDownX, sngDownY, sx, sy, booDrag);
        step();
        subDisp_SizeOn(lblDistance, lblWidth, lblHeight, lineDistance, shpShape(i), i);
        return;
    }
    if (intHitDsSave > -1) {
        subDrag_Line(intGripLine, lineDsSave(intHitDsSave), shpPointer, sngDownX, sngDownY, sx, sy, booDrag);
        step();
        subSet_SnpoMark(lineDsSave, intHitDsSave);
        return;
    }
    if (intHitPS > -1) {
        booMesMoveD = booMesDownD;
        booMesMoveK = booMesDownK;
        booCalcDis = booMesMoveD;  // the side distances re-laid below
        booCalcKei = booMesMoveK;
        LineElement& side = linePS(intHitPS);
        const QLineF was(side.X1, side.Y1, side.X2, side.Y2);
        subDrag_Line(intGripLine, side, shpPointer, sngDownX, sngDownY, sx, sy, booDrag);
        step();
        // A step that left the side where it was re-lays nothing (a side
        // distance flipped to its other side would be laid back).
        if (QLineF(side.X1, side.Y1, side.X2, side.Y2) != was)
            subMove_KyoriMark(intHitPS);
        return;
    }
    if (intHojoKyori > -1) {
        booCalcDis = booMesMoveD;
        booCalcKei = booMesMoveK;
        subDrag_Line(interaction::gripSecondEnd, lineDistance, shpPointer, sngDownX, sngDownY, sx, sy, booDrag);
        step();
        // The readout carries the kept label's tag from the grab.
        subDisp_LineDistance(lineDistance, lblDistance, true);
        subHojo_Layout(lineHojo, lineDistance.X1, lineDistance.Y1, lineDistance.X2, lineDistance.Y2,
                       GE_sngHojoLen);
        return;
    }
    if (intHitCheck > -1) {
        subKeep_OnVisibleMap(sx, sy);
        subKeep_OnVisibleMap(x, y);
        d = subDrag_Check(sx, sy);
    }
    if (GE_booPickDistance) {
        if (d > 0)
            subOpt_KnownDistance(float(d), lineCheck);
    } else if (popHoseiL->Checked()) {
        GE_sngHosei[0] = x;
        GE_sngHosei[1] = y;
        subOpt_HoseiPoint();
    } else if (popHoseiR->Checked()) {
        GE_sngHosei[2] = x;
        GE_sngHosei[3] = y;
        subOpt_HoseiPoint();
    } else if (popTaiou1->Checked()) {
        GE_tpPiccel[0] = typPointS{x, y};
        subOpt_TaiouPoint();
    } else if (popTaiou2->Checked()) {
        GE_tpPiccel[1] = typPointS{x, y};
        subOpt_TaiouPoint();
    } else if (Toolbar1->Buttons(10).Value() == 1) {
        const int n = lineHikidashi.UBound();
        LineElement& line = lineHikidashi(n);
        subShift_Point(line.X1, line.Y1, sx, sy, sx, sy);
        subDisp_SegTip(line, n, lblDistance);
        line.X2 = sx;
        line.Y2 = sy;
    } else if (Toolbar1->Buttons(11).Value() == 1) {
        const int n = shpShape.UBound();
        ShapeElement& shape = shpShape(n);
        subShift_Point(shape.Left, shape.Top, sx, sy, sx, sy);
        // A shape being drawn grows only right and down from its corner.
        if (shape.Left < sx)
            shape.setWidth(sx - shape.Left);
        if (shape.Top < sy)
            shape.setHeight(sy - shape.Top);
        subDisp_SegTip(lineDistance, n, lblDistance);
        subDisp_ShapeSize(shape, lblWidth, lblHeight);
    } else {
        subDisp_SegLabel(lineDistance, lblDistance);
    }
}

void frmEdit::subKeep_OnVisibleMap(float& x, float& y) const
{
    // The part of the map the viewport shows, in the map's own pixels.
    QRect visible = pictMap->rect();
    QPoint offset;
    for (const QWidget* w = pictMap; qobject_cast<const PictureBox*>(w->parentWidget()); w = w->parentWidget()) {
        const auto* box = static_cast<const PictureBox*>(w->parentWidget());
        const int frame = PictureBox::frameWidthPixels(box->BorderStyle());
        offset += w->pos();
        visible &= box->rect().adjusted(frame, frame, -frame, -frame).translated(-offset);
    }
    const int frame = PictureBox::frameWidthPixels(pictMap->BorderStyle());
    const QRectF shown =
        QRectF(visible).translated(-frame, -frame).intersected(QRectF(QPointF(0, 0), pictMap->deviceSize()));
    if (shown.width() < 1 || shown.height() < 1)
        return;
    const QPointF p = pictMap->toDevice(x, y);
    const QPointF kept(std::clamp(p.x(), shown.left(), shown.right() - 1),
                       std::clamp(p.y(), shown.top(), shown.bottom() - 1));
    if (kept == p)
        return;
    const QPointF back = pictMap->fromDevice(kept);
    if (kept.x() != p.x())
        x = float(back.x());
    if (kept.y() != p.y())
        y = float(back.y());
}

double frmEdit::subDrag_Check(float& sx, float& sy)
{
    LineElement& line = lineCheck;
    if (intHitCheck == 0) {
        subShift_Point(line.X2, line.Y2, sx, sy, sx, sy);
        line.X1 = sx;
        line.Y1 = sy;
        subHojo_Layout(lineHojo, line.X2, line.Y2, line.X1, line.Y1, GE_sngHojoLen);
    } else {
        subShift_Point(line.X1, line.Y1, sx, sy, sx, sy);
        line.X2 = sx;
        line.Y2 = sy;
        subHojo_Layout(lineHojo, line.X1, line.Y1, line.X2, line.Y2, GE_sngHojoLen);
    }
    lblDistance.Left = line.X1 + (sx - line.X1) / 2 - lblDistance.Width() / 2;
    lblDistance.Top = line.Y1 + (sy - line.Y1) / 2;
    const float z = GE_sngZoom;
    const double d = mdlSub::fncGet_Distance(line.X1 / z, line.Y1 / z, line.X2 / z, line.Y2 / z);
    lblDistance.Caption = vb::Format(d, QStringLiteral("0.00 mm"));
    return d;
}
