#pragma once
// The statements on a drawing's objects: its labels, lines and shapes (one
// row per visible element, tLabel, tLine, tShape), its hatching records
// (tHatching) and its printer settings (tPrinter). Built, run and reported as
// every statement of mdlSQL (db/mdlSQL.h); loads never set GE_booDbUpdate.

#include "app/types.h"

#include <QList>
#include <QtGlobal>

#include <utility>
#include <vector>

namespace platform {
class LabelElement;
class LineElement;
class ShapeElement;
template <class T>
class ElementArray;
}  // namespace platform

namespace mdlSQL {

// What a load left unread in the database: the rows it passed over because
// they could not be read (a Null or a text where a number belongs, a row past
// the array's last element), and whether the statement itself failed (its
// box shown), leaving an unknown number of rows unread.
struct Unread {
    qint32 rows = 0;
    bool failed = false;
    bool any() const { return rows > 0 || failed; }
};

// --- tLabel, tLine, tShape ----------------------------------------------------

// Insert one element's row as number `index` of its array (the caller numbers
// the visible elements 0, 1, 2 ...). An empty caption, comment or tag leaves
// its column out; those texts are trimmed, the array and font names are not.
// 0, or -1 after the failure box.
qint16 fncSQL_InsertLabel(qint32 printId, const platform::LabelElement& label, qint16 index);
qint16 fncSQL_InsertLine(qint32 printId, const platform::LineElement& line, qint16 index);
qint16 fncSQL_InsertShape(qint32 printId, const platform::ShapeElement& shape, qint16 index);

// Fills the array from the drawing's rows of the array's name in ascending
// intIndex: the k-th row goes into element k (created when missing, taking
// element 0's look), which is then shown. Stored gaps close up, so the shown
// elements are always 0 to n-1. Null texts load as the empty text (a missing
// font name leaves the element's). After the last row the arrays that keep a
// spare (lblKyori, lblKeiroS, lblMensekiS, every line array, both shape
// arrays) get one more element, hidden. Without rows nothing changes.
// A row that cannot be read is passed over without a box (the next row takes
// its element) and counted in `unread`, as are the rows past the array's
// last element (32767, less the spare). The last element filled; -1 when no
// row was loaded, or after the failure box of the statement (the rows before
// the failing one stay loaded).
// With `stacking`, each label loaded is added to it with its row's place in
// the table: labels are stored bottom to top, so that order stacks them again.
using Stacking = std::vector<std::pair<double, platform::LabelElement*>>;
qint16 fncSQL_LoadLabel(qint32 printId, platform::ElementArray<platform::LabelElement>& labels,
                        Unread* unread = nullptr, Stacking* stacking = nullptr);
qint16 fncSQL_LoadLine(qint32 printId, platform::ElementArray<platform::LineElement>& lines,
                       Unread* unread = nullptr);
qint16 fncSQL_LoadShape(qint32 printId, platform::ElementArray<platform::ShapeElement>& shapes,
                        Unread* unread = nullptr);

// --- tHatching ----------------------------------------------------------------

// Insert a record as position `index` (not the record's own intIndex). iTilt
// is written only from schema version 200911 on (GE_tpSystem). 0 or -1.
qint16 fncSQL_InsertHatching(qint32 printId, const typHatching& hatching, qint16 index);

// Puts each of the drawing's rows into the record at its intIndex; the array
// grows as needed and keeps what it held at positions no row names, then
// ends at last intIndex + 1 with an empty spare record there. iTilt reads 45
// when the column is Null or the schema is older than 200911; a Null Tag is
// the empty text. Rows with a negative intIndex name no area and are passed
// over; a row that cannot be read is passed over too (its record untouched)
// and counted in `unread`. The last intIndex read; -1 when no row was read
// (the array untouched), or after the failure box.
qint16 fncSQL_LoadHatching_Struct(qint32 printId, QList<typHatching>& records, Unread* unread = nullptr);

// --- tPrinter -----------------------------------------------------------------

// Insert the settings as the drawing's row; an empty device, driver, port or
// form name leaves its column out, the four names are trimmed. 0 or -1.
qint16 fncSQL_InsertPrinter(qint32 printId, const typPrinter& printer);

// Rewrites the drawing's row from the settings (empty names as Null); a
// drawing that has no row yet gets one inserted, so kept settings are never
// lost. 0 or -1.
qint16 fncSQL_UpdateLabel(qint32 printId, const typPrinter& printer);

// What fncSQL_LoadPrinter_Struct gives for a drawing without a printer row:
// the record is left as it was, and the caller takes the default printer's.
constexpr qint16 PrinterNoRow = 1;

// Reads the drawing's first row into the record (Null names as the empty
// text). 0 when read; PrinterNoRow; -1 after the failure box (the fields
// read before the failure stay read).
qint16 fncSQL_LoadPrinter_Struct(qint32 printId, typPrinter& printer);

}  // namespace mdlSQL
