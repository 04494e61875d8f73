#include "app/frmMain.h"

#include "app/frmVerInfo.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/upgrade.h"
#include "editor/frmEdit.h"
#include "library/dlgDB.h"
#include "library/frmMDB.h"
#include "library/frmNew.h"
#include "measure/hatchcache.h"
#include "platform/application.h"
#include "platform/cachefiles.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/inifile.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>

#include <utility>

using namespace vb;
namespace files = platform::files;

namespace {
const QString kEditorName = QStringLiteral("frmEdit");
const QString kDbTitle = QStringLiteral("ＭＤＢ異常！");
}  // namespace

frmMain::frmMain() : platform::Form(QStringLiteral("frmMain"))
{
    buildControls();
    buildMenus();
    // New, open, database and import replace the drawing record or the
    // database under an open editor, so they wait until it closes.
    connect(&platform::FormRegistry::instance(), &platform::FormRegistry::formLoaded, this,
            [this](platform::Form*) { subSet_Commands(); });
    connect(&platform::FormRegistry::instance(), &platform::FormRegistry::formUnloaded, this,
            [this](platform::Form*) { subSet_Commands(); });
}

void frmMain::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    const char* captions[] = {"図面新規作成", "図面を開く", "データベースの管理", "終了"};
    const int tops[] = {240, 720, 1200, 1680};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), client);
        button->setObjectName(QStringLiteral("cmdMenu_%1").arg(i));
        button->setGeometry(platform::twipsToPixels(840), platform::twipsToPixels(tops[i]),
                            platform::twipsToPixels(2535), platform::twipsToPixels(495));
        connect(button, &QPushButton::clicked, this, [this, i] {
            platform::dispatch(QStringLiteral("frmMain.cmdMenu_Click"), [this, i] { cmdMenu_Click(qint16(i)); });
        });
        cmdMenu << button;
    }
    client->setMinimumSize(platform::twipsToPixels(840 * 2 + 2535), platform::twipsToPixels(1680 + 495 + 240));
}

void frmMain::buildMenus()
{
    auto handler = [this](QAction* action, const char* name, void (frmMain::*method)()) {
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, name, method] {
            platform::dispatch(QStringLiteral("frmMain.") + QString::fromLatin1(name) + QStringLiteral("_Click"),
                               [this, method] { (this->*method)(); });
        });
        return action;
    };
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuNew = handler(mnuFile->addAction(QStringLiteral("図面の新規作成")), "mnuNew", &frmMain::mnuNew_Click);
    mnuOpen = handler(mnuFile->addAction(QStringLiteral("図面を開く")), "mnuOpen", &frmMain::mnuOpen_Click);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSp2"));
    mnuInPort = handler(mnuFile->addAction(QStringLiteral("旧ねむのきデータ・インポート")), "mnuInPort",
                        &frmMain::mnuInPort_Click);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSp1"));
    mnuEnd = handler(mnuFile->addAction(QStringLiteral("ねむのきⅡの終了(&X)")), "mnuEnd", &frmMain::mnuEnd_Click);

    QMenu* mnuTool = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    mnuTool->setObjectName(QStringLiteral("mnuTool"));
    mnuMDB = handler(mnuTool->addAction(QStringLiteral("データベースの管理")), "mnuMDB", &frmMain::mnuMDB_Click);

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuVerInfo = handler(mnuHelp->addAction(QStringLiteral("バージョン情報")), "mnuVerInfo", &frmMain::mnuVerInfo_Click);
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("HlpSp1"));
    mnuMnInfo = handler(mnuHelp->addAction(QStringLiteral("ミナモ・ラボ　作品紹介")), "mnuMnInfo",
                        &frmMain::mnuMnInfo_Click);
    mnuMn_Hp = handler(mnuHelp->addAction(kMn_HpCaption), "mnuMn_Hp",
                       &frmMain::mnuMn_Hp_Click);
}

bool frmMain::editorOpen() const
{
    return platform::Form::findLoaded(kEditorName) != nullptr;
}

void frmMain::subSet_Commands()
{
    const bool free = !editorOpen();
    for (int i = 0; i < 3 && i < cmdMenu.size(); ++i)
        cmdMenu[i]->setEnabled(free);
    for (QAction* action : {mnuNew, mnuOpen, mnuInPort, mnuMDB})
        action->setEnabled(free);
}

void frmMain::Form_Load()
{
    setCaption(platform::app::title() + QStringLiteral(" Ver ") + QString::number(platform::app::major())
               + QLatin1Char('.') + QString::number(platform::app::minor()) + QLatin1Char('.')
               + QString::number(platform::app::revision()));

    const QString dbPath = files::join(GE_strDB_Folda_Path, GE_strFile_Name);
    if (!files::fileExists(dbPath)) {
        MsgBox(dbPath + vbCrLf + QStringLiteral("ＭＤＢが存在しません！") + vbCrLf
                   + QStringLiteral("Init.ini ;データベース・フォルダ を確認してください。") + vbCrLf,
               vbInformation + vbOKOnly, kDbTitle);
        platform::End();
    }
    if (GE_booDbOpen)
        mdlDB::fncDbClose();
    if (mdlDB::fncDbOpen(dbPath) == -1) {
        MsgBox(QStringLiteral("ＭＤＢのコネクションを開くことが出来ませんでした！"), vbInformation + vbOKOnly, kDbTitle);
        platform::End();
    }
    if (mdlSQL::fncSQL_GetSystemTable(GE_tpSystem) == -1) {
        MsgBox(QStringLiteral("ＭＤＢのシステム情報がありません！"), vbInformation + vbOKOnly, kDbTitle);
        platform::End();
    }
    mdlSQL::subOffer_Upgrade(mdlSQL::UpgradeOffer::StartWindow);
    const QRect area = platform::app::workAreaTwips();
    GE_lngWorkArea = {area.left(), area.top(), area.height(), area.width()};
    subSet_Commands();
}

