#pragma once
// Whether the print scheduler (CUPS) answers, asked with a bounded wait
// before the program's printer code reaches it. Qt's printer listing, its
// default-printer lookup, its print dialog and the queue checks all ask
// libcups, which waits a minute for each answer and tries again: a
// scheduler that takes the connection and never answers (hung, overloaded,
// a remote server that stalls) would freeze the window for minutes.
//
// A scheduler that answers at all is used, however slowly: a busy one or
// one behind a slow link is waited for up to ten seconds (printwaits.h). One that stays
// silent past that is set aside: libcups on the GUI thread is pointed at no
// server, so every question finds no scheduler at once, as on a machine
// without one, and a PDF file can still be printed. It is asked again at
// the first use of the printer after a while. A scheduler that refuses the
// connection, or can't be reached at all, fails at once by itself and is
// left as it is.
//
// This unit only asks: it shows nothing. What the user sees while it waits
// is handed in (printwaitnote.h); the printer code reaches Qt and libcups
// through printservice.h, which asks here first.

#include <QtGlobal>

#include <functional>
#include <memory>

namespace platform::printscheduler {

// What the user is shown while the check waits: made as the wait begins,
// kept shown at each step of it (given the time waited so far), and gone
// when it is destroyed, once the answer is in.
class WaitNote {
public:
    virtual ~WaitNote() = default;
    virtual void keepShown(qint64 waitedMs) = 0;
};

// How a wait's note is made; none (the default) waits without a word.
void setWaitNote(std::function<std::unique_ptr<WaitNote>()> make);
// A note as handed in, for a wait of the printer code's own (none without).
// A wait shorter than printWaits().noteAfterMs (printwaits.h) shows nothing.
std::unique_ptr<WaitNote> newWaitNote();

// Asks the scheduler unless it was asked a moment ago (while set aside:
// unless it was asked within the last half minute). False while it is set
// aside.
bool check();

// Asks the scheduler now, whatever was learnt a moment ago (a silence
// learnt stands for its half minute): before a step that would wait on it
// at length, such as Qt taking a chosen queue's details.
bool confirm();

// The printer code's question was just answered: an answer learnt stands
// a while longer, so that a command asking many questions of a slow
// scheduler doesn't ask it again in between.
void answered();

// Whether the scheduler can be reached: asked as check() asks, false also
// when it refuses the connection or can't be found (shut down, or none
// there), which libcups fails at by itself.
bool reachable();

// Whether the scheduler is set aside now.
bool setAside();

// For tests: forgets what was learnt and reads the scheduler's address
// (CUPS_SERVER, client.conf) again.
void forget();

}  // namespace platform::printscheduler
