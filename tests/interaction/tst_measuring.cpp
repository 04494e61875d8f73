// Measuring on the map: the measuring menu, the rubber band of each mode,
// the polyline closed as an area or a route, and clearing every measurement.

#include "tests/interaction/mapmouse.h"

#include "interaction/measuring.h"
#include "measure/hatchcache.h"
#include "measure/resulttag.h"
#include "measure/settingsmenus.h"
#include "objects/dlgInput.h"
#include "platform/files.h"

#include <QPushButton>

using namespace editortest;
using namespace mapmouse;
using namespace platform;

namespace {

double valueOf(const QString& tag)
{
    qint16 unit = 0, decimals = 0;
    double value = 0;
    ResultTag::subParse_ResultTag(tag, unit, decimals, value);
    return value;
}

// Answers the next input dialog: the text, then OK or cancel.
void answer(ModalScript& script, const QString& text, bool ok)
{
    script.push([text, ok](Form& f) {
        auto& d = static_cast<dlgInput&>(f);
        d.txtInput->setText(text);
        (ok ? d.OKButton : d.CancelButton)->button()->click();
    });
}

// Sides (10, 10)-(40, 10)-(40, 50) as the mouse-up leaves them: fixed, then
// the hidden next side.
void laySides(frmEdit& e)
{
    auto side = [&](int k, float x1, float y1, float x2, float y2) {
        if (!e.lineMenseki.exists(k))
            e.lineMenseki.Load(k);
        LineElement& l = e.lineMenseki(k);
        l.X1 = x1, l.Y1 = y1, l.X2 = x2, l.Y2 = y2;
        l.BorderStyle = 1;
        l.Visible = true;
    };
    side(0, 10, 10, 40, 10);
    side(1, 40, 10, 40, 50);
    e.lineMenseki.Load(2);
    e.lineMenseki(2).Visible = false;
    e.lineMenseki(2).Tag = QString();
}

// A click of the left button at a map point, as the user gives it; the
// point the press reached.
QPointF click(frmEdit& e, const QPointF& p)
{
    const QPointF at = mouse(e, Press, float(p.x()), float(p.y()));
    mouse(e, Release, float(p.x()), float(p.y()));
    return at;
}

// A press and a release given to the widget under the map point, as the
// window system gives them: whatever lies over the map there would take them.
void clickUnder(frmEdit& e, const QPointF& p)
{
    QWidget* window = e.pictMap->window();
    const QPoint at = e.pictMap->mapTo(window, e.pictMap->toDevice(p.x(), p.y()).toPoint() + QPoint(2, 2));
    QWidget* under = window->childAt(at);
    QVERIFY(under);
    QTest::mousePress(under, Qt::LeftButton, Qt::NoModifier, under->mapFrom(window, at));
    QTest::mouseRelease(under, Qt::LeftButton, Qt::NoModifier, under->mapFrom(window, at));
}

QPointF moveTo(frmEdit& e, const QPointF& p) { return mouse(e, Move, float(p.x()), float(p.y()), Qt::NoButton); }
QPointF moveAndClick(frmEdit& e, const QPointF& p) { moveTo(e, p); return click(e, p); }

template <class T>
int countKeyed(const ElementArray<T>& a, const QString& key)
{
    int n = 0;
    for (int k = 0; k <= a.UBound(); ++k)
        n += a.exists(k) && a(k).Visible && ResultTag::fncTag_Key(a(k).Tag) == key;
    return n;
}

}  // namespace

