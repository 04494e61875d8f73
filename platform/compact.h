#pragma once
// Compaction in place of the Jet engine's: a database file is copied
// without its free pages into a new file, which keeps the file's password.

#include <QString>

namespace platform::db {

class Connection;

// Writes the compacted copy of the database open on `source` (outside a
// transaction) into `target`, an empty file the caller made and removes
// again after a failure (platform::files::StandIn).
// An engine failure raises its own number, described as a failure to
// write `target`.
void compactDatabase(Connection& source, const QString& target);

}  // namespace platform::db
