// Opening a large scanned map in the editor, zooming and scrolling it with a
// thousand distance objects on it: times against the bare decode of the
// picture, and the peak memory against the decoded picture's size.
// Run with QT_QPA_PLATFORM=offscreen from the build folder.

#include "bench/mapscene.h"
#include "platform/picturebox.h"

#include <QFileInfo>
#include <QImageReader>

#include <vector>

using namespace platform;

namespace {

using namespace bench;
using namespace mapscene;

constexpr int kDistances = 1000;  // each: 1 label, 1 line, 2 extension lines, 2 markers
constexpr double kOpenGoal = 1.3, kRepaintGoalMs = 30, kMemoryGoal = 2.5;

// The editor's re-layout at a new zoom: every position and size by the ratio.
void relay(Objects& o, float ratio)
{
    for (int k = 0; k <= o.labels.UBound(); ++k) {
        LabelElement& l = o.labels(k);
        l.Move(l.Left * ratio, l.Top * ratio);
        l.FontSize = l.FontSize * ratio;
    }
    auto lines = [ratio](ElementArray<LineElement>& a) {
        for (int k = 0; k <= a.UBound(); ++k) {
            LineElement& e = a(k);
            e.X1 *= ratio, e.Y1 *= ratio, e.X2 *= ratio, e.Y2 *= ratio;
        }
    };
    lines(o.dimensions);
    lines(o.extensions);
    for (int k = 0; k <= o.markers.UBound(); ++k) {
        ShapeElement& m = o.markers(k);
        m.Move(m.Left * ratio, m.Top * ratio, m.Width() * ratio, m.Height() * ratio);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Session session(argc, argv);
    ScriptedUserInterface& quiet = session.quiet;
    const QTemporaryDir& folder = session.folder;
    QElapsedTimer timer;

    timer.start();
    const QString path = makeScan(folder.path());
    std::printf("test picture: %d x %d JPEG, %.1f MB, made in %.0f ms\n", kSide, kSide,
                QFileInfo(path).size() / 1048576.0, milliseconds(timer));
    const double decodedMb = double(kSide) * kSide * 4 / 1048576.0;

    // The bare decode, best of two.
    QImageReader::setAllocationLimit(2048);
    const double bare = fastest(2, [&] {
        timer.restart();
        QImageReader reader(path);
        reader.setAutoTransform(false);
        const QImage decoded = reader.read();
        const double ms = milliseconds(timer);
        if (decoded.isNull())
            qFatal("decode failed: %s", qPrintable(reader.errorString()));
        return ms;
    });

    storeDrawing(folder);
    GE_lngWorkArea = {0, 0, 760 * TwipsPerPixel, 1000 * TwipsPerPixel};  // left, top, height, width

    // Open: the editor's load (record, picture, copy at 100 %) and its first
    // paint; best of two.
    const double open = fastest(2, [&] {
        if (frmEdit* old = Instance<frmEdit>::pointer()) {
            old->unload();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        timer.restart();
        frmEdit& editor = Instance<frmEdit>::get();
        editor.showForm(vbModeless);
        editor.pictWindow->grab();
        return milliseconds(timer);
    });
    frmEdit& editor = Instance<frmEdit>::get();
    if (!editor.pictMap->hasPicture())
        qFatal("the editor opened without its picture: %s", qPrintable(quiet.last().prompt));

    Objects objects(editor);
    timer.restart();
    placeDistances(editor, kDistances);
    const double placing = milliseconds(timer);

    // Zoom steps 100 % -> 125 % (and back, to repeat), each shown.
    auto zoomTo = [&](float z) {
        GE_sngZoom = z;
        editor.sZoom(GE_sngZoom);
        editor.pictWindow->grab();
    };
    std::vector<double> zooms;
    for (int run = 0; run < 5; ++run) {
        timer.restart();
        zoomTo(1.25f);
        zooms.push_back(milliseconds(timer));
        zoomTo(1.0f);
    }
    zoomTo(1.25f);
    timer.restart();
    relay(objects, 1.25f);
    editor.pictWindow->grab();
    const double relayout = milliseconds(timer);

    // Scrolling by one LargeChange through the scroll bars, each step shown.
    std::vector<double> scrolls;
    for (int step = 1; step <= 20; ++step) {
        timer.restart();
        editor.hscX->setValue(std::min(editor.hscX->Max(), editor.hscX->Value() + editor.hscX->LargeChange()));
        editor.pictWindow->grab();
        scrolls.push_back(milliseconds(timer));
    }
    for (int step = 1; step <= 20; ++step) {
        timer.restart();
        editor.vscY->setValue(std::min(editor.vscY->Max(), editor.vscY->Value() + editor.vscY->LargeChange()));
        editor.pictWindow->grab();
        scrolls.push_back(milliseconds(timer));
    }

    const double peak = peakMegabytes();
    const QSize mapSize = editor.pictMap->size();

    // Below 100 % the picture is area-averaged: the first zoom to 25 % makes
    // the halved copies; 75 % averages the picture's own pixels.
    timer.restart();
    zoomTo(0.25f);
    const double firstReduced = milliseconds(timer);
    std::vector<double> reducedZooms;
    for (int run = 0; run < 5; ++run) {
        zoomTo(1.0f);
        timer.restart();
        zoomTo(0.75f);
        reducedZooms.push_back(milliseconds(timer));
    }
    std::vector<double> reducedScrolls;
    for (int step = 1; step <= 10; ++step) {
        timer.restart();
        editor.hscX->setValue(std::min(editor.hscX->Max(), editor.hscX->Value() + editor.hscX->LargeChange()));
        editor.pictWindow->grab();
        reducedScrolls.push_back(milliseconds(timer));
        timer.restart();
        editor.vscY->setValue(std::min(editor.vscY->Max(), editor.vscY->Value() + editor.vscY->LargeChange()));
        editor.pictWindow->grab();
        reducedScrolls.push_back(milliseconds(timer));
    }
    std::printf("\nmap %d x %d px at 125 %%, viewport %d x %d, %d elements\n", mapSize.width(), mapSize.height(),
                editor.pictWindow->width(), editor.pictWindow->height(), int(editor.pictMap->elements().size()));
    std::printf("  %-46s %10.2f ms\n", "bare QImageReader decode (best of 2)", bare);
    std::printf("  %-46s %10.2f ms\n", "open in the editor at 100 % + first paint", open);
    report("open / bare decode", open / bare, "x", kOpenGoal);
    report("zoom step 100 % -> 125 % (median of 5)", median(zooms), "ms", kRepaintGoalMs);
    report("scroll one LargeChange + repaint (median of 40)", median(scrolls), "ms", kRepaintGoalMs);
    std::printf("  %-46s %10.2f ms\n", "first zoom to 25 % (making the halved copies)", firstReduced);
    report("zoom step 100 % -> 75 % (median of 5)", median(reducedZooms), "ms", kRepaintGoalMs);
    report("scroll at 75 % + repaint (median of 20)", median(reducedScrolls), "ms", kRepaintGoalMs);
    std::printf("  %-46s %10.2f ms\n", "placing 6,000 elements", placing);
    std::printf("  %-46s %10.2f ms\n", "re-laying 6,000 elements at 125 % + repaint", relayout);
    std::printf("  %-46s %10.1f\n", "decoded picture (MiB)", decodedMb);
    std::printf("  %-46s %10.1f\n", "peak resident memory (MiB)", peak);
    std::printf("  %-46s %10.1f\n", "peak resident memory, after 25 % too (MiB)", peakMegabytes());
    report("peak memory / decoded picture", peak / decodedMb, "x", kMemoryGoal);
    Instance<frmEdit>::get().unload();
    quiet.answerMsgBox(vb::vbNo);
    mdlDB::fncDbClose();
    return 0;
}