class TestMeasuring : public QObject {
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
        vb::SetClock(QDateTime(QDate(2024, 5, 6), QTime(10, 15, 30)));
        clearForcedKeys();
    }
    void cleanup()
    {
        clearForcedKeys();
        vb::SetClock(QDateTime());
        QCOMPARE((*m_s.quiet)->unexpected, QStringList());
        m_s.end();
        GE_tpHatching.clear();
        GE_sngZoom = 1.0f;
        mdlFileAccess::subKill_Bin();
    }

    void presetEntryRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("current");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        QTest::newRow("typed") << "120" << 0.0 << true << 120.0;
        QTest::newRow("cancel, none yet: the caption's") << "" << 0.0 << true << 50.0;
        QTest::newRow("cancel keeps") << "" << 30.0 << false << 0.0;
        QTest::newRow("negative is a cancel") << "-5" << 30.0 << false << 0.0;
        QTest::newRow("zero, none yet") << "0" << 0.0 << true << 50.0;
    }
    void presetEntryRules()
    {
        QFETCH(QString, typed);
        QFETCH(double, current);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        const interaction::typPresetEntry entry = interaction::fncPreset_Entry(typed, current, QStringLiteral("50 m "));
        QCOMPARE(entry.accepted, accepted);
        QCOMPARE(entry.value, value);
        QCOMPARE(interaction::fncCaption_Number(QStringLiteral("12.5m")), 0.0f);
        // Another unit: a preset held in the unit keeps its number, one held in metres is restated.
        QCOMPARE(measure::fncPreset_Caption(QStringLiteral("120 m "), QStringLiteral("間 "), 0, 1),
                 QStringLiteral("120 間 "));
        QCOMPARE(measure::fncPreset_Caption(QStringLiteral("120 m "), QStringLiteral("km "), 120, 0.001),
                 QStringLiteral("0.12 km "));
        const interaction::typRect c = interaction::fncCircle_Box(50, 50, 60, 1.5);
        QVERIFY(c.Height == 20 && c.Width == 30 && c.Top == 40 && c.Left == 35);
    }

    void menuModesAndPreset()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        e.popMesRenzoku_Click();
        QVERIFY(e.popMesPutMen->Enabled() && e.popMesPutMen->Checked());
        tool(e, 9);
        QVERIFY(e.popMesLine->Checked() && !e.popMesRenzoku->Checked() && !e.popMesPutMen->Enabled());
        e.popMesPutMen->setChecked(false);
        e.popMesPutMen_Click();
        QVERIFY(!e.popMesPutMen->Checked());
        {
            ModalScript script;
            answer(script, QString(), false);  // no preset yet: the caption's 50
            e.popMesInput_Click();
            QCOMPARE(e.dblPresetDis, 50.0);
            answer(script, QStringLiteral("120"), true);
            e.popMesInput_Click();
            QCOMPARE(e.popMesInput->Caption(), QStringLiteral("120 m "));
            QCOMPARE(e.stsTip->Panels(6).Text(), QStringLiteral("測定:規定の距離"));
            for (const QString& typed : {QString(), QStringLiteral("-5")}) {
                answer(script, typed, typed.isEmpty() ? false : true);
                e.popMesInput_Click();
                QVERIFY(e.dblPresetDis == 120 && e.popMesInput->Caption() == QStringLiteral("120 m "));
                QVERIFY(e.popMesInput->Checked());
            }
        }
        // A real change of the stored length marks the drawing.
        e.popMesHj15_Click();
        QVERIFY(!e.booDrawChange);
        e.popMesHj20_Click();
        QVERIFY(e.booDrawChange && GE_sngHojoLen == 20 && e.popMesHj20->Checked() && !e.popMesHj15->Checked());
    }

    void rubberBands()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        tool(e, 9);
        e.pictMap_MouseDown(1, 0, 10, 10);
        QVERIFY(e.booMesDownD && e.lineHojo(0).Visible);
        e.pictMap_MouseMove(0, 0, 40, 50);
        e.pictMap_MouseMove(0, 0, 40, 50);  // centred with the width of its new caption
        QVERIFY(at(e.lineDistance, 10, 10, 40, 50));
        const QList<QPointF> ends{{22, 1}, {52, 41}, {-2, 19}, {28, 59}};
        for (int k = 0; k <= 3; ++k)
            QVERIFY(near(e.lineHojo(k).X2, ends[k].x()) && near(e.lineHojo(k).Y2, ends[k].y()));
        QVERIFY(near(valueOf(e.lblDistance.Tag), 25));
        QVERIFY(near(centre(e.lblDistance).x(), 25) && near(centre(e.lblDistance).y(), 30));
        shift(true);
        e.pictMap_MouseMove(0, 0, 45, 15);
        shift(false);
        QVERIFY(at(e.lineDistance, 10, 10, 45, 10) && near(valueOf(e.lblDistance.Tag), 17.5));

        // A zoom ends the measurement under way.
        GE_sngZoom = 2.0f;
        e.subReset_ViewMode();
        QVERIFY(!e.booMesDownD && !e.booMesMoveD);
        e.pictMap_MouseDown(1, 0, 20, 20);
        e.pictMap_MouseMove(0, 0, 80, 100);
        QVERIFY(near(valueOf(e.lblDistance.Tag), 25));
        QCOMPARE(e.stsTip->Panels(2).Text(), QStringLiteral("X:") + vb::Format(40.0, QStringLiteral("#####0.###0")));
        QCOMPARE(e.stsTip->Panels(3).Text(), QStringLiteral("Y:") + vb::Format(50.0, QStringLiteral("#####0.###0")));
        GE_sngZoom = 1.0f;
        e.subReset_ViewMode();

        e.popMesCir_Click();
        e.pictMap_MouseDown(1, 0, 50, 50);
        QVERIFY(e.shpCircle.Visible);
        for (float x : {80.0f, 90.0f}) {
            e.pictMap_MouseMove(0, 0, x, 60);
            QVERIFY(e.shpCircle.Height() == 20 && e.shpCircle.Width() == 20);
            QVERIFY(e.shpCircle.Top == 40 && e.shpCircle.Left == 40);
        }
        e.subReset_ViewMode();

        e.dblPresetDis = 25;
        e.popMesLine->setChecked(false), e.popMesCir->setChecked(false), e.popMesInput->setChecked(true);
        e.pictMap_MouseDown(1, 0, 10, 10);
        e.pictMap_MouseMove(0, 0, 70, 90);
        e.pictMap_MouseMove(0, 0, 70, 90);
        QVERIFY(at(e.lineDistance, 10, 10, 70, 90) && near(valueOf(e.lblDistance.Tag), 25));
        QVERIFY(near(centre(e.lblDistance).x(), 25) && near(centre(e.lblDistance).y(), 30));
        QVERIFY(near(e.lineHojo(0).X1, 10) && near(e.lineHojo(1).X1, 40) && near(e.lineHojo(1).Y1, 50));
    }

    void pressesThroughThePlatform()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        tool(e, 9);
        const QPointF p = mouse(e, Press, 10, 10);
        QVERIFY(near(p.x(), 10, 0.2) && near(p.y(), 10, 0.2));
        QVERIFY(near(e.lineDistance.X1, p.x()) && e.booMesDownD);
        const QPointF m = mouse(e, Move, 40, 50, Qt::NoButton);
        QVERIFY(near(e.lineDistance.X2, m.x()) && near(e.lineDistance.Y2, m.y()));
        // The right button shows the measuring menu; not while measuring.
        {
            PopupScript popups;
            popups.dismiss();
            e.booMesDownD = false;
            mouse(e, Press, 60, 60, Qt::RightButton);
            mouse(e, Release, 60, 60, Qt::RightButton);
            QCOMPARE(popups.shown, QStringList{QStringLiteral("popMes")});
            // A second right click soon after comes as a double-click: the menu again.
            popups.dismiss();
            const QPoint pixel = e.pictMap->toDevice(60, 60).toPoint() + QPoint(2, 2);
            QMouseEvent twice(QEvent::MouseButtonDblClick, pixel, e.pictMap->mapToGlobal(pixel), Qt::RightButton,
                              Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(e.pictMap, &twice);
            mouse(e, Release, 60, 60, Qt::RightButton);
            QCOMPARE(popups.shown.size(), 2);
            e.booMesDownD = true;
            e.pictMap_MouseDown(2, 0, 60, 60);
            QCOMPARE(popups.shown.size(), 2);
        }
    }

    // The gestures a user is taught, with real events on the map (points on
    // whole pixels: 48 px = 12.7 mm): a straight distance is a click, a move
    // with no button held and a click; so is a radius, and each one, after
    // a straight distance or another radius, shows its line and length as
    // it grows.
    void distancesByClickMoveClick()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        tool(e, 9);
        const int spare = e.lblKyori.UBound();
        const QPointF a = click(e, {12.7, 12.7});
        moveTo(e, {88.9, 76.2});
        QCOMPARE(e.lblKyori.UBound(), spare);  // the first click only starts it
        const QPointF b = click(e, {88.9, 76.2});
        QCOMPARE(e.lblKyori.UBound(), spare + 1);
        QVERIFY(near(valueOf(e.lblKyori(spare).Tag), 0.5 * QLineF(a, b).length(), 0.01));

        e.popMesCir_Click();
        for (const float x : {150.0f, 250.0f}) {
            click(e, {x, 50});
            moveTo(e, {x + 10, 80});
            QVERIFY(e.shpCircle.Visible && e.lineDistance.Visible && e.lblDistance.Visible);
            click(e, {x + 10, 80});
            // Kept from its own centre: the extension lines start at the
            // ends of the vertical radius and the dimension line runs beside it.
            const int k = e.lblKyori.UBound() - 1;
            const LineElement &from = e.lineHojoSave(2 * k), &to = e.lineHojoSave(2 * k + 1), &d = e.lineDsSave(k);
            QVERIFY(near(from.X1, x, 0.3) && near(from.Y1, 50, 0.3) && near(to.X1, x, 0.3) && near(to.Y1, 80, 0.3));
            QVERIFY(near(QLineF(d.X1, d.Y1, d.X2, d.Y2).length(), QLineF(from.X1, from.Y1, to.X1, to.Y1).length(), 0.01));
        }
        QCOMPARE(e.lblKyori.UBound(), spare + 3);
    }

    // At 25 % a line of 60 pixels is shorter than its length readout, which
    // stands over the end point: one click there ends it all the same, a
    // straight distance as the first side of an area.
    void shortLineEndedUnderItsReadout()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        GE_sngZoom = 0.25f;
        e.sZoom(0.25f);
        tool(e, 9);
        const double px = 25.4 / 96;
        const double metres = 60 * px / 0.25 * 0.5;
        for (const bool area : {false, true}) {
            // The area well below the kept distance, whose ends a press would take.
            const double y = area ? 70 : 20;
            const QPointF a(20 * px, y * px), b(80 * px, y * px), beyond(10 * px, (y + 20) * px);
            if (area)
                e.popMesRenzoku_Click();
            const int spare = e.lblKyori.UBound();
            clickUnder(e, a);
            moveTo(e, b);
            const QPointF end = e.pictMap->toDevice(b.x(), b.y());
            QVERIFY(e.lblDistance.Visible && e.lblDistance.deviceRect().contains(end));
            QVERIFY(moveTo(e, b).x() >= 0);  // a move over it is the map's too
            clickUnder(e, b);
            moveTo(e, beyond);
            QCOMPARE(e.lblKyori.UBound(), spare + 1);
            QVERIFY2(near(valueOf(e.lblKyori(spare).Tag), metres, 0.01), qPrintable(e.lblKyori(spare).Tag));
            if (area)
                QVERIFY(e.booRenzoku && at(e.lineMenseki(0), a.x(), a.y(), b.x(), b.y()));
            else
                QVERIFY(!e.booMesDownD && at(e.lineDistance, a.x(), a.y(), b.x(), b.y()));
        }
    }

    // Measured at one zoom and saved at another, every label comes back
    // as it showed at each zoom: its place and box to the pixel, a
    // position label's closing blank, and which of two overlapping labels
    // lies on top (a distance made after the area it crosses).
    void labelsComeBackAsTheyShowed_data()
    {
        QTest::addColumn<int>("measuredAt");
        QTest::addColumn<int>("savedAt");
        QTest::newRow("100 %, saved at 100 %") << 4 << 4;
        QTest::newRow("75 %, saved at 50 %") << 5 << 6;
    }
    void labelsComeBackAsTheyShowed()
    {
        QFETCH(int, measuredAt);
        QFETCH(int, savedAt);
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        GE_strUnitD = GE_strUnitDistance[GE_intUnitDIndex];
        GE_strUnitS = GE_strUnitArea[GE_intUnitSIndex];
        e.mnuDispEandR_Click(measuredAt);
        const float z = GE_sngZoom;
        GE_booSnap = true;
        tool(e, 9);
        e.popMesRenzoku_Click();
        const QPointF corners[] = {{112.7, 112.7}, {188.9, 112.7}, {188.9, 176.2}, {112.7, 176.2}, {112.7, 112.7}};
        const QPointF beside[] = {{}, {}, {185, 170}, {118, 173}, {116, 118}};
        click(e, corners[0] * z);
        for (int k = 1; k <= 4; ++k) {
            if (k > 1)
                click(e, beside[k] * z);
            moveAndClick(e, corners[k] * z);
        }
        tool(e, 13);
        click(e, QPointF(30, 60) * z);
        click(e, QPointF(30, 80) * z);
        QVERIFY(e.lblKeiIdoS(e.lblKeiIdoS.UBound()).Caption.get().endsWith(u' '));
        tool(e, 9);
        e.popMesLine_Click();
        click(e, QPointF(5, 20) * z);
        moveAndClick(e, QPointF(5, 50) * z);
        click(e, QPointF(10, 97) * z);
        moveAndClick(e, QPointF(50, 97) * z);
        const auto places = [](frmEdit& e) {
            QList<QPointF> all;
            for (const auto* labels : {&e.lblKyori, &e.lblKeiroS, &e.lblMensekiS, &e.lblKeiIdoS})
                for (int k = 0; k <= labels->UBound(); ++k)
                    if (labels->exists(k) && (*labels)(k).Visible)
                        all << QPointF((*labels)(k).Left, (*labels)(k).Top);
            return all;
        };
        const int zooms[] = {7, 6, 5, 4, 0};
        QList<QImage> shown;
        QList<QPointF> atFull;
        for (const int zoom : zooms) {
            e.mnuDispEandR_Click(zoom);
            shown << e.pictMap->renderArea(e.pictMap->rect());
            if (GE_sngZoom == 1.0f)
                atFull = places(e);
        }
        e.mnuDispEandR_Click(savedAt);
        (*m_s.quiet)->answerMsgBox(vb::vbYes);
        e.booDrawChange = true;
        e.mnuFileSavePrj_Click();

        const QString number = GE_tpPrint.strNo;
        editortest::Fixture::closeEditor();
        GE_tpPrint = typPrint{};
        GE_tpPrint.strNo = number;
        GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(number);
        frmEdit& again = editortest::Fixture::open();
        for (int i = 0; i < std::size(zooms); ++i) {
            again.mnuDispEandR_Click(zooms[i]);
            QVERIFY2(again.pictMap->renderArea(again.pictMap->rect()) == shown[i],
                     qPrintable(QStringLiteral("at %1 %").arg(GE_sngZoom * 100)));
            if (GE_sngZoom == 1.0f)
                QCOMPARE(places(again), atFull);
        }
    }

    // A rectangle: a click on the first corner; each side then ends with a
    // move and a click on its corner, and every side after the first is
    // begun by a click beside its corner (away from what the last one
    // left); the side ended on the first corner closes the area.
    void rectangleClosedAsArea()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        GE_booSnap = true;
        tool(e, 9);
        e.popMesRenzoku_Click();
        const QPointF corners[] = {{12.7, 12.7}, {88.9, 12.7}, {88.9, 76.2}, {12.7, 76.2}, {12.7, 12.7}};
        const QPointF beside[] = {{}, {}, {85, 70}, {18, 73}, {16, 18}};
        const int spare = e.lblMensekiS.UBound();
        click(e, corners[0]);
        for (int k = 1; k <= 4; ++k) {
            if (k > 1)
                click(e, beside[k]);
            moveAndClick(e, corners[k]);
        }
        QCOMPARE(e.lblMensekiS.UBound(), spare + 1);
        QVERIFY2(near(valueOf(e.lblMensekiS(spare).Tag), 38.1 * 31.75, 0.05), qPrintable(e.lblMensekiS(spare).Tag));
        QVERIFY(!e.booRenzoku);
    }

    // A press on a kept distance's end takes its extension line; with Esc
    // held it starts the next measurement there instead.
    void escStartsOnAnObject()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        tool(e, 9);
        click(e, {12.7, 12.7});
        moveAndClick(e, {88.9, 12.7});
        const int spare = e.lblKyori.UBound();
        setKeyDown(vb::vbKeyEscape, true);
        const QPointF b = click(e, {88.9, 12.7});
        setKeyDown(vb::vbKeyEscape, false);
        QVERIFY(e.strSelObjName.isEmpty() && e.booMesDownD);
        const QPointF c = moveAndClick(e, {88.9, 76.2});
        QCOMPARE(e.lblKyori.UBound(), spare + 1);
        QVERIFY(near(valueOf(e.lblKyori(spare).Tag), 0.5 * QLineF(b, c).length(), 0.01));
        QVERIFY(near(valueOf(e.lblKyori(spare - 1).Tag), 38.1, 0.01));
    }

    void polylineClosedAsAreaAndRoute()
    {
        frmEdit& e = openMeasuring(m_s, m_temp.path());
        tool(e, 9);
        e.popMesRenzoku_Click();
        e.pictMap_MouseDown(1, 0, 10, 10);
        QVERIFY(at(e.lineMenseki(0), 10, 10, 10, 10) && e.lineMenseki(0).BorderStyle == 3 && e.lineMenseki(0).Visible);
        // Its zero length stands above the press point, clear of the pointer.
        const LabelElement& zero = e.lblDistance;
        QVERIFY(zero.Caption.get().startsWith(QStringLiteral("0.00 ")) && zero.Visible);
        QVERIFY(zero.Left == 10.0f && near(zero.Top + zero.Height(), 10) && zero.Height() > 1);
        const QString tag = e.lblDistance.Tag;
        QVERIFY(e.lblMenseki.Tag == tag && e.lblKeiro.Tag == tag && e.booRenzoku);
        const QString key = ResultTag::fncTag_Key(tag);

        e.booMesDownD = false;  // as the mouse-up leaves it
        laySides(e);
        e.popHatching_Click(1);
        e.popMesMenCal_Click();
        QVERIFY(e.booDrawChange && !e.booRenzoku);
        const int m = e.lblMensekiS.UBound() - 1;
        QVERIFY2(near(valueOf(e.lblMensekiS(m).Tag), 150), qPrintable(e.lblMensekiS(m).Tag));
        QCOMPARE(countKeyed(e.linePS, key), 3);
        const int r = e.lblKeiroS.UBound() - 1;
        QVERIFY(near(valueOf(e.lblKeiroS(r).Tag), 60) && ResultTag::fncTag_Key(e.lblKeiroS(r).Tag) == key);
        QVERIFY(near(valueOf(e.lblKyori(e.lblKyori.UBound() - 1).Tag), 25));
        QCOMPARE(GE_tpHatching.size(), m + 2);
        const typHatching h = GE_tpHatching[m];
        QVERIFY(h.iStyle == 1 && h.iPitch == 4 && h.iTilt == 45 && h.BorderWidth == 1 && h.DrawMode == 13);
        QVERIFY(h.BorderColor == e.linDefault.BorderColor && h.BorderStyle == 0 && h.Tag == key);
        QCOMPARE(QFileInfo(m_temp.filePath(key + QStringLiteral(".bin"))).size(), qint64(h.iUbound + 1) * 16);

        // The next polyline, begun in the same second (away from the sides), has a key of its own;
        // its area copies the first record but style and tag.
        e.popHatching_Click(0);
        e.pictMap_MouseDown(1, 0, 150, 150);
        const QString second = ResultTag::fncTag_Key(e.lblMenseki.Tag);
        QVERIFY(second != key);
        e.booMesDownD = false;
        laySides(e);
        GE_tpHatching[m].iPitch = 7;
        e.popMesMenCal_Click();
        QVERIFY(GE_tpHatching[m + 1].iPitch == 7 && GE_tpHatching[m + 1].iStyle == 0);
        QVERIFY(GE_tpHatching[m + 1].Tag == second);
        QVERIFY(!QFile::exists(m_temp.filePath(second + QStringLiteral(".bin"))));

        // A route of one side.
        e.pictMap_MouseDown(1, 0, 150, 150);
        const QString third = ResultTag::fncTag_Key(e.lblKeiro.Tag);
        e.booMesDownD = false;
        e.lineMenseki(0).X2 = 40;
        e.lineMenseki.Load(1);
        e.booDrawChange = false;
        e.popMesDisCal_Click();
        QVERIFY(e.booDrawChange && countKeyed(e.linePS, third) == 1);

        // Cleared mid-polyline: the next press starts again, without an error.
        e.pictMap_MouseDown(1, 0, 150, 150);
        e.booMesDownD = false;
        e.subAllClr_LineMenseki();
        e.pictMap_MouseDown(1, 0, 160, 160);
        QVERIFY(at(e.lineMenseki(0), 160, 160, 160, 160) && e.booRenzoku);
        QCOMPARE((*m_s.quiet)->count(), 0);

        // Clearing every measurement: other objects stay, the selection goes.
        e.lblMoji(0).Visible = true;
        e.strSelObjName = QStringLiteral("lblKyori"), e.intSelIndex = 0;
        e.booDrawChange = false;
        e.popMesObjDel_Click();
        QVERIFY(e.booDrawChange && e.strSelObjName.isEmpty() && e.intSelIndex == -1);
        QVERIFY(countKeyed(e.linePS, key) == 0 && countKeyed(e.lblKyori, key) == 0 && e.lblMoji(0).Visible);
        QVERIFY(countKeyed(e.lblKeiroS, third) == 0 && countKeyed(e.lblMensekiS, key) == 0);
        QCOMPARE(GE_tpHatching.size(), 1);
        QVERIFY(GE_tpHatching[0].Tag.isEmpty() && GE_tpHatching[0].iStyle == 0);
        QVERIFY(!QFile::exists(m_temp.filePath(key + QStringLiteral(".bin"))));
    }
};

QTEST_MAIN(TestMeasuring)
#include "tst_measuring.moc"
