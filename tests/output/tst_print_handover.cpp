// A print handed over without the print scheduler's answer, through Qt's
// print dialog: the job cancelled for it at the next print is the one it
// made, and a look for it left unanswered keeps that cancel due.

#include "tests/output/printserverfixture.h"

#include <QPrintDialog>
#include <QTemporaryFile>
#include <QtTest>

using namespace printtest;

class TestPrintHandOver : public QObject {
    Q_OBJECT

    PrintSession m_print;

    void printThroughTheDialog(const std::function<void()>& inDialog)
    {
        const WhenShown shown([&](QDialog& dialog) {
            if (qobject_cast<QPrintDialog*>(&dialog)) {
                inDialog();
                dialog.accept();
            }
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
    }

private slots:
    void init() { QVERIFY(m_print.begin()); }
    void cleanup() { m_print.end(); }

    // The job cancelled for a print without the scheduler's answer is the
    // one that print made: not a print of the same drawing by the same
    // user sent meanwhile from elsewhere (another copy of the program, lp).
    // A look for it that gets no answer leaves it due for the next print.
    void onlyTheUnansweredPrintsJobIsCancelled_data()
    {
        using Fault = AnsweringScheduler::JobFault;
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("ms");
        QTest::addColumn<bool>("outside");  // a print of the drawing from elsewhere before the next
        QTest::newRow("the drawing printed from elsewhere meanwhile")
            << int(Fault::Paused) << int(2 * testWaits().handOverMs) << true;
        // The server asks who looks at once, then answers nothing.
        QTest::newRow("its look unanswered") << int(Fault::CutAtAnswerThenSilent) << 2500 << false;
    }

    void onlyTheUnansweredPrintsJobIsCancelled()
    {
        QFETCH(int, fault);
        QFETCH(int, ms);
        QFETCH(bool, outside);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        if (!outside) {
            scheduler.requireLogin("alice", "secret", true);
            ui.answerLogin(platform::Login{QStringLiteral("alice"), QStringLiteral("secret")});
        }
        printThroughTheDialog([&] { scheduler.failNextJob(AnsweringScheduler::JobFault(fault), ms); });
        QVERIFY2(ui.last().prompt.contains(QStringLiteral("プリンタ「Queue-1」へ印刷が届いていないかもしれません。")),
                 qPrintable(ui.last().prompt));
        scheduler.waitWhilePaused();
        if (outside) {
            QTemporaryFile file;
            QVERIFY(file.open() && file.write(QByteArray(4096, '\n')) == 4096 && file.flush());
            ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/printers/Queue-1");
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, GE_tpPrint.strName.toUtf8().constData());
            ippDelete(cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, "/printers/Queue-1", QFile::encodeName(file.fileName()).constData()));
        }
        scheduler.waitWhileSilent();  // answering again
        printThroughTheDialog([] {});
        platform::setUi(&m_print.session.quiet->get());
        QCOMPARE(ui.count(), 1);
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'|')));
        QList<int> cancelled;
        for (const auto& op : scheduler.operations())
            if (op.op == IPP_OP_CANCEL_JOB)
                cancelled.append(op.job);
        // The unanswered print's job: the first that carried the program's
        // own mark (the one from elsewhere may have come in before it).
        const auto delivered = scheduler.delivered();
        const auto ours = std::find_if(delivered.begin(), delivered.end(), [](const auto& job) {
            return !job.uuid.startsWith("urn:uuid:00000000-0000-3000-8000-");
        });
        QCOMPARE(cancelled, QList<int>{int(ours - delivered.begin()) + 1});
        QCOMPARE(scheduler.jobs().size(), outside ? 3 : 2);
        QCOMPARE(scheduler.delivered().at(1).name, GE_tpPrint.strName.toUtf8());
    }

};

QTEST_MAIN(TestPrintHandOver)
#include "tst_print_handover.moc"
