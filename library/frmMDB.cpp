// The database-file manager: its window, the list and its popup, and the
// close that hands the file in use to the program.

#include "library/frmMDB.h"

#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/upgrade.h"
#include "library/mdlMdbFile.h"
#include "platform/application.h"
#include "platform/dbfilehold.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/ui.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

using namespace platform;
using namespace vb;
namespace files = platform::files;

namespace {
const QString kDbTitle = QStringLiteral("ＭＤＢ異常！");
}  // namespace

bool frmMDB::fncOpen_Checked(const QString& path)
{
    if (mdlDB::fncDbOpen(path) == -1) {
        MsgBox(QStringLiteral("ＭＤＢのコネクションを開くことが出来ませんでした！"), vbInformation + vbOKOnly, kDbTitle);
        return false;
    }
    if (mdlSQL::fncSQL_GetSystemTable(GE_tpSystem) == -1) {
        MsgBox(QStringLiteral("ＭＤＢのシステム情報がありません！"), vbInformation + vbOKOnly, kDbTitle);
        mdlDB::fncDbClose();
        return false;
    }
    return true;
}

frmMDB::frmMDB() : Form(QStringLiteral("frmMDB"))
{
    setFixedDialogBorder();
    setCaption(QStringLiteral("データ・ベースの管理"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(5400), twipsToPixels(4560));

    lblPath = new Label(QStringLiteral("lblPath"), client);
    lblPath->Move(120, 120, 5160, 255);
    lblPath->setToolTipText(QStringLiteral("データベースが保存されているフォルダ"));
    fileList = new FileListBox(QStringLiteral("fileList"), client);
    fileList->Move(120, 480, 3480, 3240);
    fileList->setPattern(QStringLiteral("*.mdb"));
    fileList->setToolTipText(QStringLiteral("左クリックで選択後、右クリックでポップアップ表示"));
    fileList->listWidget()->viewport()->installEventFilter(this);
    const auto button = [client](const char* name, const char* caption, const char* tip, int top) {
        auto* b = new CommandButton(QString::fromLatin1(name), client);
        b->Move(3840, top, 1440, 435);
        b->setCaption(QString::fromUtf8(caption));
        b->setToolTipText(QString::fromUtf8(tip));
        return b;
    };
    cmdAdd = button("cmdAdd", "追加", "新しいデータベースを追加します", 480);
    cmdSelect = button("cmdSelect", "フォルダ変更", "データベース・フォルダを変更します", 1080);
    cmdCloase = button("cmdCloase", "閉じる", "画面を閉じます", 3285);
    stsBar = new StatusBar(QStringLiteral("stsBar"), client);
    stsBar->setAlign(2);
    stsBar->Panels(1).setText(QStringLiteral("使用中のデータ・ベース"));
    stsBar->Panels(1).setAutoSize(StatusPanel::sbrContents);
    stsBar->AddPanel().setAutoSize(StatusPanel::sbrSpring);

    popMDB = new Menu(QStringLiteral("popMDB"), QStringLiteral("popMDB"), this);
    mnuUse = new Menu(QStringLiteral("mnuUse"), QString(), popMDB);
    mnuSp1 = new Menu(QStringLiteral("mnuSp1"), QStringLiteral("-"), popMDB);
    mnuCompact = new Menu(QStringLiteral("mnuCompact"), QString(), popMDB);
    popReNmae = new Menu(QStringLiteral("popReNmae"), QString(), popMDB);
    mnuDel = new Menu(QStringLiteral("mnuDel"), QString(), popMDB);

    cmdAdd->Click = [this] { cmdAdd_Click(); };
    cmdSelect->Click = [this] { cmdSelect_Click(); };
    cmdCloase->Click = [this] { cmdCloase_Click(); };
    mnuUse->Click = [this] { mnuUse_Click(); };
    mnuCompact->Click = [this] { mnuCompact_Click(); };
    popReNmae->Click = [this] { popReNmae_Click(); };
    mnuDel->Click = [this] { mnuDel_Click(); };
}

bool frmMDB::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        const int button = press->button() == Qt::RightButton ? 2 : press->button() == Qt::LeftButton ? 1 : 4;
        const int shift = (press->modifiers() & Qt::ShiftModifier ? 1 : 0)
            | (press->modifiers() & Qt::ControlModifier ? 2 : 0) | (press->modifiers() & Qt::AltModifier ? 4 : 0);
        const QPointF at = press->position() * TwipsPerPixel;
        // The menu is for the file clicked: a right press selects the row
        // under the pointer (the list itself selects on the left button only).
        if (button == 2) {
            const QModelIndex under = fileList->listWidget()->indexAt(press->position().toPoint());
            if (under.isValid())
                fileList->setListIndex(under.row());
        }
        // The handler sees the row the press selected.
        QTimer::singleShot(0, this, [this, button, shift, at] {
            dispatch(QStringLiteral("fileList_MouseDown"),
                     [&] { fileList_MouseDown(button, shift, float(at.x()), float(at.y())); });
        });
        if (button == 2)
            return true;
    }
    return Form::eventFilter(watched, event);
}

QString frmMDB::fncPath(const QString& name) const { return files::join(strMdbFolder, name); }

void frmMDB::subFailure(const QString& description) { MsgBox(description, vbOKOnly); }

