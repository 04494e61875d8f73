#include "platform/elements.h"

#include "platform/colors.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace platform {

namespace elementerrors {

void noSuchElement(const QString& arrayName, int k)
{
    vb::raise(vb::errNoElement, vb::noElementDescription(k)
                                    + (arrayName.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(arrayName)));
}

void alreadyLoaded() { vb::raise(vb::errAlreadyLoaded); }

void designTimeElement() { vb::raise(vb::errDesignTimeUnload); }

void badIndex(int k) { vb::raise(vb::errSubscript, vb::errorDescription(vb::errSubscript) + QStringLiteral(" (%1)").arg(k)); }

}  // namespace elementerrors

namespace {


quint64 nextSequence()
{
    static quint64 counter = 0;
    return ++counter;
}

void checkSize(float value)
{
    if (value < 0 || std::isnan(value))
        vb::raise(vb::errBadPropertyValue);
}

// Lengths between the container's units and device pixels.
double toPixelsX(const PictureBox* box, double w) { return box->toDevice(w, 0).x() - box->toDevice(0, 0).x(); }
double toPixelsY(const PictureBox* box, double h) { return box->toDevice(0, h).y() - box->toDevice(0, 0).y(); }
double toUnitsX(const PictureBox* box, double px) { return box->fromDevice(QPointF(px, 0)).x() - box->fromDevice(QPointF(0, 0)).x(); }
double toUnitsY(const PictureBox* box, double px) { return box->fromDevice(QPointF(0, px)).y() - box->fromDevice(QPointF(0, 0)).y(); }

// The runtime's raster operations as painter composition modes; false for
// the mode that leaves the destination alone.
bool setDrawMode(QPainter& painter, int drawMode)
{
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (drawMode) {
    case vbBlackness: mode = QPainter::RasterOp_ClearDestination; break;
    case vbNotMergePen: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case vbMaskNotPen: mode = QPainter::RasterOp_NotSourceAndDestination; break;
    case vbNotCopyPen: mode = QPainter::RasterOp_NotSource; break;
    case vbMaskPenNot: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case vbInvert: mode = QPainter::RasterOp_NotDestination; break;
    case vbXorPen: mode = QPainter::RasterOp_SourceXorDestination; break;
    case vbNotMaskPen: mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case vbMaskPen: mode = QPainter::RasterOp_SourceAndDestination; break;
    case vbNotXorPen: mode = QPainter::RasterOp_NotSourceXorDestination; break;
    case vbNop: return false;
    case vbMergeNotPen: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case vbMergePen: mode = QPainter::RasterOp_SourceOrDestination; break;
    case vbMergePenNot: mode = QPainter::RasterOp_SourceOrNotDestination; break;
    case vbWhiteness: mode = QPainter::RasterOp_SetDestination; break;
    default: break;  // vbCopyPen
    }
    painter.setCompositionMode(mode);
    painter.setRenderHint(QPainter::Antialiasing, false);
    return true;
}

// On and off lengths in pixels of the styled lines (dash, dot, dash-dot,
// dash-dot-dot); empty for solid. Styles exist only one pixel wide.
const std::vector<int>& stylePattern(int borderStyle)
{
    static const std::vector<int> solid, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3};
    switch (borderStyle) {
    case 2: return dash;
    case 3: return dot;
    case 4: return dashDot;
    case 5: return dashDotDot;
    default: return solid;
    }
}

bool patternOn(const std::vector<int>& pattern, int step)
{
    if (pattern.empty())
        return true;
    int period = 0;
    for (int length : pattern)
        period += length;
    int at = step % period;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (at < pattern[i])
            return i % 2 == 0;
        at -= pattern[i];
    }
    return true;
}

// The pixels of a one-pixel line from a to b, b itself left out as the
// system's line drawing leaves it; `step` carries the style pattern over
// joined segments. The pixels are worked out here rather than by the
// painter, whose clipping would shift them: any part of the box must render
// exactly as the whole.
void plotLine(QPoint a, QPoint b, const std::vector<int>& pattern, int& step, QPolygon& out)
{
    const int dx = std::abs(b.x() - a.x()), dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    int error = dx + dy;
    for (QPoint p = a; p != b; ++step) {
        if (patternOn(pattern, step))
            out << p;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.ry() += sy;
        }
    }
}

