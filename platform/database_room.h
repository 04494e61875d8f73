#pragma once
// The room a transaction of the database layer needs on disk, taken before
// the engine writes: a write the engine can't complete (a full disk, a
// file-size limit) makes it roll the whole transaction back. Used by
// database.cpp alone.

#include "platform/vberror.h"

#include <QString>
#include <QtGlobal>

struct sqlite3;

namespace platform::db::room {

// What asking for room came to.
struct Outcome {
    enum Kind {
        Taken,     // the room is there, held for the transaction
        Checked,   // the disk has the room now, but the file system can't hold it
        Short,     // the disk (or the file-size limit) lacks it; nothing was taken
        Unusable,  // the journal can't be written by this process (`error`)
    };
    Kind kind = Taken;
    qint64 needed = 0;      // bytes the file lacks
    qint64 available = -1;  // bytes free to this process, or the size limit; -1 when unknown
    bool sizeLimit = false; // the process's file-size limit, not the disk, is short
    int error = 0;
};

// Whether the file of `db` keeps a write-ahead log instead of the journal
// (another program switched it), as the file itself says now.
bool writeAheadLog(sqlite3* db);

// Before a change in a transaction on `file`: the journal's room for the
// most the transaction can write into it.
Outcome takeJournalRoom(const QString& file, qint64 pageSize);

// Before the commit of a transaction on `file` that changed pages: the
// journal gives back the room its transaction didn't use, then the file
// takes the room it grows to (`pageCount` pages). Raises the refusal, with
// nothing taken.
void takeCommitRoom(sqlite3* db, const QString& file, qint64 pageSize, qint64 pageCount);

// Before the commit of a transaction on `file` whose changes go to a
// write-ahead log: the room the log can need for them. Raises the refusal.
void checkLogRoom(const QString& file, qint64 pageSize, qint64 pageCount);

// Before the file `file` is opened: a file that keeps a write-ahead log
// (another program's choice) has the engine build the log's index in a file
// beside it (-shm) and read it through a memory map, whose pages take their
// blocks only as they are touched; where the disk can't give them, the
// process ends at once (SIGBUS). So the room the index needs for the log's
// frames is checked first. Raises the engine's "full" error (13) naming the
// file, the log and the room; nothing for a file without a log.
void checkLogIndexRoom(const QString& file);

// Gives back the journal's blocks beyond its end.
void releaseJournal(const QString& journal);

// The refusal of a write that lacks room: the engine's "full" error (13)
// on `file`, naming what the write needs and what there is, in MB.
vb::Error shortage(const QString& file, const Outcome& outcome);

// A journal this process can't write (another user's, read-only).
vb::Error unusableJournal(const QString& file, const QString& journal, int error);

}  // namespace platform::db::room
