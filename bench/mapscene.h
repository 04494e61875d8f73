#pragma once
// The large scanned map the map, print and zoom benchmarks draw on, its
// drawing record, and the distance objects laid over it.

#include "app/globals.h"
#include "bench/benchsupport.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "editor/frmEdit.h"
#include "platform/elements.h"
#include "platform/picturebox.h"

#include <QDateTime>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

namespace mapscene {

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

constexpr int kSide = 10000;  // picture pixels each way

// A scan-like picture, 10,000 pixels each way: paper and streets, with
// blocks and lettering unless only the streets are wanted.
inline QString makeScan(const QString& folder, bool streetsOnly = false)
{
    QImage scan(kSide, kSide, QImage::Format_RGB32);
    scan.fill(QColor(248, 246, 238));
    QPainter p(&scan);
    QRandomGenerator random(7);
    if (!streetsOnly) {
        for (int i = 0; i < 4000; ++i)
            p.fillRect(random.bounded(kSide), random.bounded(kSide), 40 + random.bounded(200),
                       40 + random.bounded(200),
                       QColor(200 + random.bounded(40), 200 + random.bounded(40), 190 + random.bounded(40)));
    }
    p.setPen(QPen(QColor(90, 90, 90), 3));
    for (int v = 0; v < kSide; v += 173) {
        p.drawLine(v, 0, v + 300, kSide);
        p.drawLine(0, v, kSide, v - 200);
    }
    if (!streetsOnly) {
        p.setFont(QFont(QString(), 18));
        for (int i = 0; i < 3000; ++i)
            p.drawText(random.bounded(kSide), random.bounded(kSide),
                       QStringLiteral("地番 %1-%2").arg(i).arg(i % 37));
    }
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
inline void placeDistance(Objects& o, int i, QRandomGenerator& random, double extentMm)
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

// Count distances laid over the editor's map, as the same random ones each run.
inline void placeDistances(frmEdit& editor, int count)
{
    Objects objects(editor);
    QRandomGenerator random(11);
    const double extentMm = editor.pictMap->ScaleX(kSide, platform::vbPixels, platform::vbMillimeters);
    for (int i = 0; i < count; ++i)
        placeDistance(objects, i, random, extentMm);
}

// A drawing database beside the picture, holding one drawing that names it.
inline void storeDrawing(const QTemporaryDir& folder)
{
    bench::storeDrawing(folder, QStringLiteral("大判スキャン"), QStringLiteral("scan.jpg"));
}

}  // namespace mapscene
