// Distance objects: a kept straight measurement, the sides of an area, the
// re-lay after an extension line moved, the closing side of a polyline, and
// the 16-bit limit of the element arrays.

#include "tests/editor/editorfixture.h"
#include "app/mdlFileAccess.h"
#include "measure/calibration.h"
#include "measure/resulttag.h"
#include "platform/vberror.h"

#include <QtTest>

using namespace editortest;
using platform::LineElement;

namespace {

const QString kId = QStringLiteral("201203040506");

bool near(float a, float b) { return qAbs(a - b) < 1e-4f; }  // the cosine's rounding
bool lineIs(const LineElement& l, float x1, float y1, float x2, float y2)
{
    return near(l.X1, x1) && near(l.Y1, y1) && near(l.X2, x2) && near(l.Y2, y2);
}
bool centredOn(const platform::ShapeElement& s, float x, float y)
{
    return near(s.Left + s.Width() / 2, x) && near(s.Top + s.Height() / 2, y);
}
template <class T>
bool topIsSpare(const platform::ElementArray<T>& a, int ubound)
{
    return a.UBound() == ubound && !a(ubound).Visible && a(ubound).Tag.isEmpty();
}

// A measurement as the map's mouse leaves it, extension length 15.
void measure(frmEdit& e, float x1, float y1, float x2, float y2)
{
    e.subHojo_Start(e.lineHojo, x1, y1);
    e.subHojo_Layout(e.lineHojo, x1, y1, x2, y2, 15);
    e.lblDistance.Caption = QStringLiteral(" 50.00 m ");
    e.lblDistance.Tag = QStringLiteral("022:50_") + kId;
}

}  // namespace

class TestDistanceObjects : public QObject {
    Q_OBJECT
    editortest::Session m_session;

private slots:
    void initTestCase()
    {
        // The unit names a drawing's captions print come from Init.ini.
        testsupport::ProgramFolder folder(false, false, true);
        QVERIFY(mdlFileAccess::fncReadInitIni());
    }

    void init()
    {
        QVERIFY(m_session.begin());
        GE_sngHojoLen = 15;
    }
    void cleanup()
    {
        GE_sngZoom = 1.0f;
        m_session.end();
    }

    void keptMeasurement()
    {
        frmEdit& e = Fixture::open();
        measure(e, 40, 30, 10, 70);
        e.stsTip->Panels(4).setText(QStringLiteral("角度 -53.1301゜"));
        // Centred by its size in the template's font, not the spare's.
        e.lblKyori(0).FontSize = 20;
        e.subPut_DistanceObject();
        const float w = e.lblKyori(0).Width(), h = e.lblKyori(0).Height();
        QVERIFY(lineIs(e.lineHojoSave(0), 40, 30, 52, 39) && lineIs(e.lineHojoSave(1), 10, 70, 22, 79));
        QVERIFY(centredOn(e.shpSnpo(0), 52, 39) && centredOn(e.shpSnpo(1), 22, 79));
        QVERIFY(lineIs(e.lineDsSave(0), 52, 39, 22, 79));
        platform::LabelElement& label = e.lblKyori(0);
        QVERIFY(label.Caption.get() == e.lblDistance.Caption.get() && label.Tag == e.lblDistance.Tag);
        QCOMPARE(label.ToolTipText.get(), QStringLiteral("角度 -53.1301゜"));
        QVERIFY(near(label.Left, 37 - w / 2) && near(label.Top, 59 - h / 2) && label.Visible);
        QVERIFY(topIsSpare(e.lblKyori, 1) && topIsSpare(e.lineDsSave, 1));
        QVERIFY(topIsSpare(e.lineHojoSave, 2) && topIsSpare(e.shpSnpo, 2));
        QVERIFY(e.lineHojoSave(1).Tag == kId && e.lineDsSave(0).Tag == kId && e.shpSnpo(0).Tag == kId);

        // Drawn the other way: the first pair; at zoom 2 the template's font doubles.
        GE_sngZoom = 2.0f;
        measure(e, 10, 70, 40, 30);
        e.subPut_DistanceObject();
        QVERIFY(lineIs(e.lineDsSave(1), -2, 61, 28, 21));
        QCOMPARE(e.lblKyori(1).FontSize.get(), e.lblDefault.FontSize.get() * 2);

        // Moved extension lines: caption, tag and place follow; look and comment stay.
        label.ToolTipText = QStringLiteral("境界");
        label.FontBold = true;
        e.intHojoIndex1 = 0;
        e.intHojoIndex2 = 1;
        measure(e, 0, 0, 40, 0);
        e.lblDistance.Caption = QStringLiteral(" 40.00 m ");
        e.subLayout_Kyori(0);
        QVERIFY(lineIs(e.lineHojoSave(1), 40, 0, 40, -15) && lineIs(e.lineDsSave(0), 0, -15, 40, -15));
        QVERIFY(centredOn(e.shpSnpo(0), 0, -15) && centredOn(e.shpSnpo(1), 40, -15));
        QCOMPARE(label.Caption.get(), QStringLiteral(" 40.00 m "));
        QVERIFY(near(label.Left + label.Width() / 2, 20) && near(label.Top + label.Height() / 2, -15));
        QVERIFY(label.ToolTipText.get() == QStringLiteral("境界") && label.FontBold && e.booDrawChange);

        // Measured exactly vertically (equal X): the first pair, as drawn left to right.
        measure(e, 40, 30, 40, 70);
        e.subPut_DistanceObject();
        for (const int j : {0, 1}) {
            const LineElement& kept = e.lineHojo(j);
            QVERIFY(lineIs(e.lineHojoSave(4 + j), kept.X1, kept.Y1, kept.X2, kept.Y2));
        }
    }

