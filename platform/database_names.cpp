#include "platform/database_names.h"

#include "platform/programfolder.h"
#include "platform/vberror.h"

#include <QFile>

#include <atomic>
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

// The engine's names in the program folder reach the folder the start held
// (programfolder.h): its resolution of the database's name, its opens and
// its journals all stay there, however the folder is renamed meanwhile.
int heldLstat(const char* path, struct stat* st)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    return ::fstatat(at.folder, at.name.constData(), st, AT_SYMLINK_NOFOLLOW);
}

int heldStat(const char* path, struct stat* st)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    return ::fstatat(at.folder, at.name.constData(), st, 0);
}

int heldOpen(const char* path, int flags, int mode)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    return ::openat(at.folder, at.name.constData(), flags, mode);
}

int engineUnlink(const char* path)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    return ::unlinkat(at.folder, at.name.constData(), 0);
}

int engineAccess(const char* path, int mode)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    return ::faccessat(at.folder, at.name.constData(), mode, 0);
}

ssize_t engineReadlink(const char* path, char* buffer, size_t size)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    return ::readlinkat(at.folder, at.name.constData(), buffer, size);
}

// The engine's look at a name as it resolves it: another user's link is
// taken for the name of a file, so it is never resolved (see the header).
int engineLstat(const char* path, struct stat* st)
{
    if (const int fd = standInAt(path); fd >= 0)
        return ::fstat(fd, st);
    if (heldLstat(path, st) != 0)
        return -1;
    if (S_ISLNK(st->st_mode) && st->st_uid != ::geteuid())
        st->st_mode = (st->st_mode & ~S_IFMT) | S_IFREG;
    return 0;
}

int engineStat(const char* path, struct stat* st)
{
    const int fd = standInAt(path);
    return fd >= 0 ? ::fstat(fd, st) : heldStat(path, st);
}

int engineOpen(const char* path, int flags, int mode)
{
    // The engine counts on a descriptor above the standard three.
    const int fd = standInAt(path);
    return fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 3) : heldOpen(path, flags, mode);
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
            && vfs->xSetSystemCall(vfs, "fchmod", reinterpret_cast<sqlite3_syscall_ptr>(&engineFchmod)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "unlink", reinterpret_cast<sqlite3_syscall_ptr>(&engineUnlink)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "access", reinterpret_cast<sqlite3_syscall_ptr>(&engineAccess)) == SQLITE_OK
            && vfs->xSetSystemCall(vfs, "readlink", reinterpret_cast<sqlite3_syscall_ptr>(&engineReadlink)) == SQLITE_OK;
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