void drawPixels(QPainter& painter, const QPolygon& pixels, qint32 color)
{
    QPen pen(toQColor(color), 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawPoints(pixels);
}

// Screen fonts come in whole pixels (10.5 pt is 14 px at 96 dpi), the same
// rounding the drawing surface uses, so a label looks alike on the box and
// burnt into the exported picture.
QFont pixelFont(const QFont& font)
{
    return devicePixelFont(font, font.pointSizeF(), 96);
}

// The 3D label edge, two pixels sunk, in whole-pixel strips so that it
// comes out the same whichever part of the box is rendered.
void drawSunkenEdge(QPainter& painter, const QRect& r)
{
    const QPalette palette = QApplication::palette();
    auto strip = [&](int x, int y, int w, int h, QPalette::ColorRole role) {
        painter.fillRect(QRect(x, y, w, h), palette.color(QPalette::Active, role));
    };
    const int l = r.left(), t = r.top(), w = r.width(), h = r.height();
    strip(l, t, w - 1, 1, QPalette::Dark);                 // outer top and left
    strip(l, t + 1, 1, h - 2, QPalette::Dark);
    strip(l + 1, t + 1, w - 3, 1, QPalette::Shadow);       // inner top and left
    strip(l + 1, t + 2, 1, h - 4, QPalette::Shadow);
    strip(l, t + h - 1, w, 1, QPalette::Light);            // outer bottom and right
    strip(l + w - 1, t, 1, h - 1, QPalette::Light);
    strip(l + 1, t + h - 2, w - 2, 1, QPalette::Midlight);  // inner bottom and right
    strip(l + w - 2, t + 1, 1, h - 3, QPalette::Midlight);
}

}  // namespace

// --- Element ----------------------------------------------------------------

Element::Element(PictureBox* container) : m_container(container), m_sequence(nextSequence())
{
    if (m_container)
        m_container->addElement(this);
}

Element::~Element()
{
    if (m_container) {
        // A stale element's place is covered by the paint still to come.
        if (!m_boundsStale)
            m_container->invalidate(m_lastBounds);
        m_container->removeElement(this);
    }
}

void Element::changed()
{
    propertiesChanged();
    if (!m_container)
        return;
    if (!m_container->takesRepaints()) {
        if (!m_boundsStale) {
            m_boundsStale = true;
            m_container->markStale();
        }
        return;
    }
    if (m_boundsStale) {
        // Changed before while nothing could be repainted: the paint that
        // is pending since then covers the old place.
        m_boundsStale = false;
        m_container->unmarkStale();
        m_lastBounds = QRectF();
    }
    const QRectF now = Visible ? deviceBounds() : QRectF();
    if (!m_lastBounds.isEmpty())
        m_container->invalidate(m_lastBounds);
    if (!now.isEmpty() && now != m_lastBounds)
        m_container->invalidate(now);
    m_lastBounds = now;
}

// --- LineElement ------------------------------------------------------------

LineElement::LineElement(PictureBox* container) : Element(container) {}

QRectF LineElement::deviceBounds() const
{
    if (!m_container)
        return {};
    const QPointF a = m_container->toDevice(X1, Y1);
    const QPointF b = m_container->toDevice(X2, Y2);
    const double margin = std::max(1, BorderWidth.get()) / 2.0 + 2;
    return QRectF(a, b).normalized().adjusted(-margin, -margin, margin, margin);
}

