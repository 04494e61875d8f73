// Snapping on the map: the marker and hint searches over the target arrays
// (extension lines, lead-out lines, user shapes, text labels, in this order)
// and the aids that show what they found (shpSnap, lineHintX, lineHintY).

#include "editor/frmEdit.h"
#include "interaction/snap.h"
#include "platform/keyboard.h"

using namespace platform;
using interaction::SnapPoint;

namespace {

using LineArray = ElementArray<LineElement>;
using ShapeArray = ElementArray<ShapeElement>;
using LabelArray = ElementArray<LabelElement>;

SnapPoint end1(const LineElement& l) { return {l.X1, l.Y1}; }
SnapPoint end2(const LineElement& l) { return {l.X2, l.Y2}; }
SnapPoint topLeft(const ShapeElement& s) { return {s.Left, s.Top}; }
SnapPoint bottomRight(const ShapeElement& s) { return {s.Left + s.Width(), s.Top + s.Height()}; }
SnapPoint topLeft(const LabelElement& s) { return {s.Left, s.Top}; }
SnapPoint bottomRight(const LabelElement& s) { return {s.Left + s.Width(), s.Top + s.Height()}; }

// The guide line of a matching y from the point to the pointer's x, or of
// a matching x to the pointer's y; shown exactly when something matched.
bool layHintY(const std::optional<SnapPoint>& p, LineElement& hint, float x, float& snappedY)
{
    if (p) {
        snappedY = p->y;
        hint.X1 = p->x;
        hint.Y1 = p->y;
        hint.X2 = x;
        hint.Y2 = p->y;
    }
    hint.Visible = p.has_value();
    return p.has_value();
}

bool layHintX(const std::optional<SnapPoint>& p, LineElement& hint, float y, float& snappedX)
{
    if (p) {
        snappedX = p->x;
        hint.X1 = p->x;
        hint.Y1 = p->y;
        hint.X2 = p->x;
        hint.Y2 = y;
    }
    hint.Visible = p.has_value();
    return p.has_value();
}

bool placeMarker(const std::optional<SnapPoint>& p, ShapeElement& marker, float& snappedX, float& snappedY)
{
    if (!p)
        return false;
    snappedX = p->x;
    snappedY = p->y;
    marker.Left = p->x - marker.Width() / 2;
    marker.Top = p->y - marker.Height() / 2;
    return true;
}

// The element the caller edits is no target of its own drag.
template <class Array>
int skippedIndex(const Array& elements, const QString& selected, qint16 index)
{
    return elements.Name() == selected ? index : -1;
}

// Text labels: element 0 is the template, a target only while shown.
int firstMoji(const LabelArray& labels)
{
    return labels(0).Visible ? 0 : 1;
}

// One hint pass (`Y` or X) over elements first..last, ending at the first match.
template <class Array, class Test>
void hintPass(Array& elements, int first, int last, int skip, Test test)
{
    for (int k = first; k <= last; ++k) {
        if (k == skip || !elements.exists(k))
            continue;
        if (test(elements(k)))
            return;
    }
}

}  // namespace

bool frmEdit::fncSnapH_LineY(LineElement& line, LineElement& hintX, float x, float y, float& sx, float& sy)
{
    (void)sx;
    return layHintY(interaction::fncSnapH_PairY(end1(line), end2(line), y), hintX, x, sy);
}

bool frmEdit::fncSnapH_LineX(LineElement& line, LineElement& hintY, float x, float y, float& sx, float& sy)
{
    (void)sy;
    return layHintX(interaction::fncSnapH_PairX(end1(line), end2(line), x), hintY, y, sx);
}

bool frmEdit::fncSnapH_ShapeY(ShapeElement& shape, LineElement& hintX, float x, float y, float& sx, float& sy)
{
    (void)sx;
    return layHintY(interaction::fncSnapH_PairY(topLeft(shape), bottomRight(shape), y), hintX, x, sy);
}

bool frmEdit::fncSnapH_ShapeX(ShapeElement& shape, LineElement& hintY, float x, float y, float& sx, float& sy)
{
    (void)sy;
    return layHintX(interaction::fncSnapH_PairX(topLeft(shape), bottomRight(shape), x), hintY, y, sx);
}

bool frmEdit::fncSnapH_MojiY(LabelElement& label, LineElement& hintX, float x, float y, float& sx, float& sy)
{
    (void)sx;
    return layHintY(interaction::fncSnapH_PairY(topLeft(label), bottomRight(label), y), hintX, x, sy);
}

bool frmEdit::fncSnapH_MojiX(LabelElement& label, LineElement& hintY, float x, float y, float& sx, float& sy)
{
    (void)sy;
    return layHintX(interaction::fncSnapH_PairX(topLeft(label), bottomRight(label), x), hintY, y, sx);
}

void frmEdit::subSnapH_Line(LineArray& lines, LineElement& hintX, LineElement& hintY, float x, float y, float& sx,
                            float& sy, qint16 index)
{
    const int skip = skippedIndex(lines, strSelObjName, index);
    const int last = lines.UBound() - 1;  // the spare is no target
    if (!hintX.Visible)
        hintPass(lines, 0, last, skip, [&](LineElement& l) { return fncSnapH_LineY(l, hintX, x, y, sx, sy); });
    if (!hintY.Visible)
        hintPass(lines, 0, last, skip, [&](LineElement& l) { return fncSnapH_LineX(l, hintY, x, y, sx, sy); });
}

