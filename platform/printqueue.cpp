#include "platform/printqueue.h"

#include "platform/printscheduler.h"
#include "platform/printservice.h"
#include "platform/ui.h"

#include <utility>

#include <cups/cups.h>

namespace platform::printqueue {

namespace {

std::function<std::optional<State>(const QString&)>& source()
{
    static std::function<std::optional<State>(const QString&)> f;
    return f;
}

std::function<Status()>& submissionSource()
{
    static std::function<Status()> f;
    return f;
}

// Whether the last question to the scheduler was answered: its status is
// then that of the next call into it, the job's submission.
bool& asked()
{
    static bool b = false;
    return b;
}

std::optional<State> askScheduler(const QString& queue)
{
    const auto attributes = printservice::queueAttributes(queue);
    if (!attributes)
        return std::nullopt;
    const auto option = [&](const char* key) {
        const auto it = attributes->find(key);
        return it == attributes->end() ? QString() : it->second;
    };
    State s;
    s.accepting = option("printer-is-accepting-jobs") != QLatin1String("false");
    s.stopped = option("printer-state").toInt() == IPP_PSTATE_STOPPED;
    s.reasons = option("printer-state-reasons");
    return s;
}

}  // namespace

std::optional<State> state(const QString& queue)
{
    if (queue.isEmpty())
        return std::nullopt;
    const std::optional<State> s = source() ? source()(queue) : askScheduler(queue);
    asked() = s.has_value();
    return s;
}

bool confirmAccepting(const QString& queue)
{
    // A scheduler set aside takes no job, and nothing would tell that the
    // print went nowhere.
    if (!source() && !printscheduler::check()) {
        printservice::tellUnreachable();
        return false;
    }
    const std::optional<State> s = state(queue);
    if (!s || (s->accepting && !s->stopped))
        return true;
    printservice::forgetQueue(queue);
    // A queue paused by its administrator still takes jobs, which would wait
    // there unprinted until it is resumed: the user is told it is stopped.
    const QString why = s->accepting ? QStringLiteral("プリンタ「%1」は現在、停止しています。").arg(queue)
                                     : QStringLiteral("プリンタ「%1」は現在、印刷を受け付けていません。").arg(queue);
    vb::MsgBox(why + vb::vbCrLf + QStringLiteral("プリンタの状態を確認してから、もう一度印刷してください。"),
               vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
    return false;
}

QString submissionRefusal()
{
    if (!std::exchange(asked(), false))
        return QString();
    // libcups keeps the status of this thread's last request: Qt's print
    // engine submitted the job through it just now.
    const Status status = submissionSource() ? submissionSource()()
                          : source()         ? Status{IPP_STATUS_OK, QString()}
                                             : Status{int(cupsLastError()), QString::fromUtf8(cupsLastErrorString())};
    if (status.code < IPP_STATUS_REDIRECTION_OTHER_SITE)
        return QString();
    return !status.text.isEmpty() ? status.text : QString::number(status.code, 16);
}

void setStateSource(std::function<std::optional<State>(const QString&)> f)
{
    source() = std::move(f);
}

void setSubmissionSource(std::function<Status()> f)
{
    submissionSource() = std::move(f);
}

}  // namespace platform::printqueue
