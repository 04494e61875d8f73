#include "platform/replacement.h"

#include "platform/files.h"
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
#include <vector>

namespace platform {

namespace {

// A chain longer than the kernel follows is a loop (Linux follows 40 links).
constexpr int MaxLinks = 40;
constexpr int HexDigits = 8;

QByteArray nativeName(const QString& path) { return QFile::encodeName(path); }

// Whether the system follows the link at `link` (its lstat `st`) where
// links are protected: in a sticky folder everyone may write, only this
// user's link or the folder owner's.
bool followable(const QByteArray& link, const struct stat& st)
{
    const qsizetype slash = link.lastIndexOf('/');
    struct stat folder {};
    if (::stat(slash < 0 ? "." : link.left(slash + 1).constData(), &folder) != 0)
        return true;  // nothing reaches the link then
    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || st.st_uid == ::geteuid() || st.st_uid == folder.st_uid;
}

enum class Chain { Ends, Loops, Refused };

// The file a chain of links ends at, each relative link read from its own
// folder as the kernel reads it; or the loop; or the first link the system
// would not follow, at `end`.
Chain endOfLinks(const QString& path, QString& end)
{
    QByteArray at = nativeName(path);
    // The file after the last link followed is looked at too.
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        end = QFile::decodeName(at);
        struct stat st {};
        if (::lstat(at.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return Chain::Ends;
        if (!followable(at, st))
            return Chain::Refused;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t size = ::readlink(at.constData(), link.data(), size_t(link.size()));
        if (size <= 0)
            return Chain::Ends;
        link.truncate(size);
        if (!link.startsWith('/'))
            link.prepend(at.left(at.lastIndexOf('/') + 1));
        at = link;
    }
    end = path;
    return Chain::Loops;
}

bool inGroup(gid_t group)
{
    if (::getegid() == group)
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(size_t(qMax(count, 0)));
    const int read = count > 0 ? ::getgroups(count, groups.data()) : 0;
    for (int i = 0; i < read; ++i)
        if (groups[size_t(i)] == group)
            return true;
    return false;
}

// Whether the write bit of the class this process falls in (owner, group,
// others) is clear; root falls in the owner's class.
bool protectedBits(const struct stat& st)
{
    const uid_t user = ::geteuid();
    if (user == 0 || user == st.st_uid)
        return !(st.st_mode & S_IWUSR);
    if (inGroup(st.st_gid))
        return !(st.st_mode & S_IWGRP);
    return !(st.st_mode & S_IWOTH);
}

// Whether a sticky folder keeps this process from renaming over the file
// `st` in it: another user's, in a folder not this user's, as the kernel
// rules (root may).
bool stickyRefuses(const struct stat& st, const QString& folder)
{
    const uid_t user = ::geteuid();
    if (user == 0 || st.st_uid == user)
        return false;
    struct stat dir {};
    return ::stat(nativeName(folder).constData(), &dir) == 0 && (dir.st_mode & S_ISVTX) && dir.st_uid != user;
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
void removeLeftovers(const QByteArray& folder, const QByteArray& prefix)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isLeftoverOf(entry->d_name, prefix))
            continue;
        int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            fd = ::openat(::dirfd(dir), entry->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

bool writeProtected(const QString& path)
{
    struct stat st {};
    return ::stat(nativeName(path).constData(), &st) == 0 && protectedBits(st);
}

QString handlePath(int fd)
{
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

Replacement::Replacement(const QString& path, ReplaceRule rule) : m_rule(rule)
{
    const Chain chain = endOfLinks(path, m_target);
    m_looped = chain == Chain::Loops;
    m_refused = chain == Chain::Refused;
}

Replacement::~Replacement()
{
    discard();
}

QFileDevice::FileError Replacement::create()
{
    discard();
    const qsizetype slash = m_target.lastIndexOf(u'/');
    const QString name = m_target.mid(slash + 1);
    if (m_looped || name.isEmpty())
        return QFileDevice::OpenError;
    if (m_refused)
        return QFileDevice::PermissionsError;
    const QString folder = slash < 0 ? QStringLiteral(".") : m_target.left(slash + 1);
    struct stat st {};
    if (::stat(nativeName(m_target).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return QFileDevice::OpenError;
        if ((m_rule == ReplaceRule::FileBits && protectedBits(st)) || stickyRefuses(st, folder))
            return QFileDevice::PermissionsError;
    }
    const QByteArray prefix = leftoverPrefix(name);
    removeLeftovers(nativeName(folder), prefix);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray candidate = nativeName(m_target.left(slash + 1)) + prefix
            + QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(HexDigits, '0');
        const int fd = ::open(candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Held until the file is in place or removed: the mark of a write still running.
            ::flock(fd, LOCK_EX | LOCK_NB);
            m_fd = fd;
            m_path = QFile::decodeName(candidate);
            return QFileDevice::NoError;
        }
        if (errno != EEXIST)
            return vb::fileErrorOf(errno, QFileDevice::OpenError);
    }
    return QFileDevice::OpenError;
}

QFileDevice::FileError Replacement::putInPlace(bool sync)
{
    if (m_fd < 0)
        return QFileDevice::OpenError;
    // The file it replaces keeps its permissions, and for root its owner
    // and group; a new one in a user's folder is the user's.
    struct stat st {};
    if (::stat(nativeName(m_target).constData(), &st) == 0) {
        if (::geteuid() == 0 && ::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
        }
        ::fchmod(m_fd, st.st_mode & 0777);
    } else {
        const qsizetype slash = m_target.lastIndexOf(u'/');
        files::giveFolderOwner(m_fd, slash < 0 ? QStringLiteral(".") : m_target.left(slash + 1));
    }
    if (sync && ::fsync(m_fd) != 0)
        return vb::fileErrorOf(errno, QFileDevice::WriteError);
    if (std::rename(nativeName(m_path).constData(), nativeName(m_target).constData()) != 0)
        return vb::fileErrorOf(errno, QFileDevice::RenameError);
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    return QFileDevice::NoError;
}

void Replacement::discard()
{
    if (m_fd < 0)
        return;
    ::unlink(nativeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

}  // namespace platform
