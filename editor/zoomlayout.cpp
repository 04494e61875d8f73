#include "editor/zoomlayout.h"

namespace ZoomLayout {

LabelPlace fncLabel_AtZoom(LabelPlace place, QSizeF base, QSizeF shown, float zoom)
{
    const float left = fncAtZoom(place.left, zoom);
    const float top = fncAtZoom(place.top, zoom);
    const double dx = (shown.width() - base.width()) / 2;
    const double dy = (shown.height() - base.height()) / 24;
    return {float(left + dx), float(top - dy)};
}

LabelPlace fncLabel_Unzoomed(LabelPlace place, QSizeF base, QSizeF shown, float zoom)
{
    const double dx = (shown.width() - base.width()) / 2;
    const double dy = (shown.height() - base.height()) / 24;
    return {fncUnzoomed(float(place.left - dx), zoom), fncUnzoomed(float(place.top + dy), zoom)};
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
