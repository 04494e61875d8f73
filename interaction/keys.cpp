// The arrow keys nudge the selection: each key-down (a held key repeats
// it) moves the selected object, a grip of it or a calibration marker by a
// step that grows with the time the nudge has lasted. Only what is cheap
// follows each step (outlines, grips, end markers, one readout); the
// release, in keyup.cpp, brings the rest up to date once.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/elementbox.h"
#include "interaction/nudge.h"
#include "measure/calibration.h"
#include "measure/geometry.h"
#include "platform/events.h"
#include "platform/keyboard.h"
#include "platform/vbruntime.h"

#include <QEvent>

using namespace platform;

namespace {

// A release that goes to another window never reaches this one: the nudge
// is committed when the editor loses activation instead.
class DeactivationWatch : public QObject {
public:
    explicit DeactivationWatch(frmEdit& e) : QObject(&e), m_e(e) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_e && event->type() == QEvent::WindowDeactivate && m_e.booKeyMove) {
            dispatch(QStringLiteral("frmEdit.Form_Deactivate"),
                     [this] { m_e.subKeyUp_Move(qint16(vb::vbKeyLeft), 0); });
        }
        return false;
    }

private:
    frmEdit& m_e;
};

template <class T>
bool shown(const ElementArray<T>& elements, int i)
{
    return i >= 0 && i <= elements.UBound() && elements.exists(i) && elements(i).Visible;
}

// Whether the selection names an element there is to nudge.
bool selectionShown(frmEdit& e)
{
    const QString& name = e.strSelObjName;
    const int i = e.intSelIndex;
    if (name == QLatin1String("shpCheck"))
        return shown(e.shpCheck, i);
    if (name == QLatin1String("lineHojoSave"))
        return shown(e.lineHojoSave, 2 * i) && e.lineHojoSave.exists(2 * i + 1);
    for (const ElementArray<LabelElement>* labels : {&e.lblKeiroS, &e.lblMensekiS, &e.lblKeiIdoS, &e.lblMoji,
                                                    &e.lblKyori}) {
        if (name == labels->Name())
            return shown(*labels, i);
    }
    for (const ElementArray<LineElement>* lines : {&e.lineDsSave, &e.linePS, &e.lineHikidashi}) {
        if (name == lines->Name())
            return shown(*lines, i);
    }
    if (name == e.shpShape.Name())
        return shown(e.shpShape, i);
    return false;
}

void shiftLine(LineElement& line, float dx, float dy)
{
    line.X1 = line.X1 - dx;
    line.X2 = line.X2 - dx;
    line.Y1 = line.Y1 - dy;
    line.Y2 = line.Y2 - dy;
}

// A line by its grip: the whole of it, or one end.
void nudgeLine(LineElement& line, qint16 grip, float dx, float dy)
{
    switch (grip) {
    case interaction::gripBody:
    case interaction::gripBodyToo:
        shiftLine(line, dx, dy);
        break;
    case interaction::gripFirstEnd:
        line.X1 = line.X1 - dx;
        line.Y1 = line.Y1 - dy;
        break;
    case interaction::gripSecondEnd:
        line.X2 = line.X2 - dx;
        line.Y2 = line.Y2 - dy;
        break;
    default:
        break;
    }
}

void shiftLabel(LabelElement& label, float dx, float dy)
{
    label.Left = label.Left - dx;
    label.Top = label.Top - dy;
}

// A calibration marker: its end of the check line moves, and the options
// window follows the pick under way at once.
void nudgeCheck(frmEdit& e, int i, float dx, float dy)
{
    LineElement& line = e.lineCheck;
    if (i == 0 || i == 1) {
        if (i == 0) {
            line.X1 = line.X1 - dx;
            line.Y1 = line.Y1 - dy;
        } else {
            line.X2 = line.X2 - dx;
            line.Y2 = line.Y2 - dy;
        }
        e.subHojo_Layout(e.lineHojo, line.X1, line.Y1, line.X2, line.Y2, GE_sngHojoLen);
    }
    if (GE_booPickDistance)
        e.subOpt_KnownDistance(mdlSub::fncGet_Distance(line.X1, line.Y1, line.X2, line.Y2), line);
    if (GE_booPickHosei) {
        if (e.intHitCheck == 0) {
            GE_sngHosei[0] = line.X1;
            GE_sngHosei[1] = line.Y1;
        } else if (e.intHitCheck == 1) {
            GE_sngHosei[2] = line.X2;
            GE_sngHosei[3] = line.Y2;
        }
        e.subOpt_HoseiPoint();
        mdlSub::subCalc_Hosei();
        e.subOpt_HoseiAngle();
    }
    if (GE_booPickKeiIdo) {
        if (e.intHitCheck == 0)
            GE_tpPiccel[0] = typPointS{line.X1, line.Y1};
        else if (e.intHitCheck == 1)
            GE_tpPiccel[1] = typPointS{line.X2, line.Y2};
        e.subOpt_TaiouPoint();
    }
}

}  // namespace

