#include "app/mdlSub.h"

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "platform/application.h"
#include "platform/events_outside.h"
#include "platform/files.h"
#include "platform/printwaitnote.h"
#include "platform/ui.h"
#include "platform/vberror.h"

#include <QApplication>
#include <QFileInfo>

using namespace vb;
namespace files = platform::files;

namespace mdlSub {

namespace {

// The three lines that close both folder warnings.
QString fallbackAdvice()
{
    return QStringLiteral("「データベースの管理」で再設定してください。") + vbCrLf
        + QStringLiteral("又は、ネットワークドライブ等の確認を行ってください。") + vbCrLf
        + QStringLiteral("その間サンプルデータベースを使用します。") + vbCrLf;
}

// An empty file (what an interrupted copy or a full disk leaves) holds no
// drawing and is no database: it counts as no file at all.
bool fncDbFileThere(const QString& path)
{
    return files::fileExists(path) && QFileInfo(path).size() > 0;
}

// The template copied to `target`; an empty file there is replaced in one
// step, so that a failed copy leaves it as it was.
void subCopy_Template(const QString& templatePath, const QString& target)
{
    if (!files::fileExists(target)) {
        files::copyFile(templatePath, target);
        return;
    }
    const QString fresh = target + QStringLiteral(".template");
    files::copyFile(templatePath, fresh);
    try {
        files::replaceFile(fresh, target);
    } catch (const Error&) {
        try {
            files::deleteFile(fresh);
        } catch (const Error&) {
        }
        throw;
    }
}

}  // namespace

qint16 fncGetWindowsVersion(qint32& platformId)
{
    platformId = qint32(platform::app::platformId());
    return 0;
}

void Main()
{
    // The start-up's own writes (the lock, Init.ini, the template's copy)
    // meet a size limit as a write error, whoever entered it.
    platform::app::takeSizeLimitAsWriteError();
    if (platform::app::prevInstance()) {
        MsgBox(QStringLiteral("このアプリケーションはすでに開かれています。"), vbCritical + vbOKOnly,
               QStringLiteral("起動時エラー"));
        return;
    }
    if (!mdlFileAccess::fncReadInitIni())
        return;

    qint32 platformId = 0;
    fncGetWindowsVersion(platformId);
    GE_lngPlatformId = platformId;

    const QString appPath = platform::app::path();
    const QString sampleFolder = files::join(appPath, QStringLiteral("MDB"));
    const QString templatePath = files::join(files::join(appPath, QStringLiteral("template")), QStringLiteral("master.mdb"));

    if (!files::fileExists(templatePath)) {
        MsgBox(QStringLiteral("template\\master.mdb が存在しません。再インストールしてください。"), vbCritical + vbOKOnly,
               QStringLiteral("インストールエラー"));
        return;
    }

    if (GE_strDB_Folda_Path.isEmpty())
        GE_strDB_Folda_Path = sampleFolder;
    if (GE_strFile_Name.isEmpty())
        GE_strFile_Name = QStringLiteral("master.mdb");

    if (!files::dirExists(GE_strDB_Folda_Path)) {
        MsgBox(GE_strDB_Folda_Path + vbCrLf + QStringLiteral("設定していたデータベースフォルダが存在しません。") + vbCrLf
                   + fallbackAdvice(),
               vbExclamation + vbOKOnly, QStringLiteral("フォルダ異常"));
        GE_strDB_Folda_Path = sampleFolder;
    }

    if (!files::dirExists(sampleFolder)) {
        MsgBox(sampleFolder + QStringLiteral(" が存在しません。再インストールしてください。"), vbCritical + vbOKOnly,
               QStringLiteral("インストールエラー"));
        return;
    }

    // The sample folder always holds a database of the configured name.
    const QString sampleFile = files::join(sampleFolder, GE_strFile_Name);
    QString copyFailure;
    if (!fncDbFileThere(sampleFile)) {
        const bool empty = files::fileExists(sampleFile);
        try {
            subCopy_Template(templatePath, sampleFile);
            if (empty)
                MsgBox(sampleFile + vbCrLf + QStringLiteral("データベースファイルが空（0 バイト）でした。") + vbCrLf
                           + QStringLiteral("図面は何も残っていないため、新しいデータベースファイルに置き換えました。") + vbCrLf,
                       vbExclamation + vbOKOnly, QStringLiteral("フォルダ異常"));
        } catch (const Error& error) {
            copyFailure = error.description();
        }
    }

    if (!fncDbFileThere(files::join(GE_strDB_Folda_Path, GE_strFile_Name))) {
        MsgBox(GE_strDB_Folda_Path + vbCrLf + QStringLiteral("設定していたデータベースフォルダ内にＭＤＢが存在しません。") + vbCrLf
                   + fallbackAdvice(),
               vbExclamation + vbOKOnly, QStringLiteral("フォルダ異常"));
        GE_strDB_Folda_Path = sampleFolder;
    }

    // A template that could not be copied only matters when the start now
    // depends on the copy; otherwise the user is told and the start goes on.
    if (!copyFailure.isEmpty()) {
        const QString inUse = files::join(GE_strDB_Folda_Path, GE_strFile_Name);
        if (!fncDbFileThere(inUse)) {
            MsgBox(inUse + vbCrLf + QStringLiteral("データベースファイルを作成できませんでした。") + vbCrLf + copyFailure,
                   vbCritical + vbOKOnly, QStringLiteral("インストールエラー"));
            return;
        }
        MsgBox(sampleFile + vbCrLf + QStringLiteral("サンプルデータベースを作成できませんでした。") + vbCrLf + copyFailure,
               vbExclamation + vbOKOnly, QStringLiteral("フォルダ異常"));
    }

    // The help is an HTML page here; a compiled Windows help file can't be shown.
    platform::app::setHelpFile(files::join(appPath, QStringLiteral("help.html")));

    GE_strTempPath = files::join(appPath, QStringLiteral("TEMP"));
    if (!files::dirExists(GE_strTempPath)) {
        QString failure;
        try {
            files::makeDir(GE_strTempPath);
        } catch (const Error& error) {
            failure = error.description();
        }
        if (!files::dirExists(GE_strTempPath)) {
            MsgBox(GE_strTempPath + vbCrLf + QStringLiteral("作業フォルダを作成できませんでした。") + vbCrLf + failure,
                   vbCritical + vbOKOnly, QStringLiteral("インストールエラー"));
            return;
        }
    }

    frmMain& start = platform::Instance<frmMain>::get();
    if (start.isLoaded())
        start.showForm(platform::vbModeless);
}

void subWatch_OutsideEnds()
{
    platform::watchOutsideEnds({[] {
                                    frmMain* start = platform::Instance<frmMain>::pointer();
                                    return !start || !start->isLoaded() || start->unload();
                                },
                                [] { mdlDB::subDbClose_Unattended(); }});
}

int run(QApplication& application)
{
    static platform::QtUserInterface qtUi;
    platform::setUi(&qtUi);
    // The wait for a slow print server shows itself over the window.
    platform::printscheduler::setWaitNote(platform::newPrintWaitNote);
    QApplication::setApplicationName(platform::app::title());
    platform::app::loadQtTranslations();
    QApplication::setQuitOnLastWindowClosed(false);
    Main();
    if (!platform::Instance<frmMain>::exists())
        return 0;
    subWatch_OutsideEnds();
    return application.exec();
}

}  // namespace mdlSub
