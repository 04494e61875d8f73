// The temporary extension lines: their offset and how the four lines are laid.

#include "editor/frmEdit.h"
#include "interaction/hojo.h"
#include "tests/editor/editorfixture.h"

#include <QtTest>

using namespace editortest;

struct HojoCase {  // the line, the length, and the expected ends of lines 0 and 3
    float x1, y1, x2, y2, length;
    float e0x, e0y, e3x, e3y;
};
Q_DECLARE_METATYPE(HojoCase)

class TestHojo : public QObject {
    Q_OBJECT
    editortest::Session m_session;

private slots:
    void init() { QVERIFY(m_session.begin()); }
    void cleanup() { m_session.end(); }

    void layout_data()
    {
        QTest::addColumn<HojoCase>("c");
        // Up to the rounding of the cosine, compared to 1e-4.
        QTest::newRow("horizontal") << HojoCase{10, 20, 50, 20, 15, 10, 5, 50, 35};
        QTest::newRow("vertical: 0 and 1 to +x") << HojoCase{10, 20, 10, 60, 10, 20, 20, 0, 60};
        QTest::newRow("3-4-5 diagonal") << HojoCase{40, 30, 10, 70, 15, 28, 21, 22, 79};
        QTest::newRow("single point: horizontal") << HojoCase{5, 5, 5, 5, 15, 20, 5, -10, 5};
    }
    void layout()
    {
        QFETCH(HojoCase, c);
        frmEdit& e = Fixture::open();
        e.subHojo_Start(e.lineHojo, c.x1, c.y1);
        e.subHojo_Layout(e.lineHojo, c.x1, c.y1, c.x2, c.y2, c.length);
        const auto near = [](float a, float b) { return qAbs(a - b) < 1e-4f; };
        const platform::LineElement &l0 = e.lineHojo(0), &l1 = e.lineHojo(1), &l2 = e.lineHojo(2),
                                    &l3 = e.lineHojo(3);
        // 0 and 2 start at the first point, 1 and 3 at the second.
        QVERIFY(l0.X1 == c.x1 && l0.Y1 == c.y1 && l2.X1 == c.x1 && l2.Y1 == c.y1);
        QVERIFY(l1.X1 == c.x2 && l1.Y1 == c.y2 && l3.X1 == c.x2 && l3.Y1 == c.y2);
        QVERIFY2(near(l0.X2, c.e0x) && near(l0.Y2, c.e0y), qPrintable(QStringLiteral("%1 %2").arg(l0.X2).arg(l0.Y2)));
        QVERIFY2(near(l3.X2, c.e3x) && near(l3.Y2, c.e3y), qPrintable(QStringLiteral("%1 %2").arg(l3.X2).arg(l3.Y2)));
        // Each end is a cross of twice the length centred on its point, the
        // same offset at both ends.
        QVERIFY(near(l0.X2 + l2.X2, 2 * c.x1) && near(l0.Y2 + l2.Y2, 2 * c.y1));
        QVERIFY(near(l1.X2 + l3.X2, 2 * c.x2) && near(l1.Y2 + l3.Y2, 2 * c.y2));
        QVERIFY(near(l1.X2 - c.x2, l0.X2 - c.x1) && near(l1.Y2 - c.y2, l0.Y2 - c.y1));
        // The offset is the same whatever the zoom.
        GE_sngZoom = 2;
        e.subHojo_Layout(e.lineHojo, c.x1, c.y1, c.x2, c.y2, c.length);
        QVERIFY(near(l0.X2, c.e0x) && near(l0.Y2, c.e0y));
        GE_sngZoom = 1;
    }

    void layoutKeepsLaidStart()
    {
        // The first ends are taken from the lines' own starts.
        frmEdit& e = Fixture::open();
        e.subHojo_Start(e.lineHojo, 100, 100);
        e.subHojo_Layout(e.lineHojo, 10, 20, 50, 20, 15);
        QVERIFY(qAbs(e.lineHojo(0).X2 - 100) < 1e-4f && qAbs(e.lineHojo(0).Y2 - 85) < 1e-4f);
        QVERIFY(e.lineHojo(1).X1 == 50.0f);
    }
};

QTEST_MAIN(TestHojo)
#include "tst_hojo.moc"
