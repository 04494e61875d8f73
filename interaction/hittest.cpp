// The hit tests of the map's press: the predicates, and the walks over an
// element array that mouse-down asks in its cascade.

#include "interaction/hittest.h"

#include "editor/frmEdit.h"
#include "interaction/elementbox.h"

using namespace platform;

namespace interaction {

namespace {

// a within t of b, both bounds strict.
bool near(float a, float b, float t)
{
    const float low = b - t;
    const float high = b + t;
    return low < a && a < high;
}

bool nearInclusive(float a, float b, float t)
{
    const float low = b - t;
    const float high = b + t;
    return low <= a && a <= high;
}

}  // namespace

qint16 fncHit_End(float x1, float y1, float x2, float y2, float x, float y)
{
    const float t = kLineEndTolerance;
    if (nearInclusive(x1, x, t) && nearInclusive(y1, y, t))
        return gripFirstEnd;
    if (nearInclusive(x2, x, t) && nearInclusive(y2, y, t))
        return gripSecondEnd;
    return gripNone;
}

bool fncHit_Inside(const typRect& r, float x, float y)
{
    const float t = kShapeTolerance;
    const float right = r.Left + r.Width;
    const float bottom = r.Top + r.Height;
    const float left = r.Left + t, top = r.Top + t;
    const float innerRight = right - t, innerBottom = bottom - t;
    return left < x && x < innerRight && top < y && y < innerBottom;
}

qint16 fncHit_Grip(const typRect& r, float x, float y, float t)
{
    const float right = r.Left + r.Width;
    const float bottom = r.Top + r.Height;
    const bool nearLeft = near(x, r.Left, t);
    const bool nearRight = near(x, right, t);
    const bool nearTop = near(y, r.Top, t);
    const bool nearBottom = near(y, bottom, t);
    if (nearLeft) {
        if (nearTop)
            return gripTopLeft;
        if (nearBottom)
            return gripBottomLeft;
    }
    if (nearRight) {
        if (nearTop)
            return gripTopRight;
        if (nearBottom)
            return gripBottomRight;
    }
    const float above = r.Top - t, below = bottom + t;
    if (above < y && y < below) {
        if (nearLeft)
            return gripLeft;
        if (nearRight)
            return gripRight;
    }
    const float before = r.Left - t, after = right + t;
    if (before < x && x < after) {
        if (nearTop)
            return gripTop;
        if (nearBottom)
            return gripBottom;
    }
    return gripNone;
}

}  // namespace interaction

namespace {

// The first visible element of the array that `test` answers a grip code
// other than -1 for; elements that were never loaded are passed over.
template <class T, class Test>
int firstHit(ElementArray<T>& elements, qint16& grip, Test test)
{
    grip = interaction::gripNone;
    const int last = elements.UBound();
    for (int k = 0; k <= last; ++k) {
        if (!elements.exists(k))
            continue;
        const T& element = elements(k);
        if (!element.Visible)
            continue;
        const qint16 code = test(element);
        if (code != interaction::gripNone) {
            grip = code;
            return k;
        }
    }
    return -1;
}

}  // namespace

int frmEdit::fncHit_LineEnd(ElementArray<LineElement>& lines, float x, float y, qint16& grip)
{
    return firstHit(lines, grip, [x, y](const LineElement& l) {
        return interaction::fncHit_End(l.X1, l.Y1, l.X2, l.Y2, x, y);
    });
}

int frmEdit::fncHit_Rect(ElementArray<ShapeElement>& shapes, float x, float y, qint16& grip)
{
    return firstHit(shapes, grip, [x, y](const ShapeElement& s) {
        return interaction::fncHit_Inside(interaction::fncBox_Of(s), x, y) ? qint16(interaction::gripInside)
                                                            : qint16(interaction::gripNone);
    });
}

int frmEdit::fncHit_ShapeGrip(ElementArray<ShapeElement>& shapes, float x, float y, qint16& grip)
{
    return firstHit(shapes, grip, [x, y](const ShapeElement& s) {
        return interaction::fncHit_Grip(interaction::fncBox_Of(s), x, y, interaction::kShapeTolerance);
    });
}

int frmEdit::fncHit_LabelGrip(ElementArray<LabelElement>& labels, float x, float y, qint16& grip)
{
    return firstHit(labels, grip, [x, y](const LabelElement& l) {
        return interaction::fncHit_Grip(interaction::fncBox_Of(l), x, y, interaction::kLabelTolerance);
    });
}
