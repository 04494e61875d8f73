// Every command of the editor taken as the user takes it: a menu-bar item
// triggered, a context menu opened by a real right-click on the object it
// belongs to (or on the map) and its item chosen, and what the command did
// to the drawing, its settings or the windows it opens. The table names
// every item the editor's menus offer.

#include "tests/interaction/mapmouse.h"

#include "measure/checkline.h"
#include "measure/frmOption.h"
#include "measure/resulttag.h"
#include "objects/dlgInput.h"
#include "platform/application.h"
#include "properties/frmPropaty.h"

#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <functional>

using namespace editortest;
using namespace mapmouse;
using namespace platform;

namespace {

// Where the item is reached: the menu bar, the map (as it is in the
// measuring or the known-distance pick mode), a calibration marker (whose
// press checks the item of its menu), or the object right-clicked.
enum Target { Bar, Map, PickMap, Marker0, Marker1, Distance, Area, Route, Text, Position, Lead, Shape };
const char* const kTargetNames[] = {"bar",  "map",  "pick map", "marker 1", "marker 2", "distance",
                                    "area", "route", "text",    "position", "lead-out", "shape"};

template <class T>
int shown(const ElementArray<T>& a)
{
    int n = 0;
    for (int k = 0; k <= a.UBound(); ++k)
        n += a.exists(k) && a(k).Visible ? 1 : 0;
    return n;
}

template <class T>
int lastShown(const ElementArray<T>& a)
{
    for (int k = a.UBound(); k >= 0; --k) {
        if (a.exists(k) && a(k).Visible)
            return k;
    }
    return -1;
}

struct Counts {
    int kyori, menseki, keiro, moji, keiIdo, lead, shape;
};
Counts counts(const frmEdit& e)
{
    return {shown(e.lblKyori), shown(e.lblMensekiS), shown(e.lblKeiroS),   shown(e.lblMoji),
            shown(e.lblKeiIdoS), shown(e.lineHikidashi), shown(e.shpShape)};
}

struct Context {
    ScriptedUserInterface& ui;
    ModalScript& modal;
    QString file;      // the path a file dialog is answered with
    int index = -1;    // the element right-clicked
    Counts before{};
    double mark = 0;  // a value the check compares with
};

using Check = std::function<bool(frmEdit&, Context&)>;
using Prepare = std::function<void(frmEdit&, Context&)>;

struct Row {
    QString item;  // its name, with (k) for an element of an item array
    Target on;
    QString caption;
    Check done;
    Prepare before = {};
    bool refused = false;  // shown disabled: the choice does nothing
};

bool checkedAlone(const ControlArray<Menu>& items, int k)
{
    for (int j = 0; j <= items.UBound(); ++j) {
        if (items(j).Checked() != (j == k))
            return false;
    }
    return true;
}

// A result label's unit and decimal places, as its tag holds them.
std::pair<int, int> unitAndPlaces(const LabelElement& l)
{
    qint16 unit = -1, decimals = -1;
    double value = 0;
    ResultTag::subParse_ResultTag(l.Tag, unit, decimals, value);
    return {unit, decimals};
}

// A window the command shows modally, closed again; the name it had.
void closeWindow(Context& c) { c.modal.push([](Form& f) { f.unload(); }); }
bool windowShown(Context& c, const char* name) { return c.modal.shown == QStringList{QLatin1String(name)}; }

void answerInput(Context& c, const QString& text)
{
    c.modal.push([text](Form& f) {
        auto& d = static_cast<dlgInput&>(f);
        d.txtInput->setText(text);
        d.OKButton->button()->click();
    });
}

bool sheetOn(const char* kind, int index)
{
    frmPropaty* sheet = Instance<frmPropaty>::pointer();
    return sheet && sheet->isVisible() && sheet->txtObjName->Text() == QLatin1String(kind)
        && sheet->txtIndex->Text() == QString::number(index);
}

bool savedAs(Context& c, const QString& title)
{
    return c.ui.last().kind == QLatin1String("Save") && c.ui.last().title == title && QFile(c.file).size() > 0;
}

QList<Row> rows()
{
    QList<Row> r;
    const auto saveTo = [](frmEdit&, Context& c) { c.ui.answerFile(c.file); };
    // File
    r << Row{"mnuFileNewPrj", Bar, "画像の取込(&N)...", [](frmEdit&, Context& c) { return windowShown(c, "dlgBrowesForFolder"); },
             [](frmEdit&, Context& c) { closeWindow(c); }};
    r << Row{"mnuFileSavePrj", Bar, "図面の上書き保存(&S)", [](frmEdit& e, Context&) { return !e.booDrawChange; },
             [](frmEdit&, Context& c) { c.ui.answerMsgBox(vb::vbYes); }};
    r << Row{"mnuFileSaveAsImg", Bar, "ビットマップファイルへ保存",
             [](frmEdit&, Context& c) { return savedAs(c, "ビットマップファイル保存"); }, saveTo};
    r << Row{"mnuFileSaveCsvSen", Bar, "距離・寸法一覧",
             [](frmEdit&, Context& c) { return savedAs(c, "距離・寸法ＣＳＶファイル保存"); }, saveTo};
    r << Row{"mnuFileSaveCsvKer", Bar, "経路一覧", [](frmEdit&, Context& c) { return savedAs(c, "経路ＣＳＶファイル保存"); },
             saveTo};
    r << Row{"mnuFileSaveCsvMen", Bar, "面積一覧", [](frmEdit&, Context& c) { return savedAs(c, "面積ＣＳＶファイル保存"); },
             saveTo};
    r << Row{"mnuFileSaveCsvIti", Bar, "位置情報一覧",
             [](frmEdit&, Context& c) { return savedAs(c, "位置情報ＣＳＶファイル保存"); }, saveTo};
    r << Row{"mnuFilePrint", Bar, "印刷(&P)...", [](frmEdit&, Context& c) { return windowShown(c, "dlgPrinter"); },
             [](frmEdit&, Context& c) { closeWindow(c); }};
    r << Row{"mnuSetPrinter", Bar, "プリンタの設定...",
             [](frmEdit&, Context& c) { return c.ui.last().kind == QLatin1String("Printer") && c.ui.last().style == 1; },
             [](frmEdit&, Context& c) { c.ui.answerPrinter(std::nullopt); }};
    r << Row{"mnuSetPrinterD", Bar, "規定のプリンタ設定...",
             [](frmEdit&, Context& c) { return c.ui.last().title == QString("規定のプリンタ設定"); },
             [](frmEdit&, Context& c) { c.ui.answerMsgBox(vb::vbNo); }};
    r << Row{"mnuFileEnd", Bar, "終了(&X)", [](frmEdit&, Context&) { return !Instance<frmEdit>::exists(); },
             [](frmEdit&, Context& c) { c.ui.answerMsgBox(vb::vbNo); }};
    // View
    r << Row{"mnuMarker", Bar, "マーカー", [](frmEdit& e, Context&) { return e.mnuMarker->Checked(); }};
    r << Row{"mnuHint", Bar, "ヒント", [](frmEdit& e, Context&) { return e.mnuHint->Checked(); }};
    r << Row{"mnuDspDefault", Bar, "デフォルト",
             [](frmEdit& e, Context&) { return e.mnuDspDefault->Checked() == e.lblDefault.Visible && e.lblDefault.Visible; },
             [](frmEdit& e, Context&) { e.lblDefault.Visible = false, e.mnuDspDefault->setChecked(false); }};
    r << Row{"mnuPropaty", Bar, "プロパティ", [](frmEdit&, Context&) {
                 return Instance<frmPropaty>::exists() && Instance<frmPropaty>::get().isVisible();
             }};
    const float zooms[] = {2, 1.75f, 1.5f, 1.25f, 1, 0.75f, 0.5f, 0.25f};
    const QStringList zoomCaptions = {"２００％", "１７５％", "１５０％", "１２５％", "１００％", "７５％", "５０％", "２５％"};
    for (int k = 0; k < 8; ++k) {
        const float zoom = zooms[k];
        r << Row{QString("mnuDispEandR(%1)").arg(k), Bar, zoomCaptions[k],
                 [zoom, k](frmEdit& e, Context&) { return GE_sngZoom == zoom && checkedAlone(e.mnuDispEandR, k); },
                 [k](frmEdit& e, Context&) { e.mnuDispEandR_Click(k == 4 ? 5 : 4); }};
    }
    r << Row{"mnuPaperSize", Bar, "用紙サイズ", [](frmEdit& e, Context&) {
                 return e.mnuPaperSize->Checked() && e.shpPrintWaku.UBound() >= 1 && e.shpPrintWaku(1).Visible;
             },
             [](frmEdit& e, Context&) {
                 if (e.mnuPaperSize->Checked())
                     e.mnuPaperSize_Click();
             }};
    // Tools, help
    const QStringList snaps = {"スナップＯＦＦ", "マーカーにスナップ", "ヒントにスナップ"};
    for (int k = 0; k < 3; ++k)
        r << Row{QString("mnuSnap(%1)").arg(k), Bar, snaps[k], [k](frmEdit& e, Context&) { return checkedAlone(e.mnuSnap, k); },
                 [k](frmEdit& e, Context&) { e.mnuSnap_Click((k + 1) % 3); }};
    r << Row{"mnuToolOpt", Bar, "ｵﾌﾟｼｮﾝ(&O)....",
             [](frmEdit&, Context&) { return Instance<frmOption>::exists() && Instance<frmOption>::get().isVisible(); },
             [](frmEdit& e, Context&) { tool(e, 8); }};
    r << Row{"mnuHelpHlp", Bar, "ヘルプ", [](frmEdit&, Context& c) {
                 return c.ui.last().kind == QLatin1String("Url") && c.ui.last().prompt == app::helpFile();
             }};

    // The measuring menu
    // The status bar's last panel names the mode chosen.
    const auto mode = [](frmEdit& e, const char* text) { return e.stsTip->Panels(6).Text() == QString::fromUtf8(text); };
    r << Row{"popMesLine", Map, "直線距離", [mode](frmEdit& e, Context&) {
                 return e.popMesLine->Checked() && !e.popMesCir->Checked() && mode(e, "測定:直線");
             },
             [](frmEdit& e, Context&) { e.popMesCir_Click(); }};
    r << Row{"popMesRenzoku", Map, "連続", [mode](frmEdit& e, Context&) {
                 return e.popMesRenzoku->Checked() && e.popMesPutMen->Enabled() && mode(e, "測定:連続入力");
             }};
    r << Row{"popMesCir", Map, "半径円内", [mode](frmEdit& e, Context&) {
                 return e.popMesCir->Checked() && !e.popMesLine->Checked() && mode(e, "測定:半径円内");
             }};
    r << Row{"popMesInput", Map, "50 mm ", [](frmEdit& e, Context& c) {
                 return windowShown(c, "dlgInput") && e.popMesInput->Checked() && e.popMesInput->Caption() == QLatin1String("30 m ");
             },
             [](frmEdit&, Context& c) { answerInput(c, "30"); }};
    r << Row{"popMesPutSen", Map, "距離情報を残す", [](frmEdit& e, Context&) { return !e.popMesPutSen->Checked(); },
             [](frmEdit& e, Context&) { e.popMesPutSen->setChecked(true); }};
    r << Row{"popMesPutMen", Map, "面積情報を残す", [](frmEdit& e, Context&) { return !e.popMesPutMen->Checked(); },
             [](frmEdit& e, Context&) { e.popMesRenzoku_Click(); }};
    const QStringList hatchings = {"0 - 無し", "1 - 横線", "2 - 縦線", "3 - 右下がり", "4 - 右上がり", "5 - クロス", "6 - 網掛け"};
    for (int k = 0; k < 7; ++k)
        r << Row{QString("popHatching(%1)").arg(k), Map, hatchings[k],
                 [k](frmEdit& e, Context&) { return e.intHatchStyle == k && checkedAlone(e.popHatching, k); },
                 [k](frmEdit& e, Context&) { e.popHatching_Click((k + 1) % 7); }};
    // A polyline of two sides waits for its end.
    const Prepare polyline = [](frmEdit& e, Context&) {
        e.popMesRenzoku_Click();
        const QPointF points[] = {{60, 45}, {90, 45}, {90, 62}};
        for (int k = 0; k < 3; ++k) {
            if (k > 0) {
                mouse(e, Press, float(points[k].x()), float(points[k].y()));
                mouse(e, Release, float(points[k].x()), float(points[k].y()));
            }
            mouse(e, Move, float(points[k].x()), float(points[k].y()), Qt::NoButton);
            mouse(e, Press, float(points[k].x()), float(points[k].y()));
            mouse(e, Release, float(points[k].x()), float(points[k].y()));
        }
    };
    r << Row{"popMesMenCal", Map, "面積計算",
             [](frmEdit& e, Context& c) { return shown(e.lblMensekiS) == c.before.menseki + 1 && !e.booRenzoku; }, polyline};
    r << Row{"popMesDisCal", Map, "経路距離計算",
             [](frmEdit& e, Context& c) { return shown(e.lblKeiroS) == c.before.keiro + 1 && shown(e.lblMensekiS) == c.before.menseki; },
             polyline};
    const char* lengths[] = {"popMesHj05", "popMesHj10", "popMesHj15", "popMesHj20", "popMesHj25", "popMesHj30"};
    const QStringList lengthCaptions = {"　5mm", "10mm", "15mm", "20mm", "25mm", "30mm"};
    for (int k = 0; k < 6; ++k) {
        const float mm = 5.0f * float(k + 1);
        r << Row{lengths[k], Map, lengthCaptions[k], [mm](frmEdit&, Context&) { return GE_sngHojoLen == mm; },
                 [](frmEdit&, Context&) { GE_sngHojoLen = 7; }};
    }
    r << Row{"popMesObjDel", Map, "測定データ全消去", [](frmEdit& e, Context& c) {
                 const Counts n = counts(e);
                 return n.kyori == 0 && n.menseki == 0 && n.keiro == 0 && n.moji == c.before.moji && n.shape == c.before.shape;
             }};
    // Known distances picked on the map
    r << Row{"popDisX", PickMap, "水平距離", [](frmEdit& e, Context&) { return e.popDisX->Checked() && !e.popDisY->Checked(); },
             [](frmEdit& e, Context&) { e.popDisX->setChecked(false), e.popDisY->setChecked(true); }};
    r << Row{"popDisY", PickMap, "垂直距離", [](frmEdit& e, Context&) { return e.popDisY->Checked() && !e.popDisX->Checked(); },
             [](frmEdit& e, Context&) { e.popDisX->setChecked(true), e.popDisY->setChecked(false); }};
    // The calibration markers: a drag moves the point of the item the press checked.
    const auto moved = [](float x, float y) { return near(x, 50, 0.3) && near(y, 98, 0.3); };
    r << Row{"popHoseiL", Marker0, "左のポイント設定", [moved](frmEdit&, Context&) {
                 return moved(GE_sngHosei[0], GE_sngHosei[1]) && GE_sngHosei[2] == 45;
             }};
    r << Row{"popHoseiR", Marker1, "右のポイント設定", [moved](frmEdit&, Context&) {
                 return moved(GE_sngHosei[2], GE_sngHosei[3]) && GE_sngHosei[0] == 20;
             }};
    r << Row{"popTaiou1", Marker0, "対応点１座標指定", [moved](frmEdit&, Context&) {
                 return moved(GE_tpPiccel[0].sngX, GE_tpPiccel[0].sngY) && GE_tpPiccel[1].sngX == 45;
             }};
    r << Row{"popTaiou2", Marker1, "対応点２座標指定", [moved](frmEdit&, Context&) {
                 return moved(GE_tpPiccel[1].sngX, GE_tpPiccel[1].sngY) && GE_tpPiccel[0].sngX == 20;
             }};

    // A result's menu
    r << Row{"popPropaty", Distance, "プロパティ", [](frmEdit&, Context& c) { return sheetOn("lblKyori", c.index); }};
    r << Row{"popPropaty", Area, "プロパティ", [](frmEdit&, Context& c) { return sheetOn("lblMensekiS", c.index); }};
    // The distance from (10, 10) to (50, 10): its dimension line mirrored across it.
    r << Row{"popEditRev", Distance, "測定線の反対側へ移動", [](frmEdit& e, Context& c) {
                 return near(e.lineDsSave(c.index).Y1, 20 - c.mark, 0.2) && near(e.lineHojoSave(2 * c.index).Y2, 20 - c.mark, 0.2);
             },
             [](frmEdit& e, Context& c) { c.mark = e.lineDsSave(0).Y1; }};
    const QStringList unitsD = {"mm", "cm", "m", "km", "in.", "ft.", "yd.", "mi.", "l.", "nmi.", "寸", "尺", "間", "里"};
    const QStringList unitsS = {"mm2", "cm2", "m2", "a", "ha", "km2", "sq.in.", "sq.ft.", "sq.yd.", "ac", "sq.mi.", "坪", "反", "町"};
    for (int k = 0; k < 14; ++k) {
        const QString d = unitsD[k] + ' ', s = unitsS[k] + ' ';  // as the unit tables hold them
        r << Row{QString("popEditUnitD(%1)").arg(k), Distance, d, [k, d](frmEdit& e, Context& c) {
                     const LabelElement& l = e.lblKyori(c.index);
                     return unitAndPlaces(l).first == k && l.Caption.get().endsWith(" " + d);
                 },
                 [k](frmEdit& e, Context&) { e.subChg_UnitDistance(e.lblKyori(0), qint16((k + 1) % 14)); }};
        r << Row{QString("popEditUnitS(%1)").arg(k), Area, s, [k, s](frmEdit& e, Context& c) {
                     const LabelElement& l = e.lblMensekiS(c.index);
                     return unitAndPlaces(l).first == k && l.Caption.get().endsWith(" " + s);
                 },
                 [k](frmEdit& e, Context&) { e.subChg_UnitArea(e.lblMensekiS(0), qint16((k + 1) % 14)); }};
    }
    for (int k = 0; k <= 8; ++k)
        r << Row{QString("popEditDPoint(%1)").arg(k), Distance, QString::number(k),
                 [k](frmEdit& e, Context& c) { return unitAndPlaces(e.lblKyori(c.index)).second == (k > 6 ? 2 : k); },
                 [k](frmEdit& e, Context&) {
                     if (k == 2)
                         e.subChg_DecimalPoint(e.lblKyori(0), 3, false);
                 },
                 k > 6};
    r << Row{"popEditCSV", Area, "詳細ＣＳＶ出力", [](frmEdit&, Context& c) { return savedAs(c, "面積詳細ＣＳＶファイル保存"); }, saveTo};
    r << Row{"popEditCSV", Route, "詳細ＣＳＶ出力", [](frmEdit&, Context& c) { return savedAs(c, "経路詳細ＣＳＶファイル保存"); }, saveTo};
    r << Row{"popEditDpp", Area, "複製", [](frmEdit& e, Context& c) { return shown(e.lblMensekiS) == c.before.menseki + 1; }};
    r << Row{"popEditDpp", Route, "複製", [](frmEdit& e, Context& c) { return shown(e.lblKeiroS) == c.before.keiro + 1; }};
    r << Row{"popEditDel(0)", Distance, "全て消去", [](frmEdit& e, Context& c) { return shown(e.lblKyori) == c.before.kyori - 1; }};
    r << Row{"popEditDel(0)", Area, "全て消去", [](frmEdit& e, Context& c) {
                 return shown(e.lblMensekiS) == c.before.menseki - 1 && shown(e.lblKeiroS) == c.before.keiro;
             }};
    r << Row{"popEditDel(1)", Area, "距離・寸法を消去", [](frmEdit& e, Context& c) {
                 return shown(e.lblMensekiS) == c.before.menseki && shown(e.lblKyori) < c.before.kyori - 1;
             }};
    r << Row{"popEditDel(0)", Route, "全て消去", [](frmEdit& e, Context& c) { return shown(e.lblKeiroS) == c.before.keiro - 1; }};

    // Text and position labels, lead-out lines, shapes
    r << Row{"popMojiPpty", Text, "プロパティ", [](frmEdit&, Context& c) { return sheetOn("lblMoji", c.index); }};
    r << Row{"popMojiDpp", Text, "複製", [](frmEdit& e, Context& c) { return shown(e.lblMoji) == c.before.moji + 1; }};
    r << Row{"popMojiDpp", Position, "複製", [](frmEdit& e, Context& c) { return shown(e.lblKeiIdoS) == c.before.keiIdo + 1; }};
    r << Row{"popHedda", Text, "ヘッダ",
             [](frmEdit& e, Context& c) { return windowShown(c, "dlgInput") && e.strMojiHead == QLatin1String("H-"); },
             [](frmEdit&, Context& c) { answerInput(c, "H-"); }};
    r << Row{"popRenInit", Position, "連番初期値",
             [](frmEdit& e, Context& c) { return windowShown(c, "dlgInput") && e.intKeiIdoNo == 7; },
             [](frmEdit&, Context& c) { answerInput(c, "7"); }};
    r << Row{"popFutta", Text, "フッタ",
             [](frmEdit& e, Context& c) { return windowShown(c, "dlgInput") && e.strMojiFoot == QLatin1String("-F"); },
             [](frmEdit&, Context& c) { answerInput(c, "-F"); }};
    r << Row{"popMojiClr", Text, "消去", [](frmEdit& e, Context& c) { return shown(e.lblMoji) == c.before.moji - 1; }};
    r << Row{"popMojiClr", Position, "消去", [](frmEdit& e, Context& c) { return shown(e.lblKeiIdoS) == c.before.keiIdo - 1; }};
    r << Row{"popMojiAllClr", Text, "文字列の全消去",
             [](frmEdit& e, Context& c) { return shown(e.lblMoji) == 0 && shown(e.lblKeiIdoS) == c.before.keiIdo; }};
    r << Row{"popMojiAllClr", Position, "文字列の全消去",
             [](frmEdit& e, Context& c) { return shown(e.lblKeiIdoS) == 0 && shown(e.lblMoji) == c.before.moji; }};
    r << Row{"popHkdSenPpty", Lead, "プロパティ", [](frmEdit&, Context& c) { return sheetOn("lineHikidashi", c.index); }};
    r << Row{"popHkdSenDpp", Lead, "複製", [](frmEdit& e, Context& c) { return shown(e.lineHikidashi) == c.before.lead + 1; }};
    r << Row{"popHkdSenClr", Lead, "消去", [](frmEdit& e, Context& c) { return shown(e.lineHikidashi) == c.before.lead - 1; }};
    r << Row{"popHkdSenAllClr", Lead, "引き出し線の全消去", [](frmEdit& e, Context&) { return shown(e.lineHikidashi) == 0; }};
    r << Row{"popShapePpty", Shape, "プロパティ", [](frmEdit&, Context& c) { return sheetOn("shpShape", c.index); }};
    r << Row{"popShapDpp", Shape, "複製", [](frmEdit& e, Context& c) { return shown(e.shpShape) == c.before.shape + 1; }};
    r << Row{"popShapeClr", Shape, "消去", [](frmEdit& e, Context& c) { return shown(e.shpShape) == c.before.shape - 1; }};
    r << Row{"popShapeAllClr", Shape, "図形の全消去",
             [](frmEdit& e, Context& c) { return shown(e.shpShape) == 0 && shown(e.lineHikidashi) == c.before.lead; }};
    return r;
}

// An item's name as the table writes it.
QString nameOf(const Menu& m)
{
    return m.Index() >= 0 ? QString("%1(%2)").arg(m.Name()).arg(m.Index()) : m.Name();
}

Menu* root(Menu* m)
{
    while (m->parentMenu())
        m = m->parentMenu();
    return m;
}

// Every item the editor's menus and context menus offer (items hidden
// for good are none).
QList<Menu*> offered(frmEdit& e)
{
    QList<Menu*> all;
    for (Menu* m : e.menuBar()->findChildren<Menu*>()) {
        if (m->parentMenu() && m->Visible() && !m->isSeparator() && !m->hasItems())
            all << m;
    }
    return all;
}

Menu* find(frmEdit& e, const QString& name)
{
    for (Menu* m : offered(e)) {
        if (nameOf(*m) == name)
            return m;
    }
    return nullptr;
}

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT

    Session m_s;
    QTemporaryDir m_temp;

    // The user's drawing: a distance, a closed area (with its route and
    // side distances), two texts, two positions, two lead-out lines and
    // two shapes, each made with its tool.
    static void draw(frmEdit& e)
    {
        const auto click = [&](float x, float y) { mouse(e, Press, x, y), mouse(e, Release, x, y); };
        const auto drag = [&](float x1, float y1, float x2, float y2) {
            mouse(e, Press, x1, y1), mouse(e, Move, x2, y2), mouse(e, Release, x2, y2);
        };
        tool(e, 9);
        click(10, 10);
        mouse(e, Move, 50, 10, Qt::NoButton);
        click(50, 10);
        GE_booSnap = true;
        e.popMesRenzoku_Click();
        const QPointF corners[] = {{10, 40}, {40, 40}, {40, 60}, {10, 60}, {10, 40}};
        const QPointF beside[] = {{}, {}, {37, 55}, {15, 57}, {13, 45}};
        click(10, 40);
        for (int k = 1; k <= 4; ++k) {
            if (k > 1)
                click(float(beside[k].x()), float(beside[k].y()));
            mouse(e, Move, float(corners[k].x()), float(corners[k].y()), Qt::NoButton);
            click(float(corners[k].x()), float(corners[k].y()));
        }
        GE_booSnap = false;
        e.popMesLine_Click();
        tool(e, 12);
        click(60, 75), click(80, 75);
        tool(e, 13);
        click(60, 88), click(80, 88);
        tool(e, 10);
        drag(10, 75, 40, 75), drag(10, 85, 40, 85);
        tool(e, 11);
        drag(60, 15, 72, 27), drag(80, 15, 92, 27);
        tool(e, 9);
    }

