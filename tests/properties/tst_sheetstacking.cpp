// The property sheet and the boxes the program raises while it is shown,
// under a real window manager (openbox on a display of the test's own):
// the stacking and the active window are read as the window manager
// reports them, and the boxes are Qt's own.

#include "tests/editor/editorfixture.h"

#include "measure/frmOption.h"
#include "properties/frmPropaty.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace editortest;

namespace {

pid_t spawn(const std::vector<std::string>& args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

QByteArray rootProperty(const char* name)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(name)});
    xprop.waitForFinished(5000);
    return xprop.readAllStandardOutput();
}

// The windows the property names, bottom first for the stacking.
QList<WId> windows(const char* property)
{
    QList<WId> ids;
    const QString text = QString::fromLatin1(rootProperty(property));
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("0x[0-9a-f]+")).globalMatch(text))
        ids << m.captured().toULongLong(nullptr, 16);
    return ids;
}

WId activeWindow()
{
    const QList<WId> ids = windows("_NET_ACTIVE_WINDOW");
    return ids.isEmpty() ? 0 : ids.first();
}

// A real pointer or key event, or an activation as a taskbar asks it,
// through the X server; not waited for, so that the program answers what
// the window manager asks of it meanwhile.
void xdotool(const QStringList& args)
{
    auto* process = new QProcess(qApp);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(QStringLiteral("xdotool"), args);
}

// Xvfb with openbox, started before the application opens its display.
class WmDisplay {
public:
    QString failure;  // why there is none

    WmDisplay() { failure = start(); }
    ~WmDisplay()
    {
        for (pid_t pid : {m_wm, m_x}) {
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        }
    }

private:
    pid_t m_x = 0, m_wm = 0;

    QString start()
    {
        for (const char* tool : {"Xvfb", "openbox", "xprop", "xdotool"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
        }
        int fds[2];
        if (pipe(fds) != 0)
            return QStringLiteral("no pipe");
        m_x = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return QStringLiteral("Xvfb did not start");
        qputenv("DISPLAY", QByteArray(":") + number.c_str());
        m_wm = spawn({"openbox", "--sm-disable"});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!rootProperty("_NET_SUPPORTING_WM_CHECK").contains("window id")) {
            if (std::chrono::steady_clock::now() > until || waitpid(m_wm, nullptr, WNOHANG) != 0)
                return QStringLiteral("openbox did not start");
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
        return QString();
    }
};

// Answers the next message box with a real key once the window manager
// stacks it, telling whether it lay above `over` then. A box that never
// shows in the stacking, or that the key does not reach, is closed by its
// default button, so that nothing waits on it.
struct BoxWatch {
    QTimer timer;
    bool above = false;
    QString text;

    BoxWatch(const QWidget& over, const QString& key)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, &over, key, tries = 0, answered = false]() mutable {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (answered)
                    timer.stop();
                return;
            }
            if (++tries > 250) {
                timer.stop();
                box->defaultButton()->click();
                return;
            }
            const QList<WId> stack = windows("_NET_CLIENT_LIST_STACKING");
            if (answered || !stack.contains(box->winId()))
                return;
            answered = true;
            text = box->text();
            above = stack.contains(over.winId()) && stack.indexOf(box->winId()) > stack.indexOf(over.winId());
            xdotool({QStringLiteral("key"), key});
        });
        timer.start(20);
    }
};

}  // namespace

class TestSheetStacking : public QObject {
    Q_OBJECT

    const QString m_noDisplay;
    Session m_s;
    platform::QtUserInterface m_qt;

public:
    explicit TestSheetStacking(QString noDisplay) : m_noDisplay(std::move(noDisplay)) {}

private slots:
    void init()
    {
        if (!m_noDisplay.isEmpty())
            QSKIP(qPrintable(m_noDisplay));
        QVERIFY(m_s.begin());
    }

    void cleanup()
    {
        if (!m_noDisplay.isEmpty())
            return;
        platform::setUi(&m_s.quiet->get());
        m_s.end();
    }

    // Boxes raised for other windows while the sheet is shown: each opens
    // above the sheet. After OK on the options window's refusal that window
    // is active again, its refused box with the keyboard; the user then
    // clicks the map and ends the program.
    void boxesOverTheSheet()
    {
        writePicture(m_s.fx->dir.path(), QStringLiteral("map.bmp"), QSize(200, 150));
        QVERIFY(m_s.fx->storeDrawing(QStringLiteral("P-1"), m_s.fx->dir.path(), QStringLiteral("map.bmp")) > 0);
        frmEdit& e = Fixture::open();
        e.showForm();
        e.mnuPropaty_Click();
        const frmPropaty& s = platform::Instance<frmPropaty>::get();
        platform::setUi(&m_qt);
        QTRY_VERIFY(activeWindow() == s.winId() && s.isActiveWindow());  // the sheet's own activation first
        e.mnuToolOpt_Click();
        frmOption& o = platform::Instance<frmOption>::get();
        o.optMOde(1).setValue(true);
        o.SSTab->setTab(3);
        xdotool({QStringLiteral("windowactivate"), QString::number(o.winId())});
        QTRY_VERIFY(activeWindow() == o.winId() && o.isActiveWindow());
        o.angleBox(0, 0).setText(QStringLiteral("-1"));
        BoxWatch refusal(s, QStringLiteral("Return"));
        o.cmdCnv->button()->click();
        QVERIFY(refusal.above);
        QTRY_VERIFY(activeWindow() == o.winId() && o.isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), o.angleBox(0, 0).lineEdit());
        xdotool({QStringLiteral("key"), QStringLiteral("2")});
        QTRY_COMPARE(o.angleBox(0, 0).Text(), QStringLiteral("2"));

        xdotool({QStringLiteral("windowactivate"), QString::number(e.winId())});
        QTRY_VERIFY(activeWindow() == e.winId() && e.isActiveWindow());
        e.booDrawChange = true;
        BoxWatch question(s, QStringLiteral("Return"));  // いいえ, the default
        e.mnuFileEnd_Click();
        QCOMPARE(question.text, QStringLiteral("オブジェクトを上書きしますか？"));
        QVERIFY(question.above);
    }
};

int main(int argc, char** argv)
{
    WmDisplay display;
    QApplication application(argc, argv);
    TestSheetStacking test(display.failure);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sheetstacking.moc"
