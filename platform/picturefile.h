#pragma once
// Whether a picture file holds the whole picture its own structure
// announces. Qt's readers fill what a file cut short lacks (a JPEG grey, a
// BMP black) and report success, so a picture copied or downloaded only in
// part would be shown as if it were whole.

#include <QString>

namespace platform {

// True when a BMP, JPEG or GIF file ends before its picture does: a JPEG
// whose data ends before its end-of-image marker, a BMP shorter than its
// pixel data, a GIF whose first picture's data runs past the end. Data
// after the picture (a trailer some cameras add) is no fault; other
// formats, and files this cannot open, are not judged (false). One pass
// over the file, without decoding it.
bool pictureCutShort(const QString& path);

// The same over bytes in memory.
bool pictureCutShort(const unsigned char* data, qint64 size);

}  // namespace platform
