#pragma once
// The database engine's own ways with names, held to the rule of
// ownlinks.h. The engine opens every file with O_NOFOLLOW, after it has
// resolved the links of the name itself, each one it meets (a database's
// name, the file a compaction writes); its journals and logs it names
// after the file it resolved. So the engine is given a look at names
// (lstat) to which another user's link is no link: it keeps that name as
// it is, and its open then refuses a link found at the file's name, while
// the system reaches folders through it as it reaches them for any other
// open. The user's own links the engine resolves as before, so a journal
// lies beside the file itself, whatever name the file was opened by.
// Names in the program folder (the sample databases) it reaches from the
// folder the start held (programfolder.h), as every other name there.

#include <QString>

namespace platform::db {

// Gives the engine that look at names; once, before its first open. Every
// open of this layer calls it.
void keepEngineToOwnLinks();

// While it lives, the engine given the name `path` (its folder as the
// system reaches it, and the name in it) finds the file open as `fd`, the
// name never looked up: it looks at, opens and writes only that file,
// whatever is put under the name meanwhile, and keeps its permissions
// (the engine would give a new empty file its own).
class EngineStandIn {
public:
    EngineStandIn(const QString& path, int fd);
    ~EngineStandIn();
    EngineStandIn(const EngineStandIn&) = delete;
    EngineStandIn& operator=(const EngineStandIn&) = delete;
};

}  // namespace platform::db
