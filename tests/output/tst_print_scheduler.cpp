// The printer commands with the print scheduler that CUPS_SERVER names:
// one that takes the connection and never answers freezes nothing (a
// stored drawing opens, the dialogs open, a PDF file prints, a print to a
// queue is told the printers can't be reached), one that refuses is as
// fast as none, and one that answers still lists its queue. No test
// printers: every question goes through Qt and libcups to the socket.

#include "tests/editor/editorfixture.h"

#include "output/dlgPrinter.h"
#include "platform/printer.h"
#include "platform/printqueue.h"
#include "platform/printscheduler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

#include <cups/cups.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace editortest;
using PrintDialogAnswer = platform::ScriptedUserInterface::PrintDialogAnswer;

namespace {

// Longer than the program may keep the user waiting; far shorter than
// libcups' own wait for an answer (a minute, retried).
constexpr qint64 BoundMs = 10000;

const QString Unreachable = QStringLiteral(
    "プリンタに接続できません。印刷サーバーが応答していません。\r\n"
    "しばらくしてから、もう一度印刷してください。\r\n"
    "PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。");

PrintDialogAnswer toPdf(const QString& path)
{
    return [=](QPrinter& device, QString&) {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(path);
    };
}

// A socket listening on a free port of 127.0.0.1 (-1 on failure). The
// kernel takes connections to it whether or not anyone accepts them.
int listening(quint16& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

void useScheduler(quint16 port)
{
    qputenv("CUPS_SERVER", QByteArrayLiteral("127.0.0.1:") + QByteArray::number(port));
    platform::printscheduler::forget();
}

// A scheduler with one queue, "Queue-1", taking jobs: it answers every
// HTTP request, and the IPP listing and attribute requests with the queue,
// each connection on a thread of its own (libcups keeps one open).
class AnsweringScheduler {
public:
    AnsweringScheduler()
    {
        m_fd = listening(m_port);
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

private:
    bool readable(int fd)
    {
        pollfd p{fd, POLLIN, 0};
        while (!m_stop)
            if (::poll(&p, 1, 50) > 0)
                return true;
        return false;
    }

    void acceptLoop()
    {
        while (readable(m_fd)) {
            const int client = ::accept(m_fd, nullptr, nullptr);
            if (client >= 0)
                m_threads.emplace_back([this, client] { serve(client); });
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
            qsizetype length = 0;
            if (const qsizetype at = head.indexOf("content-length:"); at >= 0)
                length = head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toLongLong();
            if (head.contains("expect: 100-continue"))
                send(fd, "HTTP/1.1 100 Continue\r\n\r\n");
            while (in.size() < end + 4 + length) {
                const ssize_t n = readable(fd) ? ::read(fd, buffer, sizeof buffer) : 0;
                if (n <= 0)
                    return (void)::close(fd);
                in.append(buffer, n);
            }
            const QByteArray body = in.mid(end + 4, length);
            in.remove(0, end + 4 + length);
            if (head.startsWith("post")) {
                const QByteArray answer = ippAnswer(body);
                send(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: "
                             + QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
            } else {
                send(fd, head.startsWith("options") ? "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"
                                                    : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
            }
        }
        ::close(fd);
    }

    static void send(int fd, const QByteArray& data) { (void)!::write(fd, data.constData(), size_t(data.size())); }

    QByteArray ippAnswer(const QByteArray& body)
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
        if (op == IPP_OP_CUPS_GET_PRINTERS || op == IPP_OP_CUPS_GET_DEFAULT || op == IPP_OP_GET_PRINTER_ATTRIBUTES) {
            const QByteArray uri = "ipp://127.0.0.1:" + QByteArray::number(m_port) + "/printers/Queue-1";
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Queue-1");
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr, uri.constData());
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, "file:///dev/null");
            ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-type", CUPS_PRINTER_LOCAL);
            ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
            ippAddBoolean(response, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons", nullptr, "none");
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

    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_accepting;
    std::vector<std::thread> m_threads;  // one a connection, added by the accepting thread only
};

}  // namespace

class TestPrintScheduler : public QObject {
    Q_OBJECT

    editortest::Session m_session;

    frmEdit& openStored()
    {
        writePicture(m_session.fx->dir.path(), QStringLiteral("map.bmp"), QSize(400, 300));
        m_session.fx->storeDrawing(QStringLiteral("P-1"), m_session.fx->dir.path(), QStringLiteral("map.bmp"));
        return Fixture::open();
    }

    // Each command the user gives, timed: the drawing opens, the print
    // dialog opens, a PDF file prints, a print to a queue is refused with
    // `queueBox`, and the printer set-up and the driver's defaults open.
    void everyCommand(qint64 boundMs, const QString& queueBox)
    {
        auto& ui = *m_session.quiet;
        QElapsedTimer clock;
        const auto within = [&](const char* what) {
            QVERIFY2(clock.elapsed() < boundMs, qPrintable(QStringLiteral("%1: %2 ms").arg(what).arg(clock.elapsed())));
            clock.start();
        };
        clock.start();
        frmEdit& e = openStored();
        QVERIFY(e.pictOrg->hasPicture());
        within("opening a stored drawing");
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        within("the print dialog");
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        ui->answerPrinter(toPdf(pdf));
        d.cmdPrint_Click();
        QVERIFY(QFile::exists(pdf));
        within("a PDF print");
        const int boxes = ui->count();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes + 1);
        QCOMPARE(ui->last().prompt, queueBox);
        QCOMPARE(ui->last().title, QStringLiteral("印刷"));
        QVERIFY(platform::CurrentPrinter().sheets().empty());
        within("a print to a queue");
        ui->answerPrinter(std::nullopt);
        e.mnuSetPrinter_Click();
        ui->answerMsgBox(vb::vbYes);
        ui->answerPrinter(std::nullopt);
        e.mnuSetPrinterD_Click();
        within("the printer set-up and the driver's defaults");
    }

private slots:
    void init()
    {
        QVERIFY(m_session.begin());
        GE_lngPlatformId = 2;
    }

    void cleanup()
    {
        if (dlgPrinter* d = platform::Instance<dlgPrinter>::pointer())
            d->unload();
        QVERIFY((*m_session.quiet)->allAnswered());
        if (frmEdit* e = platform::Instance<frmEdit>::pointer())
            e->booDrawChange = e->booPrtChange = false;
        m_session.end();
        qunsetenv("CUPS_SERVER");
        platform::printscheduler::forget();
    }

    void silentSchedulerFreezesNothing()
    {
        quint16 port = 0;
        const int silent = listening(port);  // takes connections, never answers
        QVERIFY(silent >= 0);
        useScheduler(port);
        everyCommand(BoundMs, Unreachable);
        QVERIFY(platform::printscheduler::setAside());
        ::close(silent);
    }

    // Refused at once, as with no scheduler running: no wait, and the print
    // without a file is told there is no printer, as before.
    void refusingSchedulerStaysFast()
    {
        quint16 port = 0;
        const int closed = listening(port);
        QVERIFY(closed >= 0);
        ::close(closed);  // nothing listens there now
        useScheduler(port);
        everyCommand(3000, QStringLiteral("印刷できるプリンタがありません。\r\n"
                                          "印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定してください。"));
        QVERIFY(!platform::printscheduler::setAside());
    }

    // The guard doesn't stand between an answering scheduler and Qt's
    // listing or the queue check.
    void answeringSchedulerListsItsQueue()
    {
        AnsweringScheduler scheduler;
        QVERIFY(scheduler.port() != 0);
        useScheduler(scheduler.port());
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(platform::Printers::names().contains(QStringLiteral("Queue-1")),
                 qPrintable(platform::Printers::names().join(u',')));
        const auto state = platform::printqueue::state(QStringLiteral("Queue-1"));
        QVERIFY(state && state->accepting && !state->stopped);
        QVERIFY(platform::printqueue::confirmAccepting(QStringLiteral("Queue-1")));
        QVERIFY(!platform::printscheduler::setAside());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestPrintScheduler)
#include "tst_print_scheduler.moc"
