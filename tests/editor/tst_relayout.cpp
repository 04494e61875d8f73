// The drawing objects at a new zoom: every kind of object follows the zoom
// and returns exactly with it, objects changed at a zoom keep the change, and
// a save at any zoom leaves the shown values as they were.

#include "tests/editor/editorfixture.h"

#include <QtTest>

using namespace editortest;
using namespace platform;

namespace {

constexpr int k200 = 0, k175 = 1, k125 = 3, k100 = 4, k50 = 6;

template <class T>
void shownValues(const ElementArray<T>& a, QList<double>& out)
{
    for (int k = 0; k <= a.UBound(); ++k) {
        const T& e = a(k);
        if constexpr (std::is_same_v<T, LineElement>)
            out << e.X1 << e.Y1 << e.X2 << e.Y2;
        else if constexpr (std::is_same_v<T, ShapeElement>)
            out << e.Left << e.Top << e.Width() << e.Height();
        else
            out << e.Left << e.Top << e.FontSize;
    }
}

// Every property the re-layout sets, of every element it lays.
QList<double> snapshot(const frmEdit& e)
{
    QList<double> v;
    shownValues(e.lineHikidashi, v), shownValues(e.lineHojoSave, v), shownValues(e.lineDsSave, v);
    shownValues(e.linePS, v), shownValues(e.shpShape, v), shownValues(e.shpSnpo, v);
    shownValues(e.lblMoji, v), shownValues(e.lblKeiIdoS, v), shownValues(e.lblKyori, v);
    shownValues(e.lblKeiroS, v), shownValues(e.lblMensekiS, v);
    return v;
}

void label(LabelElement& l, const QString& caption, float left, float top, double size, bool autoSize = true)
{
    l.AutoSize = autoSize;
    if (!autoSize) {
        l.setWidth(21.3f);
        l.setHeight(6.1f);
    }
    l.Caption = caption;
    l.FontSize = size;
    l.Move(left, top);
    l.Visible = true;
}

void line(LineElement& l, float x1, float y1, float x2, float y2)
{
    l.X1 = x1, l.Y1 = y1, l.X2 = x2, l.Y2 = y2;
    l.Visible = true;
}

}  // namespace

class TestRelayout : public QObject {
    Q_OBJECT
    editortest::Session m_session;

