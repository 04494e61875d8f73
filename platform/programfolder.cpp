#include "platform/programfolder.h"

#include <QFile>

#include <climits>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace platform::programfolder {

namespace {

struct Held {
    int fd = -1;
    QByteArray path;       // as given, without a trailing "/"
    QByteArray canonical;  // its links resolved at the start, when other
};
// Never destroyed: the database engine may still open a file as a static
// connection closes at the process's end.
struct State {
    std::mutex guard;
    Held held;
};
State& state()
{
    static State* const kept = new State;
    return *kept;
}

QByteArray trimmed(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

// The rest of `path` under `folder`, or null when it lies elsewhere.
QByteArray restUnder(const QByteArray& path, const QByteArray& folder)
{
    if (folder.isEmpty() || !path.startsWith(folder))
        return QByteArray();
    if (path.size() == folder.size())
        return QByteArrayLiteral(".");
    if (folder == "/")
        return path.mid(1);
    if (path.at(folder.size()) != '/')
        return QByteArray();
    const QByteArray rest = path.mid(folder.size() + 1);
    return rest.isEmpty() ? QByteArrayLiteral(".") : rest;
}

}  // namespace

bool hold(const QString& path)
{
    const QByteArray name = trimmed(QFile::encodeName(path));
    const int fd = name.isEmpty() ? -1 : ::open(name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    char resolved[PATH_MAX];
    const QByteArray canonical = fd >= 0 && ::realpath(name.constData(), resolved) ? QByteArray(resolved) : QByteArray();
    State& now = state();
    const std::lock_guard lock(now.guard);
    Held& held = now.held;
    if (held.fd >= 0)
        ::close(held.fd);
    held = fd < 0 ? Held{} : Held{fd, name, canonical == name ? QByteArray() : canonical};
    return fd >= 0;
}

At at(const QByteArray& path)
{
    {
        State& now = state();
        const std::lock_guard lock(now.guard);
        const Held& held = now.held;
        if (held.fd >= 0 && path.startsWith('/')) {
            for (const QByteArray& folder : {held.path, held.canonical}) {
                const QByteArray rest = restUnder(path, folder);
                if (!rest.isNull())
                    return {held.fd, rest};
            }
        }
    }
    return {AT_FDCWD, path};
}

At at(const QString& path)
{
    return at(QFile::encodeName(path));
}

QString reach(const QString& path)
{
    const At name = at(path);
    if (name.folder == AT_FDCWD)
        return path;
    const QByteArray handle = "/proc/self/fd/" + QByteArray::number(name.folder);
    if (::access(handle.constData(), F_OK) != 0)
        return path;
    return QFile::decodeName(name.name == "." ? handle : handle + '/' + name.name);
}

}  // namespace platform::programfolder
