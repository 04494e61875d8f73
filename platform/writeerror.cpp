#include "platform/writeerror.h"

#include "platform/vberror.h"

#include <QFileDevice>
#include <QFileInfo>

namespace vb {

void raiseWriteError(const QFileDevice& file, const QString& path)
{
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        raise(errPathNotFound);
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        raise(errPermission);
    case QFileDevice::ResourceError:
        raise(errDiskFull);
    default:
        raise(errPathFileAccess);
    }
}

}  // namespace vb
