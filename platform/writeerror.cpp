#include "platform/writeerror.h"

#include "platform/vberror.h"

#include <QFileInfo>

namespace vb {

void raiseWriteError(QFileDevice::FileError error, const QString& path)
{
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        raise(errPathNotFound);
    switch (error) {
    case QFileDevice::PermissionsError:
        raise(errPermission);
    case QFileDevice::ResourceError:
        raise(errDiskFull);
    default:
        raise(errPathFileAccess);
    }
}

}  // namespace vb
