// Finishing mouse actions on the map: distances, lead-out lines and shapes
// kept, polylines closed into hatched areas, moved sides re-laid, the
// calibration picks, and the tidying after a failure.

#include "tests/editor/editorfixture.h"
#include "tests/interaction/mapmouse.h"

#include "app/mdlFileAccess.h"
#include "measure/frmOption.h"
#include "measure/resulttag.h"
#include "platform/encoding.h"
#include "platform/keyboard.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

using namespace editortest;
using namespace platform;

namespace {

bool near(double a, double b) { return qAbs(a - b) <= 0.01; }

bool ends(const LineElement& l, double x1, double y1, double x2, double y2)
{
    return near(l.X1, x1) && near(l.Y1, y1) && near(l.X2, x2) && near(l.Y2, y2);
}

double value(const LabelElement& label)
{
    qint16 unit = 0, decimals = 0;
    double v = 0;
    ResultTag::subParse_ResultTag(label.Tag, unit, decimals, v);
    return v;
}

QString key(const Element& e) { return ResultTag::fncTag_Key(e.Tag); }

bool centredAt(const ShapeElement& s, double x, double y)
{
    return near(s.Left + s.Width() / 2, x) && near(s.Top + s.Height() / 2, y);
}
QLineF lineOf(const LineElement& l) { return QLineF(l.X1, l.Y1, l.X2, l.Y2); }

}  // namespace

class TestMouseUp : public QObject {
    Q_OBJECT
    editortest::Session m_session;

