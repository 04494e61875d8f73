// Opening a drawing in the editor (stored, brought in from the previous
// version's data, or new), the layout on every resize, the close, and the
// input dialog's answer.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "db/mdlSQL.h"
#include "db/mdlSQL_objects.h"
#include "library/frmThumbnail.h"
#include "library/oldimport.h"
#include "measure/frmOption.h"
#include "measure/settingsmenus.h"
#include "objects/objectarrays.h"
#include "output/mdlPrinter.h"
#include "properties/frmPropaty.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/metrics.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <algorithm>
#include <climits>
#include <cmath>

using namespace platform;
using namespace vb;
namespace files = platform::files;

void frmEdit::Form_Load()
{
    subInit_Settings();
    subInit_Menu();
    subInit_Toolbar();
    subInit_Window();

    // No drawing inherits the hatching records of the one opened before.
    GE_tpHatching = {typHatching()};
    strUnreadRows.clear();
    booPrtDue = false;
    if (GE_tpPrint.Print_Id > 0) {
        if (!loadStored())
            return;  // the empty view with the initial menus
    } else if (GE_tpPrint.Print_Id < 0) {
        errImport.reset();
        if (!loadImported())
            return;  // the opener unloads the window
    } else {
        mdlPrinter::subGet_PrinterRec(GE_tpPrinter);
    }
    // The options window starts afresh from this drawing's settings, hidden;
    // one left from another drawing writes nothing back into them.
    if (frmOption* left = platform::Instance<frmOption>::pointer())
        left->subDiscard();
    platform::Instance<frmOption>::get();

    intHatchCnt = 0;
    Toolbar1->Buttons(13).setEnabled(GE_booModeKei);
    subInit_StatusBar();
    subSetup_Page();
    subSetup_PageR();
    subDisp_Paper(GE_sngZoom, true);
    subDisp_PaperR(true);
}

// A stored drawing: its record, its picture (looked for when missing) at 100 %.
// False when the drawing can't be read or names no picture: the load ends.
bool frmEdit::loadStored()
{
    // A failed read ends the load as "not found" does: nothing half-read is shown.
    if (mdlSQL::fncSQL_GetPrint(GE_tpPrint.strNo, GE_tpPrint))
        return false;
    measure::subShow_Settings(*this);
    if (GE_tpPrint.strFileName.isEmpty() || GE_tpPrint.strPath.isEmpty())
        return false;
    bool found = false;
    subFind_Picture(files::join(GE_tpPrint.strPath, GE_tpPrint.strFileName), found);
    // The search may have changed the record's folder and file.
    if (found)
        subPictDraw(files::join(GE_tpPrint.strPath, GE_tpPrint.strFileName));
    for (Menu* command : {mnuFileSavePrj, mnuFileSaveAsImg, mnuFileSaveCsv, mnuFileNewPrj})
        command->setEnabled(true);
    subLoad_Label(GE_tpPrint.Print_Id);
    subLoad_Line(GE_tpPrint.Print_Id);
    subLoad_Shape(GE_tpPrint.Print_Id);
    subLoad_Hatching(GE_tpPrint.Print_Id);
    // Once for the whole drawing, whichever tables lost rows.
    if (!strUnreadRows.isEmpty())
        MsgBox(QStringLiteral("この図面の次のデータは、読み込めなかったため表示していません。") + vbCrLf
                   + strUnreadRows.join(vbCrLf) + vbCrLf + vbCrLf
                   + QStringLiteral("保存されているデータを失わないよう、この図面は上書き保存できません。"),
               vbExclamation, QStringLiteral("図面の読込"));
    // Without settings of its own (or when they can't be read) the drawing
    // takes the current printer's, never those of the drawing opened before;
    // the open waits on no print server for them.
    if (mdlSQL::fncSQL_LoadPrinter_Struct(GE_tpPrint.Print_Id, GE_tpPrinter) != 0)
        booPrtDue = !mdlPrinter::fncGet_PrinterRec_Known(GE_tpPrinter);
    sZoom(1.0f);
    return true;
}

// The previous version's data: the start window has put the old settings
// file into the record and the chosen picture folder into GE_strFolder. The
// drawing becomes an unsaved new one. False, with errImport set, when the
// data set could not be read: nothing of it is shown.
bool frmEdit::loadImported()
{
    const QString settingsFile = files::join(GE_tpPrint.strPath, GE_tpPrint.strFileName);
    mdlFileAccess::typOldLeftOut left;
    try {
        ObjectArrays arrays = objectArrays();
        left = mdlFileAccess::subReadOld_Drawing(arrays, GE_tpPrint.strPath, settingsFile);
        GE_tpPrint.datHizuke = vb::FileDateTime(settingsFile);
        GE_sngPictAdj = 1.0f;
        GE_sngScale = 0;
        GE_booPictAdj = false;
        measure::subShow_Settings(*this);
        subRepair_Imported();
    } catch (const vb::Error& error) {
        errImport = error;
        return false;
    }
    mdlPrinter::subGet_PrinterRec(GE_tpPrinter);
    GE_tpPrint.Print_Id = 0;
    GE_tpPrint.strFileName = GE_strMapImage;
    GE_tpPrint.strPath = GE_strFolder;
    mnuFileSavePrj->setEnabled(true);
    mnuFileSaveAsPrj->setEnabled(true);
    mnuFileSaveCsv->setEnabled(true);
    // Nothing of it is in the database yet: closing must offer the save.
    booDrawChange = true;
    subPictDraw(files::join(GE_tpPrint.strPath, GE_tpPrint.strFileName));
    mnuFileSaveAsImg->setEnabled(pictMap->hasPicture());
    sZoom(1.0f);
    GE_sngZoom = 1.0f;
    sngZoomPrev = 1.0f;
    const QString notice = mdlFileAccess::fncOld_Notice(left);
    if (!notice.isEmpty())
        MsgBox(notice, vbOKOnly + vbInformation, QStringLiteral("旧ねむのき・図面データ"));
    return true;
}

