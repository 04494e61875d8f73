#pragma once
// The thumbnail that cameras embed in the EXIF data of their JPEG files:
// found in the file's APP1 segment and written, unchanged, to a file of its
// own, so that a folder of photographs can be shown without decoding them.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace mdlFileAccess {

// Results of fncReadExifThumbnail.
enum ExifResult : int {
    ExifWritten = 1,        // the thumbnail is in the output file
    ExifNone = 0,           // no usable EXIF thumbnail (anything malformed counts here)
    ExifNotJpeg = -2,       // no start-of-image marker, or the file can't be read
    ExifNotCompressed = -3, // IFD1 holds no JPEG-compressed thumbnail
    ExifWriteFailed = -4,   // the output file can't be written
};

// True exactly when fncReadExifThumbnail gives ExifWritten.
bool fncGet_ExifThumbnail(const QString& picturePath, const QString& outputPath);

// Writes the embedded JPEG thumbnail of `picturePath` to `outputPath`. Every
// offset and length is kept inside the EXIF segment, so a crafted file can
// neither make it read elsewhere nor write more than the segment holds. The
// output holds exactly the thumbnail; it is written under a temporary name
// and renamed, so a failed write leaves no partial file. Never raises.
int fncReadExifThumbnail(const QString& picturePath, const QString& outputPath);
// The same, the thumbnail handed to `write` (true when it was kept).
using ThumbnailWriter = std::function<bool(const QByteArray&)>;
int fncReadExifThumbnail(const QString& picturePath, const ThumbnailWriter& write);

// The thumbnail's bytes from the data of one APP1 segment (what follows its
// length field), with the same results; nullopt when the segment is not EXIF
// at all (an XMP packet), so the scan goes on with the next segment.
std::optional<int> fncParse_ExifSegment(const QByteArray& segment, QByteArray& thumbnail);

// True when both bytes are 0x4D: the "MM" (big-endian) byte-order mark.
bool fncIsMotorola(quint8 byte1, quint8 byte2);

// The value of one 12-byte IFD entry for the three tags used: Compression
// (its 16-bit value), JPEGInterchangeFormat and JPEGInterchangeFormatLength
// (their 32-bit value); nullopt for other tags and for a value beyond the
// signed 32-bit range.
std::optional<qint32> subRead_IfdEntry(const QByteArray& entry, bool bigEndian);

// Writes `bytes` as the whole of `outputPath`: 0 when written, non-zero when
// the file can't be written.
int fncWrite_Thumbnail(const QByteArray& bytes, const QString& outputPath);

}  // namespace mdlFileAccess