    static frmEdit& openEditor(QTemporaryDir& dir)
    {
        GE_sngZoom = 1.0f;
        frmEdit& e = Fixture::open();
        GE_booModeDis = true, GE_booModeKei = false;
        GE_booPickDistance = GE_booPickHosei = GE_booPickKeiIdo = false;
        GE_tpPtoD_r = {0.5, 0.5};
        GE_sngHosei = {};
        GE_dblHosei = {};
        GE_intDPointD = 2;
        GE_strUnitD = QStringLiteral("m ");
        GE_sngHojoLen = 15;
        GE_dblAspectM = 1;
        GE_booSnap = false;
        GE_strTempPath = dir.filePath(QStringLiteral("TEMP"));
        QDir().mkpath(GE_strTempPath);
        for (int k = 0; k <= 2; ++k)
            e.mnuSnap(k).setChecked(false);
        e.mnuMarker->setChecked(false);
        e.mnuHint->setChecked(false);
        e.Toolbar1->Buttons(9).setValue(1);
        return e;
    }
    static void down(frmEdit& e, float x, float y, int button = 1) { e.pictMap->MouseDown(button, 0, x, y); }
    static void move(frmEdit& e, float x, float y, int button = 0) { e.pictMap->MouseMove(button, 0, x, y); }
    static void up(frmEdit& e, float x, float y, int button = 1) { e.pictMap->MouseUp(button, 0, x, y); }
    static void click(frmEdit& e, float x, float y) { down(e, x, y), up(e, x, y); }
    static void drag(frmEdit& e, float x1, float y1, float x2, float y2)
    {
        down(e, x1, y1), move(e, x2, y2, 1), up(e, x2, y2);
    }
    // A distance measured from the first point to the second.
    static void measure(frmEdit& e, float x1, float y1, float x2, float y2)
    {
        click(e, x1, y1), move(e, x2, y2), click(e, x2, y2);
    }
    // The editor in the polyline mode with snapping on.
    static frmEdit& openPolyline(QTemporaryDir& dir)
    {
        frmEdit& e = openEditor(dir);
        GE_booSnap = true;
        e.popMesRenzoku_Click();
        return e;
    }
    // A polyline through the points: each side is begun by a press at its
    // far end (a press on the last vertex would take the extension line
    // kept there) and ended by a click after a move.
    static void polyline(frmEdit& e, std::initializer_list<QPointF> points, bool more = false)
    {
        bool first = !more;
        for (const QPointF& p : points) {
            const float x = float(p.x()), y = float(p.y());
            if (!first)
                click(e, x, y);
            move(e, x, y);
            click(e, x, y);
            first = false;
        }
    }
    // The last side, begun beside the point, closed by a move and a click there.
    static void closeAt(frmEdit& e, float x, float y) { measure(e, x + 1.5f, y + 1.5f, x, y); }
    static QFileInfo bin(const QString& k) { return QFileInfo(GE_strTempPath + QStringLiteral("/") + k + ".bin"); }
    // The editor on a stored drawing of a blank map.
    frmEdit& openStored()
    {
        Fixture& fx = *m_session.fx;
        writePicture(fx.dir.path(), QStringLiteral("map.bmp"), QSize(400, 400));
        if (fx.storeDrawing(QStringLiteral("R-1"), fx.dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        GE_tpSystem.System_Id = CurrentSystemId;
        return openEditor(fx.dir);
    }
    // Saved and closed, with the database opened again: Fixture::open() reads it back.
    void saveAndClose(frmEdit& e)
    {
        (*m_session.quiet)->answerMsgBox(vb::vbYes);
        e.mnuFileSavePrj_Click();
        e.booDrawChange = e.booPrtChange = false;
        Fixture::closeEditor();
        (*m_session.quiet)->answerMsgBox(vb::vbYes);
        mdlDB::fncDbClose();
        QCOMPARE(mdlDB::fncDbOpen(m_session.fx->dir.filePath(QStringLiteral("test.mdb"))), 0);
        GE_tpPrint = typPrint{};
        GE_tpPrint.strNo = QStringLiteral("R-1");
        GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(GE_tpPrint.strNo);
    }

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init() { QVERIFY(m_session.begin()); }
    void cleanup()
    {
        platform::clearForcedKeys();
        m_session.end();
    }

    void distance()
    {
        frmEdit& e = openEditor(m_session.fx->dir);
        click(e, 10, 10);
        QVERIFY(e.booMesDownD);  // a click without a move ends nothing
        move(e, 40, 50);
        QVERIFY(e.lineDistance.Visible);  // the line being measured shows
        click(e, 40, 50);
        const LabelElement& label = e.lblKyori(0);
        const QString k = key(label);
        QCOMPARE(label.Tag, QStringLiteral("022:25_") + k);
        QVERIFY(ends(e.lineHojoSave(0), 10, 10, 22, 1) && ends(e.lineHojoSave(1), 40, 50, 52, 41));
        QVERIFY(ends(e.lineDsSave(0), 22, 1, 52, 41));
        QVERIFY(centredAt(e.shpSnpo(0), 22, 1));
        const std::initializer_list<const Element*> kept{&label,           &e.lineDsSave(0), &e.lineHojoSave(0),
                                                         &e.lineHojoSave(1), &e.shpSnpo(0),    &e.shpSnpo(1)};
        for (const Element* el : kept)
            QVERIFY(el->Visible && key(*el) == k);
        QVERIFY(!e.lblKyori(1).Visible && !e.lineDsSave(1).Visible && !e.lineHojoSave(2).Visible);
        QVERIFY(e.booDrawChange && !e.booMesDownD && e.booMesEndD);
        QVERIFY(!e.lineDistance.Visible && !e.lblDistance.Visible && !e.lineHojo(0).Visible);
        QCOMPARE(e.stsTip->Panels(5).Text(), e.lblDistance.Caption.get());
        // A right-button release ends a moved segment; Shift keeps it level.
        click(e, 100, 100);
        platform::setKeyDown(vb::vbKeyShift, true);
        move(e, 135, 105);
        up(e, 135, 105, 2);
        platform::setKeyDown(vb::vbKeyShift, false);
        QVERIFY(ends(e.lineDistance, 100, 100, 135, 100));
        QVERIFY(near(value(e.lblKyori(1)), 17.5));
    }

    void radiusAndPreset()
    {
        frmEdit& e = openEditor(m_session.fx->dir);
        e.popMesCir_Click();
        click(e, 50, 50);
        move(e, 80, 60);
        QVERIFY(e.lineDistance.Visible);
        click(e, 90, 70);
        QVERIFY(near(value(e.lblKyori(0)), 5));
        e.dblPresetDis = 25;
        e.popMesInput->setChecked(true), e.popMesCir->setChecked(false);
        click(e, 10, 10), move(e, 70, 90);
        QVERIFY(e.lineDistance.Visible);
        click(e, 70, 90);
        QVERIFY(near(value(e.lblKyori(1)), 25));
        QVERIFY(near(e.lineHojoSave(2).X1, 10) && near(e.lineHojoSave(3).X1, 40) && near(e.lineHojoSave(3).Y1, 50));
    }

    void leadOutAndShape()
    {
        frmEdit& e = openEditor(m_session.fx->dir);
        e.Toolbar1->Buttons(10).setValue(1);
        drag(e, 10, 10, 12, 10);
        QVERIFY(!e.lineHikidashi(0).Visible && e.lineHikidashi.UBound() == 0 && !e.booDrawChange);
        e.linDefault.BorderStyle = 3;
        e.linDefault.DrawMode = 7;
        drag(e, 10, 10, 12.01f, 10);
        QVERIFY(e.lineHikidashi(0).Visible && e.lineHikidashi.UBound() == 1 && e.booDrawChange);
        const LineElement& spare = e.lineHikidashi(1);
        QVERIFY(!spare.Visible && spare.Tag.isEmpty() && spare.BorderStyle == 3 && spare.DrawMode == 7);
        platform::setKeyDown(vb::vbKeyShift, true);
        down(e, 100, 100), up(e, 140, 105);
        platform::setKeyDown(vb::vbKeyShift, false);
        QVERIFY(ends(e.lineHikidashi(1), 100, 100, 140, 100));

        e.Toolbar1->Buttons(11).setValue(1);
        down(e, 200, 200), up(e, 203, 202);
        QVERIFY(!e.shpShape(0).Visible && e.shpShape.UBound() == 0);
        down(e, 200, 200), up(e, 203, 202.01f);
        QVERIFY(e.shpShape(0).Visible && e.shpShape.UBound() == 1);
        QVERIFY(e.shpShape(1).BorderStyle == 1 && e.shpShape(1).BorderWidth == 1 && !e.shpShape(1).Visible);
    }

    void closingArea()
    {
        frmEdit& e = openPolyline(m_session.fx->dir);
        e.popHatching_Click(1);
        e.linDefault.BorderColor = 0x123456;
        polyline(e, {{10, 10}, {40, 10}, {40, 50}});
        closeAt(e, 11, 11);
        const LabelElement& area = e.lblMensekiS(0);
        const QString k = key(area);
        QVERIFY(near(value(area), 150));
        QVERIFY(near(value(e.lblKeiroS(0)), 60));
        QCOMPARE(e.linePS.UBound(), 3);
        for (int s = 0; s < 3; ++s)
            QCOMPARE(key(e.linePS(s)), k);
        QVERIFY(near(value(e.lblKyori(0)), 15) && near(value(e.lblKyori(1)), 20) && near(value(e.lblKyori(2)), 25));
        QVERIFY(near(e.lineHojoSave(4).X1, 40) && near(e.lineHojoSave(5).X1, 10) && near(e.lineHojoSave(5).Y1, 10));
        QVERIFY(!e.shpSnap.Visible && !e.booRenzoku);
        const typHatching& r = GE_tpHatching[0];
        QVERIFY(r.iPitch == 4 && r.iTilt == 45 && r.BorderWidth == 1 && r.DrawMode == 13 && r.BorderStyle == 0);
        QVERIFY(r.BorderColor == 0x123456 && r.iStyle == 1 && r.Tag == k);
        QCOMPARE(bin(k).size(), qint64(r.iUbound + 1) * 16);
        QCOMPARE(GE_tpHatching.size(), 2);
        // Style 0: no file; the record copies the one before but style and tag.
        e.popHatching_Click(0);
        GE_tpHatching[0].iPitch = 7;
        polyline(e, {{110, 10}, {140, 10}, {140, 50}});
        closeAt(e, 111, 11);
        const QString k1 = key(e.lblMensekiS(1));
        QVERIFY(k1 != k && !bin(k1).exists());
        QVERIFY(GE_tpHatching[1].iPitch == 7 && GE_tpHatching[1].iStyle == 0 && GE_tpHatching[1].Tag == k1);
    }

    void closingLoopOnly()
    {
        frmEdit& e = openPolyline(m_session.fx->dir);
        // A click near the previous side's start leaves the polyline open.
        polyline(e, {{10, 110}, {40, 110}, {40, 150}});
        closeAt(e, 41, 111);
        QVERIFY(e.lblMensekiS.UBound() == 0 && e.lineMenseki.UBound() == 3);
        e.popMesRenzoku_Click();
        // A tail, then a square closed onto the tail's end: the square alone.
        polyline(e, {{0, 0}, {20, 0}, {20, 10}, {50, 10}, {50, 40}, {20, 40}});
        closeAt(e, 20, 10);
        QVERIFY(near(value(e.lblMensekiS(0)), 225));
        QVERIFY(near(value(e.lblKeiroS(0)), 60));
        const QString k = key(e.lblMensekiS(0));
        int sides = 0;
        for (int s = 0; s < e.linePS.UBound(); ++s)
            sides += key(e.linePS(s)) == k;
        QCOMPARE(sides, 4);
        // The tail's distances went with it: each left lies on the square.
        int distances = 0;
        for (int i = 0; i < e.lblKyori.UBound(); ++i) {
            if (key(e.lblKyori(i)) != k)
                continue;
            ++distances;
            for (int j : {2 * i, 2 * i + 1})
                QVERIFY(e.lineHojoSave(j).X1 > 19.99f && e.lineHojoSave(j).Y1 > 9.99f);
        }
        QCOMPARE(distances, 4);
    }

    void sideMoved_data()
    {
        QTest::addColumn<bool>("skipSecond");
        QTest::newRow("every side measured") << false;
        QTest::newRow("second side without distance") << true;
    }
    void sideMoved()
    {
        QFETCH(bool, skipSecond);
        frmEdit& e = openPolyline(m_session.fx->dir);
        e.popHatching_Click(1);
        polyline(e, {{10, 10}, {40, 10}});
        e.popMesPutSen->setChecked(!skipSecond);
        polyline(e, {{40, 40}}, true);
        e.popMesPutSen->setChecked(true);
        polyline(e, {{10, 40}}, true);
        closeAt(e, 10, 10);
        const QString k = key(e.lblMensekiS(0));
        const auto bytes = [&] { return testsupport::fileBytes(bin(k).filePath()); };
        const QByteArray before = bytes();
        QVERIFY(near(value(e.lblMensekiS(0)), 225));
        if (!skipSecond) {
            // The right side dragged 10 right by its body.
            drag(e, 40, 20, 50, 20);
            QVERIFY(ends(e.linePS(0), 10, 10, 50, 10) && ends(e.linePS(2), 50, 40, 10, 40));
            QVERIFY(near(value(e.lblMensekiS(0)), 300));
            QVERIFY(near(value(e.lblKyori(0)), 20) && near(value(e.lblKyori(1)), 15)
                    && near(value(e.lblKyori(2)), 20));
            QVERIFY(near(qAbs(e.lineDsSave(1).X1 - 50), 15));
            QVERIFY(!before.isEmpty() && bytes() != before);
        } else {
            // The third side dragged down: the first side's distance stays.
            const QLineF first = lineOf(e.lineDsSave(0));
            drag(e, 25, 40, 25, 50);
            QCOMPARE(lineOf(e.lineDsSave(0)), first);
            QVERIFY(near(value(e.lblKyori(0)), 15) && near(value(e.lblKyori(1)), 15)
                    && near(value(e.lblKyori(2)), 20));
            QVERIFY(near(value(e.lblMensekiS(0)), 300));
        }
        QVERIFY(!e.booMesDownD && !e.booDrag);
    }

    void distanceEdited()
    {
        frmEdit& e = openEditor(m_session.fx->dir);
        measure(e, 10, 10, 40, 50);
        // The dimension line dragged by its body: markers and far ends follow.
        drag(e, 28, 9, 38, 9);
        QVERIFY(ends(e.lineDsSave(0), 32, 1, 62, 41));
        QVERIFY(ends(e.lineHojoSave(0), 10, 10, 32, 1) && ends(e.lineHojoSave(1), 40, 50, 62, 41));
        QVERIFY(centredAt(e.shpSnpo(1), 62, 41));
        QVERIFY(e.booDrawChange && !e.booDrag);
        // Extension line 1 taken at its start and moved: the distance measured again.
        drag(e, 40, 50, 40, 10);
        QVERIFY(near(value(e.lblKyori(0)), 15));
        QVERIFY(near(e.lineHojoSave(1).X1, 40) && near(e.lineHojoSave(1).Y1, 10));
        // Flipped to the other side, then that end pressed and released in
        // place: the dimension stays where the flip put it.
        e.intPopIndex = 0;
        e.popEditRev_Click();
        const QLineF flipped = lineOf(e.lineDsSave(0));
        e.booDrawChange = false;
        click(e, 40, 10);
        QCOMPARE(lineOf(e.lineDsSave(0)), flipped);
        QVERIFY(!e.booDrawChange);
    }

    // A distance label given its own unit and decimals keeps them when it is
    // laid out again: a side distance when the side beside it moves, a
    // distance flipped and then its extension line's end dragged.
    void distanceKeepsItsOwnUnit_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("caption");  // of 20 m
        QTest::newRow("ft., 2 decimals") << 5 << 2 << QStringLiteral(" 65.62 ft. ");
        QTest::newRow("間, 3 decimals") << 12 << 3 << QStringLiteral(" 11.000 間 ");
    }
    void distanceKeepsItsOwnUnit()
    {
        QFETCH(int, unit);
        QFETCH(int, decimals);
        QFETCH(QString, caption);
        frmEdit& e = openStored();
        measure(e, 100, 100, 100, 160);
        GE_booSnap = true;
        e.popMesRenzoku_Click();
        polyline(e, {{10, 10}, {40, 10}, {40, 40}, {10, 40}});
        closeAt(e, 10, 10);
        LabelElement& alone = e.lblKyori(0);
        LabelElement& top = e.lblKyori(1);
        for (LabelElement* label : {&alone, &top}) {
            const auto own = ResultTag::fncChg_DecimalPoint(
                ResultTag::fncChg_UnitDistance(label->Tag, qint16(unit)).tag, qint16(decimals), false);
            label->Caption = own.caption, label->Tag = own.tag;
        }
        drag(e, 40, 20, 50, 20);  // the top side grows from 15 m to 20 m
        e.intPopIndex = 0;
        e.popEditRev_Click();
        drag(e, 100, 160, 100, 140);  // 30 m to 20 m
        const QString head = QStringLiteral("%1%2:").arg(unit, 2, 10, QLatin1Char('0')).arg(decimals);
        for (const LabelElement* label : {&alone, &top}) {
            QCOMPARE(label->Caption.get(), caption);
            QVERIFY(label->Tag.startsWith(head));
        }
        const QStringList kept{alone.Tag, top.Tag};
        saveAndClose(e);
        frmEdit& r = Fixture::open();
        // Stored without their outer blanks, the captions come back as shown.
        QCOMPARE((QStringList{r.lblKyori(0).Caption, r.lblKyori(1).Caption}), (QStringList{caption, caption}));
        QCOMPARE((QStringList{r.lblKyori(0).Tag, r.lblKyori(1).Tag}), kept);
    }

    void routeAndPlainAreaMoved()
    {
        frmEdit& e = openPolyline(m_session.fx->dir);
        polyline(e, {{10, 10}, {40, 10}, {40, 40}});
        e.popMesDisCal_Click();
        QVERIFY(near(value(e.lblKeiroS(0)), 30));
        // A route's side: only the route label follows.
        drag(e, 40, 25, 50, 25);
        QVERIFY(near(value(e.lblKeiroS(0)), 35));
        // In centimetres of its own, it stays in them.
        const auto cm = ResultTag::fncChg_UnitDistance(e.lblKeiroS(0).Tag, 1);
        e.lblKeiroS(0).Tag = cm.tag;
        drag(e, 50, 25, 60, 25);
        QCOMPARE(e.lblKeiroS(0).Caption.get(), QStringLiteral(" 4,000.00 cm "));
        QCOMPARE(e.lblMensekiS.UBound(), 0);
        // An area without hatching: its value, and no file.
        e.popMesRenzoku_Click();
        e.popHatching_Click(0);
        polyline(e, {{110, 10}, {140, 10}, {140, 40}, {110, 40}});
        closeAt(e, 110, 10);
        const QString k = key(e.lblMensekiS(0));
        drag(e, 140, 25, 150, 25);
        QVERIFY(near(value(e.lblMensekiS(0)), 300) && !bin(k).exists());
        // The label given its own unit and decimals: a side clicked without
        // a move recomputes nothing, a moved side keeps them.
        LabelElement& label = e.lblMensekiS(0);
        const auto own = ResultTag::fncChg_DecimalPoint(ResultTag::fncChg_UnitArea(label.Tag, 11).tag, 3, true);
        label.Caption = own.caption, label.Tag = own.tag;
        const QPointF place(label.Left, label.Top);
        click(e, 150, 25);
        QVERIFY(label.Caption == own.caption && label.Tag == own.tag && QPointF(label.Left, label.Top) == place);
        drag(e, 150, 25, 160, 25);
        QCOMPARE(label.Caption.get(), QStringLiteral(" 113.438 坪 "));
        QVERIFY(label.Tag.startsWith(QStringLiteral("113:113.43")) && key(label) == k);
    }

    // A press and release within a few pixels of an area's corner, with real
    // mouse events, changes nothing: the sides, the results and the saved
    // rows stay, and the drawing is not marked. A drag then moves that end
    // by the pointer's travel, and the neighbouring side with it.
    void pressOnACorner_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("off");  // pixels beside the corner
        QTest::newRow("25 %, 1 px") << 7 << 1;
        QTest::newRow("25 %, 3 px") << 7 << 3;
        QTest::newRow("100 %, 2 px") << 4 << 2;
    }
    void pressOnACorner()
    {
        QFETCH(int, preset);
        QFETCH(int, off);
        frmEdit& e = openStored();
        measure(e, 200, 160, 260, 180);  // a straight distance
        GE_booSnap = true;
        e.popMesRenzoku_Click();
        e.popHatching_Click(1);
        polyline(e, {{100, 100}, {160, 100}, {160, 140}, {100, 140}});
        closeAt(e, 100, 100);
        GE_booSnap = false;
        QVERIFY(near(value(e.lblMensekiS(0)), 600) && near(value(e.lblKeiroS(0)), 100));
        // A text label, a shape and a lead-out line of the user's.
        mapmouse::tool(e, 12);
        click(e, 40, 200);
        mapmouse::tool(e, 11);
        drag(e, 250, 250, 300, 280);
        mapmouse::tool(e, 10);
        drag(e, 40, 300, 100, 320);
        mapmouse::tool(e, 9);
        const LabelElement& text = e.lblMoji(e.lblMoji.UBound());
        const ShapeElement& shape = e.shpShape(e.shpShape.UBound() - 1);
        const LineElement& lead = e.lineHikidashi(e.lineHikidashi.UBound() - 1);
        QVERIFY(text.Visible && shape.Visible && lead.Visible);
        const auto rows = [] {
            QStringList all;
            const std::pair<const char*, QList<const char*>> tables[] = {
                {"tLine", {"X1", "Y1", "X2", "y2"}},
                {"tLabel", {"sngLeft", "sngTop", "strCaption"}},
                {"tShape", {"sngLeft", "sngTop", "Width", "Height"}}};
            for (const auto& [table, fields] : tables) {
                auto rs = GE_objConnection->openRecordset(
                    QStringLiteral("SELECT * FROM %1 WHERE Print_Id = %2 ORDER BY strObjName, intIndex")
                        .arg(QLatin1String(table))
                        .arg(GE_tpPrint.Print_Id));
                for (; !rs.eof(); rs.moveNext()) {
                    QString row = rs[QStringLiteral("strObjName")].toString();
                    if (!rs[QStringLiteral("Tag")].isNull())  // a text label or user shape has none
                        row += rs[QStringLiteral("Tag")].toString();
                    for (const char* f : fields)
                        row += QLatin1Char(' ') + rs[QLatin1String(f)].toString();
                    all << row;
                }
            }
            return all;
        };
        const auto save = [&] {
            (*m_session.quiet)->answerMsgBox(vb::vbYes);
            e.mnuFileSavePrj_Click();
        };
        save();
        const QStringList saved = rows();
        QVERIFY(saved.size() > 10);
        e.mnuDispEandR_Click(preset);
        const auto results = [&e, &text, &shape] {
            QStringList all{e.lblMensekiS(0).Tag, e.lblKeiroS(0).Tag, e.lblMensekiS(0).Caption, e.lblKeiroS(0).Caption};
            for (int i = 0; i < e.lblKyori.UBound(); ++i)
                all << e.lblKyori(i).Tag + QLatin1Char(' ') + QString::number(e.lblKyori(i).Left, 'g', 9)
                        + QLatin1Char(',') + QString::number(e.lblKyori(i).Top, 'g', 9);
            for (const QRectF& r : {QRectF(text.Left, text.Top, text.Width(), text.Height()),
                                    QRectF(shape.Left, shape.Top, shape.Width(), shape.Height())})
                all << QString::number(r.x()) + "," + QString::number(r.y()) + "," + QString::number(r.width()) + ","
                           + QString::number(r.height());
            for (const auto* lines : {&e.linePS, &e.lineDsSave, &e.lineHikidashi}) {
                for (int s = 0; s < lines->UBound(); ++s) {
                    const LineElement& l = (*lines)(s);
                    all << QString::number(l.X1) + "," + QString::number(l.Y1) + "," + QString::number(l.X2) + ","
                               + QString::number(l.Y2);
                }
            }
            return all;
        };
        const QStringList before = results();
        e.booDrawChange = false;
        // Beside the top-right corner, the end of the first side.
        const float z = GE_sngZoom;
        const QPoint corner = e.pictMap->toDevice(160 * z, 100 * z).toPoint();
        const QPointF press = e.pictMap->fromDevice(QPointF(corner + QPoint(off, -off)));
        const QPointF pressed = mapmouse::mouse(e, mapmouse::Press, float(press.x()), float(press.y()));
        QVERIFY(e.strSelObjName == QLatin1String("linePS") && e.intGripLine == 2);
        QVERIFY(e.shpPointer(1).Visible);
        mapmouse::mouse(e, mapmouse::Release, float(press.x()), float(press.y()));
        QCOMPARE(results(), before);
        QVERIFY(!e.booDrawChange);
        // So does one beside the straight distance's measured end, which takes the distance up.
        const LineElement& extension = e.lineHojoSave(1);
        const QPoint end = e.pictMap->toDevice(extension.X1, extension.Y1).toPoint() + QPoint(off, off);
        const QPointF beside = e.pictMap->fromDevice(QPointF(end));
        mapmouse::mouse(e, mapmouse::Press, float(beside.x()), float(beside.y()));
        QVERIFY(e.strSelObjName == QLatin1String("lineHojoSave") && e.intHojoKyori == 0);
        mapmouse::mouse(e, mapmouse::Release, float(beside.x()), float(beside.y()));
        QCOMPARE(results(), before);
        QVERIFY(!e.booDrawChange);
        // Nor do presses beside a text label's or a shape's corner, a
        // lead-out line's end, on the top side's dimension line by its
        // start, clear of its label, or on the straight distance's label.
        const auto device = [&e](double x, double y) { return e.pictMap->toDevice(x, y).toPoint(); };
        const LineElement& dimension = e.lineDsSave(1);
        const LabelElement& distance = e.lblKyori(0);
        const QPoint nearby[] = {device(text.Left, text.Top) + QPoint(-off, -off),
                                 device(shape.Left, shape.Top) + QPoint(-off, -off),
                                 device(lead.X2, lead.Y2) + QPoint(off, off),
                                 device(dimension.X1, dimension.Y1) + QPoint(off + 5, 0),
                                 device(distance.Left + distance.Width() / 2, distance.Top + distance.Height() / 2)};
        const char* grabbedNames[] = {"lblMoji", "shpShape", "lineHikidashi", "lineDsSave", "lblKyori"};
        for (int k = 0; k < 5; ++k) {
            const QPointF p = e.pictMap->fromDevice(QPointF(nearby[k]));
            mapmouse::mouse(e, mapmouse::Press, float(p.x()), float(p.y()));
            QCOMPARE(e.strSelObjName, QString::fromLatin1(grabbedNames[k]));
            QVERIFY(k > 1 || (e.intGripLabel == 1 || e.intGripRect == 1));
            // A pointer that reports a move without leaving the pixel.
            mapmouse::mouse(e, mapmouse::Move, float(p.x()), float(p.y()), Qt::LeftButton);
            mapmouse::mouse(e, mapmouse::Release, float(p.x()), float(p.y()));
            QCOMPARE(results(), before);
            QVERIFY(!e.booDrawChange);
        }
        save();
        QCOMPARE(rows(), saved);
        // 20 pixels to the left, a text label's and a shape's top-left corner
        // go exactly as far from where they stood; the shape's right side stays.
        for (int k = 0; k < 2; ++k) {
            const auto corner = [&] { return k == 0 ? QPointF(text.Left, text.Top) : QPointF(shape.Left, shape.Top); };
            const QPointF stood = e.pictMap->toDevice(corner().x(), corner().y());
            const double right = shape.Left + shape.Width();
            const QPointF from = e.pictMap->fromDevice(QPointF(nearby[k]));
            const QPointF there = e.pictMap->fromDevice(QPointF(nearby[k] + QPoint(-20, 0)));
            mapmouse::mouse(e, mapmouse::Press, float(from.x()), float(from.y()));
            mapmouse::mouse(e, mapmouse::Move, float(there.x()), float(there.y()));
            mapmouse::mouse(e, mapmouse::Release, float(there.x()), float(there.y()));
            const QPointF now = e.pictMap->toDevice(corner().x(), corner().y());
            QVERIFY(qAbs(now.x() - stood.x() + 20) < 1e-3 && qAbs(now.y() - stood.y()) < 1e-3);
            QVERIFY(k == 0 || mapmouse::near(shape.Left + shape.Width(), right));
            QVERIFY(e.booDrawChange);
            e.booDrawChange = false;
        }

        // 20 pixels to the right: the end and the next side's start go as far.
        const QPointF to = e.pictMap->fromDevice(QPointF(corner + QPoint(off + 20, -off)));
        mapmouse::mouse(e, mapmouse::Press, float(press.x()), float(press.y()));
        const QPointF moved = mapmouse::mouse(e, mapmouse::Move, float(to.x()), float(to.y()));
        mapmouse::mouse(e, mapmouse::Release, float(to.x()), float(to.y()));
        const double travel = moved.x() - pressed.x();
        QVERIFY(qAbs(e.pictMap->toDevice(travel, 0).x() - e.pictMap->toDevice(0, 0).x() - 20) < 1e-3);
        QVERIFY(moved.y() == pressed.y());
        const LineElement &side = e.linePS(0), &next = e.linePS(1);
        QVERIFY(mapmouse::near(side.X2, 160 * z + travel) && mapmouse::near(side.Y2, 100 * z));
        QVERIFY(next.X1 == side.X2 && next.Y1 == side.Y2 && mapmouse::near(next.X2, 160 * z));
        QVERIFY(e.booDrawChange && value(e.lblMensekiS(0)) > 600);
        // The area's label, placed again at this zoom, stands centred across the outline.
        const LabelElement& area = e.lblMensekiS(0);
        const double across = e.pictMap->toDevice(area.Left + area.Width() / 2 - (100 * z + side.X2) / 2, 0).x();
        QVERIFY(qAbs(across - e.pictMap->toDevice(0, 0).x()) < 1);
    }