void LineElement::paint(QPainter& painter) const
{
    if (!m_container || BorderStyle == 0)
        return;
    painter.save();
    if (setDrawMode(painter, DrawMode)) {
        const int width = std::max(1, BorderWidth.get());
        const QPointF a = m_container->toDevice(X1, Y1), b = m_container->toDevice(X2, Y2);
        if (width == 1) {
            QPolygon pixels;
            int step = 0;
            plotLine(a.toPoint(), b.toPoint(), stylePattern(BorderStyle), step, pixels);
            drawPixels(painter, pixels, BorderColor);
        } else {
            QPen pen(toQColor(BorderColor), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            painter.setPen(pen);
            painter.drawLine(a, b);
        }
    }
    painter.restore();
}

void LineElement::copyFrom(const Element& other)
{
    const auto& o = dynamic_cast<const LineElement&>(other);
    Tag = o.Tag;
    X1 = o.X1.get();
    Y1 = o.Y1.get();
    X2 = o.X2.get();
    Y2 = o.Y2.get();
    BorderColor = o.BorderColor.get();
    BorderStyle = o.BorderStyle.get();
    BorderWidth = o.BorderWidth.get();
    DrawMode = o.DrawMode.get();
    Visible = o.Visible.get();
}

// --- ShapeElement -----------------------------------------------------------

ShapeElement::ShapeElement(PictureBox* container) : Element(container) {}

void ShapeElement::setWidth(float w)
{
    checkSize(w);
    if (w == m_width)
        return;
    m_width = w;
    changed();
}

void ShapeElement::setHeight(float h)
{
    checkSize(h);
    if (h == m_height)
        return;
    m_height = h;
    changed();
}

void ShapeElement::Move(float left, float top, float width, float height)
{
    checkSize(width);
    checkSize(height);
    Left = left;
    Top = top;
    setWidth(width);
    setHeight(height);
}

QRectF ShapeElement::deviceRect() const
{
    if (!m_container)
        return {};
    const QPointF a = m_container->toDevice(Left, Top);
    const QPointF b = m_container->toDevice(Left + m_width, Top + m_height);
    return QRectF(a, b).normalized();
}

QRectF ShapeElement::deviceBounds() const
{
    return m_container ? deviceRect().adjusted(-2, -2, 2, 2) : QRectF();
}

void ShapeElement::paint(QPainter& painter) const
{
    if (!m_container)
        return;
    QRectF box = QRectF(deviceRect().toRect());
    const int kind = Shape;
    if (kind == 1 || kind == 3 || kind == 5) {  // squares and circles: the smaller side, centred
        const double side = std::min(box.width(), box.height());
        box = QRectF(std::round(box.center().x() - side / 2), std::round(box.center().y() - side / 2), side, side);
    }
    if (box.isEmpty())
        return;
    const bool ellipse = kind == 2 || kind == 3;
    const bool rounded = kind == 4 || kind == 5;
    const double radius = std::min(box.width(), box.height()) / 6;
    auto outline = [&](const QRectF& r, double inset) {
        QPainterPath path;
        if (ellipse)
            path.addEllipse(r);
        else if (rounded)
            path.addRoundedRect(r, std::max(0.0, radius - inset), std::max(0.0, radius - inset));
        else
            path.addRect(r);
        return path;
    };

    const int border = BorderStyle == 0 ? 0 : std::max(1, BorderWidth.get());
    const bool styled = border == 1 && !stylePattern(BorderStyle).empty();
    const QRectF innerBox = box.adjusted(border, border, -border, -border);
    // The inside and the border never share a pixel, so an exclusive-or
    // shape comes off again when it is drawn a second time.
    const QPainterPath inside = border ? outline(innerBox, border) : outline(box, 0);

    painter.save();
    if (setDrawMode(painter, DrawMode)) {
        painter.setPen(Qt::NoPen);
        if (BackStyle == 1)
            painter.fillPath(inside, toQColor(BackColor));
        if (const Qt::BrushStyle pattern = fillPattern(FillStyle); pattern != Qt::NoBrush)
            painter.fillPath(inside, QBrush(toQColor(FillColor), pattern));
        if (border && styled) {
            QPolygon pixels;
            int step = 0;
            for (const QPolygonF& part : outline(box.adjusted(0, 0, -1, -1), 0).toSubpathPolygons()) {
                for (qsizetype i = 1; i < part.size(); ++i)
                    plotLine(part[i - 1].toPoint(), part[i].toPoint(), stylePattern(BorderStyle), step, pixels);
            }
            // A curve flattened to short pieces may pass a pixel twice: once is enough.
            std::sort(pixels.begin(), pixels.end(),
                      [](QPoint p, QPoint q) { return p.y() != q.y() ? p.y() < q.y() : p.x() < q.x(); });
            pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
            drawPixels(painter, pixels, BorderColor);
        } else if (border) {
            QPainterPath ring = outline(box, 0);
            ring.addPath(inside);
            ring.setFillRule(Qt::OddEvenFill);
            painter.fillPath(ring, toQColor(BorderColor));
        }
    }
    painter.restore();
}

void ShapeElement::copyFrom(const Element& other)
{
    const auto& o = dynamic_cast<const ShapeElement&>(other);
    Tag = o.Tag;
    Left = o.Left.get();
    Top = o.Top.get();
    m_width = o.m_width;
    m_height = o.m_height;
    Shape = o.Shape.get();
    BackColor = o.BackColor.get();
    BackStyle = o.BackStyle.get();
    BorderColor = o.BorderColor.get();
    BorderStyle = o.BorderStyle.get();
    BorderWidth = o.BorderWidth.get();
    FillColor = o.FillColor.get();
    FillStyle = o.FillStyle.get();
    DrawMode = o.DrawMode.get();
    Visible = o.Visible.get();
    changed();
}

// --- LabelElement -----------------------------------------------------------

LabelElement::LabelElement(PictureBox* container) : Element(container) {}

QFont LabelElement::font() const
{
    QFont f;
    if (!FontName.get().isEmpty())
        f.setFamily(FontName);
    f.setPointSizeF(FontSize > 0 ? FontSize.get() : 9.0);
    f.setBold(FontBold);
    f.setItalic(FontItalic);
    f.setUnderline(FontUnderline);
    f.setStrikeOut(FontStrikethrough);
    return f;
}

int LabelElement::borderPixels() const
{
    if (BorderStyle != 1)
        return 0;
    return Appearance == 1 ? 2 : 1;
}

// The runtime sizes an automatic label in whole pixels around its caption;
// with WordWrap the width stays and the caption wraps inside it.
QSizeF LabelElement::autoSizePixels() const
{
    if (m_measured)
        return m_autoSize;
    m_autoSize = measurePixels(font());
    m_measured = true;
    return m_autoSize;
}

QSizeF LabelElement::measurePixels(const QFont& textFont) const
{
    const QFontMetricsF metrics(pixelFont(textFont));
    const int border = borderPixels();
    double textWidth = 0;
    double textHeight = 0;
    if (WordWrap && m_container) {
        textWidth = std::max(0.0, std::round(toPixelsX(m_container, m_width)) - 2 * border);
        const QRectF r = metrics.boundingRect(QRectF(0, 0, textWidth, 1e6), Qt::TextWordWrap, Caption);
        textHeight = r.height();
    } else {
        const QRectF r = metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), 0, Caption);
        textWidth = std::ceil(r.width());
        textHeight = r.height();
    }
    textHeight = std::ceil(std::max(textHeight, metrics.height()));
    return QSizeF(textWidth + 2 * border, textHeight + 2 * border);
}

