#include "objects/chains.h"

#include "editor/frmEdit.h"
#include "measure/resulttag.h"

#include <QSet>
#include <cmath>
#include <limits>

namespace mdlChain {

namespace {

// Strictly inside the square window of `tolerance` around (x0, y0).
bool near(float x, float y, float x0, float y0, float tolerance)
{
    return std::fabs(float(x - x0)) < tolerance && std::fabs(float(y - y0)) < tolerance;
}

bool inRange(std::span<const ChainLine> lines, int i) { return i >= 0 && size_t(i) < lines.size(); }

// A neighbour belongs to the same chain: visible, with the same key. Another
// area or route may well have a vertex on this one.
bool sameChain(const ChainLine& candidate, const ChainLine& reference)
{
    return candidate.visible && candidate.key == reference.key;
}

}  // namespace

ChainLine fncChain_Line(const platform::LineElement& line)
{
    return {line.X1, line.Y1, line.X2, line.Y2, ResultTag::fncTag_Key(line.Tag), line.Visible};
}

QList<ChainLine> fncChain_Lines(const platform::ElementArray<platform::LineElement>& lines)
{
    constexpr float none = std::numeric_limits<float>::quiet_NaN();
    QList<ChainLine> out;
    out.reserve(lines.UBound() + 1);
    for (int k = 0; k <= lines.UBound(); ++k)
        out.append(lines.exists(k) ? fncChain_Line(lines(k)) : ChainLine{none, none, none, none, {}, false});
    return out;
}

int fncFind_PrevLine(std::span<const ChainLine> lines, int i)
{
    if (!inRange(lines, i))
        return -1;
    const ChainLine& side = lines[i];
    for (int j = 0; j + 1 < int(lines.size()); ++j) {
        if (j != i && sameChain(lines[j], side)
            && near(lines[j].X2, lines[j].Y2, side.X1, side.Y1, NeighbourTolerance))
            return j;
    }
    return -1;
}

int fncFind_NextLine(std::span<const ChainLine> lines, int i)
{
    if (!inRange(lines, i))
        return -1;
    const ChainLine& side = lines[i];
    for (int j = 0; j + 1 < int(lines.size()); ++j) {
        if (j != i && sameChain(lines[j], side)
            && near(lines[j].X1, lines[j].Y1, side.X2, side.Y2, NeighbourTolerance))
            return j;
    }
    return -1;
}

int fncFind_LinkLine(std::span<const ChainLine> lines, const ChainLine& line, int first)
{
    for (int j = qMax(first, 0); j + 1 < int(lines.size()); ++j) {
        if (near(lines[j].X1, lines[j].Y1, line.X1, line.Y1, LinkTolerance))
            return j;
    }
    return -1;
}

int fncFind_LinkLine2(std::span<const ChainLine> lines, const ChainLine& line)
{
    for (int j = 0; j + 1 < int(lines.size()); j += 2) {
        if (near(lines[j].X1, lines[j].Y1, line.X1, line.Y1, LinkTolerance))
            return j;
    }
    return -1;
}

int fncFind_SideKyori(const platform::ElementArray<platform::LineElement>& hojo,
                      const platform::ElementArray<platform::LineElement>& sides, int j)
{
    if (j < 0 || !sides.exists(j))
        return -1;
    const platform::LineElement& side = sides(j);
    const QString key = ResultTag::fncTag_Key(side.Tag);
    // Both ends: a route that passes a vertex twice has two sides starting there.
    for (int h = 0; h + 1 <= hojo.UBound(); h += 2) {
        if (hojo.exists(h) && hojo.exists(h + 1) && near(hojo(h).X1, hojo(h).Y1, side.X1, side.Y1, LinkTolerance)
            && near(hojo(h + 1).X1, hojo(h + 1).Y1, side.X2, side.Y2, LinkTolerance)
            && ResultTag::fncTag_Key(hojo(h).Tag) == key)
            return h / 2;
    }
    return -1;
}

QList<int> fncWalk_Chain(std::span<const ChainLine> lines, int i)
{
    if (!inRange(lines, i))
        return {};
    // Back to the first side; a closed chain leads back to i itself.
    int head = i;
    QSet<int> seen{i};
    for (int p = fncFind_PrevLine(lines, head); p >= 0 && !seen.contains(p); p = fncFind_PrevLine(lines, head)) {
        seen.insert(p);
        head = p;
    }
    if (fncFind_PrevLine(lines, head) == i)
        head = i;

    QList<int> order{head};
    for (int n = fncFind_NextLine(lines, head); n >= 0 && !order.contains(n); n = fncFind_NextLine(lines, n))
        order.append(n);
    return order;
}

}  // namespace mdlChain

// --- the editor's searches over its own arrays ------------------------------------------

int frmEdit::fncFind_PrevLine(const platform::ElementArray<platform::LineElement>& lines, int i) const
{
    return mdlChain::fncFind_PrevLine(mdlChain::fncChain_Lines(lines), i);
}

int frmEdit::fncFind_NextLine(const platform::ElementArray<platform::LineElement>& lines, int i) const
{
    return mdlChain::fncFind_NextLine(mdlChain::fncChain_Lines(lines), i);
}

int frmEdit::fncFind_LinkLine(const platform::ElementArray<platform::LineElement>& lines,
                              const platform::LineElement& line, int first) const
{
    return mdlChain::fncFind_LinkLine(mdlChain::fncChain_Lines(lines), mdlChain::fncChain_Line(line), first);
}

int frmEdit::fncFind_LinkLine2(const platform::ElementArray<platform::LineElement>& lines,
                               const platform::LineElement& line) const
{
    return mdlChain::fncFind_LinkLine2(mdlChain::fncChain_Lines(lines), mdlChain::fncChain_Line(line));
}

int frmEdit::fncFind_LinePS(const QString& key) const
{
    return mdlChain::fncFind_Key(linePS, key);
}

int frmEdit::fncFind_MensekiS(const QString& key) const
{
    return mdlChain::fncFind_Key(lblMensekiS, key);
}

int frmEdit::fncFind_KeiroS(const QString& key) const
{
    return mdlChain::fncFind_Key(lblKeiroS, key);
}
