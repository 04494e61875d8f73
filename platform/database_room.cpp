#include "platform/database_room.h"

#include "platform/database.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform::db::room {

namespace {

// Opens an existing file for writing, again after an interrupted call.
int openForWriting(const QByteArray& name, int flags, mode_t mode = 0)
{
    int fd;
    do
        fd = ::open(name.constData(), flags | O_WRONLY | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool isLackOfRoom(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

QString megabytes(qint64 bytes, bool roundUp)
{
    constexpr qint64 MB = 1024 * 1024;
    return QString::number(roundUp ? (bytes + MB - 1) / MB : bytes / MB);
}

// A journal header is one sector, and the engine takes no sector larger.
constexpr qint64 JournalHeaderRoom = 65536;

qint64 sizeOf(const QString& file)
{
    struct stat info {};
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? qint64(info.st_size) : -1;
}

}  // namespace

bool writeAheadLog(sqlite3* db)
{
    sqlite3_exec(db, "PRAGMA schema_version", nullptr, nullptr, nullptr);  // reads the file's header
    sqlite3_stmt* stmt = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        wal = qstricmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal") == 0;
    sqlite3_finalize(stmt);
    return wal;
}

// A journal write that finds no room (a full disk, a file-size limit) makes
// the engine roll the whole transaction back, and the journal is written
// while the statements run, a copy of each page before its first change,
// and page 1 at the commit. So the journal is given, before a change, the
// room the transaction can need at most: a header and one copy of every page
// the file held when it began (pages added since are never copied). No
// smaller room would do: how many pages a statement changes is known only
// once it has run. The room is taken as blocks beyond the journal's end,
// so the transaction's later statements and its commit need no new block
// and stay within the limit. The changed pages stay in memory until the
// commit (no spill), so the file itself is only written by the commit,
// whose growth takeCommitRoom takes first.
Outcome takeJournalRoom(const QString& file, qint64 pageSize)
{
    // The file's size and, for a journal made here, its permissions and owner.
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return {};  // the engine tells what became of the file
    const qint64 size = qint64(info.st_size);
    const qint64 need = JournalHeaderRoom + (size + pageSize - 1) / pageSize * (pageSize + 8);
    // Past a file-size limit no write lands, however much room the disk has.
    if (const std::optional<qint64> limit = fileSizeLimit(); limit && size > *limit)
        return {Outcome::Short, size, *limit, true};
    return reserveJournal(journalPath(file), need, info);
}

// The journal is emptied as each transaction ends, so its size is what this
// one wrote; the commit adds page 1's copy at most. The file's growth is
// taken by the engine (its size hint writes each new block).
void takeCommitRoom(sqlite3* db, const QString& file, qint64 pageSize, qint64 pageCount)
{
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return;
    const QString journal = journalPath(file);
    releaseJournal(journal);
    const Outcome outcome =
        reserveJournal(journal, qMax<qint64>(sizeOf(journal), JournalHeaderRoom) + pageSize + 8, info);
    if (outcome.kind == Outcome::Unusable)
        throw unusableJournal(file, journal, outcome.error);
    if (outcome.kind == Outcome::Short)
        throw shortage(file, outcome);
    const qint64 size = qint64(info.st_size);
    sqlite3_int64 pages = pageCount * pageSize;
    if (pages <= size)
        return;
    if (const std::optional<qint64> limit = fileSizeLimit(); limit && pages > *limit)
        throw shortage(file, {Outcome::Short, pages - size, *limit, true});
    // The file grows by whole pages, so it never ends in a part page.
    int chunk = int(pageSize);
    sqlite3_file_control(db, "main", SQLITE_FCNTL_CHUNK_SIZE, &chunk);
    errno = 0;
    const int rc = sqlite3_file_control(db, "main", SQLITE_FCNTL_SIZE_HINT, &pages);
    const int error = errno;
    if (rc == SQLITE_OK || rc == SQLITE_NOTFOUND)  // a file system without the hint just writes
        return;
    // The blocks the hint got before it failed go back: the file keeps its pages.
    sqlite3_file* handle = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &handle) == SQLITE_OK && handle
        && handle->pMethods)
        handle->pMethods->xTruncate(handle, size);
    if (!isLackOfRoom(error)) {
        const QString text = QString::fromLocal8Bit(std::strerror(error ? error : EIO));
        throw vb::Error(SQLITE_IOERR, describeEngineFailure(SQLITE_IOERR, file, text));
    }
    throw shortage(file, {Outcome::Short, pages - size, freeRoom(file)});
}

Outcome reserveJournal(const QString& journal, qint64 size, const struct stat& file)
{
    if (const std::optional<qint64> limit = fileSizeLimit(); limit && size > *limit)
        return {Outcome::Short, size, *limit, true};
    const QByteArray name = QFile::encodeName(journal);
    int fd = openForWriting(name, 0);
    if (fd < 0 && errno == ENOENT) {
        fd = openForWriting(name, O_CREAT | O_EXCL, file.st_mode & 0777);
        if (fd < 0)
            return {};  // a folder that allows no journal: the engine says so
        // As the engine gives its own (a journal left root's own still serves).
        ::fchmod(fd, file.st_mode & 0777);
        if (::geteuid() == 0 && ::fchown(fd, file.st_uid, file.st_gid) != 0) {
        }
    } else if (fd < 0) {
        Outcome unusable;
        unusable.kind = Outcome::Unusable;
        unusable.error = errno;
        return unusable;
    }
    struct stat held {};
    ::fstat(fd, &held);
    // Blocks beyond the end: the journal's size stays what the engine wrote,
    // which tells the commit how much of the room it really used.
    int rc;
    do
        rc = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size);
    while (rc != 0 && errno == EINTR);
    const int error = rc == 0 ? 0 : errno;
    if (rc != 0 && isLackOfRoom(error)) {
        // Some file systems keep the blocks a failed call got; a truncation,
        // even to the same size, gives back those beyond the end.
        if (::ftruncate(fd, held.st_size) != 0) {
        }
    }
    ::close(fd);
    const qint64 lacking = qMax<qint64>(0, size - qint64(held.st_size));
    if (rc == 0)
        return {};
    if (isLackOfRoom(error))
        return {Outcome::Short, lacking, freeRoom(journal)};
    // A file system that can't reserve (ext2, some network and FUSE file
    // systems, a filter on the call): what the disk has free must do.
    const qint64 available = freeRoom(journal);
    if (available >= 0 && available < lacking)
        return {Outcome::Short, lacking, available};
    return {};
}

