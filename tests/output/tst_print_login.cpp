// A print scheduler of the test's own that wants a name and password, and
// one whose answer to a print was lost: the user is asked no more than the
// print needs, and told what became of the print.

#include "tests/output/printserverfixture.h"

#include <QPrintDialog>
#include <QtTest>

using namespace printtest;

namespace {

const QString NoLogin = QStringLiteral("プリンタ「Queue-1」へは何も印刷されていません。\r\n"
                                       "このプリンタへの印刷には、印刷サーバーに登録された名前とパスワードが必要です。");
const platform::Login Alice{QStringLiteral("alice"), QStringLiteral("secret")};

}  // namespace

class TestPrintLogin : public QObject {
    Q_OBJECT

    PrintSession m_print;
    std::unique_ptr<QtPrintDialogUi> m_owned;
    QtPrintDialogUi& m_ui() { return *m_owned; }

    // Through Qt's print dialog, accepted as it opens (or cancelled).
    void print(bool accept = true)
    {
        QTimer::singleShot(0, this, [accept] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()))
                accept ? dialog->accept() : dialog->reject();
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
    }

private slots:
    void init()
    {
        QVERIFY(m_print.begin());
        m_owned = std::make_unique<QtPrintDialogUi>();
        platform::setUi(m_owned.get());
    }

    void cleanup()
    {
        platform::setUi(&m_print.session.quiet->get());
        m_print.end();
        QVERIFY2(m_ui().unexpected.isEmpty(), qPrintable(m_ui().unexpected.join(u'|')));
    }

    // A name and password taken once go with each later print's document
    // from the first: it is not sent once more only to be refused.
    void keptLoginGoesFirst()
    {
        AnsweringScheduler scheduler;
        scheduler.requireLogin("alice", "secret");
        useScheduler(scheduler.port());
        m_print.openStored();
        m_ui().answerLogin(Alice);
        print();
        print();
        QCOMPARE(scheduler.jobs().size(), 2);
        QCOMPARE(scheduler.documentsRefused(), 1);
    }

    // On a server wanting them for every request, one キャンセル ends the
    // asking for that print, and the box says why no printer is listed.
    void oneCancelEndsTheAsking()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        platform::Instance<dlgPrinter>::get();
        scheduler.requireLogin("alice", "secret", true);
        m_ui().answerLogin(std::nullopt);
        print(false);
        QCOMPARE(m_ui().count(QStringLiteral("Login")), 1);
        QCOMPARE(m_ui().count(), 1);
        QVERIFY2(m_ui().last().prompt.startsWith(QStringLiteral("印刷サーバーに登録された名前とパスワードが入力されなかったため")),
                 qPrintable(m_ui().last().prompt));
        QCOMPARE(scheduler.jobs().size(), 0);
    }

    // The user's own キャンセル in the box for a queue's job is told in its
    // own words alone; a connection refused, in the user's words.
    void failureToldInWords()
    {
        AnsweringScheduler scheduler;
        scheduler.requireLogin("alice", "secret");
        useScheduler(scheduler.port());
        m_print.openStored();
        m_ui().answerLogin(std::nullopt);
        print();
        QCOMPARE(m_ui().last().title + m_ui().last().prompt, QStringLiteral("印刷") + NoLogin);
        platform::CurrentPrinter().beforeDraw = [&] { scheduler.refuse(); };
        print();
        platform::CurrentPrinter().beforeDraw = nullptr;
        QVERIFY2(m_ui().last().prompt.contains(QStringLiteral("印刷サーバーに接続できません。（接続を拒否されました）")),
                 qPrintable(m_ui().last().prompt));
    }

    // A print without the scheduler's answer: its job is cancelled at a
    // later print, also after a print whose cancel wanted a name and
    // password the user didn't give; where the scheduler keeps no mark of
    // the program's, the user is told that print may still come out.
    void promisedCancelIsKept_data()
    {
        QTest::addColumn<bool>("marksKept");
        QTest::newRow("its cancel wanting a login") << true;
        QTest::newRow("no mark kept") << false;
    }

    void promisedCancelIsKept()
    {
        QFETCH(bool, marksKept);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        m_print.openStored();
        if (marksKept)
            scheduler.requireLoginToCancel("alice", "secret");
        else
            scheduler.dropJobUuids();
        // Silent past the program's look for the job right after.
        scheduler.failNextJob(AnsweringScheduler::JobFault::CutAtAnswerThenSilent, 2000);
        print();
        QVERIFY(m_ui().last().prompt.contains(QStringLiteral("次に印刷するときに取り消されます")));
        QTest::qWait(2100);
        if (marksKept) {
            m_ui().answerLogin(std::nullopt);
            print();
            QVERIFY2(m_ui().last().prompt.endsWith(NoLogin), qPrintable(m_ui().last().prompt));
            m_ui().answerLogin(Alice);
            print();
            QVERIFY(scheduler.delivered().at(0).cancelled);
        } else {
            print();
            QVERIFY2(m_ui().last().prompt.endsWith(QStringLiteral("その印刷が出てくることがあります。")),
                     qPrintable(m_ui().last().prompt));
        }
        QCOMPARE(scheduler.jobs().size(), 2);
    }
};

QTEST_MAIN(TestPrintLogin)
#include "tst_print_login.moc"
