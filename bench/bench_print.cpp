// Printing the map benchmark's large scan with 6,000 elements to PDF on a
// test printer (A4, 300 dpi, 10 mm margins): tiled at 100 % and fitted, each
// against the same sheets with the picture alone, in the same run: time, PDF
// size, and the peak memory against the decoded picture.
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
    Session session(argc, argv);
    ScriptedUserInterface& quiet = session.quiet;
    const QTemporaryDir& folder = session.folder;
    const QString path = makeScan(folder.path());
    const double decodedMb = double(kSide) * kSide * 4 / 1048576.0;
    QImageReader::setAllocationLimit(2048);

    TestPrinter a4;
    a4.name = QStringLiteral("Bench-A4");
    a4.outputFile = folder.filePath(QStringLiteral("print.pdf"));
    Printers::addTestPrinter(a4);

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
