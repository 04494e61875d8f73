// A drawing's objects in its database: one row per visible label, line and
// shape (tLabel, tLine, tShape) and one row per area's hatching record
// (tHatching). A save replaces every row of the drawing; a load fills the
// editor's element arrays back and makes each hatched area's segments again.
//
// Rows are numbered per array at the time of saving, so a load always gives
// dense arrays: elements 0 to n-1 shown in stored order, then a hidden spare.

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "db/mdlDB.h"
#include "db/mdlSQL.h"
#include "db/mdlSQL_objects.h"
#include "db/sqltext.h"
#include "measure/resulttag.h"
#include "objects/hatchgen.h"
#include "platform/ui.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <vector>

using platform::ElementArray;
using platform::LabelElement;
using platform::LineElement;
using platform::ShapeElement;

namespace {

// The delete-all statements answer nothing, but set the modified flag only
// when they succeed: that tells whether the rows are gone.
bool deleted(void (*statement)(qint32), qint32 printId)
{
    const bool before = GE_booDbUpdate;
    GE_booDbUpdate = false;
    statement(printId);
    const bool ran = GE_booDbUpdate;
    GE_booDbUpdate = before || ran;
    return ran;
}

// Inserts the visible elements of one array, numbered 0, 1, 2 ...
template <class T>
bool insertVisible(qint32 printId, const ElementArray<T>& elements,
                   qint16 (*insert)(qint32, const T&, qint16))
{
    qint16 number = 0;
    const int last = elements.UBound();
    for (int k = 0; k <= last; ++k) {
        if (!elements.exists(k) || !elements(k).Visible)
            continue;
        if (insert(printId, elements(k), number) != 0)
            return false;
        ++number;
    }
    return true;
}

bool shown(const ElementArray<LabelElement>& labels, int k) { return labels.exists(k) && labels(k).Visible; }

// The record an area gets when none is stored for it: not hatched, with the
// look every area's hatching starts from.
typHatching defaultHatching(int index, const QString& key)
{
    typHatching record;
    record.intIndex = qint16(index);
    record.BorderColor = 65535;
    record.BorderWidth = 1;
    record.DrawMode = 13;
    record.iPitch = 4;
    record.iTilt = 45;
    record.Tag = key;
    return record;
}

// Writes the drawing record: a new row when none has its management number,
// else that row. The stored id, or 0 or less after a failure.
qint32 saveRecord()
{
    const qint32 found = mdlSQL::fncSQL_GetPrintID(GE_tpPrint.strNo);
    if (found < 0)
        return -1;
    if (found == 0) {
        if (mdlSQL::fncSQL_InsertPrint(GE_tpPrint) != 0)
            return -1;
    } else {
        typPrint row = GE_tpPrint;
        row.Print_Id = found;
        if (mdlSQL::fncSQL_Print_Update(row) != 0)
            return -1;
    }
    return mdlSQL::fncSQL_GetPrintID(GE_tpPrint.strNo);
}

}  // namespace

// --- saving -----------------------------------------------------------------------

// Each array's labels keep their numbers 0, 1, 2 ..., but the rows go in
// the order the labels lie on the map, bottom to top, so that the load can
// stack them again as they were: a route label made after an overlapping
// area label stays above it.
bool frmEdit::subSave_Label(qint32 printId)
{
    if (!deleted(mdlSQL::subSQL_LabelDeleteAll, printId))
        return false;
    struct Row {
        const LabelElement* label;
        qint16 number;
    };
    std::vector<Row> rows;
    for (const auto* labels : {&lblKyori, &lblKeiroS, &lblMensekiS, &lblMoji, &lblKeiIdoS}) {
        qint16 number = 0;
        for (int k = 0; k <= labels->UBound(); ++k) {
            if (shown(*labels, k))
                rows.push_back({&(*labels)(k), number++});
        }
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.label->stackPlace() < b.label->stackPlace(); });
    for (const Row& row : rows) {
        if (mdlSQL::fncSQL_InsertLabel(printId, *row.label, row.number) != 0)
            return false;
    }
    return true;
}

bool frmEdit::subSave_Line(qint32 printId)
{
    if (!deleted(mdlSQL::subSQL_LineDeleteAll, printId))
        return false;
    for (const auto* lines : {&lineHikidashi, &lineHojoSave, &lineDsSave, &linePS}) {
        if (!insertVisible(printId, *lines, mdlSQL::fncSQL_InsertLine))
            return false;
    }
    return true;
}

bool frmEdit::subSave_Shape(qint32 printId)
{
    if (!deleted(mdlSQL::subSQL_ShapeDeleteAll, printId))
        return false;
    for (const auto* shapes : {&shpShape, &shpSnpo}) {
        if (!insertVisible(printId, *shapes, mdlSQL::fncSQL_InsertShape))
            return false;
    }
    return true;
}

