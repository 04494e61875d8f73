#pragma once
// What the property sheet decides without its window: the lists and tips of
// its boxes, the layout of each object kind, and the typed numbers of the
// width, pitch and tilt boxes.

#include <QString>
#include <QStringList>
#include <optional>

namespace sheetrules {

// The fixed lists, in the order the boxes show them.
QStringList drawModes();
QStringList lineStyles();     // lines and shape borders, "0 - 透明" first
QStringList hatchLineStyles();  // the hatching pen, "5 - 透明"
QStringList labelBorderStyles();
QStringList backStyles();
QStringList fillStyles();
QStringList shapes();
QStringList hatchStyles();
QStringList alignments();
QStringList appearances();
QStringList numbers(int first, int last, int step = 1);

// The tip a box shows after entry `position` was chosen; nothing when that
// position has none.
enum class Tips { DrawMode, LineStyle, HatchLineStyle, LabelBorderStyle, BackStyle, FillStyle, Shape, HatchStyle,
                  Align, Apper };
std::optional<QString> tip(Tips box, int position);

// The window caption and the groups a kind enables; nothing for a kind the
// sheet does not edit.
struct Layout {
    QString caption;
    bool label = false;
    bool line = false;   // draw mode, style, width and line colour
    bool shape = false;  // the line group and fill, shape, back style and their colours
    bool hatching = false;
};
std::optional<Layout> layoutOf(const QString& kind);

// The schema from which databases store an area's hatching tilt.
constexpr qint32 TiltSchema = 200911;

// A typed number: the box's new text, and the value to apply when the text
// was numeric. The first `chars` characters count; the number is rounded
// halves to even and brought within [low, high]; below `lowFrom` it becomes
// `low`. The box then shows the value applied, so a typed "7.5" shows "8".
struct Typed {
    QString box;
    std::optional<int> value;
};
Typed typedNumber(const QString& text, int chars, int low, int high, double lowFrom);
inline Typed typedPitch(const QString& text) { return typedNumber(text, 3, 1, 100, 1); }
inline Typed typedTilt(const QString& text) { return typedNumber(text, 3, 1, 89, 2); }

// A typed line width: the whole text is the number (full-width forms read
// as the plain ones), rounded halves to even and held to 1..128, so the box
// shows the width applied. A text that is no number is refused (no value,
// an empty box text): the box would show a width the line doesn't have.
constexpr int WidthLow = 1, WidthHigh = 128;
Typed typedWidth(const QString& text);

}  // namespace sheetrules
