#include "platform/privatefolder.h"

#include "platform/ownlinks.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct Held {
    int fd = -1;
    QString path;
};

Held& held()
{
    static Held folder;
    return folder;
}

enum class Made { Private, Taken, Unavailable };

// The folder `name` in `parent`, made when `make`; its handle in `fd` when
// it is this user's and closed to everyone else. The check is of what was
// opened, so a folder put at the name meanwhile is caught too. A folder
// this call made that still isn't private tells of a file system with
// fixed modes: it is removed again.
Made openPrivate(int parent, const QByteArray& name, bool make, int& fd)
{
    const bool made = make && ::mkdirat(parent, name.constData(), 0700) == 0;
    if (make && !made && errno != EEXIST)
        return Made::Unavailable;  // TEMP takes no folder at all
    fd = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0)
        return Made::Private;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!made)
        return Made::Taken;
    ::unlinkat(parent, name.constData(), AT_REMOVEDIR);  // only ever an empty folder
    return Made::Unavailable;
}

}  // namespace

QString privateFolderIn(const QString& folder)
{
    if (held().fd >= 0)
        ::close(held().fd);
    held() = Held();
    if (folder.isEmpty()) {
        errno = ENOENT;
        return QString();
    }
    const ResolvedName at(folder);
    const int parent = at.open(O_RDONLY | O_DIRECTORY);
    if (parent < 0)
        return QString();
    const QByteArray own = ".nemunoki2-" + QByteArray::number(::geteuid());
    QByteArray name = own;
    int fd = -1;
    Made made = openPrivate(parent, own, true, fd);
    // Someone else's thing at the name: a new folder whose name nobody
    // could take beforehand (mkdir makes none over anything that is there).
    for (int attempt = 0; made == Made::Taken && attempt < 16; ++attempt) {
        name = own + '-' + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        made = openPrivate(parent, name, true, fd);
    }
    ::close(parent);
    if (made != Made::Private) {
        errno = EACCES;
        return QString();
    }
    held() = Held{fd, at.path() + u'/' + QFile::decodeName(name)};
    return held().path;
}

QString userCacheFolder()
{
    QString home = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!home.startsWith(u'/')) {
        const struct passwd* user = ::getpwuid(::geteuid());
        if (!user || !user->pw_dir || user->pw_dir[0] != '/')
            return QString();
        home = QFile::decodeName(user->pw_dir) + QStringLiteral("/.cache");
    }
    ::mkdir(QFile::encodeName(home).constData(), 0700);  // one missing folder; a link there is met when opened
    return home;
}

int openCacheFolder(const QString& folder)
{
    if (held().fd >= 0 && folder == held().path)
        return ::fcntl(held().fd, F_DUPFD_CLOEXEC, 0);
    if (folder.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    return openOwn(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace platform
