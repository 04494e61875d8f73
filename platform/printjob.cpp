#include "platform/printjob.h"

#include "platform/printlogin.h"
#include "platform/printwaits.h"
#include "platform/printworker.h"

#include <QFile>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>
#include <QUuid>

#include <cups/cups.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <mutex>

namespace platform::printjob {

namespace {

// The print dialog's choices among the queue's own options (its printer
// properties), as Qt's print engine keeps them: name, value, name, value ...
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The queue description's names of the trays, as Qt reads them into paper
// sources.
QByteArray inputSlotOf(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::Upper: return "Upper";
    case QPrinter::Lower: return "Lower";
    case QPrinter::Middle: return "Middle";
    case QPrinter::Manual: return "Manual";
    case QPrinter::Envelope: return "Envelope";
    case QPrinter::EnvelopeManual: return "EnvelopeManual";
    case QPrinter::Auto: return "Auto";
    case QPrinter::Tractor: return "Tractor";
    case QPrinter::SmallFormat: return "AnySmallFormat";
    case QPrinter::LargeFormat: return "AnyLargeFormat";
    case QPrinter::LargeCapacity: return "LargeCapacity";
    case QPrinter::Cassette: return "Cassette";
    case QPrinter::FormSource: return "FormSource";
    default: return QByteArray();
    }
}

// How long a scheduler that answers nothing is waited for (printwaits.h),
// in steps of at most half a second, a few to a wait however short.
constexpr double StepSeconds = 0.5;

struct Silence {
    double limit = 0;
    double step = StepSeconds;
    double waited = 0;
    bool gaveUp = false;
};

int keepWaiting(http_t* http, void* data)
{
    auto* silence = static_cast<Silence*>(data);
    silence->waited += silence->step;
    if (silence->waited + silence->step / 2 < silence->limit)
        return 1;
    // Given up: the connection is closed, so that nothing more waits on it.
    silence->gaveUp = true;
    httpShutdown(http);
    return 0;
}

// A connection of its own to the scheduler, each request's wait bounded.
class Connection {
public:
    explicit Connection(qint64 limitMs)
    {
        m_silence.limit = limitMs / 1000.0;
        m_silence.step = qMin(StepSeconds, m_silence.limit / 4);
        int cancel = 0;
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, int(limitMs), &cancel);
        m_error = errno;
        if (m_http)
            httpSetTimeout(m_http, m_silence.step, keepWaiting, &m_silence);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { close(); }

