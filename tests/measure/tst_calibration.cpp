#include "app/globals.h"
#include "measure/calibration.h"
#include "measure/geometry.h"
#include "platform/vberror.h"

#include "tests/support/testsupport.h"

#include <QtTest>

#include <cmath>
#include <functional>

using namespace mdlSub;
using namespace Qt::StringLiterals;

namespace {

using testsupport::errorOf;

bool near(double actual, double expected, double tolerance = 1e-6)
{
    return std::fabs(actual - expected) <= tolerance * std::max(1.0, std::fabs(expected));
}

// No tilt; picture (100, 200) is lon 500000" lat 126000" (35 degrees), and
// (300, 50) lies 20" east and 30" north of it, on a picture of 400 by 300.
constexpr float PictureWidth = 400, PictureHeight = 300;
void setUpKnownPoints()
{
    GE_sngHosei = {0, 0, 0, 0};
    GE_dblHosei = {0, 0, 0, 0};
    GE_tpPiccel = {typPointS{100, 200}, typPointS{300, 50}};
    GE_dblKeido = {500000, 500020};
    GE_dblIdo = {126000, 126030};
    GE_booPictAdj = false;
    GE_sngPictAdj = 0;
    GE_tpPtoK_r = GE_tpKtoP_r = GE_tpPtoD_r = GE_tpKI00ToPx = typPointD{-1, -1};
    GE_tpPx00ToKei = typLonLat{-1, -1};
}

}  // namespace

struct Arc {  // two points (or a point and a ratio) and the expected values
    double a1 = 0, b1 = 0, a2 = 0, b2 = 0, e1 = 0, e2 = 0;
};

