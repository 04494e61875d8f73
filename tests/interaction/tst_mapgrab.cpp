// Grabbing on the map: the hit cascade and what each row leaves, drags of
// the left button, the right button's menus, the labels placed by one
// click, the calibration markers, and the move handler's error box.

#include "tests/interaction/labelkeys.h"

#include "measure/resulttag.h"
#include "properties/frmPropaty.h"

using namespace editortest;
using namespace labelkeys;
using namespace mapmouse;
using namespace platform;

namespace {

// A route of three sides round (10, 100), (50, 100), (50, 140); only the
// second side has a distance object (0), with its extension lines 15 long.
void route(frmEdit& e)
{
    line(e.linePS, 0, 10, 100, 50, 100, Key);
    line(e.linePS, 1, 50, 100, 50, 140, Key);
    line(e.linePS, 2, 50, 140, 10, 100, Key);
    e.linePS.Load(3);
    e.lblKyori(0).Caption = QStringLiteral("20.00 m ");
    e.lblKyori(0).Tag = QStringLiteral("022:20_") + Key;
    line(e.lineHojoSave, 0, 50, 100, 65, 100, Key);
    line(e.lineHojoSave, 1, 50, 140, 65, 140, Key);
    e.lineHojoSave.Load(2);
}

ShapeElement& centredMarker(frmEdit& e, int k, float x, float y)
{
    ShapeElement& m = e.shpCheck(k);
    m.Left = x - m.Width() / 2;
    m.Top = y - m.Height() / 2;
    m.Visible = true;
    return m;
}

}  // namespace

