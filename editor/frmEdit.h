#pragma once
// The drawing editor: one drawing at a time, its picture in a scrollable
// viewport at a zoom, the drawing objects as element arrays on the map, and
// the menus, toolbar and status bars that act on them.
//
// Coordinates: the viewport pictWindow measures in pixels; the map pictMap
// inside it and the hidden full-size holder pictOrg in millimetres. The
// elements show stored values times GE_sngZoom.

#include "objects/groupids.h"
#include "platform/commondialog.h"
#include "platform/controls.h"
#include "platform/elements.h"
#include "platform/form.h"
#include "platform/picturebox.h"

#include <QLineF>
#include <QRectF>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/vberror.h"

namespace ZoomLayout {
class Bases;
}

namespace mdlSQL {
struct Unread;
}
struct ObjectArrays;

class frmEdit : public platform::Form {
    Q_OBJECT

    // First, so that the controls below can be made on it.
    QWidget* m_client = new QWidget(this);

public:
    frmEdit();
    ~frmEdit() override;

    // --- the view --------------------------------------------------------------
    platform::PictureBox* pictWindow = new platform::PictureBox(QStringLiteral("pictWindow"), m_client);
    platform::PictureBox* pictMap = new platform::PictureBox(QStringLiteral("pictMap"), pictWindow);
    platform::PictureBox* pictOrg = new platform::PictureBox(QStringLiteral("pictOrg"), pictWindow);
    platform::VScrollBar* vscY = nullptr;
    platform::HScrollBar* hscX = nullptr;
    platform::Toolbar* Toolbar1 = nullptr;
    platform::StatusBar* stsBar = nullptr;  // 1 picture folder, 2 number, 3 name, 4 paper
    platform::StatusBar* stsTip = nullptr;  // 1-5 readouts, 6 tool, 7 snap, 8 zoom

    // --- style templates: new objects take their look ---------------------------
    platform::LineElement linDefault{pictMap};
    platform::ShapeElement shpDefault{pictMap};
    platform::LabelElement lblDefault{pictMap};

    // --- drawing objects; the highest element of most arrays is a hidden spare ---
    platform::ElementArray<platform::LineElement> lineDsSave{QStringLiteral("lineDsSave"), pictMap};
    platform::ElementArray<platform::LineElement> lineHojoSave{QStringLiteral("lineHojoSave"), pictMap};
    platform::ElementArray<platform::LineElement> linePS{QStringLiteral("linePS"), pictMap};
    platform::ElementArray<platform::LineElement> lineHikidashi{QStringLiteral("lineHikidashi"), pictMap};
    platform::ElementArray<platform::ShapeElement> shpShape{QStringLiteral("shpShape"), pictMap};
    platform::ElementArray<platform::ShapeElement> shpSnpo{QStringLiteral("shpSnpo"), pictMap};
    platform::ElementArray<platform::LabelElement> lblKyori{QStringLiteral("lblKyori"), pictMap};
    platform::ElementArray<platform::LabelElement> lblKeiroS{QStringLiteral("lblKeiroS"), pictMap};
    platform::ElementArray<platform::LabelElement> lblMensekiS{QStringLiteral("lblMensekiS"), pictMap};
    platform::ElementArray<platform::LabelElement> lblMoji{QStringLiteral("lblMoji"), pictMap};
    platform::ElementArray<platform::LabelElement> lblKeiIdoS{QStringLiteral("lblKeiIdoS"), pictMap};

    // --- live display, never stored: above the objects --------------------------
    platform::ElementArray<platform::LineElement> lineMenseki{QStringLiteral("lineMenseki"), pictMap};
    platform::ElementArray<platform::LineElement> lineHojo{QStringLiteral("lineHojo"), pictMap};  // 0..3
    platform::LineElement lineDistance{pictMap};
    platform::LineElement lineCheck{pictMap};
    platform::LineElement lineHintX{pictMap};
    platform::LineElement lineHintY{pictMap};
    platform::ElementArray<platform::ShapeElement> shpCheck{QStringLiteral("shpCheck"), pictMap};  // 0..1
    platform::ShapeElement shpCircle{pictMap};
    platform::ShapeElement shpZoom{pictMap};
    platform::ShapeElement shpSnap{pictMap};
    platform::ElementArray<platform::ShapeElement> shpPointer{QStringLiteral("shpPointer"), pictMap};  // 0..3
    platform::LabelElement lblDistance{pictMap};
    platform::LabelElement lblWidth{pictMap};
    platform::LabelElement lblHeight{pictMap};
    platform::LabelElement lblKeiIdo{pictMap};
    platform::LabelElement lblMenseki{pictMap};
    platform::LabelElement lblKeiro{pictMap};

    // --- printed pages over the map; page k is element k, element 0 stays hidden ---
    platform::ElementArray<platform::ShapeElement> shpPrintWaku{QStringLiteral("shpPrintWaku"), pictMap};
    platform::ElementArray<platform::LabelElement> lblPage{QStringLiteral("lblPage"), pictMap};
    platform::ElementArray<platform::ShapeElement> shpPrintWakuR{QStringLiteral("shpPrintWakuR"), pictMap};
    platform::ElementArray<platform::LabelElement> lblPageR{QStringLiteral("lblPageR"), pictMap};

