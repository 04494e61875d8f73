// Painting one drawing command: pens and fills as the runtime's GDI drew
// them (aliased, cosmetic widths, dash patterns only on thin pens, 8-pixel
// hatches) and its sixteen raster operations.

#include "platform/colors.h"
#include "platform/surface.h"
#include "platform/surface_paint.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace platform {

namespace {

using namespace paint;

double snap(double v)
{
    return std::floor(v + 0.5);
}

QPointF snap(const QPointF& p)
{
    return {snap(p.x()), snap(p.y())};
}

// The composition mode for a raster operation; none for the no-operation.
std::optional<QPainter::CompositionMode> rasterOp(int drawMode)
{
    using CM = QPainter::CompositionMode;
    switch (drawMode) {
    case vbBlackness: return CM::RasterOp_ClearDestination;
    case vbNotMergePen: return CM::RasterOp_NotSourceAndNotDestination;
    case vbMaskNotPen: return CM::RasterOp_NotSourceAndDestination;
    case vbNotCopyPen: return CM::RasterOp_NotSource;
    case vbMaskPenNot: return CM::RasterOp_SourceAndNotDestination;
    case vbInvert: return CM::RasterOp_NotDestination;
    case vbXorPen: return CM::RasterOp_SourceXorDestination;
    case vbNotMaskPen: return CM::RasterOp_NotSourceOrNotDestination;
    case vbMaskPen: return CM::RasterOp_SourceAndDestination;
    case vbNotXorPen: return CM::RasterOp_NotSourceXorDestination;
    case vbNop: return std::nullopt;
    case vbMergeNotPen: return CM::RasterOp_NotSourceOrDestination;
    case vbMergePen: return CM::RasterOp_SourceOrDestination;
    case vbMergePenNot: return CM::RasterOp_SourceOrNotDestination;
    case vbWhiteness: return CM::RasterOp_SetDestination;
    default: return CM::CompositionMode_SourceOver;  // the copy pen
    }
}

// Wide pens are solid with round ends and joins; a one-pixel pen (width 1
// here) is drawn by ThinOutline, which carries the dash patterns.
QPen makePen(const DrawCommand& c)
{
    if (c.drawStyle == styleNone)
        return QPen(Qt::NoPen);
    QPen pen(toQColor(c.color));
    pen.setCosmetic(true);
    pen.setWidth(penPixels(c));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A device point as a whole pixel; coordinates far beyond any device are
// held back so that the integer arithmetic stays safe.
QPoint pixel(const QPointF& p)
{
    constexpr double limit = 1e9;  // keeps 2 * steps * delta within 64 bits
    return {int(std::clamp(snap(p.x()), -limit, limit)), int(std::clamp(snap(p.y()), -limit, limit))};
}

// a / b rounded down, b > 0.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// One-pixel outlines are rasterised here rather than by QPainter, whose
// thin lines and dash phases change with the clip: so a tile shows the
// pixels of the whole, every pixel is met once (raster operations), and a
// segment leaves out its end pixel as GDI's line drawing does. Only the
// steps inside `area` are visited, however long the line.
class ThinOutline {
public:
    ThinOutline(std::vector<int> dashes, const QRect& area) : m_dashes(std::move(dashes)), m_area(area)
    {
        for (int d : m_dashes)
            m_period += d;
    }

    // The line from a to b without b: one pixel per step along the major
    // axis, the minor coordinate rounded to the nearest pixel.
    void segment(const QPoint& a, const QPoint& b)
    {
        const qint64 dx = b.x() - a.x(), dy = b.y() - a.y();
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const qint64 steps = std::max(std::abs(dx), std::abs(dy));
        if (steps == 0)
            return;
        const qint64 major0 = xMajor ? a.x() : a.y(), minor0 = xMajor ? a.y() : a.x();
        const qint64 minorDelta = xMajor ? dy : dx;
        const int direction = (xMajor ? dx : dy) > 0 ? 1 : -1;
        const qint64 low = xMajor ? m_area.left() : m_area.top(), high = xMajor ? m_area.right() : m_area.bottom();
        qint64 first = direction > 0 ? low - major0 : major0 - high;
        qint64 last = direction > 0 ? high - major0 : major0 - low;
        first = std::max<qint64>(first, 0);
        last = std::min(last, steps - 1);
        auto minorAt = [&](qint64 i) { return minor0 + floorDiv(2 * i * minorDelta + steps, 2 * steps); };
        // The minor coordinate moves one way only, so the steps inside the
        // area's minor range are one run: find its ends by halving.
        const qint64 minorLow = xMajor ? m_area.top() : m_area.left();
        const qint64 minorHigh = xMajor ? m_area.bottom() : m_area.right();
        auto entered = [&](qint64 i) { return minorDelta >= 0 ? minorAt(i) >= minorLow : minorAt(i) <= minorHigh; };
        auto notLeft = [&](qint64 i) { return minorDelta >= 0 ? minorAt(i) <= minorHigh : minorAt(i) >= minorLow; };
        qint64 lo = first, hi = last + 1;
        while (lo < hi) {  // the first step inside
            const qint64 mid = lo + (hi - lo) / 2;
            if (entered(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        first = lo;
        hi = last + 1;
        while (lo < hi) {  // the first step beyond
            const qint64 mid = lo + (hi - lo) / 2;
            if (notLeft(mid))
                lo = mid + 1;
            else
                hi = mid;
        }
        last = lo - 1;
        for (qint64 i = first; i <= last; ++i) {
            if (!penDown(m_step + i))
                continue;
            const int major = int(major0 + direction * i);
            const int minor = int(minorAt(i));
            const QPoint p = xMajor ? QPoint(major, minor) : QPoint(minor, major);
            if (m_area.contains(p))
                m_pixels.push_back(p);
        }
        m_step += steps;
    }

    void path(const QPainterPath& path)
    {
        for (const QPolygonF& polygon : path.toSubpathPolygons()) {
            for (qsizetype i = 1; i < polygon.size(); ++i)
                segment(pixel(polygon[i - 1]), pixel(polygon[i]));
        }
    }

    // Paints the pixels as row runs, each pixel once.
    void paint(QPainter& painter, const QColor& color)
    {
        std::sort(m_pixels.begin(), m_pixels.end(),
                  [](const QPoint& a, const QPoint& b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
        m_pixels.erase(std::unique(m_pixels.begin(), m_pixels.end()), m_pixels.end());
        std::vector<QRect> runs;
        for (const QPoint& p : m_pixels) {
            if (!runs.empty() && runs.back().y() == p.y() && runs.back().right() + 1 == p.x())
                runs.back().setRight(p.x());
            else
                runs.emplace_back(p, QSize(1, 1));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawRects(runs.data(), int(runs.size()));
    }

private:
    bool penDown(qint64 step) const
    {
        if (m_dashes.empty())
            return true;
        qint64 at = step % m_period;
        for (size_t i = 0; i < m_dashes.size(); ++i) {
            if (at < m_dashes[i])
                return i % 2 == 0;
            at -= m_dashes[i];
        }
        return true;
    }

    std::vector<int> m_dashes;
    QRect m_area;
    int m_period = 0;
    qint64 m_step = 0;
    std::vector<QPoint> m_pixels;
};

// The box or ellipse rectangle on whole pixels; an inside-frame pen is moved
// in so that its outer edge lies where a thin pen would draw.
QRectF figureRect(const DrawCommand& c)
{
    QRectF r(snap(c.rect.topLeft()), snap(c.rect.bottomRight()));
    r = r.normalized();
    if (insideFrame(c)) {
        const double inset = std::min({double(penPixels(c) / 2), std::floor(r.width() / 2),
                                       std::floor(r.height() / 2)});
        r.adjust(inset, inset, -inset, -inset);
    }
    return r;
}

// A wide inside-frame pen on a box: whole-pixel strips from the outline inwards.
void paintInsideFrame(QPainter& painter, const DrawCommand& c, const QColor& color)
{
    const QRect outer = QRect(pixel(c.rect.topLeft()), pixel(c.rect.bottomRight())).normalized();
    const int w = penPixels(c);
    QRegion frame(outer);
    frame -= outer.adjusted(w, w, -w, -w);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (const QRect& strip : frame)
        painter.drawRect(strip);
}

// Fill first, then the frame over it; `area` bounds the thin frame's pixels.
void paintFigure(QPainter& painter, const DrawCommand& c, const QPen& pen, const QBrush& brush,
                 const QRect& area)
{
    const bool thin = pen.style() != Qt::NoPen && pen.width() <= 1;
    painter.setPen(thin ? QPen(Qt::NoPen) : pen);
    painter.setBrush(brush);
    ThinOutline outline(dashPattern(c.drawStyle), area);
    switch (c.kind) {
    case DrawCommand::Segment:
        if (thin)
            outline.segment(pixel(c.p1), pixel(c.p2));
        else
            painter.drawLine(snap(c.p1), snap(c.p2));
        break;
    case DrawCommand::Box: {
        const QRectF r = figureRect(c);
        if (insideFrame(c) && pen.style() != Qt::NoPen) {
            painter.setPen(Qt::NoPen);
            painter.drawRect(QRectF(snap(c.rect.topLeft()), snap(c.rect.bottomRight())).normalized());
            paintInsideFrame(painter, c, pen.color());
            break;
        }
        painter.drawRect(r);
        QPainterPath frame;
        frame.addRect(r);
        outline.path(frame);
        break;
    }
    case DrawCommand::Ellipse: {
        const QPainterPath path = ellipsePath(c, figureRect(c));
        painter.drawPath(path);
        outline.path(path);
        break;
    }
    default: break;
    }
    if (thin)
        outline.paint(painter, pen.color());
}

// The pixels a figure image covers, as a clip.
QRegion coveredRegion(const QImage& figure, const QPoint& at)
{
    std::vector<QRect> runs;
    for (int y = 0; y < figure.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(figure.constScanLine(y));
        for (int x = 0; x < figure.width();) {
            if (qAlpha(line[x]) == 0) {
                ++x;
                continue;
            }
            const int begin = x;
            while (x < figure.width() && qAlpha(line[x]) != 0)
                ++x;
            runs.emplace_back(at.x() + begin, at.y() + y, x - begin, 1);
        }
    }
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

void renderFigure(QPainter& painter, const DrawCommand& c)
{
    std::optional<QPainter::CompositionMode> op = rasterOp(c.drawMode);
    if (!op)
        return;
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || !engine->hasFeature(QPaintEngine::RasterOpModes))
        op = QPainter::CompositionMode_SourceOver;
    const QPen pen = makePen(c);
    const QBrush brush = figureBrush(c);
    const bool overlaps = pen.style() != Qt::NoPen && brush.style() != Qt::NoBrush;
    if (*op == QPainter::CompositionMode_SourceOver || !overlaps) {
        painter.setCompositionMode(*op);
        paintFigure(painter, c, pen, brush, exposedArea(painter).toAlignedRect());
        return;
    }
    // Fill and frame overlap; the operation must meet each pixel once, so the
    // figure is first painted plainly and then applied through its own shape.
    const QRect area = c.bounds().toAlignedRect().intersected(exposedArea(painter).toAlignedRect());
    if (area.isEmpty())
        return;
    QImage figure(area.size(), QImage::Format_ARGB32_Premultiplied);
    figure.fill(Qt::transparent);
    {
        QPainter plain(&figure);
        plain.translate(-area.topLeft());
        plain.setBrushOrigin(painter.brushOrigin());
        plain.setCompositionMode(QPainter::CompositionMode_Source);
        paintFigure(plain, c, pen, brush, area);
    }
    painter.setClipRegion(coveredRegion(figure, area.topLeft()), Qt::IntersectClip);
    painter.setCompositionMode(*op);
    painter.drawImage(area.topLeft(), figure);
}

// The source pixels that make up each device pixel along one axis, under
// the whole mapping, so a tile shows exactly the pixels of the whole. When
// enlarging (or at the same size) a device pixel takes the one source pixel
// whose area holds its centre, as the runtime's stretched copy; when reducing
// it takes the average of the source area it covers, each source pixel
// weighted by its share. A device pixel whose centre is off the target takes
// none.
struct Taps {
    std::vector<int> begin;  // per device pixel, into index/weight; one more at the end
    std::vector<int> index;
    std::vector<quint32> weight;  // in 256ths; a device pixel's weights add up to 256
    bool single = true;  // no device pixel takes more than one source pixel
    bool empty(size_t i) const { return begin[i] == begin[i + 1]; }
};

// Scales this close to a whole factor are that factor: the target's size
// passes through single-precision millimetres.
constexpr double kSameSize = 1e-5;

Taps axisTaps(int first, int count, double targetStart, double targetEnd, double sourceStart, double sourceEnd,
              int lowest, int highest)
{
    const double scale = (sourceEnd - sourceStart) / (targetEnd - targetStart);
    Taps taps;
    taps.begin.reserve(size_t(count) + 1);
    for (int i = 0; i < count; ++i) {
        taps.begin.push_back(int(taps.index.size()));
        const double centre = first + i + 0.5;
        if (!(centre >= targetStart && centre < targetEnd))
            continue;
        const int nearest = std::clamp(int(std::floor(sourceStart + (centre - targetStart) * scale)), lowest, highest);
        const double from = std::max({sourceStart + (first + i - targetStart) * scale, sourceStart, double(lowest)});
        const double to = std::min({from + scale, sourceEnd, double(highest) + 1});
        if (scale <= 1 + kSameSize || to <= from) {
            taps.index.push_back(nearest);
            taps.weight.push_back(256);
            continue;
        }
        // Whole 256ths from the running share, so that they add up to 256.
        quint32 given = 0;
        for (int s = int(std::floor(from)); s < to; ++s) {
            const double covered = std::min(to, s + 1.0) - from;
            const auto upTo = quint32(std::lround(256 * covered / (to - from)));
            if (upTo > given) {
                taps.index.push_back(s);
                taps.weight.push_back(upTo - given);
                given = upTo;
            }
        }
        taps.single = taps.single && taps.index.size() - size_t(taps.begin.back()) <= 1;
    }
    taps.begin.push_back(int(taps.index.size()));
    return taps;
}

bool directFormat(const QImage& image)
{
    const QImage::Format format = image.format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// One row of a level halved: each pixel the average of the 2 x 2 it covers
// in rows `upper` and `lower` of `width` pixels; an odd size's last column
// is taken twice.
void halveRow(const QRgb* upper, const QRgb* lower, int width, QRgb* out, int outWidth)
{
    const int right = width - 1;
    for (int x = 0; x < outWidth; ++x) {
        const int a = 2 * x, b = std::min(a + 1, right);
        const QRgb p[4] = {upper[a], upper[b], lower[a], lower[b]};
        const auto mean = [&p](int shift) {
            return ((((p[0] >> shift) & 255) + ((p[1] >> shift) & 255) + ((p[2] >> shift) & 255) +
                     ((p[3] >> shift) & 255) + 2) / 4) << shift;
        };
        out[x] = mean(24) | mean(16) | mean(8) | mean(0);
    }
}

// An image halved `levels` times in turn, made row by row: each row of a
// level comes from two rows of the level above, so no whole copy of a level
// between is kept, only two rows of each. An odd size's last row is taken
// twice.
class Halving {
public:
    Halving(const QImage& image, int levels) : m_image(image), m_sizes(size_t(levels) + 1)
    {
        m_sizes[0] = image.size();
        for (size_t k = 1; k < m_sizes.size(); ++k)
            m_sizes[k] = QSize((m_sizes[k - 1].width() + 1) / 2, (m_sizes[k - 1].height() + 1) / 2);
        for (size_t k = 1; k + 1 < m_sizes.size(); ++k)
            m_rows.emplace_back(size_t(2 * m_sizes[k].width()));
    }

    QImage result()
    {
        const int levels = int(m_sizes.size()) - 1;
        QImage out(m_sizes.back(), m_image.format());
        for (int y = 0; y < out.height(); ++y)
            row(levels, y, reinterpret_cast<QRgb*>(out.scanLine(y)));
        return out;
    }

private:
    // Row y of level k (k >= 1) into `out`.
    void row(int k, int y, QRgb* out)
    {
        const QSize above = m_sizes[size_t(k - 1)];
        const int first = 2 * y, second = std::min(first + 1, above.height() - 1);
        const QRgb *upper, *lower;
        if (k == 1) {
            upper = reinterpret_cast<const QRgb*>(m_image.constScanLine(first));
            lower = reinterpret_cast<const QRgb*>(m_image.constScanLine(second));
        } else {
            QRgb* rows = m_rows[size_t(k - 2)].data();
            row(k - 1, first, rows);
            row(k - 1, second, rows + above.width());
            upper = rows;
            lower = rows + above.width();
        }
        halveRow(upper, lower, above.width(), out, m_sizes[size_t(k)].width());
    }

    const QImage& m_image;
    std::vector<QSize> m_sizes;               // m_sizes[k]: level k, the image itself at 0
    std::vector<std::vector<QRgb>> m_rows;    // m_rows[k - 1]: two rows of level k, between the ends
};

// Reduced copies of the last picture reduced, each made when first needed
// and only at the reduction asked for (a print reduces once and keeps one
// small copy, not every halving above it), so a strong reduction averages a
// few pixels of a smaller copy instead of every pixel of the picture.
// Dropped when another picture is reduced, or after the picture itself is
// gone.
struct Reductions {
    QWeakPointer<const QImage> of;
    std::vector<QImage> levels;  // levels[k - 1]: the picture reduced by 2^k, or null
};

// The picture reduced by 2^level, or the picture itself (`level` 0) when the
// copy cannot be made.
const QImage& reduced(const SharedImage& picture, int& level)
{
    static Reductions cache;
    if (cache.of.toStrongRef() != picture) {
        cache.levels.clear();
        cache.of = picture.toWeakRef();
    }
    if (int(cache.levels.size()) < level)
        cache.levels.resize(size_t(level));
    QImage& wanted = cache.levels[size_t(level - 1)];
    if (wanted.isNull()) {
        // From the smallest copy made already that is still larger.
        int from = level - 1;
        while (from > 0 && cache.levels[size_t(from - 1)].isNull())
            --from;
        wanted = Halving(from == 0 ? *picture : cache.levels[size_t(from - 1)], level - from).result();
    }
    if (wanted.isNull()) {
        level = 0;
        return *picture;
    }
    return wanted;
}

// Only the exposed part is scaled, each pixel from the whole mapping (QPainter's
// own scaling steps in fixed point from the rectangle it is given, which
// differs from tile to tile). Reduced pixels are area averages, so a scan's
// fine grid and lettering do not turn into moire; at 100 % and above every
// pixel is a picture pixel.
void renderPicture(QPainter& painter, const DrawCommand& c)
{
    if (!c.picture || c.picture->isNull() || c.source.isEmpty() || c.rect.isEmpty())
        return;
    const QRectF target = c.rect;
    const QRect visible = target.toAlignedRect().intersected(exposedArea(painter).toAlignedRect());
    if (visible.isEmpty())
        return;
    QRectF source = c.source;
    // A strong reduction starts from a halved copy: the largest one that is
    // still at least as large as the target.
    int level = 0;
    const double reduction = std::min(source.width() / target.width(), source.height() / target.height());
    if (directFormat(*c.picture) && reduction >= 2 - kSameSize)
        level = int(std::floor(std::log2(reduction) + kSameSize));
    const QImage& image = level > 0 ? reduced(c.picture, level) : *c.picture;
    if (level > 0) {
        const double k = std::ldexp(1.0, -level);
        source = QRectF(source.x() * k, source.y() * k, source.width() * k, source.height() * k);
    }
    const Taps columns = axisTaps(visible.x(), visible.width(), target.left(), target.right(), source.left(),
                                  source.right(), std::max(0, int(std::floor(source.left()))),
                                  std::min(image.width(), int(std::ceil(source.right()))) - 1);
    const Taps rows = axisTaps(visible.y(), visible.height(), target.top(), target.bottom(), source.top(),
                               source.bottom(), std::max(0, int(std::floor(source.top()))),
                               std::min(image.height(), int(std::ceil(source.bottom()))) - 1);

    const QImage::Format format = image.format();
    const bool direct = directFormat(image);
    QImage part(visible.size(),
                format == QImage::Format_ARGB32 || !direct ? QImage::Format_ARGB32 : QImage::Format_ARGB32_Premultiplied);
    part.fill(Qt::transparent);
    // Averages in whole 256ths, two channels at a time: 0x00RR00BB and
    // 0x00AA00GG times at most 256 keep each channel within its 16 bits.
    constexpr quint32 kPair = 0x00FF00FF, kHalf = 0x00800080;
    const auto average = [](quint32 rb, quint32 ag) {
        return QRgb((((rb + kHalf) >> 8) & kPair) | ((((ag + kHalf) >> 8) & kPair) << 8));
    };
    std::vector<quint32> sumRB(size_t(part.width())), sumAG(size_t(part.width()));
    for (int y = 0; y < part.height(); ++y) {
        if (rows.empty(size_t(y)))
            continue;
        auto* out = reinterpret_cast<QRgb*>(part.scanLine(y));
        const int rowFirst = rows.begin[size_t(y)], rowEnd = rows.begin[size_t(y) + 1];
        if (rowEnd - rowFirst == 1 && columns.single) {
            // Not reduced either way: the picture's pixels themselves.
            const int row = rows.index[size_t(rowFirst)];
            const auto* in = direct ? reinterpret_cast<const QRgb*>(image.constScanLine(row)) : nullptr;
            for (int x = 0; x < part.width(); ++x) {
                if (columns.empty(size_t(x)))
                    continue;
                const int column = columns.index[size_t(columns.begin[size_t(x)])];
                out[x] = in ? in[column] : image.pixel(column, row);
            }
            continue;
        }
        std::fill(sumRB.begin(), sumRB.end(), 0);
        std::fill(sumAG.begin(), sumAG.end(), 0);
        for (int t = rowFirst; t < rowEnd; ++t) {
            const int row = rows.index[size_t(t)];
            const quint32 rowWeight = rows.weight[size_t(t)];
            const auto* in = direct ? reinterpret_cast<const QRgb*>(image.constScanLine(row)) : nullptr;
            for (int x = 0; x < part.width(); ++x) {
                quint32 rb = 0, ag = 0;
                for (int u = columns.begin[size_t(x)]; u < columns.begin[size_t(x) + 1]; ++u) {
                    const int column = columns.index[size_t(u)];
                    const quint32 p = in ? in[column] : image.pixel(column, row);
                    const quint32 w = columns.weight[size_t(u)];
                    rb += (p & kPair) * w;
                    ag += ((p >> 8) & kPair) * w;
                }
                const quint32 a = average(rb, ag);
                sumRB[size_t(x)] += (a & kPair) * rowWeight;
                sumAG[size_t(x)] += ((a >> 8) & kPair) * rowWeight;
            }
        }
        for (int x = 0; x < part.width(); ++x) {
            if (!columns.empty(size_t(x)))
                out[x] = average(sumRB[size_t(x)], sumAG[size_t(x)]);
        }
    }
    painter.drawImage(visible.topLeft(), part);
}

}  // namespace

QRectF DrawCommand::bounds() const
{
    const double margin = penWidth / 2 + 2;
    switch (kind) {
    case Segment: return QRectF(p1, p2).normalized().adjusted(-margin, -margin, margin, margin);
    case Box:
    case Ellipse: return rect.normalized().adjusted(-margin, -margin, margin, margin);
    case Text: {
        // Italic and underlined glyphs may reach past the advance.
        const double overhang = std::max(font.pixelSize(), 1) / 2.0 + 2;
        return rect.normalized().adjusted(-overhang, -2, overhang, 2);
    }
    case Picture: return rect.normalized().adjusted(-1, -1, 1, 1);
    case Clear: return QRectF();
    }
    return QRectF();
}

void renderCommand(QPainter& painter, const DrawCommand& command)
{
    if (!paint::definedPlace(command))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    switch (command.kind) {
    case DrawCommand::Segment:
    case DrawCommand::Box:
    case DrawCommand::Ellipse: renderFigure(painter, command); break;
    case DrawCommand::Text: paint::renderText(painter, command); break;
    case DrawCommand::Picture: renderPicture(painter, command); break;
    case DrawCommand::Clear: break;
    }
    painter.restore();
}

}  // namespace platform
