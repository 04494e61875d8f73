// The thumbnail browser's layout: window parts from the system metrics,
// cells in rows across the canvas, and the scroll bars over the canvas.

#include "library/frmThumbnail.h"

#include "platform/application.h"
#include "platform/vbruntime.h"

#include <algorithm>

using namespace platform;

namespace {
constexpr int kFileListWidthTwips = 1575;
constexpr int kMessageHeightTwips = 495;
constexpr int kButtonWidthTwips = 975;
constexpr int kButtonHeightTwips = 375;
constexpr int kMinWidth = 160;   // pixels, outer size
constexpr int kMinHeight = 120;
constexpr int kCanvasInset = 5;  // the canvas is this much smaller than the pane
}  // namespace

void frmThumbnail::Form_Resize()
{
    if (isMinimized())
        return;
    const int frameW = metricPixels(Metric::FrameWidth);
    const int frameH = metricPixels(Metric::FrameHeight);
    const int caption = metricPixels(Metric::CaptionHeight);
    // The formulas take the window's outer size, as the frame adds to the client.
    int outerW = width() + 2 * frameW;
    int outerH = height() + caption + 2 * frameH;
    if (!isMaximized() && (outerW < kMinWidth || outerH < kMinHeight)) {
        outerW = std::max(outerW, kMinWidth);
        outerH = std::max(outerH, kMinHeight);
        resize(outerW - 2 * frameW, outerH - caption - 2 * frameH);
    }
    const int clientW = outerW - 2 * frameW;
    const int vscW = metricPixels(Metric::VScrollWidth);
    const int hscH = metricPixels(Metric::HScrollHeight);
    const int listW = twipsToPixels(kFileListWidthTwips);

    const int paneW = std::max(kCanvasInset + 1, outerW - vscW - 2 * frameW - listW);
    const int paneH = std::max(kCanvasInset + 1, outerH - hscH - caption - metricPixels(Metric::MenuHeight)
                                                     - 2 * frameH - 45);
    pictWindow->Move(0, 0, paneW, paneH);
    pictMap->Move(pictMap->Left(), pictMap->Top(), paneW - kCanvasInset, paneH - kCanvasInset);

    vscY->setGeometry(paneW, 0, vscW, paneH);
    hscX->setGeometry(0, paneH, paneW, hscH);
    subSet_ThumbScroll();
    subArrange_Thumb();

    const int messageH = twipsToPixels(kMessageHeightTwips);
    const int buttonW = twipsToPixels(kButtonWidthTwips);
    const int buttonH = twipsToPixels(kButtonHeightTwips);
    lblMesage->setGeometry(0, paneH, clientW, messageH);
    cmdCloase->setGeometry(clientW - buttonW, paneH + messageH, buttonW, buttonH);
    cmdOK->setGeometry(clientW - 2 * buttonW, paneH + messageH, buttonW, buttonH);
    // The progress bar covers the button row while the cells load.
    pgsBar->setGeometry(0, paneH + messageH, clientW, buttonH);
    fileList->setGeometry(paneW + vscW, 0, listW, paneH);

    // The preview covers the pane where the canvas shows.
    const QSize previewBefore = imgSelect->size();
    imgSelect->setGeometry(0, 0, paneW - kCanvasInset, paneH - kCanvasInset);
    if (!imgSelect->isHidden() && imgSelect->size() != previewBefore)
        subDraw_Preview();
    update();
}

void frmThumbnail::subArrange_Thumb()
{
    // Millimetres of the canvas: 1 mm margin, 1 mm gaps.
    const double w = imgPictureS[0]->Width() + 1;
    const double h = imgPictureS[0]->Height() + 1;
    double x = 1;
    double y = 1;
    double lastTop = y;
    for (PictureBox* cell : imgPictureS) {
        cell->Move(x, y);
        lastTop = y;
        x += w;
        if (x + w > pictMap->ScaleWidth()) {
            y += h;
            x = 1;
        }
    }
    // The canvas grows to the bottom of the last row, so it can be scrolled to.
    const double bottom = lastTop + h;
    if (bottom > pictMap->ScaleHeight())
        pictMap->setHeight(bottom * pictMap->Width() / pictMap->ScaleWidth());
    subSet_ThumbScroll();
}

void frmThumbnail::subSet_ThumbScroll()
{
    const double paneW = pictWindow->Width();
    const double paneH = pictWindow->Height();
    const double mapW = pictMap->Width();
    const double mapH = pictMap->Height();
    vscY->setVisible(paneH <= mapH);
    hscX->setVisible(paneW <= mapW);
    // While the canvas fits, the bar rests at 0 and the canvas at the top.
    const double overhang[] = {mapH - paneH + 4, mapW - paneW + 4};
    ScrollBar* bars[] = {vscY, hscX};
    for (int i = 0; i < 2; ++i) {
        bars[i]->setMin(0);
        bars[i]->setMax(std::max(0, vb::CLng(overhang[i])));
        bars[i]->setSmallChange(10);
        bars[i]->setLargeChange(50);
    }
}
