#include "platform/database_room.h"

#include "platform/database.h"
#include "platform/ownlinks.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform::db::room {

namespace {

// Opens an existing file for writing, again after an interrupted call;
// never through another user's link (EACCES).
int openForWriting(const QString& name, int flags, mode_t mode = 0)
{
    int fd;
    do
        fd = openOwn(name, flags | O_WRONLY, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The first `size` bytes of `file`, read through this user's links only.
QByteArray head(const QString& file, qint64 size)
{
    QFile f;
    const int fd = openOwn(file, O_RDONLY);
    if (fd < 0 || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    return f.read(size);
}

bool isLackOfRoom(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

// A size as the user reads it, with its unit: in MB, below 1 MB in KB (a
// limit of 512 KB is no "0 MB"). Room needed rounds up, room had down.
QString sizeText(qint64 bytes, bool roundUp)
{
    constexpr qint64 KB = 1024;
    constexpr qint64 MB = 1024 * KB;
    const qint64 unit = bytes < MB ? KB : MB;
    return QString::number(roundUp ? (bytes + unit - 1) / unit : bytes / unit) + QLatin1String(unit == KB ? " KB" : " MB");
}

// A journal header is one sector, and the engine takes no sector larger.
constexpr qint64 JournalHeaderRoom = 65536;

// A write-ahead log begins with a header of its own, and each page it
// takes is a frame: a header of its own, then the page.
constexpr qint64 LogHeaderRoom = 32;
constexpr qint64 LogFrameHeaderRoom = 24;

qint64 sizeOf(const QString& file)
{
    struct stat info {};
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? qint64(info.st_size) : -1;
}

// The bytes of one cluster of the ext4 file system on the device `name`
// (a cluster is many blocks where the file system was made so: bigalloc),
// as its superblock says; `blockSize` when it can't be read.
qint64 clusterSize(const QString& name, qint64 blockSize)
{
    QFile device(QStringLiteral("/dev/") + name);
    if (!device.open(QIODevice::ReadOnly) || !device.seek(1024))
        return blockSize;
    const QByteArray super = device.read(104);
    if (super.size() < 104)
        return blockSize;
    const auto word = [&super](int at) {
        return quint32(quint8(super[at])) | quint32(quint8(super[at + 1])) << 8 | quint32(quint8(super[at + 2])) << 16
            | quint32(quint8(super[at + 3])) << 24;
    };
    constexpr quint32 Bigalloc = 0x200;  // a read-only-compatible feature
    const quint32 logCluster = word(28);
    if (quint16(word(56)) != 0xEF53 || !(word(100) & Bigalloc) || logCluster > 20)
        return blockSize;
    return qMax(blockSize, qint64(1024) << logCluster);
}

// The bytes that ext4 keeps back from every allocation, root's included,
// as the file system behind `folder` (of blocks of `blockSize` bytes) says
// (counted in its free blocks all the same); 0 for any other file system.
qint64 keptBack(const QByteArray& folder, qint64 blockSize)
{
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0)
        return 0;
    const QString device = QFileInfo(QStringLiteral("/sys/dev/block/%1:%2")
                                          .arg(::major(info.st_dev))
                                          .arg(::minor(info.st_dev)))
                               .canonicalFilePath();
    if (device.isEmpty())
        return 0;
    const QString name = QFileInfo(device).fileName();
    QFile reserved(QStringLiteral("/sys/fs/ext4/") + name + QStringLiteral("/reserved_clusters"));
    if (!reserved.open(QIODevice::ReadOnly))
        return 0;
    const qint64 clusters = qMax<qint64>(reserved.readAll().trimmed().toLongLong(), 0);
    return clusters == 0 ? 0 : clusters * clusterSize(name, blockSize);
}

// Bytes free to this process on the file system of `path`; -1 when it doesn't say.
qint64 freeRoom(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct statfs info {};
    if (::statfs(folder.constData(), &info) != 0 || info.f_blocks == 0)
        return -1;
    const qint64 unit = qint64(info.f_frsize ? info.f_frsize : info.f_bsize);
    // Only the ext file systems keep blocks for root, which root may take;
    // not those ext4 keeps for itself, counted as free all the same: a
    // write to them fails as on a full disk. Elsewhere the free blocks may
    // count room no file can have (btrfs).
    if (::geteuid() != 0 || info.f_type != EXT4_SUPER_MAGIC)
        return qint64(info.f_bavail) * unit;
    return qMax<qint64>(qint64(info.f_bfree) * unit - keptBack(folder, unit), 0);
}

// The largest offset this process may write a file to; none when unlimited.
std::optional<qint64> fileSizeLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    return qint64(limit.rlim_cur);
}

// Past the process's file-size limit no write lands, however much room the
// disk has: the refusal of a file that is to reach `end`, lacking `needed`.
std::optional<Outcome> beyondSizeLimit(qint64 end, qint64 needed)
{
    const std::optional<qint64> limit = fileSizeLimit();
    if (!limit || end <= *limit)
        return std::nullopt;
    return Outcome{Outcome::Short, needed, *limit, true};
}

// What a write that failed with `error` for want of room lacked, `needed`
// bytes short: past a file-size limit (EFBIG), the disk may have room to spare.
Outcome lackOfRoom(int error, qint64 needed, const QString& path)
{
    if (error == EFBIG)
        return {Outcome::Short, needed, fileSizeLimit().value_or(-1), true};
    return {Outcome::Short, needed, freeRoom(path)};
}

// What the disk has free must do where the file system can't hold room
// (ext2, some network and FUSE file systems, a filter on the call): it
// holds only for now, so the caller checks again before the next write.
Outcome checkFreeRoom(const QString& path, qint64 lacking)
{
    const qint64 available = freeRoom(path);
    if (available >= 0 && available < lacking)
        return {Outcome::Short, lacking, available};
    return {Outcome::Checked, lacking, available};
}

void raiseRefusal(const QString& file, const QString& journal, const Outcome& outcome)
{
    if (outcome.kind == Outcome::Unusable)
        throw unusableJournal(file, journal, outcome.error);
    if (outcome.kind == Outcome::Short)
        throw shortage(file, outcome);
}

// A journal made here (another program removed the kept one) takes the
// database file's permissions and, for root, its owner, as the engine gives
// its own (a journal left root's own still serves); -1 when it can't be made.
int makeJournal(const QString& name, const struct stat& file)
{
    const int fd = openForWriting(name, O_CREAT | O_EXCL, file.st_mode & 0777);
    if (fd < 0)
        return -1;
    ::fchmod(fd, file.st_mode & 0777);
    if (::geteuid() == 0 && ::fchown(fd, file.st_uid, file.st_gid) != 0) {
    }
    return fd;
}

// The journal opened for writing, made when there is none; -1 (errno
// telling why) when it can't be.
int openJournal(const QString& name, const struct stat& file)
{
    const int fd = openForWriting(name, 0);
    return fd < 0 && errno == ENOENT ? makeJournal(name, file) : fd;
}

// Blocks for `size` bytes from the start of the file `fd` of `end` bytes,
// kept beyond its end: its size stays what the engine wrote, which tells
// the commit how much of the room it really used. 0, or errno of the
// failure. A failure for want of room takes nothing: some file systems keep
// the blocks a failed call got, and a truncation, even to the same size,
// gives back those beyond the end.
int allocateBeyondEnd(int fd, qint64 size, qint64 end)
{
    int rc;
    do
        rc = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size);
    while (rc != 0 && errno == EINTR);
    const int error = rc == 0 ? 0 : errno;
    if (isLackOfRoom(error) && ::ftruncate(fd, end) != 0) {
    }
    return error;
}

// Gives the journal `journal` room for `size` bytes from its start, as
// blocks beyond its end; where the file system can't reserve blocks, the
// disk's free room is compared with what the journal lacks instead. A
// refusal takes nothing.
Outcome reserveJournal(const QString& journal, qint64 size, const struct stat& file)
{
    if (const std::optional<Outcome> refused = beyondSizeLimit(size, size))
        return *refused;
    const int fd = openJournal(journal, file);
    if (fd < 0) {
        Outcome unusable{Outcome::Unusable};
        unusable.error = errno;
        // A folder that allows no journal: the engine says so.
        return QFileInfo::exists(journal) || !foreignLinkAt(journal).isEmpty() ? unusable : Outcome{};
    }
    struct stat held {};
    ::fstat(fd, &held);
    const int error = allocateBeyondEnd(fd, size, qint64(held.st_size));
    ::close(fd);
    const qint64 lacking = qMax<qint64>(0, size - qint64(held.st_size));
    if (error == 0)
        return {};
    if (isLackOfRoom(error))
        return lackOfRoom(error, lacking, journal);
    return checkFreeRoom(journal, lacking);
}

// The journal is emptied as each transaction ends, so its size is what this
// one wrote; the commit adds page 1's copy at most. The room beyond that
// goes back first: a later change takes it again.
void takeJournalCommitRoom(const QString& file, qint64 pageSize, const struct stat& info)
{
    const QString journal = journalPath(file);
    releaseJournal(journal);
    raiseRefusal(file, journal,
                 reserveJournal(journal, qMax<qint64>(sizeOf(journal), JournalHeaderRoom) + pageSize + 8, info));
}

// Has the engine write the file's blocks up to `bytes` (its size hint writes
// each new block), in whole pages so that the file never ends in a part
// page. 0, or errno of the failure; a file system without the hint just
// writes at the commit.
int growFile(sqlite3* db, qint64 pageSize, sqlite3_int64 bytes)
{
    int chunk = int(pageSize);
    sqlite3_file_control(db, "main", SQLITE_FCNTL_CHUNK_SIZE, &chunk);
    errno = 0;
    const int rc = sqlite3_file_control(db, "main", SQLITE_FCNTL_SIZE_HINT, &bytes);
    const int error = errno;
    if (rc == SQLITE_OK || rc == SQLITE_NOTFOUND)
        return 0;
    return error ? error : EIO;
}

// Gives back the blocks a failed growth got: the file keeps its `size` bytes.
void shrinkBack(sqlite3* db, qint64 size)
{
    sqlite3_file* handle = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &handle) == SQLITE_OK && handle
        && handle->pMethods)
        handle->pMethods->xTruncate(handle, size);
}

