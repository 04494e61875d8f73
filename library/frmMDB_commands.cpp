// The database-file manager's commands: use, add, folder change, compact,
// rename and delete. A file another program holds is refused before any
// question; a failed file operation shows the failure box and
// leaves the files as they were; a command that closed the shared
// connection opens the file in use again.

#include "library/frmMDB.h"

#include "app/globals.h"
#include "db/mdlDB.h"
#include "library/dlgBrowesForFolder.h"
#include "library/mdlMdbFile.h"
#include "platform/application.h"
#include "platform/database.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/ui.h"

#include <QFileInfo>

using namespace platform;
using namespace vb;
namespace files = platform::files;

namespace {
bool fncAsk(const QString& question, const QString& title)
{
    return MsgBox(question, vbYesNo + vbQuestion + vbDefaultButton2, title) == vbYes;
}

// False when the user went back to the program from a failed commit: the
// file in use stays open with its changes and the command must end.
bool fncClose_Shared()
{
    return !GE_booDbOpen || mdlDB::fncDbClose() == 0;
}

// False, after the box that says why, when the compacted copy of `path`
// could not keep the file's owner and group.
bool fncKeepable(const QString& path)
{
    try {
        mdlMdbFile::subCheck_Keepable(path);
        return true;
    } catch (const vb::Error& error) {
        MsgBox(error.description(), vbOKOnly);
        return false;
    }
}
}  // namespace

void frmMDB::mnuUse_Click()
{
    // The sample database a start fell back to is in use but not the
    // setting: using it makes it the setting, and the missing folder is no
    // longer tried.
    if (GE_booDbFallback && !booTaken && fncRow_InUse()) {
        if (fncAsk(QStringLiteral("このデータ・ベースを使用しますか？"), strMdbName))
            booTaken = true;
        return;
    }
    const QString name = fncTake_Row(false);
    if (name.isEmpty() || !fncAsk(QStringLiteral("このデータ・ベースを使用しますか？"), name))
        return;
    const QString before = strMdbName;
    strMdbName = name;
    stsBar->Panels(2).setText(name);
    const OpenResult opened = subOpen_Mdb();
    if (opened == OpenResult::Opened) {
        booTaken = true;
        return;
    }
    // Not a database of ours, or the user kept the changes of the file in
    // use: back to the file used before, the window stays.
    strMdbName = before;
    stsBar->Panels(2).setText(before);
    if (opened == OpenResult::Kept)
        return;
    const QString previous = before.isEmpty() ? files::join(GE_strDB_Folda_Path, GE_strFile_Name) : fncPath(before);
    if (!fncOpen_Checked(previous))
        platform::End();
}

void frmMDB::cmdAdd_Click()
{
    if (!fncAsk(QStringLiteral("データ・ベースを追加しますか？"), QStringLiteral("データ・ベース追加")))
        return;
    // The first free number from the list's count on: an existing file is never the target.
    const QString name = mdlMdbFile::fncNew_Name(strMdbFolder, fileList->ListCount() + 1);
    const QString templatePath = files::join(files::join(app::path(), QStringLiteral("template")),
                                             QStringLiteral("master.mdb"));
    try {
        files::copyFile(templatePath, fncPath(name));
    } catch (const vb::Error& error) {
        subFailure(fncPath(name) + vbCrLf + error.description());
        return;
    }
    subRefresh_List();
}

