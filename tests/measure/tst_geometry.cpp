#include "measure/geometry.h"
#include "platform/vberror.h"

#include <QWidget>
#include <QtTest>

#include <array>
#include <cmath>

using namespace mdlSub;

struct Seg {  // x1, y1, x2, y2 and the expected values
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, e1 = 0, e2 = 0;
};

class TestGeometry : public QObject {
    Q_OBJECT

private slots:
    void rotation()
    {
        // Clockwise on screen for a positive angle; straightening a 45 degree tilt.
        typPointS r = fncRotate_Point({10, 10}, {20, 10}, measure::Pi / 2);
        QVERIFY(r.sngX == 10 && r.sngY == 20);
        r = fncRotate_Point({10, 10}, {100, 100}, -45 * measure::DegToRad);
        QVERIFY(r.sngX == 137.279221f && r.sngY == 10);
    }

    void lineAngle_data()
    {
        // Degrees and radians to the digit: they carry the program's own pi.
        QTest::addColumn<Seg>("c");
        QTest::newRow("rising") << Seg{0, 0, 10, 10, 45.000000000000043, std::atan(1.0)};
        QTest::newRow("falling") << Seg{0, 10, 10, 0, -45.000000000000043, -std::atan(1.0)};
        QTest::newRow("single point") << Seg{3, 3, 3, 3, 90, 1.570796326794895};
        QTest::newRow("horizontal") << Seg{1, 7, 9, 7, 0, 0};
        // Single-precision differences; from doubles the eighth digit differs (0.14893890318...).
        QTest::newRow("single differences") << Seg{0.1, 0.7, 1000.3, 3.3, 0.14893889613129727, 0.0025994741217769796};
    }
    void lineAngle()
    {
        QFETCH(Seg, c);
        const auto digits = [](double v) { return QString::number(v, 'g', 17); };
        QCOMPARE(digits(fncGet_LineAngle(c.x1, c.y1, c.x2, c.y2, 1)), digits(c.e1));
        QCOMPARE(digits(fncGet_LineAngle(c.x2, c.y2, c.x1, c.y1, 0)), digits(c.e2));
    }

    void pointAtDistance_data()
    {
        // From (0, 0) toward (x2, y2) by the distance in y1.
        QTest::addColumn<Seg>("c");
        QTest::newRow("up") << Seg{0, 5, 0, -10, 0, -5};
        QTest::newRow("left") << Seg{0, 5, -10, 0, -5, 0};
        QTest::newRow("back and left, beyond") << Seg{0, 10, -3, -4, -6, -8};
        QTest::newRow("pointer on the start") << Seg{0, 5, 0, 0, 0, 0};
    }
    void pointAtDistance()
    {
        QFETCH(Seg, c);
        const typPointS p = fncGet_PointAtDistance(0, 0, c.x2, c.y2, c.y1);
        QVERIFY(p.sngX == float(c.e1) && p.sngY == float(c.e2));
    }

    void signedAngle_data()
    {
        QTest::addColumn<Seg>("c");
        QTest::newRow("left") << Seg{2, 2, 1, 2, 180};
        QTest::newRow("up left") << Seg{2, 2, 1, 1, 135};
        QTest::newRow("down left") << Seg{2, 2, 1, 3, -135};
        QTest::newRow("same point") << Seg{2, 2, 2, 2, -90};
        QTest::newRow("a coordinate of 0") << Seg{0, 5, 3, 1, 0};
    }
    void signedAngle()
    {
        QFETCH(Seg, c);
        QCOMPARE(fncGet_SignedAngle(c.x1, c.y1, c.x2, c.y2), float(c.e1));
    }

    void roundPoint()
    {
        float x = 0, y = 0;
        subRound_Point(-3.5f, 2.25f, x, y, 0);
        QVERIFY(x == -4 && y == 2);
        // The scaled value is a single: 1.005f is just below 1.005 yet gives 1.01.
        subRound_Point(1.005f, -0.004f, x, y, 2);
        QVERIFY(x == 1.01f && y == 0 && !std::signbit(y));
    }

    void areaStyleAndPath()
    {
        const std::array<typPointD, 4> square{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
        const std::array<typPointD, 4> reversed{{{0, 10}, {10, 10}, {10, 0}, {0, 0}}};
        QVERIFY(fncGet_PolygonArea(square, 3) == 100 && fncGet_PolygonArea(reversed, 3) == 100);
        QCOMPARE(fncGet_PolygonArea(square, -1), 0.0);
        QVERIFY_THROWS_EXCEPTION(vb::Error, fncGet_PolygonArea(square, 4));

        QVERIFY(fncGet_DrawStyle(0) == 5 && fncGet_DrawStyle(5) == 4 && fncGet_DrawStyle(7) == 7);

        QString folder, file;
        subSplit_Path(QStringLiteral("/home/u/maps/a.jpg"), folder, file);
        QVERIFY(folder == u"/home/u/maps/" && file == u"a.jpg");
        subSplit_Path(QStringLiteral("a.jpg"), folder, file);
        QVERIFY(folder.isEmpty() && file == u"a.jpg");
    }

    void topMostKeepsPlace()
    {
        QWidget window;
        window.setGeometry(120, 80, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect place = window.geometry();
        subSet_TopMost(window);
        subSet_TopMost(window);  // again on the next activation: no change
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) && window.isVisible());
        QCOMPARE(window.geometry(), place);
    }
};

QTEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
