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

}  // namespace PageGrid
