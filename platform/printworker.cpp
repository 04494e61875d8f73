#include "platform/printworker.h"

#include "platform/printlogin.h"
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

    enum class Wake { Waiting, Done, Question };

    // Waits up to `ms` for the task to have run, or for its question to the
    // user-interface thread.
    Wake waitFor(const std::shared_ptr<Task>& task, int ms)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        const bool woken = m_done.wait_for(lock, std::chrono::milliseconds(ms),
                                           [&] { return task->done || (m_question && !m_taken); });
        return !woken ? Wake::Waiting : task->done ? Wake::Done : Wake::Question;
    }

    // On the printer thread: waits until the user-interface thread has run
    // `call`.
    void ask(const std::function<void()>& call)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_question = &call;
        m_taken = false;
        m_done.notify_all();
        m_answered.wait(lock, [this] { return !m_question; });
    }

    // On the user-interface thread: runs the question waiting. A wait begun
    // within it (the box lets timers run) leaves it to this one.
    void answer()
    {
        const std::function<void()>* question = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            question = m_question;
            m_taken = true;
        }
        (*question)();
        std::lock_guard<std::mutex> lock(m_lock);
        m_question = nullptr;
        m_answered.notify_all();
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
            // libcups asks for a password by this thread's own callback,
            // else on the terminal the program was started from.
            printlogin::answerOnThisThread();
            task->call();
            std::lock_guard<std::mutex> lock(m_lock);
            task->done = true;
            m_done.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_wake, m_done, m_answered;
    std::deque<std::shared_ptr<Task>> m_tasks;
    const std::function<void()>* m_question = nullptr;  // the running task's, for the user-interface thread
    bool m_taken = false;
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
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<printscheduler::WaitNote> note;
    bool noted = false;  // made (a program without one waits without a word)
    for (;;) {
        switch (worker().waitFor(posted, StepMs)) {
        case Worker::Wake::Done: return;
        case Worker::Wake::Question:
            note.reset();
            noted = false;
            worker().answer();
            clock.start();  // the rest of the wait is noted as a wait of its own
            break;
        case Worker::Wake::Waiting:
            if (!noted)
                note = printscheduler::newWaitNote(), noted = true;
            if (note)
                note->keepShown(clock.elapsed());
            break;
        }
    }
}

void onUserInterfaceThread(const std::function<void()>& call)
{
    worker().ask(call);
}

}  // namespace platform::printworker
