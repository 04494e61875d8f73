#include "platform/cachefiles.h"

#include "platform/files.h"
#include "platform/privatefolder.h"

#include <QFile>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::cache {

namespace {

class Folder {
public:
    explicit Folder(const QString& folder) : m_fd(openCacheFolder(folder)) {}
    ~Folder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// A plain name within the folder: nothing that leads out of it.
bool plain(const QByteArray& name)
{
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

bool writeAll(int fd, const QByteArray& data)
{
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

}  // namespace

bool exists(const QString& folder, const QString& name)
{
    const int fd = openToRead(folder, name);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

int openToRead(const QString& folder, const QString& name)
{
    const Folder at(folder);
    const QByteArray file = QFile::encodeName(name);
    if (at.fd() < 0 || !plain(file))
        return -1;
    const int fd = ::openat(at.fd(), file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool write(const QString& folder, const QString& name, const QByteArray& data)
{
    const Folder at(folder);
    const QByteArray file = QFile::encodeName(name);
    if (at.fd() < 0 || !plain(file))
        return false;
    const QByteArray fresh = file + ".new" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const int fd = ::openat(at.fd(), fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, data);
    if (::close(fd) == 0 && written && ::renameat(at.fd(), fresh.constData(), at.fd(), file.constData()) == 0)
        return true;
    ::unlinkat(at.fd(), fresh.constData(), 0);
    return false;
}

bool remove(const QString& folder, const QString& name)
{
    const Folder at(folder);
    const QByteArray file = QFile::encodeName(name);
    return at.fd() >= 0 && plain(file) && ::unlinkat(at.fd(), file.constData(), 0) == 0;
}

int removeMatching(const QString& folder, const QString& pattern)
{
    const Folder at(folder);
    const int listed = at.fd() < 0 ? -1 : ::fcntl(at.fd(), F_DUPFD_CLOEXEC, 0);
    DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return 0;
    }
    ::rewinddir(dir);  // the handle is shared with the held one's position
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        struct stat st {};
        if (files::matches(pattern, name) && ::fstatat(at.fd(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && !S_ISDIR(st.st_mode) && ::unlinkat(at.fd(), entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace platform::cache
