#pragma once
// The password prompt: asks for a drawing's password before a hidden drawing
// opens or a protected drawing's protection changes. The opener sets the
// caption and the prompt, shows it modally and then reads GE_booDlgOK (True
// only after OK) and GE_strPassWord (the text as typed).

#include "platform/controls.h"
#include "platform/form.h"

// Every box that takes a password: at most 8 characters, each shown as "*",
// the input method off.
void subSet_PasswordBox(platform::TextBox& box);

class dlgPassInput : public platform::Form {
    Q_OBJECT
public:
    dlgPassInput();

    platform::Label* lblPrompt = nullptr;
    platform::TextBox* txtInput = nullptr;
    platform::TextBox* Text1 = nullptr;  // lets the user see what the keyboard types
    platform::CommandButton* OKButton = nullptr;
    platform::CommandButton* CancelButton = nullptr;

    void OKButton_Click();
    void CancelButton_Click();
    void txtInput_KeyPress(int& keyAscii);

protected:
    void Form_Load() override;
    void Form_Activate() override;
};