class TestMapGrab : public QObject {
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
        GE_booPickDistance = GE_booPickHosei = GE_booPickKeiIdo = false;
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        m_s.end();
        GE_sngZoom = 1.0f;
    }

    void cascadeAndDrags()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        line(e.lineHikidashi, 0, 50, 50, 90, 70);
        shown(e.shpShape, 0).Move(90, 70, 10, 10);  // its corner under the lead-out end
        shown(e.shpShape, 1).Move(200, 200, 40, 40);
        LabelElement& text = shown(e.lblMoji, 0);  // as a reload leaves the first text
        text.AutoSize = false;
        text.Move(30, 10);
        text.setWidth(20);
        text.setHeight(5);
        route(e);

        struct Row {
            float x, y;
            const char* name;
            int index;
            qint16* grip;
            int code;
        };
        const Row rows[] = {{90.2f, 70.2f, "lineHikidashi", 0, &e.intGripLine, 2},
                            {70, 60, "lineHikidashi", 0, &e.intGripLine, 3},
                            {28.5f, 8.5f, "lblMoji", 0, &e.intGripLabel, 1},
                            {220, 220, "shpShape", 1, &e.intGripRect, 0},
                            {240, 240, "shpShape", 1, &e.intGripRect, 4},
                            {50, 120, "linePS", 1, &e.intGripLine, 0}};
        // The open property sheet takes each grabbed object, the first of its kind too.
        e.mnuPropaty_Click();
        frmPropaty& sheet = Instance<frmPropaty>::get();
        for (const Row& r : rows) {
            e.pictMap_MouseDown(1, 0, r.x, r.y);
            QCOMPARE(e.strSelObjName, QString::fromLatin1(r.name));
            QCOMPARE(int(e.intSelIndex), r.index);
            QCOMPARE(int(*r.grip), r.code);
            QVERIFY(e.shpPointer(0).FillStyle == 0 && !e.booMesDownD == (r.name != QByteArray("linePS")));
            QCOMPARE(sheet.txtObjName->Text() + sheet.txtIndex->Text(), r.name + QString::number(r.index));
        }
        sheet.unload();
        // The side grab: its neighbours and their distance objects.
        QVERIFY(e.intHitPS == 1 && e.intNextPS == 2 && e.intPrevPS == 0);
        QVERIFY(e.intPSKyori == 0 && e.intNextPSKyori == -1 && e.intPrevPSKyori == -1);
        QVERIFY(e.intPSHojo == 0 && e.intPSKyoriOfs == -1);
        e.booMesDownD = false;
        // An extension line's end: the distance between the pair's starts.
        e.pictMap_MouseDown(1, 0, 65, 140);
        QVERIFY(e.strSelObjName == QLatin1String("lineHojoSave") && e.intHojoKyori == 0 && e.intSelIndex == 0);
        QVERIFY(e.intHojoIndex1 == 0 && e.intHojoIndex2 == 1 && e.booMesMoveD);
        QVERIFY(at(e.lineDistance, 50, 100, 50, 140) && e.lblDistance.Caption == QStringLiteral("20.00 m "));
        e.booMesMoveD = false;
        // The first extension line's end: the same distance, from the other end.
        e.pictMap_MouseDown(1, 0, 65, 100);
        QVERIFY(e.intHojoKyori == 0 && e.intHojoIndex1 == 1 && e.intHojoIndex2 == 0);
        QVERIFY(at(e.lineDistance, 50, 140, 50, 100) && e.lblDistance.Caption == QStringLiteral("20.00 m "));
        e.booMesMoveD = false;
        // Its grip has nothing to follow to another zoom: none stays over empty map.
        QVERIFY(e.shpPointer(1).Visible);
        e.mnuDispEandR_Click(0);
        for (int k = 0; k <= 3; ++k)
            QVERIFY(!e.shpPointer(k).Visible);
        e.mnuDispEandR_Click(4);

        // Esc held, or a measurement under way: nothing is grabbed, the tool starts.
        tool(e, 9);
        setKeyDown(vb::vbKeyEscape, true);
        e.pictMap_MouseDown(1, 0, 220, 220);
        setKeyDown(vb::vbKeyEscape, false);
        QVERIFY(e.intHitShape == -1 && e.booMesDownD);
        e.pictMap_MouseDown(1, 0, 220, 220);
        QVERIFY(e.intHitShape == -1);
        e.subReset_ViewMode();
        tool(e, 8);

        // Drags: a corner grows the shape by the pointer's way.
        e.pictMap_MouseDown(1, 0, 240, 240);
        e.pictMap_MouseMove(1, 0, 245, 243);
        QVERIFY(near(e.shpShape(1).Width(), 45) && near(e.shpShape(1).Height(), 43));
        // The diagonal and its length follow it, on the map and in the status bar.
        QVERIFY(at(e.lineDistance, 200, 200, 245, 243) && e.lblDistance.Visible);
        QCOMPARE(e.lblDistance.Caption.get(), QStringLiteral("(1)  31.12 m "));
        QCOMPARE(e.stsTip->Panels(5).Text(), e.lblDistance.Caption.get());
        // Released, all four grips stand at the new corners.
        e.pictMap_MouseUp(1, 0, 245, 243);
        QVERIFY(e.shpPointer(1).Visible && e.shpPointer(3).Visible);
        const ShapeElement &topRight = e.shpPointer(3), &bottomLeft = e.shpPointer(1);
        QVERIFY(near(topRight.Left + topRight.Width() / 2, 245) && near(bottomLeft.Top + bottomLeft.Height() / 2, 243));
        // So do they round a text label taken by its corner.
        e.pictMap_MouseDown(1, 0, 28.5f, 8.5f);
        e.pictMap_MouseMove(1, 0, 24, 4);
        e.pictMap_MouseUp(1, 0, 24, 4);
        const QPointF labelGrips[] = {{text.Left - 2, text.Top - 1}, {text.Left - 2, text.Top + text.Height()},
                                      {text.Left + text.Width(), text.Top - 1},
                                      {text.Left + text.Width(), text.Top + text.Height()}};
        for (int k = 0; k <= 3; ++k) {
            QCOMPARE(QPointF(e.shpPointer(k).Left, e.shpPointer(k).Top), labelGrips[k]);
            QVERIFY(e.shpPointer(k).Visible);
        }
        // At another zoom they go round the label where it now stands, and back.
        for (int preset : {0, 4}) {
            e.mnuDispEandR_Click(preset);
            const QPointF far(text.Left + text.Width(), text.Top + text.Height());
            QVERIFY(QPointF(e.shpPointer(3).Left, e.shpPointer(3).Top) == far && e.shpPointer(3).Visible);
        }
        QCOMPARE(QPointF(e.shpPointer(0).Left, e.shpPointer(0).Top), labelGrips[0]);
        // A lead-out end goes by the pointer's way, with Shift level with its
        // other end, and the drawing is marked changed.
        e.booDrawChange = false;
        e.pictMap_MouseDown(1, 0, 90.2f, 70.2f);
        shift(true);
        e.pictMap_MouseMove(1, 0, 120, 55);
        shift(false);
        QVERIFY(at(e.lineHikidashi(0), 50, 50, 119.8, 50));
        e.pictMap_MouseUp(1, 0, 120, 55);
        QVERIFY(e.booDrawChange);
        // A shape being drawn never shrinks past its corner.
        tool(e, 11);
        e.pictMap_MouseDown(1, 0, 150, 150);
        const int n = e.shpShape.UBound();
        e.pictMap_MouseMove(1, 0, 140, 170);
        QVERIFY(e.shpShape(n).Width() == 0 && near(e.shpShape(n).Height(), 20) && e.shpShape(n).Left == 150);

        // A move that reaches a missing element reports it, then the readouts.
        tool(e, 8);
        e.pictMap_MouseDown(1, 0, 300, 300);
        e.intHitMoji = 99;
        e.pictMap_MouseMove(1, 0, 30, 40);
        const auto box = (*m_s.quiet)->last();
        QCOMPARE(box.title, QStringLiteral("マウス移動時エラー"));
        QVERIFY(box.prompt.startsWith(QStringLiteral("frmEditPage:pictMap_MouseMove():ｴﾗｰ番号  340 ｴﾗｰが発生しました。\r")));
        QCOMPARE(e.stsTip->Panels(2).Text(), QStringLiteral("X:") + vb::Format(30.0, QStringLiteral("#####0.###0")));
    }

    // A new shape being drawn shows its diagonal and the diagonal's length,
    // on the map and in the status bar, as a dragged corner does.
    void newShapeShowsItsDiagonal()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        tool(e, 11);
        mouse(e, Press, 25.4f, 25.4f);
        mouse(e, Move, 63.5f, 76.2f);
        QVERIFY(at(e.lineDistance, 25.4, 25.4, 63.5, 76.2) && e.lineDistance.Visible && e.lblDistance.Visible);
        QCOMPARE(e.lblDistance.Caption.get(), QStringLiteral("(0)  31.75 m "));
        QCOMPARE(e.stsTip->Panels(5).Text(), e.lblDistance.Caption.get());
        mouse(e, Release, 63.5f, 76.2f);
    }

    void rightButtonMenus()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        line(e.lineHikidashi, 0, 50, 50, 90, 70);
        shown(e.shpShape, 0).Move(200, 200, 40, 40);
        tool(e, 9);
        PopupScript popups;
        for (int k = 0; k < 4; ++k)
            popups.dismiss();
        e.pictMap_MouseDown(2, 0, 220, 220);
        QCOMPARE(popups.shown, QStringList({QStringLiteral("popMes"), QStringLiteral("popShape")}));
        QVERIFY(e.strPopObjName == QLatin1String("shpShape") && e.intPopIndex == 0);
        tool(e, 8);
        e.pictMap_MouseDown(2, 0, 70, 60);
        QCOMPARE(popups.shown.last(), QStringLiteral("popHikidashi"));
        GE_booPickDistance = true;
        e.pictMap_MouseDown(2, 0, 300, 300);
        QCOMPARE(popups.shown.last(), QStringLiteral("popDis"));
        QVERIFY(popups.allUsed());
    }

    void labelsByOneClick()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        LabelElement& first = shown(e.lblMoji, 0);  // reloaded, with a comment
        first.Caption = QStringLiteral("A ");
        first.ToolTipText = QStringLiteral("note");
        e.lblDefault.ForeColor = 0xFF;
        tool(e, 12);
        e.pictMap_MouseDown(1, 0, 70, 80);
        const int k = e.lblMoji.UBound();
        LabelElement& text = e.lblMoji(k);
        QVERIFY(k == 1 && text.Caption == QStringLiteral("New 0 ") && text.ToolTipText == QString());
        QVERIFY(text.Left == 70 && text.Top == 80 && text.ForeColor == 0xFF && text.Visible);
        QVERIFY(e.intMojiNo == 1 && e.booDrawChange);

        // A position label with no move before it: the texts of its own point.
        e.booDrawChange = false;
        tool(e, 13);
        e.pictMap_MouseDown(1, 0, 30, 40);
        LabelElement& place = e.lblKeiIdoS(e.lblKeiIdoS.UBound());
        QCOMPARE(QString(place.Tag), QStringLiteral("30,40"));
        QCOMPARE(QString(place.ToolTipText), QStringLiteral("X:") + vb::Format(30.0, QStringLiteral("#####0.###0"))
                                              + QStringLiteral(",Y:") + vb::Format(40.0, QStringLiteral("#####0.###0")));
        QVERIFY(e.booDrawChange && place.Left == 30);
    }

    void calibrationMarkers()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        e.lineCheck.X1 = 5, e.lineCheck.Y1 = 5, e.lineCheck.X2 = 55, e.lineCheck.Y2 = 5;
        centredMarker(e, 0, 5, 5);
        centredMarker(e, 1, 55, 5);
        GE_booPickHosei = true;
        e.pictMap_MouseDown(1, 0, 5, 5);
        QVERIFY(e.popHoseiL->Checked() && !e.popHoseiR->Checked() && e.intHitCheck == 0);
        QVERIFY(e.strSelObjName == QLatin1String("shpCheck") && e.lineHojo(0).Visible);
        e.pictMap_MouseMove(1, 0, 33, 44);
        QVERIFY(GE_sngHosei[0] == 33 && GE_sngHosei[1] == 44);
        GE_booPickHosei = false;
        e.popHoseiL->setChecked(false);

        GE_booPickKeiIdo = true;
        e.popTaiou1->setChecked(true);  // point 1 picked last
        GE_tpPiccel[0] = typPointS{1, 2};
        e.pictMap_MouseDown(1, 0, 55.5f, 5.5f);
        QVERIFY(e.popTaiou2->Checked() && GE_tpPiccel[1].sngX == 55.5f && GE_tpPiccel[1].sngY == 5.5f);
        QVERIFY(!e.popTaiou1->Checked() && GE_tpPiccel[0].sngX == 1 && GE_tpPiccel[0].sngY == 2);
        GE_booPickKeiIdo = false;
        e.popTaiou2->setChecked(false);

        GE_booPickDistance = true;
        e.lineCheck.X1 = 5, e.lineCheck.Y1 = 5;  // the tilt drag moved it
        e.pictMap_MouseDown(1, 0, 55, 5);
        e.pictMap_MouseMove(1, 0, 65, 5);
        QVERIFY(at(e.lineCheck, 5, 5, 65, 5));
        QCOMPARE(QString(e.lblDistance.Caption), QStringLiteral("60.00 mm"));
    }
};

QTEST_MAIN(TestMapGrab)
#include "tst_mapgrab.moc"