    http_t* http() const { return m_http; }
    bool gaveUp() const { return m_silence.gaveUp; }
    // Whether the last request was answered by an HTTP refusal.
    bool refused() const { return m_http && httpGetStatus(m_http) >= HTTP_STATUS_BAD_REQUEST; }
    // Whether it was refused for want of a name and password (none given or taken).
    bool wantsLogin() const
    {
        return m_http
               && (httpGetStatus(m_http) == HTTP_STATUS_UNAUTHORIZED
                   || httpGetStatus(m_http) == HTTP_STATUS_CUPS_AUTHORIZATION_CANCELED);
    }
    void close()
    {
        if (m_http)
            httpClose(m_http);
        m_http = nullptr;
    }
    // The answer, or nullptr when none came.
    ipp_t* ask(ipp_t* request, const char* resource)
    {
        // A question of its own: the name and password libcups was given
        // for the one before were not refused by asking this.
        printlogin::answerOnThisThread();
        printlogin::giveKept(m_http);
        m_silence.waited = 0;
        return cupsDoRequest(m_http, request, resource);
    }
    // The same with the file's content after the request. Each piece the
    // scheduler takes starts the wait anew: a large document on a slow
    // link is still moving. A scheduler that asks who prints (libcups has
    // answered it) is sent the request again, as libcups' own call does.
    ipp_t* askWithFile(ipp_t* request, const char* resource, QFile& file)
    {
        printlogin::answerOnThisThread();
        // The name and password kept go with the document the first time:
        // it is not sent once more only to be refused.
        printlogin::giveKept(m_http);
        ipp_t* response = nullptr;
        // libcups answers each 401 itself (its own ways first, then the
        // program's box, which gives up after its last ask): as many rounds
        // as that takes, with a bound should a scheduler never be content.
        for (int attempt = 0; !response && attempt < 10 && file.seek(0); ++attempt) {
            m_silence.waited = 0;
            http_status_t status =
                cupsSendRequest(m_http, request, resource, ippLength(request) + size_t(file.size()));
            while (status == HTTP_STATUS_CONTINUE && !file.atEnd()) {
                const QByteArray chunk = file.read(64 * 1024);
                m_silence.waited = 0;
                status = chunk.isEmpty() ? HTTP_STATUS_ERROR
                                         : cupsWriteRequestData(m_http, chunk.constData(), size_t(chunk.size()));
            }
            m_silence.waited = 0;
            response = status == HTTP_STATUS_CONTINUE ? cupsGetResponse(m_http, resource) : nullptr;
            // Sent again with the name and password libcups has just been
            // given; not after the user gave none (the status then says so).
            if (httpGetStatus(m_http) != HTTP_STATUS_UNAUTHORIZED)
                break;
        }
        ippDelete(request);
        return response;
    }
    // Why no answer came, in words of its own: libcups' last status may
    // still be an earlier request's success.
    QString noAnswer() const
    {
        const int error = m_http ? httpError(m_http) : m_error;
        if (m_silence.gaveUp || (!m_http && error == 0))
            return QStringLiteral("%1 秒待っても応答がありません").arg(m_silence.limit);
        // Connected, then dropped (a broken pipe, a reset): said as such.
        if (m_http)
            return QStringLiteral("接続が切れました");
        // Not connected: libcups leaves the error of closing its socket
        // (a bad descriptor) after a refusal.
        switch (error) {
        case ECONNREFUSED:
        case EBADF: return QStringLiteral("接続を拒否されました");
        case EHOSTUNREACH:
        case ENETUNREACH: return QStringLiteral("印刷サーバーまで届きません");
        default: return QStringLiteral("接続できませんでした");
        }
    }

private:
    http_t* m_http = nullptr;
    int m_error = 0;
    Silence m_silence;
};

QByteArray printerUri(const QByteArray& queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.constData());
    return uri;
}

// A hand-over whose document went out without the scheduler's answer: the
// scheduler may have made the job (stopped with the request in hand, it
// carries it out when it runs again, whenever that is). The user was told
// the print may not have reached the queue; the job is found by the
// job-uuid that request alone carried, so that no other print is taken for
// it: an earlier one of the same drawing, or one sent meanwhile from
// another copy of the program, another computer or lp.
struct Unsettled {
    QByteArray server;
    int port = 0;
    QByteArray queue, user, uuid, title;
};

std::mutex unsettledLock;
std::vector<Unsettled> unsettled;  // under unsettledLock
std::vector<QByteArray> marks;     // every job-uuid this run gave, under unsettledLock

bool markGiven(const QByteArray& uuid)
{
    std::lock_guard<std::mutex> lock(unsettledLock);
    return std::find(marks.begin(), marks.end(), uuid) != marks.end();
}