// One row per visible area label, numbered as the labels are, so that label
// n and record n pair again after the next load. An area whose record is
// missing gets the default one; the record always carries its label's key.
bool frmEdit::subSave_Hatching(qint32 printId)
{
    if (!deleted(mdlSQL::subSQL_HatchingDeleteAll, printId))
        return false;
    qint16 number = 0;
    const int last = lblMensekiS.UBound();
    for (int k = 0; k <= last; ++k) {
        if (!shown(lblMensekiS, k))
            continue;
        const QString key = ResultTag::fncTag_Key(lblMensekiS(k).Tag);
        typHatching record = k < GE_tpHatching.size() ? GE_tpHatching[k] : defaultHatching(k, key);
        record.Tag = key;
        if (mdlSQL::fncSQL_InsertHatching(printId, record, number) != 0)
            return false;
        ++number;
    }
    return true;
}

// The whole save of the open drawing: its record (inserted the first time,
// else the row its number names is updated, whatever id memory holds), its
// objects kind by kind and its printer settings. It runs under a savepoint
// inside the database's long transaction: the first statement that fails
// (having shown its own message) rolls everything back to the copy stored
// before, and the modified flag to what it was. A failure that cost the
// whole transaction took the savepoint with it: nothing is left to roll back.
bool frmEdit::fncSave_Drawing()
{
    const QString savepoint = QStringLiteral("drawing_save");
    const auto failure = [](const vb::Error& error) {
        if (error.number() != platform::db::errTransactionLost)  // already told
            vb::MsgBox(QStringLiteral("fncSave_Drawing():ｴﾗｰ番号 ") + QString::number(error.number())
                           + QStringLiteral(" ｴﾗｰが発生しました。") + vb::vbCr + error.description(),
                       vb::vbOKOnly, QStringLiteral("ｴﾗｰ"));
        return false;
    };
    const bool modified = GE_booDbUpdate;
    const long losses = mdlDB::fncLossCount();
    try {
        sqltext::connection().savepoint(savepoint);
    } catch (const vb::Error& error) {
        return failure(error);
    }
    const qint32 id = saveRecord();
    const bool saved = id > 0 && subSave_Label(id) && subSave_Line(id) && subSave_Shape(id) && subSave_Hatching(id)
        && deleted(mdlSQL::subSQL_PrinterDeleteAll, id) && mdlSQL::fncSQL_InsertPrinter(id, GE_tpPrinter) == 0;
    if (mdlDB::fncLossCount() != losses) {
        GE_booDbUpdate = false;  // the transaction begun anew holds nothing
        return false;
    }
    try {
        if (saved) {
            sqltext::connection().releaseSavepoint(savepoint);
        } else {
            sqltext::connection().rollbackToSavepoint(savepoint);
            GE_booDbUpdate = modified;
        }
    } catch (const vb::Error& error) {
        return failure(error);
    }
    if (saved)
        GE_tpPrint.Print_Id = id;
    return saved;
}

// --- loading ----------------------------------------------------------------------

// A table whose rows were not all loaded is named in strUnreadRows with how
// many were left, so that the drawing is never overwritten without them.
void frmEdit::subNote_Unread(const QString& table, const mdlSQL::Unread& unread)
{
    if (!unread.any())
        return;
    strUnreadRows << table + QStringLiteral(" : ")
            + (unread.failed ? QStringLiteral("件数不明（読込エラー）") : QString::number(unread.rows) + QStringLiteral(" 行"));
}

