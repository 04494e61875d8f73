#pragma once
// Between the box rules and the elements: a shape's or label's box read
// and written whole, and a grip square centred on a point by its own size.

#include "interaction/rect.h"
#include "platform/elements.h"

namespace interaction {

template <class T>
typRect fncBox_Of(const T& element)
{
    return {element.Left, element.Top, element.Width(), element.Height()};
}

// The whole box at once: sizes are never negative here, so no property is
// refused half-way.
inline void subBox_Apply(platform::ShapeElement& shape, const typRect& r)
{
    shape.Move(r.Left, r.Top, r.Width, r.Height);
}

inline void subBox_Apply(platform::LabelElement& label, const typRect& r)
{
    label.Move(r.Left, r.Top);
    label.setWidth(r.Width);
    label.setHeight(r.Height);
}

inline void subGrip_Centre(platform::ShapeElement& grip, float x, float y)
{
    grip.Left = x - grip.Width() / 2;
    grip.Top = y - grip.Height() / 2;
}

}  // namespace interaction