// Looks for the job the hand-over may have made and cancels it; false when
// the scheduler didn't answer, or wanted a name and password for the cancel
// it was not given (the cancel stays due). One that refuses to list the
// jobs has answered: nothing is cancelled then. `lost`: no job carried the mark, and
// one of the print's name carried none this run gave, as from a scheduler
// that keeps no job-uuid of the client's: that print may come out.
bool settle(Connection& connection, const Unsettled& u, bool& lost)
{
    const QByteArray uri = printerUri(u.queue);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, u.user.constData());
    ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
    static const char* const wanted[] = {"job-id", "job-uuid", "job-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)),
                  nullptr, wanted);
    ipp_t* response = connection.ask(request, "/");
    if (!response)
        return connection.refused();
    std::vector<int> ours;
    bool unmarked = false;  // a job of the print's name without a mark of this run's
    int id = 0;
    QByteArray uuid, jobName;
    const auto consider = [&] {
        if (id > 0 && uuid == u.uuid)
            ours.push_back(id);
        else if (id > 0 && jobName == u.title && !markGiven(uuid))
            unmarked = true;
        id = 0;
        uuid.clear();
        jobName.clear();
    };
    for (ipp_attribute_t* a = ippFirstAttribute(response);; a = ippNextAttribute(response)) {
        if (!a || !ippGetName(a)) {
            consider();
            if (!a)
                break;
            continue;
        }
        if (ippGetGroupTag(a) != IPP_TAG_JOB)
            continue;
        const QByteArray name = ippGetName(a);
        if (name == "job-id")
            id = ippGetInteger(a, 0);
        else if (name == "job-uuid")
            uuid = ippGetString(a, 0, nullptr);
        else if (name == "job-name")
            jobName = ippGetString(a, 0, nullptr);
    }
    ippDelete(response);
    lost = lost || (ours.empty() && unmarked);
    bool answered = true;
    for (const int job : ours) {
        ipp_t* cancel = ippNewRequest(IPP_OP_CANCEL_JOB);
        ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
        ippAddInteger(cancel, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
        ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, u.user.constData());
        ipp_t* answer = connection.ask(cancel, "/jobs/");
        answered = answered && (answer || (connection.refused() && !connection.wantsLogin()));
        ippDelete(answer);
    }
    return answered;
}

// The earlier hand-overs to this scheduler still to be looked for, settled
// on this connection; false when it stayed silent (the rest wait for the
// next contact, as do those it wanted a name and password for).
bool settleEarlier(Connection& connection, bool& lost)
{
    const QByteArray server = cupsServer();
    const int port = ippPort();
    std::vector<Unsettled> mine;
    {
        std::lock_guard<std::mutex> lock(unsettledLock);
        for (auto it = unsettled.begin(); it != unsettled.end();)
            if (it->server == server && it->port == port) {
                mine.push_back(*it);
                it = unsettled.erase(it);
            } else {
                ++it;
            }
    }
    bool answered = true;
    std::vector<Unsettled> left;
    for (const Unsettled& u : mine) {
        answered = answered && settle(connection, u, lost);
        if (!answered)
            left.push_back(u);
    }
    std::lock_guard<std::mutex> lock(unsettledLock);
    unsettled.insert(unsettled.end(), left.begin(), left.end());
    return answered;
}

