#pragma once
// The drawing list: one row per drawing of the database file in use, from
// which the user opens a drawing, sorts, renames and deletes drawings and
// sets a drawing's password and access flags. Its only result is
// GE_tpPrint: Print_Id 1 or more for the drawing chosen, 0 for none.
//
// Every command acts on the grid's current row; the hidden cells 5 to 7 of a
// row (booEdit, booVisible, the password) are the copy of the protection
// that opening and the password dialog work with.

#include "platform/controls.h"
#include "platform/form.h"
#include "platform/grid.h"

class dlgDB : public platform::Form {
    Q_OBJECT
public:
    dlgDB();

    // The grid's columns.
    enum Column { colId, colNo, colName, colHizuke, colRenew, colEdit, colVisible, colPassWord, ColumnCount };

    platform::Grid* fgrdDB = nullptr;
    platform::CommandButton* OKButton = nullptr;
    platform::CommandButton* CancelButton = nullptr;
    platform::Menu* popMenu = nullptr;
    platform::Menu* popOverView = nullptr;
    platform::Menu* mnuReName = nullptr;
    platform::Menu* popPassWord = nullptr;
    platform::ControlArray<platform::Menu> popSortAsc{QStringLiteral("popSortAsc")};
    platform::ControlArray<platform::Menu> popSortDesc{QStringLiteral("popSortDesc")};
    platform::Menu* popDell = nullptr;

    void fgrdDB_DblClick();
    void fgrdDB_MouseDown(int button, int shift, float x, float y);
    void OKButton_Click();
    void CancelButton_Click();
    void popOverView_Click();
    void popSortAsc_Click(int index);
    void popSortDesc_Click(int index);
    void mnuReName_Click();     // dlgDB_edit.cpp
    void popDell_Click();       // dlgDB_edit.cpp
    void popPassWord_Click();   // dlgDB_edit.cpp

protected:
    void Form_Load() override;

private:
    void buildMenu();
    void subDisp_List();
    void subSet_GridTitle();
    qint32 fncDateColumnWidth() const;
    qint32 fncCellWidth(const QString& text) const;
    void subFill_List(qint16 sortKey, const QString& order);
    // The drawing id of a row: the number its ID cell starts with, 0 for none.
    qint32 fncRow_Id(int row) const;
    QString cell(int row, Column col) const { return fgrdDB->textMatrix(row, col); }
    // Asks for the drawing's password in the prompt: True when the prompt
    // was confirmed; the text typed is then in GE_strPassWord.
    bool fncAsk_PassWord(const QString& caption);
    void subShow_WrongPassWord();
};
