// The File menu's drawing commands: bringing a picture in, saving the
// drawing with its objects and printer settings, and ending the editor.
// What is saved becomes permanent only when the database is closed with
// the user's agreement.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "db/mdlDB.h"
#include "library/dlgBrowesForFolder.h"
#include "library/frmThumbnail.h"
#include "objects/importclear.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "platform/vberror.h"

#include <QScopeGuard>

#include <functional>

using namespace platform;
using namespace vb;

namespace {

const QString kSaveTitle = QStringLiteral("オブジェクトの保存");

// The folder chooser and then the thumbnails of that folder: true when a
// picture was chosen (GE_strFolder and GE_strMapImage name it). A cancelled
// pick never brings in a name chosen earlier in the run. `accept`, when
// given, judges the choice while the thumbnails are still open, so that a
// picture it refuses leaves them open for another.
bool pickPicture(frmEdit& editor, const QString& caption, std::function<bool(const QString& path)> accept)
{
    GE_strMapImage.clear();
    dlgBrowesForFolder& chooser = Instance<dlgBrowesForFolder>::get();
    chooser.setCaption(caption);
    chooser.lblComment->setCaption(QStringLiteral("画像ファイルが存在するフォルダを、ダブルクリックしてください。"));
    chooser.stsBar->Panels(1).setText(GE_strPict_Folda);
    GE_strInDrive = GE_strPict_Drive;
    GE_strInFolder = GE_strPict_Folda;
    chooser.showForm(vbModal);
    if (!GE_booDlgOK)
        return false;

    editor.stsBar->Panels(1).setText(GE_strFolder);
    GE_strPict_Drive = GE_strDrive;
    GE_strPict_Folda = GE_strFolder;
    frmThumbnail& thumbnails = Instance<frmThumbnail>::get();
    thumbnails.lblMesage->setCaption(QStringLiteral("画像又は、ファイル名をクリックして「ＯＫ」を押すか、")
                                     + QStringLiteral("ダブルクリックしてください。") + vbCrLf
                                     + QStringLiteral("右クリックで画像を拡大表示します。"));
    thumbnails.showForm(vbModal, std::move(accept));
    return !GE_strMapImage.isEmpty();
}

}  // namespace

bool frmEdit::fncPick_Picture(const QString& caption)
{
    return pickPicture(*this, caption, {});
}

void frmEdit::mnuFileNewPrj_Click()
{
    if (GE_booThumbnail)
        return;
    // Panel 1 names the drawing's picture folder again when no picture
    // comes in, not the folder only looked into.
    const QString folderShown = stsBar->Panels(1).Text();
    bool brought = false;
    const auto keepFolder = qScopeGuard([&] {
        if (!brought)
            stsBar->Panels(1).setText(folderShown);
    });
    try {
        // The picture first, read while the thumbnails are open: one that
        // can't be read, or only in part, leaves the drawing as it was and
        // the user free to choose another.
        SharedImage picture;
        const auto readable = [this, &picture](const QString& path) {
            picture = fncLoad_Picture(path, true);
            return bool(picture);
        };
        if (!pickPicture(*this, QStringLiteral("画像取り込み"), readable) || !picture)
            return;
        // The work the new picture would wipe out is the user's to give up.
        const QStringList cleared = mdlObjects::fncCleared_Kinds(objectArrays());
        if (!cleared.isEmpty()
            && MsgBox(QStringLiteral("画像を取り込むと、この図面の次のオブジェクトがすべて消去されます。") + vbCrLf + vbCrLf
                          + cleared.join(vbCrLf) + vbCrLf + vbCrLf
                          + QStringLiteral("（図形は残ります。）画像を取り込みますか？"),
                      vbYesNo + vbQuestion + vbDefaultButton2, QStringLiteral("画像取り込み"))
                != vbYes)
            return;
        subShow_Picture(picture);
        brought = true;
        GE_tpPrint.strFileName = GE_strMapImage;
        GE_tpPrint.strPath = GE_strFolder;
        subAllClr_MesData();
        subAllClr_Hikidashi();
        subAllClr_Moji();
        subAllClr_KeiIdo();
        subClear_Selection();  // the sheet must not keep an index of the cleared arrays
        // The objects were changed: closing offers the save.
        booDrawChange = true;
        mnuFileSavePrj->setEnabled(true);
        mnuFileSaveAsPrj->setEnabled(true);
        mnuFileSaveCsv->setEnabled(true);
        mnuFileSaveAsImg->setEnabled(true);  // there is a picture to save now
        // The picture shows at its own size. The shapes, which stay, are
        // brought to it too, so that they are stored where they are seen.
        const bool zoomed = GE_sngZoom != 1.0f;
        GE_sngZoom = 1.0f;
        if (zoomed)
            sZoom(GE_sngZoom);
        sngZoomPrev = 1.0f;
        // The pages follow the new picture's size, not the previous one's.
        subSetup_Page();
        subSetup_PageR();
        subDisp_Paper(GE_sngZoom, true);
        subDisp_PaperR(true);
        stsTip->Panels(1).setText(QStringLiteral("メニュー「ﾂｰﾙ(T)」→「ｵﾌﾟｼｮﾝ(O)」を選択してください。"));
    } catch (const vb::Error& error) {
        if (error.number() == errCancel)
            return;  // a common dialog cancelled: nothing to tell
        MsgBox(QStringLiteral("mnuFileOpenMap_Click():ｴﾗｰ番号 ") + QString::number(error.number())
                   + QStringLiteral(" ｴﾗｰが発生しました。") + vbCr + error.description(),
               vbOKOnly, QStringLiteral("ｴﾗｰ"));
    }
}