    // --- menus -------------------------------------------------------------------
    using Menu = platform::Menu;
    using MenuArray = platform::ControlArray<platform::Menu>;
    Menu *mnuFile = nullptr, *mnuFileNewPrj = nullptr, *mnuFileSavePrj = nullptr, *mnuFileSaveAsPrj = nullptr;
    Menu *mnuFileSaveAsImg = nullptr, *mnuFileSaveCsv = nullptr, *mnuFileSaveCsvSen = nullptr;
    Menu *mnuFileSaveCsvKer = nullptr, *mnuFileSaveCsvMen = nullptr, *mnuFileSaveCsvIti = nullptr;
    Menu *mnuFilePrint = nullptr, *mnuSetPrinter = nullptr, *mnuSetPrinterD = nullptr, *mnuFileEnd = nullptr;
    Menu *mnuDisp = nullptr, *mnuMarker = nullptr, *mnuHint = nullptr, *mnuDispObj = nullptr;
    Menu *mnuDspDefault = nullptr, *mnuPropaty = nullptr, *mnuDispEandRP = nullptr, *mnuDispEnlarge = nullptr;
    Menu *mnuDispAll = nullptr, *mnuDispOrg = nullptr, *mnuPaperSize = nullptr;
    Menu *mnuEditSet = nullptr, *mnuSnapP = nullptr, *mnuToolOpt = nullptr, *mnuHelp = nullptr, *mnuHelpHlp = nullptr;
    MenuArray mnuDispEandR{QStringLiteral("mnuDispEandR")};  // 0..7: 200 % down to 25 %
    MenuArray mnuSnap{QStringLiteral("mnuSnap")};            // 0 off, 1 markers, 2 hints

    // Context menus, kept off the menu bar.
    Menu *popMes = nullptr, *popMesLine = nullptr, *popMesRenzoku = nullptr, *popMesCir = nullptr;
    Menu *popMesInput = nullptr, *popMesPutSen = nullptr, *popMesPutMen = nullptr, *popMesPutIti = nullptr;
    Menu *popHatchingP = nullptr, *popMesMenCal = nullptr, *popMesDisCal = nullptr, *popMesHjP = nullptr;
    Menu *popMesHj05 = nullptr, *popMesHj10 = nullptr, *popMesHj15 = nullptr, *popMesHj20 = nullptr;
    Menu *popMesHj25 = nullptr, *popMesHj30 = nullptr, *popMesObjDel = nullptr;
    MenuArray popHatching{QStringLiteral("popHatching")};  // 0..6
    Menu *popDis = nullptr, *popDisX = nullptr, *popDisY = nullptr;
    Menu *popHosei = nullptr, *popHoseiL = nullptr, *popHoseiR = nullptr;
    Menu *popTaiou = nullptr, *popTaiou1 = nullptr, *popTaiou2 = nullptr;
    Menu *popEdit = nullptr, *popPropaty = nullptr, *popEditRev = nullptr, *popEditUnitDistance = nullptr;
    Menu *popEditUnitSquea = nullptr, *popEditDesiPoint = nullptr, *popEditCSV = nullptr, *popEditDpp = nullptr;
    Menu* popEditDelP = nullptr;
    MenuArray popEditUnitD{QStringLiteral("popEditUnitD")};    // 0..13
    MenuArray popEditUnitS{QStringLiteral("popEditUnitS")};    // 0..13
    MenuArray popEditDPoint{QStringLiteral("popEditDPoint")};  // 0..8, 7 and 8 never enabled
    MenuArray popEditDel{QStringLiteral("popEditDel")};        // 0 all, 1 side distances
    Menu *popMoji = nullptr, *popMojiPpty = nullptr, *popMojiDpp = nullptr, *popHedda = nullptr;
    Menu *popRenInit = nullptr, *popFutta = nullptr, *popMojiClr = nullptr, *popMojiAllClr = nullptr;
    Menu *popHikidashi = nullptr, *popHkdSenPpty = nullptr, *popHkdSenDpp = nullptr, *popHkdSenClr = nullptr;
    Menu* popHkdSenAllClr = nullptr;
    Menu *popShape = nullptr, *popShapePpty = nullptr, *popShapDpp = nullptr, *popShapeClr = nullptr;
    Menu* popShapeAllClr = nullptr;

    // --- form-level state ------------------------------------------------------------
    bool booDrawChange = false;  // objects changed since the last save
    bool booPrtChange = false;   // printer settings changed since the last save
    bool booPrtDue = false;      // the current printer's settings, for a drawing without its own, still to be read
    qint16 intHatchCnt = 0;      // hatch segments last generated
    float sngZoomPrev = 1.0f;    // the zoom the objects are laid out at
    // The one-line input dialog's answer.
    QString strDlgText;
    QString strDlgNum;  // the answer when numeric, else ""
    bool booDlgCancel = false;
    // Measuring.
    qint16 intHatchStyle = 0;  // hatching of the next kept area, 0..6
    double dblPresetDis = 0;   // the preset distance
    bool booRenzoku = false;   // a polyline has its first vertex
    // Selection and the context menu's target: "" and -1 for none.
    QString strSelObjName;
    qint16 intSelIndex = -1;
    QString strPopObjName;
    qint16 intPopIndex = -1;
    // What the map's mouse-down grabbed: -1 for nothing.
    qint16 intHitDsSave = -1, intHitPS = -1, intHitHikidashi = -1, intHitShape = -1, intHitMoji = -1;
    qint16 intHitKyori = -1, intHitMenseki = -1, intHitKeiro = -1, intHitCheck = -1, intHojoKyori = -1;
    // Numbering of new text and position labels: header, number, footer.
    QString strMojiHead, strMojiFoot;
    qint16 intMojiNo = 0;
    QString strKeiIdoHead, strKeiIdoFoot;
    qint16 intKeiIdoNo = 0;

    // --- the input dialog hands its answer over through these --------------------------
    void propLetDlgNum(const QString& value);
    void propLetDlgText(const QString& value);
    void propLetDlgCancel(bool value);

