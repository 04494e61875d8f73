// Distance objects: a kept straight measurement, the sides of an area, the
// re-lay after an extension line moved, the closing side of a polyline, and
// the 16-bit limit of the element arrays.

#include "tests/editor/editorfixture.h"
#include "measure/resulttag.h"
#include "platform/vberror.h"

#include <QtTest>

using namespace editortest;
using platform::LineElement;

namespace {

const QString kId = QStringLiteral("201203040506");

bool near(float a, float b)
{
    return qAbs(a - b) < 1e-4f;
}

bool lineIs(const LineElement& l, float x1, float y1, float x2, float y2)
{
    return near(l.X1, x1) && near(l.Y1, y1) && near(l.X2, x2) && near(l.Y2, y2);
}

bool centredOn(const platform::ShapeElement& s, float x, float y)
{
    return near(s.Left + s.Width() / 2, x) && near(s.Top + s.Height() / 2, y);
}

// A measurement from (x1, y1) to (x2, y2) as the map's mouse leaves it.
void measure(frmEdit& e, float x1, float y1, float x2, float y2, const QString& caption)
{
    e.subHojo_Start(e.lineHojo, x1, y1);
    e.subHojo_Layout(e.lineHojo, x1, y1, x2, y2, GE_sngHojoLen);
    e.lblDistance.Caption = caption;
    e.lblDistance.Tag = QStringLiteral("022:50_") + kId;
}

template <class T>
bool topIsSpare(const platform::ElementArray<T>& a, int ubound)
{
    return a.UBound() == ubound && !a(ubound).Visible && a(ubound).Tag.isEmpty();
}

}  // namespace

class TestDistanceObjects : public QObject {
    Q_OBJECT
    editortest::Session m_session;

private slots:
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
        measure(e, 40, 30, 10, 70, QStringLiteral(" 50.00 m "));
        e.stsTip->Panels(4).setText(QStringLiteral("角度 -53.1301゜"));
        // Its size with the caption, before the template's font.
        e.lblKyori(0).Caption = e.lblDistance.Caption;
        e.lblKyori(0).FontSize = 20;
        e.lblDefault.FontSize = 9;
        const float w = e.lblKyori(0).Width(), h = e.lblKyori(0).Height();
        e.subPut_DistanceObject();

        // Started to the right: the second pair.
        QVERIFY(lineIs(e.lineHojoSave(0), 40, 30, 52, 39) && lineIs(e.lineHojoSave(1), 10, 70, 22, 79));
        QVERIFY(centredOn(e.shpSnpo(0), 52, 39) && centredOn(e.shpSnpo(1), 22, 79));
        QVERIFY(lineIs(e.lineDsSave(0), 52, 39, 22, 79));
        const platform::LabelElement& label = e.lblKyori(0);
        QCOMPARE(label.Caption.get(), QStringLiteral(" 50.00 m "));
        QCOMPARE(label.Tag, e.lblDistance.Tag);
        QCOMPARE(label.ToolTipText.get(), QStringLiteral("角度 -53.1301゜"));
        QVERIFY(near(label.Left, 37 - w / 2) && near(label.Top, 59 - h / 2));
        QVERIFY(label.Visible && e.lineDsSave(0).Visible && e.lineHojoSave(1).Visible && e.shpSnpo(1).Visible);
        QVERIFY(topIsSpare(e.lblKyori, 1) && topIsSpare(e.lineDsSave, 1));
        QVERIFY(topIsSpare(e.lineHojoSave, 2) && topIsSpare(e.shpSnpo, 2));
        for (const platform::Element* el : {(platform::Element*)&e.lineHojoSave(0), (platform::Element*)&e.lineHojoSave(1),
                                            (platform::Element*)&e.lineDsSave(0), (platform::Element*)&e.shpSnpo(0),
                                            (platform::Element*)&e.shpSnpo(1)})
            QCOMPARE(el->Tag, kId);

