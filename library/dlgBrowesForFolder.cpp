#include "library/dlgBrowesForFolder.h"

#include "app/globals.h"
#include "library/dlgFolder.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QDir>
#include <QStandardPaths>

using namespace vb;
using platform::twipsToPixels;
namespace files = platform::files;

namespace {

// One list entry: display name, filler blanks, the constant's name and its
// code. Only the code after "=" is read back; the rest is for the eye, and
// the list is narrow enough that only the display names show.
struct SpecialFolder {
    const char16_t* name;
    const char16_t* filler;  // full-width and half-width blanks, as they line up
    const char* constant;
    int code;
};

constexpr SpecialFolder kSpecialFolders[] = {
    {u"デスクトップ", u"\u3000\u3000\u3000 \u3000  ", "ssfDESKTOP", 0x0},
    {u"マイコンピュータ", u"       ", "ssfDRIVES", 0x11},
    {u"マイドキュメント", u"\u3000\u3000   ", "ssfPERSONAL", 0x5},
    {u"お気に入り", u"\u3000\u3000\u3000\u3000\u3000   ", "ssfFAVORITES", 0x6},
    {u"ﾃﾞｽｸﾄｯﾌﾟﾌｫﾙﾀﾞ", u"        ", "ssfDESKTOPDIRECTORY", 0x10},
    {u"マイネットワーク", u"         ", "ssfNETWORK", 0x12},
    {u"マイピクチャー", u"         ", "ssfMYPICTURES", 0x27},
    {u"カレント・フォルダ", u"    ", "ssfPROFILE", dlgBrowesForFolder::CurrentFolderCode},
};

QString entryText(const SpecialFolder& folder)
{
    return QString::fromUtf16(folder.name) + QString::fromUtf16(folder.filler) + QLatin1String(folder.constant)
        + QStringLiteral(" = &H") + QString::number(folder.code, 16).toUpper();
}

// The codes the folder browser is opened for.
bool browsable(int code)
{
    return code == 0 || (code >= 2 && code <= 11) || (code >= 16 && code <= 40);
}

QString standardPlace(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location);
}

QString note()
{
    return QStringLiteral("カレントフォルダを選択する時は、") + vbCrLf
        + QStringLiteral("リストを選択せずに「ＯＫ」ボタンをクリックします。") + vbCrLf + vbCrLf
        + QStringLiteral("カレントフォルダ付近を検索する時は、") + vbCrLf
        + QStringLiteral("←リスト中の「カレント・フォルダ」をダブルクリックします。");
}

}  // namespace