    // --- picture, zoom and scrolling --------------------------------------------------
    void subPictDraw(const QString& path);
    // The picture decoded, or null after a box that says why. A file cut
    // short is refused with `refuseCutShort`, else taken with a warning.
    platform::SharedImage fncLoad_Picture(const QString& path, bool refuseCutShort);
    void subShow_Picture(const platform::SharedImage& picture);
    void subFind_Picture(const QString& path, bool& found);
    void subPictOrg_CopyAdj(float zoom);
    void subPictOrg_Copy(float zoom);
    void sZoom(float zoom);
    void sZoom_NoAdj(float zoom);
    void subSet_Scroll();
    void subReset_ViewMode();
    void subFollow_Pointer();
    bool booFollowPending = false;  // a move where the pointer rests is on its way
    void Form_Resize() override;

    // --- helpers on arrays --------------------------------------------------------------
    void sub_mnuCheck_False(MenuArray& items);
    template <class T>
    void subVisible_Array(platform::ElementArray<T>& elements, bool visible)
    {
        for (int k = 0; k <= elements.UBound(); ++k) {
            if (elements.exists(k))
                elements(k).Visible = visible;
        }
    }

    // --- interaction: hit tests, Shift, grips and drags ------------------------------
    // Grip codes of what the map's press took: a line's body (0, 3) or end
    // (1, 2); a shape's or label's inside (0), corner (1-4) or side (5-8).
    qint16 intGripLine = -1, intGripRect = -1, intGripLabel = -1;
    bool booDrag = false;  // the drag's Shift axis is decided; cleared by every mouse-up
    // Each drag routine's remembered lock, kept from one drag to the next.
    qint16 intLockLine = 0;  // 0 none, 1 vertical only, 2 horizontal only
    qint16 intLockRect = 0;  // as intLockLine
    qint16 intLockAxis = 0;  // labels: 0 none, 1 horizontal, 2 vertical
    // Index of the first visible element under the map point (x, y), -1 for
    // none; `grip` gets the part taken (-1 for none).
    int fncHit_LineEnd(platform::ElementArray<platform::LineElement>& lines, float x, float y, qint16& grip);
    int fncHit_Rect(platform::ElementArray<platform::ShapeElement>& shapes, float x, float y, qint16& grip);
    int fncHit_ShapeGrip(platform::ElementArray<platform::ShapeElement>& shapes, float x, float y, qint16& grip);
    int fncHit_LabelGrip(platform::ElementArray<platform::LabelElement>& labels, float x, float y, qint16& grip);
    // Shift read from the keyboard at the call; flags other than 0 do nothing.
    // subShift_LabelDown takes the press relative to the label, in map units.
    void subShift_Point(float x0, float y0, float x, float y, float& outX, float& outY);
    void subShift_Square(platform::ShapeElement& shape, qint16 flag, float x, float y);
    void subShift_LabelDown(platform::LabelElement& label, qint16 flag, float x, float y);
    // The grip squares (shpPointer): filled (0) while held, hollow (1) after.
    void subFill_Shape(platform::ElementArray<platform::ShapeElement>& grips, qint16 fillStyle);
    void subGrip_Line(qint16 code, platform::LineElement& line, platform::ElementArray<platform::ShapeElement>& grips);
    void subGrip_Shape(platform::ShapeElement& shape, platform::ElementArray<platform::ShapeElement>& grips);
    void subGrip_Label(platform::LabelElement& label, platform::ElementArray<platform::ShapeElement>& grips);
    // Shown grips put back round the selection after it changed size or
    // place (a zoom, a new font); hidden where there is none to follow.
    void subGrip_Follow();
    void subGrip_Rect(qint16 code, platform::ElementArray<platform::ShapeElement>& shapes, int index,
                      platform::ElementArray<platform::ShapeElement>& grips);
    void subGrip_Rect(qint16 code, platform::ElementArray<platform::LabelElement>& labels, int index,
                      platform::ElementArray<platform::ShapeElement>& grips);
    // One drag step from (prevX, prevY) to (x, y); the pointer may come back
    // Shift-constrained. `drag` is booDrag.
    void subDrag_Line(qint16 code, platform::LineElement& line, platform::ElementArray<platform::ShapeElement>& grips,
                      float& prevX, float& prevY, float& x, float& y, bool& drag);
    void subDrag_Rect(qint16 code, platform::ElementArray<platform::ShapeElement>& shapes, int index,
                      platform::ElementArray<platform::ShapeElement>& grips, float& prevX, float& prevY, float& x,
                      float& y, bool& drag);
    void subDrag_Rect(qint16 code, platform::ElementArray<platform::LabelElement>& labels, int index,
                      platform::ElementArray<platform::ShapeElement>& grips, float& prevX, float& prevY, float& x,
                      float& y, bool& drag);
    qint16 fncShift_Axis(float dx, float dy, bool& drag);
    // End marks of a segment into lines idx and idx + 1; the distance object i
    // of side k re-laid on its side (a missing element raises 340 first).
    void subEndMark_Line(platform::ElementArray<platform::LineElement>& lines, float x1, float y1, float x2, float y2,
                         float length, int idx);
    void subEndMark_Kyori(int k, int i);

