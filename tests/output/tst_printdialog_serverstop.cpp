// Qt's own print dialog, open on a queue of a scheduler that stops
// answering: the dialog is held no longer than the program's wait, whether
// its OK takes the queue's details (the print's 印刷実行 and the printer
// set-up's 印刷) or another queue is chosen in it; the scheduler is then
// set aside, the user is told the printers can't be reached, and the
// drawing's printer settings stay as they were. A scheduler shut down
// instead (its port refusing) is told the same way; one that answers again
// on its port has the queue the dialog shows print. A scheduler that would
// hold a question longer lets it go at the test's bound, so a lost guard
// fails here, not by ctest's timeout.

#include "tests/output/printserverfixture.h"

#include "output/mdlPrinter.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPrintDialog>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using namespace printtest;

class TestPrintDialogServerStop : public QObject {
    Q_OBJECT

    PrintSession m_print;
    int m_boxes = 0;

    // 印刷実行 through Qt's dialog: `inDialog` runs in it before its 印刷,
    // and the queue it shows is added to `listed`.
    void printThroughTheDialog(QStringList& listed, const std::function<void()>& inDialog)
    {
        const WhenShown shown([&](QDialog& dialog) {
            if (!qobject_cast<QPrintDialog*>(&dialog))
                return;
            if (auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers")))
                listed.append(printers->currentText());
            inDialog();
            dialog.accept();
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
    }

    // The print once the scheduler answers again, after one it refused.
    void printAgain(const QtPrintDialogUi& ui, QStringList& listed)
    {
        m_boxes = ui.count();
        printThroughTheDialog(listed, [] {});
    }

    // Only the second print went out, to the queue the dialog showed both
    // times, without a box.
    void checkPrintedAgain(const QtPrintDialogUi& ui, const QStringList& listed, const AnsweringScheduler& scheduler)
    {
        QCOMPARE(listed, (QStringList{QStringLiteral("Queue-1"), QStringLiteral("Queue-1")}));
        QVERIFY2(ui.count() == m_boxes, qPrintable(ui.last().prompt));
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'|')));
        QCOMPARE(scheduler.jobs(), QByteArrayList{"Queue-1"});
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
    }

private slots:
    void init() { QVERIFY(m_print.begin()); }
    void cleanup() { m_print.end(); }

    void schedulerStoppingWhileTheDialogIsOpen_data()
    {
        QTest::addColumn<bool>("setUp");
        QTest::addColumn<bool>("otherQueue");
        QTest::addColumn<bool>("shutDown");  // its port refusing, not silent
        QTest::newRow("印刷実行") << false << false << false;
        QTest::newRow("プリンタの設定, 印刷") << true << false << false;
        QTest::newRow("another queue chosen") << false << true << false;
        QTest::newRow("印刷実行, shut down") << false << false << true;
    }

