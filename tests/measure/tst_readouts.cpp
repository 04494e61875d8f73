// The live readouts on the editor: lengths with their angle or bearing,
// positions, the floating length label and the measuring display.

#include "measure/geometry.h"
#include "measure/readouts.h"
#include "measure/unitnames.h"
#include "tests/editor/editorfixture.h"

#include "app/mdlFileAccess.h"
#include "platform/vbruntime.h"

#include <QtTest>

using namespace editortest;

namespace {
const QString Id = QStringLiteral("240305060708");
}

class TestReadouts : public QObject {
    Q_OBJECT

    editortest::Session m_session;
    std::unique_ptr<Fixture>& m_fx = m_session.fx;
    std::unique_ptr<platform::ScopedScriptedUi>& m_quiet = m_session.quiet;

    // A new drawing without picture: known distances, metres, two decimals,
    // no tilt; picture (0, 0) lies at (lon, lat), one second of arc per
    // picture unit, north up.
    static frmEdit& openEditor(double lon = 502890, double lat = 128482)
    {
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        GE_tpPtoK_r = {1, -1};
        GE_tpPx00ToKei = {lon, lat};
        return e;
    }

private slots:
    void initTestCase()
    {
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }
    void init()
    {
        QVERIFY(m_session.begin());
    }
    void cleanup()
    {
        m_session.end();
    }

    void lengthByKnownDistance_data()
    {
        QTest::addColumn<QLineF>("s");
        QTest::addColumn<double>("tilt");  // GE_dblHosei(3) about (10, 10)
        QTest::addColumn<double>("length");
        QTest::addColumn<QString>("angle");
        QTest::newRow("from a zero coordinate") << QLineF(0, 0, 30, 40) << 0.0 << 25.0 << "0.0゜";
        QTest::newRow("down the screen") << QLineF(10, 10, 40, 50) << 0.0 << 25.0 << "-53.1301゜";
        QTest::newRow("up and left") << QLineF(40, 50, 10, 10) << 0.0 << 25.0 << "126.8699゜";
        // Straightened, the spans meet the other ratio; the angle stays as drawn.
        QTest::newRow("tilted") << QLineF(10, 10, 40, 10) << measure::Pi / 2 << 30.0 << "0.0゜";
        QTest::newRow("tilted, vertical") << QLineF(20, 20, 20, 60) << measure::Pi / 2 << 20.0 << "-90.0゜";
        // Single-precision spans; from doubles the length would be 500.1016836.
        QTest::newRow("single spans") << QLineF(0.1, 0.7, 1000.3, 3.3) << 0.0 << 500.10169576 << "-0.1489゜";
    }
    void lengthByKnownDistance()
    {
        QFETCH(QLineF, s);
        QFETCH(double, tilt);
        QFETCH(double, length);
        QFETCH(QString, angle);
        GE_sngHosei = {10, 10, 100, 10};
        GE_dblHosei = {0, 0, 0, tilt};
        GE_tpPtoD_r = {0.5, tilt == 0 ? 0.5 : 1.0};
        const measure::typReadout r = measure::fncReadout_Dis(s.x1(), s.y1(), s.x2(), s.y2());
        QVERIFY2(qAbs(r.length - length) < 1e-7, qPrintable(QString::number(r.length, 'g', 17)));
        QCOMPARE(r.angleText, angle);
    }

