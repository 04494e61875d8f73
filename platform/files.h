#pragma once
// File and folder operations with the runtime's failures and Windows' name
// matching. Paths use "/".

#include <QString>
#include <QStringList>

#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform::files {

// `folder` + "/" + `name`, without doubling the "/" when the folder already
// ends with one (a program folder at the root "/").
QString join(const QString& folder, const QString& name);

bool exists(const QString& path);      // a file or a folder
bool fileExists(const QString& path);  // a file (not a folder)
bool dirExists(const QString& path);   // a folder

// True when this process can make a new file in the folder `folder`. It
// makes one and removes it again, so that whatever refuses a write counts:
// the folder's owner and permissions, an access list, a read-only volume.
bool canCreateIn(const QString& folder);

// True when this process can change the file `file` as the writer does:
// write it where it lies, or put a new one in its place from its folder (a
// folder whose sticky bit keeps other users' files counts only for the
// user's own), both at the end of this user's links; never through
// another user's link.
bool canRewrite(const QString& file);

// The operations below never follow another user's link (ownlinks.h): one
// at a name they read, write, rename or remove raises errPermission (70)
// naming it. The failures of the operations that the system refuses: errPathNotFound
// (76) when the folder the target lies in is missing, errPermission (70),
// described as a file or folder that cannot be written, when access is
// refused (a read-only folder, file or volume), errDiskFull (61), naming the
// target, when the disk is full or the target would pass the file-size
// limit, errPathFileAccess (75) otherwise.

// Creates one folder. Raises errPathFileAccess (75) when the path is empty or
// names something that exists, else the failures above.
void makeDir(const QString& path);

// Copies a file, never over an existing one; the copy gets the permissions
// and group a new file in its folder gets (the user's umask, a shared
// folder's group), not those of `source`. Raises
// errFileNotFound (53) when `source` is no file, errFileExists (58) when
// `target` exists, else the failures above; nothing of a failed copy stays.
void copyFile(const QString& source, const QString& target);

// Why this process can't give a file that is to take the place of
// `original` the original's owner and group: only root gives a file to
// another user, and a user gives a file only a group of their own. ""
// when it can (or when `original` can't be looked at).
QString keepingRefusal(const QString& original);
// The same for the original looked at as `original`.
QString keepingRefusal(const struct stat& original);

// Gives the file open as `fd`, which is to take the place of the file open
// as `originalFd`, the original's permissions and access list, and its
// owner and group where the process may (keepingRefusal); false, errno
// telling why, when what it may give can't be given.
bool keepAccess(int originalFd, int fd);

// A new file made to take the place of another. It is made by this process
// (never over an existing name, never through a link), open to no other
// user, and given the original's owner, group, mode and access list
// through its descriptor, so that whatever another user puts under its
// name meanwhile (a shared folder lets anyone of the group rename and
// unlink) is given nothing and never stays in the original's place. Its
// folder is held from the start: the names are looked up in that folder,
// wherever its own name leads later.
class StandIn {
public:
    // Makes the empty file `path`; raises as copyFile does.
    explicit StandIn(const QString& path);
    // Closes it; a file not put in place is removed while its name still
    // names it.
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    int descriptor() const { return m_fd; }
    // Gives the file the permissions and access list of `original`, and
    // its owner and group where the process may (keepingRefusal says when
    // it may not), read from `original` opened once through the user's own
    // links. Raises errPermission (70) naming the file when what it may
    // give can't be given.
    void keepModeAndGroup(const QString& original);
    // The same from the file open as `originalFd`, which `original` names.
    void keepModeAndGroup(int originalFd, const QString& original);
    // Puts the file in the place of `target` (a name in the same folder,
    // which keepModeAndGroup was given), the two names exchanged in one
    // step; it is in place only when the file then at `target` is this one
    // and the file it took the place of is the original. Otherwise the
    // exchange is undone and errPathFileAccess (75) raised, naming what
    // stood at the file's name and whose it is: `target` keeps the
    // original. On a file system that can't exchange two names the file is
    // renamed over `target` and looked at after: targetLost() then tells
    // that the original is gone from `target` as well.
    void replace(const QString& target);
    // True when a replace that failed left `target` without the original.
    bool targetLost() const { return m_targetLost; }

private:
    bool stillNamed() const;
    // What stands at `name` in the folder, as the user reads it: whose
    // file, link or folder; "" when nothing.
    QString describeAt(const QByteArray& name) const;
    QString m_path;
    QByteArray m_name;
    int m_folder = -1;
    int m_fd = -1;
    dev_t m_originalDevice = 0;
    ino_t m_originalInode = 0;
    bool m_placed = false;
    bool m_targetLost = false;
};

// For tests: a step run just before a StandIn takes its target's place
// (another user's rename falls there); an empty function for none.
void setBeforePlacing(std::function<void()> step);

// Puts a copy of `source` in the place of the file `target` in one step:
// the copy is written to the StandIn `beside` (in target's folder) and
// keeps target's owner, group, permissions and access list. Raises as
// copyFile and StandIn do; nothing of `beside` stays after a failure.
void copyToReplace(const QString& source, const QString& target, const QString& beside);

// Renames or moves a file or folder, never over an existing one; the same
// failures as copyFile.
void renameFile(const QString& from, const QString& to);

// Deletes one file (a link of the user's own: the link). Raises
// errFileNotFound (53) when it is no file, else the failures above.
void deleteFile(const QString& path);

// Puts `from` in the place of the file `to` in one atomic step (the old
// `to`, if any, is gone only once `from` has its name); both in one folder.
// Raises errFileNotFound (53) when `from` is no file, else the failures above.
void replaceFile(const QString& from, const QString& to);

// The name of the file of `folder` that Windows would open for `name`: the
// exact name when it exists, else the first name that differs only in
// letter case; "" when there is none.
QString findFileName(const QString& folder, const QString& name);

// The full path with "." and ".." resolved and links followed, so that two
// names of one file compare equal; an absent file gives its cleaned
// absolute path.
QString canonicalPath(const QString& path);

// True when `name` matches the wildcard `pattern` ("*" any run, "?" one
// character) without regard to case; "*.*" matches every name.
bool matches(const QString& pattern, const QString& name);

// Deletes the files of `folder` whose names match `pattern`; files it cannot
// delete stay silently. Returns how many were deleted. An empty folder name
// names no folder and deletes nothing.
int killPattern(const QString& folder, const QString& pattern);

// Names (without folder) of the files of `folder` matching `pattern`, sorted
// by name without regard to case.
QStringList listFiles(const QString& folder, const QString& pattern = QStringLiteral("*"));

// The mount point of the volume holding `folder` (or its nearest existing
// parent); empty when none is found.
QString driveOf(const QString& folder);

// For root only: gives the file or folder open as `fd`, just made in
// `folder`, the folder's owner and group when the folder belongs to a user,
// so that a run as root (sudo) leaves a user's folder wholly the user's:
// copyFile's copy, makeDir's folder and a written file new in its place get
// it. Set on the open file, never through a name another user could swap.
void giveFolderOwner(int fd, const QString& folder);
// The same for the folder open as `folderFd`.
void giveFolderOwner(int fd, int folderFd);

}  // namespace platform::files
