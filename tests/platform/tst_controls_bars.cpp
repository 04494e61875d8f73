// Scroll bars, status bars, the toolbar, tabs, menus and control arrays.

#include "platform/controls.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QPushButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace platform;

class TestControlBars : public QObject {
    Q_OBJECT

private slots:
    void maxBelowValuePullsValueDownWithChange()
    {
        QWidget parent;
        VScrollBar vscY(QStringLiteral("vscY"), &parent);
        QList<int> changes;
        vscY.Change = [&] { changes << vscY.Value(); };
        vscY.setMax(100000);  // a large picture at a high zoom
        vscY.setValue(90000);
        vscY.setValue(90000);
        vscY.setMax(500);
        vscY.setMax(600);
        vscY.setMin(550);
        QCOMPARE(changes, (QList<int>{90000, 500, 550}));
        QVERIFY_THROWS_EXCEPTION(vb::Error, vscY.setValue(601));
    }

    void dragScrollsAndChangesOnceAtTheEnd()
    {
        QWidget parent;
        HScrollBar hscX(QStringLiteral("hscX"), &parent);
        hscX.setMax(100);
        int scrolls = 0, changes = 0;
        hscX.Scroll = [&] { ++scrolls; };
        hscX.Change = [&] { ++changes; };
        QScrollBar* bar = hscX.scrollBar();
        bar->setSliderDown(true);
        bar->setValue(10);
        bar->setValue(20);
        bar->setSliderDown(false);
        QCOMPARE(scrolls, 2);
        QCOMPARE(changes, 1);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(changes, 2);
        QCOMPARE(hscX.Value(), 21);
    }

    void statusPanelsCountFromOne()
    {
        QWidget parent;
        parent.resize(1200, 100);
        parent.show();
        StatusBar stsTip(QStringLiteral("stsTip"), &parent);
        stsTip.setAlign(2);
        for (int i = 2; i <= 8; ++i)
            stsTip.AddPanel();
        stsTip.Panels(1).setAutoSize(StatusPanel::sbrSpring);
        stsTip.Panels(6).setText(QStringLiteral("選択モード"));
        stsTip.Panels(8).setText(QStringLiteral("100%"));
        stsTip.Panels(8).setToolTipText(QStringLiteral("拡大縮小率"));
        QCOMPARE(stsTip.PanelCount(), 8);
        QCOMPARE(stsTip.Panels(6).label()->text(), QStringLiteral("選択モード"));
        QCOMPARE(stsTip.Panels(8).Text(), QStringLiteral("100%"));
        QVERIFY_THROWS_EXCEPTION(vb::Error, stsTip.Panels(9));
        QVERIFY_THROWS_EXCEPTION(vb::Error, stsTip.Panels(0));
        // Docked at the bottom, full width; the spring panel takes what is left.
        QCOMPARE(stsTip.geometry(), QRect(0, 100 - stsTip.height(), 1200, stsTip.height()));
        QCOMPARE(stsTip.Panels(2).Width(), 1440);
        QCOMPARE(stsTip.Panels(1).label()->width(), 1200 - 7 * (96 + 2));
        parent.resize(1400, 100);
        QCOMPARE(stsTip.Panels(1).label()->width(), 1400 - 7 * (96 + 2));
        // Narrower than its panels: the spring, then the fixed panels from
        // the left give way; the last ones stay whole inside the bar.
        parent.resize(600, 100);
        QCOMPARE(stsTip.Panels(1).label()->width(), 0);
        QCOMPARE(stsTip.Panels(2).label()->width(), 10);
        for (int i = 3; i <= 8; ++i)
            QCOMPARE(stsTip.Panels(i).label()->width(), 96);
        QCOMPARE(stsTip.Panels(8).label()->geometry().right(), 599);
        // Texts stay whole while room can be found: first each panel gives
        // up what its text leaves, then the texts go, a panel sized to its
        // text first, then the fixed panels' from the left; a spring's (the
        // length being measured) goes last.
        stsTip.Panels(3).setMinWidth(0);
        stsTip.Panels(3).setAutoSize(StatusPanel::sbrContents);
        for (const int i : {1, 2, 4, 5, 6, 7, 8})
            stsTip.Panels(i).setText(QStringLiteral("X:0123456789.0123"));
        stsTip.Panels(3).setText(QStringLiteral("測定する線の終わりをクリックしてください。"));
        const QLabel* length = stsTip.Panels(1).label();
        QVERIFY(length->contentsRect().width() >= length->fontMetrics().horizontalAdvance(length->text()));
        QVERIFY(stsTip.Panels(3).label()->width() == 0 && stsTip.Panels(2).label()->width() == 0);
        QCOMPARE(stsTip.Panels(8).label()->geometry().right(), 599);
        parent.resize(1400, 100);
        QCOMPARE(stsTip.Panels(2).label()->width(), 96);
    }