void frmEdit::Form_Resize()
{
    constexpr double tpp = TwipsPerPixel;
    const int state = WindowState();
    if (state != 1 && state != 2) {
        if (Width() / tpp < 320)
            setWidth(TwipsPerPixel * 320);
        if (Height() / tpp < 240)
            setHeight(TwipsPerPixel * 240);
    }
    if (state == 1)
        return;
    const double w = Width() / tpp;
    const double h = Height() / tpp;
    const int scrollWidth = metricPixels(Metric::VScrollWidth);
    const int scrollHeight = metricPixels(Metric::HScrollHeight);
    const double viewWidth = w - scrollWidth - 2 * metricPixels(Metric::FrameWidth);
    const double viewHeight = h - scrollHeight - metricPixels(Metric::CaptionHeight) - metricPixels(Metric::MenuHeight)
        - 2 * metricPixels(Metric::FrameHeight) - 90;
    pictWindow->Move(0, 45, std::max(0.0, viewWidth), std::max(0.0, viewHeight));
    const int left = int(pictWindow->Left()), top = int(pictWindow->Top());
    const int width = int(pictWindow->Width()), height = int(pictWindow->Height());
    vscY->setGeometry(left + width, top, scrollWidth, height);
    vscY->setSmallChange(10);
    vscY->setLargeChange(50);
    hscX->setGeometry(left, top + height, width, scrollHeight);
    hscX->setSmallChange(10);
    hscX->setLargeChange(50);
    setScrollMaxima();
    subSet_Scroll();
    pictWindow->setScaleMode(vbPixels);
}

// The scroll range: the map's outer size beyond the viewport's inner size.
// The bars count in 32 bits, so a large picture at a high zoom still fits;
// a map smaller than the viewport gives 0, as Min stays 0.
void frmEdit::setScrollMaxima()
{
    const auto range = [](double excess) {
        return int(std::clamp(std::round(excess), 0.0, double(INT_MAX)));
    };
    hscX->setMax(range(pictMap->Width() - pictWindow->Width() + 4));
    vscY->setMax(range(pictMap->Height() - pictWindow->Height() + 4));
}

// Nothing is committed here: what is written stays in the database's
// transaction. A save the user asked for and that could not be made keeps
// the editor open with the drawing, so that the work is not lost; answering
// No to the question still closes without saving.
void frmEdit::Form_Unload(int& cancel)
{
    // The options window puts its unconfirmed points back first, so that
    // they stay within this drawing and the save keeps the confirmed ones.
    if (frmOption* options = platform::Instance<frmOption>::pointer())
        options->unload();
    // A drawing opened without its picture keeps its objects and can be
    // saved: its changes are offered as a pictured drawing's are. Only a
    // drawing that has nothing to be stored as (no save command) asks nothing.
    if (mnuFileSavePrj->Enabled() && GE_tpPrint.booEdit) {
        if (booDrawChange && fncSave_Asked() == SaveOutcome::Refused) {
            cancel = 1;
            return;
        }
        if (GE_tpPrint.Print_Id > 0 && booPrtChange
            && MsgBox(QStringLiteral("プリンタの設定を保存しますか？"), vbYesNo + vbInformation,
                      QStringLiteral("設定の保存")) == vbYes) {
            if (mdlSQL::fncSQL_UpdateLabel(GE_tpPrint.Print_Id, GE_tpPrinter) != 0) {
                cancel = 1;
                return;
            }
            booPrtChange = false;
        }
    }
    if (GE_booThumbnail) {
        if (frmThumbnail* thumbnails = platform::Instance<frmThumbnail>::pointer())
            thumbnails->unload();
    }
    if (GE_booPropaty) {
        if (frmPropaty* sheet = platform::Instance<frmPropaty>::pointer())
            sheet->unload();
    }
}

void frmEdit::propLetDlgNum(const QString& value)
{
    strDlgNum = vb::IsNumeric(value) ? value : QString();
}

void frmEdit::propLetDlgText(const QString& value)
{
    strDlgText = value;
}

void frmEdit::propLetDlgCancel(bool value)
{
    booDlgCancel = value;
}