    void areaSides()
    {
        frmEdit& e = Fixture::open();
        e.lblKyori(0).ToolTipText = QStringLiteral("another object's comment");
        e.lblDistance.Tag = QStringLiteral("000:0.000_") + kId;
        const float pts[][2] = {{0, 0}, {40, 0}, {0, 30}};
        for (int s = 0; s < 3; ++s)
            e.subDraw_AreaDimension(pts[s][0], pts[s][1], pts[(s + 1) % 3][0], pts[(s + 1) % 3][1], kId);
        const double lengths[] = {40, 50, 30};
        const float dims[][4] = {{0, -15, 40, -15}, {49, 12, 9, 42}, {15, 30, 15, 0}};
        for (int k = 0; k < 3; ++k) {
            const platform::LabelElement& label = e.lblKyori(k);
            QCOMPARE(label.Caption.get(), QStringLiteral(" %1.00 m ").arg(lengths[k]));
            qint16 unit = 0, decimals = 0;
            double value = 0;
            ResultTag::subParse_ResultTag(label.Tag, unit, decimals, value);
            QVERIFY(unit == GE_intUnitDIndex && decimals == 2 && qAbs(value - lengths[k]) < 1e-9);
            QVERIFY(ResultTag::fncTag_Key(label.Tag) == kId && label.ToolTipText.get().isEmpty());
            QVERIFY(lineIs(e.lineDsSave(k), dims[k][0], dims[k][1], dims[k][2], dims[k][3]));
            // The markers the other way round from the extension lines.
            QVERIFY(centredOn(e.shpSnpo(2 * k), dims[k][2], dims[k][3]));
            QVERIFY(centredOn(e.shpSnpo(2 * k + 1), dims[k][0], dims[k][1]));
            QVERIFY(e.lineHojoSave(2 * k).Tag == kId && e.lineDsSave(k).Tag == kId && e.shpSnpo(2 * k + 1).Tag == kId);
        }
        QVERIFY(topIsSpare(e.lblKyori, 3) && topIsSpare(e.lineHojoSave, 6) && topIsSpare(e.shpSnpo, 6));
    }