    void dockedBarsStackAtTheirEdges()
    {
        QWidget client;
        client.resize(500, 400);
        client.show();
        Toolbar toolbar(QStringLiteral("Toolbar1"), &client);
        StatusBar stsBar(QStringLiteral("stsBar"), &client);
        StatusBar stsTip(QStringLiteral("stsTip"), &client);
        toolbar.setAlign(1);
        stsBar.setAlign(2);
        stsTip.setAlign(2);
        QCOMPARE(toolbar.geometry(), QRect(0, 0, 500, toolbar.height()));
        QCOMPARE(stsBar.geometry().bottom(), 399);  // the first made lies lowest
        QCOMPARE(stsTip.geometry().bottom(), stsBar.geometry().top() - 1);
        client.resize(640, 480);
        QCOMPARE(stsBar.geometry(), QRect(0, 480 - stsBar.height(), 640, stsBar.height()));
        stsBar.setVisible(false);
        stsTip.setAlign(2);
        QCOMPARE(stsTip.geometry().bottom(), 479);
    }

    void groupButtonsReleaseEachOther()
    {
        QWidget parent;
        Toolbar toolbar(QStringLiteral("Toolbar1"), &parent);
        toolbar.AddButton(QStringLiteral("open"), QStringLiteral("画像を開く"));
        for (const char* key : {"select", "scale", "Line"})
            toolbar.AddButton(QString::fromLatin1(key), QString(), tbrButtonGroup);
        toolbar.AddButton(QString(), QString(), tbrSeparator);
        toolbar.AddButton(QStringLiteral("grid"), QString(), tbrButtonGroup);
        toolbar.AddButton(QStringLiteral("snap"), QString(), tbrCheck);
        QStringList clicked;
        toolbar.ButtonClick = [&](ToolbarButton& button) { clicked << button.Key(); };
        auto click = [&](const QString& key) {
            QTest::mouseClick(toolbar.toolBar()->widgetForAction(toolbar.Buttons(key).action()), Qt::LeftButton);
        };
        toolbar.Buttons(QStringLiteral("SELECT")).setValue(tbrPressed);
        toolbar.Buttons(6).setValue(tbrPressed);
        click(QStringLiteral("scale"));
        click(QStringLiteral("scale"));
        click(QStringLiteral("snap"));
        click(QStringLiteral("open"));
        QCOMPARE(clicked, (QStringList{"scale", "scale", "snap", "open"}));
        QCOMPARE(toolbar.Buttons(2).Value(), int(tbrUnpressed));
        QCOMPARE(toolbar.Buttons(3).Value(), int(tbrPressed));
        QCOMPARE(toolbar.Buttons(6).Value(), int(tbrPressed));  // beyond the separator: another group
        QCOMPARE(toolbar.Buttons(7).Value(), int(tbrPressed));
        QCOMPARE(toolbar.Buttons(1).Value(), int(tbrUnpressed));
        QCOMPARE(toolbar.Buttons(1).ToolTipText(), QStringLiteral("画像を開く"));
        toolbar.Buttons(QStringLiteral("Line")).setEnabled(false);
        click(QStringLiteral("Line"));
        QCOMPARE(clicked.size(), 4);
        QVERIFY_THROWS_EXCEPTION(vb::Error, toolbar.Buttons(QStringLiteral("Help")));
    }

    void tabClickReportsThePreviousTabOnAChange()
    {
        QWidget parent;
        TabControl sstab(QStringLiteral("SSTab"), &parent, 4);
        sstab.resize(300, 200);
        parent.show();
        Label inside(QStringLiteral("lblRecio"), sstab.page(2));
        QList<int> previous;
        sstab.Click = [&](int previousTab) { previous << previousTab; };
        sstab.setTab(2);
        sstab.setTab(2);
        sstab.setTabEnabled(1, false);
        sstab.setTab(0);
        QCOMPARE(previous, (QList<int>{0, 2}));
        QVERIFY(!sstab.TabEnabled(1));
        QVERIFY(!sstab.page(2)->isVisibleTo(&sstab));
        sstab.setTab(2);
        QVERIFY(sstab.page(2)->isVisibleTo(&sstab));
        QCOMPARE(sstab.page(2)->geometry(), sstab.rect());
        QVERIFY_THROWS_EXCEPTION(vb::Error, sstab.setTab(4));
        sstab.setTabVisible(2, false);  // the tab in front goes: another comes forward
        QVERIFY(sstab.Tab() != 2);
        QCOMPARE(previous.last(), 2);
    }

