// The editor's menu bar and its context menus, with their captions. The
// context menus are top-level menus that the set-up takes off the bar.

#include "editor/frmEdit.h"

#include <QMenuBar>

using platform::Menu;

namespace {

Menu* item(Menu* parent, const char* name, const QString& caption)
{
    return new Menu(QString::fromLatin1(name), caption, parent);
}

void separator(Menu* parent, const char* name)
{
    item(parent, name, QStringLiteral("-"));
}

void items(frmEdit::MenuArray& array, const char* name, Menu* parent, const QStringList& captions)
{
    for (int i = 0; i < captions.size(); ++i)
        array.add(i, new Menu(QString::fromLatin1(name), captions[i], parent));
}

}  // namespace

void frmEdit::buildMenus()
{
    buildFileMenu();
    buildViewMenu();

    mnuEditSet = new Menu(QStringLiteral("mnuEditSet"), QStringLiteral("ﾂｰﾙ(&T)"), menuBar());
    mnuSnapP = item(mnuEditSet, "mnuSnapP", QStringLiteral("スナップ設定"));
    items(mnuSnap, "mnuSnap", mnuSnapP,
          {QStringLiteral("スナップＯＦＦ"), QStringLiteral("マーカーにスナップ"), QStringLiteral("ヒントにスナップ")});
    separator(mnuEditSet, "mnuToolSp1");
    mnuToolOpt = item(mnuEditSet, "mnuToolOpt", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)...."));

    mnuHelp = new Menu(QStringLiteral("mnuHelp"), QStringLiteral("ヘルプ(&H)"), menuBar());
    mnuHelpHlp = item(mnuHelp, "mnuHelpHlp", QStringLiteral("ヘルプ"));

    for (int i = 0; i <= mnuSnap.UBound(); ++i)
        mnuSnap(i).Click = [this](int index) { mnuSnap_Click(index); };
    mnuToolOpt->Click = [this] { mnuToolOpt_Click(); };
    mnuHelpHlp->Click = [this] { mnuHelpHlp_Click(); };
}

void frmEdit::buildFileMenu()
{
    mnuFile = new Menu(QStringLiteral("mnuFile"), QStringLiteral("ﾌｧｲﾙ(&F)"), menuBar());
    mnuFileNewPrj = item(mnuFile, "mnuFileNewPrj", QStringLiteral("画像の取込(&N)..."));
    separator(mnuFile, "mnuFileSp1");
    mnuFileSavePrj = item(mnuFile, "mnuFileSavePrj", QStringLiteral("図面の上書き保存(&S)"));
    mnuFileSaveAsPrj = item(mnuFile, "mnuFileSaveAsPrj", QStringLiteral("名前を付けて図面の保存..."));
    mnuFileSaveAsImg = item(mnuFile, "mnuFileSaveAsImg", QStringLiteral("ビットマップファイルへ保存"));
    mnuFileSaveCsv = item(mnuFile, "mnuFileSaveCsv", QStringLiteral("CSVﾌｧｲﾙの作成..."));
    mnuFileSaveCsvSen = item(mnuFileSaveCsv, "mnuFileSaveCsvSen", QStringLiteral("距離・寸法一覧"));
    mnuFileSaveCsvKer = item(mnuFileSaveCsv, "mnuFileSaveCsvKer", QStringLiteral("経路一覧"));
    mnuFileSaveCsvMen = item(mnuFileSaveCsv, "mnuFileSaveCsvMen", QStringLiteral("面積一覧"));
    mnuFileSaveCsvIti = item(mnuFileSaveCsv, "mnuFileSaveCsvIti", QStringLiteral("位置情報一覧"));
    separator(mnuFile, "mnuFileSp2");
    mnuFilePrint = item(mnuFile, "mnuFilePrint", QStringLiteral("印刷(&P)..."));
    mnuSetPrinter = item(mnuFile, "mnuSetPrinter", QStringLiteral("プリンタの設定..."));
    mnuSetPrinterD = item(mnuFile, "mnuSetPrinterD", QStringLiteral("規定のプリンタ設定..."));
    separator(mnuFile, "mnuFileSp3");
    mnuFileEnd = item(mnuFile, "mnuFileEnd", QStringLiteral("終了(&X)"));

    mnuFileNewPrj->Click = [this] { mnuFileNewPrj_Click(); };
    mnuFileSavePrj->Click = [this] { mnuFileSavePrj_Click(); };
    mnuFileSaveAsPrj->Click = [this] { mnuFileSaveAsPrj_Click(); };
    mnuFileEnd->Click = [this] { mnuFileEnd_Click(); };
    mnuFileSaveAsImg->Click = [this] { mnuFileSaveAsImg_Click(); };
    mnuFileSaveCsvSen->Click = [this] { mnuFileSaveCsvSen_Click(); };
    mnuFileSaveCsvKer->Click = [this] { mnuFileSaveCsvKer_Click(); };
    mnuFileSaveCsvMen->Click = [this] { mnuFileSaveCsvMen_Click(); };
    mnuFileSaveCsvIti->Click = [this] { mnuFileSaveCsvIti_Click(); };
    mnuFilePrint->Click = [this] { mnuFilePrint_Click(); };
    mnuSetPrinter->Click = [this] { mnuSetPrinter_Click(); };
    mnuSetPrinterD->Click = [this] { mnuSetPrinterD_Click(); };
}

