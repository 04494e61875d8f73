// The map with its objects burnt in: the renderer, the visibility switch
// and the bitmap export.
#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/geometry.h"
#include "measure/hatchcache.h"
#include "output/imageexport.h"
#include "output/shapedraw.h"
#include "platform/bmpfile.h"

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::PictureBox;
using platform::ShapeElement;

namespace {

// Points to millimetres: a comment line starts one font size below the caption.
constexpr double kPointMm = 0.352777755;

template <class T>
bool painted(const frmEdit& editor, const ElementArray<T>& array, int k)
{
    if (!array.exists(k))
        return false;
    const T& element = array(k);
    return editor.exportVisible ? editor.exportVisible->contains(&element) : bool(element.Visible);
}

void setLinePen(PictureBox& picture, const LineElement& line)
{
    picture.DrawMode = line.DrawMode;
    picture.DrawWidth = line.BorderWidth;
    picture.DrawStyle = mdlSub::fncGet_DrawStyle(line.BorderStyle);
}

void drawLines(frmEdit& editor, PictureBox& picture, const ElementArray<LineElement>& lines)
{
    for (int k = 0; k < lines.UBound(); ++k) {
        if (!painted(editor, lines, k))
            continue;
        const LineElement& line = lines(k);
        setLinePen(picture, line);
        picture.Line(line.X1, line.Y1, line.X2, line.Y2, line.BorderColor);
    }
}

// An end mark at a dimension's end, in the look of its own marker.
void drawEndMark(frmEdit& editor, PictureBox& picture, int mark, double x, double y)
{
    if (!painted(editor, editor.shpSnpo, mark))
        return;
    const ShapeElement& look = editor.shpSnpo(mark);
    picture.FillStyle = look.FillStyle;
    picture.FillColor = look.FillColor;
    picture.DrawStyle = mdlSub::fncGet_DrawStyle(look.BorderStyle);
    const double whole = std::numeric_limits<double>::quiet_NaN();
    picture.Circle(x, y, look.Width() / 2.0, look.BorderColor, whole, whole, 1.0);
}

void drawShapes(frmEdit& editor, PictureBox& picture)
{
    for (int k = 0; k < editor.shpShape.UBound(); ++k) {
        if (!painted(editor, editor.shpShape, k))
            continue;
        const ShapeElement& shape = editor.shpShape(k);
        picture.DrawMode = shape.DrawMode;
        picture.DrawStyle = mdlSub::fncGet_DrawStyle(shape.BorderStyle);
        picture.DrawWidth = shape.BorderWidth;
        picture.FillColor = shape.FillColor;
        picture.FillStyle = shape.FillStyle;
        const double left = shape.Left, top = shape.Top, w = shape.Width(), h = shape.Height();
        switch (int(shape.Shape)) {
        case 0:
        case 4:
            editor.subWright_ShapeBox(picture, shape, float(left), float(top), float(left + w), float(top + h));
            break;
        case 1:
        case 5: {
            const auto c = mdlShapeDraw::squareIn(left, top, w, h);
            editor.subWright_ShapeBox(picture, shape, float(c.x1), float(c.y1), float(c.x2), float(c.y2));
            break;
        }
        case 2: {
            mdlShapeDraw::Ellipse e{};
            if (mdlShapeDraw::ovalIn(left, top, w, h, e))
                editor.subWright_ShapeCircle(picture, shape, float(e.cx), float(e.cy), float(e.r), float(e.aspect));
            break;
        }
        case 3: {
            const auto e = mdlShapeDraw::circleIn(left, top, w, h);
            editor.subWright_ShapeCircle(picture, shape, float(e.cx), float(e.cy), float(e.r), float(e.aspect));
            break;
        }
        default:
            break;
        }
    }
}

void drawHatching(frmEdit& editor, PictureBox& picture)
{
    const float zoom = GE_sngZoom;
    for (int i = 0; i < editor.lblMensekiS.UBound(); ++i) {
        if (!painted(editor, editor.lblMensekiS, i) || i >= GE_tpHatching.size())
            continue;
        const typHatching& record = GE_tpHatching[i];
        if (record.iStyle < 1)
            continue;
        QList<typHatchLine> lines;
        if (!mdlFileAccess::fncGet_BinHeld(editor.lblMensekiS(i).Tag, record, lines))
            continue;
        picture.DrawMode = record.DrawMode;
        picture.DrawStyle = record.BorderStyle;
        picture.DrawWidth = record.BorderWidth;
        for (const typHatchLine& s : lines)
            picture.Line(s.X1 * zoom, s.Y1 * zoom, s.X2 * zoom, s.Y2 * zoom, record.BorderColor);
    }
}

void drawLabels(frmEdit& editor, PictureBox& picture, const ElementArray<LabelElement>& labels, int last,
                bool comment)
{
    picture.FontTransparent = true;
    for (int k = 0; k <= last; ++k) {
        if (!painted(editor, labels, k))
            continue;
        const LabelElement& label = labels(k);
        const float x1 = label.Left, y1 = label.Top;
        const float x2 = label.Width() + label.Left, y2 = label.Height() + label.Top;
        if (label.BackStyle == 1)
            picture.Line(x1, y1, x2, y2, label.BackColor, platform::LineBox::BF);
        if (label.BorderStyle == 1) {
            if (label.Appearance == 0)
                picture.Line(x1, y1, x2, y2, 0, platform::LineBox::B);
            else
                editor.subWright_LabelFrame(picture, x1, y1, x2, y2);
        }
        picture.CurrentX = label.Left;
        picture.CurrentY = label.Top;
        picture.FontSize = label.FontSize;
        picture.FontBold = label.FontBold;
        picture.FontItalic = label.FontItalic;
        picture.FontName = label.FontName;
        picture.ForeColor = label.ForeColor;
        picture.Print(label.Caption);
        if (comment && GE_booPrtCmt) {
            picture.CurrentX = label.Left;
            picture.CurrentY = picture.FontSize * kPointMm + label.Top;
            picture.Print(label.ToolTipText);
        }
    }
}

// Every element that holds an object, in the order the switch walks them:
// the spare of an array that keeps one is left out.
template <class F>
void forEachObject(frmEdit& e, F&& visit)
{
    const auto withSpare = [&](auto& array) {
        for (int k = 0; k < array.UBound(); ++k) {
            if (array.exists(k))
                visit(array(k));
        }
    };
    const auto whole = [&](auto& array) {
        for (int k = 0; k <= array.UBound(); ++k) {
            if (array.exists(k))
                visit(array(k));
        }
    };
    withSpare(e.lineHikidashi);
    withSpare(e.shpShape);
    whole(e.lblMoji);
    whole(e.lblKeiIdoS);
    withSpare(e.lineHojoSave);
    withSpare(e.lineDsSave);
    withSpare(e.shpSnpo);
    withSpare(e.lblKyori);
    withSpare(e.lblKeiroS);
    withSpare(e.lblMensekiS);
    withSpare(e.linePS);
}

}  // namespace

