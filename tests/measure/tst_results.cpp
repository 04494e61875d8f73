// Area and route results on the editor: values and label places at two
// zooms, kept objects, the unit of a calibrated area, the label commands,
// the polygon buffer's helpers and the hit test on a line's body.

#include "measure/results.h"
#include "measure/resulttag.h"
#include "tests/editor/editorfixture.h"

#include "app/mdlFileAccess.h"
#include "platform/vbruntime.h"

#include <QtTest>

using namespace editortest;
using measure::typSide;

namespace {

const QString Id = QStringLiteral("240305060708");

using Polygon = QList<QPointF>;
const Polygon Square{{10, 10}, {110, 10}, {110, 110}, {10, 110}};
const Polygon LShape{{10, 10}, {110, 10}, {110, 60}, {60, 60}, {60, 110}, {10, 110}};

// A unit's index found by its Init.ini name.
qint16 unit(const std::array<QString, UnitCount>& table, const QString& name)
{
    for (int i = 0; i < UnitCount; ++i) {
        if (vb::Trim(table[size_t(i)]) == name)
            return qint16(i);
    }
    qFatal("no unit %s", qPrintable(name));
}
qint16 distanceUnit(const QString& name) { return unit(GE_strUnitDistance, name); }
qint16 areaUnit(const QString& name) { return unit(GE_strUnitArea, name); }

}  // namespace

class TestResults : public QObject {
    Q_OBJECT

    editortest::Session m_session;
    std::unique_ptr<Fixture>& m_fx = m_session.fx;
    std::unique_ptr<platform::ScopedScriptedUi>& m_quiet = m_session.quiet;

    // A new drawing: known distances, m and m2, two decimals, ratios 1.
    static frmEdit& openEditor()
    {
        GE_tpPrint = typPrint{};
        return Fixture::open();
    }

