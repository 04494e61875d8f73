// Printing the map benchmark's large scan with 6,000 elements to PDF on Qt's
// own PDF device as the print dialog hands it back (1200 dpi, Qt's margins,
// its papers in whole points: A4 is 595 pt, a little under 210 mm): tiled
// at 100 % on A4, fitted on A4 and fitted on A0, each through the print
// command. Each against the same sheets with the picture alone, in the
// same run: time and PDF size; and the peak memory of each print beyond the
// drawing held open, against the decoded picture, which the paper's size
// must not change (a picture cut short by the sheet's edge would be copied).
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "bench/mapscene.h"
#include "output/dlgPrinter.h"
#include "platform/picturebox.h"
#include "platform/printer.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPrinter>

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

// One print of the dialog's method on the paper picked in the print
// dialog, to a PDF file, as the print command runs it.
Run printOnce(ScriptedUserInterface& quiet, int method, QPageSize::PageSizeId paper, const QString& pdf)
{
    QFile::remove(pdf);
    dlgPrinter& d = Instance<dlgPrinter>::get();
    d.optHouhou(method).setValue(true);
    d.intPage[0] = 1;
    d.intPage[1] = 32767;
    quiet.answerPrinter([&pdf, paper](QPrinter& device, QString&) {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(pdf);
        device.setPageSize(QPageSize(paper));
    });
    const StepPeak peak;
    QElapsedTimer timer;
    timer.start();
    d.cmdPrint_Click();
    Run r;
    r.ms = milliseconds(timer);
    r.peakMb = peak.beyond();
    r.mb = QFileInfo(pdf).size() / 1048576.0;
    r.sheets = int(CurrentPrinter().sheets().size());
    if (r.sheets == 0 || CurrentPrinter().dpiX() != kDpi)
        qFatal("nothing printed at %d dpi: %s", kDpi, qPrintable(quiet.last().prompt));
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

    const QString pdf = folder.filePath(QStringLiteral("print.pdf"));
    Printers::clearTestPrinters();

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
        QPageSize::PageSizeId paper;
    } prints[] = {{"A4 tiled at 100 %", 1, QPageSize::A4},
                  {"A4 fitted", 0, QPageSize::A4},
                  {"A0 fitted", 0, QPageSize::A0}};
    // The fitted prints' peaks: the sheet's size must not make a copy of
    // the picture, so A4's stays as far below the picture as A0's.
    double fittedPeak[2] = {};
    for (const auto& p : prints) {
        showObjects(editor, false);
        const Run alone = printOnce(quiet, p.method, p.paper, pdf);
        showObjects(editor, true);
        const Run full = printOnce(quiet, p.method, p.paper, pdf);
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
        const double peakMb = std::max(full.peakMb, alone.peakMb);
        report("peak memory / decoded picture", peakMb / decodedMb, "x", kMemoryGoal);
        if (p.method == 0)
            fittedPeak[p.paper == QPageSize::A0] = peakMb;
    }
    std::printf(" fitted A4 against fitted A0\n");
    report("peak memory, A4 / A0", fittedPeak[0] / fittedPeak[1], "x", kMemoryGoal);
    Instance<dlgPrinter>::get().unload();
    editor.booDrawChange = editor.booPrtChange = false;
    editor.unload();
    quiet.answerMsgBox(vb::vbNo);
    mdlDB::fncDbClose();
    return 0;
}
