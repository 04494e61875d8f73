#pragma once
// The print dialog of the editor: the drawing fitted to one sheet, or tiled
// at the displayed scale over the editor's page frames. Each print runs the
// platform's print dialog first, applies the chosen printer and reads it
// back into the drawing's settings. It stays open after a print until the
// user closes it.

#include "app/types.h"
#include "platform/controls.h"
#include "platform/form.h"

#include <QList>
#include <array>

class frmEdit;

namespace platform {
class ShapeElement;
}

class dlgPrinter : public platform::Form {
    Q_OBJECT
public:
    dlgPrinter();

    template <class T>
    using Array = platform::ControlArray<T>;

    platform::Frame* Frame4 = nullptr;
    Array<platform::OptionButton> optHouhou{QStringLiteral("optHouhou")};  // 0 fitted, 1 tiled
    platform::Frame* Frame1 = nullptr;
    Array<platform::TextBox> txtPage{QStringLiteral("txtPage")};  // 0 from, 1 to
    platform::Label* Label1 = nullptr;
    platform::CheckBox* chkPictPrt = nullptr;
    platform::CheckBox* chkComent = nullptr;
    platform::CommandButton* cmdPrint = nullptr;
    platform::CommandButton* CancelButton = nullptr;
    platform::CommandButton* cmdPropaty = nullptr;
    platform::CommandButton* cmdDirectPrt = nullptr;

    std::array<qint16, 2> intPage{1, 1};  // the tiled print's first and last page

    void cmdPrint_Click();
    void subPrintFit();
    void subPrintS();
    void chkComent_Click();
    void optHouhou_Click(int index);
    void txtPage_GotFocus(int index);
    void txtPage_KeyPress(int index, int& keyAscii);
    void txtPage_LostFocus(int index);
    void CancelButton_Click();

    // --- the renderer: the drawing's objects on the printer's page ---
    // Every horizontal coordinate is multiplied by sx, every vertical one
    // and the font sizes by sy.
    void subPrint_Object(float sx, float sy);
    void subPrint_ShapeBox(const platform::ShapeElement& shape, float x1, float y1, float x2, float y2);
    void subPrint_ShapeCircle(const platform::ShapeElement& shape, float cx, float cy, float r, float aspect);
    void subPrint_LabelFrame(float x1, float y1, float x2, float y2);

protected:
    void Form_Load() override;

private:
    frmEdit& editor() const;
    QList<typHatchLine> tpHatchLine;  // one area's segments at a time
};
