#pragma once
// The start window: opens the database in use, offers the top-level
// commands, and on closing writes the folders back and closes the database.

#include "platform/commondialog.h"
#include "platform/form.h"

#include <QList>

class QAction;
class QPushButton;

class frmMain : public platform::Form {
    Q_OBJECT
public:
    frmMain();

    void cmdMenu_Click(qint16 index);
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuMDB_Click();
    void mnuEnd_Click();
    void mnuVerInfo_Click();
    void mnuInPort_Click();
    void mnuMnInfo_Click();
    void mnuMn_Hp_Click();

    // Controls, named as the program knows them.
    QList<QPushButton*> cmdMenu;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuInPort = nullptr;
    QAction* mnuEnd = nullptr;
    QAction* mnuMDB = nullptr;
    QAction* mnuVerInfo = nullptr;
    QAction* mnuMnInfo = nullptr;
    QAction* mnuMn_Hp = nullptr;
    platform::CommonDialog dlgFile;

    // The web links' captions and addresses (the help page's sections).
    static const QString kMn_HpCaption;
    static QString fncMnInfo_Address();
    static QString fncMn_Hp_Address();

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    void buildControls();
    void buildMenus();
    void subSet_Commands();
    bool editorOpen() const;
    void subShow_Editor(bool newDrawing);
    void subOpen_Page(const QString& address, const QString& caption);
};
