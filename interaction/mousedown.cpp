// The map's mouse-down: the reset of what the last press left, a grabbed
// calibration marker, the cascade of hit tests that selects and grabs an
// object, the tool started when nothing was grabbed, the context menus of
// the right button, and the hand-over to an open property sheet.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "interaction/measuring.h"
#include "objects/chains.h"
#include "platform/keyboard.h"
#include "platform/vbruntime.h"
#include "properties/frmPropaty.h"

using namespace platform;

void frmEdit::pictMap_MouseDown(int button, int /*shift*/, float x, float y)
{
    intSelIndex = intHitDsSave = intHitPS = intHitHikidashi = intHitShape = -1;
    intHitKyori = intHitMenseki = intHitKeiro = intPopIndex = intHojoKyori = intHitCheck = -1;
    intHitMoji = -1;
    strSelObjName.clear();
    strPopObjName.clear();
    frmPropaty* sheet = GE_booPropaty ? Instance<frmPropaty>::pointer() : nullptr;
    if (sheet) {
        sheet->lblCaption->setCaption(QString());
        sheet->txtObjName->setText(QString());
        sheet->txtIndex->setText(QString());
    }
    subVisible_Array(shpPointer, false);
    float sx = x, sy = y;
    subSnap_Point(sx, sy, x, y, mnuHint->Checked(), mnuMarker->Checked(), mnuSnap(1).Checked(),
                  mnuSnap(2).Checked(), intSelIndex);

    if (button == 1) {
        const bool free = !keyIsDown(vb::vbKeyEscape) && !booMesDownD && !booMesDownK;
        bool grabbed = false;
        if (free) {
            bool ended = false;
            const int c = fncHit_Rect(shpCheck, x, y, intGripRect);
            if (c >= 0) {
                intHitCheck = qint16(c);
                if (c == 0) {
                    subHojo_Start(lineHojo, lineCheck.X2, lineCheck.Y2);
                    subHojo_Layout(lineHojo, lineCheck.X2, lineCheck.Y2, lineCheck.X1, lineCheck.Y1, GE_sngHojoLen);
                } else {
                    subHojo_Start(lineHojo, lineCheck.X1, lineCheck.Y1);
                    subHojo_Layout(lineHojo, lineCheck.X1, lineCheck.Y1, lineCheck.X2, lineCheck.Y2, GE_sngHojoLen);
                }
                subHojo_Visible(true);
                intSelIndex = qint16(c);
                strSelObjName = QStringLiteral("shpCheck");
                if (GE_booPickDistance) {
                    ended = true;
                } else if (GE_booPickHosei) {
                    popHoseiL->setChecked(c == 0);
                    popHoseiR->setChecked(c == 1);
                    ended = true;
                } else if (GE_booPickKeiIdo) {
                    popTaiou1->setChecked(c == 0);
                    popTaiou2->setChecked(c == 1);
                    GE_tpPiccel[std::size_t(c)] = typPointS{x, y};
                    ended = true;
                }
            }
            grabbed = ended || subHit_Cascade(x, y, sx, sy);
        }
        if (!grabbed)
            subStart_Tool(x, y, sx, sy);
    } else if (button == 2) {
        if (Toolbar1->Buttons(9).Value() == 1 && !booMesDownD && !booMesDownK)
            PopupMenu(*popMes);
        else if (GE_booPickDistance)
            PopupMenu(*popDis);
        qint16 kind = -1, i = -1;
        fncHit_LineBox(lineHikidashi, x, y, kind, i);
        if (i >= 0) {
            strPopObjName = QStringLiteral("lineHikidashi");
            intPopIndex = i;
            PopupMenu(*popHikidashi);
        }
        qint16 grip = -1;
        const int s = fncHit_Rect(shpShape, x, y, grip);
        if (s >= 0) {
            strPopObjName = QStringLiteral("shpShape");
            intPopIndex = qint16(s);
            PopupMenu(*popShape);
        }
    }

    if (!sheet || !GE_booPropaty)
        return;
    struct Grab {
        qint16 index;
        const char* name;
    };
    const Grab grabs[] = {{intHitHikidashi, "lineHikidashi"}, {intHitMoji, "lblMoji"},   {intHitKyori, "lblKyori"},
                          {intHitMenseki, "lblMensekiS"},      {intHitKeiro, "lblKeiroS"}, {intHitShape, "shpShape"},
                          {intHitDsSave, "lineDsSave"},        {intHitPS, "linePS"}};
    for (const Grab& g : grabs) {
        if (g.index >= 0) {
            sheet->txtObjName->setText(QString::fromLatin1(g.name));
            sheet->txtIndex->setText(QString::number(g.index));
            return;
        }
    }
}

namespace {

void select(frmEdit& e, const char* name, int index)
{
    e.strSelObjName = QString::fromLatin1(name);
    e.intSelIndex = qint16(index);
}

}  // namespace

