// The arithmetic of the map's editing: hit predicates, Shift rules, grip
// layouts, drag locks and resizes, end-mark offsets. No window needed.

#include "interaction/drag.h"
#include "interaction/endmark.h"
#include "interaction/hittest.h"
#include "interaction/shift.h"

#include <QtTest>

using namespace interaction;

namespace {

bool close(float a, double b) { return qAbs(double(a) - b) <= 0.001; }

QString text(const typRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.Left).arg(r.Top).arg(r.Width).arg(r.Height);
}

}  // namespace

class TestRules : public QObject {
    Q_OBJECT

private slots:
    void lineEnds()
    {
        struct Case {
            float x1, y1, x2, y2, x, y;
            qint16 grip;
        };
        const Case cases[] = {
            {50, 50, 80, 90, 51, 51, 1},            // exactly 1.0 off in both axes: inclusive
            {50, 50, 80, 90, 51.01f, 50, -1},      // just beyond
            {50, 50, 80, 90, 79, 91, 2},           // the second end
            {50, 50, 51.5f, 51.5f, 50.8f, 50.8f, 1},  // both ends in reach: the first wins
        };
        for (const Case& c : cases)
            QCOMPARE(fncHit_End(c.x1, c.y1, c.x2, c.y2, c.x, c.y), c.grip);
    }

    void rectangles()
    {
        struct Case {
            typRect r;
            float t, x, y;
            bool inside;
            qint16 grip;
        };
        const typRect label{30, 40, 20, 5}, shape{30, 40, 20, 20};
        const Case cases[] = {
            {label, 2, 28.5f, 38.5f, false, 1},   // 1.5 beyond a label's corner
            {label, 1, 28.5f, 38.5f, false, -1},  // the same press on a shape
            {shape, 1, 31, 50, false, -1},        // 1.0 inside the left side: neither
            {shape, 1, 30.99f, 50, false, 5},
            {shape, 1, 31.01f, 50, true, -1},
            {shape, 1, 29.01f, 60.5f, false, 2},
            {shape, 1, 50.5f, 39.5f, false, 3},
            {shape, 1, 49.5f, 60.99f, false, 4},
            {shape, 1, 50.5f, 45, false, 6},
            {shape, 1, 40, 40.5f, false, 7},
            {shape, 1, 40, 59.5f, false, 8},
            {shape, 1, 30, 39, false, -1},         // exactly 1.0 off a corner: strict
            {{30, 40, 2, 20}, 1, 31, 50, false, -1},  // 2.0 wide: no inside
            {{30, 40, 1.5f, 20}, 1, 30.8f, 50, false, 5},  // near both sides: the left wins
        };
        for (const Case& c : cases) {
            QVERIFY2(fncHit_Inside(c.r, c.x, c.y) == c.inside, qPrintable(text(c.r)));
            const QString where = QStringLiteral("%1 at %2,%3").arg(text(c.r)).arg(c.x).arg(c.y);
            QVERIFY2(fncHit_Grip(c.r, c.x, c.y, c.t) == c.grip, qPrintable(where));
        }
    }

    void shiftPoint()
    {
        struct Case {
            float x, y, ex, ey;
        };
        const Case cases[] = {
            {150, 109, 150, 100}, {150, 110, 110, 110}, {105, 130, 100, 130},
            {60, 140, 60, 140},   {40, 130, 70, 130},   {103, 104, 103, 100},
        };
        for (const Case& c : cases) {
            float x = c.x, y = c.y;
            subShift_Rule(100, 100, x, y, x, y);
            QVERIFY2(close(x, c.ex) && close(y, c.ey), qPrintable(QStringLiteral("%1,%2").arg(c.x).arg(c.y)));
        }
        // Only the coordinate that changes is written.
        float outX = -1, outY = -1;
        subShift_Rule(100, 100, 150, 109, outX, outY);
        QVERIFY(outX == -1 && outY == 100);
    }