// The refusal of a growth that failed with `error`, lacking `needed` bytes.
vb::Error growthFailure(const QString& file, int error, qint64 needed)
{
    if (isLackOfRoom(error))
        return shortage(file, lackOfRoom(error, needed, file));
    const QString text = QString::fromLocal8Bit(std::strerror(error));
    return vb::Error(SQLITE_IOERR, describeEngineFailure(SQLITE_IOERR, file, text));
}

// The file of `size` bytes takes the blocks of the `bytes` it grows to.
void takeFileGrowth(sqlite3* db, const QString& file, qint64 pageSize, qint64 size, qint64 bytes)
{
    if (bytes <= size)
        return;
    if (const std::optional<Outcome> refused = beyondSizeLimit(bytes, bytes - size))
        throw shortage(file, *refused);
    const int error = growFile(db, pageSize, bytes);
    if (error == 0)
        return;
    shrinkBack(db, size);
    throw growthFailure(file, error, bytes - size);
}

// The engine keeps the log's index in blocks of 32 KB, each for 4096
// frames; the first block also holds the index's header, in place of 34 of
// them.
constexpr qint64 LogIndexBlock = 32768;
constexpr qint64 LogIndexFrames = 4096;
constexpr qint64 LogIndexFirstFrames = LogIndexFrames - 34;

