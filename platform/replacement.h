#pragma once
// The new file that takes a file's place once it is whole: how every writer
// of the program (the whole-file writer, the PDF of a print) names, syncs
// and renames the file it writes.
//
// The new file lies beside the target as ".<name>~<8 hex digits>": hidden,
// a name no user gives a file (a user's own "<name>.part" or "<name>.tmp"
// is never touched), and one of its own for every write. A name too long
// to take the marks keeps its head and a digest of the whole name instead,
// ".<head>~<digest>~<8 hex digits>", so the file still names its target.
// A write holds a lock on its file while it runs; the files of earlier
// writes to the same target that were cut off (the program killed midway)
// hold none, and the next write to that target removes them, and nothing
// else: not another target's, not a name that only looks like one.
//
// A link is written through to the end of its chain where each link is
// this user's (ownlinks.h); another user's link is refused, whatever the
// folder's mode, and every step after the name's one resolution is taken
// from its folder's descriptor. A target this process may not write is
// refused, as a Windows program is refused a read-only file: a user as the
// system judges the write (access list included), root by the owner's
// write bit, not by access(), which allows root everything. The program's
// own settings file is the folder's to decide instead: it is replaced
// wherever its folder lets this process put a new file in its place,
// whoever's it is, as the start's check of the program folder counts it;
// never where a sticky folder keeps another user's file from being
// renamed over.
//
// The file replaced keeps its mode, access list and group, and its owner:
// root gives it back, so that root writing into a user's folder leaves the
// file the user's (a new one gets the folder's owner and group there). A
// user given write to another user's file (by its group or an access
// list) is refused with a box saying why, as is one whose file has a group
// the user is not in: the file the user makes could be neither's, and
// written over in place a failure midway would leave it half new. The
// settings file, the folder's to decide, becomes its writer's, keeping the
// rest.

#include "platform/ownlinks.h"

#include <QFileDevice>
#include <QString>

#include <memory>
#include <sys/stat.h>

namespace platform {

// Whether this process may not write the file at `path` (this user's links
// followed), as the writer judges it; false when there is no file.
bool writeProtected(const QString& path);

// The file open as `fd` by a name that reaches that file alone
// ("/proc/self/fd/<fd>"): whatever its folder holds by then (nothing, or
// another user's link put in its place), opening this opens the file.
QString handlePath(int fd);

// Whose say it is whether a file may be replaced: its permission bits'
// (a read-only file is refused), or its folder's (the settings file).
enum class ReplaceRule { FileBits, Folder };

class Replacement {
public:
    explicit Replacement(const QString& path, ReplaceRule rule = ReplaceRule::FileBits);
    ~Replacement();  // a new file never put in place is removed
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Removes the leftovers of earlier writes and creates the new file,
    // open for writing; NoError, or the failure: PermissionsError for a
    // refused target, link or folder, ResourceError for a full disk.
    QFileDevice::FileError create();
    // The file at the end of the links (the path itself when they loop; the
    // refused link).
    const QString& target() const;
    // Whether another user's link stands in the way (refused by create()).
    bool foreignLink() const;
    const QString& path() const { return m_path; }      // the new file ("" before create)
    int handle() const { return m_fd; }
    // Gives the new file the target's permissions, forces it to disk when
    // `sync`, and renames it into the target's place; NoError or the failure.
    QFileDevice::FileError putInPlace(bool sync);
    // Removes the new file unless it is in place.
    void discard();
    // Raises the runtime's error for the failure `error` of create() or
    // putInPlace(), naming the target (or the refused link).
    [[noreturn]] void raise(QFileDevice::FileError error) const;

private:
    QFileDevice::FileError refuseUnkeepable();

    std::unique_ptr<ResolvedName> m_name;  // the target's one resolution
    ReplaceRule m_rule;
    bool m_had = false;  // a file stood at the name when the write began
    bool m_linkPut = false;  // a link was put at the name after it was resolved
    struct stat m_old {};  // that file
    int m_oldFd = -1;      // held open, -1 where it could not be
    QString m_refusal;     // why the file can't be replaced as it is
    QByteArray m_candidate;  // the new file's name in the target's folder
    QString m_path;
    int m_fd = -1;
};

}  // namespace platform
