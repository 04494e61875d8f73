#include "app/globals.h"
#include "measure/hatchcache.h"
#include "objects/hatchgen.h"
#include "platform/ui.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using mdlHatching::HatchSide;
using Sides = QList<HatchSide>;
using Lines = QList<typHatchLine>;
Q_DECLARE_METATYPE(Sides)
Q_DECLARE_METATYPE(Lines)

namespace {

// The closed chain through the points, scaled by k and moved by d in both axes.
Sides polygon(const QList<QPointF>& p, float k = 1, float d = 0)
{
    Sides sides;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QPointF a = p[i] * k, b = p[(i + 1) % p.size()] * k;
        sides.append({float(a.x() + d), float(a.y() + d), float(b.x() + d), float(b.y() + d)});
    }
    return sides;
}
Sides square(float k = 1, float d = 0) { return polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, k, d); }
Sides notched(float k) { return polygon({{0, 0}, {12, 0}, {12, 12}, {8, 12}, {8, 4}, {4, 4}, {4, 12}, {0, 12}}, k); }
Sides pentagon(float k = 1) { return polygon({{0, 0}, {10, 0}, {10, 8}, {5, 12}, {0, 8}}, k); }

typHatchLine seg(float x1, float y1, float x2, float y2) { return {x1, x2, y1, y2}; }

Lines moved(Lines lines, float d)
{
    for (typHatchLine& l : lines)
        l = seg(l.X1 + d, l.Y1 + d, l.X2 + d, l.Y2 + d);
    return lines;
}

typHatching record(int style, int pitch = 4, int tilt = 45)
{
    typHatching h;
    h.iStyle = qint16(style), h.iPitch = qint16(pitch), h.iTilt = qint16(tilt);
    return h;
}

Lines hatch(const Sides& sides, const typHatching& h, float zoom = 1)
{
    Lines out{seg(99, 99, 99, 99)};  // left over from another area
    mdlHatching::subHatching(sides, h, zoom, out);
    return out;
}

// Worked by hand at pitch 4 and tilt 45: each scan line's crossings, sorted
// along it when there are three or more, joined in pairs. y runs downward:
// a slope of +1 falls to the right.
const Lines squareH{seg(10, 0, 0, 0), seg(10, 4, 0, 4), seg(10, 8, 0, 8)};
const Lines squareV{seg(0, 0, 0, 10), seg(4, 0, 4, 10), seg(8, 0, 8, 10)};
const Lines squareFalling{seg(5.656854f, 10, 0, 4.343146f), seg(1.313708f, 0, 10, 8.686292f),
                          seg(6.970563f, 0, 10, 3.029437f)};
const Lines squareRising{seg(0, 0, 0, 0), seg(5.656854f, 0, 0, 5.656854f), seg(10, 1.313708f, 1.313708f, 10),
                         seg(10, 6.970563f, 6.970563f, 10)};
const Lines notchedH{seg(12, 0, 0, 0), seg(0, 4, 4, 4), seg(8, 4, 12, 4), seg(0, 8, 4, 8), seg(8, 8, 12, 8)};
const Lines notchedV{seg(0, 0, 0, 12), seg(4, 0, 4, 4), seg(8, 0, 8, 12)};
const Lines notchedFalling{seg(4, 10.343146f, 0, 6.343146f), seg(0, 0.686292f, 4, 4.686292f),
                           seg(8, 8.686292f, 11.313708f, 12), seg(4.970563f, 0, 12, 7.029437f),
                           seg(10.627417f, 0, 12, 1.372583f)};
const Lines notchedRising{seg(0, 0, 0, 0), seg(5.656854f, 0, 0, 5.656854f), seg(11.313708f, 0, 7.313708f, 4),
                          seg(4, 7.313708f, 0, 11.313708f), seg(12, 4.970563f, 8, 8.970563f),
                          seg(12, 10.627417f, 10.627417f, 12)};
// The line at y = 8 passes through the vertices (10,8) and (0,8).
const Lines pentagonH{seg(10, 0, 0, 0), seg(10, 4, 0, 4), seg(10, 8, 0, 8)};
const Lines pentagonV{seg(0, 0, 0, 8), seg(4, 0, 4, 11.2f), seg(8, 0, 8, 9.6f)};
const Lines pentagonFalling{seg(5.364919f, 11.708065f, 0, 6.343146f), seg(8.507616f, 9.193907f, 0, 0.686292f),
                            seg(4.970563f, 0, 10, 5.029437f)};
