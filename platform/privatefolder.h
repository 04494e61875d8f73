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
// handle, never by its name again (cachefiles.h), with or without the
// system's /proc: the owner of the work folder may rename it or put a link
// at its name, and the run's files still go where they went.

#include <QString>

namespace platform {

// Opens this user's folder in `folder` (".nemunoki2-<uid>", mode 0700),
// making it when it is missing, and holds it for the rest of the run (a
// later call lets the earlier one go). A thing at that name that is not
// such a folder of this user's (another user's folder or link, a folder
// others may enter) is never used: a new folder under a name of its own
// is made instead. A file system that gives no folder a mode of its own
// (exFAT, FAT, a share mounted with fixed modes) can't give one at all:
// the folder made to find that out is removed again, and nothing is left.
// `folder` is reached through this user's links only.
// Returns the held folder's path, "" with errno when none could be made.
QString privateFolderIn(const QString& folder);

// The desktop's cache folder of this user ($XDG_CACHE_HOME, else
// ~/.cache), made (0700) when missing: where the private folder goes when
// the program folder's TEMP can't give one.
QString userCacheFolder();

// A handle on `folder` for the caches, to be closed by the caller: the held
// private folder's own when `folder` is the path privateFolderIn gave,
// whatever is at that name now; any other folder opened through this
// user's links. -1 with errno.
int openCacheFolder(const QString& folder);

}  // namespace platform