class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    void tiltAngle()
    {
        GE_sngHosei = {10, 10, 100, 100};  // right point lower on the screen
        subCalc_Hosei();
        QVERIFY(near(GE_dblHosei[0], 45, 1e-12) && near(GE_dblHosei[1], -45, 1e-12));
        QVERIFY(near(GE_dblHosei[2], measure::Pi / 4, 1e-12) && near(GE_dblHosei[3], -measure::Pi / 4, 1e-12));
        QCOMPARE(fncRotate_Point({10, 10}, {100, 100}, GE_dblHosei[3]).sngY, 10.0f);  // straightened
        GE_sngHosei = {10, 10, 10, 10};
        subCalc_Hosei();
        QCOMPARE(GE_dblHosei[0], 90.0);
    }

    void keiIdoCalibration()
    {
        setUpKnownPoints();
        subCalc_KeiIdo(PictureWidth, PictureHeight);
        QVERIFY(GE_tpPtoK_r.dblX == 0.1 && GE_tpPtoK_r.dblY == -0.2);
        QVERIFY(GE_tpKtoP_r.dblX == 10 && GE_tpKtoP_r.dblY == -5);
        QVERIFY(GE_tpPx00ToKei.dblLongitude == 499990 && GE_tpPx00ToKei.dblLatitude == 126040);
        QVERIFY(GE_tpKI00ToPx.dblX == -4999900 && GE_tpKI00ToPx.dblY == 630200);
        // 20" x 1852/60 m x cos 35 deg = 505.690 m over 200 units; 30" = 926 m over 150.
        QVERIFY(near(GE_tpPtoD_r.dblX, 2.528449) && near(GE_tpPtoD_r.dblY, 6.173333));
        QCOMPARE(GE_sngPictAdj, 1.0f);

        setUpKnownPoints();
        GE_booPictAdj = true;
        subCalc_KeiIdo(PictureWidth, PictureHeight);
        QVERIFY(near(GE_sngPictAdj, 6.173333 / 2.528449));
        QCOMPARE(GE_tpPtoD_r.dblY, GE_tpPtoD_r.dblX);

        // Typed east of 180 degrees, the picture running on past 360: read
        // out east of Greenwich, from 0 up to 360 degrees.
        setUpKnownPoints();
        GE_dblKeido = {1295980, 1296000};
        QCOMPARE(subCalc_KeiIdo(PictureWidth, PictureHeight), KeiIdoFault::none);
        QCOMPARE(GE_tpPx00ToKei.dblLongitude, 1295970.0);
        const std::pair<double, double> shown[] = {{1295970, 1295970}, {1296000, 0},         {1296010, 10},
                                                   {-10, 1295990},     {-1e-9, 0},           {736500, 736500},
                                                   {-1.0e9, -1.0e9},   {MaxShownLongitude, 0}};
        for (const auto& [seconds, expected] : shown)
            QCOMPARE(fncShown_Longitude(seconds), expected);

        // A point on 0 degrees of longitude, or on the equator, is a point
        // like any other; one on both counts as not entered.
        const std::pair<std::array<double, 4>, int> zeros[] = {{{0, 20, 126000, 126030}, -1},
                                                               {{500000, 500020, 0, 30}, -1},
                                                               {{500000, 0, 126000, 0}, 1},
                                                               {{0, 500020, 0, 126030}, 0}};
        for (const auto& [v, unentered] : zeros) {
            setUpKnownPoints();
            GE_dblKeido = {v[0], v[1]};
            GE_dblIdo = {v[2], v[3]};
            QCOMPARE(fncUnentered_Point(), unentered);
            QCOMPARE(subCalc_KeiIdo(PictureWidth, PictureHeight),
                     unentered < 0 ? KeiIdoFault::none : KeiIdoFault::zero);
            QCOMPARE(GE_tpPtoK_r.dblX, unentered < 0 ? 0.1 : -1.0);
        }

        // Points more than 180 degrees apart: taken whichever way round puts
        // east on the right, 320 degrees (a map of the world) or 40 across 0.
        const std::pair<std::array<double, 2>, double> ways[] = {{{36000, 1188000}, 3200},
                                                                  {{1188000, 36000}, 400}};
        for (const auto& [longitudes, perUnit] : ways) {
            setUpKnownPoints();
            GE_tpPiccel = {typPointS{20, 200}, typPointS{380, 50}};
            GE_dblKeido = longitudes;
            QCOMPARE(subCalc_KeiIdo(PictureWidth, PictureHeight), KeiIdoFault::none);
            QVERIFY(near(GE_tpPtoK_r.dblX, perUnit));
        }
    }

    // A refused calibration changes nothing, not even what it would have set first.
    void keiIdoRefusals()
    {
        const std::pair<KeiIdoFault, std::function<void()>> spoilers[] = {
            // Longitude and latitude both 0: the point counts as not entered.
            {KeiIdoFault::zero, [] { GE_dblKeido[1] = 0, GE_dblIdo[1] = 0; }},
            {KeiIdoFault::coincide, [] { GE_tpPiccel[1].sngX = 100; }},
            {KeiIdoFault::coincide,
             [] {  // the y values differ, but not once straightened
                 GE_sngHosei = {10, 10, 100, 100};
                 subCalc_Hosei();
                 GE_tpPiccel = {typPointS{10, 10}, typPointS{100, 100}};
             }},
            // The stretch a hair's breadth in y would need.
            {KeiIdoFault::range, [] { GE_booPictAdj = true, GE_tpPiccel[1].sngY = 200.0001f; }},
            {KeiIdoFault::range, [] { GE_booPictAdj = true, GE_dblKeido[1] = 503600, GE_dblIdo[1] = 126001; }},
            {KeiIdoFault::range, [] { GE_dblIdo[0] = 90 * 3600; }},  // no metres east-west at the pole
            {KeiIdoFault::range, [] { GE_tpPiccel = {typPointS{-3e38f, 200}, typPointS{3e38f, 50}}; }},
            {KeiIdoFault::range, [] { GE_dblKeido[1] = 3e38; }},
            // Both points on the earth, but the picture's top edge 10" beyond the pole.
            {KeiIdoFault::latitude, [] { GE_dblIdo = {323970, 324000}; }},
            // 3,500" of longitude per unit: the picture's 400 units span 389 degrees.
            {KeiIdoFault::longitude, [] { GE_dblKeido = {500000, 1200000}; }},
            // A longitude typed far beyond 360 degrees, on a picture a few seconds wide.
            {KeiIdoFault::longitude, [] { GE_dblKeido = {3000000, 3000020}; }}};
        for (const auto& [fault, spoil] : spoilers) {
            setUpKnownPoints();
            spoil();
            QCOMPARE(subCalc_KeiIdo(PictureWidth, PictureHeight), fault);
            for (const double v : {GE_tpPtoK_r.dblX, GE_tpPtoK_r.dblY, GE_tpKtoP_r.dblY, GE_tpKI00ToPx.dblY,
                                   GE_tpPx00ToKei.dblLatitude, GE_tpPtoD_r.dblX, GE_tpPtoD_r.dblY})
                QCOMPARE(v, -1.0);
            QCOMPARE(GE_sngPictAdj, 0.0f);
        }
    }

    void secondsToDms_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Arc>("dms");  // degree, minute, second in a1, b1, a2
        QTest::newRow("worked example") << 487815.25 << "135-30-15.2500" << Arc{135, 30, 15.25};
        QTest::newRow("one of each") << 3661.0 << "001-01-01.0000" << Arc{1, 1, 1};
        QTest::newRow("negative") << -10.0 << "-001-59-50.0000" << Arc{-1, 59, 50};
        QTest::newRow("four decimals") << 125.123456 << "000-02-05.1235" << Arc{0, 2, 5.123456};
        QTest::newRow("carry into the degree") << 3599.99999 << "001-00-00.0000" << Arc{1, 0, 0};
        QTest::newRow("a hair south of the equator") << -1e-13 << "000-00-00.0000" << Arc{0, 0, 0};
        // Beyond the 16-bit degree field, or no number: no text, no failure.
        QTest::newRow("beyond the degree field") << 32768 * 3600.0 << "***-**-**.****" << Arc{7, 7, 7};
        QTest::newRow("carried beyond it") << 32768 * 3600.0 - 0.00001 << "***-**-**.****" << Arc{7, 7, 7};
        QTest::newRow("no number") << qQNaN() << "***-**-**.****" << Arc{7, 7, 7};
    }
    void secondsToDms()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QFETCH(Arc, dms);
        typDMS out{7, 7, 7};
        QCOMPARE(fncSec_ToDMS(seconds, out), text);
        QVERIFY(out.intDeg == dms.a1 && out.intMin == dms.b1 && out.sngSec == float(dms.a2));
    }

    void arcDistances()
    {
        QCOMPARE(fncDMS_ToSec(135, 30, 15.25f), 487815.25);
        // One second of latitude is 1852/60 m; of longitude at 60 degrees (216000") half that.
        QVERIFY(near(fncGet_KeiIdoDistance(500000, 216000, 500000, 216001), 30.866667));
        QVERIFY(near(fncGet_KeiIdoDistance(500000, 216000, 500001, 216000), 15.433333));
    }

    void keiIdoAtDistance_data()
    {
        // A mean latitude of 60 degrees halves a second of longitude.
        QTest::addColumn<Arc>("c");
        QTest::addColumn<float>("d");
        QTest::newRow("north") << Arc{500, 216000, 500, 216010, 500, 216060} << 1852.0f;
        QTest::newRow("west") << Arc{500, 216000, 490, 216000, 380, 216000} << 1852.0f;
        // 80" east, 30" north: a 3-4-5 triangle in metres; 300" x 0.8 / 0.5 east, 300" x 0.6 north.
        QTest::newRow("slanting") << Arc{1000, 215985, 1080, 216015, 1480, 216165} << 5 * 1852.0f;
        QTest::newRow("slanting back") << Arc{1080, 216015, 1000, 215985, 600, 215835} << 5 * 1852.0f;
    }
    void keiIdoAtDistance()
    {
        QFETCH(Arc, c);
        QFETCH(float, d);
        const typLonLat p = fncGet_KeiIdoAtDistance(c.a1, c.b1, c.a2, c.b2, d);
        QVERIFY(near(p.dblLongitude, c.e1, 1e-9) && near(p.dblLatitude, c.e2, 1e-9));
    }

    void bearing_data()
    {
        QTest::addColumn<Arc>("c");             // from (a1, b1) to (a2, b2), degrees e1
        QTest::addColumn<double>("tolerance");  // 0: compared as floats
        QTest::newRow("north") << Arc{500, 120, 500, 130, 0} << 0.0;
        QTest::newRow("west") << Arc{500, 120, 490, 120, 270} << 0.0;
        QTest::newRow("north-east") << Arc{500, 120, 510, 130, 45} << 0.0;
        QTest::newRow("south-west") << Arc{500, 120, 490, 110, 225} << 0.0;
        QTest::newRow("same point") << Arc{500, 120, 500, 120, 180} << 0.0;
        // 0 is Greenwich or the equator, as any other coordinate.
        QTest::newRow("east along the equator") << Arc{500, 0, 510, 0, 90} << 0.0;
        QTest::newRow("north-west onto Greenwich") << Arc{10, 120, 0, 130, 315} << 0.001;
        // Mean latitude 35 deg 40' (128400"): 40" of longitude are
        // 40 x cos 35.6667 deg = 32.49692" of latitude's length, so the plane
        // bearing of 40" east and 30" north is atan(32.49692 / 30).
        QTest::newRow("mid-latitude north-east") << Arc{503100, 128385, 503140, 128415, 47.287899} << 0.001;
        QTest::newRow("mid-latitude south-west") << Arc{503140, 128415, 503100, 128385, 227.287899} << 0.001;
        QTest::newRow("mid-latitude north-west") << Arc{503140, 128385, 503100, 128415, 312.712101} << 0.001;
    }
    void bearing()
    {
        QFETCH(Arc, c);
        QFETCH(double, tolerance);
        const float bearing = fncGet_Bearing(c.a1, c.b1, c.a2, c.b2);
        if (tolerance == 0)
            QCOMPARE(bearing, float(c.e1));
        else
            QVERIFY(qAbs(bearing - c.e1) < tolerance);
    }

    void zeroRatioRaises()
    {
        GE_dblHosei = {0, 0, 0, 0};
        GE_tpPtoD_r = typPointD{0, 1};
        QCOMPARE(errorOf([] { fncCnv_DtoP({5, 1}); }), long(vb::errDivisionByZero));
        QString text;
        QCOMPARE(errorOf([&] { fncGet_PresetPoint(0, 0, 10, 10, 5, text); }), long(vb::errOverflow));  // 0 / 0
    }

    void presetPoint()
    {
        GE_sngHosei = {0, 0, 0, 0};
        GE_dblHosei = {0, 0, 0, 0};
        GE_tpPtoD_r = typPointD{2, 2};
        QString text;
        typPointS p = fncGet_PresetPoint(50, 50, 50, 20, 10, text);  // 10 real units up the screen
        QVERIFY(p.sngX == 50 && p.sngY == 45);
        QCOMPARE(text, u"90.0゜"_s);
        GE_tpPtoD_r = typPointD{1, 1};
        p = fncGet_PresetPoint(50, 50, 20, 80, 10, text);
        QVERIFY(p.sngX == 42.928932f && p.sngY == 57.071068f);
        QCOMPARE(text, u"-135.0゜"_s);

        // Toward the tilt line's right point, at that line's length: the end
        // point, turned back into the tilted picture, is that point.
        GE_sngHosei = {100, 200, 190, 290};
        subCalc_Hosei();
        p = fncGet_PresetPoint(100, 200, 190, 290, 90 * std::sqrt(2.0), text);
        QVERIFY(near(p.sngX, 190) && near(p.sngY, 290));
        QCOMPARE(text, u"0.0゜"_s);
    }

    void presetPointKeiIdo()
    {
        setUpKnownPoints();
        subCalc_KeiIdo(PictureWidth, PictureHeight);
        QString text;
        // One minute of arc north is 60" = 300 picture units up.
        typPointS p = fncGet_PresetPointKeiIdo(100, 200, 100, 150, 1852, text);
        QVERIFY(near(p.sngX, 100) && near(p.sngY, -100));
        QCOMPARE(text, u"0.0"_s);
        // East along 35 degrees: 60" / cos 35 deg = 73.24648" = 732.4648 units.
        p = fncGet_PresetPointKeiIdo(100, 200, 150, 200, 1852, text);
        QVERIFY(near(p.sngX, 832.4648) && near(p.sngY, 200));
        QCOMPARE(text, u"90.0"_s);
    }
};

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
