// Labels under the mouse: the grab, drags with and without snapping, the
// Shift corner jump and axis lock, Ctrl moving a whole area, the menus, the
// property sheet and a polygon being drawn.

#include "tests/interaction/labelkeys.h"

#include "app/mdlFileAccess.h"
#include "platform/vbruntime.h"
#include "properties/frmPropaty.h"

using namespace editortest;
using namespace labelkeys;
using namespace mapmouse;
using namespace platform;

namespace {

constexpr float U = 57.0f;  // twips a map unit

enum Event { Down, Drag, Up };

// A label event at (x, y) map units from its top-left corner.
void send(LabelElement& l, Event ev, float x, float y, int button = 1)
{
    auto& h = ev == Down ? l.MouseDown : ev == Drag ? l.MouseMove : l.MouseUp;
    h(l.Index, button, 0, x * U, y * U);
}

void snapMenu(frmEdit& e, int checked)
{
    for (int k = 0; k <= 2; ++k)
        e.mnuSnap(k).setChecked(k == checked);
    e.mnuMarker->setChecked(checked == 1);
    e.mnuHint->setChecked(false);
}

void ctrl(bool down) { setKeyDown(vb::vbKeyControl, down); }

}  // namespace

class TestLabelMouse : public QObject {
    Q_OBJECT

    Session m_s;
    QTemporaryDir m_temp;

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init()
    {
        QVERIFY(m_s.begin());
        clearForcedKeys();
    }
    void cleanup()
    {
        clearForcedKeys();
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        m_s.end();
    }

