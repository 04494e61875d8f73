// The start window's import of a drawing of the previous version: the
// settings file, the picture folder and the new drawing's number and name;
// the editor's load then reads the data set. A data set that can't be read
// whole stops the import with the failure box, and no editor stays.

#include "app/frmMain.h"

#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "editor/frmEdit.h"
#include "library/dlgBrowesForFolder.h"
#include "library/frmNew.h"
#include "library/oldimport.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace vb;
namespace files = platform::files;

void frmMain::mnuInPort_Click()
{
    if (editorOpen())
        return;
    try {
        dlgFile.DialogTitle = QStringLiteral("旧ねむのき・図面データを開きます");
        dlgFile.DefaultExt = QStringLiteral("ini");
        dlgFile.Filter = QStringLiteral("Init(*.ini)|*.ini");
        dlgFile.FileName.clear();
        dlgFile.CancelError = true;
        dlgFile.ShowOpen();
        const QString iniPath = dlgFile.FileName;

        dlgBrowesForFolder& picker = platform::Instance<dlgBrowesForFolder>::get();
        picker.setCaption(QStringLiteral("旧ねむのき・画像フォルダ選択"));
        picker.lblComment->setCaption(QStringLiteral("画像が収録されているフォルダを選択してください。"));
        GE_strInDrive.clear();
        GE_strInFolder = GE_strDB_Folda_Path;
        picker.showForm(platform::vbModal);
        if (!GE_booDlgOK || GE_strFolder.isEmpty())
            return;

        const QString mapImage = mdlFileAccess::fncGetIni(mdlFileAccess::OldSecFiles, mdlFileAccess::OldKeyMapImage,
                                                          iniPath);
        if (!mdlFileAccess::fncOld_NameAllowed(mapImage))
            vb::raise(errBadFileName, mdlFileAccess::OldKeyMapImage + QStringLiteral(" = ") + mapImage + QStringLiteral(": ")
                                      + errorDescription(errBadFileName));
        if (mapImage.isEmpty() || files::findFileName(GE_strFolder, mapImage).isEmpty()) {
            MsgBox(QStringLiteral("画像ファイルが見つかりませんでした") + vbCrLf
                       + QStringLiteral("図面データに記録されている画像ファイル名 : <") + mapImage + QStringLiteral(">")
                       + vbCrLf + QStringLiteral("選択したフォルダ名 : ") + GE_strFolder,
                   vbOKOnly + vbExclamation, QStringLiteral("フォルダ選択異常"));
            return;
        }
        GE_strPict_Drive = GE_strDrive;
        GE_strPict_Folda = GE_strFolder;

        const QFileInfo settings(iniPath);
        const QString fileName = settings.fileName();
        if (fileName.size() < 4)
            vb::raise(errInvalidCall, fileName + QStringLiteral(": ") + errorDescription(errInvalidCall));
        frmNew& dialog = platform::Instance<frmNew>::get();
        dialog.setCaption(QStringLiteral("旧ねむのき・図面データ [インポート] ") + GE_strFile_Name);
        dialog.txtNo->setText(Format(Now(), QStringLiteral("mmdd-hhnn")));
        dialog.txtName->setText(fileName.left(fileName.size() - 4));
        dialog.showForm(platform::vbModal);
        if (!GE_booDlgOK)
            return;

        mdlDB::fncTell_NotWritable();
        GE_tpPrint.Print_Id = -1;
        GE_tpPrint.booEdit = true;
        GE_tpPrint.booVisible = true;
        GE_tpPrint.strPassWord.clear();
        GE_tpPrint.strPath = settings.absolutePath();
        GE_tpPrint.strFileName = fileName;
        frmEdit& editor = platform::Instance<frmEdit>::get();
        if (editor.errImport) {
            // Nothing of the data set was kept: the window goes without its close questions.
            const Error failure = *editor.errImport;
            editor.booDrawChange = false;
            editor.booPrtChange = false;
            editor.unload();
            GE_tpPrint.Print_Id = 0;
            throw failure;
        }
        editor.stsBar->Panels(1).setText(GE_tpPrint.strPath);
        editor.showForm(platform::vbModeless);
    } catch (const Error& error) {
        if (error.number() == errCancel)
            return;
        MsgBox(QStringLiteral("mnuInPort_Click():ｴﾗｰ番号 ") + Str(qint32(error.number()))
                   + QStringLiteral(" ｴﾗｰが発生しました。") + vbCr + error.description(),
               vbOKOnly, QStringLiteral("ｴﾗｰ"));
    }
}
