#pragma once
// The rules of closing a polyline on the map into an area, free of widgets.

#include "app/types.h"

#include <QList>
#include <QString>

namespace interaction {

// Whether the polyline closes onto vertex v when side n was just drawn:
// only a vertex at least two sides back (as the moving pointer marks it);
// the vertex before the new side would make a two-sided area.
bool fncCloses_Onto(int v, int n);

// The hatching record of a new area k: the first takes the fixed look
// (pitch 4, tilt 45, solid, width 1, copy pen) in the default line's
// colour; each later one copies the record before it. Then its own style
// and key.
typHatching fncNew_HatchRecord(const QList<typHatching>& records, int k, qint32 colour, qint16 style,
                               const QString& key);

}  // namespace interaction
