#pragma once
// The loaded drawing of bench_objects over a large scanned map with A4 page
// frames: the zoom step 100 % -> 125 % and back, the objects' re-layout on
// its own (without the hatching), and the real-page layout at 200 %. The
// re-layout's floor, measured in the same run: the same new values computed
// from plain float arrays plus one text measurement per label at its new size.

#include "bench/mapscene.h"

#include <QFontMetricsF>

namespace objectszoom {

using bench::median;
using bench::milliseconds;
using mapscene::makeScan;

// The floor: every re-laid value of the same elements, from plain arrays.
struct Floor {
    std::vector<float> lines, shapes;  // four values each
    struct Label {
        float left, top;
        double size;
        QFont font;
        QString caption;
    };
    std::vector<Label> labels;

    explicit Floor(frmEdit& e)
    {
        for (auto* a : {&e.lineHikidashi, &e.lineHojoSave, &e.lineDsSave, &e.linePS}) {
            for (int k = 0; k <= a->UBound(); ++k)
                lines.insert(lines.end(), {(*a)(k).X1, (*a)(k).Y1, (*a)(k).X2, (*a)(k).Y2});
        }
        for (auto* a : {&e.shpShape, &e.shpSnpo}) {
            for (int k = 0; k <= a->UBound(); ++k)
                shapes.insert(shapes.end(), {(*a)(k).Left, (*a)(k).Top, (*a)(k).Width(), (*a)(k).Height()});
        }
        for (auto* a : {&e.lblMoji, &e.lblKeiIdoS, &e.lblKyori, &e.lblKeiroS, &e.lblMensekiS}) {
            for (int k = 0; k <= a->UBound(); ++k) {
                const platform::LabelElement& l = (*a)(k);
                labels.push_back({l.Left, l.Top, l.FontSize, l.font(), l.Caption});
            }
        }
    }

    double run(float f)
    {
        QElapsedTimer t;
        t.start();
        for (float& v : lines)
            v *= f;
        for (float& v : shapes)
            v *= f;
        for (Label& l : labels) {
            l.size *= f;
            l.font.setPointSizeF(l.size);
            const QRectF r = QFontMetricsF(l.font).boundingRect(l.caption);
            l.left = l.left * f + float(r.width() / 2);
            l.top = l.top * f - float(r.height() / 24);
        }
        return milliseconds(t);
    }
};

inline void run(frmEdit& e, const QString& folder)
{
    e.showForm(platform::vbModeless);
    e.subPictDraw(makeScan(folder, true));
    GE_tpPrinter.strFormName = QStringLiteral("A4");
    GE_tpPrinter.sngScaleWidth = 190;
    GE_tpPrinter.sngScaleHeight = 277;
    const auto zoomTo = [&e](float z) {
        GE_sngZoom = z;
        e.sZoom(GE_sngZoom);
        e.pictWindow->grab();
    };
    zoomTo(1.0f);
    e.subSetup_Page();
    e.subSetup_PageR();
    e.subDisp_Paper(GE_sngZoom, true);
    e.subDisp_PaperR(true);

    std::vector<double> up, down;
    QElapsedTimer t;
    for (int i = 0; i < 5; ++i) {
        t.restart();
        zoomTo(1.25f);
        up.push_back(milliseconds(t));
        t.restart();
        zoomTo(1.0f);
        down.push_back(milliseconds(t));
    }
    // The re-layout alone, its hatching left out.
    const QList<typHatching> hatching = GE_tpHatching;
    GE_tpHatching = {typHatching()};
    std::vector<double> relay;
    for (int i = 0; i < 5; ++i) {
        for (const float z : {1.25f, 1.0f}) {
            GE_sngZoom = z;
            t.restart();
            e.subDisp_Object();
            if (z != 1.0f)
                relay.push_back(milliseconds(t));
        }
    }
    GE_tpHatching = hatching;
    std::vector<double> floors;
    Floor floor(e);
    for (int i = 0; i < 5; ++i)
        floors.push_back(floor.run(1.25f));
    zoomTo(2.0f);
    std::vector<double> pages;
    for (int i = 0; i < 5; ++i) {
        t.restart();
        e.subSetup_PageR();
        pages.push_back(milliseconds(t));
    }
    std::printf("\nthe drawing over a 10,000 px map, A4 pages (%d 100 %% and %d real at 200 %%); medians of 5\n",
                e.shpPrintWaku.UBound(), e.shpPrintWakuR.UBound());
    std::printf("  %-44s %9.1f ms\n", "zoom step 100 % -> 125 % (shown)", median(up));
    std::printf("  %-44s %9.1f ms\n", "zoom step 125 % -> 100 % (shown)", median(down));
    std::printf("  %-44s %9.1f ms\n", "floor: plain arrays + one text measure each", median(floors));
    const double ratio = median(relay) / median(floors);
    std::printf("  %-44s %9.1f ms  %5.2f x floor  (goal <= 3 x: %s)\n", "re-layout at 125 % (no hatching)",
                median(relay), ratio, ratio <= 3 ? "met" : "NOT MET");
    std::printf("  %-44s %9.1f ms\n", "real-page layout at 200 %", median(pages));
}

}  // namespace objectszoom
