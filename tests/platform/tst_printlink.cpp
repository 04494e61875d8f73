// The print scheduler behind a slow link: the program runs in a network
// namespace of its own whose only way to the scheduler's address is a tun
// device, and a relay on that device holds each packet for half the round
// trip, as the link to a far server does. Every question goes through
// libcups and the kernel's TCP over that link. A server that answers is
// used however far, its queue listed and found taking jobs within about a
// dozen round trips; an address where nothing listens is taken as refusing
// within a few. Root only (the namespace and the device); skipped where
// they can't be made.

#include "platform/printer.h"
#include "platform/printqueue.h"
#include "platform/printscheduler.h"
#include "platform/printwaitnote.h"
#include "tests/support/testscheduler.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <deque>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>

using namespace printtest;

namespace {

// The program's side of the link, and the far side as the program sees it:
// a packet out to the far address comes back in with the two addresses
// swapped, so the scheduler listening on the near address answers a peer
// at the far one. The swap leaves every checksum as it was.
constexpr quint32 Near = 0x0A000001;  // 10.0.0.1
constexpr quint32 Far = 0x0A000101;   // 10.0.1.1
const QByteArray FarHost = "10.0.1.1";

class SlowLink {
public:
    // Moves this thread into a network namespace of its own with the link;
    // false, with the reason, where that can't be done.
    bool open(QString& why)
    {
        if (::geteuid() != 0) {
            why = QStringLiteral("needs root for a network namespace and a tun device");
            return false;
        }
        if (::unshare(CLONE_NEWNET) != 0) {
            why = QStringLiteral("no network namespace: %1").arg(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        m_fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
        ifreq request{};
        request.ifr_flags = IFF_TUN | IFF_NO_PI;
        std::strncpy(request.ifr_name, "slowlink", IFNAMSIZ - 1);
        if (m_fd < 0 || ::ioctl(m_fd, TUNSETIFF, &request) != 0) {
            why = QStringLiteral("no tun device: %1").arg(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        // The near address on the device, its /16 routed through it.
        const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const auto setAddress = [&](unsigned long what, quint32 address) {
            auto* in = reinterpret_cast<sockaddr_in*>(&request.ifr_addr);
            in->sin_family = AF_INET;
            in->sin_addr.s_addr = htonl(address);
            return ::ioctl(control, what, &request) == 0;
        };
        bool up = setAddress(SIOCSIFADDR, Near) && setAddress(SIOCSIFNETMASK, 0xFFFF0000);
        up = up && ::ioctl(control, SIOCGIFFLAGS, &request) == 0;
        request.ifr_flags |= IFF_UP | IFF_RUNNING;
        up = up && ::ioctl(control, SIOCSIFFLAGS, &request) == 0;
        ::close(control);
        if (!up) {
            why = QStringLiteral("the tun device can't be set up: %1").arg(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        m_relay = std::thread([this] { relay(); });
        return true;
    }

    ~SlowLink()
    {
        m_stop = true;
        if (m_relay.joinable())
            m_relay.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    void setRoundTrip(qint64 ms) { m_oneWayMs = ms / 2; }

private:
    void relay()
    {
        struct Held {
            qint64 due;
            QByteArray packet;
        };
        std::deque<Held> held;
        char buffer[65536];
        while (!m_stop) {
            const qint64 now = nowMs();
            while (!held.empty() && held.front().due <= now) {
                (void)!::write(m_fd, held.front().packet.constData(), size_t(held.front().packet.size()));
                held.pop_front();
            }
            const qint64 wait = held.empty() ? 20 : std::clamp<qint64>(held.front().due - now, 0, 20);
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(wait)) <= 0)
                continue;
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n < 20 || (buffer[0] >> 4) != 4)
                continue;  // IPv4 only
            QByteArray packet(buffer, n);
            for (int i = 0; i < 4; ++i)
                std::swap(packet[12 + i], packet[16 + i]);
            held.push_back({nowMs() + m_oneWayMs, packet});
        }
    }

    int m_fd = -1;
    std::atomic<qint64> m_oneWayMs{0};
    std::atomic<bool> m_stop{false};
    std::thread m_relay;
};

}  // namespace

class TestPrintLink : public QObject {
    Q_OBJECT

    SlowLink m_link;
    QString m_why;
    bool m_open = false;

private slots:
    void initTestCase() { m_open = m_link.open(m_why); }

    void cleanup()
    {
        qunsetenv("CUPS_SERVER");
        platform::printscheduler::forget();
        platform::printservice::forget();
        platform::printscheduler::setWaitNote({});
        platform::CurrentPrinter().selectDefault();
    }

    void farServer_data()
    {
        QTest::addColumn<qint64>("roundTripMs");
        QTest::addColumn<bool>("listening");
        QTest::newRow("answering, 0.4 s") << 400LL << true;
        QTest::newRow("answering, 0.7 s") << 700LL << true;
        QTest::newRow("refusing, 0.4 s") << 400LL << false;
        QTest::newRow("refusing, 0.7 s") << 700LL << false;
    }

    void farServer()
    {
        if (!m_open)
            QSKIP(qPrintable(QStringLiteral("no slow link here: ") + m_why));
        QFETCH(qint64, roundTripMs);
        QFETCH(bool, listening);
        m_link.setRoundTrip(roundTripMs);
        std::optional<AnsweringScheduler> scheduler;
        quint16 port = 0;
        if (listening) {
            port = scheduler.emplace(0, Near, FarHost).port();
        } else {
            const int closed = printtest::listening(port, Near);
            QVERIFY(closed >= 0);
            ::close(closed);  // nothing listens there now
        }
        QVERIFY(port != 0);
        qputenv("CUPS_SERVER", FarHost + ':' + QByteArray::number(port));
        platform::printscheduler::forget();
        platform::printservice::forget();
        QElapsedTimer clock;
        clock.start();
        // Either way an answer: nothing is set aside.
        QVERIFY(platform::printscheduler::check());
        QVERIFY(!platform::printscheduler::setAside());
        const QStringList names = platform::Printers::names();
        if (listening) {
            QVERIFY2(names.contains(QStringLiteral("Queue-1")), qPrintable(names.join(u',')));
            const auto state = platform::printqueue::state(QStringLiteral("Queue-1"));
            QVERIFY(state && state->accepting && !state->stopped);
        } else {
            QVERIFY(names.isEmpty());
        }
        const qint64 took = clock.elapsed();
        const qint64 most = (listening ? 12 : 3) * roundTripMs;
        QVERIFY2(took < most, qPrintable(QStringLiteral("%1 ms, %2 round trips").arg(took).arg(double(took) / roundTripMs)));
        // Not faster than the link allows: the questions did cross it.
        QVERIFY2(took >= roundTripMs, qPrintable(QString::number(took)));
        qInfo("%s: %lld ms, %.1f round trips", QTest::currentDataTag(), took, double(took) / roundTripMs);
    }

    // A print to the far queue, as the printer code makes it: the queue
    // read, its device made, asked whether it takes jobs, the sheet drawn
    // and handed over. The window is never held for long (a timer ticking
    // every 50 ms, the largest gap between its ticks), whatever the link
    // costs, and the job arrives.
    void farQueuePrint_data()
    {
        QTest::addColumn<qint64>("roundTripMs");
        QTest::newRow("0.4 s") << 400LL;
        QTest::newRow("0.7 s") << 700LL;
    }

    void farQueuePrint()
    {
        if (!m_open)
            QSKIP(qPrintable(QStringLiteral("no slow link here: ") + m_why));
        QFETCH(qint64, roundTripMs);
        m_link.setRoundTrip(roundTripMs);
        AnsweringScheduler scheduler(0, Near, FarHost);
        QVERIFY(scheduler.port() != 0);
        qputenv("CUPS_SERVER", FarHost + ':' + QByteArray::number(scheduler.port()));
        platform::printscheduler::forget();
        platform::printservice::forget();
        platform::printscheduler::setWaitNote(platform::newPrintWaitNote);
        QElapsedTimer since, took;
        qint64 held = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] { held = std::max(held, since.restart()); });
        since.start();
        took.start();
        tick.start(50);
        platform::Printer& printer = platform::CurrentPrinter();
        printer.select(QStringLiteral("Queue-1"));
        QCOMPARE(printer.DeviceName(), QStringLiteral("Queue-1"));
        QVERIFY(platform::printqueue::confirmAccepting(QStringLiteral("Queue-1")));
        printer.setScaleMode(platform::vbMillimeters);
        printer.Line(10, 10, 100, 100);
        printer.EndDoc();
        held = std::max(held, since.elapsed());
        tick.stop();
        QCOMPARE(scheduler.jobs(), QByteArrayList{"Queue-1"});
        QVERIFY(scheduler.delivered().at(0).document.startsWith("%PDF"));
        qInfo("%s: the print took %lld ms, the window held at most %lld ms", QTest::currentDataTag(), took.elapsed(),
              held);
        QVERIFY2(held <= 1000, qPrintable(QString::number(held)));
    }
};

QTEST_MAIN(TestPrintLink)
#include "tst_printlink.moc"
