#pragma once
// The drawing objects at a zoom: every element keeps its values at zoom 1.0
// and its shown values are derived from them, never from the values shown at
// the previous zoom, so that zooming out and in again returns every object
// exactly to where it was and a save at any zoom stores the same geometry.

#include <QSizeF>
#include <QString>
#include <QtGlobal>

#include <unordered_map>

namespace ZoomLayout {

// A value at zoom 1.0 shown at zoom z, and back.
inline float fncAtZoom(float value, float zoom)
{
    return float(double(value) * zoom);
}
inline float fncUnzoomed(float shown, float zoom)
{
    return float(double(shown) / zoom);
}

struct LabelPlace {
    float left = 0;
    float top = 0;
};

// A label's place at zoom z: its place at zoom 1.0 scaled. A centred label
// (a result laid round its line or outline) then moves so that its centre
// stays at the scaled centre, whatever size its font takes at z; a label
// placed by its corner (a text, a position) keeps the scaled corner.
// `base` is its size at its zoom-1.0 font, `shown` at that font times z.
LabelPlace fncLabel_AtZoom(LabelPlace place, QSizeF base, QSizeF shown, float zoom, bool centred);
// The inverse: the zoom-1.0 place of a label shown at `place` at zoom z.
LabelPlace fncLabel_Unzoomed(LabelPlace place, QSizeF base, QSizeF shown, float zoom, bool centred);

// What the re-layout knows of one element: its zoom-1.0 values and the
// values it last showed it with. Lines use v = X1, Y1, X2, Y2; shapes Left,
// Top, Width, Height; end markers Width, Height; labels Left, Top with the
// font size apart.
struct Base {
    float v[4] = {0, 0, 0, 0};
    float shown[4] = {0, 0, 0, 0};
    double font = 0;
    double shownFont = 0;
    QSizeF size;         // a label's size at its zoom-1.0 font
    QString measureKey;  // what that size was measured from
    quint32 pass = 0;    // the last re-layout that met the element
};

// The elements' bases by creation number; an element is forgotten when a
// complete re-layout no longer meets it.
class Bases {
public:
    // The element's base, or null when the re-layout never laid it.
    Base* find(quint64 element);
    Base& make(quint64 element);
    void beginPass() { ++m_pass; }
    void touch(Base& base) const { base.pass = m_pass; }
    // After a complete pass: forget the elements it did not meet.
    void forgetUnmet();
    qsizetype size() const { return qsizetype(m_bases.size()); }

private:
    std::unordered_map<quint64, Base> m_bases;
    quint32 m_pass = 0;
};

}  // namespace ZoomLayout