    void schedulerStoppingWhileTheDialogIsOpen()
    {
        QFETCH(bool, setUp);
        QFETCH(bool, otherQueue);
        QFETCH(bool, shutDown);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        // The silence held against the scheduler for a few seconds, not half
        // a minute, so that the row sees it asked again.
        platform::PrintWaits waits = testWaits();
        waits.silenceKeptMs = 3000;
        platform::setPrintWaits(waits);
        frmEdit& e = m_print.openStored();
        const typPrinter before = GE_tpPrinter;
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        QString listed;
        qint64 held = -1;
        const WhenShown answer([&](QDialog& shownDialog) {
            auto* dialog = qobject_cast<QPrintDialog*>(&shownDialog);
            if (!dialog)
                return;
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            if (printers)
                listed = printers->currentText();
            if (shutDown)
                scheduler.stop();
            else
                scheduler.stopAnswering(BoundMs);
            QElapsedTimer clock;
            clock.start();
            if (otherQueue && printers)
                printers->setCurrentIndex(printers->findText(QStringLiteral("Queue-2")));
            dialog->accept();
            held = clock.elapsed();
        });
        if (setUp)
            e.mnuSetPrinter_Click();
        else
            platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        platform::setUi(&m_print.session.quiet->get());
        QCOMPARE(listed, QStringLiteral("Queue-1"));
        QVERIFY2(held >= 0 && held < BoundMs, qPrintable(QString::number(held)));
        QCOMPARE(platform::printscheduler::setAside(), !shutDown);
        QCOMPARE(ui.last().prompt, setUp ? UnreachableSetUp : Unreachable);
        QCOMPARE(ui.last().title, QStringLiteral("印刷"));
        QVERIFY(ui.unexpected.isEmpty());
        QVERIFY(mdlPrinter::fncSame_Settings(GE_tpPrinter, before));
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        QVERIFY(!e.booPrtChange);
        if (setUp || otherQueue)
            return;
        // Answering again (started on its port, or its silence no longer
        // held against it once the time it is kept has passed): the queue
        // the dialog shows prints, and only that print reaches the
        // scheduler.
        if (shutDown) {
            QVERIFY(scheduler.start());
        } else {
            scheduler.answerAgain();
            QTRY_VERIFY_WITH_TIMEOUT(platform::printscheduler::check(), int(waits.silenceKeptMs + BoundMs));
        }
        QStringList shown{listed};
        platform::setUi(&ui);
        printAgain(ui, shown);
        platform::setUi(&m_print.session.quiet->get());
        checkPrintedAgain(ui, shown, scheduler);
    }

