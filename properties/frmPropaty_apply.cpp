// The appliers: a value chosen or typed in a box goes at once to the
// handed-over element, the other elements of its measurement and the
// template of the next object. Every applier that writes marks the drawing
// changed, so closing the editor offers the save.

#include "properties/frmPropaty.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "objects/objectarrays.h"
#include "properties/samekey.h"
#include "properties/sheetrules.h"

#include <QComboBox>
#include <QLineEdit>

using platform::ComboBox;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;
using sheetrules::Tips;

namespace {

bool is(const QString& kind, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        if (kind == QLatin1String(n))
            return true;
    }
    return false;
}

void showTip(ComboBox& box, Tips tips, int position)
{
    if (std::optional<QString> text = sheetrules::tip(tips, position))
        box.setToolTipText(*text);
}

}  // namespace

// --- handlers ------------------------------------------------------------------------------

void frmPropaty::cmbDrawMode_Click(int index)
{
    ComboBox& box = cmbDrawMode(index);
    if (consumeMark(box))
        return;
    const int position = box.ListIndex();
    showTip(box, Tips::DrawMode, position);
    if (index == 0)
        subSet_DrawMode(position);
    else if (position >= 0)
        subSet_HatchPen(QStringLiteral("DrawMode"), position + 1);
}

void frmPropaty::cmbBorderStyle_Click(int index)
{
    ComboBox& box = cmbBorderStyle(index);
    if (consumeMark(box))
        return;
    const int position = box.ListIndex();
    showTip(box, index == 0 ? Tips::LineStyle : index == 1 ? Tips::HatchLineStyle : Tips::LabelBorderStyle, position);
    if (index == 0)
        subSet_BorderStyle(position);
    else if (index == 1 && position >= 0)
        subSet_HatchPen(QStringLiteral("BorderStyle"), position);
    else if (index == 2)
        subSet_LabelBorderStyle(position);
}

void frmPropaty::cmbBorderWidth_Click(int index)
{
    if (!consumeMark(cmbBorderWidth(index)))
        subSet_BorderWidth(index, cmbBorderWidth(index).Text());
}

void frmPropaty::cmbBorderWidth_KeyPress(int index, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    subSet_BorderWidth(index, cmbBorderWidth(index).Text());
}

void frmPropaty::cmbBackStyle_Click(int index)
{
    ComboBox& box = cmbBackStyle(index);
    if (consumeMark(box))
        return;
    showTip(box, Tips::BackStyle, box.ListIndex());
    subSet_BackStyle(box.ListIndex());
}

void frmPropaty::cmbFillStyle_Click()
{
    if (consumeMark(*cmbFillStyle))
        return;
    showTip(*cmbFillStyle, Tips::FillStyle, cmbFillStyle->ListIndex());
    subSet_FillStyle(cmbFillStyle->ListIndex());
}

void frmPropaty::cmbShape_Click()
{
    if (consumeMark(*cmbShape))
        return;
    showTip(*cmbShape, Tips::Shape, cmbShape->ListIndex());
    subSet_Shape(cmbShape->ListIndex());
}

void frmPropaty::cmbAlign_Click()
{
    if (consumeMark(*cmbAlign))
        return;
    showTip(*cmbAlign, Tips::Align, cmbAlign->ListIndex());
    subSet_Alignment(cmbAlign->ListIndex());
}

void frmPropaty::cmbApper_Click()
{
    if (consumeMark(*cmbApper))
        return;
    showTip(*cmbApper, Tips::Apper, cmbApper->ListIndex());
    subSet_Appearance(cmbApper->ListIndex());
}

void frmPropaty::cmbHatchStyle_Click()
{
    if (consumeMark(*cmbHatchStyle))
        return;
    showTip(*cmbHatchStyle, Tips::HatchStyle, cmbHatchStyle->ListIndex());
    subSet_HatchStyle(cmbHatchStyle->ListIndex());
}

void frmPropaty::cmbPitch_Click()
{
    if (consumeMark(*cmbPitch))
        return;
    typedPitch.reset();
    subSet_Pitch(cmbPitch->Text(), target());
}

void frmPropaty::cmbPitch_KeyPress(int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    typedPitch.reset();
    subSet_Pitch(cmbPitch->Text(), target());
}

void frmPropaty::cmbPitch_LostFocus()
{
    // Only typed text, and never when the sheet's own layout took the focus.
    if (intOwnStep)
        return;
    if (std::optional<Target> t = std::exchange(typedPitch, std::nullopt))
        subSet_Pitch(cmbPitch->Text(), *t);
}

void frmPropaty::cmbTilt_Click()
{
    if (consumeMark(*cmbTilt))
        return;
    typedTilt.reset();
    subSet_Tilt(cmbTilt->Text(), target());
}

void frmPropaty::cmbTilt_KeyPress(int& keyAscii)
{
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    typedTilt.reset();
    subSet_Tilt(cmbTilt->Text(), target());
    cmdColor(3).SetFocus();
}

