#pragma once
// How long the printer code waits on the print scheduler (CUPS), in one
// place: the check's wait for a first answer and how long its verdict
// stands (printscheduler.h), the hold before the note of a wait shows
// (printwaitnote.h), and a hand-over's wait for a scheduler that stops
// answering (printjob.h). The program runs with the defaults; tests set
// shorter ones for a run, so the same waits run in a fraction of the time.

#include <QtGlobal>

namespace platform {

struct PrintWaits {
    // The first answer to the check: a busy scheduler or one behind a slow
    // link answers in a few seconds, and a user shown the wait accepts
    // about this much.
    qint64 answerMs = 10000;
    // How long the check's verdict is taken as it stands: an answer for a
    // moment (a command asks many times over), longer the longer it took;
    // silence for longer, so that each command doesn't wait for it again.
    qint64 answerKeptMs = 2000;
    qint64 silenceKeptMs = 30000;
    // A wait shorter than this shows nothing.
    qint64 noteAfterMs = 300;
    // A hand-over to a scheduler that stops answering, each request's wait;
    // a connection made only to look for a job whose answer was lost with
    // its connection.
    qint64 handOverMs = 10000;
    qint64 cleanUpMs = 1000;
};

// The waits of this run.
const PrintWaits& printWaits();

// For tests: the waits from now on (between commands, with no print
// running on the printer thread).
void setPrintWaits(const PrintWaits& waits);

}  // namespace platform
