#include "platform/database_names.h"

#include "platform/vberror.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::db {

namespace {

// The one stand-in the engine is to find (a compaction runs one at a time).
struct StandIn {
    QByteArray name;           // within its folder
    dev_t folderDevice = 0;
    ino_t folderInode = 0;
    int fd = -1;
};
std::mutex standInGuard;
StandIn standIn;
std::atomic<bool> standInSet{false};

// The stand-in's descriptor when `path` names it (the folder compared as
// the file it is, however it is reached), else -1.
int standInAt(const char* path)
{
    if (!standInSet.load())
        return -1;
    const std::lock_guard lock(standInGuard);
    const char* slash = std::strrchr(path, '/');
    if (standIn.fd < 0 || standIn.name != QByteArray(slash ? slash + 1 : path))
        return -1;
    const QByteArray folder = !slash ? QByteArray(".") : slash == path ? QByteArray("/") : QByteArray(path, slash - path);
    struct stat st {};
    return ::stat(folder.constData(), &st) == 0 && st.st_dev == standIn.folderDevice && st.st_ino == standIn.folderInode
        ? standIn.fd
        : -1;
}

bool isStandIn(int fd)
{
    if (!standInSet.load())
        return false;
    const std::lock_guard lock(standInGuard);
    struct stat own {}, given {};
    return standIn.fd >= 0 && ::fstat(standIn.fd, &own) == 0 && ::fstat(fd, &given) == 0 && own.st_dev == given.st_dev
        && own.st_ino == given.st_ino;
}

// The engine's look at a name as it resolves it: another user's link is
// taken for the name of a file, so it is never resolved (see the header).
int engineLstat(const char* path, struct stat* st)
{
    if (const int fd = standInAt(path); fd >= 0)
        return ::fstat(fd, st);
    if (::lstat(path, st) != 0)
        return -1;
    if (S_ISLNK(st->st_mode) && st->st_uid != ::geteuid())
        st->st_mode = (st->st_mode & ~S_IFMT) | S_IFREG;
    return 0;
}

// The engine reads the text of a link it was told is one: read from the
// object found at the name, its owner looked at again there, so a link
// exchanged since the look lends no other user's text. Another user's
// link found now ends the engine's open.
ssize_t engineReadlink(const char* path, char* text, size_t size)
{
    const int object = ::open(path, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (object < 0)
        return -1;
    struct stat st {};
    ssize_t got = -1;
    if (::fstat(object, &st) != 0)
        got = -1;
    else if (!S_ISLNK(st.st_mode))
        errno = EINVAL;
    else if (st.st_uid != ::geteuid())
        errno = EACCES;
    else
        got = ::readlinkat(object, "", text, size);
    const int error = errno;
    ::close(object);
    errno = error;
    return got;
}

int engineStat(const char* path, struct stat* st)
{
    const int fd = standInAt(path);
    return fd >= 0 ? ::fstat(fd, st) : ::stat(path, st);
}

int engineOpen(const char* path, int flags, int mode)
{
    // The engine counts on a descriptor above the standard three.
    const int fd = standInAt(path);
    return fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 3) : ::open(path, flags, mode);
}

// The engine gives a new empty file the mode it makes files with; the
// stand-in keeps the mode it was made with until it is given the original's.
int engineFchmod(int fd, mode_t mode) { return isStandIn(fd) ? 0 : ::fchmod(fd, mode); }

}  // namespace

void keepEngineToOwnLinks()
{
    static const bool kept = [] {
        sqlite3_vfs* vfs = sqlite3_vfs_find("unix");
        return vfs && vfs->xSetSystemCall
            && vfs->xSetSystemCall(vfs, "lstat", reinterpret_cast<sqlite3_syscall_ptr>(&engineLstat)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "stat", reinterpret_cast<sqlite3_syscall_ptr>(&engineStat)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "open", reinterpret_cast<sqlite3_syscall_ptr>(&engineOpen)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "readlink", reinterpret_cast<sqlite3_syscall_ptr>(&engineReadlink)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "fchmod", reinterpret_cast<sqlite3_syscall_ptr>(&engineFchmod)) == SQLITE_OK;
    }();
    Q_ASSERT(kept);
}

EngineStandIn::EngineStandIn(const QString& path, int fd)
{
    keepEngineToOwnLinks();
    const QByteArray name = QFile::encodeName(path);
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
    struct stat st {};
    const std::lock_guard lock(standInGuard);
    // Gone meanwhile: the engine must not be given the name itself.
    if (::stat(folder.constData(), &st) != 0)
        vb::raise(vb::errPathNotFound);
    standIn = {name.mid(slash + 1), st.st_dev, st.st_ino, fd};
    standInSet = true;
}

EngineStandIn::~EngineStandIn()
{
    const std::lock_guard lock(standInGuard);
    standIn = {};
    standInSet = false;
}

}  // namespace platform::db
