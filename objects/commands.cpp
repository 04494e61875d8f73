// The object context menus: property sheet, duplicate, delete, the unit and
// decimals of a result, the flip of a distance, and the numbering of new
// text and position labels. Each command acts on the popup target, which
// the right-button handlers set just before the menu shows. Every command
// that changes an object marks the drawing changed.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "objects/dlgInput.h"
#include "platform/vbruntime.h"
#include "properties/frmPropaty.h"

#include <algorithm>
#include <cmath>
#include <limits>

using platform::ElementArray;
using platform::LabelElement;

namespace {

// A running number as the prompt's numeric answer gives it: rounded half to
// even, and held within the 16-bit range the number is kept in.
qint16 runningNumber(const QString& answer)
{
    const double value = std::nearbyint(vb::Val(answer));
    constexpr double low = std::numeric_limits<qint16>::min();
    constexpr double high = std::numeric_limits<qint16>::max();
    return qint16(std::clamp(value, low, high));
}

}  // namespace

void frmEdit::connectObjectCommands()
{
    popMojiPpty->Click = [this] { popMojiPpty_Click(); };
    popHkdSenPpty->Click = [this] { popHkdSenPpty_Click(); };
    popShapePpty->Click = [this] { popShapePpty_Click(); };
    popPropaty->Click = [this] { popPropaty_Click(); };
    mnuPropaty->Click = [this] { mnuPropaty_Click(); };
    popMojiDpp->Click = [this] { popMojiDpp_Click(); };
    popHkdSenDpp->Click = [this] { popHkdSenDpp_Click(); };
    popShapDpp->Click = [this] { popShapDpp_Click(); };
    popEditDpp->Click = [this] { popEditDpp_Click(); };
    popMojiClr->Click = [this] { popMojiClr_Click(); };
    popHkdSenClr->Click = [this] { popHkdSenClr_Click(); };
    popShapeClr->Click = [this] { popShapeClr_Click(); };
    popMojiAllClr->Click = [this] { popMojiAllClr_Click(); };
    popHkdSenAllClr->Click = [this] { popHkdSenAllClr_Click(); };
    popShapeAllClr->Click = [this] { popShapeAllClr_Click(); };
    popEditRev->Click = [this] { popEditRev_Click(); };
    popHedda->Click = [this] { popHedda_Click(); };
    popRenInit->Click = [this] { popRenInit_Click(); };
    popFutta->Click = [this] { popFutta_Click(); };
    popEditCSV->Click = [this] { popEditCSV_Click(); };
    for (int i = 0; i <= popEditDel.UBound(); ++i)
        popEditDel(i).Click = [this](int index) { popEditDel_Click(index); };
    for (int i = 0; i <= popEditUnitD.UBound(); ++i)
        popEditUnitD(i).Click = [this](int index) { popEditUnitD_Click(index); };
    for (int i = 0; i <= popEditUnitS.UBound(); ++i)
        popEditUnitS(i).Click = [this](int index) { popEditUnitS_Click(index); };
    for (int i = 0; i <= popEditDPoint.UBound(); ++i)
        popEditDPoint(i).Click = [this](int index) { popEditDPoint_Click(index); };
}

// --- property sheet ------------------------------------------------------------------------

void frmEdit::popMojiPpty_Click()
{
    strSelObjName = strPopObjName;
    intSelIndex = intPopIndex;
    mnuPropaty_Click();
}

void frmEdit::popHkdSenPpty_Click() { popMojiPpty_Click(); }
void frmEdit::popShapePpty_Click() { popMojiPpty_Click(); }
void frmEdit::popPropaty_Click() { mnuPropaty_Click(); }