    // A closed polygon in the buffer at the current zoom, as drawn.
    static void draw(frmEdit& e, const Polygon& vertices, int sides = -1)
    {
        const float z = GE_sngZoom;
        for (int k = 0; k < (sides < 0 ? vertices.size() : sides); ++k) {
            if (k > 0)
                e.lineMenseki.Load(k);
            const QPointF a = vertices[k] * z, b = vertices[(k + 1) % vertices.size()] * z;
            platform::LineElement& side = e.lineMenseki(k);
            side.X1 = float(a.x()), side.Y1 = float(a.y()), side.X2 = float(b.x()), side.Y2 = float(b.y());
        }
        e.lblMenseki.Tag = e.lblKeiro.Tag = "000:0.000_" + Id;
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

    void areaAndRouteLabels_data()
    {
        QTest::addColumn<Polygon>("polygon");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QString>("area");
        QTest::newRow("square, zoom 1") << Square << 1.0f << "10000";
        QTest::newRow("square, zoom 2") << Square << 2.0f << "10000";
        QTest::newRow("L shape, zoom 1") << LShape << 1.0f << "7500";
        QTest::newRow("L shape, zoom 2") << LShape << 2.0f << "7500";
    }
    void areaAndRouteLabels()
    {
        QFETCH(Polygon, polygon);
        QFETCH(float, zoom);
        QFETCH(QString, area);
        frmEdit& e = openEditor();
        GE_sngZoom = zoom;
        draw(e, polygon);
        e.popMesPutSen->setChecked(false);
        e.lblDistance.Visible = e.booRenzoku = true;
        e.subPut_AreaResult();
        QVERIFY(e.lblMenseki.Visible && !e.lblDistance.Visible && !e.booRenzoku);
        QCOMPARE(e.lblMenseki.Caption.get(), vb::Format(area.toDouble(), " ##,##0.00 ") + "m2 ");
        QCOMPARE(e.lblMenseki.Tag, "022:" + area + '_' + Id);
        // Top edge at the box's centre, centred across it at the zoom; nothing kept.
        QCOMPARE(QPointF(e.lblMenseki.Left, e.lblMenseki.Top),
                 QPointF(60 * zoom - e.lblMenseki.Width() / 2, 60 * zoom));
        QCOMPARE(e.linePS.Count() + e.lblMensekiS.Count(), 2);

        e.subPut_RouteResult(true);
        QCOMPARE(e.lblKeiro.Caption.get(), QStringLiteral(" 400.00 m "));
        QCOMPARE(e.lblKeiro.Tag, "022:400_" + Id);
        QCOMPARE(QPointF(e.lblKeiro.Left, e.lblKeiro.Top), QPointF(60 * zoom - e.lblKeiro.Width() / 2, 10 * zoom));
        QCOMPARE(e.lblKeiroS.Count(), 1);
    }

    void keptAreaRouteAndRecomputation()
    {
        frmEdit& e = openEditor();
        GE_sngZoom = 2.0f;
        draw(e, Square);
        e.popMesPutMen->setChecked(true);
        e.subPut_AreaResult();
        e.subPut_RouteResult(true);
        // Four sides with the area's whole tag; a label in the default look
        // at the zoom; a spare above each. The perimeter keeps no sides.
        QCOMPARE(e.linePS.UBound(), 4);
        for (int k = 0; k <= 3; ++k) {
            QCOMPARE(e.linePS(k).Tag, e.lblMensekiS(0).Tag);
            QCOMPARE(QPointF(e.linePS(k).X1, e.linePS(k).Y1), Square[k] * 2);
        }
        QVERIFY(e.linePS(4).Tag.isEmpty() && !e.linePS(4).Visible && e.lblMensekiS(1).Tag.isEmpty());
        QCOMPARE(e.lblMensekiS(0).Caption.get(), QStringLiteral(" 10,000.00 m2 "));
        QCOMPARE(e.lblMensekiS(0).FontSize.get(), e.lblDefault.FontSize * 2);
        QCOMPARE(e.lblKeiroS(0).Caption.get(), QStringLiteral(" 400.00 m "));
        QVERIFY(e.lineMenseki.Count() == 1 && !e.lblMenseki.Visible && !e.lblKeiro.Visible);
        // Both stand where the live labels stood, centred in their own, larger font.
        for (const auto& [kept, live] :
             {std::pair{&e.lblMensekiS(0), &e.lblMenseki}, std::pair{&e.lblKeiroS(0), &e.lblKeiro}}) {
            QVERIFY(kept->Width() > live->Width() && kept->Top == live->Top);
            QVERIFY(qAbs(kept->Left + kept->Width() / 2 - live->Left - live->Width() / 2) < 1e-3f);
        }

        // The stored area recomputed in the unit and decimals its label was
        // given, not the drawing's (m2, 2 places).
        QCOMPARE(areaUnit(QStringLiteral("坪")), 11);
        e.lblMensekiS(0).Tag = "111:0_" + Id;
        e.subCnv_PSToMenseki(2, false);
        e.subReCalc_AreaResult(2, -1);
        QCOMPARE(e.lblMensekiS(0).Tag, "111:0_" + Id);
        e.subReCalc_AreaResult(2, 0);
        QCOMPARE(e.lblMensekiS(0).Caption.get(), QStringLiteral(" 3,025.0 坪 "));
        QCOMPARE(e.lblMensekiS(0).Tag, "111:3025_" + Id);

        // An open route keeps one side per polygon side with its label's tag.
        e.subAllClr_LineMenseki();
        draw(e, LShape, 5);
        e.subPut_RouteResult(false);
        QCOMPARE(e.lblKeiroS(1).Caption.get(), QStringLiteral(" 300.00 m "));
        QCOMPARE(e.linePS.UBound(), 9);
        QCOMPARE(e.linePS(8).Tag, e.lblKeiroS(1).Tag);
    }

    // The known-distance ratios hold lengths in the current distance unit:
    // a drawing calibrated in metres and then shown in kilometres (ratios
    // re-expressed) keeps its area.
    void areaUnits_data()
    {
        QTest::addColumn<bool>("lonLat");
        QTest::addColumn<QString>("distanceUnit");
        QTest::addColumn<double>("ratio");  // distance unit per picture unit
        QTest::addColumn<QString>("areaUnit");
        QTest::addColumn<double>("area");
        QTest::newRow("metres") << false << "m" << 0.5 << "m2" << 2500.0;
        QTest::newRow("kilometres") << false << "km" << 0.0005 << "m2" << 2500.0;
        QTest::newRow("kilometres in ha") << false << "km" << 0.0005 << "ha" << 0.25;
        QTest::newRow("ken in tsubo") << false << "間" << 0.275 << "坪" << 756.25;
        QTest::newRow("lon/lat, km chosen") << true << "km" << 0.5 << "m2" << 2500.0;
    }
    void areaUnits()
    {
        QFETCH(bool, lonLat);
        QFETCH(QString, distanceUnit);
        QFETCH(double, ratio);
        QFETCH(QString, areaUnit);
        QFETCH(double, area);
        frmEdit& e = openEditor();
        GE_booModeDis = !lonLat;
        GE_booModeKei = lonLat;
        GE_intUnitDIndex = ::distanceUnit(distanceUnit);
        GE_intUnitSIndex = ::areaUnit(areaUnit);
        GE_tpPtoD_r = {ratio, ratio};
        draw(e, Square);
        e.subPut_AreaResult();
        qint16 u = 0, d = 0;
        double v = 0;
        ResultTag::subParse_ResultTag(e.lblMenseki.Tag, u, d, v);
        QCOMPARE(u, GE_intUnitSIndex);
        QVERIFY2(qAbs(v - area) <= area * 1e-12, qPrintable(QString::number(v, 'g', 17)));
    }

    void bufferTakesSidesWithTheWholeTag()
    {
        frmEdit& e = openEditor();
        const QString tags[] = {"022:5_" + Id, "022:5_" + Id, "Hoge_" + Id, "022:5_" + Id, "022:5_" + Id};
        for (int i = 0; i <= 4; ++i) {
            if (i > 0)
                e.linePS.Load(i);
            e.linePS(i).Tag = tags[i];  // 4 stands for the spare: never copied
            e.linePS(i).X1 = float(i);
        }
        e.subCnv_PSToMenseki(1, true);
        QCOMPARE(e.lineMenseki.Count(), 3);
        QVERIFY(e.lineMenseki(2).X1 == 3.0f && e.lineMenseki(2).Visible);
        e.subCnv_PSToMenseki(2, false);
        QVERIFY(e.lineMenseki(0).Tag == tags[2] && !e.lineMenseki(0).Visible && e.lineMenseki(1).Visible);
    }

    void vertexInReach_data()
    {
        QTest::addColumn<int>("sides");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("vertex");
        QTest::newRow("three sides, 2.0 off vertex 0") << 3 << QPointF(12, 8) << 0;
        QTest::newRow("three sides, vertex 1 never") << 3 << QPointF(110, 10) << -1;
        QTest::newRow("just outside") << 3 << QPointF(12.01, 10) << -1;
        QTest::newRow("two sides") << 2 << QPointF(10, 10) << -1;
        QTest::newRow("four sides, vertex 1") << 4 << QPointF(108, 12) << 1;
        QTest::newRow("four sides, vertex 2 never") << 4 << QPointF(110, 110) << -1;
    }
    void vertexInReach()
    {
        QFETCH(int, sides);
        QFETCH(QPointF, point);
        QFETCH(int, vertex);
        frmEdit& e = openEditor();
        draw(e, Square, sides);
        QCOMPARE(e.fncFind_MensekiVertex(float(point.x()), float(point.y())), qint16(vertex));
        QCOMPARE(bool(e.shpSnap.Visible), vertex >= 0);
        if (vertex >= 0)
            QCOMPARE(QPointF(e.shpSnap.Left + 1.5f, e.shpSnap.Top + 1.5f), Square[vertex]);
        GE_booSnap = false;
        QCOMPARE(e.fncFind_MensekiVertex(float(point.x()), float(point.y())), qint16(-1));
    }

    void lineBody_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("kind");
        QTest::newRow("vertical") << QLineF(10, 0, 10, 20) << QPointF(11, 10) << 0;
        QTest::newRow("vertical, near an end") << QLineF(10, 0, 10, 20) << QPointF(10, 1) << -1;
        QTest::newRow("vertical, aside") << QLineF(10, 0, 10, 20) << QPointF(11.5, 10) << -1;
        QTest::newRow("horizontal") << QLineF(20, 10, 0, 10) << QPointF(10, 9) << 0;
        QTest::newRow("sloping") << QLineF(20, 10, 0, 0) << QPointF(10, 5.8) << 3;
        QTest::newRow("sloping, too far") << QLineF(0, 0, 20, 10) << QPointF(10, 7) << -1;
        QTest::newRow("sloping, outside its box") << QLineF(0, 0, 20, 10) << QPointF(21, 10) << -1;
        QTest::newRow("sloping, above its left end") << QLineF(0, 0, 20, 10) << QPointF(0, 0.5) << 3;
        QTest::newRow("at 32768") << QLineF(32768, 0, 32868, 100) << QPointF(32800, 33) << 3;
        QTest::newRow("large, hit") << QLineF(40000, 40000, 40100, 40050) << QPointF(40050, 40025.5) << 3;
        QTest::newRow("large, a miss ends") << QLineF(40000, 40000, 40100, 40050) << QPointF(40050, 40030) << -1;
    }
    void lineBody()
    {
        QFETCH(QLineF, line);
        QFETCH(QPointF, point);
        QFETCH(int, kind);
        frmEdit& e = openEditor();
        e.lineHikidashi.Load(1);
        for (int i = 0; i <= 1; ++i) {
            platform::LineElement& l = e.lineHikidashi(i);
            l.X1 = float(line.x1()), l.Y1 = float(line.y1()), l.X2 = float(line.x2()), l.Y2 = float(line.y2());
            l.Visible = i == 1;  // a hidden line is never hit
        }
        qint16 hit = 0, index = 0;
        e.fncHit_LineBox(e.lineHikidashi, float(point.x()), float(point.y()), hit, index);
        QCOMPARE(hit, qint16(kind));
        QCOMPARE(index, qint16(kind < 0 ? -1 : 1));
    }

