#pragma once
// Whether the print scheduler (CUPS) answers, asked with a bounded wait
// before the program's printer code reaches it. Qt's printer listing, its
// default-printer lookup, its print dialog and the queue checks all ask
// libcups, which waits a minute for each answer and tries again: a
// scheduler that takes the connection and never answers (hung, overloaded,
// a remote server that stalls) would freeze the window for minutes.
//
// One that doesn't answer within a few seconds is set aside: libcups on
// the GUI thread is pointed at no server, so every question finds no
// scheduler at once, as on a machine without one, and a PDF file can still
// be printed. It is asked again at the first use of the printer after a
// while. A scheduler that refuses the connection, or can't be reached at
// all, fails at once by itself and is left as it is.

namespace platform::printscheduler {

// Asks the scheduler unless it was asked a moment ago (while set aside:
// unless it was asked within the last half minute). Called before anything
// that may reach it; false while it is set aside.
bool check();

// Whether the scheduler is set aside now.
bool setAside();

// Tells the user that the printers can't be reached (the scheduler set
// aside), in a box.
void tellUnreachable();

// For tests: forgets what was learnt and reads the scheduler's address
// (CUPS_SERVER, client.conf) again.
void forget();

}  // namespace platform::printscheduler
