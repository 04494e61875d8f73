// The printed pages over the map: the sheets of the picture at 100 % (shown
// scaled with the zoom) and the real pages the tiled print cuts the picture
// into at the zoom in force (each one sheet large). Element 0 of each array
// stays hidden; page k is element k.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "editor/pagegrid.h"
#include "output/mdlPrinter.h"
#include "platform/colors.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

using namespace platform;

namespace {

void frameLook(ShapeElement& frame, qint32 colour, int style, int width)
{
    frame.BorderColor = colour;
    frame.BorderStyle = style;
    frame.BorderWidth = width;
    frame.DrawMode = vbXorPen;
    frame.BackColor = 0xFF0000;
    frame.BackStyle = 0;
    frame.Visible = false;
}

void numberLook(LabelElement& label, qint32 colour)
{
    label.AutoSize = true;
    label.BackStyle = 0;
    label.ForeColor = colour;
    label.Visible = false;
}

// The grid is worked out before anything changes: a sheet of no size or too
// many pages leave the frames as they were.
void layoutPages(const PictureBox& map, ElementArray<ShapeElement>& frames, ElementArray<LabelElement>& labels)
{
    const float sheetWidth = GE_tpPrinter.sngScaleWidth;
    const float sheetHeight = GE_tpPrinter.sngScaleHeight;
    const PageGrid::Grid grid = PageGrid::fncPage_Grid(map.ScaleWidth(), map.ScaleHeight(), sheetWidth, sheetHeight);
    for (int k = frames.UBound(); k >= 2; --k)
        frames.Unload(k);
    for (int k = labels.UBound(); k >= 2; --k)
        labels.Unload(k);
    const int pages = int(grid.across) * grid.down;
    for (int k = 1; k <= pages; ++k) {
        if (k > frames.UBound()) {
            frames.Load(k);
            // A new page is printed; only the kept frame 1 may be marked left out.
            frames(k).BackStyle = 0;
        }
        frames(k).Move(frames(k).Left, frames(k).Top, sheetWidth, sheetHeight);
        frames(k).Visible = false;
    }
    for (int k = 2; k <= frames.UBound(); ++k) {
        if (k > labels.UBound())
            labels.Load(k);
        labels(k).Visible = false;
    }
    for (int k = 1; k <= pages; ++k) {
        ShapeElement& frame = frames(k);
        frame.Left = float(PageGrid::fncPage_Column(k, grid) * double(sheetWidth));
        frame.Top = float(PageGrid::fncPage_Row(k, grid) * double(sheetHeight));
        frame.Visible = true;
        LabelElement& label = labels(k);
        label.Move(frame.Left, frame.Top);
        label.Caption = QString::number(k);
        label.Visible = true;
    }
}

void showPages(ElementArray<ShapeElement>& frames, ElementArray<LabelElement>& labels, bool show)
{
    for (int k = 1; k <= frames.UBound(); ++k)
        frames(k).Visible = show;
    for (int k = 1; k <= labels.UBound(); ++k)
        labels(k).Visible = show;
}

}  // namespace

void frmEdit::buildPaperFrames()
{
    frameLook(shpPrintWaku(0), 0x0000FF, 3, 1);
    frameLook(shpPrintWakuR(0), 0xFF0000, 1, 2);
    numberLook(lblPage(0), 0x0000FF);
    numberLook(lblPageR(0), 0xFF0000);
    shpPrintWaku.Load(1);
    shpPrintWakuR.Load(1);
    lblPage.Load(1);
    lblPageR.Load(1);
}

void frmEdit::subSetup_Page()
{
    try {
        layoutPages(*pictMap, shpPrintWaku, lblPage);
    } catch (const vb::Error& error) {
        vb::MsgBox(QStringLiteral("subSetup_Page()") + vb::vbCr + error.description(), vb::vbOKOnly,
                   QStringLiteral("印刷ページ設定時エラー"));
    }
}

void frmEdit::subSetup_PageR()
{
    try {
        layoutPages(*pictMap, shpPrintWakuR, lblPageR);
    } catch (const vb::Error& error) {
        vb::MsgBox(QStringLiteral("subSetup_PageR()") + vb::vbCr + error.description(), vb::vbOKOnly,
                   QStringLiteral("印刷実ページを設定時エラー"));
    }
}

// Hidden frames keep the zoom they were scaled at, so that showing them
// again scales them by the whole change.
void frmEdit::subDisp_Paper(float zoom, bool show)
{
    if (sngZoomPaper == 0)
        sngZoomPaper = zoom;
    const float r = float(vb::Divide(zoom, sngZoomPaper));
    showPages(shpPrintWaku, lblPage, show);
    if (!show)
        return;
    subDisp_PaperName();
    shpPrintWaku(1).Top = 0;
    shpPrintWaku(1).Left = 0;
    lblPage(1).Top = 4.0f;
    lblPage(1).Left = 0;
    for (int k = 1; k <= shpPrintWaku.UBound(); ++k) {
        ShapeElement& frame = shpPrintWaku(k);
        frame.setWidth(GE_tpPrinter.sngScaleWidth * zoom);
        frame.setHeight(GE_tpPrinter.sngScaleHeight * zoom);
    }
    for (int k = 2; k <= shpPrintWaku.UBound(); ++k) {
        ShapeElement& frame = shpPrintWaku(k);
        frame.Top = frame.Top * r;
        frame.Left = frame.Left * r;
        lblPage(k).Top = frame.Top + 4.0f;
        lblPage(k).Left = frame.Left;
    }
    sngZoomPaper = zoom;
}

void frmEdit::subDisp_PaperName()
{
    stsBar->Panels(4).setText(QStringLiteral("用紙 : ") + mdlPrinter::fncPaper_Name(GE_tpPrinter));
}

void frmEdit::subDisp_PaperR(bool show)
{
    showPages(shpPrintWakuR, lblPageR, show);
    // The load and every zoom show the pages: the menu item says so.
    mnuPaperSize->setChecked(show);
    if (!show)
        return;
    shpPrintWakuR(1).Top = 0;
    shpPrintWakuR(1).Left = 0;
    for (int k = 1; k <= shpPrintWakuR.UBound(); ++k) {
        shpPrintWakuR(k).setWidth(GE_tpPrinter.sngScaleWidth);
        shpPrintWakuR(k).setHeight(GE_tpPrinter.sngScaleHeight);
    }
    lblPageR(1).Top = 0;
    lblPageR(1).Left = 0;
    for (int k = 2; k <= lblPageR.UBound(); ++k) {
        lblPageR(k).Top = shpPrintWakuR(k).Top;
        lblPageR(k).Left = shpPrintWakuR(k).Left;
    }
}
