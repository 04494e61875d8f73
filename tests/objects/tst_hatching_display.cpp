// Hatching on the map: regenerated from an area's sides into its cache file,
// drawn from the file onto the map's drawn layer at the zoom of the moment,
// and drawn again when a zoom repaints the map.

#include "tests/editor/editorfixture.h"

#include "measure/hatchcache.h"
#include "tests/support/testsupport.h"

#include <QFileInfo>
#include <QtTest>

using namespace editortest;
using platform::DrawCommand;
using platform::ScopedScriptedUi;

namespace {

const QString Key = QStringLiteral("200401091530");
constexpr qint32 Yellow = 65535;

typHatching record(int style, int pitch = 4)
{
    typHatching h;
    h.iStyle = qint16(style), h.iPitch = qint16(pitch), h.iTilt = 45;
    h.BorderColor = Yellow, h.BorderWidth = 3, h.DrawMode = 13, h.BorderStyle = 0;
    h.Tag = Key;
    return h;
}

// The hatch segments on the map's drawn layer, in device pixels.
QList<QLineF> drawn(const frmEdit& e)
{
    QList<QLineF> lines;
    for (const DrawCommand& c : e.pictMap->commands()) {
        if (c.kind == DrawCommand::Segment && c.color == Yellow)
            lines.append(QLineF(c.p1, c.p2));
    }
    return lines;
}

// Where the segment (x1, y1)-(x2, y2) of stored units shows at `zoom`.
QLineF shown(const frmEdit& e, float zoom, float x1, float y1, float x2, float y2)
{
    return QLineF(e.pictMap->toDevice(x1 * zoom, y1 * zoom), e.pictMap->toDevice(x2 * zoom, y2 * zoom));
}

bool same(const QList<QLineF>& a, const QList<QLineF>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if ((a[i].p1() - b[i].p1()).manhattanLength() > 0.01 || (a[i].p2() - b[i].p2()).manhattanLength() > 0.01)
            return false;
    }
    return true;
}

// The horizontal hatching of the square (10,10)-(30,30) at pitch 4, worked by
// hand: the lines y = 10 .. 26 from the right side to the left one (y = 30
// runs along the top side and crosses nothing).
QList<QLineF> squareHatching(const frmEdit& e, float zoom)
{
    QList<QLineF> lines;
    for (float y = 10; y < 30; y += 4)
        lines.append(shown(e, zoom, 30, y, 10, y));
    return lines;
}

// The yellow pixels of the image and which way they slant.
testsupport::Slants slantsOf(const QImage& image)
{
    return testsupport::slantsOf(image, [](QRgb c) { return QColor(c) == Qt::yellow; });
}

}  // namespace

