#pragma once
// A file's name in a folder other users may write (an office's group
// folder, a user's folder root runs from, a world-writable one).
//
// Whoever may write a folder may put a link at any name in it. Followed,
// such a link points the program's read or write at a file of the
// program's user that the link's maker could not reach himself: a
// colleague's link makes the user overwrite a private file, a user's link
// makes root create or replace any file. So the program follows only the
// links of the user it runs as (root only root's), at the name it was
// given and at every name a link leads to; another user's link is refused,
// whatever the folder's mode, and the refusal names the link. The folders
// leading to the name are reached as the system reaches them: they are the
// place the user chose (a name in the program folder from the folder the
// start held, programfolder.h). A link's owner and the text followed are read from
// the one object found at the name, never from two looks at it.
//
// Where the system lets anyone make a hard link to any file
// (fs.protected_hardlinks 0), a file of more than one name that is not this
// user's is met as another user's link is: its other name may be the file
// a colleague could not write himself.
//
// A name is resolved once. The folder it ends in is held open and every
// later step (looking at the file, opening it, a new file beside it, the
// rename into its place) is taken from that folder's descriptor, never by
// the name again, so a rename between two steps can't choose where the
// bytes go; a link put at the name since is never followed either.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace platform {

class ResolvedName {
public:
    // Resolves `path`: the links of this user followed, as the system
    // follows them (40 at most), up to the first name that is no link.
    explicit ResolvedName(const QString& path);
    ~ResolvedName();
    ResolvedName(const ResolvedName&) = delete;
    ResolvedName& operator=(const ResolvedName&) = delete;

    enum class End {
        File,         // a name that is no link (a file, a folder, or nothing yet)
        Loop,         // links without end
        ForeignLink,  // a link another user made
        NoFolder      // the folder of a name can't be opened (errorNumber())
    };
    End end() const { return m_end; }
    // The folder the last name lies in, held open (-1 unless End::File).
    int folder() const { return m_folder; }
    // That name, within the folder.
    const QByteArray& name() const { return m_name; }
    // The file's path at the end of the links; the refused link's path; the
    // path itself for a loop.
    const QString& path() const { return m_path; }
    uid_t linkOwner() const { return m_owner; }  // the refused link's
    int errorNumber() const { return m_error; }

    // Opens the name from its folder, never following a link found there
    // now: -1 with errno as open(2) gives it (ELOOP for a link).
    int open(int flags, mode_t mode = 0666) const;

private:
    End m_end = End::Loop;
    int m_folder = -1;
    QByteArray m_name;
    QString m_path;
    uid_t m_owner = 0;
    int m_error = 0;
};

// Opens `path` through this user's links only. -1 with errno on a failure:
// EACCES where another user's link stands in the way, its path then in
// `foreignLink`; ELOOP for links without end.
int openOwn(const QString& path, int flags, mode_t mode = 0666, QString* foreignLink = nullptr);

// Whether hard links are taken as the system's fs.protected_hardlinks
// guards them (read from the system otherwise): for tests.
void assumeHardLinksProtected(bool guarded);

// The name of the user `uid` (its number where it has no account).
QString userName(uid_t uid);

// The refused link `link`'s description: its name, whose it is, and that
// the program neither reads nor writes through it.
QString foreignLinkText(const QString& link);
// Raises errPermission (70) with that description.
[[noreturn]] void raiseForeignLink(const QString& link);
// The link another user made that `path` leads through, "" when there is
// none (a file, a missing name, this user's links).
QString foreignLinkAt(const QString& path);

}  // namespace platform