    // --- readouts, area and route results ----------------------------------------------
    // Which length method the readouts use; the measuring code copies them
    // from GE_booModeDis and GE_booModeKei. With both set the second wins.
    bool booCalcDis = false;
    bool booCalcKei = false;
    // The last position fncPix_KeiIdoText converted, for the position labels.
    QString strKeiIdoDMS;  // longitude and latitude as degrees-minutes-seconds, joined by ","
    QString strKeiIdoSec;  // both in seconds of arc, joined by ","
    // Points are at zoom 1.0 unless they are named screen points.
    QString fncPix_KeiIdoText(float x, float y);
    // The readouts of the point (x, y) at zoom 1.0 in status panels 1 to 3,
    // and the position texts above: in known-distance mode "X:…,Y:…" and
    // the two numbers, in longitude/latitude mode through fncPix_KeiIdoText.
    void subDisp_Position(float x, float y);
    void subClear_Position();
    QString strPositionShown;  // the longitude/latitude text last put in panel 1
    void fncPix_KeiIdo(float x, float y, QString& longitude, QString& latitude);
    void fncPix_MM(float x, float y, double& outX, double& outY);
    // Lengths with the angle (or bearing) into status panel 4.
    double fncLen_Dis(float x1, float y1, float x2, float y2);
    double fncLen_KeiIdo(float x1, float y1, float x2, float y2);
    // The floating length label, its caption also into status panel 5. With
    // `ownUnit` a kept distance laid out again keeps the unit and decimals of
    // its label's tag; otherwise the label takes the drawing's.
    void subDisp_LineDistance(platform::LineElement& line, platform::LabelElement& label, bool ownUnit = false);
    void subDisp_DistanceAt(float x1, float y1, float x2, float y2, double length);  // screen points
    void subDisp_DistanceLine();
    void fncObj_Bounds(const platform::Element& element);  // a label or shape
    void subHojo_Visible(bool visible);
    void subCircle_Hide();
    // The label commands: a result label in another unit or with other decimals.
    void subChg_UnitDistance(platform::LabelElement& label, qint16 unit);
    void subChg_UnitArea(platform::LabelElement& label, qint16 unit);
    void subChg_DecimalPoint(platform::LabelElement& label, qint16 decimals, bool area);
    // Area and route of the polygon buffer lineMenseki; the recomputations
    // ignore `side`, do nothing for a negative label index and keep the
    // stored label's own unit and decimals.
    void subPut_AreaResult();
    void subReCalc_AreaResult(qint16 side, qint16 index);
    void subPut_RouteResult(bool closed);
    void subReCalc_RouteResult(qint16 side, qint16 index);
    void subCnv_PSToMenseki(qint16 side, bool visible);
    qint16 fncFind_MensekiVertex(float x, float y);  // screen point; -1 for none
    void subReset_ResultLabel(platform::LabelElement& distance, platform::LabelElement& width,
                              platform::LabelElement& height, platform::LineElement& line, float x, float y);
    void fncHit_LineBox(platform::ElementArray<platform::LineElement>& lines, float x, float y, qint16& kind,
                        qint16& index);
    void subAllClr_LineMenseki();

    // --- calibration picks and the map's mode text (measure/) ---------------------------
    // Which point or pair the next pick on the map sets: each pair checks
    // the item chosen and unchecks its partner.
    void popHoseiL_Click();
    void popHoseiR_Click();
    void popTaiou1_Click();
    void popTaiou2_Click();
    void popDisX_Click();  // also lays the pair's check line and enables its boxes
    void popDisY_Click();
    // Picked points into the options window's boxes (nothing is stored).
    void subOpt_HoseiPoint();
    void subOpt_HoseiAngle();
    void subOpt_KnownDistance(float length, const platform::LineElement& line);
    void subOpt_TaiouPoint();
    // Enables the six known-distance boxes of the checked direction only.
    void subOpt_DisXYEnable();
    // What the map's clicks pick, shown in the map's visible corner; "" for none.
    platform::Label* lblModeText = nullptr;
    void subSet_ModeText(const QString& text);
    QString fncModeText() const;

    // --- objects: saving, loading, clearing, file commands -----------------------------
    // Saving, at zoom 1.0: each saver deletes the drawing's rows of its table
    // and writes the visible elements again, array by array, numbered 0, 1,
    // 2 ... per array (hidden elements get no row); the hatching saver writes
    // one row per visible area label in the same order. False at the first
    // statement that fails (it has shown its own message).
    bool subSave_Label(qint32 printId);
    bool subSave_Line(qint32 printId);
    bool subSave_Shape(qint32 printId);
    bool subSave_Hatching(qint32 printId);
    // The drawing record, its objects and its printer settings, all or
    // nothing; GE_tpPrint.Print_Id becomes the stored id. False after a
    // failure, the stored copy then as it was before.
    bool fncSave_Drawing();
    // Loading into a freshly opened window at zoom 1.0: each array's rows go
    // into elements 0 to n-1 in stored order, followed by the hidden spare.
    void subLoad_Label(qint32 printId);
    void subLoad_Line(qint32 printId);
    void subLoad_Shape(qint32 printId);
    // The hatching records (one per area label, plus the spare), then every
    // hatched area's segments generated again into its cache file.
    void subLoad_Hatching(qint32 printId);
    void subLoad_HatchingRecords(qint32 printId);
    void subReMake_HatchBins();
    // Rows a load could not bring in, one line per table ("tLine : 2 行");
    // while it holds any, the drawing is not overwritten, so that no save
    // deletes stored rows the editor does not hold.
    QStringList strUnreadRows;
    void subNote_Unread(const QString& table, const mdlSQL::Unread& unread);
    // Clearing whole kinds of objects: element 0 stays, hidden.
    void subAllClr_MesObj();
    void subAllClr_Hikidashi();
    void subAllClr_Shape();
    void subAllClr_Moji();
    void subAllClr_KeiIdo();
    // The File menu.
    void mnuFileNewPrj_Click();
    void mnuFileSavePrj_Click();
    // The save command's question and save: Declined when the user answered
    // No, Refused when the drawing could not be stored (the user was told).
    enum class SaveOutcome { Saved, Declined, Refused };
    SaveOutcome fncSave_Asked();
    void mnuFileSaveAsPrj_Click();
    void mnuFileEnd_Click();

