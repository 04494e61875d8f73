// Printing the map benchmark's large scan with 6,000 elements to PDF on a
// test printer (A4, 300 dpi, 10 mm margins): tiled at 100 % and fitted, each
// against the same sheets with the picture alone, in the same run: time, PDF
// size, and the peak memory against the decoded picture.
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "output/dlgPrinter.h"
#include "platform/application.h"
#include "platform/elements.h"
#include "platform/picturebox.h"
#include "platform/printer.h"
#include "platform/ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <cstdio>
#include <vector>

using namespace platform;

namespace {

constexpr int kSide = 10000;
constexpr int kDistances = 1000;  // 6 elements each
constexpr double kTimeGoal = 1.5, kSizeGoal = 1.2, kMemoryGoal = 1.5;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double milliseconds(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

// A scan-like picture: paper, blocks, streets and lettering.
QString makeScan(const QString& folder)
{
    QImage scan(kSide, kSide, QImage::Format_RGB32);
    scan.fill(QColor(248, 246, 238));
    QPainter p(&scan);
    QRandomGenerator random(7);
    for (int i = 0; i < 4000; ++i)
        p.fillRect(random.bounded(kSide), random.bounded(kSide), 40 + random.bounded(200), 40 + random.bounded(200),
                   QColor(200 + random.bounded(40), 200 + random.bounded(40), 190 + random.bounded(40)));
    p.setPen(QPen(QColor(90, 90, 90), 3));
    for (int v = 0; v < kSide; v += 173) {
        p.drawLine(v, 0, v + 300, kSide);
        p.drawLine(0, v, kSide, v - 200);
    }
    p.setFont(QFont(QString(), 18));
    for (int i = 0; i < 3000; ++i)
        p.drawText(random.bounded(kSide), random.bounded(kSide), QStringLiteral("地番 %1-%2").arg(i).arg(i % 37));
    p.end();
    const QString path = folder + QStringLiteral("/scan.jpg");
    QImageWriter writer(path);
    writer.setQuality(85);
    if (!writer.write(scan))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The editor's arrays that hold distance objects.
struct Objects {
    explicit Objects(frmEdit& editor)
        : labels(editor.lblKyori), dimensions(editor.lineDsSave), extensions(editor.lineHojoSave),
          markers(editor.shpSnpo)
    {
    }
    ElementArray<LabelElement>& labels;
    ElementArray<LineElement>&dimensions, &extensions;
    ElementArray<ShapeElement>& markers;
};

// Lays out distance i as the editor keeps one: label, dimension line, two
// extension lines and two end markers, spread over the whole map (mm).
void placeDistance(Objects& o, int i, QRandomGenerator& random, double extentMm)
{
    const double x = random.bounded(extentMm - 60), y = 10 + random.bounded(extentMm - 60);
    const double length = 10 + random.bounded(40.0);
    if (!o.labels.exists(i))
        o.labels.Load(i);
    if (!o.dimensions.exists(i))
        o.dimensions.Load(i);
    for (int k = 2 * i; k <= 2 * i + 1; ++k) {
        if (!o.extensions.exists(k))
            o.extensions.Load(k);
        if (!o.markers.exists(k))
            o.markers.Load(k);
    }
    LineElement& d = o.dimensions(i);
    d.X1 = float(x), d.Y1 = float(y - 5), d.X2 = float(x + length), d.Y2 = float(y - 5);
    d.BorderColor = 255;
    d.Visible = true;
    for (int end = 0; end < 2; ++end) {
        const double ex = end == 0 ? x : x + length;
        LineElement& h = o.extensions(2 * i + end);
        h.X1 = float(ex), h.Y1 = float(y), h.X2 = float(ex), h.Y2 = float(y - 7);
        h.Visible = true;
        ShapeElement& m = o.markers(2 * i + end);
        m.Move(float(ex - 0.75), float(y - 0.75), 1.5f, 1.5f);
        m.Shape = 3;
        m.FillStyle = 0;
        m.Visible = true;
    }
    LabelElement& l = o.labels(i);
    l.AutoSize = true;
    l.BackStyle = 0;
    l.FontSize = 9;
    l.Caption = QStringLiteral("%1 m").arg(length * 100, 0, 'f', 3);
    l.Tag = QStringLiteral("000:%1_240101120000").arg(length * 100);
    l.Move(float(x + length / 4), float(y - 11));
    l.Visible = true;
}

void report(const char* what, double value, const char* unit, double goal, bool atMost = true)
{
    const bool met = atMost ? value <= goal : value >= goal;
    std::printf("  %-46s %10.2f %-3s (goal %s %.2f: %s)\n", what, value, unit, atMost ? "<=" : ">=", goal,
                met ? "met" : "NOT MET");
}

// A drawing database beside the picture, holding one drawing that names it.
void storeDrawing(const QString& folder)
{
    const QString templ = QCoreApplication::applicationDirPath() + QStringLiteral("/../program/template/master.mdb");
    const QString db = folder + QStringLiteral("/bench.mdb");
    if (!QFile::copy(templ, db))
        qFatal("no template at %s (build the program first)", qPrintable(templ));
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    if (mdlDB::fncDbOpen(db) != 0)
        qFatal("cannot open %s", qPrintable(db));
    typPrint print;
    print.strNo = QStringLiteral("BENCH");
    print.strName = QStringLiteral("大判スキャン");
    print.strPath = folder;
    print.strFileName = QStringLiteral("scan.jpg");
    print.datHizuke = QDateTime::currentDateTime();
    GE_sngPictAdj = 1.0f;
    if (mdlSQL::fncSQL_InsertPrint(print) != 0)
        qFatal("cannot store the drawing");
    GE_tpPrint = print;
    GE_tpPrint.Print_Id = mdlSQL::fncSQL_GetPrintID(print.strNo);
}


// Shows or hides every object element (the picture-alone runs).
void showObjects(frmEdit& e, bool show)
{
    for (auto* a : {&e.lineDsSave, &e.lineHojoSave})
        for (int k = 0; k < a->UBound(); ++k)
            (*a)(k).Visible = show;
    for (int k = 0; k < e.shpSnpo.UBound(); ++k)
        e.shpSnpo(k).Visible = show;
    for (int k = 0; k < e.lblKyori.UBound(); ++k)
        e.lblKyori(k).Visible = show;
}

struct Run {
    double ms = 0;
    double mb = 0;
    int sheets = 0;
};

Run printOnce(ScriptedUserInterface& ui, int method, const QString& pdf)
{
    QFile::remove(pdf);
    dlgPrinter& d = Instance<dlgPrinter>::get();
    d.optHouhou(method).setValue(true);
    d.intPage[0] = 1;
    d.intPage[1] = 32767;
    ui.answerPrinter([](QPrinter&, QString&) {});
    QElapsedTimer timer;
    timer.start();
    d.cmdPrint_Click();
    Run r;
    r.ms = milliseconds(timer);
    r.mb = QFileInfo(pdf).size() / 1048576.0;
    r.sheets = int(CurrentPrinter().sheets().size());
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ScriptedUserInterface quiet;
    setUi(&quiet);
    QTemporaryDir folder;
    const QString path = makeScan(folder.path());
    const double decodedMb = double(kSide) * kSide * 4 / 1048576.0;
    QImageReader::setAllocationLimit(2048);

    TestPrinter a4;
    a4.name = QStringLiteral("Bench-A4");
    a4.outputFile = folder.filePath(QStringLiteral("print.pdf"));
    Printers::addTestPrinter(a4);

    storeDrawing(folder.path());
    GE_lngWorkArea = {0, 0, 760 * TwipsPerPixel, 1000 * TwipsPerPixel};
    frmEdit& editor = Instance<frmEdit>::get();
    if (!editor.pictMap->hasPicture())
        qFatal("the editor opened without its picture: %s", qPrintable(quiet.last().prompt));
    Objects objects(editor);
    QRandomGenerator random(11);
    const double extentMm = editor.pictMap->ScaleX(kSide, vbPixels, vbMillimeters);
    for (int i = 0; i < kDistances; ++i)
        placeDistance(objects, i, random, extentMm);
    // The spares the arrays keep after their objects.
    editor.lineDsSave.Load(editor.lineDsSave.UBound() + 1);
    editor.lblKyori.Load(editor.lblKyori.UBound() + 1);
    editor.lineHojoSave.Load(editor.lineHojoSave.UBound() + 1);

    const double opened = peakMegabytes();
    std::printf("\nprinting %d x %d px with %d elements to PDF (A4, 300 dpi)\n", kSide, kSide, kDistances * 6);
    for (int method : {1, 0}) {
        showObjects(editor, false);
        const Run alone = printOnce(quiet, method, a4.outputFile);
        showObjects(editor, true);
        const Run full = printOnce(quiet, method, a4.outputFile);
        std::printf(" %s: %d sheets (picture alone %d)\n", method == 1 ? "tiled at 100 %" : "fitted", full.sheets,
                    alone.sheets);
        std::printf("  %-46s %10.2f ms / %.2f ms\n", "time with objects / picture alone", full.ms, alone.ms);
        report("time ratio", full.ms / alone.ms, "x", kTimeGoal);
        std::printf("  %-46s %10.2f MB / %.2f MB\n", "PDF with objects / picture alone", full.mb, alone.mb);
        report("PDF size ratio", full.mb / alone.mb, "x", kSizeGoal);
    }
    std::printf("  %-46s %10.2f x\n", "peak memory before printing / decoded picture", opened / decodedMb);
    report("peak memory / decoded picture", peakMegabytes() / decodedMb, "x", kMemoryGoal);
    Instance<dlgPrinter>::get().unload();
    editor.booDrawChange = editor.booPrtChange = false;
    editor.unload();
    quiet.answerMsgBox(vb::vbNo);
    mdlDB::fncDbClose();
    return 0;
}
