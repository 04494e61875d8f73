// The printer commands with the print scheduler that CUPS_SERVER names:
// one that takes the connection and never answers freezes nothing (a
// stored drawing opens, the dialogs open and say why no printer is listed,
// a PDF file prints, a print to a queue is told the printers can't be
// reached), one that refuses is as fast as none, one that answers late is
// waited for and its queue listed and taking jobs.
// No test printers: every question goes through Qt and libcups to the
// socket. A scheduler that would hold a question longer than the test
// allows lets it go at the bound, so a lost guard fails here, not by
// ctest's timeout.

#include "tests/output/printserverfixture.h"

#include "output/mdlPrinter.h"
#include "platform/commondialog.h"
#include "platform/printjob.h"
#include "platform/printservice.h"
#include "platform/printqueue.h"
#include "platform/printspool.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

using namespace editortest;
using namespace printtest;
using PrintDialogAnswer = platform::ScriptedUserInterface::PrintDialogAnswer;

namespace {

const QString WaitNote = QStringLiteral("印刷サーバーの応答を待っています…");

// What the user sees of a wait for the scheduler, looked at while it lasts.
struct WaitSeen {
    bool note = false;
    bool busy = false;
    void look()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* label = qobject_cast<QLabel*>(w); label && label->isVisible() && label->text() == WaitNote)
                note = true;
        busy = busy || (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    }
};

// A print's document as another user could reach it. The work folder is
// one all may write (a program folder an office shares); that user laid
// links at the names the document was once given (the process id and a
// count), there and in the system's temporary folder, to a file only the
// printing user may write and into a folder of that user's own. Looked at
// while prints run: the modes of the documents held open in the work folder.
struct SpoolWatch {
    QString work, mine, theirs;
    QStringList laid;
    QSet<uint> modes;
    bool reached = false;  // the other user's folder held a drawing

    bool lay(const QString& folder)
    {
        work = folder + QStringLiteral("/TEMP"), mine = folder + QStringLiteral("/own/plan.pdf");
        theirs = folder + QStringLiteral("/theirs/drawing.pdf");
        QDir().mkpath(work), QDir().mkpath(folder + QStringLiteral("/own")), QDir().mkpath(folder + QStringLiteral("/theirs"));
        QFile file(mine);
        if (::chmod(QFile::encodeName(folder).constData(), 0711) != 0 || ::chmod(QFile::encodeName(work).constData(), 0777) != 0
            || ::chown(QFile::encodeName(folder + QStringLiteral("/theirs")).constData(), testsupport::Nobody, testsupport::Nobody) != 0
            || !file.open(QIODevice::WriteOnly) || file.write("mine") != 4 || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
            return false;
        platform::printspool::useFolder(work);
        for (const QString& in : {work, QDir::tempPath()})
            for (int n = 1; n <= 20; ++n)
                laid << in + QStringLiteral("/nemunoki-print-%1-%2.pdf").arg(QCoreApplication::applicationPid()).arg(n);
        return testsupport::asUser(testsupport::Nobody, [&] {
                   for (qsizetype i = 0; i < laid.size(); ++i)
                       if (::symlink(QFile::encodeName(i % 2 ? mine : theirs).constData(), QFile::encodeName(laid[i]).constData()) != 0)
                           return 1;
                   return 0;
               }) == 0;
    }
    ~SpoolWatch()
    {
        platform::printspool::useFolder(QString());
        for (const QString& link : laid)
            QFile::remove(link);
    }
    // How many documents are held open now.
    int look()
    {
        reached = reached || QFile::exists(theirs);
        int held = 0;
        for (const QString& fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QString at = QStringLiteral("/proc/self/fd/") + fd;
            struct stat st {};
            if (QFile::symLinkTarget(at).startsWith(work + u'/') && ::stat(QFile::encodeName(at).constData(), &st) == 0)
                ++held, modes << (st.st_mode & 07777);
        }
        return held;
    }
    // None held, the work folder holding the links laid alone, the files
    // they lead to untouched.
    bool clean()
    {
        return look() == 0 && QDir(work).entryList(QDir::Files | QDir::System).size() == laid.size() / 2
               && testsupport::fileBytes(mine) == "mine" && !reached;
    }
};

PrintDialogAnswer toPdf(const QString& path)
{
    return [=](QPrinter& device, QString&) {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(path);
    };
}

// Asks for the name and password as scripted, or in Qt's widgets, filled
// in as the user would; notes a box asked off the user-interface thread or
// shown under the busy pointer or the note of the wait.
struct LoginUi : platform::ScriptedUserInterface {
    bool qtBox = false;
    bool amiss = false;
    std::optional<platform::Login> askLogin(const QString& prompt, const QString& title, const QString& user) override
    {
        amiss = amiss || QThread::currentThread() != qApp->thread();
        if (!qtBox)
            return ScriptedUserInterface::askLogin(prompt, title, user);
        boxes.append({QStringLiteral("Login"), prompt, 0, title});
        QTimer::singleShot(0, [this] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            WaitSeen seen;
            seen.look();
            amiss = amiss || seen.note || seen.busy;
            box->findChild<QLineEdit*>(QStringLiteral("user"))->setText(QStringLiteral("alice"));
            QTest::keyClicks(box->findChild<QLineEdit*>(QStringLiteral("password")), QStringLiteral("secret"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        return platform::QtUserInterface().askLogin(prompt, title, user);
    }
};

// Sets the control `name` of a window of Qt's print dialog as the user
// would: a box to the number, a button checked or not, a list to the
// entry; "*" is the list that offers the entry `value`.
void set(QWidget& window, const QString& name, const QString& value)
{
    for (QWidget* w : window.findChildren<QWidget*>()) {
        auto* list = qobject_cast<QComboBox*>(w);
        if (name == QLatin1String("*") ? !list : w->objectName() != name)
            continue;
        if (auto* box = qobject_cast<QSpinBox*>(w))
            box->setValue(value.toInt());
        else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isChecked() != bool(value.toInt()))
            button->click();
        else if (const int at = !list ? -1 : name == QLatin1String("*") ? list->findText(value) : value.toInt(); at >= 0)
            list->setCurrentIndex(at);
    }
}

}  // namespace

class TestPrintScheduler : public QObject {
    Q_OBJECT