void frmMDB::cmdSelect_Click()
{
    if (!fncAsk(QStringLiteral("フォルダを変更しますか？"), QStringLiteral("データベース・フォルダ変更")))
        return;
    dlgBrowesForFolder& picker = Instance<dlgBrowesForFolder>::get();
    picker.setCaption(QStringLiteral("データベース・フォルダ選択"));
    picker.lblComment->setCaption(QStringLiteral("データベースが保存されているフォルダを選択してください。"));
    picker.stsBar->Panels(1).setText(strMdbFolder);
    GE_strInDrive.clear();
    GE_strInFolder = strMdbFolder;
    picker.showForm(vbModal);
    if (!GE_booDlgOK)
        return;
    const QString folder = GE_strFolder;
    const QString previous = strMdbFolder;
    strMdbFolder = folder;
    if (!subRefresh_List()) {
        // A folder that can't be listed changes nothing.
        strMdbFolder = previous;
        subRefresh_List();
        return;
    }
    if (!fncClose_Shared()) {
        // The file in use stays open with its changes: the previous folder too.
        strMdbFolder = previous;
        subRefresh_List();
        return;
    }
    stsBar->Panels(1).setToolTipText(folder);
    lblPath->setCaption(folder);
    strMdbName.clear();
    booTaken = false;
    stsBar->Panels(2).setText(QString());
}

void frmMDB::mnuCompact_Click()
{
    const QString name = fncTake_Row(false);
    if (name.isEmpty() || !fncFile_Free(name, true) || !fncKeepable(fncPath(name))
        || !fncAsk(QStringLiteral("このデータ・ベースを最適化しますか？"), name))
        return;
    if (!fncClose_Shared())
        return;
    subCompact_Mdb(fncPath(name));
    subReopen_InUse();
}

void frmMDB::subCompact_Mdb(const QString& path)
{
    {
        Hourglass wait(this);
        try {
            mdlMdbFile::subCompact(path);
        } catch (const vb::Error& error) {
            subRefused(QFileInfo(path).fileName(), error);
            return;
        }
    }
    MsgBox(QStringLiteral("最適化が終了しました。「閉じる」前に、データベースを選択してください。"),
           vbOKOnly + vbExclamation, QStringLiteral("最適化"));
}

void frmMDB::mnuDel_Click()
{
    const QString name = fncTake_Row(true);
    if (name.isEmpty() || !fncFile_Free(name, true))
        return;
    const QString path = fncPath(name);
    if (!fncAsk(path + vbCrLf + QStringLiteral("このデータ・ベースを削除しますか？") + vbCrLf
                    + QStringLiteral("※削除後の取り消しは出来ません！"),
                name))
        return;
    if (!fncClose_Shared())
        return;
    try {
        mdlMdbFile::subDelete(path);
    } catch (const vb::Error& error) {
        subRefused(name, error);
    }
    subRefresh_List();
    subReopen_InUse();
}

void frmMDB::popReNmae_Click()
{
    const QString name = fncTake_Row(true);
    if (name.isEmpty() || !fncFile_Free(name, false))
        return;
    const QString path = fncPath(name);
    if (!fncAsk(path + vbCrLf + QStringLiteral("名前を変更しますか？") + vbCrLf
                    + QStringLiteral("※変更後の取り消しは出来ません！"),
                name))
        return;
    const QString answer = InputBox(QStringLiteral("名前を入力してください。") + vbCrLf + QStringLiteral(".MDB は入力しない。"),
                                    QStringLiteral("名前変更"), QString());
    if (answer.isEmpty())
        return;
    const QString newName = answer + QStringLiteral(".mdb");
    // The answer names a file of this folder, never one elsewhere.
    if (!mdlMdbFile::fncName_Allowed(answer)) {
        MsgBox(QStringLiteral("入力された名前はファイル名に使用できません！"), vbOKOnly + vbInformation, newName);
        return;
    }
    if (!fncClose_Shared())
        return;
    const QString target = fncPath(newName);
    if (files::exists(target)) {
        MsgBox(QStringLiteral("入力されたデータ・ベースは既に存在します！"), vbOKOnly + vbInformation, newName);
    } else if (files::exists(db::journalPath(target))) {
        // The journal of a file gone from under it would be played into this one.
        MsgBox(db::journalPath(target) + vbCrLf
                   + QStringLiteral("入力された名前のデータ・ベースのジャーナルファイルが残っています！"),
               vbOKOnly + vbInformation, newName);
    } else {
        try {
            mdlMdbFile::subRename(path, target);
        } catch (const vb::Error& error) {
            subRefused(name, error);
        }
        subRefresh_List();
    }
    subReopen_InUse();
}
