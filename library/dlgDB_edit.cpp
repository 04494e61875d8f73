// The drawing list's changing commands: rename, delete, and the password
// and access flags. Statements that belong together run under one savepoint
// of the open transaction, so that a failure leaves nothing half done.

#include "library/dlgDB.h"

#include "app/globals.h"
#include "db/mdlSQL.h"
#include "db/sqltext.h"
#include "library/dlgPassWord.h"
#include "library/mdlPassWord.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <functional>

using namespace vb;

namespace {

// Runs `statements` under a savepoint: when they all succeed (each reports
// its own failure) their changes stay, otherwise none of them does and the
// modified flag is as before.
bool fncRun_AllOrNothing(const QString& savepoint, const std::function<bool()>& statements)
{
    platform::db::Connection& db = sqltext::connection();
    const bool modified = GE_booDbUpdate;
    db.savepoint(savepoint);
    bool ok = false;
    try {
        ok = statements();
    } catch (...) {
        db.rollbackToSavepoint(savepoint);
        GE_booDbUpdate = modified;
        throw;
    }
    if (ok) {
        db.releaseSavepoint(savepoint);
        return true;
    }
    db.rollbackToSavepoint(savepoint);
    GE_booDbUpdate = modified;
    return false;
}

// Whether a delete statement took effect: they report a failure only in
// their box, and set the modified flag only when they succeed.
bool fncSucceeded(void (*statement)(qint32), qint32 printId)
{
    const bool modified = GE_booDbUpdate;
    GE_booDbUpdate = false;
    statement(printId);
    const bool ok = GE_booDbUpdate;
    GE_booDbUpdate = modified || ok;
    return ok;
}

}  // namespace

void dlgDB::mnuReName_Click()
{
    const int r = fgrdDB->row();
    const qint32 id = fncRow_Id(r);
    if (id < 1)
        return;
    fgrdDB->setCol(colName);
    const QString name =
        InputBox(QStringLiteral("表示文字列を入力してください"), QStringLiteral("画像帳・名前変更"), fgrdDB->text());
    if (name.isEmpty())
        return;
    mdlSQL::fncSQL_Print_UpdateText(id, QStringLiteral("strName"), name);
    subDisp_List();
}

void dlgDB::popDell_Click()
{
    const int r = fgrdDB->row();
    const qint32 id = fncRow_Id(r);
    if (id < 1)
        return;
    const QString question = cell(r, colNo) + QStringLiteral(" : ") + cell(r, colName) + vbCrLf +
                             QStringLiteral("を、削除しますか？") + vbCrLf + QStringLiteral("※誤って削除した場合は・・・") +
                             vbCrLf + QStringLiteral("プログラム終了時に、更新しないで終了してください。");
    if (MsgBox(question, vbYesNo + vbDefaultButton2 + vbQuestion, QStringLiteral("画像帳削除")) != vbYes)
        return;
    // The drawing goes with all its rows or not at all: no orphan objects.
    const bool deleted = fncRun_AllOrNothing(QStringLiteral("dlgDB_delete"), [id] {
        for (auto* statement : {mdlSQL::subSQL_PrintDeleteAll, mdlSQL::subSQL_LabelDeleteAll,
                                mdlSQL::subSQL_LineDeleteAll, mdlSQL::subSQL_ShapeDeleteAll,
                                mdlSQL::subSQL_HatchingDeleteAll, mdlSQL::subSQL_PrinterDeleteAll}) {
            if (!fncSucceeded(statement, id))
                return false;
        }
        return true;
    });
    if (deleted)
        subDisp_List();
}

void dlgDB::popPassWord_Click()
{
    const int r = fgrdDB->row();
    const qint32 id = fncRow_Id(r);
    if (id < 1)
        return;
    // The record keeps only a hash: the present password is the one just
    // typed at the prompt.
    QString present;
    if (!cell(r, colPassWord).isEmpty()) {
        if (!fncAsk_PassWord(cell(r, colName) + QStringLiteral(" は、パスワード保護されています。")))
            return;
        if (!mdlPassWord::fncPassWord_Matches(cell(r, colPassWord), GE_strPassWord)) {
            subShow_WrongPassWord();
            return;
        }
        present = GE_strPassWord;
    }

    dlgPassWord& dialog = platform::Instance<dlgPassWord>::get();
    dialog.setCaption(QStringLiteral("パスワード設定"));
    dialog.lblNo->setCaption(cell(r, colNo));
    dialog.lblName->setCaption(cell(r, colName));
    dialog.chkEdit->setValue(cell(r, colEdit) == QLatin1String("True") ? 1 : 0);
    dialog.chkVisible->setValue(cell(r, colVisible) == QLatin1String("True") ? 1 : 0);
    // Both boxes hold the present password, so OK without typing keeps it.
    for (int i = 0; i < 2; ++i) {
        dialog.txtPassWord(i).setText(present);
        dialog.txtPassWord(i).setIMEMode(2);
    }
    dialog.showForm(platform::vbModal);
    if (!GE_booDlgOK)
        return;

    // The password and both flags change together, and the row's cells only
    // once they have: the list never shows a protection that is not stored.
    const QString edit = CStr(GE_booEdit);
    const QString visible = CStr(GE_booVisible);
    const QString password = mdlPassWord::fncPassWord_Stored(GE_strPassWord);
    const bool stored = fncRun_AllOrNothing(QStringLiteral("dlgDB_password"), [&] {
        return mdlSQL::fncSQL_Print_UpdateText(id, QStringLiteral("strPassword"), password) == 0 &&
               mdlSQL::fncSQL_Print_UpdateNum(id, QStringLiteral("booEdit"), edit) == 0 &&
               mdlSQL::fncSQL_Print_UpdateNum(id, QStringLiteral("booVisible"), visible) == 0;
    });
    if (!stored)
        return;
    fgrdDB->setTextMatrix(r, colEdit, edit);
    fgrdDB->setTextMatrix(r, colVisible, visible);
    fgrdDB->setTextMatrix(r, colPassWord, password);
}
