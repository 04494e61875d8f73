#include "platform/dbfilehold.h"

#include "platform/files.h"
#include "platform/ownlinks.h"
#include "platform/vberror.h"

#include <QFile>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace platform::db {

namespace {

// The bytes the engine locks (its default place, past the first gigabyte,
// where no page is ever read): a writer's reserved byte, the pending byte
// of a commit under way, and the range readers share.
constexpr off_t PendingByte = 0x40000000;
constexpr off_t ReservedByte = PendingByte + 1;
constexpr off_t SharedFirst = PendingByte + 2;
constexpr off_t SharedSize = 510;

[[noreturn]] void raiseInUse(const QString& path)
{
    vb::raise(errFileInUse, describeEngineFailure(SQLITE_BUSY, path, QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY))));
}

}  // namespace

FileUse otherUse(const QString& path)
{
    const int fd = openOwn(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return FileUse::None;
    // The lock another process holds that a write lock on the bytes would
    // meet; this process's own locks never conflict, so they don't show.
    const auto held = [fd](off_t start, off_t length) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = start;
        lock.l_len = length;
        return ::fcntl(fd, F_GETLK, &lock) == 0 ? lock.l_type : short(F_UNLCK);
    };
    FileUse use = FileUse::None;
    const short pending = held(PendingByte, 1);
    const short shared = held(SharedFirst, SharedSize);
    if (held(ReservedByte, 1) != F_UNLCK || pending == F_WRLCK || shared == F_WRLCK)
        use = FileUse::Writing;
    else if (pending == F_RDLCK || shared == F_RDLCK)  // a reader on its way in reads the pending byte
        use = FileUse::Reading;
    ::close(fd);
    return use;
}

FileHold::~FileHold() { release(); }

void FileHold::take(const QString& connectionString)
{
    release();
    const QString path = parseConnectionString(connectionString).dataSource;
    if (otherUse(path) != FileUse::None)
        raiseInUse(path);
    const auto busy = [](const vb::Error& error) {
        const int code = int(error.number()) & 0xff;
        return error.number() < 100 && (code == SQLITE_BUSY || code == SQLITE_LOCKED);
    };
    try {
        m_connection.open(connectionString);
    } catch (const vb::Error& error) {
        if (busy(error))
            raiseInUse(path);
        throw;
    }
    try {
        // No wait for the lock: while it waited, a reader's own commit would
        // wait on it in turn. The exclusive locking mode keeps the lock past
        // the transaction, until the connection is closed.
        m_connection.execute(QStringLiteral("PRAGMA busy_timeout = 0; PRAGMA locking_mode = EXCLUSIVE"));
        m_connection.execute(QStringLiteral("BEGIN EXCLUSIVE; COMMIT"));
    } catch (const vb::Error& error) {
        m_connection.close();
        if (busy(error))
            raiseInUse(path);
        throw;
    }
    m_path = path;
}

void FileHold::dropJournal()
{
    const QString journal = journalPath(m_path);
    if (!m_path.isEmpty() && files::fileExists(journal))
        files::deleteFile(journal);
}

int FileHold::heldFile()
{
    if (m_heldFd >= 0 || m_path.isEmpty())
        return m_heldFd;
    const int fd = openOwn(m_path, O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    // The hold's lock on the readers' bytes is seen only by a lock of the
    // other kind (an open file description's), and only on the same file.
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = SharedFirst;
    lock.l_len = SharedSize;
    if (::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_WRLCK && lock.l_pid == ::getpid())
        m_heldFd = fd;
    else
        ::close(fd);  // another file: closing it drops none of the hold's locks
    return m_heldFd;
}

void FileHold::release()
{
    m_connection.close();
    if (m_heldFd >= 0)
        ::close(m_heldFd);
    m_heldFd = -1;
    m_path.clear();
}

}  // namespace platform::db
