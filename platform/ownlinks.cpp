#include "platform/ownlinks.h"

#include "platform/programfolder.h"
#include "platform/vberror.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Linux follows 40 links in one name; more is a loop.
constexpr int MaxLinks = 40;

// The folder of a name open for the *at() calls: readable where it may be
// (a listing of it is wanted for the leftovers of earlier writes), else
// only as a place. One in the program folder is reached from the folder
// the start held, whatever its name leads to now.
int openFolder(const QByteArray& folder)
{
    const programfolder::At at = programfolder::at(folder);
    const int fd = ::openat(at.folder, at.name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd >= 0 || errno != EACCES ? fd : ::openat(at.folder, at.name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

std::atomic<int> hardLinksProtected{-1};  // unknown until first asked

bool hardLinksGuarded()
{
    int known = hardLinksProtected.load();
    if (known < 0) {
        char value = '0';
        const int fd = ::open("/proc/sys/fs/protected_hardlinks", O_RDONLY | O_CLOEXEC);
        known = fd >= 0 && ::read(fd, &value, 1) == 1 && value != '0' ? 1 : 0;
        if (fd >= 0)
            ::close(fd);
        hardLinksProtected = known;
    }
    return known == 1;
}

// Whether the file `st` is another user's hard link: a file of more than
// one name, not this user's. Where the system lets anyone link any file
// (fs.protected_hardlinks 0, or not known), such a name may have been put
// by another user to lead a write to a file its maker can't write himself.
bool foreignHardLink(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_nlink > 1 && st.st_uid != ::geteuid() && !hardLinksGuarded();
}

}  // namespace

void assumeHardLinksProtected(bool guarded) { hardLinksProtected = guarded ? 1 : 0; }

QString userName(uid_t uid)
{
    const struct passwd* user = ::getpwuid(uid);
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(uid);
}

ResolvedName::ResolvedName(const QString& path)
{
    QByteArray at = QFile::encodeName(path);
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        const qsizetype slash = at.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : at.left(slash);
        const int fd = openFolder(folder);
        if (fd < 0) {
            m_error = errno;
            m_end = End::NoFolder;
            m_path = QFile::decodeName(at);
            return;
        }
        const QByteArray name = at.mid(slash + 1);
        // The name's owner and its text are taken from one object: looked
        // at twice, a link exchanged in between would lend another user's
        // text the owner of this user's link.
        const int object = name.isEmpty() ? -1 : ::openat(fd, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        struct stat st {};
        if (object < 0 || ::fstat(object, &st) != 0 || !S_ISLNK(st.st_mode)) {
            const bool foreignName = object >= 0 && foreignHardLink(st);
            if (object >= 0)
                ::close(object);
            if (foreignName) {
                ::close(fd);
                m_end = End::ForeignLink;
                m_owner = st.st_uid;
                m_path = QFile::decodeName(at);
                return;
            }
            m_end = End::File;
            m_folder = fd;
            m_name = name;
            m_path = QFile::decodeName(at);
            return;
        }
        ::close(fd);
        if (st.st_uid != ::geteuid()) {
            ::close(object);
            m_end = End::ForeignLink;
            m_owner = st.st_uid;
            m_path = QFile::decodeName(at);
            return;
        }
        QByteArray link(PATH_MAX, '\0');
        const ssize_t size = ::readlinkat(object, "", link.data(), size_t(link.size()));
        ::close(object);
        if (size <= 0)
            continue;
        link.truncate(size);
        at = link.startsWith('/') ? link : at.left(slash + 1) + link;
    }
    m_end = End::Loop;
    m_path = path;
}

ResolvedName::~ResolvedName()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

int ResolvedName::open(int flags, mode_t mode) const
{
    if (m_folder < 0) {
        errno = m_end == End::ForeignLink ? EACCES : m_end == End::Loop ? ELOOP : m_error;
        return -1;
    }
    return ::openat(m_folder, m_name.isEmpty() ? "." : m_name.constData(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
}

int openOwn(const QString& path, int flags, mode_t mode, QString* foreignLink)
{
    // A link put at the name between the resolution and the open is looked
    // at again: this user's is followed, another's refused.
    for (int round = 0; round < 4; ++round) {
        const ResolvedName name(path);
        if (name.end() == ResolvedName::End::ForeignLink && foreignLink)
            *foreignLink = name.path();
        const int fd = name.open(flags, mode);
        if (fd >= 0 || errno != ELOOP || name.end() != ResolvedName::End::File)
            return fd;
    }
    errno = ELOOP;
    return -1;
}

QString foreignLinkText(const QString& link)
{
    struct stat st {};
    const QString owner = ::lstat(QFile::encodeName(link).constData(), &st) == 0 ? userName(st.st_uid) : QString();
    return QStringLiteral("%1 は、ほかのユーザー（%2）が作ったリンクです。ほかのユーザーのリンクの先へは、読み書きしません。")
        .arg(link, owner);
}

void raiseForeignLink(const QString& link)
{
    vb::raise(vb::errPermission, foreignLinkText(link));
}

QString foreignLinkAt(const QString& path)
{
    const ResolvedName name(path);
    return name.end() == ResolvedName::End::ForeignLink ? name.path() : QString();
}

}  // namespace platform
