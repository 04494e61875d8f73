// Opening, zooming and scrolling a large scanned map with a thousand distance
// objects on it: times against the bare decode of the picture, and the peak
// memory against the decoded picture's size. Run with QT_QPA_PLATFORM=offscreen.

#include "platform/elements.h"
#include "platform/picturebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace platform;

namespace {

constexpr int kSide = 10000;     // picture pixels each way
constexpr int kDistances = 1000;  // each: 1 label, 1 line, 2 extension lines, 2 markers
constexpr double kOpenGoal = 1.3, kRepaintGoalMs = 30, kMemoryGoal = 2.5;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double milliseconds(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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

struct Objects {
    explicit Objects(PictureBox* map)
        : labels(QStringLiteral("lblKyori"), map), dimensions(QStringLiteral("lineDsSave"), map),
          extensions(QStringLiteral("lineHojoSave"), map), markers(QStringLiteral("shpSnpo"), map)
    {
    }
    ElementArray<LabelElement> labels;
    ElementArray<LineElement> dimensions, extensions;
    ElementArray<ShapeElement> markers;
};

// Lays out distance i as the editor keeps one: label, dimension line, two
// extension lines and two end markers, spread over the whole map (mm).
void placeDistance(Objects& o, int i, QRandomGenerator& random, double extentMm)
{
    const double x = random.bounded(extentMm - 60), y = 10 + random.bounded(extentMm - 60);
    const double length = 10 + random.bounded(40.0);
    if (i > 0) {
        o.labels.Load(i);
        o.dimensions.Load(i);
    }
    for (int k = 2 * i; k <= 2 * i + 1; ++k) {
        if (k > 0) {
            o.extensions.Load(k);
            o.markers.Load(k);
        }
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

void report(const char* what, double value, const char* unit, double goal, bool atMost = true)
{
    const bool met = atMost ? value <= goal : value >= goal;
    std::printf("  %-46s %10.2f %-3s (goal %s %.2f: %s)\n", what, value, unit, atMost ? "<=" : ">=", goal,
                met ? "met" : "NOT MET");
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QElapsedTimer timer;

    timer.start();
    const QString path = makeScan(folder.path());
    std::printf("test picture: %d x %d JPEG, %.1f MB, made in %.0f ms\n", kSide, kSide,
                QFileInfo(path).size() / 1048576.0, milliseconds(timer));
    const double decodedMb = double(kSide) * kSide * 4 / 1048576.0;

    // The bare decode, best of two.
    QImageReader::setAllocationLimit(2048);
    double bare = 1e300;
    for (int run = 0; run < 2; ++run) {
        timer.restart();
        QImageReader reader(path);
        reader.setAutoTransform(false);
        const QImage decoded = reader.read();
        bare = std::min(bare, milliseconds(timer));
        if (decoded.isNull())
            qFatal("decode failed: %s", qPrintable(reader.errorString()));
    }

    // The editor's view: the viewport in pixels, the map in millimetres.
    PictureBox viewport(QStringLiteral("pictWindow"));
    viewport.setScaleMode(vbPixels);
    viewport.resize(1000, 700);
    auto* map = new PictureBox(QStringLiteral("pictMap"), &viewport);
    map->setScaleMode(vbMillimeters);
    viewport.show();
    QApplication::processEvents();

    Objects objects(map);
    QRandomGenerator random(11);
    const double extentMm = map->ScaleX(kSide, vbPixels, vbMillimeters);
    timer.restart();
    for (int i = 0; i < kDistances; ++i)
        placeDistance(objects, i, random, extentMm);
    const double placing = milliseconds(timer);

    // Open: load, place in the map at 100 %, paint the copy, show it; best of two.
    double open = 1e300;
    SharedImage picture;
    for (int run = 0; run < 2; ++run) {
        picture.reset();
        map->setPicture({});
        map->Cls();
        timer.restart();
        picture = LoadPicture(path);
        map->setPicture(picture);
        map->Move(0, 0, picture->width() + 4, picture->height() + 4);
        map->PaintPicture(picture, 0, 0, map->ScaleX(picture->width(), vbPixels, vbMillimeters),
                          map->ScaleY(picture->height(), vbPixels, vbMillimeters));
        viewport.grab();
        open = std::min(open, milliseconds(timer));
    }

    // Zoom steps 100 % -> 125 % (and back, to repeat): clear, resize, paint the copy, show.
    auto zoomTo = [&](double z) {
        map->Cls();
        map->Move(map->Left(), map->Top(), picture->width() * z + 4, picture->height() * z + 4);
        map->PaintPicture(picture, 0, 0, map->ScaleX(picture->width() * z, vbPixels, vbMillimeters),
                          map->ScaleY(picture->height() * z, vbPixels, vbMillimeters));
        viewport.grab();
    };
    std::vector<double> zooms;
    for (int run = 0; run < 5; ++run) {
        timer.restart();
        zoomTo(1.25);
        zooms.push_back(milliseconds(timer));
        zoomTo(1.0);
    }
    zoomTo(1.25);
    timer.restart();
    relay(objects, 1.25f);
    viewport.grab();
    const double relayout = milliseconds(timer);

    // Scrolling by 50 pixels, each step shown; the map moves to negative offsets.
    std::vector<double> scrolls;
    for (int step = 1; step <= 20; ++step) {
        timer.restart();
        map->Move(-50.0 * step, -30.0 * step);
        viewport.grab();
        scrolls.push_back(milliseconds(timer));
    }
    // The same through the window's own repaint (the toolkit blits what stays).
    std::vector<double> windowScrolls;
    for (int step = 1; step <= 20; ++step) {
        timer.restart();
        map->Move(map->Left() - 50, map->Top());
        viewport.repaint();
        windowScrolls.push_back(milliseconds(timer));
    }

    const double peak = peakMegabytes();
    std::printf("\nmap %d x %d px at 125 %%, viewport 1000 x 700, %d elements\n", map->width(), map->height(),
                int(map->elements().size()));
    std::printf("  %-46s %10.2f ms\n", "bare QImageReader decode (best of 2)", bare);
    std::printf("  %-46s %10.2f ms\n", "open: LoadPicture + map + copy + repaint", open);
    report("open / bare decode", open / bare, "x", kOpenGoal);
    report("zoom step 100 % -> 125 % (median of 5)", median(zooms), "ms", kRepaintGoalMs);
    report("scroll 50 px, viewport rendered (median of 20)", median(scrolls), "ms", kRepaintGoalMs);
    report("scroll 50 px, window repaint (median of 20)", median(windowScrolls), "ms", kRepaintGoalMs);
    std::printf("  %-46s %10.2f ms\n", "placing 6,000 elements", placing);
    std::printf("  %-46s %10.2f ms\n", "re-laying 6,000 elements at 125 % + repaint", relayout);
    std::printf("  %-46s %10.1f\n", "decoded picture (MiB)", decodedMb);
    std::printf("  %-46s %10.1f\n", "peak resident memory (MiB)", peak);
    report("peak memory / decoded picture", peak / decodedMb, "x", kMemoryGoal);
    return 0;
}