// Whether the database file's header says that it keeps a write-ahead log
// (file format version 2).
bool headerNamesLog(const QString& file)
{
    const QByteArray header = head(file, 20);
    return header.size() == 20 && header.startsWith("SQLite format 3") && (header[18] == 2 || header[19] == 2);
}

// The frames the log `log` of `size` bytes holds: the page size stands in
// its header; a log the engine can't take (no valid header) holds none.
qint64 logFrames(const QString& log, qint64 size)
{
    if (size < LogHeaderRoom)
        return 0;
    const QByteArray header = head(log, LogHeaderRoom);
    if (header.size() < LogHeaderRoom)
        return 0;
    const auto word = [&header](int at) {
        return quint32(quint8(header[at])) << 24 | quint32(quint8(header[at + 1])) << 16
            | quint32(quint8(header[at + 2])) << 8 | quint32(quint8(header[at + 3]));
    };
    const quint32 magic = word(0), pageSize = word(8);
    if ((magic != 0x377f0682 && magic != 0x377f0683) || pageSize < 512 || pageSize > 65536)
        return 0;
    return (size - LogHeaderRoom) / (qint64(pageSize) + LogFrameHeaderRoom);
}

QString kilobytes(qint64 bytes) { return QString::number((bytes + 1023) / 1024); }

}  // namespace

