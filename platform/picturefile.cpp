#include "platform/picturefile.h"

#include <QFile>

#include <cstring>

namespace platform {

namespace {

using Bytes = const unsigned char*;

quint32 le16(Bytes p) { return quint32(p[0]) | quint32(p[1]) << 8; }
quint32 le32(Bytes p) { return le16(p) | le16(p + 2) << 16; }

// Markers, their segments and the entropy-coded data after each start of
// scan, up to the end-of-image marker. Between segments a decoder skips
// stray bytes; inside the coded data 0xFF is followed by 0x00 (a stuffed
// byte), a restart marker or a fill byte, else a marker begins.
bool jpegCutShort(Bytes p, qint64 n)
{
    qint64 i = 2;
    for (;;) {
        const void* next = i < n ? std::memchr(p + i, 0xFF, size_t(n - i)) : nullptr;
        if (!next)
            return true;
        i = static_cast<Bytes>(next) - p;
        while (i < n && p[i] == 0xFF)
            ++i;
        if (i >= n)
            return true;
        const unsigned marker = p[i++];
        if (marker == 0xD9)
            return false;  // end of image
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // no segment follows
        if (i + 2 > n)
            return true;
        const qint64 length = qint64(p[i]) << 8 | p[i + 1];
        i += length;
        if (marker != 0xDA)
            continue;
        // Coded data: on to the next marker that is none of the above.
        for (;;) {
            const void* ff = i < n ? std::memchr(p + i, 0xFF, size_t(n - i)) : nullptr;
            if (!ff)
                return true;
            i = static_cast<Bytes>(ff) - p;
            if (i + 1 >= n)
                return true;
            const unsigned b = p[i + 1];
            if (b == 0x00 || (b >= 0xD0 && b <= 0xD7) || b == 0xFF) {
                i += b == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
}

// The pixel rows the header announces, uncompressed or with masks; a
// compressed picture by the data size its header gives.
bool bmpCutShort(Bytes p, qint64 n)
{
    if (n < 26)
        return true;
    const qint64 offset = le32(p + 10);
    const quint32 header = le32(p + 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0, dataSize = 0;
    if (header == 12) {
        width = le16(p + 18);
        height = qint16(le16(p + 20));
        bits = le16(p + 24);
    } else {
        if (header < 40)
            return false;  // not a header this judges
        if (n < 14 + 40)
            return true;
        width = qint32(le32(p + 18));
        height = qint32(le32(p + 22));
        bits = le16(p + 28);
        compression = le32(p + 30);
        dataSize = le32(p + 34);
    }
    if (width <= 0 || height == 0 || bits == 0)
        return false;
    const bool rows = compression == 0 || compression == 3 || compression == 6;
    if (n < offset)
        return true;
    const qint64 room = n - offset;
    if (!rows)
        return room < dataSize;
    // A header may announce any size: the row count is compared with the
    // rows the file has room for, as the product of the two can overflow.
    const qint64 stride = (width * bits + 31) / 32 * 4;  // at most 2^31 x 2^16 bits
    const qint64 rowCount = height < 0 ? -height : height;
    return rowCount > room / stride;
}

// A colour table's bytes by the packed flags of a screen or image descriptor.
qint64 colourTable(unsigned flags)
{
    return flags & 0x80 ? 3 * (qint64(1) << ((flags & 7) + 1)) : 0;
}

// Past a run of data sub-blocks; false when it runs past the end.
bool skipBlocks(Bytes p, qint64 n, qint64& i)
{
    for (;;) {
        if (i >= n)
            return false;
        const unsigned size = p[i++];
        if (size == 0)
            return true;
        i += size;
    }
}

// Blocks up to the end of the first picture, the one shown: what follows
// it (more frames, the trailer) is not needed for it.
bool gifCutShort(Bytes p, qint64 n)
{
    if (n < 13)
        return true;
    qint64 i = 13 + colourTable(p[10]);
    for (;;) {
        if (i >= n)
            return true;
        const unsigned block = p[i++];
        if (block == 0x3B)
            return false;  // the trailer: no picture at all is the reader's to say
        if (block == 0x21) {
            ++i;  // the extension's label
            if (!skipBlocks(p, n, i))
                return true;
        } else if (block == 0x2C) {
            if (i + 9 > n)
                return true;
            i += 9 + colourTable(p[i + 8]);
            ++i;  // the code size
            return !skipBlocks(p, n, i);
        } else {
            return false;  // not a structure this judges
        }
    }
}

}  // namespace

bool pictureCutShort(const unsigned char* data, qint64 size)
{
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        return jpegCutShort(data, size);
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return bmpCutShort(data, size);
    if (size >= 6 && std::memcmp(data, "GIF8", 4) == 0)
        return gifCutShort(data, size);
    return false;
}

bool pictureCutShort(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
    // Mapped, not read: only the pages the walk touches are brought in.
    if (const uchar* mapped = file.map(0, file.size()))
        return pictureCutShort(mapped, file.size());
    const QByteArray bytes = file.readAll();
    return pictureCutShort(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
}

}  // namespace platform
