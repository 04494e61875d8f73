#pragma once
// The one database connection of the program and its long transaction:
// opened with the file, ended when the file is closed, committed only when
// the user agrees to save.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <functional>
#include <optional>

namespace vb {
class Error;
}

namespace mdlDB {

// Every database file of the program carries this password.
inline const QString DatabasePassword = QStringLiteral("quillmoss");

// The connection string for a database file (also used to compact a file);
// the path stands in quotes, so any name reaches the engine as it is.
QString fncConnectionString(const QString& path);

// Opens the file into GE_objConnection and begins its transaction: 0, or -1
// after telling the user why not.
qint16 fncDbOpen(const QString& path);

// Ends the transaction (commits only when something was written and the user
// says so), closes and releases the connection: 0. A commit that fails is
// offered again; when the user goes back to the program instead, -1, and
// the connection and its transaction stand as they were.
qint16 fncDbClose();

// The close when nothing can be asked any more (the display went away):
// what the user saved in this run is committed without a question, and a
// save still under way is dropped first, never kept half done. Shows no box
// and raises nothing. While another program holds the file's lock (another
// copy of the program with the file open), the commit is tried again for up
// to a minute. A commit that still fails leaves the file as it was, and
// what was lost - the drawings the run saved, and why - goes to the
// standard error and into a note in the program folder for the next start.
void subDbClose_Unattended();
// For tests only: how long the unattended close waits for another
// program's lock (a minute unless set).
void subSet_UnattendedWait(std::chrono::milliseconds wait);
// At the start: the note an unattended close left is shown once and removed.
void subShow_LostSaves();
// While an unattended close of a run from this program folder waits to
// save: the time by which it will have ended, in UTC.
std::optional<QDateTime> fncEnding_Until();
// A start that took the instance lock: no run of this folder is ending, and
// a mark one that died left goes.
void subClear_Ending();

// Before work that only a save can keep (a new drawing, one opened for
// change): when the open file can't be written at all, the user is told
// now rather than at the first save. True when it can be written.
bool fncTell_NotWritable();

// When a failed write made the engine drop the whole transaction, the user
// is told once and a new transaction stands. Windows whose work lived in the
// lost one hear of it through `listener` (until `owner` is destroyed).
void subWatch_Loss(QObject* owner, std::function<void()> listener);
// How many transactions were lost so far in this run.
long fncLossCount();
// How many changes the user let go at the box that names the room they
// lack, and whether `failure` is the last of them: that box told what to
// do, and the failure needs no box of its own.
long fncRefusalCount();
bool fncRefusal_Told(const vb::Error& failure);
// Every statement's failure passes here; those refused because another
// program (another copy of this program on another computer or of another
// user) holds the file's lock are counted, so that the save that failed
// can say whom the user has to ask.
void subNote_Failure(const vb::Error& failure);
long fncHeldCount();

}  // namespace mdlDB