    // Lengths and bearings against the independently computed table.
    void lengthByLonLat_data()
    {
        QTest::addColumn<QList<double>>("row");  // lon1, lat1, lon2, lat2, metres, bearing
        QFile table(qEnvironmentVariable("NEMU_SOURCE_DIR") + "/tests/measure/formula_table.csv");
        QVERIFY(table.open(QIODevice::ReadOnly));
        int rows = 0;
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> f = line.trimmed().split(',');
            if (f.size() < 7 || f[0] != "lonlat" || rows == 4)
                continue;
            QList<double> row;
            for (int i = 1; i <= 6; ++i)
                row << f[i].toDouble();
            QTest::addRow("table row %d", rows++) << row;
        }
    }
    void lengthByLonLat()
    {
        QFETCH(QList<double>, row);
        frmEdit& e = openEditor(row[0], row[1]);
        const float x2 = float(row[2] - row[0]), y2 = float(row[1] - row[3]);
        GE_intUnitDIndex = 3;  // km
        const double km = e.fncLen_KeiIdo(0, 0, x2, y2);
        QVERIFY2(qAbs(km - row[4] / 1000) < 1e-9, qPrintable(QString::number(km, 'g', 17)));
        QCOMPARE(e.stsTip->Panels(4).Text(), vb::Format(float(row[5]), QStringLiteral("##0.0###゜")));
        GE_intUnitDIndex = 14;
        QCOMPARE(testsupport::errorOf([&] { e.fncLen_KeiIdo(0, 0, x2, y2); }), long(vb::errSubscript));
        // A unit index no table has (a damaged row) leaves the unit's name as it was.
        GE_strUnitD = QStringLiteral("km ");
        GE_strUnitS = QStringLiteral("ha ");
        GE_intUnitSIndex = 14;
        measure::subSet_UnitNames();
        QCOMPARE(GE_strUnitD, QStringLiteral("km "));
        QCOMPARE(GE_strUnitS, QStringLiteral("ha "));
    }

    void positionTexts()
    {
        frmEdit& e = openEditor(135 * 3600 + 30 * 60 + 15.25, 35 * 3600 + 40 * 60);
        GE_tpPtoD_r = {0.25, 2};
        QCOMPARE(e.fncPix_KeiIdoText(0, 0), QStringLiteral("135-30-15.2500 E  035-40-00.0000 N "));
        QCOMPARE(e.fncPix_KeiIdoText(60, -30), QStringLiteral("135-31-15.2500 E  035-40-30.0000 N "));
        QCOMPARE(e.strKeiIdoDMS, QStringLiteral("135-31-15.2500,035-40-30.0000"));
        QCOMPARE(e.strKeiIdoSec, QStringLiteral("487875.25,128430"));
        QString lon, lat;
        e.fncPix_KeiIdo(60, -30, lon, lat);
        QCOMPARE(lon + ',' + lat, e.strKeiIdoSec);
        double x = 0, y = 0;
        e.fncPix_MM(60, -30, x, y);
        QCOMPARE(QPointF(x, y), QPointF(15, -60));
    }

    void lineLabel_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("caption");
        QTest::newRow("zoom 1") << 1.0f << 2 << " 25.00 m ";
        QTest::newRow("zoom 2") << 2.0f << 2 << " 25.00 m ";
        QTest::newRow("seven decimals: general text") << 1.0f << 7 << "25m ";
    }
    void lineLabel()
    {
        QFETCH(float, zoom);
        QFETCH(int, decimals);
        QFETCH(QString, caption);
        frmEdit& e = openEditor();
        GE_sngZoom = zoom;
        GE_intDPointD = qint16(decimals);
        GE_tpPtoD_r = {0.5, 0.5};
        e.booCalcDis = true;
        e.lblDistance.Tag = "000:0.000_" + Id;
        platform::LineElement& line = e.lineDistance;
        line.X1 = 10 * zoom, line.Y1 = 10 * zoom, line.X2 = 40 * zoom, line.Y2 = 50 * zoom;
        const float width = e.lblDistance.Width(), height = e.lblDistance.Height();
        e.subDisp_LineDistance(line, e.lblDistance);
        QCOMPARE(e.lblDistance.Caption.get(), caption);
        QCOMPARE(e.lblDistance.Tag, QStringLiteral("02%1:25_").arg(decimals) + Id);
        QCOMPARE(e.stsTip->Panels(4).Text(), QStringLiteral("-53.1301゜"));
        QCOMPARE(e.stsTip->Panels(5).Text(), caption);
        QCOMPARE(QPointF(e.lblDistance.Left, e.lblDistance.Top), QPointF(25 * zoom - width / 2, 30 * zoom - height / 2));
        // A given length is only formatted.
        e.subDisp_DistanceAt(0, 0, 300, 400, 12.346);
        QCOMPARE(e.stsTip->Panels(5).Text(), decimals == 2 ? QStringLiteral(" 12.35 m ") : QStringLiteral("12.346m "));
    }

    void lineLabelByLonLatOnThePolygon()
    {
        frmEdit& e = openEditor();
        e.booCalcKei = true;
        GE_intDPointD = 1;
        e.lineMenseki.Load(1);  // the side being drawn: the buffer's last
        e.lineMenseki(1).X2 = -15018;
        e.lineMenseki(1).Y2 = 3611;
        e.subDisp_DistanceLine();
        QCOMPARE(e.stsTip->Panels(5).Text(), QStringLiteral(" 394,904.2 m "));
        QCOMPARE(e.stsTip->Panels(4).Text(), QStringLiteral("253.6058゜"));
    }

    void failuresAndPointers()
    {
        frmEdit& e = openEditor();
        GE_intDPointD = 9;
        QCOMPARE(testsupport::errorOf([&] { e.subDisp_DistanceAt(0, 0, 1, 1, 2); }), long(vb::errSubscript));
        GE_intDPointD = 2;
        // A zoom of 0 is refused as a division, never shown as infinity.
        GE_sngZoom = 0;
        e.booCalcDis = true;
        e.lineDistance.X1 = 5;
        QCOMPARE(testsupport::errorOf([&] { e.subDisp_LineDistance(e.lineDistance, e.lblDistance); }),
                 long(vb::errDivisionByZero));
        QCOMPARE(testsupport::errorOf([&] { e.fncObj_Bounds(e.lineDistance); }), 438L);
        e.shpShape(0).Move(20, 30, 10, 6);
        e.fncObj_Bounds(e.shpShape(0));
        const QList<QPointF> corners{{18, 29}, {18, 36}, {30, 29}, {30, 36}};
        for (int k = 0; k <= 3; ++k)
            QCOMPARE(QPointF(e.shpPointer(k).Left, e.shpPointer(k).Top), corners[k]);
    }

    void viewResetClearsTheMeasuringDisplay()
    {
        frmEdit& e = openEditor();
        e.subHojo_Visible(true);
        QVERIFY(e.lineHojo(3).Visible);
        e.shpCircle.Visible = e.lblMenseki.Visible = e.lblKeiro.Visible = e.booRenzoku = true;
        e.lineMenseki.Load(1);
        e.lineMenseki.Load(2);
        e.subReset_ViewMode();
        QVERIFY(!e.shpCircle.Visible && !e.lblMenseki.Visible && !e.lblKeiro.Visible && !e.booRenzoku);
        for (int k = 0; k <= 3; ++k)
            QVERIFY(!e.lineHojo(k).Visible);
        QCOMPARE(e.lineMenseki.Count(), 1);
    }
};

QTEST_MAIN(TestReadouts)
#include "tst_readouts.moc"
