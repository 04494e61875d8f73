#pragma once
// The property sheet: a modeless window on top of the editor that edits the
// look of one drawing object. The editor hands the object over through two
// hidden text boxes, the array name into txtObjName, then "" and the index
// into txtIndex, so that the last write always changes it; lblCaption shows
// a label object's text and, as its tooltip, the label's comment.
//
// For now the sheet lays itself out for the kind and shows the element's tag
// and index in its status bar; the controls that edit the look come with it.

#include "platform/controls.h"
#include "platform/form.h"

class frmPropaty : public platform::Form {
    Q_OBJECT
public:
    frmPropaty();

    platform::TextBox* txtObjName = nullptr;
    platform::TextBox* txtIndex = nullptr;
    platform::Label* lblCaption = nullptr;
    platform::StatusBar* stsBar = nullptr;  // 1 the element's tag, 2 its index

    void txtObjName_Change();
    void txtIndex_Change();

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    bool booLoading = false;
};
