#include "platform/printjob.h"

#include "platform/printworker.h"

#include <QFile>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

#include <cups/cups.h>

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

// How long a scheduler that answers nothing is waited for, and the steps
// of that wait.
constexpr double StepSeconds = 0.5;
constexpr double SilenceSeconds = 10;

struct Silence {
    double waited = 0;
};

int keepWaiting(http_t* http, void* data)
{
    auto* silence = static_cast<Silence*>(data);
    silence->waited += StepSeconds;
    if (silence->waited < SilenceSeconds)
        return 1;
    // Given up: the connection is closed, so that nothing more waits on it.
    httpShutdown(http);
    return 0;
}

QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// The hand-over itself, on the printer thread: a connection of its own, the
// job created with its options, the document sent, the scheduler's word.
Outcome send(const QByteArray& queue, const QString& pdfFile, const QByteArray& title, const Options& options)
{
    Outcome outcome;
    QFile file(pdfFile);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.reason = file.errorString();
        return outcome;
    }
    int cancel = 0;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                int(SilenceSeconds * 1000), &cancel);
    if (!http) {
        outcome.reached = false;
        outcome.reason = QString::fromLocal8Bit(strerror(errno));
        return outcome;
    }
    Silence silence;
    httpSetTimeout(http, StepSeconds, keepWaiting, &silence);
    std::vector<cups_option_t> list;
    for (const auto& [name, value] : options)
        list.push_back({const_cast<char*>(name.constData()), const_cast<char*>(value.constData())});
    // The job created in one request: libcups' own call asks for the
    // queue's details first, two more round trips.
    const QByteArray resource = "/printers/" + queue;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.constData());
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.constData());
    cupsEncodeOptions2(request, int(list.size()), list.data(), IPP_TAG_OPERATION);
    cupsEncodeOptions2(request, int(list.size()), list.data(), IPP_TAG_JOB);
    ipp_t* response = cupsDoRequest(http, request, resource.constData());
    ipp_status_t status = cupsLastError();
    const int job = response && status < IPP_STATUS_REDIRECTION_OTHER_SITE
                        ? ippGetInteger(ippFindAttribute(response, "job-id", IPP_TAG_INTEGER), 0)
                        : 0;
    ippDelete(response);
    if (job > 0) {
        http_status_t sending = cupsStartDocument(http, queue.constData(), job, title.constData(), CUPS_FORMAT_PDF, 1);
        while (sending == HTTP_STATUS_CONTINUE && !file.atEnd()) {
            const QByteArray chunk = file.read(64 * 1024);
            silence.waited = 0;
            sending = chunk.isEmpty() ? HTTP_STATUS_ERROR
                                      : cupsWriteRequestData(http, chunk.constData(), size_t(chunk.size()));
        }
        silence.waited = 0;
        // A document cut short leaves no answer to wait for.
        status = sending == HTTP_STATUS_CONTINUE ? cupsFinishDocument(http, queue.constData())
                                                 : IPP_STATUS_ERROR_INTERNAL;
    }
    if (job > 0 && status < IPP_STATUS_REDIRECTION_OTHER_SITE) {
        outcome.job = job;
    } else {
        // No answer at all (a connection dropped, a silence) is told apart
        // from the scheduler's own refusal.
        outcome.reached = status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE && status != IPP_STATUS_ERROR_INTERNAL;
        outcome.reason = status == cupsLastError() ? lastError() : QString();
        if (outcome.reason.isEmpty() && httpError(http) != 0)
            outcome.reason = QString::fromLocal8Bit(strerror(httpError(http)));
        if (outcome.reason.isEmpty())
            outcome.reason = QString::fromUtf8(ippErrorString(status));
        // A job created without its document would wait on the queue: it
        // is cancelled where the scheduler still answers within a second.
        if (job > 0) {
            silence.waited = SilenceSeconds - 1;
            cupsCancelJob2(http, queue.constData(), job, 0);
        }
    }
    httpClose(http);
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

}  // namespace platform::printjob
