#pragma once
// A desktop session manager of the X session protocol (what a desktop's
// log-out speaks to its programs), run on a thread of its own: programs
// started with its address in SESSION_MANAGER register with it, and
// logOut() asks them to end as a log-out does, letting them ask the user.
// A program that cancels the log-out is told it was cancelled, as a
// desktop does.

#include <QByteArray>
#include <QStringList>

#include <chrono>
#include <memory>

namespace testsupport {

class SessionManager {
public:
    SessionManager();
    ~SessionManager();
    SessionManager(const SessionManager&) = delete;
    SessionManager& operator=(const SessionManager&) = delete;

    // Listening; its address for SESSION_MANAGER. Empty when it could not listen.
    QByteArray address() const;
    // What the programs said, in order: "registered", "interact",
    // "interact done", "interact done, cancel", "save done",
    // "save failed", "closed".
    QStringList events() const;
    // Waits until `event` has been seen `times` times in all.
    bool waitFor(const QString& event, int times, std::chrono::milliseconds timeout) const;
    // A log-out: every registered program saves for a shutdown, the user
    // may be asked.
    void logOut();

    struct State;

private:
    std::unique_ptr<State> m;
};

}  // namespace testsupport