    void resizes()
    {
        // A 10 x 6 box at (20, 20) dragged by the step (dx, dy).
        struct Case {
            const char* what;
            qint16 code;
            float dx, dy;
            typRect e;
        };
        const Case cases[] = {
            {"bottom-right by (2, 3)", 4, 2, 3, {20, 20, 12, 9}},
            {"top-left by (2, 3)", 1, 2, 3, {22, 23, 8, 3}},
            {"left side 3 right", 5, 3, 0, {23, 20, 7, 6}},
            {"bottom-right past the left side", 4, -15, 0, {20, 20, 0, 6}},
            {"top-left past the right side", 1, 15, 0, {30, 20, 0, 6}},
            {"top side past the bottom", 7, 0, 20, {20, 26, 10, 0}},
            {"no step keeps the size", 4, 0, 0, {20, 20, 10, 6}},
            {"not a resize", 0, 5, 5, {20, 20, 10, 6}},
        };
        const typRect r{20, 20, 10, 6};
        for (const Case& c : cases) {
            const typRect g = fncResize_Rect(c.code, r, c.dx, c.dy);
            QVERIFY2(close(g.Left, c.e.Left) && close(g.Top, c.e.Top) && close(g.Width, c.e.Width)
                         && close(g.Height, c.e.Height),
                     qPrintable(QString::fromUtf8(c.what) + ": " + text(g)));
        }
    }

    void moveLock()
    {
        bool decided = false;
        qint16 lock = 0;
        float dx = 3, dy = 1;
        subLock_Move(true, decided, lock, dx, dy);
        QVERIFY(decided && lock == 2 && dx == 3 && dy == 0);
        dx = 1, dy = 5;
        subLock_Move(true, decided, lock, dx, dy);
        QVERIFY(dx == 1 && dy == 0);
        dx = 1, dy = 5;
        subLock_Move(false, decided, lock, dx, dy);  // released: both axes free
        QVERIFY(dx == 1 && dy == 5 && lock == 2);
        subLock_Move(true, decided, lock, dx, dy);  // pressed again: the same lock
        QVERIFY(dx == 1 && dy == 0);
        decided = false;
        dx = 2, dy = -2;
        subLock_Move(true, decided, lock, dx, dy);  // a tie: unlocked for the drag
        QVERIFY(decided && lock == 0 && dx == 2 && dy == -2);
        dx = 0, dy = 4;
        subLock_Move(true, decided, lock, dx, dy);
        QVERIFY(lock == 0 && dy == 4);
        decided = false;
        dx = 1, dy = -3;  // mostly vertical: vertical only
        subLock_Move(true, decided, lock, dx, dy);
        QVERIFY(lock == 1 && dx == 0 && dy == -3);
    }

    void labelAxis()
    {
        bool decided = false;
        qint16 lock = 2;
        QCOMPARE(fncShift_AxisRule(true, 5, -2, decided, lock), qint16(1));
        QVERIFY(decided);
        QCOMPARE(fncShift_AxisRule(true, 0, 9, decided, lock), qint16(1));  // decided: kept
        QCOMPARE(fncShift_AxisRule(false, 0, 9, decided, lock), qint16(0));
        QVERIFY(decided && lock == 0);
        decided = false;
        QCOMPARE(fncShift_AxisRule(true, 3, 3, decided, lock), qint16(0));  // a tie keeps 0
        lock = 2;
        decided = false;
        QCOMPARE(fncShift_AxisRule(true, 3, 3, decided, lock), qint16(2));
        lock = 1;
        decided = false;
        QCOMPARE(fncShift_AxisRule(true, -2, 5, decided, lock), qint16(2));  // mostly vertical
    }

    void endMarks()
    {
        struct Case {
            float x1, y1, x2, y2;
            double ex, ey;
        };
        const Case cases[] = {{0, 0, 40, 0, 0, 10}, {40, 0, 0, 0, 0, -10}, {0, 0, 0, 40, 10, 0}, {0, 40, 0, 0, 10, 0}};
        for (const Case& c : cases) {
            const typPointD o = fncEndMark_Offset(c.x1, c.y1, c.x2, c.y2, 10);
            QVERIFY2(qAbs(o.dblX - c.ex) < 1e-6 && qAbs(o.dblY - c.ey) < 1e-6,
                     qPrintable(QStringLiteral("%1 %2").arg(o.dblX).arg(o.dblY)));
        }
    }
};

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