void frmEdit::subSnapH_Shape(ShapeArray& shapes, LineElement& hintX, LineElement& hintY, float x, float y, float& sx,
                             float& sy, qint16 index)
{
    const int skip = skippedIndex(shapes, strSelObjName, index);
    const int last = shapes.UBound() - 1;
    if (!hintX.Visible)
        hintPass(shapes, 0, last, skip, [&](ShapeElement& s) { return fncSnapH_ShapeY(s, hintX, x, y, sx, sy); });
    if (!hintY.Visible)
        hintPass(shapes, 0, last, skip, [&](ShapeElement& s) { return fncSnapH_ShapeX(s, hintY, x, y, sx, sy); });
}

void frmEdit::subSnapH_Moji(LabelArray& labels, LineElement& hintX, LineElement& hintY, float x, float y, float& sx,
                            float& sy, qint16 index)
{
    const int skip = skippedIndex(labels, strSelObjName, index);
    const int first = firstMoji(labels), last = labels.UBound();
    if (!hintX.Visible)
        hintPass(labels, first, last, skip, [&](LabelElement& l) { return fncSnapH_MojiY(l, hintX, x, y, sx, sy); });
    if (!hintY.Visible)
        hintPass(labels, first, last, skip, [&](LabelElement& l) { return fncSnapH_MojiX(l, hintY, x, y, sx, sy); });
}

bool frmEdit::fncSnapM_LineChk(LineElement& line, ShapeElement& marker, float x, float y, float& sx, float& sy)
{
    return placeMarker(interaction::fncSnapM_Pair(end1(line), end2(line), x, y), marker, sx, sy);
}

bool frmEdit::fncSnapM_ShapeChk(ShapeElement& shape, ShapeElement& marker, float x, float y, float& sx, float& sy)
{
    return placeMarker(interaction::fncSnapM_Box(shape.Left, shape.Top, shape.Width(), shape.Height(), x, y), marker,
                       sx, sy);
}

bool frmEdit::fncSnapM_MojiChk(LabelElement& label, ShapeElement& marker, float x, float y, float& sx, float& sy)
{
    return placeMarker(interaction::fncSnapM_Box(label.Left, label.Top, label.Width(), label.Height(), x, y), marker,
                       sx, sy);
}

void frmEdit::subSnapM_Line(LineArray& lines, ShapeElement& marker, float x, float y, float& sx, float& sy,
                            qint16 index)
{
    const int skip = skippedIndex(lines, strSelObjName, index);
    for (int k = 0; k <= lines.UBound() - 1; ++k) {
        if (k == skip || !lines.exists(k))
            continue;
        if (fncSnapM_LineChk(lines(k), marker, x, y, sx, sy)) {
            marker.Visible = true;
            return;
        }
    }
}

void frmEdit::subSnapM_Shape(ShapeArray& shapes, ShapeElement& marker, float x, float y, float& sx, float& sy,
                             qint16 index)
{
    // Every shape is tried: among shapes the last one that matches wins.
    const int skip = skippedIndex(shapes, strSelObjName, index);
    for (int k = 0; k <= shapes.UBound() - 1; ++k) {
        if (k == skip || !shapes.exists(k))
            continue;
        if (fncSnapM_ShapeChk(shapes(k), marker, x, y, sx, sy))
            marker.Visible = true;
    }
}

void frmEdit::subSnapM_Moji(LabelArray& labels, ShapeElement& marker, float x, float y, float& sx, float& sy,
                            qint16 index)
{
    const int skip = skippedIndex(labels, strSelObjName, index);
    for (int k = firstMoji(labels); k <= labels.UBound(); ++k) {
        if (k == skip || !labels.exists(k))
            continue;
        if (fncSnapM_MojiChk(labels(k), marker, x, y, sx, sy)) {
            marker.Visible = true;
            return;
        }
    }
}

void frmEdit::subSnap_Point(float& outX, float& outY, float x, float y, bool hint, bool marker, bool snapMarker,
                            bool snapHint, qint16 index)
{
    outX = x;
    outY = y;
    // Esc held suspends snapping; the aids keep what the last call showed.
    if (keyIsDown(vb::vbKeyEscape))
        return;
    float sx = x, sy = y;
    if (hint) {
        lineHintX.Visible = false;
        lineHintY.Visible = false;
        subSnapH_Line(lineHojoSave, lineHintX, lineHintY, x, y, sx, sy, index);
        subSnapH_Line(lineHikidashi, lineHintX, lineHintY, x, y, sx, sy, index);
        subSnapH_Shape(shpShape, lineHintX, lineHintY, x, y, sx, sy, index);
        subSnapH_Moji(lblMoji, lineHintX, lineHintY, x, y, sx, sy, index);
    }
    if (marker) {
        // Against the pointer, not the hints; a marker overrides both axes.
        shpSnap.Visible = false;
        if (!shpSnap.Visible)
            subSnapM_Line(lineHojoSave, shpSnap, x, y, sx, sy, index);
        if (!shpSnap.Visible)
            subSnapM_Line(lineHikidashi, shpSnap, x, y, sx, sy, index);
        if (!shpSnap.Visible)
            subSnapM_Shape(shpShape, shpSnap, x, y, sx, sy, index);
        if (!shpSnap.Visible)
            subSnapM_Moji(lblMoji, shpSnap, x, y, sx, sy, index);
    }
    if (snapMarker || snapHint) {
        outX = sx;
        outY = sy;
    }
}
