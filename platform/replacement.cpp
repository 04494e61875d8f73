#include "platform/replacement.h"

#include "platform/files.h"
#include "platform/vberror.h"
#include "platform/writeerror.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int HexDigits = 8;

QByteArray nativeName(const QString& path) { return QFile::encodeName(path); }

// Whether this process may not write the file `name` of the open folder
// `folder` (its lstat `st`). A user is judged as the system judges the
// write, access list included, so a colleague given write by an entry of
// it may; root, whom the system allows everything, by the owner's bit, as
// a Windows program is refused a read-only file.
bool protectedFile(int folder, const QByteArray& name, const struct stat& st)
{
    if (::geteuid() == 0)
        return !(st.st_mode & S_IWUSR);
    return ::faccessat(folder, name.constData(), W_OK, AT_EACCESS) != 0
        && (errno == EACCES || errno == EPERM);
}

// Whether a sticky folder keeps this process from renaming over the file
// `st` in it: another user's, in a folder not this user's, as the kernel
// rules (root may).
bool stickyRefuses(const struct stat& st, int folder)
{
    const uid_t user = ::geteuid();
    if (user == 0 || st.st_uid == user)
        return false;
    struct stat dir {};
    return ::fstat(folder, &dir) == 0 && (dir.st_mode & S_ISVTX) && dir.st_uid != user;
}

// The start of the new files' names for the target named `name`:
// ".<name>~". A name too long for that (with the digits, past the system's
// limit of a name's bytes) keeps its head, cut between characters, and adds
// the digest of the whole name: ".<head>~<digest>~", still this target's
// own and no other's.
QByteArray leftoverPrefix(const QString& name)
{
    const QByteArray whole = nativeName(name);
    if (whole.size() + 2 + HexDigits <= NAME_MAX)
        return '.' + whole + '~';
    const QByteArray digest = QCryptographicHash::hash(whole, QCryptographicHash::Sha256).left(HexDigits / 2).toHex();
    qsizetype head = NAME_MAX - 3 - 2 * HexDigits;
    while (head > 0 && (whole.at(head) & 0xC0) == 0x80)  // not inside a character's bytes
        --head;
    return '.' + whole.left(head) + '~' + digest + '~';
}

