#pragma once
// The one-line input dialog: a prompt, a text box with a unit beside it, and
// "OK" and "ｷｬﾝｾﾙ". The caller writes the default answer, the caption, the
// prompt and the unit, shows it modally, and then reads the editor's
// strDlgText, strDlgNum and booDlgCancel, which the dialog hands over as it
// closes. Enter in the box moves to "OK"; neither Enter nor Esc closes it.

#include "platform/controls.h"
#include "platform/form.h"

class dlgInput : public platform::Form {
    Q_OBJECT
public:
    dlgInput();

    platform::Label* lblPrompt = nullptr;
    platform::TextBox* txtInput = nullptr;
    platform::Label* lblUnit = nullptr;
    platform::CommandButton* OKButton = nullptr;
    platform::CommandButton* CancelButton = nullptr;

    void OKButton_Click();
    void CancelButton_Click();
    void txtInput_KeyPress(int& keyAscii);

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;

private:
    QString strAnswer;
    bool booAnswered = false;  // closed by a button, not by the close box
};
