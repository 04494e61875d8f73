#pragma once
// Every event handler runs inside one dispatcher: an unhandled failure is
// reported in the standard box, the hourglass and disabled windows are put
// back, the event ends and the program goes on.

#include "platform/vberror.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <exception>
#include <functional>

namespace platform {

// "<proc>():ｴﾗｰ番号 <n> ｴﾗｰが発生しました。" CR LF "<description>", title "ｴﾗｰ".
QString standardErrorText(const QString& procedure, long number, const QString& description);
void showStandardError(const QString& procedure, long number, const QString& description);

// The runtime's immediate end: no close handler runs and nothing is
// committed. Tests replace the handler to intercept it.
struct ImmediateEnd {};
[[noreturn]] void End();
// The handler must not return (it exits or throws, e.g. ImmediateEnd).
using EndHandler = std::function<void()>;
EndHandler setEndHandler(EndHandler handler);
// Work done just before the process ends at once (the database layer drops
// its connections without committing).
void addEndCleanup(std::function<void()> cleanup);

// The orderly end once the start window has closed: the event loop ends.
// Tests replace the handler to see it happen.
using QuitHandler = std::function<void()>;
void Quit();
QuitHandler setQuitHandler(QuitHandler handler);

// Runs one event handler. ImmediateEnd passes through; every other failure
// is shown with the handler's name.
void dispatch(const QString& procedure, const std::function<void()>& handler);
// How many event handlers are running now, one inside another's dialog:
// 0 when the program waits for the user with no command under way.
int dispatchDepth();

// The hourglass over a window that is disabled while a long operation runs;
// both are put back when the guard leaves scope, on every exit path.
class Hourglass {
public:
    explicit Hourglass(QWidget* window = nullptr);
    ~Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    QPointer<QWidget> m_window;
    bool m_wasEnabled = true;
};

}  // namespace platform