    void roundTripAtZoom2()
    {
        frmEdit& e = openStored();
        e.mnuDispEandR_Click(0);
        QCOMPARE(GE_sngZoom, 2.0f);
        GE_booSnap = true;
        // A font chosen on the sheet: the first distance, element 0 once
        // stored, is kept in it.
        e.lblDefault.FontSize = 24;
        measure(e, 20, 20, 80, 100);
        e.popMesRenzoku_Click();
        e.popHatching_Click(5);
        polyline(e, {{200, 20}, {260, 20}, {260, 100}});
        closeAt(e, 200, 20);
        e.popMesRenzoku_Click();
        polyline(e, {{20, 200}, {80, 200}, {80, 280}});
        e.popMesDisCal_Click();
        e.Toolbar1->Buttons(10).setValue(1);
        down(e, 300, 300), up(e, 340, 300);
        down(e, 300, 350), up(e, 302, 350);  // too small: no row
        e.Toolbar1->Buttons(11).setValue(1);
        down(e, 300, 400), up(e, 320, 440);
        QCOMPARE(e.lblKyori.UBound(), 6);  // one distance, three area sides, two route sides
        struct Kept {
            QString tag;
            QList<float> stored;  // coordinates at zoom 1
        };
        const auto line = [](const LineElement& l, float z) {
            return Kept{l.Tag, {l.X1 / z, l.Y1 / z, l.X2 / z, l.Y2 / z}};
        };
        const auto shape = [](const ShapeElement& s, float z) {
            return Kept{s.Tag, {s.Left / z, s.Top / z, s.Width() / z, s.Height() / z}};
        };
        const auto label = [](const LabelElement& l) { return Kept{l.Tag, {}}; };
        const auto take = [&](frmEdit& f, float z) {
            QList<Kept> all;
            for (int k = 0; k < f.lineDsSave.UBound(); ++k)
                all << line(f.lineDsSave(k), z) << line(f.lineHojoSave(2 * k), z) << label(f.lblKyori(k));
            for (int k = 0; k < f.linePS.UBound(); ++k)
                all << line(f.linePS(k), z);
            all << line(f.lineHikidashi(0), z) << shape(f.shpShape(0), z) << label(f.lblMensekiS(0))
                << label(f.lblKeiroS(0));
            return all;
        };
        const QList<Kept> before = take(e, 2.0f);
        QVERIFY(near(before[1].stored[0], 10) && near(before[1].stored[1], 10) && near(value(e.lblKyori(0)), 25));
        const QString area = key(e.lblMensekiS(0));
        const QString binFile = bin(area).filePath();
        const QByteArray segments = testsupport::fileBytes(binFile);
        QVERIFY(!segments.isEmpty());

        saveAndClose(e);
        QFile::remove(bin(area).filePath());
        frmEdit& r = Fixture::open();
        const QList<Kept> after = take(r, GE_sngZoom);
        QCOMPARE(after.size(), before.size());
        for (int k = 0; k < before.size(); ++k) {
            QCOMPARE(after[k].tag, before[k].tag);
            for (int c = 0; c < before[k].stored.size(); ++c)
                QVERIFY2(near(after[k].stored[c], before[k].stored[c]), qPrintable(before[k].tag));
        }
        QCOMPARE(r.lineHikidashi.UBound(), 1);
        QCOMPARE(GE_tpHatching.size(), r.lblMensekiS.UBound() + 1);
        QCOMPARE(GE_tpHatching[0].Tag, area);
        QCOMPARE(testsupport::fileBytes(binFile), segments);

        // Reopened, the template is back to its own font; a square closed by
        // the area command gets every side label in that font, each centred
        // on its dimension line.
        const int first = r.lblKyori.UBound();
        GE_booSnap = true;
        r.Toolbar1->Buttons(9).setValue(1);
        r.popMesRenzoku_Click();
        polyline(r, {{100, 100}, {300, 100}, {300, 300}, {100, 300}});
        r.popMesMenCal_Click();
        QCOMPARE(r.lblKyori.UBound(), first + 4);
        for (int k = first; k < first + 4; ++k) {
            const LabelElement& l = r.lblKyori(k);
            const LineElement& d = r.lineDsSave(k);
            QCOMPARE(l.FontSize.get(), r.lblDefault.FontSize * GE_sngZoom);
            QVERIFY(qAbs(l.Left + l.Width() / 2 - (d.X1 + d.X2) / 2) < 1);
            QVERIFY(qAbs(l.Top + l.Height() / 2 - (d.Y1 + d.Y2) / 2) < 1);
        }
    }

