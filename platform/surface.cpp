// The drawing model's state and coordinates: every call becomes a command in
// device pixels; painting is in surface_render.cpp.

#include "platform/surface.h"

#include "platform/vberror.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <numbers>

namespace platform {

namespace {

constexpr double twipsPerInch = 1440;
constexpr qint32 useForeColor = -1;

[[noreturn]] void invalidProperty()
{
    vb::raise(vb::errBadPropertyValue);
}

// A zero-sized device still needs a finite unit size.
double extent(double pixels)
{
    return pixels >= 1 ? pixels : 1;
}

QStringList textLines(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return text.split(breaks);
}

}  // namespace

Qt::BrushStyle fillPattern(int fillStyle)
{
    // Qt's forward diagonal falls to the right on a y-down device, its
    // backward diagonal rises.
    switch (fillStyle) {
    case 0: return Qt::SolidPattern;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::FDiagPattern;
    case 5: return Qt::BDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
    }
}

// --- coordinates -------------------------------------------------------------

double DrawSurface::unitsPerInch(int mode, bool horizontal) const
{
    switch (mode) {
    case vbUser: return m_scaleMode == vbUser ? (horizontal ? m_userX * dpiX() : m_userY * dpiY())
                                              : unitsPerInch(m_scaleMode, horizontal);
    case vbTwips: return twipsPerInch;
    case vbPoints: return 72;
    case vbPixels: return horizontal ? dpiX() : dpiY();
    case vbCharacters: return twipsPerInch / (horizontal ? 120 : 240);
    case vbInches: return 1;
    case vbMillimeters: return 25.4;
    case vbCentimeters: return 2.54;
    case vbHimetric: return 2540;
    default: vb::raise(vb::errInvalidCall);
    }
}

double DrawSurface::unitsPerPixel(bool horizontal) const
{
    if (m_scaleMode == vbUser)
        return horizontal ? m_userX : m_userY;
    return unitsPerInch(m_scaleMode, horizontal) / (horizontal ? dpiX() : dpiY());
}

void DrawSurface::becomeUser()
{
    if (m_scaleMode == vbUser)
        return;
    m_userX = unitsPerPixel(true);
    m_userY = unitsPerPixel(false);
    m_scaleMode = vbUser;
}

void DrawSurface::setScaleMode(int mode)
{
    if (mode < vbUser || mode > vbHimetric)
        invalidProperty();
    if (mode == vbUser) {
        becomeUser();
        return;
    }
    m_scaleMode = mode;
    resetWindow();
}

void DrawSurface::resetWindow()
{
    if (m_scaleMode == vbUser)
        return;
    m_left = 0;
    m_top = 0;
}

double DrawSurface::ScaleWidth() const
{
    return unitsPerPixel(true) * extent(deviceSize().width());
}

double DrawSurface::ScaleHeight() const
{
    return unitsPerPixel(false) * extent(deviceSize().height());
}

void DrawSurface::setScaleLeft(double v)
{
    becomeUser();
    m_left = v;
}

void DrawSurface::setScaleTop(double v)
{
    becomeUser();
    m_top = v;
}

void DrawSurface::setScaleWidth(double v)
{
    if (v == 0 || !std::isfinite(v))
        invalidProperty();
    becomeUser();
    m_userX = v / extent(deviceSize().width());
}

void DrawSurface::setScaleHeight(double v)
{
    if (v == 0 || !std::isfinite(v))
        invalidProperty();
    becomeUser();
    m_userY = v / extent(deviceSize().height());
}

void DrawSurface::Scale(double x1, double y1, double x2, double y2)
{
    if (x1 == x2 || y1 == y2 || !std::isfinite(x2 - x1) || !std::isfinite(y2 - y1))
        vb::raise(vb::errInvalidCall);
    m_scaleMode = vbUser;
    m_left = x1;
    m_top = y1;
    m_userX = (x2 - x1) / extent(deviceSize().width());
    m_userY = (y2 - y1) / extent(deviceSize().height());
}

void DrawSurface::Scale()
{
    m_scaleMode = vbTwips;
    resetWindow();
}

double DrawSurface::ScaleX(double value, int fromMode, int toMode) const
{
    return value * unitsPerInch(toMode, true) / unitsPerInch(fromMode, true);
}

double DrawSurface::ScaleY(double value, int fromMode, int toMode) const
{
    return value * unitsPerInch(toMode, false) / unitsPerInch(fromMode, false);
}

QPointF DrawSurface::toDevice(double x, double y) const
{
    return {(x - m_left) / unitsPerPixel(true), (y - m_top) / unitsPerPixel(false)};
}

QPointF DrawSurface::fromDevice(const QPointF& device) const
{
    return {m_left + device.x() * unitsPerPixel(true), m_top + device.y() * unitsPerPixel(false)};
}

// --- operations --------------------------------------------------------------

QFont devicePixelFont(QFont font, double points, double dpi)
{
    font.setPixelSize(std::max(1, int(std::lround(points * dpi / 72))));
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

QFont DrawSurface::currentFont() const
{
    QFont font;
    if (!FontName.isEmpty())
        font.setFamily(FontName);
    // Pixel sizes keep the text the same whatever the painting device's own dpi.
    font = devicePixelFont(font, FontSize, dpiY());
    font.setBold(FontBold);
    font.setItalic(FontItalic);
    font.setUnderline(FontUnderline);
    font.setStrikeOut(FontStrikethru);
    return font;
}

DrawCommand DrawSurface::stamped(DrawCommand::Kind kind) const
{
    DrawCommand c;
    c.kind = kind;
    c.color = ForeColor;
    c.drawMode = DrawMode;
    c.drawStyle = DrawStyle;
    c.penWidth = std::max(1, DrawWidth);
    c.fillStyle = FillStyle;
    c.fillColor = FillColor;
    c.fontTransparent = FontTransparent;
    c.backColor = BackColor;
    if (kind == DrawCommand::Text)
        c.font = currentFont();
    return c;
}

void DrawSurface::Line(double x1, double y1, double x2, double y2, qint32 color, LineBox box)
{
    DrawCommand c = stamped(box == LineBox::None ? DrawCommand::Segment : DrawCommand::Box);
    if (color != useForeColor)
        c.color = color;
    c.p1 = toDevice(x1, y1);
    c.p2 = toDevice(x2, y2);
    c.rect = QRectF(c.p1, c.p2).normalized();
    c.filledWithPen = box == LineBox::BF;
    CurrentX = x2;
    CurrentY = y2;
    execute(c);
}

void DrawSurface::Circle(double x, double y, double radius, qint32 color, double start, double end,
                         double aspect)
{
    constexpr double fullTurn = 2 * std::numbers::pi;
    const auto badAngle = [](double a) { return !std::isnan(a) && !(std::abs(a) <= fullTurn); };
    if (!std::isfinite(radius) || !std::isfinite(aspect) || aspect < 0 || badAngle(start) || badAngle(end))
        vb::raise(vb::errInvalidCall);
    DrawCommand c = stamped(DrawCommand::Ellipse);
    if (color != useForeColor)
        c.color = color;
    // The radius is measured along the axis it names, the aspect in device terms.
    double rx, ry;
    if (aspect < 1) {
        rx = std::abs(radius / unitsPerPixel(true));
        ry = rx * aspect;
    } else {
        ry = std::abs(radius / unitsPerPixel(false));
        rx = ry / aspect;
    }
    const QPointF centre = toDevice(x, y);
    c.rect = QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    // One limit alone runs from 0 or to a full turn.
    if (!std::isnan(start) || !std::isnan(end)) {
        c.startAngle = std::isnan(start) ? 0.0 : start;
        c.endAngle = std::isnan(end) ? fullTurn : end;
    }
    CurrentX = x;
    CurrentY = y;
    execute(c);
}

double DrawSurface::TextWidth(const QString& text) const
{
    const QFontMetricsF metrics(currentFont());
    double widest = 0;
    for (const QString& line : textLines(text))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest * unitsPerPixel(true);
}

double DrawSurface::TextHeight(const QString& text) const
{
    const QFontMetricsF metrics(currentFont());
    return textLines(text).size() * metrics.lineSpacing() * unitsPerPixel(false);
}

void DrawSurface::Print(const QString& text)
{
    DrawCommand c = stamped(DrawCommand::Text);
    c.text = text;
    const QPointF origin = toDevice(CurrentX, CurrentY);
    c.rect = QRectF(origin.x(), origin.y(), TextWidth(text) / unitsPerPixel(true),
                    TextHeight(text) / unitsPerPixel(false));
    CurrentX = m_left;
    CurrentY += TextHeight(text);
    if (!text.isEmpty())
        execute(c);
}

void DrawSurface::PaintPicture(const SharedImage& picture, double x, double y, double width, double height,
                               double sx, double sy, double sw, double sh)
{
    if (!picture || picture->isNull())
        vb::raise(vb::errInvalidCall);
    const QRectF whole(QPointF(0, 0), QSizeF(picture->size()));
    QRectF source = sw < 0 || sh < 0 ? whole : QRectF(sx, sy, sw, sh);
    QRectF target = QRectF(toDevice(x, y), toDevice(x + width, y + height)).normalized();
    if (source.isEmpty() || target.isEmpty())
        return;
    // A source reaching past the picture keeps only its inside and the part
    // of the target that shows it, so that the mapping stays exact.
    const QRectF inside = source.intersected(whole);
    if (inside.isEmpty())
        return;
    const double kx = target.width() / source.width(), ky = target.height() / source.height();
    target = QRectF(target.x() + (inside.x() - source.x()) * kx, target.y() + (inside.y() - source.y()) * ky,
                    inside.width() * kx, inside.height() * ky);
    DrawCommand c = stamped(DrawCommand::Picture);
    c.picture = picture;
    c.source = inside;
    c.rect = target;
    execute(c);
}

void DrawSurface::Cls()
{
    CurrentX = 0;
    CurrentY = 0;
    execute(stamped(DrawCommand::Clear));
}

// --- the picture box's layer -----------------------------------------------

PictureLayer::PictureLayer(std::function<QSizeF()> deviceSize) : m_deviceSize(std::move(deviceSize)) {}

QSizeF PictureLayer::deviceSize() const
{
    return m_deviceSize ? m_deviceSize() : QSizeF();
}

void PictureLayer::execute(const DrawCommand& command)
{
    QRectF touched;
    if (command.kind == DrawCommand::Clear) {
        m_commands.clear();
        touched = QRectF(QPointF(0, 0), deviceSize());
    } else {
        m_commands.push_back(command);
        touched = command.bounds();
    }
    if (changed)
        changed(touched);
}

void PictureLayer::render(QPainter& painter, const QRectF& device) const
{
    painter.save();
    painter.setClipRect(device, Qt::IntersectClip);
    for (const DrawCommand& command : m_commands) {
        if (command.bounds().intersects(device))
            renderCommand(painter, command);
    }
    painter.restore();
}

}  // namespace platform