void frmMDB::subRefused(const QString& name, const vb::Error& error)
{
    if (error.number() == platform::db::errFileInUse)
        MsgBox(fncPath(name) + vbCrLf + QStringLiteral("ほかのプログラムがこのデータ・ベースを使用中です！"),
               vbOKOnly + vbInformation, name);
    else
        subFailure(error.description());
}

bool frmMDB::fncFile_Free(const QString& name, bool writing)
{
    try {
        mdlMdbFile::subCheck_Free(fncPath(name), writing);
        return true;
    } catch (const vb::Error& error) {
        subRefused(name, error);
        return false;
    }
}

bool frmMDB::subRefresh_List()
{
    try {
        fileList->setPath(strMdbFolder);
        fileList->Refresh();
        return true;
    } catch (const vb::Error& error) {
        subFailure(strMdbFolder + vbCrLf + error.description());
        return false;
    }
}

void frmMDB::Form_Load()
{
    strMdbName = GE_strFile_Name;
    strMdbFolder = GE_strDB_Folda_Path;
    booTaken = false;
    lblPath->setCaption(strMdbFolder);
    subRefresh_List();
    stsBar->Panels(2).setText(strMdbName);
}

void frmMDB::fileList_MouseDown(int button, int shift, float x, float y)
{
    (void)shift;
    (void)x;
    (void)y;
    intSelIndex = fileList->ListIndex();
    if (button != 2 || intSelIndex < 0)
        return;
    const QString row = fileList->List(intSelIndex);
    mnuUse->setCaption(row + QStringLiteral(" を使用する"));
    mnuCompact->setCaption(row + QStringLiteral(" を最適化する"));
    popReNmae->setCaption(row + QStringLiteral(" の名前を変更する"));
    mnuDel->setCaption(row + QStringLiteral(" を削除する"));
    PopupMenu(*popMDB);
}

bool frmMDB::fncRow_InUse() const
{
    if (intSelIndex < 0 || intSelIndex >= fileList->ListCount() || strMdbName.isEmpty())
        return false;
    // Full paths: after a folder change the bare name says nothing.
    return files::canonicalPath(fncPath(strMdbName)) == files::canonicalPath(fncPath(fileList->List(intSelIndex)));
}

QString frmMDB::fncTake_Row(bool guardPrevious)
{
    if (intSelIndex < 0 || intSelIndex >= fileList->ListCount())
        return QString();
    const QString name = fileList->List(intSelIndex);
    bool inUse = fncRow_InUse();
    if (!inUse && guardPrevious && strMdbName.isEmpty())
        inUse = files::canonicalPath(files::join(GE_strDB_Folda_Path, GE_strFile_Name))
            == files::canonicalPath(fncPath(name));
    if (inUse) {
        MsgBox(QStringLiteral("現在このデータ・ベースを使用中です！"), vbOKOnly + vbInformation, name);
        return QString();
    }
    return name;
}

frmMDB::OpenResult frmMDB::subOpen_Mdb()
{
    if (GE_booDbOpen && mdlDB::fncDbClose() == -1)
        return OpenResult::Kept;
    if (!fncOpen_Checked(fncPath(strMdbName)))
        return OpenResult::Failed;
    mdlSQL::subOffer_Upgrade(mdlSQL::UpgradeOffer::Manager);
    return OpenResult::Opened;
}

void frmMDB::subReopen_InUse()
{
    if (strMdbName.isEmpty() || GE_booDbOpen)
        return;
    if (!fncOpen_Checked(fncPath(strMdbName)))
        platform::End();
}

void frmMDB::cmdCloase_Click() { unload(); }

void frmMDB::Form_Unload(int& cancel)
{
    if (!strMdbName.isEmpty()) {
        GE_strFile_Name = strMdbName;
        GE_strDB_Folda_Path = strMdbFolder;
        // A file the user took into use is the setting, even in the
        // sample folder the start fell back to.
        if (booTaken)
            GE_booDbFallback = false;
        const QString iniPath = mdlFileAccess::fncInitIniPath();
        // The program goes on with the file all the same; the user learns
        // that the next start will open the one named before.
        if (!mdlFileAccess::fncPutIni(mdlFileAccess::IniSecMdb, mdlFileAccess::IniKeyFileName, strMdbName, iniPath))
            mdlFileAccess::subTell_IniNotWritten(iniPath, QStringLiteral("使用するデータベースの設定"),
                                                 QStringLiteral("データベース"));
        return;
    }
    const QString question = QStringLiteral("データベースが選択されていません。選択しますか？") + vbCrLf
        + QStringLiteral("「はい」　：選択する") + vbCrLf
        + QStringLiteral("「いいえ」：選択しない（今までのＭＤＢを使用します）") + vbCrLf + vbCrLf
        + QStringLiteral("【選択方法】ファイルリストより使用したいデータベースをいったん左クリックして、右クリックします。")
        + vbCrLf;
    if (MsgBox(question, vbYesNo + vbExclamation + vbDefaultButton2, QStringLiteral("データベース未選択")) == vbYes) {
        cancel = 1;
        return;
    }
    if (!GE_booDbOpen) {
        strMdbName = GE_strFile_Name;
        strMdbFolder = GE_strDB_Folda_Path;
        // The file used before was checked when it was taken into use.
        if (!fncOpen_Checked(fncPath(strMdbName)))
            platform::End();
    }
}
