#include "properties/samekey.h"

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

namespace samekey {

namespace {

template <class T, class F>
void walk(ElementArray<T>& elements, const QString& key, bool whole, F&& set)
{
    for (int k = 0; k <= elements.UBound(); ++k) {
        if (!elements.exists(k))
            continue;
        T& e = elements(k);
        if (whole ? e.Tag == key : keyOf(e.Tag) == key)
            set(e);
    }
}

bool isOneOf(const QString& name, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        if (name == QLatin1String(n))
            return true;
    }
    return false;
}

}  // namespace

void subSetProp_Line(const QString& name, LineElement& line, int value)
{
    if (name == QLatin1String("DrawMode"))
        line.DrawMode = value;
    else if (name == QLatin1String("BorderStyle"))
        line.BorderStyle = value;
    else if (name == QLatin1String("BorderWidth"))
        line.BorderWidth = value;
}

void subSetProp_Shape(const QString& name, ShapeElement& shape, int value)
{
    if (name == QLatin1String("DrawMode"))
        shape.DrawMode = value;
    else if (name == QLatin1String("BorderStyle"))
        shape.BorderStyle = value;
    else if (name == QLatin1String("BorderWidth"))
        shape.BorderWidth = value;
    else if (name == QLatin1String("FillStyle"))
        shape.FillStyle = value;
    else if (name == QLatin1String("Shape"))
        shape.Shape = value;
}

void subSetProp_Label(const QString& name, LabelElement& label, int value)
{
    if (name == QLatin1String("Alignment"))
        label.Alignment = value;
    else if (name == QLatin1String("Appearance"))
        label.Appearance = value;
    else if (name == QLatin1String("BorderStyle"))
        label.BorderStyle = value;
    else if (name == QLatin1String("BackStyle"))
        label.BackStyle = value;
}

bool subSetKey_LineShape(const ObjectArrays& a, const QString& name, const QString& tag, int value)
{
    const QString key = keyOf(tag);
    const bool lines = isOneOf(name, {"BorderStyle", "DrawMode", "BorderWidth"});
    if (lines) {
        auto set = [&](LineElement& l) { subSetProp_Line(name, l, value); };
        walk(a.linePS, key, false, set);
        walk(a.lineDsSave, key, true, set);
        walk(a.lineHojoSave, key, true, set);
    }
    if (!lines && !isOneOf(name, {"FillStyle", "Shape"}))
        return false;
    walk(a.shpSnpo, key, true, [&](ShapeElement& s) { subSetProp_Shape(name, s, value); });
    return true;
}

bool subSetKey_Label(const ObjectArrays& a, const QString& name, const QString& tag, int value)
{
    if (!isOneOf(name, {"Appearance", "Alignment", "BorderStyle", "BackStyle"}))
        return false;
    walk(a.lblKyori, keyOf(tag), false, [&](LabelElement& l) { subSetProp_Label(name, l, value); });
    return true;
}

bool subSetKey_Color(const ObjectArrays& a, const QString& name, const QString& tag, qint32 colour)
{
    const QString key = keyOf(tag);
    if (name == QLatin1String("BorderColor")) {
        auto set = [&](LineElement& l) { l.BorderColor = colour; };
        walk(a.linePS, key, false, set);
        walk(a.lineDsSave, key, true, set);
        walk(a.lineHojoSave, key, true, set);
        walk(a.shpSnpo, key, true, [&](ShapeElement& s) {
            s.BorderColor = colour;
            s.BackColor = colour;
            s.FillColor = colour;
        });
        return true;
    }
    if (name == QLatin1String("ForeColor")) {
        walk(a.lblKyori, key, false, [&](LabelElement& l) { l.ForeColor = colour; });
        return true;
    }
    if (name == QLatin1String("BackColor")) {
        walk(a.lblKyori, key, false, [&](LabelElement& l) { l.BackColor = colour; });
        return true;
    }
    return false;
}

void copyFont(LabelElement& to, const LabelElement& from)
{
    to.FontBold = from.FontBold.get();
    to.FontItalic = from.FontItalic.get();
    to.FontName = from.FontName.get();
    to.FontSize = from.FontSize.get();
    to.FontStrikethrough = from.FontStrikethrough.get();
    to.FontUnderline = from.FontUnderline.get();
}

void subSetKey_Font(const ObjectArrays& a, const QString& tag, const LabelElement& font)
{
    walk(a.lblKyori, keyOf(tag), false, [&](LabelElement& l) { copyFont(l, font); });
}

}  // namespace samekey