void releaseJournal(const QString& journal)
{
    const int fd = openForWriting(QFile::encodeName(journal), 0);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && ::ftruncate(fd, info.st_size) != 0) {
    }
    ::close(fd);
}

void removeIdleJournal(const QString& journal)
{
    QFile file(journal);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    // The engine takes a journal whose header begins with zeros for none.
    const QByteArray header = file.read(28);
    file.close();
    if (header.count('\0') == header.size())
        QFile::remove(journal);
}

qint64 freeRoom(const QString& path)
{
    struct statvfs info {};
    if (::statvfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &info) != 0 || info.f_blocks == 0)
        return -1;
    // Root may also take the blocks kept for it.
    return qint64(::geteuid() == 0 ? info.f_bfree : info.f_bavail) * qint64(info.f_frsize);
}

std::optional<qint64> fileSizeLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    return qint64(limit.rlim_cur);
}

vb::Error shortage(const QString& file, const Outcome& outcome)
{
    QString description =
        describeEngineFailure(SQLITE_FULL, file, QString::fromUtf8(sqlite3_errstr(SQLITE_FULL))) + QStringLiteral("\r\n");
    const QString needed = megabytes(outcome.needed, true);
    if (outcome.sizeLimit)
        description += QStringLiteral("この変更に要るファイルサイズは %1 MB、ファイルサイズの上限は %2 MB です。")
                           .arg(needed, megabytes(outcome.available, false));
    else if (outcome.available >= 0)
        description += QStringLiteral("この変更に要る空き容量は %1 MB、ディスクの空き容量は %2 MB です。")
                           .arg(needed, megabytes(outcome.available, false));
    else
        description += QStringLiteral("この変更に要る空き容量は %1 MB です。").arg(needed);
    return vb::Error(SQLITE_FULL, description);
}

vb::Error unusableJournal(const QString& file, const QString& journal, int error)
{
    return vb::Error(SQLITE_READONLY,
                     QStringLiteral("データベースファイル %1 のジャーナルファイル %2 に書き込めないため、変更を書き込めませんでした。"
                                    "ほかのユーザーのファイルか、読み取り専用のファイルです。（%3）")
                         .arg(file, journal, QString::fromLocal8Bit(std::strerror(error))));
}

}  // namespace platform::db::room
