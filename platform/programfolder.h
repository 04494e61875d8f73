#pragma once
// The program folder, held for the whole run.
//
// Its settings, work folder, sample databases, lock and marks are reached
// by names under the program folder's path. Looked up again at each write,
// that path would lead wherever the folder's name leads at the time: who
// may rename the program folder (its owner, where root runs a user's copy;
// any colleague of a group folder it lies in) could put a link to another
// folder at its name and choose where a later write goes (root's quit
// replacing a root-only Init.ini). So the folder is opened once at the
// start and every name under its path is reached from that descriptor
// (the *at() calls), whatever is renamed meanwhile. What the user sees
// (paths in boxes, Init.ini's folders) stays the path.

#include <QByteArray>
#include <QString>

#include <fcntl.h>

namespace platform::programfolder {

// Opens the folder `path` names now (its links followed, as the start
// found it) and holds it for the rest of the run; a later call lets the
// earlier one go. False when it can't be opened: names are then looked up
// as they are.
bool hold(const QString& path);

// A name for the *at() calls.
struct At {
    int folder = AT_FDCWD;
    QByteArray name;
};
// The held folder and the rest of `path` within it where `path` is the
// program folder's path (as held, or as its links then resolved) or a name
// under it; else AT_FDCWD and `path` itself.
At at(const QByteArray& path);
At at(const QString& path);

// A path for the interfaces that take a name (Qt's listings and looks):
// under the held folder "/proc/self/fd/<n>/<rest>". Where the system has
// no /proc, `path` itself, so such a look may see a renamed folder: only
// reads go this way, every write takes at().
QString reach(const QString& path);

}  // namespace platform::programfolder
