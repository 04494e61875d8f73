#include "platform/printlogin.h"

#include "platform/printworker.h"
#include "platform/ui.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QThread>

#include <atomic>
#include <mutex>
#include <optional>

#include <cups/cups.h>

namespace platform::printlogin {

namespace {

// Which thread the callback was set on: the printer thread's asks go
// through the user-interface thread.
char onPrinterThread;
char onUserInterfaceThread;

// What libcups asked on this thread since its question began.
struct Count {
    int calls = 0;  // each after the first: the name and password given were refused
    int asks = 0;   // of those, the ones the user was asked
};

thread_local Count t_count;
// What was handed to libcups: it copies it at once, and it is wiped for the next.
thread_local QByteArray t_password;

struct Question {
    QString server;  // host:port
    QString queue;   // empty for a question about no queue
    QString user;    // the name libcups would use
    bool refused = false;
};

// The name and password last taken, for the scheduler they were given to;
// set on the user-interface thread, read on the printer thread too.
struct Kept {
    QString server;
    Login login;
};

std::mutex keptLock;
Kept kept;  // under keptLock
std::atomic<bool> gaveUp{false};

Kept keptNow()
{
    std::lock_guard<std::mutex> lock(keptLock);
    return kept;
}

void keep(const Kept& k)
{
    std::lock_guard<std::mutex> lock(keptLock);
    kept = k;
}

QString serverOf(http_t* http)
{
    char host[256] = "";
    httpGetHostname(http, host, sizeof host);
    return QString::fromUtf8(host) + u':' + QString::number(http ? httpAddrPort(httpGetAddress(http)) : ippPort());
}

QString promptFor(const Question& q)
{
    QString prompt = q.refused ? QStringLiteral("名前またはパスワードが違います。") + vb::vbCrLf : QString();
    prompt += q.queue.isEmpty()
                  ? QStringLiteral("印刷サーバーを使うには、印刷サーバーに登録された名前とパスワードが必要です。")
                  : QStringLiteral("プリンタ「%1」へ印刷するには、印刷サーバーに登録された名前とパスワードが必要です。")
                        .arg(q.queue);
    if (!q.server.startsWith(QLatin1String("localhost:")))
        prompt += vb::vbCrLf + QStringLiteral("印刷サーバー：%1").arg(q.server);
    return prompt;
}

// On the user-interface thread: the name and password kept for the
// scheduler, or the user's answer; nullopt gives up.
std::optional<Login> answer(const Question& q, Count& count)
{
    const Kept k = keptNow();
    if (!q.refused && k.server == q.server && !k.login.user.isEmpty())
        return k.login;
    // One キャンセル is the user's answer for the whole print.
    if (gaveUp)
        return std::nullopt;
    std::optional<Login> login;
    if (count.asks < MostAsks) {
        ++count.asks;
        login = ui().askLogin(promptFor(q), QStringLiteral("印刷"), k.login.user.isEmpty() ? q.user : k.login.user);
    }
    if (!login || login->user.isEmpty()) {
        keep(Kept{});
        gaveUp = true;
        return std::nullopt;
    }
    keep(Kept{q.server, *login});
    return login;
}

const char* passwordFor(const char*, http_t* http, const char*, const char* resource, void* thread)
{
    Question q;
    q.server = serverOf(http);
    const QString path = QString::fromUtf8(resource ? resource : "");
    for (const QLatin1String under : {QLatin1String("/printers/"), QLatin1String("/classes/")})
        if (path.startsWith(under))
            q.queue = path.mid(under.size()).section(u'/', 0, 0);
    q.user = QString::fromUtf8(cupsUser());
    q.refused = ++t_count.calls > 1;
    std::optional<Login> login;
    Count& count = t_count;  // this thread's, not the one that asks
    const auto ask = [&] { login = answer(q, count); };
    if (thread == &onPrinterThread)
        printworker::onUserInterfaceThread(ask);
    else
        ask();
    t_password.fill('\0');
    if (!login)
        return nullptr;
    cupsSetUser(login->user.toUtf8().constData());
    t_password = login->password.toUtf8();
    return t_password.constData();
}

}  // namespace

void answerOnThisThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    const bool userInterface = !app || app->thread() == QThread::currentThread();
    cupsSetPasswordCB2(passwordFor, userInterface ? &onUserInterfaceThread : &onPrinterThread);
    t_count = Count{};
}

void beginPrint()
{
    gaveUp = false;
}

bool givenUp()
{
    return gaveUp;
}

bool giveKept(http_t* http)
{
    const Kept k = keptNow();
    if (!http || k.login.user.isEmpty() || k.server != serverOf(http))
        return false;
    cupsSetUser(k.login.user.toUtf8().constData());
    httpSetAuthString(http, "Basic", (k.login.user + u':' + k.login.password).toUtf8().toBase64().constData());
    return true;
}

void forget()
{
    keep(Kept{});
    gaveUp = false;
}

}  // namespace platform::printlogin
