// The printer commands with the print scheduler that CUPS_SERVER names:
// one that takes the connection and never answers freezes nothing (a
// stored drawing opens, the dialogs open and say why no printer is listed,
// a PDF file prints, a print to a queue is told the printers can't be
// reached), one that refuses is as fast as none, one that answers late is
// waited for and its queue listed and taking jobs, and one that stops answering while
// Qt's print dialog is open holds the dialog's OK no longer than the wait.
// No test printers: every question goes through Qt and libcups to the
// socket. A scheduler that would hold a question longer than the test
// allows lets it go at the bound, so a lost guard fails here, not by
// ctest's timeout.

#include "tests/editor/editorfixture.h"

#include "output/dlgPrinter.h"
#include "db/mdlSQL_objects.h"
#include "output/mdlPrinter.h"
#include "platform/commondialog.h"
#include "platform/printer.h"
#include "platform/printqueue.h"
#include "platform/printservice.h"
#include "platform/printwaitnote.h"
#include "platform/printscheduler.h"
#include "tests/support/testscheduler.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QtTest>

using namespace editortest;
using namespace printtest;
using PrintDialogAnswer = platform::ScriptedUserInterface::PrintDialogAnswer;

namespace {

const QString WaitNote = QStringLiteral("印刷サーバーの応答を待っています…");

// What the user sees of a wait for the scheduler, looked at while it lasts.
struct WaitSeen {
    bool note = false;
    bool busy = false;
    void look()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* label = qobject_cast<QLabel*>(w); label && label->isVisible() && label->text() == WaitNote)
                note = true;
        busy = busy || (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    }
};

const QString Unreachable = QStringLiteral(
    "プリンタに接続できません。印刷サーバーが応答していません。\r\n"
    "しばらくしてから、もう一度印刷してください。\r\n"
    "PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。");

PrintDialogAnswer toPdf(const QString& path)
{
    return [=](QPrinter& device, QString&) {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(path);
    };
}

}  // namespace

class TestPrintScheduler : public QObject {
    Q_OBJECT

    editortest::Session m_session;

    frmEdit& openStored(const QString& queue = QStringLiteral("Queue-1"))
    {
        writePicture(m_session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(400, 300));
        const qint32 id =
            m_session.fx->storeDrawing(QStringLiteral("P-1"), m_session.fx->dir.path(), QStringLiteral("map.bmp"));
        // Its printer settings as the editor saves them: the queue's A4.
        typPrinter row;
        row.strDeviceName = queue;
        row.strFormName = QStringLiteral("A4");
        row.intPaperSize = 9, row.intOrientation = 1, row.intScaleMode = 6, row.intZoom = 100;
        row.intColorMode = 2, row.intDuplex = 1, row.intPrintQuality = 1200, row.intPaperBin = 1;
        row.sngWidth = 11905.5f, row.sngHeight = 16837.8f, row.sngScaleWidth = 197.2f, row.sngScaleHeight = 284.3f;
        row.sngPaperWidth = row.sngWidth * 100, row.sngPaperLength = row.sngHeight * 100;
        if (mdlSQL::fncSQL_InsertPrinter(id, row) != 0)
            qFatal("the printer row was not stored");
        return Fixture::open();
    }

    // Each command the user gives, timed: the drawing opens, the print
    // dialog opens (after a box saying why no printer is listed, with the
    // scheduler set aside), a PDF file prints, a print to a queue is refused
    // with `queueBox`, and the printer set-up and the driver's defaults
    // open. `step` runs as each command begins.
    void everyCommand(qint64 boundMs, const QString& queueBox, const std::function<void()>& step = [] {})
    {
        auto& ui = *m_session.quiet;
        const bool setAside = queueBox == Unreachable;
        QElapsedTimer clock;
        const auto within = [&](const char* what) {
            QVERIFY2(clock.elapsed() < boundMs, qPrintable(QStringLiteral("%1: %2 ms").arg(what).arg(clock.elapsed())));
            step();
            clock.start();
        };
        step();
        clock.start();
        frmEdit& e = openStored();
        QVERIFY(e.pictOrg->hasPicture());
        within("opening a stored drawing");
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        within("the print dialog");
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        ui->answerPrinter(toPdf(pdf));
        d.cmdPrint_Click();
        QVERIFY(QFile::exists(pdf));
        within("a PDF print");
        const int boxes = ui->count();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes + (setAside ? 2 : 1));
        QCOMPARE(ui->boxes.at(ui->boxes.size() - 2).kind, QStringLiteral("Printer"));
        if (setAside)
            QCOMPARE(ui->boxes.at(ui->boxes.size() - 3).prompt, Unreachable);
        QCOMPARE(ui->last().prompt, queueBox);
        QCOMPARE(ui->last().title, QStringLiteral("印刷"));
        QVERIFY(platform::CurrentPrinter().sheets().empty());
        within("a print to a queue");
        ui->answerPrinter(std::nullopt);
        e.mnuSetPrinter_Click();
        ui->answerMsgBox(vb::vbYes);
        ui->answerPrinter(std::nullopt);
        e.mnuSetPrinterD_Click();
        within("the printer set-up and the driver's defaults");
    }