    // The printer set-up accepted with the scheduler shut down (its port
    // refusing), which the dialog can only offer a PDF file for, is told as
    // a silent scheduler's is, and the drawing's printer stays.
    void setUpWithTheSchedulerShutDown()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        frmEdit& e = m_print.openStored();
        const typPrinter before = GE_tpPrinter;
        scheduler.stop();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        bool shown = false;
        const WhenShown answer([&](QDialog& dialog) {
            if (qobject_cast<QPrintDialog*>(&dialog)) {
                shown = true;
                dialog.accept();
            }
        });
        e.mnuSetPrinter_Click();
        platform::setUi(&m_print.session.quiet->get());
        QVERIFY(shown);
        QCOMPARE(ui.last().prompt, UnreachableSetUp);
        QVERIFY(ui.unexpected.isEmpty());
        QVERIFY(mdlPrinter::fncSame_Settings(GE_tpPrinter, before));
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        QVERIFY(!e.booPrtChange);
    }

    // The print handed over through Qt's dialog, the scheduler failing it
    // as the job arrives, in its document or at its answer: the window is
    // held no longer than the program's wait, a box says the print didn't
    // or may not have reached the queue, never why as a success. Once the
    // scheduler answers again the next print goes out, and of the
    // program's jobs only that one and the drawing's print just before the
    // failed one stay on the queue, each with its document: a job made
    // without its answer is cancelled by its number. Each print is one
    // request carrying the document, named as the drawing, by the user who
    // prints.
    void handOverWithoutTheSchedulersAnswer_data()
    {
        using Fault = AnsweringScheduler::JobFault;
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("unsettled");  // told it may have reached the queue
        QTest::addColumn<bool>("made");       // the scheduler made that job
        QTest::newRow("stopped as the job arrives, then running") << int(Fault::PausedAtHead) << true << true;
        QTest::newRow("stopped with the document in hand, then running") << int(Fault::Paused) << true << true;
        QTest::newRow("silent in the document") << int(Fault::SilentInDocument) << true << false;
        QTest::newRow("cut in the document") << int(Fault::CutInDocument) << false << false;
        QTest::newRow("cut at the answer") << int(Fault::CutAtAnswer) << false << true;
    }

    void handOverWithoutTheSchedulersAnswer()
    {
        QFETCH(int, fault);
        QFETCH(bool, unsettled);
        QFETCH(bool, made);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        QStringList listed;
        printAgain(ui, listed);
        QElapsedTimer clock;
        clock.start();
        // Stopped longer than the program waits for the answer and then
        // looks for the job.
        const qint64 stopped = 2 * testWaits().handOverMs;
        printThroughTheDialog(listed, [&] { scheduler.failNextJob(AnsweringScheduler::JobFault(fault), stopped); });
        const qint64 held = clock.elapsed();
        QVERIFY2(held < BoundMs, qPrintable(QString::number(held)));
        QCOMPARE(ui.count(), 1);
        const QString box = ui.last().prompt;
        QCOMPARE(listed.size(), 2);
        QVERIFY2(box.contains(unsettled ? QStringLiteral("プリンタ「Queue-1」へ印刷が届いていないかもしれません。")
                                        : QStringLiteral("プリンタ「Queue-1」へ印刷を渡せませんでした。")),
                 qPrintable(box));
        QVERIFY2(!box.contains(QStringLiteral("Success")) && !box.contains(QStringLiteral("（）")), qPrintable(box));
        // Cut after it connected: said so, in the user's words.
        QVERIFY2(unsettled || box.contains(QStringLiteral("印刷を渡せませんでした。印刷サーバーとの接続が切れました。\r\n")),
                 qPrintable(box));
        scheduler.waitWhilePaused();
        printAgain(ui, listed);
        platform::setUi(&m_print.session.quiet->get());
        QCOMPARE(ui.count(), 1);
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'|')));
        const auto jobs = scheduler.delivered();
        QCOMPARE(int(jobs.size()), made ? 3 : 2);
        for (const auto& job : {jobs.front(), jobs.back()}) {
            QVERIFY(!job.cancelled);
            QVERIFY(job.document.startsWith("%PDF") && job.document.trimmed().endsWith("%%EOF"));
        }
        QCOMPARE(jobs.at(1).cancelled, made);
        const QByteArray user = ::getpwuid(::getuid())->pw_name;
        QList<int> printed, cancelled;
        for (const auto& op : scheduler.operations()) {
            QVERIFY2(op.op != IPP_OP_CREATE_JOB && op.op != IPP_OP_SEND_DOCUMENT, ippOpString(ipp_op_t(op.op)));
            QCOMPARE(op["requesting-user-name"], user);
            if (op.op == IPP_OP_PRINT_JOB) {
                printed.append(op.job);
                QCOMPARE(op["job-name"], QStringLiteral("試験図面").toUtf8());
                QCOMPARE(op["document-format"], QByteArray("application/pdf"));
            } else if (op.op == IPP_OP_CANCEL_JOB) {
                cancelled.append(op.job);
            }
        }
        QCOMPARE(printed, made ? (QList<int>{1, 2, 3}) : (QList<int>{1, 2}));
        QCOMPARE(cancelled, made ? QList<int>{2} : QList<int>{});
    }

    // The note of a wait shows only while something waits: not over Qt's
    // print dialog once the questions before it are answered, not over the
    // 印刷 window once the print is handed over.
    void noteShowsOnlyWhileWaiting()
    {
        // Each answer late enough for the note to show while it is waited for.
        AnsweringScheduler scheduler(2 * testWaits().noteAfterMs);
        useScheduler(scheduler.port());
        m_print.openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        const auto noteShown = [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("printSchedulerWait") && w->isVisible())
                    return true;
            return false;
        };
        std::optional<bool> overDialog;
        bool whileWaiting = false;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            whileWaiting = whileWaiting || noteShown();
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()); dialog && !overDialog) {
                overDialog = noteShown();
                dialog->accept();
            }
        });
        look.start(20);
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        const bool afterPrint = noteShown();
        look.stop();
        platform::setUi(&m_print.session.quiet->get());
        QVERIFY(whileWaiting);
        QVERIFY(overDialog.has_value());
        QVERIFY(!*overDialog);
        QVERIFY(!afterPrint);
        QVERIFY(ui.unexpected.isEmpty());
        QCOMPARE(scheduler.jobs().size(), 1);
    }
};

QTEST_MAIN(TestPrintDialogServerStop)
#include "tst_printdialog_serverstop.moc"
