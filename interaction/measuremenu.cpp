// The measuring menu: the mode, the keep options, the hatching of new
// areas, the extension-line length, clearing every measurement, and the
// two commands that end a polyline as an area or a route. The map's mouse
// handlers are connected here too, each run in the event dispatcher.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/measuring.h"
#include "measure/hatchcache.h"
#include "measure/resulttag.h"
#include "platform/events.h"

using namespace platform;

void frmEdit::connectMeasuring()
{
    popMesLine->Click = [this] { popMesLine_Click(); };
    popMesRenzoku->Click = [this] { popMesRenzoku_Click(); };
    popMesCir->Click = [this] { popMesCir_Click(); };
    popMesInput->Click = [this] { popMesInput_Click(); };
    popMesPutSen->Click = [this] { popMesPutSen_Click(); };
    popMesPutMen->Click = [this] { popMesPutMen_Click(); };
    for (int i = 0; i <= popHatching.UBound(); ++i)
        popHatching(i).Click = [this](int index) { popHatching_Click(index); };
    popMesHj05->Click = [this] { popMesHj05_Click(); };
    popMesHj10->Click = [this] { popMesHj10_Click(); };
    popMesHj15->Click = [this] { popMesHj15_Click(); };
    popMesHj20->Click = [this] { popMesHj20_Click(); };
    popMesHj25->Click = [this] { popMesHj25_Click(); };
    popMesHj30->Click = [this] { popMesHj30_Click(); };
    popMesObjDel->Click = [this] { popMesObjDel_Click(); };
    popMesMenCal->Click = [this] { popMesMenCal_Click(); };
    popMesDisCal->Click = [this] { popMesDisCal_Click(); };

    pictMap->MouseDown = [this](int button, int shift, double x, double y) {
        dispatch(QStringLiteral("pictMap_MouseDown"),
                 [&] { pictMap_MouseDown(button, shift, float(x), float(y)); });
    };
    pictMap->MouseMove = [this](int button, int shift, double x, double y) {
        dispatch(QStringLiteral("pictMap_MouseMove"),
                 [&] { pictMap_MouseMove(button, shift, float(x), float(y)); });
    };
    pictMap->MouseUp = [this](int button, int shift, double x, double y) {
        dispatch(QStringLiteral("pictMap_MouseUp"), [&] { pictMap_MouseUp(button, shift, float(x), float(y)); });
    };
}

void frmEdit::subChkClr_PopMes()
{
    for (Menu* item : {popMesLine, popMesRenzoku, popMesCir, popMesInput})
        item->setChecked(false);
    popMesPutMen->setEnabled(false);
}

void frmEdit::subChkClr_PopMesHj()
{
    for (Menu* item : {popMesHj05, popMesHj10, popMesHj15, popMesHj20, popMesHj25, popMesHj30})
        item->setChecked(false);
}

namespace {

// What every change of mode shares: the mode checked, the polygon in
// progress dropped.
void checkMode(frmEdit& e, Menu* item)
{
    e.subChkClr_PopMes();
    item->setChecked(true);
    e.subAllClr_LineMenseki();
    e.booRenzoku = false;
}

void hideLine(frmEdit& e)
{
    e.lblDistance.Visible = false;
    e.lineDistance.Visible = false;
    e.subHojo_Visible(false);
}

}  // namespace

void frmEdit::popMesLine_Click()
{
    subCircle_Hide();
    checkMode(*this, popMesLine);
    hideLine(*this);
    stsTip->Panels(6).setText(QStringLiteral("測定:直線"));
}

void frmEdit::popMesRenzoku_Click()
{
    subCircle_Hide();
    checkMode(*this, popMesRenzoku);
    hideLine(*this);
    popMesPutMen->setEnabled(true);
    popMesPutMen->setChecked(true);
    stsTip->Panels(6).setText(QStringLiteral("測定:連続入力"));
}

void frmEdit::popMesCir_Click()
{
    checkMode(*this, popMesCir);
    stsTip->Panels(6).setText(QStringLiteral("測定:半径円内"));
}

void frmEdit::popMesInput_Click()
{
    checkMode(*this, popMesInput);
    const QString caption = popMesInput->Caption();
    subAsk_Input(vb::CStr(interaction::fncCaption_Number(caption)), QStringLiteral("距離入力"),
                 QStringLiteral("距離を入力してください"), GE_strUnitD);
    const interaction::typPresetEntry entry = interaction::fncPreset_Entry(strDlgNum, dblPresetDis, caption);
    if (!entry.accepted)
        return;
    dblPresetDis = entry.value;
    if (GE_booModeKei)
        dblPresetDis = dblPresetDis * GE_dblChgOToMD.at(std::size_t(GE_intUnitDIndex));
    popMesInput->setCaption(entry.text + QLatin1Char(' ') + GE_strUnitD);
    stsTip->Panels(6).setText(QStringLiteral("測定:規定の距離"));
}

