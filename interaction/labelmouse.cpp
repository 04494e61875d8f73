// The result and text labels under the mouse: a press selects the label,
// points an open property sheet at it and shows its grips (and, with the
// right button, its menu); a left drag moves it with snapping and the Shift
// axis lock, and with Ctrl an area's or route's outline follows; Ctrl at
// the release moves the whole area or route.
//
// Label events give the pointer in twips from the label's top-left corner;
// 57 twips are taken as a map unit.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/shift.h"
#include "platform/events.h"
#include "platform/keyboard.h"
#include "platform/vbruntime.h"
#include "properties/frmPropaty.h"

using namespace platform;

namespace {

constexpr float kTwipsPerUnit = 57.0f;

// How a label array takes part: names for the selection and the popup
// target, its menu, and what its drags carry along.
struct LabelRole {
    QString selName;
    QString popName;
    Menu* menu = nullptr;
    bool outline = false;  // an area or route: its outline, Ctrl moves it whole
    bool position = false; // a position label: its texts follow, no snap at the release
};

LabelRole roleOf(frmEdit& e, const ElementArray<LabelElement>& labels)
{
    LabelRole r;
    r.selName = labels.Name();
    r.popName = r.selName;
    r.menu = e.popEdit;
    if (&labels == &e.lblKyori) {
        r.popName = QStringLiteral("lblkyori");  // the menu commands know distances by this name
    } else if (&labels == &e.lblMensekiS || &labels == &e.lblKeiroS) {
        r.outline = true;
    } else {
        r.menu = e.popMoji;
        r.position = &labels == &e.lblKeiIdoS;
    }
    return r;
}

bool ctrlHeld() { return keyIsDown(vb::vbKeyControl); }

void snap(frmEdit& e, float& x, float& y, int index)
{
    e.subSnap_Point(x, y, x, y, e.mnuHint->Checked(), e.mnuMarker->Checked(), e.mnuSnap(1).Checked(),
                    e.mnuSnap(2).Checked(), qint16(index));
}

// The popEdit items a label's menu offers, in the menu's order; Default
// leaves the detail export as the last menu left it.
void enableEdit(frmEdit& e, const ElementArray<LabelElement>* labels)
{
    const bool distance = labels == &e.lblKyori;
    const bool result = labels != nullptr;
    e.popEditRev->setEnabled(distance);
    e.popEditUnitDistance->setEnabled(result);
    e.popEditUnitSquea->setEnabled(result);
    e.popEditDesiPoint->setEnabled(result);
    if (result)
        e.popEditCSV->setEnabled(!distance);
    e.popEditDpp->setEnabled(result && !distance);
    e.popEditDelP->setEnabled(result);
}

// A position label tells where its corner lies, as the map's readout tells it.
void followPosition(frmEdit& e, LabelElement& label)
{
    e.subDisp_Position(label.Left / GE_sngZoom, label.Top / GE_sngZoom);
    label.ToolTipText = e.strKeiIdoDMS;
    label.Tag = e.strKeiIdoSec;
    e.fncObj_Bounds(label);
}

void labelDown(frmEdit& e, ElementArray<LabelElement>& labels, int index, int button, float x, float y)
{
    const LabelRole role = roleOf(e, labels);
    LabelElement& label = labels(index);
    float px = x / kTwipsPerUnit, py = y / kTwipsPerUnit;
    if (frmPropaty* sheet = GE_booPropaty ? Instance<frmPropaty>::pointer() : nullptr) {
        // The index emptied first, so that the sheet never loads the old
        // index under the new kind.
        sheet->lblCaption->setCaption(label.Caption);
        sheet->txtIndex->setText(QString());
        sheet->txtObjName->setText(labels.Name());
        sheet->txtIndex->setText(QString::number(index));
    }
    e.subGrip_Label(label, e.shpPointer);
    e.subFill_Shape(e.shpPointer, 0);
    e.subVisible_Array(e.shpPointer, true);
    e.intSelIndex = qint16(index);
    e.strSelObjName = role.selName;
    e.intGripLabel = 0;
    if (button == 1) {
        const float left = label.Left, top = label.Top;
        e.subShift_LabelDown(label, 0, px, py);
        // The corner jump moves the label: a change to save, and a position
        // label's texts follow it.
        if (label.Left != left || label.Top != top) {
            e.booDrawChange = true;
            if (role.position)
                followPosition(e, label);
        }
        if (interaction::fncShift_Held()) {
            // The corner now under the pointer is where the label is held.
            px = label.Width() / 2 > px ? 0 : label.Width();
            py = label.Height() / 2 > py ? 0 : label.Height();
        }
        e.sngDragX = px;
        e.sngDragY = py;
        // Where the press leaves the label: a release in place keeps it there.
        e.sngOrgTop = e.sngPrevTop = label.Top;
        e.sngOrgLeft = e.sngPrevLeft = label.Left;
        if (role.outline) {
            // A polygon being drawn fills lineMenseki: it is the user's work.
            const int j = e.booRenzoku ? -1 : e.fncFind_LinePS(vb::Right(label.Tag, 12));
            if (j > -1)
                e.subCnv_PSToMenseki(qint16(j), true);
        }
    } else if (button == 2) {
        e.strPopObjName = role.popName;
        e.intPopIndex = qint16(index);
        if (role.menu == e.popEdit)
            enableEdit(e, &labels);
        PopupMenu(*role.menu);
        e.subFill_Shape(e.shpPointer, 1);
    }
}

void labelMove(frmEdit& e, ElementArray<LabelElement>& labels, int index, int button, float x, float y)
{
    if (button != 1)
        return;
    const LabelRole role = roleOf(e, labels);
    LabelElement& label = labels(index);
    const float px = x / kTwipsPerUnit, py = y / kTwipsPerUnit;
    // The pointer still on the point it holds (a move reported without
    // travel): nothing to move, nor to mark.
    if (px == e.sngDragX && py == e.sngDragY)
        return;
    float sx = label.Left + px, sy = label.Top + py;
    snap(e, sx, sy, index);
    const qint16 axis = e.fncShift_Axis(e.sngDragX - px, e.sngDragY - py, e.booDrag);
    if (axis != 2)
        label.Left = sx - e.sngDragX;
    if (axis != 1)
        label.Top = sy - e.sngDragY;
    if (!role.position)
        e.subGrip_Label(label, e.shpPointer);
    if (role.outline && ctrlHeld()) {
        if (!e.booRenzoku)
            e.subMove_LineMenseki(e.sngPrevLeft - label.Left, e.sngPrevTop - label.Top);
        e.sngPrevLeft = label.Left;
        e.sngPrevTop = label.Top;
    }
    if (role.position)
        followPosition(e, label);
    e.booDrawChange = true;
}

void labelUp(frmEdit& e, ElementArray<LabelElement>& labels, int index, int button, float x, float y)
{
    const LabelRole role = roleOf(e, labels);
    LabelElement& label = labels(index);
    const float px = x / kTwipsPerUnit, py = y / kTwipsPerUnit;
    // Released where it was pressed and not moved since (a click that
    // selects it): it keeps its place exactly. Its corner taken back through
    // the pointer's offset would round off at most zooms, and could snap.
    const bool inPlace = px == e.sngDragX && py == e.sngDragY && label.Left == e.sngOrgLeft && label.Top == e.sngOrgTop;
    // A position label stays where its last step put it: its texts tell that place.
    if (button == 1 && !role.position && !inPlace) {
        // The top-left corner snaps, whichever corner was held.
        float cx = label.Left + px - e.sngDragX, cy = label.Top + py - e.sngDragY;
        snap(e, cx, cy, index);
        const qint16 axis = e.fncShift_Axis(e.sngDragX - px, e.sngDragY - py, e.booDrag);
        const float left = label.Left, top = label.Top;
        if (axis != 2)
            label.Left = cx;
        if (axis != 1)
            label.Top = cy;
        if (label.Left != left || label.Top != top)
            e.booDrawChange = true;
        if (role.outline) {
            if (axis == 1)
                cy = e.sngOrgTop;
            if (axis == 2)
                cx = e.sngOrgLeft;
            if (ctrlHeld()) {
                e.subMove_MensekiKeiro(label, index, e.sngOrgLeft - cx, e.sngOrgTop - cy);
                e.booDrawChange = true;
            }
        }
    }
    e.subFill_Shape(e.shpPointer, 1);
    if (role.outline && !e.booRenzoku)
        e.subAllClr_LineMenseki();
    e.booDrag = false;
}

using Handler = void (frmEdit::*)(int, int, int, float, float);

void connectArray(frmEdit& e, ElementArray<LabelElement>& labels, Handler down, Handler move, Handler up)
{
    const QString name = labels.Name();
    auto previous = labels.onCreate;
    labels.setOnCreate([previous, name, &e, down, move, up](LabelElement& label) {
        if (previous)
            previous(label);
        const auto wire = [&](Handler h, const QString& event) {
            return [&e, h, event](int index, int button, int shift, float x, float y) {
                dispatch(event, [&] { (e.*h)(index, button, shift, x, y); });
            };
        };
        label.MouseDown = wire(down, name + QStringLiteral("_MouseDown"));
        label.MouseMove = wire(move, name + QStringLiteral("_MouseMove"));
        label.MouseUp = wire(up, name + QStringLiteral("_MouseUp"));
    });
}

}  // namespace

