// Area and route results of the polygon buffer lineMenseki: the live labels,
// keeping them as stored labels with their sides, recomputing stored ones,
// and the helpers of the map's mouse handling.

#include "measure/results.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/geometry.h"
#include "measure/readouts.h"
#include "measure/resulttag.h"
#include "objects/objectarrays.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

void widen(typBox& box, float x, float y)
{
    box.minX = std::min(box.minX, x);
    box.maxX = std::max(box.maxX, x);
    box.minY = std::min(box.minY, y);
    box.maxY = std::max(box.maxY, y);
}

}  // namespace

typPlanSides fncPlan_Sides(std::span<const typSide> screenSides)
{
    typPlanSides plan;
    for (const typSide& s : screenSides) {
        const typSide side{fncUnzoom(s.X1), fncUnzoom(s.Y1), fncUnzoom(s.X2), fncUnzoom(s.Y2)};
        if (plan.sides.empty()) {
            plan.box.minX = side.X1;
            plan.box.minY = side.Y1;
        }
        widen(plan.box, side.X1, side.Y1);
        widen(plan.box, side.X2, side.Y2);
        plan.sides.push_back(side);
    }
    return plan;
}

double fncPolygon_Area(std::span<const typSide> planSides)
{
    if (planSides.empty())
        return 0;
    const auto scaled = [](const typPointS& p) {
        return typPointD{p.sngX * GE_tpPtoD_r.dblX, p.sngY * GE_tpPtoD_r.dblY};
    };
    // A later side overwrites vertex k + 1 with its own start.
    std::vector<typPointD> vertices(planSides.size() + 1);
    for (std::size_t k = 0; k < planSides.size(); ++k) {
        const typSide& s = planSides[k];
        vertices[k] = scaled(fncStraighten(s.X1, s.Y1));
        vertices[k + 1] = scaled(fncStraighten(s.X2, s.Y2));
    }
    const double area = mdlSub::fncGet_PolygonArea(vertices, qint16(planSides.size()));
    double squareMetres = area;
    if (GE_booModeDis) {
        const double metres = fncTable_Entry(GE_dblChgOToMD, GE_intUnitDIndex);
        squareMetres = area * metres * metres;
    }
    return squareMetres * fncTable_Entry(GE_dblChgMToOS, GE_intUnitSIndex);
}

QString fncArea_Caption(double area)
{
    return vb::Format(area, fncTable_Entry(GE_strFormat, GE_intDPointS)) + GE_strUnitS;
}

float fncLabel_Left(const typBox& box, float width)
{
    return ((box.maxX - box.minX) / 2 + box.minX) * GE_sngZoom - width / 2;
}

qint16 fncFind_Vertex(std::span<const typSide> screenSides, float x, float y, bool snap)
{
    const int n = int(screenSides.size()) - 1;
    if (n < 2 || !snap)
        return -1;
    for (int k = 0; k <= n - 2; ++k) {
        if (std::fabs(x - screenSides[k].X1) <= 2.0f && std::fabs(y - screenSides[k].Y1) <= 2.0f)
            return qint16(k);
    }
    return -1;
}

qint16 fncHit_LineBody(const typSide& line, float x, float y)
{
    constexpr float tx = 1.0f;
    constexpr float ty = 1.0f;
    const float minX = std::min(line.X1, line.X2), maxX = std::max(line.X1, line.X2);
    const float minY = std::min(line.Y1, line.Y2), maxY = std::max(line.Y1, line.Y2);
    if (minX == maxX)
        return x - tx <= minX && minX <= x + tx && minY + ty < y && y < maxY - ty ? 0 : -1;
    if (minY == maxY)
        return y - ty <= minY && minY <= y + ty && minX + tx < x && x < maxX - tx ? 0 : -1;

    const bool firstLeft = line.X1 < line.X2;
    const float xa = firstLeft ? line.X1 : line.X2, ya = firstLeft ? line.Y1 : line.Y2;
    const float xb = firstLeft ? line.X2 : line.X1, yb = firstLeft ? line.Y2 : line.Y1;
    if (x < xa || x > xb || y < minY || y > maxY)
        return -1;
    const double slope = vb::Divide(double(yb) - ya, double(xb) - xa);
    const double offset = ya - xa * slope;
    // Abscissae every 0.001 across the tolerance, counted with an integer:
    // from 32768 on a single cannot add 0.001 to itself, and a loop that
    // stepped its own single would never reach the end.
    constexpr int steps = 2000;
    const float start = x - tx;
    for (int i = 0; i <= steps; ++i) {
        const float t = start + float(i) * 0.001f;
        const double yt = slope * t + offset;
        if (y - ty <= yt && yt <= y + ty)
            return 3;
    }
    return -1;
}

}  // namespace measure