void frmMain::cmdMenu_Click(qint16 index)
{
    switch (index) {
    case 0: {  // new drawing: the new-drawing dialog, then the editor
        if (editorOpen())
            return;
        frmNew& dialog = platform::Instance<frmNew>::get();
        dialog.setCaption(QStringLiteral("図面・新規作成 ") + GE_strFile_Name);
        dialog.txtNo->setText(Format(Now(), QStringLiteral("mmdd-hhnn")));
        dialog.txtName->setText(QStringLiteral("新しい図面"));
        dialog.showForm(platform::vbModal);
        if (!GE_booDlgOK)
            return;
        subShow_Editor(true);
        break;
    }
    case 1: {  // open drawing: the drawing list, then the editor
        if (editorOpen())
            return;
        GE_strTableName = QStringLiteral("tPrint");
        dlgDB& list = platform::Instance<dlgDB>::get();
        list.setCaption(QStringLiteral("図面を開く ") + GE_strFile_Name);
        list.showForm(platform::vbModal);
        if (GE_tpPrint.Print_Id < 1)
            return;
        subShow_Editor(false);
        break;
    }
    case 2:  // database management
        if (editorOpen())
            return;
        platform::Instance<frmMDB>::get().showForm(platform::vbModal);
        break;
    case 3:
        unload();
        break;
    default:
        break;
    }
}

void frmMain::subShow_Editor(bool newDrawing)
{
    // The editor's load opens the drawing that the dialog left in GE_tpPrint.
    if (newDrawing || GE_tpPrint.booEdit)
        mdlDB::fncTell_NotWritable();
    frmEdit& editor = platform::Instance<frmEdit>::get();
    if (newDrawing)
        editor.stsTip->Panels(1).setText(QStringLiteral("メニュー「ﾌｧｲﾙ」→「画像の取込」を選択してください。"));
    editor.showForm(platform::vbModeless);
}

void frmMain::mnuNew_Click() { cmdMenu_Click(0); }
void frmMain::mnuOpen_Click() { cmdMenu_Click(1); }
void frmMain::mnuMDB_Click() { cmdMenu_Click(2); }
void frmMain::mnuEnd_Click() { unload(); }

void frmMain::mnuVerInfo_Click()
{
    frmVerInfo& info = platform::Instance<frmVerInfo>::get();
    info.lblCaption->setText(platform::app::title());
    info.lblVerNo->setText(QStringLiteral("Ver ") + QString::number(platform::app::major()) + QLatin1Char('.')
                           + QString::number(platform::app::minor()) + QLatin1Char('.')
                           + QString::number(platform::app::revision()) + vbCrLf);
    info.showForm(platform::vbModal);
}

void frmMain::Form_Unload(int& cancel)
{
    // An open drawing is closed first with its own questions, so unsaved
    // objects are never dropped without asking.
    const QList<platform::Form*> others = platform::Form::loadedForms();
    for (auto it = others.rbegin(); it != others.rend(); ++it) {
        if (*it != this && (*it)->objectName() == kEditorName && !(*it)->unload()) {
            cancel = 1;
            return;
        }
    }

    // Until the database is closed a failure keeps the start window, with
    // the work it holds; once it is closed the program ends whatever fails,
    // never running on without a window.
    cancel = 1;
    using namespace mdlFileAccess;
    const QString iniPath = fncInitIniPath();
    // An empty value is left out on purpose; any other that cannot be
    // written is told, so the user knows the folders will not be kept.
    bool iniKept = true;
    for (const auto& [key, value] : {std::pair{IniKeyPictDrive, GE_strPict_Drive},
                                     std::pair{IniKeyPictFolder, GE_strPict_Folda}}) {
        if (!fncPutIni(IniSecFolder, key, value, iniPath) && !value.isEmpty())
            iniKept = false;
    }
    // The sample folder the start fell back to is no choice of the user's:
    // the folder Init.ini names stays, and the next start tries it again.
    // The program's own sample folder is kept as such (an empty entry), not
    // by its path, so that a copy of the program folder uses its own.
    if (!GE_booDbFallback
        && !platform::ini::write(iniPath, IniSecFolder, IniKeyDbFolder, fncDbFolderSetting(GE_strDB_Folda_Path)))
        iniKept = false;
    if (!iniKept)
        subTell_IniNotWritten(iniPath, QStringLiteral("フォルダの設定"), QStringLiteral("設定"));
    if (GE_booDbOpen && mdlDB::fncDbClose() != 0)
        return;  // the user went back to the program with the changes kept
    cancel = 0;
    const auto end = qScopeGuard([this] {
        // Every other window closes with the start window, without its own close handling.
        for (platform::Form* form : platform::Form::loadedForms()) {
            if (form != this)
                form->hide();
        }
        platform::Quit();
    });
    platform::cache::removeMatching(GE_strTempPath, QStringLiteral("*.jpg"));
    mdlFileAccess::subKill_Bin();
}
