#pragma once
// The arithmetic of the two print methods, free of any device: the factor
// that fits the drawing to one sheet, the sheets of the tiled print over the
// page grid, the part of the picture a tile shows, and the page boxes' text.

#include "editor/pagegrid.h"

#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace PrintLayout {

// The factor that fits an extent into the printable area: the smaller of
// the two ratios (a tie takes the width's); 0 for an empty extent.
double fncFit_Factor(double printWidth, double printHeight, double extentWidth, double extentHeight);

// One sheet of the tiled print: its page number and the tile's corner in
// the displayed units.
struct Tile {
    int page = 0;
    double x = 0;
    double y = 0;
};

// The tiles of pages `from` to `to` over the grid, in page order: page k is
// column (k - 1) \ down, row (k - 1) mod down. A range typed backwards is
// the same range. `printed(k)` says whether page k is printed (its frame
// exists and is not filled).
template <typename Printed>
std::vector<Tile> fncTiles(const PageGrid::Grid& grid, double sheetWidth, double sheetHeight, int from, int to,
                           Printed printed)
{
    std::vector<Tile> tiles;
    const int pages = int(grid.across) * grid.down;
    for (int k = qMax(qMin(from, to), 1); k <= qMin(qMax(from, to), pages); ++k)
        if (printed(k))
            tiles.push_back({k, PageGrid::fncPage_Column(k, grid) * sheetWidth,
                             PageGrid::fncPage_Row(k, grid) * sheetHeight});
    return tiles;
}

// The picture's pixels a tile shows: the tile's corner and size in the
// displayed units, divided by the zoom (and the height also by the aspect
// factor), are millimetres of the picture at 96 dots per inch.
QRectF fncTile_Source(const Tile& tile, double sheetWidth, double sheetHeight, double zoom, double aspect);

// A page box's number: a numeric text in the 16-bit range, rounded;
// nothing for any other text (which gives the box its number back).
std::optional<qint16> fncPage_Number(const QString& text);

}  // namespace PrintLayout