    // --- distance objects, re-layout at a zoom, printed pages (editor) ------------------
    // The two extension lines of the distance object whose extension line
    // was grabbed (lineHojoSave indices, the grabbed one second).
    qint16 intHojoIndex1 = 0;
    qint16 intHojoIndex2 = 0;
    float sngZoomPaper = 0;  // the zoom the 100 % pages were last scaled at
    // A finished measurement kept as a distance object from lineHojo and
    // lblDistance; the re-lay of object `index` after its extension lines
    // moved (into lineHojo 0 and 1). An array that can't take the object
    // raises the overflow error before anything changes.
    void subPut_DistanceObject();
    void subLayout_Kyori(qint16 index);
    // One side of an area as a distance object tagged `tag`; the latest
    // object's end laid onto the exact closing side. Screen coordinates.
    void subDraw_AreaDimension(float x1, float y1, float x2, float y2, const QString& tag);
    void subDraw_LineDimension(float x1, float y1, float x2, float y2);
    // Every drawing object shown at GE_sngZoom, from its values at zoom 1.0.
    void subDisp_Object();
    // The page grids from the map's size and the printable area, and their display.
    void subSetup_Page();
    void subSetup_PageR();
    void subDisp_Paper(float zoom, bool show);
    void subDisp_PaperName();  // the drawing's paper in the status bar
    void subDisp_PaperR(bool show);

    // --- objects: repairs of imported data, deleting -------------------------------------
    // The arrays that hold the drawing's objects, for the procedures on them.
    ObjectArrays objectArrays();
    // The repairs of a drawing brought in from the previous version's data,
    // all six in order (the import day from the clock), right after its
    // objects are read.
    void subRepair_Imported();
    // Deleting one object; the arrays stay dense and keep their spares.
    // Area and route: mode 0 all of it, mode 1 only its side distances.
    void subDel_LinePS(int i);
    void subDel_Kyori(int i);
    void subDel_Menseki(int i, int mode);
    void subDel_Keiro(int i, int mode);
    void subDel_Moji(int i);
    void subDel_KeiIdo(int i);
    void subDel_Shape(int i);
    void subDel_Hikidashi(int i);
    // After a delete or clear: nothing selected, no grips, an open sheet without target.
    void subClear_Selection();

    // --- objects: duplicating, moving, flipping ------------------------------------------
    // A new key for an object or measurement: the clock's "yymmddhhnnss",
    // moved on by whole seconds past the keys handed out before and those an
    // element or hatching record of the drawing carries, so that no two
    // copies share one.
    QString fncNew_GroupId();
    GroupIds groupIds;
    // One visible copy 5 shown units right of and below element i, keyed
    // `key`: into the array's spare followed by a new one (`spare` True), or
    // appended (labels, `spare` False).
    void subDpp_Line(platform::ElementArray<platform::LineElement>& lines, int i, bool spare, const QString& key);
    void subDpp_Shape(platform::ElementArray<platform::ShapeElement>& shapes, int i, bool spare, const QString& key);
    void subDpp_Label(platform::ElementArray<platform::LabelElement>& labels, int i, bool spare,
                      const QString& key);
    // A whole area or route with its sides, side distances and hatching.
    void subDpp_Measure(platform::ElementArray<platform::LabelElement>& labels, int i);
    // Distance i's dimension to the other side of its measured points.
    void subRev_Kyori(int i);
    // Everything keyed like the area or route label, by (-dx, -dy) shown
    // units; a hatched area's hatching made anew.
    void subMove_MensekiKeiro(platform::LabelElement& label, int index, float dx, float dy);
    void subMove_LineMenseki(float dx, float dy);

    // --- objects: context menus, the property sheet, the input dialog ----------------------
    void popMojiPpty_Click();
    void popHkdSenPpty_Click();
    void popShapePpty_Click();
    void popPropaty_Click();
    void popMojiDpp_Click();
    void popHkdSenDpp_Click();
    void popShapDpp_Click();
    void popEditDpp_Click();
    void popMojiClr_Click();
    void popHkdSenClr_Click();
    void popShapeClr_Click();
    void popMojiAllClr_Click();
    void popHkdSenAllClr_Click();
    void popShapeAllClr_Click();
    void popEditDel_Click(int index);
    void popEditRev_Click();
    void popEditUnitD_Click(int index);
    void popEditUnitS_Click(int index);
    void popEditDPoint_Click(int index);
    void popHedda_Click();
    void popRenInit_Click();
    void popFutta_Click();
    void popEditCSV_Click();
    void subEdit_UnitD(int unit);
    void subEdit_UnitS(int unit);
    void subEdit_DPoint(float places);
    // Hands the selection to the property sheet and shows it.
    void mnuPropaty_Click();
    // Shows the input dialog with these texts; the answer is in strDlgText,
    // strDlgNum and booDlgCancel afterwards.
    void subAsk_Input(const QString& answer, const QString& caption, const QString& prompt, const QString& unit);

    // --- interaction: label texts, page toggle ----------------------------------------------
    void lblKyori_DblClick(int index);
    void lblMensekiS_DblClick(int index);
    void lblKeiroS_DblClick(int index);
    void lblMoji_DblClick(int index);
    void lblKeiIdoS_DblClick(int index);
    // Page `index` of the tiled print left out (its frame filled blue) or taken in again.
    void lblPageR_Click(int index);


    // --- library: a drawing of the previous version's data ------------------------------
    // Why the load could not bring the data set in; the load then stops
    // there and its opener unloads the window.
    std::optional<vb::Error> errImport;