void frmEdit::connectKeys()
{
    auto* keys = new KeyPreview(this);
    keys->KeyDown = [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); };
    keys->KeyUp = [this](int& keyCode, int shift) { Form_KeyUp(keyCode, shift); };
    installEventFilter(new DeactivationWatch(*this));
}

void frmEdit::Form_KeyDown(int& keyCode, int shift) { subKeyDown_Move(qint16(keyCode), qint16(shift)); }

void frmEdit::subKeyDown_Move(qint16 keyCode, qint16 /*shift*/)
{
    if (intSelIndex < 0)
        return;
    float dx = 0, dy = 0;
    if (!interaction::fncNudge_Delta(keyCode, 0, dx, dy))
        return;
    if (!selectionShown(*this)) {
        // What was selected has gone (deleted, cleared, hidden): nothing to move.
        strSelObjName.clear();
        intSelIndex = -1;
        subVisible_Array(shpPointer, false);
        return;
    }
    const qint64 now = vb::Now().toSecsSinceEpoch();
    const bool first = !booKeyMove;
    if (first)
        lngKeyStart = now;
    interaction::fncNudge_Delta(keyCode, GE_sngZoom * interaction::fncNudge_Step(now - lngKeyStart), dx, dy);

    const QString& name = strSelObjName;
    const int i = intSelIndex;
    const auto marks = [this] {
        booMesMoveD = GE_booModeDis;
        booMesMoveK = GE_booModeKei;
        booCalcDis = booMesMoveD;
        booCalcKei = booMesMoveK;
    };
    if (name == QLatin1String("shpCheck")) {
        nudgeCheck(*this, i, dx, dy);
    } else if (name == QLatin1String("lblKeiroS") || name == QLatin1String("lblMensekiS")) {
        LabelElement& label = name == QLatin1String("lblKeiroS") ? lblKeiroS(i) : lblMensekiS(i);
        // The outline shows where the area or route goes; during a polyline
        // lineMenseki is the user's polygon and stays as it is.
        if (first) {
            sngKeyLeft = label.Left;
            sngKeyTop = label.Top;
            const int j = booRenzoku ? -1 : fncFind_LinePS(vb::Right(label.Tag, 12));
            if (j > -1)
                subCnv_PSToMenseki(qint16(j), true);
        }
        if (!booRenzoku)
            subMove_LineMenseki(dx, dy);
        shiftLabel(label, dx, dy);
    } else if (name == QLatin1String("lblKeiIdoS")) {
        shiftLabel(lblKeiIdoS(i), dx, dy);
    } else if (name == QLatin1String("lblMoji")) {
        shiftLabel(lblMoji(i), dx, dy);
    } else if (name == QLatin1String("lblKyori")) {
        shiftLabel(lblKyori(i), dx, dy);
    } else if (name == QLatin1String("lineDsSave")) {
        shiftLine(lineDsSave(i), dx, dy);
        subSet_SnpoMark(lineDsSave, i);
    } else if (name == QLatin1String("linePS")) {
        nudgeLine(linePS(i), intGripLine, dx, dy);
        marks();
        subMove_KyoriMark(i);
    } else if (name == QLatin1String("lineHikidashi")) {
        if (first) {
            lblDistance.Visible = true;
            marks();
        }
        nudgeLine(lineHikidashi(i), intGripLine, dx, dy);
        subDisp_SegTip(lineHikidashi(i), i, lblDistance);
    } else if (name == QLatin1String("shpShape")) {
        if (first) {
            lblDistance.Visible = true;
            marks();
        }
        ShapeElement& shape = shpShape(i);
        const interaction::typRect r = interaction::fncNudge_Rect(intGripRect, interaction::fncBox_Of(shape), dx, dy);
        interaction::subBox_Apply(shape, r);
        subDisp_SizeOn(lblDistance, lblWidth, lblHeight, lineDistance, shape, i);
    } else if (name == QLatin1String("lineHojoSave")) {
        if (first) {
            lineDistance.Visible = true;
            lblDistance.Visible = true;
            subHojo_Visible(true);
            marks();
        }
        lineDistance.X2 = lineDistance.X2 - dx;
        lineDistance.Y2 = lineDistance.Y2 - dy;
        subDisp_LineDistance(lineDistance, lblDistance, true);
        subHojo_Layout(lineHojo, lineDistance.X1, lineDistance.Y1, lineDistance.X2, lineDistance.Y2, GE_sngHojoLen);
        interaction::subGrip_Centre(shpPointer(1), lineDistance.X2, lineDistance.Y2);
    }
    booKeyMove = true;
}
