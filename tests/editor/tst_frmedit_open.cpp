// Opening a drawing in the editor: a stored one with its picture, a missing
// picture, a number the database doesn't hold, a new drawing's defaults;
// an unreadable picture; the minimum window size; the close and its question.

#include "tests/editor/editorfixture.h"

#include "app/mdlFileAccess.h"
#include "db/mdlSQL_objects.h"
#include "measure/frmOption.h"

#include <QFile>
#include <QImage>
#include <QtTest>

using namespace editortest;
using platform::ScopedScriptedUi;

class TestFrmEditOpen : public QObject {
    Q_OBJECT

    // No real box ever waits for an answer; tests install their own to look.
    editortest::Session m_session;
    std::unique_ptr<Fixture>& m_fx = m_session.fx;
    std::unique_ptr<platform::ScopedScriptedUi>& m_quiet = m_session.quiet;

    QString picture(const QString& name = QStringLiteral("map.bmp"), QSize size = QSize(200, 150))
    {
        return writePicture(m_fx->dir.path(), name, size);
    }

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
        QCOMPARE((*m_quiet)->boxes.size(), 0);
    }

    void cleanup()
    {
        m_session.end();
    }

    void storedDrawingOpensWithItsRecordAndPicture()
    {
        picture();
        const qint32 id = m_fx->storeDrawing(QStringLiteral("A-1"), m_fx->dir.path(), QStringLiteral("map.bmp"));
        QVERIFY(id > 0);
        typPrinter printer;
        printer.strDeviceName = QStringLiteral("測量室プリンタ");
        printer.sngScaleWidth = 190;
        printer.sngScaleHeight = 277;
        QCOMPARE(mdlSQL::fncSQL_InsertPrinter(id, printer), qint16(0));
        GE_tpPrinter = typPrinter{};
        GE_sngZoom = 0.5f;
        ScopedScriptedUi ui;
        frmEdit& e = Fixture::open();
        QCOMPARE(ui->boxes.size(), 0);
        QCOMPARE(GE_tpPrint.strName, QStringLiteral("試験図面"));
        QCOMPARE(e.stsBar->Panels(2).Text(), QStringLiteral("A-1"));
        QCOMPARE(e.stsBar->Panels(3).Text(), QStringLiteral("試験図面"));
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("測量室プリンタ"));
        QCOMPARE(GE_tpPrinter.sngScaleWidth, 190.0f);
        QCOMPARE(GE_sngZoom, 1.0f);
        QCOMPARE(e.stsTip->Panels(8).Text(), QStringLiteral("100%"));
        QVERIFY(e.mnuFileSavePrj->Enabled());
        QVERIFY(e.mnuFileNewPrj->Enabled());
        // No calibration line or marker over the map until the options show them.
        QVERIFY(!e.lineCheck.Visible && !e.shpCheck(0).Visible && !e.shpCheck(1).Visible);
        // One decoded picture for both boxes.
        QVERIFY(e.pictMap->hasPicture());
        QCOMPARE(e.pictOrg->picture().data(), e.pictMap->picture().data());
        for (const QPoint p : {QPoint(10, 10), QPoint(150, 20), QPoint(60, 140)})
            QCOMPARE(mapPixel(e, p.x(), p.y()), expectedColor(p.x(), p.y(), QSize(200, 150)));
    }

    void missingPictureAsksAndOpensWithout_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no") << int(vb::vbNo);
        QTest::newRow("yes, nothing chosen") << int(vb::vbYes);
    }

    void missingPictureAsksAndOpensWithout()
    {
        QFETCH(int, answer);
        QVERIFY(m_fx->storeDrawing(QStringLiteral("A-2"), m_fx->dir.path(), QStringLiteral("gone.bmp")) > 0);
        GE_strMapImage = QStringLiteral("chosen-earlier.bmp");
        ScopedScriptedUi ui;
        ui->answerMsgBox(answer);
        platform::ModalScript script;
        if (answer == vb::vbYes)
            script.push([](platform::Form& chooser) { chooser.unload(); });  // closed without a folder
        frmEdit& e = Fixture::open();
        QVERIFY(script.allUsed());
        QCOMPARE(ui->count(), 1);
        const QString path = m_fx->dir.path() + QStringLiteral("/gone.bmp");
        QCOMPARE(ui->last().prompt, path + vb::vbCrLf + QStringLiteral("画像ファイルが、見つかりませんでした・・・")
                                        + vb::vbCrLf + QStringLiteral("自分で探しますか？"));
        QCOMPARE(ui->last().title, QStringLiteral("画像ファイル無し"));
        QCOMPARE(ui->last().style, 52);
        QVERIFY(ui->allAnswered());
        QVERIFY(!e.pictMap->hasPicture());
        // The drawing still opens: its commands and the zoom readout.
        QVERIFY(e.mnuFileSavePrj->Enabled());
        QCOMPARE(e.stsTip->Panels(8).Text(), QStringLiteral("100%"));
        // A search given up keeps no stale name, and the record is unchanged.
        QCOMPARE(GE_strMapImage.isEmpty(), answer == vb::vbYes);
        QCOMPARE(GE_tpPrint.strFileName, QStringLiteral("gone.bmp"));
        // Its bitmap is the objects on white, 996 pixels square at any zoom.
        QVERIFY(e.mnuFileSaveAsImg->Enabled());
        GE_sngZoom = 2.0f;
        e.sZoom(2.0f);
        e.lblKeiIdoS(0).Caption = QStringLiteral("位置");
        e.lblKeiIdoS(0).Move(10, 10);
        e.lblKeiIdoS(0).Visible = true;
        const QString bitmap = m_fx->dir.path() + QStringLiteral("/objects.bmp");
        e.subSave_Bitmap(bitmap);
        const QImage written(bitmap);
        QCOMPARE(written.size(), QSize(996, 996));
        QCOMPARE(written.pixel(995, 995), qRgb(255, 255, 255));
        const QRect label = e.lblKeiIdoS(0).deviceRect().toRect();
        QImage blank(label.size(), written.format());
        blank.fill(Qt::white);
        QVERIFY(!label.isEmpty() && written.copy(label) != blank);
        // Each export is a fresh white page, and the map shows only the
        // objects as they are: after a zoom and a move, the label's old
        // place is white on the screen and in the next file.
        e.mnuDispEandR_Click(4);
        e.lblKeiIdoS(0).Move(60, 60);
        e.subSave_Bitmap(bitmap);
        e.sZoom(GE_sngZoom);
        const QImage next(bitmap);
        QVERIFY(next.copy(e.lblKeiIdoS(0).deviceRect().toRect()) != blank);
        QCOMPARE(next.copy(label), blank);
        QCOMPARE(e.pictMap->renderArea(label).convertToFormat(blank.format()), blank);
    }

    void unknownNumberEndsTheLoad()
    {
        GE_tpPrint = typPrint{};
        GE_tpPrint.Print_Id = 7;
        GE_tpPrint.strNo = QStringLiteral("none");
        ScopedScriptedUi ui;
        frmEdit& e = Fixture::open();
        QCOMPARE(ui->boxes.size(), 0);
        QVERIFY(!e.pictMap->hasPicture());
        QVERIFY(!e.mnuFileSavePrj->Enabled());
        QVERIFY(!e.mnuFileSaveCsv->Enabled());
    }

    void newDrawingStartsFromTheDefaults()
    {
        // What a drawing opened before left behind.
        GE_dblHosei = {3, -3, 0.05, -0.05};
        GE_sngScale = 500;
        GE_tpPtoK_r = {1.5, 2.5};
        GE_tpKtoP_r = {0.5, 0.4};
        GE_tpPx00ToKei = {480000, 120000};
        GE_tpKI00ToPx = {-10, 20};
        GE_sngHojoLen = 30;
        GE_booModeKei = true;
        GE_sngKeisuD = 2.5f;
        GE_tpPiccel = {typPointS{30, 40}, typPointS{150, 90}};
        GE_tpKeIdo = {typDMS{139, 45, 30.5f}, typDMS{140, 5, 10}};
        GE_tpIdo = {typDMS{35, 40, 20}, typDMS{35, 10, 0.5f}};
        GE_dblKeido = {502000, 504000};
        GE_dblIdo = {128000, 126000};
        GE_tpPrint = typPrint{};
        ScopedScriptedUi ui;
        frmEdit& e = Fixture::open();
        QCOMPARE(GE_sngKeisuD, 1.0f);
        for (double v : GE_dblHosei)
            QCOMPARE(v, 0.0);
        QCOMPARE(GE_sngScale, 0.0f);
        for (double v : {GE_tpPtoK_r.dblX, GE_tpPtoK_r.dblY, GE_tpKtoP_r.dblX, GE_tpKtoP_r.dblY,
                         GE_tpPx00ToKei.dblLongitude, GE_tpPx00ToKei.dblLatitude, GE_tpKI00ToPx.dblX,
                         GE_tpKI00ToPx.dblY})
            QCOMPARE(v, 0.0);
        QVERIFY(GE_tpPiccel[0].sngX == 10 && GE_tpPiccel[0].sngY == 10 && GE_tpPiccel[1].sngX == 100);
        for (const typDMS& a : {GE_tpKeIdo[0], GE_tpKeIdo[1], GE_tpIdo[0], GE_tpIdo[1]})
            QVERIFY(a.intDeg == 0 && a.intMin == 0 && a.sngSec == 0);
        for (double v : {GE_dblKeido[0], GE_dblKeido[1], GE_dblIdo[0], GE_dblIdo[1]})
            QCOMPARE(v, 0.0);
        QCOMPARE(GE_sngHojoLen, 15.0f);
        QVERIFY(GE_booModeDis && !GE_booModeKei);
        QCOMPARE(GE_strUnitD, QStringLiteral("m "));
        QCOMPARE(GE_strFormat[3], QStringLiteral(" #,##0.000 "));
        QCOMPARE(e.popMesInput->Caption(), QStringLiteral("50 m "));
        QCOMPARE(e.strMojiHead, QStringLiteral("New "));
        QCOMPARE(e.intSelIndex, qint16(-1));
        // No picture yet, nothing to save; the position tool waits for the
        // longitude/latitude mode; the context menus are off the bar.
        QVERIFY(!e.pictMap->hasPicture());
        QVERIFY(!e.mnuFileSavePrj->Enabled() && !e.mnuFileSaveAsImg->Enabled());
        QVERIFY(e.popMesHj15->Checked() && !e.popMesHj30->Checked());
        QVERIFY(!e.Toolbar1->Buttons(13).Enabled());
        QVERIFY(!e.popMes->Visible() && !e.popEdit->Visible());
        QVERIFY(e.mnuSnap(0).Checked() && e.popDisX->Checked() && e.popMesLine->Checked());
        QCOMPARE(e.stsTip->Panels(7).Text(), QStringLiteral("OFF"));
        QCOMPARE(e.stsTip->Panels(4).ToolTipText(), QStringLiteral("角度"));
        QVERIFY(e.caption().contains(QStringLiteral(" [ ねむのきⅡ ] Ver ")));
        QCOMPARE(ui->boxes.size(), 0);
        e.mnuToolOpt_Click();
        frmOption& o = platform::Instance<frmOption>::get();
        for (int row = 0; row < 4; ++row)  // the two longitudes and latitudes, as the options window shows them
            for (int k = 0; k < 4; ++k)
                QCOMPARE(o.angleBox(row, k).Text(), QStringLiteral("0"));
    }

    void smallWindowSnapsBackToTheMinimum()
    {
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.resize(100, 60);
        QCoreApplication::processEvents();
        QCOMPARE(e.Width() / platform::TwipsPerPixel, 320);
        QCOMPARE(e.Height() / platform::TwipsPerPixel, 240);
        // The viewport fills the client area between toolbar and status bars.
        const int client = e.centralWidget()->height();
        QCOMPARE(int(e.pictWindow->Top() + e.pictWindow->Height()) + e.hscX->height() + 45, client);
        QVERIFY(e.stsTip->geometry().top() >= e.hscX->geometry().bottom());
    }

    void closingAnUnchangedDrawingAsksNothing()
    {
        picture();
        QVERIFY(m_fx->storeDrawing(QStringLiteral("A-3"), m_fx->dir.path(), QStringLiteral("map.bmp")) > 0);
        frmEdit& e = Fixture::open();
        ScopedScriptedUi ui;
        QVERIFY(e.unload());
        QCOMPARE(ui->boxes.size(), 0);
        QVERIFY(!platform::Instance<frmEdit>::exists());
    }

    void closeOffersChangedPrinterSettings_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("answer");  // 0: not asked
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("fails");  // the settings can't be written: the editor stays
        QTest::newRow("changed, yes") << true << true << int(vb::vbYes) << true << false;
        QTest::newRow("changed, yes, not written") << true << true << int(vb::vbYes) << false << true;
        QTest::newRow("changed, no") << true << true << int(vb::vbNo) << false << false;
        QTest::newRow("unchanged") << false << true << 0 << false << false;
        QTest::newRow("read-only drawing") << true << false << 0 << false << false;
    }

    void closeOffersChangedPrinterSettings()
    {
        QFETCH(bool, changed);
        QFETCH(bool, editable);
        QFETCH(int, answer);
        QFETCH(bool, written);
        QFETCH(bool, fails);
        picture();
        const qint32 id = m_fx->storeDrawing(QStringLiteral("A-5"), m_fx->dir.path(), QStringLiteral("map.bmp"));
        frmEdit& e = Fixture::open();
        GE_tpPrint.booEdit = editable;
        GE_tpPrinter = typPrinter{};
        GE_tpPrinter.strDeviceName = QStringLiteral("新しいプリンタ");
        GE_tpPrinter.sngScaleWidth = 190;  // a zoom on the way out lays the pages out
        GE_tpPrinter.sngScaleHeight = 277;
        e.booPrtChange = changed;
        ScopedScriptedUi ui;
        if (answer != 0)
            ui->answerMsgBox(answer);
        if (fails) {
            GE_objConnection->execute(QStringLiteral("DROP TABLE tPrinter"));
            QVERIFY(!e.unload());
            QVERIFY(platform::Instance<frmEdit>::exists());
            QCOMPARE(ui->boxes.at(ui->boxes.size() - 2).prompt, QStringLiteral("プリンタの設定を保存しますか？"));
            QVERIFY(ui->last().title.startsWith(QStringLiteral("mdlSQL:fncSQL_UpdateLabel()")));
            e.booPrtChange = false;
            QVERIFY(e.unload());
            return;
        }
        QVERIFY(e.unload());
        QVERIFY(ui->allAnswered());
        if (answer != 0) {
            QCOMPARE(ui->last().prompt, QStringLiteral("プリンタの設定を保存しますか？"));
            QCOMPARE(ui->last().title, QStringLiteral("設定の保存"));
            QCOMPARE(ui->last().style, 68);
        }
        // The drawing had no printer row: only a kept answer makes one.
        typPrinter stored;
        QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(id, stored), written ? qint16(0) : mdlSQL::PrinterNoRow);
        QCOMPARE(stored.strDeviceName == QStringLiteral("新しいプリンタ"), written);
    }

    void unreadablePictureIsReportedAndTheDrawingOpensWithout()
    {
        QFile bad(m_fx->dir.filePath(QStringLiteral("bad.bmp")));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not a picture") > 0 && bad.flush());
        QVERIFY(m_fx->storeDrawing(QStringLiteral("A-4"), m_fx->dir.path(), QStringLiteral("bad.bmp")) > 0);
        ScopedScriptedUi ui;
        frmEdit& e = Fixture::open();
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().title, QStringLiteral("ピクチャーボックスに像ロード時エラー"));
        QVERIFY(ui->last().prompt.startsWith(QStringLiteral("subPictDraw()") + vb::vbCr
                                             + QStringLiteral("画像ファイル bad.bmp を読み込めません。（")));
        QVERIFY(!e.pictMap->hasPicture());
        QVERIFY(e.isEnabled());
        QCOMPARE(e.stsTip->Panels(8).Text(), QStringLiteral("100%"));
    }
};

QTEST_MAIN(TestFrmEditOpen)
#include "tst_frmedit_open.moc"
