#pragma once
// What bringing in another picture clears from a drawing: every
// measurement, lead-out line, text label and position label (user shapes
// stay), told kind by kind so the user can weigh the question.

#include "objects/objectarrays.h"

#include <QStringList>

namespace mdlObjects {

// One line per kind that holds shown objects, "距離・寸法：3" and so on;
// empty when nothing would be cleared. Measuring lines left without any
// shown result label still count, as "計測線".
QStringList fncCleared_Kinds(const ObjectArrays& arrays);

}  // namespace mdlObjects