void frmEdit::mnuPropaty_Click()
{
    frmPropaty& sheet = platform::Instance<frmPropaty>::get();
    const bool selected = !strSelObjName.isEmpty() && intSelIndex >= 0;
    if (selected) {
        sheet.txtObjName->setText(strSelObjName);
        sheet.txtIndex->setText(QString());
        const ElementArray<LabelElement>* labels = nullptr;
        if (strSelObjName == QLatin1String("lblKeiroS"))
            labels = &lblKeiroS;
        else if (strSelObjName == QLatin1String("lblMensekiS"))
            labels = &lblMensekiS;
        else if (strSelObjName == QLatin1String("lblKeiIdoS"))
            labels = &lblKeiIdoS;
        else if (strSelObjName == QLatin1String("lblMoji"))
            labels = &lblMoji;
        else if (strSelObjName == QLatin1String("lblKyori"))
            labels = &lblKyori;
        if (labels && labels->exists(intSelIndex)) {
            sheet.lblCaption->setCaption((*labels)(intSelIndex).Caption);
            sheet.lblCaption->setToolTipText((*labels)(intSelIndex).ToolTipText);
        } else {
            sheet.lblCaption->setCaption(QString());
            sheet.lblCaption->setToolTipText(QString());
        }
        sheet.txtIndex->setText(QString::number(intSelIndex));
    } else {
        sheet.txtIndex->setText(QString());
        sheet.txtObjName->setText(QString());
        sheet.lblCaption->setCaption(QString());
    }
    sheet.showForm(platform::vbModeless);
}

// --- duplicate ---------------------------------------------------------------------------------

void frmEdit::popMojiDpp_Click()
{
    ElementArray<LabelElement>* labels = nullptr;
    if (strSelObjName == QLatin1String("lblMoji"))
        labels = &lblMoji;
    else if (strSelObjName == QLatin1String("lblKeiIdoS"))
        labels = &lblKeiIdoS;
    if (!labels)
        return;
    subDpp_Label(*labels, intPopIndex, false, fncNew_GroupId());
    booDrawChange = true;
}

void frmEdit::popHkdSenDpp_Click()
{
    subDpp_Line(lineHikidashi, intPopIndex, true, fncNew_GroupId());
    booDrawChange = true;
}

void frmEdit::popShapDpp_Click()
{
    subDpp_Shape(shpShape, intPopIndex, true, fncNew_GroupId());
    booDrawChange = true;
}

void frmEdit::popEditDpp_Click()
{
    if (strPopObjName == QLatin1String("lblMensekiS"))
        subDpp_Measure(lblMensekiS, intPopIndex);
    else if (strPopObjName == QLatin1String("lblKeiroS"))
        subDpp_Measure(lblKeiroS, intPopIndex);
    else
        return;
    booDrawChange = true;
}

// --- delete ------------------------------------------------------------------------------------

void frmEdit::popMojiClr_Click()
{
    if (strSelObjName == QLatin1String("lblMoji"))
        subDel_Moji(intPopIndex);
    else if (strSelObjName == QLatin1String("lblKeiIdoS"))
        subDel_KeiIdo(intPopIndex);
    else
        return;
    booDrawChange = true;
    subClear_Selection();
}

void frmEdit::popHkdSenClr_Click()
{
    subDel_Hikidashi(intPopIndex);
    booDrawChange = true;
    subClear_Selection();
}

void frmEdit::popShapeClr_Click()
{
    subDel_Shape(intPopIndex);
    booDrawChange = true;
    subClear_Selection();
}

void frmEdit::popMojiAllClr_Click()
{
    if (strSelObjName == QLatin1String("lblMoji"))
        subAllClr_Moji();
    else if (strSelObjName == QLatin1String("lblKeiIdoS"))
        subAllClr_KeiIdo();
    else
        return;
    booDrawChange = true;
    subClear_Selection();
}

void frmEdit::popHkdSenAllClr_Click()
{
    subAllClr_Hikidashi();
    booDrawChange = true;
    subClear_Selection();
}

void frmEdit::popShapeAllClr_Click()
{
    subAllClr_Shape();
    booDrawChange = true;
    subClear_Selection();
}

void frmEdit::popEditDel_Click(int index)
{
    bool deleted = true;
    if (strPopObjName == QLatin1String("lblkyori")) {
        subDel_Kyori(intPopIndex);
    } else if (strPopObjName == QLatin1String("lblMensekiS")) {
        subDel_Menseki(intPopIndex, index);
        // The repaint wipes the deleted area's hatching and draws the others'.
        sZoom(GE_sngZoom);
    } else if (strPopObjName == QLatin1String("lblKeiroS")) {
        subDel_Keiro(intPopIndex, index);
    } else if (strPopObjName == QLatin1String("lblKeiIdoS")) {
        subDel_KeiIdo(intPopIndex);
    } else {
        deleted = false;
    }
    subVisible_Array(shpPointer, false);
    if (deleted) {
        booDrawChange = true;
        subClear_Selection();
    }
}