private slots:
    void init()
    {
        QVERIFY(m_session.begin());
        GE_lngPlatformId = 2;
        platform::printscheduler::setWaitNote(platform::newPrintWaitNote);
    }

    void cleanup()
    {
        if (dlgPrinter* d = platform::Instance<dlgPrinter>::pointer())
            d->unload();
        QVERIFY((*m_session.quiet)->allAnswered());
        if (frmEdit* e = platform::Instance<frmEdit>::pointer())
            e->booDrawChange = e->booPrtChange = false;
        m_session.end();
        qunsetenv("CUPS_SERVER");
        platform::printscheduler::forget();
        platform::printservice::forget();
        platform::printscheduler::setWaitNote({});
        // No queue of a test's scheduler stays current for the next test.
        platform::CurrentPrinter().select(platform::Printers::defaultName());
    }

    // A stored drawing keeps its printer settings as loaded: its open asks
    // the scheduler nothing, and a silent one doesn't slow it.
    void openingADrawingAsksNothing_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::newRow("answering after 0.5 s") << false;
        QTest::newRow("silent") << true;
    }

    void openingADrawingAsksNothing()
    {
        QFETCH(bool, silent);
        std::optional<AnsweringScheduler> answering;
        std::optional<SilentScheduler> silence;
        useScheduler(silent ? silence.emplace().port() : answering.emplace(500).port());
        QElapsedTimer clock;
        clock.start();
        frmEdit& e = openStored();
        QVERIFY(e.pictOrg->hasPicture());
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        if (answering)
            QCOMPARE(answering->takeRequests(), 0);
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A4"));
        QVERIFY(!platform::printscheduler::setAside());
    }

    // A print refused because the scheduler stopped answering leaves the
    // drawing's printer as it was, and the close has nothing to save.
    void refusedPrintKeepsTheDrawingsPrinter()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        frmEdit& e = openStored();
        const typPrinter before = GE_tpPrinter;
        scheduler.stopAnswering(BoundMs);
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        QCOMPARE(ui->last().prompt, Unreachable);
        QVERIFY(platform::CurrentPrinter().sheets().empty());
        QVERIFY(mdlPrinter::fncSame_Settings(GE_tpPrinter, before));
        QCOMPARE(GE_tpPrinter.strFormName, before.strFormName);
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        QVERIFY(!e.booPrtChange);
        d.unload();
        Fixture::closeEditor();
        QVERIFY(ui->last().prompt != QStringLiteral("プリンタの設定を保存しますか？"));
        QVERIFY(!platform::Instance<frmEdit>::exists());
    }

    // A print goes to the drawing's queue, not the default one, and to the
    // queue chosen in the dialog.
    void printGoesToTheNamedQueue()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        openStored(QStringLiteral("Queue-2"));
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        const int boxes = ui->count();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        ui->answerPrinter([](QPrinter&, QString& name) { name = QStringLiteral("Queue-1"); });
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes);  // no failure
        QCOMPARE(scheduler.jobs(), (QByteArrayList{"Queue-2", "Queue-1"}));
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
    }

    // Each queue's details are read once: a print to a queue asks the
    // scheduler few questions, one to a PDF file fewer still; the first
    // print of the run also reads the listing and the queue's details.
    void printsAskLittle_data()
    {
        QTest::addColumn<bool>("toPdf");
        QTest::addColumn<int>("mostFirst");
        QTest::addColumn<int>("most");
        QTest::newRow("to the queue") << false << 24 << 16;
        QTest::newRow("to a PDF file") << true << 12 << 4;
    }

    void printsAskLittle()
    {
        QFETCH(bool, toPdf);
        QFETCH(int, mostFirst);
        QFETCH(int, most);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        openStored(QStringLiteral("Queue-2"));
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        for (int print = 0; print < 2; ++print) {
            QTest::qWait(2100);  // the check's last answer no longer stands
            scheduler.takeRequests();
            ui->answerPrinter(toPdf ? ::toPdf(pdf) : [](QPrinter&, QString&) {});
            d.cmdPrint_Click();
            const int asked = scheduler.takeRequests();
            QVERIFY2(asked <= (print == 0 ? mostFirst : most), qPrintable(QString::number(asked)));
        }
        QCOMPARE(scheduler.jobs().size(), toPdf ? 0 : 2);
        QCOMPARE(QFile::exists(pdf), toPdf);
    }

    void silentSchedulerFreezesNothing()
    {
        SilentScheduler silent;
        QVERIFY(silent.port() != 0);
        useScheduler(silent.port());
        everyCommand(BoundMs, Unreachable, [&] { silent.holdFor(BoundMs); });
        QVERIFY(platform::printscheduler::setAside());
    }

    // Refused at once, as with no scheduler running: no wait, and the print
    // without a file is told there is no printer, as before.
    void refusingSchedulerStaysFast()
    {
        quint16 port = 0;
        const int closed = listening(port);
        QVERIFY(closed >= 0);
        ::close(closed);  // nothing listens there now
        useScheduler(port);
        everyCommand(3000, QStringLiteral("印刷できるプリンタがありません。\r\n"
                                          "印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定してください。"));
        QVERIFY(!platform::printscheduler::setAside());
    }

    // The guard doesn't stand between an answering scheduler and Qt's
    // listing or the queue check.
    void answeringSchedulerListsItsQueue()
    {
        AnsweringScheduler scheduler;
        QVERIFY(scheduler.port() != 0);
        useScheduler(scheduler.port());
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(platform::Printers::names().contains(QStringLiteral("Queue-1")),
                 qPrintable(platform::Printers::names().join(u',')));
        const auto state = platform::printqueue::state(QStringLiteral("Queue-1"));
        QVERIFY(state && state->accepting && !state->stopped);
        QVERIFY(platform::printqueue::confirmAccepting(QStringLiteral("Queue-1")));
        QVERIFY(!platform::printscheduler::setAside());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    void slowSchedulerIsWaitedFor_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("2 s") << 2000;
        QTest::newRow("4 s") << 4000;
    }

    // A scheduler that answers late is used: the wait shows, the queue is
    // listed and said to take jobs.
    void slowSchedulerIsWaitedFor()
    {
        QFETCH(int, delayMs);
        AnsweringScheduler scheduler(delayMs);
        QVERIFY(scheduler.port() != 0);
        useScheduler(scheduler.port());
        WaitSeen seen;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] { seen.look(); });
        look.start(50);
        QVERIFY2(platform::Printers::names().contains(QStringLiteral("Queue-1")),
                 qPrintable(platform::Printers::names().join(u',')));
        look.stop();
        QVERIFY(seen.note && seen.busy);
        QVERIFY(!platform::printscheduler::setAside());
        QVERIFY(platform::printqueue::confirmAccepting(QStringLiteral("Queue-1")));
        QVERIFY(!platform::printscheduler::setAside());
        // The command over, back in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(!QApplication::overrideCursor(), "the busy pointer stayed after the answer");
    }

    // The print and set-up dialogs leave the drawing's paper on a queue
    // that offers it, not the queue's default the dialog puts there.
    void drawingsPaperStaysOnAQueue()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        const std::unique_ptr<QPrinter> device = platform::Printers::makeDevice(QStringLiteral("Queue-1"));
        QCOMPARE(device->printerName(), QStringLiteral("Queue-1"));
        platform::CommonDialog dialog;
        dialog.PrinterDevice = device.get();
        for (const long flags : {0L, platform::CommonDialog::cdlPDPrintSetup}) {
            QVERIFY(device->setPageSize(QPageSize(QPageSize::A3)));
            (*m_session.quiet)->answerPrinter([](QPrinter&, QString&) {}, QPageSize(QPageSize::A4));
            dialog.Flags = flags;
            dialog.ShowPrinter();
            QCOMPARE(device->pageLayout().pageSize().id(), QPageSize::A3);
        }
    }

    // A scheduler that stops answering while Qt's print dialog is open
    // holds its OK no longer than the program's wait; the queue is then set
    // aside.
    void schedulerStoppingWhileTheDialogIsOpen()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        const std::unique_ptr<QPrinter> device = platform::Printers::makeDevice(QStringLiteral("Queue-1"));
        platform::QtUserInterface qt;
        platform::setUi(&qt);
        QString listed;
        qint64 held = -1;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
                listed = printers->currentText();
            scheduler.stopAnswering(BoundMs);
            QElapsedTimer clock;
            clock.start();
            dialog->accept();
            held = clock.elapsed();
        });
        platform::CommonDialog common;
        common.PrinterDevice = device.get();
        common.ShowPrinter();
        platform::setUi(&m_session.quiet->get());
        QCOMPARE(listed, QStringLiteral("Queue-1"));
        QVERIFY2(held >= 0 && held < BoundMs, qPrintable(QString::number(held)));
        QVERIFY(platform::printscheduler::setAside());
    }
};

QTEST_MAIN(TestPrintScheduler)
#include "tst_print_scheduler.moc"
