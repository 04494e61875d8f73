// The calibration line, its markers and ticks on the editor's map.

#include "tests/editor/editorfixture.h"

#include "measure/checkline.h"

#include <QtTest>

using namespace editortest;

class TestCheckLine : public QObject {
    Q_OBJECT
    Session m_session;

private slots:
    void init()
    {
        QVERIFY(m_session.begin());
        GE_tpPrint = typPrint{};
    }
    void cleanup() { m_session.end(); }

    void openingPlacesTheLineOnTheDefaultTiltPoints()
    {
        frmEdit& e = Fixture::open();
        QCOMPARE(float(e.lineCheck.X1), 10.0f);
        QCOMPARE(float(e.lineCheck.X2), 100.0f);
        QCOMPARE(float(e.lineCheck.Y2), 10.0f);
        QVERIFY(!e.lineCheck.Visible);
        // 4 mm markers, centred by their own size.
        for (int k = 0; k <= 1; ++k) {
            QCOMPARE(e.shpCheck(k).Width(), 4.0f);
            QCOMPARE(e.shpCheck(k).Height(), 4.0f);
        }
        QCOMPARE(float(e.shpCheck(0).Left), 8.0f);
        QCOMPARE(float(e.shpCheck(0).Top), 8.0f);
        QCOMPARE(float(e.shpCheck(1).Left), 98.0f);
    }

    void ticksStandAcrossTheSegment_data()
    {
        QTest::addColumn<QList<float>>("segment");  // x1, y1, x2, y2
        QTest::addColumn<QList<float>>("ends");     // X2, Y2 of ticks 0 to 3
        QTest::newRow("horizontal") << QList<float>{10, 10, 100, 10} << QList<float>{10, -5, 100, -5, 10, 25, 100, 25};
        QTest::newRow("vertical") << QList<float>{50, 0, 50, 80} << QList<float>{65, 0, 65, 80, 35, 0, 35, 80};
        QTest::newRow("one point") << QList<float>{30, 30, 30, 30} << QList<float>{45, 30, 45, 30, 15, 30, 15, 30};
    }

    void ticksStandAcrossTheSegment()
    {
        QFETCH(QList<float>, segment);
        QFETCH(QList<float>, ends);
        frmEdit& e = Fixture::open();
        mdlSub::subSet_CheckMarker(1, 2, 3, 4);
        mdlSub::subSet_HojoLines(segment[0], segment[1], segment[2], segment[3], 15);
        for (int k = 0; k <= 3; ++k) {
            QVERIFY(e.lineHojo(k).Visible);
            QCOMPARE(float(e.lineHojo(k).X1), segment[k % 2 * 2]);
            QCOMPARE(float(e.lineHojo(k).Y1), segment[k % 2 * 2 + 1]);
            QVERIFY(qAbs(e.lineHojo(k).X2 - ends[2 * k]) < 1e-4);
            QVERIFY(qAbs(e.lineHojo(k).Y2 - ends[2 * k + 1]) < 1e-4);
        }
        QCOMPARE(float(e.lineCheck.X2), segment[2]);
        QCOMPARE(float(e.lineCheck.Y2), segment[3]);
        // The markers stay where they were put.
        QCOMPARE(float(e.shpCheck(1).Left), 1.0f);
        QCOMPARE(float(e.shpCheck(1).Top), 2.0f);
    }
};

QTEST_MAIN(TestCheckLine)
#include "tst_checkline.moc"
