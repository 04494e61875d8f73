#pragma once
// The drive-and-folder dialog: a drive list above a directory list. Opened
// only from the folder picker's "カレント・フォルダ" entry; it leaves the
// opened folder in GE_strFolder and the drive in GE_strDrive.

#include "platform/controls.h"
#include "platform/form.h"

class dlgFolder : public platform::Form {
    Q_OBJECT
public:
    dlgFolder();

    platform::Label* lblComment = nullptr;
    platform::DriveListBox* drvBox = nullptr;
    platform::DirListBox* dirBox = nullptr;
    platform::CommandButton* OKButton = nullptr;
    platform::CommandButton* CancelButton = nullptr;
    platform::StatusBar* stsBar = nullptr;

    void drvBox_Change();
    void dirBox_Change();
    void OKButton_Click();
    void CancelButton_Click();

protected:
    void Form_Load() override;
};
