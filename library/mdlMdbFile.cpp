#include "library/mdlMdbFile.h"

#include "db/mdlDB.h"
#include "platform/compact.h"
#include "platform/database.h"
#include "platform/files.h"
#include "platform/vberror.h"

#include <QFile>

namespace files = platform::files;

namespace mdlMdbFile {

QString fncNew_Name(const QString& folder, int first)
{
    for (int n = qMax(first, 1);; ++n) {
        const QString name = QStringLiteral("New_") + QString::number(n) + QStringLiteral(".mdb");
        if (files::findFileName(folder, name).isEmpty())
            return name;
    }
}

bool fncName_Allowed(const QString& answer)
{
    return !answer.contains(QLatin1Char('/')) && !answer.contains(QLatin1Char('\\'))
        && !answer.startsWith(QLatin1Char('.'));
}

bool fncIs_Database(const QString& path)
{
    if (!files::fileExists(path))
        return false;
    try {
        platform::db::Connection connection;
        connection.open(mdlDB::fncConnectionString(path));
        connection.openRecordset(QStringLiteral("SELECT * FROM tSystem")).close();
        connection.close();
        return true;
    } catch (const vb::Error&) {
        return false;
    }
}

void subCompact(const QString& path)
{
    const QString tmp = path + QStringLiteral(".Tmp");
    const QString unchanged = path + QStringLiteral(" を最適化できませんでした。元のファイルはそのままです。")
        + QStringLiteral("\r\n");
    if (files::dirExists(tmp))
        vb::raise(vb::errPathFileAccess,
                  unchanged + tmp + QStringLiteral(" はフォルダです。最適化の写しに使う名前なので、")
                      + QStringLiteral("移動するか名前を変更してから、もう一度最適化してください。"));
    if (files::exists(tmp) && !fncIs_Database(path))
        vb::raise(vb::errPathFileAccess,
                  path + QStringLiteral(" をデータベースとして開けません。") + QStringLiteral("\r\n")
                      + QStringLiteral("前回の最適化で残った ") + tmp
                      + QStringLiteral(" が正しい写しかもしれないため、どちらのファイルも変更しませんでした。"));
    try {
        if (files::exists(tmp))
            files::deleteFile(tmp);
        platform::db::compactDatabase(mdlDB::fncConnectionString(path), tmp);
        if (!fncIs_Database(tmp))
            vb::raise(vb::errPathFileAccess, tmp + QStringLiteral(" を最適化の写しとして開けませんでした。"));
        // The copy takes the place of the file with its permissions: a
        // read-only database stays read-only. The "user" bits say what this
        // process may do (root may write anything) and are no bits of the file.
        const QFileDevice::Permissions user = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QFile::setPermissions(tmp, QFile::permissions(path) & ~user);
        files::replaceFile(tmp, path);
    } catch (const vb::Error& error) {
        QFile::remove(tmp);
        throw vb::Error(error.number(), unchanged + error.description());
    }
}

}  // namespace mdlMdbFile