void frmEdit::popMesPutSen_Click()
{
    popMesPutSen->setChecked(!popMesPutSen->Checked());
}

void frmEdit::popMesPutMen_Click()
{
    popMesPutMen->setChecked(!popMesPutMen->Checked() && popMesRenzoku->Checked());
}

void frmEdit::popHatching_Click(int index)
{
    sub_mnuCheck_False(popHatching);
    popHatching(index).setChecked(true);
    intHatchStyle = qint16(index);
}

void frmEdit::subSet_HojoLen(Menu* item, float length)
{
    subChkClr_PopMesHj();
    // A stored setting of the drawing: a real change is a change to save.
    if (GE_sngHojoLen != length)
        booDrawChange = true;
    GE_sngHojoLen = length;
    item->setChecked(true);
}

void frmEdit::popMesHj05_Click() { subSet_HojoLen(popMesHj05, 5.0f); }
void frmEdit::popMesHj10_Click() { subSet_HojoLen(popMesHj10, 10.0f); }
void frmEdit::popMesHj15_Click() { subSet_HojoLen(popMesHj15, 15.0f); }
void frmEdit::popMesHj20_Click() { subSet_HojoLen(popMesHj20, 20.0f); }
void frmEdit::popMesHj25_Click() { subSet_HojoLen(popMesHj25, 25.0f); }
void frmEdit::popMesHj30_Click() { subSet_HojoLen(popMesHj30, 30.0f); }

namespace {

template <class T>
bool anyVisible(const ElementArray<T>& elements)
{
    for (int k = 0; k <= elements.UBound(); ++k) {
        if (elements.exists(k) && elements(k).Visible)
            return true;
    }
    return false;
}

}  // namespace

void frmEdit::popMesObjDel_Click()
{
    const bool any = anyVisible(lblKyori) || anyVisible(lblMensekiS) || anyVisible(lblKeiroS) || anyVisible(linePS)
        || anyVisible(lineDsSave);
    subPictOrg_CopyAdj(GE_sngZoom);
    subAllClr_MesData();
    if (any)
        booDrawChange = true;
    // The selection may name an element that is gone.
    subClear_Selection();
}

void frmEdit::subAllClr_MesData()
{
    subCircle_Hide();
    subAllClr_MesObj();
    hideLine(*this);
    subAllClr_LineMenseki();
    booRenzoku = false;
    mdlFileAccess::subKill_Bin();
    intHatchCnt = 0;
    GE_tpHatching = {typHatching()};
    subAllDisp_TempH();
}

void frmEdit::popMesMenCal_Click()
{
    if (!popMesRenzoku->Checked())
        return;
    const int n = lineMenseki.UBound();
    if (n < 2)
        return;
    LineElement& closing = lineMenseki(n);
    closing.Visible = true;
    closing.BorderStyle = 1;
    closing.X1 = lineMenseki(n - 1).X2;
    closing.Y1 = lineMenseki(n - 1).Y2;
    closing.X2 = lineMenseki(0).X1;
    closing.Y2 = lineMenseki(0).Y1;
    const QString key = ResultTag::fncTag_Key(lblMenseki.Tag);
    if (popMesPutSen->Checked())
        subDraw_AreaDimension(closing.X1, closing.Y1, closing.X2, closing.Y2, key);
    const bool keepArea = popMesPutMen->Checked();
    const int m = lblMensekiS.UBound();
    if (keepArea) {
        GE_tpHatching.resize(m + 1);
        typHatching& record = GE_tpHatching[m];
        if (m > 0) {
            record = GE_tpHatching[m - 1];
        } else {
            record.iPitch = 4;
            record.BorderColor = linDefault.BorderColor;
            record.BorderStyle = 0;
            record.BorderWidth = 1;
            record.iTilt = 45;
            record.DrawMode = 13;
        }
        record.iStyle = intHatchStyle;
        record.Tag = key;
    }
    subPut_AreaResult();
    if (keepArea) {
        GE_tpHatching.resize(lblMensekiS.UBound() + 1);
        // The cache file is named from the new label's tag: hatch once it exists.
        if (intHatchStyle > 0 && fncMake_HatchBin(m) >= 0)
            subDisp_TempH(m);
    }
    shpSnap.Visible = false;
    subPut_RouteResult(true);
    if (keepArea || popMesPutSen->Checked())
        booDrawChange = true;
}

void frmEdit::popMesDisCal_Click()
{
    if (!popMesRenzoku->Checked())
        return;
    const int n = lineMenseki.UBound();
    if (n < 1)
        return;
    lineMenseki.Unload(n);
    subPut_RouteResult(false);
    if (popMesPutSen->Checked())
        booDrawChange = true;
}
