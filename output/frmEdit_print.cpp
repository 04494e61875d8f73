// The editor's print and printer commands, and the page frames after a
// change of paper.
#include "editor/frmEdit.h"

#include "app/globals.h"
#include "editor/pagegrid.h"
#include "output/dlgPrinter.h"
#include "output/mdlPrinter.h"
#include "platform/events.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "platform/vberror.h"

#include <utility>

using namespace vb;

void frmEdit::mnuFilePrint_Click()
{
    platform::Instance<dlgPrinter>::get().showForm(platform::vbModal);
}

void frmEdit::subGet_PrinterDue()
{
    // Settings changed since the open are the user's, never replaced.
    if (!std::exchange(booPrtDue, false) || booPrtChange)
        return;
    const float width = GE_tpPrinter.sngScaleWidth, height = GE_tpPrinter.sngScaleHeight;
    mdlPrinter::subGet_PrinterRec(GE_tpPrinter);
    if (width != GE_tpPrinter.sngScaleWidth || height != GE_tpPrinter.sngScaleHeight)
        subReSetup_Page();
}

void frmEdit::subGet_PrinterArea()
{
    mdlPrinter::subSet_DevModeRec(GE_tpPrinter, GE_tpDevMode);
    mdlPrinter::subSet_DevNamesRec(GE_tpPrinter, GE_tpDevNames);
    mdlPrinter::subSet_Printer(GE_tpDevMode, GE_tpDevNames);
    typPrinter read = GE_tpPrinter;
    mdlPrinter::subGet_PrinterRec(read);
    // Only the queue's own sheet says where its margins lie: not a stand-in
    // for a queue that can't be reached, nor a paper it refused. A row of an
    // earlier version may give the sheet a fraction of a millimetre off.
    const auto millimetres = [](float twips) { return qRound(twips * 25.4 / 1440); };
    if (read.strDeviceName != GE_tpPrinter.strDeviceName
        || millimetres(read.sngWidth) != millimetres(GE_tpPrinter.sngWidth)
        || millimetres(read.sngHeight) != millimetres(GE_tpPrinter.sngHeight))
        return;
    if (read.sngScaleWidth == GE_tpPrinter.sngScaleWidth && read.sngScaleHeight == GE_tpPrinter.sngScaleHeight)
        return;
    GE_tpPrinter.sngScaleWidth = read.sngScaleWidth;
    GE_tpPrinter.sngScaleHeight = read.sngScaleHeight;
    subReSetup_Page();
}

void frmEdit::mnuSetPrinter_Click()
{
    subGet_PrinterDue();
    // A cancelled set-up changes nothing, so it leaves a change made before
    // it still to be saved. One accepted as it opened has nothing to save,
    // but the page frames follow the device's printable size, so that they
    // name the tiles that print.
    const float width = GE_tpPrinter.sngScaleWidth, height = GE_tpPrinter.sngScaleHeight;
    if (mdlPrinter::fncSetUp_Printer(this)) {
        booPrtChange = true;
        subReSetup_Page();
    } else if (width != GE_tpPrinter.sngScaleWidth || height != GE_tpPrinter.sngScaleHeight) {
        subReSetup_Page();
    }
}

// The driver's own document settings are, here, the print dialog of the
// current printer; what it sets lasts for the run and reaches the drawing
// with its save.
void frmEdit::mnuSetPrinterD_Click()
{
    const QString prompt =
        QStringLiteral("※「プリンタの設定」で、変更できなかった項目を変更する場合にのみ、実施してください。") + vbCrLf
        + QStringLiteral("＜重要＞この操作では、ﾌﾟﾘﾝﾀ用のレジストりーを更新します。") + vbCrLf
        + QStringLiteral("＜重要＞本アプリケーション終了後も、プリンタの設定が保持されます。") + vbCrLf
        + QStringLiteral("＜注意＞元の設定に戻すには、再度、本設定を実施してください。") + vbCrLf
        + QStringLiteral("設定を実施しますか？");
    if (MsgBox(prompt, vbYesNo + vbInformation + vbDefaultButton2, QStringLiteral("規定のプリンタ設定")) != vbYes)
        return;
    if (GE_lngPlatformId != 1 && GE_lngPlatformId != 2) {
        MsgBox(QStringLiteral("OSが特定できない為、印刷設定を行うことが出来ません。"), vbOKOnly,
               QStringLiteral("ｴﾗｰ"));
        return;
    }
    try {
        subGet_PrinterDue();
        typDEVMODE devMode = mdlPrinter::subSet_DevModePrt();
        typDEVNAMES devNames;
        mdlPrinter::subSet_DevNamesPrt(devNames);
        if (!mdlPrinter::fncPrintDialog(true, devMode, devNames))
            return;
        booDrawChange = true;
        GE_tpDevMode = devMode;
        GE_tpDevNames = devNames;
        mdlPrinter::subSet_Printer(GE_tpDevMode, GE_tpDevNames);
        mdlPrinter::subGet_PrinterRec(GE_tpPrinter, GE_tpDevMode);
        subReSetup_Page();
    } catch (const vb::Error& error) {
        platform::showStandardError(QStringLiteral("mnuSetPrinterD_Click"), error.number(), error.description());
    }
}

bool frmEdit::subReSetup_Page()
{
    // The pages left out, as places on the map at the zoom in force: the
    // frames are laid anew at 100 % and again at this zoom.
    QList<QRectF> leftOut;
    for (int k = 1; k <= shpPrintWakuR.UBound(); ++k) {
        const platform::ShapeElement& frame = shpPrintWakuR(k);
        if (frame.BackStyle == 1)
            leftOut.append(QRectF(frame.Left, frame.Top, frame.Width(), frame.Height()));
    }
    float zoom = 0;
    if (GE_sngZoom != 1.0f) {
        zoom = GE_sngZoom;
        mnuDispEandR_Click(4);
    }
    subSetup_Page();
    subSetup_PageR();
    subDisp_Paper(GE_sngZoom, true);
    subDisp_PaperR(true);
    if (zoom != 0) {
        GE_sngZoom = zoom;
        sZoom(zoom);
        subReset_ViewMode();
    }
    if (leftOut.isEmpty())
        return true;
    // A page the user left out stays out where a page of the new sheets
    // lies over the same part of the map; a mark that has none is cleared,
    // and the user is told before anything prints.
    QList<QRectF> pages;
    for (int k = 1; k <= shpPrintWakuR.UBound(); ++k) {
        const platform::ShapeElement& frame = shpPrintWakuR(k);
        pages.append(QRectF(frame.Left, frame.Top, frame.Width(), frame.Height()));
    }
    int lost = 0;
    const QList<int> kept = PageGrid::fncKept_LeftOut(leftOut, pages, lost);
    for (int k = 1; k <= shpPrintWakuR.UBound(); ++k)
        shpPrintWakuR(k).BackStyle = 0;
    for (const int k : kept)
        lblPageR_Click(k);  // marked as the page number's click marks it
    if (lost == 0)
        return true;
    MsgBox(QStringLiteral("用紙の印刷できる範囲が変わったため、用紙の枠（黄色の枠）を並べ直しました。") + vbCrLf
               + QStringLiteral("印刷しない頁にした枠のうち %1 枚は、同じ場所に枠が無くなったため、印刷しない指定を外しました。")
                     .arg(lost)
               + vbCrLf + QStringLiteral("印刷しない頁を確かめてから、印刷してください。"),
           vbOKOnly + vbExclamation, QStringLiteral("用紙サイズ"));
    return false;
}
