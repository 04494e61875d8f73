#pragma once
// Print schedulers for the tests, on sockets of this machine: one that
// takes connections and never answers, and one that answers as CUPS does
// for the test's queues. Every question the program asks goes through Qt
// and libcups to the socket, so the program's own waits are what is tested.

#include "app/types.h"
#include "platform/printjob.h"
#include "platform/printlogin.h"
#include "platform/printscheduler.h"
#include "platform/printservice.h"
#include "platform/printwaits.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QtGlobal>

#include <atomic>
#include <ctime>
#include <utility>
#include <map>
#include <mutex>
#include <chrono>
#include <thread>
#include <vector>

#include <cups/cups.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace printtest {

// The printer code's waits in the tests that set them: a scheduler's
// silence is given up after a second and a half where the user waits ten,
// and the note shows after a tenth of a second. Its verdict stands as long
// as the program's, so that a command's questions are asked as the user's
// are.
inline platform::PrintWaits testWaits()
{
    platform::PrintWaits waits;
    waits.answerMs = waits.handOverMs = 1500;
    waits.noteAfterMs = 100;
    return waits;
}

// Longer than the program waits for a first answer (testWaits()); far
// shorter than libcups' own wait for one (a minute, retried). The same with
// the program's own waits (ten seconds).
constexpr qint64 BoundMs = 6000;
constexpr qint64 RealBoundMs = 14000;