    PrintSession m_print;
    editortest::Session& m_session = m_print.session;

    frmEdit& openStored(const QString& queue = QStringLiteral("Queue-1")) { return m_print.openStored(queue); }

    // Each command the user gives, timed: the drawing opens, the print
    // dialog opens (after a box saying why no printer is listed, with the
    // scheduler set aside), a PDF file prints, a print to a queue is refused
    // with `queueBox`, and the printer set-up and the driver's defaults
    // open. `step` runs as each command begins.
    void everyCommand(qint64 boundMs, const QString& queueBox, const std::function<void()>& step = [] {})
    {
        auto& ui = *m_session.quiet;
        const bool setAside = queueBox == Unreachable;
        QElapsedTimer clock;
        const auto within = [&](const char* what) {
            QVERIFY2(clock.elapsed() < boundMs, qPrintable(QStringLiteral("%1: %2 ms").arg(what).arg(clock.elapsed())));
            step();
            clock.start();
        };
        step();
        clock.start();
        frmEdit& e = openStored();
        QVERIFY(e.pictOrg->hasPicture());
        within("opening a stored drawing");
        const int pages = e.lblPageR.UBound();
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        within("the print dialog");
        // The frames stay on the stored sheet, not a stand-in printer's.
        QCOMPARE(e.shpPrintWakuR(1).Width(), queueRow(QStringLiteral("Queue-1")).sngScaleWidth);
        QCOMPARE(e.lblPageR.UBound(), pages);
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        ui->answerPrinter(toPdf(pdf));
        d.cmdPrint_Click();
        QVERIFY(QFile::exists(pdf));
        within("a PDF print");
        const int boxes = ui->count();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes + (setAside ? 2 : 1));
        QCOMPARE(ui->boxes.at(ui->boxes.size() - 2).kind, QStringLiteral("Printer"));
        if (setAside)
            QCOMPARE(ui->boxes.at(ui->boxes.size() - 3).prompt, Unreachable);
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
    void init() { QVERIFY(m_print.begin()); }

    void cleanup()
    {
        const bool answered = (*m_session.quiet)->allAnswered();
        m_print.end();
        QVERIFY(answered);
    }

    // A stored drawing keeps its printer settings as loaded: its open asks
    // the scheduler nothing, and a silent one doesn't slow it. One without
    // settings of its own takes the default queue's when the print dialog
    // or the save first needs them, and its page frames follow.
    void openingADrawingAsksNothing_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("save");
        QTest::newRow("answering after 0.5 s") << false << QStringLiteral("Queue-1") << false;
        QTest::newRow("silent") << true << QStringLiteral("Queue-1") << false;
        QTest::newRow("no printer row, then the print dialog") << false << QString() << false;
        QTest::newRow("no printer row, then the save") << false << QString() << true;
        QTest::newRow("no printer row, silent") << true << QString() << false;
    }

