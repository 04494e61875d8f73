#pragma once
// Deleting single objects from the element arrays. Every array stays dense:
// the later elements move down one place (two in lineHojoSave and shpSnpo)
// and the surplus last element is destroyed, or hidden when it is element 0.
// The measurement arrays end again with their hidden spare, and area label i
// stays paired with hatching record i.

#include "app/types.h"
#include "objects/objectarrays.h"

#include <QList>
#include <QString>

namespace mdlDelete {

// Element i of one array (text and position labels, shapes, lead-out
// lines, sides): the only element is hidden instead.
template <class T>
void subDel_One(platform::ElementArray<T>& elements, int i)
{
    const int last = elements.UBound();
    if (last == 0) {
        elements(0).Visible = false;
        return;
    }
    for (int k = i; k < last; ++k)
        mdlObjects::subTake(elements(k), elements(k + 1));
    elements.Unload(last);
}

// The elements whose key is `key` among 0 to the upper bound - 1 (the last
// place belongs to the spare), as deleting the lowest of them again and
// again would leave the array, in one pass.
template <class T>
void subDel_Keyed(platform::ElementArray<T>& elements, const QString& key);

// Distance i: its label, dimension line, extension lines and end markers.
void subDel_Kyori(ObjectArrays& arrays, int i);
// Every distance whose label carries `key` (below the spare), in one pass
// when the arrays keep their pairing; the elements end as deleting them one
// by one, lowest first, leaves them.
void subDel_KyoriKeyed(ObjectArrays& arrays, const QString& key);

// Area i with its hatching record (mode 0), or only its side distances
// (mode 1). An area whose key a visible route label also carries loses only
// its label and record: the route keeps the sides and side distances.
void subDel_Menseki(ObjectArrays& arrays, QList<typHatching>& hatching, int i, int mode);
// Route i, likewise; the sides and side distances stay while a visible area
// label carries its key.
void subDel_Keiro(ObjectArrays& arrays, int i, int mode);

}  // namespace mdlDelete

template <class T>
void mdlDelete::subDel_Keyed(platform::ElementArray<T>& elements, const QString& key)
{
    const int last = elements.UBound();
    int to = 0;
    for (int k = 0; k <= last; ++k) {
        if (k < last && elements.exists(k) && mdlObjects::fncKey(elements(k)) == key)
            continue;
        if (to != k)
            mdlObjects::subTake(elements(to), elements(k));
        ++to;
    }
    for (int k = last; k >= to; --k)
        elements.Unload(k);
}
