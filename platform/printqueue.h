#pragma once
// What the print scheduler (CUPS) says of a print queue: whether it takes
// jobs now, and whether it took the job just sent. Qt's print engine hands
// a document to the scheduler and drops its answer, so a queue that refuses
// would otherwise swallow a print without a word. With no scheduler to ask
// (none running) nothing is refused here.

#include <QString>
#include <functional>
#include <optional>

namespace platform::printqueue {

struct State {
    bool accepting = true;  // printer-is-accepting-jobs
    bool stopped = false;   // printer-state: stopped
    QString reasons;        // printer-state-reasons, as the scheduler words them
};

// The scheduler's word on the queue; nullopt when no scheduler answers or
// it doesn't know the queue.
std::optional<State> state(const QString& queue);

// Whether the queue takes a job now; when it doesn't, says so in a box
// naming it (false). With the scheduler set aside (printscheduler.h) no
// queue takes one, and the box says the printers can't be reached.
bool confirmAccepting(const QString& queue);

// Why the scheduler refused the job just handed to it, "" when it took it
// or was not asked.
QString submissionRefusal();

// For tests: the queue states the scheduler would give (an empty function
// asks the scheduler again).
void setStateSource(std::function<std::optional<State>(const QString&)> source);

// For tests: the scheduler's status for the job just handed to it, an IPP
// status code and its text (an empty function reads libcups' own; with a
// state source and none of these, the job is taken).
struct Status {
    int code = 0;
    QString text;
};
void setSubmissionSource(std::function<Status()> source);

}  // namespace platform::printqueue