    void popupMenuRunsTheChosenClickBeforeReturning()
    {
        QWidget owner;
        Menu popEdit(QStringLiteral("popEdit"), QStringLiteral("popEdit"), &owner);
        Menu popEditRev(QStringLiteral("popEditRev"), QStringLiteral("測定線の反対側へ移動"), &popEdit);
        Menu sep(QStringLiteral("popEditSp"), QStringLiteral("-"), &popEdit);
        Menu popEditDelP(QStringLiteral("popEditDelP"), QStringLiteral("消去"), &popEdit);
        ControlArray<Menu> popEditDel(QStringLiteral("popEditDel"));
        popEditDel.add(0, new Menu(QStringLiteral("popEditDel"), QStringLiteral("全て消去"), &popEditDelP));
        popEditDel.add(1, new Menu(QStringLiteral("popEditDel"), QStringLiteral("距離・寸法を消去"), &popEditDelP));
        QStringList ran;
        popEditRev.Click = [&] { ran << QStringLiteral("rev"); };
        popEditDel(0).Click = [&](int index) { ran << QStringLiteral("del %1").arg(index); };
        popEditDel(1).Click = popEditDel(0).Click;
        popEditRev.setChecked(true);

        PopupScript script;
        script.choose(popEditDel(1));
        script.choose(popEditRev);
        script.dismiss();
        script.choose(sep);
        PopupMenu(popEdit);
        QCOMPARE(ran, QStringList{"del 1"});
        PopupMenu(popEdit);
        QVERIFY(popEditRev.Checked());  // choosing leaves the mark as the program set it
        PopupMenu(popEdit);
        PopupMenu(popEdit);
        QCOMPARE(ran, (QStringList{"del 1", "rev"}));
        QCOMPARE(script.shown.size(), 4);
        QCOMPARE(script.unexpected, QStringList{"popEditSp: cannot be chosen"});
        script.unexpected.clear();

        popEditDelP.setEnabled(false);
        script.choose(popEditDel(0));
        PopupMenu(popEdit);
        PopupMenu(popEdit);
        QCOMPARE(ran.size(), 2);
        QCOMPARE(script.unexpected, (QStringList{"popEditDel: cannot be chosen", "popEdit: no step"}));
    }

    void popupMenuChoiceRunsAfterTheMenuClosed()
    {
        QWidget owner;
        owner.show();
        Menu popMoji(QStringLiteral("popMoji"), QStringLiteral("popMoji"), &owner);
        Menu popMojiEdit(QStringLiteral("popMojiEdit"), QStringLiteral("編集"), &popMoji);
        int clicks = 0;
        bool menuOpenDuringClick = true;
        popMojiEdit.Click = [&] {
            ++clicks;
            menuOpenDuringClick = QApplication::activePopupWidget() != nullptr;
        };
        QTimer::singleShot(0, [&] {
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(open);
            open->setActiveAction(popMojiEdit.action());
            QTest::keyClick(open, Qt::Key_Return);
        });
        PopupMenu(popMoji);
        QCOMPARE(clicks, 1);
        QVERIFY(!menuOpenDuringClick);
    }

    void menuBarMenusClickWhenOpenedAndKeepTheirMarks()
    {
        QMenuBar bar;
        Menu mnuView(QStringLiteral("mnuView"), QStringLiteral("表示(&V)"), &bar);
        Menu mnuMarker(QStringLiteral("mnuMarker"), QStringLiteral("マーカー"), &mnuView);
        QStringList ran;
        mnuView.Click = [&] { ran << QStringLiteral("view"); };
        mnuMarker.Click = [&] {
            ran << QStringLiteral("marker");
            mnuMarker.setChecked(!mnuMarker.Checked());  // the handler toggles, as the program does
        };
        emit mnuView.menu()->aboutToShow();
        mnuMarker.action()->trigger();
        QVERIFY(mnuMarker.Checked());
        QVERIFY(mnuMarker.action()->isChecked());
        mnuMarker.Click = [&] { ran << QStringLiteral("marker"); };
        mnuMarker.action()->trigger();
        QVERIFY(mnuMarker.action()->isChecked());  // no handler change: the mark stays
        QCOMPARE(ran, (QStringList{"view", "marker", "marker"}));
        mnuView.setEnabled(false);
        QVERIFY(!bar.actions().first()->isEnabled());
    }

    void hiddenTopMenuStaysUsableAsPopup()
    {
        QMenuBar bar;
        Menu popMes(QStringLiteral("popMes"), QStringLiteral("popMes"), &bar);
        Menu popMesLine(QStringLiteral("popMesLine"), QStringLiteral("直線"), &popMes);
        popMes.setVisible(false);
        QVERIFY(!bar.actions().first()->isVisible());
        int clicks = 0;
        popMesLine.Click = [&] { ++clicks; };
        PopupScript script;
        script.choose(popMesLine);
        PopupMenu(popMes);
        QCOMPARE(clicks, 1);
        QVERIFY(script.allUsed());
        // A click on the menu bar's item runs the same handler.
        popMesLine.action()->trigger();
        QCOMPARE(clicks, 2);
    }

