#pragma once
// A database file held for this program alone while the file itself is
// compacted, renamed or deleted. On this platform a file that another
// program has open can be unlinked or replaced under it, and that program
// would go on writing into a file nobody sees again; so the file is taken
// only when no other process takes part in a transaction on it, and held
// with the engine's exclusive lock until the hold ends, so that none can
// begin one in between.
//
// What the locks tell: a process that has changed the file and not yet
// committed (it holds the engine's reserved lock) and one in a transaction
// that has read it (a shared lock) - this program holds one or the other as
// long as it has a file open. A process that has opened the file and holds
// no transaction on it leaves no trace the engine can see.

#include "platform/database.h"

#include <QString>

namespace platform::db {

// Jet's number for a file another user has open.
constexpr long errFileInUse = 3045;

enum class FileUse {
    None,     // no other process holds a lock on the file (or it can't be read)
    Reading,  // another process reads it in a transaction
    Writing,  // another process has changed it, or is committing
};

// What other processes do with the database file at `path`, from the locks
// they hold on it; no lock is taken. Locks of this process don't count.
// Call it only while this process has no connection on the file: looking
// closes a descriptor of the file, which would drop this process's own
// locks on it.
FileUse otherUse(const QString& path);

class FileHold {
public:
    FileHold() = default;
    ~FileHold();  // releases the hold
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

    // Opens the file as any connection does (a journal left hot by a
    // program that died in a commit is rolled back; the password is
    // checked) and takes the exclusive lock without waiting. Raises
    // errFileInUse when another process holds the file (otherUse) or takes
    // it before the lock is had; the connection's failure otherwise (a hot
    // journal that can't be rolled back is one). Nothing is held after a
    // failure.
    void take(const QString& connectionString);
    // The held connection (a compaction reads through it); no transaction
    // is open on it.
    Connection& connection() { return m_connection; }
    // Removes the journal kept beside the held file: after the take it
    // holds nothing any program could play back, and once the file is gone
    // or renamed it must not stay behind under the file's old name. Raises
    // the failure of the delete (the journal stays).
    void dropJournal();
    // The held file, opened again through this user's own links and checked
    // to be the one held (a compaction gives its copy the file's owner,
    // group, mode and access list from there); -1 when the name no longer
    // leads to it (another user of a shared folder may put a file of their
    // own under it). Open until the hold ends: closing it earlier would drop
    // the hold's lock.
    int heldFile();
    // Ends the hold; the file is closed.
    void release();

private:
    Connection m_connection;
    QString m_path;
    int m_heldFd = -1;
};

}  // namespace platform::db