class TestHatchingDisplay : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> m_fx;
    std::unique_ptr<ScopedScriptedUi> m_quiet;
    QTemporaryDir m_temp;

    frmEdit& openDrawing()
    {
        writePicture(m_fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        if (m_fx->storeDrawing(QStringLiteral("H-1"), m_fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        frmEdit& e = Fixture::open();
        GE_strTempPath = m_temp.path();
        return e;
    }

    // One area: its label and the spare, its four sides as shown at `zoom`
    // and the spare, its record and the spare record.
    static void makeArea(frmEdit& e, const typHatching& h, float zoom = 1)
    {
        e.lblMensekiS(0).Tag = QStringLiteral("000:0.000_") + Key;
        e.lblMensekiS(0).Visible = true;
        e.lblMensekiS.Load(1);
        const float p[4][2] = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
        for (int k = 0; k < 4; ++k) {
            if (k > 0)
                e.linePS.Load(k);
            platform::LineElement& side = e.linePS(k);
            side.X1 = p[k][0] * zoom, side.Y1 = p[k][1] * zoom;
            side.X2 = p[(k + 1) % 4][0] * zoom, side.Y2 = p[(k + 1) % 4][1] * zoom;
            side.Tag = Key;
            side.Visible = true;
        }
        e.linePS.Load(4);
        GE_tpHatching = {h, typHatching{}};
    }

    QString cacheFile() const { return m_temp.filePath(Key + QStringLiteral(".bin")); }

private slots:
    void init()
    {
        m_quiet = std::make_unique<ScopedScriptedUi>();
        m_fx = std::make_unique<Fixture>();
        QVERIFY(m_fx->openDatabase());
        GE_sngZoom = 1.0f;
    }

    void cleanup()
    {
        Fixture::closeEditor();
        Fixture::closeDatabase();
        m_fx.reset();
        m_quiet.reset();
        GE_tpHatching.clear();
        GE_sngZoom = 1.0f;
        mdlFileAccess::subKill_Bin();
    }

    void regenerateAndDraw_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("style");  // a line style value, reaching the pen unchanged
        QTest::addColumn<int>("width");
        QTest::newRow("zoom 1") << 1.0f << 13 << 0 << 3;
        QTest::newRow("zoom 2, exclusive-or dashes") << 2.0f << 7 << 2 << 1;
    }

    void regenerateAndDraw()
    {
        QFETCH(float, zoom);
        QFETCH(int, mode);
        QFETCH(int, style);
        QFETCH(int, width);
        frmEdit& e = openDrawing();
        GE_sngZoom = zoom;
        e.sZoom(zoom);
        typHatching h = record(1);
        h.DrawMode = qint16(mode), h.BorderStyle = qint16(style), h.BorderWidth = qint16(width);
        makeArea(e, h, zoom);
        e.subReDraw_Hathing(0);

        // The file holds the segments unzoomed, and the record counts them.
        QCOMPARE(GE_tpHatching[0].iUbound, qint16(4));
        QList<typHatchLine> stored;
        QVERIFY(mdlFileAccess::fncGet_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], stored));
        QList<QLineF> unzoomed;
        for (const typHatchLine& l : stored)
            unzoomed.append(shown(e, 1, l.X1, l.Y1, l.X2, l.Y2));
        QVERIFY(same(unzoomed, squareHatching(e, 1)));

        // Drawn at the zoom, with the record's pen.
        QVERIFY(same(drawn(e), squareHatching(e, zoom)));
        for (const DrawCommand& c : e.pictMap->commands()) {
            if (c.kind == DrawCommand::Segment)
                QVERIFY(c.drawMode == mode && c.drawStyle == style && c.penWidth == width);
        }
        if (mode != 13)
            return;
        const auto pixel = [&](float x, float y) {
            const QPoint p = e.pictMap->toDevice(x * zoom, y * zoom).toPoint();
            return mapPixel(e, p.x(), p.y());
        };
        QCOMPARE(pixel(20, 14), QColor(Qt::yellow));
        QVERIFY(pixel(20, 16) != QColor(Qt::yellow));
        QVERIFY(pixel(35, 14) != QColor(Qt::yellow));
    }

    // The slanted styles run as their captions say, on the map and burnt
    // into the saved bitmap: 3 falls to the right, 4 rises.
    void slantsAsCaptioned_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("rising");
        QTest::newRow("3 falling to the right") << 3 << false;
        QTest::newRow("4 rising to the right") << 4 << true;
    }
    void slantsAsCaptioned()
    {
        QFETCH(int, style);
        QFETCH(bool, rising);
        frmEdit& e = openDrawing();
        typHatching h = record(style);
        h.BorderWidth = 1;
        makeArea(e, h);
        e.subReDraw_Hathing(0);
        const QRect inside = QRectF(e.pictMap->toDevice(12, 12), e.pictMap->toDevice(28, 28)).toRect();
        const testsupport::Slants onMap = slantsOf(e.pictMap->renderArea(inside));
        QVERIFY(rising ? onMap.rising > 0 && onMap.falling == 0 : onMap.rising == 0 && onMap.falling > 0);
        e.pictMap->Cls();
        e.subWrightImage(*e.pictMap);
        QCOMPARE(slantsOf(e.pictMap->renderArea(inside)), onMap);
    }

    // A damaged cache file (huge, infinite or undefined coordinates) draws
    // only its sane segments, and repainting the shown map stays safe.
    void damagedCacheFile()
    {
        frmEdit& e = openDrawing();
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        makeArea(e, record(1));
        e.subReDraw_Hathing(0);
        const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
        const QList<typHatchLine> damaged{{3e38f, -3e38f, 12, 12}, {10, 2e9f, 14, 14}, {inf, 30, 16, 16},
                                          {10, 30, nan, 18}, {30, 10, 22, 22}};
        mdlFileAccess::subPut_Bin(e.lblMensekiS(0).Tag, GE_tpHatching[0], damaged);
        e.subAllDisp_TempH();
        QVERIFY(same(drawn(e), {shown(e, 1, 30, 22, 10, 22)}));
        e.pictWindow->grab();
    }

    // The zoom repaints the map from the picture and draws the hatching again.
    void redrawAfterZoom()
    {
        frmEdit& e = openDrawing();
        makeArea(e, record(1));
        e.subReDraw_Hathing(0);
        GE_sngZoom = 2.0f;
        e.sZoom(GE_sngZoom);
        QVERIFY(same(drawn(e), squareHatching(e, 2)));
        GE_sngZoom = 0.5f;
        e.sZoom(GE_sngZoom);
        QVERIFY(same(drawn(e), squareHatching(e, 0.5f)));
    }

    // Not hatched, no file (TEMP emptied), or a regeneration that yields
    // nothing: no line, and no file left to draw.
    void nothingDrawn_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<bool>("emptied");
        QTest::addColumn<bool>("fileAfter");
        QTest::newRow("style 0 keeps its file") << 0 << 4 << false << true;
        QTest::newRow("no cache file") << 1 << 4 << true << false;
        QTest::newRow("pitch 0 leaves no file") << 1 << 0 << false << false;
    }

    void nothingDrawn()
    {
        QFETCH(int, style);
        QFETCH(int, pitch);
        QFETCH(bool, emptied);
        QFETCH(bool, fileAfter);
        frmEdit& e = openDrawing();
        makeArea(e, record(1));
        e.subReDraw_Hathing(0);
        QVERIFY(QFileInfo::exists(cacheFile()));
        GE_tpHatching[0].iStyle = qint16(style);
        GE_tpHatching[0].iPitch = qint16(pitch);
        if (emptied) {
            mdlFileAccess::subKill_Bin();
            e.subAllDisp_TempH();
        } else {
            e.subReDraw_Hathing(0);
        }
        QCOMPARE(QFileInfo::exists(cacheFile()), fileAfter);
        e.subDisp_TempH(0);
        QVERIFY(drawn(e).isEmpty());
        if (pitch == 0)
            QCOMPARE(GE_tpHatching[0].iUbound, qint16(-1));
    }

    // An area whose sides carry another key is not regenerated: its record
    // and file stay, and the old hatching is drawn.
    void areaWithoutSides()
    {
        frmEdit& e = openDrawing();
        makeArea(e, record(1));
        e.subReDraw_Hathing(0);
        for (int k = 0; k < 4; ++k)
            e.linePS(k).Tag = QStringLiteral("200401091531");
        GE_tpHatching[0].iPitch = 8;
        e.subReDraw_Hathing(0);
        QCOMPARE(GE_tpHatching[0].iUbound, qint16(4));
        QVERIFY(same(drawn(e), squareHatching(e, 1)));
    }

    // Drawing one area adds to the map; drawing all repaints it first, unless
    // there is no area at all.
    void repaintOrNot()
    {
        frmEdit& e = openDrawing();
        const auto mark = [&] { e.pictMap->Line(1, 1, 5, 5, Yellow); };
        mark();
        e.subAllDisp_TempH();  // only the hidden label 0
        QCOMPARE(drawn(e).size(), 1);
        makeArea(e, record(1));
        e.subReDraw_Hathing(0);
        mark();
        e.subDisp_TempH(0);
        QCOMPARE(drawn(e).size(), 11);
        e.subAllDisp_TempH();
        QVERIFY(same(drawn(e), squareHatching(e, 1)));
    }
};

QTEST_MAIN(TestHatchingDisplay)
#include "tst_hatching_display.moc"
