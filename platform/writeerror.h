#pragma once
// The runtime's error for a file that could not be written.

#include <QFileDevice>
#include <QString>

namespace vb {

// The file error of a system call's failure `error` (an errno value):
// PermissionsError for refused access (EACCES, EPERM, EROFS), ResourceError
// for a full disk, a quota or the file-size limit (ENOSPC, EDQUOT, EFBIG),
// else `otherwise`.
QFileDevice::FileError fileErrorOf(int error, QFileDevice::FileError otherwise);

// Raises 76 when the folder of `path` does not exist, 70 when access is
// refused (a read-only file or folder), 61 when the disk is full, 75
// otherwise; the description names the file.
[[noreturn]] void raiseWriteError(QFileDevice::FileError error, const QString& path);

// Raises 61 for a write to `path` past the process's file-size limit
// (EFBIG), naming the limit: the disk may have room to spare.
[[noreturn]] void raiseSizeLimitError(const QString& path);

}  // namespace vb
