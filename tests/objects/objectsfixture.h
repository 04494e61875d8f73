#pragma once
// The object arrays of a drawing on a bare picture box, for the tests of the
// procedures that work on them without the editor window.

#include "objects/objectarrays.h"
#include "platform/elements.h"

#include <QString>

namespace objectstest {

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

struct Drawing {
    platform::PictureBox map{QStringLiteral("pictMap")};
    ElementArray<LabelElement> lblKyori{QStringLiteral("lblKyori"), &map};
    ElementArray<LabelElement> lblKeiroS{QStringLiteral("lblKeiroS"), &map};
    ElementArray<LabelElement> lblMensekiS{QStringLiteral("lblMensekiS"), &map};
    ElementArray<LabelElement> lblMoji{QStringLiteral("lblMoji"), &map};
    ElementArray<LabelElement> lblKeiIdoS{QStringLiteral("lblKeiIdoS"), &map};
    ElementArray<LineElement> lineDsSave{QStringLiteral("lineDsSave"), &map};
    ElementArray<LineElement> lineHojoSave{QStringLiteral("lineHojoSave"), &map};
    ElementArray<LineElement> linePS{QStringLiteral("linePS"), &map};
    ElementArray<LineElement> lineHikidashi{QStringLiteral("lineHikidashi"), &map};
    ElementArray<ShapeElement> shpShape{QStringLiteral("shpShape"), &map};
    ElementArray<ShapeElement> shpSnpo{QStringLiteral("shpSnpo"), &map};

    Drawing()
    {
        for (auto* a : {&lblKyori, &lblKeiroS, &lblMensekiS, &lblMoji, &lblKeiIdoS})
            (*a)(0).Visible = false;
        for (auto* a : {&lineDsSave, &lineHojoSave, &linePS, &lineHikidashi})
            (*a)(0).Visible = false;
        shpShape(0).Visible = false;
        shpSnpo(0).Visible = false;
    }

    ObjectArrays arrays()
    {
        return {lblKyori, lblKeiroS, lblMensekiS, lblMoji, lblKeiIdoS, lineDsSave,
                lineHojoSave, linePS, lineHikidashi, shpShape, shpSnpo};
    }
};

// Element k of an array, made when missing, shown or hidden, tagged.
template <class T>
T& put(ElementArray<T>& a, int k, const QString& tag, bool visible = true)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Tag = tag;
    a(k).Visible = visible;
    return a(k);
}

inline LineElement& line(ElementArray<LineElement>& a, int k, float x1, float y1, float x2, float y2,
                         const QString& tag, bool visible = true)
{
    LineElement& e = put(a, k, tag, visible);
    e.X1 = x1, e.Y1 = y1, e.X2 = x2, e.Y2 = y2;
    return e;
}

// The hidden spare after the last element.
template <class T>
void spare(ElementArray<T>& a)
{
    put(a, a.UBound() + 1, QString(), false);
}

// Distance k: label, dimension line, extension lines from (x1, y1) and
// (x2, y2) 5 units up, and markers, all tagged with `key` (the label with a
// result tag).
inline void distance(Drawing& d, int k, float x1, float y1, float x2, float y2, const QString& key)
{
    put(d.lblKyori, k, QStringLiteral("001:10_") + key).Caption = QStringLiteral("d%1").arg(k);
    line(d.lineDsSave, k, x1, y1 - 5, x2, y2 - 5, key);
    line(d.lineHojoSave, 2 * k, x1, y1, x1, y1 - 5, key);
    line(d.lineHojoSave, 2 * k + 1, x2, y2, x2, y2 - 5, key);
    for (int j : {2 * k, 2 * k + 1}) {
        ShapeElement& s = put(d.shpSnpo, j, key);
        s.Left = float(j);
    }
}

}  // namespace objectstest
