#pragma once
// Every statement the program sends to its database, one procedure per
// statement, all run on GE_objConnection inside its transaction. A failing
// statement is reported in a message box and gives the procedure's failure
// result; every successful change sets GE_booDbUpdate.

#include "app/types.h"
#include "db/mdlSQL_objects.h"

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

// =============================================================================
// --- tPrint: the drawing records ----------------------------------------------
// Every statement on the drawings: the record GE_tpPrint holds the key
// columns, the GE_ settings globals (app/globals.h) the rest of the row.

namespace platform {
class Grid;
}

namespace mdlSQL {

// What a load of a drawing by its management number came to. A failed read
// is kept apart from "no such drawing", so that no caller takes a number as
// free, or a drawing as absent, because the database could not be read.
// Tested as a truth value it keeps the old meaning "nothing was loaded":
// false when the drawing was loaded, true when there is none or on failure.
class PrintLookup {
public:
    enum Outcome { Found, NotFound, Failed };
    constexpr PrintLookup(Outcome outcome) : m_outcome(outcome) {}
    constexpr Outcome outcome() const { return m_outcome; }
    constexpr bool failed() const { return m_outcome == Failed; }
    constexpr explicit operator bool() const { return m_outcome != Found; }
    friend constexpr bool operator==(const PrintLookup&, const PrintLookup&) = default;

private:
    Outcome m_outcome;
};

// Numbers are compared without regard to case; where a file holds two
// spellings of one number, the exact one is taken.
// Loads the drawing with that number (as passed, not trimmed): Print_Id,
// strName, datHizuke, strFileName, strPath and strPassWord into the record
// when not Null, booEdit and booVisible, and every settings column into its
// GE_ global. strNo and the update time are not read. Found; NotFound with
// nothing touched; Failed after the failure box (what was read before the
// failure stays read).
PrintLookup fncSQL_GetPrint(const QString& number, typPrint& print);

// The Print_Id of the drawing with that number: 1 or more; 0 when there is
// none; -1 when the database could not be read (after the failure box).
qint32 fncSQL_GetPrintID(const QString& number);

// Inserts the record and the settings globals as a new row (its Print_Id is
// given by the database). Empty name, file name, folder and password leave
// their columns out; texts are trimmed. datRenew is the present time. 0 or -1.
qint16 fncSQL_InsertPrint(const typPrint& print);

// Rewrites every column of the row with the record's Print_Id from the
// record and the globals; empty texts become Null, texts are not trimmed.
// A Print_Id that matches no row changes nothing and still gives 0. 0 or -1.
qint16 fncSQL_Print_Update(const typPrint& print);

// Sets one column to a value already in statement form (True, 12 ...), Null
// when empty, and stamps datRenew. 0 or -1.
qint16 fncSQL_Print_UpdateNum(qint32 printId, const QString& column, const QString& value);

// Sets one column to a text (not trimmed), Null when empty, and stamps
// datRenew. 0 or -1.
qint16 fncSQL_Print_UpdateText(qint32 printId, const QString& column, const QString& text);

// Fills the drawing list: row 0 is the caller's title row, then one row per
// drawing ordered by sort key (1 strNo, 2 strName, both without regard to
// case, 3 datHizuke, 4 datRenew, any other Print_Id) and order ("ASC" or "DESC", empty for ASC): cells 0-7
// Print_Id, strNo, strName, datHizuke, datRenew ("yy/mm/dd hh:nn:ss"),
// booEdit, booVisible (True/False), strPassWord; a Null leaves its cell as it
// was. Cells 1-5 are black on the window colour, grey text for a drawing
// that is not visible, yellow ground for one that may not be edited. The
// current cell ends in the last row. With no drawing, or on failure, the
// grid keeps its rows and stays disabled.
void subSQL_PutGrid_tPrint(platform::Grid& grid, qint16 sortKey, const QString& order);

// Deletes the drawing's row (the caller deletes its objects).
void subSQL_PrintDeleteAll(qint32 printId);

}  // namespace mdlSQL

// =============================================================================
// --- drawing library: a drawing's rows in the other tables, a number's holder --
// A drawing is deleted row by row from every table: its tPrint row by
// subSQL_PrintDeleteAll above, its objects, hatching and printer settings by
// the statements below.

namespace mdlSQL {

// Each deletes the drawing's rows of its table (tLabel, tLine, tShape,
// tHatching, tPrinter). Like every changing statement it sets GE_booDbUpdate
// only when it succeeds; a failure is reported and leaves the flag as it was.
void subSQL_LabelDeleteAll(qint32 printId);
void subSQL_LineDeleteAll(qint32 printId);
void subSQL_ShapeDeleteAll(qint32 printId);
void subSQL_HatchingDeleteAll(qint32 printId);
void subSQL_PrinterDeleteAll(qint32 printId);

// Who holds a management number (as passed, not trimmed, any case), without
// loading anything else: Found with the holder's Print_Id, strName and datHizuke in
// the record (each when not Null); NotFound or Failed (after the failure
// box, titled as fncSQL_GetPrint's) with the record untouched. No global
// changes.
PrintLookup fncSQL_GetPrintHolder(const QString& number, typPrint& holder);

}  // namespace mdlSQL
