#pragma once
// The elements of one measurement end their tags with its 12-character group
// id. A change of an area's, route's or distance's look reaches them here:
// segments and distance labels match when their tag ends with the key, a
// distance's measured line, extension lines and end markers only when their
// whole tag is the key. Properties are named as text; a name a routine does
// not list changes nothing.

#include "objects/objectarrays.h"

#include <QString>

namespace samekey {

// The key of a tag: its last 12 characters (a shorter tag whole).
inline QString keyOf(const QString& tag) { return tag.right(12); }

void subSetProp_Line(const QString& name, platform::LineElement& line, int value);
void subSetProp_Shape(const QString& name, platform::ShapeElement& shape, int value);
void subSetProp_Label(const QString& name, platform::LabelElement& label, int value);

// Draw mode, border style and width reach lines and markers; fill style and
// shape the markers only. Each returns whether it knew the name.
bool subSetKey_LineShape(const ObjectArrays& a, const QString& name, const QString& tag, int value);
// Alignment, appearance, border and back style of the distance labels.
bool subSetKey_Label(const ObjectArrays& a, const QString& name, const QString& tag, int value);
// "BorderColor": lines, and markers whole (border, back, fill);
// "ForeColor" and "BackColor": the distance labels.
bool subSetKey_Color(const ObjectArrays& a, const QString& name, const QString& tag, qint32 colour);
// The distance labels take the font of `font`.
void subSetKey_Font(const ObjectArrays& a, const QString& tag, const platform::LabelElement& font);

// Copies the six font properties, in the order the font dialog gives them.
void copyFont(platform::LabelElement& to, const platform::LabelElement& from);

}  // namespace samekey
