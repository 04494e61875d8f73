#include "measure/geometry.h"

#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QWidget>
#include <cmath>

namespace mdlSub {

using measure::DegToRad;
using measure::RadToDeg;

typPointS fncRotate_Point(const typPointS& centre, const typPointS& point, double angle)
{
    const typPointD turned = fncRotate_PointD(centre, typPointD{point.sngX, point.sngY}, angle);
    return typPointS{vb::CSng(turned.dblX), vb::CSng(turned.dblY)};
}

typPointD fncRotate_PointD(const typPointS& centre, const typPointD& point, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double cx = centre.sngX;
    const double cy = centre.sngY;
    return typPointD{c * point.dblX - s * point.dblY + (1 - c) * cx + s * cy,
                     s * point.dblX + c * point.dblY + (1 - c) * cy - s * cx};
}

double fncGet_LineAngle(float x1, float y1, float x2, float y2, qint16 inDegrees)
{
    // The differences are taken in single precision, as the points are held.
    const float dx = x1 - x2;
    const float dy = y1 - y2;
    if (dx == 0)
        return inDegrees != 0 ? 90.0 : DegToRad * 90;
    if (dy == 0)
        return 0;
    const double a = std::atan(vb::Divide(dy, dx));
    return inDegrees != 0 ? a * RadToDeg : a;
}

float fncGet_Distance(float x1, float y1, float x2, float y2)
{
    const double dx = double(x2) - x1;
    const double dy = double(y2) - y1;
    return vb::CSng(std::pow(std::pow(dx, 2) + std::pow(dy, 2), 0.5));
}

double fncGet_PolygonArea(std::span<const typPointD> vertices, qint16 n)
{
    if (n < 0)
        return 0;
    if (std::size_t(n) >= vertices.size())
        vb::raise(vb::errSubscript);
    double sum = 0;
    for (int i = 0; i <= n; ++i) {
        const int prev = i == 0 ? n : i - 1;
        const int next = i == n ? 0 : i + 1;
        sum += (vertices[prev].dblX - vertices[next].dblX) * vertices[i].dblY;
    }
    return std::fabs(sum / -2);
}

typPointS fncGet_PointAtDistance(float x1, float y1, float x2, float y2, double d)
{
    const double dx = double(x2) - x1;
    const double dy = double(y2) - y1;
    double x = x1;
    double y = y1;
    if (dx == 0 && dy == 0) {
        // the start itself
    } else if (dx == 0) {
        y = y1 < y2 ? y + d : y - d;
    } else if (dy == 0) {
        x = x1 < x2 ? x + d : x - d;
    } else {
        const double a = std::atan(vb::Divide(dy, dx));
        if (x1 < x2) {
            x += d * std::cos(a);
            y += d * std::sin(a);
        } else {
            x -= d * std::cos(a);
            y -= d * std::sin(a);
        }
    }
    return typPointS{vb::CSng(x), vb::CSng(y)};
}

float fncGet_SignedAngle(double x1, double y1, double x2, double y2)
{
    if (x1 == 0 || x2 == 0 || y1 == 0 || y2 == 0)
        return 0;
    const double dx = x2 - x1;
    const double dy = y1 - y2;  // y points down: up the screen is positive
    if (dx == 0)
        return dy > 0 ? 90 : -90;
    if (dy == 0)
        return dx > 0 ? 0 : 180;
    const double a = std::atan(vb::Divide(dy, dx)) * RadToDeg;
    if (dx > 0)
        return vb::CSng(a);
    return vb::CSng(dy >= 0 ? a + 180 : a - 180);
}

namespace {

float roundHalfUp(float v, double half, double factor)
{
    // The scaled value is held in single precision before its whole part is
    // taken: 1.005 (a single just below it) at two decimals scales to
    // 100.9999995 in double but to 101 in single, and so rounds to 1.01.
    const float scaled = vb::CSng((std::fabs(double(v)) + half) * factor);
    const double r = std::floor(scaled) / factor;
    return vb::CSng(v < 0 && r != 0 ? -r : r);
}

}  // namespace

void subRound_Point(float x, float y, float& outX, float& outY, qint16 d)
{
    static constexpr double halves[] = {0.5, 0.05, 0.005, 0.0005};
    static constexpr double factors[] = {1, 10, 100, 1000};
    double half = 0;
    double factor = 0;
    if (d >= 0 && d <= 3) {
        half = halves[d];
        factor = factors[d];
    } else {
        factor = std::pow(10.0, d);
        half = 0.5 / factor;
    }
    outX = roundHalfUp(x, half, factor);
    outY = roundHalfUp(y, half, factor);
}

qint16 fncGet_DrawStyle(double borderStyle)
{
    static constexpr qint16 drawStyles[] = {5, 0, 1, 2, 3, 4, 6};
    for (int style = 0; style <= 6; ++style)
        if (borderStyle == style)
            return drawStyles[style];
    return vb::CInt(borderStyle);
}

void subSplit_Path(const QString& path, QString& folder, QString& fileName)
{
    const qsizetype last = path.lastIndexOf(u'/');
    folder = path.left(last + 1);
    fileName = path.mid(last + 1);
}

void subSet_TopMost(QWidget& window)
{
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        window.raise();
        return;
    }
    // Changing the flags re-creates the native window and hides it; put it
    // back where it was.
    const QRect place = window.geometry();
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window.setGeometry(place);
    if (visible)
        window.show();
    window.raise();
}

}  // namespace mdlSub
