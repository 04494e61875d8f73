// The repairs of a drawing brought in from the previous version's data:
// widened ids, duplicate sides, side distances keyed like their side, route
// labels keyed like the area they were drawn on, and the hatching records.

#include "objects/repairs.h"
#include "platform/vbruntime.h"
#include "tests/objects/objectsfixture.h"

#include <QtTest>

using namespace objectstest;

namespace {
const QDateTime Day(QDate(2024, 5, 6), QTime(10, 15, 30));
}

class TestRepairs : public QObject {
    Q_OBJECT

private slots:
    void clockHeldForTheDay()
    {
        vb::SetClock(Day.addMSecs(700));
        QCOMPARE(vb::Now(), Day);
        vb::SetClock(QDateTime());
        QVERIFY(vb::Now() != Day);
    }

    void oldIdsWidenedWithTheDay()
    {
        Drawing d;
        put(d.lblKyori, 0, QStringLiteral("001:12.5_101530"));
        line(d.lineDsSave, 0, 0, 0, 10, 0, QStringLiteral("101530"));
        line(d.lineHojoSave, 0, 0, 0, 0, -5, QStringLiteral("101530"));
        line(d.lineHojoSave, 1, 10, 0, 10, -5, QStringLiteral("101530"));
        put(d.shpSnpo, 0, QStringLiteral("x"));
        put(d.shpSnpo, 1, QStringLiteral("x"));
        spare(d.lblKyori), spare(d.lineDsSave), spare(d.lineHojoSave), spare(d.shpSnpo);
        put(d.lblKeiroS, 0, QStringLiteral("123.4_101530"));
        put(d.lblKeiroS, 1, QStringLiteral("9_111111"), false);
        line(d.linePS, 0, 50, 50, 60, 50, QStringLiteral("_101530"));
        ObjectArrays a = d.arrays();
        mdlRepair::subChk_OldTag(a, QStringLiteral("240506"));
        QCOMPARE(d.lblKyori(0).Tag, QStringLiteral("001:12.5_240506101530"));
        QCOMPARE(d.lineDsSave(0).Tag, QStringLiteral("240506101530"));
        for (int j : {0, 1}) {
            QCOMPARE(d.lineHojoSave(j).Tag, QStringLiteral("240506101530"));
            QCOMPARE(d.shpSnpo(j).Tag, QStringLiteral("240506101530"));
        }
        QCOMPARE(d.lblKeiroS(0).Tag, QStringLiteral("123.4_240506101530"));
        QCOMPARE(d.lblKeiroS(1).Tag, QStringLiteral("9_111111"));  // hidden: no object
        QCOMPARE(d.linePS(0).Tag, QStringLiteral("_240506101530"));
    }

    void duplicateSidesKeptOnce()
    {
        Drawing d;
        for (int k = 0; k <= 7; ++k)
            line(d.linePS, k, float(k), 0, float(k), 9, QStringLiteral("_A%1").arg(k));
        for (int k : {1, 4, 7})
            line(d.linePS, k, 1, 1, 2, 2, QStringLiteral("_S%1").arg(k));
        line(d.linePS, 8, 1, 1, 2, 2, QString(), false);  // the spare, a copy too
        // One start, the ends swapped in x and y: two sides.
        line(d.linePS, 2, 5, 5, 6, 8, QStringLiteral("_A2"));
        line(d.linePS, 3, 5, 5, 8, 6, QStringLiteral("_A3"));
        QCOMPARE(mdlRepair::fncFind_SameLinePS(d.linePS, 2), -1);
        QCOMPARE(mdlRepair::fncFind_SameLinePS(d.linePS, 1), 4);
        QCOMPARE(mdlRepair::fncFind_SameLinePS(d.linePS, 7), 8);  // hidden ones count
        ObjectArrays a = d.arrays();
        mdlRepair::subChk_SameLinePS(a);
        QCOMPARE(d.linePS.UBound(), 7);
        QStringList tags;
        for (int k = 0; k <= 7; ++k)
            tags << d.linePS(k).Tag;
        QCOMPARE(tags, QStringList({"_A0", "_S1", "_A2", "_A3", "_A5", "_A6", "_S7", ""}));
        QVERIFY(!d.linePS(7).Visible);  // 7's copy was the spare: hidden, kept at the end
    }

