#include "platform/privatefolder.h"

#include "platform/ownlinks.h"
#include "platform/replacement.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int& heldFolder()
{
    static int fd = -1;
    return fd;
}

// The folder `name` in `parent`, made when `make`; its handle when it is
// this user's and closed to everyone else, -1 otherwise. The check is of
// what was opened, so a folder put at the name meanwhile is caught too.
int openPrivate(int parent, const QByteArray& name, bool make)
{
    if (make && ::mkdirat(parent, name.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    errno = EACCES;
    return -1;
}

}  // namespace

QString privateFolderIn(const QString& folder)
{
    if (heldFolder() >= 0)
        ::close(heldFolder());
    heldFolder() = -1;
    const ResolvedName at(folder);
    const int parent = at.open(O_RDONLY | O_DIRECTORY);
    if (parent < 0)
        return QString();
    const QByteArray own = ".nemunoki2-" + QByteArray::number(::geteuid());
    QByteArray name = own;
    int fd = openPrivate(parent, own, true);
    // Someone else's thing at the name: a new folder whose name nobody
    // could take beforehand (mkdir makes none over anything that is there).
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        name = own + '-' + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        if (::mkdirat(parent, name.constData(), 0700) == 0)
            fd = openPrivate(parent, name, false);
    }
    const int failure = errno;
    ::close(parent);
    if (fd < 0) {
        errno = failure;
        return QString();
    }
    heldFolder() = fd;
    // Without the system's /proc (some containers) the handle has no name:
    // the folder is reached by its own, still closed to everyone else.
    const QString handle = handlePath(fd);
    return ::access(QFile::encodeName(handle).constData(), X_OK) == 0 ? handle : at.path() + u'/' + QFile::decodeName(name);
}

}  // namespace platform