void checkLogIndexRoom(const QString& file)
{
    const QString log = file + QStringLiteral("-wal");
    const qint64 logSize = sizeOf(log);
    if (logSize < 0 && !headerNamesLog(file))
        return;
    // A log without frames still has its first block mapped.
    const qint64 frames = qMax<qint64>(logFrames(log, logSize), 0);
    const qint64 blocks =
        1 + (frames > LogIndexFirstFrames ? (frames - LogIndexFirstFrames + LogIndexFrames - 1) / LogIndexFrames : 0);
    const qint64 index = blocks * LogIndexBlock;
    // With the blocks by which the file system finds the index's own (ext2
    // takes one for every 256 of 1 KB), and a little over.
    const qint64 needed = index + index / 64 + 8192;
    // An index file there already gives back its blocks, or holds them.
    const QString indexFile = file + QStringLiteral("-shm");
    struct stat held {};
    const qint64 heldRoom =
        ::stat(QFile::encodeName(indexFile).constData(), &held) == 0 ? qint64(held.st_blocks) * 512 : 0;
    const qint64 available = freeRoom(file);
    if (available < 0 || available + heldRoom >= needed)
        return;
    throw vb::Error(SQLITE_FULL,
                    QStringLiteral("ディスクの空き容量が足りないため、データベースファイル %1 を開けませんでした。").arg(file)
                        + QStringLiteral("\r\n")
                        + QStringLiteral("このファイルのログ %1 を読むには、索引ファイル %2 に %3 KB の空き容量が要りますが、"
                                         "ディスクの空き容量は %4 KB です。")
                              .arg(log, indexFile, kilobytes(needed - heldRoom), QString::number(available / 1024))
                        + QStringLiteral("\r\n") + QStringLiteral("ディスクの空き容量を確保してから、開き直してください。"));
}

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
    if (const std::optional<Outcome> refused = beyondSizeLimit(size, size))
        return *refused;
    return reserveJournal(journalPath(file), need, info);
}

void takeCommitRoom(sqlite3* db, const QString& file, qint64 pageSize, qint64 pageCount)
{
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return;
    takeJournalCommitRoom(file, pageSize, info);
    takeFileGrowth(db, file, pageSize, qint64(info.st_size), pageCount * pageSize);
}

// The commit appends a frame for each changed page, where the log ends now
// at the latest; no more pages than the file holds can have changed. The
// log's own room can't be held (the engine may start it over from its
// beginning), so the free room is what is checked.
void checkLogRoom(const QString& file, qint64 pageSize, qint64 pageCount)
{
    const QString log = file + QStringLiteral("-wal");
    const qint64 need = LogHeaderRoom + pageCount * (pageSize + LogFrameHeaderRoom);
    const qint64 end = qMax<qint64>(sizeOf(log), 0) + need;
    if (const std::optional<Outcome> refused = beyondSizeLimit(end, end))
        throw shortage(file, *refused);
    const Outcome outcome = checkFreeRoom(log, need);
    if (outcome.kind == Outcome::Short)
        throw shortage(file, outcome);
}

void releaseJournal(const QString& journal)
{
    const int fd = openForWriting(journal, 0);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && ::ftruncate(fd, info.st_size) != 0) {
    }
    ::close(fd);
}

vb::Error shortage(const QString& file, const Outcome& outcome)
{
    // The disk may have room to spare: the limit is the one reason told.
    QString description = outcome.sizeLimit
        ? QStringLiteral("ファイルサイズの上限を超えるため、データベースファイル %1 に書き込めませんでした。").arg(file)
        : describeEngineFailure(SQLITE_FULL, file, QString::fromUtf8(sqlite3_errstr(SQLITE_FULL)));
    description += QStringLiteral("\r\n");
    const QString needed = sizeText(outcome.needed, true);
    if (outcome.sizeLimit && outcome.available >= 0)
        description += QStringLiteral("この変更に要るファイルサイズは %1、ファイルサイズの上限は %2 です。")
                           .arg(needed, sizeText(outcome.available, false));
    else if (outcome.sizeLimit)
        description += QStringLiteral("この変更に要るファイルサイズは %1 です。").arg(needed);
    else if (outcome.available >= 0)
        description += QStringLiteral("この変更に要る空き容量は %1、ディスクの空き容量は %2 です。")
                           .arg(needed, sizeText(outcome.available, false));
    else
        description += QStringLiteral("この変更に要る空き容量は %1 です。").arg(needed);
    return vb::Error(SQLITE_FULL, description);
}

vb::Error unusableJournal(const QString& file, const QString& journal, int error)
{
    if (const QString link = foreignLinkAt(journal); !link.isEmpty())
        return vb::Error(vb::errPermission, foreignLinkText(link));
    return vb::Error(SQLITE_READONLY,
                     QStringLiteral("データベースファイル %1 のジャーナルファイル %2 に書き込めないため、変更を書き込めませんでした。"
                                    "ほかのユーザーのファイルか、読み取り専用のファイルです。（%3）")
                         .arg(file, journal, QString::fromLocal8Bit(std::strerror(error))));
}

}  // namespace platform::db::room