void frmEdit::buildViewMenu()
{
    mnuDisp = new Menu(QStringLiteral("mnuDisp"), QStringLiteral("表示(&V)"), menuBar());
    mnuMarker = item(mnuDisp, "mnuMarker", QStringLiteral("マーカー"));
    mnuHint = item(mnuDisp, "mnuHint", QStringLiteral("ヒント"));
    separator(mnuDisp, "mnuDispSp1");
    mnuDispObj = item(mnuDisp, "mnuDispObj", QStringLiteral("オブジェクト"));
    mnuDspDefault = item(mnuDispObj, "mnuDspDefault", QStringLiteral("デフォルト"));
    mnuPropaty = item(mnuDispObj, "mnuPropaty", QStringLiteral("プロパティ"));
    separator(mnuDisp, "mnuDispSp2");
    mnuDispEandRP = item(mnuDisp, "mnuDispEandRP", QStringLiteral("拡大縮小"));
    items(mnuDispEandR, "mnuDispEandR", mnuDispEandRP,
          {QStringLiteral("２００％"), QStringLiteral("１７５％"), QStringLiteral("１５０％"), QStringLiteral("１２５％"),
           QStringLiteral("１００％"), QStringLiteral("７５％"), QStringLiteral("５０％"), QStringLiteral("２５％")});
    mnuDispEnlarge = item(mnuDisp, "mnuDispEnlarge", QStringLiteral("範囲指定"));
    mnuDispAll = item(mnuDisp, "mnuDispAll", QStringLiteral("選択範囲を画面フィット"));
    mnuDispOrg = item(mnuDisp, "mnuDispOrg", QStringLiteral("読み込み時に戻す"));
    separator(mnuDisp, "mnuDispSp3");
    mnuPaperSize = item(mnuDisp, "mnuPaperSize", QStringLiteral("用紙サイズ"));

    mnuMarker->Click = [this] { mnuMarker_Click(); };
    mnuHint->Click = [this] { mnuHint_Click(); };
    mnuDspDefault->Click = [this] { mnuDspDefault_Click(); };
    for (int i = 0; i <= mnuDispEandR.UBound(); ++i)
        mnuDispEandR(i).Click = [this](int index) { mnuDispEandR_Click(index); };
    mnuPaperSize->Click = [this] { mnuPaperSize_Click(); };
}

