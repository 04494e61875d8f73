// Snapping on the map (the tests of one object in snap.h): the marker and hint searches over the target arrays
// (extension lines, lead-out lines, user shapes, text labels, in this order)
// and the aids that show what they found (shpSnap, lineHintX, lineHintY).

#include "editor/frmEdit.h"
#include "interaction/snap.h"
#include "platform/keyboard.h"

#include <vector>

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
// A test runs only while its guide line is hidden, so a miss leaves it be
// (no property write for each of thousands of targets).
bool layHintY(const std::optional<SnapPoint>& p, LineElement& hint, float x, float& snappedY)
{
    if (!p)
        return false;
    snappedY = p->y;
    hint.X1 = p->x;
    hint.Y1 = p->y;
    hint.X2 = x;
    hint.Y2 = p->y;
    hint.Visible = true;
    return true;
}

bool layHintX(const std::optional<SnapPoint>& p, LineElement& hint, float y, float& snappedX)
{
    if (!p)
        return false;
    snappedX = p->x;
    hint.X1 = p->x;
    hint.Y1 = p->y;
    hint.X2 = p->x;
    hint.Y2 = y;
    hint.Visible = true;
    return true;
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

// The two points a hint of the element may come from.
struct Pair {
    SnapPoint a, b;
};
Pair pointsOf(const LineElement& l) { return {end1(l), end2(l)}; }
Pair pointsOf(const ShapeElement& s) { return {topLeft(s), bottomRight(s)}; }
Pair pointsOf(const LabelElement& l) { return {topLeft(l), bottomRight(l)}; }

// The Y pass and the X pass over elements first..last, in one walk: each
// axis takes its first match and is skipped while its guide line shows.
// The two tests read only the pointer, so one walk finds what two would;
// an element is put to a test only when one of its coordinates is in reach.
// Every element with a y in reach goes into `near`: only those can give a
// marker, so the marker search of the array need not walk it again.
template <class Array, class TestY, class TestX>
void hintPasses(Array& elements, int first, int last, int skip, float x, float y, const LineElement& hintX,
                const LineElement& hintY, std::vector<int>& near, TestY testY, TestX testX)
{
    using interaction::fncSnap_Near;
    bool needY = !hintX.Visible, needX = !hintY.Visible;
    near.clear();
    for (int k = first; k <= last; ++k) {
        if (k == skip || !elements.exists(k))
            continue;
        auto& element = elements(k);
        const Pair p = pointsOf(element);
        if (fncSnap_Near(p.a.y, y) || fncSnap_Near(p.b.y, y)) {
            near.push_back(k);
            if (needY && testY(element))
                needY = false;
        }
        if (needX && (fncSnap_Near(p.a.x, x) || fncSnap_Near(p.b.x, x)) && testX(element))
            needX = false;
    }
}

// The marker search over elements first..last, or over the hint walk's
// elements in reach when it made them for this array: each element that
// passes `test` shows the marker; the first ends the search unless the
// last is to win.
template <class Array, class Test>
void markerSearch(Array& elements, int first, int last, int skip, const std::vector<int>* near, bool lastWins,
                  ShapeElement& marker, Test test)
{
    const auto one = [&](int k) {
        if (k == skip || !elements.exists(k) || !test(elements(k)))
            return false;
        marker.Visible = true;
        return !lastWins;
    };
    if (near) {
        for (const int k : *near) {
            if (one(k))
                return;
        }
        return;
    }
    for (int k = first; k <= last; ++k) {
        if (one(k))
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
    const auto testY = [&](LineElement& l) { return fncSnapH_LineY(l, hintX, x, y, sx, sy); };
    const auto testX = [&](LineElement& l) { return fncSnapH_LineX(l, hintY, x, y, sx, sy); };
    hintPasses(lines, 0, last, skip, x, y, hintX, hintY, intSnapNear, testY, testX);
    pSnapNearOf = &lines;
}

void frmEdit::subSnapH_Shape(ShapeArray& shapes, LineElement& hintX, LineElement& hintY, float x, float y, float& sx,
                             float& sy, qint16 index)
{
    const int skip = skippedIndex(shapes, strSelObjName, index);
    const int last = shapes.UBound() - 1;
    const auto testY = [&](ShapeElement& s) { return fncSnapH_ShapeY(s, hintX, x, y, sx, sy); };
    const auto testX = [&](ShapeElement& s) { return fncSnapH_ShapeX(s, hintY, x, y, sx, sy); };
    hintPasses(shapes, 0, last, skip, x, y, hintX, hintY, intSnapNear, testY, testX);
    pSnapNearOf = &shapes;
}

void frmEdit::subSnapH_Moji(LabelArray& labels, LineElement& hintX, LineElement& hintY, float x, float y, float& sx,
                            float& sy, qint16 index)
{
    const int skip = skippedIndex(labels, strSelObjName, index);
    const int first = firstMoji(labels), last = labels.UBound();
    const auto testY = [&](LabelElement& l) { return fncSnapH_MojiY(l, hintX, x, y, sx, sy); };
    const auto testX = [&](LabelElement& l) { return fncSnapH_MojiX(l, hintY, x, y, sx, sy); };
    hintPasses(labels, first, last, skip, x, y, hintX, hintY, intSnapNear, testY, testX);
    pSnapNearOf = &labels;
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
    const std::vector<int>* near = pSnapNearOf == &lines ? &intSnapNear : nullptr;
    markerSearch(lines, 0, lines.UBound() - 1, skippedIndex(lines, strSelObjName, index), near, false, marker,
                 [&](LineElement& l) { return fncSnapM_LineChk(l, marker, x, y, sx, sy); });
}

void frmEdit::subSnapM_Shape(ShapeArray& shapes, ShapeElement& marker, float x, float y, float& sx, float& sy,
                             qint16 index)
{
    // Every shape is tried: among shapes the last one that matches wins.
    const std::vector<int>* near = pSnapNearOf == &shapes ? &intSnapNear : nullptr;
    markerSearch(shapes, 0, shapes.UBound() - 1, skippedIndex(shapes, strSelObjName, index), near, true, marker,
                 [&](ShapeElement& s) { return fncSnapM_ShapeChk(s, marker, x, y, sx, sy); });
}

void frmEdit::subSnapM_Moji(LabelArray& labels, ShapeElement& marker, float x, float y, float& sx, float& sy,
                            qint16 index)
{
    const std::vector<int>* near = pSnapNearOf == &labels ? &intSnapNear : nullptr;
    markerSearch(labels, firstMoji(labels), labels.UBound(), skippedIndex(labels, strSelObjName, index), near, false,
                 marker, [&](LabelElement& l) { return fncSnapM_MojiChk(l, marker, x, y, sx, sy); });
}

void frmEdit::subSnap_Point(float& outX, float& outY, float x, float y, bool hint, bool marker, bool snapMarker,
                            bool snapHint, qint16 index)
{
    outX = x;
    outY = y;
    // Esc held suspends snapping; the aids keep what the last call showed.
    if (keyIsDown(vb::vbKeyEscape))
        return;
    // Hints per axis, then a marker over both: each array's marker search
    // follows its hint walk (over the elements that walk found in reach)
    // into a pair of its own, which replaces the hints' once all ran.
    float sx = x, sy = y, mx = x, my = y;
    if (hint) {
        lineHintX.Visible = false;
        lineHintY.Visible = false;
    }
    if (marker)
        shpSnap.Visible = false;
    const auto markerAfter = [&](auto search) {
        if (marker && !shpSnap.Visible)
            search();
        pSnapNearOf = nullptr;
    };
    if (hint)
        subSnapH_Line(lineHojoSave, lineHintX, lineHintY, x, y, sx, sy, index);
    markerAfter([&] { subSnapM_Line(lineHojoSave, shpSnap, x, y, mx, my, index); });
    if (hint)
        subSnapH_Line(lineHikidashi, lineHintX, lineHintY, x, y, sx, sy, index);
    markerAfter([&] { subSnapM_Line(lineHikidashi, shpSnap, x, y, mx, my, index); });
    if (hint)
        subSnapH_Shape(shpShape, lineHintX, lineHintY, x, y, sx, sy, index);
    markerAfter([&] { subSnapM_Shape(shpShape, shpSnap, x, y, mx, my, index); });
    if (hint)
        subSnapH_Moji(lblMoji, lineHintX, lineHintY, x, y, sx, sy, index);
    markerAfter([&] { subSnapM_Moji(lblMoji, shpSnap, x, y, mx, my, index); });
    if (marker && shpSnap.Visible) {
        sx = mx;
        sy = my;
    }
    if (snapMarker || snapHint) {
        outX = sx;
        outY = sy;
    }
}
