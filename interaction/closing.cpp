// Closing a polyline into an area: which vertex, and the new hatching record.

#include "interaction/closing.h"

namespace interaction {

bool fncCloses_Onto(int v, int n)
{
    return v >= 0 && v <= n - 2;
}

typHatching fncNew_HatchRecord(const QList<typHatching>& records, int k, qint32 colour, qint16 style,
                               const QString& key)
{
    typHatching record;
    if (k > 0 && k - 1 < records.size()) {
        record = records[k - 1];
    } else {
        record.iPitch = 4;
        record.iTilt = 45;
        record.BorderColor = colour;
        record.BorderStyle = 0;
        record.BorderWidth = 1;
        record.DrawMode = 13;
    }
    record.iStyle = style;
    record.Tag = key;
    return record;
}

}  // namespace interaction
