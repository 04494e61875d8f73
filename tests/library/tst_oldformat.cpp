// The previous version's data format without windows: runs and their ends,
// conversions, the values each element refuses, where a damaged file is
// reported, and the settings file.

#include "app/globals.h"
#include "library/oldformat.h"
#include "platform/vberror.h"
#include "tests/library/olddataset.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mdlFileAccess;

namespace {

template <class R>
QString letters(const typOldRun<R>& run)
{
    QString s;
    for (const R& r : run.records)
        s += r.Visible ? u'V' : u'H';
    return run.added ? s + u'+' : s;
}

}  // namespace

class TestOldFormat : public QObject {
    Q_OBJECT

private slots:
    void textRuns_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("runs");  // lblKyori, lblKeiroS, lblMensekiS, lblMoji, lblKeiIdoS
        QTest::newRow("hidden first distance ends its run") << "HVH" << QStringList{"H", "VH", "", "", ""};
        QTest::newRow("hidden first text label goes on") << "HHHHVH" << QStringList{"H", "H", "H", "HV", ""};
        QTest::newRow("text labels end hidden at 3") << "HHHVVVHVH" << QStringList{"H", "H", "H", "VVV", "V"};
        QTest::newRow("end of file inside a run") << "VV" << QStringList{"VV+", "", "", "", ""};
        QTest::newRow("end of file in the text labels") << "HHHV" << QStringList{"H", "H", "H", "V", ""};
    }

    void textRuns()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, runs);
        const typOldTextBin bin = fncReadOld_TextBin(olddata::bytes(olddata::pattern(file, &olddata::label)), "T.txt");
        QStringList got;
        for (const auto& run : bin)
            got << letters(run);
        QCOMPARE(got, runs);
    }

    void lineAndShapeRuns()
    {
        // Lines after the last run are never read, whatever they hold.
        QByteArray file = olddata::bytes(olddata::pattern("HVHVVHVH", &olddata::line)) + "garbage\r\n";
        const typOldLineBin lines = fncReadOld_LineBin(file, "L.txt");
        QCOMPARE(letters(lines[runHikidashi]) + "|" + letters(lines[runHojoSave]) + "|" + letters(lines[runDsSave])
                     + "|" + letters(lines[runPS]),
                 QStringLiteral("H|VH|VVH|VH"));
        QCOMPARE(lines[runPS].upperBound(), 1);
        QCOMPARE(letters(fncReadOld_ShapeBin(olddata::bytes(olddata::pattern("VVH", &olddata::shape)), "S.txt")),
                 QStringLiteral("VVH"));
    }

    void valuesAsConverted()
    {
        const QList<QStringList> records = {
            olddata::label(true, {{2, "№①\n髙～"}, {7, "0"}, {8, "0"}, {9, "2.5"}, {12, "&H80000018&"},
                                  {13, "-2147483633"}, {17, "1"}, {15, "10.5"}}),
            olddata::label(false)};
        const typOldLabel l = fncReadOld_TextBin(olddata::bytes(records), "T.txt")[runKyori].records[0];
        QCOMPARE(l.Caption, QStringLiteral("№①\n髙～"));  // a lone LF stays in a file with CR line ends
        QCOMPARE(l.Alignment, qint16(2));
        QCOMPARE(l.ForeColor, qint32(0x8000000F));  // a system colour
        QCOMPARE(l.BackColor, qint32(0x80000018));  // the last one
        QVERIFY(l.FontBold);
        QCOMPARE(l.FontSize, 10.5f);
        QCOMPARE(l.FontName, QStringLiteral("ＭＳ Ｐゴシック"));
        // A label or shape of no width or height is kept as it was drawn, where it was drawn.
        QCOMPARE(QSizeF(l.Width, l.Height), QSizeF(0, 0));
        const typOldShape flat = fncReadOld_ShapeBin(olddata::bytes({olddata::shape(true, {{3, "7"}, {4, "9"}, {5, "0"}, {6, "0"}}),
                                                                     olddata::shape(false)}),
                                                     "S.txt")
                                     .records[0];
        QCOMPARE(QRectF(flat.Left, flat.Top, flat.Width, flat.Height), QRectF(7, 9, 0, 0));
        // A number line reads a word as 0. Lines end at CR alone too, or at
        // LF in a file without CR, and a byte order mark is passed over.
        const QByteArray crlf = olddata::bytes({olddata::line(true, {{3, "maybe"}, {4, " 1 2"}, {10, "7"}})});
        for (const QByteArray& file : {QByteArray(crlf).replace("\r\n", "\r"),
                                       "\xEF\xBB\xBF" + QByteArray(crlf).replace("\r\n", "\n")}) {
            const typOldLine ln = fncReadOld_LineBin(file, "L.txt")[runHikidashi].records[0];
            QCOMPARE(ln.X1, 0.0f);
            QCOMPARE(ln.Y1, 12.0f);
            QCOMPARE(ln.DrawMode, qint16(7));
        }
        QVERIFY(fncOld_Truth("TRUE") && !fncOld_Truth("false") && fncOld_Truth("-1") && !fncOld_Truth("0"));
    }

    void damage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("kind");  // 0 labels, 1 lines, 2 shapes
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("description");
        using olddata::bytes;
        const auto row = [](const char* name, const QByteArray& content, int kind, long number, const QString& what) {
            QTest::newRow(name) << content << kind << number << what;
        };
        // A value the element refuses, on line `at` of the kind's file.
        const auto refused = [&row](const char* name, const QByteArray& content, int kind, int at, const char* value) {
            row(name, content, kind, 380,
                QStringLiteral("%1.txt の %2 行目の値「%3」は使えません。プロパティの値が不正です。")
                    .arg(QChar(u"TLS"[kind]), QString::number(at), QLatin1String(value)));
        };
        row("line record cut short", bytes({olddata::line(true), olddata::line(true).mid(0, 6)}), 1, 62,
            QStringLiteral("L.txt の 16 行目で、記録が途中で終わっています。"));
        row("more than 32768 elements", bytes({olddata::line(true)}).repeated(32768), 1, 6,
            QStringLiteral("L.txt の 327680 行目で、要素の数が 32768 個を超えています。オーバーフローしました。"));
        row("truth value maybe", bytes({olddata::label(true, {{17, "maybe"}})}), 0, 13,
            QStringLiteral("T.txt の 17 行目の値「maybe」を読み取れません。型が一致しません。"));
        refused("width below 1", bytes({olddata::line(true, {{8, "0"}})}), 1, 8, "0");
        refused("draw mode 17", bytes({olddata::line(true, {{10, "17"}})}), 1, 10, "17");
        refused("colour beyond RGB", bytes({olddata::line(true, {{7, "16777216"}})}), 1, 7, "16777216");
        refused("colour past the system colours", bytes({olddata::line(true, {{7, "&H80000019&"}})}), 1, 7,
                "&H80000019&");
        refused("font size 0", bytes({olddata::label(true, {{15, "0"}})}), 0, 15, "0");
        refused("shape 6", bytes({olddata::shape(true), olddata::shape(true, {{14, "6"}})}), 2, 29, "6");
        refused("fill style 8", bytes({olddata::shape(true, {{15, "8"}})}), 2, 15, "8");
        refused("negative height", bytes({olddata::shape(true, {{6, "-2"}})}), 2, 6, "-2");
    }

    void damage()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, kind);
        QFETCH(long, number);
        QFETCH(QString, description);
        const vb::Error error = testsupport::raisedError([&] {
            if (kind == 0)
                fncReadOld_TextBin(content, "T.txt");
            else if (kind == 1)
                fncReadOld_LineBin(content, "L.txt");
            else
                fncReadOld_ShapeBin(content, "S.txt");
        });
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), description);
    }

    void upTo32767Elements()
    {
        const QByteArray one = olddata::bytes({olddata::line(true)});
        QCOMPARE(fncReadOld_LineBin(one.repeated(32767) + olddata::bytes({olddata::line(false)}), "L.txt")[0].upperBound(),
                 32767);
    }

    void settings_data()
    {
        QTest::addColumn<QString>("general");
        QTest::addColumn<long>("number");
        QTest::addColumn<int>("unit");
        const QString rest = "GE_booModeKei=False\r\nGE_booSnap=TRUE\r\nGE_booPrtCmt=0\r\n";
        QTest::newRow("beyond the units") << "GE_booModeDis=True\r\n" + rest + "GE_intUnitDIndex=20\r\n" << 0L << 2;
        QTest::newRow("one past the units") << "GE_booModeDis=True\r\n" + rest + "GE_intUnitDIndex=14\r\n" << 0L << 2;
        QTest::newRow("truth value absent") << rest << 13L << 7;
        QTest::newRow("Integer overflow") << "GE_booModeDis=True\r\n" + rest + "GE_intUnitDIndex=99999\r\n" << 6L << 7;
    }

    void settings()
    {
        QFETCH(QString, general);
        QFETCH(long, number);
        QFETCH(int, unit);
        QTemporaryDir dir;
        const QString ini = dir.filePath("site01.ini");
        QVERIFY(olddata::write(ini, platform::encoding::encodeCp932(
                                        "[全般]\r\nGE_sngHojoLen=15mm\r\nGE_sngKeisuD=0.75\r\n" + general
                                        + "GE_intUnitSIndex=5\r\nGE_sngKeisuS=0.25\r\n" + olddata::calibrationText())));
        GE_intUnitDIndex = 7;
        GE_booSnap = false;
        GE_dblAspectM = 1.0;
        GE_tpPtoD_r = {1.0, 1.0};
        GE_sngHojoLen = 3;
        const vb::Error error = testsupport::raisedError([&] { subReadOld_Settings(ini); });
        QCOMPARE(error.number(), number);
        QCOMPARE(int(GE_intUnitDIndex), unit);
        if (number != 0) {
            QVERIFY(error.description().startsWith("site01.ini GE_"));  // the key that failed
            QCOMPARE(GE_sngHojoLen, 3.0f);  // nothing stored
            QVERIFY(GE_tpPtoD_r.dblX == 1.0 && GE_tpPtoD_r.dblY == 1.0);
            QVERIFY(!GE_booSnap);
            return;
        }
        QCOMPARE(GE_sngHojoLen, 15.0f);
        QVERIFY(GE_booSnap && !GE_booPrtCmt && GE_booModeDis && !GE_booModeKei);
        QVERIFY(GE_sngKeisuD == 0.75f && GE_intUnitSIndex == 5 && GE_sngKeisuS == 0.25f);
        QCOMPARE(olddata::calibrationMisread(), QStringList());
    }
};

QTEST_MAIN(TestOldFormat)
#include "tst_oldformat.moc"
