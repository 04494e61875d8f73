#pragma once
// The property sheet: a modeless window on top of the editor that edits the
// look of one drawing object, the other elements of its measurement and the
// templates for the next object. The editor hands the object over through
// two hidden text boxes: the array name into txtObjName (a new kind lays the
// sheet out), then "" and the index into txtIndex (each index shows the
// object's values); lblCaption shows a label's text and comment.
//
// Members are split by concern: the window and its lists here and in
// frmPropaty.cpp, the hand-over in frmPropaty_handover.cpp, the style
// appliers in frmPropaty_apply.cpp, colours and fonts in frmPropaty_colors.cpp.

#include "platform/commondialog.h"
#include "platform/controls.h"
#include "platform/form.h"

#include <optional>

class frmEdit;
struct ObjectArrays;
namespace platform {
class LabelElement;
}

class frmPropaty : public platform::Form {
    Q_OBJECT
public:
    frmPropaty();

    platform::Frame* Frame1 = nullptr;  // hatching
    platform::Frame* Frame2 = nullptr;  // lines and shapes
    platform::Frame* Frame3 = nullptr;  // labels
    platform::ControlArray<platform::ComboBox> cmbDrawMode{QStringLiteral("cmbDrawMode")};        // 0 line, 1 hatching
    platform::ControlArray<platform::ComboBox> cmbBorderStyle{QStringLiteral("cmbBorderStyle")};  // 0 line, 1 hatching, 2 label
    platform::ControlArray<platform::ComboBox> cmbBorderWidth{QStringLiteral("cmbBorderWidth")};  // 0 line, 1 hatching
    platform::ControlArray<platform::ComboBox> cmbBackStyle{QStringLiteral("cmbBackStyle")};      // 0 shape, 1 label
    platform::ComboBox* cmbFillStyle = nullptr;
    platform::ComboBox* cmbShape = nullptr;
    platform::ComboBox* cmbHatchStyle = nullptr;
    platform::ComboBox* cmbPitch = nullptr;
    platform::ComboBox* cmbTilt = nullptr;
    platform::ComboBox* cmbAlign = nullptr;
    platform::ComboBox* cmbApper = nullptr;
    platform::ControlArray<platform::CommandButton> cmdColor{QStringLiteral("cmdColor")};  // 0..5
    platform::CommandButton* cmdFont = nullptr;
    platform::TextBox* txtObjName = nullptr;
    platform::TextBox* txtIndex = nullptr;
    platform::Label* lblCaption = nullptr;
    platform::StatusBar* stsBar = nullptr;  // 1 the element's tag, 2 its index
    platform::CommonDialog dlgFile;

    bool booFormLoad = false;

    // Hand-over: the layout for a new kind, the values for a new index.
    void txtObjName_Change();
    void txtIndex_Change();

    void cmbDrawMode_Click(int index);
    void cmbBorderStyle_Click(int index);
    void cmbBorderWidth_Click(int index);
    void cmbBorderWidth_KeyPress(int index, int& keyAscii);
    void cmbBackStyle_Click(int index);
    void cmbFillStyle_Click();
    void cmbShape_Click();
    void cmbAlign_Click();
    void cmbApper_Click();
    void cmbHatchStyle_Click();
    void cmbPitch_Click();
    void cmbPitch_KeyPress(int& keyAscii);
    void cmbPitch_LostFocus();
    void cmbTilt_Click();
    void cmbTilt_KeyPress(int& keyAscii);
    void cmbTilt_LostFocus();
    void cmdColor_Click(int index);
    void cmdFont_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    // The object an applier works on: the kind and index handed over.
    struct Target {
        QString kind;
        int index = -1;
    };
    Target target() const;
    // Whether the handed-over element exists with everything its kind
    // reads: a distance's lines and markers, an area's hatching record.
    bool fncExists(const Target& t) const;
    frmEdit* editor() const;
    void changed();  // the drawing now differs from its stored state

    void buildFrames();
    void fillLists();
    void connectHandlers();
    void subLayout();
    void subShowValues(int index);
    void subShowLabel(const platform::LabelElement& label);
    void subShowHatching(int index);
    void select(platform::ComboBox& box, int position);  // marked, so the Click applies nothing
    void setBoxText(platform::ComboBox& box, const QString& text);
    void noteWidth(const platform::ComboBox& box);
    bool consumeMark(platform::ComboBox& box);  // the common click pattern's first step

    void subSet_DrawMode(int position);
    void subSet_BorderStyle(int position);
    void subSet_BorderWidth(int index, const QString& text);
    void subSet_FillStyle(int position);
    void subSet_Shape(int position);
    void subSet_BackStyle(int position);
    void subSet_LineShape(const QString& name, int value);
    void subSet_Alignment(int position);
    void subSet_Appearance(int position);
    void subSet_LabelBorderStyle(int position);
    bool subSet_LabelProp(const QString& name, int value, bool defaultToo = true);
    void subSet_HatchPen(const QString& field, int value);
    void subSet_HatchStyle(int position);
    void subSet_Pitch(const QString& text, const Target& t);
    void subSet_Tilt(const QString& text, const Target& t);
    void subApply_Typed();  // typed pitch or tilt, to the object it was typed for
    bool fncSet_Font(platform::LabelElement& label);

    // Text typed into the pitch or tilt box and not yet applied, with the
    // object it was typed for.
    std::optional<Target> typedPitch, typedTilt;
    // What the sheet itself last put in each width box: a refused width
    // gives way to it.
    QString shownWidth[2];
    int intOwnStep = 0;  // the sheet itself is changing its boxes
};