    // --- hatching display and chains of sides ----------------------------------------------
    // Regenerates area i's hatching from its sides (the linePS elements with
    // its key) and rewrites its cache file, without drawing; the record's
    // iUbound follows what was written, and nothing generated leaves no file.
    // Answers the number of segments, or -1 when the area is not hatched or
    // has no sides (its record and file then stay as they were).
    qsizetype fncMake_HatchBin(int index);
    // Regenerates area i, then repaints the map and draws every area's hatching.
    void subReDraw_Hathing(int index);
    // Draws area i's hatching from its cache file, without repainting.
    void subDisp_TempH(int index);
    // Repaints the map from the picture, then draws every hatched area.
    void subAllDisp_TempH();
    // Draws every hatched area without repainting (the map was just repainted).
    void subAllDisp_TempH_Clr();
    // Chains of sides and lookups by key: an index, or -1.
    int fncFind_PrevLine(const platform::ElementArray<platform::LineElement>& lines, int i) const;
    int fncFind_NextLine(const platform::ElementArray<platform::LineElement>& lines, int i) const;
    int fncFind_LinkLine(const platform::ElementArray<platform::LineElement>& lines,
                         const platform::LineElement& line, int first) const;
    int fncFind_LinkLine2(const platform::ElementArray<platform::LineElement>& lines,
                          const platform::LineElement& line) const;
    int fncFind_LinePS(const QString& key) const;
    int fncFind_MensekiS(const QString& key) const;
    int fncFind_KeiroS(const QString& key) const;

    // --- interaction: measuring and editing on the map ----------------------------------
    // The extension lines of a line in progress, elements 0..3 of `lines`:
    // 0 and 2 start at the first point (subHojo_Start), 1 and 3 at the
    // second; 0 and 1 point to one side, 2 and 3 to the other. Only the
    // coordinates change; `length` is in map units as shown.
    void subHojo_Start(platform::ElementArray<platform::LineElement>& lines, float x, float y);
    void subHojo_Layout(platform::ElementArray<platform::LineElement>& lines, float x1, float y1, float x2, float y2,
                        float length);
    // The map's mouse handlers and what they hand one another. A measurement
    // under way with the button down, in the mode copied at its press; moved
    // since; finished by the last mouse-up (known distance D, longitude and
    // latitude K).
    bool booMesDownD = false, booMesDownK = false;
    bool booMesMoveD = false, booMesMoveK = false;
    bool booMesEndD = false, booMesEndK = false;
    float sngDownX = 0, sngDownY = 0;  // the snapped press point, advanced by each drag step
    // A grabbed side of a route or area: the sides after and before it in
    // its chain, the first extension line of its side distance and that
    // index / 2 minus the side's index; then the distance objects of the
    // side, the next and the previous side (-1 for none).
    qint16 intNextPS = -1, intPrevPS = -1, intPSHojo = -1, intPSKyoriOfs = 0;
    qint16 intPSKyori = -1, intNextPSKyori = -1, intPrevPSKyori = -1;
    QLineF lineGrabbed;  // the grabbed lead-out, dimension line or side where the press found it
    QRectF rectGrabbed;  // the grabbed shape or label where the press found it
    void pictMap_MouseDown(int button, int shift, float x, float y);
    void pictMap_MouseMove(int button, int shift, float x, float y);
    void pictMap_MouseUp(int button, int shift, float x, float y);
    // The hit cascade at the press (x, y), snapped (sx, sy): true when an
    // object was grabbed; a grabbed side of a route or area, an extension line.
    bool subHit_Cascade(float x, float y, float sx, float sy);
    void subGrab_Side(int j, float sx, float sy);
    void subGrab_Hojo(int j);
    // The current tool started at the press (x, y) and its snapped point (sx, sy).
    void subStart_Tool(float x, float y, float sx, float sy);
    void subStart_Polyline(float x, float y, float sx, float sy);
    // One left-button drag step; `d` gets the check line's length.
    void subDrag_Map(float& sx, float& sy, float x, float y, double& d);
    double subDrag_Check(float& sx, float& sy);  // the check line's length at 100 %
    // A calibration point dragged off the part of the map in view is kept at
    // its edge, where its marker can still be seen and grabbed.
    void subKeep_OnVisibleMap(float& x, float& y) const;
    // The rubber band of the measuring mode checked: false when none is.
    bool subRubber_Band(float& sx, float& sy, float& ux, float& uy, bool keiIdo);
    // Distance objects following a moved dimension line or side.
    void subSet_SnpoMark(platform::ElementArray<platform::LineElement>& lines, int i);
    void subMove_KyoriMark(int i);
    // Once a side's move is over: its area's hatching regenerated (and the
    // map redisplayed), the area or route result recomputed.
    void subMove_MensekiHatch();
    // The mouse-up's steps: an edit or tool finished (true when it was), a
    // calibration marker released (true when a pick took it), a measured
    // segment ended, a polyline closed; the tidying that always follows.
    bool subMouseUp_Edit(float sx, float sy);
    bool subMouseUp_Check(float x, float y);
    void subMouseUp_Steps(int button, float x, float y);
    void subMouseUp_Segment(float sx, float sy);
    void subMouseUp_Close(float x, float y);
    // The distance with `key` kept on a polyline's side (its extension lines
    // start at the side's ends), or -1.
    int fncFind_SideDistance(const platform::LineElement& side, const QString& key) const;
    void subMouseUp_End();
    // The measuring menu.
    void popMesLine_Click();
    void popMesRenzoku_Click();
    void popMesCir_Click();
    void popMesInput_Click();
    void popMesPutSen_Click();
    void popMesPutMen_Click();
    void popHatching_Click(int index);
    void popMesHj05_Click();
    void popMesHj10_Click();
    void popMesHj15_Click();
    void popMesHj20_Click();
    void popMesHj25_Click();
    void popMesHj30_Click();
    void subSet_HojoLen(platform::Menu* item, float length);  // what the six length items share
    void popMesObjDel_Click();
    void popMesMenCal_Click();
    void popMesDisCal_Click();
    void subChkClr_PopMes();
    void subChkClr_PopMesHj();
    void subAllClr_MesData();
    void connectMeasuring();

