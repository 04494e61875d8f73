#pragma once
// Every statement the program sends to its database, one procedure per
// statement, all run on GE_objConnection inside its transaction. A failing
// statement is reported in a message box and gives the procedure's failure
// result; every successful change sets GE_booDbUpdate.

#include "app/types.h"

#include <QString>
#include <QtGlobal>

namespace mdlSQL {

// --- tSystem and the schema upgrade ------------------------------------------

// The first tSystem row by System_Id into the record: 0, or -1 when the table
// has no row (the record untouched), its System_Id is Null, or on failure.
qint16 fncSQL_GetSystemTable(typSystem& system);

// Sets one column of the tSystem row with that System_Id to the value as
// passed (statement text: a number, or a quoted text), Null when empty, and
// stamps datReDate: 0 or -1.
qint16 fncSQL_System_UpdateBin(qint32 systemId, const QString& column, const QString& value);

// The schema upgrade to 200911: tHatching gets the column iTilt. 0 or -1.
qint16 fncSQL_CreateFieldHatching();

}  // namespace mdlSQL
