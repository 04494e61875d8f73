// The options window driven as a user drives it: typed boxes, Enter, focus,
// "設定", tabs and the editor's popups; picks on the map are made as the
// map's handlers make them (popup item, point, markers, the editor's
// procedure that fills the boxes).

#include "tests/editor/editorfixture.h"
#include "tests/interaction/mapmouse.h"

#include "app/mdlFileAccess.h"
#include "db/mdlSQL.h"
#include "measure/checkline.h"
#include "measure/frmOption.h"
#include "measure/readouts.h"
#include "measure/results.h"
#include "platform/vbruntime.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QtTest>

using namespace editortest;
using platform::Instance;
using platform::TextBox;

namespace {

bool near(double a, double b, double tolerance)
{
    return qAbs(a - b) <= tolerance;
}

const measure::typSide Square[] = {{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}};
// An area whose caption has digits to spare below single precision, which
// the position calibration's ratios are held in.
const measure::typSide Plot[] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}};

QWidget* focused()
{
    return QApplication::focusWidget();
}

}  // namespace

class TestFrmOption : public QObject {
    Q_OBJECT
    Session m_session;
    std::unique_ptr<testsupport::ProgramFolder> m_program;

    // A stored drawing with the editor's default settings and `tilt` as its
    // tilt points, opened in the editor.
    frmEdit& openDrawing(const QString& number = QStringLiteral("O-1"), std::array<float, 4> tilt = {10, 10, 100, 10})
    {
        GE_tpPrint = typPrint{};
        Fixture::open();  // a new drawing: the defaults
        Fixture::closeEditor();
        GE_sngHosei = tilt;
        writePicture(m_session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        if (m_session.fx->storeDrawing(number, m_session.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        return Fixture::open();
    }

    static frmOption& show(frmEdit& e)
    {
        e.mnuToolOpt->choose();
        frmOption& o = Instance<frmOption>::get();
        if (!QTest::qWaitForWindowActive(&o))
            qWarning("options window not active");
        return o;
    }

    static void type(TextBox& box, const QString& text)
    {
        box.SetFocus();
        box.setText(text);
    }
    // Typed into a box clicked, what it holds selected; each run of what is
    // beyond ASCII is committed whole, as an input method commits it.
    static void typeKeys(TextBox& box, const QString& text)
    {
        QTest::mouseClick(box.lineEdit(), Qt::LeftButton);
        QTest::keyClick(box.lineEdit(), Qt::Key_A, Qt::ControlModifier);
        for (qsizetype i = 0; i < text.size();) {
            if (text[i].unicode() < 0x80) {
                QTest::keyClick(box.lineEdit(), char(text[i++].unicode()));
                continue;
            }
            const qsizetype start = i;
            while (i < text.size() && text[i].unicode() >= 0x80)
                ++i;
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(start, i - start));
            QApplication::sendEvent(box.lineEdit(), &commit);
        }
    }
    static void enter(TextBox& box) { QTest::keyClick(box.lineEdit(), Qt::Key_Return); }
    static void typeEnter(TextBox& box, const QString& text)
    {
        type(box, text);
        enter(box);
    }
    static void click(platform::CommandButton* button) { QTest::mouseClick(button->button(), Qt::LeftButton); }
    static void close(frmOption& o)
    {
        click(o.cmdOK);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static bool hasFocus(TextBox& box) { return focused() == box.lineEdit(); }

    // A pick of a tilt point as the map's handler makes it.
    static void pickTilt(frmEdit& e, platform::Menu* item, float x, float y)
    {
        item->choose();
        const size_t k = item == e.popHoseiL ? 0 : 2;
        GE_sngHosei[k] = x;
        GE_sngHosei[k + 1] = y;
        mdlSub::subSet_CheckMarker(GE_sngHosei[0], GE_sngHosei[1], GE_sngHosei[2], GE_sngHosei[3]);
        e.subOpt_HoseiPoint();
    }

    // Known-distance boxes first, first + 1, ... each typed and entered.
    static void typeXY(frmOption& o, int first, const QStringList& texts)
    {
        for (int i = 0; i < texts.size(); ++i)
            typeEnter(o.txtXY(first + i), texts[i]);
    }

    // The position calibration of the tests: points (20, 50) and (220, 310).
    static void calibratePositions(frmOption& o)
    {
        o.SSTab->setTab(3);
        typeEnter(o.txtPict_mm1(0), QStringLiteral("20"));
        typeEnter(o.txtPict_mm1(1), QStringLiteral("50"));
        typeEnter(o.txtPict_mm2(0), QStringLiteral("220"));
        typeEnter(o.txtPict_mm2(1), QStringLiteral("310"));
        const char* rows[4][3] = {{"139", "45", "0"}, {"35", "41", "0"}, {"139", "46", "0"}, {"35", "40", "0"}};
        for (int row = 0; row < 4; ++row)
            for (int box = 0; box < 3; ++box)
                (box < 2 ? type : typeEnter)(o.angleBox(row, box), QString::fromLatin1(rows[row][box]));
    }

    // The known distances of the tests: 130 picture units are 26 across,
    // 160 are 40 down.
    static void calibrateDistances(frmEdit& e, frmOption& o,
                                   const QStringList& across = {"20", "30", "140", "80", "130", "26"},
                                   const QStringList& down = {"60", "20", "60", "180", "160", "40"})
    {
        o.SSTab->setTab(2);
        e.popDisX->choose();
        typeXY(o, 0, across);
        e.popDisY->choose();
        typeXY(o, 6, down);
        click(o.cmdSettei);
    }

    // Longitude/latitude mode with the tilt (20, 50)-(120, 55) confirmed.
    frmEdit& tiltedDrawing()
    {
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        o.optMOde(1).setValue(true);
        o.SSTab->setTab(1);
        pickTilt(e, e.popHoseiL, 20, 50);
        pickTilt(e, e.popHoseiR, 120, 55);
        click(o.cmdAngSet);
        close(o);
        return e;
    }

private slots:
    void initTestCase()
    {
        m_program = std::make_unique<testsupport::ProgramFolder>();
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init() { QVERIFY(m_session.begin()); }
    void cleanup() { m_session.end(); }

    void knownDistancesSetTheScale_data()
    {
        QTest::addColumn<bool>("aspect");
        QTest::newRow("aspect off") << false;
        QTest::newRow("aspect on") << true;
    }

    void knownDistancesSetTheScale()
    {
        QFETCH(bool, aspect);
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        o.chkPictAdj->setValue(aspect ? 1 : 0);
        o.SSTab->setTab(2);
        for (int i = 0; i <= 11; ++i)
            QCOMPARE(o.txtXY(i).Enabled(), i <= 5);
        typeEnter(o.txtXY(0), QStringLiteral("20"));
        QVERIFY(hasFocus(o.txtXY(1)));
        typeXY(o, 1, {"30", "140", "80"});
        QCOMPARE(o.txtXY(4).Text(), QStringLiteral("130"));
        QCOMPARE(float(e.lineCheck.X1), 20.0f);
        QCOMPARE(float(e.lineCheck.Y2), 80.0f);
        QCOMPARE(float(e.shpCheck(1).Left), 138.0f);
        QVERIFY(e.lineHojo(3).Visible);
        typeEnter(o.txtXY(5), QStringLiteral("26"));
        QVERIFY(hasFocus(o.txtXY(0)));
        e.popDisY->choose();
        for (int i = 0; i <= 11; ++i)
            QCOMPARE(o.txtXY(i).Enabled(), i >= 6);
        typeXY(o, 6, {"60", "20", "60", "180"});
        QCOMPARE(o.txtXY(10).Text(), QStringLiteral("160"));
        typeEnter(o.txtXY(11), QStringLiteral("40"));
        QVERIFY(hasFocus(o.txtXY(6)));
        click(o.cmdSettei);
        QCOMPARE(o.lblRecio(0).Caption(), QStringLiteral("200.0"));
        QCOMPARE(o.lblRecio(1).Caption(), QStringLiteral("250.0"));
        QCOMPARE(o.lblRecio(2).Caption(), QStringLiteral("1.25"));
        QVERIFY(e.booDrawChange);
        const QStringList typed{"20", "30", "140", "80", "60", "20", "60", "180"};
        for (int k = 0; k <= 3; ++k) {
            const typPointS p = GE_tpPiccelD[size_t(k)];
            QCOMPARE(QString::number(p.sngX) + ',' + QString::number(p.sngY), typed[2 * k] + ',' + typed[2 * k + 1]);
        }
        if (aspect) {
            QVERIFY(near(GE_tpPtoD_r.dblX, 0.2, 1e-12) && near(GE_tpPtoD_r.dblY, 0.2, 1e-12));
            QCOMPARE(GE_sngPictAdj, 1.25f);
            QCOMPARE(GE_dblAspectM, 1.0);
            QVERIFY(near(e.fncLen_Dis(10, 10, 40, 50), 10, 1e-6));
            // Opened again, the window shows the pairs it stored, and the
            // check line joins the horizontal pair.
            close(o);
            frmOption& again = show(e);
            again.SSTab->setTab(2);
            e.popDisX->choose();
            for (int k = 0; k <= 7; ++k)
                QCOMPARE(again.txtXY(k <= 3 ? k : k + 2).Text(), typed[k]);
            QVERIFY(e.lineCheck.X1 == 20 && e.lineCheck.Y1 == 30 && e.lineCheck.X2 == 140 && e.lineCheck.Y2 == 80);
            return;
        }
        QVERIFY(near(GE_tpPtoD_r.dblX, 0.2, 1e-12) && near(GE_tpPtoD_r.dblY, 0.25, 1e-12));
        QCOMPARE(GE_sngPictAdj, 1.0f);
        QVERIFY(near(GE_dblAspectM, 1.25, 1e-12));
        QVERIFY(near(e.fncLen_Dis(10, 10, 40, 50), 11.6619038, 1e-6));
        QCOMPARE(measure::fncLength_Caption(e.fncLen_Dis(10, 10, 40, 50)), QStringLiteral(" 11.66 m "));

        // Centimetres: the lengths and ratios follow the unit, areas stay.
        o.SSTab->setTab(0);
        o.optUnitD(1).setValue(true);
        QVERIFY(near(GE_tpPtoD_r.dblX, 20, 1e-9) && near(GE_tpPtoD_r.dblY, 25, 1e-9));
        QCOMPARE(GE_sngDistanceD_X, 2600.0f);
        QCOMPARE(GE_sngDistanceD_Y, 4000.0f);
        QCOMPARE(o.txtXY(5).Text(), QStringLiteral("2600"));
        QCOMPARE(o.txtXY(11).Text(), QStringLiteral("4000"));
        QCOMPARE(o.lblUnit(0).Caption(), QStringLiteral("cm "));
        QVERIFY(near(e.fncLen_Dis(10, 10, 40, 50), 1166.19038, 1e-4));
        QCOMPARE(measure::fncLength_Caption(e.fncLen_Dis(10, 10, 40, 50)), QStringLiteral(" 1,166.19 cm "));
        QCOMPARE(measure::fncArea_Caption(measure::fncPolygon_Area(Square)), QStringLiteral(" 500.00 m2 "));
        typeEnter(*o.txtScale, QStringLiteral("500"));
        QCOMPARE(GE_sngScale, 500.0f);
        o.SSTab->setTab(2);
        click(o.cmdSettei);
        QCOMPARE(o.lblRecio(0).Caption(), QStringLiteral("200.0"));
        close(o);
        e.Toolbar1->Buttons(QStringLiteral("org")).action()->trigger();
        QVERIFY(near(GE_sngZoom, 0.4, 1e-6));
    }

    void tiltAndPositions_data()
    {
        QTest::addColumn<bool>("unconfirmedTilt");
        QTest::newRow("tilt as confirmed") << false;
        QTest::newRow("tilt typed, not confirmed") << true;
    }

    void tiltAndPositions()
    {
        QFETCH(bool, unconfirmedTilt);
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        o.optMOde(1).setValue(true);
        o.SSTab->setTab(1);
        const QStringList angles{o.txtHosei(4).Text(), o.txtHosei(5).Text()};
        pickTilt(e, e.popHoseiL, 20, 50);
        pickTilt(e, e.popHoseiR, 120, 55);
        QCOMPARE(o.txtHosei(2).Text(), QStringLiteral("120"));
        QCOMPARE(o.txtHosei(1).Text(), QStringLiteral("50"));
        QCOMPARE((QStringList{o.txtHosei(4).Text(), o.txtHosei(5).Text()}), angles);
        click(o.cmdAngSet);
        const QStringList shown{QStringLiteral("2.86241"), QStringLiteral("-2.86241"), QStringLiteral("0.04996"),
                                QStringLiteral("-0.04996")};
        for (int i = 0; i <= 3; ++i)
            QCOMPARE(o.txtHosei(4 + i).Text(), shown[i]);
        close(o);
        for (int i = 0; i <= 3; ++i)
            QCOMPARE(GE_dblHosei[size_t(i)], shown[i].toDouble());
        QVERIFY(near(measure::fncStraighten(120, 55).sngY, 50, 0.001));

        frmOption& again = show(e);
        QCOMPARE(again.SSTab->Tab(), 0);
        if (unconfirmedTilt) {
            again.SSTab->setTab(1);
            typeEnter(again.txtHosei(0), QStringLiteral("60"));
            typeEnter(again.txtHosei(1), QStringLiteral("90"));
            QCOMPARE(GE_sngHosei[1], 90.0f);
        }
        calibratePositions(again);
        const QStringList whole{QStringLiteral("503100"), QStringLiteral("128460"), QStringLiteral("503160"),
                                QStringLiteral("128400")};
        for (int row = 0; row <= 3; ++row)
            QCOMPARE(again.angleBox(row, 3).Text(), whole[row]);
        click(again.cmdCnv);
        close(again);
        QCOMPARE(GE_sngHosei, (std::array<float, 4>{20, 50, 120, 55}));
        QVERIFY(near(GE_tpPtoK_r.dblX, 0.282042, 0.282042e-5));
        QVERIFY(near(GE_tpPtoK_r.dblY, -0.240300, 0.2403e-5));
        QVERIFY(near(GE_tpPtoD_r.dblX, 7.07122, 7.07122e-5));
        QVERIFY(near(GE_tpPtoD_r.dblY, 7.41726, 7.41726e-5));
        const double expected[][4] = {{20, 50, 503100, 128460}, {220, 310, 503160, 128400}, {120, 180, 503130, 128430}};
        for (const auto& p : expected) {
            const typLonLat at = measure::fncPix_LonLat(float(p[0]), float(p[1]));
            QVERIFY2(near(at.dblLongitude, p[2], 0.0005) && near(at.dblLatitude, p[3], 0.0005),
                     qPrintable(QStringLiteral("%1 %2").arg(at.dblLongitude, 0, 'f', 5).arg(at.dblLatitude, 0, 'f', 5)));
        }
        QVERIFY(near(e.fncLen_KeiIdo(20, 50, 220, 310), 2386.06, 0.01));
    }

    // Every value a position calibration sets or takes, in one list.
    static QList<double> positionCalibration()
    {
        QList<double> v{GE_tpPtoK_r.dblX,  GE_tpPtoK_r.dblY,    GE_tpKtoP_r.dblX, GE_tpKtoP_r.dblY,
                        GE_tpPx00ToKei.dblLongitude, GE_tpPx00ToKei.dblLatitude, GE_tpKI00ToPx.dblX,
                        GE_tpKI00ToPx.dblY, GE_tpPtoD_r.dblX, GE_tpPtoD_r.dblY, GE_sngPictAdj,
                        GE_dblKeido[0], GE_dblKeido[1], GE_dblIdo[0], GE_dblIdo[1]};
        for (const typPointS& p : GE_tpPiccel)
            v << p.sngX << p.sngY;
        return v;
    }

    void positionsBeyondAnyScale_data()
    {
        // Picture X1, Y1, X2, Y2, then degrees, minutes and seconds of
        // longitude 1, latitude 1, longitude 2, latitude 2.
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("refusal");  // the box's text; none: it calibrates
        QTest::addColumn<bool>("aspect");      // the aspect adjustment on
        // Before the boxes, the right tilt point nudged to (100, 15) by the
        // arrow keys: the angle follows it, unconfirmed.
        QTest::addColumn<bool>("nudge");
        // A new calibration taken: the position readouts at (20, 50), (30, 50)
        // and (220, 310), and the CSV's longitude in seconds at the last.
        QTest::addColumn<QStringList>("readouts");
        const QStringList normal{"20", "50", "220", "310", "139", "45", "0", "35", "41", "0",
                                 "139", "46", "0", "35", "40", "0"};
        // The boxes of `base` (none: the normal pair) with some changed.
        const auto with = [&normal](std::initializer_list<std::pair<int, const char*>> changes,
                                    const QStringList* base = nullptr) {
            QStringList boxes = base ? *base : normal;
            for (const auto& [k, text] : changes)
                boxes[k] = QString::fromUtf8(text);
            return boxes;
        };
        const QString check = QStringLiteral("\r\n対応点の位置と経緯度を確かめてください。");
        const QString range = QStringLiteral("縮尺または扁平率が範囲外のため、設定できません。") + check;
        const QString same = QStringLiteral("対応点１と対応点２の X、Y、経度、緯度のいずれかが同じため、設定できません。") + check;
        const QString wide =
            QStringLiteral("図面の東西の幅が経度360°を超えるか、図面が経度0°～359°から離れすぎるため、設定できません。") + check;
        const QString pole = QStringLiteral("図面の一部が緯度±90°を超えるため、設定できません。") + check;
        QTest::newRow("normal pair") << normal << QString() << true << false << QStringList();
        QTest::newRow("normal pair, no aspect") << normal << QString() << false << false << QStringList();
        // East of 180 degrees as the boxes take it (Hawaii), and pictures
        // running across 180 degrees and across 360 (past 0).
        QTest::newRow("Hawaii") << with({{4, "204"}, {5, "45"}, {7, "19"}, {8, "41"}, {10, "204"}, {11, "46"},
                                         {13, "19"}, {14, "40"}})
                                << QString() << false << false
                                << QStringList{"204-45-00.0000 E  019-41-00.0000 N ",
                                               "204-45-03.0000 E  019-41-00.0000 N ",
                                               "204-46-00.0000 E  019-40-00.0000 N ", "737160"};
        // West of Greenwich typed as 360 degrees minus it: the short way round.
        QTest::newRow("across 0 degrees")
            << with({{4, "359"}, {5, "59"}, {6, "30"}, {10, "0"}, {11, "0"}, {12, "30"}}) << QString() << false
            << false
            << QStringList{"359-59-30.0000 E  035-41-00.0000 N ", "359-59-33.0000 E  035-41-00.0000 N ",
                           "000-00-30.0000 E  035-40-00.0000 N ", "30"};
        QTest::newRow("across 180 degrees")
            << with({{4, "179"}, {5, "59"}, {6, "57"}, {10, "180"}, {11, "0"}, {12, "57"}}) << QString() << true
            << false
            << QStringList{"179-59-57.0000 E  035-41-00.0000 N ", "180-00-00.0000 E  035-41-00.0000 N ",
                           "180-00-57.0000 E  035-40-00.0000 N ", "648057"};
        QTest::newRow("across 360 degrees")
            << with({{4, "359"}, {5, "59"}, {6, "57"}, {10, "360"}, {11, "0"}, {12, "57"}}) << QString() << false
            << false
            << QStringList{"359-59-57.0000 E  035-41-00.0000 N ", "000-00-00.0000 E  035-41-00.0000 N ",
                           "000-00-57.0000 E  035-40-00.0000 N ", "57"};
        // 0 degrees typed is a longitude (Greenwich) or a latitude (the
        // equator) like any other; a point on both counts as not entered.
        QTest::newRow("longitude 0 degrees")
            << with({{4, "0"}, {5, "0"}, {6, "0"}, {10, "0"}, {11, "0"}, {12, "30"}}) << QString() << false << false
            << QStringList{"000-00-00.0000 E  035-41-00.0000 N ", "000-00-01.5000 E  035-41-00.0000 N ",
                           "000-00-30.0000 E  035-40-00.0000 N ", "30"};
        QTest::newRow("latitude 0 degrees")
            << with({{7, "0"}, {8, "1"}, {13, "0"}, {14, "0"}}) << QString() << false << false
            << QStringList{"139-45-00.0000 E  000-01-00.0000 N ", "139-45-03.0000 E  000-01-00.0000 N ",
                           "139-46-00.0000 E  000-00-00.0000 N ", "503160"};
        QTest::newRow("point 2 at 0 degrees, 0 degrees")
            << with({{10, "0"}, {11, "0"}, {12, "0"}, {13, "0"}, {14, "0"}, {15, "0"}})
            << QStringLiteral("対応点２の経度と緯度がどちらも 0 のため、入力されていないものとみなし、設定できません。\r\n"
                              "経度と緯度を入力してください。経度 0°・緯度 0° の点は対応点にできないため、別の点を選んでください。")
            << false << false << QStringList();
        // The boxes take northern latitudes and eastern longitudes: −1° 30′
        // would be added up to 0° 30′ south.
        const QString positive = QStringLiteral("に負の数があるため、設定できません。\r\n経度・緯度の欄には北緯と東経"
                                                "（0°～360°）を、度・分・秒とも 0 以上の数で入力してください。");
        QTest::newRow("latitude 1 of -1 degree 30 minutes") << with({{7, "-1"}, {8, "30"}})
            << QStringLiteral("対応点１の緯度") + positive << true << false << QStringList();
        QTest::newRow("a negative second of longitude 2") << with({{12, "-0.5"}})
            << QStringLiteral("対応点２の経度") + positive << true << false << QStringList();
        // Within a degree of the equator or of Greenwich, −0 is what the
        // minus sign says: south or west, never taken as north or east.
        QTest::newRow("latitude 2 of -0 0 20") << with({{13, "-0"}, {14, "0"}, {15, "20"}})
            << QStringLiteral("対応点２の緯度") + positive << true << false << QStringList();
        QTest::newRow("longitude 1 of -0 0 30") << with({{4, " -0"}, {5, "0"}, {6, "30"}})
            << QStringLiteral("対応点１の経度") + positive << true << false << QStringList();
        // An input method's minus signs say the same, a text that is no
        // number too; its full-width digits and point are numbers.
        QTest::newRow("latitude 2 of full-width -0 0 20") << with({{13, "－０"}, {14, "0"}, {15, "20"}})
            << QStringLiteral("対応点２の緯度") + positive << true << false << QStringList();
        QTest::newRow("longitude 2 of 139 minus sign 5") << with({{11, "−５"}})
            << QStringLiteral("対応点２の経度") + positive << true << false << QStringList();
        QTest::newRow("latitude 1 seconds of -20″") << with({{9, "－２０″"}})
            << QStringLiteral("対応点１の緯度") + positive << true << false << QStringList();
        QTest::newRow("full-width numbers") << with({{7, "３５"}, {11, "４６"}, {6, "０．０"}}) << QString() << true
                                            << false << QStringList();
        // Blanks of either width and each box's own unit mark around its
        // number: the calibration of the normal pair.
        QTest::newRow("unit marks and blanks")
            << with({{4, "139°"}, {5, "４５′"}, {6, "０″"}, {7, "　35　"}, {8, "41'"}, {9, "0\""}, {10, "139度"},
                     {11, "46分"}, {12, "０秒"}, {13, "３５　"}, {14, " 40"}, {15, "0 ″"}})
            << QString() << true << false << QStringList();
        QTest::newRow("a kana input method's minus") << with({{7, "ー35"}})
            << QStringLiteral("対応点１の緯度") + positive << true << false << QStringList();
        // Texts that are no number the box takes are never made 0.
        const QString takes = QStringLiteral("」は、この欄に入れられる数ではないため、設定できません。\r\n度と分の欄には"
                                             "整数を、秒の欄には数を入力してください（数の前後の空白と、その欄の単位の記号 °・′・″ "
                                             "は付けてもかまいません）。");
        QTest::newRow("3 5 degrees") << with({{7, "3 5"}})
            << QStringLiteral("対応点１の緯度の度の欄の「3 5") + takes << true << false << QStringList();
        QTest::newRow("1,5 seconds") << with({{15, "1,5"}})
            << QStringLiteral("対応点２の緯度の秒の欄の「1,5") + takes << true << false << QStringList();
        QTest::newRow("a degree mark in a minute box") << with({{11, "46°"}})
            << QStringLiteral("対応点２の経度の分の欄の「46°") + takes << true << false << QStringList();
        QTest::newRow("a decimal degree") << with({{4, "1.5"}})
            << QStringLiteral("対応点１の経度の度の欄の「1.5") + takes << true << false << QStringList();
        QTest::newRow("a hair apart in y") << with({{3, "50.0001"}}) << range << true << false << QStringList();
        QTest::newRow("a hair apart in latitude") << with({{14, "41"}, {15, "0.0001"}}) << range << true << false
            << QStringList();
        QTest::newRow("latitude 90") << with({{7, "90"}, {8, "0"}, {13, "89"}, {14, "59"}}) << range << true << false
            << QStringList();
        QTest::newRow("1 second of latitude, 1 degree of longitude")
            << with({{10, "140"}, {11, "45"}, {14, "40"}, {15, "59"}}) << range << true << false << QStringList();
        QTest::newRow("points beyond any picture") << with({{0, "-3e38"}, {2, "3e38"}}) << range << true << false
            << QStringList();
        QTest::newRow("seconds beyond any angle") << with({{12, "3e38"}}) << range << true << false << QStringList();
        QTest::newRow("one picture point") << with({{2, "20"}, {3, "50"}}) << same << true << false << QStringList();
        QTest::newRow("one latitude") << with({{14, "41"}}) << same << true << false << QStringList();
        // Scales that the ranges let pass, but the picture would span the earth many times.
        const QStringList apart1mm{"168.6211", "667.6453", "169.4211", "667.0453", "139", "45", "30", "35", "40",
                                   "30", "179", "45", "30", "35", "40", "50"};
        QTest::newRow("1 mm apart, 40 degrees of longitude") << apart1mm << wide << false << false << QStringList();
        QTest::newRow("0.1 mm apart, 100 degrees of longitude")
            << with({{2, "168.6811"}, {3, "667.5653"}, {10, "239"}}, &apart1mm) << wide << false << false
            << QStringList();
        QTest::newRow("2 mm apart, 60 degrees of latitude")
            << with({{2, "21.6"}, {3, "48.8"}, {7, "10"}, {8, "0"}, {13, "70"}, {14, "0"}}) << pole << false << false
            << QStringList();
        // Calibrated under the nudged tilt; under the one kept the two points
        // share their y, so the drawing keeps what it had.
        QTest::newRow("points with one y under the tilt kept") << with({{3, "50"}}) << QString() << false << true
            << QStringList();
    }

    // A position calibration that gives no usable scale is refused whole: the
    // drawing keeps, shows and saves the calibration it had.
    void positionsBeyondAnyScale()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, refusal);
        QFETCH(bool, aspect);
        QFETCH(bool, nudge);
        QFETCH(QStringList, readouts);
        platform::ScopedScriptedUi ui;
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        o.optMOde(1).setValue(true);
        o.chkPictAdj->setValue(aspect ? 1 : 0);
        calibratePositions(o);
        click(o.cmdCnv);
        const QList<double> before = positionCalibration();
        // 60" of longitude at 35°41' over 200 units, 60" of latitude over 260.
        QVERIFY(near(GE_tpPtoD_r.dblX, 7.5215, 1e-4) && near(GE_sngPictAdj, aspect ? 0.94703 : 1, 1e-5));
        if (nudge) {
            o.SSTab->setTab(1);
            pickTilt(e, e.popHoseiR, 100, 15);
            mdlSub::subCalc_Hosei();
            o.SSTab->setTab(3);
        }
        for (int i = 0; i < 4; ++i)
            typeEnter((i < 2 ? o.txtPict_mm1 : o.txtPict_mm2)(i % 2), boxes[i]);
        // Each angle typed into its box and left by Tab: the box keeps it.
        for (int k = 4; k < 16; ++k) {
            TextBox& box = o.angleBox((k - 4) / 3, (k - 4) % 3);
            typeKeys(box, boxes[k]);
            QTest::keyClick(box.lineEdit(), Qt::Key_Tab);
            QCOMPARE(box.Text(), boxes[k]);
        }
        click(o.cmdCnv);
        QCOMPARE(ui->boxes.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) {
            QCOMPARE(ui->boxes[0].prompt, refusal);
            QCOMPARE(ui->boxes[0].title, QStringLiteral("既知の経緯度設定"));
            QCOMPARE(ui->boxes[0].style, int(vb::vbExclamation));
        }
        // A box refused holds the cursor, its text selected.
        for (int k = 4; k < 16; ++k) {
            const bool minus = boxes[k].contains(QRegularExpression(QStringLiteral("[-−－ー]")));
            const bool named = refusal.contains(QStringLiteral("「") + boxes[k] + QStringLiteral("」"));
            if (!(minus && refusal.contains(QStringLiteral("負の数"))) && !named)
                continue;
            TextBox& box = o.angleBox((k - 4) / 3, (k - 4) % 3);
            QVERIFY2(hasFocus(box) && box.lineEdit()->selectedText() == boxes[k], qPrintable(boxes[k]));
            break;
        }
        close(o);
        if (!readouts.isEmpty()) {
            const float points[][2] = {{20, 50}, {30, 50}, {220, 310}};
            for (int k = 0; k < 3; ++k)
                QCOMPARE(e.fncPix_KeiIdoText(points[k][0], points[k][1]), readouts[k]);
            QString lon, lat;
            e.fncPix_KeiIdo(220, 310, lon, lat);
            QVERIFY2(near(lon.toDouble(), readouts[3].toDouble(), 1e-6), qPrintable(lon));
            return;
        }
        QCOMPARE(positionCalibration(), before);
        for (const float zoom : {4.0f, 8.0f, 0.25f, 1.0f}) {
            GE_sngZoom = zoom;
            e.sZoom(zoom);
            QVERIFY(qAbs(e.pictMap->deviceSize().height() - 150 * zoom * GE_sngPictAdj) <= 8);
        }
        ui->answerMsgBox(vb::vbYes);
        e.mnuFileSavePrj->choose();
        GE_tpPtoD_r = GE_tpPtoK_r = {};
        typPrint print;
        QVERIFY(!mdlSQL::fncSQL_GetPrint(QStringLiteral("O-1"), print));
        const QList<double> stored = positionCalibration();  // as the database holds them
        for (qsizetype k = 0; k < before.size(); ++k)
            QVERIFY2(qFuzzyCompare(stored[k], before[k]), qPrintable(QString::number(k)));
    }

    // A drawing stored with a calibration that puts the picture far beyond
    // the earth (longitudes of some -200,000 degrees) reads out
    // every point of the map without a failure: what a field cannot hold
    // shows as out of range.
    void storedPositionsBeyondTheEarthReadOut()
    {
        GE_tpPrint = typPrint{};
        Fixture::open();
        Fixture::closeEditor();
        GE_booModeKei = true;
        GE_booModeDis = false;
        GE_tpPtoK_r = typPointD{6e6, -250};  // 0.1 mm apart, 100 degrees of longitude
        GE_tpPx00ToKei = typLonLat{-1.0e9, 3.0e5};
        writePicture(m_session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        QVERIFY(m_session.fx->storeDrawing(QStringLiteral("O-1"), m_session.fx->dir.path(),
                                           QStringLiteral("map.bmp")) > 0);
        GE_tpPtoK_r = {};
        frmEdit& e = Fixture::open();
        QVERIFY(GE_booModeKei && GE_tpPtoK_r.dblX == 6e6);
        platform::ScopedScriptedUi ui;
        const double width = e.pictMap->ScaleWidth(), height = e.pictMap->ScaleHeight();
        for (int i = 0; i <= 8; ++i)
            for (int j = 0; j <= 8; ++j)
                mapmouse::mouse(e, mapmouse::Move, float(width * i / 8.5), float(height * j / 8.5), Qt::NoButton);
        QCOMPARE(ui->boxes.size(), 0);
        QVERIFY2(e.stsTip->Panels(1).Text().startsWith(QStringLiteral("***-**-**.**** E  ")),
                 qPrintable(e.stsTip->Panels(1).Text()));
        frmOption& o = show(e);
        QVERIFY(o.optMOde(1).Value() && !o.optMOde(0).Value());  // the drawing's mode
        close(o);
    }

    void scalesOutliveModeAndUnitChanges_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("length");  // (10, 10)-(40, 50) in the mode at the end
        QTest::addColumn<QString>("area");    // the square of side 10
        const QString known = QStringLiteral(" 11.66 m "), knownArea = QStringLiteral(" 5.00 m2 ");
        QTest::newRow("distances after positions")
            << QStringList{"positions", "distance mode", "distances"} << known << knownArea;
        QTest::newRow("distances after positions on a typed tilt")
            << QStringList{"typed tilt", "positions", "distance mode", "distances"} << known << knownArea;
        QTest::newRow("unit changed in the position mode")
            << QStringList{"distances", "position mode", "cm", "distance mode"} << " 1,166.19 cm " << knownArea;
        QTest::newRow("unit changed, then the mode")
            << QStringList{"distances", "cm", "position mode", "distance mode"} << " 1,166.19 cm " << knownArea;
        // Each mode measures by its own calibration, whichever was set last.
        QTest::newRow("positions back after distances")
            << QStringList{"positions", "distance mode", "distances", "position mode"} << " 363.45 m "
            << " 5,357.60 m2 ";
        QTest::newRow("distances back after positions")
            << QStringList{"distances", "position mode", "positions", "distance mode"} << known << knownArea;
        // The lengths a new drawing starts with, set by the user over markers moved.
        QTest::newRow("100 mm for 100 m back after positions")
            << QStringList{"100 m distances", "position mode", "positions", "distance mode"} << " 50.00 m "
            << " 100.00 m2 ";
        QTest::newRow("positions, unit changed")
            << QStringList{"positions", "cm"} << " 36,344.84 cm " << " 5,357.60 m2 ";
        QTest::newRow("positions, unit changed, distance mode")
            << QStringList{"positions", "cm", "distance mode"} << " 36,345.06 cm " << " 5,357.60 m2 ";
    }

    // Every calibration reads the same ground in the unit shown, whatever
    // the order of mode switches, unit changes and the closing.
    void scalesOutliveModeAndUnitChanges()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, length);
        QFETCH(QString, area);
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        for (const QString& step : steps) {
            if (step == QLatin1String("positions")) {
                o.optMOde(1).setValue(true);
                calibratePositions(o);
                click(o.cmdCnv);
            } else if (step == QLatin1String("distances")) {
                calibrateDistances(e, o);
            } else if (step == QLatin1String("100 m distances")) {
                calibrateDistances(e, o, {"20", "30", "120", "30", "100", "100"},
                                   {"20", "30", "20", "130", "100", "100"});
            } else if (step == QLatin1String("typed tilt")) {
                o.optMOde(1).setValue(true);
                o.SSTab->setTab(1);
                typeEnter(o.txtHosei(1), QStringLiteral("20"));
            } else if (step == QLatin1String("cm")) {
                o.SSTab->setTab(0);
                o.optUnitD(1).setValue(true);
            } else {
                o.optMOde(step == QLatin1String("distance mode") ? 0 : 1).setValue(true);
            }
        }
        close(o);
        const auto along = [](float x1, float y1, float x2, float y2) {
            frmEdit& shown = Instance<frmEdit>::get();
            return GE_booModeDis ? shown.fncLen_Dis(x1, y1, x2, y2) : shown.fncLen_KeiIdo(x1, y1, x2, y2);
        };
        const double shownLength = along(10, 10, 40, 50);
        QCOMPARE(measure::fncLength_Caption(shownLength), length);
        QCOMPARE(measure::fncArea_Caption(measure::fncPolygon_Area(Plot)), area);
        // The area the square's sides give, in metres and square metres,
        // here and after the drawing was saved and reopened.
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1) {
                platform::ScopedScriptedUi ui;
                ui->answerMsgBox(vb::vbYes);
                Fixture::closeEditor();
                GE_tpPtoD_r = {};
                Fixture::open();
                QVERIFY(near(along(10, 10, 40, 50), shownLength, shownLength * 1e-9));
                QCOMPARE(measure::fncArea_Caption(measure::fncPolygon_Area(Plot)), area);
            }
            const double metres = GE_dblChgOToMD[size_t(GE_intUnitDIndex)];
            const double sides = along(0, 0, 100, 0) * metres * along(0, 0, 0, 100) * metres;
            const double squareMetres = measure::fncPolygon_Area(Square);
            QVERIFY2(near(squareMetres, sides, sides * 1e-4),
                     qPrintable(QStringLiteral("%1 %2").arg(squareMetres).arg(sides)));
        }
    }

    // A calibration marker dragged with the mouse in the known-distance
    // mode: the options window's boxes show the pair as it now lies, and a
    // marker dragged past the part of the map in view stays in view.
    void markerDraggedFillsTheBoxes()
    {
        frmEdit& e = openDrawing();
        e.setHeight(platform::TwipsPerPixel * 240);  // a viewport lower than the map
        frmOption& o = show(e);
        o.SSTab->setTab(2);
        e.popDisX->choose();
        QVERIFY(GE_booPickDistance && e.shpCheck(1).Visible);
        using mapmouse::mouse;
        const auto drag = [&e](QPointF from, QPointF to) {
            mouse(e, mapmouse::Press, float(from.x()), float(from.y()));
            const QPointF at = mouse(e, mapmouse::Move, float(to.x()), float(to.y()));
            mouse(e, mapmouse::Release, float(to.x()), float(to.y()));
            return at;
        };
        const QPointF moved = drag(QPointF(55, 5), QPointF(25.4, 12.7));
        QCOMPARE(moved, QPointF(25.4, 12.7));
        const QStringList boxes{"5", "5", "25.4", "12.7", "21.80482"};
        for (int i = 0; i <= 4; ++i)
            QCOMPARE(o.txtXY(i).Text(), boxes[i]);
        QCOMPARE(o.txtXY(10).Text(), QStringLiteral("100"));  // the vertical pair's, untouched

        // Dragged far below the viewport: the marker stays at its edge.
        const QRect viewport = e.pictWindow->rect();
        QVERIFY(viewport.height() < e.pictMap->height() - 20);
        drag(QPointF(25.4, 12.7), QPointF(25.4, 35));
        const platform::ShapeElement& marker = e.shpCheck(1);
        const QPointF centre = e.pictMap->toDevice(marker.Left + marker.Width() / 2, marker.Top + marker.Height() / 2)
            + QPointF(2, 2);  // inside the map's frame
        const QPoint seen = e.pictMap->mapTo(e.pictWindow, centre.toPoint());
        QVERIFY2(viewport.contains(seen) && seen.y() > viewport.bottom() - 6,
                 qPrintable(QStringLiteral("%1 %2").arg(seen.y()).arg(viewport.bottom())));
        QCOMPARE(o.txtXY(3).Text(), vb::CStr(float(e.lineCheck.Y2)));
        QCOMPARE(o.txtXY(2).Text(), QStringLiteral("25.4"));
        close(o);
    }

    void closingPutsBackWhatWasNotConfirmed()
    {
        frmEdit& e = tiltedDrawing();
        const std::array<double, 4> angles = GE_dblHosei;
        const std::array<typPointS, 2> points = GE_tpPiccel;
        frmOption& o = show(e);
        o.SSTab->setTab(1);
        pickTilt(e, e.popHoseiR, 150, 70);
        o.SSTab->setTab(3);
        typeEnter(o.txtPict_mm1(0), QStringLiteral("77"));
        QCOMPARE(GE_tpPiccel[0].sngX, 77.0f);
        // The second point's box is the second point's: the check line runs to it at once.
        const float firstY = GE_tpPiccel[0].sngY;
        typeEnter(o.txtPict_mm2(1), QStringLiteral("66"));
        QVERIFY(GE_tpPiccel[1].sngY == 66 && GE_tpPiccel[0].sngY == firstY);
        QVERIFY(e.lineCheck.X1 == 77 && e.lineCheck.Y2 == 66 && e.lineCheck.Visible);
        close(o);
        QCOMPARE(GE_sngHosei, (std::array<float, 4>{20, 50, 120, 55}));
        QCOMPARE(GE_dblHosei, angles);
        QCOMPARE(GE_tpPiccel[0].sngX, points[0].sngX);
        QCOMPARE(GE_tpPiccel[1].sngY, points[1].sngY);
        QCOMPARE(show(e).SSTab->Tab(), 0);
    }

    void tabsSetThePickMode()
    {
        frmEdit& e = openDrawing();
        const bool saveWas = e.mnuFileSavePrj->Enabled();
        GE_sngZoom = 1.5f;
        frmOption& o = show(e);
        QVERIFY(o.optMOde(0).Value() && !o.optMOde(1).Value());  // the drawing's mode
        QCOMPARE(GE_sngZoom, 1.0f);
        for (platform::Menu* item : {e.mnuEditSet, e.mnuFileNewPrj, e.mnuFileSavePrj, e.mnuDispEandRP})
            QVERIFY(!item->Enabled());
        QVERIFY(!e.Toolbar1->Enabled());
        // Known distances: the vertical pair when it is the one chosen.
        e.popDisY->choose();
        o.SSTab->setTab(2);
        QVERIFY(GE_booPickDistance && !GE_booPickHosei && !GE_booPickKeiIdo);
        QCOMPARE(e.fncModeText(), QStringLiteral("既知の距離入力"));
        QCOMPARE(float(e.lineCheck.Y2), GE_tpPiccelD[3].sngY);
        QCOMPARE(float(e.lineCheck.Y1), GE_tpPiccelD[2].sngY);
        QVERIFY(e.lineCheck.Visible && e.shpCheck(1).Visible);
        // The mode follows the option at once.
        o.SSTab->setTab(0);
        QVERIFY(!e.lineCheck.Visible && !GE_booPickDistance);
        QCOMPARE(e.fncModeText(), QString());
        o.optMOde(1).setValue(true);
        QVERIFY(o.SSTab->TabEnabled(1) && !o.SSTab->TabEnabled(2) && o.SSTab->TabEnabled(3));
        QVERIFY(e.Toolbar1->Buttons(13).Enabled());
        o.SSTab->setTab(1);
        QVERIFY(GE_booPickHosei && !GE_booPickDistance);
        QCOMPARE(e.fncModeText(), QStringLiteral("傾き補正"));
        QVERIFY(hasFocus(o.txtHosei(0)));
        QCOMPARE(float(e.lineCheck.X2), GE_sngHosei[2]);
        QVERIFY(e.shpCheck(0).Visible && !e.lineHojo(0).Visible);
        o.SSTab->setTab(3);
        QVERIFY(GE_booPickKeiIdo && !GE_booPickHosei);
        QCOMPARE(e.fncModeText(), QStringLiteral("既知の経緯度入力"));
        QVERIFY(hasFocus(o.txtKeido1(0)));
        o.optMOde(0).setValue(true);
        QVERIFY(!e.Toolbar1->Buttons(13).Enabled() && o.SSTab->TabEnabled(2));
        close(o);
        QVERIFY(!GE_booPickHosei && !GE_booPickDistance && !GE_booPickKeiIdo);
        QCOMPARE(e.fncModeText(), QString());
        QVERIFY(!e.lineCheck.Visible);
        QVERIFY(e.mnuEditSet->Enabled() && e.Toolbar1->Enabled() && e.mnuDispEandRP->Enabled());
        QCOMPARE(e.mnuFileSavePrj->Enabled(), saveWas);
        QCOMPARE(GE_sngZoom, 1.0f);
        QVERIFY(!Instance<frmOption>::exists());
    }

    void degreeMinuteSecondBoxes()
    {
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        o.optMOde(1).setValue(true);
        o.SSTab->setTab(3);
        QCOMPARE(o.txtKeido1(0).MaxLength(), 3);
        QCOMPARE(o.txtIdo1(0).MaxLength(), 2);
        typeEnter(o.txtKeido1(0), QStringLiteral("139"));
        QCOMPARE(o.txtKeido1(3).Text(), QStringLiteral("500400"));
        QVERIFY(hasFocus(o.txtKeido1(1)));
        typeEnter(o.txtKeido1(1), QStringLiteral("60"));
        QVERIFY(hasFocus(o.txtKeido1(1)));
        QCOMPARE(o.txtKeido1(1).SelLength(), 2);
        typeEnter(o.txtKeido1(3), QStringLiteral("7200"));
        QCOMPARE((QStringList{o.txtKeido1(0).Text(), o.txtKeido1(1).Text(), o.txtKeido1(2).Text()}),
                 (QStringList{"2", "0", "0"}));
        QVERIFY(hasFocus(o.txtIdo1(3)));
        typeEnter(o.txtIdo1(2), QString());
        QCOMPARE(o.txtIdo1(2).Text(), QStringLiteral("0"));
        QVERIFY(hasFocus(o.txtIdo1(2)));
        // A minus sign or a text that is no number is kept for "設定" to
        // refuse, never made 0.
        for (const QString& text : {QStringLiteral("−２０″"), QStringLiteral("abc")}) {
            typeEnter(o.txtIdo1(2), text);
            QVERIFY(hasFocus(o.txtIdo1(2)) && o.txtIdo1(2).lineEdit()->selectedText() == text);
        }
        typeEnter(o.txtIdo2(3), QStringLiteral("999999999"));
        QVERIFY(hasFocus(o.txtIdo2(3)));
        QCOMPARE(o.txtIdo2(3).SelLength(), 9);
        // The seconds box of the last row goes round to the first row.
        typeEnter(o.txtIdo2(2), QStringLiteral("1"));
        QVERIFY(hasFocus(o.txtKeido1(0)));
        // Greenwich, 0°00′00″, is taken as any angle is.
        o.txtKeido2(3).setText(QStringLiteral("7"));
        for (int box = 0; box < 3; ++box)
            typeEnter(o.txtKeido2(box), QStringLiteral("0"));
        QCOMPARE(o.txtKeido2(3).Text(), QStringLiteral("0"));
        QVERIFY(hasFocus(o.txtIdo2(0)));
    }

    void numbersBeyondTheirFieldsAreRefused()
    {
        platform::ScopedScriptedUi ui;
        frmEdit& e = openDrawing();
        frmOption& o = show(e);
        GE_sngScale = 250;
        typeEnter(*o.txtScale, QStringLiteral("1e39"));
        QCOMPARE(GE_sngScale, 250.0f);
        QCOMPARE(o.txtScale->Text(), QStringLiteral("250"));
        QVERIFY(focused() == static_cast<QWidget*>(o.optUnitD(0).radioButton()));
        // Any key on a unit goes to "閉じる".
        QTest::keyClick(o.optUnitD(0).radioButton(), Qt::Key_X);
        QVERIFY(focused() == static_cast<QWidget*>(o.cmdOK->button()));
        typeEnter(*o.txtHojoLen, QStringLiteral("12.5mm"));
        QVERIFY(focused() == static_cast<QWidget*>(o.chkSnap->checkBox()));
        QCOMPARE(o.txtHojoLen->Text(), QStringLiteral("15"));
        // A scale that is not above 0 is refused in its box.
        typeKeys(*o.txtScale, QStringLiteral("-2500"));
        QTest::keyClick(o.txtScale->lineEdit(), Qt::Key_Tab);
        QVERIFY(GE_sngScale == 250 && o.txtScale->Text() == QStringLiteral("250") && hasFocus(*o.txtScale));
        QCOMPARE(ui->last().prompt, QStringLiteral("図面スケールには、0 より大きい数を入力してください。"));
        o.optMOde(1).setValue(true);
        o.SSTab->setTab(3);
        o.txtKeido1(0).SetFocus();
        QTest::keyClicks(o.txtKeido1(0).lineEdit(), QStringLiteral("40000"));
        QCOMPARE(o.txtKeido1(0).Text(), QStringLiteral("400"));
        const QString digits = QStringLiteral("桁までの整数を入力してください。\r\n数の前後の空白と符号、単位の記号は桁に数えません。");
        QTRY_COMPARE(ui->last().prompt, QStringLiteral("対応点１の経度の度の欄には、数字 3 ") + digits);
        // Signs, blanks and marks take no digit's place; a text committed
        // whole with more digits than the box takes is refused whole.
        for (const QString& text : {QStringLiteral("＋３５"), QStringLiteral(" 35"), QStringLiteral("35°")}) {
            typeKeys(o.txtIdo1(0), text);
            QCOMPARE(o.txtIdo1(0).Text(), text);
        }
        const qsizetype boxes = ui->boxes.size();
        typeKeys(o.txtIdo1(0), QStringLiteral("３５．６８"));
        QTRY_COMPARE(ui->boxes.size(), boxes + 1);
        QCOMPARE(ui->last().prompt, QStringLiteral("対応点１の緯度の度の欄には、数字 2 ") + digits);
        QVERIFY(o.txtIdo1(0).Text() == QStringLiteral("35°") && hasFocus(o.txtIdo1(0)));
        ui->boxes.clear();
        type(o.txtKeido1(0), QStringLiteral("1e5"));
        o.txtKeido1(1).SetFocus();
        QCOMPARE(o.txtKeido1(0).Text(), QStringLiteral("1e5"));
        // A stored X ratio of 0 gives no stretch to take.
        o.optMOde(0).setValue(true);
        o.chkPictAdj->setValue(1);
        GE_tpPtoD_r = {0, 0.5};
        GE_sngPictAdj = 1.5f;
        o.SSTab->setTab(2);
        // Points whose distance is beyond any length: the last one is refused.
        typeXY(o, 0, {"0", "0", "3.4e38", "3.4e38", "1"});
        QCOMPARE(o.txtXY(3).Text(), QStringLiteral("0"));
        o.txtXY(4).setText(QStringLiteral("0"));
        e.popDisY->choose();  // the horizontal pair is not the one set
        click(o.cmdSettei);
        QCOMPARE(GE_sngPictAdj, 1.5f);
        QCOMPARE(ui->boxes.size(), 0);
        // A length of the pair set that is not above 0 is refused in its box.
        const float distanceY = GE_sngDistanceD_Y;
        typeKeys(o.txtXY(11), QStringLiteral("－１１８０"));
        click(o.cmdSettei);
        QCOMPARE(ui->last().prompt, QStringLiteral("垂直距離の図面上の長さが 0 以下のため、設定できません。\r\n"
                                                   "画面上と図面上の長さには、0 より大きい数を入力してください。"));
        QVERIFY(GE_sngDistanceD_Y == distanceY && hasFocus(o.txtXY(11)));
        ui->boxes.clear();
        // A scale the map cannot show is refused as a whole.
        const QString lengths[] = {"130", "1E-30", "160", "40"};
        for (int i = 0; i < 4; ++i)
            o.txtXY(i < 2 ? 4 + i : 8 + i).setText(lengths[i]);
        const float realX = GE_sngDistanceD_X;
        const typPointD ratio = GE_tpPtoD_r;
        click(o.cmdSettei);
        QCOMPARE(ui->boxes.size(), 1);
        QCOMPARE(ui->boxes[0].prompt, QStringLiteral("縮尺または扁平率が範囲外のため、設定できません。\r\n"
                                                     "画面上と図面上の距離を確かめてください。"));
        QCOMPARE(ui->boxes[0].title, QStringLiteral("既知の距離設定"));
        QCOMPARE(GE_sngPictAdj, 1.5f);
        QVERIFY(GE_tpPtoD_r.dblX == ratio.dblX && GE_tpPtoD_r.dblY == ratio.dblY);
        QCOMPARE(GE_sngDistanceD_X, realX);
        close(o);
    }

    void aLeftOverWindowWritesNothingIntoTheNextDrawing()
    {
        frmEdit& a = openDrawing(QStringLiteral("A"), {30, 40, 200, 45});
        QCOMPARE(GE_sngHosei, (std::array<float, 4>{30, 40, 200, 45}));
        show(a);
        Fixture::closeEditor();
        QVERIFY(!Instance<frmOption>::exists());
        // Should one be left with A's copies, B's load drops it unheard.
        Instance<frmOption>::get();
        GE_sngHosei = {10, 10, 100, 10};
        QVERIFY(m_session.fx->storeDrawing(QStringLiteral("B"), m_session.fx->dir.path(), QStringLiteral("map.bmp")) > 0);
        Fixture::open();
        QCOMPARE(GE_sngHosei, (std::array<float, 4>{10, 10, 100, 10}));
        QCOMPARE(Instance<frmOption>::get().sngHoseiBak, (std::array<float, 4>{10, 10, 100, 10}));
    }

    void calibrationIsKeptWithTheDrawing()
    {
        frmEdit& e = openDrawing();
        QVERIFY(!e.booDrawChange);
        frmOption& o = show(e);
        QVERIFY(!e.booDrawChange);
        o.optUnitD(1).setValue(true);
        QVERIFY(e.booDrawChange);
        e.booDrawChange = false;
        o.SSTab->setTab(2);
        type(o.txtXY(5), QStringLiteral("50"));
        click(o.cmdSettei);
        QVERIFY(e.booDrawChange);
        close(o);
        platform::ScopedScriptedUi ui;
        ui->answerMsgBox(vb::vbYes);
        Fixture::closeEditor();
        QCOMPARE(ui->boxes.size(), 1);
        QCOMPARE(ui->boxes[0].prompt, QStringLiteral("オブジェクトを上書きしますか？"));
        GE_tpPtoD_r = {};
        GE_intUnitDIndex = 0;
        typPrint print;
        QVERIFY(!mdlSQL::fncSQL_GetPrint(QStringLiteral("O-1"), print));
        QCOMPARE(GE_intUnitDIndex, qint16(1));
        QVERIFY(near(GE_tpPtoD_r.dblX, 0.5, 1e-9));
    }
};

QTEST_MAIN(TestFrmOption)
#include "tst_frmoption.moc"