bool isLeftoverOf(const char* entry, const QByteArray& prefix)
{
    const QByteArray name(entry);
    if (name.size() != prefix.size() + HexDigits || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        const char c = name.at(i);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// Removes the new files of earlier writes to the same target that no
// running write holds; anything it can't remove stays.
void removeLeftovers(int folder, const QByteArray& prefix)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!isLeftoverOf(entry->d_name, prefix))
            continue;
        int fd = ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            fd = ::openat(folder, entry->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folder, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

bool writeProtected(const QString& path)
{
    const ResolvedName name(path);
    struct stat st {};
    return name.end() == ResolvedName::End::File
        && ::fstatat(name.folder(), name.name().constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
        && protectedFile(name.folder(), name.name(), st);
}

QString handlePath(int fd)
{
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

Replacement::Replacement(const QString& path, ReplaceRule rule) : m_name(std::make_unique<ResolvedName>(path)), m_rule(rule)
{
}

Replacement::~Replacement()
{
    discard();
    if (m_oldFd >= 0)
        ::close(m_oldFd);
}

const QString& Replacement::target() const { return m_name->path(); }

bool Replacement::foreignLink() const { return m_linkPut || m_name->end() == ResolvedName::End::ForeignLink; }

QFileDevice::FileError Replacement::create()
{
    discard();
    if (m_oldFd >= 0)
        ::close(m_oldFd);
    m_oldFd = -1;
    m_refusal.clear();
    switch (m_name->end()) {
    case ResolvedName::End::Loop:
        return QFileDevice::OpenError;
    case ResolvedName::End::ForeignLink:
        return QFileDevice::PermissionsError;
    case ResolvedName::End::NoFolder:
        return vb::fileErrorOf(m_name->errorNumber(), QFileDevice::OpenError);
    case ResolvedName::End::File:
        break;
    }
    const int folder = m_name->folder();
    const QByteArray& name = m_name->name();
    if (name.isEmpty())
        return QFileDevice::OpenError;
    m_had = ::fstatat(folder, name.constData(), &m_old, AT_SYMLINK_NOFOLLOW) == 0;
    if (m_had) {
        // A link put there since the name was resolved is not followed.
        if (S_ISDIR(m_old.st_mode))
            return QFileDevice::OpenError;
        m_linkPut = S_ISLNK(m_old.st_mode);
        if (m_linkPut)
            return QFileDevice::PermissionsError;
        if ((m_rule == ReplaceRule::FileBits && protectedFile(folder, name, m_old)) || stickyRefuses(m_old, folder))
            return QFileDevice::PermissionsError;
        // Held, so that the new file gets this file's access list, not
        // that of one put at the name meanwhile.
        if (S_ISREG(m_old.st_mode)) {
            constexpr int Flags = O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
            m_oldFd = ::openat(folder, name.constData(), O_RDONLY | Flags);
            if (m_oldFd < 0)
                m_oldFd = ::openat(folder, name.constData(), O_WRONLY | Flags);
            struct stat held {};
            if (m_oldFd >= 0 && (::fstat(m_oldFd, &held) != 0 || held.st_ino != m_old.st_ino || held.st_dev != m_old.st_dev)) {
                ::close(m_oldFd);
                m_oldFd = -1;
            }
        }
    }
    const QByteArray prefix = leftoverPrefix(QFile::decodeName(name));
    removeLeftovers(folder, prefix);
    const QString& target = m_name->path();
    const QString place = target.left(target.lastIndexOf(u'/') + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray candidate
            = prefix + QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(HexDigits, '0');
        const int fd = ::openat(folder, candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Held until the file is in place or removed: the mark of a write still running.
            ::flock(fd, LOCK_EX | LOCK_NB);
            m_fd = fd;
            m_candidate = candidate;
            m_path = place + QFile::decodeName(candidate);
            return refuseUnkeepable();
        }
        if (errno != EEXIST)
            return vb::fileErrorOf(errno, QFileDevice::OpenError);
    }
    return QFileDevice::OpenError;
}

// A file the user may write but could not make again as it is (another
// user's, or of a group not the user's) is not replaced: the new file
// would be the user's, its access list gone. Written over in place
// instead, a failure midway would leave it half new. Judged by the new
// file as the system made it: on a file system of fixed owners (a share)
// it is the old one's alike.
QFileDevice::FileError Replacement::refuseUnkeepable()
{
    struct stat made {};
    if (!m_had || m_rule != ReplaceRule::FileBits || ::fstat(m_fd, &made) != 0
        || (made.st_uid == m_old.st_uid && made.st_gid == m_old.st_gid))
        return QFileDevice::NoError;
    m_refusal = files::keepingRefusal(m_old);
    if (m_refusal.isEmpty())
        return QFileDevice::NoError;
    discard();
    return QFileDevice::PermissionsError;
}

QFileDevice::FileError Replacement::putInPlace(bool sync)
{
    if (m_fd < 0)
        return QFileDevice::OpenError;
    // The file it replaces keeps its permissions and access list, its group
    // and for root its owner; a new one in a user's folder is the user's.
    // The file is the one looked at when the write began: nothing put at
    // its name since decides.
    if (m_oldFd >= 0) {
        if (!files::keepAccess(m_oldFd, m_fd))
            return vb::fileErrorOf(errno, QFileDevice::PermissionsError);
    } else if (m_had) {
        if (::geteuid() == 0 && ::fchown(m_fd, m_old.st_uid, m_old.st_gid) != 0) {
        }
        ::fchmod(m_fd, m_old.st_mode & 0777);
    } else {
        files::giveFolderOwner(m_fd, m_name->folder());
    }
    if (sync && ::fsync(m_fd) != 0)
        return vb::fileErrorOf(errno, QFileDevice::WriteError);
    // Whatever stands at the name now (a link put there meanwhile too) is
    // replaced, never followed.
    if (::renameat(m_name->folder(), m_candidate.constData(), m_name->folder(), m_name->name().constData()) != 0)
        return vb::fileErrorOf(errno, QFileDevice::RenameError);
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    return QFileDevice::NoError;
}

void Replacement::raise(QFileDevice::FileError error) const
{
    if (foreignLink())
        raiseForeignLink(target());
    if (!m_refusal.isEmpty())
        vb::raise(vb::errPermission,
                  target() + QStringLiteral(" に書き込めませんでした。元のファイルはそのままです。") + QStringLiteral("\r\n")
                      + QStringLiteral("書き込んだファイルがこのファイルに代わるため、このファイルと同じ所有者とグループが要ります。")
                      + QStringLiteral("\r\n") + m_refusal + QStringLiteral("\r\n")
                      + QStringLiteral("このファイルの所有者で、このファイルのグループに入っているユーザーが書き込むか、ほかの名前で保存してください。"));
    vb::raiseWriteError(error, target());
}

void Replacement::discard()
{
    if (m_fd < 0)
        return;
    // Only the file this write made: not another user's put in its place.
    struct stat named {}, own {};
    if (::fstatat(m_name->folder(), m_candidate.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
        && ::fstat(m_fd, &own) == 0 && named.st_ino == own.st_ino && named.st_dev == own.st_dev)
        ::unlinkat(m_name->folder(), m_candidate.constData(), 0);
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

}  // namespace platform
