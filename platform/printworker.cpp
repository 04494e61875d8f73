#include "platform/printworker.h"

#include "platform/printscheduler.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include <cups/cups.h>

namespace platform::printworker {

namespace {

// The scheduler as libcups holds it on a thread.
struct Scheduler {
    QByteArray server;
    int port = 0;
    http_encryption_t encryption = HTTP_ENCRYPTION_IF_REQUESTED;

    static Scheduler ofThisThread() { return {QByteArray(cupsServer()), ippPort(), cupsEncryption()}; }
    bool operator==(const Scheduler&) const = default;
};

struct Task {
    std::function<void()> call;
    Scheduler scheduler;
    bool done = false;
};

// The printer thread and its queue of tasks; lives for the run (the thread
// waits for work when idle, and the process ends it).
class Worker {
public:
    Worker()
    {
        std::thread([this] { loop(); }).detach();
    }

    void post(const std::shared_ptr<Task>& task)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_tasks.push_back(task);
        m_wake.notify_all();
    }

    // Waits up to `ms` for the task; true once it has run.
    bool waitFor(const std::shared_ptr<Task>& task, int ms)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_done.wait_for(lock, std::chrono::milliseconds(ms), [&] { return task->done; });
    }

private:
    void loop()
    {
        Scheduler current = Scheduler::ofThisThread();
        for (;;) {
            std::shared_ptr<Task> task;
            {
                std::unique_lock<std::mutex> lock(m_lock);
                m_wake.wait(lock, [this] { return !m_tasks.empty(); });
                task = m_tasks.front();
                m_tasks.pop_front();
            }
            // Set anew only when it changed: setting it drops the connection
            // libcups keeps.
            if (!(task->scheduler == current)) {
                cupsSetServer(task->scheduler.server.constData());
                ippSetPort(task->scheduler.port);
                cupsSetEncryption(task->scheduler.encryption);
                current = task->scheduler;
            }
            task->call();
            std::lock_guard<std::mutex> lock(m_lock);
            task->done = true;
            m_done.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_wake, m_done;
    std::deque<std::shared_ptr<Task>> m_tasks;
};

Worker& worker()
{
    static Worker* w = new Worker;  // lives for the run
    return *w;
}

// The steps of the wait, between which the note is kept shown.
constexpr int StepMs = 20;

}  // namespace

void run(const std::function<void()>& task)
{
    auto posted = std::make_shared<Task>();
    posted->call = task;
    posted->scheduler = Scheduler::ofThisThread();
    worker().post(posted);
    if (worker().waitFor(posted, StepMs))
        return;
    QElapsedTimer clock;
    clock.start();
    const std::unique_ptr<printscheduler::WaitNote> note = printscheduler::newWaitNote();
    while (!worker().waitFor(posted, StepMs))
        if (note)
            note->keepShown(clock.elapsed() + StepMs);
}

}  // namespace platform::printworker
