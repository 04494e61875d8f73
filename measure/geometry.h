#pragma once
// Plane geometry shared by the whole program: rotation (the tilt correction
// is one), angles and lengths of segments, polygon areas, points along a
// direction, rounding, and a few small helpers. Nothing here keeps state or
// reads settings; floating-point faults reach the caller as vb::Error.

#include "app/types.h"
#include "platform/vbruntime.h"

#include <QString>
#include <QtGlobal>
#include <span>

class QWidget;

namespace measure {

// π as every degree/radian conversion of the program uses it; stored
// angles were computed with this value, so it must not be refined.
constexpr double Pi = 3.14159265358979;
constexpr double DegToRad = Pi / 180;
constexpr double RadToDeg = 180 / Pi;

}  // namespace measure

namespace mdlSub {

// The point turned by `angle` radians about `centre`. y points down the
// screen, so a positive angle turns clockwise as seen.
typPointS fncRotate_Point(const typPointS& centre, const typPointS& point, double angle);
typPointD fncRotate_PointD(const typPointS& centre, const typPointD& point, double angle);

// Angle of the line through the two points, without direction, in the open
// range -90..90 degrees; a vertical line (and a single point) gives 90.
// `inDegrees` non-zero gives degrees, zero radians.
double fncGet_LineAngle(float x1, float y1, float x2, float y2, qint16 inDegrees);

float fncGet_Distance(float x1, float y1, float x2, float y2);

// Shoelace area of vertices 0..n, closed implicitly; 0 when n < 0.
double fncGet_PolygonArea(std::span<const typPointD> vertices, qint16 n);

// The point at distance d from (x1, y1) toward (x2, y2); d is not limited.
typPointS fncGet_PointAtDistance(float x1, float y1, float x2, float y2, double d);

// Direction from point 1 to point 2 in degrees, counter-clockwise on the
// screen from +x, -180..180. Any coordinate exactly 0 gives 0.
float fncGet_SignedAngle(double x1, double y1, double x2, double y2);

// x and y rounded half up (away from zero) to d decimals, sign restored.
void subRound_Point(float x, float y, float& outX, float& outY, qint16 d);

// Border style of a line or shape element to the pen style of a drawing
// surface; unknown codes come back unchanged.
qint16 fncGet_DrawStyle(double borderStyle);

// Splits at the last "/": the folder keeps its trailing "/".
void subSplit_Path(const QString& path, QString& folder, QString& fileName);

// Keeps the window above all ordinary windows, at its place and size.
void subSet_TopMost(QWidget& window);

}  // namespace mdlSub
