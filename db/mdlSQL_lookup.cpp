// Who holds a management number: the new-drawing dialog names the holder
// when it refuses a number, and must not load that drawing to do so. A
// number differing only in case is held too. A failure is reported as the
// drawing lookup's, the one this dialog has always shown.

#include "db/mdlSQL.h"

#include "db/sqltext.h"

namespace mdlSQL {

PrintLookup fncSQL_GetPrintHolder(const QString& number, typPrint& holder)
{
    bool found = false;
    typPrint read = holder;  // the record changes only when the whole row was read
    const bool ok = sqltext::guarded(QStringLiteral("fncSQL_GetPrint"), [&] {
        platform::db::Recordset rs = sqltext::connection().openRecordset(
            QStringLiteral("SELECT Print_Id, strName, datHizuke FROM tPrint WHERE strNo = ") + sqltext::quoted(number) +
            QStringLiteral(" COLLATE NOCASE"));
        if (rs.eof()) {
            rs.close();
            return;
        }
        found = true;
        if (const auto f = rs[QStringLiteral("Print_Id")]; !f.isNull())
            read.Print_Id = f.toInt32();
        if (const auto f = rs[QStringLiteral("strName")]; !f.isNull())
            read.strName = f.toString();
        if (const auto f = rs[QStringLiteral("datHizuke")]; !f.isNull())
            read.datHizuke = f.toDate();
        rs.close();
    });
    if (!ok)
        return PrintLookup::Failed;
    if (!found)
        return PrintLookup::NotFound;
    holder = read;
    return PrintLookup::Found;
}

}  // namespace mdlSQL
