#include "app/mdlSub.h"

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "platform/application.h"
#include "platform/events_outside.h"
#include "platform/files.h"
#include "platform/ownlinks.h"
#include "platform/printspool.h"
#include "platform/privatefolder.h"
#include "platform/programfolder.h"
#include "platform/printwaitnote.h"
#include "platform/ui.h"
#include "platform/vberror.h"

#include <QApplication>
#include <QFileInfo>

using namespace vb;
namespace files = platform::files;

namespace mdlSub {

namespace {

const QString kFolderTitle = QStringLiteral("フォルダ異常");
const QString kFileTitle = QStringLiteral("データベースファイル異常");
const QString kInstallTitle = QStringLiteral("インストールエラー");
// The fallback's last line, and where that day's drawings go: they stay in
// the sample database when the configured one is back.
QString useSample()
{
    return QStringLiteral("その間サンプルデータベースを使用します。") + vbCrLf
        + QStringLiteral("この間に保存した図面はサンプルデータベースに残り、フォルダが戻っても元のデータベースには移りません。");
}

// The lines that close both folder warnings.
QString fallbackAdvice()
{
    return QStringLiteral("「データベースの管理」で再設定してください。") + vbCrLf
        + QStringLiteral("又は、ネットワークドライブ等の確認を行ってください。") + vbCrLf + useSample() + vbCrLf;
}

// What the start finds beside the program.
struct Places {
    QString app;     // the program folder
    QString sample;  // the sample database folder
    QString templ;   // the template database
};

Places programPlaces()
{
    const QString app = platform::app::path();
    return {app, mdlFileAccess::fncSampleFolder(),
            files::join(files::join(app, QStringLiteral("template")), QStringLiteral("master.mdb"))};
}

QString fncWorkFolder(const Places& places)
{
    return files::join(places.app, QStringLiteral("TEMP"));
}

// An empty file (what an interrupted copy or a full disk leaves) holds no
// drawing and is no database: it counts as no file at all.
bool fncDbFileThere(const QString& path)
{
    return files::fileExists(path) && QFileInfo(platform::programfolder::reach(path)).size() > 0;
}

// Without a font for Japanese every caption and message shows as empty
// boxes; this box is worded in letters any font has, and the start goes on.
void subTell_NoJapaneseFont()
{
    if (platform::app::japaneseFontInstalled())
        return;
    MsgBox(QStringLiteral("No font that can show Japanese is installed on this computer.") + vbCrLf
               + QStringLiteral("The menus, buttons and messages of this program are in Japanese;") + vbCrLf
               + QStringLiteral("without such a font they show as empty boxes.") + vbCrLf + vbCrLf
               + QStringLiteral("Install a Japanese font, on Debian or Ubuntu as root:") + vbCrLf
               + QStringLiteral("    apt-get install fonts-noto-cjk") + vbCrLf
               + QStringLiteral("(or fonts-ipafont), and start the program again."),
           vbExclamation + vbOKOnly, QStringLiteral("Nemunoki II: no Japanese font"));
}

// The box of the places the start can't write: false, the start ends.
bool fncTell_Unwritable(const QStringList& refused, bool top)
{
    MsgBox(refused.join(vbCrLf) + vbCrLf
               + (top ? QStringLiteral("このフォルダに書き込めないため、ねむのきⅡを起動できません。")
                      : QStringLiteral("プログラムのフォルダの中のこれらに書き込めないため、ねむのきⅡを起動できません。"))
               + vbCrLf + QStringLiteral("ねむのきⅡは、設定（Init.ini）、サンプルデータベース（MDB）と作業フォルダ（TEMP）を")
               + QStringLiteral("プログラムのフォルダに置いて書き込みます。") + vbCrLf
               + QStringLiteral("プログラムのフォルダを自分のフォルダ（ホームフォルダなど）に複写してそこから起動するか、")
               + (top ? QStringLiteral("このフォルダに書き込めるようにしてください。")
                      : QStringLiteral("プログラムのフォルダの中のすべてに書き込めるようにしてください。"))
               + vbCrLf,
           vbCritical + vbOKOnly, kInstallTitle);
    return false;
}

// The program writes its settings, the sample database and its work folder
// beside itself: a program folder the user may not write (an installation
// owned by another user), or one writable at its top only (a shared install
// made group-writable there alone), ends the start with the one box that
// names every place it can't write and says what to do. Nothing else is
// said, of a database folder the user never set least of all.
bool fncProgramFolder_Writable(const Places& places)
{
    const QString ini = files::join(places.app, mdlFileAccess::IniFileName);
    const QString temp = fncWorkFolder(places);
    // A folder the user can't write at all is named alone: its copy is the way out.
    if (!files::canCreateIn(places.app))
        return fncTell_Unwritable({places.app}, true);
    // Another user's link in the user's place (a colleague's in a shared
    // program folder, the folder owner's where root runs it) is never
    // followed, so the program has no settings, databases or work folder
    // there; each is named.
    QStringList foreign;
    for (const QString& place : {ini, places.sample, temp}) {
        const QString link = platform::foreignLinkAt(place);
        if (!link.isEmpty())
            foreign << platform::foreignLinkText(link);
    }
    if (!foreign.isEmpty()) {
        MsgBox(foreign.join(vbCrLf) + vbCrLf + QStringLiteral("このため、ねむのきⅡを起動できません。") + vbCrLf,
               vbCritical + vbOKOnly, kInstallTitle);
        return false;
    }
    QStringList refused;
    for (const QString& folder : {places.sample, temp}) {
        if (files::dirExists(folder) && !files::canCreateIn(folder))
            refused << folder;
    }
    if (files::fileExists(ini) && !files::canRewrite(ini))
        refused << ini;
    return refused.isEmpty() || fncTell_Unwritable(refused, false);
}

bool fncAnother_Instance()
{
    QString foreignLock, otherUser;
    if (!platform::app::prevInstance(&foreignLock, &otherUser)) {
        mdlDB::subClear_Ending();
        return false;
    }
    if (!foreignLock.isEmpty()) {
        MsgBox(platform::foreignLinkText(foreignLock) + vbCrLf + QStringLiteral("このため、ねむのきⅡを起動できません。") + vbCrLf,
               vbCritical + vbOKOnly, QStringLiteral("起動時エラー"));
        return true;
    }
    // A run whose display went away has no window, yet holds the lock
    // while it waits to save: the user is told to wait for it, not that a
    // window is open somewhere.
    if (const std::optional<QDateTime> until = mdlDB::fncEnding_Until()) {
        const qint64 seconds = qMax<qint64>(1, (QDateTime::currentDateTimeUtc().msecsTo(*until) + 999) / 1000);
        MsgBox(QStringLiteral("前回のねむのきⅡがまだ終了していません。") + vbCrLf
                   + QStringLiteral("画面が使えなくなったため、図面の変更をデータベースファイルに保存してから終了するところです")
                   + QStringLiteral("（ほかのプログラムがこのファイルを使い終わるのを待っています）。") + vbCrLf
                   + QStringLiteral("終了まで最長で約 %1 秒（%2 ごろまで）かかります。終了してから、もう一度起動してください。")
                         .arg(seconds)
                         .arg(until->toLocalTime().toString(QStringLiteral("HH:mm:ss"))),
               vbExclamation + vbOKOnly, QStringLiteral("起動時エラー"));
        return true;
    }
    // One program folder serves one run at a time, whoever started it: a
    // colleague is told whose run has it and how to run his own.
    QString text = QStringLiteral("このアプリケーションはすでに開かれています。");
    if (!otherUser.isEmpty())
        text += vbCrLf
            + QStringLiteral("このプログラムのフォルダ（%1）からは、ユーザー %2 のねむのきⅡが起動しています。").arg(platform::app::path(), otherUser)
            + vbCrLf + QStringLiteral("プログラムのフォルダからは、同時に一人のユーザーしか起動できません。")
            + QStringLiteral("プログラムのフォルダを自分のフォルダ（ホームフォルダなど）に複写して、そこから起動してください。") + vbCrLf;
    MsgBox(text, vbCritical + vbOKOnly, QStringLiteral("起動時エラー"));
    return true;
}

bool fncTemplate_There(const Places& places)
{
    if (files::fileExists(places.templ))
        return true;
    MsgBox(QStringLiteral("template\\master.mdb が存在しません。再インストールしてください。"), vbCritical + vbOKOnly,
           kInstallTitle);
    return false;
}

bool fncSampleFolder_There(const Places& places)
{
    if (files::dirExists(places.sample))
        return true;
    MsgBox(places.sample + QStringLiteral(" が存在しません。再インストールしてください。"), vbCritical + vbOKOnly,
           kInstallTitle);
    return false;
}

// The sample folder for the rest of this run; the setting stays.
void subFall_Back(const Places& places)
{
    GE_strDB_Folda_Path = places.sample;
    GE_booDbFallback = true;
}

// The program folder whose own sample folder `folder` is, when that is
// another program folder than this one (a copy whose Init.ini still names
// the original's by its path, as earlier versions wrote it); "" otherwise.
// Folders compare as what they are, whatever spelling reached them.
QString fncOtherProgramFolder(const Places& places, const QString& folder)
{
    const QString canonical = files::canonicalPath(folder);
    const QFileInfo info(canonical);
    if (canonical == files::canonicalPath(places.sample) || info.fileName() != QLatin1String("MDB"))
        return QString();
    const QString owner = info.absolutePath();
    const bool programFolder = files::fileExists(files::join(owner, mdlFileAccess::IniFileName))
        && files::fileExists(files::join(owner, QStringLiteral("template/master.mdb")));
    return programFolder ? owner : QString();
}

// Empty settings name the sample folder and "master.mdb"; a configured
// folder that is missing (a network drive not mounted yet) is told, and so
// is one that is another program folder's sample folder: it stays in use,
// the user may have meant it.
void subCheck_DbFolder(const Places& places)
{
    GE_booDbFallback = false;
    if (GE_strDB_Folda_Path.isEmpty())
        GE_strDB_Folda_Path = places.sample;
    if (GE_strFile_Name.isEmpty())
        GE_strFile_Name = QStringLiteral("master.mdb");
    if (files::dirExists(GE_strDB_Folda_Path)) {
        const QString other = fncOtherProgramFolder(places, GE_strDB_Folda_Path);
        if (!other.isEmpty())
            MsgBox(GE_strDB_Folda_Path + vbCrLf
                       + QStringLiteral("設定していたデータベースフォルダは、ほかのねむのきⅡのフォルダ（%1）のサンプルデータベースです。")
                             .arg(other)
                       + vbCrLf + QStringLiteral("引き続きこのデータベースフォルダを使用します。") + vbCrLf
                       + QStringLiteral("このねむのきⅡのサンプルデータベース（%1）を使う場合は、「データベースの管理」で再設定してください。")
                             .arg(places.sample)
                       + vbCrLf,
                   vbExclamation + vbOKOnly, kFolderTitle);
        return;
    }
    MsgBox(GE_strDB_Folda_Path + vbCrLf + QStringLiteral("設定していたデータベースフォルダが存在しません。") + vbCrLf
               + fallbackAdvice(),
           vbExclamation + vbOKOnly, kFolderTitle);
    subFall_Back(places);
}

// The template copied to `target`; an empty file there is replaced in one
// step, so that a failed copy leaves it as it was.
void subCopy_Template(const QString& templatePath, const QString& target)
{
    if (!files::fileExists(target)) {
        files::copyFile(templatePath, target);
        return;
    }
    files::copyToReplace(templatePath, target, target + QStringLiteral(".template"));
}

// The sample folder always holds a database of the configured name, made
// from the template when missing or empty. Returns why the copy failed,
// "" when it did not.
QString fncMake_SampleFile(const Places& places)
{
    const QString sampleFile = files::join(places.sample, GE_strFile_Name);
    if (fncDbFileThere(sampleFile))
        return QString();
    const bool empty = files::fileExists(sampleFile);
    try {
        subCopy_Template(places.templ, sampleFile);
    } catch (const Error& error) {
        return error.description();
    }
    if (empty)
        MsgBox(sampleFile + vbCrLf + QStringLiteral("データベースファイルが空（0 バイト）でした。") + vbCrLf
                   + QStringLiteral("図面は何も残っていないため、新しいデータベースファイルに置き換えました。") + vbCrLf,
               vbExclamation + vbOKOnly, kFileTitle);
    return QString();
}

// The configured file missing or empty in its folder: told (an empty one
// as empty, which it is, not as missing), and the sample folder's file of
// the same name is used meanwhile.
void subCheck_DbFile(const Places& places)
{
    const QString file = files::join(GE_strDB_Folda_Path, GE_strFile_Name);
    if (fncDbFileThere(file))
        return;
    if (files::fileExists(file))
        MsgBox(file + vbCrLf + QStringLiteral("設定していたデータベースファイルが空（0 バイト）で、図面が入っていません。")
                   + vbCrLf + QStringLiteral("バックアップしておいたファイルを戻すか、「データベースの管理」で再設定してください。")
                   + vbCrLf + useSample() + vbCrLf,
               vbExclamation + vbOKOnly, kFileTitle);
    else
        MsgBox(GE_strDB_Folda_Path + vbCrLf + QStringLiteral("設定していたデータベースフォルダ内にＭＤＢが存在しません。")
                   + vbCrLf + fallbackAdvice(),
               vbExclamation + vbOKOnly, kFolderTitle);
    subFall_Back(places);
}

// A template that could not be copied only matters when the start now
// depends on the copy (false: the start ends); otherwise the user is told
// and the start goes on.
bool fncCopyFailure_Borne(const Places& places, const QString& copyFailure)
{
    if (copyFailure.isEmpty())
        return true;
    const QString inUse = files::join(GE_strDB_Folda_Path, GE_strFile_Name);
    if (!fncDbFileThere(inUse)) {
        MsgBox(inUse + vbCrLf + QStringLiteral("データベースファイルを作成できませんでした。") + vbCrLf + copyFailure,
               vbCritical + vbOKOnly, kInstallTitle);
        return false;
    }
    MsgBox(files::join(places.sample, GE_strFile_Name) + vbCrLf + QStringLiteral("サンプルデータベースを作成できませんでした。")
               + vbCrLf + copyFailure,
           vbExclamation + vbOKOnly, kFolderTitle);
    return true;
}

// The work folder TEMP, and in it the user's own folder, which the run's
// caches go to (GE_strTempPath): TEMP itself may be shared. Where TEMP can't
// give one (a file system with fixed modes, as on a stick or a share), the
// caches go to the user's own in the desktop's cache folder, and where
// that can't either, they are not kept: the start goes on.
bool fncMake_TempFolder(const Places& places)
{
    const QString temp = fncWorkFolder(places);
    QString failure;
    try {
        if (!files::dirExists(temp))
            files::makeDir(temp);
    } catch (const Error& error) {
        failure = error.description();
    }
    if (files::dirExists(temp)) {  // made by now, by this run or another
        GE_strTempPath = platform::privateFolderIn(temp);
        if (GE_strTempPath.isEmpty())
            GE_strTempPath = platform::privateFolderIn(platform::userCacheFolder());
        return true;
    }
    MsgBox(temp + vbCrLf + QStringLiteral("作業フォルダを作成できませんでした。") + vbCrLf + failure,
           vbCritical + vbOKOnly, kInstallTitle);
    return false;
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
    subTell_NoJapaneseFont();
    // Held from here on: a rename of the program folder during the run
    // chooses nothing of where the run's files go.
    platform::programfolder::hold(platform::app::path());
    const Places places = programPlaces();
    // The folder first: where it can't be written, the lock may be another
    // user's, and only this tells what is wrong.
    if (!fncProgramFolder_Writable(places) || fncAnother_Instance())
        return;
    // Saves an earlier run could not keep as it ended unattended.
    mdlDB::subShow_LostSaves();
    if (!mdlFileAccess::fncReadInitIni())
        return;

    qint32 platformId = 0;
    fncGetWindowsVersion(platformId);
    GE_lngPlatformId = platformId;

    if (!fncTemplate_There(places))
        return;
    subCheck_DbFolder(places);
    if (!fncSampleFolder_There(places))
        return;
    const QString copyFailure = fncMake_SampleFile(places);
    subCheck_DbFile(places);
    if (!fncCopyFailure_Borne(places, copyFailure))
        return;

    // The help is an HTML page here; a compiled Windows help file can't be shown.
    platform::app::setHelpFile(files::join(places.app, QStringLiteral("help.html")));
    if (!fncMake_TempFolder(places))
        return;
    // A print's document is kept in the work folder, the program's own: a
    // nameless file, which a shared TEMP can hold as well.
    platform::printspool::useFolder(fncWorkFolder(places));

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
