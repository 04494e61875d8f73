// The print renderer: the drawing's objects onto the page the print method
// has prepared, in the printer's millimetres. The lines first, then shapes,
// hatching and the result and text labels over them; position labels are
// for the screen and the bitmap only.
//
// An element that lies wholly outside the page window (in a tiled print,
// an object on another sheet) is not sent to the printer, but it still
// begins the page as its drawing would have, so the same sheets come out.
//
// Pen widths are the screen's: the printer draws a wide pen as thick as a
// screen shows it (and a one-pixel pen as its thinnest line), so a line,
// a shape's border and hatching print at the width they are shown with.

#include "output/dlgPrinter.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/geometry.h"
#include "measure/hatchcache.h"
#include "output/shapedraw.h"
#include "platform/printer.h"

#include <QRectF>

using platform::CurrentPrinter;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

namespace {

// Points to millimetres, as the comment line is placed below its caption.
constexpr double MillimetresPerPoint = 0.352777755;

// How far a pen of that width in screen pixels reaches beyond its line, in
// the printer's millimetres.
double penReach(int width)
{
    return qMax(width, 1) * 25.4 / 96 / 2;
}

class PageWindow {
public:
    explicit PageWindow(const platform::Printer& printer)
        : m_window(QRectF(QPointF(printer.ScaleLeft(), printer.ScaleTop()),
                          QSizeF(printer.ScaleWidth(), printer.ScaleHeight()))
                       .normalized()),
          // A pen's width and the label frame reach a little beyond a figure.
          m_slack(printer.ScaleX(48, platform::vbPixels, platform::vbMillimeters) + 1)
    {
    }
    // The box, widened by `reach`, touches the window.
    bool touches(double x1, double y1, double x2, double y2, double reach = 0) const
    {
        const double r = reach + m_slack;
        return QRectF(QPointF(qMin(x1, x2) - r, qMin(y1, y2) - r), QPointF(qMax(x1, x2) + r, qMax(y1, y2) + r))
            .intersects(m_window);
    }

private:
    QRectF m_window;
    double m_slack;
};

}  // namespace

