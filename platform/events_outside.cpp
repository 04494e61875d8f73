#include "platform/events_outside.h"

#include "platform/events.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

OutsideEnd& handlers()
{
    static OutsideEnd current;
    return current;
}

int signalPipe[2] = {-1, -1};
bool quitting = false;       // a quit from outside is asking its questions
bool unattendedRun = false;  // what had to be kept has been kept
QTimer* retry = nullptr;

// Only the write of one byte: the rest runs in the event loop.
extern "C" void onEndSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

// A command is under way, or a window or box waits for its answer: ending
// the program now would close the database under it.
bool busy()
{
    return dispatchDepth() > 0 || QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

void requestQuit()
{
    if (quitting)
        return;  // the same end, asked again while its questions are open
    if (busy()) {
        retry->start();
        return;
    }
    quitting = true;
    if (handlers().quit)
        handlers().quit();
    quitting = false;
}

void runUnattended()
{
    if (unattendedRun)
        return;
    unattendedRun = true;
    if (handlers().unattended)
        handlers().unattended();
}

// The process ends while the program still runs: Qt ends it this way when
// the display goes away. No window may be touched any more.
void atProcessEnd()
{
    runUnattended();
}

void installSignals()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        requestQuit();
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

#if QT_CONFIG(sessionmanager)
void onSessionEnd(QSessionManager& manager)
{
    if (quitting || busy()) {
        // Nothing can end safely under a running command; once it has, the
        // quit follows, or the display goes and the end keeps the saves.
        if (!quitting)
            retry->start();
        return;
    }
    if (manager.allowsInteraction()) {
        quitting = true;
        const bool ended = !handlers().quit || handlers().quit();
        quitting = false;
        // The user chose to go on working: the end of the interaction
        // carries the cancel, and the desktop stays.
        if (ended)
            manager.release();
        else
            manager.cancel();
        return;
    }
    runUnattended();
    Quit();
}
#endif

}  // namespace

void watchOutsideEnds(OutsideEnd ends)
{
    handlers() = std::move(ends);
    retry = new QTimer(qApp);
    retry->setSingleShot(true);
    retry->setInterval(200);
    QObject::connect(retry, &QTimer::timeout, qApp, [] { requestQuit(); });
    installSignals();
#if QT_CONFIG(sessionmanager)
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, onSessionEnd, Qt::DirectConnection);
#endif
    std::atexit(atProcessEnd);
}

}  // namespace platform
