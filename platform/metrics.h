#pragma once
// The sizes of the screen's standard parts that window layouts compute
// with, and the stay-on-top placement of tool windows.

class QWidget;

namespace platform {

enum class Metric {
    VScrollWidth,   // width of a vertical scroll bar
    HScrollHeight,  // height of a horizontal scroll bar
    FrameWidth,     // a sizable window's side border
    FrameHeight,    // a sizable window's top and bottom border
    CaptionHeight,  // a window's title bar
    MenuHeight,     // one row of a menu bar
};

// In pixels, from the application's style (a widget application must exist).
int metricPixels(Metric metric);
// The same in twips (15 twips a pixel).
int metricTwips(Metric metric);

// Keeps a top-level window above every window that is not itself on top,
// or ends that. A shown window stays shown, in its place.
void setTopMost(QWidget* window, bool topMost);
bool isTopMost(const QWidget* window);

}  // namespace platform
