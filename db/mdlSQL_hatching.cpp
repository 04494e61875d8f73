// tHatching: one row per area's hatching record. The tilt column exists from
// schema version 200911 on; older files neither store nor read it.

#include "db/mdlSQL_objects.h"

#include "app/globals.h"
#include "db/sqltext.h"

namespace mdlSQL {

namespace {

using platform::db::Field;
using sqltext::number;

// The tilt every hatching had before it could be chosen.
constexpr qint16 DefaultTilt = 45;

bool schemaHasTilt() { return GE_tpSystem.System_Id >= CurrentSystemId; }

// One row as a record; raises when a column needed cannot be read.
typHatching readRecord(const platform::db::Recordset& rs, qint16 index, bool withTilt)
{
    typHatching h;
    const Field tag = rs[QStringLiteral("Tag")];
    h.Tag = tag.isNull() ? QString() : tag.toString();
    h.BorderStyle = rs[QStringLiteral("BorderStyle")].toInt16();
    h.BorderWidth = rs[QStringLiteral("BorderWidth")].toInt16();
    h.DrawMode = rs[QStringLiteral("DrawMode")].toInt16();
    h.intIndex = index;
    h.iPitch = rs[QStringLiteral("iPitch")].toInt16();
    h.iStyle = rs[QStringLiteral("iStyle")].toInt16();
    h.iTilt = DefaultTilt;
    if (withTilt) {
        const Field tilt = rs[QStringLiteral("iTilt")];
        if (!tilt.isNull())
            h.iTilt = tilt.toInt16();
    }
    h.iUbound = rs[QStringLiteral("iUbound")].toInt16();
    h.BorderColor = rs[QStringLiteral("BorderColor")].toInt32();
    return h;
}

}  // namespace

qint16 fncSQL_InsertHatching(qint32 printId, const typHatching& hatching, qint16 index)
{
    sqltext::Insert row(QStringLiteral("tHatching"));
    row.value(QStringLiteral("Print_ID"), number(printId))
        .value(QStringLiteral("intIndex"), number(index))
        .text(QStringLiteral("Tag"), hatching.Tag, true, true)
        .value(QStringLiteral("BorderStyle"), number(hatching.BorderStyle))
        .value(QStringLiteral("BorderWidth"), number(hatching.BorderWidth))
        .value(QStringLiteral("DrawMode"), number(hatching.DrawMode))
        .value(QStringLiteral("iPitch"), number(hatching.iPitch))
        .value(QStringLiteral("iStyle"), number(hatching.iStyle));
    if (schemaHasTilt())
        row.value(QStringLiteral("iTilt"), number(hatching.iTilt));
    row.value(QStringLiteral("iUbound"), number(hatching.iUbound))
        .value(QStringLiteral("BorderColor"), number(hatching.BorderColor));
    return sqltext::change(QStringLiteral("fncSQL_InsertHatching"), row) ? 0 : -1;
}

qint16 fncSQL_LoadHatching_Struct(qint32 printId, QList<typHatching>& records, Unread* unread)
{
    qint16 last = -1;
    const bool ok = sqltext::guarded(QStringLiteral("fncSQL_LoadHatching_Struct"), [&] {
        platform::db::Recordset rs = sqltext::connection().openRecordset(
            QStringLiteral("SELECT * FROM tHatching WHERE Print_ID = ") + number(printId) +
            QStringLiteral(" ORDER BY intIndex"));
        const bool withTilt = schemaHasTilt();
        for (; !rs.eof(); rs.moveNext()) {
            typHatching h;
            try {
                const qint16 index = rs[QStringLiteral("intIndex")].toInt16();
                if (index < 0)
                    continue;  // names no area label
                h = readRecord(rs, index, withTilt);
            } catch (const vb::Error&) {
                if (unread)
                    ++unread->rows;
                continue;
            }
            // Grow only: positions that no row names keep what they held.
            if (records.size() <= h.intIndex)
                records.resize(h.intIndex + 1);
            records[h.intIndex] = h;
            last = h.intIndex;
        }
        rs.close();
        if (last < 0)
            return;
        // The array ends with one empty record, paired with the area labels'
        // hidden spare; anything the array held beyond it is dropped.
        records.resize(last + 2);
        records[last + 1] = typHatching();
    });
    if (!ok && unread)
        unread->failed = true;
    return ok ? last : -1;
}

}  // namespace mdlSQL
