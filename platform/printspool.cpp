#include "platform/printspool.h"

#include "platform/programfolder.h"
#include "platform/replacement.h"
#include "platform/writeerror.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::printspool {

namespace {

QString& chosenFolder()
{
    static QString folder;
    return folder;
}

// "nemunoki-print-<8 hex digits>.pdf": no user names a file so, and a
// random part, so another user can't take every name before the program.
const QByteArray Prefix = "nemunoki-print-";
const QByteArray Suffix = ".pdf";
constexpr int HexDigits = 8;

bool isSpoolName(const QByteArray& name)
{
    if (name.size() != Prefix.size() + HexDigits + Suffix.size() || !name.startsWith(Prefix) || !name.endsWith(Suffix))
        return false;
    for (qsizetype i = Prefix.size(); i < Prefix.size() + HexDigits; ++i) {
        const char c = name.at(i);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

}  // namespace

void useFolder(const QString& folder)
{
    chosenFolder() = folder;
    const programfolder::At at = programfolder::at(folder);
    const int fd = ::openat(at.folder, at.name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    // The start-up holds the program folder's lock: no other run makes a
    // document here meanwhile.
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (isSpoolName(entry->d_name) && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

QFileDevice::FileError File::create()
{
    close();
    const QString folder = chosenFolder().isEmpty() ? QDir::tempPath() : chosenFolder();
    const programfolder::At at = programfolder::at(folder);
    const int dir = ::openat(at.folder, at.name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int opened = errno;
    m_name = QDir(folder).filePath(QString::fromLatin1(Prefix + QByteArray(HexDigits, '0') + Suffix));
    if (dir < 0)
        return vb::fileErrorOf(opened, QFileDevice::OpenError);
    QFileDevice::FileError error = QFileDevice::OpenError;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name =
            Prefix + QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(HexDigits, '0') + Suffix;
        m_name = QDir(folder).filePath(QString::fromLatin1(name));
        const int fd = ::openat(dir, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;  // a file or link that was there: never this print's
        if (fd < 0) {
            error = vb::fileErrorOf(errno, QFileDevice::OpenError);
            break;
        }
        // Its name goes at once: from here on only the handle reaches it.
        if (::unlinkat(dir, name.constData(), 0) != 0) {
            error = vb::fileErrorOf(errno, QFileDevice::OpenError);
            ::close(fd);
            break;
        }
        m_fd = fd;
        error = QFileDevice::NoError;
        break;
    }
    ::close(dir);
    return error;
}

QString File::path() const
{
    return m_fd < 0 ? QString() : handlePath(m_fd);
}

void File::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

}  // namespace platform::printspool
