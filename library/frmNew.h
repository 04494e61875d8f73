#pragma once
// The new-drawing dialog: a management number that no drawing of the
// database file in use has yet, and a name. Its opener sets the caption and
// the proposed number and name; after OK the new drawing's record is in
// GE_tpPrint (Print_Id 0) and GE_booDlgOK is True. Nothing is written: the
// drawing reaches the database at its first save.

#include "platform/controls.h"
#include "platform/form.h"

class frmNew : public platform::Form {
    Q_OBJECT
public:
    frmNew();

    platform::Label* Label3 = nullptr;
    platform::TextBox* txtNo = nullptr;
    platform::Label* Label1 = nullptr;
    platform::TextBox* txtName = nullptr;
    platform::CommandButton* cmdOK = nullptr;
    platform::CommandButton* cmdCancel = nullptr;
    platform::StatusBar* stsBar = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    bool m_entered = false;  // the first activation has selected the number
};
