#pragma once
// Repairs of a drawing brought in from the previous version's data, run once
// right after its objects are read, at zoom 1.0, in this order:
//
//   subChk_OldTag      the 6-character ids (hhnnss) widened to 12 (yymmddhhnnss)
//   subChk_KeiroLink   a route label drawn on an area's outline takes its key
//   subChk_SameLinePS  a side stored twice kept once
//   subChk_HojoLink    extension lines keyed by the side they start on
//   subChk_KyoriTag    each distance's line and label keyed like its first extension line
//   subMake_Hatching   one unhatched record per area label
//
// They change tags, visibility, element counts and hatching records, never
// positions. An index missing from an array is passed over.

#include "app/types.h"
#include "objects/objectarrays.h"

#include <QDateTime>
#include <QList>

namespace mdlRepair {

// `day` is the import's date as "yymmdd".
void subChk_OldTag(ObjectArrays& arrays, const QString& day);
void subChk_KeiroLink(ObjectArrays& arrays);
// The first element after i with exactly the same end points, hidden or
// not, or -1.
int fncFind_SameLinePS(const platform::ElementArray<platform::LineElement>& linePS, int i);
void subChk_SameLinePS(ObjectArrays& arrays);
void subChk_HojoLink(ObjectArrays& arrays);
void subChk_KyoriTag(ObjectArrays& arrays);
QList<typHatching> fncMake_Hatching(const platform::ElementArray<platform::LabelElement>& lblMensekiS);

// All six in their order; `today` gives the date of the widened ids.
void subRepair_Imported(ObjectArrays& arrays, QList<typHatching>& hatching, const QDateTime& today);

}  // namespace mdlRepair