    // --- interaction: snapping and live readouts ---------------------------------------
    // The pointer (x, y) pulled onto the marker or hint the searches find
    // (the aids shpSnap, lineHintX, lineHintY show them); unchanged with
    // Esc held or neither snap item. `index` is the edited element's, which
    // is no target when its array is strSelObjName. The routines under it
    // share the working pair (sx, sy).
    void subSnap_Point(float& outX, float& outY, float x, float y, bool hint, bool marker, bool snapMarker,
                       bool snapHint, qint16 index);
    void subSnapH_Line(platform::ElementArray<platform::LineElement>& lines, platform::LineElement& hintX,
                       platform::LineElement& hintY, float x, float y, float& sx, float& sy, qint16 index);
    void subSnapH_Shape(platform::ElementArray<platform::ShapeElement>& shapes, platform::LineElement& hintX,
                        platform::LineElement& hintY, float x, float y, float& sx, float& sy, qint16 index);
    void subSnapH_Moji(platform::ElementArray<platform::LabelElement>& labels, platform::LineElement& hintX,
                       platform::LineElement& hintY, float x, float y, float& sx, float& sy, qint16 index);
    bool fncSnapH_LineY(platform::LineElement& line, platform::LineElement& hintX, float x, float y, float& sx,
                        float& sy);
    bool fncSnapH_LineX(platform::LineElement& line, platform::LineElement& hintY, float x, float y, float& sx,
                        float& sy);
    bool fncSnapH_ShapeY(platform::ShapeElement& shape, platform::LineElement& hintX, float x, float y, float& sx,
                         float& sy);
    bool fncSnapH_ShapeX(platform::ShapeElement& shape, platform::LineElement& hintY, float x, float y, float& sx,
                         float& sy);
    bool fncSnapH_MojiY(platform::LabelElement& label, platform::LineElement& hintX, float x, float y, float& sx,
                        float& sy);
    bool fncSnapH_MojiX(platform::LabelElement& label, platform::LineElement& hintY, float x, float y, float& sx,
                        float& sy);
    void subSnapM_Line(platform::ElementArray<platform::LineElement>& lines, platform::ShapeElement& marker, float x,
                       float y, float& sx, float& sy, qint16 index);
    void subSnapM_Shape(platform::ElementArray<platform::ShapeElement>& shapes, platform::ShapeElement& marker,
                        float x, float y, float& sx, float& sy, qint16 index);
    void subSnapM_Moji(platform::ElementArray<platform::LabelElement>& labels, platform::ShapeElement& marker, float x,
                       float y, float& sx, float& sy, qint16 index);
    bool fncSnapM_LineChk(platform::LineElement& line, platform::ShapeElement& marker, float x, float y, float& sx,
                          float& sy);
    bool fncSnapM_ShapeChk(platform::ShapeElement& shape, platform::ShapeElement& marker, float x, float y, float& sx,
                           float& sy);
    bool fncSnapM_MojiChk(platform::LabelElement& label, platform::ShapeElement& marker, float x, float y, float& sx,
                          float& sy);
    // The elements of the array last walked for hints that have a y in
    // reach (`pSnapNearOf`, null when none): the only ones a marker can take.
    std::vector<int> intSnapNear;
    const void* pSnapNearOf = nullptr;
    // Live readouts by the calibration mode: a segment's length centred on
    // it (SegTip numbered "(n) " and into status panel 5); a shape's width
    // and height beside it; SizeOn shows all of them with the diagonal.
    void subDisp_SegLabel(platform::LineElement& segment, platform::LabelElement& label);
    void subDisp_SegTip(platform::LineElement& segment, int number, platform::LabelElement& label);
    void subDisp_ShapeSize(platform::ShapeElement& shape, platform::LabelElement& width,
                           platform::LabelElement& height);
    void subDisp_SizeOn(platform::LabelElement& length, platform::LabelElement& width, platform::LabelElement& height,
                        platform::LineElement& diagonal, platform::ShapeElement& shape, int number);

    // --- interaction: labels under the mouse, objects under the arrow keys ---------------
    // A label drag: the press inside the label (map units); an area's or
    // route's label where it was pressed and where the last step left it.
    float sngDragX = 0, sngDragY = 0;
    float sngOrgLeft = 0, sngOrgTop = 0;
    float sngPrevLeft = 0, sngPrevTop = 0;
    // An arrow-key nudge under way: since when (seconds of the clock), and
    // where the nudged area's or route label stood at its first key.
    bool booKeyMove = false;
    qint64 lngKeyStart = 0;
    float sngKeyLeft = 0, sngKeyTop = 0;
    void lblKyori_MouseDown(int index, int button, int shift, float x, float y);
    void lblMensekiS_MouseDown(int index, int button, int shift, float x, float y);
    void lblKeiroS_MouseDown(int index, int button, int shift, float x, float y);
    void lblMoji_MouseDown(int index, int button, int shift, float x, float y);
    void lblKeiIdoS_MouseDown(int index, int button, int shift, float x, float y);
    void lblKyori_MouseMove(int index, int button, int shift, float x, float y);
    void lblMensekiS_MouseMove(int index, int button, int shift, float x, float y);
    void lblKeiroS_MouseMove(int index, int button, int shift, float x, float y);
    void lblMoji_MouseMove(int index, int button, int shift, float x, float y);
    void lblKeiIdoS_MouseMove(int index, int button, int shift, float x, float y);
    void lblKyori_MouseUp(int index, int button, int shift, float x, float y);
    void lblMensekiS_MouseUp(int index, int button, int shift, float x, float y);
    void lblKeiroS_MouseUp(int index, int button, int shift, float x, float y);
    void lblMoji_MouseUp(int index, int button, int shift, float x, float y);
    void lblKeiIdoS_MouseUp(int index, int button, int shift, float x, float y);
    void lblDefault_MouseDown(int button, int shift, float x, float y);
    // The window's keys, seen before its controls; a nudge is committed
    // when its key is released or the window loses activation.
    void Form_KeyDown(int& keyCode, int shift);
    void Form_KeyUp(int& keyCode, int shift);
    void subKeyDown_Move(qint16 keyCode, qint16 shift);
    void subKeyUp_Move(qint16 keyCode, qint16 shift);
    void subKeyUp_Check();
    void connectLabelMouse();
    void connectKeys();

