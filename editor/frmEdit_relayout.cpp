// The drawing objects re-laid at a new zoom, from each element's values at
// zoom 1.0 (editor/zoomlayout.h). An element that another command moved,
// resized or gave another font since the last re-layout, or that was made
// since, first takes its zoom-1.0 values back from what it shows.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "editor/zoomlayout.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

using namespace platform;
using namespace ZoomLayout;

namespace {

bool same(const float (&a)[4], const float (&b)[4], int n)
{
    for (int k = 0; k < n; ++k) {
        if (a[k] != b[k])
            return false;
    }
    return true;
}

// The label's size depends on these besides the font size.
QString measureKey(const LabelElement& label)
{
    const QChar sep(0x1F);
    return label.Caption.get() + sep + label.FontName.get() + sep
        + QString::number(int(label.FontBold) | int(label.FontItalic) << 1 | int(label.FontUnderline) << 2
                          | int(label.FontStrikethrough) << 3 | int(label.AutoSize) << 4 | int(label.WordWrap) << 5)
        + sep + QString::number(label.BorderStyle) + sep
        // A width that follows the text is no part of what it is measured from.
        + (label.AutoSize && !label.WordWrap ? QString() : QString::number(double(label.Width()), 'g', 9));
}

struct Relayer {
    Bases& bases;
    float zoom;      // the new zoom
    float zoomPrev;  // the zoom the elements show now

    void line(LineElement& e)
    {
        const float now[4] = {e.X1, e.Y1, e.X2, e.Y2};
        Base* b = bases.find(e.sequence());
        if (!b || !same(now, b->shown, 4)) {
            b = &bases.make(e.sequence());
            for (int k = 0; k < 4; ++k)
                b->v[k] = fncUnzoomed(now[k], zoomPrev);
        }
        e.X1 = fncAtZoom(b->v[0], zoom);
        e.Y1 = fncAtZoom(b->v[1], zoom);
        e.X2 = fncAtZoom(b->v[2], zoom);
        e.Y2 = fncAtZoom(b->v[3], zoom);
        const float shown[4] = {e.X1, e.Y1, e.X2, e.Y2};
        std::copy(shown, shown + 4, b->shown);
        bases.touch(*b);
    }

    void shape(ShapeElement& e)
    {
        const float now[4] = {e.Left, e.Top, e.Width(), e.Height()};
        Base* b = bases.find(e.sequence());
        if (!b || !same(now, b->shown, 4)) {
            b = &bases.make(e.sequence());
            for (int k = 0; k < 4; ++k)
                b->v[k] = fncUnzoomed(now[k], zoomPrev);
        }
        e.Move(fncAtZoom(b->v[0], zoom), fncAtZoom(b->v[1], zoom), fncAtZoom(b->v[2], zoom),
               fncAtZoom(b->v[3], zoom));
        const float shown[4] = {e.Left, e.Top, e.Width(), e.Height()};
        std::copy(shown, shown + 4, b->shown);
        bases.touch(*b);
    }

    // An end marker: sized from its base, centred on its end of the dimension line.
    void marker(ShapeElement& e, float x, float y)
    {
        const float now[4] = {e.Width(), e.Height(), 0, 0};
        Base* b = bases.find(e.sequence());
        if (!b || !same(now, b->shown, 2)) {
            b = &bases.make(e.sequence());
            b->v[0] = fncUnzoomed(now[0], zoomPrev);
            b->v[1] = fncUnzoomed(now[1], zoomPrev);
        }
        const float width = fncAtZoom(b->v[0], zoom);
        const float height = fncAtZoom(b->v[1], zoom);
        e.Move(x - width / 2, y - height / 2, width, height);
        b->shown[0] = e.Width();
        b->shown[1] = e.Height();
        bases.touch(*b);
    }

    void label(LabelElement& e, bool centred)
    {
        const float now[4] = {e.Left, e.Top, 0, 0};
        const QString key = measureKey(e);
        Base* b = bases.find(e.sequence());
        if (!b || !same(now, b->shown, 2) || e.FontSize.get() != b->shownFont || key != b->measureKey) {
            b = &bases.make(e.sequence());
            b->font = e.FontSize.get() / zoomPrev;
            b->size = e.sizeAtFontSize(b->font);
            b->measureKey = key;
            const LabelPlace place = fncLabel_Unzoomed({now[0], now[1]}, b->size, QSizeF(e.Width(), e.Height()), zoomPrev,
                                                         centred);
            b->v[0] = place.left;
            b->v[1] = place.top;
        }
        e.FontSize = b->font * zoom;
        const LabelPlace place =
            fncLabel_AtZoom({b->v[0], b->v[1]}, b->size, QSizeF(e.Width(), e.Height()), zoom, centred);
        e.Move(place.left, place.top);
        b->shown[0] = e.Left;
        b->shown[1] = e.Top;
        b->shownFont = e.FontSize;
        bases.touch(*b);
    }

    template <class T, class F>
    void all(ElementArray<T>& elements, F&& lay)
    {
        for (int k = 0; k <= elements.UBound(); ++k) {
            if (elements.exists(k))
                lay(elements(k));
        }
    }
};

}  // namespace

void frmEdit::subDisp_Object()
{
    try {
        if (!zoomBases)
            zoomBases = std::make_shared<Bases>();
        Relayer r{*zoomBases, GE_sngZoom, sngZoomPrev};
        zoomBases->beginPass();
        const auto line = [&r](LineElement& e) { r.line(e); };
        // Texts and positions stand at their corner, results round their line or outline.
        const auto cornered = [&r](LabelElement& e) { r.label(e, false); };
        const auto centred = [&r](LabelElement& e) { r.label(e, true); };
        r.all(lineHikidashi, line);
        r.all(shpShape, [&r](ShapeElement& e) { r.shape(e); });
        r.all(lblMoji, cornered);
        r.all(lblKeiIdoS, cornered);
        r.all(lineHojoSave, line);
        r.all(lineDsSave, line);
        for (int i = 0; i <= lineDsSave.UBound() - 1; ++i) {
            const LineElement& dimension = lineDsSave(i);
            r.marker(shpSnpo(2 * i), dimension.X1, dimension.Y1);
            r.marker(shpSnpo(2 * i + 1), dimension.X2, dimension.Y2);
        }
        r.all(lblKyori, centred);
        r.all(lblKeiroS, centred);
        r.all(lblMensekiS, centred);
        r.all(linePS, line);
        subAllDisp_TempH_Clr();
        sngZoomPrev = GE_sngZoom;
        zoomBases->forgetUnmet();
        subGrip_Follow();
    } catch (const vb::Error& error) {
        if (error.number() == vb::errCancel)
            return;
        vb::MsgBox(QStringLiteral("subDisp_Object():ｴﾗｰ番号 ") + vb::Str(qint32(error.number()))
                   + QStringLiteral(" ｴﾗｰが発生しました。") + vb::vbCr + error.description(),
               vb::vbOKOnly, QStringLiteral("ｴﾗｰ"));
    }
}