// The context menus' commands act on the objects; they are connected by the
// code that owns those commands.
void frmEdit::buildPopups()
{
    buildMeasuringPopup();

    popDis = new Menu(QStringLiteral("popDis"), QStringLiteral("既知距離入力"), menuBar());
    popDisX = item(popDis, "popDisX", QStringLiteral("水平距離"));
    popDisY = item(popDis, "popDisY", QStringLiteral("垂直距離"));
    popHosei = new Menu(QStringLiteral("popHosei"), QStringLiteral("傾き補正"), menuBar());
    popHoseiL = item(popHosei, "popHoseiL", QStringLiteral("左のポイント設定"));
    popHoseiR = item(popHosei, "popHoseiR", QStringLiteral("右のポイント設定"));
    popTaiou = new Menu(QStringLiteral("popTaiou"), QStringLiteral("対応点入力"), menuBar());
    popTaiou1 = item(popTaiou, "popTaiou1", QStringLiteral("対応点１座標指定"));
    popTaiou2 = item(popTaiou, "popTaiou2", QStringLiteral("対応点２座標指定"));

    buildEditPopup();

    popMoji = new Menu(QStringLiteral("popMoji"), QStringLiteral("文字列"), menuBar());
    popMojiPpty = item(popMoji, "popMojiPpty", QStringLiteral("プロパティ"));
    popMojiDpp = item(popMoji, "popMojiDpp", QStringLiteral("複製"));
    separator(popMoji, "popMojiSp1");
    popHedda = item(popMoji, "popHedda", QStringLiteral("ヘッダ"));
    popRenInit = item(popMoji, "popRenInit", QStringLiteral("連番初期値"));
    popFutta = item(popMoji, "popFutta", QStringLiteral("フッタ"));
    separator(popMoji, "popMojiSp2");
    popMojiClr = item(popMoji, "popMojiClr", QStringLiteral("消去"));
    popMojiAllClr = item(popMoji, "popMojiAllClr", QStringLiteral("文字列の全消去"));

    popHikidashi = new Menu(QStringLiteral("popHikidashi"), QStringLiteral("引き出し線"), menuBar());
    popHkdSenPpty = item(popHikidashi, "popHkdSenPpty", QStringLiteral("プロパティ"));
    popHkdSenDpp = item(popHikidashi, "popHkdSenDpp", QStringLiteral("複製"));
    separator(popHikidashi, "popHkdSenSp1");
    popHkdSenClr = item(popHikidashi, "popHkdSenClr", QStringLiteral("消去"));
    popHkdSenAllClr = item(popHikidashi, "popHkdSenAllClr", QStringLiteral("引き出し線の全消去"));

    popShape = new Menu(QStringLiteral("popShape"), QStringLiteral("図形"), menuBar());
    popShapePpty = item(popShape, "popShapePpty", QStringLiteral("プロパティ"));
    popShapDpp = item(popShape, "popShapDpp", QStringLiteral("複製"));
    separator(popShape, "popShapeSp1");
    popShapeClr = item(popShape, "popShapeClr", QStringLiteral("消去"));
    popShapeAllClr = item(popShape, "popShapeAllClr", QStringLiteral("図形の全消去"));

    connectObjectCommands();
    connectLabelTexts();
    connectPageToggle();
    connectMeasuring();
    connectLabelMouse();
    connectKeys();
}

