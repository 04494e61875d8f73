#include "library/exif.h"

#include "library/mdlKyotu.h"
#include "platform/wholefile.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

namespace mdlFileAccess {

namespace {

constexpr quint8 kMarker = 0xFF;
constexpr quint8 kStartOfImage = 0xD8;
constexpr quint8 kApp1 = 0xE1;
constexpr quint8 kStartOfScan = 0xDA;
constexpr quint8 kEndOfImage = 0xD9;
constexpr int kTiffMagic = 42;
constexpr qint16 kTagCompression = 0x0103;
constexpr qint16 kTagThumbnailOffset = 0x0201;
constexpr qint16 kTagThumbnailLength = 0x0202;
constexpr qint32 kCompressionJpeg = 6;
constexpr qint64 kEntrySize = 12;

// The TIFF structure of an EXIF segment: every read is checked against the
// segment's end, so no offset taken from the file can point outside it.
class TiffData {
public:
    explicit TiffData(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    qint64 size() const { return m_bytes.size(); }
    bool contains(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    QByteArray bytes(qint64 offset, qint64 length) const
    {
        return contains(offset, length) ? m_bytes.mid(offset, length) : QByteArray();
    }
    std::optional<qint64> u16(qint64 offset, bool bigEndian) const
    {
        if (!contains(offset, 2))
            return std::nullopt;
        return mdlKyotu::fncBytesToLng(bytes(offset, 2), bigEndian);
    }
    std::optional<qint64> u32(qint64 offset, bool bigEndian) const
    {
        if (!contains(offset, 4))
            return std::nullopt;
        return qint64(mdlKyotu::fncBytesToDbl(bytes(offset, 4), bigEndian));
    }

private:
    QByteArray m_bytes;
};

bool startsWithSoi(const QByteArray& bytes)
{
    return bytes.size() >= 2 && quint8(bytes[0]) == kMarker && quint8(bytes[1]) == kStartOfImage;
}

// The picture file read forward through a buffer: the scan wants a few bytes
// at a time, mostly close to the last ones, and never the image data.
class ByteReader {
public:
    explicit ByteReader(QFile& file) : m_file(file), m_size(file.size()) {}

    qint64 size() const { return m_size; }

    // The byte at `pos`, or -1 past the end of the file (or a failed read).
    int at(qint64 pos)
    {
        if (!load(pos, 1, kSmallChunk))
            return -1;
        return quint8(m_buffer[pos - m_start]);
    }

    // `length` bytes at `pos`, fewer where the file ends first.
    QByteArray bytes(qint64 pos, qint64 length)
    {
        if (pos < 0 || length <= 0 || pos >= m_size)
            return QByteArray();
        length = std::min(length, m_size - pos);
        if (length > kLargeChunk)
            return m_file.seek(pos) ? m_file.read(length) : QByteArray();
        return load(pos, length, kSmallChunk) ? m_buffer.mid(pos - m_start, length) : QByteArray();
    }

    // The position of the first 0xFF at or after `pos`, or -1 when none is
    // left: stray data between segments is searched a chunk at a time.
    qint64 nextMarkerByte(qint64 pos)
    {
        while (pos < m_size) {
            if (!load(pos, 1, kLargeChunk))
                return -1;
            const qint64 offset = pos - m_start;
            const char* first = m_buffer.constData() + offset;
            const void* hit = std::memchr(first, kMarker, size_t(m_buffer.size() - offset));
            if (hit)
                return pos + (static_cast<const char*>(hit) - first);
            pos = m_start + m_buffer.size();
        }
        return -1;
    }

private:
    static constexpr qint64 kSmallChunk = 4096;
    static constexpr qint64 kLargeChunk = 65536;

    // Makes the buffer hold [pos, pos + length) (as far as the file goes),
    // reading `chunk` bytes from `pos` when it doesn't yet.
    bool load(qint64 pos, qint64 length, qint64 chunk)
    {
        if (pos < 0 || pos >= m_size)
            return false;
        length = std::min(length, m_size - pos);
        if (pos >= m_start && pos - m_start + length <= m_buffer.size())
            return true;
        m_start = pos;
        m_buffer = m_file.seek(pos) ? m_file.read(std::max(chunk, length)) : QByteArray();
        return m_buffer.size() >= length;
    }

    QFile& m_file;
    const qint64 m_size;
    QByteArray m_buffer;
    qint64 m_start = 0;
};

int scanFile(const QString& picturePath, const ThumbnailWriter& write)
{
    QFile file(picturePath);
    if (!file.open(QIODevice::ReadOnly))
        return ExifNotJpeg;
    ByteReader reader(file);
    if (!startsWithSoi(reader.bytes(0, 2)))
        return ExifNotJpeg;

    // Only marker and length fields are read on the way, and the scan stops
    // where the compressed image data (or the image) begins: the thumbnail
    // lies before it, so a photograph is never read whole.
    qint64 pos = 2;
    while (pos + 2 <= reader.size()) {
        if (reader.at(pos) != kMarker) {
            // Fill or stray data: on to the next byte that may start a marker.
            pos = reader.nextMarkerByte(pos);
            if (pos < 0)
                break;
            continue;
        }
        const int code = reader.at(pos + 1);
        if (code < 0 || code == kStartOfScan || code == kEndOfImage)
            break;
        const QByteArray lengthField = reader.bytes(pos + 2, 2);
        if (lengthField.size() < 2)
            break;
        const qint64 length = mdlKyotu::fncBytesToLng(lengthField, true);  // counts itself
        if (length < 2) {
            // No segment can be that short: step over the marker and look
            // for the next one (the EXIF segment may still follow).
            pos += 2;
            continue;
        }
        if (code == kApp1) {
            // A segment cut short by the end of the file is kept as far as it goes.
            QByteArray thumbnail;
            const std::optional<int> result = fncParse_ExifSegment(reader.bytes(pos + 4, length - 2), thumbnail);
            if (result) {
                if (*result != ExifWritten)
                    return *result;
                return write(thumbnail) ? ExifWritten : ExifWriteFailed;
            }
            // Not EXIF (an XMP packet, say): the EXIF segment may follow.
        }
        pos += length + 2;
    }
    return ExifNone;
}

}  // namespace

bool fncGet_ExifThumbnail(const QString& picturePath, const QString& outputPath)
{
    return fncReadExifThumbnail(picturePath, outputPath) == ExifWritten;
}

int fncReadExifThumbnail(const QString& picturePath, const QString& outputPath)
{
    return fncReadExifThumbnail(picturePath,
                                [&outputPath](const QByteArray& bytes) { return fncWrite_Thumbnail(bytes, outputPath) == 0; });
}

int fncReadExifThumbnail(const QString& picturePath, const ThumbnailWriter& write)
{
    try {
        return scanFile(picturePath, write);
    } catch (const std::exception&) {
        return ExifNone;
    }
}

std::optional<int> fncParse_ExifSegment(const QByteArray& segment, QByteArray& thumbnail)
{
    static const QByteArray identifier("Exif\0\0", 6);
    thumbnail.clear();
    if (!segment.startsWith(identifier))
        return std::nullopt;
    // EXIF offsets count from the first byte of the TIFF header.
    const TiffData tiff(segment.mid(identifier.size()));
    if (tiff.size() < 8)
        return ExifNone;
    const QByteArray order = tiff.bytes(0, 2);
    const bool bigEndian = fncIsMotorola(quint8(order[0]), quint8(order[1]));
    if (!bigEndian && order != QByteArrayLiteral("II"))
        return ExifNone;
    if (tiff.u16(2, bigEndian) != kTiffMagic)
        return ExifNone;

    const std::optional<qint64> ifd0 = tiff.u32(4, bigEndian);
    const std::optional<qint64> count0 = ifd0 ? tiff.u16(*ifd0, bigEndian) : std::nullopt;
    if (!count0)
        return ExifNone;
    const std::optional<qint64> ifd1 = tiff.u32(*ifd0 + 2 + kEntrySize * *count0, bigEndian);
    if (!ifd1 || *ifd1 == 0)
        return ExifNone;
    const std::optional<qint64> count1 = tiff.u16(*ifd1, bigEndian);
    if (!count1 || !tiff.contains(*ifd1 + 2, kEntrySize * *count1))
        return ExifNone;

    qint32 compression = 0;
    qint32 offset = 0;
    qint32 length = 0;
    for (qint64 k = 0; k < *count1; ++k) {
        const QByteArray entry = tiff.bytes(*ifd1 + 2 + kEntrySize * k, kEntrySize);
        const std::optional<qint32> value = subRead_IfdEntry(entry, bigEndian);
        if (!value)
            continue;
        switch (mdlKyotu::fncBytesToInt(entry.left(2), bigEndian)) {
        case kTagCompression:
            compression = *value;
            break;
        case kTagThumbnailOffset:
            offset = *value;
            break;
        case kTagThumbnailLength:
            length = *value;
            break;
        default:
            break;
        }
    }
    if (compression != kCompressionJpeg)
        return ExifNotCompressed;
    if (offset == 0 || length == 0 || !tiff.contains(offset, length))
        return ExifNone;
    const QByteArray bytes = tiff.bytes(offset, length);
    if (!startsWithSoi(bytes))
        return ExifNone;
    thumbnail = bytes;
    return ExifWritten;
}

bool fncIsMotorola(quint8 byte1, quint8 byte2)
{
    return byte1 == 0x4D && byte2 == 0x4D;
}

std::optional<qint32> subRead_IfdEntry(const QByteArray& entry, bool bigEndian)
{
    if (entry.size() < kEntrySize)
        return std::nullopt;
    switch (mdlKyotu::fncBytesToInt(entry.left(2), bigEndian)) {
    case kTagCompression:
        // A SHORT stands in the first two bytes of the value field in either order.
        return mdlKyotu::fncBytesToLng(entry.mid(8, 2), bigEndian);
    case kTagThumbnailOffset:
    case kTagThumbnailLength: {
        const double value = mdlKyotu::fncBytesToDbl(entry.mid(8, 4), bigEndian);
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return qint32(value);
    }
    default:
        return std::nullopt;
    }
}

int fncWrite_Thumbnail(const QByteArray& bytes, const QString& outputPath)
{
    // Replaced whole: a reader of the cache never sees a half-written
    // thumbnail, and a failure leaves none behind.
    return platform::writeWholeFile(outputPath, bytes, platform::Durability::Cache) ? 0 : 1;
}

}  // namespace mdlFileAccess
