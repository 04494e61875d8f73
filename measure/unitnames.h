#pragma once
// The names of the drawing's units. A drawing stores only the indexes of
// its distance and area units; the names that captions, readouts and list
// headers print are taken from the unit tables of Init.ini.

namespace measure {

// GE_strUnitD and GE_strUnitS := the table names at GE_intUnitDIndex and
// GE_intUnitSIndex (each with its trailing blank). An index outside the
// tables leaves its name as it is.
void subSet_UnitNames();

}  // namespace measure
