#pragma once
// The database files of a folder, without windows: the name of a new file,
// the test that a file is one of the program's databases, and compaction
// that never loses the only good copy.

#include <QString>

namespace mdlMdbFile {

// "New_" & n & ".mdb" for the first n from `first` up that names no file
// (of any letter case) of `folder`.
QString fncNew_Name(const QString& folder, int first);

// True when a name typed for a database file keeps it in its folder: no
// "/" or "\", and no leading "." (which hides the file or climbs up).
bool fncName_Allowed(const QString& answer);

// True when the file opens with the program's password and holds tSystem.
bool fncIs_Database(const QString& path);

// Compacts the closed file `path`: the compacted copy is written to
// path & ".Tmp", checked, and then takes the file's place, with its
// permissions, in one step. A ".Tmp" left by an interrupted compaction is
// deleted first only when the file itself is a good database (otherwise the
// leftover may be the only good copy); a ".Tmp" that is a folder is left
// alone and named. A failure
// raises vb::Error, whose description names the file, says that it is
// unchanged and what went wrong; no ".Tmp" of this compaction is left.
void subCompact(const QString& path);

}  // namespace mdlMdbFile
