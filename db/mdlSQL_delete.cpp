// A drawing's rows in the object, hatching and printer tables, deleted all
// at once: the editor's save before it writes them again, and the drawing
// list when it deletes the drawing.

#include "db/mdlSQL.h"

#include "db/sqltext.h"

namespace mdlSQL {

namespace {

void deleteAll(const char* procedure, const char* table, qint32 printId)
{
    sqltext::change(QLatin1String(procedure), QStringLiteral("DELETE FROM ") + QLatin1String(table) +
                                                  QStringLiteral(" WHERE Print_Id = ") + sqltext::number(printId));
}

}  // namespace

void subSQL_LabelDeleteAll(qint32 printId) { deleteAll("subSQL_LabelDeleteAll", "tLabel", printId); }
void subSQL_LineDeleteAll(qint32 printId) { deleteAll("subSQL_LineDeleteAll", "tLine", printId); }
void subSQL_ShapeDeleteAll(qint32 printId) { deleteAll("subSQL_ShapeDeleteAll", "tShape", printId); }
void subSQL_HatchingDeleteAll(qint32 printId) { deleteAll("subSQL_HatchingDeleteAll", "tHatching", printId); }
void subSQL_PrinterDeleteAll(qint32 printId) { deleteAll("subSQL_PrinterDeleteAll", "tPrinter", printId); }

}  // namespace mdlSQL
