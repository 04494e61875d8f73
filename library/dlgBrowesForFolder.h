#pragma once
// The folder picker the program opens wherever a folder is to be chosen: a
// list of special folders (a double-click browses from one of them), the
// "カレント・フォルダ" entry that opens the drive-and-folder dialog, and OK
// for the folder the opener put in the status bar. The result is left in
// GE_booDlgOK, GE_strFolder and GE_strDrive.

#include "platform/controls.h"
#include "platform/form.h"

class dlgBrowesForFolder : public platform::Form {
    Q_OBJECT
public:
    dlgBrowesForFolder();

    platform::Label* lblComment = nullptr;
    platform::ListBox* listPath = nullptr;
    platform::Label* lblNote = nullptr;
    platform::CommandButton* OKButton = nullptr;
    platform::CommandButton* CancelButton = nullptr;
    platform::Label* Label1 = nullptr;
    platform::StatusBar* stsBar = nullptr;

    // The dialog's own result: true only just before an accepting unload.
    bool booOK = false;

    void listPath_DblClick();
    void OKButton_Click();
    void CancelButton_Click();

    // The code that opens the drive-and-folder dialog instead of the browser.
    static constexpr int CurrentFolderCode = 0xFF;
    // The folder a special-folder code stands for on this system, where the
    // folder browser starts; codes without a place of their own start at home.
    static QString specialFolderRoot(int code);

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void subBrowse_Folder(int code);
    void subOpen_DlgFolder();
};
