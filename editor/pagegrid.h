#pragma once
// The grid of printed sheets over the map: how many pages across and down,
// and where page k lies. Pages are numbered from 1 down the first column,
// then down the next.

#include <QList>
#include <QRectF>
#include <QtGlobal>

namespace PageGrid {

struct Grid {
    qint16 across = 0;
    qint16 down = 0;
};

// Pages along an extent: extent / sheet + 0.5 rounded half away from zero,
// so a fraction gives the next whole page and a whole ratio one page more;
// never less than 1. A sheet of 0 raises the runtime's division error.
qint16 fncPages_Along(double extent, double sheet);

// The whole grid; more than 32767 pages raise the overflow error (6) before
// anything is laid.
Grid fncPage_Grid(double width, double height, double sheetWidth, double sheetHeight);

// Column and row of page k (from 1), both from 0.
inline int fncPage_Column(int k, const Grid& grid) { return (k - 1) / grid.down; }
inline int fncPage_Row(int k, const Grid& grid) { return (k - 1) % grid.down; }

// Pages left out of a print, carried over to pages laid anew on another
// sheet at the same zoom: a new page takes the mark of an old one when they
// share at least half of each, so that the mark still names the same part
// of the map. Answers the new pages (numbered from 1, as `pages` lists their
// frames) to leave out; `lost` counts the marks that found no such page.
QList<int> fncKept_LeftOut(const QList<QRectF>& leftOut, const QList<QRectF>& pages, int& lost);

}  // namespace PageGrid