dlgBrowesForFolder::dlgBrowesForFolder() : platform::Form(QStringLiteral("dlgBrowesForFolder"))
{
    setCaption(QStringLiteral("フォルダ選択"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setFixedSize(twipsToPixels(7920), twipsToPixels(3480));

    lblComment = new platform::Label(QStringLiteral("lblComment"), client);
    lblComment->Move(120, 120, 7680, 255);
    lblComment->setCaption(QStringLiteral("フォルダパス"));
    listPath = new platform::ListBox(QStringLiteral("listPath"), client);
    listPath->Move(120, 420, 2040, 2280);
    lblNote = new platform::Label(QStringLiteral("lblNote"), client);
    lblNote->Move(2280, 420, 5520, 1500);
    lblNote->setWordWrap(true);
    lblNote->setForeColor(0x0000FF);  // red
    OKButton = new platform::CommandButton(QStringLiteral("OKButton"), client);
    OKButton->Move(5280, 2100, 1215, 375);
    OKButton->setCaption(QStringLiteral("OK"));
    CancelButton = new platform::CommandButton(QStringLiteral("CancelButton"), client);
    CancelButton->Move(6600, 2100, 1215, 375);
    CancelButton->setCaption(QStringLiteral("ｷｬﾝｾﾙ"));
    Label1 = new platform::Label(QStringLiteral("Label1"), client);
    Label1->Move(120, 2760, 3000, 255);
    Label1->setCaption(QStringLiteral("↓カレント・フォルダ"));
    stsBar = new platform::StatusBar(QStringLiteral("stsBar"), client);
    stsBar->setAlign(2);
    stsBar->Panels(1).setAutoSize(platform::StatusPanel::sbrSpring);

    listPath->DblClick = [this] { listPath_DblClick(); };
    OKButton->Click = [this] { OKButton_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
}

void dlgBrowesForFolder::Form_Load()
{
    // Its status line, the folder OK takes, must be in view.
    centreInWorkArea();
    for (const SpecialFolder& folder : kSpecialFolders)
        listPath->AddItem(entryText(folder));
    lblNote->setCaption(note());
    stsBar->Panels(1).setText(QString());
    GE_strDrive.clear();
    GE_strFolder.clear();
    GE_booDlgOK = false;
    booOK = false;
}

void dlgBrowesForFolder::Form_Unload(int&)
{
    GE_booDlgOK = booOK;
}

void dlgBrowesForFolder::listPath_DblClick()
{
    // The code after "="; with no entry selected it stays 0 (the desktop).
    int code = 0;
    const QStringList pieces = listPath->Text().split(QLatin1Char('='));
    if (pieces.size() >= 2) {
        const QString number = Trim(pieces[1]);
        if (IsNumeric(number)) {
            const double value = Val(number);
            if (value >= 0 && value <= 255)
                code = int(value);
        }
    }
    if (code == CurrentFolderCode)
        subOpen_DlgFolder();
    else if (browsable(code))
        subBrowse_Folder(code);
}

void dlgBrowesForFolder::subBrowse_Folder(int code)
{
    const std::optional<QString> chosen =
        platform::ui().chooseFolder(QStringLiteral("フォルダ選択"), specialFolderRoot(code));
    if (!chosen)
        return;  // the browser was cancelled: the picker stays as it was
    stsBar->Panels(1).setText(*chosen);
    if (chosen->isEmpty() || !files::dirExists(*chosen)) {
        stsBar->Panels(1).setText(QString());
        return;
    }
    booOK = true;
    GE_strFolder = stsBar->Panels(1).Text();
    unload();
}

void dlgBrowesForFolder::subOpen_DlgFolder()
{
    dlgFolder& folder = platform::Instance<dlgFolder>::get();
    folder.setCaption(caption());
    folder.lblComment->setCaption(lblComment->Caption());

    // Start where the opener asked when the drive list and the directory
    // list can go there; otherwise record where they really start.
    bool driveSet = false;
    if (!GE_strInDrive.isEmpty()) {
        try {
            folder.drvBox->setDrive(GE_strInDrive);
            driveSet = true;
        } catch (const vb::Error&) {
        }
    }
    if (!driveSet)
        GE_strInDrive = folder.drvBox->Drive();
    if (!GE_strInFolder.isEmpty() && files::dirExists(GE_strInFolder)) {
        try {
            folder.dirBox->setPath(GE_strInFolder);
        } catch (const vb::Error&) {
            // unreadable: the list stays where the drive left it
        }
    } else {
        GE_strInFolder = folder.dirBox->Path();
    }

    folder.showForm(platform::vbModal);
    if (GE_strFolder.isEmpty())
        return;  // cancelled or closed: the picker stays open
    booOK = true;
    unload();
}

void dlgBrowesForFolder::OKButton_Click()
{
    GE_strFolder = stsBar->Panels(1).Text();
    if (!GE_strFolder.isEmpty()) {
        booOK = true;
        unload();
        return;
    }
    MsgBox(QStringLiteral("フォルダをダブル・クリックして選択したください。"), vbExclamation + vbOKOnly,
           QStringLiteral("フォルダ未設定"));
}

void dlgBrowesForFolder::CancelButton_Click()
{
    booOK = false;
    unload();
}

QString dlgBrowesForFolder::specialFolderRoot(int code)
{
    const QString home = QDir::homePath();
    QString place;
    switch (code) {
    case 0x00:  // desktop
    case 0x10:  // desktop folder
    case 0x19:  // everyone's desktop
        place = standardPlace(QStandardPaths::DesktopLocation);
        break;
    case 0x05:  // documents
        place = standardPlace(QStandardPaths::DocumentsLocation);
        break;
    case 0x27:  // pictures
        place = standardPlace(QStandardPaths::PicturesLocation);
        break;
    case 0x11:  // the drives: the whole file system
        place = QStringLiteral("/");
        break;
    case 0x12:  // network places: where shares are mounted
    case 0x13:
        place = QStringLiteral("/mnt");
        break;
    case 0x02:  // the user's programs and start menu
    case 0x0B:
        place = standardPlace(QStandardPaths::ApplicationsLocation);
        break;
    case 0x16:  // everyone's programs and start menu
    case 0x17:
        place = QStringLiteral("/usr/share/applications");
        break;
    case 0x07:  // start-up programs
    case 0x1D:
        place = files::join(standardPlace(QStandardPaths::GenericConfigLocation), QStringLiteral("autostart"));
        break;
    case 0x18:  // everyone's start-up programs
    case 0x1E:
        place = QStringLiteral("/etc/xdg/autostart");
        break;
    case 0x0A:  // the recycle bin
        place = files::join(standardPlace(QStandardPaths::GenericDataLocation), QStringLiteral("Trash/files"));
        break;
    case 0x14:  // fonts
        place = standardPlace(QStandardPaths::FontsLocation);
        break;
    case 0x15:  // templates
        place = files::join(home, QStringLiteral("Templates"));
        break;
    case 0x1A:  // application settings
        place = standardPlace(QStandardPaths::GenericConfigLocation);
        break;
    case 0x1C:  // local application data and history
    case 0x22:
        place = standardPlace(QStandardPaths::GenericDataLocation);
        break;
    case 0x20:  // internet cache and cookies
    case 0x21:
        place = standardPlace(QStandardPaths::GenericCacheLocation);
        break;
    case 0x23:  // everyone's application data
        place = QStringLiteral("/usr/share");
        break;
    case 0x24:  // the system's own folders
        place = QStringLiteral("/usr");
        break;
    case 0x25:
        place = QStringLiteral("/usr/bin");
        break;
    case 0x26:  // installed programs
        place = QStringLiteral("/opt");
        break;
    default:  // the home folder (0x28), and places with no folder here
        place = home;
        break;
    }
    return !place.isEmpty() && files::dirExists(place) ? place : home;
}