// --- flip, unit, decimals ------------------------------------------------------------------------

void frmEdit::popEditRev_Click()
{
    subRev_Kyori(intPopIndex);
    // The grips of the selected label go with it to the other side.
    if (strSelObjName == QLatin1String("lblKyori") && intSelIndex == intPopIndex)
        subGrip_Label(lblKyori(intPopIndex), shpPointer);
    booDrawChange = true;
}

void frmEdit::popEditUnitD_Click(int index) { subEdit_UnitD(index); }
void frmEdit::popEditUnitS_Click(int index) { subEdit_UnitS(index); }
void frmEdit::popEditDPoint_Click(int index) { subEdit_DPoint(float(index)); }

void frmEdit::subEdit_UnitD(int unit)
{
    if (strPopObjName == QLatin1String("lblkyori"))
        subChg_UnitDistance(lblKyori(intPopIndex), qint16(unit));
    else if (strPopObjName == QLatin1String("lblKeiroS"))
        subChg_UnitDistance(lblKeiroS(intPopIndex), qint16(unit));
    else
        return;
    booDrawChange = true;
}

void frmEdit::subEdit_UnitS(int unit)
{
    if (strPopObjName != QLatin1String("lblMensekiS"))
        return;
    subChg_UnitArea(lblMensekiS(intPopIndex), qint16(unit));
    booDrawChange = true;
}

void frmEdit::subEdit_DPoint(float places)
{
    const auto decimals = qint16(std::lround(places));
    if (strPopObjName == QLatin1String("lblkyori"))
        subChg_DecimalPoint(lblKyori(intPopIndex), decimals, false);
    else if (strPopObjName == QLatin1String("lblKeiroS"))
        subChg_DecimalPoint(lblKeiroS(intPopIndex), decimals, false);
    else if (strPopObjName == QLatin1String("lblMensekiS"))
        subChg_DecimalPoint(lblMensekiS(intPopIndex), decimals, true);
    else
        return;
    booDrawChange = true;
}

// --- numbering of new text and position labels ------------------------------------------------------

void frmEdit::subAsk_Input(const QString& answer, const QString& caption, const QString& prompt,
                           const QString& unit)
{
    dlgInput& dialog = platform::Instance<dlgInput>::get();
    dialog.txtInput->setText(answer);
    dialog.setCaption(caption);
    dialog.lblPrompt->setCaption(prompt);
    dialog.lblUnit->setCaption(unit);
    dialog.showForm(platform::vbModal);
}

void frmEdit::popHedda_Click()
{
    const bool moji = strSelObjName == QLatin1String("lblMoji");
    const bool keiIdo = strSelObjName == QLatin1String("lblKeiIdoS");
    subAsk_Input(moji ? strMojiHead : keiIdo ? strKeiIdoHead : QString(), QStringLiteral("Caption ヘッダ入力"),
                 QStringLiteral("ヘッダを入力してください"), QString());
    if (booDlgCancel)
        return;
    if (moji)
        strMojiHead = strDlgText;
    else if (keiIdo)
        strKeiIdoHead = strDlgText;
}

void frmEdit::popRenInit_Click()
{
    const bool moji = strSelObjName == QLatin1String("lblMoji");
    const bool keiIdo = strSelObjName == QLatin1String("lblKeiIdoS");
    const QString current = moji ? QString::number(intMojiNo) : keiIdo ? QString::number(intKeiIdoNo) : QString();
    subAsk_Input(current, QStringLiteral("Caption 初期値入力"), QStringLiteral("初期値を入力してください"), QString());
    if (strDlgNum.isEmpty())
        return;
    if (moji)
        intMojiNo = runningNumber(strDlgNum);
    else if (keiIdo)
        intKeiIdoNo = runningNumber(strDlgNum);
}

void frmEdit::popFutta_Click()
{
    const bool moji = strSelObjName == QLatin1String("lblMoji");
    const bool keiIdo = strSelObjName == QLatin1String("lblKeiIdoS");
    subAsk_Input(moji ? strMojiFoot : keiIdo ? strKeiIdoFoot : QString(), QStringLiteral("Caption フッタ入力"),
                 QStringLiteral("フッタを入力してください"), QString());
    if (booDlgCancel)
        return;
    if (moji)
        strMojiFoot = strDlgText;
    else if (keiIdo)
        strKeiIdoFoot = strDlgText;
}