void frmEdit::subWrightImage(PictureBox& picture)
{
    drawLines(*this, picture, lineHojoSave);
    for (int i = 0; i < lineDsSave.UBound(); ++i) {
        if (!painted(*this, lineDsSave, i))
            continue;
        const LineElement& line = lineDsSave(i);
        setLinePen(picture, line);
        picture.Line(line.X1, line.Y1, line.X2, line.Y2, line.BorderColor);
        drawEndMark(*this, picture, 2 * i, line.X1, line.Y1);
        drawEndMark(*this, picture, 2 * i + 1, line.X2, line.Y2);
    }
    drawLines(*this, picture, linePS);
    drawLines(*this, picture, lineHikidashi);
    drawShapes(*this, picture);
    drawHatching(*this, picture);
    mdlImageExport::checkpoint();

    picture.DrawWidth = 1;
    picture.DrawStyle = 0;
    picture.DrawMode = platform::vbCopyPen;
    picture.FillStyle = 1;
    drawLabels(*this, picture, lblKyori, lblKyori.UBound() - 1, true);
    drawLabels(*this, picture, lblMensekiS, lblMensekiS.UBound() - 1, true);
    drawLabels(*this, picture, lblKeiroS, lblKeiroS.UBound() - 1, true);
    drawLabels(*this, picture, lblMoji, lblMoji.UBound(), false);
    drawLabels(*this, picture, lblKeiIdoS, lblKeiIdoS.UBound(), true);
}

void frmEdit::subDisp_ObjVisible(bool visible)
{
    forEachObject(*this, [&](platform::Element& element) {
        // Shown again only what showed before: an element that holds no
        // object would otherwise be saved as one.
        element.Visible = visible && (!exportVisible || exportVisible->contains(&element));
    });
    sngZoomPrev = GE_sngZoom;
}

void frmEdit::subSave_Bitmap(const QString& path)
{
    auto before = std::make_shared<QSet<const platform::Element*>>();
    forEachObject(*this, [&](platform::Element& element) {
        if (element.Visible)
            before->insert(&element);
    });
    exportVisible = before;
    // Visibility comes back from the snapshot whatever happens below.
    struct Restore {
        frmEdit& editor;
        ~Restore()
        {
            editor.subDisp_ObjVisible(true);
            editor.exportVisible.reset();
        }
    } restore{*this};
    subPictOrg_CopyAdj(GE_sngZoom);
    subDisp_ObjVisible(false);
    subWrightImage(*pictMap);
    platform::SavePicture(*pictMap, path, mdlImageExport::stripRows);
}
