// The CSV lists, details and export commands, compared as decoded bytes.
#include "measure/hatchcache.h"
#include "output/csvtext.h"
#include "platform/encoding.h"
#include "tests/editor/editorfixture.h"
#include "tests/interaction/mapmouse.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QtTest>

using namespace editortest;
using platform::encoding::decodeCp932;

namespace {

const QString Key = QStringLiteral("150102030405");

using testsupport::fileBytes;

QString textOf(const QString& path)
{
    return decodeCp932(fileBytes(path));
}

// The fields of each record as a spreadsheet reads the list: a field that
// begins with a double quote runs to the closing one, line breaks included.
QList<int> columnCounts(const QString& csv)
{
    QList<int> counts;
    int fields = 1;
    bool quoted = false, start = true;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == u'"' && i + 1 < csv.size() && csv[i + 1] == u'"')
                ++i;
            else if (c == u'"')
                quoted = false;
            continue;
        }
        if (c == u'"' && start)
            quoted = true;
        start = c == u',';
        if (c == u',')
            ++fields;
        if (c == u'\r' && csv.mid(i + 1, 1) == u"\n") {
            counts << fields;
            fields = 1;
            start = true;
            ++i;
        }
    }
    return counts;
}

template <class T>
T& at(platform::ElementArray<T>& a, int k, bool visible = true)
{
    if (!a.exists(k))
        a.Load(k);
    a(k).Visible = visible;
    return a(k);
}

}  // namespace

class TestCsv : public QObject {
    Q_OBJECT
    Session s;
    QTemporaryDir m_temp;

