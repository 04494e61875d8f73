#pragma once
// Drawing a shape element or a label's sunken frame onto any drawing surface
// (the picture being burnt for the bitmap export, or the printer). The
// caller works out the geometry and sets the shape's pen and fill first;
// these routines choose the steps from the shape's background and fill.

#include "platform/surface.h"

namespace platform {
class ShapeElement;
}

namespace mdlShapeDraw {

// What the steps read of a shape.
struct ShapeLook {
    int BackStyle = 0;  // 0 transparent, 1 opaque
    qint32 BackColor = 0xFFFFFF;
    int FillStyle = 1;  // 0 solid, 1 transparent, 2..7 patterns
    qint32 FillColor = 0;
    qint32 BorderColor = 0;
    int DrawMode = platform::vbCopyPen;
    static ShapeLook of(const platform::ShapeElement& shape);
};

// Outer offset of the label frame on the picture and on the printer, and
// the inner one shared by both (twips in millimetres).
constexpr double kFrameOuterPicture = 30.0 / 56.7;
constexpr double kFrameOuterPrinter = 20.0 / 56.7;
constexpr double kFrameInner = 10.0 / 56.7;

// A rectangle-like shape with corners (x1, y1) and (x2, y2).
void subDraw_ShapeBox(platform::DrawSurface& surface, const ShapeLook& shape, double x1, double y1, double x2,
                      double y2);
// An elliptic shape: centre, radius (the larger half-axis) and aspect (height / width).
void subDraw_ShapeCircle(platform::DrawSurface& surface, const ShapeLook& shape, double cx, double cy, double r,
                         double aspect);
// The sunken 3-D frame around a label's box, `outer` outside its top and
// left edges, eight segments with the surface's current pen.
void subDraw_LabelFrame(platform::DrawSurface& surface, double x1, double y1, double x2, double y2, double outer);

// The square of side min(w, h) centred in a shape's box.
struct Corners {
    double x1, y1, x2, y2;
};
Corners squareIn(double left, double top, double w, double h);
// An ellipse filling a shape's box (oval), or the circle of its smaller
// side; false for an oval of width 0, which has no aspect.
struct Ellipse {
    double cx, cy, r, aspect;
};
bool ovalIn(double left, double top, double w, double h, Ellipse& out);
Ellipse circleIn(double left, double top, double w, double h);

}  // namespace mdlShapeDraw
