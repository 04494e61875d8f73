#include "platform/database_names.h"

#include "platform/programfolder.h"
#include "platform/vberror.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
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
    const programfolder::At at = programfolder::at(folder);
    return ::fstatat(at.folder, at.name.constData(), &st, 0) == 0 && st.st_dev == standIn.folderDevice
            && st.st_ino == standIn.folderInode
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

// The engine reads the text of a link it was told is one: read from the
// object found at the name, its owner looked at again there, so a link
// exchanged since the look lends no other user's text. Another user's
// link found now ends the engine's open.
ssize_t engineReadlink(const char* path, char* text, size_t size)
{
    const programfolder::At at = programfolder::at(QByteArray(path));
    const int object = ::openat(at.folder, at.name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
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
    return fd >= 0 ? ::fstat(fd, st) : heldStat(path, st);
}

// The journal last refused in this thread, and its owner.
thread_local QByteArray refusedJournal;
thread_local uid_t refusedOwner = 0;

constexpr char JournalSuffix[] = "-journal";

// Whether the journal open as `fd` (the name `path`, opened with `flags`
// and no O_CREAT: the engine looking for a journal left hot, or opening one
// to play it back) is one another user made: neither this user's nor the
// database file's owner's. Such a journal is never played back: the engine
// opens one read-write only to play it back, and one read-only to read its
// first byte, which tells it hot when it isn't 0.
bool refusedAsJournal(const char* path, int fd, int flags)
{
    struct stat journal {}, file {};
    if (::fstat(fd, &journal) != 0 || !S_ISREG(journal.st_mode) || journal.st_uid == ::geteuid())
        return false;
    const QByteArray name(path, qsizetype(std::strlen(path) - (sizeof JournalSuffix - 1)));
    const int standIn = standInAt(name.constData());
    const int looked = standIn >= 0 ? ::fstat(standIn, &file) : heldStat(name.constData(), &file);
    if (looked == 0 && file.st_uid == journal.st_uid)
        return false;
    char first = 0;
    if ((flags & O_ACCMODE) == O_RDONLY && ::pread(fd, &first, 1, 0) <= 0)
        return false;
    if ((flags & O_ACCMODE) == O_RDONLY && first == 0)
        return false;
    refusedJournal = path;
    refusedOwner = journal.st_uid;
    return true;
}

int engineOpen(const char* path, int flags, int mode)
{
    // The engine counts on a descriptor above the standard three.
    if (const int fd = standInAt(path); fd >= 0)
        return ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int fd = heldOpen(path, flags, mode);
    const size_t length = std::strlen(path);
    if (fd < 0 || (flags & O_CREAT) || length < sizeof JournalSuffix
        || std::strcmp(path + length - (sizeof JournalSuffix - 1), JournalSuffix) != 0
        || !refusedAsJournal(path, fd, flags))
        return fd;
    ::close(fd);
    errno = EACCES;
    return -1;
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

std::optional<RefusedJournal> takeRefusedJournal()
{
    if (refusedJournal.isEmpty())
        return std::nullopt;
    const RefusedJournal refused{QFile::decodeName(refusedJournal), refusedOwner};
    refusedJournal.clear();
    return refused;
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
    const programfolder::At at = programfolder::at(folder);
    if (::fstatat(at.folder, at.name.constData(), &st, 0) != 0)
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