    // The label commands on kept labels, units chosen by name.
    void distanceUnitCommand_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("newTag");
        QTest::newRow("m to km") << "m" << "022:1500_" << "km" << " 1.50 km " << "032:1.5_";
        QTest::newRow("ken to m") << "間" << "122:10_" << "m" << " 18.18 m " << "022:18.1818181818182_";
        QTest::newRow("km to m") << "km" << "033:1.5_" << "m" << " 1,500.000 m " << "023:1500_";
    }
    void distanceUnitCommand()
    {
        QFETCH(QString, from);
        QFETCH(QString, tag);
        QFETCH(QString, to);
        QFETCH(QString, caption);
        QFETCH(QString, newTag);
        frmEdit& e = openEditor();
        for (platform::LabelElement* label : {&e.lblKyori(0), &e.lblKeiroS(0)}) {
            label->Caption = QStringLiteral("before");
            label->Tag = tag + Id;
            e.subChg_UnitDistance(*label, distanceUnit(from));  // already there: untouched
            QCOMPARE(label->Caption.get() + label->Tag, "before" + tag + Id);
            e.subChg_UnitDistance(*label, distanceUnit(to));
            QCOMPARE(label->Caption.get(), caption);
            QCOMPARE(label->Tag, newTag + Id);
        }
    }

    void areaUnitCommandCarriesTheSides()
    {
        frmEdit& e = openEditor();
        const QString old = "022:100_" + Id, other = "Hoge_" + Id;
        const QString sideTags[] = {old, old, other, old};  // 3 stands for the spare
        for (int i = 0; i <= 3; ++i) {
            if (i > 0)
                e.linePS.Load(i);
            e.linePS(i).Tag = sideTags[i];
        }
        platform::LabelElement& label = e.lblMensekiS(0);
        label.Tag = old;
        e.subChg_UnitArea(label, areaUnit(QStringLiteral("坪")));
        QCOMPARE(label.Caption.get() + label.Tag, " 30.25 坪 112:30.25_" + Id);
        const QStringList after{e.linePS(0).Tag, e.linePS(1).Tag, e.linePS(2).Tag, e.linePS(3).Tag};
        QCOMPARE(after, QStringList({label.Tag, label.Tag, other, old}));
        // New decimals re-render from the tag; the sides keep theirs, so a
        // later unit change no longer finds them.
        e.subChg_DecimalPoint(label, 1, true);
        QCOMPARE(label.Caption.get() + label.Tag, " 30.3 坪 111:30.25_" + Id);
        e.subChg_UnitArea(label, areaUnit(QStringLiteral("m2")));
        QCOMPARE(label.Caption.get() + label.Tag, " 100.0 m2 021:100_" + Id);
        QCOMPARE(e.linePS(0).Tag, "112:30.25_" + Id);
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
