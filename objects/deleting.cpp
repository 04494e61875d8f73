#include "objects/deleting.h"

#include <algorithm>

using platform::ElementArray;
using platform::LabelElement;

namespace {

// The lowest distance below the spare whose label carries `key`, or -1.
int firstKeyed(const ElementArray<LabelElement>& labels, const QString& key)
{
    for (int k = 0; k < labels.UBound(); ++k) {
        if (labels.exists(k) && mdlObjects::fncKey(labels(k)) == key)
            return k;
    }
    return -1;
}

// Whether the arrays keep one label and line per distance, two extension
// lines and markers each, and the spares: then deleting a set of distances
// one by one is the compaction below.
bool paired(const ObjectArrays& a)
{
    const int n = a.lblKyori.UBound();
    if (n < 1 || a.lineDsSave.UBound() != n || a.lineHojoSave.UBound() != 2 * n || a.shpSnpo.UBound() != 2 * n)
        return false;
    for (int k = 0; k <= n; ++k) {
        if (!a.lblKyori.exists(k) || !a.lineDsSave.exists(k))
            return false;
    }
    for (int k = 0; k <= 2 * n; ++k) {
        if (!a.lineHojoSave.exists(k) || !a.shpSnpo.exists(k))
            return false;
    }
    return true;
}

// The kept elements `keep` of an array in order from 0, then `tail` (the
// source of the new spare, at index keep.size()), the rest destroyed.
template <class T>
void compact(ElementArray<T>& elements, const QList<int>& keep, int tail, bool hideTail)
{
    int to = 0;
    for (int from : keep) {
        if (to != from)
            mdlObjects::subTake(elements(to), elements(from));
        ++to;
    }
    if (to != tail)
        mdlObjects::subTake(elements(to), elements(tail));
    if (hideTail)
        elements(to).Visible = false;
    for (int k = elements.UBound(); k > to; --k)
        elements.Unload(k);
}

// The same for the pairs 2k, 2k + 1.
template <class T>
void compactPairs(ElementArray<T>& elements, const QList<int>& keep, int tail)
{
    QList<int> halves;
    for (int k : keep)
        halves << 2 * k << 2 * k + 1;
    compact(elements, halves, tail, true);
}

}  // namespace

namespace mdlDelete {

void subDel_Kyori(ObjectArrays& a, int i)
{
    const int n = a.lblKyori.UBound();
    for (int k = i; k < n; ++k) {
        mdlObjects::subTake(a.lblKyori(k), a.lblKyori(k + 1));
        mdlObjects::subTake(a.lineDsSave(k), a.lineDsSave(k + 1));
    }
    // The extension lines and markers move by pairs; the spare is never a source.
    const int uh = a.lineHojoSave.UBound();
    for (int j = 2 * i; j <= uh - 3; ++j)
        mdlObjects::subTake(a.lineHojoSave(j), a.lineHojoSave(j + 2));
    const int us = a.shpSnpo.UBound();
    for (int j = 2 * i; j <= std::min(2 * n + 1, us - 3); ++j)
        mdlObjects::subTake(a.shpSnpo(j), a.shpSnpo(j + 2));
    if (n == 0) {
        a.lblKyori(0).Visible = false;
        a.lineDsSave(0).Visible = false;
    } else {
        a.lblKyori.Unload(n);
        a.lineDsSave.Unload(n);
    }
    const int top = a.lineHojoSave.UBound();
    for (int t = 0; t <= 1; ++t) {
        const int m = top - t;
        if (m < 0)
            break;
        if (m == 0) {
            a.lineHojoSave(0).Visible = false;
            a.shpSnpo(0).Visible = false;
        } else {
            a.lineHojoSave.Unload(m);
            a.shpSnpo.Unload(m);
        }
    }
    const int u = a.lineHojoSave.UBound();
    a.lineHojoSave(u).Visible = false;
    a.shpSnpo(u).Visible = false;
}

void subDel_KyoriKeyed(ObjectArrays& a, const QString& key)
{
    if (firstKeyed(a.lblKyori, key) < 0)
        return;
    if (!paired(a)) {
        for (int j = firstKeyed(a.lblKyori, key); j >= 0; j = firstKeyed(a.lblKyori, key))
            subDel_Kyori(a, j);
        return;
    }
    // One by one, each deletion moves the later distances down and carries
    // the label's spare along; the extension-line spare ends as the first
    // line of the last distance, hidden.
    const int n = a.lblKyori.UBound();
    QList<int> keep;
    for (int k = 0; k < n; ++k) {
        if (mdlObjects::fncKey(a.lblKyori(k)) != key)
            keep << k;
    }
    compact(a.lblKyori, keep, n, false);
    compact(a.lineDsSave, keep, n, false);
    compactPairs(a.lineHojoSave, keep, 2 * (n - 1));
    compactPairs(a.shpSnpo, keep, 2 * (n - 1));
}

namespace {

bool shownWithKey(const ElementArray<LabelElement>& labels, const QString& key)
{
    for (int k = 0; k <= labels.UBound(); ++k) {
        if (mdlObjects::fncShown(labels, k) && mdlObjects::fncKey(labels(k)) == key)
            return true;
    }
    return false;
}

void deleteMeasure(ObjectArrays& a, ElementArray<LabelElement>& labels, const ElementArray<LabelElement>& others,
                   QList<typHatching>* hatching, int i, int mode)
{
    const QString key = mdlObjects::fncKey(labels(i));
    // The sides and side distances the other kind's label still stands on stay.
    const bool shared = mode != 1 && shownWithKey(others, key);
    if (mode != 1) {
        const int last = labels.UBound();
        if (last == 0) {
            labels(0).Visible = false;
            if (hatching)
                *hatching = {typHatching()};
        } else {
            for (int k = i; k < last; ++k) {
                mdlObjects::subTake(labels(k), labels(k + 1));
                if (hatching && k + 1 < hatching->size())
                    (*hatching)[k] = (*hatching)[k + 1];
            }
            labels.Unload(last);
            if (hatching && hatching->size() > last)
                hatching->resize(last);
        }
        if (!shared)
            subDel_Keyed(a.linePS, key);
        labels(labels.UBound()).Visible = false;
    }
    if (!shared)
        subDel_KyoriKeyed(a, key);
}

}  // namespace

void subDel_Menseki(ObjectArrays& a, QList<typHatching>& hatching, int i, int mode)
{
    deleteMeasure(a, a.lblMensekiS, a.lblKeiroS, &hatching, i, mode);
}

void subDel_Keiro(ObjectArrays& a, int i, int mode)
{
    deleteMeasure(a, a.lblKeiroS, a.lblMensekiS, nullptr, i, mode);
}

}  // namespace mdlDelete
