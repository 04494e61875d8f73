#pragma once
// The set-password dialog: a drawing's password and its two access flags.
// Its load resets the results; the opener then fills the controls with the
// drawing's present values, shows it modally and reads GE_booDlgOK,
// GE_strPassWord, GE_booEdit and GE_booVisible.

#include "platform/controls.h"
#include "platform/form.h"

class dlgPassWord : public platform::Form {
    Q_OBJECT
public:
    dlgPassWord();

    platform::Label* lblNo = nullptr;
    platform::Label* lblName = nullptr;
    platform::CheckBox* chkEdit = nullptr;
    platform::CheckBox* chkVisible = nullptr;
    platform::ControlArray<platform::TextBox> txtPassWord{QStringLiteral("txtPassWord")};  // 0 new, 1 confirmation
    platform::TextBox* Text1 = nullptr;  // lets the user see what the keyboard types
    platform::CommandButton* OKButton = nullptr;
    platform::CommandButton* CancelButton = nullptr;

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void Form_Load() override;
};
