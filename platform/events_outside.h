#pragma once
// The ends that come from outside the program: SIGTERM (a desktop logout,
// `kill`), SIGHUP (the terminal or the login going away), SIGINT (Ctrl+C in
// the terminal that started it), the desktop session manager's end of
// session, and the display going away. Left to
// the system, each would end the process at once and the database's open
// transaction, with every save of the run, would be rolled back.

#include <functional>

namespace platform {

struct OutsideEnd {
    // The user can still be asked: the program's own quit, with its
    // questions. False when the user chose to go on working.
    std::function<bool()> quit;
    // Nothing can be asked any more: keeps what must survive. It may run
    // while the process ends after the display went away, so it touches no
    // window and shows no box.
    std::function<void()> unattended;
};

// From now on SIGTERM, SIGHUP, SIGINT and the session's end run `quit` from the
// event loop, and a process that ends with the program still running (the
// display went away) runs `unattended`. A request that comes while an event
// handler is under way (a dialog or a box is open) waits until it has
// ended, so no command finds the database closed under it. Call once, when
// the program's windows are up.
void watchOutsideEnds(OutsideEnd handlers);

}  // namespace platform
