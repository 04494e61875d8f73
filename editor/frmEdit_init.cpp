// The editor's start state, set before every drawing is opened: the
// drawing settings' defaults, the menus, the toolbar, the window and the
// status bars.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "measure/checkline.h"
#include "measure/optionrules.h"
#include "measure/resulttag.h"
#include "measure/settingsmenus.h"
#include "platform/application.h"

using namespace platform;

namespace {

// The program's product text in front of the application title.
const QString kProduct = QStringLiteral("図面エディタ");

}  // namespace

void frmEdit::subInit_Settings()
{
    GE_booModeDis = true;
    GE_booModeKei = false;
    GE_sngZoom = 1.0f;
    sngZoomPrev = 1.0f;
    GE_sngHosei = {10, 10, 100, 10};
    mdlSub::subSet_CheckLine(10, 10, 100, 10);
    GE_tpPiccelD = measure::NewDrawingDistancePoints;
    GE_sngPiccelD_X = measure::NewDrawingDistance;
    GE_sngPiccelD_Y = measure::NewDrawingDistance;
    GE_sngDistanceD_X = measure::NewDrawingDistance;
    GE_sngDistanceD_Y = measure::NewDrawingDistance;
    GE_tpPtoD_r = {1.0, 1.0};
    GE_dblAspectM = 1.0;
    GE_intUnitDIndex = 2;
    GE_intDPointD = 2;
    GE_intUnitSIndex = 2;
    GE_intDPointS = 2;
    GE_sngKeisuD = 1.0f;
    GE_sngKeisuS = 1.0f;
    ResultTag::subInit_Format();
    popMesInput->setCaption(QStringLiteral("50 "));
    GE_tpPiccel = {typPointS{10, 10}, typPointS{100, 10}};
    GE_dblKeido = {0, 0};
    GE_dblIdo = {0, 0};
    GE_tpKeIdo = {};
    GE_tpIdo = {};
    GE_sngHojoLen = 15;
    GE_booSnap = true;
    GE_booPictAdj = false;
    GE_sngPictAdj = 1.0f;
    GE_booPrtCmt = false;
    // A new drawing inherits no tilt, scale or longitude/latitude
    // calibration from the drawing opened before it.
    GE_dblHosei = {0, 0, 0, 0};
    GE_sngScale = 0;
    GE_tpPtoK_r = {};
    GE_tpKtoP_r = {};
    GE_tpPx00ToKei = {};
    GE_tpKI00ToPx = {};
    // The unit names (metres and square metres here) and the menus that show
    // a setting follow the values just set; a loaded drawing sets them again.
    measure::subShow_Settings(*this);

    strMojiHead = QStringLiteral("New ");
    strMojiFoot.clear();
    intMojiNo = qint16(lblMoji.UBound());
    strKeiIdoHead.clear();
    strKeiIdoFoot.clear();
    intKeiIdoNo = qint16(lblKeiIdoS.UBound());
    intHatchStyle = 0;
    strSelObjName.clear();
    strPopObjName.clear();
    intSelIndex = intPopIndex = -1;
    intHitDsSave = intHitPS = intHitHikidashi = intHitShape = -1;
    intHitKyori = intHitMenseki = intHitKeiro = intHitCheck = intHojoKyori = -1;
    intHitMoji = -1;
}

void frmEdit::subInit_Menu()
{
    for (Menu* item : {mnuFileSavePrj, mnuFileSaveAsPrj, mnuFileSaveAsImg, mnuFileSaveCsv, popEditDpp, popMesPutMen})
        item->setEnabled(false);
    mnuFileSaveAsPrj->setVisible(false);
    // The context menus appear only at the pointer; the four view items are
    // never offered.
    for (Menu* item : {popDis, popEdit, popHosei, popMes, popTaiou, popHikidashi, popMoji, popShape, mnuDispEnlarge,
                       mnuDispAll, popMesPutIti, mnuDispOrg})
        item->setVisible(false);
    for (Menu* item : {&mnuSnap(0), popDisX, popMesLine, popMesPutSen, popMesHj15})
        item->setChecked(true);
    popDisY->setChecked(false);
    for (int i = 0; i < UnitCount; ++i) {
        popEditUnitD(i).setCaption(GE_strUnitDistance[size_t(i)]);
        popEditUnitS(i).setCaption(GE_strUnitArea[size_t(i)]);
    }
}