void frmPropaty::cmbTilt_LostFocus()
{
    if (intOwnStep)
        return;
    if (std::optional<Target> t = std::exchange(typedTilt, std::nullopt))
        subSet_Tilt(cmbTilt->Text(), *t);
}

// --- lines and shapes ---------------------------------------------------------------------------

void frmPropaty::subSet_DrawMode(int position)
{
    if (position >= 0)
        subSet_LineShape(QStringLiteral("DrawMode"), position + 1);
}

void frmPropaty::subSet_BorderStyle(int position)
{
    if (position >= 0)
        subSet_LineShape(QStringLiteral("BorderStyle"), position);
}

void frmPropaty::subSet_FillStyle(int position)
{
    if (position >= 0)
        subSet_LineShape(QStringLiteral("FillStyle"), position);
}

void frmPropaty::subSet_Shape(int position)
{
    if (position >= 0)
        subSet_LineShape(QStringLiteral("Shape"), position);
}

void frmPropaty::subSet_BackStyle(int position)
{
    if (position >= 0)
        subSet_LineShape(QStringLiteral("BackStyle"), position);
}

void frmPropaty::subSet_BorderWidth(int index, const QString& text)
{
    ComboBox& box = cmbBorderWidth(index);
    const sheetrules::Typed typed = sheetrules::typedWidth(text);
    if (!typed.value) {
        vb::MsgBox(QStringLiteral("線の幅は %1～%2 の数で入力してください。")
                       .arg(sheetrules::WidthLow)
                       .arg(sheetrules::WidthHigh),
                   vb::vbExclamation);
        // The box goes back to the width it showed, ready to be typed over.
        setBoxText(box, shownWidth[index]);
        box.SetFocus();
        box.comboBox()->lineEdit()->selectAll();
        return;
    }
    setBoxText(box, typed.box);
    if (index == 0)
        subSet_LineShape(QStringLiteral("BorderWidth"), *typed.value);
    else
        subSet_HatchPen(QStringLiteral("BorderWidth"), *typed.value);
}

// One property of the line and shape group, by kind: the element, the
// elements of its measurement, the template.
void frmPropaty::subSet_LineShape(const QString& name, int v)
{
    const Target t = target();
    frmEdit* e = editor();
    if (!e || !fncExists(t))
        return;
    const int i = t.index;
    const bool pen = is(name, {"DrawMode", "BorderStyle", "BorderWidth"});
    const bool back = name == QLatin1String("BackStyle");
    bool wrote = true;
    if (is(t.kind, {"lineHikidashi", "lineDsSave", "linePS"})) {
        if (!pen)
            return;
        auto& lines = t.kind == QLatin1String("lineHikidashi") ? e->lineHikidashi
                      : t.kind == QLatin1String("lineDsSave") ? e->lineDsSave
                                                               : e->linePS;
        samekey::subSetProp_Line(name, lines(i), v);
        samekey::subSetProp_Line(name, e->linDefault, v);
    } else if (t.kind == QLatin1String("shpShape")) {
        ShapeElement& s = e->shpShape(i);
        if (back) {
            s.BackStyle = v;
            e->shpDefault.BackStyle = v;
        } else {
            samekey::subSetProp_Shape(name, s, v);
            samekey::subSetProp_Shape(name, e->shpDefault, v);
        }
    } else if (t.kind == QLatin1String("lblKyori")) {
        ShapeElement* markers[] = {&e->shpSnpo(2 * i), &e->shpSnpo(2 * i + 1)};
        if (pen) {
            for (LineElement* l : {&e->lineDsSave(i), &e->lineHojoSave(2 * i), &e->lineHojoSave(2 * i + 1)})
                samekey::subSetProp_Line(name, *l, v);
            if (name != QLatin1String("BorderWidth")) {
                for (ShapeElement* m : markers)
                    samekey::subSetProp_Shape(name, *m, v);
            }
            samekey::subSetProp_Line(name, e->linDefault, v);
        } else if (name == QLatin1String("FillStyle")) {
            for (ShapeElement* m : markers)
                m->FillStyle = v;
        } else if (back) {
            e->lblKyori(i).BackStyle = v;
            for (ShapeElement* m : markers)
                m->BackStyle = v;
            e->lblDefault.BackStyle = v;
        } else {
            wrote = false;
        }
    } else if (is(t.kind, {"lblMensekiS", "lblKeiroS"})) {
        LabelElement& label = t.kind == QLatin1String("lblMensekiS") ? e->lblMensekiS(i) : e->lblKeiroS(i);
        if (back) {
            label.BackStyle = v;
            e->lblDefault.BackStyle = v;
            samekey::subSetKey_Label(e->objectArrays(), name, label.Tag, v);
        } else {
            samekey::subSetKey_LineShape(e->objectArrays(), name, label.Tag, v);
            if (pen)
                samekey::subSetProp_Line(name, e->linDefault, v);
            else if (name == QLatin1String("Shape"))
                e->shpDefault.Shape = v;
        }
    } else if (is(t.kind, {"lblMoji", "lblKeiIdoS"}) && back) {
        (t.kind == QLatin1String("lblMoji") ? e->lblMoji(i) : e->lblKeiIdoS(i)).BackStyle = v;
        e->lblDefault.BackStyle = v;
    } else {
        wrote = false;
    }
    if (wrote)
        changed();
}