    // The units and the extension-line length set for a drawing come back
    // with it in a new editor: its new results, the preset item, the
    // length's tick and the distance list's header all name them.
    void unitsComeBackWithTheDrawing()
    {
        frmEdit& e = openStored();
        frmOption& o = Instance<frmOption>::get();  // loaded with the drawing
        o.optUnitD(12).setValue(true);
        o.optUnitS(11).setValue(true);
        QCOMPARE(e.popMesInput->Caption(), QStringLiteral("50 間 "));
        e.popMesHj05_Click();
        GE_booSnap = true;
        saveAndClose(e);
        frmEdit& r = Fixture::open();
        QCOMPARE(r.popMesInput->Caption(), QStringLiteral("50 間 "));
        QVERIFY(r.popMesHj05->Checked() && !r.popMesHj15->Checked());
        r.Toolbar1->Buttons(9).setValue(1);
        measure(r, 10, 10, 40, 50);
        r.popMesRenzoku_Click();
        polyline(r, {{110, 10}, {140, 10}, {140, 40}});
        r.popMesDisCal_Click();
        r.popMesRenzoku_Click();
        polyline(r, {{210, 10}, {240, 10}, {240, 40}});
        closeAt(r, 211, 11);
        for (const LabelElement* label : {&r.lblKyori(0), &r.lblKeiroS(0)})
            QVERIFY2(label->Caption.get().endsWith(QStringLiteral(" 間 ")), qPrintable(label->Caption.get()));
        QVERIFY2(r.lblMensekiS(0).Caption.get().endsWith(QStringLiteral(" 坪 ")),
                 qPrintable(r.lblMensekiS(0).Caption.get()));
        const QString list = m_session.fx->dir.filePath(QStringLiteral("kyori.csv"));
        r.subCsvOut_Kyori(list);
        QVERIFY(platform::encoding::decodeCp932(testsupport::fileBytes(list))
                    .startsWith(QStringLiteral("№,コメント,x1(間 ),y1(間 ),x2(間 ),y2(間 ),L(間 ),X1(mm)")));
    }

