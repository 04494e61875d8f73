// Deleting objects: the arrays stay dense, distances keep their elements at
// i, 2i and 2i + 1, the spares stay last, and area label i stays paired with
// hatching record i.

#include "objects/deleting.h"
#include "tests/objects/objectsfixture.h"

#include <QtTest>

using namespace objectstest;

namespace {

const QString A = QStringLiteral("240506100000");
const QString R = QStringLiteral("240506120000");

void spares(Drawing& d)
{
    spare(d.lblKyori), spare(d.lineDsSave), spare(d.lineHojoSave), spare(d.shpSnpo);
}

QString key(const QString& tag) { return tag.right(12); }

// Every property of every element of the distance arrays, for comparing two drawings.
QStringList state(Drawing& d)
{
    QStringList s;
    for (int k = 0; k <= d.lblKyori.UBound(); ++k)
        s << QStringLiteral("K%1 %2 %3 %4").arg(k).arg(d.lblKyori(k).Tag, d.lblKyori(k).Caption).arg(d.lblKyori(k).Visible);
    for (auto* lines : {&d.lineDsSave, &d.lineHojoSave}) {
        for (int k = 0; k <= lines->UBound(); ++k) {
            const LineElement& l = (*lines)(k);
            s << QStringLiteral("%1%2 %3 %4 %5 %6").arg(lines->Name()).arg(k).arg(l.Tag).arg(l.X1).arg(l.Y1).arg(l.Visible);
        }
    }
    for (int k = 0; k <= d.shpSnpo.UBound(); ++k)
        s << QStringLiteral("S%1 %2 %3 %4").arg(k).arg(d.shpSnpo(k).Tag).arg(d.shpSnpo(k).Left).arg(d.shpSnpo(k).Visible);
    return s;
}

}  // namespace

class TestDeleting : public QObject {
    Q_OBJECT

private slots:
    void oneArrayKeepsLaterObjects()
    {
        Drawing d;
        for (int k = 0; k < 4; ++k)
            put(d.lblMoji, k, QString()).Caption = QStringLiteral("t%1").arg(k);
        d.lblMoji(2).ToolTipText = QStringLiteral("c2");
        mdlDelete::subDel_One(d.lblMoji, 1);
        QCOMPARE(d.lblMoji.UBound(), 2);
        QCOMPARE(d.lblMoji(1).Caption.get(), QStringLiteral("t2"));
        QCOMPARE(d.lblMoji(1).ToolTipText.get(), QStringLiteral("c2"));
        Drawing only;
        put(only.lblMoji, 0, QString());
        mdlDelete::subDel_One(only.lblMoji, 0);
        QCOMPARE(only.lblMoji.UBound(), 0);
        QVERIFY(!only.lblMoji(0).Visible);
    }

