#include "output/shapedraw.h"

#include "platform/elements.h"

namespace mdlShapeDraw {

using platform::LineBox;

ShapeLook ShapeLook::of(const platform::ShapeElement& shape)
{
    ShapeLook look;
    look.BackStyle = shape.BackStyle;
    look.BackColor = shape.BackColor;
    look.FillStyle = shape.FillStyle;
    look.FillColor = shape.FillColor;
    look.BorderColor = shape.BorderColor;
    look.DrawMode = shape.DrawMode;
    return look;
}

void subDraw_ShapeBox(platform::DrawSurface& surface, const ShapeLook& shape, double x1, double y1, double x2,
                      double y2)
{
    if (shape.BackStyle != 1) {
        // Transparent: one outline, its inside filled as the caller set the surface.
        surface.Line(x1, y1, x2, y2, shape.BorderColor, LineBox::B);
        return;
    }
    surface.Line(x1, y1, x2, y2, shape.BackColor, LineBox::BF);
    surface.FillColor = shape.FillColor;
    surface.FillStyle = shape.FillStyle;
    surface.DrawMode = platform::vbXorPen;
    surface.Line(x1, y1, x2, y2, shape.BorderColor, LineBox::B);
    surface.DrawMode = shape.DrawMode;
    surface.Line(x1, y1, x2, y2, shape.BorderColor, LineBox::B);
}

void subDraw_ShapeCircle(platform::DrawSurface& surface, const ShapeLook& shape, double cx, double cy, double r,
                         double aspect)
{
    const double whole = std::numeric_limits<double>::quiet_NaN();
    if (shape.BackStyle != 1) {
        surface.Circle(cx, cy, r, shape.BorderColor, whole, whole, aspect);
        return;
    }
    surface.FillColor = shape.BackColor;
    surface.FillStyle = 0;
    surface.Circle(cx, cy, r, shape.BackColor, whole, whole, aspect);
    surface.FillColor = shape.FillColor;
    surface.FillStyle = shape.FillStyle;
    surface.DrawMode = platform::vbNotXorPen;
    surface.Circle(cx, cy, r, shape.BorderColor, whole, whole, aspect);
    surface.DrawMode = shape.DrawMode;
    surface.Circle(cx, cy, r, shape.BorderColor, whole, whole, aspect);
}

void subDraw_LabelFrame(platform::DrawSurface& surface, double x1, double y1, double x2, double y2, double outer)
{
    const double a = outer;
    const double b = kFrameInner;
    surface.Line(x1 - a, y1 - a, x2, y1 - a, 0x404040);
    surface.Line(x1 - a, y1 - a, x1 - a, y2, 0x404040);
    surface.Line(x1 - b, y1 - b, x2 - b, y1 - b, 0x000000);
    surface.Line(x1 - b, y1 - b, x1 - b, y2 - b, 0x000000);
    surface.Line(x1 - b, y2 - b, x2, y2 - b, 0x808080);
    surface.Line(x2 - b, y1 - b, x2 - b, y2 - b, 0x808080);
    surface.Line(x1 - a, y2, x2, y2, 0xFFFFFF);
    surface.Line(x2, y1, x2, y2, 0xFFFFFF);
}

Corners squareIn(double left, double top, double w, double h)
{
    if (w > h) {
        const double x1 = left + (w - h) / 2;
        return {x1, top, x1 + h, top + h};
    }
    const double y1 = top + (h - w) / 2;
    return {left, y1, left + w, y1 + w};
}

bool ovalIn(double left, double top, double w, double h, Ellipse& out)
{
    if (w == 0)
        return false;
    out = {left + w / 2, top + h / 2, w > h ? w / 2 : h / 2, h / w};
    return true;
}

Ellipse circleIn(double left, double top, double w, double h)
{
    return {left + w / 2, top + h / 2, w > h ? h / 2 : w / 2, 1.0};
}

}  // namespace mdlShapeDraw
