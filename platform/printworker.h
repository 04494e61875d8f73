#pragma once
// Where the program's questions to the print scheduler run: on a thread of
// their own, while the window waits with the note of the wait painted and
// the user's input held (printscheduler.h's WaitNote), instead of the
// user-interface thread waiting in libcups. A far server costs two round
// trips a request, and a print asks several; the window is never held for
// them.
//
// One thread for the run, so that libcups keeps its connection to the
// scheduler from one question to the next, as the user-interface thread
// did. Each task runs with the scheduler the user-interface thread would
// ask (its server, port and encryption as libcups holds them there).

#include <functional>

namespace platform::printworker {

// Runs `task` on the printer thread and returns once it has run; the wait
// shows (the note and the busy pointer) once it lasts. Called from within
// a wait (the note lets timers run), the task still runs in turn.
void run(const std::function<void()>& task);

// From a task on the printer thread: runs `call` on the user-interface
// thread, which is waiting for that task, and returns once it has run. The
// note of the wait is put away meanwhile, so a box `call` shows stands
// alone over the window.
void onUserInterfaceThread(const std::function<void()>& call);

// The same with a result.
template <typename F>
auto result(F&& call)
{
    decltype(call()) value{};
    run([&] { value = call(); });
    return value;
}

}  // namespace platform::printworker