    // The point the user right-clicks for the target, and the element there.
    static QPointF pointOf(frmEdit& e, Target on, int& index)
    {
        const auto label = [&](ElementArray<LabelElement>& a, int k) {
            index = k;
            return centre(a(k));
        };
        switch (on) {
        case Distance:
            return label(e.lblKyori, 0);
        case Area:
            return label(e.lblMensekiS, 0);
        case Route:
            return label(e.lblKeiroS, 0);
        case Text:
            return label(e.lblMoji, lastShown(e.lblMoji));
        case Position:
            return label(e.lblKeiIdoS, lastShown(e.lblKeiIdoS));
        case Lead:
            index = lastShown(e.lineHikidashi);
            return {25, 85};
        case Shape:
            index = lastShown(e.shpShape);
            return {86, 21};
        case Marker0:
            return {20, 100};
        case Marker1:
            return {45, 100};
        default:
            return {52, 68};
        }
    }

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init() { QVERIFY(m_s.begin()); }
    void cleanup()
    {
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        GE_booPickDistance = GE_booPickHosei = GE_booPickKeiIdo = false;
        m_s.end();
    }

    // The table names every item once for each of its targets, under its
    // menu, with the item's caption.
    void everyItemIsChosen()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        QStringList missing;
        const QList<Row> table = rows();
        for (Menu* m : offered(e)) {
            const auto it = std::find_if(table.begin(), table.end(), [m](const Row& r) { return r.item == nameOf(*m); });
            if (it == table.end())
                missing << nameOf(*m);
            else
                QCOMPARE(m->Caption(), it->caption);
        }
        QCOMPARE(missing, QStringList());
        for (const Row& r : table)
            QVERIFY2(find(e, r.item), qPrintable(r.item));
    }

    void chooseEachItem_data()
    {
        QTest::addColumn<int>("row");
        const QList<Row> table = rows();
        for (int k = 0; k < table.size(); ++k)
            QTest::newRow(qPrintable(table[k].item + " on " + kTargetNames[table[k].on])) << k;
    }

    void chooseEachItem()
    {
        QFETCH(int, row);
        const Row r = rows()[row];
        ModalScript modal;
        Context c{m_s.quiet->get(), modal, m_temp.filePath(QString("out%1").arg(row))};
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        draw(e);
        QVERIFY(shown(e.lblMensekiS) == 1 && shown(e.lblKeiroS) == 1 && shown(e.lblMoji) == 2 && shown(e.shpShape) == 2);
        Menu* item = find(e, r.item);
        QVERIFY(item);
        const QString menu = root(item)->Name();
        if (r.on == Lead || r.on == Shape) {
            tool(e, 8);  // the measuring tool would show its own menu first
        } else if (r.on == PickMap) {
            tool(e, 8);  // the options window opens from the selection tool
            GE_booPickDistance = true;
        } else if (r.on == Marker0 || r.on == Marker1) {
            (menu == QLatin1String("popHosei") ? GE_booPickHosei : GE_booPickKeiIdo) = true;
            GE_sngHosei = {20, 100, 45, 100};
            GE_tpPiccel = {typPointS{20, 100}, typPointS{45, 100}};
            mdlSub::subSet_CheckLine(20, 100, 45, 100);
            e.shpCheck(0).Visible = e.shpCheck(1).Visible = true;
        }
        if (r.before)
            r.before(e, c);
        c.before = counts(e);
        const QPointF at = pointOf(e, r.on, c.index);
        if (r.on == Bar) {
            for (Menu* m = item; m; m = m->parentMenu())
                QVERIFY(m->Enabled() && (m->Visible() || !m->parentMenu()));
            item->action()->trigger();
        } else if (r.on == Marker0 || r.on == Marker1) {
            mouse(e, Press, float(at.x()), float(at.y()));
            mouse(e, Move, 50, 98);
            mouse(e, Release, 50, 98);
        } else {
            PopupScript popups;
            popups.choose(*item);
            mouse(e, Press, float(at.x()), float(at.y()), Qt::RightButton);
            mouse(e, Release, float(at.x()), float(at.y()), Qt::RightButton);
            QCOMPARE(popups.shown, QStringList{menu});
            QCOMPARE(popups.unexpected.isEmpty(), !r.refused);
        }
        QVERIFY(modal.allUsed());
        QVERIFY(r.done(e, c));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
