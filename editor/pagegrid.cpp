#include "editor/pagegrid.h"

#include "platform/vberror.h"
#include "platform/vbruntime.h"

namespace PageGrid {

qint16 fncPages_Along(double extent, double sheet)
{
    return vb::CInt(vb::Format(vb::Divide(extent, sheet) + 0.5, QStringLiteral("#0")));
}

Grid fncPage_Grid(double width, double height, double sheetWidth, double sheetHeight)
{
    const Grid grid{fncPages_Along(width, sheetWidth), fncPages_Along(height, sheetHeight)};
    if (qint32(grid.across) * grid.down > 32767)
        throw vb::Error(vb::errOverflow);
    return grid;
}

QList<int> fncKept_LeftOut(const QList<QRectF>& leftOut, const QList<QRectF>& pages, int& lost)
{
    QList<int> kept;
    lost = 0;
    for (const QRectF& old : leftOut) {
        int found = 0;
        for (qsizetype k = 0; k < pages.size() && found == 0; ++k) {
            const QRectF both = pages[k].intersected(old);
            const double shared = both.width() * both.height();
            if (shared > 0 && 2 * shared >= old.width() * old.height()
                && 2 * shared >= pages[k].width() * pages[k].height())
                found = int(k) + 1;
        }
        if (found == 0)
            ++lost;
        else if (!kept.contains(found))
            kept.append(found);
    }
    return kept;
}

}  // namespace PageGrid