    void extensionLinesKeyedByTheirSide_data()
    {
        QTest::addColumn<float>("sideX");
        QTest::addColumn<float>("startX");
        QTest::addColumn<bool>("keyed");
        QTest::newRow("0.19 off") << 0.0f << 0.19f << true;
        QTest::newRow("0.2 off") << 0.0f << 0.2f << false;
        QTest::newRow("10 and 10.2, 0.19999981 in single") << 10.0f << 10.2f << true;
    }
    void extensionLinesKeyedByTheirSide()
    {
        QFETCH(float, sideX);
        QFETCH(float, startX);
        QFETCH(bool, keyed);
        Drawing d;
        line(d.linePS, 0, sideX, 0, sideX + 40, 0, QStringLiteral("_240506090000"));
        spare(d.linePS);
        distance(d, 0, startX, 0, startX + 40, 0, QStringLiteral("240506101530"));
        spare(d.lblKyori), spare(d.lineDsSave), spare(d.lineHojoSave), spare(d.shpSnpo);
        ObjectArrays a = d.arrays();
        mdlRepair::subChk_HojoLink(a);
        mdlRepair::subChk_KyoriTag(a);
        const QString key = keyed ? QStringLiteral("240506090000") : QStringLiteral("240506101530");
        QCOMPARE(d.lineHojoSave(0).Tag, key);
        QCOMPARE(d.lineDsSave(0).Tag, key);
        QCOMPARE(d.lblKyori(0).Tag, QStringLiteral("001:10_") + key);
        QCOMPARE(d.shpSnpo(0).Tag, QStringLiteral("240506101530"));  // a side's start: marker kept
    }

    void startOnASidesEndKeysItsMarker()
    {
        Drawing d;
        line(d.linePS, 0, 0, 0, 40, 0, QStringLiteral("_240506090000"));
        spare(d.linePS);
        distance(d, 0, 40, 0, 40, 30, QStringLiteral("240506101530"));
        d.shpSnpo.Unload(1);  // the second extension line has no marker
        line(d.lineHojoSave, 1, 40.1f, 0, 40, -5, QStringLiteral("240506101530"));
        ObjectArrays a = d.arrays();
        mdlRepair::subChk_HojoLink(a);
        QCOMPARE(d.lineHojoSave(0).Tag, QStringLiteral("240506090000"));
        QCOMPARE(d.shpSnpo(0).Tag, QStringLiteral("240506090000"));
        QCOMPARE(d.lineHojoSave(1).Tag, QStringLiteral("240506090000"));  // keyed, its marker passed over
    }

    void routeLabelDrawnOnAnAreaTakesItsKey()
    {
        Drawing d;
        const QString area = QStringLiteral("240506090000"), route = QStringLiteral("240506091111");
        put(d.lblMensekiS, 0, QStringLiteral("0:1_") + area);
        spare(d.lblMensekiS);
        put(d.lblKeiroS, 0, QStringLiteral("001:7_240506092222"));
        put(d.lblKeiroS, 1, QStringLiteral("001:5_") + route);
        spare(d.lblKeiroS);
        line(d.linePS, 0, 0, 0, 10, 0, QStringLiteral("_") + area);
        line(d.linePS, 1, 10, 0, 0, 10, QStringLiteral("_") + area);
        line(d.linePS, 2, 0.1f, 0.1f, 10, 0, QStringLiteral("_") + route);
        spare(d.linePS);
        ObjectArrays a = d.arrays();
        mdlRepair::subChk_KeiroLink(a);
        QCOMPARE(d.lblKeiroS(1).Tag, QStringLiteral("001:5_") + area);
        QCOMPARE(d.lblKeiroS(0).Tag, QStringLiteral("001:7_240506092222"));
    }

    void oneUnhatchedRecordPerAreaLabel()
    {
        Drawing d;
        for (int k = 0; k < 4; ++k)
            put(d.lblMensekiS, k, QStringLiteral("0:%1_24050610000%1").arg(k), k < 3);
        QList<typHatching> records{typHatching(), typHatching()};
        ObjectArrays a = d.arrays();
        mdlRepair::subRepair_Imported(a, records, Day);
        QCOMPARE(records.size(), 4);
        for (int k = 0; k < 4; ++k) {
            const typHatching& r = records[k];
            QCOMPARE(r.Tag, QStringLiteral("24050610000%1").arg(k));
            QCOMPARE(r.iStyle, qint16(0));
            QCOMPARE(r.BorderColor, 65535);
            QCOMPARE(r.iPitch, qint16(4));
            QCOMPARE(r.iTilt, qint16(45));
            QCOMPARE(r.DrawMode, qint16(13));
        }
    }
};

QTEST_MAIN(TestRepairs)
#include "tst_repairs.moc"
