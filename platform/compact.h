#pragma once
// Compaction in place of the Jet engine's: a database file is copied
// without its free pages into a new file, which keeps the file's password.

#include <QString>

namespace platform::db {

// Writes the compacted copy of the database that `sourceConnection` opens
// (its password checked as for any connection) into the new file `target`.
// Raises errFileExists (58) when `target` exists; an engine failure raises
// its own number, described as a failure to write `target`, and leaves no
// file `target` behind.
void compactDatabase(const QString& sourceConnection, const QString& target);

}  // namespace platform::db
