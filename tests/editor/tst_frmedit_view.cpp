// The editor's view: zoom presets and steps, the true-scale zoom, the
// aspect factor, the scroll bars, and the toggles of the View and Tools menus.

#include "tests/editor/editorfixture.h"
#include "tests/interaction/mapmouse.h"

#include "measure/frmOption.h"
#include "platform/vbruntime.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

using namespace editortest;
using platform::ScopedScriptedUi;

class TestFrmEditView : public QObject {
    Q_OBJECT

    // No real box ever waits for an answer; tests install their own to look.
    editortest::Session m_session;
    std::unique_ptr<Fixture>& m_fx = m_session.fx;
    std::unique_ptr<platform::ScopedScriptedUi>& m_quiet = m_session.quiet;
    const QSize m_size{200, 150};

    // A stored drawing with the test picture, opened at 100 %.
    frmEdit& openDrawing(QSize size = QSize(200, 150))
    {
        writePicture(m_fx->dir.path(), QStringLiteral("map.bmp"), size);
        if (m_fx->storeDrawing(QStringLiteral("V-1"), m_fx->dir.path(), QStringLiteral("map.bmp")) <= 0)
            qFatal("no drawing stored");
        return Fixture::open();
    }

    static void press(frmEdit& e, const char* key)
    {
        e.Toolbar1->Buttons(QString::fromLatin1(key)).action()->trigger();
    }

private slots:
    void init()
    {
        QVERIFY(m_session.begin());
        QCOMPARE((*m_quiet)->boxes.size(), 0);
    }

    void cleanup()
    {
        m_session.end();
    }

