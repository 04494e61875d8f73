// Painting one drawing command on paper. A printer scales vectors and
// pictures itself, so nothing here is made at the device's resolution: a
// line is one stroke, a figure one path, and a picture goes to the device
// with its own pixels, only the part that falls on the sheet. What is
// counted in pixels (a wide pen, the dashes, a hatch pattern's spacing)
// keeps the size it has on a 96 dpi screen: the device's pixels are far
// smaller (Qt gives a 1200 dpi device whatever the printer), and counted in
// them a border would thin to a hairline and a hatching to a flat tint.
// The raster operations need the pixels beneath, which paper doesn't give
// back: they draw as the copy pen (the caller leaves out the no-operation).

#include "platform/colors.h"
#include "platform/surface.h"
#include "platform/surface_paint.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

using namespace paint;

// Device pixels to one pixel of a 96 dpi screen.
double screenPixel(const QPainter& painter)
{
    return painter.device()->logicalDpiX() / 96.0;
}

// A wide pen is solid with round ends and joins, as on the screen, and as
// thick as there. A one-pixel pen is the device's thinnest line (width 0):
// one dot on a printer, and one pixel in a viewer at any magnification, so
// it never thins out of sight. It carries the dash patterns at their screen
// length, and ends where its segment ends.
QPen paperPen(const DrawCommand& c, double pixel)
{
    if (c.drawStyle == styleNone)
        return QPen(Qt::NoPen);
    QPen pen(toQColor(c.color));
    const int width = penPixels(c);
    if (width > 1) {
        pen.setWidthF(width * pixel);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const std::vector<int> dashes = dashPattern(c.drawStyle);
    if (!dashes.empty()) {
        QList<qreal> pattern;
        for (const int dash : dashes)
            pattern.append(dash * pixel);
        pen.setDashPattern(pattern);
    }
    return pen;
}

// A hatch pattern at its screen spacing (Qt keeps a pattern's cells in
// device pixels unless told otherwise); a solid fill is left as it is.
void setPaperBrush(QPainter& painter, const DrawCommand& c, double pixel)
{
    QBrush brush = figureBrush(c);
    if (brush.style() != Qt::NoBrush && brush.style() != Qt::SolidPattern) {
        brush.setTransform(QTransform::fromScale(pixel, pixel));
        painter.setRenderHint(QPainter::NonCosmeticBrushPatterns);
    }
    painter.setBrush(brush);
}

// The figure's rectangle; a wide inside-frame pen runs half its width
// inside, so that its outer edge lies on the rectangle.
QRectF paperRect(const DrawCommand& c, double pixel)
{
    QRectF r = c.rect.normalized();
    if (insideFrame(c)) {
        const double inset = std::min({penPixels(c) * pixel / 2, r.width() / 2, r.height() / 2});
        r.adjust(inset, inset, -inset, -inset);
    }
    return r;
}

void printFigure(QPainter& painter, const DrawCommand& c)
{
    const double pixel = screenPixel(painter);
    painter.setPen(paperPen(c, pixel));
    setPaperBrush(painter, c, pixel);
    switch (c.kind) {
    case DrawCommand::Segment: painter.drawLine(QLineF(c.p1, c.p2)); break;
    case DrawCommand::Box: painter.drawRect(paperRect(c, pixel)); break;
    case DrawCommand::Ellipse: painter.drawPath(ellipsePath(c, paperRect(c, pixel))); break;
    default: break;
    }
}

// The device takes whole source pixels: the source shown is widened to
// whole pixels and its target with it, at the command's own scale, and the
// paint is clipped back to the target, so that every tile keeps the
// mapping of the whole.
void printPicture(QPainter& painter, const DrawCommand& c)
{
    if (!c.picture || c.picture->isNull() || c.source.isEmpty() || c.rect.isEmpty())
        return;
    const QRectF target = c.rect.normalized();
    const QRectF shown = target.intersected(exposedArea(painter));
    if (shown.isEmpty())
        return;
    const QRectF& source = c.source;
    const double kx = target.width() / source.width(), ky = target.height() / source.height();
    const double left = source.left() + (shown.left() - target.left()) / kx;
    const double right = source.left() + (shown.right() - target.left()) / kx;
    const double top = source.top() + (shown.top() - target.top()) / ky;
    const double bottom = source.top() + (shown.bottom() - target.top()) / ky;
    const QRect pixels = QRect(QPoint(int(std::floor(left)), int(std::floor(top))),
                               QPoint(int(std::ceil(right)) - 1, int(std::ceil(bottom)) - 1))
                             .intersected(c.picture->rect());
    if (pixels.isEmpty())
        return;
    const QRectF placed(target.left() + (pixels.left() - source.left()) * kx,
                        target.top() + (pixels.top() - source.top()) * ky, pixels.width() * kx,
                        pixels.height() * ky);
    painter.setClipRect(shown, Qt::IntersectClip);
    painter.drawImage(placed, *c.picture, QRectF(pixels));
}

}  // namespace

void printCommand(QPainter& painter, const DrawCommand& command)
{
    if (!definedPlace(command))
        return;
    painter.save();
    switch (command.kind) {
    case DrawCommand::Segment:
    case DrawCommand::Box:
    case DrawCommand::Ellipse: printFigure(painter, command); break;
    case DrawCommand::Text: renderText(painter, command); break;
    case DrawCommand::Picture: printPicture(painter, command); break;
    case DrawCommand::Clear: break;
    }
    painter.restore();
}

}  // namespace platform
