#include "platform/compact.h"

#include "platform/database.h"
#include "platform/vberror.h"

#include <sqlite3.h>

namespace platform::db {

void compactDatabase(Connection& source, const QString& target)
{
    QString quoted = target;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    try {
        // The copy holds every table, the layer's password table included.
        source.execute(QStringLiteral("VACUUM INTO '") + quoted + QLatin1Char('\''));
    } catch (const vb::Error& error) {
        // What failed is the copy being written (full disk, a folder that
        // takes no new file), so the box names it rather than the source.
        const int code = int(error.number());
        // A damaged source is told as its own failure, naming it.
        if (code <= 0 || code >= 100 || code == SQLITE_CORRUPT)
            throw;
        const QString engineText = QString::fromUtf8(sqlite3_errstr(code));
        if (code == SQLITE_CANTOPEN || code == SQLITE_READONLY || code == SQLITE_PERM)
            throw vb::Error(code, target + QStringLiteral(" を作成できませんでした。フォルダに書き込めません。（")
                                      + engineText + QStringLiteral("）"));
        throw vb::Error(code, describeEngineFailure(code, target, engineText));
    }
}

}  // namespace platform::db
