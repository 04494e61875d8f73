#include "interaction/measuring.h"

#include "platform/vbruntime.h"

#include <cmath>

namespace interaction {

float fncCaption_Number(const QString& caption)
{
    const qsizetype blank = caption.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return 0;
    return float(vb::Val(caption.left(blank + 1)));
}

typPresetEntry fncPreset_Entry(const QString& typed, double current, const QString& caption)
{
    typPresetEntry entry;
    if (!typed.isEmpty() && vb::Val(typed) > 0) {
        entry.accepted = true;
        entry.value = vb::Val(typed);
        entry.text = typed;
        return entry;
    }
    const float shown = fncCaption_Number(caption);
    if (current == 0 && shown > 0) {
        entry.accepted = true;
        entry.value = shown;
        entry.text = vb::CStr(shown);
    }
    return entry;
}

typRect fncCircle_Box(float cx, float cy, float py, double aspect)
{
    typRect r;
    r.Height = 2 * std::fabs(cy - py);
    r.Width = float(r.Height * aspect);
    r.Top = cy - r.Height / 2;
    r.Left = cx - r.Width / 2;
    return r;
}

typHojoPair fncHojo_Pair(qint16 j)
{
    if (j % 2 != 0)
        return {qint16(j - 1), qint16((j - 1) / 2)};
    return {qint16(j + 1), qint16(j / 2)};
}

}  // namespace interaction
