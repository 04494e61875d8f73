#include "platform/compact.h"

#include "platform/database.h"
#include "platform/files.h"
#include "platform/vberror.h"

#include <QFile>

namespace platform::db {

void compactDatabase(const QString& sourceConnection, const QString& target)
{
    if (files::exists(target))
        vb::raise(vb::errFileExists);
    Connection source;
    source.open(sourceConnection);
    QString quoted = target;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    try {
        // The copy holds every table, the layer's password table included.
        source.execute(QStringLiteral("VACUUM INTO '") + quoted + QLatin1Char('\''));
    } catch (...) {
        QFile::remove(target);
        throw;
    }
    source.close();
}

}  // namespace platform::db
