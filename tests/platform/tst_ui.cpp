// Message boxes, the common dialog, the event dispatcher and windows.

#include "app/frmMain.h"
#include "app/frmVerInfo.h"
#include "app/mdlSub.h"
#include "library/dlgBrowesForFolder.h"
#include "library/dlgDB.h"
#include "library/dlgFolder.h"
#include "library/dlgPassInput.h"
#include "library/dlgPassWord.h"
#include "library/frmMDB.h"
#include "library/frmNew.h"
#include "library/frmThumbnail.h"
#include "measure/frmOption.h"
#include "objects/dlgInput.h"
#include "output/dlgPrinter.h"
#include "properties/frmPropaty.h"
#include "tests/editor/editorfixture.h"
#include "tests/interaction/mapmouse.h"

#include "platform/application.h"
#include "platform/commondialog.h"
#include "platform/events.h"
#include "platform/form.h"
#include "platform/ui.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vb;

namespace {

class Window : public platform::Form {
public:
    Window() : platform::Form(QStringLiteral("frmTest")) {}
    int loads = 0;
    bool refuseUnload = false;

protected:
    void Form_Load() override { ++loads; }
    void Form_Unload(int& cancel) override { cancel = refuseUnload; }
};


// Renames a widget as its window is shown, before any other watcher sees it.
class RenameOnShow : public QObject {
public:
    RenameOnShow(QString from, QString to) : m_from(std::move(from)), m_to(std::move(to)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* widget = qobject_cast<QWidget*>(watched))
                if (QWidget* found = widget->findChild<QWidget*>(m_from))
                    found->setObjectName(m_to);
        return false;
    }

private:
    QString m_from, m_to;
};

// Run as a child by windowsOpenInsideTheWorkArea, on the screen its
// environment gives: the program started, a drawing open in the editor
// and every other window shown as the program shows it. Prints the work
// area, then for each window the outer rectangle the layout formulas count
// (frame and title bar with it) and how far its contents scroll down and
// across (-1 where they don't scroll), in pixels.
int runWindows(int argc, char** argv)
{
    QApplication application(argc, argv);
    testsupport::ProgramFolder folder;
    platform::ScriptedUserInterface ui;
    platform::setUi(&ui);
    QApplication::setQuitOnLastWindowClosed(false);
    mdlSub::Main();
    editortest::Fixture fixture;
    editortest::writePicture(folder.path(), QStringLiteral("map.bmp"), QSize(400, 300));
    if (!platform::Instance<frmMain>::exists() || fixture.storeDrawing(QStringLiteral("W-1"), folder.path(), QStringLiteral("map.bmp")) < 1)
        return 3;
    QTextStream out(stdout);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    out << "area " << area.x() << ' ' << area.y() << ' ' << area.width() << ' ' << area.height() << Qt::endl;
    const auto report = [&out](platform::Form& form) {
        const auto* scroll = qobject_cast<QScrollArea*>(form.centralWidget());
        out << form.objectName() << ' ' << form.Left() / 15 << ' ' << form.Top() / 15 << ' ' << form.Width() / 15
            << ' ' << form.Height() / 15 << ' ' << (scroll ? scroll->verticalScrollBar()->maximum() : -1) << ' '
            << (scroll ? scroll->horizontalScrollBar()->maximum() : -1) << Qt::endl;
    };
    report(platform::Instance<frmMain>::get());
    const auto modeless = [&report](platform::Form& form) {
        form.showForm(platform::vbModeless);
        report(form);
    };
    frmEdit& editor = editortest::Fixture::open();
    modeless(editor);
    // A picture taken in as a newcomer takes it: the folder window and the
    // thumbnails, then the hint of the next step in panel 1.
    platform::ModalScript script;
    GE_strPict_Folda = folder.path();
    script.push([&report](platform::Form& shown) {
        report(shown);
        static_cast<dlgBrowesForFolder&>(shown).OKButton->setValue(true);
    });
    script.push([&report](platform::Form& shown) {
        report(shown);
        static_cast<frmThumbnail&>(shown).stsBar->Panels(2).setText(QStringLiteral("map.bmp"));
        static_cast<frmThumbnail&>(shown).cmdOK->setValue(true);
    });
    editor.mnuFileNewPrj->choose();
    // A line being measured and ended, the hint shown, then the editor's
    // pointer X, measured length, snap and zoom panels: where they end in
    // its window, the window's width, and their room against their text's width.
    mapmouse::tool(editor, 9);
    mapmouse::mouse(editor, mapmouse::Press, 10, 10);
    mapmouse::mouse(editor, mapmouse::Release, 10, 10);
    for (const bool ended : {false, true}) {
        mapmouse::mouse(editor, mapmouse::Move, 120, 80, Qt::NoButton);
        if (ended) {
            mapmouse::mouse(editor, mapmouse::Press, 120, 80);
            mapmouse::mouse(editor, mapmouse::Release, 120, 80);
        }
        for (const int i : {1, 2, 5, 7, 8}) {
            const QLabel* panel = editor.stsTip->Panels(i).label();
            out << "stsTip" << i << ' ' << panel->mapTo(&editor, QPoint(panel->width(), 0)).x() << ' '
                << editor.width() << ' ' << panel->contentsRect().width() << ' '
                << panel->fontMetrics().horizontalAdvance(panel->text()) << Qt::endl;
        }
    }
    editor.subReset_ViewMode();
    modeless(platform::Instance<frmOption>::get());
    modeless(platform::Instance<frmPropaty>::get());
    const auto modal = [&](platform::Form& form) {
        script.push([&report](platform::Form& shown) {
            report(shown);
            shown.unload();
        });
        form.showForm(platform::vbModal);
    };
    modal(platform::Instance<dlgPrinter>::get());
    modal(platform::Instance<dlgInput>::get());
    modal(platform::Instance<frmVerInfo>::get());
    modal(platform::Instance<dlgDB>::get());
    modal(platform::Instance<frmMDB>::get());
    modal(platform::Instance<frmNew>::get());
    modal(platform::Instance<dlgPassInput>::get());
    modal(platform::Instance<dlgPassWord>::get());
    modal(platform::Instance<dlgFolder>::get());
    // Qt's print dialog, for a print and as the printer set-up, with its
    // options shown as "オプション >>" shows them.
    platform::QtUserInterface qtUi;
    QTemporaryDir dir;
    for (const auto kind : {platform::PrintDialogKind::Print, platform::PrintDialogKind::Setup}) {
        QPrinter device;
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text().contains(QLatin1String(">>")))
                    button->click();
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            const QRect frame = dialog->frameGeometry();
            out << (kind == platform::PrintDialogKind::Print ? "print" : "printsetup") << ' ' << frame.x() << ' '
                << frame.y() << ' ' << frame.width() << ' ' << frame.height() << " -1 -1" << Qt::endl;
            qobject_cast<QDialog*>(dialog)->reject();
        });
        QString name;
        qtUi.printDialog(device, name, kind);
    }
    return script.allUsed() ? 0 : 4;
}

}  // namespace