void dlgPrinter::subPrint_Object(float sx, float sy)
{
    platform::Printer& printer = CurrentPrinter();
    frmEdit& e = editor();
    const PageWindow window(printer);

    const auto lineRule = [&](const LineElement& line, double reach) {
        const double x1 = line.X1 * sx, y1 = line.Y1 * sy, x2 = line.X2 * sx, y2 = line.Y2 * sy;
        if (!window.touches(x1, y1, x2, y2, reach + penReach(line.BorderWidth))) {
            printer.beginPage();
            return false;
        }
        printer.DrawMode = line.DrawMode;
        printer.DrawWidth = line.BorderWidth;
        printer.DrawStyle = mdlSub::fncGet_DrawStyle(line.BorderStyle);
        printer.Line(x1, y1, x2, y2, line.BorderColor);
        return true;
    };
    const auto lines = [&](const platform::ElementArray<LineElement>& array, int last) {
        for (int i = 0; i <= last; ++i)
            if (array.exists(i) && array(i).Visible)
                lineRule(array(i), 0);
    };

    lines(e.lineHojoSave, e.lineHojoSave.UBound() - 1);

    // Dimension lines with their end markers, filled in the line's colour.
    const double r = e.shpSnpo(0).Width() / 2.0;
    printer.FillStyle = 0;
    for (int i = 0; i <= e.lineDsSave.UBound() - 1; ++i) {
        const LineElement& line = e.lineDsSave(i);
        if (!line.Visible || !lineRule(line, qMax(r * sx, r * sy)))
            continue;
        printer.DrawStyle = 0;
        printer.FillColor = line.BorderColor;
        printer.Circle(line.X1 * sx, line.Y1 * sy, r * sx, line.BorderColor);
        printer.Circle(line.X2 * sx, line.Y2 * sy, r * sy, line.BorderColor);
    }

    lines(e.linePS, e.linePS.UBound() - 1);
    lines(e.lineHikidashi, e.lineHikidashi.UBound());

    for (int i = 0; i <= e.shpShape.UBound() - 1; ++i) {
        const ShapeElement& shape = e.shpShape(i);
        if (!shape.Visible)
            continue;
        const double l = shape.Left * sx, t = shape.Top * sy, w = shape.Width() * sx, h = shape.Height() * sy;
        if (!window.touches(l, t, l + w, t + h, penReach(shape.BorderWidth))) {
            printer.beginPage();
            continue;
        }
        printer.DrawMode = shape.DrawMode;
        printer.DrawStyle = mdlSub::fncGet_DrawStyle(shape.BorderStyle);
        printer.DrawWidth = shape.BorderWidth;
        printer.FillColor = shape.FillColor;
        printer.FillStyle = shape.FillStyle;
        switch (shape.Shape) {
        case 0:
        case 4:
            subPrint_ShapeBox(shape, float(l), float(t), float(l + w), float(t + h));
            break;
        case 1:
        case 5:
            if (shape.Width() > shape.Height()) {
                const double d = (w - shape.Height() * sx) / 2;
                subPrint_ShapeBox(shape, float(l + d), float(t), float(l + d + shape.Height() * sx), float(t + h));
            } else {
                const double d = (h - shape.Width() * sy) / 2;
                subPrint_ShapeBox(shape, float(l), float(t + d), float(l + w), float(t + d + shape.Width() * sy));
            }
            break;
        case 2:
            // The radius is the larger half-axis, so a wide oval keeps its width.
            if (shape.Width() > 0)
                subPrint_ShapeCircle(shape, float(l + w / 2), float(t + h / 2), float(qMax(w, h) / 2),
                                     shape.Height() / shape.Width());
            break;
        case 3:
            subPrint_ShapeCircle(shape, float(l + w / 2), float(t + h / 2),
                                 float(shape.Width() > shape.Height() ? h / 2 : w / 2), 1);
            break;
        default:
            break;
        }
    }

    // Hatching: an area without a record or without its segments is passed by.
    const double z = GE_sngZoom;
    for (int i = 0; i <= e.lblMensekiS.UBound() - 1; ++i) {
        if (i >= GE_tpHatching.size())
            break;
        const typHatching& record = GE_tpHatching[i];
        if (record.iStyle <= 0)
            continue;
        if (!mdlFileAccess::fncGet_BinHeld(e.lblMensekiS(i).Tag, record, tpHatchLine))
            continue;
        printer.DrawMode = record.DrawMode;
        printer.DrawStyle = record.BorderStyle;
        printer.DrawWidth = record.BorderWidth;
        for (int j = 0; j < tpHatchLine.size(); ++j) {
            const typHatchLine& s = tpHatchLine[j];
            const double x1 = s.X1 * sx * z, y1 = s.Y1 * sy * z, x2 = s.X2 * sx * z, y2 = s.Y2 * sy * z;
            if (window.touches(x1, y1, x2, y2, penReach(record.BorderWidth)))
                printer.Line(x1, y1, x2, y2, record.BorderColor);
            else
                printer.beginPage();
        }
    }
    tpHatchLine.clear();
    // Label frames print as they show on the screen: one pixel wide, the
    // device's thinnest line, not a pen four pixels wide.
    printer.DrawWidth = 1;
    printer.DrawStyle = 0;
    printer.DrawMode = platform::vbCopyPen;
    printer.FillStyle = 1;

    // Labels: only those shown. A label across a sheet's edge prints on
    // every sheet it touches with its text as well as its box, each cut at
    // the edge, so that the sheets laid together show it whole (a box alone
    // would hide the map under it and say nothing).
    const auto labels = [&](const platform::ElementArray<LabelElement>& array, int last, bool comment) {
        printer.FontTransparent = true;
        for (int i = 0; i <= last; ++i) {
            if (!array.exists(i) || !array(i).Visible)
                continue;
            const LabelElement& label = array(i);
            const double x1 = label.Left * sx, y1 = label.Top * sy;
            const double x2 = x1 + label.Width() * sx, y2 = y1 + label.Height() * sy;
            const double below = comment && GE_booPrtCmt ? 2 * label.FontSize * sy * MillimetresPerPoint : 0;
            if (!window.touches(x1, y1, qMax(x2, x1), qMax(y2, y1 + below))) {
                printer.beginPage();
                continue;
            }
            if (label.BackStyle == 1)
                printer.Line(x1, y1, x2, y2, label.BackColor, platform::LineBox::BF);
            if (label.BorderStyle == 1) {
                if (label.Appearance == 0)
                    printer.Line(x1, y1, x2, y2, 0, platform::LineBox::B);
                else
                    subPrint_LabelFrame(float(x1), float(y1), float(x2), float(y2));
            }
            printer.CurrentX = x1;
            printer.CurrentY = y1;
            printer.FontSize = label.FontSize * sy;
            printer.FontBold = label.FontBold;
            printer.FontItalic = label.FontItalic;
            printer.FontName = label.FontName;
            printer.ForeColor = label.ForeColor;
            printer.Print(label.Caption);
            if (comment && GE_booPrtCmt) {
                printer.CurrentX = x1;
                printer.CurrentY = y1 + printer.FontSize * MillimetresPerPoint;
                printer.Print(label.ToolTipText);
            }
        }
    };
    labels(e.lblKyori, e.lblKyori.UBound() - 1, true);
    labels(e.lblMensekiS, e.lblMensekiS.UBound() - 1, true);
    labels(e.lblKeiroS, e.lblKeiroS.UBound() - 1, true);
    labels(e.lblMoji, e.lblMoji.UBound(), false);
}

void dlgPrinter::subPrint_ShapeBox(const ShapeElement& shape, float x1, float y1, float x2, float y2)
{
    mdlShapeDraw::subDraw_ShapeBox(CurrentPrinter(), mdlShapeDraw::ShapeLook::of(shape), x1, y1, x2, y2);
}

void dlgPrinter::subPrint_ShapeCircle(const ShapeElement& shape, float cx, float cy, float r, float aspect)
{
    mdlShapeDraw::subDraw_ShapeCircle(CurrentPrinter(), mdlShapeDraw::ShapeLook::of(shape), cx, cy, r, aspect);
}

void dlgPrinter::subPrint_LabelFrame(float x1, float y1, float x2, float y2)
{
    mdlShapeDraw::subDraw_LabelFrame(CurrentPrinter(), x1, y1, x2, y2, mdlShapeDraw::kFrameOuterPrinter);
}