    void openingADrawingAsksNothing()
    {
        QFETCH(bool, silent);
        QFETCH(QString, queue);
        QFETCH(bool, save);
        std::optional<AnsweringScheduler> answering;
        std::optional<SilentScheduler> silence;
        useScheduler(silent ? silence.emplace().port() : answering.emplace(500).port());
        QElapsedTimer clock;
        clock.start();
        frmEdit& e = openStored(queue);
        QVERIFY(e.pictOrg->hasPicture());
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!platform::printscheduler::setAside());
        if (silent)
            return;
        QCOMPARE(answering->takeRequests(), 0);
        answering->setDelay(0);
        if (!queue.isEmpty()) {
            QCOMPARE(GE_tpPrinter.strDeviceName, queue);
            QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A4"));
            return;
        }
        if (save) {
            (*m_session.quiet)->answerMsgBox(vb::vbYes);
            e.mnuFileSavePrj_Click();
            typPrinter stored;
            QCOMPARE(mdlSQL::fncSQL_LoadPrinter_Struct(GE_tpPrint.Print_Id, stored), qint16(0));
            QCOMPARE(stored.strDeviceName, QStringLiteral("Queue-1"));
        } else {
            platform::Instance<dlgPrinter>::get();
        }
        QVERIFY(answering->takeRequests() > 0);
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        // The queue's printable width: A4 inside its margins of 18 pt.
        QCOMPARE(qRound(GE_tpPrinter.sngScaleWidth * 10), qRound((577 - 18) / 72.0 * 254));
        QCOMPARE(e.shpPrintWakuR(1).Width(), GE_tpPrinter.sngScaleWidth);
        QVERIFY(!e.booPrtChange);
    }