    // --- output: the picture burnt with its objects, bitmap and CSV exports -----------------
    // One shape or a label's sunken frame onto a picture, pen and fill set by the caller.
    void subWright_ShapeBox(platform::PictureBox& picture, const platform::ShapeElement& shape, float x1, float y1,
                            float x2, float y2);
    void subWright_ShapeCircle(platform::PictureBox& picture, const platform::ShapeElement& shape, float cx,
                               float cy, float r, float aspect);
    void subWright_LabelFrame(platform::PictureBox& picture, float x1, float y1, float x2, float y2);
    // Burns every object into the picture: lines, end marks, shapes, hatching,
    // then labels. During an export only the elements visible as it began
    // are painted (exportVisible); otherwise the visible ones.
    void subWrightImage(platform::PictureBox& picture);
    std::shared_ptr<const QSet<const platform::Element*>> exportVisible;
    // The map with its objects burnt in, saved as a BMP; the objects' visibility
    // comes back as it was on every path.
    void subSave_Bitmap(const QString& path);
    void subDisp_ObjVisible(bool visible);
    // The CSV lists of the drawing's results and the detail of one area or
    // route; each file appears whole or not at all.
    void subCsvOut_Kyori(const QString& path);
    void subCsvOut_Keiro(const QString& path);
    void subCsvOut_Menseki(const QString& path);
    void subCsvOut_KeiIdo(const QString& path, const QString& header);
    void subCsvOut_MensekiDetail(const QString& path, int index);
    void subCsvOut_KeiroDetail(const QString& path, int index);
    float fncGet_PointDistance(float x1, float y1, float x2, float y2) const;
    // The export commands; the save dialog keeps the name chosen last.
    platform::CommonDialog dlgFile;
    QString fncDlgFile(const QString& title, const QString& defaultExt, const QString& filter);
    void mnuFileSaveAsImg_Click();
    void mnuFileSaveCsvSen_Click();
    void mnuFileSaveCsvKer_Click();
    void mnuFileSaveCsvMen_Click();
    void mnuFileSaveCsvIti_Click();

    // --- output: printing and the printer's settings ----------------------------------------
    void mnuFilePrint_Click();
    void mnuSetPrinter_Click();
    void mnuSetPrinterD_Click();
    // The page frames again after the paper changed, laid out at 100 %,
    // with the pages left out kept where they lie; false when a mark had
    // to be cleared (the user has been told).
    bool subReSetup_Page();
    // The current printer's settings for a drawing without its own, read
    // when a command first needs them; the page frames follow them.
    void subGet_PrinterDue();
    // The drawing's printer read for a print: its settings put on the
    // printer, and the printable area the queue now gives them taken in
    // (its margins may have changed since they were stored); the page
    // frames follow it.
    void subGet_PrinterArea();

    // --- event handlers -------------------------------------------------------------------
    void Toolbar1_ButtonClick(platform::ToolbarButton& button);
    void mnuDispEandR_Click(int index);
    void mnuSnap_Click(int index);
    void mnuMarker_Click();
    void mnuHint_Click();
    void mnuDspDefault_Click();
    void mnuToolOpt_Click();
    void mnuPaperSize_Click();
    void mnuHelpHlp_Click();
    void vscY_Change();
    void hscX_Change();

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    // Construction, by part of the window.
    void buildView();
    void buildToolbar();
    void buildStatusBars();
    void buildElements();
    void buildMenus();
    void buildFileMenu();
    void buildViewMenu();
    void buildPopups();
    void buildMeasuringPopup();
    void buildEditPopup();
    void buildCalibration();
    void connectObjectCommands();
    void connectLabelTexts();
    void connectPageToggle();

    // The folder chooser, then the thumbnails: true when a picture was chosen.
    bool fncPick_Picture(const QString& caption);

    // The load's cases.
    bool loadStored();
    bool loadImported();

    // The printed pages' frames and numbers, made with the window.
    void buildPaperFrames();

    // A dimension's common start: the measuring line and lineHojo laid for
    // the side; then its length into lblDistance by the flags given.
    void layDimensionSide(float x1, float y1, float x2, float y2);
    void readDimensionLength(float x1, float y1, float x2, float y2, bool byDistance, bool byKeiIdo);
    // The objects' values at zoom 1.0, made at the first re-layout.
    std::shared_ptr<ZoomLayout::Bases> zoomBases;

    // Defaults and start state of every load.
    void subInit_Settings();
    void subInit_Menu();
    void subInit_Toolbar();
    void subInit_Window();
    void subInit_StatusBar();

    void copyPicture(float zoom, bool adjusted);
    void zoomTo(float zoom, bool adjusted);
    void setScrollMaxima();
};
