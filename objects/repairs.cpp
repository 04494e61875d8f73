#include "objects/repairs.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "objects/chains.h"
#include "objects/deleting.h"
#include "platform/vbruntime.h"

#include <cmath>

using mdlObjects::fncKey;
using mdlObjects::fncPrefix;
using mdlObjects::fncShown;
using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;

namespace {

// The tag with its old id widened: prefix, "_", the day and the id's last 6 characters.
QString widened(const QString& tag, const QString& day)
{
    return fncPrefix(tag) + QLatin1Char('_') + day + vb::Right(tag, 6);
}

template <class T>
void widenShown(ElementArray<T>& elements, const QString& day)
{
    const int last = elements.UBound();
    for (int k = 0; k <= last; ++k) {
        if (fncShown(elements, k))
            elements(k).Tag = widened(elements(k).Tag, day);
    }
}

template <class T>
void setTag(ElementArray<T>& elements, int k, const QString& tag)
{
    if (elements.exists(k))
        elements(k).Tag = tag;
}

// Single-precision coincidence of two points, strictly within the window.
bool near(float a, float b) { return std::fabs(a - b) < mdlChain::LinkTolerance; }

}  // namespace

namespace mdlRepair {

void subChk_OldTag(ObjectArrays& a, const QString& day)
{
    const int labels = a.lblKyori.UBound();
    for (int i = 0; i <= labels; ++i) {
        if (!fncShown(a.lblKyori, i))
            continue;
        const QString old = a.lblKyori(i).Tag;
        a.lblKyori(i).Tag = widened(old, day);
        setTag(a.lineDsSave, i, day + vb::Right(old, 6));
    }
    for (int i = 0; i < labels; ++i) {
        if (!fncShown(a.lineHojoSave, 2 * i) || !a.lineDsSave.exists(i))
            continue;
        const QString id = a.lineDsSave(i).Tag;
        for (int j : {2 * i, 2 * i + 1}) {
            setTag(a.lineHojoSave, j, id);
            setTag(a.shpSnpo, j, id);
        }
    }
    widenShown(a.lblKeiroS, day);
    widenShown(a.lblMensekiS, day);
    widenShown(a.linePS, day);
}

void subChk_KeiroLink(ObjectArrays& a)
{
    const int areas = a.lblMensekiS.UBound();
    for (int i = 0; i <= areas; ++i) {
        if (!a.lblMensekiS.exists(i))
            continue;
        const QString key = fncKey(a.lblMensekiS(i));
        int first = -1;
        for (int j = 0; j <= a.linePS.UBound() && first < 0; ++j) {
            if (a.linePS.exists(j) && fncKey(a.linePS(j)) == key)
                first = j;
        }
        if (first < 0)
            continue;
        const QList<mdlChain::ChainLine> lines = mdlChain::fncChain_Lines(a.linePS);
        const int joined = mdlChain::fncFind_LinkLine(lines, lines[first], first + 1);
        if (joined < 0)
            continue;
        const QString routeKey = fncKey(a.linePS(joined));
        for (int r = 0; r <= a.lblKeiroS.UBound(); ++r) {
            if (a.lblKeiroS.exists(r) && fncKey(a.lblKeiroS(r)) == routeKey) {
                // The route label found is the one drawn over the area.
                a.lblKeiroS(r).Tag = fncPrefix(a.lblKeiroS(r).Tag) + QLatin1Char('_') + key;
                break;
            }
        }
    }
}

int fncFind_SameLinePS(const ElementArray<LineElement>& linePS, int i)
{
    if (!linePS.exists(i))
        return -1;
    const LineElement& side = linePS(i);
    for (int j = i + 1; j <= linePS.UBound(); ++j) {
        if (!linePS.exists(j))
            continue;
        const LineElement& other = linePS(j);
        if (other.X1 == side.X1 && other.Y1 == side.Y1 && other.X2 == side.X2 && other.Y2 == side.Y2)
            return j;
    }
    return -1;
}

void subChk_SameLinePS(ObjectArrays& a)
{
    const int last = a.linePS.UBound();
    for (int i = 0; i <= last; ++i) {
        if (!fncShown(a.linePS, i))
            continue;
        const int j = fncFind_SameLinePS(a.linePS, i);
        if (j >= 0)
            a.linePS(j).Visible = false;
    }
    // The last element stays as the spare, element 0 as the array's first.
    for (int i = last - 1; i >= 1; --i) {
        if (a.linePS.exists(i) && !a.linePS(i).Visible)
            mdlDelete::subDel_One(a.linePS, i);
    }
}

void subChk_HojoLink(ObjectArrays& a)
{
    for (int p = 0; p <= a.linePS.UBound(); ++p) {
        if (!fncShown(a.linePS, p))
            continue;
        const LineElement& side = a.linePS(p);
        const QString key = fncKey(side);
        for (int h = 0; h <= a.lineHojoSave.UBound(); ++h) {
            if (!a.lineHojoSave.exists(h))
                continue;
            LineElement& hojo = a.lineHojoSave(h);
            if (near(hojo.X1, side.X1) && near(hojo.Y1, side.Y1))
                hojo.Tag = key;
            // A distance from a side's end point keys its marker too.
            if (near(hojo.X1, side.X2) && near(hojo.Y1, side.Y2)) {
                hojo.Tag = key;
                setTag(a.shpSnpo, h, key);
            }
        }
    }
}

void subChk_KyoriTag(ObjectArrays& a)
{
    for (int i = 0; i <= a.lineDsSave.UBound(); ++i) {
        if (!fncShown(a.lineDsSave, i) || !a.lineHojoSave.exists(2 * i))
            continue;
        const QString tag = a.lineHojoSave(2 * i).Tag;
        a.lineDsSave(i).Tag = tag;
        if (a.lblKyori.exists(i))
            a.lblKyori(i).Tag = fncPrefix(a.lblKyori(i).Tag) + QLatin1Char('_') + tag;
    }
}

QList<typHatching> fncMake_Hatching(const ElementArray<LabelElement>& lblMensekiS)
{
    QList<typHatching> records;
    for (int i = 0; i <= lblMensekiS.UBound(); ++i) {
        typHatching record;
        record.BorderColor = 65535;
        record.BorderWidth = 1;
        record.DrawMode = 13;
        record.iPitch = 4;
        record.iTilt = 45;
        if (lblMensekiS.exists(i))
            record.Tag = fncKey(lblMensekiS(i));
        records.append(record);
    }
    return records;
}

void subRepair_Imported(ObjectArrays& a, QList<typHatching>& hatching, const QDateTime& today)
{
    subChk_OldTag(a, vb::Format(today, QStringLiteral("yymmdd")));
    subChk_KeiroLink(a);
    subChk_SameLinePS(a);
    subChk_HojoLink(a);
    subChk_KyoriTag(a);
    hatching = fncMake_Hatching(a.lblMensekiS);
}

}  // namespace mdlRepair

// --- the editor's repairs of its own arrays ------------------------------------------------


ObjectArrays frmEdit::objectArrays()
{
    return {lblKyori, lblKeiroS, lblMensekiS, lblMoji, lblKeiIdoS, lineDsSave,
            lineHojoSave, linePS, lineHikidashi, shpShape, shpSnpo};
}

// The six repairs on the editor's arrays, listed once, in mdlRepair.
void frmEdit::subRepair_Imported()
{
    ObjectArrays arrays = objectArrays();
    mdlRepair::subRepair_Imported(arrays, GE_tpHatching, vb::Now());
}

void frmEdit::subDel_LinePS(int i)
{
    mdlDelete::subDel_One(linePS, i);
}
