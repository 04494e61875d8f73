#include "platform/writeerror.h"

#include "platform/vberror.h"

#include <QFileInfo>

#include <cerrno>

namespace vb {

QFileDevice::FileError fileErrorOf(int error, QFileDevice::FileError otherwise)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return QFileDevice::PermissionsError;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // past the file-size limit: no room for this file, whatever the disk holds
        return QFileDevice::ResourceError;
    default:
        return otherwise;
    }
}

void raiseWriteError(QFileDevice::FileError error, const QString& path)
{
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        raise(errPathNotFound, QStringLiteral("フォルダが見つからないため、%1 に書き込めませんでした。").arg(path));
    switch (error) {
    case QFileDevice::PermissionsError:
        raise(errPermission,
              QStringLiteral("読み取り専用か書き込みが許可されていないため、%1 に書き込めませんでした。").arg(path));
    case QFileDevice::ResourceError:
        raise(errDiskFull, QStringLiteral("ディスクの空き容量が足りないため、%1 に書き込めませんでした。").arg(path));
    default:
        raise(errPathFileAccess, QStringLiteral("%1 に書き込めませんでした。").arg(path));
    }
}

void raiseSizeLimitError(const QString& path)
{
    raise(errDiskFull, QStringLiteral("ファイルサイズの上限を超えるため、%1 に書き込めませんでした。").arg(path));
}

}  // namespace vb