    void closingSide_data()
    {
        QTest::addColumn<QLineF>("made");     // the latest object's measurement
        QTest::addColumn<QLineF>("closing");  // the exact closing side
        QTest::addColumn<QLineF>("end");      // its end extension line, when checked exactly
        // The closing side's caption on a drawing calibrated by longitude
        // and latitude; none: by the known distances, a metre a unit.
        QTest::addColumn<QString>("byPosition");
        QTest::newRow("horizontal, right to left") << QLineF(60, 40, 11, 40) << QLineF(60, 40, 10, 40)
                                                   << QLineF(10, 40, 10, 55) << QString();
        QTest::newRow("diagonal, right to left") << QLineF(60, 40, 21, 71) << QLineF(60, 40, 20, 70) << QLineF()
                                                 << QString();
        QTest::newRow("left to right") << QLineF(10, 40, 59, 41) << QLineF(10, 40, 60, 40) << QLineF(60, 40, 60, 25)
                                       << QString();
        // 5" of longitude at 35° north.
        QTest::newRow("by longitude and latitude") << QLineF(60, 40, 11, 40) << QLineF(60, 40, 10, 40)
                                                   << QLineF(10, 40, 10, 55) << QStringLiteral(" 126.41 m ");
    }
    void closingSide()
    {
        QFETCH(QLineF, made);
        QFETCH(QLineF, closing);
        QFETCH(QLineF, end);
        QFETCH(QString, byPosition);
        frmEdit& e = Fixture::open();
        if (!byPosition.isEmpty()) {
            // Picture (100, 200) at 500000" east, 126000" north, (300, 50) 20" east and 30" north of it.
            GE_tpPiccel = {typPointS{100, 200}, typPointS{300, 50}};
            GE_dblKeido = {500000, 500020};
            GE_dblIdo = {126000, 126030};
            QCOMPARE(mdlSub::subCalc_KeiIdo(400, 300), mdlSub::KeiIdoFault::none);
        }
        measure(e, made.x1(), made.y1(), made.x2(), made.y2());
        e.lblDistance.Caption = QStringLiteral(" 5 m ");  // narrower than the closing side's caption
        e.subPut_DistanceObject();
        const LineElement& first = e.lineHojoSave(0);
        const QLineF start(first.X1, first.Y1, first.X2, first.Y2);
        // The readouts' flags; the measuring copies are cleared by now.
        e.booCalcDis = byPosition.isEmpty();
        e.booCalcKei = !e.booCalcDis;
        e.subDraw_LineDimension(closing.x1(), closing.y1(), closing.x2(), closing.y2());
        const LineElement& hojo = e.lineHojo(made.x1() > made.x2() ? 3 : 1);  // the side it was made on
        QVERIFY(lineIs(e.lineHojoSave(1), hojo.X1, hojo.Y1, hojo.X2, hojo.Y2));
        if (!end.isNull())
            QVERIFY(lineIs(e.lineHojoSave(1), end.x1(), end.y1(), end.x2(), end.y2()));
        QVERIFY(lineIs(e.lineDsSave(0), first.X2, first.Y2, hojo.X2, hojo.Y2) && centredOn(e.shpSnpo(1), hojo.X2, hojo.Y2));
        QCOMPARE(QLineF(first.X1, first.Y1, first.X2, first.Y2), start);
        QCOMPARE(e.lblKyori(0).Caption.get(),
                 byPosition.isEmpty() ? QStringLiteral(" %1 m ").arg(closing.length(), 0, 'f', 2) : byPosition);
        // Centred again by its new caption's size on the dimension line.
        const platform::LabelElement& label = e.lblKyori(0);
        const LineElement& dimension = e.lineDsSave(0);
        QVERIFY(near(label.Left + label.Width() / 2, (dimension.X1 + dimension.X2) / 2)
                && near(label.Top + label.Height() / 2, (dimension.Y1 + dimension.Y2) / 2));
    }

    void sixteenBitLimit()
    {
        frmEdit& e = Fixture::open();
        for (int k = 1; k <= 32766; ++k)
            e.lineHojoSave.Load(k);
        measure(e, 40, 30, 10, 70);
        const auto ubounds = [&e] {
            return QList<int>{e.lineHojoSave.UBound(), e.lineDsSave.UBound(), e.shpSnpo.UBound(), e.lblKyori.UBound()};
        };
        const QList<int> before = ubounds();
        const std::function<void()> makers[] = {[&e] { e.subPut_DistanceObject(); },
                                                [&e] { e.subDraw_AreaDimension(0, 0, 40, 0, kId); }};
        for (const auto& make : makers) {
            QCOMPARE(testsupport::errorOf(make), long(vb::errOverflow));
            QVERIFY(ubounds() == before && !e.lineHojoSave(32766).Visible && !e.lblKyori(0).Visible);
        }
        e.lineHojoSave.Unload(32766);
        e.subPut_DistanceObject();
        QVERIFY(e.lineHojoSave.UBound() == 32767 && e.lineHojoSave(32766).Visible);
    }
};

QTEST_MAIN(TestDistanceObjects)
#include "tst_distance_objects.moc"
