// Painting one drawing command on paper. A printer scales vectors and
// pictures itself, so nothing here is made at the device's resolution: a
// line is one stroke of its pen's width in device pixels, a figure one path,
// and a picture goes to the device with its own pixels, only the part that
// falls on the sheet. The raster operations need the pixels beneath, which
// paper doesn't give back: they draw as the copy pen (the caller leaves out
// the no-operation).

#include "platform/colors.h"
#include "platform/surface.h"
#include "platform/surface_paint.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

using namespace paint;

// A wide pen is solid with round ends and joins, as on the screen. A
// one-pixel pen is the device's thinnest line (width 0): one dot on a
// printer, and one pixel in a viewer at any magnification, so it never
// thins out of sight. It carries the dash patterns at the length they have
// on a 96 dpi screen (counted in device pixels they would shrink to specks
// at a printer's resolution and the line would look solid), and ends where
// its segment ends.
QPen paperPen(const DrawCommand& c, double dpi)
{
    if (c.drawStyle == styleNone)
        return QPen(Qt::NoPen);
    QPen pen(toQColor(c.color));
    const int width = penPixels(c);
    if (width > 1) {
        pen.setWidth(width);
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
            pattern.append(dash * dpi / 96);
        pen.setDashPattern(pattern);
    }
    return pen;
}

// The figure's rectangle; a wide inside-frame pen runs half its width
// inside, so that its outer edge lies on the rectangle.
QRectF paperRect(const DrawCommand& c)
{
    QRectF r = c.rect.normalized();
    if (insideFrame(c)) {
        const double inset = std::min({penPixels(c) / 2.0, r.width() / 2, r.height() / 2});
        r.adjust(inset, inset, -inset, -inset);
    }
    return r;
}

void printFigure(QPainter& painter, const DrawCommand& c)
{
    painter.setPen(paperPen(c, painter.device()->logicalDpiX()));
    painter.setBrush(figureBrush(c));
    switch (c.kind) {
    case DrawCommand::Segment: painter.drawLine(QLineF(c.p1, c.p2)); break;
    case DrawCommand::Box: painter.drawRect(paperRect(c)); break;
    case DrawCommand::Ellipse: painter.drawPath(ellipsePath(c, paperRect(c))); break;
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
