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
    int job = 0;          // the job's number when the scheduler took it
    bool reached = true;  // false: no answer from the scheduler (refused, unreachable, silent)
    QString reason;       // why the job was not taken, as libcups words it
};

// Hands the PDF file to the queue (an instance's name is given without the
// instance, as the scheduler knows the queue). A scheduler that stops
// answering is waited for about ten seconds at most.
Outcome handOver(const QString& queue, const QString& pdfFile, const QString& title, const Options& options);

}  // namespace platform::printjob