const Lines pentagonRising{seg(0, 0, 0, 0), seg(5.656854f, 0, 0, 5.656854f), seg(10, 1.313708f, 1.840949f, 9.472759f),
                           seg(10, 6.970563f, 4.983646f, 11.986917f)};

}  // namespace

class TestHatchGen : public QObject {
    Q_OBJECT
    QTemporaryDir m_temp;

private slots:
    void styles_data()
    {
        QTest::addColumn<Sides>("sides");
        QTest::addColumn<int>("style");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<Lines>("expected");
        const struct {
            const char* name;
            Sides (*shape)(float);
            Lines h, v, falling, rising;
        } shapes[] = {
            {"square", [](float k) { return square(k); }, squareH, squareV, squareFalling, squareRising},
            {"notched", notched, notchedH, notchedV, notchedFalling, notchedRising},
            {"pentagon", pentagon, pentagonH, pentagonV, pentagonFalling, pentagonRising},
        };
        for (const auto& s : shapes) {
            for (const float zoom : {1.0f, 2.0f}) {
                const Lines byStyle[] = {{}, s.h, s.v, s.falling, s.rising, s.h + s.v, s.falling + s.rising};
                for (int style = 1; style <= 6; ++style)
                    QTest::addRow("%s style %d zoom %g", s.name, style, zoom)
                        << s.shape(zoom) << style << zoom << byStyle[style];
            }
        }
        // Crossings left of or above the origin count like any other.
        for (int style : {3, 4, 6}) {
            const Lines byStyle[] = {{}, {}, {}, squareFalling, squareRising, {}, squareFalling + squareRising};
            QTest::addRow("square at negative coordinates style %d", style)
                << square(1, -5) << style << 1.0f << moved(byStyle[style], -5);
        }
    }
    void styles()
    {
        QFETCH(Sides, sides);
        QFETCH(int, style);
        QFETCH(float, zoom);
        QFETCH(Lines, expected);
        const Lines got = hatch(sides, record(style), zoom);
        QCOMPARE(got.size(), expected.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            const typHatchLine &a = got[i], &b = expected[i];
            for (auto [u, v] : {std::pair{a.X1, b.X1}, {a.Y1, b.Y1}, {a.X2, b.X2}, {a.Y2, b.Y2}})
                QVERIFY2(qAbs(u - v) < 1e-3f, qPrintable(QStringLiteral("segment %1: %2 for %3").arg(i).arg(u).arg(v)));
        }
    }