    // The drawing with the lists' objects of fill() at zoom 1.
    frmEdit& openDrawing()
    {
        writePicture(s.fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        if (s.fx->storeDrawing(QStringLiteral("C-1"), s.fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        GE_strTempPath = m_temp.path();
        frmEdit& e = Fixture::open();
        GE_booModeDis = true, GE_booModeKei = false;
        GE_tpPtoD_r.dblX = GE_tpPtoD_r.dblY = 0.25;
        GE_intUnitDIndex = 2;
        GE_strUnitD = QStringLiteral("m ");
        GE_strUnitDistance[3] = QStringLiteral("km ");
        GE_strUnitArea[11] = QStringLiteral("坪 ");
        fill(e, 1);
        return e;
    }

    // Stored values (zoom 1.0) laid out at `zoom`.
    static void fill(frmEdit& e, float zoom)
    {
        auto& line = at(e.lineDsSave, 0);
        line.X1 = 40 * zoom, line.Y1 = 30 * zoom, line.X2 = 100 * zoom, line.Y2 = 110 * zoom;
        at(e.lineDsSave, 1, false);
        // Comments and captions that a spreadsheet would run, one of each
        // lead character per list.
        at(e.lblKyori, 0).ToolTipText = QStringLiteral("@北側,\"旧道\"");
        // Measured before a recalibration: the row gives what its ends give now, 25.
        e.lblKyori(0).Tag = QStringLiteral("022:25.0041_") + Key;
        at(e.lblKyori, 1, false);
        at(e.lblKeiroS, 0).Tag = QStringLiteral("033:1.375_") + Key;
        e.lblKeiroS(0).ToolTipText = QStringLiteral("=HYPERLINK(\"http://x\",\"y\")");
        at(e.lblKeiroS, 1, false);
        auto& area = at(e.lblMensekiS, 0);
        area.Tag = QStringLiteral("112:30.25_") + Key;
        area.ToolTipText = QStringLiteral("+区画Ｂ");
        at(e.lblMensekiS, 1, false);
        // Position labels placed in a fresh drawing: element 0 stays empty.
        // Their tips and tags are text as comments are, numbers included.
        const QString position[3][3] = {{" 東,西", "X:1.5,Y:2", "6\r\n\"7\",8"},
                                        {"-南", "=1+2,+SUM(A1:A2)", "@cmd,\t=1"},
                                        {"-26.7565゜", "-1.5,-2", "-6,8"}};
        for (int k : {1, 2, 3}) {
            auto& p = at(e.lblKeiIdoS, k);
            p.Caption = position[k - 1][0];
            p.ToolTipText = position[k - 1][1];
            p.Tag = position[k - 1][2];
        }
    }

private slots:
    void init()
    {
        QVERIFY(s.begin());
        GE_sngZoom = 1.0f;
    }
    void cleanup()
    {
        s.end();
        GE_sngZoom = 1.0f;
        GE_tpHatching.clear();
        QLocale::setDefault(QLocale::c());
    }

    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("asText");  // as a comment or caption
        const auto same = [](const char* name, const QString& text, const QString& written) {
            QTest::newRow(name) << text << written << written;
        };
        same("plain", QStringLiteral("区画 A"), QStringLiteral("区画 A"));
        same("comma", QStringLiteral("a,b"), QStringLiteral("\"a,b\""));
        same("quote", QStringLiteral("say \"x\""), QStringLiteral("\"say \"\"x\"\"\""));
        same("line break", QStringLiteral("a\r\nb"), QStringLiteral("\"a\r\nb\""));
        same("formula character inside", QStringLiteral("a=b-c"), QStringLiteral("a=b-c"));
        // A lead character a spreadsheet would run: a text gets a quote before it.
        for (const char* lead : {"=1+1", "+SUM(A1:A2)", "-A1", "-2+3", "@x", "\tx"})
            QTest::newRow(lead) << QString(lead) << QString(lead) << QStringLiteral("'") + lead;
        // A plain number, also as the program's own angle readout, cannot run.
        same("negative number", QStringLiteral("-2"), QStringLiteral("-2"));
        same("angle readout", QStringLiteral("-26.7565゜"), QStringLiteral("-26.7565゜"));
        QTest::newRow("carriage return") << QStringLiteral("\r=1") << QStringLiteral("\"\r=1\"") << QStringLiteral("\"'\r=1\"");
    }
    void fields()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(QString, asText);
        QCOMPARE(mdlCsv::field(text), written);
        QCOMPARE(mdlCsv::text(text), asText);
    }

    void listsAtAnyZoomAndLocale()
    {
        frmEdit& e = openDrawing();
        const QString kyori = m_temp.filePath(QStringLiteral("kyori.csv")), keiro = m_temp.filePath(QStringLiteral("keiro.csv"));
        const QString menseki = m_temp.filePath(QStringLiteral("menseki.csv")), ido = m_temp.filePath(QStringLiteral("ido.csv"));
        const auto writeAll = [&] {
            e.subCsvOut_Kyori(kyori);
            e.subCsvOut_Keiro(keiro);
            e.subCsvOut_Menseki(menseki);
            e.subCsvOut_KeiIdo(ido, QStringLiteral("№,コメント,X mm,Y mm,XX,YY"));
        };
        writeAll();
        QVERIFY(fileBytes(kyori).startsWith("\x87\x82,"));  // "№" in CP932
        QCOMPARE(textOf(kyori),
                 QStringLiteral("№,コメント,x1(m ),y1(m ),x2(m ),y2(m ),L(m ),X1(mm),Y1(mm),x2(mm),y2(mm),L(mm)\r\n"
                                "1,\"'@北側,\"\"旧道\"\"\",10,7.5,25,27.5,25,40,30,100,110,100\r\n"));
        QCOMPARE(textOf(keiro), QStringLiteral("№,コメント,経路,単位\r\n1,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",1.375,km \r\n"));
        QCOMPARE(textOf(menseki), QStringLiteral("№,コメント,面積,単位\r\n1,'+区画Ｂ,30.25,坪 \r\n"));
        QCOMPARE(textOf(ido), QStringLiteral("№,コメント,X mm,Y mm,XX,YY\r\n1,\" 東,西\",X:1.5,Y:2,\"6\r\n\"\"7\"\"\",8\r\n"
                                             "2,'-南,'=1+2,'+SUM(A1:A2),'@cmd,'\t=1\r\n"
                                             "3,-26.7565゜,-1.5,-2,-6,8\r\n"));
        // Every row of a list has its header's columns; at 200 % and under a
        // decimal-comma locale the files are the same.
        QMap<QString, QByteArray> before;
        for (const QString& f : {kyori, keiro, menseki, ido}) {
            const QList<int> counts = columnCounts(textOf(f));
            QVERIFY2(counts.count(counts.first()) == counts.size(), qPrintable(f));
            before[f] = fileBytes(f);
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        GE_sngZoom = 2.0f;
        fill(e, 2);
        writeAll();
        for (const QString& f : {kyori, keiro, menseki, ido})
            QCOMPARE(fileBytes(f), before[f]);
    }

    // A distance measured with the mouse at 25 %, the scale then set anew
    // (図面上 doubled): its row gives the measured points, not the ends of
    // its dimension line 15 mm (60 mm unzoomed) beside them, and its length
    // from those points at the new scale, so the row adds up.
    void distanceRowIsTheMeasuredSegmentAtTheScaleNow()
    {
        using namespace mapmouse;
        frmEdit& e = openMeasuring(s, m_temp.path());
        GE_sngZoom = 0.25f;
        e.sZoom(GE_sngZoom);
        tool(e, 9);
        QPointF p[2];
        for (int k = 0; k < 2; ++k) {
            const QPointF at = k == 0 ? QPointF(5, 5) : QPointF(20, 15);
            if (k == 1)
                mouse(e, Move, float(at.x()), float(at.y()), Qt::NoButton);
            p[k] = mouse(e, Press, float(at.x()), float(at.y())) / 0.25;
            mouse(e, Release, float(at.x()), float(at.y()));
        }
        QCOMPARE(e.lineDsSave.UBound(), 1);
        GE_tpPtoD_r = typPointD{1, 1};
        const QString path = m_temp.filePath(QStringLiteral("kyori.csv"));
        e.subCsvOut_Kyori(path);
        const QStringList rows = textOf(path).split(QStringLiteral("\r\n"));
        QCOMPARE(rows.size(), 3);
        const QStringList f = rows[1].split(u',');
        QCOMPARE(f.size(), 12);
        const auto v = [&](int column) { return f[column - 1].toDouble(); };
        const double along = QLineF(p[0], p[1]).length();
        for (const int c : {3, 8})
            QVERIFY2(near(v(c), p[0].x(), 0.01) && near(v(c + 1), p[0].y(), 0.01) && near(v(c + 2), p[1].x(), 0.01)
                         && near(v(c + 3), p[1].y(), 0.01),
                     qPrintable(rows[1]));
        QVERIFY2(near(v(7), along, 0.01) && near(v(12), along, 0.01), qPrintable(rows[1]));
        QVERIFY(near(v(7), std::hypot(v(5) - v(3), v(6) - v(4)), 1e-4));
    }

    void details()
    {
        frmEdit& e = openDrawing();
        // A triangle's sides; the first has a side distance starting at its start.
        const float p[3][2] = {{0, 0}, {40, 0}, {40, 30}};
        for (int k = 0; k < 3; ++k) {
            auto& side = at(e.linePS, k);
            side.X1 = p[k][0], side.Y1 = p[k][1], side.X2 = p[(k + 1) % 3][0], side.Y2 = p[(k + 1) % 3][1];
            side.Tag = Key;
        }
        at(e.linePS, 3, false);
        // Distances by their first extension line: 0 another measurement's
        // from the first vertex (lower index), 1 the first side's own, 2
        // another measurement's from the third side's start.
        const QString other = QStringLiteral("_150102030999");
        const float starts[3][2] = {{0, 0}, {0.1f, 0}, {40, 30}};
        for (int k = 0; k < 3; ++k) {
            auto& hojo = at(e.lineHojoSave, 2 * k);
            hojo.X1 = starts[k][0], hojo.Y1 = starts[k][1];
            hojo.Tag = k == 1 ? Key : other;
            auto& pair = at(e.lineHojoSave, 2 * k + 1);
            pair.X1 = 40, pair.Y1 = 0;
            pair.Tag = hojo.Tag;
            at(e.lblKyori, k);
        }
        at(e.lineHojoSave, 6, false);
        e.lblKyori(1).ToolTipText = QStringLiteral("1.3322゜");
        e.lblKyori(1).Tag = QStringLiteral("022:10.0002_") + Key;  // its label's figure is not the side's length now
        at(e.lblKyori, 3, false);
        typHatching h;
        h.iStyle = 1, h.iUbound = 3, h.Tag = Key;  // the file holds two segments of the three
        GE_tpHatching = {h, typHatching{}};
        mdlFileAccess::subPut_Bin(Key, h, {typHatchLine{4, 8, 2, 2}, typHatchLine{4, 8, 6, 6}});
        const QString path = m_temp.filePath(QStringLiteral("detail.csv"));
        e.subCsvOut_MensekiDetail(path, 0);
        QStringList lines = textOf(path).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 3 + 3 + 2 + 2);
        QCOMPARE(lines[1], QStringLiteral("'+区画Ｂ,30.25,坪 "));
        QCOMPARE(lines[3], QStringLiteral("1,1.3322゜,0,0,10,0,10,0,0,40,0,40"));
        QVERIFY(lines[4].startsWith(QStringLiteral("2,-----,10,0,")));
        QVERIFY(lines[5].startsWith(QStringLiteral("3,-----,")));
        QCOMPARE(lines[6], QStringLiteral("ハッチング・パターン座標"));
        QCOMPARE(lines[9], QStringLiteral("2,1,1.5,2,1.5,4,6,8,6"));
        // Without the cache file the detail ends after the sides.
        mdlFileAccess::subKill_Bin();
        e.subCsvOut_MensekiDetail(path, 0);
        QCOMPARE(textOf(path).count(QStringLiteral("\r\n")), 6);
        // A route out and back and on, (0, 0) (40, 0) (0, 0) (0, 30): the two
        // sides leaving (0, 0) each show their own distance.
        e.linePS(1).X1 = 40, e.linePS(1).Y1 = 0, e.linePS(1).X2 = 0, e.linePS(1).Y2 = 0;
        e.linePS(2).X1 = 0, e.linePS(2).Y1 = 0, e.linePS(2).X2 = 0, e.linePS(2).Y2 = 30;
        for (const int k : {6, 7}) {
            auto& hojo = at(e.lineHojoSave, k);
            hojo.X1 = 0, hojo.Y1 = k == 6 ? 0 : 30;
            hojo.Tag = Key;
        }
        at(e.lineHojoSave, 8, false);
        at(e.lblKyori, 3).ToolTipText = QStringLiteral("南へ");
        at(e.lblKyori, 4, false);
        at(e.lblKeiroS, 0).Tag = QStringLiteral("033:1.375_") + Key;
        e.subCsvOut_KeiroDetail(path, 0);
        lines = textOf(path).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 6 + 1);
        QVERIFY(lines[3].startsWith(QStringLiteral("1,1.3322゜,")));
        QVERIFY(lines[4].startsWith(QStringLiteral("2,-----,")));
        QVERIFY(lines[5].startsWith(QStringLiteral("3,南へ,")));
    }

    // A disk that takes only part of the list (larger than Qt's buffer, or
    // held in it until the final flush): the runtime's error, the old list whole.
    void failedWriteKeepsTheOldList_data()
    {
        QTest::addColumn<int>("comment");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("error");
        const qint64 buffer = testsupport::QtBufferSize;
        QTest::newRow("no limit") << 2000 << -1LL << 0;
        QTest::newRow("limit below the file") << int(2 * buffer) << buffer << int(vb::errPathFileAccess);
        QTest::newRow("limit below Qt's buffer") << 2000 << 1000LL << int(vb::errPathFileAccess);
    }
    void failedWriteKeepsTheOldList()
    {
        QFETCH(int, comment);
        QFETCH(qint64, limit);
        QFETCH(int, error);
        frmEdit& e = openDrawing();
        e.lblKyori(0).ToolTipText = QString(comment, u'c');
        QVERIFY(QDir(m_temp.path()).mkpath(QStringLiteral("full")));
        const QString path = m_temp.filePath(QStringLiteral("full/list.csv"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an older list") == 13);
        old.close();
        QCOMPARE(testsupport::withFileSizeLimit(limit, [&] {
                     return int(testsupport::errorOf([&] { e.subCsvOut_Kyori(path); }));
                 }), error);
        QCOMPARE(fileBytes(path) == "an older list", error != 0);
        QCOMPARE(QDir(m_temp.filePath(QStringLiteral("full"))).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.csv")});
    }

    void commands()
    {
        frmEdit& e = openDrawing();
        platform::ScriptedUserInterface& ui = s.quiet->get();
        // Cancelled: nothing written or shown, the window enabled.
        ui.answerFile(std::nullopt);
        e.mnuFileSaveCsvSen_Click();
        QCOMPARE(ui.count(), 0);
        QVERIFY(e.isEnabled());
        // The detail of a distance label opens no dialog.
        e.strPopObjName = QStringLiteral("lblKyori");
        e.intPopIndex = 0;
        const int dialogs = ui.count(QStringLiteral("Save"));
        e.popEditCSV_Click();
        QCOMPARE(ui.count(QStringLiteral("Save")), dialogs);
        // The position list with neither mode writes nothing.
        GE_booModeDis = GE_booModeKei = false;
        const QString ido = m_temp.filePath(QStringLiteral("none.csv"));
        ui.answerFile(ido);
        e.mnuFileSaveCsvIti_Click();
        QVERIFY(!QFile::exists(ido));
        GE_booModeDis = true;
        // A folder that is a file: the standard box, no file.
        const QString blocker = m_temp.filePath(QStringLiteral("blocker"));
        QFile(blocker).open(QIODevice::WriteOnly);
        ui.answerFile(blocker + QStringLiteral("/list.csv"));
        e.mnuFileSaveCsvSen_Click();
        QCOMPARE(ui.last().title, QStringLiteral("ｴﾗｰ"));
        QVERIFY(ui.last().prompt.startsWith(QStringLiteral("mnuFileSaveCsvSen_Click():ｴﾗｰ番号 76 ")));
        QVERIFY(e.isEnabled());
        QVERIFY(ui.unexpected.isEmpty());
    }
};

QTEST_MAIN(TestCsv)
#include "tst_csv.moc"
