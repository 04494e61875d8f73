#include "platform/printscheduler.h"

#include "platform/ui.h"

#include <QElapsedTimer>

#include <cups/cups.h>

namespace platform::printscheduler {

namespace {

// The waits of the question: for the connection, then for the answer.
constexpr int ConnectMs = 1500;
constexpr double AnswerSeconds = 1.5;
// How long a verdict is taken as it stands: an answer for a moment (a
// command asks many times over), silence for longer, so that each command
// doesn't wait for it again.
constexpr qint64 AnswerKeptMs = 2000;
constexpr qint64 SilenceKeptMs = 30000;
// A server libcups fails to reach at once: not a socket.
constexpr const char* NoServer = "/dev/null";

struct Verdict {
    bool asked = false;
    bool silent = false;
    QElapsedTimer since;
};

Verdict& verdict()
{
    static Verdict v;
    return v;
}

int giveUp(http_t*, void* timedOut)
{
    *static_cast<bool*>(timedOut) = true;
    return 0;  // stop waiting
}

// Whether the scheduler libcups would ask lets a question go unanswered:
// one connection of our own, a request every HTTP server answers at once
// (no authentication, no encryption), each wait bounded. A refused
// connection, a closed one or any answer is no silence.
bool silent()
{
    QElapsedTimer clock;
    clock.start();
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                ConnectMs, nullptr);
    if (!http)
        return clock.elapsed() >= ConnectMs / 2;  // waited out, not refused
    bool timedOut = false;
    httpSetTimeout(http, AnswerSeconds, giveUp, &timedOut);
    if (httpOptions(http, "*") == 0)
        while (httpUpdate(http) == HTTP_STATUS_CONTINUE && !timedOut) {
        }
    httpClose(http);
    return timedOut;
}

}  // namespace

bool check()
{
    Verdict& v = verdict();
    if (v.asked && v.since.elapsed() < (v.silent ? SilenceKeptMs : AnswerKeptMs))
        return !v.silent;
    if (v.silent)
        cupsSetServer(nullptr);  // the scheduler the settings name
    v.silent = silent();
    if (v.silent)
        cupsSetServer(NoServer);
    v.asked = true;
    v.since.start();
    return !v.silent;
}

bool setAside()
{
    return verdict().asked && verdict().silent;
}

void tellUnreachable()
{
    vb::MsgBox(QStringLiteral("プリンタに接続できません。印刷サーバーが応答していません。") + vb::vbCrLf
                   + QStringLiteral("しばらくしてから、もう一度印刷してください。") + vb::vbCrLf
                   + QStringLiteral("PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。"),
               vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
}

void forget()
{
    verdict() = Verdict{};
    cupsSetServer(nullptr);
}

}  // namespace platform::printscheduler
