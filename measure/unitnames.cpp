#include "measure/unitnames.h"

#include "app/globals.h"

namespace measure {

void subSet_UnitNames()
{
    if (GE_intUnitDIndex >= 0 && GE_intUnitDIndex < UnitCount)
        GE_strUnitD = GE_strUnitDistance[size_t(GE_intUnitDIndex)];
    if (GE_intUnitSIndex >= 0 && GE_intUnitSIndex < UnitCount)
        GE_strUnitS = GE_strUnitArea[size_t(GE_intUnitSIndex)];
}

}  // namespace measure