    void grabDragAndSnap()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        // A click that selects a label leaves it to the last digit (its
        // corner taken back through the pointer, 0.1 + 1 - 1, would not).
        LabelElement& d = box(e.lblKyori, 0, 0.1f, 0.1f);
        send(d, Down, 1, 1);
        send(d, Up, 1, 1);
        QVERIFY(d.Left == 0.1f && d.Top == 0.1f && !e.booDrawChange);
        line(e.lineHikidashi, 0, 150, 150, 180, 150);
        spare(e.lineHikidashi);
        LabelElement& t = box(e.lblMoji, 0, 100, 100);
        snapMenu(e, 0);
        t.MouseDown(0, 1, 0, 570, 285);
        QVERIFY(e.sngDragX == 10 && e.sngDragY == 5 && e.strSelObjName == QLatin1String("lblMoji"));
        QVERIFY(e.shpPointer(0).FillStyle == 0 && e.shpPointer(3).Visible && e.intGripLabel == 0);
        send(t, Drag, 13, 7);
        QVERIFY(t.Left == 103 && t.Top == 102 && e.booDrawChange);
        QVERIFY(e.shpPointer(0).Left == 101 && e.shpPointer(0).Top == 101);
        // Onto a lead-out line's end: the pointer does not snap there, the
        // corner does at the release.
        snapMenu(e, 1);
        send(t, Drag, 57.5f, 53.5f);
        QVERIFY(t.Left == 150.5f && t.Top == 150.5f);
        send(t, Up, 10, 5);
        QVERIFY(t.Left == 150 && t.Top == 150 && e.shpPointer(0).FillStyle == 1);
    }

    void shiftJumpAndAxisLock()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        snapMenu(e, 0);
        LabelElement& t = box(e.lblKyori, 0, 100, 100);
        shift(true);
        send(t, Down, 10, 5);  // the middle counts as the right and lower half
        QVERIFY(t.Left + t.Width() == 110 && t.Top + t.Height() == 105 && e.sngDragX == 20 && e.sngDragY == 10);
        QVERIFY(e.booDrawChange);  // the jump is a move, whatever the release finds
        send(t, Drag, 25, 12);  // |dx| 5, |dy| 2: horizontal only
        QVERIFY(t.Left == 95 && t.Top == 95);
        send(t, Drag, 20, 20);
        QVERIFY(t.Left == 95 && t.Top == 95);
        e.booDrawChange = false;
        send(t, Up, 23, 20);
        QVERIFY(t.Left == 98 && t.Top == 95 && !e.booDrag && e.booDrawChange);
        // Shift let go mid-drag frees both axes; pressed again it locks nothing.
        shift(false);
        send(t, Down, 10, 5);
        shift(true);
        send(t, Drag, 15, 7);
        QVERIFY(t.Left == 103 && t.Top == 95);
        shift(false);
        send(t, Drag, 15, 9);
        QVERIFY(t.Left == 108 && t.Top == 99);
        shift(true);
        send(t, Drag, 11, 9);
        QVERIFY(t.Left == 109 && t.Top == 103);
        send(t, Up, 10, 5);
        // A position label's texts follow its jump.
        LabelElement& p = box(e.lblKeiIdoS, 0, 100, 100, QStringLiteral("50,50"));
        send(p, Down, 10, 5);
        QCOMPARE(p.Tag, QStringLiteral("90,95"));
        send(p, Up, 10, 5);
    }

    void ctrlMovesTheWholeArea()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        snapMenu(e, 0);
        area(e);
        LabelElement& l = e.lblMensekiS(0);
        // Ctrl all along: the outline follows, the sides at the release.
        send(l, Down, 10, 5);
        QVERIFY(e.lineMenseki(0).Visible && at(e.lineMenseki(0), 10, 100, 50, 100));
        ctrl(true);
        send(l, Drag, 20, 5);
        QVERIFY(at(e.lineMenseki(0), 20, 100, 60, 100) && at(e.linePS(0), 10, 100, 50, 100));
        send(l, Up, 10, 5);
        QVERIFY(at(e.linePS(0), 20, 100, 60, 100) && at(e.lineDsSave(0), 20, 85, 60, 85));
        QVERIFY(!e.lineMenseki(0).Visible && l.Left == 30);
        // Ctrl only at the release: the whole area still goes.
        ctrl(false);
        send(l, Down, 10, 5);
        send(l, Drag, 20, 5);
        QVERIFY(at(e.lineMenseki(0), 20, 100, 60, 100));
        ctrl(true);
        send(l, Up, 10, 5);
        QVERIFY(at(e.linePS(0), 30, 100, 70, 100));
        // No Ctrl: the label alone.
        ctrl(false);
        send(l, Down, 10, 5);
        send(l, Drag, 20, 5);
        send(l, Up, 10, 5);
        QVERIFY(at(e.linePS(0), 30, 100, 70, 100) && l.Left == 50 && e.lineMenseki.UBound() == 0);

        // During a polyline the user's polygon stays as it is.
        e.booRenzoku = true;
        line(e.lineMenseki, 0, 200, 200, 250, 210);
        send(l, Down, 10, 5);
        ctrl(true);
        send(l, Drag, 20, 5);
        send(l, Up, 10, 5);
        QVERIFY(at(e.lineMenseki(0), 200, 200, 250, 210) && e.lineMenseki(0).Visible && e.booRenzoku);
        QVERIFY(at(e.linePS(0), 40, 100, 80, 100));
    }

    void menusAndTheSheet()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        for (int k = 0; k <= 2; ++k)
            box(e.lblKyori, k, 10, 10 + 20 * k);
        LabelElement& route = box(e.lblKeiroS, 0, 100, 10, QStringLiteral("001:90_") + Key);
        PopupScript popups;
        for (int k = 0; k < 3; ++k)
            popups.dismiss();
        send(e.lblKyori(2), Down, 3, 3, 2);
        QVERIFY(e.strPopObjName == QLatin1String("lblkyori") && e.intPopIndex == 2);
        QVERIFY(e.strSelObjName == QLatin1String("lblKyori") && e.intSelIndex == 2);
        QVERIFY(e.popEditRev->Enabled() && !e.popEditCSV->Enabled() && !e.popEditDpp->Enabled());
        QVERIFY(e.popEditDelP->Enabled() && e.shpPointer(0).FillStyle == 1);
        send(route, Down, 3, 3, 2);
        QVERIFY(!e.popEditRev->Enabled() && e.popEditCSV->Enabled() && e.popEditDpp->Enabled());
        e.lblDefault.MouseDown(0, 2, 0, 30, 30);
        QVERIFY(e.strPopObjName == QLatin1String("Default") && e.intPopIndex == 0);
        QVERIFY(e.strSelObjName == QLatin1String("lblKeiroS") && e.intSelIndex == 0);
        for (Menu* m : {e.popEditRev, e.popEditUnitDistance, e.popEditUnitSquea, e.popEditDesiPoint, e.popEditDpp,
                        e.popEditDelP})
            QVERIFY(!m->Enabled());
        QVERIFY(e.popEditCSV->Enabled() && e.popPropaty->Enabled());
        QCOMPARE(popups.shown, QStringList(3, QStringLiteral("popEdit")));
        QVERIFY(popups.allUsed());
        // A real right press whose release the menu took: the moves after it
        // go to the map and its readouts again.
        popups.dismiss();
        mouse(e, Press, 15, 35, Qt::RightButton);
        QVERIFY(popups.allUsed() && e.intPopIndex == 1);
        const QPointF free = mouse(e, Move, 70, 80, Qt::NoButton);
        QVERIFY(near(free.x(), 70, 0.2) && near(free.y(), 80, 0.2));
        QCOMPARE(e.stsTip->Panels(2).Text(), QStringLiteral("X:") + vb::Format(free.x(), QStringLiteral("#####0.###0")));

        // The sheet takes the pressed label while it is open, and only then.
        LabelElement& result = box(e.lblMensekiS, 1, 200, 10, QStringLiteral("202:7_") + Key);
        result.Caption = QStringLiteral("7.00 m2 ");
        spare(e.lblMensekiS);
        GE_tpHatching = {typHatching(), typHatching(), typHatching()};
        send(result, Down, 3, 3);
        send(result, Up, 3, 3);
        QVERIFY(!Instance<frmPropaty>::exists());
        e.mnuPropaty_Click();
        frmPropaty& sheet = Instance<frmPropaty>::get();
        send(result, Down, 3, 3);
        QCOMPARE(sheet.txtObjName->Text(), QStringLiteral("lblMensekiS"));
        QCOMPARE(sheet.txtIndex->Text(), QStringLiteral("1"));
        QCOMPARE(sheet.lblCaption->Caption(), QStringLiteral("7.00 m2 "));
        send(result, Up, 3, 3);
    }
};

QTEST_MAIN(TestLabelMouse)
#include "tst_labelmouse.moc"
