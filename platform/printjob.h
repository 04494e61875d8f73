#pragma once
// A print job handed to the print scheduler (CUPS) by the program itself:
// the document, drawn by Qt into a PDF file, goes to the queue with the
// options Qt's own print engine would give it, on the printer thread
// (printworker.h) while the window waits with the note. The program then
// knows the job's number, or why it didn't reach the queue: Qt's engine
// hands a job over on the user-interface thread and drops the answer, so
// a job refused or never delivered went without a word.

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QPrinter;

namespace platform::printjob {

using Options = std::vector<std::pair<QByteArray, QByteArray>>;

// What the queue is given with a document printed on `device`: its paper
// (media), copies and collation, sides, landscape, the page order, the tray
// when one other than the queue's own was set (`bin`, the device's paper
// source), and the options the print dialog chose for the scheduler (pages
// per sheet, page set, job options, the queue description's options).
Options optionsOf(const QPrinter& device, bool binSet);

struct Outcome {
    int job = 0;             // the job's number when the scheduler took it
    bool reached = true;     // false: no answer from the scheduler (refused, unreachable, dropped, silent)
    bool unsettled = false;  // and the document may have reached it all the same: the job may be on the queue
    bool noLogin = false;    // the scheduler wants a name and password, and none was given or taken
    bool cut = false;        // it was connected to, and the connection was dropped
    // A print handed over without the answer (this one or an earlier one)
    // may come out all the same: the scheduler answered the look for it,
    // and no job carried its mark while one of its name did.
    bool lost = false;
    QString reason;          // why the job was not taken
};

// Hands the PDF file to the queue (an instance's name is given without the
// instance, as the scheduler knows the queue) in one request that carries
// the document, so the scheduler makes no job unless the whole document
// reached it. A print counts as handed over only with the scheduler's
// answer in hand. A scheduler that stops answering is waited for about ten
// seconds at most (printwaits.h); where no answer came, the job the
// scheduler may have made (known by the job-uuid that request alone
// carried; its name stays the title) is looked for and cancelled at once where the connection was
// dropped and the scheduler answers a new one, else before the next
// hand-over to it.
Outcome handOver(const QString& queue, const QString& pdfFile, const QString& title, const Options& options);

// For tests: forgets the hand-overs still to be looked for (the scheduler
// that had them is gone).
void forgetUnsettled();

}  // namespace platform::printjob
