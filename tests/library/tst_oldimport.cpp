// The start window's import of a previous-version drawing, end to end:
// the dialogs, the editor's load with the repairs, the first saves, the
// damaged data sets that stop it with no editor left, and the distances
// left out for want of their pieces.

#include "app/frmMain.h"
#include "app/globals.h"
#include "app/mdlFileAccess.h"
#include "db/mdlDB.h"
#include "editor/frmEdit.h"
#include "library/dlgBrowesForFolder.h"
#include "library/frmNew.h"
#include "platform/events.h"
#include "platform/vbruntime.h"
#include "tests/library/olddataset.h"
#include "tests/support/testsupport.h"

#include "platform/application.h"

#include <QImage>
#include <cmath>
#include <QPushButton>
#include <QtTest>

using namespace platform;
using namespace vb;

namespace {

const QString kGeneral = "[全般]\r\nGE_booModeDis=True\r\nGE_booModeKei=False\r\nGE_sngHojoLen=15mm\r\n"
                         "GE_booSnap=TRUE\r\nGE_booPrtCmt=0\r\nGE_intUnitDIndex=2.5\r\nGE_sngKeisuD=1\r\n"
                         "GE_intUnitSIndex=1\r\nGE_sngKeisuS=1\r\n";

QList<QStringList> siteLines()
{
    return {olddata::line(true, {{3, "1"}, {4, "2"}, {5, "3"}, {6, "4"}, {7, "255"}}),  // lineHikidashi
            olddata::line(false),                                                           // its end
            olddata::line(false),                                                           // lineHojoSave
            olddata::line(false),                                                           // lineDsSave
            olddata::line(true, {{3, "0"}, {4, "0"}, {5, "30"}, {6, "0"}})};               // linePS, end of file
}

qint32 printRows()
{
    return GE_objConnection->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM tPrint"))
        .field(QStringLiteral("n"))
        .toInt32();
}

}  // namespace

class TestOldImport : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::ProgramFolder> m_program;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<frmMain> m_start;
    const QDateTime m_iniTime{QDate(2019, 5, 4), QTime(10, 20, 30)};

    QString data(const QString& name) const { return m_dir->filePath("data/" + name); }
    QString pictures() const { return m_dir->filePath("pictures"); }

    void writeDataSet(const QString& files, const QString& general, const QList<QStringList>& lines,
                      const QList<QStringList>& labels = {}, const QList<QStringList>& markers = {})
    {
        QVERIFY(olddata::write(data("site01.ini"),
                               encoding::encodeCp932("[データファイル名]\r\nfMei_MapImage=MAP.JPG\r\n" + files + general)));
        QFile ini(data("site01.ini"));
        QVERIFY(ini.open(QIODevice::ReadWrite));
        QVERIFY(ini.setFileTime(m_iniTime, QFileDevice::FileModificationTime));
        QVERIFY(olddata::write(data("L.txt"), olddata::bytes(lines)));
        if (!labels.isEmpty())
            QVERIFY(olddata::write(data("T.txt"), olddata::bytes(labels)));
        if (!markers.isEmpty())
            QVERIFY(olddata::write(data("S.txt"), olddata::bytes(markers)));
    }

    // Settings file, folder and new-drawing dialog answered; the number and
    // name proposed are returned.
    QStringList runImport(ScriptedUserInterface& ui, ModalScript& script, bool acceptNew = true)
    {
        QStringList proposed;
        ui.answerFile(data("site01.ini"));
        script.push([this](Form& form) {
            auto& picker = static_cast<dlgBrowesForFolder&>(form);
            picker.stsBar->Panels(1).setText(pictures());
            picker.OKButton->setValue(true);
        });
        script.push([&proposed, acceptNew](Form& form) {
            auto& dialog = static_cast<frmNew&>(form);
            proposed << dialog.txtNo->Text() << dialog.txtName->Text() << dialog.caption();
            (acceptNew ? dialog.cmdOK : dialog.cmdCancel)->setValue(true);
        });
        m_start->mnuInPort_Click();
        return proposed;
    }

