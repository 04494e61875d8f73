#include "platform/printscheduler.h"

#include "platform/printwaits.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include <cups/cups.h>

namespace platform::printscheduler {

namespace {

// How long the first answer is waited for, and how long a verdict stands:
// printwaits.h. The steps of the wait for the answer, between which the
// note is kept shown.
constexpr int StepMs = 100;
// An answer stands the longer the longer it took: a slow scheduler makes
// each command longer.
constexpr qint64 AnswerKeptPerAnswerMs = 4;  // times the answer took
// A server libcups fails to reach at once: not a socket.
constexpr const char* NoServer = "/dev/null";

struct Verdict {
    bool asked = false;
    bool silent = false;
    bool reached = false;  // took the connection
    qint64 keptMs = 0;
    QElapsedTimer since;
};

Verdict& verdict()
{
    static Verdict v;
    return v;
}

bool& asking()
{
    static bool b = false;
    return b;
}

std::function<std::unique_ptr<WaitNote>()>& noteMaker()
{
    static std::function<std::unique_ptr<WaitNote>()> make;
    return make;
}

// The wait's clock and its note, made when the wait begins.
class Wait {
public:
    Wait() : m_note(newWaitNote()) { m_clock.start(); }
    qint64 elapsed() const { return m_clock.elapsed(); }
    void keepShown()
    {
        if (m_note)
            m_note->keepShown(m_clock.elapsed());
    }
    bool timedOut = false;

private:
    QElapsedTimer m_clock;
    std::unique_ptr<WaitNote> m_note;
};

int keepWaiting(http_t*, void* data)
{
    auto* wait = static_cast<Wait*>(data);
    if (wait->elapsed() >= printWaits().answerMs) {
        wait->timedOut = true;
        return 0;  // stop waiting
    }
    wait->keepShown();
    return 1;
}

// The connection to the scheduler, tried once for the whole wait on a
// thread of its own, so that the note is kept shown meanwhile: a server at
// the far end of a slow link takes a round trip or more to take it. Null
// when it was refused or can't be reached, or when the wait ran out
// (`timedOut`).
http_t* connectWithin(Wait& wait)
{
    struct Attempt {
        std::atomic<bool> done{false};
        int cancel = 0;
        http_t* http = nullptr;
    } attempt;
    const QByteArray server = cupsServer();
    const int port = ippPort();
    const qint64 waitMs = printWaits().answerMs;
    std::thread connecting([&attempt, &server, port, waitMs] {
        attempt.http = httpConnect2(server.constData(), port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                    int(waitMs), &attempt.cancel);
        attempt.done = true;
    });
    while (!attempt.done && wait.elapsed() < waitMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        wait.keepShown();
    }
    if (!attempt.done) {
        attempt.cancel = 1;
        wait.timedOut = true;
    }
    connecting.join();
    if (wait.timedOut && attempt.http) {
        httpClose(attempt.http);
        return nullptr;
    }
    return attempt.http;
}

// Whether the scheduler libcups would ask leaves a question unanswered for
// the whole wait: one connection of our own, a request every HTTP server
// answers at once (no authentication, no encryption). A refused connection,
// a closed one or any answer, however late, is no silence. `reached` tells
// whether it took the connection.
bool silent(bool& reached)
{
    Wait wait;
    http_t* http = connectWithin(wait);
    reached = http != nullptr;
    if (!http)
        return wait.timedOut;  // refused or unknown: libcups fails by itself
    httpSetTimeout(http, qMin<qint64>(StepMs, printWaits().answerMs) / 1000.0, keepWaiting, &wait);
    if (httpOptions(http, "*") == 0)
        while (httpUpdate(http) == HTTP_STATUS_CONTINUE && !wait.timedOut) {
        }
    httpClose(http);
    return wait.timedOut;
}

bool ask()
{
    Verdict& v = verdict();
    if (v.silent)
        cupsSetServer(nullptr);  // the scheduler the settings name
    QElapsedTimer took;
    took.start();
    asking() = true;
    v.silent = silent(v.reached);
    asking() = false;
    if (v.silent)
        cupsSetServer(NoServer);
    v.asked = true;
    const PrintWaits& waits = printWaits();
    v.keptMs = v.silent ? waits.silenceKeptMs : waits.answerKeptMs + AnswerKeptPerAnswerMs * took.elapsed();
    v.since.start();
    return !v.silent;
}

}  // namespace

void setWaitNote(std::function<std::unique_ptr<WaitNote>()> make)
{
    noteMaker() = std::move(make);
}

std::unique_ptr<WaitNote> newWaitNote()
{
    return noteMaker() ? noteMaker()() : nullptr;
}

bool check()
{
    const Verdict& v = verdict();
    // Asked from within the wait (the note lets timers run): libcups must
    // not be reached before the answer is in.
    if (asking())
        return false;
    if (v.asked && v.since.elapsed() < v.keptMs)
        return !v.silent;
    return ask();
}

bool confirm()
{
    const Verdict& v = verdict();
    if (asking())
        return false;
    if (v.asked && v.silent && v.since.elapsed() < v.keptMs)
        return false;
    return ask();
}

void answered()
{
    Verdict& v = verdict();
    if (v.asked && !v.silent) {
        v.reached = true;
        v.since.start();
    }
}

bool reachable()
{
    return check() && verdict().reached;
}

bool setAside()
{
    return verdict().asked && verdict().silent;
}

void forget()
{
    verdict() = Verdict{};
    cupsSetServer(nullptr);
}

}  // namespace platform::printscheduler