void frmEdit::buildMeasuringPopup()
{
    popMes = new Menu(QStringLiteral("popMes"), QStringLiteral("測定"), menuBar());
    popMesLine = item(popMes, "popMesLine", QStringLiteral("直線距離"));
    popMesRenzoku = item(popMes, "popMesRenzoku", QStringLiteral("連続"));
    popMesCir = item(popMes, "popMesCir", QStringLiteral("半径円内"));
    popMesInput = item(popMes, "popMesInput", QStringLiteral("50 m "));
    separator(popMes, "popMesSp1");
    popMesPutSen = item(popMes, "popMesPutSen", QStringLiteral("距離情報を残す"));
    popMesPutMen = item(popMes, "popMesPutMen", QStringLiteral("面積情報を残す"));
    popMesPutIti = item(popMes, "popMesPutIti", QStringLiteral("位置情報を残す"));
    separator(popMes, "popMesSp2");
    popHatchingP = item(popMes, "popHatchingP", QStringLiteral("ハッチング"));
    items(popHatching, "popHatching", popHatchingP,
          {QStringLiteral("0 - 無し"), QStringLiteral("1 - 横線"), QStringLiteral("2 - 縦線"),
           QStringLiteral("3 - 右下がり"), QStringLiteral("4 - 右上がり"), QStringLiteral("5 - クロス"),
           QStringLiteral("6 - 網掛け")});
    popHatching(0).setChecked(true);
    separator(popMes, "popMesSp3");
    popMesMenCal = item(popMes, "popMesMenCal", QStringLiteral("面積計算"));
    popMesDisCal = item(popMes, "popMesDisCal", QStringLiteral("経路距離計算"));
    separator(popMes, "popMesSp4");
    popMesHjP = item(popMes, "popMesHjP", QStringLiteral("寸法引き出し線の長さ"));
    popMesHj05 = item(popMesHjP, "popMesHj05", QStringLiteral("　5mm"));
    popMesHj10 = item(popMesHjP, "popMesHj10", QStringLiteral("10mm"));
    popMesHj15 = item(popMesHjP, "popMesHj15", QStringLiteral("15mm"));
    popMesHj20 = item(popMesHjP, "popMesHj20", QStringLiteral("20mm"));
    popMesHj25 = item(popMesHjP, "popMesHj25", QStringLiteral("25mm"));
    popMesHj30 = item(popMesHjP, "popMesHj30", QStringLiteral("30mm"));
    popMesObjDel = item(popMes, "popMesObjDel", QStringLiteral("測定データ全消去"));
}

void frmEdit::buildEditPopup()
{
    popEdit = new Menu(QStringLiteral("popEdit"), QStringLiteral("編集"), menuBar());
    popPropaty = item(popEdit, "popPropaty", QStringLiteral("プロパティ"));
    separator(popEdit, "popEditSp1");
    popEditRev = item(popEdit, "popEditRev", QStringLiteral("測定線の反対側へ移動"));
    popEditUnitDistance = item(popEdit, "popEditUnitDistance", QStringLiteral("単位変換（距離・寸法）"));
    items(popEditUnitD, "popEditUnitD", popEditUnitDistance,
          {QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("m"), QStringLiteral("km"), QStringLiteral("in."),
           QStringLiteral("ft."), QStringLiteral("yd."), QStringLiteral("mi."), QStringLiteral("l."),
           QStringLiteral("nmi."), QStringLiteral("寸"), QStringLiteral("尺"), QStringLiteral("間"),
           QStringLiteral("里")});
    popEditUnitSquea = item(popEdit, "popEditUnitSquea", QStringLiteral("単位変換（面積）"));
    items(popEditUnitS, "popEditUnitS", popEditUnitSquea,
          {QStringLiteral("mm2"), QStringLiteral("cm2"), QStringLiteral("m2"), QStringLiteral("a"), QStringLiteral("ha"),
           QStringLiteral("km2"), QStringLiteral("sq.in."), QStringLiteral("sq.ft."), QStringLiteral("sq.yd."),
           QStringLiteral("sq.mi."), QStringLiteral("ac"), QStringLiteral("坪"), QStringLiteral("反"),
           QStringLiteral("町")});
    popEditDesiPoint = item(popEdit, "popEditDesiPoint", QStringLiteral("小数点"));
    QStringList digits;
    for (int i = 0; i <= 8; ++i)
        digits << QString::number(i);
    items(popEditDPoint, "popEditDPoint", popEditDesiPoint, digits);
    // The number formats stop at six places.
    popEditDPoint(7).setEnabled(false);
    popEditDPoint(8).setEnabled(false);
    separator(popEdit, "popEditSp2");
    popEditCSV = item(popEdit, "popEditCSV", QStringLiteral("詳細ＣＳＶ出力"));
    popEditDpp = item(popEdit, "popEditDpp", QStringLiteral("複製"));
    popEditDelP = item(popEdit, "popEditDelP", QStringLiteral("消去"));
    items(popEditDel, "popEditDel", popEditDelP, {QStringLiteral("全て消去"), QStringLiteral("距離・寸法を消去")});
}