// --- labels -------------------------------------------------------------------------------

void frmPropaty::subSet_Alignment(int position)
{
    if (position >= 0)
        subSet_LabelProp(QStringLiteral("Alignment"), position);
}

void frmPropaty::subSet_LabelBorderStyle(int position)
{
    if (position >= 0)
        subSet_LabelProp(QStringLiteral("BorderStyle"), position);
}

// A 3-D label always has a border; flat takes none away.
void frmPropaty::subSet_Appearance(int position)
{
    if (position < 0 || !subSet_LabelProp(QStringLiteral("Appearance"), position))
        return;
    if (position == 1)
        subSet_LabelProp(QStringLiteral("BorderStyle"), 1);
}

// The label applier pattern: the label, the template, and for an area or
// route label the distance labels of its measurement.
bool frmPropaty::subSet_LabelProp(const QString& name, int v, bool defaultToo)
{
    const Target t = target();
    frmEdit* e = editor();
    if (!e || !fncExists(t))
        return false;
    const int i = t.index;
    LabelElement* label = nullptr;
    if (t.kind == QLatin1String("lblKyori"))
        label = &e->lblKyori(i);
    else if (t.kind == QLatin1String("lblMensekiS"))
        label = &e->lblMensekiS(i);
    else if (t.kind == QLatin1String("lblKeiroS"))
        label = &e->lblKeiroS(i);
    else if (t.kind == QLatin1String("lblMoji"))
        label = &e->lblMoji(i);
    else if (t.kind == QLatin1String("lblKeiIdoS"))
        label = &e->lblKeiIdoS(i);
    if (!label)
        return false;
    samekey::subSetProp_Label(name, *label, v);
    if (t.kind == QLatin1String("lblKyori") && name == QLatin1String("Appearance"))
        label->BorderStyle = 1;
    if (defaultToo)
        samekey::subSetProp_Label(name, e->lblDefault, v);
    if (is(t.kind, {"lblMensekiS", "lblKeiroS"}))
        samekey::subSetKey_Label(e->objectArrays(), name, label->Tag, v);
    changed();
    return true;
}

// --- hatching ----------------------------------------------------------------------------

void frmPropaty::subSet_HatchPen(const QString& field, int value)
{
    const Target t = target();
    frmEdit* e = editor();
    if (!e || t.kind != QLatin1String("lblMensekiS") || !fncExists(t))
        return;
    typHatching& h = GE_tpHatching[t.index];
    if (field == QLatin1String("DrawMode"))
        h.DrawMode = qint16(value);
    else if (field == QLatin1String("BorderStyle"))
        h.BorderStyle = qint16(value);
    else
        h.BorderWidth = qint16(value);
    changed();
    e->subAllDisp_TempH();
}

void frmPropaty::subSet_HatchStyle(int position)
{
    const Target t = target();
    frmEdit* e = editor();
    if (position < 0 || !e || t.kind != QLatin1String("lblMensekiS") || !fncExists(t))
        return;
    GE_tpHatching[t.index].iStyle = qint16(position);
    changed();
    e->subReDraw_Hathing(t.index);
}

void frmPropaty::subSet_Pitch(const QString& text, const Target& t)
{
    const sheetrules::Typed typed = sheetrules::typedPitch(text);
    setBoxText(*cmbPitch, typed.box);
    frmEdit* e = editor();
    if (!typed.value || !e || t.kind != QLatin1String("lblMensekiS") || !fncExists(t))
        return;
    GE_tpHatching[t.index].iPitch = qint16(*typed.value);
    changed();
    e->subReDraw_Hathing(t.index);
}

void frmPropaty::subSet_Tilt(const QString& text, const Target& t)
{
    const sheetrules::Typed typed = sheetrules::typedTilt(text);
    setBoxText(*cmbTilt, typed.box);
    if (!typed.value)
        return;
    int found = -1;
    for (int k = 0; k < cmbTilt->ListCount() && found < 0; ++k) {
        if (cmbTilt->List(k) == typed.box)
            found = k;
    }
    if (found < 0) {
        cmbTilt->AddItem(typed.box);
        found = cmbTilt->ListCount() - 1;
    }
    // Marked: the Click of this selection does not apply it a second time.
    select(*cmbTilt, found);
    frmEdit* e = editor();
    if (!e || t.kind != QLatin1String("lblMensekiS") || !fncExists(t))
        return;
    GE_tpHatching[t.index].iTilt = qint16(*typed.value);
    changed();
    e->subReDraw_Hathing(t.index);
}