using namespace platform;
using measure::typSide;

namespace {

// The polygon buffer's sides as drawn, each made a solid line on the way.
std::vector<typSide> bufferSides(ElementArray<LineElement>& buffer)
{
    std::vector<typSide> sides;
    for (int k = 0; k <= buffer.UBound(); ++k) {
        LineElement& side = buffer(k);
        side.BorderStyle = 1;
        sides.push_back(typSide{side.X1, side.Y1, side.X2, side.Y2});
    }
    return sides;
}

// One side of the buffer into the spare of linePS, with a new spare above.
void keepSide(frmEdit& e, const LineElement& side, const QString& tag)
{
    const int u = e.linePS.UBound();
    LineElement& kept = e.linePS(u);
    kept.Tag = tag;
    kept.X1 = side.X1;
    kept.Y1 = side.Y1;
    kept.X2 = side.X2;
    kept.Y2 = side.Y2;
    kept.Visible = true;
    kept.BorderStyle = e.linDefault.BorderStyle;
    kept.BorderWidth = e.linDefault.BorderWidth;
    kept.BorderColor = e.linDefault.BorderColor;
    e.linePS.Load(u + 1);
    e.linePS(u + 1).Tag.clear();
    e.linePS(u + 1).Visible = false;
}

// A live result label into the spare of a stored array, in the default
// label's look at the current zoom, with a new spare above. The live label
// was centred by its own font's width: the kept one keeps that centre in the
// font it is drawn in.
void keepLabel(frmEdit& e, ElementArray<LabelElement>& stored, const LabelElement& live)
{
    const int s = stored.UBound();
    LabelElement& kept = stored(s);
    mdlObjects::subTake_Look(kept, e.lblDefault);
    kept.Caption = live.Caption;
    kept.Tag = live.Tag;
    kept.Top = live.Top;
    kept.Left = live.Left + live.Width() / 2 - kept.Width() / 2;
    kept.Visible = true;
    stored.Load(s + 1);
    stored(s + 1).Tag.clear();
    stored(s + 1).Visible = false;
}

void placeArea(LabelElement& label, const measure::typBox& box)
{
    // The top edge sits at the box's centre.
    label.Top = ((box.maxY - box.minY) / 2 + box.minY) * GE_sngZoom;
    label.Left = measure::fncLabel_Left(box, label.Width());
}

void placeRoute(LabelElement& label, const measure::typBox& box)
{
    label.Top = box.minY * GE_sngZoom;
    label.Left = measure::fncLabel_Left(box, label.Width());
}

void showArea(LabelElement& label, double area, const measure::typBox& box)
{
    label.Caption = measure::fncArea_Caption(area);
    label.Tag = ResultTag::fncMake_ResultTag(GE_intUnitSIndex, GE_intDPointS, area, label.Tag);
    placeArea(label, box);
}

void showRoute(LabelElement& label, double length, const measure::typBox& box)
{
    label.Caption = measure::fncLength_Caption(length);
    label.Tag = ResultTag::fncMake_ResultTag(GE_intUnitDIndex, GE_intDPointD, length, label.Tag);
    placeRoute(label, box);
}

void restate(LabelElement& label, double value, qint16 drawingUnit, qint16 drawingDecimals, bool area)
{
    const ResultTag::typRelabel own = ResultTag::fncRestate(label.Tag, value, drawingUnit, drawingDecimals, area);
    label.Caption = own.caption;
    label.Tag = own.tag;
}

}  // namespace

void frmEdit::subPut_AreaResult()
{
    booRenzoku = false;
    const measure::typPlanSides plan = measure::fncPlan_Sides(bufferSides(lineMenseki));
    const double area = measure::fncPolygon_Area(plan.sides);
    lblMenseki.Visible = true;
    showArea(lblMenseki, area, plan.box);
    if (popMesPutMen->Checked()) {
        for (int k = 0; k <= lineMenseki.UBound(); ++k)
            keepSide(*this, lineMenseki(k), lblMenseki.Tag);
        keepLabel(*this, lblMensekiS, lblMenseki);
    }
    lblDistance.Visible = false;
    lineDistance.Visible = false;
    subHojo_Visible(false);
}

void frmEdit::subReCalc_AreaResult(qint16 /*side*/, qint16 index)
{
    booRenzoku = false;
    const measure::typPlanSides plan = measure::fncPlan_Sides(bufferSides(lineMenseki));
    const double area = measure::fncPolygon_Area(plan.sides);
    if (index < 0)
        return;
    restate(lblMensekiS(index), area, GE_intUnitSIndex, GE_intDPointS, true);
    placeArea(lblMensekiS(index), plan.box);
}