// Saves at 100 %, so that every object is written unzoomed, and returns to
// the zoom it was at. A save that fails keeps both change flags: the editor
// still knows the drawing is unsaved. When the failure cost the database's
// transaction, what was saved before it since the file was opened is gone
// too, and the message says so.
void frmEdit::mnuFileSavePrj_Click()
{
    fncSave_Asked();
}

frmEdit::SaveOutcome frmEdit::fncSave_Asked()
{
    if (MsgBox(QStringLiteral("オブジェクトを上書きしますか？"), vbYesNo + vbQuestion + vbDefaultButton2, kSaveTitle)
        != vbYes)
        return SaveOutcome::Declined;
    if (!GE_tpPrint.booEdit) {
        booDrawChange = false;  // never to be stored: the close asks nothing
        MsgBox(QStringLiteral("この図面は、ユーザーにより編集不可に設定されています。"), vbExclamation,
               QStringLiteral("編集不可"));
        return SaveOutcome::Refused;
    }
    // Writing back only what was loaded would delete the rows that were not.
    if (!strUnreadRows.isEmpty()) {
        MsgBox(QStringLiteral("この図面には読み込めなかったデータがあるため、上書き保存できません。"), vbExclamation,
               QStringLiteral("保存不可"));
        return SaveOutcome::Refused;
    }
    // The row written holds the printer's settings, not a stand-in for them.
    subGet_PrinterDue();
    const bool drawChange = booDrawChange;
    booDrawChange = false;
    bool saved = false;
    const bool written = GE_booDbUpdate;
    const long losses = mdlDB::fncLossCount();
    const long refusals = mdlDB::fncRefusalCount();
    const long held = mdlDB::fncHeldCount();
    {
        Hourglass busy(this);
        const float zoom = GE_sngZoom;
        const bool zoomed = zoom != 1.0f;
        if (zoomed)
            mnuDispEandR_Click(4);  // １００％
        saved = fncSave_Drawing();
        if (zoomed) {
            GE_sngZoom = zoom;
            sZoom(GE_sngZoom);
            subReset_ViewMode();
        }
    }
    if (saved) {
        booPrtChange = false;
        return SaveOutcome::Saved;
    }
    booDrawChange = drawChange || booDrawChange;  // a lost transaction marks it changed
    // The box that named the room the save lacks said what to do, and that
    // the change was not written.
    if (mdlDB::fncRefusalCount() != refusals)
        return SaveOutcome::Refused;
    if (written && mdlDB::fncLossCount() != losses)
        MsgBox(QStringLiteral("図面を保存できませんでした。このファイルを開いてから保存した内容も、ファイルに残せませんでした。")
                   + vbCrLf + QStringLiteral("ディスクの空き容量を確保してから、もう一度保存してください。"),
               vbExclamation, kSaveTitle);
    else if (mdlDB::fncHeldCount() != held)
        // Another copy of the program has written the file and not yet
        // saved it for good: only its end lets this one write.
        MsgBox(QStringLiteral("図面を保存できませんでした。保存されている図面は、前回保存した内容のままです。") + vbCrLf + vbCrLf
                   + QStringLiteral("このデータベースファイルを、ほかのねむのきⅡ（別のパソコンや別のユーザーのもの）が使っています。")
                   + vbCrLf + QStringLiteral("そのねむのきⅡを終了してもらってから、もう一度保存してください。")
                   + QStringLiteral("図面は開いたままなので、あとで保存できます。"),
               vbExclamation, kSaveTitle);
    else
        MsgBox(QStringLiteral("図面を保存できませんでした。保存されている図面は、前回保存した内容のままです。"),
               vbExclamation, kSaveTitle);
    return SaveOutcome::Refused;
}

void frmEdit::mnuFileSaveAsPrj_Click()
{
    if (GE_booThumbnail) {
        if (frmThumbnail* thumbnails = Instance<frmThumbnail>::pointer())
            thumbnails->unload();
    }
}

void frmEdit::mnuFileEnd_Click()
{
    unload();
}
