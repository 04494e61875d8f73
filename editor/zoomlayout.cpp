#include "editor/zoomlayout.h"

namespace ZoomLayout {

namespace {

// How far a centred label's corner moves beyond its scaled place to keep
// its centre at the scaled centre: half of what its size at the zoom falls
// short of the scaled size (a font takes no size in between, and a frame
// does not scale).
double keepCentre(double base, double shown, float zoom) { return (base * zoom - shown) / 2; }

}  // namespace

LabelPlace fncLabel_AtZoom(LabelPlace place, QSizeF base, QSizeF shown, float zoom, bool centred)
{
    const float left = fncAtZoom(place.left, zoom), top = fncAtZoom(place.top, zoom);
    if (!centred)
        return {left, top};
    return {float(left + keepCentre(base.width(), shown.width(), zoom)),
            float(top + keepCentre(base.height(), shown.height(), zoom))};
}

LabelPlace fncLabel_Unzoomed(LabelPlace place, QSizeF base, QSizeF shown, float zoom, bool centred)
{
    if (!centred)
        return {fncUnzoomed(place.left, zoom), fncUnzoomed(place.top, zoom)};
    return {fncUnzoomed(float(place.left - keepCentre(base.width(), shown.width(), zoom)), zoom),
            fncUnzoomed(float(place.top - keepCentre(base.height(), shown.height(), zoom)), zoom)};
}

Base* Bases::find(quint64 element)
{
    const auto it = m_bases.find(element);
    return it == m_bases.end() ? nullptr : &it->second;
}

Base& Bases::make(quint64 element)
{
    Base& base = m_bases[element];
    base = Base();
    return base;
}

void Bases::forgetUnmet()
{
    std::erase_if(m_bases, [this](const auto& entry) { return entry.second.pass != m_pass; });
}

}  // namespace ZoomLayout