    void calibration()
    {
        frmEdit& e = openEditor(m_session.fx->dir);
        GE_booPickHosei = true;
        e.intHitCheck = 0;
        e.popHoseiL->setChecked(true);
        up(e, 3, 4);  // in the part of the map in view
        QVERIFY(GE_sngHosei[0] == 3 && GE_sngHosei[1] == 4);
        QVERIFY(!e.popHoseiL->Checked() && !e.popHoseiR->Checked());
        GE_booPickHosei = false, GE_booPickKeiIdo = true;
        e.intHitCheck = 1;
        e.popTaiou2->setChecked(true);
        up(e, 5, 6);
        QVERIFY(GE_tpPiccel[1].sngX == 5 && GE_tpPiccel[1].sngY == 6 && !e.popTaiou2->Checked());
        // Known distances: the check line's ends, whichever pair; only the
        // horizontal pair rewrites the options window's tilt points.
        GE_booPickKeiIdo = false, GE_booPickDistance = true;
        frmOption& o = Instance<frmOption>::get();
        o.txtHosei(0).setText(QStringLiteral("x"));
        e.popDisX->setChecked(false), e.popDisY->setChecked(true);
        e.lineCheck.X1 = 1, e.lineCheck.Y1 = 2, e.lineCheck.X2 = 3, e.lineCheck.Y2 = 4;
        up(e, 9, 9);
        QVERIFY((GE_sngHosei == std::array<float, 4>{1, 2, 3, 4}));
        QVERIFY(centredAt(e.shpCheck(1), 3, 4));
        QCOMPARE(o.txtHosei(0).Text(), QStringLiteral("x"));
        e.popDisX->setChecked(true), e.popDisY->setChecked(false);
        up(e, 9, 9);
        QCOMPARE(o.txtHosei(0).Text(), QStringLiteral("1"));
        QCOMPARE(o.txtHosei(3).Text(), QStringLiteral("4"));
        GE_booPickDistance = false;
        o.unload();
    }

    void failureTidies()
    {
        frmEdit& e = openPolyline(m_session.fx->dir);
        polyline(e, {{10, 10}, {40, 10}, {40, 50}});
        GE_intDPointS = 20;  // the area caption fails
        auto& ui = *m_session.quiet;
        const qsizetype boxes = ui->boxes.size();
        closeAt(e, 11, 11);
        GE_intDPointS = 2;
        QCOMPARE(ui->boxes.size(), boxes + 1);
        QVERIFY(!e.booMesMoveD && !e.booMesMoveK && !e.booMesDownD && !e.booDrag);
        QCOMPARE(e.shpPointer(0).FillStyle.get(), 1);
        QVERIFY(!e.lineDistance.Visible);
        const int kept = e.lblKyori.UBound();
        click(e, 60, 60);
        click(e, 60, 60);
        QCOMPARE(e.lblKyori.UBound(), kept);
    }
};

QTEST_MAIN(TestMouseUp)
#include "tst_mouseup.moc"
