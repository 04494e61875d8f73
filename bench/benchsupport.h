#pragma once
// What the benchmarks share: an offscreen application whose boxes are
// answered by script, a temporary folder with a copy of the template
// database, the editor opened afresh, timers and the lines that report a
// figure against its goal.

#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "platform/application.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// Offscreen unless the caller asked for another platform, on a screen that
// holds the benchmarks' work area: the offscreen screen is 800 x 600 unless
// told otherwise, and the program keeps its windows inside the screen.
inline int& offscreen(int& argc)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return argc;
    static QTemporaryFile screen(QDir::temp().filePath(QStringLiteral("nemu-bench-screen-XXXXXX.json")));
    if (screen.open()) {
        screen.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1280, "height": 1024}]})");
        screen.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return argc;
}

struct Session {
    Session(int& argc, char** argv) : app(offscreen(argc), argv) { platform::setUi(&quiet); }
    ~Session() { platform::setUi(nullptr); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QApplication app;
    platform::ScriptedUserInterface quiet;  // no box may wait for an answer here
    QTemporaryDir folder;
};

// A writable copy of the program's empty database in the folder.
inline QString copyTemplate(const QTemporaryDir& folder, const QString& name)
{
    const QString templ = QCoreApplication::applicationDirPath() + QStringLiteral("/../program/template/master.mdb");
    const QString db = folder.filePath(name);
    if (!QFile::copy(templ, db))
        qFatal("no template at %s (build the program first)", qPrintable(templ));
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    return db;
}

// A drawing database in the folder holding one drawing, `name`, of the
// picture `file` there: the drawing the editor opens next.
inline void storeDrawing(const QTemporaryDir& folder, const QString& name, const QString& file)
{
    const QString db = copyTemplate(folder, QStringLiteral("bench.mdb"));
    if (mdlDB::fncDbOpen(db) != 0)
        qFatal("cannot open %s", qPrintable(db));
    typPrint print;
    print.strNo = QStringLiteral("BENCH");
    print.strName = name;
    print.strPath = folder.path();
    print.strFileName = file;
    print.datHizuke = QDateTime::currentDateTime();
    GE_sngPictAdj = 1.0f;
    if (mdlSQL::fncSQL_InsertPrint(print) != 0)
        qFatal("cannot store the drawing");
    GE_tpPrint = print;
    GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(print.strNo);
}

// The settings the editor reads at start: its temporary folder inside the
// benchmark's, this system, and a 1000 x 760 pixel work area.
inline void editorSettings(const QTemporaryDir& folder)
{
    GE_strTempPath = folder.filePath(QStringLiteral("TEMP"));
    QDir().mkpath(GE_strTempPath);
    GE_tpSystem.System_Id = CurrentSystemId;
    GE_lngWorkArea = {0, 0, 760 * platform::TwipsPerPixel, 1000 * platform::TwipsPerPixel};
}

// The editor unloaded without asking to save and opened again.
inline frmEdit& freshEditor()
{
    if (frmEdit* old = platform::Instance<frmEdit>::pointer()) {
        old->booDrawChange = old->booPrtChange = false;
        old->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return platform::Instance<frmEdit>::get();
}

inline double milliseconds(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

inline double timed(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return milliseconds(timer);
}

// The fastest of several runs, each timing itself.
inline double fastest(int runs, const std::function<double()>& run)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A line of /proc/self/status ("VmRSS", "VmHWM") in megabytes.
inline double statusMegabytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(line.indexOf(':') + 1).simplified().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// The peak of one step beyond what the process held before it, in
// megabytes: the kernel's high-water mark is set back to the resident size
// first (false when it can't be, and the figure is then the run's peak).
struct StepPeak {
    double before = statusMegabytes("VmRSS");
    bool reset = [] {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    }();
    double beyond() const { return statusMegabytes("VmHWM") - before; }
};

inline void report(const char* what, double value, const char* unit, double goal, bool atMost = true)
{
    const bool met = atMost ? value <= goal : value >= goal;
    std::printf("  %-46s %10.2f %-3s (goal %s %.2f: %s)\n", what, value, unit, atMost ? "<=" : ">=", goal,
                met ? "met" : "NOT MET");
}

}  // namespace bench