void frmEdit::subInit_Toolbar()
{
    for (int i = 8; i <= 13; ++i)
        Toolbar1->Buttons(i).setStyle(tbrButtonGroup);
}

void frmEdit::subInit_Window()
{
    // The window covers the screen's work area (left, top, height, width).
    setLeft(GE_lngWorkArea[0]);
    setTop(GE_lngWorkArea[1]);
    setHeight(GE_lngWorkArea[2]);
    setWidth(GE_lngWorkArea[3]);
    setCaption(kProduct + QStringLiteral(" [ ") + app::title() + QStringLiteral(" ] Ver ")
               + QString::number(app::major()) + QLatin1Char('.') + QString::number(app::minor()) + QLatin1Char('.')
               + QString::number(app::revision()));

    pictWindow->setScaleMode(vbPixels);
    pictOrg->setScaleMode(vbMillimeters);
    pictOrg->hide();
    pictOrg->Move(pictOrg->Left(), pictOrg->Top(), 1000, 1000);
    pictMap->setScaleMode(vbMillimeters);
    pictMap->Move(pictMap->Left(), pictMap->Top(), 1000, 1000);

    lblMoji(0).Visible = false;
    lblMoji(0).Caption = QStringLiteral("文字列");
    lblKeiIdoS(0).Visible = false;
    lblKeiIdoS(0).Caption = QString();
    lblMensekiS(0).Caption = QString();
    lblKeiIdo.Visible = false;
    shpZoom.Visible = false;
    shpCheck(0).Visible = false;
    shpCheck(1).Visible = false;
    shpCircle.Visible = false;
    shpShape(0).Visible = false;
    subVisible_Array(lineHojo, false);
    lineMenseki(0).Visible = false;
    linePS(0).Visible = false;
    lineCheck.Visible = false;
    lineHintX.Visible = false;
    lineHintY.Visible = false;

    lblDefault.Top = 10.2645f;
    lblDefault.Left = 10.2645f;
    lblDefault.Caption = QStringLiteral("デフォルト ");
    linDefault.X1 = lblDefault.Left;
    linDefault.Y1 = lblDefault.Top + 4;
    linDefault.X2 = lblDefault.Left + lblDefault.Width();
    linDefault.Y2 = lblDefault.Top + 4;
    shpDefault.Top = 20.2645f;
    shpDefault.Left = 10.2645f;
    linDefault.Visible = false;
    lblDefault.Visible = false;
    shpDefault.Visible = false;

    stsBar->Panels(2).setText(GE_tpPrint.strNo);
    stsBar->Panels(3).setText(GE_tpPrint.strName);
}

void frmEdit::subInit_StatusBar()
{
    stsBar->Panels(1).setText(GE_tpPrint.strPath);
    stsTip->Panels(6).setText(QStringLiteral("選択モード"));
    stsTip->Panels(7).setText(QStringLiteral("OFF"));
    stsTip->Panels(8).setText(QStringLiteral("100%"));
    // Panels 1 to 5 name the readouts of the calibration mode (the
    // longitude/latitude set wins when both are on); with neither they have none.
    const auto tips = [this](int first, const QStringList& texts) {
        for (int i = 0; i < texts.size(); ++i)
            stsTip->Panels(first + i).setToolTipText(texts[i]);
    };
    if (GE_booModeDis)
        tips(1, {QString(), QStringLiteral("X mm"), QStringLiteral("Y mm"), QStringLiteral("角度"),
                 QStringLiteral("距離・寸法")});
    if (GE_booModeKei)
        tips(1, {QStringLiteral("経緯度"), QStringLiteral("X mm"), QStringLiteral("Y mm"), QStringLiteral("方位"),
                 QStringLiteral("距離・寸法")});
    tips(6, {QStringLiteral("ツール"), QStringLiteral("スナップ"), QStringLiteral("拡大縮小率")});
}
