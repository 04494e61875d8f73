#include "library/dlgFolder.h"

#include "app/globals.h"
#include "platform/application.h"
#include "platform/ui.h"

using namespace vb;
using platform::twipsToPixels;

dlgFolder::dlgFolder() : platform::Form(QStringLiteral("dlgFolder"))
{
    setCaption(QStringLiteral("フォルダ設定"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setFixedSize(twipsToPixels(6240), twipsToPixels(4260));

    lblComment = new platform::Label(QStringLiteral("lblComment"), client);
    lblComment->Move(120, 120, 6000, 255);
    lblComment->setCaption(QStringLiteral("フォルダパス"));
    drvBox = new platform::DriveListBox(QStringLiteral("drvBox"), client);
    drvBox->Move(120, 480, 6000, 315);
    dirBox = new platform::DirListBox(QStringLiteral("dirBox"), client);
    dirBox->Move(120, 900, 6000, 2400);
    OKButton = new platform::CommandButton(QStringLiteral("OKButton"), client);
    OKButton->Move(3600, 3420, 1215, 375);
    OKButton->setCaption(QStringLiteral("OK"));
    CancelButton = new platform::CommandButton(QStringLiteral("CancelButton"), client);
    CancelButton->Move(4920, 3420, 1215, 375);
    CancelButton->setCaption(QStringLiteral("ｷｬﾝｾﾙ"));
    stsBar = new platform::StatusBar(QStringLiteral("stsBar"), client);
    stsBar->setAlign(2);
    stsBar->Panels(1).setAutoSize(platform::StatusPanel::sbrSpring);

    drvBox->Change = [this] { drvBox_Change(); };
    dirBox->Change = [this] { dirBox_Change(); };
    OKButton->Click = [this] { OKButton_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
}

void dlgFolder::Form_Load()
{
    // Its status line, the folder OK takes, must be in view.
    centreInWorkArea();
    stsBar->Panels(1).setText(dirBox->Path());
    GE_strDrive.clear();
    GE_strFolder.clear();
}

void dlgFolder::drvBox_Change()
{
    // A drive that is not ready leaves the directory list where it was.
    try {
        dirBox->setPath(drvBox->Drive());
    } catch (const vb::Error& e) {
        MsgBox(e.description(), vbOKOnly,
               QStringLiteral("drgFolder:drvBox_Change() err.number = ") + QString::number(e.number()));
    }
}

void dlgFolder::dirBox_Change()
{
    stsBar->Panels(1).setText(dirBox->Path());
}

void dlgFolder::OKButton_Click()
{
    GE_strDrive = drvBox->Drive();
    GE_strFolder = stsBar->Panels(1).Text();
    if (!GE_strDrive.isEmpty() && !GE_strFolder.isEmpty()) {
        GE_booDlgOK = true;
        unload();
        return;
    }
    // Nothing chosen: closing the dialog now must not count as a choice.
    GE_strDrive.clear();
    GE_strFolder.clear();
    MsgBox(QStringLiteral("フォルダをダブル・クリックして選択したください。"), vbExclamation + vbOKOnly,
           QStringLiteral("フォルダ未設定"));
}

void dlgFolder::CancelButton_Click()
{
    GE_booDlgOK = false;
    unload();
}
