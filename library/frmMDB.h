#pragma once
// The database-file manager: the *.mdb files of the database folder, the
// file to work on, new files from the template, compaction, renaming,
// deleting and another folder. It works on the one shared connection and
// leaves the file in use in GE_strFile_Name, GE_strDB_Folda_Path and Init.ini.

#include "platform/controls.h"
#include "platform/form.h"
#include "platform/vberror.h"

class frmMDB : public platform::Form {
    Q_OBJECT
public:
    frmMDB();

    platform::Label* lblPath = nullptr;
    platform::FileListBox* fileList = nullptr;
    platform::CommandButton* cmdAdd = nullptr;
    platform::CommandButton* cmdSelect = nullptr;
    platform::CommandButton* cmdCloase = nullptr;
    platform::StatusBar* stsBar = nullptr;
    platform::Menu* popMDB = nullptr;
    platform::Menu* mnuUse = nullptr;
    platform::Menu* mnuSp1 = nullptr;
    platform::Menu* mnuCompact = nullptr;
    platform::Menu* popReNmae = nullptr;
    platform::Menu* mnuDel = nullptr;

    // button: 1 left, 2 right; the position in twips.
    void fileList_MouseDown(int button, int shift, float x, float y);
    void cmdSelect_Click();
    void cmdAdd_Click();
    void cmdCloase_Click();
    void mnuUse_Click();
    void mnuCompact_Click();
    void popReNmae_Click();
    void mnuDel_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString strMdbName;    // the file treated as in use; "" after a folder change
    QString strMdbFolder;  // the folder listed
    bool booTaken = false;  // strMdbName was taken into use here ("使用する")
    int intSelIndex = -1;  // the row the popup commands act on

    QString fncPath(const QString& name) const;
    // The name of row intSelIndex, or "" after the refusal (or with no row).
    // The file in use is refused by its full path; with `guardPrevious` also
    // the file used before a folder change, which the close may reopen.
    QString fncTake_Row(bool guardPrevious);
    // Row intSelIndex is the file in use, strMdbName, in the folder it was opened from.
    bool fncRow_InUse() const;
    enum class OpenResult { Opened, Failed, Kept };
    // Closes the file in use and opens strMdbFolder/strMdbName with the
    // version check and upgrade offer. Failed when it could not be opened
    // (after its notices); Kept when the user went back to the program from
    // the close's failed commit: the file in use stays open, nothing else is.
    OpenResult subOpen_Mdb();
    // The file in use, open again after a command closed it: no question.
    void subReopen_InUse();
    void subCompact_Mdb(const QString& path);
    // Shows the folder's files; false after the failure box when the folder
    // can't be listed.
    bool subRefresh_List();
    static void subFailure(const QString& description);
    // A refusal of the file `name` of the list: the notice that another
    // program uses it, or the failure box.
    void subRefused(const QString& name, const vb::Error& error);
    // False after subRefused when the file `name` must not be changed
    // (another program holds it; read-only, for a command that writes it).
    bool fncFile_Free(const QString& name, bool writing);
    // Opens a file checked before, without the upgrade offer; false after
    // its notices.
    static bool fncOpen_Checked(const QString& path);
};
