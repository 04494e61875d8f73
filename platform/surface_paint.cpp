// What painting on pixels and on paper share: the runtime's pen styles and
// fills, the circle's arcs and pies, and text.

#include "platform/surface_paint.h"

#include "platform/colors.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace paint {

namespace {

bool isPie(const DrawCommand& c)
{
    return c.startAngle < 0 && c.endAngle < 0;
}

bool isArc(const DrawCommand& c)
{
    return !std::isnan(c.startAngle) && !isPie(c);
}

}  // namespace

int penPixels(const DrawCommand& c)
{
    return std::max(1, int(std::lround(c.penWidth)));
}

std::vector<int> dashPattern(int drawStyle)
{
    switch (drawStyle) {
    case styleDash: return {18, 6};
    case styleDot: return {3, 3};
    case styleDashDot: return {9, 6, 3, 6};
    case styleDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

bool insideFrame(const DrawCommand& c)
{
    return c.drawStyle == styleInside && penPixels(c) > 1;
}

QBrush figureBrush(const DrawCommand& c)
{
    if (c.kind == DrawCommand::Segment || (c.kind == DrawCommand::Ellipse && isArc(c)))
        return Qt::NoBrush;
    if (c.kind == DrawCommand::Box && c.filledWithPen)
        return toQColor(c.color);
    const Qt::BrushStyle pattern = fillPattern(c.fillStyle);
    return pattern == Qt::NoBrush ? QBrush() : QBrush(toQColor(c.fillColor), pattern);
}

QPainterPath ellipsePath(const DrawCommand& c, const QRectF& r)
{
    QPainterPath path;
    if (std::isnan(c.startAngle)) {
        path.addEllipse(r);
        return path;
    }
    const double start = std::abs(c.startAngle) * 180 / std::numbers::pi;
    double span = std::abs(c.endAngle) * 180 / std::numbers::pi - start;
    if (span <= 0)
        span += 360;
    if (c.startAngle < 0) {
        path.moveTo(r.center());
        path.arcTo(r, start, span);
    } else {
        path.arcMoveTo(r, start);
        path.arcTo(r, start, span);
    }
    if (c.endAngle < 0)
        path.lineTo(r.center());
    if (isPie(c))
        path.closeSubpath();
    return path;
}

QRectF exposedArea(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    QRectF area = painter.deviceTransform().inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
    if (painter.hasClipping())
        area = area.intersected(painter.clipBoundingRect());
    return area;
}

void renderText(QPainter& painter, const DrawCommand& c)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    const QFontMetricsF metrics(c.font);
    painter.setFont(c.font);
    painter.setPen(toQColor(c.color));
    // The text starts on a whole pixel, as it did on the screen it was laid out for.
    QPointF at(std::floor(c.rect.left() + 0.5), std::floor(c.rect.top() + 0.5));
    for (const QString& line : c.text.split(breaks)) {
        if (!c.fontTransparent)
            painter.fillRect(QRectF(at, QSizeF(metrics.horizontalAdvance(line), metrics.lineSpacing())),
                             toQColor(c.backColor));
        painter.drawText(at + QPointF(0, metrics.ascent()), line);
        at.ry() += metrics.lineSpacing();
    }
}

bool definedPlace(const DrawCommand& c)
{
    const auto finite = [](const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); };
    return finite(c.p1) && finite(c.p2) && finite(c.rect.topLeft()) && finite(c.rect.bottomRight());
}

}  // namespace paint

}  // namespace platform
