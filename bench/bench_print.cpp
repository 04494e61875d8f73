// Printing the map benchmark's large scan with 6,000 elements to PDF on
// 1200 dpi test printers (10 mm margins), the resolution Qt's print dialog
// hands over for a PDF file or a print queue: tiled at 100 % on A4, fitted
// on A4 and fitted on A0. Each against the same sheets with the picture alone, in the
// same run: time and PDF size; and the peak memory of each print beyond
// the drawing held open, against the decoded picture, which the paper's
// size must not change.
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "bench/mapscene.h"
#include "output/dlgPrinter.h"
#include "platform/picturebox.h"
#include "platform/printer.h"

#include <QFileInfo>
#include <QImageReader>

using namespace platform;

namespace {

using namespace bench;
using namespace mapscene;

constexpr int kDistances = 1000;  // 6 elements each
constexpr int kDpi = 1200;
constexpr double kTimeGoal = 1.5, kSizeGoal = 1.2, kMemoryGoal = 1.5;

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
    double peakMb = 0;  // beyond the drawing held open
    int sheets = 0;
};

// One print of the dialog's method on the named printer (1200 dpi, its
// one paper), as the print command runs it once the print dialog is done.
Run printOnce(int method, const QString& printerName, const QString& pdf)
{
    QFile::remove(pdf);
    dlgPrinter& d = Instance<dlgPrinter>::get();
    Printer& printer = CurrentPrinter();
    if (printer.DeviceName() != printerName)
        printer.select(printerName);
    d.intPage[0] = 1;
    d.intPage[1] = 32767;
    const StepPeak peak;
    QElapsedTimer timer;
    timer.start();
    if (method == 0)
        d.subPrintFit();
    else
        d.subPrintS();
    printer.EndDoc();
    Run r;
    r.ms = milliseconds(timer);
    r.peakMb = peak.beyond();
    r.mb = QFileInfo(pdf).size() / 1048576.0;
    r.sheets = int(printer.sheets().size());
    if (r.sheets == 0)
        qFatal("nothing printed");
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    Session session(argc, argv);
    ScriptedUserInterface& quiet = session.quiet;
    const QTemporaryDir& folder = session.folder;
    const QString path = makeScan(folder.path());
    const double decodedMb = double(kSide) * kSide * 4 / 1048576.0;
    QImageReader::setAllocationLimit(2048);

    // The first is the default, whose paper the editor's page frames take.
    const QString pdf = folder.filePath(QStringLiteral("print.pdf"));
    for (const auto& [name, paper] : {std::pair("Bench-A4", QPageSize::A4), std::pair("Bench-A0", QPageSize::A0)}) {
        TestPrinter printer;
        printer.name = QString::fromLatin1(name);
        printer.papers = {QPageSize(paper)};
        printer.resolution = kDpi;
        printer.outputFile = pdf;
        Printers::addTestPrinter(printer);
    }

    storeDrawing(folder);
    GE_lngWorkArea = {0, 0, 760 * TwipsPerPixel, 1000 * TwipsPerPixel};
    frmEdit& editor = Instance<frmEdit>::get();
    if (!editor.pictMap->hasPicture())
        qFatal("the editor opened without its picture: %s", qPrintable(quiet.last().prompt));
    placeDistances(editor, kDistances);
    // The spares the arrays keep after their objects.
    editor.lineDsSave.Load(editor.lineDsSave.UBound() + 1);
    editor.lblKyori.Load(editor.lblKyori.UBound() + 1);
    editor.lineHojoSave.Load(editor.lineHojoSave.UBound() + 1);

    std::printf("\nprinting %d x %d px (%.0f MB decoded) with %d elements to PDF at %d dpi\n", kSide, kSide,
                decodedMb, kDistances * 6, kDpi);
    if (!StepPeak().reset)
        std::printf("  (the peak can't be set back here: each figure is the run's peak so far)\n");
    const struct {
        const char* name;
        int method;
        QString printer;
    } prints[] = {{"A4 tiled at 100 %", 1, QStringLiteral("Bench-A4")},
                  {"A4 fitted", 0, QStringLiteral("Bench-A4")},
                  {"A0 fitted", 0, QStringLiteral("Bench-A0")}};
    for (const auto& p : prints) {
        showObjects(editor, false);
        const Run alone = printOnce(p.method, p.printer, pdf);
        showObjects(editor, true);
        const Run full = printOnce(p.method, p.printer, pdf);
        constexpr double mmPerTwip = 25.4 / 1440;
        std::printf(" %s (%.0f x %.0f mm): %d sheets (picture alone %d)\n", p.name,
                    CurrentPrinter().Width() * mmPerTwip, CurrentPrinter().Height() * mmPerTwip, full.sheets,
                    alone.sheets);
        std::printf("  %-46s %10.2f ms / %.2f ms\n", "time with objects / picture alone", full.ms, alone.ms);
        report("time ratio", full.ms / alone.ms, "x", kTimeGoal);
        std::printf("  %-46s %10.2f MB / %.2f MB\n", "PDF with objects / picture alone", full.mb, alone.mb);
        report("PDF size ratio", full.mb / alone.mb, "x", kSizeGoal);
        std::printf("  %-46s %10.2f MB / %.2f MB\n", "peak beyond the open drawing, objects / alone",
                    full.peakMb, alone.peakMb);
        report("peak memory / decoded picture", std::max(full.peakMb, alone.peakMb) / decodedMb, "x",
               kMemoryGoal);
    }
    Instance<dlgPrinter>::get().unload();
    editor.booDrawChange = editor.booPrtChange = false;
    editor.unload();
    quiet.answerMsgBox(vb::vbNo);
    mdlDB::fncDbClose();
    return 0;
}