    void firstDistance_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("first of three") << 3;
        QTest::newRow("the only one") << 1;
    }
    void firstDistance()
    {
        QFETCH(int, count);
        Drawing d;
        for (int k = 0; k < count; ++k)
            distance(d, k, float(10 * k), 0, float(10 * k + 5), 0, QStringLiteral("24050610000%1").arg(k));
        spares(d);
        ObjectArrays a = d.arrays();
        mdlDelete::subDel_Kyori(a, 0);
        const int n = count - 1;  // the distances left, the spare after them
        QCOMPARE(d.lblKyori.UBound(), n);
        QCOMPARE(d.lineDsSave.UBound(), n);
        QCOMPARE(d.lineHojoSave.UBound(), 2 * n);
        QCOMPARE(d.shpSnpo.UBound(), 2 * n);
        for (int k = 0; k < n; ++k) {
            const QString id = QStringLiteral("24050610000%1").arg(k + 1);
            QCOMPARE(key(d.lblKyori(k).Tag), id);
            QCOMPARE(d.lineDsSave(k).Tag, id);
            for (int j : {2 * k, 2 * k + 1}) {
                QCOMPARE(d.lineHojoSave(j).Tag, id);
                QCOMPARE(d.shpSnpo(j).Tag, id);
                QVERIFY(d.lineHojoSave(j).Visible && d.shpSnpo(j).Visible);
            }
        }
        QVERIFY(!d.lblKyori(n).Visible && !d.lineDsSave(n).Visible);
        QVERIFY(!d.lineHojoSave(2 * n).Visible && !d.shpSnpo(2 * n).Visible);
    }

    // A route label kept with an area's key stands on the area's outline.
    void sharedOutline()
    {
        Drawing d;
        put(d.lblMensekiS, 0, QStringLiteral("002:12_") + A);
        spare(d.lblMensekiS);
        put(d.lblKeiroS, 0, QStringLiteral("001:9_") + A);
        spare(d.lblKeiroS);
        for (int k = 0; k < 3; ++k)
            line(d.linePS, k, float(k), 0, float(k), 1, QStringLiteral("_") + A);
        spare(d.linePS);
        distance(d, 0, 0, 0, 1, 0, A);
        spares(d);
        QList<typHatching> records{typHatching(), typHatching()};
        records[0].Tag = A;
        ObjectArrays a = d.arrays();

        mdlDelete::subDel_Keiro(a, 0, 0);
        QVERIFY(!d.lblKeiroS(0).Visible);
        QCOMPARE(d.linePS.UBound(), 3);
        QCOMPARE(d.lblKyori.UBound(), 1);

        mdlDelete::subDel_Menseki(a, records, 0, 0);
        QVERIFY(!d.lblMensekiS(0).Visible);
        QCOMPARE(d.linePS.UBound(), 0);
        QCOMPARE(d.lblKyori.UBound(), 0);
        QVERIFY(!d.lblKyori(0).Visible);
    }

    void areaLabelZeroWithoutSpare()
    {
        Drawing d;
        put(d.lblMensekiS, 0, QStringLiteral("002:12_") + A);
        QList<typHatching> records{typHatching()};
        records[0].Tag = A, records[0].iStyle = 2;
        ObjectArrays a = d.arrays();
        mdlDelete::subDel_Menseki(a, records, 0, 0);
        QVERIFY(!d.lblMensekiS(0).Visible);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0].iStyle, qint16(0));
    }

    // Side distances lying between others: the one-pass compaction leaves
    // the arrays exactly as deleting them one by one does.
    void compactionAsOneByOne()
    {
        const QString keys[] = {A, R, A, QStringLiteral("240506110000"), A, R};
        Drawing fast, slow;
        for (Drawing* d : {&fast, &slow}) {
            for (int k = 0; k < 6; ++k)
                distance(*d, k, float(k), float(k), float(k + 1), 0, keys[k]);
            spares(*d);
            d->lblKyori(6).Caption = QStringLiteral("spare");
        }
        ObjectArrays f = fast.arrays();
        mdlDelete::subDel_KyoriKeyed(f, A);
        ObjectArrays s = slow.arrays();
        for (int k : {0, 1, 2})  // A at 0, then (after moves) at 1 and 2
            mdlDelete::subDel_Kyori(s, k);
        QCOMPARE(state(fast), state(slow));
        // Worked by hand: R, B, R at 0..2, the label spare last, the
        // extension-line spare the last distance's first line, hidden.
        QCOMPARE(fast.lblKyori.UBound(), 3);
        QCOMPARE(fast.lblKyori(1).Caption.get(), QStringLiteral("d3"));
        QCOMPARE(fast.lblKyori(3).Caption.get(), QStringLiteral("spare"));
        QCOMPARE(fast.lineHojoSave.UBound(), 6);
        QCOMPARE(fast.lineHojoSave(6).X1.get(), 5.0f);
        QVERIFY(!fast.lineHojoSave(6).Visible);
        QCOMPARE(fast.shpSnpo(5).Left.get(), 11.0f);

        // Arrays out of step (no spare extension lines or markers) are
        // deleted one by one all the same.
        Drawing bare, single;
        for (Drawing* d : {&bare, &single}) {
            for (int k = 0; k < 3; ++k)
                distance(*d, k, float(k), float(k), float(k + 1), 0, keys[k]);
            spare(d->lblKyori), spare(d->lineDsSave);
        }
        ObjectArrays b = bare.arrays();
        mdlDelete::subDel_KyoriKeyed(b, A);
        ObjectArrays o = single.arrays();
        mdlDelete::subDel_Kyori(o, 0);
        mdlDelete::subDel_Kyori(o, 1);
        QCOMPARE(state(bare), state(single));
    }
};

QTEST_MAIN(TestDeleting)
#include "tst_deleting.moc"
