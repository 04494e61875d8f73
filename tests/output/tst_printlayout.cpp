// The print methods' arithmetic: the fit factor, the tiles over the page
// grid, the part of the picture a tile shows, and the page boxes' numbers.

#include "output/printlayout.h"

#include <QtTest>

using namespace PrintLayout;

class TestPrintLayout : public QObject {
    Q_OBJECT

private slots:
    void fitFactor_data()
    {
        QTest::addColumn<double>("extentWidth");
        QTest::addColumn<double>("extentHeight");
        QTest::addColumn<double>("factor");
        QTest::newRow("wide: the width") << 508.0 << 254.0 << 190 / 508.0;
        QTest::newRow("tall: the height") << 100.0 << 554.0 << 0.5;
        QTest::newRow("tie: the width") << 380.0 << 554.0 << 0.5;
        QTest::newRow("empty extent") << 0.0 << 254.0 << 0.0;
    }

    void fitFactor()
    {
        QFETCH(double, extentWidth);
        QFETCH(double, extentHeight);
        QFETCH(double, factor);
        QCOMPARE(fncFit_Factor(190, 277, extentWidth, extentHeight), factor);
    }

    void tilesFollowTheGridAndItsFrames()
    {
        const PageGrid::Grid grid{3, 2};
        const auto tiles = fncTiles(grid, 190, 277, 0, 99, [](int k) { return k != 4; });
        QCOMPARE(tiles.size(), size_t(5));  // pages beyond the grid and left out are not printed
        QCOMPARE(tiles[2].page, 3);
        QCOMPARE(QPointF(tiles[2].x, tiles[2].y), QPointF(190, 0));
        QCOMPARE(QPointF(tiles[4].x, tiles[4].y), QPointF(380, 277));
        // A range typed backwards is the same range.
        const auto backwards = fncTiles(grid, 190, 277, 5, 2, [](int) { return true; });
        QCOMPARE(backwards.size(), size_t(4));
        QVERIFY(backwards.front().page == 2 && backwards.back().page == 5);
    }

    void tileSourceAtAZoomAndAspect()
    {
        // At 200 % with the height shown 1.5 times, tile (190, 277) starts at
        // 95 mm across and 92.33 mm down the picture (96 dpi pixels).
        const QRectF source = fncTile_Source({2, 190, 277}, 190, 277, 2.0, 1.5);
        QCOMPARE(qRound(source.x() * 25.4 / 96 * 100), 9500);
        QCOMPARE(qRound(source.y() * 25.4 / 96 * 100), 9233);
        QCOMPARE(qRound(source.width() * 25.4 / 96 * 100), 9500);
    }

    void pageNumbers()
    {
        QCOMPARE(fncPage_Number(QStringLiteral(" 3 ")), std::optional<qint16>(3));
        QCOMPARE(fncPage_Number(QStringLiteral("2.5")), std::optional<qint16>(2));
        QCOMPARE(fncPage_Number(QStringLiteral("-4")), std::optional<qint16>(-4));
        QVERIFY(!fncPage_Number(QStringLiteral("99999")));
        QVERIFY(!fncPage_Number(QStringLiteral("abc")));
        QVERIFY(!fncPage_Number(QString()));
    }
};

QTEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
