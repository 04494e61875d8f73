#include "objects/dlgInput.h"

#include "editor/frmEdit.h"
#include "platform/application.h"

#include <QWidget>

namespace {

frmEdit* editor() { return platform::Instance<frmEdit>::pointer(); }

}  // namespace

dlgInput::dlgInput() : platform::Form(QStringLiteral("dlgInput"))
{
    setFixedDialogBorder();
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(platform::twipsToPixels(5400), platform::twipsToPixels(1260));

    lblPrompt = new platform::Label(QStringLiteral("lblPrompt"), client);
    lblPrompt->Move(120, 120, 3720, 495);
    lblPrompt->setWordWrap(true);
    lblPrompt->setCaption(QStringLiteral("lblPrompt"));
    txtInput = new platform::TextBox(QStringLiteral("txtInput"), client);
    txtInput->Move(120, 720, 2880, 315);
    txtInput->setText(QStringLiteral("txtInput"));
    lblUnit = new platform::Label(QStringLiteral("lblUnit"), client);
    lblUnit->Move(3120, 760, 720, 255);
    lblUnit->setCaption(QStringLiteral("lblUnit"));
    OKButton = new platform::CommandButton(QStringLiteral("OKButton"), client);
    OKButton->Move(4080, 120, 1215, 375);
    OKButton->setCaption(QStringLiteral("OK"));
    CancelButton = new platform::CommandButton(QStringLiteral("CancelButton"), client);
    CancelButton->Move(4080, 660, 1215, 375);
    CancelButton->setCaption(QStringLiteral("ｷｬﾝｾﾙ"));
    QWidget::setTabOrder(txtInput, OKButton);
    QWidget::setTabOrder(OKButton, CancelButton);

    OKButton->Click = [this] { OKButton_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
    txtInput->KeyPress = [this](int& keyAscii) { txtInput_KeyPress(keyAscii); };
    txtInput->GotFocus = [this] {
        txtInput->setSelStart(0);
        txtInput->setSelLength(99);
    };
}

void dlgInput::Form_Load()
{
    strAnswer.clear();
    booAnswered = false;
}

void dlgInput::Form_Activate()
{
    txtInput->SetFocus();
}

void dlgInput::txtInput_KeyPress(int& keyAscii)
{
    // Enter goes to OK, so that a second Enter confirms.
    if (keyAscii == 13) {
        keyAscii = 0;
        OKButton->SetFocus();
    }
}

void dlgInput::OKButton_Click()
{
    strAnswer = txtInput->Text();
    booAnswered = true;
    if (frmEdit* e = editor())
        e->propLetDlgCancel(false);
    unload();
}

void dlgInput::CancelButton_Click()
{
    strAnswer.clear();
    booAnswered = true;
    if (frmEdit* e = editor())
        e->propLetDlgCancel(true);
    unload();
}

void dlgInput::Form_Unload(int& cancel)
{
    (void)cancel;
    frmEdit* e = editor();
    if (!e)
        return;
    // The close box cancels, whatever the previous use answered.
    if (!booAnswered)
        e->propLetDlgCancel(true);
    e->propLetDlgNum(strAnswer);
    e->propLetDlgText(strAnswer);
}
