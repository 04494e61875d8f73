#include "tests/support/sessionmanager.h"

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testsupport {

struct SessionManager::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    QStringList events;  // under mutex
    QByteArray address;
    std::atomic<bool> stop{false};
    std::atomic<bool> logOutAsked{false};
    int wake[2] = {-1, -1};
    // Only the thread touches what follows.
    int listenCount = 0;
    IceListenObj* listeners = nullptr;
    std::vector<IceConn> connections;
    std::vector<SmsConn> clients;
    bool cancelled = false;
    std::thread thread;

    void record(const QString& event)
    {
        std::lock_guard lock(mutex);
        events << event;
        changed.notify_all();
    }
    void run();
};

namespace {

using State = SessionManager::State;

// A connection that fails is closed by the loop; the library's own
// handler would end the test.
void ignoreIoError(IceConn) {}

// Every program of this user on this machine may connect: there is no
// authority file to share with the programs started.
Bool acceptHost(char*) { return True; }

Status registerClient(SmsConn client, SmPointer data, char*)
{
    char* id = SmsGenerateClientID(client);
    char fixed[] = "1nemu-test-client";
    const Status status = SmsRegisterClientReply(client, id ? id : fixed);
    std::free(id);
    static_cast<State*>(data)->record(QStringLiteral("registered"));
    return status;
}

void interactRequest(SmsConn client, SmPointer data, int)
{
    static_cast<State*>(data)->record(QStringLiteral("interact"));
    SmsInteract(client);
}

void interactDone(SmsConn, SmPointer data, Bool cancelShutdown)
{
    auto* state = static_cast<State*>(data);
    state->cancelled = state->cancelled || cancelShutdown;
    state->record(cancelShutdown ? QStringLiteral("interact done, cancel") : QStringLiteral("interact done"));
}

void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

void saveYourselfPhase2Request(SmsConn client, SmPointer) { SmsSaveYourselfPhase2(client); }

void saveYourselfDone(SmsConn client, SmPointer data, Bool success)
{
    auto* state = static_cast<State*>(data);
    state->record(success ? QStringLiteral("save done") : QStringLiteral("save failed"));
    // A program that cancelled the log-out: the desktop stays, and says so.
    if (std::exchange(state->cancelled, false))
        SmsShutdownCancelled(client);
    else
        SmsSaveComplete(client);
}

void closeConnection(SmsConn client, SmPointer data, int count, char** reasons)
{
    auto* state = static_cast<State*>(data);
    SmFreeReasons(count, reasons);
    std::erase(state->clients, client);
    SmsCleanUp(client);
    state->record(QStringLiteral("closed"));
}

void setProperties(SmsConn, SmPointer, int count, SmProp** properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void deleteProperties(SmsConn, SmPointer, int count, char** names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

void getProperties(SmsConn client, SmPointer) { SmsReturnProperties(client, 0, nullptr); }

Status newClient(SmsConn client, SmPointer data, unsigned long* mask, SmsCallbacks* callbacks, char**)
{
    auto* state = static_cast<State*>(data);
    state->clients.push_back(client);
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
        | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask
        | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask
        | SmsGetPropertiesProcMask;
    callbacks->register_client = {registerClient, data};
    callbacks->interact_request = {interactRequest, data};
    callbacks->interact_done = {interactDone, data};
    callbacks->save_yourself_request = {saveYourselfRequest, data};
    callbacks->save_yourself_phase2_request = {saveYourselfPhase2Request, data};
    callbacks->save_yourself_done = {saveYourselfDone, data};
    callbacks->close_connection = {closeConnection, data};
    callbacks->set_properties = {setProperties, data};
    callbacks->delete_properties = {deleteProperties, data};
    callbacks->get_properties = {getProperties, data};
    return 1;
}

}  // namespace

void SessionManager::State::run()
{
    bool loggedOut = false;
    while (!stop) {
        std::vector<pollfd> fds{{wake[0], POLLIN, 0}};
        for (int i = 0; i < listenCount; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn c : connections)
            fds.push_back({IceConnectionNumber(c), POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 100) < 0)
            continue;
        char bytes[16];
        while (::read(wake[0], bytes, sizeof bytes) > 0) {
        }
        const std::vector<IceConn> open = connections;  // those polled
        for (int i = 0; i < listenCount; ++i) {
            if (!(fds[size_t(1 + i)].revents & POLLIN))
                continue;
            IceAcceptStatus status;
            if (IceConn c = IceAcceptConnection(listeners[i], &status))
                connections.push_back(c);
        }
        for (size_t k = 0; k < open.size(); ++k) {
            if (!(fds[size_t(1 + listenCount) + k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            if (IceProcessMessages(open[k], nullptr, nullptr) == IceProcessMessagesIOError) {
                IceSetShutdownNegotiation(open[k], False);
                IceCloseConnection(open[k]);
                std::erase(connections, open[k]);
            }
        }
        if (logOutAsked && !loggedOut && !clients.empty()) {
            loggedOut = true;
            for (SmsConn client : clients)
                SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleAny, False);
        }
    }
    for (SmsConn client : clients)
        SmsCleanUp(client);
    for (IceConn c : connections) {
        IceSetShutdownNegotiation(c, False);
        IceCloseConnection(c);
    }
}

SessionManager::SessionManager() : m(std::make_unique<State>())
{
    char error[256] = {};
    if (::pipe2(m->wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    IceSetIOErrorHandler(ignoreIoError);
    if (!SmsInitialize("nemu-test", "1.0", newClient, m.get(), acceptHost, sizeof error, error))
        return;
    if (!IceListenForConnections(&m->listenCount, &m->listeners, sizeof error, error))
        return;
    for (int i = 0; i < m->listenCount; ++i)
        IceSetHostBasedAuthProc(m->listeners[i], acceptHost);
    char* ids = IceComposeNetworkIdList(m->listenCount, m->listeners);
    m->address = ids;
    std::free(ids);
    m->thread = std::thread([state = m.get()] { state->run(); });
}

SessionManager::~SessionManager()
{
    m->stop = true;
    if (m->thread.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(m->wake[1], "x", 1);
        m->thread.join();
    }
    if (m->listeners)
        IceFreeListenObjs(m->listenCount, m->listeners);
    for (int fd : m->wake)
        if (fd >= 0)
            ::close(fd);
}

QByteArray SessionManager::address() const { return m->address; }

QStringList SessionManager::events() const
{
    std::lock_guard lock(m->mutex);
    return m->events;
}

bool SessionManager::waitFor(const QString& event, int times, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m->mutex);
    return m->changed.wait_for(lock, timeout, [&] { return m->events.count(event) >= times; });
}

void SessionManager::logOut()
{
    m->logOutAsked = true;
    [[maybe_unused]] const ssize_t written = ::write(m->wake[1], "x", 1);
}

}  // namespace testsupport
