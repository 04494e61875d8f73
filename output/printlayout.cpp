#include "output/printlayout.h"

#include "platform/vberror.h"
#include "platform/vbruntime.h"

namespace PrintLayout {

namespace {
constexpr double PixelsPerMillimetre = 96 / 25.4;
}

double fncFit_Factor(double printWidth, double printHeight, double extentWidth, double extentHeight)
{
    if (!(extentWidth > 0) || !(extentHeight > 0))
        return 0;
    const double fw = printWidth / extentWidth;
    const double fh = printHeight / extentHeight;
    return fw <= fh ? fw : fh;
}

QRectF fncTile_Source(const Tile& tile, double sheetWidth, double sheetHeight, double zoom, double aspect)
{
    const double kx = PixelsPerMillimetre / zoom;
    const double ky = PixelsPerMillimetre / (zoom * aspect);
    return QRectF(tile.x * kx, tile.y * ky, sheetWidth * kx, sheetHeight * ky);
}

std::optional<qint16> fncPage_Number(const QString& text)
{
    if (!vb::IsNumeric(text))
        return std::nullopt;
    try {
        return vb::CInt(vb::Val(text));
    } catch (const vb::Error&) {
        return std::nullopt;
    }
}

}  // namespace PrintLayout
