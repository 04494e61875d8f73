#pragma once
// The element arrays that hold a drawing's objects, handed together to the
// procedures that repair, delete, copy and move objects without the window.
// An element takes another's place by taking the properties its stored
// record carries (a label's size follows its caption and font).

#include "platform/elements.h"

#include <QString>

struct ObjectArrays {
    platform::ElementArray<platform::LabelElement>& lblKyori;
    platform::ElementArray<platform::LabelElement>& lblKeiroS;
    platform::ElementArray<platform::LabelElement>& lblMensekiS;
    platform::ElementArray<platform::LabelElement>& lblMoji;
    platform::ElementArray<platform::LabelElement>& lblKeiIdoS;
    platform::ElementArray<platform::LineElement>& lineDsSave;
    platform::ElementArray<platform::LineElement>& lineHojoSave;
    platform::ElementArray<platform::LineElement>& linePS;
    platform::ElementArray<platform::LineElement>& lineHikidashi;
    platform::ElementArray<platform::ShapeElement>& shpShape;
    platform::ElementArray<platform::ShapeElement>& shpSnpo;
};

namespace mdlObjects {

// The key of an element: the last 12 characters of its tag (all of a shorter one).
QString fncKey(const platform::Element& element);
// The text before the first "_" of the tag; "" when it has none.
QString fncPrefix(const QString& tag);

// `to` takes `from`: every stored property, Visible included.
void subTake(platform::LabelElement& to, const platform::LabelElement& from);
void subTake(platform::LineElement& to, const platform::LineElement& from);
void subTake(platform::ShapeElement& to, const platform::ShapeElement& from);

// A kept result label takes the template label's look (alignment, colours,
// frame, font), its font size scaled to the current zoom.
void subTake_Look(platform::LabelElement& label, const platform::LabelElement& look);

// Whether element k exists and shows.
template <class T>
bool fncShown(const platform::ElementArray<T>& elements, int k)
{
    return elements.exists(k) && elements(k).Visible;
}

}  // namespace mdlObjects