    frmEdit& openDrawing()
    {
        writePicture(m_session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(300, 200));
        if (m_session.fx->storeDrawing(QStringLiteral("Z-1"), m_session.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        frmEdit& e = Fixture::open();
        // Two distance objects, one each way.
        GE_sngHojoLen = 15;
        for (const QLineF& m : {QLineF(40.3, 30.7, 10.1, 70.9), QLineF(5.5, 5.25, 33.3, 17.7)}) {
            e.subHojo_Start(e.lineHojo, m.x1(), m.y1());
            e.subHojo_Layout(e.lineHojo, m.x1(), m.y1(), m.x2(), m.y2(), GE_sngHojoLen);
            e.lblDistance.Caption = QStringLiteral(" 12.34 m ");
            e.lblDistance.Tag = QStringLiteral("022:12.34_201203040506");
            e.subPut_DistanceObject();
        }
        line(e.lineHikidashi(0), 5.3f, 7.1f, 20.7f, 33.3f);
        e.lineHikidashi.Load(1);
        line(e.linePS(0), 1.1f, 2.2f, 3.3f, 4.4f);
        e.linePS.Load(1);
        line(e.linePS(1), 3.3f, 4.4f, 9.9f, 0.7f);
        e.shpShape(0).Move(3.3f, 4.4f, 10.1f, 7.7f);
        e.shpShape(0).Visible = true;
        label(e.lblMoji(0), QStringLiteral("テキスト"), 12.345f, 6.789f, 9.75);
        e.lblMoji.Load(1);
        label(e.lblMoji(1), QStringLiteral("固定"), 33.3f, 44.4f, 11, false);
        label(e.lblKeiIdoS(0), QStringLiteral("135-00-00.0000 E"), 7.7f, 50.1f, 8);
        label(e.lblKeiroS(0), QStringLiteral(" 30.25 m "), 60.6f, 20.2f, 9);
        label(e.lblMensekiS(0), QStringLiteral(" 456.5 m2 "), 70.7f, 10.3f, 10.5);
        return e;
    }

private slots:
    void init() { QVERIFY(m_session.begin()); }
    void cleanup() { m_session.end(); }

    void roundTrips_data()
    {
        QTest::addColumn<QList<int>>("presets");
        QTest::newRow("2, 0.5, 1") << QList<int>{k200, k50, k100};
        QTest::newRow("1.75, 1.25, 1") << QList<int>{k175, k125, k100};
    }
    void roundTrips()
    {
        QFETCH(QList<int>, presets);
        frmEdit& e = openDrawing();
        const QList<double> before = snapshot(e);
        for (int round = 0; round < 2; ++round) {
            for (const int p : presets)
                e.mnuDispEandR_Click(p);
            QCOMPARE(snapshot(e), before);
        }
        QCOMPARE((*m_session.quiet)->boxes.size(), 0);
    }

    void atZoomTwo()
    {
        frmEdit& e = openDrawing();
        const QList<double> one = snapshot(e);
        LabelElement& autoLabel = e.lblMoji(0);
        const QSizeF size1(autoLabel.Width(), autoLabel.Height());
        e.mnuDispEandR_Click(k200);
        const QList<double> two = snapshot(e);
        QCOMPARE(e.sngZoomPrev, 2.0f);
        // Lines and shapes come first in the snapshot, 4 values each.
        const int lineValues = 4 * (e.lineHikidashi.UBound() + e.lineHojoSave.UBound() + e.lineDsSave.UBound()
                                    + e.linePS.UBound() + 4);
        for (int k = 0; k < lineValues + 4 * (e.shpShape.UBound() + 1); ++k)
            QCOMPARE(two[k], 2 * one[k]);
        // Texts stand at their doubled corner, fixed-size or grown with the font.
        const LabelElement& fixed = e.lblMoji(1);
        QVERIFY(fixed.Left == 2 * 33.3f && fixed.Top == 2 * 44.4f && fixed.FontSize == 22.0);
        QCOMPARE(autoLabel.FontSize.get(), 19.5);
        QVERIFY(autoLabel.Width() > size1.width());
        QVERIFY(autoLabel.Left == 2 * 12.345f && autoLabel.Top == 2 * 6.789f);
        // Markers twice as large, centred on the doubled dimension ends.
        for (int i = 0; i < 2; ++i) {
            const LineElement& d = e.lineDsSave(i);
            const ShapeElement &a = e.shpSnpo(2 * i), &b = e.shpSnpo(2 * i + 1);
            QCOMPARE(a.Width(), 3.0f);
            QVERIFY(qAbs(a.Left + a.Width() / 2 - d.X1) < 1e-4 && qAbs(a.Top + a.Height() / 2 - d.Y1) < 1e-4);
            QVERIFY(qAbs(b.Left + b.Width() / 2 - d.X2) < 1e-4 && qAbs(b.Top + b.Height() / 2 - d.Y2) < 1e-4);
        }
    }

    // The result labels keep their centre on the scaled centre at every zoom,
    // on screen and so in the bitmap drawn from them: a distance's on its
    // dimension line, an area's and a route's on their outline.
    void resultLabelsKeepTheirCentre_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<float>("zoom");
        QTest::newRow("50 %") << k50 << 0.5f;
        QTest::newRow("200 %") << k200 << 2.0f;
    }
    void resultLabelsKeepTheirCentre()
    {
        QFETCH(int, preset);
        QFETCH(float, zoom);
        frmEdit& e = openDrawing();
        const LabelElement* labels[] = {&e.lblKyori(0), &e.lblKyori(1), &e.lblMensekiS(0), &e.lblKeiroS(0)};
        const auto centre = [&e](const LabelElement& l) {
            return e.pictMap->toDevice(l.Left + l.Width() / 2, l.Top + l.Height() / 2);
        };
        const LineElement& dimension = e.lineDsSave(0);
        QVERIFY(QLineF(centre(*labels[0]), e.pictMap->toDevice((dimension.X1 + dimension.X2) / 2,
                                                               (dimension.Y1 + dimension.Y2) / 2))
                    .length()
                < 1);
        const QPointF origin = e.pictMap->toDevice(0, 0);
        QList<QPointF> before;
        for (const LabelElement* l : labels)
            before << centre(*l);
        e.mnuDispEandR_Click(preset);
        for (int k = 0; k < 4; ++k) {
            const QPointF scaled = origin + (before[k] - origin) * zoom;
            QVERIFY2(QLineF(centre(*labels[k]), scaled).length() < 1, qPrintable(labels[k]->Caption.get()));
        }
        // Back at 100 %, where a save stores them: where they were.
        e.mnuDispEandR_Click(k100);
        for (int k = 0; k < 4; ++k)
            QVERIFY(QLineF(centre(*labels[k]), before[k]).length() < 0.01);
    }

    // Moved, resized, re-fonted or made at a zoom: kept as left there; a
    // save at a zoom leaves what is shown.
    void changesAtAZoomAndSaves()
    {
        frmEdit& e = openDrawing();
        e.mnuDispEandR_Click(k200);
        e.lineHikidashi(0).X1 += 10;
        e.lblMoji(1).Left += 10;
        e.shpShape(0).setWidth(e.shpShape(0).Width() + 4);
        e.lblKeiroS(0).FontSize = 30;
        e.lblMoji.Load(2);
        label(e.lblMoji(2), QStringLiteral("新規"), 40, 40, 18, false);
        e.mnuDispEandR_Click(k100);
        QVERIFY(e.lineHikidashi(0).X1 == 5.3f + 5 && e.lblMoji(1).Left == 33.3f + 5);
        QVERIFY(e.shpShape(0).Width() == 10.1f + 2 && e.lblKeiroS(0).FontSize == 15.0);
        QVERIFY(e.lblMoji(2).Left == 20.0f && e.lblMoji(2).FontSize == 9.0);

        const QList<double> one = snapshot(e);
        e.mnuDispEandR_Click(k175);
        const QList<double> shown = snapshot(e);
        (*m_session.quiet)->answerMsgBox(vb::vbYes);
        e.mnuFileSavePrj_Click();
        QVERIFY(GE_sngZoom == 1.75f && snapshot(e) == shown);
        e.mnuDispEandR_Click(k100);
        QCOMPARE(snapshot(e), one);
    }

    void failureIsReportedAndHealed()
    {
        frmEdit& e = openDrawing();
        const QList<double> one = snapshot(e);
        // A dimension line without its markers.
        e.shpSnpo.Unload(3);
        e.mnuDispEandR_Click(k200);
        const auto& boxes = (*m_session.quiet)->boxes;
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].prompt.startsWith(QStringLiteral("subDisp_Object():ｴﾗｰ番号  340 ｴﾗｰが発生しました。\r")));
        QCOMPARE(boxes[0].title, QStringLiteral("ｴﾗｰ"));
        QCOMPARE(e.sngZoomPrev, 1.0f);
        e.shpSnpo.Load(3);
        e.shpSnpo(3).Move(0, 0, 1.5f, 1.5f);
        e.mnuDispEandR_Click(k100);
        QCOMPARE(snapshot(e), one);
    }
};

QTEST_MAIN(TestRelayout)
#include "tst_relayout.moc"
