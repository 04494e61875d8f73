// The grip squares of the selected line, shape or label: placing them,
// filling them while the object is held, and the grab of a box's edge.

#include "interaction/grips.h"

#include "editor/frmEdit.h"
#include "interaction/elementbox.h"

#include <utility>

using namespace platform;

namespace interaction {

std::array<typPointS, 4> fncGrip_ShapeCentres(const typRect& r)
{
    const float right = r.Left + r.Width, bottom = r.Top + r.Height;
    return {{{r.Left, r.Top}, {r.Left, bottom}, {right, bottom}, {right, r.Top}}};
}

std::array<typPointS, 4> fncGrip_LabelCorners(const typRect& r)
{
    const float left = r.Left - 2.0f, top = r.Top - 1.0f;
    const float right = r.Left + r.Width, bottom = r.Top + r.Height;
    return {{{left, top}, {left, bottom}, {right, top}, {right, bottom}}};
}

typGripCentres fncGrip_Grabbed(qint16 code, const typRect& r)
{
    const float right = r.Left + r.Width, bottom = r.Top + r.Height;
    const float x = fncGrip_MovesRight(code) ? right : r.Left;
    const float y = fncGrip_MovesBottom(code) ? bottom : r.Top;
    typGripCentres g;
    if (fncGrip_IsCorner(code)) {
        g.count = 1;
        g.at[0] = {x, y};
    } else if (code == gripLeft || code == gripRight) {
        g.count = 2;
        g.at = {{{x, r.Top}, {x, bottom}}};
    } else if (code == gripTop || code == gripBottom) {
        g.count = 2;
        g.at = {{{r.Left, y}, {right, y}}};
    }
    return g;
}

}  // namespace interaction

namespace {

// The grabbed corner's grip or the grabbed side's two, on the box as it
// stands: the drag moves it by the pointer's travel from here, so a press
// and release in place leaves it where it was.
template <class T>
void grabRect(qint16 code, T& element, ElementArray<ShapeElement>& grips)
{
    const interaction::typGripCentres g = interaction::fncGrip_Grabbed(code, interaction::fncBox_Of(element));
    for (int k = 0; k < g.count; ++k) {
        ShapeElement& grip = grips(k);
        interaction::subGrip_Centre(grip, g.at[size_t(k)].sngX, g.at[size_t(k)].sngY);
        grip.Visible = true;
    }
}

}  // namespace

void frmEdit::subFill_Shape(ElementArray<ShapeElement>& grips, qint16 fillStyle)
{
    for (int k = 0; k <= grips.UBound(); ++k) {
        ShapeElement& grip = grips(k);
        grip.FillStyle = fillStyle;
        grip.FillColor = grip.BorderColor.get();
    }
}

// A grabbed end keeps its place: only the pointer's travel moves it
// (subDrag_Line), so a press and release in place changes nothing.
void frmEdit::subGrip_Line(qint16 code, LineElement& line, ElementArray<ShapeElement>& grips)
{
    switch (code) {
    case interaction::gripBody:
    case interaction::gripBodyToo: {
        ShapeElement& first = grips(0);
        ShapeElement& second = grips(1);
        interaction::subGrip_Centre(first, line.X1, line.Y1);
        interaction::subGrip_Centre(second, line.X2, line.Y2);
        first.Visible = true;
        second.Visible = true;
        break;
    }
    case interaction::gripFirstEnd: {
        ShapeElement& grip = grips(0);
        interaction::subGrip_Centre(grip, line.X1, line.Y1);
        grip.Visible = true;
        break;
    }
    case interaction::gripSecondEnd: {
        ShapeElement& grip = grips(1);
        interaction::subGrip_Centre(grip, line.X2, line.Y2);
        grip.Visible = true;
        break;
    }
    default:
        break;
    }
}

void frmEdit::subGrip_Shape(ShapeElement& shape, ElementArray<ShapeElement>& grips)
{
    const auto centres = interaction::fncGrip_ShapeCentres(interaction::fncBox_Of(shape));
    for (int k = 0; k <= 3; ++k) {
        ShapeElement& grip = grips(k);
        interaction::subGrip_Centre(grip, centres[size_t(k)].sngX, centres[size_t(k)].sngY);
        grip.Visible = true;
    }
}

void frmEdit::subGrip_Label(LabelElement& label, ElementArray<ShapeElement>& grips)
{
    const auto corners = interaction::fncGrip_LabelCorners(interaction::fncBox_Of(label));
    for (int k = 0; k <= 3; ++k) {
        ShapeElement& grip = grips(k);
        grip.Left = corners[size_t(k)].sngX;
        grip.Top = corners[size_t(k)].sngY;
    }
}

void frmEdit::subGrip_Follow()
{
    bool shown = false;
    for (int k = 0; k <= shpPointer.UBound(); ++k)
        shown = shown || shpPointer(k).Visible;
    if (!shown)
        return;
    const QString& name = strSelObjName;
    const int i = intSelIndex;
    const auto has = [i](const auto& elements) { return i >= 0 && i <= elements.UBound() && elements.exists(i); };
    const std::pair<const char*, ElementArray<LabelElement>*> labels[] = {
        {"lblMoji", &lblMoji}, {"lblKyori", &lblKyori}, {"lblMensekiS", &lblMensekiS},
        {"lblKeiroS", &lblKeiroS}, {"lblKeiIdoS", &lblKeiIdoS}};
    for (const auto& [kind, array] : labels) {
        if (name == QLatin1String(kind) && has(*array)) {
            subGrip_Label((*array)(i), shpPointer);
            return;
        }
    }
    if (name == QLatin1String("shpShape") && has(shpShape)) {
        subGrip_Shape(shpShape(i), shpPointer);
        return;
    }
    const std::pair<const char*, ElementArray<LineElement>*> lines[] = {
        {"lineHikidashi", &lineHikidashi}, {"lineDsSave", &lineDsSave}, {"linePS", &linePS}};
    for (const auto& [kind, array] : lines) {
        if (name == QLatin1String(kind) && has(*array)) {
            const LineElement& line = (*array)(i);
            interaction::subGrip_Centre(shpPointer(0), line.X1, line.Y1);
            interaction::subGrip_Centre(shpPointer(1), line.X2, line.Y2);
            return;
        }
    }
    // Nothing to follow (a calibration marker, a distance taken up, a
    // selection gone): no grip stays over empty map.
    subVisible_Array(shpPointer, false);
}

void frmEdit::subGrip_Rect(qint16 code, ElementArray<ShapeElement>& shapes, int index,
                           ElementArray<ShapeElement>& grips)
{
    if (interaction::fncGrip_IsCorner(code) || interaction::fncGrip_IsSide(code))
        grabRect(code, shapes(index), grips);
}

void frmEdit::subGrip_Rect(qint16 code, ElementArray<LabelElement>& labels, int index,
                           ElementArray<ShapeElement>& grips)
{
    if (interaction::fncGrip_IsCorner(code) || interaction::fncGrip_IsSide(code))
        grabRect(code, labels(index), grips);
}
