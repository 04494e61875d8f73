#pragma once
// This user's own folder inside a work folder other users may write (the
// TEMP of a program folder an office shares, or of a user's folder root
// runs from).
//
// What a run keeps there (the thumbnails, the hatch caches) is named after
// things any colleague can know, so in the shared folder itself a
// colleague's link at such a name would choose where the user's bytes go,
// and the bytes (a drawing's geometry) would be his to read. Inside a
// folder that only its user may enter nobody else puts a name, and nobody
// else reads. The folder is held open for the run and reached through that
// handle, never by its name again: the owner of the work folder may rename
// it or put something else at its name, and the run's files still go
// where they went.

#include <QString>

namespace platform {

// Opens this user's folder in `folder` (".nemunoki2-<uid>", mode 0700),
// making it when it is missing, and holds it for the rest of the run (a
// later call lets the earlier one go). A thing at that name that is not
// such a folder of this user's (another user's folder or link, a folder
// others may enter) is never used: a new folder under a name of its own
// is made instead. `folder` is reached through this user's links only.
// Returns the path that reaches the held folder ("/proc/self/fd/<fd>"; its
// own name where the system has no /proc), "" with errno when none could
// be made.
QString privateFolderIn(const QString& folder);

}  // namespace platform
