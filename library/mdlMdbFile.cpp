#include "library/mdlMdbFile.h"

#include "db/mdlDB.h"
#include "platform/compact.h"
#include "platform/database.h"
#include "platform/database_names.h"
#include "platform/dbfilehold.h"
#include "platform/files.h"
#include "platform/ownlinks.h"
#include "platform/replacement.h"
#include "platform/vberror.h"
#include "platform/writeerror.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace files = platform::files;
namespace db = platform::db;

namespace mdlMdbFile {

namespace {

// True when the journal beside `path` has pages to put back: it begins with
// the engine's magic number. The engine writes the number only once the
// pages behind it are safe, and zeroes the header at every commit; a
// journal without it (each session of this program keeps one as long as
// the file, and a killed session leaves it) is played back by no program.
bool fncJournal_Hot(const QString& path)
{
    static constexpr char magic[] = {char(0xd9), char(0xd5), char(0x05), char(0xf9),
                                     char(0x20), char(0xa1), char(0x63), char(0xd7)};
    // Read through the user's own links only; one that can't be read (behind
    // another user's link too) is taken as hot.
    const QString name = db::journalPath(path);
    const int fd = platform::openOwn(name, O_RDONLY);
    QFile journal;
    if (fd < 0 || !journal.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return files::exists(name) || !platform::foreignLinkAt(name).isEmpty();
    }
    return journal.read(sizeof magic) == QByteArray::fromRawData(magic, sizeof magic);
}

// Takes the hold on `path` for a delete or a rename: true when held. A file
// the engine can't open as a database (not one, another password, damaged)
// holds no transaction of anyone's, and goes unheld, unless a journal with
// pages to put back lies beside it: that is refused, as is a file another
// program holds.
bool fncHold(db::FileHold& hold, const QString& path)
{
    try {
        hold.take(mdlDB::fncConnectionString(path));
        return true;
    } catch (const vb::Error& error) {
        // A journal behind another user's link can't be looked at: that is
        // the reason given, not the engine's.
        if (const QString link = platform::foreignLinkAt(db::journalPath(path)); !link.isEmpty())
            platform::raiseForeignLink(link);
        if (error.number() == db::errFileInUse || fncJournal_Hot(path))
            throw;
        return false;
    }
}

// Runs a file operation on `path`, its failure described after the path.
template <typename Operation>
void subNamed(const QString& path, Operation operation)
{
    try {
        operation();
    } catch (const vb::Error& error) {
        throw vb::Error(error.number(), path + QStringLiteral("\r\n") + error.description());
    }
}

}  // namespace

QString fncNew_Name(const QString& folder, int first)
{
    for (int n = qMax(first, 1);; ++n) {
        const QString name = QStringLiteral("New_") + QString::number(n) + QStringLiteral(".mdb");
        if (files::findFileName(folder, name).isEmpty() && files::findFileName(folder, db::journalPath(name)).isEmpty())
            return name;
    }
}

bool fncName_Allowed(const QString& answer)
{
    return !answer.contains(QLatin1Char('/')) && !answer.contains(QLatin1Char('\\'))
        && !answer.startsWith(QLatin1Char('.'));
}

namespace {
// True when the engine opens `path` as a database of ours; `asItIs`, the
// file alone, no journal beside it looked for (Connection::openAsItIs).
bool fncOpens(const QString& path, bool asItIs = false)
{
    try {
        platform::db::Connection connection;
        if (asItIs)
            connection.openAsItIs(mdlDB::fncConnectionString(path));
        else
            connection.open(mdlDB::fncConnectionString(path));
        connection.openRecordset(QStringLiteral("SELECT * FROM tSystem")).close();
        connection.close();
        return true;
    } catch (const vb::Error&) {
        return false;
    }
}
}  // namespace

bool fncIs_Database(const QString& path) { return files::fileExists(path) && fncOpens(path); }

void subCheck_Free(const QString& path, bool writing)
{
    if (writing && platform::writeProtected(path))
        vb::raiseWriteError(QFileDevice::PermissionsError, path);
    if (db::otherUse(path) != db::FileUse::None)
        vb::raise(db::errFileInUse,
                  QStringLiteral("データベースファイル %1 は、ほかのプログラムが使用中です。").arg(path));
}

namespace {
std::function<void()> afterCopyWritten;
}

void setAfterCopyWritten(std::function<void()> step) { afterCopyWritten = std::move(step); }

void subCompact(const QString& path)
{
    const QString tmp = path + QStringLiteral(".Tmp");
    const QString unchanged = path + QStringLiteral(" を最適化できませんでした。元のファイルはそのままです。")
        + QStringLiteral("\r\n");
    // Another user's link at the copy's name is never followed nor removed.
    if (const QString link = platform::foreignLinkAt(tmp); !link.isEmpty())
        vb::raise(vb::errPermission, unchanged + platform::foreignLinkText(link));
    if (files::dirExists(tmp))
        vb::raise(vb::errPathFileAccess,
                  unchanged + tmp + QStringLiteral(" はフォルダです。最適化の写しに使う名前なので、")
                      + QStringLiteral("移動するか名前を変更してから、もう一度最適化してください。"));
    // Before any connection of this program opens the file.
    subCheck_Free(path, true);
    subCheck_Keepable(path);
    if (files::exists(tmp) && !fncIs_Database(path))
        vb::raise(vb::errPathFileAccess,
                  path + QStringLiteral(" をデータベースとして開けません。") + QStringLiteral("\r\n")
                      + QStringLiteral("前回の最適化で残った ") + tmp
                      + QStringLiteral(" が正しい写しかもしれないため、どちらのファイルも変更しませんでした。"));
    // Held from the read of the first page until the copy has the file's
    // name: no change of another program's can fall in between and be lost.
    db::FileHold hold;
    try {
        hold.take(mdlDB::fncConnectionString(path));
    } catch (const vb::Error& error) {
        throw vb::Error(error.number(), unchanged + error.description());
    }
    bool lost = false;  // the copy's place taken by another file, the original gone from the name
    try {
        // A leftover copy, or a link of the user's own left there.
        if (files::exists(tmp) || QFileInfo(tmp).isSymLink())
            files::deleteFile(tmp);
        // The copy is made and given the file's owner, group, permissions
        // and access list through its own descriptor: the colleagues of a
        // shared folder go on using it, and a file put under its name
        // meanwhile is given nothing and never takes the file's place. The
        // engine writes and checks the copy through that descriptor too,
        // never by its name, which another user of the folder may take; the
        // check reads the copy alone, as no journal of its name is ours.
        files::StandIn copy(tmp);
        {
            const db::EngineStandIn engineCopy(tmp, copy.descriptor());
            platform::db::compactDatabase(hold.connection(), tmp);
            if (afterCopyWritten)
                afterCopyWritten();
            if (!fncOpens(tmp, true))
                vb::raise(vb::errPathFileAccess, tmp + QStringLiteral(" を最適化の写しとして開けませんでした。"));
        }
        // The file's owner, group, mode and access list as the hold has it
        // open: another file put under its name since is never copied from.
        const int original = hold.heldFile();
        if (original < 0)
            vb::raise(vb::errPathFileAccess, path + QStringLiteral(" が、最適化の間にほかのファイルに置き換えられたため、写しを置きませんでした。"));
        copy.keepModeAndGroup(original, path);
        hold.dropJournal();
        // Told done only with the copy itself at the file's name.
        try {
            copy.replace(path);
        } catch (const vb::Error&) {
            lost = copy.targetLost();
            throw;
        }
    } catch (const vb::Error& error) {
        const QString told = lost ? path + QStringLiteral(" を最適化できませんでした。") + QStringLiteral("\r\n") : unchanged;
        throw vb::Error(error.number(), told + error.description());
    }
}

void subCheck_Keepable(const QString& path)
{
    const QString why = files::keepingRefusal(path);
    if (!why.isEmpty())
        vb::raise(vb::errPermission,
                  path + QStringLiteral(" を最適化できませんでした。元のファイルはそのままです。") + QStringLiteral("\r\n")
                      + QStringLiteral("最適化した写しがこのファイルに代わるため、写しにはこのファイルと同じ所有者とグループが要ります。")
                      + QStringLiteral("\r\n") + why + QStringLiteral("\r\n")
                      + QStringLiteral("このファイルの所有者で、このファイルのグループに入っているユーザーか、管理者（root）が最適化してください。"));
}

namespace {

// Deletes or renames `path` (the operation) under the hold, so that a hot
// journal is played back first, and takes the file's journal with it.
template <typename Operation>
void subRemove_Name(const QString& path, bool writing, Operation operation)
{
    subCheck_Free(path, writing);
    db::FileHold hold;
    const bool held = fncHold(hold, path);
    subNamed(path, [&] {
        if (held)
            hold.dropJournal();
        operation();
        // Unheld, the journal beside it has nothing to put back.
        if (!held && files::fileExists(db::journalPath(path)))
            files::deleteFile(db::journalPath(path));
    });
}

}  // namespace

void subDelete(const QString& path)
{
    subRemove_Name(path, true, [&] { files::deleteFile(path); });
}

void subRename(const QString& path, const QString& target)
{
    subRemove_Name(path, false, [&] { files::renameFile(path, target); });
}

}  // namespace mdlMdbFile