bool frmEdit::subHit_Cascade(float x, float y, float sx, float sy)
{
    const auto down = [&] {
        sngDownX = sx;
        sngDownY = sy;
    };
    const auto grips = [&] { subFill_Shape(shpPointer, 0); };
    // A grabbed line as the press found it: its release tells a move from a click.
    const auto grabbed = [&](const LineElement& l) { lineGrabbed = QLineF(l.X1, l.Y1, l.X2, l.Y2); };
    const auto boxGrabbed = [&](const auto& b) { rectGrabbed = QRectF(b.Left, b.Top, b.Width(), b.Height()); };
    int i = fncHit_LineEnd(lineHikidashi, x, y, intGripLine);
    qint16 kind = -1, index = -1;
    if (i < 0) {
        fncHit_LineBox(lineHikidashi, x, y, kind, index);
        if (index >= 0) {
            i = index;
            intGripLine = kind;
        }
    }
    if (i >= 0) {
        intHitHikidashi = qint16(i);
        select(*this, "lineHikidashi", i);
        lblDistance.Visible = true;
        grabbed(lineHikidashi(i));
        subGrip_Line(intGripLine, lineHikidashi(i), shpPointer);
        grips();
        down();
        return true;
    }
    struct LabelRow {
        ElementArray<LabelElement>* labels;
        qint16* hit;
        const char* name;
    };
    const LabelRow rows[] = {{&lblMoji, &intHitMoji, "lblMoji"},
                             {&lblKyori, &intHitKyori, "lblKyori"},
                             {&lblMensekiS, &intHitMenseki, "lblMensekiS"},
                             {&lblKeiroS, &intHitKeiro, "lblKeiroS"}};
    for (const LabelRow& row : rows) {
        i = fncHit_LabelGrip(*row.labels, x, y, intGripLabel);
        if (i >= 0) {
            *row.hit = qint16(i);
            select(*this, row.name, i);
            down();
            boxGrabbed((*row.labels)(i));
            subGrip_Rect(intGripLabel, *row.labels, i, shpPointer);
            grips();
            return true;
        }
    }
    i = fncHit_Rect(shpShape, x, y, intGripRect);
    const bool inside = i >= 0;
    if (!inside)
        i = fncHit_ShapeGrip(shpShape, x, y, intGripRect);
    if (i >= 0) {
        intHitShape = qint16(i);
        select(*this, "shpShape", i);
        boxGrabbed(shpShape(i));
        if (inside) {
            subShift_Square(shpShape(i), 0, sx, sy);
            subGrip_Shape(shpShape(i), shpPointer);
        } else {
            subGrip_Rect(intGripRect, shpShape, i, shpPointer);
        }
        grips();
        subDisp_SizeOn(lblDistance, lblWidth, lblHeight, lineDistance, shpShape(i), i);
        down();
        return true;
    }
    fncHit_LineBox(lineDsSave, x, y, kind, index);
    if (index >= 0) {
        intGripLine = kind;
        intHitDsSave = index;
        select(*this, "lineDsSave", index);
        grabbed(lineDsSave(index));
        subGrip_Line(intGripLine, lineDsSave(index), shpPointer);
        grips();
        down();
        return true;
    }
    i = fncHit_LineEnd(linePS, x, y, intGripLine);
    if (i < 0) {
        fncHit_LineBox(linePS, x, y, kind, index);
        if (index >= 0) {
            i = index;
            intGripLine = kind;
        }
    }
    if (i >= 0) {
        intHitPS = qint16(i);
        select(*this, "linePS", i);
        subGrab_Side(i, sx, sy);
        return true;
    }
    qint16 grip = -1;
    const int j = fncHit_LineEnd(lineHojoSave, x, y, grip);
    if (j >= 0) {
        subGrab_Hojo(j);
        down();
        return true;
    }
    return false;
}

void frmEdit::subGrab_Side(int j, float sx, float sy)
{
    intNextPS = qint16(fncFind_NextLine(linePS, j));
    intPrevPS = qint16(fncFind_PrevLine(linePS, j));
    intPSHojo = qint16(fncFind_LinkLine2(lineHojoSave, linePS(j)));
    intPSKyoriOfs = vb::CInt(double(intPSHojo) / 2 - j);
    intPSKyori = qint16(mdlChain::fncFind_SideKyori(lineHojoSave, linePS, j));
    intNextPSKyori = qint16(mdlChain::fncFind_SideKyori(lineHojoSave, linePS, intNextPS));
    intPrevPSKyori = qint16(mdlChain::fncFind_SideKyori(lineHojoSave, linePS, intPrevPS));
    lineGrabbed = QLineF(linePS(j).X1, linePS(j).Y1, linePS(j).X2, linePS(j).Y2);
    subAllClr_LineMenseki();
    subGrip_Line(intGripLine, linePS(j), shpPointer);
    // The drag moves the side from here by the pointer's travel.
    sngDownX = sx;
    sngDownY = sy;
    subFill_Shape(shpPointer, 0);
    booMesDownD = GE_booModeDis;
    booMesDownK = GE_booModeKei;
}

void frmEdit::subGrab_Hojo(int j)
{
    strSelObjName = QStringLiteral("lineHojoSave");
    lineDistance.Visible = true;
    lblDistance.Visible = true;
    const interaction::typHojoPair pair = interaction::fncHojo_Pair(qint16(j));
    intHojoIndex1 = pair.pair;
    intHojoIndex2 = qint16(j);
    intHojoKyori = pair.kyori;
    intSelIndex = pair.kyori;
    lblDistance.Caption = lblKyori(pair.kyori).Caption;
    lblDistance.Tag = lblKyori(pair.kyori).Tag;
    const LineElement& from = lineHojoSave(intHojoIndex1);
    const LineElement& to = lineHojoSave(intHojoIndex2);
    lineDistance.X1 = from.X1;
    lineDistance.Y1 = from.Y1;
    lineDistance.X2 = to.X1;
    lineDistance.Y2 = to.Y1;
    intGripLine = 2;
    subGrip_Line(intGripLine, lineDistance, shpPointer);
    subFill_Shape(shpPointer, 0);
    subHojo_Start(lineHojo, lineDistance.X1, lineDistance.Y1);
    subHojo_Layout(lineHojo, lineDistance.X1, lineDistance.Y1, lineDistance.X2, lineDistance.Y2, GE_sngHojoLen);
    subHojo_Visible(true);
    booMesMoveD = GE_booModeDis;
    booMesMoveK = GE_booModeKei;
}
