#include "platform/printscheduler.h"

#include "platform/ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPrinter>
#include <QScreen>

#include <cups/cups.h>

namespace platform::printscheduler {

namespace {

// How long the first answer is waited for: a busy scheduler or one behind
// a slow link answers in a few seconds, and a user shown the wait accepts
// about this much.
constexpr qint64 WaitMs = 10000;
// The steps of the wait, between which the note is kept painted.
constexpr int StepMs = 100;
// A wait shorter than this shows nothing.
constexpr qint64 NoteAfterMs = 300;
// How long a verdict is taken as it stands: an answer for a moment (a
// command asks many times over, and a slow scheduler makes each command
// longer), silence for longer, so that each command doesn't wait for it
// again.
constexpr qint64 AnswerKeptMs = 2000;
constexpr qint64 AnswerKeptPerAnswerMs = 4;  // times the answer took
constexpr qint64 SilenceKeptMs = 30000;
// A server libcups fails to reach at once: not a socket.
constexpr const char* NoServer = "/dev/null";

struct Verdict {
    bool asked = false;
    bool silent = false;
    qint64 keptMs = 0;
    QElapsedTimer since;
};

Verdict& verdict()
{
    static Verdict v;
    return v;
}

bool& asking()
{
    static bool b = false;
    return b;
}

// The busy pointer and a note over the window while the program waits for
// the scheduler, once the wait lasts; painted between the wait's steps.
class WaitNote {
public:
    WaitNote() { m_clock.start(); }
    ~WaitNote()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    WaitNote(const WaitNote&) = delete;
    WaitNote& operator=(const WaitNote&) = delete;

    qint64 elapsed() const { return m_clock.elapsed(); }

    void keepShown()
    {
        if (m_clock.elapsed() < NoteAfterMs || !qobject_cast<QApplication*>(QCoreApplication::instance()))
            return;
        if (!m_shown) {
            m_shown = true;
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_label = std::make_unique<QLabel>(QStringLiteral("印刷サーバーの応答を待っています…"), nullptr,
                                               Qt::ToolTip | Qt::FramelessWindowHint);
            m_label->setObjectName(QStringLiteral("printSchedulerWait"));
            m_label->setFrameStyle(QFrame::Box);
            m_label->setMargin(12);
            m_label->adjustSize();
            const QWidget* window = QApplication::activeWindow();
            const QRect over = window ? window->frameGeometry()
                               : QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                                   : QRect();
            m_label->move(over.center() - m_label->rect().center());
            m_label->show();
        }
        // Paints the note; the user's input waits until the answer is in.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QElapsedTimer m_clock;
    bool m_shown = false;
    std::unique_ptr<QLabel> m_label;
};

struct Wait {
    WaitNote* note;
    bool timedOut;
};

int keepWaiting(http_t*, void* data)
{
    auto* wait = static_cast<Wait*>(data);
    if (wait->note->elapsed() >= WaitMs) {
        wait->timedOut = true;
        return 0;  // stop waiting
    }
    wait->note->keepShown();
    return 1;
}

// Whether the scheduler libcups would ask leaves a question unanswered for
// the whole wait: one connection of our own, a request every HTTP server
// answers at once (no authentication, no encryption). A refused connection,
// a closed one or any answer, however late, is no silence.
bool silent()
{
    WaitNote note;
    http_t* http = nullptr;
    // The connection is tried in steps, so that the note shows while a
    // server out of reach holds it.
    while (!http) {
        const qint64 left = WaitMs - note.elapsed();
        if (left <= 0)
            return true;
        QElapsedTimer attempt;
        attempt.start();
        const int stepMs = int(qMin<qint64>(left, StepMs * 3));
        http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, stepMs,
                            nullptr);
        if (!http && attempt.elapsed() < stepMs / 2)
            return false;  // refused or unknown: libcups fails as fast by itself
        if (!http)
            note.keepShown();
    }
    Wait wait{&note, false};
    httpSetTimeout(http, StepMs / 1000.0, keepWaiting, &wait);
    if (httpOptions(http, "*") == 0)
        while (httpUpdate(http) == HTTP_STATUS_CONTINUE && !wait.timedOut) {
        }
    httpClose(http);
    return wait.timedOut;
}

bool ask()
{
    Verdict& v = verdict();
    if (v.silent)
        cupsSetServer(nullptr);  // the scheduler the settings name
    QElapsedTimer took;
    took.start();
    asking() = true;
    v.silent = silent();
    asking() = false;
    if (v.silent)
        cupsSetServer(NoServer);
    v.asked = true;
    v.keptMs = v.silent ? SilenceKeptMs : AnswerKeptMs + AnswerKeptPerAnswerMs * took.elapsed();
    v.since.start();
    return !v.silent;
}

}  // namespace

bool check()
{
    const Verdict& v = verdict();
    // Asked from within the wait (the note lets timers run): libcups must
    // not be reached before the answer is in.
    if (asking())
        return false;
    if (v.asked && v.since.elapsed() < v.keptMs)
        return !v.silent;
    return ask();
}

bool confirm()
{
    const Verdict& v = verdict();
    if (asking())
        return false;
    if (v.asked && v.silent && v.since.elapsed() < v.keptMs)
        return false;
    return ask();
}

bool setAside()
{
    return verdict().asked && verdict().silent;
}

void tellUnreachable()
{
    vb::MsgBox(QStringLiteral("プリンタに接続できません。印刷サーバーが応答していません。") + vb::vbCrLf
                   + QStringLiteral("しばらくしてから、もう一度印刷してください。") + vb::vbCrLf
                   + QStringLiteral("PDF ファイルへは、印刷ダイアログで「PDF ファイルに出力」を選び、ファイル名を指定すると印刷できます。"),
               vb::vbOKOnly | vb::vbExclamation, QStringLiteral("印刷"));
}

QStringList printerNames()
{
    check();
    return QPrinterInfo::availablePrinterNames();
}

QString defaultPrinterName()
{
    check();
    return QPrinterInfo::defaultPrinterName();
}

QPrinterInfo printerInfo(const QString& name)
{
    check();
    return QPrinterInfo::printerInfo(name);
}

QPrinterInfo printerInfo(const QPrinter& device)
{
    check();
    return QPrinterInfo(device);
}

std::unique_ptr<QPrinter> newDevice(const QPrinterInfo& printer)
{
    check();
    return printer.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                            : std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
}

std::optional<std::map<QByteArray, QString>> queueAttributes(const QString& queue)
{
    if (!check())
        return std::nullopt;
    const QByteArray name = queue.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return std::nullopt;
    std::map<QByteArray, QString> attributes;
    for (int i = 0; i < dest->num_options; ++i)
        attributes[dest->options[i].name] = QString::fromUtf8(dest->options[i].value);
    cupsFreeDests(1, dest);
    return attributes;
}

void forget()
{
    verdict() = Verdict{};
    cupsSetServer(nullptr);
}

}  // namespace platform::printscheduler
