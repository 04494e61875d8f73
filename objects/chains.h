#pragma once
// Routes and areas are kept as loose segments (linePS) that share a key: the
// order of the sides is not stored, nor which label owns which side. These
// searches find them again: the neighbouring side of a chain by comparing end
// points, a line that starts where another starts, and the first element whose
// tag ends with a key.
//
// Points coincide when they lie strictly within a square window of the
// tolerance in each axis, compared in single precision. In the stored arrays
// the last element is the hidden spare, so it is never a candidate of the
// chain and link searches.

#include "measure/resulttag.h"
#include "platform/elements.h"

#include <QList>
#include <QString>
#include <span>

namespace mdlChain {

// One segment of a line array, as the searches see it.
struct ChainLine {
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
    QString key;  // the last 12 characters of its tag
    bool visible = true;
};

constexpr float NeighbourTolerance = 0.1f;  // the joints of a chain
constexpr float LinkTolerance = 0.2f;       // lines starting at one point

// The segments of a line array, elements 0 to its upper bound; a missing
// index gives a segment that matches nothing.
QList<ChainLine> fncChain_Lines(const platform::ElementArray<platform::LineElement>& lines);
ChainLine fncChain_Line(const platform::LineElement& line);

// The side of i's chain (same key, visible) that ends where side i starts, or
// -1. Candidates are 0 to size - 2, i excluded; the lowest index wins.
int fncFind_PrevLine(std::span<const ChainLine> lines, int i);
// The side of i's chain that starts where side i ends, or -1.
int fncFind_NextLine(std::span<const ChainLine> lines, int i);
// The first line from `first` to size - 2 that starts where `line` starts, or
// -1. Any key, hidden lines included: it links a side to other objects.
int fncFind_LinkLine(std::span<const ChainLine> lines, const ChainLine& line, int first);
// The same over the even indices only: the first extension line of a distance
// (pairs 2k, 2k + 1) that starts where `line` starts; k / 2 is the distance.
int fncFind_LinkLine2(std::span<const ChainLine> lines, const ChainLine& line);

// The distance that side j of `sides` keeps along it: the first even
// extension line (pairs 2k, 2k + 1) whose pair starts at the side's two ends and
// ends its tag with the side's key, as the distance's index k; -1. Another
// measurement's distance from the same vertex is not the side's.
int fncFind_SideKyori(const platform::ElementArray<platform::LineElement>& hojo,
                      const platform::ElementArray<platform::LineElement>& sides, int j);

// The sides of i's chain in their order along it: an open chain (a route)
// from its first side to its last, a closed one (an area) starting at i.
// Each side appears once, however the joints are laid.
QList<int> fncWalk_Chain(std::span<const ChainLine> lines, int i);

// The first visible element, 0 to the upper bound, whose key equals `key`
// (case included), or -1. Hidden elements are no objects: the spare and what
// a deletion left behind are never found.
template <class T>
int fncFind_Key(const platform::ElementArray<T>& elements, const QString& key);

}  // namespace mdlChain

template <class T>
int mdlChain::fncFind_Key(const platform::ElementArray<T>& elements, const QString& key)
{
    for (int k = 0; k <= elements.UBound(); ++k) {
        if (elements.exists(k) && elements(k).Visible && ResultTag::fncTag_Key(elements(k).Tag) == key)
            return k;
    }
    return -1;
}
