#pragma once
// The database engine's own ways with names, held to the rule of
// ownlinks.h. The engine opens every file with O_NOFOLLOW, after it has
// resolved the links of the name itself, each one it meets (a database's
// name, the file a compaction writes); its journals and logs it names
// after the file it resolved. A link's text it reads from the object it
// finds at the name, whose owner is looked at there again. So the engine is given a look at names
// (lstat) to which another user's link is no link: it keeps that name as
// it is, and its open then refuses a link found at the file's name, while
// the system reaches folders through it as it reaches them for any other
// open. The user's own links the engine resolves as before, so a journal
// lies beside the file itself, whatever name the file was opened by.
// Names in the program folder (the sample databases) it reaches from the
// folder the start held (programfolder.h), as every other name there.

#include <QString>

#include <optional>
#include <sys/types.h>

namespace platform::db {

// Gives the engine that look at names; once, before its first open. Every
// open of this layer calls it. The engine is also refused, as a journal to
// play back, any journal that neither this user nor the database file's
// owner made (another user could write there what the file is to become):
// the file is opened no further, and the journal left as it is.
void keepEngineToOwnLinks();

// The journal the engine was refused last in this thread, and its owner
// (forgotten once told); none since.
struct RefusedJournal {
    QString name;
    uid_t owner = 0;
};
std::optional<RefusedJournal> takeRefusedJournal();

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
