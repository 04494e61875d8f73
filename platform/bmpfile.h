#pragma once
// The platform's save-picture: a picture box as a Windows bitmap file
// (24 bits, uncompressed, rows bottom-up padded to 4 bytes, 96 dpi).
//
// The box is rendered in strips of rows from the bottom up and each strip is
// appended as it comes, so a large scan at a high zoom is never copied
// whole. The file is written beside its name and renamed over it only when
// complete: a failure leaves no partial file and an existing one whole.

#include <QString>
#include <QtGlobal>

namespace platform {

class PictureBox;

// The box's picture and drawn layer (its elements left out), raising
// vb::Error: 76 when the folder does not exist, 70 when access is refused,
// 61 when the disk is full, 75 otherwise, and 7 for a bitmap too large for
// the format's 32-bit size field (nothing is written then).
// `stripRows` 0 chooses the strip height itself.
void SavePicture(const PictureBox& box, const QString& path, int stripRows = 0);

// The file size of a bitmap of that many pixels; beyond 0xFFFFFFFF the format can't hold it.
qint64 bmpFileSize(qint64 width, qint64 height);

}  // namespace platform
