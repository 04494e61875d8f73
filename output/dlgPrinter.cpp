#include "output/dlgPrinter.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "editor/pagegrid.h"
#include "measure/optionrules.h"
#include "output/mdlPrinter.h"
#include "output/printlayout.h"
#include "platform/application.h"
#include "platform/events.h"
#include "platform/printer.h"
#include "platform/printqueue.h"
#include "platform/printservice.h"
#include "platform/ui.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <QWidget>
#include <utility>

using platform::CurrentPrinter;

namespace {

// A print ended by the user's own answer (no name and password given for
// the print server) is told in its own words alone; any other failure as
// an error with its number.
void tellFailure(const QString& procedure, const vb::Error& error)
{
    if (error.number() == vb::errCancel)
        vb::MsgBox(error.description(), vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
    else
        platform::showStandardError(procedure, error.number(), error.description());
}

}  // namespace

dlgPrinter::dlgPrinter() : platform::Form(QStringLiteral("dlgPrinter"))
{
    using namespace platform;
    setFixedDialogBorder();
    setCaption(QStringLiteral("印刷"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(6240), twipsToPixels(3000));

    Frame4 = new Frame(QStringLiteral("Frame4"), client);
    Frame4->Move(120, 120, 4200, 1095);
    Frame4->setCaption(QStringLiteral("印刷方法"));
    const QString methods[] = {QStringLiteral("用紙サイズ（横）に合わせて印刷"),
                               QStringLiteral("画像サイズに合わせて印刷")};
    for (int i = 0; i < 2; ++i) {
        OptionButton& o = optHouhou.add(i, new OptionButton(QStringLiteral("optHouhou"), Frame4));
        o.Move(240, 300 + 360 * i, 3840, 300);
        o.setCaption(methods[i]);
    }
    optHouhou(0).setValue(true);
    for (int i = 0; i < 2; ++i)
        optHouhou(i).Click = [this](int index) { optHouhou_Click(index); };

    Frame1 = new Frame(QStringLiteral("Frame1"), client);
    Frame1->Move(120, 1320, 4200, 735);
    Frame1->setCaption(QStringLiteral("印刷頁"));
    for (int i = 0; i < 2; ++i) {
        TextBox& t = txtPage.add(i, new TextBox(QStringLiteral("txtPage"), Frame1));
        t.Move(240 + 2040 * i, 300, 1200, 315);
        t.setText(QStringLiteral("1"));
        t.GotFocus = [this](int index) { txtPage_GotFocus(index); };
        t.KeyPress = [this](int index, int& key) { txtPage_KeyPress(index, key); };
        t.LostFocus = [this](int index) { txtPage_LostFocus(index); };
    }
    Label1 = new Label(QStringLiteral("Label1"), Frame1);
    Label1->Move(1680, 340, 360, 255);
    Label1->setCaption(QStringLiteral("～"));

    chkPictPrt = new CheckBox(QStringLiteral("chkPictPrt"), client);
    chkPictPrt->Move(240, 2160, 2400, 300);
    chkPictPrt->setCaption(QStringLiteral("画像を印刷する"));
    chkPictPrt->setValue(1);
    chkComent = new CheckBox(QStringLiteral("chkComent"), client);
    chkComent->Move(240, 2520, 2400, 300);
    chkComent->setCaption(QStringLiteral("コメントを印刷する"));
    chkComent->Click = [this] { chkComent_Click(); };

    const auto button = [client](const char* name, const QString& caption, int top) {
        auto* b = new CommandButton(QString::fromLatin1(name), client);
        b->Move(4560, top, 1560, 375);
        b->setCaption(caption);
        return b;
    };
    cmdPrint = button("cmdPrint", QStringLiteral("印刷実行"), 240);
    CancelButton = button("CancelButton", QStringLiteral("閉じる"), 720);
    cmdPropaty = button("cmdPropaty", QStringLiteral("プリンタの設定"), 1320);
    cmdDirectPrt = button("cmdDirectPrt", QStringLiteral("規定のﾌﾟﾘﾝﾀ設定"), 1800);
    cmdDirectPrt->setToolTipText(QStringLiteral("通常使うプリンタの設定を変えて印刷します"));
    cmdPrint->Click = [this] { cmdPrint_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
}

frmEdit& dlgPrinter::editor() const
{
    return platform::Instance<frmEdit>::get();
}

void dlgPrinter::Form_Load()
{
    {
        platform::Hourglass busy(this);
        editor().subGet_PrinterDue();
        // The page range is chosen over the frames the print will cut.
        editor().subGet_PrinterArea();
    }
    chkComent->setValue(GE_booPrtCmt ? 1 : 0);
    txtPage(0).setEnabled(false);
    txtPage(1).setEnabled(false);
    optHouhou(0).setToolTipText(
        QStringLiteral("用紙サイズ（横）に合うように拡大縮小して印刷します。※画面の拡大縮小は反映されません。"));
    optHouhou(1).setToolTipText(
        QStringLiteral("画像の拡大縮小どおりに印刷します。黄色枠の用紙サイズで複数枚印刷されます。"));
    intPage[0] = 1;
    intPage[1] = qint16(qMax(1, editor().lblPageR.UBound()));
    txtPage(0).setText(QString::number(intPage[0]));
    txtPage(1).setText(QString::number(intPage[1]));
    // Neither button has anything to do here.
    cmdPropaty->setEnabled(false);
    cmdDirectPrt->setEnabled(false);
}

void dlgPrinter::chkComent_Click()
{
    GE_booPrtCmt = chkComent->Value() == 1;
}

void dlgPrinter::optHouhou_Click(int index)
{
    if (index == 0 || index == 1) {
        txtPage(0).setEnabled(index == 1);
        txtPage(1).setEnabled(index == 1);
    }
}

void dlgPrinter::txtPage_GotFocus(int index)
{
    txtPage(index).setSelStart(0);
    txtPage(index).setSelLength(99);
}

void dlgPrinter::txtPage_KeyPress(int index, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    if (const auto number = PrintLayout::fncPage_Number(txtPage(index).Text()))
        intPage[size_t(index)] = *number;
    else if (vb::IsNumeric(txtPage(index).Text()))
        txtPage(index).setText(QString::number(intPage[size_t(index)]));
    if (index == 1) {
        cmdPrint->SetFocus();
    } else {
        intPage[1] = intPage[0];
        txtPage(1).setText(txtPage(0).Text());
        txtPage(1).SetFocus();
    }
}

void dlgPrinter::txtPage_LostFocus(int index)
{
    if (const auto number = PrintLayout::fncPage_Number(txtPage(index).Text()))
        intPage[size_t(index)] = *number;
    else
        txtPage(index).setText(QString::number(intPage[size_t(index)]));
    if (index == 0) {
        intPage[1] = intPage[0];
        txtPage(1).setText(txtPage(0).Text());
        txtPage(1).SetFocus();
    }
}

void dlgPrinter::CancelButton_Click()
{
    unload();
}

void dlgPrinter::cmdPrint_Click()
{
    platform::Printer& printer = CurrentPrinter();
    try {
        typDEVMODE devMode = GE_tpDevMode;
        typDEVNAMES devNames = GE_tpDevNames;
        QString pdfFile;
        platform::JobChoices job;
        if (!mdlPrinter::fncPrintDialog(false, devMode, devNames, &pdfFile, &job))
            return;
        mdlPrinter::subSet_Printer(devMode, devNames);
        // The dialog's, for this print.
        printer.setCopies(devMode.dmCopies);
        printer.setJobChoices(job);
        typPrinter chosen = GE_tpPrinter;
        mdlPrinter::subGet_PrinterRec(chosen, devMode);
        printer.KillDoc();
        // The dialog's choice is what prints: the file the user named, else
        // the printer chosen.
        printer.setOutputFile(pdfFile);
        printer.setDocumentName(GE_tpPrint.strName);
        // A queue that takes no jobs would drop the print without a word; a
        // queue whose server can't be reached (shut down, or not answering)
        // takes none either, and the fault is the server's. A print
        // refused here leaves the drawing's printer settings as they were:
        // what the printer reads back then is no choice of the user's.
        if (pdfFile.isEmpty() && platform::Printers::unreachable(printer.DeviceName())) {
            platform::printservice::tellUnreachable();
            return;
        }
        if (pdfFile.isEmpty() && !platform::printqueue::confirmAccepting(printer.DeviceName()))
            return;
        if (!printer.hasOutput()) {
            vb::MsgBox(QStringLiteral("印刷できるプリンタがありません。") + vb::vbCrLf
                           + QStringLiteral("印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定してください。"),
                       vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
            return;
        }
        GE_tpDevMode = devMode;
        GE_tpDevNames = devNames;
        const typPrinter before = std::exchange(GE_tpPrinter, chosen);
        if (!mdlPrinter::fncSame_Settings(before, GE_tpPrinter))
            editor().booPrtChange = true;
        // The page frames follow the paper chosen, so that page numbers name
        // the tiles that print.
        if (before.sngScaleWidth != GE_tpPrinter.sngScaleWidth
            || before.sngScaleHeight != GE_tpPrinter.sngScaleHeight) {
            // A range that ran to the last page still does.
            const bool toLast = intPage[1] == editor().lblPageR.UBound();
            const bool marksKept = editor().subReSetup_Page();
            if (toLast) {
                intPage[1] = qint16(editor().lblPageR.UBound());
                txtPage(1).setText(QString::number(intPage[1]));
            }
            // A page left out whose mark had to go: the user looks again first.
            if (!marksKept)
                return;
        }
        // The paper the print goes on, also when its size is the one shown.
        editor().subDisp_PaperName();
        platform::Hourglass busy(this);
        if (optHouhou(0).Value())
            subPrintFit();
        else if (optHouhou(1).Value())
            subPrintS();
        printer.EndDoc();
    } catch (const vb::Error& error) {
        // Nothing of a failed print comes out later.
        printer.KillDoc();
        tellFailure(QStringLiteral("dlgPrinter:cmdPrint_Click"), error);
    }
}

void dlgPrinter::subPrintFit()
{
    platform::Printer& printer = CurrentPrinter();
    frmEdit& e = editor();
    printer.setScaleMode(platform::vbMillimeters);
    // The factor comes from the map's extent, with or without its picture;
    // an empty extent prints nothing.
    const double factor = PrintLayout::fncFit_Factor(printer.ScaleWidth(), printer.ScaleHeight(),
                                                     e.pictMap->ScaleWidth(), e.pictMap->ScaleHeight());
    if (factor == 0)
        return;
    if (e.pictOrg->hasPicture() && chkPictPrt->Value() == 1) {
        // The picture as the map shows it: its height with the aspect factor.
        const double z = GE_sngZoom;
        printer.PaintPicture(e.pictOrg->picture(), 0, 0, e.pictOrg->ScaleWidth() * z * factor,
                             e.pictOrg->ScaleHeight() * z * measure::shownStretch(GE_sngPictAdj) * factor);
    }
    subPrint_Object(float(factor), float(factor));
    printer.EndDoc();
}

void dlgPrinter::subPrintS()
{
    platform::Printer& printer = CurrentPrinter();
    frmEdit& e = editor();
    try {
        printer.setScaleMode(platform::vbMillimeters);
        const double pw = printer.ScaleWidth(), ph = printer.ScaleHeight();
        const PageGrid::Grid grid = PageGrid::fncPage_Grid(e.pictMap->ScaleWidth(), e.pictMap->ScaleHeight(),
                                                           GE_tpPrinter.sngScaleWidth, GE_tpPrinter.sngScaleHeight);
        const auto printed = [&e](int k) {
            return k <= e.shpPrintWakuR.UBound() && e.shpPrintWakuR(k).BackStyle == 0;
        };
        const auto tiles = PrintLayout::fncTiles(grid, pw, ph, intPage[0], intPage[1], printed);
        if (tiles.empty()) {
            // Nothing would come out, and nothing would say why.
            vb::MsgBox(QStringLiteral("印刷頁 %1 ～ %2 には、印刷する頁がありません。").arg(intPage[0]).arg(intPage[1])
                           + vb::vbCrLf + QStringLiteral("印刷頁の範囲と、印刷しない頁の指定を確認してください。"),
                       vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
            return;
        }
        for (const PrintLayout::Tile& tile : tiles) {
            if (chkPictPrt->Value() == 1 && e.pictOrg->hasPicture()) {
                printer.Scale(0, 0, pw, ph);
                const QRectF source = PrintLayout::fncTile_Source(tile, pw, ph, GE_sngZoom,
                                                                      measure::shownStretch(GE_sngPictAdj));
                printer.PaintPicture(e.pictOrg->picture(), 0, 0, pw, ph, source.x(), source.y(), source.width(),
                                     source.height());
            }
            printer.Scale(tile.x, tile.y, tile.x + pw, tile.y + ph);
            subPrint_Object(1, 1);
            printer.NewPage();
        }
        printer.EndDoc();
    } catch (const vb::Error& error) {
        // The sheets sent so far are no print: the old file stays.
        printer.KillDoc();
        tellFailure(QStringLiteral("dlgPrinter:subPrintS"), error);
    }
}
