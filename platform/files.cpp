#include "platform/files.h"

#include "platform/ownlinks.h"
#include "platform/programfolder.h"
#include "platform/vberror.h"
#include "platform/writeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace platform::files {

namespace {

bool sameChar(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

QString parentOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// Names in the program folder are reached from the folder the start held
// (programfolder.h); any other name as it is.
using programfolder::At;
At at(const QString& path) { return programfolder::at(path); }

bool statAt(const QString& path, struct stat& st, int flags = 0)
{
    const At name = at(path);
    return !path.isEmpty() && ::fstatat(name.folder, name.name.constData(), &st, flags) == 0;
}

// The failure of an operation on `target` that the system refused with
// `error` (an errno value).
[[noreturn]] void raiseTargetFailure(const QString& target, int error)
{
    if (!dirExists(parentOf(target)))
        vb::raise(vb::errPathNotFound);
    switch (vb::fileErrorOf(error, QFileDevice::UnspecifiedError)) {
    case QFileDevice::PermissionsError:
        vb::raise(vb::errPermission,
                  QStringLiteral("読み取り専用か書き込みが許可されていないため、ファイルまたはフォルダに書き込めません。"));
    case QFileDevice::ResourceError:
        if (error == EFBIG)
            vb::raiseSizeLimitError(target);
        vb::raiseWriteError(QFileDevice::ResourceError, target);
    default:
        vb::raise(vb::errPathFileAccess);
    }
}

// Copies the bytes of the open file `in` into the open file `out`; false,
// errno telling why, when a read or a write fails.
bool copyOpen(int in, int out)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    bool copied = true;
    for (ssize_t got; copied && (got = ::read(in, buffer.data(), size_t(buffer.size()))) != 0;) {
        copied = got > 0 || errno == EINTR;
        for (ssize_t at = 0; copied && got > 0 && at < got;) {
            const ssize_t put = ::write(out, buffer.constData() + at, size_t(got - at));
            copied = put > 0 || (put < 0 && errno == EINTR);
            at += qMax<ssize_t>(put, 0);
        }
    }
    return copied;
}

// Copies the bytes of `source` into the new file `target`, which gets the
// permissions and group of any new file there: the user's umask, and the
// folder's group where the folder passes its group on (a shared folder). On
// a failure nothing of `target` stays and errno tells why.
bool copyBytes(const QString& source, const QString& target)
{
    const int in = openOwn(source, O_RDONLY);
    if (in < 0)
        return false;
    const At name = at(target);
    const int out = ::openat(name.folder, name.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        errno = error;
        return false;
    }
    giveFolderOwner(out, parentOf(target));
    bool copied = copyOpen(in, out);
    int error = errno;
    if (::close(out) != 0 && copied) {
        copied = false;
        error = errno;
    }
    ::close(in);
    if (!copied) {
        ::unlinkat(name.folder, name.name.constData(), 0);
        errno = error;
    }
    return copied;
}

// The access list a file carries beside its permission bits.
constexpr char AccessList[] = "system.posix_acl_access";

bool inGroup(gid_t group)
{
    if (group == ::getegid())
        return true;
    std::vector<gid_t> groups(size_t(qMax(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(int(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + qMax(count, 0), group) != groups.begin() + qMax(count, 0);
}

QString groupName(gid_t gid)
{
    const struct group* group = ::getgrgid(gid);
    return group ? QString::fromLocal8Bit(group->gr_name) : QString::number(gid);
}

}  // namespace

QString join(const QString& folder, const QString& name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

bool exists(const QString& path)
{
    struct stat st {};
    return statAt(path, st);
}

bool fileExists(const QString& path)
{
    struct stat st {};
    return statAt(path, st) && !S_ISDIR(st.st_mode);
}

bool dirExists(const QString& path)
{
    struct stat st {};
    return statAt(path, st) && S_ISDIR(st.st_mode);
}

bool canCreateIn(const QString& folder)
{
    if (!dirExists(folder))
        return false;
    const At probe = at(join(folder, QStringLiteral(".nemunoki2-probe-%1").arg(QRandomGenerator::global()->generate64(), 0, 16)));
    const int fd = ::openat(probe.folder, probe.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlinkat(probe.folder, probe.name.constData(), 0);
    return true;
}

bool canRewrite(const QString& file)
{
    // Judged where the writer writes: at the end of this user's links,
    // never through another user's.
    const ResolvedName name(file);
    if (name.end() != ResolvedName::End::File)
        return false;
    const int fd = name.open(O_WRONLY | O_NOCTTY);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    struct stat dir {}, own {};
    if (::fstat(name.folder(), &dir) != 0 || ::fstatat(name.folder(), name.name().constData(), &own, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if ((dir.st_mode & S_ISVTX) && own.st_uid != ::geteuid() && dir.st_uid != ::geteuid())
        return false;
    return canCreateIn(parentOf(name.path()));
}

void makeDir(const QString& path)
{
    if (path.isEmpty() || exists(path))
        vb::raise(vb::errPathFileAccess);
    if (!dirExists(parentOf(path)))
        vb::raise(vb::errPathNotFound);
    const At name = at(path);
    if (::mkdirat(name.folder, name.name.constData(), 0777) != 0)
        raiseTargetFailure(path, errno);
    if (::geteuid() == 0) {
        const int fd = ::openat(name.folder, name.name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        giveFolderOwner(fd, parentOf(path));
        if (fd >= 0)
            ::close(fd);
    }
}

void copyFile(const QString& source, const QString& target)
{
    for (const QString& path : {source, target})
        if (const QString link = foreignLinkAt(path); !link.isEmpty())
            raiseForeignLink(link);
    if (!fileExists(source))
        vb::raise(vb::errFileNotFound);
    if (exists(target))
        vb::raise(vb::errFileExists);
    if (!copyBytes(source, target))
        raiseTargetFailure(target, errno);
}

QString keepingRefusal(const QString& original)
{
    struct stat st {};
    if (::geteuid() == 0 || !statAt(original, st))
        return QString();
    return keepingRefusal(st);
}

QString keepingRefusal(const struct stat& st)
{
    if (::geteuid() == 0)
        return QString();
    if (st.st_uid != ::geteuid())
        return QStringLiteral("このファイルの所有者はユーザー %1 です。ほかのユーザーが作るファイルには、この所有者を付けられません。")
            .arg(userName(st.st_uid));
    if (!inGroup(st.st_gid))
        return QStringLiteral("このファイルのグループ %1 に、ユーザー %2 は入っていません。作るファイルにこのグループを付けられません。")
            .arg(groupName(st.st_gid), userName(::geteuid()));
    return QString();
}

bool keepAccess(int originalFd, int fd)
{
    QByteArray list(qMax<ssize_t>(::fgetxattr(originalFd, AccessList, nullptr, 0), 0), Qt::Uninitialized);
    const ssize_t size = list.isEmpty() ? -1 : ::fgetxattr(originalFd, AccessList, list.data(), size_t(list.size()));
    // Root gives the owner back too; a user only a group of their own
    // (keepingRefusal tells a caller that needs it given). Nothing is asked
    // where the copy has them already: some shared folders' file systems
    // refuse any change of owner.
    const bool root = ::geteuid() == 0;
    struct stat st {}, own {};
    bool kept = ::fstat(originalFd, &st) == 0 && ::fstat(fd, &own) == 0;
    const uid_t owner = root && own.st_uid != st.st_uid ? st.st_uid : uid_t(-1);
    const gid_t group = (root || inGroup(st.st_gid)) && own.st_gid != st.st_gid ? st.st_gid : gid_t(-1);
    kept = kept && ((owner == uid_t(-1) && group == gid_t(-1)) || ::fchown(fd, owner, group) == 0);
    // The access list before the bits: the bits then set its owner, mask
    // and other entries as the original's are.
    if (kept && size > 0)
        kept = ::fsetxattr(fd, AccessList, list.constData(), size_t(size), 0) == 0;
    else if (kept)  // none of the folder's default list where the original has none
        kept = ::fremovexattr(fd, AccessList) == 0 || errno == ENODATA || errno == EOPNOTSUPP;
    // Asked only where the bits differ: a file system of fixed modes (a
    // stick, a share) refuses any change, and has them alike already.
    return kept && ::fstat(fd, &own) == 0 && ((own.st_mode & 07777) == (st.st_mode & 0777) || ::fchmod(fd, st.st_mode & 0777) == 0);
}

namespace {
std::function<void()> beforePlacing;
}

void setBeforePlacing(std::function<void()> step) { beforePlacing = std::move(step); }

StandIn::StandIn(const QString& path)
    : m_path(path)
    , m_name(QFile::encodeName(QFileInfo(path).fileName()))
{
    if (exists(path))
        vb::raise(vb::errFileExists);
    const At parent = at(parentOf(path));
    m_folder = ::openat(parent.folder, parent.name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        raiseTargetFailure(path, errno);
    // No one else's until it has the original's owner and permissions.
    m_fd = ::openat(m_folder, m_name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        // Another user's link in the way, which the open never follows, is named.
        const int error = errno;
        ::close(m_folder);
        if (const QString link = foreignLinkAt(path); !link.isEmpty())
            raiseForeignLink(link);
        raiseTargetFailure(path, error);
    }
}

StandIn::~StandIn()
{
    if (!m_placed && stillNamed())
        ::unlinkat(m_folder, m_name.constData(), 0);
    ::close(m_fd);
    ::close(m_folder);
}

namespace {
bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }
}  // namespace

bool StandIn::stillNamed() const
{
    struct stat named {}, own {};
    return ::fstatat(m_folder, m_name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(m_fd, &own) == 0
        && sameFile(named, own);
}

QString StandIn::describeAt(const QByteArray& name) const
{
    struct stat st {};
    if (::fstatat(m_folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return QString();
    const QString kind = S_ISLNK(st.st_mode) ? QStringLiteral("リンク")
        : S_ISDIR(st.st_mode)                ? QStringLiteral("フォルダ")
                                             : QStringLiteral("ファイル");
    return QStringLiteral("ユーザー %1 の%2").arg(userName(st.st_uid), kind);
}


void StandIn::keepModeAndGroup(const QString& original)
{
    QString link;
    const int fd = openOwn(original, O_RDONLY | O_NONBLOCK, 0, &link);
    if (fd < 0 && !link.isEmpty())
        raiseForeignLink(link);
    try {
        keepModeAndGroup(fd, original);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

void StandIn::keepModeAndGroup(int originalFd, const QString& original)
{
    const auto refuse = [&] {
        vb::raise(vb::errPermission, m_path + QStringLiteral(" に、") + original
                                         + QStringLiteral(" の所有者、グループとアクセス権を付けられませんでした。（")
                                         + QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral("）"));
    };
    if (originalFd < 0 || !keepAccess(originalFd, m_fd))
        refuse();
    struct stat st {};
    if (::fstat(originalFd, &st) != 0)
        refuse();
    m_originalDevice = st.st_dev;
    m_originalInode = st.st_ino;
}

void StandIn::replace(const QString& target)
{
    const QByteArray targetName = QFile::encodeName(QFileInfo(target).fileName());
    if (!stillNamed())
        vb::raise(vb::errPathFileAccess, m_path + QStringLiteral(" が、作成中にほかのファイルに置き換えられたため、")
                                             + target + QStringLiteral(" の代わりには使いませんでした。"));
    if (beforePlacing)
        beforePlacing();
    // The two names exchanged, each file then looked at through the folder
    // held: no name is resolved again between the look and the step.
    int rc = ::renameat2(m_folder, m_name.constData(), m_folder, targetName.constData(), RENAME_EXCHANGE);
    const bool exchanged = rc == 0;
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS))  // a file system that can't exchange
        rc = ::renameat(m_folder, m_name.constData(), m_folder, targetName.constData());
    if (rc != 0)
        raiseTargetFailure(target, errno);
    struct stat own {}, placed {}, left {};
    const bool mine = ::fstat(m_fd, &own) == 0
        && ::fstatat(m_folder, targetName.constData(), &placed, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(placed, own);
    const bool original = !exchanged
        || (::fstatat(m_folder, m_name.constData(), &left, AT_SYMLINK_NOFOLLOW) == 0
            && left.st_dev == m_originalDevice && left.st_ino == m_originalInode);
    if (mine && original) {
        m_placed = true;
        if (exchanged)
            ::unlinkat(m_folder, m_name.constData(), 0);
        return;
    }
    const QString found = describeAt(exchanged ? (mine ? m_name : targetName) : targetName);
    if (!exchanged) {
        m_targetLost = true;
        vb::raise(vb::errPathFileAccess, m_path + QStringLiteral(" が、") + target
                                             + QStringLiteral(" の代わりに置く間にほかのファイルに置き換えられ、")
                                             + target + QStringLiteral(" にはそのファイル（") + found
                                             + QStringLiteral("）が置かれました。"));
    }
    // Undone: each file goes back to the name it had.
    if (::renameat2(m_folder, m_name.constData(), m_folder, targetName.constData(), RENAME_EXCHANGE) != 0) {
        m_targetLost = true;
        vb::raise(vb::errPathFileAccess, target + QStringLiteral(" に置いたファイルを元に戻せませんでした。") + target
                                             + QStringLiteral(" にあるのは") + describeAt(targetName) + QStringLiteral("、")
                                             + m_path + QStringLiteral(" にあるのは") + describeAt(m_name)
                                             + QStringLiteral("です。"));
    }
    if (!mine)
        vb::raise(vb::errPathFileAccess, m_path + QStringLiteral(" が、") + target
                                             + QStringLiteral(" の代わりに置く間にほかのファイル（") + found
                                             + QStringLiteral("）に置き換えられたため、置きませんでした。"));
    vb::raise(vb::errPathFileAccess, target + QStringLiteral(" が、ほかのファイル（") + found
                                         + QStringLiteral("）に置き換えられていたため、") + m_path
                                         + QStringLiteral(" を置きませんでした。"));
}

void copyToReplace(const QString& source, const QString& target, const QString& beside)
{
    if (const QString link = foreignLinkAt(source); !link.isEmpty())
        raiseForeignLink(link);
    if (!fileExists(source))
        vb::raise(vb::errFileNotFound);
    const int in = openOwn(source, O_RDONLY);
    if (in < 0)
        raiseTargetFailure(beside, errno);
    try {
        StandIn copy(beside);
        copy.keepModeAndGroup(target);
        if (!copyOpen(in, copy.descriptor()) || ::fsync(copy.descriptor()) != 0)
            raiseTargetFailure(beside, errno);
        copy.replace(target);
    } catch (...) {
        ::close(in);
        throw;
    }
    ::close(in);
}

void renameFile(const QString& from, const QString& to)
{
    for (const QString& path : {from, to})
        if (const QString link = foreignLinkAt(path); !link.isEmpty())
            raiseForeignLink(link);
    if (!exists(from))
        vb::raise(vb::errFileNotFound);
    if (exists(to))
        vb::raise(vb::errFileExists);
    const At fromName = at(from), toName = at(to);
    int renamed = ::renameat2(fromName.folder, fromName.name.constData(), toName.folder, toName.name.constData(), RENAME_NOREPLACE);
    if (renamed != 0 && (errno == EINVAL || errno == ENOSYS))  // a file system without the flag
        renamed = ::renameat(fromName.folder, fromName.name.constData(), toName.folder, toName.name.constData());
    if (renamed != 0)
        raiseTargetFailure(to, errno);
}

void deleteFile(const QString& path)
{
    if (const QString link = foreignLinkAt(path); !link.isEmpty())
        raiseForeignLink(link);
    // The user's own link goes as a file does, whether its target is there or not.
    struct stat st {};
    if (!fileExists(path) && !(statAt(path, st, AT_SYMLINK_NOFOLLOW) && S_ISLNK(st.st_mode)))
        vb::raise(vb::errFileNotFound);
    const At name = at(path);
    if (::unlinkat(name.folder, name.name.constData(), 0) != 0)
        raiseTargetFailure(path, errno);
}

void replaceFile(const QString& from, const QString& to)
{
    if (!fileExists(from))
        vb::raise(vb::errFileNotFound);
    // rename(2) replaces the target atomically: a reader sees the old file
    // or the new one, never neither.
    const At fromName = at(from), toName = at(to);
    if (::renameat(fromName.folder, fromName.name.constData(), toName.folder, toName.name.constData()) != 0)
        raiseTargetFailure(to, errno);
}

QString findFileName(const QString& folder, const QString& name)
{
    if (name.isEmpty())
        return QString();
    if (fileExists(join(folder, name)))
        return name;
    const QStringList names = QDir(programfolder::reach(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0
            || candidate.toCaseFolded() == name.toCaseFolded())
            return candidate;
    }
    return QString();
}

QString canonicalPath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool matches(const QString& pattern, const QString& name)
{
    if (pattern == QStringLiteral("*.*"))
        return true;
    // Greedy matching with one point of return for the last "*".
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern.at(p) == u'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern.at(p) == u'?' || sameChar(pattern.at(p), name.at(n)))) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == u'*')
        ++p;
    return p == pattern.size();
}

QStringList listFiles(const QString& folder, const QString& pattern)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QStringList all = QDir(programfolder::reach(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QString& name : all)
        if (matches(pattern, name))
            names << name;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

int killPattern(const QString& folder, const QString& pattern)
{
    int deleted = 0;
    for (const QString& name : listFiles(folder, pattern)) {
        const At file = at(join(folder, name));
        deleted += ::unlinkat(file.folder, file.name.constData(), 0) == 0;
    }
    return deleted;
}

QString driveOf(const QString& folder)
{
    if (folder.isEmpty())
        return QString();
    QString path = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo::exists(path)) {
        const QString parent = parentOf(path);
        if (parent == path)
            return QString();
        path = parent;
    }
    const QStorageInfo storage(path);
    return storage.isValid() ? storage.rootPath() : QString();
}

namespace {

void giveOwnerOf(int fd, const struct stat& dir)
{
    if (dir.st_uid != 0) {
        [[maybe_unused]] const int given = ::fchown(fd, dir.st_uid, dir.st_gid);
    }
}

}  // namespace

void giveFolderOwner(int fd, const QString& folder)
{
    struct stat dir {};
    if (fd >= 0 && ::geteuid() == 0 && statAt(folder, dir))
        giveOwnerOf(fd, dir);
}

void giveFolderOwner(int fd, int folderFd)
{
    struct stat dir {};
    if (fd >= 0 && ::geteuid() == 0 && ::fstat(folderFd, &dir) == 0)
        giveOwnerOf(fd, dir);
}

}  // namespace platform::files