QSizeF LabelElement::sizeAtFontSize(double size) const
{
    QFont f = font();
    f.setPointSizeF(size > 0 ? size : 9.0);
    QSizeF result(m_width, m_height);
    if (AutoSize && m_container) {
        const QSizeF measured = measurePixels(f);
        if (!WordWrap)
            result.setWidth(toUnitsX(m_container, measured.width()));
        result.setHeight(toUnitsY(m_container, measured.height()));
    }
    return QSizeF(float(result.width()), float(result.height()));
}

float LabelElement::Width() const
{
    if (AutoSize && !WordWrap && m_container)
        return float(toUnitsX(m_container, autoSizePixels().width()));
    return m_width;
}

float LabelElement::Height() const
{
    if (AutoSize && m_container)
        return float(toUnitsY(m_container, autoSizePixels().height()));
    return m_height;
}

void LabelElement::setWidth(float w)
{
    checkSize(w);
    if (w == m_width)
        return;
    m_width = w;
    changed();
}

void LabelElement::setHeight(float h)
{
    checkSize(h);
    if (h == m_height)
        return;
    m_height = h;
    changed();
}

void LabelElement::Move(float left, float top)
{
    Left = left;
    Top = top;
}

QRectF LabelElement::deviceRect() const
{
    if (!m_container)
        return {};
    const QPointF topLeft = m_container->toDevice(Left, Top);
    QSizeF size(toPixelsX(m_container, m_width), toPixelsY(m_container, m_height));
    if (AutoSize) {
        const QSizeF measured = autoSizePixels();
        size.setHeight(measured.height());
        if (!WordWrap)
            size.setWidth(measured.width());
    }
    return QRectF(topLeft, size);
}

QRectF LabelElement::deviceBounds() const
{
    return m_container ? deviceRect().adjusted(-1, -1, 1, 1) : QRectF();
}

void LabelElement::paint(QPainter& painter) const
{
    if (!m_container)
        return;
    const QRect box = deviceRect().toRect();
    if (box.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (BackStyle == 1)
        painter.fillRect(box, toQColor(BackColor));
    const int border = borderPixels();
    if (border == 2) {
        drawSunkenEdge(painter, box);
    } else if (border == 1) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
    if (!Caption.get().isEmpty()) {
        int flags = Qt::AlignTop | Qt::TextWordWrap;
        switch (Alignment) {
        case 1: flags |= Qt::AlignRight; break;
        case 2: flags |= Qt::AlignHCenter; break;
        default: flags |= Qt::AlignLeft; break;
        }
        painter.setFont(pixelFont(font()));
        painter.setPen(toQColor(ForeColor));
        painter.setClipRect(box, Qt::IntersectClip);
        painter.drawText(box.adjusted(border, border, -border, -border), flags, Caption);
    }
    painter.restore();
}

void LabelElement::copyFrom(const Element& other)
{
    const auto& o = dynamic_cast<const LabelElement&>(other);
    Tag = o.Tag;
    Caption = o.Caption.get();
    ToolTipText = o.ToolTipText.get();
    Alignment = o.Alignment.get();
    Appearance = o.Appearance.get();
    BorderStyle = o.BorderStyle.get();
    BackStyle = o.BackStyle.get();
    ForeColor = o.ForeColor.get();
    BackColor = o.BackColor.get();
    FontName = o.FontName.get();
    FontSize = o.FontSize.get();
    FontBold = o.FontBold.get();
    FontItalic = o.FontItalic.get();
    FontUnderline = o.FontUnderline.get();
    FontStrikethrough = o.FontStrikethrough.get();
    AutoSize = o.AutoSize.get();
    WordWrap = o.WordWrap.get();
    Left = o.Left.get();
    Top = o.Top.get();
    m_width = o.m_width;
    m_height = o.m_height;
    Visible = o.Visible.get();
    changed();
}

}  // namespace platform
