#pragma once
// The database files of a folder, without windows: the name of a new file,
// the test that a file is one of the program's databases, compaction that
// never loses the only good copy, and the delete and rename of a file. A
// file is compacted, deleted or renamed only while this program holds it
// alone (platform/dbfilehold.h), and never with a journal of its own left
// behind under its old name.

#include <QString>

#include <functional>

namespace mdlMdbFile {

// "New_" & n & ".mdb" for the first n from `first` up that names no file
// (of any letter case) of `folder`, nor the journal of one: a journal left
// by a deleted file would be played into the new one.
QString fncNew_Name(const QString& folder, int first);

// True when a name typed for a database file keeps it in its folder: no
// "/" or "\", and no leading "." (which hides the file or climbs up).
bool fncName_Allowed(const QString& answer);

// True when the file opens with the program's password and holds tSystem.
bool fncIs_Database(const QString& path);

// Raises vb::Error when the file `path` must not be changed:
// platform::db::errFileInUse when another program holds it, and, when
// `writing`, errPermission (70) when its permission bits keep this program
// from writing it, as every writer refuses a read-only file. The
// description names the file.
void subCheck_Free(const QString& path, bool writing);

// Compacts the closed file `path`: the compacted copy is written to
// path & ".Tmp", checked, and then takes the file's place, with its owner,
// group, permissions and access list, in one step. A ".Tmp" left by an
// interrupted compaction is deleted first only when the file itself is a
// good database (otherwise the leftover may be the only good copy); a
// ".Tmp" that is a folder is left alone and named. A failure raises
// vb::Error, whose description names the file, says that it is unchanged
// and what went wrong; no ".Tmp" of this compaction is left. A file another
// program holds, a read-only one, or one whose owner and group this user
// can't give (subCheck_Keepable) is refused before anything is written.
void subCompact(const QString& path);

// For tests: a step run once a compaction's copy is written, before it is
// checked (another user's file put beside it falls there); an empty
// function for none.
void setAfterCopyWritten(std::function<void()> step);

// Raises vb::Error errPermission (70) when this user can't give the
// compacted copy of `path` the file's owner and group (only root gives a
// file to another user; a user gives a file only a group of their own):
// the description names the file, says why and who can compact it.
void subCheck_Keepable(const QString& path);

// Deletes the database file `path` and the journal beside it. The file is
// opened first, so that a journal a program left hot in a commit is played
// back rather than left to the next file of the name. Raises vb::Error
// naming the file, which then stays: subCheck_Free's refusals, a hot
// journal that can't be played back, or the delete's own failure.
void subDelete(const QString& path);

// Renames the database file `path` to `target` (no file nor journal of that
// name exists), with the hot journal played back first and the file's own
// journal removed, as for subDelete; a read-only file may be renamed.
void subRename(const QString& path, const QString& target);

}  // namespace mdlMdbFile