    void counts_data()
    {
        QTest::addColumn<Sides>("sides");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<int>("tilt");
        QTest::addColumn<qsizetype>("count");
        QTest::newRow("pitch 0 horizontal") << square() << 1 << 0 << 45 << qsizetype(0);
        QTest::newRow("pitch 0 slanted") << square() << 4 << 0 << 45 << qsizetype(0);
        for (int style : {3, 4, 6})
            for (int tilt : {0, 90, -90, 180, 270})
                QTest::addRow("style %d tilt %d", style, tilt) << square() << style << 4 << tilt << qsizetype(0);
        QTest::newRow("tilt 90 leaves horizontal alone") << square() << 1 << 4 << 90 << qsizetype(3);
        QTest::newRow("negative pitch horizontal") << square() << 1 << -4 << 45 << qsizetype(0);
        QTest::newRow("negative pitch slanted") << square() << 3 << -4 << 45 << qsizetype(3);
        // The top is rounded to 10 and the scan line on it still counts: 0, 5, 10.
        QTest::newRow("top 10.3 at pitch 5")
            << polygon({{0, 0}, {10, 0}, {10, 10.3}, {0, 10.3}}) << 1 << 5 << 45 << qsizetype(3);
        QTest::newRow("style 0") << square() << 0 << 4 << 45 << qsizetype(0);
        QTest::newRow("style 7") << square() << 7 << 4 << 45 << qsizetype(0);
        QTest::newRow("two sides") << square().mid(0, 2) << 1 << 4 << 45 << qsizetype(0);
        QTest::newRow("no sides") << Sides() << 5 << 4 << 45 << qsizetype(0);
        QTest::newRow("runaway stops at the limit")
            << square(200'000) << 1 << 1 << 45 << mdlHatching::HatchLimit;
        QTest::newRow("step lost in single precision") << square(100, 1e8f) << 1 << 1 << 45 << qsizetype(1);
    }
    void counts()
    {
        QFETCH(Sides, sides);
        QFETCH(int, style);
        QFETCH(int, pitch);
        QFETCH(int, tilt);
        QFETCH(qsizetype, count);
        QCOMPARE(hatch(sides, record(style, pitch, tilt)).size(), count);
    }

    void failureEndsTheScanWithItsMessage_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("horizontal") << 1 << "subHatchingH";
        QTest::newRow("vertical") << 2 << "subHatchingV";
    }
    void failureEndsTheScanWithItsMessage()
    {
        QFETCH(int, style);
        QFETCH(QString, procedure);
        // The first side's slope is beyond single precision.
        const Sides sides = polygon({{0, 0}, {1e-30, 1e30}, {10, 0}});
        platform::ScopedScriptedUi ui;
        QCOMPARE(hatch(sides, record(style)).size(), 0);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("マウス移動時エラー"));
        QCOMPARE(ui->last().prompt,
                 "frmEdit:" + procedure + QStringLiteral("():ｴﾗｰ番号  6 ｴﾗｰが発生しました。\rオーバーフローしました。"));
    }

    void storeWritesTheCacheAndItsCount_data()
    {
        QTest::addColumn<Sides>("sides");
        QTest::addColumn<qsizetype>("written");
        QTest::newRow("pentagon") << pentagon() << qsizetype(3);
        QTest::newRow("cut where the record's count ends") << square(16000) << qsizetype(32768);
    }
    void storeWritesTheCacheAndItsCount()
    {
        QFETCH(Sides, sides);
        QFETCH(qsizetype, written);
        GE_strTempPath = m_temp.path();
        const QString key = QStringLiteral("000:0.000_240101123456");
        typHatching h = record(1);
        h.iUbound = 5;
        QCOMPARE(mdlHatching::fncHatching_Store(sides, h, key, 1), written);
        QCOMPARE(qsizetype(h.iUbound), written - 1);
        QCOMPARE(QFileInfo(m_temp.filePath("240101123456.bin")).size(), written * 16);
        Lines back;
        QVERIFY(mdlFileAccess::fncGet_Bin(key, h, back));
        QCOMPARE(back.size(), written);
        const Lines generated = hatch(sides, h).mid(0, written);
        QVERIFY(std::equal(back.begin(), back.end(), generated.begin(), [](auto& a, auto& b) {
            return a.X1 == b.X1 && a.X2 == b.X2 && a.Y1 == b.Y1 && a.Y2 == b.Y2;
        }));

        // Stored again, a file that holds the same segments is kept as it
        // is; one of the same size that holds others is written anew.
        const QString path = m_temp.filePath("240101123456.bin");
        const QByteArray whole = [&] { QFile f(path); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }();
        const QDateTime earlier = QDateTime::currentDateTime().addSecs(-3600);
        const auto rewrite = [&](const QByteArray& bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.write(bytes) == bytes.size() && f.flush());
            QVERIFY(f.setFileTime(earlier, QFileDevice::FileModificationTime));
        };
        rewrite(whole);
        h.iUbound = 5;
        QCOMPARE(mdlHatching::fncHatching_Store(sides, h, key, 1), written);
        QCOMPARE(qsizetype(h.iUbound), written - 1);
        QCOMPARE(QFileInfo(path).lastModified(), earlier);
        rewrite(QByteArray(4, '\x7f'));
        QCOMPARE(mdlHatching::fncHatching_Store(sides, h, key, 1), written);
        QVERIFY(QFileInfo(path).lastModified() != earlier);
        QFile stored(path);
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), whole);
        stored.close();

        // A regeneration that yields nothing leaves nothing to draw.
        h.iStyle = 0;
        QCOMPARE(mdlHatching::fncHatching_Store(sides, h, key, 1), qsizetype(0));
        QCOMPARE(h.iUbound, qint16(-1));
        QVERIFY(QDir(m_temp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(!mdlFileAccess::fncGet_Bin(key, h, back));
    }
};

QTEST_GUILESS_MAIN(TestHatchGen)
#include "tst_hatchgen.moc"