private slots:
    void init()
    {
        m_program = std::make_unique<testsupport::ProgramFolder>();
        QVERIFY(mdlFileAccess::fncReadInitIni());  // the unit names
        m_dir = std::make_unique<QTemporaryDir>();
        QDir(m_dir->path()).mkdir("data");
        QDir(m_dir->path()).mkdir("pictures");
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QVERIFY(picture.save(m_dir->filePath("pictures/map.jpg"), "JPG"));
        GE_strDB_Folda_Path = m_dir->path();
        GE_strFile_Name = QStringLiteral("a.mdb");
        GE_strPict_Folda = QStringLiteral("/before");
        GE_booDbUpdate = false;
        QVERIFY(mdlDB::fncDbOpen(testsupport::copyTemplate(m_dir->filePath("a.mdb"))) == 0);
        const QRect area = app::workAreaTwips();
        GE_lngWorkArea = {area.left(), area.top(), area.height(), area.width()};
        m_start = std::make_unique<frmMain>();
        vb::SetClock(QDateTime(QDate(2026, 12, 6), QTime(9, 30, 12)));
    }

    void cleanup()
    {
        vb::SetClock(QDateTime());
        {
            ScopedScriptedUi quiet;
            quiet->answerMsgBox(vbNo);
            quiet->answerMsgBox(vbNo);
            if (frmEdit* editor = Instance<frmEdit>::pointer()) {
                editor->booDrawChange = false;
                editor->unload();
            }
            if (GE_booDbOpen)
                mdlDB::fncDbClose();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_start.reset();
        m_dir.reset();
        m_program.reset();
    }

    void site01BecomesANewDrawing()
    {
        writeDataSet("Line_Bin=L.txt\r\n", kGeneral + olddata::calibrationText(), siteLines());
        GE_tpPtoD_r = {1.0, 1.0};  // the scale of the drawing worked on before
        ScopedScriptedUi ui;
        ModalScript script;
        const QStringList proposed = runImport(ui.get(), script);
        QCOMPARE(proposed, (QStringList{"1206-0930", "site01", "旧ねむのき・図面データ [インポート] a.mdb"}));
        QVERIFY(script.allUsed());
        QCOMPARE(ui->count(), 0);
        frmEdit* editor = Instance<frmEdit>::pointer();
        QVERIFY(editor && editor->isVisible());
        QVERIFY(editor->pictMap->hasPicture());
        QCOMPARE(GE_sngZoom, 1.0f);
        QCOMPARE(GE_tpPrint.strFileName, QStringLiteral("map.jpg"));  // as found on disk
        QCOMPARE(GE_tpPrint.strPath, pictures());
        QCOMPARE(GE_strPict_Folda, pictures());
        QCOMPARE(editor->stsBar->Panels(1).Text(), pictures());
        QCOMPARE(GE_tpPrint.Print_Id, 0);
        QCOMPARE(GE_tpPrint.datHizuke, m_iniTime);
        const LineElement& lead = editor->lineHikidashi(0);
        QVERIFY(lead.Visible);
        QCOMPARE(QList<float>({lead.X1, lead.Y1, lead.X2, lead.Y2}), QList<float>({1, 2, 3, 4}));
        QCOMPARE(qint32(lead.BorderColor), 255);
        QVERIFY(!editor->lineHikidashi(1).Visible);
        QVERIFY(editor->linePS(0).Visible && !editor->linePS(1).Visible);
        QCOMPARE(GE_sngHojoLen, 15.0f);
        QVERIFY(GE_booSnap && !GE_booPrtCmt);
        QCOMPARE(GE_intUnitDIndex, qint16(2));
        QCOMPARE(GE_strUnitS, QStringLiteral("cm2 "));  // the name of the unit read in
        QVERIFY(editor->mnuFileSaveAsImg->Enabled());
        // A vertical 10 on the picture, turned by the tilt correction.
        double turn = 0, ratioX = 0, ratioY = 0;
        for (const olddata::Setting& s : olddata::calibration()) {
            for (auto [key, value] : {std::pair{"GE_dblHosei(3)", &turn}, {"GE_tpPtoD_r_X", &ratioX}, {"GE_tpPtoD_r_Y", &ratioY}})
                *value = s.key == QLatin1String(key) ? s.value : *value;
        }
        const double vertical = std::hypot(10 * std::sin(turn) * ratioX, 10 * std::cos(turn) * ratioY);
        QVERIFY(qAbs(editor->fncLen_Dis(5, 5, 5, 15) - vertical) < 1e-4);
        QCOMPARE(olddata::calibrationMisread(), QStringList());

        const qint32 before = printRows();
        QVERIFY(editor->fncSave_Drawing());
        QCOMPARE(printRows(), before + 1);
        QVERIFY(GE_tpPrint.Print_Id > 0);
        QVERIFY(editor->fncSave_Drawing());
        QCOMPARE(printRows(), before + 1);
    }

    // The editor's load runs the repairs: ids widened with the import's day,
    // a route drawn over an area's outline keyed like the area, and one
    // hatching record per area label.
    void editorRepairsTheImport()
    {
        const auto label = [](const QString& tag) { return olddata::label(true, {{4, tag}}); };
        const auto side = [](const QString& tag, const char* x1, const char* y1, const char* x2, const char* y2) {
            return olddata::line(true, {{2, tag}, {3, x1}, {4, y1}, {5, x2}, {6, y2}});
        };
        const QStringList hidden = olddata::label(false);
        // Runs: distances, routes, areas; lead-out, extension, dimension lines, sides.
        writeDataSet("Text_Bin=T.txt\r\nLine_Bin=L.txt\r\n", kGeneral,
                     {olddata::line(false), olddata::line(false), olddata::line(false),
                      side("_090000", "0", "0", "10", "0"), side("_090000", "10", "0", "0", "10"),
                      side("_091111", "0.1", "0.1", "10", "0")},
                     {hidden, label("001:5_091111"), hidden, label("0:1_090000"), hidden});
        ScopedScriptedUi ui;
        ModalScript script;
        runImport(ui.get(), script);
        frmEdit* editor = Instance<frmEdit>::pointer();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->lblMensekiS(0).Tag, QStringLiteral("0:1_261206090000"));
        QCOMPARE(editor->lblKeiroS(0).Tag, QStringLiteral("001:5_261206090000"));
        QCOMPARE(GE_tpHatching.value(0).Tag, QStringLiteral("261206090000"));
    }

    // Nothing of an imported drawing is stored until it is saved, so the
    // close asks; Yes stores it.
    void importedDrawingIsSavedAtTheClose()
    {
        writeDataSet("Line_Bin=L.txt\r\n", kGeneral, siteLines());
        ScopedScriptedUi ui;
        ModalScript script;
        runImport(ui.get(), script);
        frmEdit* editor = Instance<frmEdit>::pointer();
        QVERIFY(editor && editor->isVisible());
        const qint32 before = printRows();
        ui->answerMsgBox(vbYes);
        QVERIFY(editor->unload());
        QCOMPARE(ui->last().prompt, QStringLiteral("オブジェクトを上書きしますか？"));
        QCOMPARE(printRows(), before + 1);
        QVERIFY(ui->allAnswered());
    }

    // A database the user may only read is told of before the imported
    // drawing is worked on, as for a new drawing.
    void readOnlyDatabaseIsToldBeforeTheWork()
    {
        writeDataSet("Line_Bin=L.txt\r\n", kGeneral, siteLines());
        const QString path = GE_objConnection->path();
        QCOMPARE(mdlDB::fncDbClose(), qint16(0));
        testsupport::ReadOnlyFolder readOnly(path);
        QCOMPARE(mdlDB::fncDbOpen(path), qint16(0));
        ScopedScriptedUi ui;
        ModalScript script;
        runImport(ui.get(), script);
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("データベース書き込み不可"));
        QVERIFY(ui->last().prompt.startsWith(QStringLiteral("データベースファイル ") + path + QStringLiteral(" は読み取り専用")));
        frmEdit* editor = Instance<frmEdit>::pointer();
        QVERIFY(editor && editor->isVisible());
    }

    void damageStopsTheImport_data()
    {
        using Recs = QList<QStringList>;
        QTest::addColumn<QString>("general");
        QTest::addColumn<Recs>("lines");
        QTest::addColumn<Recs>("labels");
        QTest::addColumn<long>("number");
        Recs cut = siteLines(), wide = siteLines();
        cut[4] = cut[4].mid(0, 6);
        wide[0][7] = "40000";
        QString noModeDis = kGeneral;
        noModeDis.remove("GE_booModeDis=True\r\n");
        // Without distances: one hidden label (and no end markers).
        const Recs none{olddata::label(false)};
        QTest::newRow("line record cut") << kGeneral << cut << none << 62L;
        QTest::newRow("truth value maybe") << kGeneral << siteLines() << Recs{olddata::label(true, {{17, "maybe"}})} << 13L;
        QTest::newRow("alignment 3.5") << kGeneral << siteLines() << Recs{olddata::label(true, {{9, "3.5"}})} << 380L;
        QTest::newRow("border width 40000") << kGeneral << wide << none << 6L;
        QTest::newRow("no GE_booModeDis") << noModeDis << siteLines() << none << 13L;
    }

    void damageStopsTheImport()
    {
        QFETCH(QString, general);
        QFETCH(QList<QStringList>, lines);
        QFETCH(QList<QStringList>, labels);
        QFETCH(long, number);
        writeDataSet("Text_Bin=T.txt\r\nLine_Bin=L.txt\r\nShape_Bin=S.txt\r\n", general, lines, labels,
                     {olddata::shape(false)});
        const qint32 before = printRows();
        ScopedScriptedUi ui;
        ModalScript script;
        runImport(ui.get(), script);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ui->count(), 1);
        QVERIFY2(ui->last().prompt.startsWith(QStringLiteral("mnuInPort_Click():ｴﾗｰ番号  %1 ｴﾗｰが発生しました。\r").arg(number)),
                 qPrintable(ui->last().prompt));
        QCOMPARE(ui->last().title, QStringLiteral("ｴﾗｰ"));
        if (number == 62)
            QVERIFY(ui->last().prompt.endsWith(QStringLiteral("\rL.txt の 46 行目で、記録が途中で終わっています。")));
        QVERIFY(!Instance<frmEdit>::exists());
        QCOMPARE(GE_tpPrint.Print_Id, 0);
        QCOMPARE(printRows(), before);
        QVERIFY(m_start->cmdMenu[0]->isEnabled() && m_start->mnuInPort->isEnabled());
    }

    // A distance is a label, a line, two extension lines and two end
    // markers; one that lacks any of them is left out, the drawing opens and
    // one notice tells what was passed over.
    void distancesWithoutTheirPiecesLeftOut_data()
    {
        using Recs = QList<QStringList>;
        QTest::addColumn<QString>("files");
        QTest::addColumn<Recs>("lines");
        QTest::addColumn<Recs>("labels");
        QTest::addColumn<Recs>("markers");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("notice");  // before the count of distances left out
        const QString all = "Text_Bin=T.txt\r\nLine_Bin=l.TXT\r\nShape_Bin=S.txt\r\n";
        const QString unnamed = "図面データの次の項目にファイル名がないため、読み込んでいません。\r\n";
        // Runs: lead-out lines, extension lines, dimension lines, sides.
        const Recs one = olddata::pattern("HVVHVHVH", &olddata::line);
        const Recs label = olddata::pattern("VH", &olddata::label), markers = olddata::pattern("VVH", &olddata::shape);
        QTest::newRow("no shape file") << all << one << label << Recs() << 0
                                       << "次のファイルが見つからなかったため、読み込んでいません。\r\nS.txt";
        QTest::newRow("empty Text_Bin") << "Text_Bin=\r\nLine_Bin=L.txt\r\nShape_Bin=S.txt\r\n" << one << Recs()
                                        << markers << 0 << unnamed + "Text_Bin";
        QTest::newRow("empty Line_Bin") << "Text_Bin=T.txt\r\nLine_Bin=\r\nShape_Bin=S.txt\r\n" << one << label
                                        << markers << 0 << unnamed + "Line_Bin";
        QTest::newRow("empty Shape_Bin") << "Text_Bin=T.txt\r\nLine_Bin=L.txt\r\nShape_Bin=\r\n" << one << label
                                         << markers << 0 << unnamed + "Shape_Bin";
        QTest::newRow("empty shape file") << all << one << label << Recs{QStringList()} << 0 << "";
        QTest::newRow("markers fewer than extension lines")
            << all << one << label << olddata::pattern("VH", &olddata::shape) << 0 << "";
        QTest::newRow("distance lines fewer than extension lines")
            << all << olddata::pattern("HVVVVHVHVH", &olddata::line) << olddata::pattern("VVH", &olddata::label)
            << olddata::pattern("VVVVH", &olddata::shape) << 1 << "";
        QTest::newRow("three distance lines, two distances")
            << all << olddata::pattern("HVVVVHVVVHVH", &olddata::line) << olddata::pattern("VVH", &olddata::label)
            << olddata::pattern("VVVVH", &olddata::shape) << 2 << "";
    }

    void distancesWithoutTheirPiecesLeftOut()
    {
        QFETCH(QString, files);
        QFETCH(QList<QStringList>, lines);
        QFETCH(QList<QStringList>, labels);
        QFETCH(QList<QStringList>, markers);
        QFETCH(int, kept);
        QFETCH(QString, notice);
        writeDataSet(files, kGeneral, lines, labels, markers);
        ScopedScriptedUi ui;
        ModalScript script;
        runImport(ui.get(), script);
        QCOMPARE(ui->count(), 1);
        notice.replace("S.txt", data("S.txt"));
        QCOMPARE(ui->last().prompt, (notice.isEmpty() ? notice : notice + "\r\n\r\n")
                                        + QStringLiteral("部品がそろっていない距離・寸法 1 件は、読み込んでいません。"));
        QCOMPARE(ui->last().title, QStringLiteral("旧ねむのき・図面データ"));
        frmEdit* editor = Instance<frmEdit>::pointer();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(QList<int>({editor->lblKyori.UBound(), editor->lineDsSave.UBound(), editor->lineHojoSave.UBound(),
                             editor->shpSnpo.UBound()}),
                 QList<int>({kept, kept, 2 * kept, 2 * kept}));
        QVERIFY(!editor->lblKyori(kept).Visible && !editor->shpSnpo(2 * kept).Visible);  // the spares
        QVERIFY(kept == 0 || (editor->lineDsSave(0).Visible && editor->shpSnpo(1).Visible));
        QCOMPARE(editor->linePS(0).Visible, !files.contains("Line_Bin=\r"));  // l.TXT found as L.txt
    }

    void endingEarly()
    {
        writeDataSet("Line_Bin=L.txt\r\n", kGeneral, siteLines());
        ScopedScriptedUi ui;
        {  // no folder chosen
            ModalScript script;
            ui->answerFile(data("site01.ini"));
            script.push([](Form& form) { static_cast<dlgBrowesForFolder&>(form).CancelButton->setValue(true); });
            m_start->mnuInPort_Click();
            QVERIFY(script.allUsed());
            QCOMPARE(GE_strPict_Folda, QStringLiteral("/before"));
        }
        {  // the new-drawing dialog cancelled
            ModalScript script;
            runImport(ui.get(), script, false);
            QVERIFY(script.allUsed());
            QVERIFY(!Instance<frmEdit>::exists());
            QCOMPARE(GE_strPict_Folda, pictures());
        }
        QCOMPARE(ui->count(), 0);
        QFile::remove(m_dir->filePath("pictures/map.jpg"));
        {  // the picture missing: no dialog follows
            ModalScript script;
            ui->answerFile(data("site01.ini"));
            script.push([this](Form& form) {
                auto& picker = static_cast<dlgBrowesForFolder&>(form);
                picker.stsBar->Panels(1).setText(pictures());
                picker.OKButton->setValue(true);
            });
            m_start->mnuInPort_Click();
            QCOMPARE(script.shown, QStringList{"dlgBrowesForFolder"});
            QCOMPARE(ui->last().prompt, QStringLiteral("画像ファイルが見つかりませんでした\r\n"
                                                       "図面データに記録されている画像ファイル名 : <MAP.JPG>\r\n"
                                                       "選択したフォルダ名 : ")
                                            + pictures());
            QCOMPARE(ui->last().title, QStringLiteral("フォルダ選択異常"));
        }
        ui->answerFile(std::nullopt);  // the file dialog cancelled: nothing
        m_start->mnuInPort_Click();
        QCOMPARE(ui->count(), 1);
    }
};

QTEST_MAIN(TestOldImport)
#include "tst_oldimport.moc"
