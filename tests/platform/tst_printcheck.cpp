// The print scheduler's check on its own, without an application or a
// window: an answer, however it comes, is an answer; a refusal is one at
// once; only silence for the whole wait sets the scheduler aside. The note
// handed in is made for the wait, told how long it has lasted at each
// step, and gone when the answer is in.

#include "platform/printscheduler.h"
#include "tests/support/testscheduler.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace printtest;

namespace {

struct NoteSeen {
    int made = 0, alive = 0, steps = 0;
    qint64 longest = 0;
};

class CountingNote : public platform::printscheduler::WaitNote {
public:
    explicit CountingNote(NoteSeen& seen) : m_seen(seen) { ++m_seen.made, ++m_seen.alive; }
    ~CountingNote() override { --m_seen.alive; }
    void keepShown(qint64 waitedMs) override
    {
        ++m_seen.steps;
        m_seen.longest = qMax(m_seen.longest, waitedMs);
    }

private:
    NoteSeen& m_seen;
};

}  // namespace

class TestPrintCheck : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        qunsetenv("CUPS_SERVER");
        platform::printscheduler::forget();
        platform::printscheduler::setWaitNote({});
    }

    void answerRefusalAndSilence_data()
    {
        QTest::addColumn<QString>("scheduler");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<qint64>("withinMs");
        QTest::newRow("answering") << QStringLiteral("answering") << true << 2000LL;
        QTest::newRow("refusing") << QStringLiteral("refusing") << true << 1000LL;
        // The program's own wait, run whole: its length is what is promised.
        QTest::newRow("silent") << QStringLiteral("silent") << false << RealBoundMs;
    }

    void answerRefusalAndSilence()
    {
        QFETCH(QString, scheduler);
        QFETCH(bool, answers);
        QFETCH(qint64, withinMs);
        std::optional<AnsweringScheduler> answering;
        std::optional<SilentScheduler> silent;
        quint16 port = 0;
        if (scheduler == QLatin1String("answering")) {
            port = answering.emplace().port();
        } else if (scheduler == QLatin1String("silent")) {
            port = silent.emplace(RealBoundMs).port();
        } else {
            const int closed = listening(port);
            QVERIFY(closed >= 0);
            ::close(closed);  // nothing listens there now
        }
        QVERIFY(port != 0);
        useScheduler(port);
        NoteSeen seen;
        platform::printscheduler::setWaitNote([&] { return std::make_unique<CountingNote>(seen); });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(platform::printscheduler::check(), answers);
        const qint64 took = clock.elapsed();
        QVERIFY2(took < withinMs, qPrintable(QString::number(took)));
        QCOMPARE(platform::printscheduler::setAside(), !answers);
        QCOMPARE(seen.made, 1);
        QCOMPARE(seen.alive, 0);
        if (!answers) {
            // Shown all along the wait, which ran its ten seconds.
            QVERIFY(took >= 10000);
            QVERIFY2(seen.steps >= 50 && seen.longest >= 9500, qPrintable(QString::number(seen.steps)));
            // Learnt: the next check doesn't wait again.
            clock.start();
            QVERIFY(!platform::printscheduler::check());
            QVERIFY(clock.elapsed() < 100);
        }
    }
};

QTEST_APPLESS_MAIN(TestPrintCheck)
#include "tst_printcheck.moc"