    // Qt starts every queue's device on A4: a new drawing takes the default
    // queue's own paper all the same, for its frames, its settings and its
    // print.
    void newDrawingTakesTheDefaultQueuesPaper()
    {
        AnsweringScheduler scheduler;
        scheduler.setSheet("Queue-1", {"A3"});
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        // Left by an earlier drawing's print on A4.
        GE_tpDevMode.dmPaperSize = 9;
        GE_tpDevMode.dmFormName = QStringLiteral("A4");
        GE_tpPrint = typPrint{};
        frmEdit& e = Fixture::open();
        e.subPictDraw(writePicture(m_session.fx->dir.path(), QStringLiteral("new.bmp"), QSize(400, 300)));
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(8));
        QCOMPARE(qRound(GE_tpPrinter.sngScaleWidth * 10), qRound((842 - 36) / 72.0 * 254));
        QCOMPARE(e.shpPrintWakuR(1).Width(), GE_tpPrinter.sngScaleWidth);
        QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A3"));
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("新規.pdf"));
        QPageSize::PageSizeId offered = QPageSize::Custom;
        ui->answerPrinter([&](QPrinter& device, QString& name) {
            offered = device.pageLayout().pageSize().id();
            toPdf(pdf)(device, name);
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        QCOMPARE(offered, QPageSize::A3);
        QFile printed(pdf);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QVERIFY(printed.readAll().contains("/MediaBox [0 0 842.000000 1191.000000]"));
    }

    // A stored drawing keeps the printable area it was saved with until the
    // print window reads its queue: then its frames follow the queue's
    // margins before the page range is taken.
    void framesFollowTheQueuesNewMargins()
    {
        AnsweringScheduler scheduler;
        scheduler.setSheet("Queue-1", {"A4", 36, 36});
        useScheduler(scheduler.port());
        frmEdit& e = openStored();
        QCOMPARE(e.shpPrintWakuR(1).Width(), queueRow(QStringLiteral("Queue-1")).sngScaleWidth);
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        QCOMPARE(qRound(GE_tpPrinter.sngScaleWidth * 10), qRound((595 - 72) / 72.0 * 254));
        QCOMPARE(qRound(GE_tpPrinter.sngScaleHeight * 10), qRound((842 - 72) / 72.0 * 254));
        QCOMPARE(e.shpPrintWakuR(1).Width(), GE_tpPrinter.sngScaleWidth);
        QCOMPARE(d.txtPage(1).Text(), QString::number(e.lblPageR.UBound()));
        QVERIFY(!e.booPrtChange);
    }

    // A print refused because the scheduler stopped answering leaves the
    // drawing's printer as it was, and the close has nothing to save.
    void refusedPrintKeepsTheDrawingsPrinter()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        frmEdit& e = openStored();
        const typPrinter before = GE_tpPrinter;
        scheduler.stopAnswering(BoundMs);
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        QCOMPARE(ui->last().prompt, Unreachable);
        QVERIFY(platform::CurrentPrinter().sheets().empty());
        QVERIFY(mdlPrinter::fncSame_Settings(GE_tpPrinter, before));
        QCOMPARE(GE_tpPrinter.strFormName, before.strFormName);
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
        QVERIFY(!e.booPrtChange);
        d.unload();
        Fixture::closeEditor();
        QVERIFY(ui->last().prompt != QStringLiteral("プリンタの設定を保存しますか？"));
        QVERIFY(!platform::Instance<frmEdit>::exists());
    }

    // A print goes to the drawing's queue, not the default one, and to the
    // queue chosen in the dialog.
    void printGoesToTheNamedQueue()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        openStored(QStringLiteral("Queue-2"));
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        const int boxes = ui->count();
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        ui->answerPrinter([](QPrinter&, QString& name) { name = QStringLiteral("Queue-1"); });
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes);  // no failure
        QCOMPARE(scheduler.jobs(), (QByteArrayList{"Queue-2", "Queue-1"}));
        QCOMPARE(GE_tpPrinter.strDeviceName, QStringLiteral("Queue-1"));
    }

    // A print to a queue reaches the scheduler as a job whose document is
    // the sheet a PDF file of the same print holds (paper, scale and
    // margins), with the queue's options; one the scheduler can't be
    // reached for at the hand-over is told with the reason, and nothing
    // goes out. The document is the user's alone while the hand-over waits,
    // and gone after every outcome; another user's links lead it nowhere.
    void queueGetsThePrintOrTheUserIsTold()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        SpoolWatch spool;
        QVERIFY(spool.lay(m_session.fx->dir.path()));
        openStored();
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        const int boxes = ui->count();
        ui->answerPrinter([](QPrinter& device, QString&) { device.setCopyCount(2); });
        // Long enough for a busy machine to look more than once, well within
        // the program's wait.
        platform::CurrentPrinter().beforeDraw = [&] { scheduler.setDelay(testWaits().handOverMs / 3); };
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] { spool.look(); });
        look.start(50);
        d.cmdPrint_Click();
        look.stop();
        scheduler.setDelay(0);
        platform::CurrentPrinter().beforeDraw = nullptr;
        QCOMPARE(spool.modes, QSet<uint>{0600});  // seen while the hand-over waited
        QVERIFY(spool.clean());
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        ui->answerPrinter(toPdf(pdf));
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes);
        QCOMPARE(scheduler.jobs(), QByteArrayList{"Queue-1"});
        const auto job = scheduler.delivered().at(0);
        const auto option = [&](const char* name) {
            const auto it = job.attributes.find(name);
            return it == job.attributes.end() ? QByteArray() : it->second;
        };
        QCOMPARE(option("media"), QByteArray("A4"));
        QCOMPARE(option("sides"), QByteArray("one-sided"));
        QCOMPARE(option("copies"), QByteArray("2"));
        // The drawing's tray (the upper one), not the queue's own.
        QCOMPARE(option("InputSlot"), QByteArray("Upper"));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // The same document but for the moment it was made.
        const auto undated = [](QByteArray document) {
            static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
            return QString::fromLatin1(document).remove(date);
        };
        QVERIFY(job.document.startsWith("%PDF"));
        QCOMPARE(undated(job.document), undated(file.readAll()));
        // Every other tray by the name the queue's description gives it.
        for (const auto& [source, slot] : {std::pair{QPrinter::Lower, "Lower"}, {QPrinter::Manual, "Manual"}, {QPrinter::Auto, "Auto"},
                                           {QPrinter::LargeCapacity, "LargeCapacity"},
                                           {QPrinter::SmallFormat, "AnySmallFormat"}}) {
            const auto device = platform::printservice::newPdfDevice();
            device->setPaperSource(source);
            const auto options = platform::printjob::optionsOf(*device, true);
            QVERIFY2(std::find(options.begin(), options.end(), std::pair{QByteArray("InputSlot"), QByteArray(slot)})
                         != options.end(),
                     slot);
        }
        // The PDF file's print leaves the device the queue's: the next is a job.
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        QCOMPARE(scheduler.jobs(), (QByteArrayList{"Queue-1", "Queue-1"}));
        QVERIFY(spool.clean());

        // Stopped as the sheet is drawn, after every question before it.
        platform::CurrentPrinter().beforeDraw = [&] { scheduler.refuse(); };
        ui->answerPrinter([](QPrinter&, QString&) {});
        d.cmdPrint_Click();
        platform::CurrentPrinter().beforeDraw = nullptr;
        QCOMPARE(ui->count(), boxes + 1);
        QCOMPARE(ui->last().title, QStringLiteral("ｴﾗｰ"));
        QVERIFY2(ui->last().prompt.contains(QStringLiteral("プリンタ「Queue-1」へ印刷を渡せませんでした。印刷サーバーに接続できません。"))
                     && !ui->last().prompt.contains(QStringLiteral("Success")),
                 qPrintable(ui->last().prompt));
        QCOMPARE(scheduler.jobs().size(), 2);
        QVERIFY(platform::CurrentPrinter().sheets().empty());
        QVERIFY(spool.clean());

        // Stopped while the print dialog is open: told too.
        AnsweringScheduler again;
        useScheduler(again.port());
        ui->answerPrinter([&](QPrinter&, QString&) { again.refuse(); });
        d.cmdPrint_Click();
        QCOMPARE(ui->count(), boxes + 2);
        QVERIFY2(ui->last().prompt.contains(QStringLiteral("接続できません")), qPrintable(ui->last().prompt));
        QVERIFY(again.jobs().isEmpty());

        // Silent from the sheet on: given up after the program's wait, and
        // the document may have reached it.
        AnsweringScheduler silent;
        useScheduler(silent.port());
        platform::CurrentPrinter().beforeDraw = [&] { silent.stopAnswering(BoundMs); };
        ui->answerPrinter([](QPrinter&, QString&) {});
        QElapsedTimer clock;
        clock.start();
        d.cmdPrint_Click();
        platform::CurrentPrinter().beforeDraw = nullptr;
        QVERIFY2(clock.elapsed() < BoundMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ui->count(), boxes + 3);
        // The wait told as long as it was.
        QVERIFY2(ui->last().prompt.contains(QStringLiteral("プリンタ「Queue-1」へ印刷が届いていないかもしれません。印刷サーバーが応答しません。"
                                                           "（%1 秒待っても応答がありません）")
                                                .arg(testWaits().handOverMs / 1000.0)),
                 qPrintable(ui->last().prompt));
        QVERIFY(spool.clean());
    }

    // A queue that wants a name and password for its jobs: the user is
    // asked in the program's box, never on a terminal, and the job goes as
    // the user named; a wrong password is asked for again. キャンセル, or
    // wrong answers past the asks allowed, is told and nothing goes out.
    void queueWantingALoginAsksTheUser_data()
    {
        QTest::addColumn<QStringList>("passwords");  // answered in turn; null for キャンセル
        QTest::addColumn<bool>("printed");
        QTest::addColumn<bool>("qtBox");
        QTest::newRow("the right one") << QStringList{QStringLiteral("secret")} << true << false;
        QTest::newRow("in the box itself") << QStringList{QStringLiteral("secret")} << true << true;
        QTest::newRow("キャンセル") << QStringList{QString()} << false << false;
        QTest::newRow("a wrong one, then the right one")
            << QStringList{QStringLiteral("wrong"), QStringLiteral("secret")} << true << false;
        QTest::newRow("wrong each time") << QStringList(3, QStringLiteral("wrong")) << false << false;
    }

    void queueWantingALoginAsksTheUser()
    {
        QFETCH(QStringList, passwords);
        QFETCH(bool, printed);
        QFETCH(bool, qtBox);
        // No terminal to be asked on: libcups' own prompt fails at once
        // here, where it would wait for a terminal's answer. (A session's
        // leader would hang its session up.)
        if (const int tty = ::getsid(0) != ::getpid() ? ::open("/dev/tty", O_RDONLY) : -1; tty >= 0) {
            ::ioctl(tty, TIOCNOTTY);
            ::close(tty);
        }
        AnsweringScheduler scheduler;
        scheduler.requireLogin("alice", "secret");
        useScheduler(scheduler.port());
        openStored();
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        LoginUi ui;
        ui.qtBox = qtBox;
        platform::setUi(&ui);
        const auto restore = qScopeGuard([this] { platform::setUi(&m_session.quiet->get()); });
        for (const QString& password : passwords)
            if (!qtBox)
                ui.answerLogin(password.isNull() ? std::nullopt
                                                 : std::optional(platform::Login{QStringLiteral("alice"), password}));
        // The hand-over slow enough for the note to show before the box.
        const qint64 slow = qtBox ? 2 * platform::printWaits().noteAfterMs : 0;
        platform::CurrentPrinter().beforeDraw = [&] { scheduler.setDelay(slow); };
        for (int print = 0; print < (printed ? 2 : 1); ++print) {
            ui.answerPrinter([](QPrinter&, QString&) {});
            d.cmdPrint_Click();
            scheduler.setDelay(0);
        }
        platform::CurrentPrinter().beforeDraw = nullptr;
        QVERIFY(!ui.amiss);
        QVERIFY(ui.allAnswered());
        // Asked for the first print only; the second takes what the first was given.
        const QString asked = QStringLiteral("プリンタ「Queue-1」へ印刷するには、印刷サーバーに登録された名前とパスワードが必要です。\r\n"
                                             "印刷サーバー：127.0.0.1:%1").arg(scheduler.port());
        QCOMPARE(ui.count(QStringLiteral("Login")), passwords.size());
        for (int i = 0; i < passwords.size(); ++i)
            QCOMPARE(ui.boxes.at(1 + i).title + ui.boxes.at(1 + i).prompt,
                     QStringLiteral("印刷") + (i ? QStringLiteral("名前またはパスワードが違います。\r\n") : QString()) + asked);
        QCOMPARE(ui.count(), printed ? 0 : 1);
        QVERIFY2(printed || ui.last().prompt.endsWith(QStringLiteral("プリンタ「Queue-1」へは何も印刷されていません。\r\n"
                                                                     "このプリンタへの印刷には、印刷サーバーに登録された名前とパスワードが必要です。")),
                 qPrintable(ui.last().prompt));
        QCOMPARE(scheduler.jobs().size(), printed ? 2 : 0);
        for (const auto& job : scheduler.delivered())
            QVERIFY(job.user == "alice" && job.document.startsWith("%PDF"));
    }

    // Qt's print dialog reads the queues on the user-interface thread, from
    // its making on: a server that wants a name and password for every
    // request is answered in the program's box there too, not Qt's own.
    void printDialogAsksInTheProgramsBox()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        const std::unique_ptr<QPrinter> device = platform::Printers::makeDevice(QStringLiteral("Queue-2"));
        scheduler.requireLogin("alice", "secret", true);
        auto& ui = m_session.quiet->get();
        ui.answerLogin(platform::Login{QStringLiteral("alice"), QStringLiteral("secret")});
        bool qtsOwn = false;
        QTimer close;  // whatever box opens
        connect(&close, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                qtsOwn = qtsOwn || !qobject_cast<QPrintDialog*>(box);
                box->reject();
            }
        });
        close.start(50);
        QString name;
        platform::QtUserInterface().printDialog(*device, name, platform::PrintDialogKind::Print);
        QCOMPARE(ui.count(QStringLiteral("Login")), 1);
        QVERIFY(!qtsOwn);
    }

    // Each queue's details are read once: a print to a queue asks the
    // scheduler few questions, one to a PDF file fewer still. The print
    // window reads the drawing's queue's details as it opens, and makes the
    // printer's device for it: the first print then asks only for the
    // dialog's device, and a print to the queue after it for none (whether
    // the server answers and the queue takes jobs, and the job).
    void printsAskLittle_data()
    {
        QTest::addColumn<bool>("toPdf");
        QTest::addColumn<int>("mostFirst");
        QTest::addColumn<int>("most");
        QTest::newRow("to the queue") << false << 7 << 4;
        QTest::newRow("to a PDF file") << true << 4 << 4;
    }

    void printsAskLittle()
    {
        QFETCH(bool, toPdf);
        QFETCH(int, mostFirst);
        QFETCH(int, most);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        auto& ui = *m_session.quiet;
        openStored(QStringLiteral("Queue-2"));
        dlgPrinter& d = platform::Instance<dlgPrinter>::get();
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        for (int print = 0; print < 2; ++print) {
            platform::printscheduler::forget();  // the check's last answer no longer stands
            scheduler.takeRequests();
            ui->answerPrinter(toPdf ? ::toPdf(pdf) : [](QPrinter&, QString&) {});
            d.cmdPrint_Click();
            const int asked = scheduler.takeRequests();
            QVERIFY2(asked <= (print == 0 ? mostFirst : most), qPrintable(QString::number(asked)));
        }
        QCOMPARE(scheduler.jobs().size(), toPdf ? 0 : 2);
        QCOMPARE(QFile::exists(pdf), toPdf);
    }

    // What the user chooses in Qt's print dialog and its printer properties
    // ("p:") reaches the queue's job as Qt's own engine gives it, the page
    // order by the scheduler's own option; the margins are the printer's.
    void dialogChoicesReachTheJob_data()
    {
        QTest::addColumn<QStringList>("choices");   // control=value
        QTest::addColumn<QByteArrayList>("given");  // name=value, or what the document holds
        QTest::addColumn<QByteArray>("absent");
        QTest::newRow("nothing") << QStringList() << QByteArrayList{"media=A4", "sides=one-sided", "number-up=1"}
                                 << QByteArray("outputorder");
        QTest::newRow("2 pages per sheet") << QStringList{"p:pagesPerSheetCombo=1"}
                                           << QByteArrayList{"number-up=2", "number-up-layout=lrtb"}
                                           << QByteArray("page-set");
        QTest::newRow("last page first") << QStringList{"reverse=1"} << QByteArrayList{"outputorder=reverse"}
                                         << QByteArray("page-set");
        QTest::newRow("odd pages") << QStringList{"pageSetCombo=1"} << QByteArrayList{"page-set=odd"}
                                   << QByteArray("outputorder");
        QTest::newRow("the queue's own option") << QStringList{"p:*=Glossy"} << QByteArrayList{"MediaType=Glossy"}
                                                << QByteArray();
        QTest::newRow("3 copies, collated") << QStringList{"copies=3", "collate=1"}
                                            << QByteArrayList{"copies=3", "Collate=true"} << QByteArray();
        QTest::newRow("3 copies, not collated") << QStringList{"copies=3", "collate=0"} << QByteArrayList{"copies=3"}
                                                << QByteArray("Collate");
        QTest::newRow("page 1 to 1") << QStringList{"printRange=1", "from=1", "to=1"}
                                     << QByteArrayList{"page-ranges=1-1"} << QByteArray();
        // The sheet lies across the queue's A4.
        QTest::newRow("landscape") << QStringList{"p:landscape=1"}
                                   << QByteArrayList{"media=A4", "/MediaBox [0 0 842.000000 595.000000]"}
                                   << QByteArray();
    }

    void dialogChoicesReachTheJob()
    {
        QFETCH(QStringList, choices);
        QFETCH(QByteArrayList, given);
        QFETCH(QByteArray, absent);
        AnsweringScheduler scheduler;
        scheduler.setSheet("Queue-1", {"A4", 18, 36, true});
        useScheduler(scheduler.port());
        openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        const auto choose = [&](QWidget& window, bool properties) {
            for (const QString& choice : choices)
                if (choice.startsWith(QLatin1String("p:")) == properties)
                    set(window, choice.section(u'=', 0, 0).remove(QLatin1String("p:")), choice.section(u'=', 1));
        };
        bool marginsOffered = true;
        std::optional<WhenShown> shown;
        shown.emplace([&](QDialog& shownDialog) {
            auto* dialog = qobject_cast<QPrintDialog*>(&shownDialog);
            auto* button = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("properties")) : nullptr;
            if (!button)
                return;
            const WhenShown inner(
                [&](QDialog& properties) {
                    choose(properties, true);
                    marginsOffered = properties.findChild<QWidget*>(QStringLiteral("topMargin"))->isEnabled();
                    properties.accept();
                },
                dialog);
            button->click();
            choose(*dialog, false);
            dialog->accept();
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        // The next print, the dialog accepted as it opens, takes none of it
        // but what the drawing's printer settings keep.
        shown.emplace([](QDialog& dialog) { dialog.accept(); });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        platform::setUi(&m_session.quiet->get());
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'|')));
        QCOMPARE(scheduler.jobs(), (QByteArrayList{"Queue-1", "Queue-1"}));
        const auto job = scheduler.delivered().at(0);
        QByteArrayList sent;
        for (const auto& [name, value] : job.attributes)
            sent.append(name + '=' + value);
        for (const QByteArray& option : given)
            QVERIFY2(option.startsWith('/') ? job.document.contains(option) : sent.contains(option),
                     qPrintable(option + " not in " + sent.join(' ')));
        QVERIFY2(absent.isEmpty() || !sent.join(' ').contains(absent), qPrintable(sent.join(' ')));
        QVERIFY(!marginsOffered);
        const auto next = scheduler.delivered().at(1).attributes;
        for (const char* name : {"outputorder", "page-set", "page-ranges", "MediaType"})
            QVERIFY2(!next.count(name), name);
        QCOMPARE(next.at("number-up"), QByteArray("1"));
    }

    // A paper picked in the printer properties of Qt's print dialog is the
    // print's, on a queue as in a PDF file, and the drawing's from then on:
    // its frames are laid on it.
    void pickedPaperIsPrinted_data()
    {
        QTest::addColumn<bool>("toFile");
        QTest::newRow("to the queue") << false;
        QTest::newRow("to a PDF file") << true;
    }

    void pickedPaperIsPrinted()
    {
        QFETCH(bool, toFile);
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        frmEdit& e = openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        const QString pdf = m_session.fx->dir.filePath(QStringLiteral("図面.pdf"));
        const WhenShown shown([&](QDialog& shownDialog) {
            auto* dialog = qobject_cast<QPrintDialog*>(&shownDialog);
            auto* printers = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("printers")) : nullptr;
            if (!printers)
                return;
            if (toFile) {
                printers->setCurrentIndex(printers->count() - 1);
                dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf);
            }
            const WhenShown inner([&](QDialog& shownProperties) {
                auto* properties = &shownProperties;
                auto* sizes = properties->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
                if (!sizes)
                    return;
                // Along the list, key by key, to A3.
                int a3 = 0;
                while (a3 < sizes->count() && sizes->itemData(a3).value<QPageSize>().id() != QPageSize::A3)
                    ++a3;
                while (sizes->currentIndex() != a3)
                    QTest::keyClick(sizes, sizes->currentIndex() < a3 ? Qt::Key_Down : Qt::Key_Up);
                properties->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            }, dialog);
            dialog->findChild<QPushButton*>(QStringLiteral("properties"))->click();
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        platform::setUi(&m_session.quiet->get());
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'|')));
        QCOMPARE(scheduler.jobs().size(), toFile ? 0 : 1);
        if (!toFile)
            QCOMPARE(scheduler.delivered().at(0).attributes.at("media"), QByteArray("A3"));
        const QByteArray document = toFile ? testsupport::fileBytes(pdf) : scheduler.delivered().at(0).document;
        QVERIFY(document.contains("/MediaBox [0 0 842.000000 1191.000000]"));
        QCOMPARE(GE_tpPrinter.intPaperSize, qint16(8));
        QCOMPARE(qRound(e.shpPrintWakuR(1).Width() * 10), qRound((842 - 36) / 72.0 * 254));
        QCOMPARE(e.stsBar->Panels(4).Text(), QStringLiteral("用紙 : A3"));
    }

    // A PDF file holds one copy of each sheet, in order: while it is chosen
    // in Qt's print dialog, copies, their collation, the page order and the
    // page range are not offered; a queue chosen again offers them.
    void pdfFileOffersWhatItHolds()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        openStored();
        QtPrintDialogUi ui;
        platform::setUi(&ui);
        QList<bool> offered;
        const WhenShown shown([&](QDialog& shownDialog) {
            auto* dialog = qobject_cast<QPrintDialog*>(&shownDialog);
            auto* printers = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("printers")) : nullptr;
            for (const int entry : {printers ? printers->count() - 1 : -1, 0}) {
                if (printers)
                    printers->setCurrentIndex(entry);
                for (const char* name : {"copies", "collate", "reverse", "printRange"})
                    if (auto* choice = dialog ? dialog->findChild<QWidget*>(QLatin1String(name)) : nullptr)
                        offered.append(choice->isEnabled());
            }
            if (dialog)
                dialog->reject();
        });
        platform::Instance<dlgPrinter>::get().cmdPrint_Click();
        platform::setUi(&m_session.quiet->get());
        QCOMPARE(offered, (QList<bool>{false, false, false, false, true, true, true, true}));
    }

    void silentSchedulerFreezesNothing()
    {
        SilentScheduler silent;
        QVERIFY(silent.port() != 0);
        useScheduler(silent.port());
        everyCommand(BoundMs, Unreachable, [&] { silent.holdFor(BoundMs); });
        QVERIFY(platform::printscheduler::setAside());
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
        // What was read of the queues is kept for the run.
        QVERIFY(!platform::printservice::printerInfo(QStringLiteral("Queue-1")).isNull());
        scheduler.takeRequests();
        QVERIFY(platform::Printers::names().contains(QStringLiteral("Queue-2")));
        QVERIFY(!platform::printservice::printerInfo(QStringLiteral("Queue-1")).isNull());
        QCOMPARE(scheduler.takeRequests(), 0);
    }

    void slowSchedulerIsWaitedFor_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("a fifth of the wait") << int(testWaits().answerMs / 5);
        QTest::newRow("two fifths of the wait") << int(testWaits().answerMs * 2 / 5);
    }

    // A scheduler that answers late is used: the wait shows, the queue is
    // listed and said to take jobs.
    void slowSchedulerIsWaitedFor()
    {
        QFETCH(int, delayMs);
        AnsweringScheduler scheduler(delayMs);
        QVERIFY(scheduler.port() != 0);
        useScheduler(scheduler.port());
        WaitSeen seen;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] { seen.look(); });
        look.start(50);
        QVERIFY2(platform::Printers::names().contains(QStringLiteral("Queue-1")),
                 qPrintable(platform::Printers::names().join(u',')));
        look.stop();
        QVERIFY(seen.note && seen.busy);
        QVERIFY(!platform::printscheduler::setAside());
        QVERIFY(platform::printqueue::confirmAccepting(QStringLiteral("Queue-1")));
        QVERIFY(!platform::printscheduler::setAside());
        // Qt reading a queue's details, the scheduler's answer still standing.
        seen = {};
        look.start(50);
        QVERIFY(!platform::printservice::printerInfo(QStringLiteral("Queue-2")).isNull());
        look.stop();
        QVERIFY(seen.note);
        // The command over, back in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(!QApplication::overrideCursor(), "the busy pointer stayed after the answer");
    }

    // The print and set-up dialogs leave the drawing's paper on a queue
    // that offers it, not the queue's default the dialog puts there.
    void drawingsPaperStaysOnAQueue()
    {
        AnsweringScheduler scheduler;
        useScheduler(scheduler.port());
        const std::unique_ptr<QPrinter> device = platform::Printers::makeDevice(QStringLiteral("Queue-2"));
        QCOMPARE(device->printerName(), QStringLiteral("Queue-2"));  // not the default queue's
        platform::CommonDialog dialog;
        dialog.PrinterDevice = device.get();
        for (const long flags : {0L, platform::CommonDialog::cdlPDPrintSetup}) {
            QVERIFY(device->setPageSize(QPageSize(QPageSize::A3)));
            (*m_session.quiet)->answerPrinter([](QPrinter&, QString&) {}, QPageSize(QPageSize::A4));
            dialog.Flags = flags;
            dialog.ShowPrinter();
            QCOMPARE(device->pageLayout().pageSize().id(), QPageSize::A3);
        }
    }
};

QTEST_MAIN(TestPrintScheduler)
#include "tst_print_scheduler.moc"
