#pragma once
// What painting on pixels (surface_render.cpp) and painting on paper
// (surface_print.cpp) share: the runtime's pen styles and fills, the
// circle's arcs and pies, and text. Internal to the platform layer.

#include "platform/surface.h"

#include <QBrush>
#include <QPainterPath>

#include <vector>

class QPainter;

namespace platform::paint {

enum DrawStyleKind { styleSolid, styleDash, styleDot, styleDashDot, styleDashDotDot, styleNone, styleInside };

// The pen's width in whole device pixels, at least one.
int penPixels(const DrawCommand& c);
// On and off runs in pixels of a one-pixel pen; empty for a solid pen.
std::vector<int> dashPattern(int drawStyle);
// A wide pen of the inside-frame style, which keeps within the figure.
bool insideFrame(const DrawCommand& c);
// The fill of a figure: none for segments and open arcs, the pen colour
// for a BF box, else the fill style in the fill colour.
QBrush figureBrush(const DrawCommand& c);
// An ellipse, arc or pie of the command within `r`.
QPainterPath ellipsePath(const DrawCommand& c, const QRectF& r);
// The part of the painter's logical space that can receive paint.
QRectF exposedArea(const QPainter& painter);
// A figure at undefined or infinite coordinates has nothing to paint.
bool definedPlace(const DrawCommand& c);
// Text is always copied, whatever the raster operation, as GDI's text output.
void renderText(QPainter& painter, const DrawCommand& c);

}  // namespace platform::paint