        // Drawn the other way: the first pair; at zoom 2 the template's font doubles.
        GE_sngZoom = 2.0f;
        measure(e, 10, 70, 40, 30, QStringLiteral(" 50.00 m "));
        e.subPut_DistanceObject();
        QVERIFY(lineIs(e.lineDsSave(1), -2, 61, 28, 21));
        QCOMPARE(e.lblKyori(1).FontSize.get(), e.lblDefault.FontSize.get() * 2);

        // Moved extension lines: caption, tag and place follow; look and comment stay.
        e.lblKyori(0).ToolTipText = QStringLiteral("境界");
        e.lblKyori(0).FontBold = true;
        e.booDrawChange = false;
        e.intHojoIndex1 = 0;
        e.intHojoIndex2 = 1;
        measure(e, 0, 0, 40, 0, QStringLiteral(" 40.00 m "));
        e.lblDistance.Tag = QStringLiteral("022:40_") + kId;
        e.subLayout_Kyori(0);
        QVERIFY(lineIs(e.lineHojoSave(0), 0, 0, 0, -15) && lineIs(e.lineHojoSave(1), 40, 0, 40, -15));
        QVERIFY(lineIs(e.lineDsSave(0), 0, -15, 40, -15));
        QVERIFY(centredOn(e.shpSnpo(0), 0, -15) && centredOn(e.shpSnpo(1), 40, -15));
        QCOMPARE(label.Caption.get(), QStringLiteral(" 40.00 m "));
        QCOMPARE(label.Tag, e.lblDistance.Tag);
        QVERIFY(near(label.Left + label.Width() / 2, 20) && near(label.Top + label.Height() / 2, -15));
        QVERIFY(label.ToolTipText.get() == QStringLiteral("境界") && label.FontBold);
        QVERIFY(e.booDrawChange);
    }

    void areaSides()
    {
        frmEdit& e = Fixture::open();
        e.lblKyori(0).ToolTipText = QStringLiteral("another object's comment");
        e.lblDistance.Tag = QStringLiteral("000:0.000_") + kId;
        const float pts[][2] = {{0, 0}, {40, 0}, {0, 30}};
        for (int s = 0; s < 3; ++s) {
            const auto& p = pts[s];
            const auto& q = pts[(s + 1) % 3];
            e.subDraw_AreaDimension(p[0], p[1], q[0], q[1], kId);
        }
        const QString captions[] = {QStringLiteral(" 40.00 m "), QStringLiteral(" 50.00 m "), QStringLiteral(" 30.00 m ")};
        const float dims[][4] = {{0, -15, 40, -15}, {49, 12, 9, 42}, {15, 30, 15, 0}};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(e.lblKyori(k).Caption.get(), captions[k]);
            qint16 unit = 0, decimals = 0;
            double value = 0;
            ResultTag::subParse_ResultTag(e.lblKyori(k).Tag, unit, decimals, value);
            QVERIFY(unit == GE_intUnitDIndex && decimals == 2 && qAbs(value - (k == 1 ? 50 : 40 - 5 * k)) < 1e-9);
            QCOMPARE(ResultTag::fncTag_Key(e.lblKyori(k).Tag), kId);
            QCOMPARE(e.lblKyori(k).ToolTipText.get(), QString());
            QVERIFY(lineIs(e.lineDsSave(k), dims[k][0], dims[k][1], dims[k][2], dims[k][3]));
            // Markers the other way round from the extension lines.
            QVERIFY(centredOn(e.shpSnpo(2 * k), dims[k][2], dims[k][3]));
            QVERIFY(centredOn(e.shpSnpo(2 * k + 1), dims[k][0], dims[k][1]));
            for (const platform::Element* el : {(platform::Element*)&e.lineHojoSave(2 * k), (platform::Element*)&e.lineDsSave(k),
                                                (platform::Element*)&e.shpSnpo(2 * k + 1)})
                QCOMPARE(el->Tag, kId);
        }
        QVERIFY(topIsSpare(e.lblKyori, 3) && topIsSpare(e.lineDsSave, 3));
        QVERIFY(topIsSpare(e.lineHojoSave, 6) && topIsSpare(e.shpSnpo, 6));
    }

    void closingSide_data()
    {
        QTest::addColumn<QLineF>("made");    // the latest object's measurement
        QTest::addColumn<QLineF>("closing"); // the exact closing side
        QTest::newRow("horizontal, right to left") << QLineF(60, 40, 11, 40) << QLineF(60, 40, 10, 40);
        QTest::newRow("diagonal, right to left") << QLineF(60, 40, 21, 71) << QLineF(60, 40, 20, 70);
        QTest::newRow("left to right") << QLineF(10, 40, 59, 41) << QLineF(10, 40, 60, 40);
    }
    void closingSide()
    {
        QFETCH(QLineF, made);
        QFETCH(QLineF, closing);
        frmEdit& e = Fixture::open();
        measure(e, made.x1(), made.y1(), made.x2(), made.y2(), QStringLiteral(" 49.00 m "));
        e.subPut_DistanceObject();
        const float start[4] = {e.lineHojoSave(0).X1, e.lineHojoSave(0).Y1, e.lineHojoSave(0).X2, e.lineHojoSave(0).Y2};
        const int a = made.x1() > made.x2() ? 3 : 1;  // the side the object was made on
        e.booCalcDis = true;
        e.booCalcKei = false;
        e.subDraw_LineDimension(closing.x1(), closing.y1(), closing.x2(), closing.y2());
        const LineElement& end = e.lineHojo(a);
        QVERIFY(lineIs(e.lineHojoSave(1), end.X1, end.Y1, end.X2, end.Y2));
        QVERIFY(lineIs(e.lineDsSave(0), e.lineHojoSave(0).X2, e.lineHojoSave(0).Y2, end.X2, end.Y2));
        QVERIFY(centredOn(e.shpSnpo(1), end.X2, end.Y2));
        QVERIFY(lineIs(e.lineHojoSave(0), start[0], start[1], start[2], start[3]));
        QCOMPARE(e.lblKyori(0).Caption.get(), e.lblDistance.Caption.get());
        QCOMPARE(e.lblKyori(0).Caption.get(), QStringLiteral(" %1 m ").arg(closing.length(), 0, 'f', 2));
        if (QTest::currentDataTag() == QByteArray("horizontal, right to left")) {
            QVERIFY(lineIs(e.lineHojoSave(1), 10, 40, 10, 55));
            QVERIFY(lineIs(e.lineDsSave(0), 60, 55, 10, 55));
        }
    }

    void sixteenBitLimit()
    {
        frmEdit& e = Fixture::open();
        for (int k = 1; k <= 32766; ++k)
            e.lineHojoSave.Load(k);
        measure(e, 40, 30, 10, 70, QStringLiteral(" 50.00 m "));
        const auto ubounds = [&e] {
            return QList<int>{e.lineHojoSave.UBound(), e.lineDsSave.UBound(), e.shpSnpo.UBound(), e.lblKyori.UBound()};
        };
        const QList<int> before = ubounds();
        for (int kind = 0; kind < 2; ++kind) {
            try {
                if (kind == 0)
                    e.subPut_DistanceObject();
                else
                    e.subDraw_AreaDimension(0, 0, 40, 0, kId);
                QFAIL("no overflow");
            } catch (const vb::Error& error) {
                QCOMPARE(error.number(), long(vb::errOverflow));
            }
            QCOMPARE(ubounds(), before);
            QVERIFY(!e.lineHojoSave(32766).Visible && !e.lineDsSave(0).Visible && !e.lblKyori(0).Visible);
        }
        e.lineHojoSave.Unload(32766);
        e.subPut_DistanceObject();
        QCOMPARE(e.lineHojoSave.UBound(), 32767);
        QVERIFY(e.lineHojoSave(32766).Visible && e.lblKyori(0).Visible);
    }
};

QTEST_MAIN(TestDistanceObjects)
#include "tst_distance_objects.moc"