// The hand-over itself, on the printer thread: a connection of its own, the
// job with its options and its document in one request, the scheduler's
// word.
Outcome send(const QByteArray& queue, const QString& pdfFile, const QByteArray& title, const Options& options)
{
    Outcome outcome;
    QFile file(pdfFile);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.reason = file.errorString();
        return outcome;
    }
    Connection connection(printWaits().handOverMs);
    if (!connection.http() || !settleEarlier(connection, outcome.lost)) {
        // Refused for want of a name and password: nothing was sent.
        outcome.noLogin = connection.wantsLogin();
        outcome.reached = outcome.noLogin;
        outcome.cut = !outcome.noLogin && connection.http() && !connection.gaveUp();
        outcome.reason = connection.noAnswer();
        return outcome;
    }
    std::vector<cups_option_t> list;
    for (const auto& [name, value] : options)
        list.push_back({const_cast<char*>(name.constData()), const_cast<char*>(value.constData())});
    // The job made in one request: libcups' own call asks for the queue's
    // details first, two more round trips.
    const QByteArray resource = "/printers/" + queue;
    const QByteArray uri = printerUri(queue);
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.constData());
    // The job's own mark, kept by the scheduler as its job-uuid: the job
    // this request made is known by it should the answer not come.
    const QByteArray uuid = "urn:uuid:" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    {
        std::lock_guard<std::mutex> lock(unsettledLock);
        marks.push_back(uuid);
    }
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uuid", nullptr, uuid.constData());
    cupsEncodeOptions2(request, int(list.size()), list.data(), IPP_TAG_OPERATION);
    // The document's format in place of the one libcups puts there (any
    // document, to be typed by the scheduler).
    ippDeleteAttribute(request, ippFindAttribute(request, "document-format", IPP_TAG_ZERO));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_PDF);
    cupsEncodeOptions2(request, int(list.size()), list.data(), IPP_TAG_JOB);
    ipp_t* response = connection.askWithFile(request, resource.constData(), file);
    if (response) {
        const ipp_status_t status = ippGetStatusCode(response);
        const int job = status < IPP_STATUS_REDIRECTION_OTHER_SITE
                            ? ippGetInteger(ippFindAttribute(response, "job-id", IPP_TAG_INTEGER), 0)
                            : 0;
        if (job > 0) {
            outcome.job = job;
        } else {
            const char* message = ippGetString(ippFindAttribute(response, "status-message", IPP_TAG_TEXT), 0, nullptr);
            outcome.reason = QString::fromUtf8(message && *message ? message : ippErrorString(status));
        }
        ippDelete(response);
        return outcome;
    }
    if (connection.refused()) {
        // Still asking for a name and password: none was given, or none taken.
        outcome.noLogin = httpGetStatus(connection.http()) == HTTP_STATUS_UNAUTHORIZED
                          || httpGetStatus(connection.http()) == HTTP_STATUS_CUPS_AUTHORIZATION_CANCELED;
        outcome.reason = QString::fromUtf8(httpStatus(httpGetStatus(connection.http())));
        return outcome;
    }
    // No answer: the whole document may have reached the scheduler all the
    // same. Looked for at once where the connection was dropped (the
    // scheduler may answer a new one), else at the next contact: one
    // silent so long is not waited for again now.
    outcome.reached = false;
    outcome.reason = connection.noAnswer();
    const bool silent = connection.gaveUp();
    outcome.cut = !silent;
    connection.close();
    const Unsettled sent{cupsServer(), ippPort(), queue, cupsUser(), uuid, title};
    if (!silent) {
        Connection again(printWaits().cleanUpMs);
        if (again.http() && settle(again, sent, outcome.lost))
            return outcome;
    }
    outcome.unsettled = true;
    std::lock_guard<std::mutex> lock(unsettledLock);
    unsettled.push_back(sent);
    return outcome;
}

}  // namespace

Options optionsOf(const QPrinter& device, bool binSet)
{
    const QPageLayout layout = device.pageLayout();
    Options options{{"media", layout.pageSize().key().toLocal8Bit()}};
    if (device.copyCount() > 1) {
        options.emplace_back("copies", QByteArray::number(device.copyCount()));
        if (device.collateCopies())
            options.emplace_back("Collate", "True");
    }
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (device.duplex()) {
    case QPrinter::DuplexNone: options.emplace_back("sides", "one-sided"); break;
    case QPrinter::DuplexAuto:
        options.emplace_back("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide: options.emplace_back("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: options.emplace_back("sides", "two-sided-short-edge"); break;
    }
    if (!portrait)
        options.emplace_back("landscape", "");
    // The print dialog's last page first, by the scheduler's own option:
    // Qt's engine leaves it to the program, which draws its sheets in order.
    if (device.pageOrder() == QPrinter::LastPageFirst)
        options.emplace_back("outputorder", "reverse");
    const QStringList chosen =
        const_cast<QPrinter&>(device).printEngine()->property(CupsOptionsKey).toStringList();
    bool slotChosen = false;
    for (qsizetype i = 0; i + 1 < chosen.size(); i += 2) {
        options.emplace_back(chosen.at(i).toLocal8Bit(), chosen.at(i + 1).toLocal8Bit());
        slotChosen = slotChosen || chosen.at(i) == QLatin1String("InputSlot");
    }
    if (const QByteArray slot = inputSlotOf(device.paperSource()); binSet && !slotChosen && !slot.isEmpty())
        options.emplace_back("InputSlot", slot);
    return options;
}

Outcome handOver(const QString& queue, const QString& pdfFile, const QString& title, const Options& options)
{
    const QByteArray name = queue.section(u'/', 0, 0).toLocal8Bit();
    const QByteArray jobTitle = title.toLocal8Bit();
    return printworker::result([&] { return send(name, pdfFile, jobTitle, options); });
}

void forgetUnsettled()
{
    std::lock_guard<std::mutex> lock(unsettledLock);
    unsettled.clear();
}

}  // namespace platform::printjob