    void menuArrayLoadPlacesTheItemAfterTheLast()
    {
        QMenuBar bar;
        Menu mnuView(QStringLiteral("mnuView"), QStringLiteral("表示(&V)"), &bar);
        ControlArray<Menu> mnuSnap(QStringLiteral("mnuSnap"));
        mnuSnap.add(0, new Menu(QStringLiteral("mnuSnap"), QStringLiteral("スナップＯＦＦ"), &mnuView));
        Menu after(QStringLiteral("mnuToolOpt"), QStringLiteral("ｵﾌﾟｼｮﾝ(&O)...."), &mnuView);
        QList<int> clicked;
        mnuSnap(0).Click = [&](int index) { clicked << index; };
        mnuSnap.Load(1);
        mnuSnap(1).setCaption(QStringLiteral("マーカーにスナップ"));
        QCOMPARE(mnuView.items().at(1), &mnuSnap(1));
        mnuSnap(1).action()->trigger();
        QCOMPARE(clicked, QList<int>{1});
        QCOMPARE(mnuSnap.UBound(), 1);
    }

    void controlArrayLoadsCopiesAndUnloadsThem()
    {
        QWidget parent;
        ControlArray<CommandButton> cmdMenu(QStringLiteral("cmdMenu"));
        CommandButton& first = cmdMenu.add(0, new CommandButton(QStringLiteral("cmdMenu"), &parent));
        first.setCaption(QStringLiteral("図面を開く"));
        first.Move(840, 720, 2535, 495);
        QList<int> clicked;
        first.Click = [&](int index) { clicked << index; };
        cmdMenu.Load(3);
        CommandButton& loaded = cmdMenu(3);
        QCOMPARE(loaded.Caption(), QStringLiteral("図面を開く"));
        QCOMPARE(loaded.Width(), 2535);
        QVERIFY(!loaded.Visible());
        QCOMPARE(cmdMenu.UBound(), 3);
        QCOMPARE(cmdMenu.Count(), 2);
        QTest::mouseClick(loaded.button(), Qt::LeftButton);
        QTest::mouseClick(first.button(), Qt::LeftButton);
        QCOMPARE(clicked, (QList<int>{3, 0}));
        QVERIFY_THROWS_EXCEPTION(vb::Error, cmdMenu.Load(3));
        QVERIFY_THROWS_EXCEPTION(vb::Error, cmdMenu.Unload(0));
        QVERIFY_THROWS_EXCEPTION(vb::Error, cmdMenu(2));
        cmdMenu.Unload(3);
        QVERIFY(!cmdMenu.exists(3));
        QCOMPARE(cmdMenu.UBound(), 0);
    }

    void geometryIsInTwipsAndVisibleIsTheControlsOwn()
    {
        QWidget window;
        Label lbl(QStringLiteral("lblDPointD"), &window);
        lbl.Move(240, 360, 1575, 300);
        QCOMPARE(lbl.geometry(), QRect(16, 24, 105, 20));
        QCOMPARE(lbl.Left(), 240);
        QVERIFY(lbl.Visible());  // the window itself is not shown
        lbl.setVisible(false);
        QVERIFY(!lbl.Visible());
        window.setEnabled(false);
        QVERIFY(lbl.Enabled());
        lbl.setAutoSize(true);
        lbl.setCaption(QStringLiteral("8"));
        const int narrow = lbl.Width();
        lbl.setCaption(QStringLiteral("88888888"));
        QVERIFY(lbl.Width() > narrow);
    }

    void progressBarKeepsItsValueInRange()
    {
        QWidget parent;
        ProgressBar pgsBar(QStringLiteral("pgsBar"), &parent);
        pgsBar.setMax(5);
        pgsBar.setValue(3);
        QCOMPARE(pgsBar.Value(), 3);
        pgsBar.setValue(9);
        QCOMPARE(pgsBar.Value(), 5);
    }

    void metricsAndTopMost()
    {
        QVERIFY(metricPixels(Metric::VScrollWidth) > 0);
        QCOMPARE(metricTwips(Metric::MenuHeight), metricPixels(Metric::MenuHeight) * 15);
        QWidget tool;
        tool.show();
        setTopMost(&tool, true);
        QVERIFY(isTopMost(&tool));
        QVERIFY(tool.isVisible());
        setTopMost(&tool, false);
        QVERIFY(!isTopMost(&tool));
    }
};

QTEST_MAIN(TestControlBars)
#include "tst_controls_bars.moc"