void frmEdit::subLoad_Label(qint32 printId)
{
    mdlSQL::Unread unread;
    mdlSQL::Stacking stacking;
    for (auto* labels : {&lblKyori, &lblKeiroS, &lblMensekiS, &lblMoji, &lblKeiIdoS})
        mdlSQL::fncSQL_LoadLabel(printId, *labels, &unread, &stacking);
    std::stable_sort(stacking.begin(), stacking.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<platform::Element*> bottomToTop;
    bottomToTop.reserve(stacking.size());
    for (const auto& [row, label] : stacking)
        bottomToTop.push_back(label);
    pictMap->restack(bottomToTop);
    // A result label is centred on its measurement by its width, blanks
    // around the figure included: the file keeps the caption without them.
    for (auto* labels : {&lblKyori, &lblKeiroS, &lblMensekiS}) {
        const bool area = labels == &lblMensekiS;
        for (int k = 0; k <= labels->UBound(); ++k)
            if (shown(*labels, k))
                (*labels)(k).Caption = ResultTag::fncStored_Caption((*labels)(k).Caption, (*labels)(k).Tag, area);
    }
    // A position label's text always ends in the blank it is made with.
    for (int k = 0; k <= lblKeiIdoS.UBound(); ++k) {
        if (shown(lblKeiIdoS, k) && !lblKeiIdoS(k).Caption.get().isEmpty() && !lblKeiIdoS(k).Caption.get().endsWith(u' '))
            lblKeiIdoS(k).Caption = lblKeiIdoS(k).Caption.get() + QLatin1Char(' ');
    }
    subNote_Unread(QStringLiteral("tLabel"), unread);
}

void frmEdit::subLoad_Line(qint32 printId)
{
    mdlSQL::Unread unread;
    for (auto* lines : {&lineHikidashi, &lineHojoSave, &lineDsSave, &linePS})
        mdlSQL::fncSQL_LoadLine(printId, *lines, &unread);
    subNote_Unread(QStringLiteral("tLine"), unread);
}

// The end markers first, as they have always been read.
void frmEdit::subLoad_Shape(qint32 printId)
{
    mdlSQL::Unread unread;
    mdlSQL::fncSQL_LoadShape(printId, shpSnpo, &unread);
    mdlSQL::fncSQL_LoadShape(printId, shpShape, &unread);
    subNote_Unread(QStringLiteral("tShape"), unread);
}

void frmEdit::subLoad_Hatching(qint32 printId)
{
    subLoad_HatchingRecords(printId);
    subReMake_HatchBins();
}

// Needs the area labels loaded. The records are made anew, whatever the
// drawing opened before left in them: record k for area label k (the stored
// row numbered k, or the default where there is none), then the empty spare
// paired with the labels' spare. Rows that name no area label are dropped.
void frmEdit::subLoad_HatchingRecords(qint32 printId)
{
    const int last = lblMensekiS.UBound();
    // Positions the rows fill say so by their intIndex; the others keep -1.
    typHatching unnamed;
    unnamed.intIndex = -1;
    QList<typHatching> rows(last + 1, unnamed);
    mdlSQL::Unread unread;
    mdlSQL::fncSQL_LoadHatching_Struct(printId, rows, &unread);
    subNote_Unread(QStringLiteral("tHatching"), unread);

    GE_tpHatching.clear();
    for (int k = 0; k <= last; ++k) {
        if (k == last && !shown(lblMensekiS, k))
            break;  // the labels' spare
        const QString key = lblMensekiS.exists(k) ? ResultTag::fncTag_Key(lblMensekiS(k).Tag) : QString();
        typHatching record = k < rows.size() && rows[k].intIndex == k ? rows[k] : defaultHatching(k, key);
        record.Tag = key;
        GE_tpHatching.append(record);
    }
    GE_tpHatching.append(typHatching());
}

// Every hatched area's segments, generated again from its sides (copied into
// the polygon buffer) and written to its cache file; the record's iUbound
// follows the file. An area without sides gets no segments and no file, never
// another area's. Nothing is drawn here.
void frmEdit::subReMake_HatchBins()
{
    // One pass over the sides (the last one is the spare): each key's first
    // side, and how many sides carry each whole tag (what the buffer receives).
    QHash<QString, int> firstSide;
    QHash<QString, int> sidesOfTag;
    const int lastSide = linePS.UBound() - 1;
    for (int j = 0; j <= lastSide; ++j) {
        if (!linePS.exists(j))
            continue;
        const QString key = ResultTag::fncTag_Key(linePS(j).Tag);
        if (!firstSide.contains(key))
            firstSide.insert(key, j);
        ++sidesOfTag[linePS(j).Tag];
    }
    for (int k = 0; k < GE_tpHatching.size(); ++k) {
        if (GE_tpHatching[k].iStyle < 1 || !lblMensekiS.exists(k))
            continue;
        const QString tag = lblMensekiS(k).Tag;
        const int first = firstSide.value(ResultTag::fncTag_Key(tag), -1);
        std::vector<mdlHatching::HatchSide> sides;
        if (first >= 0) {
            subCnv_PSToMenseki(qint16(first), false);
            const int copied = sidesOfTag.value(linePS(first).Tag);
            for (int m = 0; m < copied; ++m) {
                const LineElement& copy = lineMenseki(m);
                sides.push_back({copy.X1, copy.Y1, copy.X2, copy.Y2});
            }
        }
        const qsizetype count = mdlHatching::fncHatching_Store(sides, GE_tpHatching[k], tag, GE_sngZoom);
        intHatchCnt = qint16(std::min<qsizetype>(count, std::numeric_limits<qint16>::max()));
        subAllClr_LineMenseki();
    }
}