namespace {

// The route's length in the current distance unit, summed side by side.
double routeLength(frmEdit& e, const std::vector<typSide>& planSides)
{
    double total = 0;
    for (const typSide& s : planSides) {
        double length = 0;
        if (GE_booModeDis)
            length = e.fncLen_Dis(s.X1, s.Y1, s.X2, s.Y2);
        if (GE_booModeKei)
            length = e.fncLen_KeiIdo(s.X1, s.Y1, s.X2, s.Y2);
        total += length;
    }
    return total;
}

}  // namespace

void frmEdit::subPut_RouteResult(bool closed)
{
    booRenzoku = false;
    const measure::typPlanSides plan = measure::fncPlan_Sides(bufferSides(lineMenseki));
    const double length = routeLength(*this, plan.sides);
    lblKeiro.Visible = true;
    showRoute(lblKeiro, length, plan.box);
    if (popMesPutSen->Checked()) {
        // A closed area's perimeter keeps no sides of its own.
        if (!closed) {
            for (int k = 0; k <= lineMenseki.UBound(); ++k)
                keepSide(*this, lineMenseki(k), lblKeiro.Tag);
        }
        keepLabel(*this, lblKeiroS, lblKeiro);
        subAllClr_LineMenseki();
    }
    lblDistance.Visible = false;
    lineDistance.Visible = false;
    subHojo_Visible(false);
}

void frmEdit::subReCalc_RouteResult(qint16 /*side*/, qint16 index)
{
    booRenzoku = false;
    const measure::typPlanSides plan = measure::fncPlan_Sides(bufferSides(lineMenseki));
    const double length = routeLength(*this, plan.sides);
    if (index < 0)
        return;
    restate(lblKeiroS(index), length, GE_intUnitDIndex, GE_intDPointD, false);
    placeRoute(lblKeiroS(index), plan.box);
}

void frmEdit::subCnv_PSToMenseki(qint16 side, bool visible)
{
    if (side < 0)
        return;
    const int m = lineMenseki.UBound();
    const QString tag = linePS(side).Tag;
    int k = 0;
    for (int i = 0; i < linePS.UBound(); ++i) {
        if (!linePS.exists(i) || linePS(i).Tag != tag)
            continue;
        if (k > m)
            lineMenseki.Load(k);
        LineElement& copy = lineMenseki(k);
        const LineElement& source = linePS(i);
        copy.Visible = source.Visible;
        copy.Tag = source.Tag;
        copy.X1 = source.X1;
        copy.Y1 = source.Y1;
        copy.X2 = source.X2;
        copy.Y2 = source.Y2;
        copy.Visible = visible;
        ++k;
    }
}

qint16 frmEdit::fncFind_MensekiVertex(float x, float y)
{
    std::vector<typSide> sides;
    for (int k = 0; k <= lineMenseki.UBound(); ++k) {
        const LineElement& side = lineMenseki(k);
        sides.push_back(typSide{side.X1, side.Y1, side.X2, side.Y2});
    }
    const qint16 vertex = measure::fncFind_Vertex(sides, x, y, GE_booSnap);
    if (vertex >= 0) {
        shpSnap.Top = sides[std::size_t(vertex)].Y1 - shpSnap.Height() / 2;
        shpSnap.Left = sides[std::size_t(vertex)].X1 - shpSnap.Width() / 2;
    }
    shpSnap.Visible = vertex >= 0;
    return vertex;
}

void frmEdit::subReset_ResultLabel(LabelElement& distance, LabelElement& width, LabelElement& height,
                                   LineElement& line, float x, float y)
{
    for (LabelElement* label : {&distance, &width, &height}) {
        label->Left = x;
        label->Top = y - label->Height();
        label->Caption = QStringLiteral("0.00 ") + GE_strUnitD;
    }
    distance.Visible = true;
    line.X1 = x;
    line.X2 = x;
    line.Y1 = y;
    line.Y2 = y;
    line.Visible = true;
}

void frmEdit::fncHit_LineBox(ElementArray<LineElement>& lines, float x, float y, qint16& kind, qint16& index)
{
    kind = -1;
    index = -1;
    for (int i = 0; i <= lines.UBound(); ++i) {
        if (!lines.exists(i) || !lines(i).Visible)
            continue;
        const LineElement& l = lines(i);
        const qint16 hit = measure::fncHit_LineBody(typSide{l.X1, l.Y1, l.X2, l.Y2}, x, y);
        if (hit >= 0) {
            kind = hit;
            index = qint16(i);
            return;
        }
    }
}

void frmEdit::subAllClr_LineMenseki()
{
    const int last = lineMenseki.UBound();
    for (int k = 1; k <= last; ++k) {
        if (lineMenseki.exists(k))
            lineMenseki.Unload(k);
    }
    lineMenseki(0).Visible = false;
    lblMenseki.Visible = false;
    lblKeiro.Visible = false;
}