void frmEdit::connectLabelMouse()
{
    connectArray(*this, lblKyori, &frmEdit::lblKyori_MouseDown, &frmEdit::lblKyori_MouseMove,
                 &frmEdit::lblKyori_MouseUp);
    connectArray(*this, lblMensekiS, &frmEdit::lblMensekiS_MouseDown, &frmEdit::lblMensekiS_MouseMove,
                 &frmEdit::lblMensekiS_MouseUp);
    connectArray(*this, lblKeiroS, &frmEdit::lblKeiroS_MouseDown, &frmEdit::lblKeiroS_MouseMove,
                 &frmEdit::lblKeiroS_MouseUp);
    connectArray(*this, lblMoji, &frmEdit::lblMoji_MouseDown, &frmEdit::lblMoji_MouseMove,
                 &frmEdit::lblMoji_MouseUp);
    connectArray(*this, lblKeiIdoS, &frmEdit::lblKeiIdoS_MouseDown, &frmEdit::lblKeiIdoS_MouseMove,
                 &frmEdit::lblKeiIdoS_MouseUp);
    lblDefault.MouseDown = [this](int, int button, int shift, float x, float y) {
        dispatch(QStringLiteral("lblDefault_MouseDown"), [&] { lblDefault_MouseDown(button, shift, x, y); });
    };
}

