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

}  // namespace

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