inline qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A socket listening on a free port of 127.0.0.1, or of the address given
// (-1 on failure); on `port` itself when it is not 0. The kernel takes connections to it whether or not anyone
// accepts them.
inline int listening(quint16& port, quint32 at = INADDR_LOOPBACK)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    // A scheduler started again takes the port it had, whose connections
    // may still be closing.
    const int reuse = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(at);
    address.sin_port = htons(port);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Has the program (libcups, through the scheduler's check) ask the scheduler on `port`.
inline void useScheduler(quint16 port)
{
    qputenv("CUPS_SERVER", QByteArrayLiteral("127.0.0.1:") + QByteArray::number(port));
    platform::printscheduler::forget();
    platform::printservice::forget();
    platform::printjob::forgetUnsettled();
    platform::printlogin::forget();
}

// A drawing's printer settings on one of the answering scheduler's queues,
// as the editor saves them: the queue's A4.
inline typPrinter queueRow(const QString& queue)
{
    typPrinter row;
    row.strDeviceName = queue;
    row.strFormName = QStringLiteral("A4");
    row.intPaperSize = 9, row.intOrientation = 1, row.intScaleMode = 6, row.intZoom = 100;
    row.intColorMode = 2, row.intDuplex = 1, row.intPrintQuality = 1200, row.intPaperBin = 1;
    row.sngWidth = 11905.5f, row.sngHeight = 16837.8f, row.sngScaleWidth = 197.2f, row.sngScaleHeight = 284.3f;
    row.sngPaperWidth = row.sngWidth * 100, row.sngPaperLength = row.sngHeight * 100;
    return row;
}

// A scheduler that takes connections and never answers, until the test's
// bound for the step passes: then it closes, and any question still held
// ends.
class SilentScheduler {
public:
    explicit SilentScheduler(qint64 boundMs = BoundMs)
    {
        m_fd = listening(m_port);
        holdFor(boundMs);
        m_watch = std::thread([this] {
            while (!m_stop && nowMs() < m_until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::close(m_fd);  // resets the connections it held
        });
    }
    ~SilentScheduler()
    {
        m_stop = true;
        m_watch.join();
    }
    quint16 port() const { return m_port; }
    void holdFor(qint64 ms) { m_until = nowMs() + ms; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<qint64> m_until{0};
    std::atomic<bool> m_stop{false};
    std::thread m_watch;
};

// What a queue's description gives: its default paper of the two it
// offers (A4, A3), and its unprintable edges in points, at the sides and at
// the top and bottom (not whole where a driver gives them in millimetres).
struct QueueSheet {
    QByteArray paper = "A4";
    double side = 18;
    double ends = 36;
    // An option of the queue's own, offered among the printer properties:
    // MediaType, Plain by default, or Glossy.
    bool mediaType = false;
};

// The queue's description.
inline QByteArray queuePpd(const QueueSheet& sheet = {})
{
    const auto area = [&](int width, int length) {
        return QByteArray::number(sheet.side) + ' ' + QByteArray::number(sheet.ends) + ' '
               + QByteArray::number(width - sheet.side) + ' ' + QByteArray::number(length - sheet.ends);
    };
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"QUEUE1.PPD\"\n"
           "*Manufacturer: \"Test\"\n*Product: \"(Queue)\"\n*ModelName: \"Queue\"\n"
           "*ShortNickName: \"Queue\"\n*NickName: \"Queue\"\n*PSVersion: \"(3010.000) 0\"\n"
           "*LanguageLevel: \"3\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n"
           "*OpenUI *PageSize: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n*DefaultPageSize: "
           + sheet.paper + "\n*PageSize A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
           "*PageSize A3: \"<</PageSize[842 1191]>>setpagedevice\"\n*CloseUI: *PageSize\n"
           "*OpenUI *PageRegion: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n"
           "*DefaultPageRegion: " + sheet.paper + "\n*PageRegion A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
           "*PageRegion A3: \"<</PageSize[842 1191]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
           "*DefaultImageableArea: " + sheet.paper + "\n*ImageableArea A4: \"" + area(595, 842) + "\"\n"
           "*ImageableArea A3: \"" + area(842, 1191) + "\"\n*DefaultPaperDimension: " + sheet.paper + "\n"
           "*PaperDimension A4: \"595 842\"\n*PaperDimension A3: \"842 1191\"\n"
           + (sheet.mediaType ? QByteArray("*OpenUI *MediaType/Media Type: PickOne\n"
                                           "*OrderDependency: 10 AnySetup *MediaType\n*DefaultMediaType: Plain\n"
                                           "*MediaType Plain/Plain: \"\"\n*MediaType Glossy/Glossy: \"\"\n"
                                           "*CloseUI: *MediaType\n")
                              : QByteArray());
}

// A scheduler with two queues taking jobs, "Queue-1" (the default) and
// "Queue-2": it answers every HTTP request, the IPP listing and attribute
// requests with its queues, takes jobs (noting the queue each went to), and
// gives the queues' description; each connection on a thread of its own
// (libcups keeps one open). Each answer may be held back a while, as a busy
// server or a slow link does, and the scheduler may stop answering: it then
// holds each question until the given time and drops the connection. It
// listens on 127.0.0.1, or on the address given and names itself `host`.
class AnsweringScheduler {
public:
    explicit AnsweringScheduler(qint64 delayMs = 0, quint32 at = INADDR_LOOPBACK,
                                const QByteArray& host = "127.0.0.1")
        : m_delayMs(delayMs), m_host(host), m_at(at)
    {
        m_fd = listening(m_port, at);
        if (m_fd < 0)
            return;
        m_accepting = std::thread([this] { acceptLoop(); });
    }
    ~AnsweringScheduler()
    {
        m_stop = true;
        if (m_accepting.joinable())
            m_accepting.join();
        for (std::thread& t : m_threads)
            t.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    quint16 port() const { return m_port; }
    // Silent for `forMs`, or until it answers again; a question it held
    // then ends with the connection dropped.
    void stopAnswering(qint64 forMs) { m_silentUntil = nowMs() + forMs; }
    void answerAgain() { m_silentUntil = 0; }
    // Stops as a scheduler shut down does: the connections open are dropped
    // and new ones refused, until it is started again on the same port.
    void stop()
    {
        m_down = true;
        while (m_listening)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // False when the port could not be had again.
    bool start()
    {
        m_down = false;
        while (!m_listening && !m_lost)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return m_listening;
    }
    void setDelay(qint64 ms) { m_delayMs = ms; }
    // What the queue's description gives from now on.
    void setSheet(const QByteArray& queue, const QueueSheet& sheet)
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        m_sheets[queue.toLower()] = sheet;
    }
    // The requests it was asked since it started or was last asked this.
    int takeRequests() { return m_requests.exchange(0); }
    // The queues the jobs it took went to, in order.
    QByteArrayList jobs() const
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        return m_jobs;
    }
    // What came with each job it took, in the same order: its attributes
    // (name and value as text) and its document; its name and user, and
    // whether it was cancelled.
    struct Delivered {
        std::map<QByteArray, QByteArray> attributes;
        QByteArray document;
        QByteArray name;
        QByteArray user;     // the name its request was authorized with, else the requesting user's
        qint64 created = 0;  // seconds since the epoch, as the scheduler's clock says
        QByteArray uuid;     // as its request gave it, else the scheduler's own
        bool cancelled = false;
    };
    std::vector<Delivered> delivered() const
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        return m_delivered;
    }
    // From now on a job's requests (its creation, print, document), or
    // every IPP request, must carry this name and password (Basic), as a
    // queue or a server whose policy wants an account: others are answered
    // 401, asking for them.
    void requireLogin(const QByteArray& user, const QByteArray& password, bool everyRequest = false)
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        m_login = user + ':' + password;
        m_loginEverywhere = everyRequest;
        m_loginToCancelOnly = false;
    }
    // From now on only cancelling a job must carry this name and password,
    // as a server whose policy lets anyone print but only the owner cancel.
    void requireLoginToCancel(const QByteArray& user, const QByteArray& password)
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        m_login = user + ':' + password;
        m_loginEverywhere = false;
        m_loginToCancelOnly = true;
    }
    // How many requests carrying a document (of more than 2 KB) it refused
    // for want of the name and password.
    int documentsRefused() const { return m_documentsRefused; }
    // A scheduler that gives each job a job-uuid of its own, whatever the
    // request gave.
    void dropJobUuids() { m_dropUuids = true; }
    // Refuses every connection from now on, as a scheduler that stopped
    // does; the port stays its own.
    void refuse() { stop(); }

    // Each job operation it was asked (making, sending to, cancelling a job,
    // listing jobs), in order: the operation, the job's number (the one it
    // made, or the one named) and the operation attributes as text.
    struct Operation {
        int op = 0;
        int job = 0;
        std::map<QByteArray, QByteArray> attributes;
        QByteArray operator[](const char* name) const
        {
            const auto it = attributes.find(name);
            return it == attributes.end() ? QByteArray() : it->second;
        }
    };
    std::vector<Operation> operations() const
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        return m_operations;
    }
    // How the next request that carries a document (one of more than 2 KB)
    // fails. Paused: the whole scheduler stops for `ms`, as a process
    // stopped does (its connections held by the kernel), then carries out
    // what it holds: at the request's head, before it lets the client send
    // the document, or with the whole document in hand. Silent in the
    // document: it reads the request's start and nothing more on that
    // connection, which it drops after `ms`, making no job. Cut in the
    // document: it drops the connection there. Cut at the answer: it reads
    // the whole request and makes the job, and drops the connection
    // instead of answering; then silent: the same, and it answers nothing
    // more for `ms`.
    enum class JobFault { None, PausedAtHead, Paused, SilentInDocument, CutInDocument, CutAtAnswer, CutAtAnswerThenSilent };
    void failNextJob(JobFault fault, qint64 ms = BoundMs)
    {
        m_faultMs = ms;
        m_fault = fault;
    }
    // Until when the scheduler is paused (waiting for it lets the test see
    // what it carried out).
    void waitWhilePaused() const
    {
        while (!m_stop && nowMs() < m_pausedUntil)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The same while it answers nothing.
    void waitWhileSilent() const
    {
        while (!m_stop && nowMs() < m_silentUntil)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

private:
    // Holds an answer back; false when the scheduler stopped answering.
    bool holdBack()
    {
        for (const qint64 until = nowMs() + m_delayMs; !m_stop && nowMs() < until;)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (nowMs() >= m_silentUntil)
            return true;
        while (!m_stop && nowMs() < m_silentUntil)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return false;
    }

    // Reads until the buffer holds `size` bytes; false at the connection's end.
    bool fill(int fd, QByteArray& in, qsizetype size)
    {
        char buffer[4096];
        while (in.size() < size) {
            const ssize_t n = readable(fd) ? ::read(fd, buffer, sizeof buffer) : 0;
            if (n <= 0)
                return false;
            in.append(buffer, n);
        }
        return true;
    }

    // Reads a chunked body into `body`; false at the connection's end.
    bool fillChunked(int fd, QByteArray& in, QByteArray& body)
    {
        for (;;) {
            qsizetype line;
            while ((line = in.indexOf("\r\n")) < 0)
                if (!fill(fd, in, in.size() + 1))
                    return false;
            const qsizetype size = in.left(line).split(';').value(0).trimmed().toLongLong(nullptr, 16);
            in.remove(0, line + 2);
            if (!fill(fd, in, size + 2))
                return false;
            body.append(in.left(size));
            in.remove(0, size + 2);
            if (size == 0)
                return true;
        }
    }

    bool readable(int fd)
    {
        pollfd p{fd, POLLIN, 0};
        while (!m_stop && !m_down)
            if (::poll(&p, 1, 50) > 0)
                return true;
        return false;
    }

    void acceptLoop()
    {
        for (;;) {
            while (readable(m_fd)) {
                const int client = ::accept(m_fd, nullptr, nullptr);
                if (client >= 0)
                    m_threads.emplace_back([this, client] { serve(client); });
            }
            if (m_stop || !m_down)
                return;
            // Stopped: the port refuses connections until started again.
            ::close(m_fd);
            m_fd = -1;
            m_listening = false;
            while (m_down && !m_stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (m_stop)
                return;
            quint16 port = m_port;
            m_fd = listening(port, m_at);
            if (m_fd < 0 || port != m_port) {
                m_lost = true;
                return;
            }
            m_listening = true;
        }
    }

    void serve(int fd)
    {
        QByteArray in;
        char buffer[4096];
        for (;;) {
            const qsizetype end = in.indexOf("\r\n\r\n");
            if (end < 0) {
                const ssize_t n = readable(fd) ? ::read(fd, buffer, sizeof buffer) : 0;
                if (n <= 0)
                    break;
                in.append(buffer, n);
                continue;
            }
            const QByteArray head = in.left(end).toLower();
            // The credentials as sent (the head is compared in lower case).
            QByteArray login;
            if (const qsizetype at = head.indexOf("\r\nauthorization: basic "); at >= 0) {
                const qsizetype to = head.indexOf('\r', at + 2);
                login = QByteArray::fromBase64(in.mid(at + 23, (to < 0 ? end : to) - at - 23).trimmed());
            }
            ++m_requests;
            qsizetype length = 0;
            if (const qsizetype at = head.indexOf("content-length:"); at >= 0)
                length = head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toLongLong();
            waitWhilePaused();
            in.remove(0, end + 4);
            const JobFault fault = head.startsWith("post") && !asksLogin(head, login) ? faultFor(fd, head, length) : JobFault::None;
            if (fault == JobFault::CutInDocument) {
                fill(fd, in, 8);
                return (void)::close(fd);
            }
            if (fault == JobFault::SilentInDocument) {
                for (const qint64 until = nowMs() + m_faultMs; !m_stop && nowMs() < until;)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return (void)::close(fd);
            }
            QByteArray body;
            if (head.contains("transfer-encoding: chunked")) {
                if (!fillChunked(fd, in, body))
                    return (void)::close(fd);
            } else {
                if (!fill(fd, in, length))
                    return (void)::close(fd);
                body = in.left(length);
                in.remove(0, length);
            }
            // A name and password it wants and doesn't get are asked for at
            // once, as a server's policy does before any work.
            if (!asksLogin(head, login) && !holdBack())
                return (void)::close(fd);
            if (fault == JobFault::Paused)
                m_pausedUntil = nowMs() + m_faultMs;
            waitWhilePaused();
            if (head.startsWith("post")) {
                const QByteArray answer = ippAnswer(body, login);
                if (fault == JobFault::CutAtAnswerThenSilent)
                    m_silentUntil = nowMs() + m_faultMs;
                if (fault == JobFault::CutAtAnswer || fault == JobFault::CutAtAnswerThenSilent)
                    return (void)::close(fd);
                if (answer.isEmpty() && body.size() > 2048)
                    ++m_documentsRefused;
                if (answer.isEmpty())
                    send(fd, "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\"\r\n"
                             "Content-Length: 0\r\n\r\n");
                else
                    send(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: "
                             + QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
            } else if (head.startsWith("get /printers/queue-1.ppd") || head.startsWith("get /printers/queue-2.ppd")) {
                const QByteArray ppd = queuePpd(sheet(head.mid(14, 7)));
                send(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/vnd.cups-ppd\r\nContent-Length: "
                             + QByteArray::number(ppd.size()) + "\r\n\r\n" + ppd);
            } else {
                send(fd, head.startsWith("options") ? "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"
                                                    : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
            }
        }
        ::close(fd);
    }

    bool asksLogin(const QByteArray& head, const QByteArray& login) const
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        return head.startsWith("post") && m_loginEverywhere && !m_login.isEmpty() && login != m_login;
    }

    QueueSheet sheet(const QByteArray& queue) const
    {
        std::lock_guard<std::mutex> lock(m_jobsLock);
        const auto it = m_sheets.find(queue);
        return it == m_sheets.end() ? QueueSheet() : it->second;
    }

    // A connection the client has left may be answered (a paused scheduler
    // carrying out what it held): no SIGPIPE.
    static void send(int fd, const QByteArray& data)
    {
        (void)!::send(fd, data.constData(), size_t(data.size()), MSG_NOSIGNAL);
    }

    // The fault armed for a request that carries a document, taken by the
    // first such request; the client is let send its document unless the
    // scheduler pauses first.
    JobFault faultFor(int fd, const QByteArray& head, qsizetype length)
    {
        JobFault taken = m_fault;
        if (taken == JobFault::None || length <= 2048 || !m_fault.compare_exchange_strong(taken, JobFault::None))
            taken = JobFault::None;
        if (taken == JobFault::PausedAtHead) {
            m_pausedUntil = nowMs() + m_faultMs;
            waitWhilePaused();
        }
        if (head.contains("expect: 100-continue"))
            send(fd, "HTTP/1.1 100 Continue\r\n\r\n");
        return taken;
    }

    // Empty when the request wants a name and password it doesn't carry.
    QByteArray ippAnswer(const QByteArray& body, const QByteArray& login)
    {
        struct Cursor {
            const QByteArray* data;
            qsizetype at;
        } cursor{&body, 0};
        const auto readIpp = [](void* c, ipp_uchar_t* to, size_t bytes) -> ssize_t {
            auto* cur = static_cast<Cursor*>(c);
            const qsizetype n = qMin(qsizetype(bytes), cur->data->size() - cur->at);
            memcpy(to, cur->data->constData() + cur->at, size_t(n));
            cur->at += n;
            return n;
        };
        ipp_t* request = ippNew();
        ippReadIO(&cursor, readIpp, 1, nullptr, request);
        ipp_t* response = ippNewResponse(request);
        const ipp_op_t op = ippGetOperation(request);
        const char* uri = ippGetString(ippFindAttribute(request, "printer-uri", IPP_TAG_URI), 0, nullptr);
        const QByteArray named = uri ? QByteArray(uri).mid(QByteArray(uri).lastIndexOf('/') + 1) : QByteArray();
        const QByteArray queue = named.compare("Queue-2", Qt::CaseInsensitive) == 0   ? "Queue-2"
                                 : named.compare("Queue-1", Qt::CaseInsensitive) == 0 ? "Queue-1"
                                                                                      : QByteArray();
        {
            std::lock_guard<std::mutex> lock(m_jobsLock);
            const bool job = m_loginToCancelOnly
                                 ? op == IPP_OP_CANCEL_JOB
                                 : op == IPP_OP_CREATE_JOB || op == IPP_OP_PRINT_JOB || op == IPP_OP_SEND_DOCUMENT;
            if ((job || m_loginEverywhere) && !m_login.isEmpty() && login != m_login)
                return ippDelete(request), ippDelete(response), QByteArray();
        }
        if (op == IPP_OP_CUPS_GET_PRINTERS) {
            describe(response, "Queue-1");
            ippAddSeparator(response);
            describe(response, "Queue-2");
        } else if (op == IPP_OP_CUPS_GET_DEFAULT) {
            describe(response, "Queue-1");
        } else if (op == IPP_OP_GET_PRINTER_ATTRIBUTES && !queue.isEmpty()) {
            describe(response, queue);
        } else if ((op == IPP_OP_CREATE_JOB || op == IPP_OP_PRINT_JOB) && !queue.isEmpty()) {
            int id = 0;
            {
                std::lock_guard<std::mutex> lock(m_jobsLock);
                m_jobs.append(queue);
                id = int(m_jobs.size());
                record(request, op, id);
                Delivered job;
                job.name = m_operations.back()["job-name"];
                job.user = login.isEmpty() ? m_operations.back()["requesting-user-name"] : login.left(login.indexOf(':'));
                job.created = qint64(::time(nullptr));
                job.uuid = m_dropUuids ? QByteArray() : m_operations.back()["job-uuid"];
                if (job.uuid.isEmpty())
                    job.uuid = "urn:uuid:00000000-0000-3000-8000-" + QByteArray::number(id).rightJustified(12, '0');
                for (ipp_attribute_t* a = ippFirstAttribute(request); a; a = ippNextAttribute(request)) {
                    char value[1024];
                    if (ippGetGroupTag(a) == IPP_TAG_JOB && ippGetName(a)) {
                        ippAttributeString(a, value, sizeof value);
                        job.attributes[ippGetName(a)] = value;
                    }
                }
                if (op == IPP_OP_PRINT_JOB)
                    job.document = body.mid(cursor.at);
                m_delivered.push_back(job);
            }
            ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", id);
            ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", IPP_JSTATE_PENDING);
        } else if (op == IPP_OP_SEND_DOCUMENT) {
            {
                std::lock_guard<std::mutex> lock(m_jobsLock);
                const int id = ippGetInteger(ippFindAttribute(request, "job-id", IPP_TAG_INTEGER), 0);
                record(request, op, id);
                if (id >= 1 && size_t(id) <= m_delivered.size())
                    m_delivered[size_t(id) - 1].document += body.mid(cursor.at);
            }
            ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", IPP_JSTATE_PENDING);
        } else if (op == IPP_OP_CANCEL_JOB) {
            std::lock_guard<std::mutex> lock(m_jobsLock);
            const int id = ippGetInteger(ippFindAttribute(request, "job-id", IPP_TAG_INTEGER), 0);
            record(request, op, id);
            if (id < 1 || size_t(id) > m_delivered.size())
                ippSetStatusCode(response, IPP_STATUS_ERROR_NOT_FOUND);
            else if (std::exchange(m_delivered[size_t(id) - 1].cancelled, true))
                ippSetStatusCode(response, IPP_STATUS_ERROR_NOT_POSSIBLE);
        } else if (op == IPP_OP_GET_JOBS && !queue.isEmpty()) {
            // The queue's jobs not cancelled (none ever completes), the
            // user's own when asked so.
            std::lock_guard<std::mutex> lock(m_jobsLock);
            record(request, op, 0);
            // The user it knows by the name and password, as a server that asked for them does.
            const QByteArray user = login.isEmpty() ? m_operations.back()["requesting-user-name"] : login.left(login.indexOf(':'));
            const bool mine = m_operations.back()["my-jobs"] == "true";
            for (size_t i = 0; i < m_delivered.size(); ++i) {
                const Delivered& job = m_delivered[i];
                if (m_jobs.at(qsizetype(i)) != queue || job.cancelled || (mine && job.user != user))
                    continue;
                ippAddSeparator(response);
                ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", int(i + 1));
                ippAddString(response, IPP_TAG_JOB, IPP_TAG_NAME, "job-name", nullptr, job.name.constData());
                ippAddString(response, IPP_TAG_JOB, IPP_TAG_URI, "job-uuid", nullptr, job.uuid.constData());
                ippAddString(response, IPP_TAG_JOB, IPP_TAG_NAME, "job-originating-user-name", nullptr,
                             job.user.constData());
                ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", IPP_JSTATE_PENDING);
                ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "time-at-creation", int(job.created));
                ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-printer-up-time", int(::time(nullptr)));
            }
        } else {
            ippSetStatusCode(response, IPP_STATUS_ERROR_NOT_FOUND);
        }
        QByteArray out;
        const auto writeIpp = [](void* to, ipp_uchar_t* from, size_t bytes) -> ssize_t {
            static_cast<QByteArray*>(to)->append(reinterpret_cast<const char*>(from), qsizetype(bytes));
            return ssize_t(bytes);
        };
        ippWriteIO(&out, writeIpp, 1, nullptr, response);
        ippDelete(request);
        ippDelete(response);
        return out;
    }

    // Notes a job operation with its operation attributes (under m_jobsLock).
    void record(ipp_t* request, ipp_op_t op, int job)
    {
        Operation done{int(op), job, {}};
        for (ipp_attribute_t* a = ippFirstAttribute(request); a; a = ippNextAttribute(request)) {
            char value[1024];
            if (ippGetGroupTag(a) == IPP_TAG_OPERATION && ippGetName(a)) {
                ippAttributeString(a, value, sizeof value);
                done.attributes[ippGetName(a)] = value;
            }
        }
        m_operations.push_back(std::move(done));
    }

    void describe(ipp_t* response, const QByteArray& queue)
    {
        const QByteArray uri = "ipp://" + m_host + ":" + QByteArray::number(m_port) + "/printers/" + queue;
        ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, queue.constData());
        ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr, uri.constData());
        ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, "file:///dev/null");
        ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-type", CUPS_PRINTER_LOCAL);
        ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
        ippAddBoolean(response, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
        ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons", nullptr, "none");
    }

    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<qint64> m_delayMs;
    const QByteArray m_host;
    const quint32 m_at;
    std::atomic<bool> m_down{false}, m_listening{true}, m_lost{false};
    mutable std::mutex m_jobsLock;
    QByteArrayList m_jobs;
    std::map<QByteArray, QueueSheet> m_sheets;  // by the queue's name in lower case, under m_jobsLock
    std::vector<Delivered> m_delivered;
    std::vector<Operation> m_operations;  // under m_jobsLock
    std::atomic<JobFault> m_fault{JobFault::None};
    std::atomic<qint64> m_faultMs{0}, m_pausedUntil{0};
    QByteArray m_login;  // "name:password" a job's requests must carry, under m_jobsLock
    bool m_loginEverywhere = false;  // and every other IPP request, under m_jobsLock
    bool m_loginToCancelOnly = false;  // only a job's cancel, under m_jobsLock
    std::atomic<qint64> m_silentUntil{0};
    std::atomic<int> m_requests{0};
    std::atomic<int> m_documentsRefused{0};
    std::atomic<bool> m_dropUuids{false};
    std::atomic<bool> m_stop{false};
    std::thread m_accepting;
    std::vector<std::thread> m_threads;  // one a connection, added by the accepting thread only
};

}  // namespace printtest
