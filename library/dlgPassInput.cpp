#include "library/dlgPassInput.h"

#include "app/globals.h"
#include "platform/application.h"

#include <QWidget>

namespace {
constexpr int InputMethodOff = 2;

void selectAll(platform::TextBox& box)
{
    box.setSelStart(0);
    box.setSelLength(99);
}
}  // namespace

void subSet_PasswordBox(platform::TextBox& box)
{
    box.setMaxLength(8);
    box.setPasswordChar(QStringLiteral("*"));
    box.setIMEMode(InputMethodOff);
}

dlgPassInput::dlgPassInput() : platform::Form(QStringLiteral("dlgPassInput"))
{
    setFixedDialogBorder();
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(platform::twipsToPixels(5400), platform::twipsToPixels(1800));

    lblPrompt = new platform::Label(QStringLiteral("lblPrompt"), client);
    lblPrompt->Move(120, 120, 3600, 615);
    lblPrompt->setWordWrap(true);
    txtInput = new platform::TextBox(QStringLiteral("txtInput"), client);
    txtInput->Move(120, 840, 2400, 315);
    subSet_PasswordBox(*txtInput);
    Text1 = new platform::TextBox(QStringLiteral("Text1"), client);
    Text1->Move(120, 1320, 2400, 315);
    Text1->setText(QStringLiteral("文字確認"));
    Text1->setIMEMode(InputMethodOff);
    OKButton = new platform::CommandButton(QStringLiteral("OKButton"), client);
    OKButton->Move(3960, 120, 1215, 375);
    OKButton->setCaption(QStringLiteral("OK"));
    CancelButton = new platform::CommandButton(QStringLiteral("CancelButton"), client);
    CancelButton->Move(3960, 600, 1215, 375);
    CancelButton->setCaption(QStringLiteral("ｷｬﾝｾﾙ"));

    OKButton->Click = [this] { OKButton_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
    txtInput->KeyPress = [this](int& keyAscii) { txtInput_KeyPress(keyAscii); };
    txtInput->GotFocus = [this] { selectAll(*txtInput); };
    Text1->GotFocus = [this] { selectAll(*Text1); };
}

void dlgPassInput::Form_Load()
{
    txtInput->setText(QString());
    GE_strPassWord.clear();
    GE_booDlgOK = false;
}

void dlgPassInput::Form_Activate()
{
    txtInput->SetFocus();
}

void dlgPassInput::txtInput_KeyPress(int& keyAscii)
{
    // Enter goes to OK first, so that a second Enter confirms.
    if (keyAscii == 13) {
        keyAscii = 0;
        OKButton->SetFocus();
    }
}

void dlgPassInput::OKButton_Click()
{
    GE_booDlgOK = true;
    GE_strPassWord = txtInput->Text();
    unload();
}

void dlgPassInput::CancelButton_Click()
{
    unload();
}
