// Printing with a print server that answers each request after half a
// second, as a busy server or a slow link does: a stored drawing on the
// server's "Queue-2" printed through the print command to the queue and to
// a PDF file, each as the first print of a run and again. For each: the
// requests the server was asked, the seconds the print took, the longest
// time the event loop was held (a timer ticking every 50 ms, the largest
// gap between its ticks) and whether the note of the wait was painted. A
// first print opens the 印刷 window anew, and its requests count with it.
// The server is the tests' scheduler (tests/support/testscheduler.h) on a
// socket of this machine. Run with QT_QPA_PLATFORM=offscreen from the build
// folder.

#include "bench/benchsupport.h"
#include "db/mdlDB.h"
#include "db/mdlSQL_objects.h"
#include "output/dlgPrinter.h"
#include "platform/printer.h"
#include "platform/printwaitnote.h"
#include "tests/support/testscheduler.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QThread>
#include <QTimer>

using namespace platform;

namespace {

using namespace bench;

constexpr qint64 kAnswerMs = 500;
// The run's first print, its window's opening counted, asks for the queue's
// details once (three requests of Qt's) besides whether the server answers,
// whether the queue takes jobs, and the job itself (two requests); a PDF
// file asks for nothing beyond the details.
constexpr int kQueueGoal = 7, kPdfGoal = 4;
constexpr double kHoldGoalSeconds = 1;

// The event loop's longest stretch without a tick, and whether the note of
// the wait was up at a tick.
struct Watch {
    QTimer tick;
    QElapsedTimer since;
    qint64 longest = 0;
    bool noteSeen = false;

    Watch()
    {
        QObject::connect(&tick, &QTimer::timeout, [this] {
            longest = std::max(longest, since.restart());
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QLabel*>(w) && w->objectName() == QLatin1String("printSchedulerWait") && w->isVisible())
                    noteSeen = true;
        });
    }
    void start()
    {
        longest = 0;
        noteSeen = false;
        since.start();
        tick.start(50);
    }
    void stop()
    {
        longest = std::max(longest, since.elapsed());
        tick.stop();
    }
};

// The drawing: a blank picture, its printer settings on the server's "Queue-2".
void storeDrawing(const QTemporaryDir& folder)
{
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.save(folder.filePath(QStringLiteral("map.bmp")), "BMP");
    bench::storeDrawing(folder, QStringLiteral("印刷サーバー"), QStringLiteral("map.bmp"));
    if (mdlSQL::fncSQL_InsertPrinter(GE_tpPrint.Print_Id, printtest::queueRow(QStringLiteral("Queue-2"))) != 0)
        qFatal("cannot store the drawing's printer");
}

// One print through the print command, to the drawing's queue or to `pdf`.
void printOnce(Session& session, printtest::AnsweringScheduler& server, const QString& pdf, bool first)
{
    if (first) {
        // What a run has learnt of the server, forgotten; the print window
        // is opened again, as the run's first print opens it.
        if (dlgPrinter* open = Instance<dlgPrinter>::pointer())
            open->unload();
        printscheduler::forget();
        printservice::forget();
        CurrentPrinter().selectDefault();
    }
    if (!pdf.isEmpty())
        QFile::remove(pdf);
    if (pdf.isEmpty()) {
        session.quiet.answerPrinter([](QPrinter&, QString&) {});
    } else {
        session.quiet.answerPrinter([&pdf](QPrinter& device, QString&) {
            device.setOutputFormat(QPrinter::PdfFormat);
            device.setOutputFileName(pdf);
        });
    }
    // The server's last answer no longer stands: the print asks again
    // whether it answers.
    QThread::msleep(5000);
    server.takeRequests();
    const int boxes = session.quiet.count();
    Watch watch;
    watch.start();
    QElapsedTimer took;
    took.start();
    // A first print counts the window's opening with it.
    dlgPrinter& d = Instance<dlgPrinter>::get();
    const int window = server.takeRequests();
    d.cmdPrint_Click();
    const double seconds = took.elapsed() / 1000.0;
    watch.stop();
    const int requests = window + server.takeRequests();
    if (session.quiet.count() != boxes)
        qFatal("the print failed: %s", qPrintable(session.quiet.last().prompt));
    const bool toQueue = pdf.isEmpty();
    std::printf(" %s print to %s\n", first ? "first" : "later", toQueue ? "the queue" : "a PDF file");
    if (first)
        std::printf("  %-46s %10d\n", "requests of the print window's opening", window);
    report(first ? "requests, with the window's opening" : "requests", requests, "", toQueue ? kQueueGoal : kPdfGoal);
    std::printf("  %-46s %10.2f s\n", "time", seconds);
    report("longest hold of the event loop", watch.longest / 1000.0, "s", kHoldGoalSeconds);
    std::printf("  %-46s %10s\n", "note of the wait painted", watch.noteSeen ? "yes" : "no");
}

}  // namespace

int main(int argc, char** argv)
{
    Session session(argc, argv);
    printscheduler::setWaitNote(newPrintWaitNote);
    Printers::clearTestPrinters();
    printtest::AnsweringScheduler server(kAnswerMs);
    if (server.port() == 0)
        qFatal("no socket for the print server");
    printtest::useScheduler(server.port());
    storeDrawing(session.folder);
    editorSettings(session.folder);
    frmEdit& editor = Instance<frmEdit>::get();
    if (!editor.pictMap->hasPicture())
        qFatal("the editor opened without its picture: %s", qPrintable(session.quiet.last().prompt));

    std::printf("\nprinting with a print server answering each request after %.1f s\n", kAnswerMs / 1000.0);
    const QString pdf = session.folder.filePath(QStringLiteral("print.pdf"));
    for (const QString& to : {QString(), pdf})
        for (const bool first : {true, false})
            printOnce(session, server, to, first);

    Instance<dlgPrinter>::get().unload();
    editor.booDrawChange = editor.booPrtChange = false;
    editor.unload();
    session.quiet.answerMsgBox(vb::vbNo);
    mdlDB::fncDbClose();
    return 0;
}