// One body per event serves the five arrays; each handler names its array.
void frmEdit::lblKyori_MouseDown(int index, int button, int, float x, float y)
{
    labelDown(*this, lblKyori, index, button, x, y);
}
void frmEdit::lblKyori_MouseMove(int index, int button, int, float x, float y)
{
    labelMove(*this, lblKyori, index, button, x, y);
}
void frmEdit::lblKyori_MouseUp(int index, int button, int, float x, float y)
{
    labelUp(*this, lblKyori, index, button, x, y);
}
void frmEdit::lblMensekiS_MouseDown(int index, int button, int, float x, float y)
{
    labelDown(*this, lblMensekiS, index, button, x, y);
}
void frmEdit::lblMensekiS_MouseMove(int index, int button, int, float x, float y)
{
    labelMove(*this, lblMensekiS, index, button, x, y);
}
void frmEdit::lblMensekiS_MouseUp(int index, int button, int, float x, float y)
{
    labelUp(*this, lblMensekiS, index, button, x, y);
}
void frmEdit::lblKeiroS_MouseDown(int index, int button, int, float x, float y)
{
    labelDown(*this, lblKeiroS, index, button, x, y);
}
void frmEdit::lblKeiroS_MouseMove(int index, int button, int, float x, float y)
{
    labelMove(*this, lblKeiroS, index, button, x, y);
}
void frmEdit::lblKeiroS_MouseUp(int index, int button, int, float x, float y)
{
    labelUp(*this, lblKeiroS, index, button, x, y);
}
void frmEdit::lblMoji_MouseDown(int index, int button, int, float x, float y)
{
    labelDown(*this, lblMoji, index, button, x, y);
}
void frmEdit::lblMoji_MouseMove(int index, int button, int, float x, float y)
{
    labelMove(*this, lblMoji, index, button, x, y);
}
void frmEdit::lblMoji_MouseUp(int index, int button, int, float x, float y)
{
    labelUp(*this, lblMoji, index, button, x, y);
}
void frmEdit::lblKeiIdoS_MouseDown(int index, int button, int, float x, float y)
{
    labelDown(*this, lblKeiIdoS, index, button, x, y);
}
void frmEdit::lblKeiIdoS_MouseMove(int index, int button, int, float x, float y)
{
    labelMove(*this, lblKeiIdoS, index, button, x, y);
}
void frmEdit::lblKeiIdoS_MouseUp(int index, int button, int, float x, float y)
{
    labelUp(*this, lblKeiIdoS, index, button, x, y);
}

void frmEdit::lblDefault_MouseDown(int button, int, float, float)
{
    // The default style has only its menu: no selection, no grips, no drag.
    if (button != 2)
        return;
    strPopObjName = QStringLiteral("Default");
    enableEdit(*this, nullptr);
    PopupMenu(*popEdit);
}