class TestUi : public QObject {
    Q_OBJECT

private slots:
    // `dismiss` is tried first (Escape, or the window's close as its close
    // box and Alt+F4 send it); a box it leaves open is then answered by `click`.
    void qtMessageBoxAnswersWithTheRuntimeValues_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("dismiss");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(vbYesNoCancel) << QString() << QStringLiteral("はい") << int(vbYes);
        QTest::newRow("no") << int(vbYesNo) << QString() << QStringLiteral("いいえ") << int(vbNo);
        QTest::newRow("cancel") << int(vbYesNoCancel) << QString() << QStringLiteral("キャンセル") << int(vbCancel);
        QTest::newRow("ok") << int(vbOKOnly + vbCritical) << QString() << QStringLiteral("OK") << int(vbOK);
        QTest::newRow("escape on yes/no stays open") << int(vbYesNo) << QStringLiteral("escape") << QStringLiteral("はい")
                                                     << int(vbYes);
        QTest::newRow("close on yes/no stays open") << int(vbYesNo + vbDefaultButton2) << QStringLiteral("close")
                                                    << QStringLiteral("はい") << int(vbYes);
        QTest::newRow("escape on abort/retry/ignore stays open")
            << int(vbAbortRetryIgnore) << QStringLiteral("escape") << QStringLiteral("無視(&I)") << int(vbIgnore);
        QTest::newRow("escape on yes/no/cancel") << int(vbYesNoCancel) << QStringLiteral("escape") << QString()
                                                 << int(vbCancel);
        QTest::newRow("close on retry/cancel") << int(vbRetryCancel) << QStringLiteral("close") << QString()
                                               << int(vbCancel);
        QTest::newRow("escape on ok") << int(vbOKOnly) << QStringLiteral("escape") << QString() << int(vbOK);
    }

    void qtMessageBoxAnswersWithTheRuntimeValues()
    {
        QFETCH(int, style);
        QFETCH(QString, dismiss);
        QFETCH(QString, click);
        QFETCH(int, answer);
        platform::QtUserInterface qtUi;
        QStringList seen;
        bool openAfterDismiss = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            if (dismiss == QLatin1String("escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (dismiss == QLatin1String("close"))
                box->close();
            openAfterDismiss = box->isVisible();
            if (!openAfterDismiss)
                return;
            for (QAbstractButton* button : box->buttons()) {
                seen << button->text();
                if (button->text() == click)
                    button->click();
            }
        });
        QCOMPARE(qtUi.messageBox(QStringLiteral("図面が更新されています。保存しますか？"), style, QStringLiteral("図面更新")),
                 answer);
        QCOMPARE(openAfterDismiss, !click.isEmpty());
        if (!click.isEmpty())
            QVERIFY(seen.contains(click));
    }

    // Qt's font dialog: a size committed in full width by an input method
    // and entered.
    void qtFontSizeTakesFullWidthDigits()
    {
        platform::QtUserInterface qtUi;
        QTimer::singleShot(0, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QLineEdit* size = nullptr;
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
                if (qobject_cast<const QIntValidator*>(edit->validator()))
                    size = edit;
            }
            QVERIFY(size);
            size->selectAll();
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("１８"));
            QApplication::sendEvent(size, &commit);
            QTest::keyClick(size, Qt::Key_Return);
        });
        platform::FontChoice font;
        font.name = QStringLiteral("Noto Sans CJK JP");
        const std::optional<platform::FontChoice> chosen = qtUi.chooseFont(font);
        QVERIFY(chosen);
        QCOMPARE(chosen->size, 18.0);
    }

    // Qt's own print set-up, driven as a user would, with its paper list
    // under a name the program doesn't know (as another Qt may call it): a
    // size picked there is what the device keeps, and a page set-up opened
    // and accepted as it is leaves the drawing's paper.
    void qtPrintSetUpKeepsThePickOfAnUnknownPaperList_data()
    {
        QTest::addColumn<bool>("pickA5");
        QTest::addColumn<QPageSize>("paper");
        QTest::newRow("A5 picked") << true << QPageSize(QPageSize::A5);
        QTest::newRow("untouched") << false << QPageSize(QPageSize::A3);
    }

    void qtPrintSetUpKeepsThePickOfAnUnknownPaperList()
    {
        QFETCH(bool, pickA5);
        QFETCH(QPageSize, paper);
        QTemporaryDir dir;
        QPrinter device(QPrinter::HighResolution);
        device.setOutputFormat(QPrinter::PdfFormat);  // no print queue needed
        device.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        device.setPageSize(QPageSize(QPageSize::A3));
        RenameOnShow rename(QStringLiteral("pageSizeCombo"), QStringLiteral("paperList"));
        qApp->installEventFilter(&rename);
        bool found = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTimer::singleShot(0, [&] {
                QWidget* pageSetup = QApplication::activeModalWidget();
                auto* sizes = pageSetup ? pageSetup->findChild<QComboBox*>(QStringLiteral("paperList")) : nullptr;
                found = sizes != nullptr;
                if (sizes && pickA5) {
                    for (int i = 0; i < sizes->count(); ++i)
                        if (sizes->itemData(i).value<QPageSize>().isEquivalentTo(QPageSize(QPageSize::A5)))
                            sizes->setCurrentIndex(i);
                }
                if (auto* buttons = pageSetup ? pageSetup->findChild<QDialogButtonBox*>() : nullptr)
                    buttons->button(QDialogButtonBox::Ok)->click();
            });
            if (auto* properties = dialog->findChild<QPushButton*>(QStringLiteral("properties")))
                properties->click();
            dialog->accept();
        });
        platform::CommonDialog common;  // on Qt's own dialogs, as the program runs
        common.PrinterDevice = &device;
        common.Flags = platform::CommonDialog::cdlPDPrintSetup;
        common.ShowPrinter();
        qApp->removeEventFilter(&rename);
        QVERIFY(found);
        QVERIFY2(device.pageLayout().pageSize().isEquivalentTo(paper),
                 qPrintable(device.pageLayout().pageSize().name()));
    }

    void scriptedBoxesAreRecordedAndUnscriptedOnesReported()
    {
        platform::ScopedScriptedUi ui;
        ui->answerMsgBox(vbNo);
        QCOMPARE(MsgBox(QStringLiteral("q"), vbYesNo, QStringLiteral("t")), int(vbNo));
        QCOMPARE(MsgBox(QStringLiteral("info")), int(vbOK));  // OK-only needs no script
        QCOMPARE(ui->last().title, QStringLiteral("ねむのきⅡ"));
        QCOMPARE(MsgBox(QStringLiteral("again?"), vbYesNoCancel, QStringLiteral("t")), int(vbCancel));
        QCOMPARE(ui->unexpected.size(), 1);
        QVERIFY(!ui->allAnswered());
    }

    void commonDialogCancelRaisesWhenAsked()
    {
        platform::ScopedScriptedUi ui;
        platform::CommonDialog dialog;
        dialog.Color = 255;
        ui->answerColor(std::nullopt);
        dialog.ShowColor();  // no CancelError: nothing happens
        QCOMPARE(dialog.Color, 255);
        dialog.CancelError = true;
        ui->answerColor(std::nullopt);
        QCOMPARE(testsupport::errorOf([&] { dialog.ShowColor(); }), 32755L);
        ui->answerFile(QStringLiteral("/tmp/a.csv"));
        dialog.ShowSave();
        QCOMPARE(dialog.FileName, QStringLiteral("/tmp/a.csv"));
        QVERIFY(ui->allAnswered());
    }

    void dispatchShowsTheStandardBoxAndGoesOn()
    {
        platform::ScopedScriptedUi ui;
        QWidget window;
        platform::dispatch(QStringLiteral("cmdPrint_Click"), [&] {
            platform::Hourglass wait(&window);
            QVERIFY(!window.isEnabled());
            vb::raise(53);
        });
        QCOMPARE(ui->count(), 1);
        QCOMPARE(ui->last().prompt, QStringLiteral("cmdPrint_Click():ｴﾗｰ番号 53 ｴﾗｰが発生しました。\r\nファイルが見つかりません。"));
        QCOMPARE(ui->last().title, QStringLiteral("ｴﾗｰ"));
        QVERIFY(window.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void immediateEndPassesThroughTheDispatcher()
    {
        platform::ScopedScriptedUi ui;
        int cleanups = 0;
        platform::addEndCleanup([&cleanups] { ++cleanups; });
        auto previous = platform::setEndHandler([] { throw platform::ImmediateEnd{}; });
        bool ended = false;
        try {
            platform::dispatch(QStringLiteral("Form_Load"), [] { platform::End(); });
        } catch (const platform::ImmediateEnd&) {
            ended = true;
        }
        platform::setEndHandler(previous);
        QVERIFY(ended);
        QCOMPARE(cleanups, 1);
        QCOMPARE(ui->count(), 0);
    }

    void singleInstanceLoadsOnceAndUnloadReleasesIt()
    {
        Window& first = platform::Instance<Window>::get();
        QCOMPARE(first.loads, 1);
        QCOMPARE(&platform::Instance<Window>::get(), &first);
        first.refuseUnload = true;
        QVERIFY(!first.unload());
        QVERIFY(platform::Instance<Window>::exists());
        first.refuseUnload = false;
        QVERIFY(first.unload());
        QVERIFY(!platform::Instance<Window>::exists());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(platform::Instance<Window>::get().loads, 1);  // a new instance loads again
        platform::Instance<Window>::get().unload();
    }

    void modalScriptActsOnTheWindowAndReportsLeftovers()
    {
        platform::ModalScript script;
        script.push([](platform::Form& form) { form.unload(); });
        platform::Instance<Window>::get().showForm(platform::vbModal);
        QVERIFY(script.allUsed());
        platform::Instance<Window>::get().showForm(platform::vbModal);  // no step left
        QCOMPARE(script.unexpected.size(), 1);
        QVERIFY(!platform::Instance<Window>::exists());
        QCOMPARE(script.shown, QStringList({QStringLiteral("frmTest"), QStringLiteral("frmTest")}));
    }

    // Every window the program opens lies inside the work area of a
    // 1024 x 768 screen, also at 150 %, where the property sheet is taller
    // than the screen and scrolls; at 100 % nothing is changed.
    void windowsOpenInsideTheWorkArea_data()
    {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QStringList>("scrolled");
        QTest::newRow("100 %") << QStringLiteral("1") << QStringList();
        QTest::newRow("150 %") << QStringLiteral("1.5") << QStringList{QStringLiteral("frmPropaty")};
    }
    void windowsOpenInsideTheWorkArea()
    {
        QFETCH(QString, scale);
        QFETCH(QStringList, scrolled);
        QTemporaryDir dir;
        QFile screen(dir.filePath(QStringLiteral("screen.json")));
        QVERIFY(screen.open(QIODevice::WriteOnly));
        screen.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1024, "height": 768}]})");
        screen.close();
        const auto output = testsupport::runSelf(
            {{QStringLiteral("NEMU_WINDOWS_CHILD"), QStringLiteral("1")},
             {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screen.fileName()},
             {QStringLiteral("QT_SCALE_FACTOR"), scale}});
        QVERIFY(output);
        QStringList lines = QString::fromUtf8(*output).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 28);  // the area, fifteen windows, five panels twice and two print dialogs
        const auto numbers = [](const QString& line) {
            QList<int> n;
            for (const QString& word : line.split(u' ').mid(1))
                n.append(word.toInt());
            return n;
        };
        const QList<int> a = numbers(lines.takeFirst());
        const QRect area(a[0], a[1], a[2], a[3]);
        QCOMPARE(area.size(), QSize(qRound(1024 / scale.toDouble()), qRound(768 / scale.toDouble())));
        QStringList scrolls;
        for (const QString& line : lines) {
            const QList<int> w = numbers(line);
            const QString name = line.section(u' ', 0, 0);
            if (name.startsWith(QLatin1String("stsTip"))) {
                // Inside the window, with something to read, its text whole;
                // the hint of the next step gives way.
                QVERIFY2(w[0] <= w[1] && w[3] > 0 && (name == QLatin1String("stsTip1") || w[2] >= w[3]),
                         qPrintable(line));
                continue;
            }
            QVERIFY2(area.contains(QRect(w[0], w[1], w[2], w[3])), qPrintable(line));
            if (w[4] >= 0) {
                QVERIFY2(w[4] > 0, qPrintable(line));  // its lower part scrolls into view
                QVERIFY2(w[5] == 0, qPrintable(line));  // and the window is wide enough for it and its bar
                scrolls.append(name);
            }
            // The folder windows are placed in its middle, never left where
            // a window manager may put their status line off the screen.
            if (name == QLatin1String("dlgBrowesForFolder") || name == QLatin1String("dlgFolder"))
                QVERIFY2((QRect(w[0], w[1], w[2], w[3]).center() - area.center()).manhattanLength() <= 4,
                         qPrintable(line));
            if (name == QLatin1String("frmEdit"))
                QCOMPARE(QRect(w[0], w[1], w[2], w[3]), area);  // laid out on the work area as before
        }
        QCOMPARE(scrolls, scrolled);
    }

    // Qt's own dialogs and buttons speak the program's language.
    void qtDialogsSpeakJapanese()
    {
        QVERIFY(platform::app::loadQtTranslations());
        QVERIFY(platform::app::loadQtTranslations());  // once is enough
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "&Choose"), QStringLiteral("選択(&C)"));
    }

    // Whether the desktop showed a file is the opener's exit status.
    void qtOpenUrlTellsWhetherTheDesktopCouldShowIt_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("shown");
        QTest::newRow("shown") << QStringLiteral("exit 0") << true << true;
        QTest::newRow("no browser") << QStringLiteral("exit 3") << true << false;
        QTest::newRow("no file") << QStringLiteral("exit 0") << false << false;
    }

    void qtOpenUrlTellsWhetherTheDesktopCouldShowIt()
    {
        QFETCH(QString, script);
        QFETCH(bool, file);
        QFETCH(bool, shown);
        QTemporaryDir dir;
        QFile opener(dir.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\n" + script.toLatin1() + "\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString page = dir.filePath(QStringLiteral("help.html"));
        if (file)
            QVERIFY(QFile(page).open(QIODevice::WriteOnly));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        platform::QtUserInterface qtUi;
        const bool result = qtUi.openUrl(page);
        qputenv("PATH", path);
        QCOMPARE(result, shown);
    }
};

int main(int argc, char** argv)
{
    return testsupport::mainWithChild<TestUi>(argc, argv, "NEMU_WINDOWS_CHILD", runWindows);
}
#include "tst_ui.moc"
