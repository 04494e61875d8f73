// Chains of sides walked by their joints, links between lines starting at one
// point, and the lookups of the first element carrying a key.

#include "objects/chains.h"

#include <QTest>

using mdlChain::ChainLine;
using Lines = QList<ChainLine>;
using Indices = QList<int>;
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(ChainLine)

namespace {

const QString A = QStringLiteral("200401093000");
const QString B = QStringLiteral("200401094500");

ChainLine side(float x1, float y1, float x2, float y2, const QString& key = A, bool visible = true)
{
    return {x1, y1, x2, y2, key, visible};
}

// Every array ends with its hidden spare.
Lines withSpare(Lines lines)
{
    lines.append(side(0, 0, 0, 0, QString(), false));
    return lines;
}

}  // namespace

class TestChains : public QObject {
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<int>("start");
        QTest::addColumn<Indices>("order");
        // The square (0,0) (10,0) (10,10) (0,10), its sides stored as 2, 0, 3, 1.
        const Lines square = withSpare({side(10, 10, 0, 10), side(0, 0, 10, 0), side(0, 10, 0, 0),
                                        side(10, 0, 10, 10)});
        QTest::newRow("area from its first side") << square << 1 << Indices{1, 3, 0, 2};
        QTest::newRow("area from another side") << square << 2 << Indices{2, 1, 3, 0};
        // Joints a little off, within the window, still join.
        QTest::newRow("area drawn loosely")
            << withSpare({side(0.05f, -0.05f, 10, 0), side(10.08f, 0.02f, 5, 8), side(5, 8.09f, 0, 0)}) << 2
            << Indices{2, 0, 1};
        // A route stored last side first; the walk starts at its first side.
        const Lines route = withSpare({side(20, 0, 20, 5), side(0, 0, 10, 0), side(10, 0, 20, 0)});
        QTest::newRow("route from its middle") << route << 2 << Indices{1, 2, 0};
        QTest::newRow("route from its end") << route << 0 << Indices{1, 2, 0};
        // Another area with a vertex on this one, stored first, is not followed.
        QTest::newRow("neighbouring area")
            << withSpare({side(10, 0, 15, -5, B), side(15, -5, 0, 0, B), side(0, 0, 10, 0), side(10, 0, 0, 10),
                          side(0, 10, 0, 0)})
            << 2 << Indices{2, 3, 4};
        // A joint the tolerance apart breaks the chain.
        QTest::newRow("broken joint") << withSpare({side(0, 0, 10, 0), side(10.1f, 0, 20, 0)}) << 0 << Indices{0};
        // The hidden spare and hidden sides are no part of a chain.
        QTest::newRow("hidden side") << withSpare({side(0, 0, 10, 0), side(10, 0, 20, 0, A, false)}) << 0
                                     << Indices{0};
        QTest::newRow("into the spare") << Lines{side(0, 0, 10, 0), side(10, 0, 20, 0)} << 0 << Indices{0};
        QTest::newRow("outside the array") << square << 9 << Indices{};
    }

    void walk()
    {
        QFETCH(Lines, lines);
        QFETCH(int, start);
        QFETCH(Indices, order);
        QCOMPARE(mdlChain::fncWalk_Chain(lines, start), order);
    }

    // Side 0 ends at (10 + dx, dy); side 1 starts at (10, 0).
    void neighbourWindow_data()
    {
        QTest::addColumn<float>("dx");
        QTest::addColumn<float>("dy");
        QTest::addColumn<bool>("joined");
        QTest::newRow("0.09 in both") << 0.09f << 0.09f << true;
        QTest::newRow("0.11 in x") << 0.11f << 0.0f << false;
        QTest::newRow("0.11 in y") << 0.0f << -0.11f << false;
        QTest::newRow("0.09 in both, a square not a circle") << -0.099f << 0.099f << true;
        QTest::newRow("exactly the tolerance") << 0.0f << 0.1f << false;
    }

    void neighbourWindow()
    {
        QFETCH(float, dx);
        QFETCH(float, dy);
        QFETCH(bool, joined);
        const Lines lines = withSpare({side(0, 0, 10 + dx, dy), side(10, 0, 20, 0)});
        QCOMPARE(mdlChain::fncFind_NextLine(lines, 0), joined ? 1 : -1);
        QCOMPARE(mdlChain::fncFind_PrevLine(lines, 1), joined ? 0 : -1);
    }

    void neighbourRules()
    {
        // A zero-length side is not its own neighbour; the lower index wins.
        Lines lines = withSpare({side(5, 5, 5, 5), side(5, 5, 9, 9), side(5, 5, 7, 7), side(1, 1, 5, 5)});
        QCOMPARE(mdlChain::fncFind_NextLine(lines, 0), 1);
        QCOMPARE(mdlChain::fncFind_PrevLine(lines, 0), 3);
        QCOMPARE(mdlChain::fncFind_NextLine(lines, 3), 0);
        // The last element is never a candidate, but may be asked about.
        lines = {side(0, 0, 10, 0), side(10, 0, 20, 0)};
        QCOMPARE(mdlChain::fncFind_NextLine(lines, 0), -1);
        QCOMPARE(mdlChain::fncFind_PrevLine(lines, 1), 0);
    }

    void links_data()
    {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<ChainLine>("line");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("evenLink");
        const ChainLine at = side(10, 10, 30, 10);
        // Any key and hidden lines count: a side is linked to other objects.
        QTest::newRow("0.19 off, other key, hidden")
            << withSpare({side(10.19f, 9.81f, 0, 0, B, false), side(0, 0, 1, 1)}) << at << 0 << 0 << 0;
        // A difference of exactly the tolerance, in either axis, is too much.
        QTest::newRow("0.2 off") << withSpare({side(0.2f, 0, 9, 9), side(0, -0.2f, 9, 9), side(9, 9, 0, 0)})
                                 << side(0, 0, 5, 5) << 0 << -1 << -1;
        QTest::newRow("from the first index")
            << withSpare({side(10, 10, 0, 0), side(50, 50, 0, 0), side(10, 10, 1, 1)}) << at << 1 << 2 << 0;
        QTest::newRow("odd index only") << withSpare({side(0, 0, 1, 1), side(10, 10, 0, 0)}) << at << 0 << 1 << -1;
        QTest::newRow("in the last element") << Lines{side(0, 0, 1, 1), side(10, 10, 0, 0)} << at << 0 << -1 << -1;
    }

    void links()
    {
        QFETCH(Lines, lines);
        QFETCH(ChainLine, line);
        QFETCH(int, first);
        QFETCH(int, link);
        QFETCH(int, evenLink);
        QCOMPARE(mdlChain::fncFind_LinkLine(lines, line, first), link);
        QCOMPARE(mdlChain::fncFind_LinkLine2(lines, line), evenLink);
    }

    void keyLookup()
    {
        platform::PictureBox map(QStringLiteral("pictMap"));
        platform::ElementArray<platform::LineElement> linePS(QStringLiteral("linePS"), &map);
        const QStringList tags{QStringLiteral("_") + B, A, QStringLiteral("prefix_") + A, QStringLiteral("short"),
                               QStringLiteral("SHORT"), B};
        for (int k = 0; k < tags.size(); ++k) {
            if (k > 0)
                linePS.Load(k);
            linePS(k).Tag = tags[k];
            linePS(k).Visible = true;
        }
        linePS(1).Visible = false;                       // deleted, not yet compacted
        QCOMPARE(mdlChain::fncFind_Key(linePS, A), 2);   // the hidden one is skipped
        QCOMPARE(mdlChain::fncFind_Key(linePS, B), 0);   // the first match wins
        QCOMPARE(mdlChain::fncFind_Key(linePS, QStringLiteral("SHORT")), 4);  // short tags whole, case kept
        QCOMPARE(mdlChain::fncFind_Key(linePS, QStringLiteral("200401093001")), -1);
        // The last element is found while it is an object, never as the spare.
        linePS(0).Visible = false;
        QCOMPARE(mdlChain::fncFind_Key(linePS, B), 5);
        linePS(5).Visible = false;
        QCOMPARE(mdlChain::fncFind_Key(linePS, B), -1);
    }
};

QTEST_MAIN(TestChains)
#include "tst_chains.moc"