    void zoomPresets_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QString>("panel");
        QTest::newRow("200%") << 0 << 2.0f << QStringLiteral("200%");
        QTest::newRow("175%") << 1 << 1.75f << QStringLiteral("175%");
        QTest::newRow("50%") << 6 << 0.5f << QStringLiteral("50%");
    }

    void zoomPresets()
    {
        QFETCH(int, index);
        QFETCH(float, zoom);
        QFETCH(QString, panel);
        frmEdit& e = openDrawing();
        e.mnuDispEandR(index).choose();
        QCOMPARE(GE_sngZoom, zoom);
        QCOMPARE(e.stsTip->Panels(8).Text(), panel);
        QVERIFY(e.mnuDispEandR(index).Checked());
        // The box follows the zoom (within its frames) and shows the scaled picture.
        QVERIFY(qAbs(e.pictMap->deviceSize().width() - m_size.width() * zoom) <= 8);
        QVERIFY(qAbs(e.pictMap->deviceSize().height() - m_size.height() * zoom) <= 8);
        for (const QPoint p : {QPoint(20, 20), QPoint(160, 60), QPoint(40, 135)}) {
            const QPoint shown(qRound(p.x() * zoom), qRound(p.y() * zoom));
            QCOMPARE(mapPixel(e, shown.x(), shown.y()), expectedColor(p.x(), p.y(), m_size));
        }
        // Another preset or any toolbar button takes the check away.
        e.mnuDispEandR(4).choose();
        QVERIFY(!e.mnuDispEandR(index).Checked());
        press(e, "select");
        QVERIFY(!e.mnuDispEandR(4).Checked());
    }

    void zoomSteps_data()
    {
        QTest::addColumn<float>("from");
        QTest::addColumn<QString>("key");
        QTest::addColumn<float>("to");
        QTest::newRow("reduce 1.0") << 1.0f << QStringLiteral("reduce") << 0.9f;
        QTest::newRow("reduce 0.15") << 0.15f << QStringLiteral("reduce") << 0.1f;
        QTest::newRow("reduce 0.1") << 0.1f << QStringLiteral("reduce") << 0.1f;
        QTest::newRow("magnify 1.95") << 1.95f << QStringLiteral("magnify") << 2.0f;
        QTest::newRow("magnify 2.0") << 2.0f << QStringLiteral("magnify") << 2.0f;
        QTest::newRow("back to 100%") << 1.75f << QStringLiteral("modosu") << 1.0f;
    }

    void zoomSteps()
    {
        QFETCH(float, from);
        QFETCH(QString, key);
        QFETCH(float, to);
        frmEdit& e = openDrawing();
        GE_sngZoom = from;
        press(e, key.toLatin1().constData());
        QCOMPARE(GE_sngZoom, to);
        QCOMPARE(e.stsTip->Panels(8).Text(), vb::Format(to, QStringLiteral("##0%")));
    }

    void trueScaleZoom_data()
    {
        QTest::addColumn<float>("distance");
        QTest::addColumn<float>("scale");
        QTest::addColumn<float>("pixels");
        QTest::addColumn<double>("metres");  // per picture unit by positions; 0: by known distances
        QTest::addColumn<float>("zoom");
        QTest::newRow("1:500") << 100.0f << 500.0f << 400.0f << 0.0 << 0.5f;
        QTest::newRow("negative scale") << 100.0f << -500.0f << 400.0f << 0.0 << 1.25f;
        QTest::newRow("no known distance") << 0.0f << 500.0f << 400.0f << 0.0 << 1.25f;
        QTest::newRow("no picture length") << 100.0f << 500.0f << 0.0f << 0.0 << 1.25f;
        // The same scale from positions, the known distances never set.
        QTest::newRow("1:500 by positions") << 0.0f << 500.0f << 0.0f << 0.25 << 0.5f;
    }

    void trueScaleZoom()
    {
        QFETCH(float, distance);
        QFETCH(float, scale);
        QFETCH(float, pixels);
        QFETCH(double, metres);
        QFETCH(float, zoom);
        frmEdit& e = openDrawing();
        e.mnuDispEandR(3).choose();  // 125 %
        GE_booModeKei = metres > 0;
        GE_booModeDis = !GE_booModeKei;
        if (GE_booModeKei)
            GE_tpPtoD_r = typPointD{metres, metres};
        GE_sngDistanceD_X = distance;
        GE_sngScale = scale;
        GE_sngPiccelD_X = pixels;
        GE_intUnitDIndex = 2;
        GE_dblChgMMToO[2] = 1000;
        ScopedScriptedUi ui;
        press(e, "org");
        QCOMPARE(GE_sngZoom, zoom);
        QCOMPARE(e.stsTip->Panels(8).Text(), vb::Format(zoom, QStringLiteral("##0%")));
        QCOMPARE(ui->boxes.size(), 0);
    }

    void trueScaleZoomWithoutScaleSaysSo()
    {
        frmEdit& e = openDrawing();
        GE_sngScale = 0;
        ScopedScriptedUi ui;
        press(e, "org");
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().prompt, QStringLiteral("ﾂｰﾙ(T)→ｵﾌﾟｼｮﾝ(O)で、図面スケールを設定してください。"));
        QCOMPARE(ui->last().title, QStringLiteral("図面スケール未設定"));
        QCOMPARE(ui->last().style, int(vb::vbExclamation));
        QCOMPARE(GE_sngZoom, 1.0f);
    }

    // The box's inside is the picture times the zoom and the aspect factor,
    // so its last column and row show (and are picked) at every zoom. A
    // stored factor beyond what a calibration sets is shown at its bound.
    void boxFitsTheCopy_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<float>("stored");
        QTest::addColumn<float>("factor");
        QTest::newRow("100%") << 1.0f << 1.0f << 1.0f;
        QTest::newRow("25%") << 0.25f << 1.0f << 1.0f;
        QTest::newRow("200%") << 2.0f << 1.0f << 1.0f;
        QTest::newRow("aspect 1.2") << 1.0f << 1.2f << 1.2f;
        QTest::newRow("aspect 0.8 at 50%") << 0.5f << 0.8f << 0.8f;
        QTest::newRow("stored 2.5e6 at 400%") << 4.0f << 2.5e6f << 10.0f;
        QTest::newRow("stored 2.6e-7 at 800%") << 8.0f << 2.6e-7f << 0.1f;
        QTest::newRow("stored 0: none") << 1.0f << 0.0f << 1.0f;
    }

    void boxFitsTheCopy()
    {
        QFETCH(float, zoom);
        QFETCH(float, stored);
        QFETCH(float, factor);
        const QSize picture(4000, 3000);
        frmEdit& e = openDrawing(picture);
        GE_sngPictAdj = stored;
        GE_sngZoom = zoom;
        e.sZoom(GE_sngZoom);
        const QSize inner(qRound(picture.width() * zoom), qRound(picture.height() * zoom * factor));
        QCOMPARE(e.pictMap->deviceSize(), QSizeF(inner));
        const int right = inner.width() - 1, bottom = inner.height() - 1;
        QCOMPARE(mapPixel(e, right, 0), QColor(Qt::green));
        QCOMPARE(mapPixel(e, 0, bottom), QColor(Qt::blue));
        if (zoom < 1 || factor != 1)
            return;
        // A press on the last picture pixel reads where it lies, in millimetres at 100 %.
        QPointF at(-1, -1);
        e.pictMap->MouseDown = [&](int, int, double x, double y) { at = QPointF(x, y) / zoom; };
        const QPoint origin(2, 2);  // the frame
        QTest::mousePress(e.pictMap, Qt::LeftButton, Qt::NoModifier, origin + QPoint(right, bottom));
        QTest::mouseRelease(e.pictMap, Qt::LeftButton, Qt::NoModifier, origin + QPoint(right, bottom));
        QVERIFY2(at.x() >= 1058.0 && at.x() < 1058.34 && at.y() >= 793.4 && at.y() < 793.75,
                 qPrintable(QStringLiteral("%1, %2").arg(at.x()).arg(at.y())));
    }

    void scrollBarsOnlyForALargerPicture()
    {
        frmEdit& e = openDrawing(QSize(1600, 1200));
        e.setWidth(platform::pixelsToTwips(640));
        e.setHeight(platform::pixelsToTwips(480));
        e.Form_Resize();
        QVERIFY(e.vscY->Visible() && e.hscX->Visible());
        QCOMPARE(e.hscX->Max(), int(e.pictMap->Width() - e.pictWindow->Width() + 4));
        QCOMPARE(e.vscY->Max(), int(e.pictMap->Height() - e.pictWindow->Height() + 4));

        // Scrolling moves the map and keeps the templates near the visible corner.
        e.hscX->setValue(100);
        e.vscY->setValue(40);
        QCOMPARE(e.pictMap->Left(), -100.0);
        QCOMPARE(e.pictMap->Top(), -40.0);
        QCOMPARE(e.lblDefault.Left.get(), float(100 * 0.2645 + 10));
        QCOMPARE(e.shpDefault.Top.get(), float(40 * 0.2645 + 10) + 8);
        QCOMPARE(e.linDefault.X2.get(), e.linDefault.X1.get() + e.lblDefault.Width());

        // At 200 % the range is the larger map's.
        GE_sngZoom = 2.0f;
        e.sZoom(GE_sngZoom);
        QVERIFY(e.hscX->Max() > 2500);

        // Smaller than the viewport: no bars, and the map back at the corner.
        e.mnuDispEandR(7).choose();
        QVERIFY(!e.vscY->Visible() && !e.hscX->Visible());
        QCOMPARE(e.pictMap->Left(), 0.0);
        QCOMPARE(e.pictMap->Top(), 0.0);
        // Exactly as tall as the viewport: nothing to scroll down to.
        e.pictMap->Move(0, 0, e.pictWindow->Width() + 100, e.pictWindow->Height());
        e.subSet_Scroll();
        QVERIFY(!e.vscY->Visible() && e.hscX->Visible());
    }

    void optionsShowThePictureAt100()
    {
        frmEdit& e = openDrawing();
        e.mnuDispEandR(0).choose();
        e.mnuToolOpt->choose();
        QCOMPARE(GE_sngZoom, 1.0f);
        QCOMPARE(e.stsTip->Panels(8).Text(), QStringLiteral("100%"));
        QCOMPARE(e.stsTip->Panels(1).Text(), QStringLiteral("各項目を設定してください。"));
        QCOMPARE(mapPixel(e, 150, 20), QColor(Qt::green));
        // The tip goes with the window it is about.
        platform::Instance<frmOption>::get().cmdOK->setValue(true);
        QVERIFY(!platform::Instance<frmOption>::exists() || !platform::Instance<frmOption>::get().isVisible());
        QCOMPARE(e.stsTip->Panels(1).Text(), QString());
    }

    // The length and angle of a line being measured go with the line when a
    // zoom drops it; a kept distance's length stays on.
    void aDroppedLineTakesItsLengthAlong()
    {
        frmEdit& e = mapmouse::openMeasuring(m_session, m_fx->dir.path());
        mapmouse::tool(e, 9);
        const auto click = [&e](float x, float y) {
            mapmouse::mouse(e, mapmouse::Press, x, y);
            mapmouse::mouse(e, mapmouse::Release, x, y);
        };
        click(12.7f, 12.7f);
        mapmouse::mouse(e, mapmouse::Move, 88.9f, 76.2f, Qt::NoButton);
        QVERIFY(e.stsTip->Panels(5).Text().endsWith(QStringLiteral("m ")));
        QVERIFY(!e.stsTip->Panels(4).Text().isEmpty());
        e.mnuDispEandR(0).choose();
        QCOMPARE(e.stsTip->Panels(5).Text(), QString());
        QCOMPARE(e.stsTip->Panels(4).Text(), QString());
        // The next line starts from nothing, not from the dropped one.
        click(20, 20);
        QCOMPARE(e.stsTip->Panels(5).Text(), QStringLiteral("0.00 m "));

        mapmouse::mouse(e, mapmouse::Move, 60, 20, Qt::NoButton);
        click(60, 20);
        const QString kept = e.stsTip->Panels(5).Text();
        QVERIFY(kept != QStringLiteral("0.00 m ") && kept.endsWith(QStringLiteral("m ")));
        e.mnuDispEandR(4).choose();
        QCOMPARE(e.stsTip->Panels(5).Text(), kept);
    }

    // After the map moved under a resting pointer, the readouts name the
    // point under it: the one a move there names, or none when the pointer
    // is on a scroll bar (turning the wheel there).
    void readoutsFollowTheMapUnderThePointer()
    {
        frmEdit& e = openDrawing(QSize(1600, 1600));
        GE_booModeDis = true;
        GE_booModeKei = false;
        e.showForm(platform::vbModeless);
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        QVERIFY(e.vscY->Visible() && e.vscY->Max() > 100);
        const QPoint onMap = e.pictWindow->mapToGlobal(QPoint(150, 120));
        QCursor::setPos(onMap);
        QTRY_VERIFY(!e.stsTip->Panels(3).Text().isEmpty());
        const QString before = e.stsTip->Panels(3).Text();

        // A zoom chosen while the pointer rests on the map.
        e.mnuDispEandR(2).choose();
        QTRY_VERIFY(e.stsTip->Panels(3).Text() != before);
        const QString followed = e.stsTip->Panels(2).Text() + e.stsTip->Panels(3).Text();
        const QPoint local = e.pictMap->mapFromGlobal(onMap);
        QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(onMap), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(e.pictMap, &move);
        QCOMPARE(e.stsTip->Panels(2).Text() + e.stsTip->Panels(3).Text(), followed);

        // The wheel turned on the scroll bar.
        QScrollBar* bar = e.vscY->scrollBar();
        const QPoint onBar = bar->rect().center();
        QCursor::setPos(bar->mapToGlobal(onBar));
        const int value = e.vscY->Value();
        QWheelEvent wheel(QPointF(onBar), QPointF(bar->mapToGlobal(onBar)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        QVERIFY(e.vscY->Value() > value);
        QTRY_COMPARE(e.stsTip->Panels(3).Text(), QString());
        QCOMPARE(e.stsTip->Panels(2).Text(), QString());
    }

    void snapMenuAndMarkers()
    {
        frmEdit& e = openDrawing();
        e.mnuSnap(1).choose();
        QVERIFY(e.mnuSnap(1).Checked() && !e.mnuSnap(0).Checked());
        QVERIFY(e.mnuMarker->Checked());
        QCOMPARE(e.stsTip->Panels(7).Text(), QStringLiteral("ﾏｰｶｰ"));
        e.shpSnap.Visible = true;
        e.mnuMarker->choose();
        QVERIFY(!e.mnuMarker->Checked() && !e.mnuSnap(1).Checked());
        QVERIFY(!e.shpSnap.Visible);
        e.mnuSnap(2).choose();
        QVERIFY(e.mnuHint->Checked());
        QCOMPARE(e.stsTip->Panels(7).Text(), QStringLiteral("ﾋﾝﾄ"));
        e.mnuDspDefault->choose();
        QVERIFY(e.lblDefault.Visible && e.linDefault.Visible && e.shpDefault.Visible);
        e.mnuDspDefault->choose();
        QVERIFY(!e.lblDefault.Visible);
    }

    void toolButtonsNameTheTool()
    {
        frmEdit& e = openDrawing();
        e.lblDistance.Visible = true;
        e.shpPointer(2).Visible = true;
        press(e, "shape");
        QCOMPARE(e.stsTip->Panels(6).Text(), QStringLiteral("図形"));
        QVERIFY(!e.mnuToolOpt->Enabled());
        QVERIFY(!e.lblDistance.Visible && !e.shpPointer(2).Visible);
        press(e, "select");
        QCOMPARE(e.stsTip->Panels(6).Text(), QStringLiteral("選択モード"));
        QVERIFY(e.mnuToolOpt->Enabled());
        platform::app::setHelpFile(QStringLiteral("/opt/nemu/help.html"));
        ScopedScriptedUi ui;
        press(e, "Help");
        QCOMPARE(ui->last().kind, QStringLiteral("Url"));
        QCOMPARE(ui->last().prompt, QStringLiteral("/opt/nemu/help.html"));
        // A desktop that cannot show the page: the user is told where it is.
        ui->answerUrl(false);
        e.mnuHelpHlp->choose();
        QCOMPARE(ui->count(QStringLiteral("Url")), 2);
        QCOMPARE(ui->last().prompt, QStringLiteral("/opt/nemu/help.html\r\nヘルプを表示できませんでした。\r\n"
                                                   "このファイルをブラウザで開いてください。"));
        QCOMPARE(ui->last().title, QStringLiteral("ヘルプ"));
        QCOMPARE(ui->last().style, vb::vbExclamation + vb::vbOKOnly);
    }
};

QTEST_MAIN(TestFrmEditView)
#include "tst_frmedit_view.moc"
